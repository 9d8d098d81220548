#pragma once
// The object folder a command is given, the same way for every command.

#include <QString>

#include "app/state.h"

namespace cli {

// A folder given on the command line, absolute and without a trailing slash (what a shell's
// completion types), so its last name is the object's name.
QString CleanFolder(const QString& path);

// Makes the folder the current object of the state: its parent is the objects folder, the
// template beside that. `warning` says when the object's units were missing and the
// template's were taken.
bool UseObjectFolder(app::AppState& s, const QString& path, QString& error, QString& warning);

}  // namespace cli
