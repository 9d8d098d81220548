#include "store/objectstore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/startup.h"
#include "core/names.h"
#include "core/numbers.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"

namespace store {

using namespace app;

ObjectList FillObjectList(const AppState& s) {
    ObjectList list;
    QStringList all;
    list.ok = core::ListSubfolders(s.objectsFolder, all);
    const bool filtered = s.filterActive && !s.filterText.isEmpty();
    for (const QString& name : all)
        if (!filtered || name.contains(s.filterText, Qt::CaseInsensitive)) list.names.append(name);
    list.header = (filtered ? QStringLiteral("Объекты по фильтру, всего : ") : QStringLiteral("Все объекты, всего : ")) +
                  QString::number(list.names.size());
    return list;
}

bool ApplyFilter(AppState& s, const QString& text) {
    if (!text.isEmpty()) {
        s.filterActive = true;
        s.filterText = text;
        return true;
    }
    s.filterActive = false;
    s.filterText.clear();
    return false;
}

bool IsObjectFolder(const QString& folder) { return core::ExistsNoCase(folder, object::kGeneralFile); }

ObjectArgument ResolveObjectArgument(const AppState& s, const QString& argument, bool homeChosen) {
    ObjectArgument r;
    QString folder = QFileInfo(argument).absoluteFilePath();
    const bool plainName = !argument.contains(u'/') && !argument.contains(u'\\');
    if (plainName && !s.objectsFolder.isEmpty() && core::ExistsNoCase(s.objectsFolder, argument))
        folder = core::ResolvePath(s.objectsFolder, argument);
    folder = QDir::cleanPath(folder);
    if (!QFileInfo(folder).isDir() || !IsObjectFolder(folder)) {
        r.error = QStringLiteral("Папка  '") + QDir::toNativeSeparators(folder) +
                  (QFileInfo(folder).isDir() ? QStringLiteral("'  не является объектом Kalvaro: в ней нет файла ") +
                                                   object::kGeneralFile + u'.'
                                             : QStringLiteral("'  не найдена."));
        return r;
    }
    const QFileInfo info(folder);
    r.name = info.fileName();
    const QString parent = info.absolutePath();
    if (QDir(parent) == QDir(s.objectsFolder)) return r;
    const QFileInfo parentInfo(parent);
    const QString program = parentInfo.absolutePath();
    if (!homeChosen && parentInfo.fileName().compare(kObjectsFolderName, Qt::CaseInsensitive) == 0 &&
        core::ExistsNoCase(program, kTemplateFolderName)) {
        r.programFolder = program;
        return r;
    }
    r.objectsFolder = parent;
    return r;
}

bool ReadRegimeCount(const QString& objectFolder, int& count, QString* error) {
    return regime::ReadCounter(objectFolder, regime::kCountFile, count, error);
}

ObjectSummary SelectObject(AppState& s, const QString& name) {
    ObjectSummary sum;
    s.setCurrentObject(name);
    if (!IsObjectFolder(s.currentObjectFolder)) {
        sum.title = QStringLiteral("Объект '") + name + QStringLiteral("' не является файлом Kalvaro");
        return sum;
    }
    sum.isObject = true;
    sum.title = name;
    QStringList values;
    const bool ok = object::ReadGeneralData(s.currentObjectFolder, values);
    if (!ok) {
        // a short or unreadable record is not taken at all: the object cannot be opened
        // until its general data is fixed
        sum.readError = true;
        sum.generalUnreadable = true;
        return sum;
    }
    for (int i = 0; i < values.size() && i < kGeneralCount; ++i) s.general[i] = values[i];
    using namespace object;
    sum.boilerType = values[BoilerType];
    sum.installationType = values[InstallationType];
    sum.stationNumber = values[StationNumber];
    sum.economiser = values[Economiser];
    sum.burner = values[BurnerType];
    sum.fuel = values[FuelType];
    sum.performer = values[Performer];
    int count = 0;
    if (ReadRegimeCount(s.currentObjectFolder, count)) sum.regimes = QString::number(count);
    else sum.readError = true;
    return sum;
}

CommandResult RenameObject(AppState& s, Dialogs& d) {
    const auto answer = d.input(QStringLiteral("Введите новое имя объекта"), QStringLiteral("Переименовать"),
                                s.currentObjectName);
    if (!answer) return CommandResult::Cancelled;
    const QString name = answer->trimmed();
    if (name.isEmpty()) return CommandResult::Cancelled;
    if (!core::IsAcceptableName(name)) {
        d.message(kBadObjectName, QStringLiteral("Переименовать"), Icon::Warning);
        return CommandResult::Refused;
    }
    if (name == s.currentObjectName) return CommandResult::Cancelled;
    // another letter case of its own name is a rename as well
    if (core::ExistsNoCase(s.objectsFolder, name) && name.compare(s.currentObjectName, Qt::CaseInsensitive) != 0) {
        d.message(QStringLiteral("Объект с именем  '") + name + QStringLiteral("'  уже существует. Выберите другое имя."),
                  QStringLiteral("Переименовать"), Icon::Warning);
        return CommandResult::Refused;
    }
    const QString from = core::ResolvePath(s.objectsFolder, s.currentObjectName);
    QFileInfo info(from);
    if (s.currentObjectName.isEmpty() || !info.isDir() || info.isSymLink() ||
        !QDir().rename(from, core::JoinPath(s.objectsFolder, name))) {
        d.message(QStringLiteral("Ошибка! Попробуйте переименовать файл средствами проводника Windows. Путь: ") +
                      s.objectsFolder,
                  QStringLiteral("Ошибка !"), Icon::Warning);
        return CommandResult::Failed;
    }
    if (!object::FollowFolderName(core::JoinPath(s.objectsFolder, name), s.currentObjectName, name))
        d.message(QStringLiteral("Ошибка при работе с файлом ! ") + object::kGeneralFile, QStringLiteral("Ошибка !"), Icon::Warning);
    // the selection follows the object: Enter in the list opens it under its new name
    s.setCurrentObject(name);
    return CommandResult::Done;
}

CommandResult DeleteObject(AppState& s, Dialogs& d) {
    const QString text = QStringLiteral("Внимание ! После удаления файла  восстановить его  будет невозможно !    "
                                        "Вы хотите удалить  ") +
                         s.currentObjectName + QStringLiteral(" ?");
    if (d.question(text, QStringLiteral("Подтвердите удаление"), Icon::Warning) != Answer::Yes)
        return CommandResult::Cancelled;
    const QString name = s.currentObjectName;
    if (!core::IsAcceptableName(name)) return CommandResult::Refused;
    const QString folder = core::ResolvePath(s.objectsFolder, name);
    const QFileInfo info(folder);
    auto fail = [&] {
        d.message(QStringLiteral("Ошибка при удалении. Попробуйте удалить файл средствами проводника Windows. Путь: ") +
                      s.objectsFolder,
                  QStringLiteral("Ошибка !"), Icon::Warning);
        return CommandResult::Failed;
    };
    if (info.isSymLink() || !info.isDir()) return fail();
    if (IsObjectFolder(folder)) {
        // only regular files of this one folder; a symbolic link is removed as a link and
        // never followed
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QStringList files;
        while (it.hasNext()) files.append(it.next());
        for (const QString& f : files) {
            if (!QFile::remove(f)) return fail();
        }
    }
    QDir().rmdir(folder);  // fails harmlessly while a subfolder is left
    s.setCurrentObject(QString());
    return CommandResult::Done;
}

}  // namespace store
