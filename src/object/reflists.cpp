#include "object/reflists.h"

#include <QFileInfo>

#include "core/filekinds.h"
#include "core/textfile.h"

namespace object {

bool ReadListLines(const QString& path, QStringList& lines) {
    const core::FileKind* kind = core::KindOfName(QFileInfo(path).fileName());
    return kind ? core::ReadKindFile(kind->id, path, lines) : core::ReadTextLines(path, lines);
}

bool ReadList(const QString& path, QStringList& entries, int* cut) {
    if (cut) *cut = 0;
    const bool ok = ReadListLines(path, entries);
    for (QString& e : entries)
        if (e.size() > kMaxListEntry) {
            e = e.left(kMaxListEntry - 1) + QChar(0x2026);
            if (cut) ++*cut;
        }
    return ok;
}

bool AppendToList(const QString& path, const QString& entry) {
    const QString t = entry.trimmed();
    if (t.isEmpty()) return true;
    QStringList entries;
    if (QFileInfo::exists(path) && !ReadListLines(path, entries)) return false;
    entries.append(t);
    return core::WriteTextLines(path, entries);
}

bool WriteList(const QString& path, const QStringList& entries) { return core::WriteTextLines(path, entries); }

}  // namespace object
