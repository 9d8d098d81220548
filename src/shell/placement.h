#pragma once
// Where an open object's windows stand in the frame: the regime list at the top left, the
// task pane under it, and the working windows (editors, graphs) to their right.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

#include "app/ui/workbench.h"

class QMdiSubWindow;

namespace shell {

using app::Slot;

QRect SlotRect(const QSize& area, Slot slot);

// The frame's first geometry: `wanted` shrunk to the screen's available area (less the window
// decorations `decoration` adds), centred in it.
QRect FitOnScreen(const QSize& wanted, const QRect& available, const QSize& decoration = QSize(0, 0));

// Top-left corner for a window of `size` inside `area` that overlaps none of `avoid`: the
// spot nearest the area's bottom right, searched leftwards, then upwards, in steps of `step`
// pixels; none when every spot overlaps.
std::optional<QPoint> ClearSpot(const QRect& area, const QSize& size, const QList<QRect>& avoid, int step = 8);

// A sub-window that stands in none of the frame's places (the general data, the object list,
// the units window) moved and shrunk into the frame's area, so its title bar, close box and
// buttons can be reached; as far as its content allows.
void FitSubWindow(QMdiSubWindow* sub);
// A top-level window's frame geometry moved and shrunk into the screen's free area.
QRect FitWindowOnScreen(const QRect& frame, const QSize& minimum, const QRect& available);

// Places the sub-window that holds `content` once the frame has wrapped it; placed windows
// follow the frame's size while they stand in their place.
void PlaceSubWindow(QWidget* content, Slot slot);

}  // namespace shell
