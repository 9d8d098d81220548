#include "app/state.h"

#include "app/objectlock.h"
#include "core/names.h"

namespace app {

int RegimeListModel::find(const QString& key) const {
    for (int i = 0; i < rows.size(); ++i)
        if (core::SameName(rows[i].key, key)) return i;
    return -1;
}

void AppState::clearObjectData() {
    general = QStringList(kGeneralCount);
    units = QStringList(kUnitCount);
    lastRegimeNumber = 0;
    regimeCount = 0;
    currentRegimeFile.clear();
    currentResultsFile.clear();
    inputs.fill(0.0f);
    results.fill(0.0f);
    steam = engine::SteamState();
    regimeList = RegimeListModel();
    graph = GraphSelection();
    selectedDocument.clear();
    objectLock.reset();
}

void AppState::setCurrentObject(const QString& name) {
    // every object starts from an empty record: nothing of the previous one may be shown,
    // calculated with or written into this one's files
    clearObjectData();
    currentObjectName = name;
    currentObjectFolder = name.isEmpty() ? QString() : core::JoinPath(objectsFolder, name);
}

void AppState::setCurrentRegime(const QString& fileName) {
    currentRegimeFile = fileName;
    currentResultsFile = QStringLiteral("Расчет") + fileName;
}

engine::CalcInputs AppState::calcInputs() const {
    engine::CalcInputs c;
    c.in = inputs;
    for (int i = 0; i < kUnitCount && i < units.size(); ++i) c.units[i] = units[i].toStdString();
    for (int i = 0; i < kGeneralCount && i < general.size(); ++i) c.general[i] = general[i].toStdString();
    return c;
}

AppState AppState::privateCopy() const {
    AppState work;
    work.programFolder = programFolder;
    work.objectsFolder = objectsFolder;
    work.templateFolder = templateFolder;
    work.currentObjectName = currentObjectName;
    work.currentObjectFolder = currentObjectFolder;
    work.general = general;
    work.units = units;
    return work;
}

}  // namespace app
