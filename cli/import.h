#pragma once
// kalvaro-cli import: the readings of a text table (an analyser's export, a spreadsheet saved
// as CSV) into regimes of an object, as the import window writes them.

#include <QStringList>

namespace cli {

// Exit codes: 0 done, 1 a file error (the table refused, the object or a profile unreadable,
// a write failed and was taken back), 2 usage, 3 done but some regimes failed their data check.
int ImportCommand(const QStringList& args);

extern const char* const kImportUsage;

}  // namespace cli
