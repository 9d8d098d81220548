#pragma once
// Names of folders and files: joined with one helper, compared without regard to letter case
// (Cyrillic included), and found on a case-sensitive file system whatever their case.

#include <QString>
#include <QStringList>

namespace core {

bool SameName(const QString& a, const QString& b);

// Joins a folder and a name with exactly one "/" between them.
QString JoinPath(const QString& folder, const QString& name);

// The name of the entry of `folder` that equals `name` ignoring case ("" when none).
// The exact name is tried first, so the common case costs one stat.
QString FindEntryNoCase(const QString& folder, const QString& name);
bool ExistsNoCase(const QString& folder, const QString& name);

// Path of `name` in `folder`: the existing entry whatever its case, else folder/name.
// Readers and writers go through this so "ODATA.TXT" is found and never doubled.
QString ResolvePath(const QString& folder, const QString& name);

// Wildcard match ('*' any run, '?' one character), case-insensitive.
bool MatchesPattern(const QString& name, const QString& pattern);

// Regular files of `folder` whose names match `pattern`, in the order the file system
// gives them (unsorted). Fails when the folder cannot be read. `others` (when given) gets
// the matching entries that are no regular file (a folder, a FIFO, a dangling link), which
// a caller must not pass over in silence.
bool ListFiles(const QString& folder, const QString& pattern, QStringList& names, QStringList* others = nullptr);

// Direct subfolders of `folder`, sorted alphabetically ignoring case. Fails when the
// folder does not exist or cannot be read.
bool ListSubfolders(const QString& folder, QStringList& names);

// A name typed by the user for a new object or file: refused when it is empty after
// trimming, is "." or "..", or holds "/", "\", a NUL or any other control character.
bool IsAcceptableName(const QString& name);

}  // namespace core
