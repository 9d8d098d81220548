#include "app/firststart.h"

#include <QDir>
#include <QFileInfo>

#include "app/startup.h"
#include "core/names.h"

namespace app {

QString InstalledDataFolder(const QString& executableFolder) {
    const QString installed = QDir::cleanPath(executableFolder + QStringLiteral("/../share/kalvaro"));
    // a build folder keeps its copy beside the programs
    const QString built = QDir::cleanPath(executableFolder + QStringLiteral("/share/kalvaro"));
    return !QFileInfo(installed).isDir() && QFileInfo(built).isDir() ? built : installed;
}

QString InstalledTemplateFolder(const QString& executableFolder) {
    return core::JoinPath(InstalledDataFolder(executableFolder), kTemplateFolderName);
}

QString InstalledDemoObjectsFolder(const QString& executableFolder) {
    return core::JoinPath(core::JoinPath(InstalledDataFolder(executableFolder), QStringLiteral("demo")),
                          kObjectsFolderName);
}

StartFolder ChooseStartFolder(const QStringList& arguments, const QString& executableFolder,
                              const QString& userDataFolder) {
    // the per-user folder counts as prepared by this start when it had no template before
    // and was the folder chosen; a template the user already has is never touched
    const bool hadTemplate = core::ExistsNoCase(userDataFolder, kTemplateFolderName);
    StartFolder r;
    r.programFolder = FindProgramFolder(arguments, executableFolder, userDataFolder,
                                        InstalledTemplateFolder(executableFolder), &r.warning);
    r.prepared = !hadTemplate && QDir(r.programFolder) == QDir(userDataFolder) &&
                 core::ExistsNoCase(userDataFolder, kTemplateFolderName);
    return r;
}

}  // namespace app
