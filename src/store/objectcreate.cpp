#include "store/objectcreate.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

#include "app/startup.h"
#include "core/names.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/generalranges.h"
#include "object/units.h"
#include "regime/regimestore.h"

namespace store {

using namespace object;

CreateCheck CheckNewObject(const app::AppState& s, const QStringList& fields) {
    const QString name = fields.value(ObjectName).trimmed();
    const QString inputError = QStringLiteral("Ощибка ввода данных");
    const QString missing = QStringLiteral("Недостаточно данных");
    if (name.isEmpty()) return {false, inputError, QStringLiteral("Введите имя объекта."), ObjectName, 0};
    if (core::ExistsNoCase(s.objectsFolder, name))
        return {false, inputError, QStringLiteral("Объект с такаим именем уже существует.Назначте объекту другое имя."),
                ObjectName, 0};
    if (fields.value(BoilerType).isEmpty())
        return {false, missing, QStringLiteral("Введите статус установки."), BoilerType, 1};
    if (fields.value(FuelType).isEmpty())
        return {false, missing, QStringLiteral("Введите вид топлива."), FuelType, 2};
    if (fields.value(Economiser).isEmpty())
        return {false, missing, QStringLiteral("Введите информацию о хвостовых поверхнстях."), Economiser, 1};
    // values no fuel or boiler can have are refused with the words the data check uses
    for (int entry : {NominalOutput, OwnNeedsLoss, CalorificValue, FuelDensity, Co2Max}) {
        const QString range = GeneralRangeError(entry, fields.value(entry), fields.value(FuelType));
        if (!range.isEmpty())
            return {false, inputError, range, entry, entry == NominalOutput || entry == OwnNeedsLoss ? 1 : 2};
    }
    return {};
}

QString FilterObjectName(const QString& name) {
    QString out;
    for (QChar c : name)
        if (!QStringLiteral("/\\?><*|").contains(c)) out.append(c);
    return out;
}

bool CreateObject(app::AppState& s, const QStringList& fields, QString* error, QString* unitsWarning) {
    const QString name = fields.value(ObjectName).trimmed();
    if (!core::IsAcceptableName(name)) {
        if (error) *error = QStringLiteral("имя не может быть именем папки");
        return false;
    }
    const QString refusal = app::CreateObjectRefusal(s);
    if (!refusal.isEmpty()) {
        if (error) *error = refusal;
        return false;
    }
    const QString folder = core::JoinPath(s.objectsFolder, name);
    errno = 0;
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0) {
        if (error) *error = core::ErrnoText(errno);
        return false;
    }
    auto undo = [&](const QString& why) {
        QDir(folder).removeRecursively();
        if (error) *error = why;
        return false;
    };
    QStringList values = fields.mid(0, kGeneralCount);
    while (values.size() < kGeneralCount) values.append(QString());
    QString why;
    if (!WriteGeneralData(folder, values, &why)) return undo(why);
    // the template's units file is copied as it stands when it reads as one; otherwise the
    // built-in defaults are written, so a damaged template never blocks a new object, and
    // the caller is told
    QStringList units;
    QString templateWhy;
    QStringList templateUnits;
    const bool templateReadable = !s.templateFolder.isEmpty() && ReadUnits(s.templateFolder, templateUnits, &templateWhy);
    const QString target = core::JoinPath(folder, kUnitsFile);
    if (!templateReadable || !QFile::copy(app::TemplateFile(s, kUnitsFile), target) || !ReadUnits(folder, units)) {
        QFile::remove(target);
        if (!WriteUnits(folder, DefaultUnits(), &why)) return undo(why);
        if (!ReadUnits(folder, units)) units = DefaultUnits();
        if (unitsWarning)
            *unitsWarning = QStringLiteral("Файл единиц измерения шаблона ") + kUnitsFile +
                            QStringLiteral(" не прочитан") +
                            (templateWhy.isEmpty() ? QString() : QStringLiteral(" (") + templateWhy + u')') +
                            QStringLiteral(". Объекту назначены единицы измерения программы по умолчанию.");
    }
    if (!regime::WriteCounter(folder, regime::kLastNumberFile, 0, true, &why) ||
        !regime::WriteCounter(folder, regime::kCountFile, 0, true, &why))
        return undo(why);
    // the object is now current; the first regime starts from the state's input array
    s.setCurrentObject(name);
    s.general = values;
    s.units = units;
    while (s.units.size() < kUnitCount) s.units.append(QString());
    s.lastRegimeNumber = 0;
    s.regimeCount = 0;
    s.regimeList.rows.clear();
    if (!regime::NewRegime(s, &why)) {
        s.setCurrentObject(QString());
        return undo(why);
    }
    return true;
}

}  // namespace store
