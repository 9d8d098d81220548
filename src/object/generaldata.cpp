#include "object/generaldata.h"

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"

namespace object {

QStringList BoilerTypes() { return {kHotWaterBoiler, kSteamBoiler}; }
QStringList SteamOutputUnits() { return {QStringLiteral("т/час"), QStringLiteral("кг/час")}; }
QStringList Q5Modes() { return {kQ5AtNominal, kQ5AtAllLoads, kQ5EachRegime}; }
QStringList LoadControls() {
    return {QStringLiteral("Ступенчатое регулирование"), QStringLiteral("Плавно-ступенчатое регулирование"),
            QStringLiteral("Плавное  регулирование")};
}
QStringList FuelTypes() { return {kNaturalGas, kDiesel, kFuelOil, kPropane}; }
QStringList HeatOutputUnits() {
    return {QStringLiteral("кВт"), QStringLiteral("Гкал/час"), QStringLiteral("МВт")};
}
QStringList EconomiserChoices() { return {kWithEconomiser, kWithoutEconomiser}; }

bool IsSteamBoiler(const QStringList& g) { return core::SameName(g.value(BoilerType), kSteamBoiler); }
bool IsHotWaterBoiler(const QStringList& g) { return core::SameName(g.value(BoilerType), kHotWaterBoiler); }
bool IsGaseousFuel(const QString& f) { return core::SameName(f, kNaturalGas) || core::SameName(f, kPropane); }
bool IsLiquidFuel(const QString& f) { return core::SameName(f, kDiesel) || core::SameName(f, kFuelOil); }
bool HasEconomiser(const QStringList& g) { return core::SameName(g.value(Economiser), kWithEconomiser); }

bool DefaultsForFuel(const QString& fuel, FuelDefaults& out) {
    const QString gasCal = QStringLiteral("ккал/ст.м3"), gasDen = QStringLiteral("кг/м3");
    const QString liqCal = QStringLiteral("ккал/кг"), liqDen = QStringLiteral("т/м3");
    const QString pct = QStringLiteral("%");
    if (core::SameName(fuel, kNaturalGas)) out = {"8000", "0.67", "11.8", gasCal, gasDen, pct};
    else if (core::SameName(fuel, kPropane)) out = {"22500", "2.1", "13.9", gasCal, gasDen, pct};
    else if (core::SameName(fuel, kDiesel)) out = {"10180", "0.9", "15.9", liqCal, liqDen, pct};
    else if (core::SameName(fuel, kFuelOil)) out = {"9600", "0.9", "15.9", liqCal, liqDen, pct};
    else return false;
    return true;
}

bool UnitTextsForFuel(const QString& fuel, QStringList& out) {
    FuelDefaults d;
    if (!DefaultsForFuel(fuel, d)) return false;
    out = {d.calorificUnit, d.densityUnit, d.co2Unit};
    return true;
}

bool ReadGeneralData(const QString& objectFolder, QStringList& values, QString* error) {
    const QString path = core::ResolvePath(objectFolder, kGeneralFile);
    if (core::ReadKindFile(QStringLiteral("general"), path, values, error)) return true;
    // a damaged file still shows what it holds where it is shown, never as good data
    QStringList partial;
    core::ReadQuotedFile(path, kGeneralCount, partial);
    values = partial;
    return false;
}

bool WriteGeneralData(const QString& objectFolder, const QStringList& values, QString* error) {
    QStringList v = values;
    while (v.size() < kGeneralCount) v.append(QString());
    v = v.mid(0, kGeneralCount);
    return core::WriteQuotedFile(core::ResolvePath(objectFolder, kGeneralFile), v, error);
}

bool FollowFolderName(const QString& objectFolder, const QString& oldName, const QString& newName, QString* error) {
    QStringList values;
    if (!ReadGeneralData(objectFolder, values, error)) return false;
    if (values.value(ObjectName).trimmed().compare(oldName.trimmed(), Qt::CaseInsensitive) != 0) return true;
    values[ObjectName] = newName;
    return WriteGeneralData(objectFolder, values, error);
}

bool CalculationDataChanged(const QStringList& before, const QStringList& after) {
    for (int e : {BoilerType, SteamOutputUnit, Q5Mode, FuelType, HeatOutputUnit, CalorificValue, FuelDensity, Co2Max,
                  Economiser, NominalOutput, Q5Nominal, OwnNeedsLoss})
        if (before.value(e) != after.value(e)) return true;
    return false;
}

}  // namespace object
