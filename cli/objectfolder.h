#pragma once
// The object folder a command is given, the same way for every command, and the checks
// every command that writes makes: the object's lock and the output paths it is given.

#include <QString>
#include <QStringList>

#include "app/objectlock.h"
#include "app/state.h"

namespace cli {

// A folder given on the command line, absolute and without a trailing slash (what a shell's
// completion types), so its last name is the object's name.
QString CleanFolder(const QString& path);

// Options every object command takes.
struct ObjectOptions {
    bool templateUnits = false;  // --template-units: calculate with the template's units when
                                 // the object's "Ediny.txt" is missing or unreadable
    bool force = false;          // --force: write into an object another program holds
    bool writes = false;         // the command writes into the object: it takes its lock
};
// Takes "--template-units" and "--force" out of `args`.
void TakeObjectOptions(QStringList& args, ObjectOptions& options);

// Makes the folder the current object of the state: its parent is the objects folder, the
// template beside that. An object whose own units cannot be read is refused (the error
// names the file) unless `templateUnits` is set; `warning` then says that the template's
// units are used. A writing command takes the object's lock into the state and refuses an
// object another program holds, unless forced.
bool UseObjectFolder(app::AppState& s, const QString& path, const ObjectOptions& options, QString& error,
                     QString& warning);
// The same, the warning of the units told on the error output after the object's folder.
bool UseObjectFolder(app::AppState& s, const QString& path, const ObjectOptions& options, QString& error);

// A regime file name of the object itself: a plain name (no folder part), of the regime
// pattern, present in the object folder whatever its letter case.
bool ObjectRegimeFile(const app::AppState& s, const QString& given, QString& file, QString& error);

// An output file a command is told to write (--xlsx, --pdf, --png): refused when it is a
// folder, or names a file the program keeps (any kind of the file table) in an object, a
// template or a program folder, whatever its letter case.
bool CheckOutputPath(const QString& path, QString& error);

}  // namespace cli
