#pragma once
// The general data record of an object (19 texts) and its file "OData.txt".

#include <QString>
#include <QStringList>

#include "engine/engine.h"

namespace object {

using engine::kGeneralCount;

// Entry indices.
enum GeneralEntry {
    Performer = 0, BoilerType = 1, SteamOutputUnit = 2, Q5Mode = 3, LoadControl = 4, FuelType = 5,
    HeatOutputUnit = 6, ObjectName = 7, BurnerType = 8, CalorificValue = 9, FuelDensity = 10,
    Co2Max = 11, InstallationType = 12, StationNumber = 13, FactoryNumber = 14, Economiser = 15,
    NominalOutput = 16, Q5Nominal = 17, OwnNeedsLoss = 18
};

inline const QString kGeneralFile = QStringLiteral("OData.txt");

// Fixed list texts.
inline const QString kSteamBoiler = QStringLiteral("Паровой котел");
inline const QString kHotWaterBoiler = QStringLiteral("Водогрейный котел");
inline const QString kNaturalGas = QStringLiteral("Природный газ");
inline const QString kDiesel = QStringLiteral("Дизельное топливо");
inline const QString kFuelOil = QStringLiteral("Мазут");
inline const QString kPropane = QStringLiteral("Пропан-бутан");
inline const QString kWithEconomiser = QStringLiteral("с экономайзером");
inline const QString kWithoutEconomiser = QStringLiteral("без экономайзера");
inline const QString kQ5AtNominal = QStringLiteral("на ном.нагр.");
inline const QString kQ5AtAllLoads = QStringLiteral("на всех нагр.");
inline const QString kQ5EachRegime = QStringLiteral("расч. каждый.");

QStringList BoilerTypes();       // entry 1
QStringList SteamOutputUnits();  // entry 2
QStringList Q5Modes();           // entry 3
QStringList LoadControls();      // entry 4
QStringList FuelTypes();         // entry 5
QStringList HeatOutputUnits();   // entry 6
QStringList EconomiserChoices(); // entry 15

bool IsSteamBoiler(const QStringList& general);
bool IsHotWaterBoiler(const QStringList& general);
bool IsGaseousFuel(const QString& fuel);
bool IsLiquidFuel(const QString& fuel);
bool HasEconomiser(const QStringList& general);  // exactly "с экономайзером", case ignored

struct FuelDefaults {
    QString calorificValue, density, co2Max;     // entries 9, 10, 11
    QString calorificUnit, densityUnit, co2Unit;  // the unit texts beside them
};
// Defaults of one of the four fuels; false for any other text.
bool DefaultsForFuel(const QString& fuel, FuelDefaults& out);
// The unit texts beside entries 9, 10, 11 for a fuel; false (leave them) for any other text.
bool UnitTextsForFuel(const QString& fuel, QStringList& out);

// Reads 19 values; on a short file fails with `values` holding what was read.
bool ReadGeneralData(const QString& objectFolder, QStringList& values, QString* error = nullptr);
bool WriteGeneralData(const QString& objectFolder, const QStringList& values, QString* error = nullptr);

// After an object folder got a new name (rename, copy): the object entry (7) takes the new
// name when it held the old folder name, case ignored; an entry the user set to something
// else stays. True when nothing had to change or the file was rewritten.
bool FollowFolderName(const QString& objectFolder, const QString& oldName, const QString& newName,
                      QString* error = nullptr);

// Whether an entry the calculation reads changed (boiler type, steam and heat output units,
// q5 mode, fuel, calorific value, density, CO2max, economiser, nominal output, q5 at nominal,
// own needs): every stored regime then reads differently and is recalculated.
bool CalculationDataChanged(const QStringList& before, const QStringList& after);

}  // namespace object
