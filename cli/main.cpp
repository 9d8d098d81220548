// kalvaro-cli: the object store and the calculation without a display.
//
//   kalvaro-cli objects HOME [FILTER]
//   kalvaro-cli regimes OBJECTDIR
//   kalvaro-cli recalc OBJECTDIR...
//   kalvaro-cli calc OBJECTDIR "Режим №  3.Dat" [--json]
//   kalvaro-cli tune OBJECTDIR [--json]
//   kalvaro-cli graph OBJECTDIR "R4 R3" [--xlsx FILE] [--png FILE]
//   kalvaro-cli q5 | report | tune | analyser | analyser-sim ...
//   kalvaro-cli demo HOME
//   kalvaro-cli --help | --version

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHashSeed>
#include <QTemporaryDir>
#include <memory>
#include <string_view>

#include "cli/analyser.h"
#include "cli/commands.h"
#include "cli/demo.h"
#include "cli/import.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "cli/q5.h"
#include "cli/report.h"
#include "cli/techreport.h"
#include "cli/tune.h"

namespace {

const char kCommands[] =
    "  kalvaro-cli objects HOME [FILTER]      list the objects of a program folder\n"
    "  kalvaro-cli regimes OBJECTDIR          list the regimes of an object sorted by load\n"
    "  kalvaro-cli recalc OBJECTDIR...        recalculate every regime and write its results\n"
    "  kalvaro-cli calc OBJECTDIR REGIMEFILE [--json]\n"
    "                                         calculate one regime and print it with the U95 of each\n"
    "                                         result, writing nothing\n"
    "  kalvaro-cli graph OBJECTDIR \"R4 R3\" [--xlsx FILE] [--png FILE]\n"
    "                                         a graph over all regimes as a workbook and/or a picture\n"
    "  kalvaro-cli q5 OBJECTDIR REGIMEFILE [--xlsx FILE]\n"
    "                                         compute the regime's q5 surfaces and print them\n"
    "  kalvaro-cli report OBJECTDIR [--xlsx FILE] [--pdf FILE] [--json]\n"
    "                                         the regime card and summary sheet as a workbook and a PDF;\n"
    "                                         stale regimes are recalculated and stored first;\n"
    "                                         --json prints the card's content (steps, card, annex)\n"
    "  kalvaro-cli techreport OBJECTDIR [--odt FILE] [--pdf FILE]\n"
    "                                         the technical report of the tests as ODT and PDF\n";
const char kDemoUsage[] = "  kalvaro-cli demo HOME                  create the demo objects and the template in HOME\n";
const char kObjectOptions[] =
    "Object commands take --template-units (calculate with the template's units when the object's\n"
    "\"Ediny.txt\" cannot be read); recalc, report and analyser take --force (write into an object\n"
    "another program holds open).\n";
const char kExitCodes[] =
    "Exit codes: 0 all done; 1 a file error; 2 usage; 3 done, but some regimes failed their data check.\n";

// Every command in the order main() tries them, then the options they share.
QString CommandsHelp() {
    return QString::fromUtf8(kCommands) + QString::fromUtf8(cli::kTuneUsage) + QString::fromUtf8(cli::kAnalyserUsage) +
           QString::fromUtf8(cli::kImportUsage) + QString::fromUtf8(kDemoUsage) + QString::fromUtf8(kObjectOptions);
}

}  // namespace

namespace cli {

int ProgramUsage() {
    Err() << "Usage:\n" << CommandsHelp() << "  kalvaro-cli --help | --version\n" << kExitCodes;
    return kUsage;
}

}  // namespace cli

namespace {

// The application the command needs: drawing a picture needs fonts, that is a GUI
// application (offscreen, no display); any other command makes do without one.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, std::unique_ptr<QTemporaryDir>& runtime) {
    bool wantsGui = false;
    for (int i = 1; i < argc; ++i) wantsGui |= std::string_view(argv[i]) == "--png";
    wantsGui |= argc > 1 && (std::string_view(argv[1]) == "report" || std::string_view(argv[1]) == "techreport" ||
                             std::string_view(argv[1]) == "demo");
    if (wantsGui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The demo's files are committed and compared byte for byte: the PDF writer orders its
    // font objects by hash, so hashing must not change from run to run.
    if (argc > 1 && std::string_view(argv[1]) == "demo") QHashSeed::setDeterministicGlobalSeed();
    // the window system asks for the user's runtime folder and warns on stderr when the
    // session has none (cron, ssh, containers): such a run gets a private one for its lifetime
    if (wantsGui && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kalvaro-cli-runtime-XXXXXX"));
        if (runtime->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    return std::unique_ptr<QCoreApplication>(wantsGui ? new QGuiApplication(argc, argv)
                                                      : new QCoreApplication(argc, argv));
}

// Runs the command named first in `args` with the rest.
int RunCommand(QStringList args) {
    using namespace cli;
    const QString command = args.takeFirst();
    if (command == u"objects") return ObjectsCommand(args);
    if (command == u"regimes") return RegimesCommand(args);
    if (command == u"recalc") return RecalcCommand(args);
    if (command == u"calc") return CalcCommand(args);
    if (command == u"graph") return GraphCommand(args);
    if (command == u"q5") return Q5Command(args);
    if (command == u"report") return Report(args);
    if (command == u"techreport") return TechReportCommand(args);
    if (command == u"tune") return TuneCommand(args);
    if (command == u"analyser") return AnalyserCommand(args);
    if (command == u"analyser-sim") return AnalyserSimCommand(args);
    if (command == u"import") return ImportCommand(args);
    if (command == u"demo" && args.size() == 1) {
        QString error;
        if (!WriteDemo(CleanFolder(args[0]), error)) {
            Err() << error << "\n";
            return kFileError;
        }
        return kDone;
    }
    return ProgramUsage();
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QTemporaryDir> runtime;
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv, runtime);
    QCoreApplication::setApplicationName(QStringLiteral("kalvaro-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVARO_VERSION));

    // options stand before the command; everything from the command on is the command's own
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The object store and the calculation of Kalvaro without a display.\n\nCommands:\n") +
        CommandsHelp() + QStringLiteral("\n") + QString::fromUtf8(kExitCodes).chopped(1));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands above."),
                                 QStringLiteral("COMMAND [ARGUMENTS...]"));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(QCoreApplication::arguments())) {
        cli::Err() << "kalvaro-cli: " << parser.errorText() << "\n\n";
        return cli::ProgramUsage();
    }
    if (parser.isSet(help)) {
        cli::Out() << parser.helpText();
        return cli::kDone;
    }
    if (parser.isSet(version)) {
        cli::Out() << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return cli::kDone;
    }
    const QStringList args = parser.positionalArguments();
    if (args.isEmpty()) return cli::ProgramUsage();
    return RunCommand(args);
}
