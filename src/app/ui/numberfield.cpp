#include "app/ui/numberfield.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include "core/numbers.h"

namespace app {

bool IsPasteAction(const QAction* action) {
    if (action->objectName() == u"edit-paste") return true;
    // the standard menu names its entries "&Paste\tCtrl+V" (translated): known by the key
    return action->text().section(u'\t', 1) == QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
}

NumberField::NumberField(NumberRule rule, QWidget* parent) : QLineEdit(parent), rule_(rule) {}

NumberField::NumberField(const QString& text, NumberRule rule, QWidget* parent)
    : QLineEdit(text, parent), rule_(rule) {}

QString NumberField::accepted(const QString& put) const {
    const QString current = text();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? start + static_cast<int>(selectedText().size()) : start;
    // a loaded value may start with a blank: a minus typed over it still goes in front
    const bool atStart = current.left(start).trimmed().isEmpty() && !current.mid(end).contains(u'-');
    const QString kept = current.left(start) + current.mid(end);
    bool point = kept.contains(u'.') || kept.contains(u',');
    QString out;
    for (QChar c : put) {
        if (c == u'-') {
            if (rule_.minus && atStart && out.isEmpty()) out.append(c);
            continue;
        }
        const auto key = core::NumberKey(c);
        // a backspace inside pasted text deletes nothing
        if (!key || *key == QChar(8)) continue;
        if (*key == u'.') {
            if (!rule_.point || point) continue;
            point = true;
        }
        out.append(c == u',' && rule_.comma ? c : *key);
    }
    return out;
}

void NumberField::insertNumber(const QString& put) {
    if (isReadOnly() || !isEnabled()) return;
    const QString accepted = this->accepted(put);
    if (!accepted.isEmpty()) insert(accepted);
}

void NumberField::pasteNumber() { insertNumber(QGuiApplication::clipboard()->text()); }

void NumberField::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteNumber();
        event->accept();
        return;
    }
    const QString typed = event->text();
    // movement, deletion and the editing shortcuts carry no text, a control character or Ctrl
    // (Ctrl with Alt types a character on some layouts: that goes through the filter)
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shortcut = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    if (typed.isEmpty() || typed.at(0).category() == QChar::Other_Control || shortcut) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    insertNumber(typed);
    event->accept();
}

void NumberField::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* a : menu->actions())
        if (IsPasteAction(a)) {
            disconnect(a, &QAction::triggered, nullptr, nullptr);
            connect(a, &QAction::triggered, this, &NumberField::pasteNumber);
        }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void NumberField::dropEvent(QDropEvent* event) {
    // text moved inside the field was let in already
    if (event->source() == this) {
        QLineEdit::dropEvent(event);
        return;
    }
    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    const QString put = accepted(event->mimeData()->text());
    if (put.isEmpty()) {
        event->ignore();
        return;
    }
    insert(put);
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setFocus(Qt::MouseFocusReason);
}

void NumberField::mouseReleaseEvent(QMouseEvent* event) {
    // the middle button pastes the selection of another program on X11
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            insertNumber(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumberField::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(accepted(event->commitString()), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

}  // namespace app
