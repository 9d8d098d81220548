#include "shell/helpwindow.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/startup.h"
#include "app/state.h"
#include "app/ui/pictures.h"
#include "core/names.h"

namespace shell {

using namespace app;

// no minimize button: where no panel brings windows back, a minimized help would be lost
HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral("Справка"));
    setWindowIcon(ProgramIcon(QStringLiteral("help")));
    Browser = new QTextBrowser;
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser);
    resize(820, 640);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) close();
    else QWidget::keyPressEvent(event);
}

void HelpWindow::showFile(const QString& path) {
    Browser->setSearchPaths({QFileInfo(path).absolutePath()});
    Browser->setSource(QUrl::fromLocalFile(path));
}

QPointer<QWidget> ShowHelp(const AppState& s, Dialogs& d, QWidget* owner, QPointer<QWidget> existing) {
    if (core::ExistsNoCase(s.templateFolder, kHelpChm) &&
        d.openWithPlatform(QUrl::fromLocalFile(TemplateFile(s, kHelpChm))))
        return existing;
    // no compiled help, or nothing here can show it: the program's own help window
    if (!core::ExistsNoCase(s.templateFolder, kHelpHtml)) {
        d.message(QStringLiteral("Файл справки не найден: ") + TemplateFile(s, kHelpChm), kProgramTitle,
                  Icon::Warning);
        return existing;
    }
    auto* window = qobject_cast<HelpWindow*>(existing.data());
    if (!window) {
        window = new HelpWindow(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->showFile(TemplateFile(s, kHelpHtml));
    window->show();
    window->raise();
    return window;
}

}  // namespace shell
