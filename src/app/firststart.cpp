#include "app/firststart.h"

#include <QDir>
#include <QFileInfo>

#include "app/objectcopy.h"
#include "app/objectstore.h"
#include "app/startup.h"
#include "core/names.h"

namespace app {

QString InstalledDataFolder(const QString& executableFolder) {
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/kalvaro"));
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

}  // namespace app
