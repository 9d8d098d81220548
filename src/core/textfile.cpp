#include "core/textfile.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/names.h"
#include "core/numparse.h"

namespace core {

QString DecodeCp1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray EncodeCp1251(const QString& text) {
    // Table of the upper half of the code page, built once from the decoder.
    static const QHash<char16_t, char> upper = [] {
        QHash<char16_t, char> table;
        QByteArray all;
        for (int b = 0x80; b <= 0xFF; ++b) all.append(static_cast<char>(b));
        const QString decoded = DecodeCp1251(all);
        for (qsizetype i = 0; i < decoded.size() && i < all.size(); ++i) {
            const char16_t u = decoded.at(i).unicode();
            if (u != 0xFFFD) table.insert(u, all.at(i));
        }
        return table;
    }();
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
            continue;
        }
        // a character outside the code page (a surrogate pair counts as one) becomes '?'
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        out.append(upper.value(u, '?'));
    }
    return out;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
            start = i + 1;
        }
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

namespace {

// End of the first `maxLines` lines of `bytes` (CR and LF are the same bytes in
// Windows-1251 as in ASCII), and whether anything follows them.
qsizetype EndOfLines(const QByteArray& bytes, int maxLines, bool& more) {
    const char* d = bytes.constData();
    const qsizetype n = bytes.size();
    int lines = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] != '\r' && d[i] != '\n') continue;
        if (d[i] == '\r' && i + 1 < n && d[i + 1] == '\n') ++i;
        if (++lines == maxLines) {
            more = i + 1 < n;
            return i + 1;
        }
    }
    more = false;
    return n;
}

// The process id in temporary file names, so a later process can tell a write under way
// from one a killed process left behind.
const QString& ProcessTag() {
    static const QString tag = QString::number(::getpid());
    return tag;
}

WriteFaultHook& FaultHook() {
    static WriteFaultHook hook;
    return hook;
}

int Injected(const char* step) {
    const WriteFaultHook& hook = FaultHook();
    return hook ? hook(step) : 0;
}

// Permissions a file created with 0666 gets under this process's umask.
mode_t NewFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

QString Named(const QString& path, const QString& why) { return path + QStringLiteral(": ") + why; }

// When this process started: temporary files older than that are not of a write under way
// in this process.
const struct timespec kProcessStart = [] {
    struct timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}();

QMutex& FolderMutex() {
    static QMutex m;
    return m;
}
// Folders written to read-only (with the reason), and folders already swept of stale
// temporary files by this process.
QHash<QString, QString>& RefusedFolders() {
    static QHash<QString, QString> h;
    return h;
}
QSet<QString>& SweptFolders() {
    static QSet<QString> set;
    return set;
}

QString FolderKey(const QString& folder) {
    QString key = folder;
    while (key.size() > 1 && key.endsWith(u'/')) key.chop(1);
    return key;
}

// Whether this process may write a file of this mode and owner. A file without any write
// permission is refused even for root, as a read-only attribute would be.
bool MayWrite(const struct stat& st) {
    if ((st.st_mode & 0222) == 0) return false;
    static const uid_t uid = ::geteuid();
    static const gid_t gid = ::getegid();
    if (uid == 0) return true;
    if (st.st_uid == uid) return st.st_mode & S_IWUSR;
    if (st.st_gid == gid) return st.st_mode & S_IWGRP;
    return st.st_mode & S_IWOTH;
}

// Splits a path into its folder and the last name.
void SplitPath(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(u'/');
    folder = slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : path.left(slash));
    name = slash < 0 ? path : path.mid(slash + 1);
}

// The same file under another letter case, or an empty text.
QString OtherCase(const QString& path) {
    QString folder, name;
    SplitPath(path, folder, name);
    const QString found = FindEntryNoCase(folder, name);
    if (found.isEmpty() || found == name) return {};
    return JoinPath(folder, found);
}

QString NotRegularText(mode_t mode) {
    if (S_ISLNK(mode)) return QStringLiteral("это символическая ссылка, а не файл данных; файл не прочитан и не записан");
    if (S_ISDIR(mode)) return QStringLiteral("это папка, а не файл данных");
    if (S_ISFIFO(mode)) return QStringLiteral("это канал (FIFO), а не файл данных");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("это устройство, а не файл данных");
    if (S_ISSOCK(mode)) return QStringLiteral("это сокет, а не файл данных");
    return QStringLiteral("это не обычный файл");
}

// Opens a data file for reading: never through a symbolic link, never blocking on a FIFO.
// `size` gets the file's size from the same check.
int OpenForRead(const QString& path, QString* error, qint64& size) {
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0 && errno == ELOOP) {
        if (error) *error = Named(path, NotRegularText(S_IFLNK));
        return -1;
    }
    if (fd < 0) {
        const int err = errno;
        if (error) *error = Named(path, ErrnoText(err));
        errno = err;
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const mode_t mode = st.st_mode;
        ::close(fd);
        if (error) *error = Named(path, NotRegularText(mode));
        errno = EINVAL;
        return -1;
    }
    size = st.st_size;
    return fd;
}

bool ReadOpened(int fd, qint64 size, const QString& path, QByteArray& bytes, QString* error) {
    if (size > kMaxTextFileSize) {
        if (error) *error = Named(path, QStringLiteral("файл слишком велик для файла данных (больше 16 МБ)"));
        return false;
    }
    bytes.resize(static_cast<qsizetype>(size));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = Named(path, ErrnoText(errno));
            return false;
        }
        if (n == 0) break;  // the file became shorter while we read: take what is there
        done += n;
    }
    bytes.truncate(done);
    return true;
}

// Whether the line is wholly one number in the stored form's grammar: blanks around it, a
// sign, digits with at most one point, an exponent.
bool IsStoredNumberText(const char* p, qsizetype n) {
    qsizetype i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
    while (n > i && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
    if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
    bool digits = false, point = false;
    for (; i < n; ++i) {
        if (p[i] >= '0' && p[i] <= '9') digits = true;
        else if (p[i] == '.' && !point) point = true;
        else break;
    }
    if (!digits) return false;
    if (i < n && (p[i] == 'E' || p[i] == 'e')) {
        ++i;
        if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
        const qsizetype start = i;
        while (i < n && p[i] >= '0' && p[i] <= '9') ++i;
        if (i == start) return false;
    }
    return i == n;
}

}  // namespace

QStringList DecodeLines(const QByteArray& bytes, int maxLines, bool* more) {
    bool after = false;
    const qsizetype end = maxLines > 0 ? EndOfLines(bytes, maxLines, after) : bytes.size();
    if (more) *more = after;
    return SplitLines(DecodeCp1251(end == bytes.size() ? bytes : bytes.left(end)));
}

QString ErrnoText(int err) {
    switch (err) {
    case ENOENT: return QStringLiteral("файл или папка не найдены");
    case EACCES: case EPERM: return QStringLiteral("нет прав доступа");
    case ENOSPC: return QStringLiteral("нет места на диске");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("превышена дисковая квота");
#endif
    case EFBIG: return QStringLiteral("превышен допустимый размер файла");
    case EROFS: return QStringLiteral("диск доступен только для чтения");
    case EIO: return QStringLiteral("ошибка ввода-вывода");
    case ENOTDIR: return QStringLiteral("часть пути не является папкой");
    case EISDIR: return QStringLiteral("это папка, а не файл данных");
    case ENAMETOOLONG: return QStringLiteral("слишком длинное имя");
    case EMFILE: case ENFILE: return QStringLiteral("открыто слишком много файлов");
    case EBUSY: return QStringLiteral("файл занят");
    case EXDEV: return QStringLiteral("файлы на разных дисках");
    case EEXIST: return QStringLiteral("файл или папка с таким именем уже есть");
    default: return QString::fromLocal8Bit(std::strerror(err));
    }
}

void SetWriteFaultHook(WriteFaultHook hook) { FaultHook() = std::move(hook); }

QString NotDataFileMessage(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return Named(path, ErrnoText(errno));
    if (S_ISLNK(st.st_mode)) {
        struct stat target;
        if (::stat(QFile::encodeName(path).constData(), &target) != 0)
            return Named(path, QStringLiteral("ссылка на несуществующий файл"));
    }
    return Named(path, NotRegularText(st.st_mode));
}

void SetFolderWriteRefusal(const QString& folder, const QString& why) {
    QMutexLocker lock(&FolderMutex());
    if (why.isEmpty()) RefusedFolders().remove(FolderKey(folder));
    else RefusedFolders().insert(FolderKey(folder), why);
}

QString FolderWriteRefusal(const QString& folder) {
    QMutexLocker lock(&FolderMutex());
    return RefusedFolders().value(FolderKey(folder));
}

int SweepStaleTemporaries(const QString& folder) {
    {
        QMutexLocker lock(&FolderMutex());
        if (SweptFolders().contains(FolderKey(folder))) return 0;
        SweptFolders().insert(FolderKey(folder));
    }
    // ".<name>.~<pid>-<tag>.tmp", the writer's own form
    static const QRegularExpression form(QStringLiteral("^\\..+\\.~(\\d+)-[0-9a-z]+\\.tmp$"));
    const QByteArray native = QFile::encodeName(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] != '.' || std::strlen(e->d_name) < 8) continue;
        const QString entry = QFile::decodeName(e->d_name);
        const QRegularExpressionMatch m = form.match(entry);
        if (!m.hasMatch()) continue;
        const QByteArray path = native + '/' + e->d_name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const bool older = st.st_mtim.tv_sec < kProcessStart.tv_sec ||
                           (st.st_mtim.tv_sec == kProcessStart.tv_sec && st.st_mtim.tv_nsec < kProcessStart.tv_nsec);
        const long pid = m.captured(1).toLong();
        const bool running = pid > 0 && (pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
        if (older && !running && ::unlink(path.constData()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

bool ReadDataFile(const QString& path, QByteArray& bytes, QString* error) {
    bytes.clear();
    QString why;
    qint64 size = 0;
    int fd = OpenForRead(path, &why, size);
    if (fd < 0 && errno == ENOENT) {
        const QString other = OtherCase(path);
        if (!other.isEmpty()) fd = OpenForRead(other, &why, size);
    }
    if (fd < 0) {
        if (error) *error = why;
        return false;
    }
    const bool ok = ReadOpened(fd, size, path, bytes, error);
    ::close(fd);
    return ok;
}

bool ReadTextLines(const QString& path, QStringList& lines, QString* error, int maxLines) {
    lines.clear();
    QByteArray bytes;
    if (!ReadDataFile(path, bytes, error)) return false;
    bool more = false;
    lines = DecodeLines(bytes, maxLines > 0 ? maxLines : kMaxTextLines, &more);
    if (maxLines <= 0 && more) {
        lines.clear();
        if (error) *error = Named(path, QStringLiteral("слишком много строк для файла данных"));
        return false;
    }
    return true;
}

namespace {

// The file a write replaces: `target` is the path, or the name in another letter case that
// is there; `exists` and `old` say what is there. False (with the reason) when what is there
// is no regular file or may not be written, or cannot be looked at.
bool LookAtTarget(QString& target, QByteArray& native, struct stat& old, bool& exists, QString* error) {
    native = QFile::encodeName(target);
    exists = ::lstat(native.constData(), &old) == 0;
    if (!exists && errno == ENOENT) {
        const QString other = OtherCase(target);
        if (!other.isEmpty()) {
            target = other;
            native = QFile::encodeName(target);
            exists = ::lstat(native.constData(), &old) == 0;
        }
    }
    if (!exists && errno != ENOENT) {
        if (error) *error = Named(target, ErrnoText(errno));
        return false;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        if (error) *error = Named(target, NotRegularText(old.st_mode));
        return false;
    }
    if (exists && !MayWrite(old)) {
        if (error) *error = Named(target, QStringLiteral("файл защищён от записи (") + ErrnoText(EACCES) + u')');
        return false;
    }
    return true;
}

// Creates a unique temporary file beside the target (never a name the user could own): its
// descriptor, or -1 with the errno in `err`.
int OpenTemporary(const QString& folder, const QString& name, QByteArray& tmp, int& err) {
    static std::atomic<unsigned> serial{0};
    // taken once: the name only has to differ from other writers', and O_EXCL settles a clash
    static const unsigned pidTag = static_cast<unsigned>(::getpid()) * 2654435761u;  // spreads the tags
    int fd = -1;
    err = Injected("open");
    for (int attempt = 0; !err && fd < 0 && attempt < 100; ++attempt) {
        const unsigned tag = pidTag ^ (serial++ * 40503u) ^ static_cast<unsigned>(::time(nullptr));
        tmp = QFile::encodeName(JoinPath(folder, u'.' + name + QStringLiteral(".~") + ProcessTag() + u'-' +
                                                     QString::number(tag % 0xFFFFFFu, 36) + QStringLiteral(".tmp")));
        fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) err = errno;
    }
    if (fd < 0 && !err) err = EEXIST;
    return fd;
}

// Writes all of `bytes` to `fd`, runs `beforeSync`, and syncs it: 0, or the errno of the failure.
int WriteAndSync(int fd, const QByteArray& bytes, const std::function<void()>& beforeSync) {
    int err = 0;
    qsizetype done = 0;
    while (done < bytes.size()) {
        if ((err = Injected("write"))) return err;
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += n;
    }
    beforeSync();
    if ((err = Injected("sync")) || (::fdatasync(fd) != 0 && (err = errno))) return err;
    return 0;
}

}  // namespace

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    QString target = path;
    QByteArray native;
    struct stat old;
    bool exists = false;
    if (!LookAtTarget(target, native, old, exists, error)) return false;

    QString folder, name;
    SplitPath(target, folder, name);
    QString refusal;
    {
        QMutexLocker lock(&FolderMutex());
        if (!RefusedFolders().isEmpty()) refusal = RefusedFolders().value(FolderKey(folder));
    }
    if (!refusal.isEmpty()) {
        // a write that would change nothing (a window saving what it showed) is no write
        QByteArray now;
        if (exists && ReadDataFile(target, now) && now == bytes) return true;
        if (error) *error = Named(target, refusal);
        return false;
    }
    SweepStaleTemporaries(folder);
    QByteArray tmp;
    int err = 0;
    const int fd = OpenTemporary(folder, name, tmp, err);
    if (fd < 0) {
        if (error) *error = Named(target, ErrnoText(err));
        return false;
    }
    // keep the permissions of the file being replaced (set before the sync, as the data)
    auto keepMode = [&] {
        if (exists && (old.st_mode & 07777) != NewFileMode()) ::fchmod(fd, old.st_mode & 07777);
    };
    err = WriteAndSync(fd, bytes, keepMode);
    if (err) {
        ::close(fd);
        ::unlink(tmp.constData());
        if (error) *error = Named(target, ErrnoText(err));
        return false;
    }
    err = Injected("close");
    if (::close(fd) != 0 && !err) err = errno;
    if (err) {
        ::unlink(tmp.constData());
        if (error) *error = Named(target, ErrnoText(err));
        return false;
    }
    if ((err = Injected("rename")) || (::rename(tmp.constData(), native.constData()) != 0 && (err = errno))) {
        ::unlink(tmp.constData());
        if (error) *error = Named(target, ErrnoText(err));
        return false;
    }
    return true;
}

bool WriteFileProduced(const QString& path, const std::function<bool(const QString&, QString*)>& produce,
                       QString* error) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        if (error) *error = Named(path, QStringLiteral("нельзя создать временную папку: ") + dir.errorString());
        return false;
    }
    QString name, folder;
    SplitPath(path, folder, name);
    const QString scratch = dir.filePath(name);
    QString why;
    if (!produce(scratch, &why)) {
        if (error) *error = Named(path, why);
        return false;
    }
    QByteArray bytes;
    if (!ReadDataFile(scratch, bytes, error)) return false;
    return WriteFileAtomic(path, bytes, error);
}

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeCp1251(line);
        bytes += "\r\n";
    }
    return WriteFileAtomic(path, bytes, error);
}

bool ParseNumberLines(const QByteArray& bytes, float* values, int count, QString* why) {
    const char* d = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype pos = 0;
    for (int line = 0; line < count; ++line) {
        if (pos >= n) {
            if (why)
                *why = QStringLiteral("в файле %1 строк, нужно %2").arg(line).arg(count);
            return false;
        }
        qsizetype end = pos;
        while (end < n && d[end] != '\r' && d[end] != '\n') ++end;
        // one number, wholly: "5..", "1,2,3" or "12x" is no stored number, never its leading part
        if (!IsStoredNumberText(d + pos, end - pos)) {
            // a file of the wrong length says so first (a blank line in front, a doubled one)
            const qsizetype m = n;
            qsizetype lines = 0;
            for (qsizetype at = 0; at < m; ++at) {
                if (d[at] != '\r' && d[at] != '\n') continue;
                if (d[at] == '\r' && at + 1 < m && d[at + 1] == '\n') ++at;
                ++lines;
            }
            if (d[m - 1] != '\r' && d[m - 1] != '\n') ++lines;
            if (lines != count) {
                if (why) *why = QStringLiteral("в файле %1 строк, нужно %2").arg(lines).arg(count);
                return false;
            }
            if (why)
                *why = QStringLiteral("строка %1: «%2» — не число")
                           .arg(line + 1)
                           .arg(DecodeCp1251(QByteArray(d + pos, std::min<qsizetype>(end - pos, 40))));
            return false;
        }
        if (!ParseStoredFloat(std::string_view(d + pos, static_cast<size_t>(end - pos)), values[line])) {
            if (why)
                *why = QStringLiteral("строка %1: число «%2» вне допустимого диапазона")
                           .arg(line + 1)
                           .arg(DecodeCp1251(QByteArray(d + pos, std::min<qsizetype>(end - pos, 40))));
            return false;
        }
        pos = end;
        // the program ends every line it writes: a last line without its end was cut off
        if (pos >= n && line + 1 == count) {
            if (why) *why = QStringLiteral("строка %1 не закончена: файл обрезан").arg(line + 1);
            return false;
        }
        if (pos < n && d[pos] == '\r' && pos + 1 < n && d[pos + 1] == '\n') pos += 2;
        else if (pos < n) ++pos;
    }
    // Exactly `count` lines: one empty last line aside, anything after them means the file
    // is not of this format (a doubled line, a blank line in front) and would be read shifted.
    qsizetype rest = pos;
    while (rest < n && (d[rest] == ' ' || d[rest] == '\t')) ++rest;
    if (rest < n && d[rest] == '\r' && rest + 1 < n && d[rest + 1] == '\n') rest += 2;
    else if (rest < n && (d[rest] == '\r' || d[rest] == '\n')) ++rest;
    if (rest >= n) return true;
    if (why) {
        qsizetype lines = count;
        for (qsizetype at = pos; at < n; ++at) {
            if (d[at] != '\r' && d[at] != '\n') continue;
            if (d[at] == '\r' && at + 1 < n && d[at + 1] == '\n') ++at;
            ++lines;
        }
        if (d[n - 1] != '\r' && d[n - 1] != '\n') ++lines;  // a last line without its end
        *why = QStringLiteral("в файле %1 строк, нужно %2").arg(lines).arg(count);
    }
    return false;
}

bool ReadNumberFile(const QString& path, float* values, int count, QString* error) {
    QByteArray bytes;
    if (!ReadDataFile(path, bytes, error)) return false;
    QString why;
    if (!ParseNumberLines(bytes, values, count, &why)) {
        if (error) *error = Named(path, why);
        return false;
    }
    return true;
}

bool WriteNumberFile(const QString& path, const float* values, int count, QString* error) {
    QByteArray bytes;
    bytes.reserve(count * 12);
    for (int i = 0; i < count; ++i) {
        bytes += FormatStored(values[i]);
        bytes += "\r\n";
    }
    return WriteFileAtomic(path, bytes, error);
}

QStringList QuoteLines(const QStringList& values) {
    QStringList lines;
    lines.reserve(values.size());
    for (QString v : values) {
        v.replace(u'"', u'\'');
        v.replace(u'\r', u' ');
        v.replace(u'\n', u' ');
        lines.append(u'"' + v + u'"');
    }
    return lines;
}

QString UnquoteLine(const QString& line) {
    const qsizetype open = line.indexOf(u'"');
    if (open < 0) return line.trimmed();
    const qsizetype close = line.indexOf(u'"', open + 1);
    if (close < 0) return line.mid(open + 1);
    return line.mid(open + 1, close - open - 1);
}

bool ReadQuotedFile(const QString& path, int count, QStringList& values, QString* error) {
    values.clear();
    QStringList lines;
    if (!ReadTextLines(path, lines, error, count)) return false;
    for (int i = 0; i < count; ++i) {
        if (i >= lines.size()) {
            if (error) *error = Named(path, QStringLiteral("в файле %1 строк, нужно %2").arg(lines.size()).arg(count));
            return false;
        }
        values.append(UnquoteLine(lines.at(i)));
    }
    return true;
}

bool WriteQuotedFile(const QString& path, const QStringList& values, QString* error) {
    return WriteTextLines(path, QuoteLines(values), error);
}

}  // namespace core
