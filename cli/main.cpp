// kalvaro-cli: the object store and the calculation without a display.
//
//   kalvaro-cli objects HOME [FILTER]
//   kalvaro-cli regimes OBJECTDIR
//   kalvaro-cli recalc OBJECTDIR...
//   kalvaro-cli calc OBJECTDIR "Режим №  3.Dat"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/objectstore.h"
#include "cli/demo.h"
#include "app/startup.h"
#include "core/names.h"
#include "core/numbers.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "results/graphcatalogue.h"
#include "results/graphpainter.h"
#include "results/xlsxexport.h"

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

int Usage() {
    err() << "Usage:\n"
             "  kalvaro-cli objects HOME [FILTER]      list the objects of a program folder\n"
             "  kalvaro-cli regimes OBJECTDIR          list the regimes of an object sorted by load\n"
             "  kalvaro-cli recalc OBJECTDIR...        recalculate every regime and write its results\n"
             "  kalvaro-cli calc OBJECTDIR REGIMEFILE  calculate one regime and print it, writing nothing\n"
             "  kalvaro-cli graph OBJECTDIR \"R4 R3\" [--xlsx FILE] [--png FILE]\n"
             "                                         a graph over all regimes as a workbook and/or a picture\n"
             "  kalvaro-cli demo HOME                  create the demo objects in HOME\n";
    return 2;
}

// Makes the folder the current object of the state: its parent is the objects folder.
bool UseObjectFolder(app::AppState& s, const QString& path, QString& error) {
    const QFileInfo info(path);
    if (!info.isDir()) {
        error = QStringLiteral("no such object folder: ") + path;
        return false;
    }
    s.objectsFolder = info.absoluteDir().absolutePath();
    s.setCurrentObject(info.fileName());
    return app::LoadObjectData(s, &error);
}

int Objects(const QStringList& args) {
    if (args.isEmpty() || args.size() > 2) return Usage();
    app::AppState s;
    app::SetFolders(s, QDir(args[0]).absolutePath());
    if (args.size() == 2) app::ApplyFilter(s, args[1]);
    const app::ObjectList list = app::FillObjectList(s);
    if (!list.ok) {
        err() << app::kObjectListPathError << ": " << s.objectsFolder << "\n";
        return 1;
    }
    for (const QString& name : list.names) {
        const QString folder = core::JoinPath(s.objectsFolder, name);
        int count = 0;
        if (!app::IsObjectFolder(folder)) out() << name << "\t(не объект)\n";
        else if (app::ReadRegimeCount(folder, count)) out() << name << "\t" << count << "\n";
        else out() << name << "\t" << app::kFileReadError << "\n";
    }
    out() << list.header << "\n";
    return 0;
}

int Regimes(const QStringList& args) {
    if (args.size() != 1) return Usage();
    app::AppState s;
    QString error;
    if (!UseObjectFolder(s, args[0], error)) {
        err() << error << "\n";
        return 1;
    }
    const QString warning = regime::FillRegimeList(s);
    for (const auto& row : s.regimeList.rows) out() << row.key << "\t" << row.load << "\n";
    out() << s.regimeList.header << "\n";
    if (!warning.isEmpty()) {
        err() << warning << "\n";
        return 1;
    }
    return 0;
}

int Recalc(const QStringList& args) {
    if (args.isEmpty()) return Usage();
    int status = 0;
    for (const QString& path : args) {
        app::AppState s;
        QString error;
        if (!UseObjectFolder(s, path, error)) {
            err() << path << ": " << error << "\n";
            status = 1;
            continue;
        }
        const QString warning = regime::FillRegimeList(s);
        if (!warning.isEmpty()) {
            err() << path << ": " << warning << "\n";
            status = 1;
            continue;
        }
        const regime::RecalcReport r = regime::RecalculateAllRegimes(s);
        out() << s.currentObjectName << "\n";
        for (const auto& line : r.lines) {
            out() << "  " << line.file << "\t";
            if (line.calculated) out() << "Нагрузка, %:" << line.load << "\n";
            else out() << line.message << "\n";
        }
        out() << "  рассчитано: " << r.calculated << ", пропущено: " << r.skipped
              << ", ошибок записи: " << r.failed << "\n";
        if (!r.listWarning.isEmpty()) err() << path << ": " << r.listWarning << "\n";
        if (r.failed > 0) status = 1;
    }
    return status;
}

int Calc(const QStringList& args) {
    if (args.size() != 2) return Usage();
    app::AppState s;
    QString error;
    if (!UseObjectFolder(s, args[0], error)) {
        err() << error << "\n";
        return 1;
    }
    const QString file = core::FindEntryNoCase(s.currentObjectFolder, args[1]);
    if (file.isEmpty()) {
        err() << "no such regime: " << args[1] << "\n";
        return 1;
    }
    s.setCurrentRegime(file);
    if (!regime::LoadRegimeInputs(s, nullptr, &error)) {
        err() << error << "\n";
        return 1;
    }
    if (!regime::LoadRegimeResults(s)) s.results.fill(0.0f);
    const engine::CalcInputs in = s.calcInputs();
    const std::string check = engine::CheckRegimeData(in);
    if (!check.empty()) {
        out() << QString::fromStdString(check) << " !\n";
        return 0;
    }
    engine::CalculateRegime(in, s.steam, s.results);
    for (int i = 0; i < app::kResultCount; ++i) out() << i << "\t" << core::StoredForm(s.results[i]) << "\n";
    return 0;
}

int Graph(QStringList args) {
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
    if (!UseObjectFolder(s, args[0], error)) {
        err() << error << "\n";
        return 1;
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
        return 2;
    }
    const QString warning = regime::FillRegimeList(s);
    if (!warning.isEmpty()) err() << warning << "\n";
    results::GraphExport g{s.currentObjectName, entry.yCaption, entry.xCaption, {}};
    if (!results::CollectGraphData(s, g.data, &error)) {
        err() << error << "\n";
        return 1;
    }
    if (!xlsx.isEmpty() && !results::ExportGraphXlsx(xlsx, g, &error)) {
        err() << error << "\n";
        return 1;
    }
    if (!png.isEmpty()) {
        const QImage image = results::RenderGraphImage(g.data, g.yCaption, g.xCaption, g.objectName);
        if (!image.save(png, "PNG")) {
            err() << "cannot write " << png << "\n";
            return 1;
        }
    }
    out() << g.data.x.size() << " points\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // drawing a picture needs fonts, that is a GUI application (offscreen, no display)
    bool wantsGui = false;
    for (int i = 1; i < argc; ++i) wantsGui |= std::string_view(argv[i]) == "--png";
    if (wantsGui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(wantsGui ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return Usage();
    const QString command = args.takeFirst();
    if (command == u"objects") return Objects(args);
    if (command == u"regimes") return Regimes(args);
    if (command == u"recalc") return Recalc(args);
    if (command == u"calc") return Calc(args);
    if (command == u"graph") return Graph(args);
    if (command == u"demo" && args.size() == 1) {
        QString error;
        if (!cli::WriteDemo(QDir(args[0]).absolutePath(), error)) {
            err() << error << "\n";
            return 1;
        }
        return 0;
    }
    return Usage();
}
