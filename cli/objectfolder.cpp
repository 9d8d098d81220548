#include "cli/objectfolder.h"

#include <QDir>
#include <QFileInfo>

#include "store/objectstore.h"
#include "app/startup.h"
#include "object/generaldata.h"

namespace cli {

QString CleanFolder(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool UseObjectFolder(app::AppState& s, const QString& path, QString& error, QString& warning) {
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
    return store::LoadObjectData(s, &error, &warning);
}

}  // namespace cli
