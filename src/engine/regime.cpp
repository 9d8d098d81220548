// The two entry points: the data check and the calculation of the 26 result slots of one
// regime.

#include <cmath>

#include "core/numparse.h"
#include "engine/engine.h"
#include "engine/formulas.h"

namespace engine {

namespace f = formulas;

namespace {

bool OxygenInRange(float o2) { return o2 >= 0.0f && o2 < 21.0f; }

// Labels of the units the calculation reads, as the units window names them.
std::string UnitMessage(const std::string& unit, const char* field) {
    return "Неизвестная единица измерения «" + unit + "» поля «" + field + "»";
}

}  // namespace

std::string UnknownUnitMessage(const Prepared& p, const std::array<std::string, kUnitCount>& u) {
    if (p.group == FuelGroup::Gaseous) {
        if (p.flowUnit == FlowUnit::Other) return UnitMessage(u[0], "Расход по счетчику");
        // the meter pressure counts only for a flow at working conditions
        if (p.flowUnit == FlowUnit::Working && p.meterPressureToKgfM2 == 0.0)
            return UnitMessage(u[2], "Давление  на счетчике");
    }
    if (p.group == FuelGroup::Liquid && !p.liquidUnitKnown) return UnitMessage(u[7], "Расход топлива");
    if (p.coUnit == ConcentrationUnit::Other) return UnitMessage(u[11], "CO");
    if (p.noUnit == ConcentrationUnit::Other) return UnitMessage(u[14], "NO");
    return {};
}

// The unit of the nominal output in the general data: an unknown text would give load 0.
std::string UnknownGeneralUnitMessage(const Prepared& p, const std::array<std::string, kGeneralCount>& g) {
    const char* entry = " общих данных";
    if (p.boiler == BoilerType::Steam && p.steamUnit == SteamUnit::Other)
        return UnitMessage(g[2], "Номинальная  тепловая мощность") + entry;
    if (p.boiler == BoilerType::HotWater && p.heatUnit == HeatUnit::Other)
        return UnitMessage(g[6], "Номинальная  тепловая мощность") + entry;
    return {};
}

std::string CheckRegimeData(const Prepared& p) {
    const auto& in = p.in;
    // Each test asks whether a product of values is 0; a product is 0 exactly when one of its
    // factors is, so the factors are tested one by one (no underflow of a product of tiny
    // but nonzero numbers can fail a test).
    std::size_t unitLength = 0;  // characters of the nominal-output unit
    switch (p.boiler) {
        case BoilerType::Steam:
            if (in[28] == 0.0f || in[26] == 0.0f) return "Нет данных по пару";
            unitLength = p.steamUnitLength;
            break;
        case BoilerType::HotWater:
            if (in[22] == 0.0f || in[23] == 0.0f || in[23] == in[22]) return "Нет данных по воде";
            unitLength = p.heatUnitLength;
            break;
        case BoilerType::Unknown:
            break;  // no nominal-output unit: the general-data test below fails
    }
    switch (p.group) {
        case FuelGroup::Liquid:
            if (p.fuelDensity == 0.0 || in[7] == 0.0f) return "Нет данных по топливу";
            break;
        case FuelGroup::Gaseous:
            if (in[0] == 0.0f) return "Нет данных по газу";
            break;
        case FuelGroup::None:
            return "Нет данных по топливу";  // no constants for this fuel: nothing to calculate with
    }
    if (in[17] == 0.0f || in[12] == 0.0f) return "Нет данных по ух.газам";
    // Air holds 21 % oxygen: a flue-gas O2 of 21 or more (or below 0) makes the excess air
    // negative or infinite and every loss after it meaningless. The O2 before the
    // economiser counts only where the calculation uses it.
    if (!OxygenInRange(in[13]) || (p.economiser && !OxygenInRange(in[37])))
        return kOxygenOutOfRange;
    if (p.co2Max == 0.0 || p.calorificValue == 0.0 || p.nominalOutput == 0.0 || unitLength == 0)
        return "Нет общих данных";
    return {};
}

std::string CheckRegimeData(const CalcInputs& inputs) {
    const Prepared p = Prepare(inputs);
    std::string check = CheckRegimeData(p);
    if (check.empty()) check = UnknownGeneralUnitMessage(p, inputs.general);
    if (check.empty()) check = UnknownUnitMessage(p, inputs.units);
    return check;
}

namespace {

// Rounds to the slot's decimals (halves to even) and stores as float; a value that is not
// finite, before or after rounding, is stored as 0.
// With `exact` the value is stored as the function gave it (not finite: 0), unrounded.
template <bool exact>
inline void Store(Results& results, int slot, float value) {
    const float rounded =
        exact ? value : f::ToFloat(core::RoundHalfEven(static_cast<double>(value), kResultDecimals[slot]));
    results[slot] = std::isfinite(rounded) ? rounded : 0.0f;
}

template <bool exact>
void Calculate(const Prepared& p, SteamState& steam, Results& results) {
    // Every function's value is computed once, in the order its users need it, and handed on;
    // the values are the ones the single functions give.
    const bool gaseous = p.group == FuelGroup::Gaseous;
    const bool liquid = p.group == FuelGroup::Liquid;
    const bool steamBoiler = p.boiler == BoilerType::Steam;
    const bool hotWater = p.boiler == BoilerType::HotWater;

    float kt = 0.0f, kp = 0.0f, gasFlow = 0.0f, liquidFlow = 0.0f, fuelFlow = 0.0f;
    if (gaseous) {
        kt = f::TemperatureFactor(p);
        kp = f::PressureFactor(p);
        gasFlow = f::GasFlowReduced(p, kt, kp);
        fuelFlow = gasFlow;
    } else if (liquid) {
        liquidFlow = f::LiquidFuelFlow(p);
        fuelFlow = liquidFlow;
    }

    const float alphaO2 = f::ExcessAirO2(p);
    const float alphaCo2 = f::ExcessAirCo2(p);
    const float q2 = f::FlueGasLoss(p, alphaCo2);
    const float q3 = f::ChemicalLoss(p, alphaCo2);
    const float q5 = f::EnvironmentLoss(p, f::NominalOutputMcal(p), fuelFlow, q2);
    const float gross = f::GrossEfficiency(q2, q3, q5);
    const float heat = f::HeatOutput(p, fuelFlow, gross);

    // The steam output also leaves this regime's enthalpy in `steam` for the direct balance.
    // It is evaluated for every boiler that is not a hot-water one, so that the direct
    // balance never reads an enthalpy left from another regime.
    float steamOutput = 0.0f;
    if (!hotWater) steamOutput = f::SteamOutput(p, heat, steam);
    const float output = f::OutputInNominalUnit(p, heat, steamOutput);

    const float co = f::CoConcentration(p, alphaO2);
    const float nox = f::NoxConcentration(p, alphaO2);
    const float volume = f::FlueGasVolume(p, fuelFlow, alphaO2);

    Store<exact>(results, 0, f::LoadPercent(p, output));
    if (steamBoiler) {
        Store<exact>(results, 1, steamOutput);
        Store<exact>(results, 2, heat);
    }
    Store<exact>(results, 3, output);
    Store<exact>(results, 4, gross);
    Store<exact>(results, 5, q2);
    Store<exact>(results, 6, q3);
    Store<exact>(results, 7, q5);
    Store<exact>(results, 8, f::NetEfficiency(p, gross));
    Store<exact>(results, 9, alphaO2);
    if (gaseous) {
        Store<exact>(results, 10, kp);
        Store<exact>(results, 11, kt);
        Store<exact>(results, 12, gasFlow);
    }
    if (liquid) Store<exact>(results, 13, liquidFlow);
    Store<exact>(results, 14, f::SpecificFuel(fuelFlow, heat));
    Store<exact>(results, 15, f::SpecificStandardFuel(gross));
    if (hotWater) Store<exact>(results, 16, f::WaterFlow(p, heat, gross));
    else if (steamBoiler) Store<exact>(results, 16, steam.reducedOutput);
    Store<exact>(results, 17, co);
    Store<exact>(results, 18, nox);
    float alphaBeforeEconomiser = 0.0f;
    if (p.economiser) {
        alphaBeforeEconomiser = f::ExcessAirBeforeEconomiser(p);
        Store<exact>(results, 19, alphaBeforeEconomiser);
    } else {
        results[19] = 0.0f;
    }
    const float coMass = f::MassFlow(f::MeasuredCo(p), volume);
    const float noxMass = f::MassFlow(f::MeasuredNox(p), volume);
    Store<exact>(results, 20, f::SpecificEmission(coMass, heat));
    Store<exact>(results, 21, f::SpecificEmission(noxMass, heat));
    Store<exact>(results, 22, hotWater ? f::DirectEfficiencyHotWater(p, fuelFlow) : f::DirectEfficiencySteam(p, fuelFlow, steam));
    Store<exact>(results, 23, coMass);
    Store<exact>(results, 24, noxMass);
    if (p.economiser) Store<exact>(results, 25, f::EconomiserGain(p, alphaBeforeEconomiser, q2));
    else results[25] = 0.0f;
}

}  // namespace

void CalculateRegime(const Prepared& p, SteamState& steam, Results& results) { Calculate<false>(p, steam, results); }
void CalculateRegimeExact(const Prepared& p, SteamState& steam, Results& results) {
    Calculate<true>(p, steam, results);
}

void CalculateRegime(const CalcInputs& inputs, SteamState& steam, Results& results) {
    CalculateRegime(Prepare(inputs), steam, results);
}

}  // namespace engine
