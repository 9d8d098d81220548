// Start-up: read the command line, find the program folder, fix the objects and template
// folders, show the main window and leave the rest to window events.

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "app/firststart.h"
#include "app/startup.h"
#include "app/state.h"
#include "shell/mdiform1.h"
#include "shell/objectwindows.h"
#include "store/objectcopy.h"
#include "store/objectstore.h"
#include "app/ui/qtdialogs.h"
#include "app/ui/pictures.h"
#include "shell/identity.h"
#include "app/dialogs.h"
#include "shell/termination.h"
#include "shell/workbench.h"

namespace {

void SetUpParser(QCommandLineParser& parser, QCommandLineOption& home) {
    parser.setApplicationDescription(
        QStringLiteral("Kalvaro, the workbench for regime tests of steam and hot-water boilers.\n\n"
                       "The program folder holds \"Все объекты\" (one folder per object) and \"Template\".\n"
                       "Without --home it is $KALVARO_HOME, else the folder of the executable when it\n"
                       "holds Template, else the per-user folder (~/.local/share/kalvaro), prepared on\n"
                       "first start from the installed template."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(home);
    parser.addPositionalArgument(QStringLiteral("OBJECTDIR"), QStringLiteral("Open this object folder at once."),
                                 QStringLiteral("[OBJECTDIR]"));
}

// --help and --version are answered before the window system starts, so they work on a
// terminal without a display.
bool AsksHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--") break;
        if (a == "-h" || a == "--help" || a == "-?" || a == "--help-all" || a == "-v" || a == "--version")
            return true;
    }
    return false;
}

// Once the main window is up: the offers of a first start or of a missing template, then
// the object asked for on the command line.
void OfferAtStart(app::AppState& state, app::Dialogs& dialogs, shell::Workbench& workbench,
                  const app::StartFolder& start, const store::ObjectArgument& object, const QString& executableFolder) {
    const QString templateWarning = app::TemplateWarning(state);
    bool added = false;
    if (!templateWarning.isEmpty()) {
        if (store::OfferMissingTemplate(state, dialogs, templateWarning, app::InstalledTemplateFolder(executableFolder),
                                        app::InstalledDemoObjectsFolder(executableFolder)))
            added = !store::DemoObjectNames(state.objectsFolder).isEmpty();
        // the status tells what is still missing, nothing once the template is whole
        workbench.setStatus(1, app::TemplateWarning(state));
        // the offer may have made the objects folder: "Создать" may act now
        workbench.setCreateOpenEnabled(true);
    } else if (start.prepared && object.programFolder.isEmpty() && object.objectsFolder.isEmpty()) {
        // the per-user folder was prepared; an object elsewhere leaves its offer for later
        added = store::OfferDemoObjects(state, dialogs, app::InstalledDemoObjectsFolder(executableFolder)) > 0;
    }
    if (!object.error.isEmpty()) dialogs.message(object.error, app::kProgramTitle, app::Icon::Warning);
    else if (!object.name.isEmpty()) workbench.openObject(object.name);
    else if (added) workbench.frame().MDIForm1_OpenList();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("kalvaro"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVARO_VERSION));
    QCommandLineOption home(QStringLiteral("home"), QStringLiteral("Use DIR as the program folder."),
                            QStringLiteral("DIR"));
    if (AsksHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        SetUpParser(parser, home);
        parser.process(core);  // prints the help or the version and ends the program
        return 0;
    }

    QApplication application(argc, argv);  // takes its own options (-platform, -style, ...)
    shell::SetUpApplicationIdentity();
    QCommandLineParser parser;
    SetUpParser(parser, home);
    if (!parser.parse(application.arguments()) || parser.positionalArguments().size() > 1) {
        const QString why = parser.errorText().isEmpty()
                                ? QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().value(1))
                                : parser.errorText();
        std::fprintf(stderr, "kalvaro: %s\n\n%s", qPrintable(why), qPrintable(parser.helpText()));
        return 2;
    }

    // standard buttons read Да / Нет / Отмена
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&qtTranslator);

    app::AppState state;
    QStringList folderArguments{application.arguments().value(0)};
    if (parser.isSet(home)) folderArguments << QStringLiteral("--home") << parser.value(home);
    const QString executableFolder = QApplication::applicationDirPath();
    const app::StartFolder start = app::ChooseStartFolder(
        folderArguments, executableFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    app::SetFolders(state, start.programFolder);
    // an object named on the command line may bring its own program or objects folder
    store::ObjectArgument object;
    if (!parser.positionalArguments().isEmpty()) {
        object = store::ResolveObjectArgument(state, parser.positionalArguments().first(),
                                              parser.isSet(home) || !qEnvironmentVariableIsEmpty("KALVARO_HOME"));
        if (!object.programFolder.isEmpty()) app::SetFolders(state, object.programFolder);
        if (!object.objectsFolder.isEmpty()) state.objectsFolder = object.objectsFolder;
    }

    // the window icon at the size title bars and task bars show: a 256-pixel one is sent to
    // the X server whole at every window's mapping (2 ms of the start-up)
    QApplication::setWindowIcon(app::ProgramIcon(QStringLiteral("kalvaro-48")));
    app::QtDialogs dialogs;
    shell::Workbench workbench(state, dialogs);
    shell::InstallObjectWindows(workbench);
    dialogs.setParent(&workbench.frame());
    workbench.frame().show();
    shell::CloseOnTerminationSignals(&workbench.frame());
    if (!start.warning.isEmpty()) dialogs.message(start.warning, app::kProgramTitle, app::Icon::Warning);
    // once the main window is up: the offers of a first start or of a missing template, then
    // the object asked for
    QTimer::singleShot(0, &workbench.frame(),
                       [&] { OfferAtStart(state, dialogs, workbench, start, object, executableFolder); });
    return application.exec();
}
