#pragma once
// The spread of the values that were averaged into a regime (the analyser's mean over its
// readings, an import's mean over a group of rows), kept with the object in a small file of
// the regime's own ("СКО Режим 3.txt" for "Режим №  3.Dat"), so that the uncertainty of the
// pane, the card and the command line counts it after reopening. One line per input:
// "input sigma count value". An entry holds only while the regime's input is still the value
// that was averaged: a value typed over it since has no spread of its own.

#include <QSet>
#include <QString>
#include <array>

#include "engine/uncertainty.h"

namespace regime {

QString RepeatabilityFileName(const QString& regimeFile);

struct SpreadEntry {
    int input = -1;
    double sigma = 0.0;  // sample standard deviation of the readings
    int count = 0;       // readings averaged; fewer than two: the entry is dropped
    float value = 0.0f;  // the mean that was stored in the input
};

// The entries of the regime that still hold for these inputs. A missing file gives none; a
// damaged one is a read error naming the file (and no entries).
// `present` (from SpreadFilesOf) spares a look into the folder for each of many regimes.
bool ReadRepeatability(const QString& objectFolder, const QString& regimeFile,
                       const std::array<float, engine::kInputCount>& inputs, engine::Repeatability& out,
                       QString* error = nullptr, const QSet<QString>* present = nullptr);
// The spread files of the folder, their names in lower case.
QSet<QString> SpreadFilesOf(const QString& objectFolder);

// Replaces the entries of the inputs named in `entries` (an entry of fewer than two
// readings removes its input's line) and writes the file atomically; with no line left the
// file is removed.
bool WriteRepeatability(const QString& objectFolder, const QString& regimeFile, const QList<SpreadEntry>& entries,
                        QString* error = nullptr);

}  // namespace regime
