#include "core/names.h"

#include <QFile>
#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

namespace core {

bool SameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    QString n = name;
    while (n.startsWith(u'/') || n.startsWith(u'\\')) n.remove(0, 1);
    if (folder.endsWith(u'/')) return folder + n;
    return folder + u'/' + n;
}

QString FindEntryNoCase(const QString& folder, const QString& name) {
    if (name.isEmpty()) return {};
    if (QFileInfo::exists(JoinPath(folder, name))) return name;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString entry = it.fileName();
        if (SameName(entry, name)) return entry;
    }
    return {};
}

bool ExistsNoCase(const QString& folder, const QString& name) {
    return !FindEntryNoCase(folder, name).isEmpty();
}

QString ResolvePath(const QString& folder, const QString& name) {
    const QString found = FindEntryNoCase(folder, name);
    return JoinPath(folder, found.isEmpty() ? name : found);
}

bool MatchesPattern(const QString& name, const QString& pattern) {
    // iterative wildcard match with backtracking on the last '*'
    qsizetype n = 0, p = 0, star = -1, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern.at(p) == u'*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() &&
                   (pattern.at(p) == u'?' ||
                    QStringView(pattern).mid(p, 1).compare(QStringView(name).mid(n, 1), Qt::CaseInsensitive) == 0)) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == u'*') ++p;
    return p == pattern.size();
}

bool ListFiles(const QString& folder, const QString& pattern, QStringList& names, QStringList* others) {
    names.clear();
    if (others) others->clear();
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) return false;
    QDirIterator it(folder, others ? QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot
                                   : QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString entry = it.fileName();
        if (!MatchesPattern(entry, pattern)) continue;
        if (!others) {
            names.append(entry);
            continue;
        }
        // a link to a regular file counts as a file here, as before; its readers refuse it
        struct stat st;
        const bool regular = ::stat(QFile::encodeName(it.filePath()).constData(), &st) == 0 && S_ISREG(st.st_mode);
        (regular ? names : *others).append(entry);
    }
    return true;
}

bool ListSubfolders(const QString& folder, QStringList& names) {
    names.clear();
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable()) return false;
    names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    return true;
}

bool IsAcceptableName(const QString& name) {
    const QString t = name.trimmed();
    if (t.isEmpty() || t == u"." || t == u"..") return false;
    for (QChar c : t) {
        // separators, and control characters (line feed, tab, NUL ...) that no file
        // manager shows and no file list of the program could hold
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
        if (c.category() == QChar::Other_Control) return false;
    }
    return true;
}

}  // namespace core
