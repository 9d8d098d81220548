#pragma once
// The object store: listing object folders under the filter, the summary of a selected
// object, rename and delete.

#include <QString>
#include <QStringList>

#include "app/dialogs.h"
#include "app/state.h"
#include "regime/regimestore.h"

namespace store {

using app::AppState;
using app::Dialogs;

inline const QString kObjectListPathError = QStringLiteral("Ошибка пути к списку объектов");
inline const QString kFileReadError = QStringLiteral("Ошибка чтения файла");
inline const QString kBadObjectName = QStringLiteral(
    "Недопустимое имя объекта. Имя не может быть пустым, равным «.» или «..» и не может содержать символы «/», «\\» "
    "и управляющие символы (перевод строки, табуляцию).");

struct ObjectList {
    QStringList names;
    QString header;  // "Все объекты, всего : N" or "Объекты по фильтру, всего : N"
    bool ok = true;  // false when the objects folder cannot be listed
};

ObjectList FillObjectList(const AppState& s);

// Find: sets or clears the filter from the text typed. Returns whether "Найти" stays enabled.
bool ApplyFilter(AppState& s, const QString& text);

struct ObjectSummary {
    bool isObject = false;
    QString title;
    // values beside "Установка:", "Тип:", "Ст.№:" (+ economiser), "Горелка:", "Топливо:",
    // "Режимов:", "Исполнитель:"
    QString boilerType, installationType, stationNumber, economiser, burner, fuel, regimes, performer;
    bool readError = false;  // "Ошибка чтения файла" to be shown
    bool generalUnreadable = false;  // the general data itself: the object cannot be opened
};

// Select: makes `name` the current object, reads its general data into the state and
// builds the summary. A general data file that cannot be read whole leaves the record empty.
ObjectSummary SelectObject(AppState& s, const QString& name);

bool IsObjectFolder(const QString& folder);

// The object folder named on the command line, as a folder to take objects from and an
// object name in it. A plain name is looked up in the objects folder of `s` first. An object
// elsewhere is opened from its own parent folder, or, when that is the objects folder of a
// program folder with a template and `homeChosen` is false, from that program folder.
// `error` names a folder that is no object.
struct ObjectArgument {
    QString programFolder;  // empty: the program folder stays
    QString objectsFolder;  // empty: the objects folder stays
    QString name;
    QString error;
};
ObjectArgument ResolveObjectArgument(const AppState& s, const QString& argument, bool homeChosen);
// Regime count of an object (first value of "Col_RAll.txt").
bool ReadRegimeCount(const QString& objectFolder, int& count, QString* error = nullptr);

// Reading an object for the calculation is the regime store's.
using regime::LoadObjectData;

enum class CommandResult { Cancelled, Refused, Done, Failed };

// Rename of the current object through an input box. A taken name ends with no change and
// no message; a name that would leave the objects folder is refused the same way.
CommandResult RenameObject(AppState& s, Dialogs& d);
// Delete after a Yes/No question: only regular files of that one folder are removed,
// symbolic links are never followed; then the folder itself if it is empty.
CommandResult DeleteObject(AppState& s, Dialogs& d);

}  // namespace store
