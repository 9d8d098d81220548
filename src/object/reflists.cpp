#include "object/reflists.h"

#include <QFileInfo>

#include "core/textfile.h"

namespace object {

bool ReadList(const QString& path, QStringList& entries) { return core::ReadTextLines(path, entries); }

bool AppendToList(const QString& path, const QString& entry) {
    const QString t = entry.trimmed();
    if (t.isEmpty()) return true;
    QStringList entries;
    if (QFileInfo::exists(path) && !core::ReadTextLines(path, entries)) return false;
    entries.append(t);
    return core::WriteTextLines(path, entries);
}

bool WriteList(const QString& path, const QStringList& entries) { return core::WriteTextLines(path, entries); }

}  // namespace object
