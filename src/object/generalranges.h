#pragma once
// The physical ranges of the general data by fuel, as the regime inputs have theirs (see
// regime/inputranges.h): the calorific value (kcal/m³ for the gases, kcal/kg for the liquid
// fuels), the density (kg/m³, t/m³) and CO2max of each of the four fuels, a nominal output
// above 0 and own needs of 0 to 10 %. The general data windows refuse a value outside with
// these words, and the data check of every regime (the command line's too) fails with them.

#include <QString>
#include <QStringList>
#include <optional>

namespace object {

struct GeneralRange {
    double min = 0.0, max = 0.0;
    QString unit;
    bool minIncluded = true;  // a nominal output of 0 is none
    bool open = false;        // no upper bound (the nominal output)
};

// The range of entry `entry` for `fuel`; nullopt for an entry without one, and for the fuel
// values of a fuel that is none of the four.
std::optional<GeneralRange> GeneralRangeOf(int entry, const QString& fuel);

// Why the text of entry `entry` cannot stand for the fuel: "Общие данные «<caption>»:
// значение <v> вне пределов от <min> до <max> <unit> (<fuel>)", or an empty text when it can.
// An empty entry is left to the data check's own messages.
QString GeneralRangeError(int entry, const QString& text, const QString& fuel);

// The first entry of a general data record outside its range, worded as above; empty when
// all are within.
QString GeneralDataRangeError(const QStringList& general);

}  // namespace object
