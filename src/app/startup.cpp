#include "app/startup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "core/names.h"

namespace app {

namespace {

void CopyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = core::JoinPath(to, info.fileName());
        if (info.isDir()) CopyTree(info.filePath(), target);
        else if (!QFileInfo::exists(target)) QFile::copy(info.filePath(), target);
    }
}

}  // namespace

QString FindProgramFolder(const QStringList& arguments, const QString& executableFolder,
                          const QString& userDataFolder, const QString& installedTemplate) {
    for (int i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == u"--home") return QDir(arguments[i + 1]).absolutePath();
    const QString env = qEnvironmentVariable("KALVARO_HOME");
    if (!env.isEmpty()) return QDir(env).absolutePath();
    if (core::ExistsNoCase(executableFolder, kTemplateFolderName)) return executableFolder;
    if (!core::ExistsNoCase(userDataFolder, kTemplateFolderName) && !installedTemplate.isEmpty() &&
        QFileInfo(installedTemplate).isDir())
        CopyTree(installedTemplate, core::JoinPath(userDataFolder, kTemplateFolderName));
    QDir().mkpath(core::JoinPath(userDataFolder, kObjectsFolderName));
    return userDataFolder;
}

void SetFolders(AppState& s, const QString& programFolder) {
    s.programFolder = programFolder;
    s.objectsFolder = core::ResolvePath(programFolder, kObjectsFolderName);
    s.templateFolder = core::ResolvePath(programFolder, kTemplateFolderName);
}

QString TemplateFile(const AppState& s, const QString& name) { return core::ResolvePath(s.templateFolder, name); }

}  // namespace app
