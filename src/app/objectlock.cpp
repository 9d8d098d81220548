#include "app/objectlock.h"

#include <QFile>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/state.h"
#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"

namespace app {

namespace {

QString HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return QStringLiteral("?");
    return QString::fromLocal8Bit(name);
}

QString UserName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    const QString env = qEnvironmentVariable("USER");
    return env.isEmpty() ? QString::number(::geteuid()) : env;
}

QString TimeText(const QDateTime& t) { return t.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")); }

// A process of this computer that no longer runs (EPERM means it runs under another user).
// A process that has ended but was not yet reaped by its parent (a zombie) holds nothing
// either: its state in /proc/PID/stat, after the name in brackets, is "Z".
bool ProcessEnded(qint64 pid) {
    if (pid <= 0) return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0) return errno == ESRCH;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.read(512);
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 1).trimmed().startsWith('Z');
}

bool SameHolder(const LockHolder& a, const LockHolder& b) { return a.computer == b.computer && a.pid == b.pid; }

// Creates the lock file with its whole content, failing when one exists: the content is
// written to a private file first and then linked to the lock name, which the file system
// refuses when the name is taken.
bool CreateLockFile(const QString& path, QString& error, bool& exists) {
    exists = false;
    const LockHolder me = ThisProcess();
    const QStringList lines = {QStringLiteral("computer=") + me.computer, QStringLiteral("user=") + me.user,
                               QStringLiteral("pid=") + QString::number(me.pid),
                               QStringLiteral("time=") + TimeText(me.time)};
    // named like the writer's temporary files, so a draft left by a killed process is swept
    const QString draft = path + QStringLiteral(".~") + QString::number(me.pid) + QStringLiteral("-lock.tmp");
    if (!core::WriteTextLines(draft, lines, &error)) return false;
    const QByteArray from = QFile::encodeName(draft), to = QFile::encodeName(path);
    const int rc = ::link(from.constData(), to.constData());
    const int err = errno;
    ::unlink(from.constData());
    if (rc == 0) return true;
    exists = err == EEXIST;
    error = path + QStringLiteral(": ") + core::ErrnoText(err);
    return false;
}

}  // namespace

QString LockHolder::describe() const {
    if (!unreadable.isEmpty()) return QStringLiteral("файл блокировки не читается: ") + unreadable;
    return QStringLiteral("компьютер %1, пользователь %2, процесс %3, с %4")
        .arg(computer.isEmpty() ? QStringLiteral("?") : computer, user.isEmpty() ? QStringLiteral("?") : user)
        .arg(pid)
        .arg(time.isValid() ? TimeText(time) : QStringLiteral("?"));
}

LockHolder ThisProcess() {
    static const QString host = HostName(), user = UserName();
    return {host, user, static_cast<qint64>(::getpid()), QDateTime::currentDateTime(), {}};
}

bool ReadObjectLock(const QString& folder, LockHolder& holder) {
    holder = LockHolder();
    const QString path = core::JoinPath(folder, kLockFileName);
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    QStringList lines;
    QString why;
    if (!core::ReadKindFile(QStringLiteral("lock"), path, lines, &why)) {
        holder.unreadable = why.isEmpty() ? path : why;
        return true;
    }
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq), value = line.mid(eq + 1).trimmed();
        if (key == u"computer") holder.computer = value;
        else if (key == u"user") holder.user = value;
        else if (key == u"pid") holder.pid = value.toLongLong();
        else if (key == u"time") holder.time = QDateTime::fromString(value, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    }
    return true;
}

QString LockedMessage(const QString& folder, const LockHolder& holder) {
    return folder + QStringLiteral(": объект занят (") + holder.describe() + u')';
}

ObjectLock::~ObjectLock() { release(); }

ObjectLock::Outcome ObjectLock::acquire(const QString& folder, LockHolder* holder, QString* error, bool force) {
    release();
    const QString path = core::JoinPath(folder, kLockFileName);
    const LockHolder me = ThisProcess();
    for (int attempt = 0; attempt < 3; ++attempt) {
        QString why;
        bool exists = false;
        if (CreateLockFile(path, why, exists)) {
            folder_ = folder;
            held_ = true;
            return Outcome::Taken;
        }
        if (!exists) {
            if (error) *error = why;
            return Outcome::Failed;
        }
        LockHolder other;
        ReadObjectLock(folder, other);
        const bool ours = SameHolder(other, me);
        const bool stale = other.computer == me.computer && ProcessEnded(other.pid);
        if (!ours && !stale && !force) {
            if (holder) *holder = other;
            return Outcome::HeldByOther;
        }
        // ours already, left by an ended process, or forced: take it over
        QFile::remove(path);
    }
    if (error) *error = path + QStringLiteral(": ") + core::ErrnoText(EEXIST);
    return Outcome::Failed;
}

void ObjectLock::openReadOnly(const QString& folder, const QString& why) {
    release();
    folder_ = folder;
    readOnly_ = true;
    core::SetFolderWriteRefusal(folder, why);
}

void ObjectLock::release() {
    if (held_) {
        // only a lock that is still ours is removed: a forced take-over elsewhere keeps its own
        LockHolder now;
        if (ReadObjectLock(folder_, now) && SameHolder(now, ThisProcess()))
            QFile::remove(core::JoinPath(folder_, kLockFileName));
    }
    if (readOnly_) core::SetFolderWriteRefusal(folder_, QString());
    held_ = readOnly_ = false;
    folder_.clear();
}

bool LockOpenedObject(AppState& s, Dialogs& d) {
    auto lock = std::make_shared<ObjectLock>();
    LockHolder holder;
    QString error;
    switch (lock->acquire(s.currentObjectFolder, &holder, &error)) {
    case ObjectLock::Outcome::Taken:
        break;
    case ObjectLock::Outcome::Failed:
        d.message(QStringLiteral("Объект открыт без блокировки: ") + error, QStringLiteral("Kalvaro"), Icon::Warning);
        break;
    case ObjectLock::Outcome::HeldByOther: {
        const Answer a = d.question(QStringLiteral("Объект «") + s.currentObjectName +
                                        QStringLiteral("» уже открыт (") + holder.describe() +
                                        QStringLiteral(").\nОткрыть его только для чтения?"),
                                    QStringLiteral("Объект занят"), Icon::Question);
        if (a != Answer::Yes) return false;
        lock->openReadOnly(s.currentObjectFolder,
                           QStringLiteral("объект открыт только для чтения, его занимает ") + holder.describe());
        break;
    }
    }
    s.objectLock = lock;
    return true;
}

}  // namespace app
