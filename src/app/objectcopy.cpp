#include "app/objectcopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/objectlock.h"
#include "core/names.h"
#include "object/generaldata.h"

namespace app {

namespace {

const QString kCopied = QStringLiteral("Объект скопирован под именем  '");
const QString kTakenPrompt = QStringLiteral("Объект с таким именем существует.Введите новое имя !");

// Asks again while `name` is taken in `target` (or not usable as a folder name). Returns
// the free name, or an empty text when the user gives up.
QString AskFreeName(Dialogs& d, const QString& target, QString name) {
    while (!core::IsAcceptableName(name) || core::ExistsNoCase(target, name)) {
        const auto answer = d.input(kTakenPrompt, QStringLiteral("Переименовать"), name);
        if (!answer) return {};
        name = answer->trimmed();
        if (name.isEmpty()) return {};
    }
    return name;
}

QString LastPart(QString path) {
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\'))) path.chop(1);
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return slash >= 0 ? path.mid(slash + 1) : path;
}

}  // namespace

bool CopyObjectFiles(const QString& from, const QString& to, QString* error) {
    if (!QDir().mkdir(to)) {
        if (error) *error = to + QStringLiteral(": папка не создана");
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    QStringList files;
    while (it.hasNext()) {
        it.next();
        // regular files of the object only: a link is not copied (it may point anywhere)
        const QFileInfo info = it.fileInfo();
        // nor the lock of the object being open, which belongs to the original
        if (info.isFile() && !info.isSymLink() && info.fileName() != kLockFileName) files.append(info.fileName());
    }
    QStringList copied;
    for (const QString& f : files) {
        QFile source(core::JoinPath(from, f));
        const QString target = core::JoinPath(to, f);
        if (!source.copy(target)) {
            if (error) *error = target + QStringLiteral(": ") + source.errorString();
            // a half-made copy is no object: remove what was written and the folder
            for (const QString& done : copied) QFile::remove(core::JoinPath(to, done));
            QFile::remove(target);
            QDir().rmdir(to);
            return false;
        }
        copied.append(f);
    }
    return true;
}

CommandResult CreateObjectCopy(AppState& s, Dialogs& d) {
    QString name = s.currentObjectName;
    for (;;) {
        const auto answer =
            d.input(QStringLiteral("Для создания копии введите новое имя !"), QStringLiteral("Создать копию"), name);
        if (!answer) return CommandResult::Cancelled;
        name = answer->trimmed();
        if (name.isEmpty()) return CommandResult::Cancelled;
        if (core::IsAcceptableName(name) && !core::ExistsNoCase(s.objectsFolder, name)) break;
    }
    if (!CopyObjectFiles(s.currentObjectFolder, core::JoinPath(s.objectsFolder, name))) {
        d.message(QStringLiteral("Объект не может быть скопирован на ") + s.objectsFolder, QStringLiteral("Ошибка !"),
                  Icon::Error);
        return CommandResult::Failed;
    }
    if (!object::FollowFolderName(core::JoinPath(s.objectsFolder, name), s.currentObjectName, name))
        d.message(QStringLiteral("Ошибка при работе с файлом ! ") + object::kGeneralFile, QStringLiteral("Ошибка !"), Icon::Warning);
    d.message(kCopied + name + u'\'', QStringLiteral("Информация"), Icon::Information);
    return CommandResult::Done;
}

CommandResult SendObjectCopy(AppState& s, Dialogs& d) {
    const QString target = d.chooseFolder(QStringLiteral("Укажите путь для копирования"));
    if (target.isEmpty()) return CommandResult::Cancelled;
    if (d.question(QStringLiteral("Вы выбрали путь ") + target + QStringLiteral(".  Продолжить?"),
                   QStringLiteral("Подтвердите путь !"), Icon::Question) != Answer::Yes)
        return CommandResult::Cancelled;
    const QString name = AskFreeName(d, target, s.currentObjectName);
    if (name.isEmpty()) return CommandResult::Cancelled;
    if (!CopyObjectFiles(s.currentObjectFolder, core::JoinPath(target, name))) {
        d.message(QStringLiteral("Объект не может быть скопирован на ") + target, QStringLiteral("Ошибка !"),
                  Icon::Error);
        return CommandResult::Failed;
    }
    d.message(kCopied + name + u'\'', QStringLiteral("Информация"), Icon::Information);
    return CommandResult::Done;
}

CommandResult ImportObject(AppState& s, Dialogs& d) {
    const QString source = d.chooseFolder(QStringLiteral("Укажите объект Kalvaro для загрузки"));
    if (source.isEmpty()) return CommandResult::Cancelled;
    const QString name = LastPart(source);
    if (!IsObjectFolder(source)) {
        d.message(QStringLiteral("Объект  '") + name + QStringLiteral("'  не является файлом Kalvaro. Загрузка невозможна !"),
                  QStringLiteral(" Ошибка !"), Icon::Error);
        return CommandResult::Refused;
    }
    if (d.question(QStringLiteral("Вы выбрали  ") + name + QStringLiteral("  Загрузить?"),
                   QStringLiteral("Подтвердите путь !"), Icon::Information) != Answer::Yes)
        return CommandResult::Cancelled;
    const QString free = AskFreeName(d, s.objectsFolder, name);
    if (free.isEmpty()) return CommandResult::Cancelled;
    if (!CopyObjectFiles(source, core::JoinPath(s.objectsFolder, free))) {
        d.message(QStringLiteral("Объект не может быть скопирован на ") + s.objectsFolder, QStringLiteral("Ошибка !"),
                  Icon::Error);
        return CommandResult::Failed;
    }
    d.message(kCopied + free + u'\'', QStringLiteral("Информация"), Icon::Information);
    return CommandResult::Done;
}

}  // namespace app
