#pragma once
// How every window marks a number that cannot be right (the reason in its tooltip): the
// results pane, the regime list and the graph data table look alike.

#include <QColor>

namespace app {

inline const QColor kImplausibleBackground(255, 214, 204);
inline const QColor kImplausibleText(160, 0, 0);

// The verdicts of an emission against its limit: met, undecided within the uncertainty,
// exceeded (text and background).
inline const QColor kVerdictMetText(0, 110, 0);
inline const QColor kVerdictUndecidedText(150, 90, 0);
inline const QColor kVerdictUndecidedBackground(255, 240, 190);
inline const QColor kVerdictExceededText(160, 0, 0);
inline const QColor kVerdictExceededBackground(255, 214, 204);

}  // namespace app
