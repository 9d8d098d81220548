#pragma once
// Regimes of the current object: numbering, the regime and results files, the counters,
// and the regime list model. Every routine works on the shared state.

#include <QString>
#include <QStringList>
#include <optional>

#include "app/state.h"

namespace regime {

inline const QString kLastNumberFile = QStringLiteral("Col_R.txt");
inline const QString kCountFile = QStringLiteral("Col_RAll.txt");
inline const QString kResultsPrefix = QStringLiteral("Расчет");
inline const QString kRegimePattern = QStringLiteral("Режим*.dat");
constexpr int kMaxRegimeNumber = 32767;

// Warnings of the list routines, shown by their callers.
inline const QString kFillWarning = QStringLiteral("Ошибка пути или чтения файла при заполнеии списка режимов");
inline const QString kSortWarning = QStringLiteral("Ошибка при сортировке режимов ");
inline const QString kLimitRefusal =
    QStringLiteral("Достигнут наибольший номер режима (32767). Новый режим не может быть создан.");

// "Режим №  3.Dat" for 3.
QString RegimeFileName(int number);

// Counter files. Creation paths write a blank before the number, the deletion path not.
bool WriteCounter(const QString& folder, const QString& file, int value, bool leadingBlank,
                  QString* error = nullptr);
bool ReadCounter(const QString& folder, const QString& file, int& value, QString* error = nullptr);
// Reads "Col_R.txt" and "Col_RAll.txt" into the state (when the editor opens).
bool ReadRegimeCounters(app::AppState& s, QString* error = nullptr);

// Creates the next regime and makes it current. Fails with kLimitRefusal (writing nothing)
// at number 32767, or with the file error. `listWarning` receives a warning of the list refill.
bool NewRegime(app::AppState& s, QString* error = nullptr, QString* listWarning = nullptr);
bool DeleteRegimeFiles(app::AppState& s, QString* error = nullptr);

// Takes the 43 editor texts into the input array and rewrites the regime file.
bool SaveRegimeInputs(app::AppState& s, const QStringList& fieldTexts, QString* error = nullptr);
// Reads the regime file into the input array; `fieldTexts` gets the 43 editor texts, which
// also go to the state's editor hook when one is set.
bool LoadRegimeInputs(app::AppState& s, QStringList* fieldTexts = nullptr, QString* error = nullptr);
bool SaveRegimeResults(const app::AppState& s, QString* error = nullptr);
bool LoadRegimeResults(app::AppState& s, QString* error = nullptr);

// Each returns its warning text, or an empty text when all went well.
QString FillRegimeList(app::AppState& s);
// Lists the regime files in the order of their numbers without reading their loads, for a
// recalculation of all regimes, which reads every results file itself.
QString ListRegimes(app::AppState& s);
QString SortRegimeList(app::AppState& s);
void ShowRegimeCount(app::AppState& s);
// Writes result 0 into the load column of the current regime's row, then hands the results
// to the results pane through the state's hook.
void ShowRegimeResults(app::AppState& s);

// Whether results come from a calculation: a new regime's are all zeros.
bool Calculated(const std::array<float, app::kResultCount>& results);

// The load text of a calculated row: slot 0 with a blank before a non-negative value.
QString LoadText(float load);

// Makes row `row` of the regime list the current regime: only that row selected and the
// current regime file its key. A row outside the list selects none and keeps the current file.
void SelectRegimeRow(app::AppState& s, int row);
// "Режим № 3/ 5": row `row`'s own regime number (the list is sorted by load, so its position
// is no regime) and the regime count; a regime file without a number gives its row.
QString SelectionHeader(const app::AppState& s, int row);

// The number N of a regime file name "Режим №  N.Dat"; nullopt when it holds none.
std::optional<int> RegimeNumberOf(const QString& regimeFile);
// "Режим  N" + "q5.txt" for regime N. A regime file without a number gives its own base
// name + "q5.txt".
QString Q5FileName(const QString& regimeFile);
// Removes the q5 file of a regime (when it exists); false only when it could not be removed.
bool DeleteQ5File(const QString& objectFolder, const QString& regimeFile, QString* error = nullptr);

// Reads everything the calculation needs of the current object: its general data, units
// and regime counters. Used when an object is opened without its windows (command line).
// Units that had to be taken from the template are not an error; `warning` says so.
bool LoadObjectData(app::AppState& s, QString* error = nullptr, QString* warning = nullptr);

// An object folder read on its own, as the command line and the demo do: the state's folders
// follow the object's place (the program folder above it, with its Template), then
// LoadObjectData and FillRegimeList. False with the reason, naming the folder; the list's
// warning counts as a failure. An object whose own units cannot be read is refused (results
// made with other units are no results of this object) unless `templateUnits` is set; then
// `unitsWarning` says that the template's units are used.
bool LoadObjectFolder(app::AppState& s, const QString& objectFolder, QString* error = nullptr,
                      bool templateUnits = false, QString* unitsWarning = nullptr);
// The refusal of an object whose "Ediny.txt" cannot be read (`why` names the file), the same
// for every command that calculates.
QString UnreadableUnitsRefusal(const QString& why);

}  // namespace regime
