#include "core/ini.h"

#include <QFileInfo>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"

namespace core {

namespace {

bool IsSectionHeader(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0) return false;
    if (name) *name = t.mid(1, close - 1).trimmed();
    return true;
}

// Splits "key=value"; false for lines without '=' or comments.
bool SplitKey(const QString& line, QString& key, QString& value) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';')) return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0) return false;
    key = t.left(eq).trimmed();
    value = t.mid(eq + 1).trimmed();
    return true;
}

// The lines of an INI file; a kept kind (the port settings) is checked against its
// description, so a damaged file is neither read nor rewritten around its damage.
bool ReadIniLines(const QString& file, QStringList& lines) {
    if (const FileKind* kind = KindOfName(QFileInfo(file).fileName())) return ReadKindFile(kind->id, file, lines);
    return ReadTextLines(file, lines);
}

}  // namespace

QString ReadIni(const QString& file, const QString& section, const QString& key, const QString& def) {
    QStringList lines;
    if (!ReadIniLines(file, lines)) return def;
    bool inSection = false;
    for (const QString& line : lines) {
        QString name;
        if (IsSectionHeader(line, &name)) {
            inSection = QString::compare(name, section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (inSection && SplitKey(line, k, v) && QString::compare(k, key, Qt::CaseInsensitive) == 0) {
            if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) v = v.mid(1, v.size() - 2);
            return v.left(254);
        }
    }
    return def;
}

bool WriteIni(const QString& file, const QString& section, const QString& key, const QString& value) {
    QStringList lines;
    if (!ReadIniLines(file, lines)) {
        // only a file that is not there starts empty; one that cannot be read is left as
        // it is rather than replaced by a file holding this one key
        QFileInfo info(file);
        if (info.exists() || info.isSymLink() || !FindEntryNoCase(info.path(), info.fileName()).isEmpty())
            return false;
        lines.clear();
    }
    const QString entry = key + u'=' + value;
    qsizetype sectionStart = -1, sectionEnd = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (IsSectionHeader(lines.at(i), &name)) {
            if (sectionStart >= 0) {
                sectionEnd = i;
                break;
            }
            if (QString::compare(name, section, Qt::CaseInsensitive) == 0) sectionStart = i;
        }
    }
    if (sectionStart < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QString());
        lines.append(u'[' + section + u']');
        lines.append(entry);
    } else {
        bool replaced = false;
        qsizetype lastKey = sectionStart;
        for (qsizetype i = sectionStart + 1; i < sectionEnd; ++i) {
            QString k, v;
            if (SplitKey(lines.at(i), k, v)) {
                lastKey = i;
                if (QString::compare(k, key, Qt::CaseInsensitive) == 0) {
                    lines[i] = entry;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) lines.insert(lastKey + 1, entry);
    }
    return WriteTextLines(file, lines);
}

}  // namespace core
