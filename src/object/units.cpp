#include "object/units.h"

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"

namespace object {

namespace {

const QStringList& Pressures7() {
    static const QStringList l = {"кгс/см2", "кгс/м2", "мм.вод.ст.", "bar", "mbar", "Па", "кПа"};
    return l;
}
const QStringList& Draughts() {
    static const QStringList l = {"кгс/м2", "мм.вод.ст.", "mbar", "Па", "кПа"};
    return l;
}
const QStringList& Concentrations() {
    static const QStringList l = {"мг/м3", "г/м3", "ppm"};
    return l;
}

}  // namespace

QStringList OfferedUnits(int unit) {
    const QStringList celsius = {QStringLiteral("оС")};
    const QStringList bars3 = {QStringLiteral("кгс/см2"), QStringLiteral("bar"), QStringLiteral("mbar")};
    const QStringList bars2 = {QStringLiteral("кгс/см2"), QStringLiteral("bar")};
    const QStringList angles = {QStringLiteral("градусов"), QStringLiteral("делений")};
    switch (unit) {
    case 0: return {QStringLiteral("м3/час"), QStringLiteral("ст.м3/час"), QStringLiteral("н.м3/час")};
    case 1: return celsius;
    case 2: case 3: case 4: case 5: return Pressures7();
    case 6: case 19: case 20: return Draughts();
    case 7: return {QStringLiteral("кг/час"), QStringLiteral("л/час")};
    case 8: case 9: case 24: case 25: return bars3;
    case 10: return {QStringLiteral("oC")};
    case 11:
    case 15: return Concentrations();
    case 14: return Concentrations() + QStringList{kNoAsNoUnit};
    case 12: case 13: return {QStringLiteral("%")};
    case 16: return {QStringLiteral("т/час")};
    case 17: case 18: case 22: case 23: case 26: case 29: return celsius;
    case 21: case 30: return angles;
    case 27: case 28: return bars2;
    default: return {};
    }
}

QString UnitLabel(int unit) {
    static const QStringList labels = {
        "Расход по счетчику", "Температура  на счетчике ", "Давление  на счетчике",
        "Давление  перед регулятором", "Давление  после регулятора", "Давление  на горелке",
        "Давление в  топке ", "Расход топлива", "Давление в магистрали", "Давление на форсунке",
        "Температура топлива", "CO", "CO2", "O2", "NO", "NO2", "Расход воды по счетчику ",
        "Температура уходящих газов", "Температура  воздуха", "Давление на горелке ",
        "За котлом, экономайзером", "Угол  заслонки", "Температура на входе в котел",
        "Температура  на выходе ", "Давление  на входе в  котел", "Давление  на  выходе",
        "Температура пит. воды  ", "Давление пит. воды ", "Давление  пара в котле ",
        "Темпер.  пит.в. по паспорту ", "Положение сервопривода"};
    return labels.value(unit);
}

int InputOfUnit(int unit) {
    switch (unit) {
    case 16: return 41;
    case 29: return 33;
    case 30: return 32;
    default: return unit;
    }
}

QStringList DefaultUnits() {
    QStringList u;
    for (int i = 0; i < kUnitCount; ++i) u.append(OfferedUnits(i).value(0));
    u[0] = QStringLiteral("ст.м3/час");
    u[2] = u[3] = u[4] = u[5] = QStringLiteral("mbar");
    u[6] = u[19] = QStringLiteral("mbar");
    u[11] = u[14] = QStringLiteral("ppm");
    u[24] = u[25] = u[27] = u[28] = QStringLiteral("кгс/см2");
    u[8] = u[9] = QStringLiteral("bar");
    ApplyUnitFollowers(u);
    return u;
}

void ApplyUnitFollowers(QStringList& units) {
    while (units.size() < kUnitCount) units.append(QString());
    units[15] = NitrogenDioxideUnit(units[14]);
    units[20] = units[6];
}

QString NitrogenDioxideUnit(const QString& noUnit) {
    // NO read as NO in mg/m3: the NO2 beside it is in mg/m3 of NO2, as always
    if (noUnit.compare(kNoAsNoUnit, Qt::CaseInsensitive) == 0) return QStringLiteral("мг/м3");
    return noUnit;
}

bool ReadUnits(const QString& folder, QStringList& units, QString* error) {
    return core::ReadKindFile(QStringLiteral("units"), core::ResolvePath(folder, kUnitsFile), units, error);
}

bool LoadObjectUnits(const QString& objectFolder, const QString& templateFolder, QStringList& units,
                     QString* warning) {
    QString why;
    if (ReadUnits(objectFolder, units, &why)) return true;
    QStringList defaults;
    const bool fromTemplate = !templateFolder.isEmpty() && ReadUnits(templateFolder, defaults);
    units = fromTemplate ? defaults : DefaultUnits();
    ApplyUnitFollowers(units);
    if (warning)
        *warning = QStringLiteral("Единицы измерения объекта не прочитаны (") + why +
                   (fromTemplate ? QStringLiteral("). Используются единицы по умолчанию из шаблона.")
                                 : QStringLiteral("). Используются единицы по умолчанию программы."));
    return false;
}

bool WriteUnits(const QString& folder, const QStringList& units, QString* error) {
    QStringList u = units.mid(0, kUnitCount);
    ApplyUnitFollowers(u);
    return core::WriteQuotedFile(core::ResolvePath(folder, kUnitsFile), u, error);
}

bool CalculationUnitsChanged(const QStringList& before, const QStringList& after) {
    for (int unit : {0, 2, 7, 11, 14})
        if (before.value(unit).compare(after.value(unit), Qt::CaseInsensitive) != 0) return true;
    return false;
}

}  // namespace object
