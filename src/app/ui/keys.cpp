#include "app/ui/keys.h"

#include <QKeyEvent>
#include <QLineEdit>

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

QString WithoutExtraPoints(const QLineEdit* field, const QString& put) {
    QString kept = field->text();
    if (field->hasSelectedText()) kept.remove(field->selectionStart(), field->selectedText().size());
    bool point = kept.contains(u'.') || kept.contains(u',');
    QString out;
    for (QChar c : put) {
        if (c == u'.' || c == u',') {
            if (point) continue;
            point = true;
        }
        out.append(c);
    }
    return out;
}

bool IsEditingKey(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) return false;
    return event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::Copy) ||
           event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
           event->matches(QKeySequence::Redo) || (event->modifiers() & Qt::ControlModifier && event->text().isEmpty());
}

}  // namespace app
