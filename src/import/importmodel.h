#pragma once
// Readings of a text table into regimes: which column fills which regime input in which
// unit (proposed from the header, or kept as a named profile in the template folder), how
// rows make groups (one row each, by a column, by a gap in time), each group's mean, spread
// and count per input, the rows left out with their reasons, and the writing of the groups
// through the regime routines: a new regime or an existing one each, saved, calculated and
// the list sorted; all or nothing.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/state.h"
#include "import/texttable.h"

namespace importer {

// ------------------------------------------------------------------ fields and units

// The regime inputs a table can fill, in the order the window offers them: CO, NO, NO2, O2,
// CO2, flue-gas and air temperature, furnace pressure (draught), gas pressure at the burner,
// gas flow by the meter, liquid fuel flow.
const QList<int>& ImportFields();
// "CO", "Температура уходящих газов", ...
QString FieldName(int input);
// The units a column of the input may be given in (the object's own unit lists, plus the
// usual forms of analysers: "гПа" beside "mbar"). A unit of this list converts into every
// other unit of it.
QStringList SourceUnits(int input);
// The unit a text means ("mg/m³", "мг/м3" -> "мг/м3"; "°C" -> "оС"; "hPa" -> "гПа"), or
// empty when it is none the import knows.
QString CanonicalUnit(const QString& text);
// `value` in `from` given in `to`: concentrations through the molar mass the calculation
// uses (28 for CO, 46 for NO and NO2, counted as NO2), pressures through pascals (1 kgf =
// 9.80665 N). nullopt when the two units are not of one quantity.
std::optional<double> ConvertUnit(double value, int input, const QString& from, const QString& to);

// ------------------------------------------------------------------ mapping

struct ColumnMap {
    int column = -1;  // 0-based column of the table
    int field = -1;   // regime input
    QString unit;     // unit of the column's values; empty: the object's unit of the input
};

using Mapping = QList<ColumnMap>;

// What a header name says: the input and the unit ("O2 [%]", "CO ppm", "T газа", "Tух",
// "NO, мг/м3"). field -1 when the name says nothing the import knows.
struct HeaderGuess {
    int field = -1;
    QString unit;
};
HeaderGuess GuessHeader(const QString& name);

// The mapping the header names propose (each input at most once, the first column naming
// it wins); `notes` gets the columns that could not be placed and the inputs whose unit
// the header does not give (the object's unit is then taken).
Mapping ProposeMapping(const Table& table, const QStringList& objectUnits, QStringList* notes = nullptr);

// ------------------------------------------------------------------ grouping

enum class GroupBy { Row, Column, Gap };

struct Grouping {
    GroupBy by = GroupBy::Row;
    int column = -1;          // GroupBy::Column: 0-based column
    double gapMinutes = 10;   // GroupBy::Gap: a longer pause starts a new group
};

// "row", "column:N" (N from 1, or a column's name), "gap:MIN". False with the reason.
bool ParseGrouping(const QString& text, const Table& table, Grouping& grouping, QString* error = nullptr);
QString GroupingText(const Grouping& g);

// ------------------------------------------------------------------ profiles

struct ProfileColumn {
    int column = -1;  // 0-based; the name decides when the table has it
    QString name;
    int field = -1;
    QString unit;
    std::optional<bool> decimalComma;
};

struct Profile {
    QString name;
    std::optional<Encoding> encoding;
    std::optional<Separator> separator;
    std::optional<int> skipLines;
    std::optional<bool> header;
    QList<ProfileColumn> columns;
    Grouping grouping;
    QString groupColumnName;  // the grouping column by name, when it had one
};

// "Импорт <name>.txt" in the template folder.
QString ProfileFileName(const QString& name);
// Names of the profiles kept in the template folder, sorted.
QStringList ProfileNames(const QString& templateFolder);
bool SaveProfile(const QString& templateFolder, const Profile& profile, QString* error = nullptr);
// A profile file of the wrong shape (an unknown line, a value that is not one of the
// choices) is a read error naming the file and the line.
bool LoadProfile(const QString& templateFolder, const QString& name, Profile& profile, QString* error = nullptr);

// The profile of the choices made: the table's form, the mapping (columns by name) and the grouping.
Profile MakeProfile(const QString& name, const Table& table, const Mapping& mapping, const Grouping& grouping);
// The table's form with the profile's choices over the detected ones.
TableFormat ApplyProfile(const TableFormat& detected, const Profile& profile);
// The profile's columns found in the table (by name, else by position); `notes` names those
// that are in neither place.
Mapping ProfileMapping(const Profile& profile, const Table& table, QStringList* notes = nullptr);
Grouping ProfileGrouping(const Profile& profile, const Table& table);
// Reads the bytes by the profile: its form over the detected one, then the decimal signs it
// fixes for its columns.
bool ReadTableWithProfile(const QByteArray& bytes, const Profile& profile, Table& table, const QString& fileName,
                          QString* error = nullptr);

// ------------------------------------------------------------------ the plan

struct FieldValue {
    int field = -1;
    double mean = 0;    // in the object's unit, rounded as it is stored
    double spread = 0;  // standard deviation over the group's readings (0 for one reading)
    int count = 0;
};

struct Group {
    QString key;       // the group's name: its row, its column value, its first time
    QList<int> lines;  // file lines of the rows in it
    QList<FieldValue> values;
    const FieldValue* value(int field) const;
};

struct BadRow {
    int line = 0;
    QString reason;
};

struct ImportPlan {
    QList<Group> groups;
    QList<BadRow> bad;
};

// The rows read into groups with their values converted into the object's units. A row is
// left out (listed with its reason) when a mapped cell is not a number, a value is out of
// its input's physical range, its time or group cell cannot be read, or it holds no value.
ImportPlan BuildPlan(const Table& table, const Mapping& mapping, const Grouping& grouping, const QStringList& units,
                     const QStringList& general);

// "будет создано 4 режима, заполнено 1"
QString SummaryText(int created, int filled);

// ------------------------------------------------------------------ writing

struct WrittenRegime {
    int group = 0;
    QString file;
    bool created = false;
    QString checkMessage;  // the data check's message when it failed (saved, not calculated)
};

struct WriteOutcome {
    bool ok = false;
    QString error;  // why nothing was written (or why what was written was taken back)
    QList<WrittenRegime> regimes;
    QString listWarning;
    int checkFailed() const;
};

// Writes each group of the plan: targets[i] names the existing regime group i fills (its
// other inputs kept), an empty name a new regime, which starts as a copy of `baseRegime`
// (the current regime when empty) as a regime added in the list does. Each regime is saved,
// calculated and the list sorted at the end. Refused before anything is written: an unknown
// or doubly chosen regime, more regimes than the numbering allows. A file error on the way
// takes back what this import wrote (new regimes deleted, filled ones restored).
WriteOutcome WritePlan(app::AppState& s, const ImportPlan& plan, const QStringList& targets,
                       const QString& baseRegime = {}, const std::function<void(const QString&)>& notice = {});

}  // namespace importer
