// Start-up: find the program folder, fix the objects and template folders, show the main
// window and leave the rest to window events.

#include <QApplication>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include "app/startup.h"
#include "app/state.h"
#include "app/ui/mdiform1.h"
#include "app/ui/objectwindows.h"
#include "app/ui/qtdialogs.h"
#include "app/ui/uiutil.h"
#include "app/ui/workbench.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kalvaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kalvaro"));
    QApplication::setApplicationVersion(QStringLiteral(KALVARO_VERSION));

    // standard buttons read Да / Нет / Отмена
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&qtTranslator);

    app::AppState state;
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString installedTemplate = QApplication::applicationDirPath() + QStringLiteral("/../share/kalvaro/Template");
    QString startWarning;
    app::SetFolders(state, app::FindProgramFolder(application.arguments(), QApplication::applicationDirPath(),
                                                  userData, installedTemplate, &startWarning));

    QApplication::setWindowIcon(app::ProgramIcon(QStringLiteral("kalvaro")));
    app::QtDialogs dialogs;
    app::Workbench workbench(state, dialogs);
    app::InstallObjectWindows(workbench);
    dialogs.setParent(&workbench.frame());
    workbench.frame().show();
    if (!startWarning.isEmpty()) dialogs.message(startWarning, app::kProgramTitle, app::Icon::Warning);
    return application.exec();
}
