#pragma once
// Program-wide reference lists of the template folder: one plain entry per line.

#include <QString>
#include <QStringList>

namespace object {

inline const QString kEmployeesFile = QStringLiteral("Сотрудники.txt");
inline const QString kSensorsFile = QStringLiteral("Dath.txt");
inline const QString kListFileError = QStringLiteral("Ошибка при работе с файлом !");

bool ReadList(const QString& path, QStringList& entries);
// Appends one entry (trimmed) as the new last line, creating the file if missing. An entry
// that is empty after trimming changes nothing and counts as success.
bool AppendToList(const QString& path, const QString& entry);
bool WriteList(const QString& path, const QStringList& entries);

}  // namespace object
