#pragma once
// Which regimes go on the card: the ticks of the regime list, kept with the object in a file
// of its own ("Sel_R.txt": the regime files left off the card, one name a line), so that a
// reopened object offers the card the user chose. A regime not named is on the card, so new
// regimes and objects without the file have every regime ticked.

#include <QSet>
#include <QString>
#include <QStringList>

#include "app/state.h"

namespace regime {

inline const QString kCardChoiceFile = QStringLiteral("Sel_R.txt");

// Reads the names left off the card. A missing file gives none. A file that is no data file,
// or a line that is no regime file name ("Режим №  N.Dat"), is a read error naming the file;
// `offCard` is then empty.
bool ReadCardChoice(const QString& objectFolder, QStringList& offCard, QString* error = nullptr);
// Writes the names atomically; on failure the old file stays and `error` says why.
bool WriteCardChoice(const QString& objectFolder, const QStringList& offCard, QString* error = nullptr);

// Ticks or unticks one regime of the list (by file name) and stores the choice for the
// object's regimes that are listed now (names of regimes gone are dropped). False with the
// reason when the file could not be read or written; the list keeps the tick all the same.
bool SetOnCard(app::AppState& s, const QString& regimeFile, bool onCard, QString* error = nullptr);

// The names of the current object's file, in lower case for look-ups; none when the file is
// missing or cannot be read (the opening of the list tells of that).
QSet<QString> OffCardSet(const app::AppState& s);

}  // namespace regime
