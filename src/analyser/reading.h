#pragma once
// The analyser's text as measurements: the stream cut into readings at their line ends,
// each reading checked (seven numbers, the stored ones within their physical range), the
// readings of one period reduced to the values to store (the newest, or their mean), the
// store into the current regime, and the reading log beside the regime.
//
// Framing rule. A line feed always ends a reading. A carriage return ends a reading as long
// as no line feed has come since the port was opened (analysers that end their readings
// with CR alone); a carriage return directly followed by a line feed is one line end (CR
// LF). Once a line feed has come, carriage returns only separate values, as blanks and
// tabs do, until a line shows readings glued by carriage returns (a stray line feed in the
// stream of an analyser that ends its readings with CR alone; such a line is refused and
// CR ends readings again). What arrives before the first line end after opening is dropped (it may be the
// end of a reading whose start was sent before); an unterminated tail waits for its rest.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "app/state.h"
#include "regime/calculation.h"

namespace analyser {

constexpr int kValueCount = 7;
// Longest tail kept while waiting for its line end; a longer one is noise and is dropped.
constexpr int kMaxReadingBytes = 4096;

enum class SamplingPoint {
    AfterEconomiser,   // fields 11 to 14 and 17 (also "after the boiler" without economiser)
    BeforeEconomiser,  // fields 35 to 38 and 40
};

// False when the general data entry `Economiser` is exactly "без экономайзера" (letter case
// counts): such an object has one sampling point, right after the boiler.
bool BeforeEconomiserAllowed(const QStringList& general);

// Cuts the received bytes into readings by the framing rule above.
class ReadingFramer {
public:
    // The port was opened or opened again: drop everything up to the next line end.
    void restart();
    // Adds bytes as they came; gives the texts of the readings they completed, without
    // their line ends. Readings that hold nothing but blanks are left out.
    QList<QByteArray> feed(const QByteArray& bytes);
    // Bytes of an unterminated reading waiting for their rest.
    qsizetype pending() const { return tail_.size(); }
    bool lineFeeds() const { return lineFeeds_; }

private:
    void endLine(QList<QByteArray>& out);

    QByteArray tail_;
    bool synced_ = false;
    bool lineFeeds_ = false;
    bool afterCr_ = false;  // the last byte was a CR that ended a reading
};

// True when carriage returns in a line separate groups of several values: readings ended by
// CR alone that a stray line feed glued together, never one reading.
bool GluedReadings(QByteArrayView line);

// One complete reading and what the checks made of it.
struct Reading {
    QDateTime time;
    QString text;          // the reading as received
    QStringList values;    // its values as received, at most seven
    std::array<double, kValueCount> numbers{};
    bool accepted = false;
    QString refusal;       // why it was refused
};

// Values separated by blanks, tabs or carriage returns; a decimal comma reads as a point.
// Refused: fewer than seven values ("Неполное показание ..."), a value that is not wholly a
// number, or a stored value outside its physical range (the temperature only when it is
// read). Values after the seventh are ignored.
Reading ParseReading(const QString& text, bool temperature, const QDateTime& time = {});

// The editor fields of value 1 (CO), 2 (NO), 3 (O2), 4 (CO2) and 7 (flue-gas temperature).
struct FieldMap {
    int co, no, o2, co2, temperature;
};
FieldMap FieldsOf(SamplingPoint point);

// What a period gives to store.
struct PeriodValues {
    int used = 0;        // accepted readings behind the values (1 for the newest)
    std::array<double, kValueCount> values{};
    bool averaged = false;
    // Spread (standard deviation) of O2, CO and the flue-gas temperature over the averaged
    // readings, and whether the period counts as steady (see Steady()).
    double sdO2 = 0, sdCO = 0, sdTemperature = 0;
    bool steady = false;
};

// Steady period: at least three readings averaged, and a spread of O2 within 0.2 % by
// volume, of CO within 10 units or 10 % of its mean (the larger), and of the flue-gas
// temperature within 2 degrees.
bool Steady(const PeriodValues& p);

// The newest accepted reading of the period, or with `average` the mean of all accepted
// ones (each value rounded to one decimal more than its most precise reading had, halves to
// even). used == 0 when none was accepted.
PeriodValues CombineReadings(const QList<Reading>& readings, bool average);

// The text a value goes into its field as: the editor form of the single-precision number.
QString FieldText(double value);

// Puts values 1 to 4 (and 7 when `temperature`) into the 43 field texts.
void PutAnalyserValues(QStringList& fields, const std::array<double, kValueCount>& values, SamplingPoint point,
                       bool temperature);

struct StoreOutcome {
    bool saved = false;       // the regime file was written
    bool regimeGone = false;  // the regime file no longer exists: nothing was written
    QString error;            // why it was not
    regime::CalcResult calc;  // the calculation (only when saved)
    QString sortWarning;      // warning of the list sort, if any
};

// Reads the current regime file again (so what someone else saved meanwhile is kept), puts
// the analyser's four or five values in, saves, calculates and sorts the list. A regime file
// that is gone is never created again. `fields` come back as stored, the new values in them.
StoreOutcome StoreAnalyserValues(app::AppState& s, QStringList& fields, const PeriodValues& values, SamplingPoint point,
                                 bool temperature, const std::function<void(const QString&)>& notice = {});

// ------------------------------------------------------------------ the reading log

// "Анализатор Режим 3.csv" for "Режим №  3.Dat".
QString ReadingLogName(const QString& regimeFile);
// The number in a regime file name (3 for "Режим №  3.Dat"), -1 when it holds none.
int RegimeNumberOf(const QString& regimeFile);

struct LogRow {
    QDateTime time;
    QStringList values;  // as received (refused) or as numbers (accepted, the mean)
    QString outcome;     // stored, not used, or why refused
};

// The log rows of one period: each reading with what became of it, and the mean when the
// values stored were a mean. `stored` false with `why`: the values were not stored.
QList<LogRow> LogRowsOf(const QList<Reading>& readings, const PeriodValues& values, bool stored,
                        const QString& why = {});

// Appends rows to the regime's log in the object folder: ";"-separated, Windows-1251,
// CR LF, a header line when the file is new. Written whole through the atomic writer.
bool AppendReadingLog(const QString& objectFolder, const QString& regimeFile, const QList<LogRow>& rows,
                      QString* error = nullptr);

}  // namespace analyser
