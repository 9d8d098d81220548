#include "app/startup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "core/names.h"

namespace app {

bool CopyTemplateTree(const QString& from, const QString& to, QString* error) {
    auto fail = [&](const QString& path, const QString& why) {
        if (error) *error = path + QStringLiteral(": ") + why;
        return false;
    };
    if (!QDir().mkpath(to)) return fail(to, QStringLiteral("папка не создана"));
    QDir source(from);
    if (!source.exists()) return fail(from, QStringLiteral("папка шаблона не найдена"));
    const QFileInfoList entries =
        source.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : entries) {
        const QString target = core::JoinPath(to, info.fileName());
        if (info.isSymLink() && info.isDir()) continue;  // a folder link is never followed (it may loop)
        if (info.isDir()) {
            if (!CopyTemplateTree(info.filePath(), target, error)) return false;
        } else if (info.isFile()) {
            if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) continue;  // the user's own file stays
            QFile file(info.filePath());
            if (!file.copy(target)) return fail(target, QStringLiteral("файл шаблона не скопирован: ") + file.errorString());
        }
    }
    return true;
}

QString FindProgramFolder(const QStringList& arguments, const QString& executableFolder,
                          const QString& userDataFolder, const QString& installedTemplate, QString* warning) {
    for (int i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == u"--home") return QDir(arguments[i + 1]).absolutePath();
    const QString env = qEnvironmentVariable("KALVARO_HOME");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    if (core::ExistsNoCase(executableFolder, kTemplateFolderName)) return executableFolder;
    if (!core::ExistsNoCase(userDataFolder, kTemplateFolderName) && !installedTemplate.isEmpty() &&
        QFileInfo(installedTemplate).isDir())
    {
        const QString target = core::JoinPath(userDataFolder, kTemplateFolderName);
        QString why;
        if (!CopyTemplateTree(installedTemplate, target, &why)) {
            if (warning) *warning = QStringLiteral("Папка шаблона подготовлена не полностью. ") + why;
        }
    }
    if (!QDir().mkpath(core::JoinPath(userDataFolder, kObjectsFolderName)) && warning)
        *warning = core::JoinPath(userDataFolder, kObjectsFolderName) + QStringLiteral(": папка объектов не создана");
    return userDataFolder;
}

void SetFolders(AppState& s, const QString& programFolder) {
    s.programFolder = programFolder;
    s.objectsFolder = core::ResolvePath(programFolder, kObjectsFolderName);
    s.templateFolder = core::ResolvePath(programFolder, kTemplateFolderName);
}

QString TemplateFile(const AppState& s, const QString& name) { return core::ResolvePath(s.templateFolder, name); }

QStringList TemplateFileNames() {
    return {QStringLiteral("Brenner.gif"), QStringLiteral("BrennerInstal.JPG"), QStringLiteral("Dath.txt"),
            QStringLiteral("Ediny.txt"),   QStringLiteral("Kessel.gif"),        QStringLiteral("Сотрудники.txt"),
            QStringLiteral("справка.html")};
}

QString TemplateWarning(const AppState& s) {
    if (s.templateFolder.isEmpty() || !QFileInfo(s.templateFolder).isDir())
        return QStringLiteral("Нет папки шаблонов ") + QDir::toNativeSeparators(s.templateFolder);
    QStringList missing;
    for (const QString& name : TemplateFileNames())
        if (!core::ExistsNoCase(s.templateFolder, name)) missing.append(name);
    if (missing.isEmpty()) return {};
    return (missing.size() == 1 ? QStringLiteral("В папке шаблонов нет файла ")
                                : QStringLiteral("В папке шаблонов нет файлов: ")) +
           missing.join(QStringLiteral(", "));
}

QString CreateObjectRefusal(const AppState& s) {
    const QFileInfo objects(s.objectsFolder);
    if (s.objectsFolder.isEmpty() || !objects.isDir())
        return QStringLiteral("Нет папки объектов ") + QDir::toNativeSeparators(s.objectsFolder);
    if (!objects.isWritable())
        return QStringLiteral("Папка объектов защищена от записи: ") + QDir::toNativeSeparators(s.objectsFolder);
    return {};
}

}  // namespace app
