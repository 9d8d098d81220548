#pragma once
// The formulas of the calculation, each taking the float results of the functions it builds
// on as arguments. The public functions (engine.h) evaluate their dependencies and call
// these; CalculateRegime evaluates each dependency once and passes it on. Both paths
// therefore give identical values. Internal to the engine.

#include <cmath>
#include <limits>

#include "core/numparse.h"
#include "engine/engine.h"

namespace engine::formulas {

// double -> float as round-to-nearest does it, without the undefined conversion of a value
// beyond the float range: such a value becomes an infinity of its sign.
inline float ToFloat(double v) {
    // Halfway between FLT_MAX and 2^128: from here on the nearest float is infinity.
    constexpr double kOverflow = 3.4028235677973366e38;
    if (v >= kOverflow) return std::numeric_limits<float>::infinity();
    if (v <= -kOverflow) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

inline double In(const Prepared& p, int index) { return static_cast<double>(p.in[index]); }

// ---- Unit conversions ----

inline float TemperatureFactor(const Prepared& p) {
    switch (p.flowUnit) {
        case FlowUnit::Standard: return 1.0f;
        case FlowUnit::Normal: return ToFloat(1.07);
        case FlowUnit::Working: return ToFloat(293.15 / (In(p, 1) + 273.15));
        case FlowUnit::Other: break;
    }
    return 0.0f;
}

inline float PressureFactor(const Prepared& p) {
    switch (p.flowUnit) {
        case FlowUnit::Standard:
        case FlowUnit::Normal: return 1.0f;
        case FlowUnit::Working: {
            // gauge pressure in kgf/m2, 13.33 kgf/m2 per mm Hg, barometric pressure 760 mm Hg
            const double pressure = In(p, 2) * p.meterPressureToKgfM2;
            return ToFloat((pressure / 13.33 + 760.0) / 760.0);
        }
        case FlowUnit::Other: break;
    }
    return 0.0f;
}

inline float GasFlowReduced(const Prepared& p, float kt, float kp) {
    return ToFloat(In(p, 0) * (static_cast<double>(kt) * static_cast<double>(kp)));
}

inline float LiquidFuelFlow(const Prepared& p) {
    // litres per hour times the density in t/m3 (= kg/l) gives kg/h
    if (p.liquidInLitres) return ToFloat(In(p, 7) * p.fuelDensity);
    return p.in[7];
}

inline float NominalOutputMcal(const Prepared& p) {
    if (p.boiler == BoilerType::Steam) {
        if (p.steamUnit == SteamUnit::TonnesPerHour) return ToFloat(p.nominalOutput * 560.0);
        if (p.steamUnit == SteamUnit::KgPerHour) return ToFloat(p.nominalOutput * 0.56);
    } else if (p.boiler == BoilerType::HotWater) {
        if (p.heatUnit == HeatUnit::KW) return ToFloat(p.nominalOutput * 0.86);
        if (p.heatUnit == HeatUnit::MW) return ToFloat(p.nominalOutput * 860.0);
        if (p.heatUnit == HeatUnit::GcalPerHour) return ToFloat(p.nominalOutput * 1000.0);
    }
    return 0.0f;
}

// ---- Excess air and losses ----

inline double ExcessAirFromO2Co2(double o2, double co2) {
    const double n = 100.0 - o2 - co2;
    return n / (n - 3.76 * o2);
}

inline float ExcessAirO2(const Prepared& p) { return ToFloat(ExcessAirFromO2Co2(In(p, 13), In(p, 12))); }

inline float ExcessAirBeforeEconomiser(const Prepared& p) {
    // no measurement at the sampling point: no ratio
    if (p.in[36] == 0.0f || p.in[37] == 0.0f) return 0.0f;
    return ToFloat(ExcessAirFromO2Co2(In(p, 37), In(p, 36)));
}

inline float ExcessAirCo2(const Prepared& p) { return ToFloat(p.co2Max / In(p, 12)); }

inline float GasHeatCoefficient(double t) { return ToFloat(0.08 * t / 700.0 + 0.8086); }

inline float AirHeatCoefficient(double t) { return ToFloat(0.06 * t / 600.0 + 0.76143); }

// Flue-gas loss at temperature t and excess-air ratio alpha, with the combustion air at ta.
inline double FlueGasLossAt(const FuelConstants& c, double t, double ta, double alpha) {
    const double c1 = GasHeatCoefficient(t);
    const double c2 = AirHeatCoefficient(t);
    return (t - c.q2h * ta) * ((alpha - 1.0) * c.q2A * c2 + c1) * 100.0 / c.q2T;
}

inline float FlueGasLoss(const Prepared& p, float alphaCo2) {
    if (!p.constants) return 0.0f;
    return ToFloat(FlueGasLossAt(*p.constants, In(p, 17), In(p, 18), alphaCo2));
}

inline float EconomiserGain(const Prepared& p, float alphaBeforeEconomiser, float q2) {
    if (!p.constants) return 0.0f;
    // the loss the gas would carry at the economiser inlet; 0.02 is added to the measured ratio
    const double inlet =
        FlueGasLossAt(*p.constants, In(p, 40), In(p, 18), static_cast<double>(alphaBeforeEconomiser) + 0.02);
    return ToFloat(inlet - static_cast<double>(q2));
}

inline float ChemicalLoss(const Prepared& p, float alphaCo2) {
    if (!p.constants) return 0.0f;
    double k = 0.0;
    switch (p.coUnit) {
        case ConcentrationUnit::Ppm: k = 0.0001; break;
        case ConcentrationUnit::MgPerM3: k = 0.0001 / 1.25; break;
        case ConcentrationUnit::GPerM3: k = 0.1 / 1.25; break;
        case ConcentrationUnit::MgPerM3AsNO:  // a NO unit, never one of CO
        case ConcentrationUnit::Other: k = 0.0; break;
    }
    return ToFloat(In(p, 11) * 30.2 * k * static_cast<double>(alphaCo2) * 100.0 / p.constants->q3F);
}

inline float EnvironmentLoss(const Prepared& p, float nominalMcal, float fuelFlow, float q2) {
    switch (p.q5Mode) {
        case Q5Mode::AtNominalLoad: {
            if (!p.constants) return 0.0f;
            // nominal q5 scaled by nominal output over the present heat input (kcal/h)
            const double q5a = p.q5Nominal * static_cast<double>(nominalMcal) * 1000.0 /
                               (static_cast<double>(fuelFlow) * p.calorificValue);
            return ToFloat(q5a * 100.0 / (100.0 - static_cast<double>(q2) - p.q5Nominal));
        }
        case Q5Mode::SameAtAllLoads: return ToFloat(p.q5Nominal);
        case Q5Mode::PerRegime: return p.in[kQ5Input];
        case Q5Mode::None: break;
    }
    return 0.0f;
}

// ---- Efficiency, outputs, fuel consumption, emissions ----

inline float GrossEfficiency(float q2, float q3, float q5) {
    return ToFloat(100.0 - static_cast<double>(q2) - static_cast<double>(q3) - static_cast<double>(q5));
}

inline float NetEfficiency(const Prepared& p, float gross) {
    return ToFloat(static_cast<double>(gross) - p.ownNeedsLoss);
}

inline float HeatOutput(const Prepared& p, float fuelFlow, float gross) {
    if (!p.constants) return 0.0f;
    return ToFloat(p.calorificValue * static_cast<double>(fuelFlow) * static_cast<double>(gross) * 0.01 / 1000000.0);
}

inline float SteamOutput(const Prepared& p, float heatOutput, SteamState& steam) {
    const float enthalpy = SteamEnthalpy(In(p, 28));
    const double rise = static_cast<double>(enthalpy) - In(p, 26);  // heat taken up per kg
    const double d = static_cast<double>(heatOutput) * 1000.0 / rise;
    steam.enthalpy = enthalpy;
    // the output the boiler would give with feedwater at the passport temperature
    steam.reducedOutput = ToFloat(rise * d / (static_cast<double>(enthalpy) - In(p, 33)));
    return ToFloat(d);
}

inline float OutputInNominalUnit(const Prepared& p, float heatOutput, float steamOutput) {
    if (p.boiler == BoilerType::Steam) return steamOutput;
    if (p.boiler == BoilerType::HotWater)
        return ToFloat(HeatOutputInNominalUnit(p.heatUnit, static_cast<double>(heatOutput)));
    return 0.0f;
}

inline float LoadPercent(const Prepared& p, float output) {
    if (p.boiler == BoilerType::Unknown) return 0.0f;
    double load = static_cast<double>(output) * 100.0 / p.nominalOutput;
    // D is in t/h; a nominal output in kg/h needs the factor 1000
    if (p.boiler == BoilerType::Steam && p.steamUnit == SteamUnit::KgPerHour) load *= 1000.0;
    return ToFloat(load);
}

// Whole-number quotient 100 \ round(gross): 1 for a rounded efficiency of 51..100, 2 for
// 34..50, 0 above 100. Returns false when the rounded efficiency is 0 (no quotient).
inline bool WaterFlowMultiplier(float gross, double& m) {
    const double rounded = core::RoundHalfEven(static_cast<double>(gross), 0);
    if (!std::isfinite(rounded) || rounded == 0.0) return false;
    m = std::trunc(100.0 / rounded);  // exact: 100 / integer is never within rounding of an integer
    return true;
}

inline float WaterFlow(const Prepared& p, float heatOutput, float gross) {
    double m = 0.0;
    if (!WaterFlowMultiplier(gross, m)) return 0.0f;
    return ToFloat(static_cast<double>(heatOutput) * m * 1000.0 / (In(p, 23) - In(p, 22)));
}

inline float DirectEfficiencyHotWater(const Prepared& p, float fuelFlow) {
    return ToFloat((In(p, 23) - In(p, 22)) * In(p, 41) * 1000.0 * 100.0 /
                   (static_cast<double>(fuelFlow) * p.calorificValue));
}

inline float DirectEfficiencySteam(const Prepared& p, float fuelFlow, const SteamState& steam) {
    if (!p.constants) return 0.0f;
    return ToFloat((static_cast<double>(steam.enthalpy) - In(p, 26)) * (In(p, 41) * 1000.0) /
                   (static_cast<double>(fuelFlow) * p.calorificValue) * 100.0);
}

inline float SpecificFuel(float fuelFlow, float heatOutput) {
    return ToFloat(static_cast<double>(fuelFlow) / static_cast<double>(heatOutput));
}

// 14280 = 100 % x 142.8 kg of standard fuel per Gcal
inline float SpecificStandardFuel(float gross) { return ToFloat(14280.0 / static_cast<double>(gross)); }

inline float FlueGasVolume(const Prepared& p, float fuelFlow, float alphaO2) {
    if (!p.constants) return 0.0f;
    return ToFloat(static_cast<double>(fuelFlow) * p.constants->v0 * static_cast<double>(alphaO2));
}

// A concentration reading in mg/m3; molarMass turns ppm into mg/m3 (28 for CO, 46 for NO2).
inline double ToMgPerM3(ConcentrationUnit unit, double value, double molarMass) {
    switch (unit) {
        case ConcentrationUnit::Ppm: return value * molarMass * 766.0 / 17033.634;
        case ConcentrationUnit::MgPerM3:
        case ConcentrationUnit::MgPerM3AsNO: return value;
        case ConcentrationUnit::GPerM3: return value * 1000.0;
        case ConcentrationUnit::Other: break;
    }
    return 0.0;
}

// CO in the measured gas (at the actual excess air), mg/m3.
inline double MeasuredCo(const Prepared& p) { return ToMgPerM3(p.coUnit, In(p, 11), 28.0); }

// NO and NO2 together in the measured gas, counted as NO2, mg/m3. An analyser that reports
// NO in mg/m3 of NO (molar mass 30) gives a NO reading that is 46/30 times more as NO2; its
// NO2 reading is NO2 already.
inline double MeasuredNox(const Prepared& p) {
    if (p.noUnit == ConcentrationUnit::MgPerM3AsNO) return In(p, 14) * 46.0 / 30.0 + In(p, 15);
    return ToMgPerM3(p.noUnit, In(p, 14) + In(p, 15), 46.0);
}

// A measured concentration referred to an excess-air ratio of 1.4 (the gas diluted to it).
inline float ReducedTo14(double measured, float alphaO2) {
    return ToFloat(measured * static_cast<double>(alphaO2) / 1.4);
}

inline float CoConcentration(const Prepared& p, float alphaO2) { return ReducedTo14(MeasuredCo(p), alphaO2); }

inline float NoxConcentration(const Prepared& p, float alphaO2) { return ReducedTo14(MeasuredNox(p), alphaO2); }

// The mass flow: the measured concentration (mg/m3) in the flue-gas volume at the actual
// excess air (m3/h), per second. The same as the concentration at α = 1.4 times the volume
// at α = 1.4; the concentration at 1.4 times the actual volume would count the dilution
// twice.
inline float MassFlow(double measuredConcentration, float flueGasVolume) {
    return ToFloat(measuredConcentration * static_cast<double>(flueGasVolume) / 3600.0);
}

// The specific emission in g per Gcal of heat output: mg/s x 3600 s/h / 1000 mg/g = g/h,
// divided by Q in Gcal/h.
inline float SpecificEmission(float massFlow, float heatOutput) {
    return ToFloat(static_cast<double>(massFlow) * 3.6 / static_cast<double>(heatOutput));
}

}  // namespace engine::formulas
