#pragma once
// The command line's output streams and its usage refusal, shared by every command so that
// their texts go out through one buffer per stream, in the order they were written.

#include <QString>
#include <QTextStream>

namespace cli {

QTextStream& Out();
QTextStream& Err();

// Prints `why` (when given) and the command's usage on stderr; returns the usage exit code 2.
int UsageExit(const QString& why, const char* usage);

}  // namespace cli
