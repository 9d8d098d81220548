#pragma once
// The lock of an open object: a small file in the object folder naming the computer, the
// user, the process and the time it was taken, the way office programs mark a document in
// use. A second workbench is told who holds the object and may open it read-only; a
// command-line command that writes refuses a locked object unless forced. A lock left by a
// process of this computer that no longer runs is taken over; the lock is removed on close.

#include <QDateTime>
#include <QString>
#include <memory>

#include "app/dialogs.h"

namespace app {

struct AppState;

// Hidden, so it is never listed as a document nor matched by a data file pattern.
inline const QString kLockFileName = QStringLiteral(".~lock.Kalvaro#");

struct LockHolder {
    QString computer, user;
    qint64 pid = 0;
    QDateTime time;
    // set when the lock file is there but cannot be read as a lock (garbage, empty, a folder):
    // "<path>: <why>"; nobody can then be named as its holder
    QString unreadable;
    // "компьютер host, пользователь user, процесс 1234, с 08.12.2026 20:31", or for an
    // unreadable lock "файл блокировки не читается: <path>: <why>"
    QString describe() const;
};

// This process as a lock holder (now).
LockHolder ThisProcess();
// Reads the lock of `folder`; false when there is none. A lock that cannot be read as one
// names no holder and says why in `unreadable`.
bool ReadObjectLock(const QString& folder, LockHolder& holder);

class ObjectLock {
public:
    enum class Outcome { Taken, HeldByOther, Failed };
    ObjectLock() = default;
    ObjectLock(const ObjectLock&) = delete;
    ObjectLock& operator=(const ObjectLock&) = delete;
    ~ObjectLock();

    // Takes the lock of `folder`. A lock of this process, or of a process of this computer
    // that has ended, is taken over; `force` takes over any lock. HeldByOther fills `holder`;
    // Failed gives the reason (the folder cannot be written).
    Outcome acquire(const QString& folder, LockHolder* holder = nullptr, QString* error = nullptr,
                    bool force = false);
    // Opens `folder` without the lock: every write into it is refused with `why` until
    // release().
    void openReadOnly(const QString& folder, const QString& why);
    // Removes the lock file when this object holds it (and it is still ours), or lifts the
    // read-only refusal.
    void release();
    bool readOnly() const { return readOnly_; }
    bool held() const { return held_; }
    const QString& folder() const { return folder_; }

private:
    QString folder_;
    bool held_ = false;
    bool readOnly_ = false;
};

// What a second writer is told: "Объект занят: компьютер ..., пользователь ...".
QString LockedMessage(const QString& folder, const LockHolder& holder);

// Opening an object in the workbench: takes its lock into the state. When another holds it,
// the user is told who and may open it read-only (every write into the folder is then
// refused with a message) or not at all (false). A lock that cannot be written (a
// read-only folder) opens the object without one, after a warning. The lock goes with the
// state's object data: closing the object or choosing another releases it.
bool LockOpenedObject(AppState& s, Dialogs& d);

}  // namespace app
