#include "app/ui/keys.h"

#include <QKeyEvent>

namespace app {

bool IsFrameShortcut(const QKeyEvent* event) {
    if (event->modifiers() != Qt::ControlModifier) return false;
    switch (event->key()) {
    case Qt::Key_N:
    case Qt::Key_O:
    case Qt::Key_E:
    case Qt::Key_R: return true;
    default: return false;
    }
}

}  // namespace app
