#pragma once
// The object store and calculation commands of kalvaro-cli, each in a file of its own, and
// what they share with main(): the exit codes and the whole usage.
//
//   kalvaro-cli objects HOME [FILTER]
//   kalvaro-cli regimes OBJECTDIR
//   kalvaro-cli recalc OBJECTDIR...
//   kalvaro-cli calc OBJECTDIR "Режим №  3.Dat" [--json]
//   kalvaro-cli graph OBJECTDIR "R4 R3" [--xlsx FILE] [--png FILE]

#include <QStringList>

namespace cli {

// Exit codes, the same for every command:
//   0  all done;
//   1  a file error (a folder or file missing, unreadable, not a regular file, not writable);
//   2  the command line is wrong;
//   3  done, but some regimes failed their data check and were not calculated.
enum Exit { kDone = 0, kFileError = 1, kUsage = 2, kCheckFailed = 3 };

// Prints the usage of every command on the error output; returns kUsage. It lives in main.cpp
// beside the text of the help.
int ProgramUsage();

// The objects of a program folder with their number of regimes.
int ObjectsCommand(const QStringList& args);
// The regimes of an object sorted by load.
int RegimesCommand(QStringList args);
// Recalculates every regime of each object and writes its results.
int RecalcCommand(QStringList args);
// Calculates one regime and prints it with the U95 of each result, writing nothing.
int CalcCommand(QStringList args);
// A graph over all regimes of an object as a workbook and/or a picture.
int GraphCommand(QStringList args);

}  // namespace cli
