#pragma once
// What one analyser reading does to the current regime: the first seven values of the
// text go into the flue-gas fields of the sampling point, then the regime is saved,
// calculated and the list re-sorted through the same routines the editor uses.

#include <QString>
#include <QStringList>
#include <functional>

#include "app/state.h"
#include "regime/calculation.h"

namespace analyser {

constexpr int kValueCount = 7;

enum class SamplingPoint {
    AfterEconomiser,   // fields 11 to 14 and 17 (also "after the boiler" without economiser)
    BeforeEconomiser,  // fields 35 to 38 and 40
};

// False when the general data entry `Economiser` is exactly "без экономайзера" (letter case
// counts): such an object has one sampling point, right after the boiler.
bool BeforeEconomiserAllowed(const QStringList& general);

// The first seven values of the text. Carriage returns separate values like blanks; line
// feeds and tabs stay inside the values (the reading rule ignores them). Each value keeps
// the blank that ended it; values not found are empty.
QStringList ParseAnalyserText(const QString& text);

// The editor fields of value 1 (CO), 2 (NO), 3 (O2), 4 (CO2) and 7 (flue-gas temperature).
struct FieldMap {
    int co, no, o2, co2, temperature;
};
FieldMap FieldsOf(SamplingPoint point);

// Puts the values into the 43 field texts; the temperature only when `temperature`.
void PutAnalyserValues(QStringList& fields, const QStringList& values, SamplingPoint point, bool temperature);

struct StoreOutcome {
    bool saved = false;       // the regime file was written
    QString error;            // why it was not
    regime::CalcResult calc;  // the calculation (only when saved)
    QString sortWarning;      // warning of the list sort, if any
};

// ParseAnalyserText, PutAnalyserValues, then SaveRegimeInputs, CalculateCurrentRegime and
// SortRegimeList on the current regime. `fields` are the editor's texts and come back with
// the new values in them. `notice` receives the message of a failed data check.
StoreOutcome StoreAnalyserReading(app::AppState& s, QStringList& fields, const QString& text, SamplingPoint point,
                                  bool temperature, const std::function<void(const QString&)>& notice = {});

}  // namespace analyser
