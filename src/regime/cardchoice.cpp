#include "regime/cardchoice.h"

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"
#include "regime/regimestore.h"

namespace regime {

bool ReadCardChoice(const QString& objectFolder, QStringList& offCard, QString* error) {
    offCard.clear();
    if (!core::ExistsNoCase(objectFolder, kCardChoiceFile)) return true;
    // checked against its kind in the file table: every line a regime file name
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("card-choice"), core::ResolvePath(objectFolder, kCardChoiceFile), lines,
                            error))
        return false;
    for (const QString& line : lines) offCard.append(line.trimmed());
    return true;
}

bool WriteCardChoice(const QString& objectFolder, const QStringList& offCard, QString* error) {
    return core::WriteTextLines(core::ResolvePath(objectFolder, kCardChoiceFile), offCard, error);
}

QSet<QString> OffCardSet(const app::AppState& s) {
    QSet<QString> set;
    QStringList names;
    if (s.currentObjectFolder.isEmpty() || !ReadCardChoice(s.currentObjectFolder, names)) return set;
    for (const QString& n : names) set.insert(n.toLower());
    return set;
}

bool SetOnCard(app::AppState& s, const QString& regimeFile, bool onCard, QString* error) {
    auto& rows = s.regimeList.rows;
    const int row = s.regimeList.find(regimeFile);
    if (row >= 0) rows[row].ticked = onCard;
    QStringList before;
    if (!ReadCardChoice(s.currentObjectFolder, before, error)) return false;
    QSet<QString> off;
    for (const QString& n : before) off.insert(n.toLower());
    if (onCard) off.remove(regimeFile.toLower());
    else off.insert(regimeFile.toLower());
    QStringList offCard;
    for (const app::RegimeRow& r : rows)
        if (off.contains(r.key.toLower())) offCard.append(r.key);
    return WriteCardChoice(s.currentObjectFolder, offCard, error);
}

}  // namespace regime
