#pragma once
// The combustion and heat-balance calculation of one regime.
//
// Plain C++: no Qt, no files, no globals. The only state that lives between calls is the
// SteamState the caller keeps and passes in.
//
// How to use it:
//   * CheckRegimeData(inputs) tells whether a regime can be calculated ("" if it can,
//     otherwise the message to show);
//   * CalculateRegime(inputs, steam, results) fills the 26 result slots.
// Both classify the texts (boiler type, fuel, units, economiser, q5 mode) and parse the
// general-data numbers once, into a Prepared value. The single calculation functions below
// take that Prepared value, so a caller (or a test) can evaluate any one of them:
//
//   engine::Prepared p = engine::Prepare(inputs);
//   float q2 = engine::FlueGasLoss(p);
//
// A caller that calculates many regimes of one object may prepare once and then only
// replace p.in with each regime's inputs: everything else in Prepared depends only on the
// unit texts and the general data.
//
// Every function computes in double and returns float; where one function needs another's
// result it uses that float value. The functions themselves do not guard against zero
// divisors; CalculateRegime stores a value that is not finite as 0.
//
// engine/formulas.h (internal) holds each formula with the results it builds on passed in;
// the engine's tests use it to check a formula from given intermediate values.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/fuel.h"

namespace engine {

constexpr int kInputCount = 43, kUnitCount = 31, kGeneralCount = 19, kResultCount = 26;
// The last regime input: q5 in %, typed per regime or taken at nominal load.
constexpr int kQ5Input = 42;

// The calculation inputs: the regime's measured values, the object's unit texts and its
// general data, exactly as stored (texts in UTF-8).
struct CalcInputs {
    std::array<float, kInputCount> in{};             // regime inputs 0..42
    std::array<std::string, kUnitCount> units;       // unit texts 0..30
    std::array<std::string, kGeneralCount> general;  // general data entries 0..18
};

// Kept by the caller between calculations. SteamOutput writes both values from the regime it
// calculates; DirectEfficiencySteam reads the enthalpy.
struct SteamState {
    float enthalpy = 0.0f;       // kcal/kg
    float reducedOutput = 0.0f;  // t/h, steam output at the passport feedwater temperature
};

using Results = std::array<float, kResultCount>;

// ---- Classified texts -----------------------------------------------------------------

enum class BoilerType { Steam, HotWater, Unknown };       // general data entry 1
enum class FlowUnit { Standard, Normal, Working, Other };  // unit text 0 (gas meter)
// Unit texts 11 and 14. MgPerM3AsNO ("мг/м3 NO", unit 14 only): NO in mg/m3 of NO, NO2 in
// mg/m3 of NO2, as analysers set to mg/m3 report them.
enum class ConcentrationUnit { Ppm, MgPerM3, GPerM3, MgPerM3AsNO, Other };
enum class SteamUnit { TonnesPerHour, KgPerHour, Other };      // general data entry 2
enum class HeatUnit { KW, MW, GcalPerHour, Other };            // general data entry 6
enum class Q5Mode { AtNominalLoad, SameAtAllLoads, PerRegime, None };  // general data entry 3

struct Prepared {
    std::array<float, kInputCount> in{};  // regime inputs 0..42

    BoilerType boiler = BoilerType::Unknown;
    Fuel fuel = Fuel::Unknown;
    FuelGroup group = FuelGroup::None;
    const FuelConstants* constants = nullptr;  // nullptr for a fuel none of the four

    FlowUnit flowUnit = FlowUnit::Other;
    double meterPressureToKgfM2 = 0.0;  // factor of unit text 2; 0 for an unknown unit
    bool liquidInLitres = false;        // unit text 7 is "л/час"
    bool liquidUnitKnown = false;       // unit text 7 is "л/час" or "кг/час"
    ConcentrationUnit coUnit = ConcentrationUnit::Other;
    ConcentrationUnit noUnit = ConcentrationUnit::Other;
    SteamUnit steamUnit = SteamUnit::Other;
    HeatUnit heatUnit = HeatUnit::Other;
    bool economiser = false;  // entry 15 is "с экономайзером"
    Q5Mode q5Mode = Q5Mode::None;

    // General-data numbers, read by the lenient parse.
    double calorificValue = 0.0;  // entry 9, kcal per ст.м3 or per kg
    double fuelDensity = 0.0;     // entry 10, t/m3 for liquid fuels
    double co2Max = 0.0;          // entry 11, %
    double nominalOutput = 0.0;   // entry 16
    double q5Nominal = 0.0;       // entry 17, %
    double ownNeedsLoss = 0.0;    // entry 18, %

    // Character counts of the nominal-output unit entries 2 and 6 (the data check needs them).
    std::size_t steamUnitLength = 0;
    std::size_t heatUnitLength = 0;
};

Prepared Prepare(const CalcInputs& inputs);

// ---- Entry points ---------------------------------------------------------------------

// Message of a flue-gas O2 outside 0 <= O2 < 21 % (after the boiler unit, and before the
// economiser when there is one); tested after the flue-gas data and before the general data.
inline constexpr const char* kOxygenOutOfRange = "Недопустимое значение О2 (0 ≤ О2 < 21 %)";

// Message of a unit text the calculation does not know, for an input it uses: the unit and
// the field are named ("Неизвестная единица измерения «литров/мин» поля «Расход по
// счетчику»"). Such a unit would turn the input into 0 and the results into plausible
// nonsense, so the regime is not calculated. "" when every unit used is known.
std::string UnknownUnitMessage(const Prepared& p, const std::array<std::string, kUnitCount>& units);
// The same for the nominal output's unit in the general data (entry 2 or 6 by boiler type).
std::string UnknownGeneralUnitMessage(const Prepared& p, const std::array<std::string, kGeneralCount>& general);

// "" when the regime can be calculated, otherwise the message ("Нет данных по пару", ...).
std::string CheckRegimeData(const CalcInputs& inputs);
std::string CheckRegimeData(const Prepared& p);

// Fills the results: each slot receives its function's value rounded to the slot's decimals
// (halves to even) as float, written only when the slot's condition holds; slots 19 and 25
// are set to 0 without economiser; other slots are left untouched. A value that is not
// finite is stored as 0. Assumes the data check passed.
void CalculateRegime(const CalcInputs& inputs, SteamState& steam, Results& results);
void CalculateRegime(const Prepared& p, SteamState& steam, Results& results);
// The same slots with the functions' values unrounded (for derivatives and fits, which
// rounding to the stored decimals would make steps).
void CalculateRegimeExact(const Prepared& p, SteamState& steam, Results& results);

// Decimals of each result slot.
inline constexpr std::array<int, kResultCount> kResultDecimals{
    0, 2, 2, 2, 2, 2, 5, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 2, 1, 1, 1, 1, 1, 1};

// ---- Unit conversions and fuel flow ---------------------------------------------------

float TemperatureFactor(const Prepared& p);  // K_T of the gas meter
float PressureFactor(const Prepared& p);     // K_P of the gas meter
float GasFlowReduced(const Prepared& p);     // ст.м3/h
float LiquidFuelFlow(const Prepared& p);     // kg/h
float FuelFlow(const Prepared& p);           // gas or liquid flow by fuel group; 0 for no group
float NominalOutputMcal(const Prepared& p);  // nominal output, thousands of kcal/h
// The factor that brings a pressure in this unit text to kgf/m2, as the meter pressure is
// brought (1 mbar taken as 10 kgf/m2, "bar" as "кгс/см2"); 0 for a text none of them.
double PressureToKgfM2(std::string_view unitText);
// A heat output in Gcal/h expressed in the hot-water unit (kW, MW or Gcal/h); 0 otherwise.
double HeatOutputInNominalUnit(HeatUnit unit, double gcalPerHour);

// ---- Excess air and losses ------------------------------------------------------------

float ExcessAirO2(const Prepared& p);                // after the boiler unit
float ExcessAirBeforeEconomiser(const Prepared& p);  // at the sampling point, 0 without data
float ExcessAirCo2(const Prepared& p);               // CO2max / CO2
float GasHeatCoefficient(double t);                  // c1 at flue-gas temperature t, °C
float AirHeatCoefficient(double t);                  // c2 at flue-gas temperature t, °C
float FlueGasLoss(const Prepared& p);                // q2, %
float EconomiserGain(const Prepared& p);             // flue-gas loss taken back, %
float ChemicalLoss(const Prepared& p);               // q3, %
float EnvironmentLoss(const Prepared& p);            // q5, %

// ---- Efficiency, outputs, fuel consumption, emissions ---------------------------------

float GrossEfficiency(const Prepared& p);  // %
float NetEfficiency(const Prepared& p);    // %
float HeatOutput(const Prepared& p);       // Gcal/h

// Enthalpy of saturated steam, kcal/kg, at a gauge pressure as entered (no unit conversion).
// Between 7 and 8 it is 662.0, below 0 it is 641.0, above 30 it is 669.9.
float SteamEnthalpy(double gaugePressure);

// Steam output D, t/h; writes this regime's enthalpy and reduced steam output into `steam`.
float SteamOutput(const Prepared& p, SteamState& steam);
// D for a steam boiler (so it writes `steam` too), Q in the unit of entry 6 for a hot-water one.
float OutputInNominalUnit(const Prepared& p, SteamState& steam);
float LoadPercent(const Prepared& p, SteamState& steam);  // % of the nominal output
float WaterFlow(const Prepared& p);                       // t/h, hot-water boiler
float DirectEfficiencyHotWater(const Prepared& p);        // %
// % ; uses the enthalpy that SteamOutput left in `steam`.
float DirectEfficiencySteam(const Prepared& p, const SteamState& steam);
float SpecificFuel(const Prepared& p);          // fuel per Gcal
float SpecificStandardFuel(const Prepared& p);  // kg of standard fuel per Gcal
float FlueGasVolume(const Prepared& p);         // m3/h
float CoConcentration(const Prepared& p);       // mg/m3 at excess-air ratio 1.4
float NoxConcentration(const Prepared& p);      // mg/m3 as NO2 at excess-air ratio 1.4
float CoSpecific(const Prepared& p);            // g/Gcal: mass flow per heat output
float NoxSpecific(const Prepared& p);           // g/Gcal, as NO2
float CoMassFlow(const Prepared& p);            // mg/s: measured concentration x actual volume
float NoxMassFlow(const Prepared& p);           // mg/s, as NO2

}  // namespace engine
