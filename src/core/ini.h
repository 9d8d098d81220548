#pragma once
// One INI key at a time: "[section]" headers, "key=value" lines, section and key matched
// without regard to case. Values longer than 254 characters come back cut.

#include <QString>

namespace core {

QString ReadIni(const QString& file, const QString& section, const QString& key, const QString& def);
// Creates the file, the section or the key as needed and replaces an existing value.
// Returns false when the file cannot be written (callers of the original ignore it).
bool WriteIni(const QString& file, const QString& section, const QString& key, const QString& value);

}  // namespace core
