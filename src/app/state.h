#pragma once
// The process-wide state of the program: folders, current object, its general data and
// units, the current regime and its arrays, the regime list, the graph selection. One
// instance is owned by the application and handed by reference to routines and windows.

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "engine/engine.h"

namespace app {

class ObjectLock;

// The counts of the calculation's arrays, as the engine defines them.
using engine::kGeneralCount;
using engine::kInputCount;
using engine::kQ5Input;
using engine::kResultCount;
using engine::kUnitCount;

struct RegimeRow {
    QString key;   // the regime file name; also the row text
    QString load;  // second column, "Нагрузка, %"; empty when the regime is not calculated
    bool ticked = false;
    bool selected = false;
    // Why the regime's stored results are not current (its inputs fail the data check), or
    // why one of them cannot be right (an efficiency above 100 %, ...); empty when neither.
    QString checkMessage, warning;
};

struct RegimeListModel {
    QList<RegimeRow> rows;
    QString header = QStringLiteral("Всего");
    int selectedRow() const {
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].selected) return i;
        return -1;
    }
    int find(const QString& key) const;  // row of the file name (case ignored), -1 if none
};

struct GraphSelection {
    QString ySource, xSource;  // "R" result slot, "P" regime input
    int yIndex = 0, xIndex = 0;
    bool chosen = false;
};

struct AppState {
    // folders; none ends with a separator
    QString programFolder, objectsFolder, templateFolder;
    QString currentObjectName, currentObjectFolder;

    // object list filter
    bool filterActive = false;
    QString filterText;

    QStringList general = QStringList(kGeneralCount);  // current general data
    QStringList units = QStringList(kUnitCount);       // unit texts of the open object

    // current regime
    int lastRegimeNumber = 0;
    int regimeCount = 0;
    QString currentRegimeFile, currentResultsFile;
    std::array<float, kInputCount> inputs{};
    std::array<float, kResultCount> results{};
    // The data check's message when the current regime's inputs fail it: the results array
    // then holds what was stored before, which those inputs no longer give.
    QString resultsCheckMessage;
    engine::SteamState steam;
    RegimeListModel regimeList;

    GraphSelection graph;
    QString selectedDocument;  // also the list file name of the reference-list editor

    // The lock of the open object (see objectlock.h); released with the object's data.
    std::shared_ptr<ObjectLock> objectLock;

    // Shows the results array in the list and the results pane; set by the windows.
    std::function<void()> showRegimeResults;
    // Puts the 43 texts into the regime editor's fields; set by the editor.
    std::function<void(const QStringList&)> setEditorFields;

    // Makes `name` the current object (empty: none) and clears everything read of the
    // previous object: general data, units, counters, regime arrays, list, graph choice.
    void setCurrentObject(const QString& name);
    void clearObjectData();
    void setCurrentRegime(const QString& fileName);
    engine::CalcInputs calcInputs() const;
    // The open object (folders, general data, units) in a state of its own, for reading and
    // calculating regimes in private arrays: no regime, no list, no window hooks.
    AppState privateCopy() const;
};

}  // namespace app
