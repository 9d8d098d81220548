// The objects of a program folder.

#include "app/startup.h"
#include "cli/commands.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "store/objectstore.h"

namespace cli {

int ObjectsCommand(const QStringList& args) {
    if (args.isEmpty() || args.size() > 2) return ProgramUsage();
    app::AppState s;
    app::SetFolders(s, CleanFolder(args[0]));
    if (args.size() == 2) store::ApplyFilter(s, args[1]);
    const store::ObjectList list = store::FillObjectList(s);
    if (!list.ok) {
        Err() << store::kObjectListPathError << ": " << s.objectsFolder << "\n";
        return kFileError;
    }
    bool unreadable = false;
    for (const QString& name : list.names) {
        const QString folder = core::JoinPath(s.objectsFolder, name);
        int count = 0;
        QString why;
        if (!store::IsObjectFolder(folder)) Out() << name << "\t(не объект)\n";
        else if (store::ReadRegimeCount(folder, count, &why)) Out() << name << "\t" << count << "\n";
        else {
            Out() << name << "\t" << store::kFileReadError << "\n";
            Err() << why << "\n";  // which file, and what is wrong with it
            unreadable = true;
        }
    }
    Out() << list.header << "\n";
    return unreadable ? kFileError : kDone;
}

}  // namespace cli
