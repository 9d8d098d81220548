#include "store/objectcopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/firststart.h"
#include "app/objectlock.h"
#include "app/startup.h"
#include "core/names.h"
#include "object/generaldata.h"

namespace store {

using namespace app;

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

// ---------------------------------------------------------------- demo objects on first start

QStringList DemoObjectNames(const QString& demoObjectsFolder) {
    QStringList names;
    const QDir dir(demoObjectsFolder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (IsObjectFolder(dir.filePath(name))) names.append(name);
    return names;
}

int OfferDemoObjects(const AppState& s, Dialogs& d, const QString& demoObjectsFolder) {
    const QString prepared = QStringLiteral("Подготовлена папка программы\n") + QDir::toNativeSeparators(s.programFolder) +
                             QStringLiteral("\n\nВ ней пока нет объектов.");
    const QStringList names = DemoObjectNames(demoObjectsFolder);
    if (names.isEmpty()) {
        d.message(prepared + QStringLiteral(" Создайте первый объект командой \"Создать\"."), kFirstStartTitle,
                  Icon::Information);
        return 0;
    }
    QString question = prepared + QStringLiteral(" Добавить в неё демонстрационные объекты с режимами испытаний?\n");
    for (const QString& name : names) question += QStringLiteral("\n    ") + name;
    if (d.question(question, kFirstStartTitle, Icon::Question) != Answer::Yes) return 0;

    int added = 0;
    QStringList failed;
    for (const QString& name : names) {
        if (core::ExistsNoCase(s.objectsFolder, name)) continue;
        const QString target = core::JoinPath(s.objectsFolder, name);
        // a failed copy removes its new folder again
        QString why;
        if (CopyObjectFiles(core::JoinPath(demoObjectsFolder, name), target, &why)) ++added;
        else failed.append(why.isEmpty() ? name : name + QStringLiteral(": ") + why);
    }
    if (!failed.isEmpty())
        d.message(QStringLiteral("Демонстрационные объекты не могут быть скопированы в ") +
                      QDir::toNativeSeparators(s.objectsFolder) + QStringLiteral(":\n\n    ") +
                      failed.join(QStringLiteral("\n    ")),
                  QStringLiteral("Ошибка !"), Icon::Error);
    return added;
}

bool OfferMissingTemplate(const AppState& s, Dialogs& d, const QString& warning, const QString& ownTemplate,
                          const QString& demoObjectsFolder) {
    // the objects folder is made whatever the answer: only the template may be declined
    QDir().mkpath(s.objectsFolder);
    const QString title = QStringLiteral("Нет шаблона");
    const QString why = warning + QStringLiteral(
                                  "\n\nБез шаблона новый объект получит единицы измерения программы по умолчанию, "
                                  "списки исполнителей и датчиков пусты, а справка и рисунки котла и горелки "
                                  "недоступны.");
    if (!QFileInfo(ownTemplate).isDir()) {
        d.message(why + QStringLiteral("\n\nКопии шаблона при программе нет (") + QDir::toNativeSeparators(ownTemplate) +
                      QStringLiteral(").\nЗапустите программу с папкой, в которой есть шаблон:\n    kalvaro --home ПАПКА"),
                  title, Icon::Warning);
        return false;
    }
    if (d.question(why + QStringLiteral("\n\nВзять шаблон из копии программы?\n    ") +
                       QDir::toNativeSeparators(ownTemplate) + QStringLiteral("\n→  ") +
                       QDir::toNativeSeparators(s.templateFolder),
                   title, Icon::Question) != Answer::Yes)
        return false;
    QString error;
    if (!CopyTemplateTree(ownTemplate, s.templateFolder, &error) || !TemplateWarning(s).isEmpty()) {
        d.message(QStringLiteral("Шаблон не может быть скопирован в ") + QDir::toNativeSeparators(s.templateFolder) +
                      (error.isEmpty() ? QStringLiteral(":\n\n") + TemplateWarning(s) : QStringLiteral(":\n\n") + error),
                  QStringLiteral("Ошибка !"), Icon::Error);
        return false;
    }
    QDir().mkpath(s.objectsFolder);
    // an objects folder without objects gets the offer of the first start
    if (DemoObjectNames(s.objectsFolder).isEmpty()) OfferDemoObjects(s, d, demoObjectsFolder);
    return true;
}

}  // namespace store
