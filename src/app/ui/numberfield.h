#pragma once
// The program's one entry field for numbers. Whatever reaches it — a typed key, a paste by
// shortcut, by the field's menu or by the middle button, a drop, an input method's text —
// goes through the same filter: ASCII digits pass, "," becomes "." (unless the window keeps
// it), one decimal point is kept, a minus only in front and only where the window's rule allows it, and everything
// else is dropped. So the field always shows a number that can be stored.

#include <QLineEdit>

class QAction;

namespace app {

struct NumberRule {
    bool point = true;   // a decimal point may be typed
    bool minus = false;  // a minus may be typed in front
    bool comma = false;  // a decimal comma stays as typed (it becomes "." otherwise)
};

// True for the "Paste" entry of a field's standard menu.
bool IsPasteAction(const QAction* action);

class NumberField : public QLineEdit {
public:
    explicit NumberField(NumberRule rule = {}, QWidget* parent = nullptr);
    explicit NumberField(const QString& text, NumberRule rule = {}, QWidget* parent = nullptr);

    NumberRule rule() const { return rule_; }
    void setRule(NumberRule rule) { rule_ = rule; }

    // What of `text` the rule lets in where it would go now: at the cursor, or over the
    // selection.
    QString accepted(const QString& text) const;
    // Inserts what of `text` is accepted; nothing in a read-only field.
    void insertNumber(const QString& text);
    // The clipboard's text through the filter: the paste of the shortcut and of the menu.
    void pasteNumber();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    NumberRule rule_;
};

}  // namespace app
