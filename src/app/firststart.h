#pragma once
// First start of an installed program: where the installed template and demo objects are,
// whether this start prepared the per-user program folder, and the offer to add the demo
// objects to it.

#include <QString>
#include <QStringList>

#include "app/dialogs.h"
#include "app/state.h"

namespace app {

inline const QString kFirstStartTitle = QStringLiteral("Первый запуск");

// The program's installed data, found relative to the executable so that an unpacked copy of
// the package works wherever it lies: <prefix>/bin/kalvaro reads <prefix>/share/kalvaro.
QString InstalledDataFolder(const QString& executableFolder);
QString InstalledTemplateFolder(const QString& executableFolder);
// The folder that holds the demo object folders.
QString InstalledDemoObjectsFolder(const QString& executableFolder);

struct StartFolder {
    QString programFolder;
    bool prepared = false;  // this start made the per-user folder from the installed template
    QString warning;        // what went wrong while preparing it
};

// The program folder as FindProgramFolder chooses it, and whether it was prepared just now.
StartFolder ChooseStartFolder(const QStringList& arguments, const QString& executableFolder,
                              const QString& userDataFolder);

}  // namespace app
