#pragma once
// Program-wide reference lists of the template folder: one plain entry per line.

#include <QString>
#include <QStringList>

namespace object {

inline const QString kEmployeesFile = QStringLiteral("Сотрудники.txt");
inline const QString kSensorsFile = QStringLiteral("Dath.txt");
// The measuring instruments of the program ("Газоанализатор …, зав. № …, поверен до …"), one a
// line, and per object those used in its tests (the same lines), for the card.
inline const QString kInstrumentsFile = QStringLiteral("Средства измерений.txt");
inline const QString kObjectInstrumentsFile = QStringLiteral("Приборы.txt");
inline const QString kListFileError = QStringLiteral("Ошибка при работе с файлом !");

// An entry longer than kMaxListEntry characters is no name nor sensor: it is cut there,
// ending with "…", so no list or drop-down freezes on it; `cut` counts such entries.
constexpr int kMaxListEntry = 200;
inline const QString kLongEntriesNote =
    QStringLiteral("В списке есть записи длиннее 200 знаков: они показаны укороченными.");
bool ReadList(const QString& path, QStringList& entries, int* cut = nullptr);
// The file's own lines, uncut (to write back what the list shows shortened), checked as its
// kind of the file table.
bool ReadListLines(const QString& path, QStringList& lines);
// Appends one entry (trimmed) as the new last line, creating the file if missing. An entry
// that is empty after trimming changes nothing and counts as success.
bool AppendToList(const QString& path, const QString& entry);
bool WriteList(const QString& path, const QStringList& entries);

}  // namespace object
