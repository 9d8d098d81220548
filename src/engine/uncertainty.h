#pragma once
// How sure the results of a regime are, given the error limits of the instruments and the
// spread of the averaged readings.
//
// Each instrument limit a is a rectangular distribution, standard uncertainty u = a/√3
// (type B). The limit is stated in a unit of its own (O2 and CO2 in % by volume, CO, NO and
// NO2 in ppm, temperatures in K, pressures in kPa, flows as a share of the reading) and is
// brought to the field's unit by the object's unit texts, with the engine's own factors.
// A value averaged over n readings with standard deviation σ adds σ/√n (type A, normal).
// Besides the regime's inputs, three values of the calculation carry a limit: the q5 used
// (a share of it: it is an estimate), CO2max of the fuel and the barometric pressure that
// the gas meter's reduction takes as 760 mm Hg. When the analyser computes CO2 from the
// measured O2 (CO2 = CO2max·(21 − O2)/21), CO2 follows each move of O2 and has no limit of
// its own.
//
// The sensitivity c of a result to a component is the central difference with step a (the
// limit; for a type A component without a limit, its own u), computed by the engine itself
// on unrounded results: c = (R(x + a) − R(x − a)) / (2a). The expanded uncertainty is
// U95 = k·√Σ(c·u)² with the coverage factor k = 2 (about 95 %). A component whose moved
// regime (either side) fails the data check is left out.

#include <array>
#include <initializer_list>
#include <vector>

#include "engine/engine.h"

namespace engine {

// The unit an input's absolute limit is stated in.
enum class LimitUnit {
    NotUsed,        // the calculation does not read the input
    VolumePercent,  // % by volume (O2, CO2)
    Ppm,            // CO, NO, NO2
    Kelvin,         // temperatures
    Kilopascal,     // pressures
    ReadingShare,   // flows: only a share of the reading
};
LimitUnit LimitUnitOf(int input);

// The error limit of one instrument: the larger of an absolute limit (in the input's stated
// unit) and a share of the reading (in %).
struct InstrumentLimit {
    double absolute = 0.0;
    double percent = 0.0;
};

struct InstrumentLimits {
    std::array<InstrumentLimit, kInputCount> inputs{};
    double q5Percent = 0.0;   // % of the q5 the regime uses
    double co2Max = 0.0;      // % by volume
    double atmosphere = 0.0;  // kPa
    bool co2FromO2 = false;   // the analyser computes CO2 from O2

    InstrumentLimit& operator[](int k) { return inputs[static_cast<std::size_t>(k)]; }
    const InstrumentLimit& operator[](int k) const { return inputs[static_cast<std::size_t>(k)]; }
};

// The limits of the usual instruments of a regime test: O2 ±0.2 %, CO2 ±0.3 %, CO ±10 ppm or
// 5 %, NO and NO2 ±5 ppm or 5 %, flue-gas temperature ±2 K, air ±1 K, gas temperature ±1 K,
// water and feedwater temperatures ±0.5 K, steam pressure ±25 kPa, fuel and heat-carrier
// flows ±2 % of the reading, gas pressure at the meter ±2 % of the reading; q5 ±25 %, CO2max
// ±0.1 %, barometric pressure ±2 kPa; CO2 computed from O2.
InstrumentLimits DefaultInstrumentLimits();

// The limit a of input k at this reading in the field's own unit: the stated absolute limit
// converted by the object's unit texts, or the share of the reading when that is larger.
// 0 when the input has no limit or its unit is not known.
double LimitInFieldUnit(const CalcInputs& inputs, int k, const InstrumentLimit& limit, double reading);
// The same for a regime already prepared from `inputs` (no second classification of its texts).
double LimitInFieldUnit(const CalcInputs& inputs, const Prepared& p, int k, const InstrumentLimit& limit,
                        double reading);

// The spread of averaged readings: per input its standard deviation and the number of
// readings averaged (fewer than two: no type A component).
struct Repeatability {
    std::array<double, kInputCount> sigma{};
    std::array<int, kInputCount> count{};
    bool empty() const;
};

// What a component of the uncertainty stands for.
enum class Source { Instrument, Repeat, Q5, Co2Max, Atmosphere };

struct Component {
    Source source = Source::Instrument;
    int input = -1;         // the regime input (Instrument, Repeat; Atmosphere: 2)
    double limit = 0.0;     // a in the field's unit (0 for Repeat)
    double standard = 0.0;  // u
    std::array<double, kResultCount> sensitivity{};
};

// One line of a result's uncertainty budget.
struct BudgetLine {
    const Component* component = nullptr;
    double c = 0.0;      // the sensitivity of the result
    double share = 0.0;  // (c·u)² over the variance, 0..1
};

inline constexpr double kCoverage = 2.0;

struct RegimeUncertainty {
    bool calculated = false;  // the regime itself passed the data check
    Results value{};          // unrounded results of the regime
    // U95 per slot, in the slot's unit; `computed` is false for a slot the regime does not
    // write (its condition does not hold, or no economiser for 19 and 25).
    std::array<double, kResultCount> u95{};
    std::array<bool, kResultCount> computed{};
    // Inputs that were left out because a moved regime failed the data check.
    std::array<bool, kInputCount> leftOut{};
    std::vector<Component> components;

    // U95 of the sum of several slots (q2 + q3), their shared components counted together.
    double U95OfSum(std::initializer_list<int> slots) const;
    // The components of slot s, largest share first; those without any share left out.
    std::vector<BudgetLine> Budget(int slot) const;
};

// Sensitivity of every result slot to input k with step a (a > 0); `ok` false when either
// moved regime fails the data check. With `co2FromO2`, a move of O2 (13, 37) moves its CO2
// (12, 36) along the analyser's relation.
std::array<double, kResultCount> Sensitivity(const Prepared& p, int k, double a, bool* ok = nullptr,
                                             bool co2FromO2 = false);

RegimeUncertainty ResultUncertainty(const CalcInputs& inputs, const InstrumentLimits& limits,
                                    const Repeatability* repeatability = nullptr);

}  // namespace engine
