#pragma once
// Finding the program folder and fixing the objects and template folders.

#include <QString>
#include <QStringList>

#include "app/state.h"

namespace app {

inline const QString kObjectsFolderName = QStringLiteral("Все объекты");
inline const QString kTemplateFolderName = QStringLiteral("Template");

// The program folder: "--home DIR" among the arguments, else $KALVARO_HOME, else the
// executable's folder when it holds "Template", else the per-user data folder, prepared on
// first use from `installedTemplate` with an empty objects folder.
// `warning` receives what went wrong while preparing the per-user folder.
QString FindProgramFolder(const QStringList& arguments, const QString& executableFolder,
                          const QString& userDataFolder, const QString& installedTemplate,
                          QString* warning = nullptr);

// Copies the template folder tree: folder links are skipped (never followed, so a link loop
// cannot nest copies), files already in the target are kept, and every copy is checked;
// the first failure ends the copy with `error` naming the file.
bool CopyTemplateTree(const QString& from, const QString& to, QString* error = nullptr);

// Sets the three folders of the state from the program folder (none is checked or created).
void SetFolders(AppState& s, const QString& programFolder);

// Template folder file path, found whatever its letter case.
QString TemplateFile(const AppState& s, const QString& name);

// The files of a complete template folder: pictures, default units, reference lists, help.
QStringList TemplateFileNames();
// What start-up says in the status bar when the template folder, or any of its files, is
// missing (letter case does not count); empty for a complete template.
QString TemplateWarning(const AppState& s);
// Why no new object can be made now (the objects folder is missing or cannot be written);
// empty when "Создать" can act.
QString CreateObjectRefusal(const AppState& s);

}  // namespace app
