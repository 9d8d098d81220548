#pragma once
// Copying object folders: a copy under a new name, a copy sent to any folder, and an import
// into the objects folder. Each copies the regular files of one folder level.

#include "app/dialogs.h"
#include "store/objectstore.h"
#include "app/state.h"

namespace store {

// Copies the regular files directly inside `from` into the new folder `to` (created here).
// Symbolic links are not copied. On any failure the new folder is removed again.
bool CopyObjectFiles(const QString& from, const QString& to, QString* error = nullptr);

// Each returns Done when the object list must be refilled.
CommandResult CreateObjectCopy(AppState& s, Dialogs& d);
CommandResult SendObjectCopy(AppState& s, Dialogs& d);
CommandResult ImportObject(AppState& s, Dialogs& d);

// The demo objects that can be added: the object folders of `demoObjectsFolder`, sorted.
QStringList DemoObjectNames(const QString& demoObjectsFolder);

// Tells the user that the program folder was prepared and, when demo objects are installed,
// asks whether to add them to the objects folder. An object whose name is already taken is
// left alone; a failed copy is removed again and reported. Returns the number added.
int OfferDemoObjects(const AppState& s, Dialogs& d, const QString& demoObjectsFolder);

}  // namespace store
