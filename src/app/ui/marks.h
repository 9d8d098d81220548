#pragma once
// How every window marks a number that cannot be right (the reason in its tooltip): the
// results pane, the regime list and the graph data table look alike.

#include <QColor>

namespace app {

inline const QColor kImplausibleBackground(255, 214, 204);
inline const QColor kImplausibleText(160, 0, 0);

}  // namespace app
