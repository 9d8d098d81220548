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

// Start-up in a program folder whose template is missing or incomplete (`warning` says what
// is missing): explains it and offers to complete the template from the program's own copy
// `ownTemplate`, then, while the objects folder holds no object, the demo objects. Without an
// own copy it says how to start with a complete program folder. Returns true when the
// template was completed.
bool OfferMissingTemplate(const AppState& s, Dialogs& d, const QString& warning, const QString& ownTemplate,
                          const QString& demoObjectsFolder);

}  // namespace store
