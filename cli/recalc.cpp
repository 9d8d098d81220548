// Recalculating every regime of objects.

#include "cli/commands.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"

namespace cli {

namespace {

// A line for each regime recalculated and the counts of the object.
void PrintRecalc(const regime::RecalcReport& r) {
    for (const auto& line : r.lines) {
        Out() << "  " << line.file << "\t";
        if (line.calculated) {
            Out() << "Нагрузка, %:" << line.load;
            if (line.repaired) Out() << "\t(файл результатов отсутствовал или был повреждён и создан заново)";
            Out() << "\n";
        } else {
            Out() << line.message << "\n";
        }
    }
    Out() << "  рассчитано: " << r.calculated << ", не прошли проверку данных: " << r.skipped
          << ", ошибок чтения: " << r.readFailed << ", ошибок записи: " << (r.failed - r.readFailed) << "\n";
}

}  // namespace

int RecalcCommand(QStringList args) {
    ObjectOptions options;
    TakeObjectOptions(args, options);
    options.writes = true;
    if (args.isEmpty()) return ProgramUsage();
    int status = kDone;
    auto worse = [&](int code) {
        if (code == kFileError || status == kDone) status = code;
    };
    for (const QString& path : args) {
        app::AppState s;
        QString error;
        if (!UseObjectFolder(s, path, options, error)) {
            Err() << error << "\n";
            worse(kFileError);
            continue;
        }
        // every regime file is listed, whatever its results file holds: recalculation
        // reads that file itself and writes it anew when it is missing or broken; an entry
        // named like a regime that is no file is reported, and the others are calculated
        const QString listed = regime::ListRegimes(s);
        if (!listed.isEmpty()) {
            Err() << s.currentObjectFolder << ": " << listed << "\n";
            worse(kFileError);
            if (s.regimeList.rows.isEmpty()) continue;
        }
        const regime::RecalcReport r = regime::RecalculateAllRegimes(s);
        Out() << s.currentObjectName << "\n";
        PrintRecalc(r);
        if (!r.stopped.isEmpty()) Err() << r.stopped << "\n";
        if (!r.listWarning.isEmpty()) Err() << s.currentObjectFolder << ": " << r.listWarning << "\n";
        if (r.failed > 0) worse(kFileError);
        else if (r.skipped > 0) worse(kCheckFailed);
    }
    return status;
}

}  // namespace cli
