#pragma once
// Copying object folders: a copy under a new name, a copy sent to any folder, and an import
// into the objects folder. Each copies the regular files of one folder level.

#include "app/dialogs.h"
#include "app/objectstore.h"
#include "app/state.h"

namespace app {

// Copies the regular files directly inside `from` into the new folder `to` (created here).
// Symbolic links are not copied. On any failure the new folder is removed again.
bool CopyObjectFiles(const QString& from, const QString& to, QString* error = nullptr);

// Each returns Done when the object list must be refilled.
CommandResult CreateObjectCopy(AppState& s, Dialogs& d);
CommandResult SendObjectCopy(AppState& s, Dialogs& d);
CommandResult ImportObject(AppState& s, Dialogs& d);

}  // namespace app
