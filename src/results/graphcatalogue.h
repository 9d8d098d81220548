#pragma once
// The catalogue of plottable dependencies (Y against X) of an object, and the graph
// selection parsed from an entry's key.

#include <QList>
#include <QString>
#include <QStringList>

#include "app/state.h"

namespace results {

struct GraphEntry {
    QString key;       // "R4 R3": Y token, one blank, X token
    QString yCaption;  // column "Ось Y"
    QString xCaption;  // column "Ось X"
    int picture = 0;   // picture number of the entry
};

// `unitLabels` are the captions of the regime editor's unit labels L(0)..L(30).
QList<GraphEntry> BuildHotWaterGraphList(const QStringList& general, const QStringList& unitLabels);
QList<GraphEntry> BuildSteamGraphList(const QStringList& general, const QStringList& unitLabels);
// The hot-water catalogue for any boiler type but "Паровой котел".
QList<GraphEntry> BuildGraphList(const QStringList& general, const QStringList& unitLabels);

// Parses an entry key into the selection and sets `chosen`. Returns false (selection
// unchanged) for a key that is not two tokens of a letter R or P and an index in range.
bool ChooseGraph(const QString& key, app::GraphSelection& selection);

}  // namespace results
