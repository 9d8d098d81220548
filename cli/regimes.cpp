// The regimes of an object sorted by load.

#include "cli/commands.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "regime/regimestore.h"

namespace cli {

int RegimesCommand(QStringList args) {
    ObjectOptions options;
    TakeObjectOptions(args, options);
    options.templateUnits = true;  // the list shows stored loads only: no units are used
    if (args.size() != 1) return ProgramUsage();
    app::AppState s;
    QString error;
    if (!UseObjectFolder(s, args[0], options, error)) {
        Err() << error << "\n";
        return kFileError;
    }
    const QString warning = regime::FillRegimeList(s);
    bool checkFailed = false;
    for (const auto& row : s.regimeList.rows) {
        Out() << row.key << "\t" << row.load << "\n";
        // a blank load says why on the error output
        if (row.load.isEmpty() && !row.checkMessage.isEmpty()) {
            Err() << core::JoinPath(s.currentObjectFolder, row.key) << ": " << row.checkMessage << "\n";
            checkFailed = true;
        }
    }
    Out() << s.regimeList.header << "\n";
    if (!warning.isEmpty()) {
        Err() << s.currentObjectFolder << ": " << warning << "\n";
        return kFileError;
    }
    return checkFailed ? kCheckFailed : kDone;
}

}  // namespace cli
