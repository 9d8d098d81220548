// A graph over all regimes of an object as a workbook and/or a picture.

#include <QImage>
#include <optional>

#include "cli/commands.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "results/graphcatalogue.h"
#include "results/graphpainter.h"
#include "results/plotter.h"
#include "results/xlsxexport.h"

namespace cli {

namespace {

// Takes "--xlsx FILE" and "--png FILE" out of `args`.
void TakeOutputs(QStringList& args, QString& xlsx, QString& png) {
    for (int i = 0; i < args.size();) {
        if ((args[i] == u"--xlsx" || args[i] == u"--png") && i + 1 < args.size()) {
            (args[i] == u"--xlsx" ? xlsx : png) = args[i + 1];
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
}

// The graph of the object's catalogue named `key` (any letter case), chosen into the
// state; false, with the catalogue on the error output, when there is none such.
bool FindGraph(app::AppState& s, const QString& key, results::GraphEntry& entry) {
    bool found = false;
    for (const auto& e : results::BuildGraphList(s.general, s.units))
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            entry = e;
            found = true;
        }
    if (found && results::ChooseGraph(entry.key, s.graph)) return true;
    Err() << "no graph " << key << " for this object; the catalogue holds:\n";
    for (const auto& e : results::BuildGraphList(s.general, s.units))
        Err() << "  " << e.key << "\t" << e.yCaption << " / " << e.xCaption << "\n";
    return false;
}

// The points of every regime of the object; the exit code when there are none to draw.
std::optional<int> CollectPoints(app::AppState& s, results::GraphData& data) {
    // a regime the list could not read would be left out of the graph without a word
    const QString warning = regime::FillRegimeList(s);
    if (!warning.isEmpty()) {
        Err() << s.currentObjectFolder << ": " << warning << "\n";
        return kFileError;
    }
    if (s.regimeList.rows.isEmpty()) {
        Err() << s.currentObjectFolder << QStringLiteral(": в объекте нет режимов, график не построен") << "\n";
        return kFileError;
    }
    QString error;
    if (!results::CollectGraphData(s, data, &error)) {
        Err() << error << "\n";
        return kFileError;
    }
    if (!data.empty()) return std::nullopt;
    // regimes left out because they failed their check say why
    bool checkFailed = false;
    for (const auto& row : s.regimeList.rows)
        if (!row.checkMessage.isEmpty()) {
            Err() << core::JoinPath(s.currentObjectFolder, row.key) << ": " << row.checkMessage << "\n";
            checkFailed = true;
        }
    Err() << s.currentObjectFolder << QStringLiteral(": ни один режим не дал точки графика") << "\n";
    return checkFailed ? kCheckFailed : kFileError;
}

// The workbook and the picture asked for; false (told on the error output) when one of
// them is not written.
bool WriteGraph(const results::GraphExport& g, const QString& xlsx, const QString& png) {
    QString error;
    if (!xlsx.isEmpty() && !results::ExportGraphXlsx(xlsx, g, &error)) {
        Err() << error << "\n";
        return false;
    }
    if (!png.isEmpty()) {
        const QImage image = results::RenderGraphImage(g.data, g.yCaption, g.xCaption, g.objectName);
        if (!results::SaveGraphPng(png, image, &error)) {
            Err() << error << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int GraphCommand(QStringList args) {
    ObjectOptions options;
    TakeObjectOptions(args, options);
    QString xlsx, png;
    TakeOutputs(args, xlsx, png);
    if (args.size() != 2 || (xlsx.isEmpty() && png.isEmpty())) return ProgramUsage();
    app::AppState s;
    QString error;
    for (const QString& target : {xlsx, png})
        if (!target.isEmpty() && !CheckOutputPath(target, error)) {
            Err() << error << "\n";
            return kFileError;
        }
    if (!UseObjectFolder(s, args[0], options, error)) {
        Err() << error << "\n";
        return kFileError;
    }
    results::GraphEntry entry;
    if (!FindGraph(s, args[1].simplified(), entry)) return kUsage;
    results::GraphExport g{s.currentObjectName, entry.yCaption, entry.xCaption, {}};
    if (const std::optional<int> code = CollectPoints(s, g.data)) return *code;
    if (!WriteGraph(g, xlsx, png)) return kFileError;
    Out() << g.data.x.size() << " points\n";
    return kDone;
}

}  // namespace cli
