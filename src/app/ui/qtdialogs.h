#pragma once
// The program's dialogs: Qt message boxes, input boxes and choosers over a parent window, the
// regime notice, and the platform's applications through QDesktopServices.

#include <QPointer>
#include <QWidget>

#include "app/dialogs.h"

namespace app {

// Width of an input box holding `preset`: the whole text shows, within the screen.
int InputBoxWidth(const QWidget& box, const QString& preset);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, const QString& title, Icon icon) override;
    Answer question(const QString& text, const QString& title, Icon icon, bool withCancel) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& preset) override;
    QString chooseFolder(const QString& title) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& suggested, const QString& filter,
                         bool askOverwrite = true) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    void notice(QWidget* parent, const QString& message) override;
    bool openWithPlatform(const QUrl& url) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace app
