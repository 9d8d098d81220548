#pragma once
// Keys that belong to the frame rather than to the field that has the focus.

#include <QString>

class QKeyEvent;
class QLineEdit;

namespace app {

// True for the frame's Ctrl shortcuts (Create, Open, Close, Rename) that text fields would
// otherwise take for their own line editing keys (Ctrl+E is "end of line" on Linux).
bool IsFrameShortcut(const QKeyEvent* event);

// What of `put` (typed or pasted, already filtered to digits and points) may go into a number
// field where it replaces the selection: a decimal point only when the field keeps none
// outside the selection, and only one of those in `put`. So the field always shows a number
// that can be stored ("6.5.5" could not).
QString WithoutExtraPoints(const QLineEdit* field, const QString& put);

// Editing keys a number field keeps for itself: select all, copy, cut, undo, redo, and the
// movement keys with Ctrl. Paste is not among them: its text goes through the field's filter.
bool IsEditingKey(const QKeyEvent* event);

}  // namespace app
