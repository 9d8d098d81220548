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
#include <QFileInfo>
#include <QGuiApplication>
#include <QHashSeed>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

#include "app/startup.h"
#include "cli/analyser.h"
#include "cli/demo.h"
#include "cli/import.h"
#include "cli/objectfolder.h"
#include "cli/q5.h"
#include "cli/report.h"
#include "cli/techreport.h"
#include "cli/tune.h"
#include "core/names.h"
#include "core/numbers.h"
#include "object/emissionnorms.h"
#include "object/generaldata.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "results/emissionverdicts.h"
#include "results/graphcatalogue.h"
#include "results/graphpainter.h"
#include "results/instrumentlimits.h"
#include "results/resultrows.h"
#include "results/xlsxexport.h"
#include "store/objectstore.h"

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// Exit codes, the same for every command:
//   0  all done;
//   1  a file error (a folder or file missing, unreadable, not a regular file, not writable);
//   2  the command line is wrong;
//   3  done, but some regimes failed their data check and were not calculated.
enum Exit { kDone = 0, kFileError = 1, kUsage = 2, kCheckFailed = 3 };

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

int Usage() {
    err() << "Usage:\n" << CommandsHelp() << "  kalvaro-cli --help | --version\n" << kExitCodes;
    return kUsage;
}

using cli::CleanFolder;

// The object folder of a command; a warning of its units goes to the error output.
bool UseObjectFolder(app::AppState& s, const QString& path, const cli::ObjectOptions& options, QString& error) {
    QString warning;
    if (!cli::UseObjectFolder(s, path, options, error, warning)) return false;
    if (!warning.isEmpty()) err() << s.currentObjectFolder << ": " << warning << "\n";
    return true;
}

using cli::ObjectRegimeFile;

int Objects(const QStringList& args) {
    if (args.isEmpty() || args.size() > 2) return Usage();
    app::AppState s;
    app::SetFolders(s, CleanFolder(args[0]));
    if (args.size() == 2) store::ApplyFilter(s, args[1]);
    const store::ObjectList list = store::FillObjectList(s);
    if (!list.ok) {
        err() << store::kObjectListPathError << ": " << s.objectsFolder << "\n";
        return kFileError;
    }
    bool unreadable = false;
    for (const QString& name : list.names) {
        const QString folder = core::JoinPath(s.objectsFolder, name);
        int count = 0;
        QString why;
        if (!store::IsObjectFolder(folder)) out() << name << "\t(не объект)\n";
        else if (store::ReadRegimeCount(folder, count, &why)) out() << name << "\t" << count << "\n";
        else {
            out() << name << "\t" << store::kFileReadError << "\n";
            err() << why << "\n";  // which file, and what is wrong with it
            unreadable = true;
        }
    }
    out() << list.header << "\n";
    return unreadable ? kFileError : kDone;
}

int Regimes(QStringList args) {
    cli::ObjectOptions options;
    cli::TakeObjectOptions(args, options);
    options.templateUnits = true;  // the list shows stored loads only: no units are used
    if (args.size() != 1) return Usage();
    app::AppState s;
    QString error;
    if (!UseObjectFolder(s, args[0], options, error)) {
        err() << error << "\n";
        return kFileError;
    }
    const QString warning = regime::FillRegimeList(s);
    bool checkFailed = false;
    for (const auto& row : s.regimeList.rows) {
        out() << row.key << "\t" << row.load << "\n";
        // a blank load says why on the error output
        if (row.load.isEmpty() && !row.checkMessage.isEmpty()) {
            err() << core::JoinPath(s.currentObjectFolder, row.key) << ": " << row.checkMessage << "\n";
            checkFailed = true;
        }
    }
    out() << s.regimeList.header << "\n";
    if (!warning.isEmpty()) {
        err() << s.currentObjectFolder << ": " << warning << "\n";
        return kFileError;
    }
    return checkFailed ? kCheckFailed : kDone;
}

int Recalc(QStringList args) {
    cli::ObjectOptions options;
    cli::TakeObjectOptions(args, options);
    options.writes = true;
    if (args.isEmpty()) return Usage();
    int status = kDone;
    auto worse = [&](int code) {
        if (code == kFileError || status == kDone) status = code;
    };
    for (const QString& path : args) {
        app::AppState s;
        QString error;
        if (!UseObjectFolder(s, path, options, error)) {
            err() << error << "\n";
            worse(kFileError);
            continue;
        }
        // every regime file is listed, whatever its results file holds: recalculation
        // reads that file itself and writes it anew when it is missing or broken; an entry
        // named like a regime that is no file is reported, and the others are calculated
        const QString listed = regime::ListRegimes(s);
        if (!listed.isEmpty()) {
            err() << s.currentObjectFolder << ": " << listed << "\n";
            worse(kFileError);
            if (s.regimeList.rows.isEmpty()) continue;
        }
        const regime::RecalcReport r = regime::RecalculateAllRegimes(s);
        out() << s.currentObjectName << "\n";
        for (const auto& line : r.lines) {
            out() << "  " << line.file << "\t";
            if (line.calculated) {
                out() << "Нагрузка, %:" << line.load;
                if (line.repaired) out() << "\t(файл результатов отсутствовал или был повреждён и создан заново)";
                out() << "\n";
            } else {
                out() << line.message << "\n";
            }
        }
        out() << "  рассчитано: " << r.calculated << ", не прошли проверку данных: " << r.skipped
              << ", ошибок чтения: " << r.readFailed << ", ошибок записи: " << (r.failed - r.readFailed) << "\n";
        if (!r.stopped.isEmpty()) err() << r.stopped << "\n";
        if (!r.listWarning.isEmpty()) err() << s.currentObjectFolder << ": " << r.listWarning << "\n";
        if (r.failed > 0) worse(kFileError);
        else if (r.skipped > 0) worse(kCheckFailed);
    }
    return status;
}

int Calc(QStringList args) {
    cli::ObjectOptions options;
    cli::TakeObjectOptions(args, options);
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 2) return Usage();
    app::AppState s;
    QString error, file;
    if (!UseObjectFolder(s, args[0], options, error) || !ObjectRegimeFile(s, args[1], file, error)) {
        err() << error << "\n";
        return kFileError;
    }
    s.setCurrentRegime(file);
    if (!regime::LoadRegimeInputs(s, nullptr, &error)) {
        err() << error << "\n";
        return kFileError;
    }
    if (!regime::LoadRegimeResults(s)) s.results.fill(0.0f);
    const QString check = regime::CheckRegime(s);
    if (!check.isEmpty()) {
        out() << check << " !\n";
        return kCheckFailed;
    }
    const engine::CalcInputs in = s.calcInputs();
    engine::CalculateRegime(in, s.steam, s.results);
    // the uncertainty from the instruments' limits of the template folder
    engine::InstrumentLimits limits;
    if (!results::ReadInstrumentLimits(s.templateFolder, limits, &error)) {
        err() << error << "\n";
        return kFileError;
    }
    engine::RegimeUncertainty u;
    if (!results::RegimeUncertaintyOf(in, limits, s.currentObjectFolder, file, u, &error)) {
        err() << error << "\n";
        return kFileError;
    }
    // U in the decimals of its slot
    auto u95Text = [&](int i) { return QString::number(u.u95[i], 'f', engine::kResultDecimals[i]); };
    // the verdicts of CO and NOx against the object's limits; a damaged list or choice file
    // is a file error, as a damaged limits file of the instruments is
    QJsonObject verdicts;
    for (const object::Pollutant p : {object::Pollutant::CO, object::Pollutant::NOx}) {
        QString why;
        const object::AppliedLimit limit =
            object::LimitForObject(s.templateFolder, s.currentObjectFolder, s.general, p, &why);
        if (!why.isEmpty()) {
            err() << why << "\n";
            return kFileError;
        }
        const results::EmissionJudgement j = results::JudgeEmission(p, s.results, &u, limit);
        const QString text = object::VerdictText(j.verdict);
        verdicts.insert(object::PollutantText(p), text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text));
    }
    if (json) {
        QJsonArray values, u95;
        for (int i = 0; i < app::kResultCount; ++i) {
            values.append(core::StoredForm(s.results[i]).toDouble());  // 91.51, not 91.5100021
            u95.append(u.computed[i] ? QJsonValue(u.u95[i]) : QJsonValue(QJsonValue::Null));
        }
        // the budget of the gross efficiency: which instrument to improve
        out() << QJsonDocument(QJsonObject{{"slots", values},
                                           {"u95", u95},
                                           {"coverage", engine::kCoverage},
                                           {"budget", results::BudgetJson(u, 4)},
                                           {"verdicts", verdicts}})
                     .toJson(QJsonDocument::Compact)
              << "\n";
        return kDone;
    }
    // each slot's caption from the results table's rows; number and value stay the first columns
    QStringList captions(app::kResultCount);
    for (const results::ResultRow& row : results::BuildResultRows(s.general)) {
        const int slot = results::ResultSlot(row.key, s.general);
        if (slot >= 0 && slot < app::kResultCount && captions[slot].isEmpty())
            captions[slot] = row.caption.simplified() + (row.unit.trimmed().isEmpty() ? QString() : QStringLiteral(", ") + row.unit.trimmed());
    }
    for (int i = 0; i < app::kResultCount; ++i) {
        out() << i << "\t" << core::StoredForm(s.results[i]);
        if (u.computed[i]) out() << "\t± " << u95Text(i);
        // the caption is always the fourth column: an empty third where no U is computed
        if (!captions[i].isEmpty()) out() << (u.computed[i] ? "\t" : "\t\t") << captions[i];
        out() << "\n";
    }
    return kDone;
}

int Graph(QStringList args) {
    cli::ObjectOptions options;
    cli::TakeObjectOptions(args, options);
    QString xlsx, png;
    for (int i = 0; i < args.size();) {
        if ((args[i] == u"--xlsx" || args[i] == u"--png") && i + 1 < args.size()) {
            (args[i] == u"--xlsx" ? xlsx : png) = args[i + 1];
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (args.size() != 2 || (xlsx.isEmpty() && png.isEmpty())) return Usage();
    app::AppState s;
    QString error;
    for (const QString& target : {xlsx, png})
        if (!target.isEmpty() && !cli::CheckOutputPath(target, error)) {
            err() << error << "\n";
            return kFileError;
        }
    if (!UseObjectFolder(s, args[0], options, error)) {
        err() << error << "\n";
        return kFileError;
    }
    const QString key = args[1].simplified();
    results::GraphEntry entry;
    bool found = false;
    for (const auto& e : results::BuildGraphList(s.general, s.units))
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            entry = e;
            found = true;
        }
    if (!found || !results::ChooseGraph(entry.key, s.graph)) {
        err() << "no graph " << key << " for this object; the catalogue holds:\n";
        for (const auto& e : results::BuildGraphList(s.general, s.units))
            err() << "  " << e.key << "\t" << e.yCaption << " / " << e.xCaption << "\n";
        return kUsage;
    }
    // a regime the list could not read would be left out of the graph without a word
    const QString warning = regime::FillRegimeList(s);
    if (!warning.isEmpty()) {
        err() << s.currentObjectFolder << ": " << warning << "\n";
        return kFileError;
    }
    if (s.regimeList.rows.isEmpty()) {
        err() << s.currentObjectFolder << QStringLiteral(": в объекте нет режимов, график не построен") << "\n";
        return kFileError;
    }
    results::GraphExport g{s.currentObjectName, entry.yCaption, entry.xCaption, {}};
    if (!results::CollectGraphData(s, g.data, &error)) {
        err() << error << "\n";
        return kFileError;
    }
    if (g.data.empty()) {
        // regimes left out because they failed their check say why
        bool checkFailed = false;
        for (const auto& row : s.regimeList.rows)
            if (!row.checkMessage.isEmpty()) {
                err() << core::JoinPath(s.currentObjectFolder, row.key) << ": " << row.checkMessage << "\n";
                checkFailed = true;
            }
        err() << s.currentObjectFolder << QStringLiteral(": ни один режим не дал точки графика") << "\n";
        return checkFailed ? kCheckFailed : kFileError;
    }
    if (!xlsx.isEmpty() && !results::ExportGraphXlsx(xlsx, g, &error)) {
        err() << error << "\n";
        return kFileError;
    }
    if (!png.isEmpty()) {
        const QImage image = results::RenderGraphImage(g.data, g.yCaption, g.xCaption, g.objectName);
        if (!results::SaveGraphPng(png, image, &error)) {
            err() << error << "\n";
            return kFileError;
        }
    }
    out() << g.data.x.size() << " points\n";
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    // drawing a picture needs fonts, that is a GUI application (offscreen, no display)
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
    std::unique_ptr<QTemporaryDir> runtime;
    if (wantsGui && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kalvaro-cli-runtime-XXXXXX"));
        if (runtime->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    std::unique_ptr<QCoreApplication> app(wantsGui ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
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
        err() << "kalvaro-cli: " << parser.errorText() << "\n\n";
        return Usage();
    }
    if (parser.isSet(help)) {
        out() << parser.helpText();
        return kDone;
    }
    if (parser.isSet(version)) {
        out() << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return kDone;
    }
    QStringList args = parser.positionalArguments();
    if (args.isEmpty()) return Usage();
    const QString command = args.takeFirst();
    if (command == u"objects") return Objects(args);
    if (command == u"regimes") return Regimes(args);
    if (command == u"recalc") return Recalc(args);
    if (command == u"calc") return Calc(args);
    if (command == u"graph") return Graph(args);
    if (command == u"q5") return cli::Q5Command(args);
    if (command == u"report") return cli::Report(args);
    if (command == u"techreport") return cli::TechReportCommand(args);
    if (command == u"tune") return cli::TuneCommand(args);
    if (command == u"analyser") return cli::AnalyserCommand(args);
    if (command == u"analyser-sim") return cli::AnalyserSimCommand(args);
    if (command == u"import") return cli::ImportCommand(args);
    if (command == u"demo" && args.size() == 1) {
        QString error;
        if (!cli::WriteDemo(CleanFolder(args[0]), error)) {
            err() << error << "\n";
            return kFileError;
        }
        return kDone;
    }
    return Usage();
}
