#pragma once
// The safety-automation settings map of an object: 9 rows of 5 texts (parameter, unit,
// sensor, device number, setpoint) in "Bez.txt", and the protocol workbook made of it.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace docs {

inline const QString kSafetyMapFile = QStringLiteral("Bez.txt");
inline const QString kProtocolXlsx = QStringLiteral("Карта уставок и протокол автоматики безопасности.xlsx");
inline const QString kMapFileError = QStringLiteral("Ошибка при работе с файлом !");
constexpr int kMapRows = 9;
constexpr int kMapColumns = 5;
constexpr int kMapCells = kMapRows * kMapColumns;

QStringList TripParameters();          // column 0 list
QStringList MapUnits();                // column 1 list
QString MapColumnTooltip(int column);  // tooltips of the five columns
QStringList InitialMapCells();         // the 45 texts before "Bez.txt" is read
bool InitiallyIncluded(int row);       // rows 0..7 start ticked, row 8 not

enum class MapRead { Missing, Complete, Short, Failed };

// Reads the first 45 lines into `cells` (which keep their texts beyond a short file).
// A missing file is Missing and changes nothing.
MapRead ReadSafetyMap(const QString& folder, QStringList& cells);
// Writes the 45 cells, one per line, CR LF, exactly as they are.
bool WriteSafetyMap(const QString& folder, const QStringList& cells, QString* error = nullptr);

// Which rows go into the protocol, kept beside the map so that "Bez.txt" keeps its 45 lines:
// 9 lines, "1" for a row that is included, "0" for one that is left out.
inline const QString kSafetyMapRowsFile = QStringLiteral("BezVkl.txt");
// Reads the nine ticks into `included`. A missing file is Missing, a file that is not nine
// lines of "0" or "1" is Failed (`error` says why); neither changes `included`.
MapRead ReadSafetyMapRows(const QString& folder, QList<bool>& included, QString* error = nullptr);
bool WriteSafetyMapRows(const QString& folder, const QList<bool>& included, QString* error = nullptr);

// The protocol workbook "Карта уставок и протокол автоматики безопасности": the object's
// header, the included rows with parameter, unit, sensor, number and setpoint, an empty
// column for the result of the check, and lines for signatures.
bool WriteSafetyProtocol(const QString& path, const QStringList& general, const QStringList& cells,
                         const QList<bool>& included, const QDate& date, QString* error = nullptr);

}  // namespace docs
