#include "cli/objectfolder.h"

#include <QDir>
#include <QFileInfo>

#include "app/startup.h"
#include "cli/output.h"
#include "core/filekinds.h"
#include "core/names.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "store/objectstore.h"

namespace cli {

QString CleanFolder(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

void TakeObjectOptions(QStringList& args, ObjectOptions& options) {
    for (int i = 0; i < args.size();) {
        if (args[i] == u"--template-units") options.templateUnits = true;
        else if (args[i] == u"--force") options.force = true;
        else {
            ++i;
            continue;
        }
        args.removeAt(i);
    }
}

bool UseObjectFolder(app::AppState& s, const QString& path, const ObjectOptions& options, QString& error,
                     QString& warning) {
    warning.clear();
    const QString folder = CleanFolder(path);
    const QFileInfo info(folder);
    if (!info.isDir()) {
        error = folder + QStringLiteral(": папка объекта не найдена");
        return false;
    }
    if (!store::IsObjectFolder(folder)) {
        error = folder + QStringLiteral(": это не папка объекта (в ней нет ") + object::kGeneralFile + u')';
        return false;
    }
    const QString objects = info.absolutePath();
    app::SetFolders(s, QFileInfo(objects).absolutePath());
    s.objectsFolder = objects;
    s.setCurrentObject(info.fileName());
    if (!store::LoadObjectData(s, &error, &warning)) return false;
    // Results made with other units than the object's own are no results of this object:
    // the user has to ask for the template's units.
    if (!warning.isEmpty() && !options.templateUnits) {
        QStringList units;
        QString why;
        object::ReadUnits(s.currentObjectFolder, units, &why);
        error = regime::UnreadableUnitsRefusal(why);
        warning.clear();
        return false;
    }
    if (options.writes) {
        auto lock = std::make_shared<app::ObjectLock>();
        app::LockHolder holder;
        switch (lock->acquire(s.currentObjectFolder, &holder, &error, options.force)) {
        case app::ObjectLock::Outcome::Taken: break;
        case app::ObjectLock::Outcome::HeldByOther:
            error = app::LockedMessage(s.currentObjectFolder, holder) +
                    QStringLiteral("; ничего не записано. Чтобы записать всё же, укажите --force.");
            return false;
        case app::ObjectLock::Outcome::Failed: return false;
        }
        s.objectLock = lock;
    }
    return true;
}

bool UseObjectFolder(app::AppState& s, const QString& path, const ObjectOptions& options, QString& error) {
    QString warning;
    if (!UseObjectFolder(s, path, options, error, warning)) return false;
    if (!warning.isEmpty()) Err() << s.currentObjectFolder << ": " << warning << "\n";
    return true;
}

bool ObjectRegimeFile(const app::AppState& s, const QString& given, QString& file, QString& error) {
    if (given.contains(u'/') || given.contains(u'\\') || given == u"." || given == u".." ||
        !core::MatchesPattern(given, regime::kRegimePattern)) {
        error = given + QStringLiteral(": это не имя файла режима этого объекта (ожидается имя вида «Режим №  3.Dat»)");
        return false;
    }
    file = core::FindEntryNoCase(s.currentObjectFolder, given);
    if (file.isEmpty()) {
        error = core::JoinPath(s.currentObjectFolder, given) + QStringLiteral(": файл режима не найден");
        return false;
    }
    return true;
}

bool CheckOutputPath(const QString& path, QString& error) {
    const QString target = CleanFolder(path);
    const QFileInfo info(target);
    if (path.endsWith(u'/') || info.isDir()) {
        error = target + QStringLiteral(": это папка; укажите имя файла для записи");
        return false;
    }
    // every file the program keeps, in an object, a template or a program folder, whatever its case
    if (const core::FileKind* kind = core::KeptFileAt(target)) {
        const QString owner =
            (kind->places & core::InObject) && (core::PlacesOfFolder(info.absolutePath()) & core::InObject)
                ? QStringLiteral("объекта")
            : (kind->places & core::InTemplate) ? QStringLiteral("шаблона")
                                                : QStringLiteral("программы");
        error = target + QStringLiteral(": это файл данных ") + owner +
                QStringLiteral("; он не будет перезаписан, укажите другое имя");
        return false;
    }
    return true;
}

}  // namespace cli
