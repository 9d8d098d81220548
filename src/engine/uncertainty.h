#pragma once
// How sure the results of a regime are, given the error limits of the instruments.
//
// Each input with a limit a is taken as a rectangular distribution, standard uncertainty
// u = a/√3. The sensitivity c of a result to the input is the central difference with
// step a, computed with the engine itself (unrounded results):
//     c = (R(x + a) − R(x − a)) / (2a).
// The expanded uncertainty (coverage about 95 %) is U95 = 2·√Σ(c·u)² over the inputs with a
// limit. An input whose perturbed regime (either side) fails the data check is left out.

#include <array>
#include <initializer_list>

#include "engine/engine.h"

namespace engine {

// The error limit of one instrument: the larger of an absolute limit (in the input's own
// unit) and a share of the reading (in %).
struct InstrumentLimit {
    double absolute = 0.0;
    double percent = 0.0;
    double At(double reading) const;  // the limit a at this reading, never negative
};
using InstrumentLimits = std::array<InstrumentLimit, kInputCount>;

// The limits of the usual instruments of a regime test: O2 ±0.2, CO2 ±0.3, CO ±10 or 5 %,
// NO and NO2 ±5 or 5 %, flue-gas temperature ±2 K, air ±1 K, fuel flow ±2 %, gas
// temperature ±1 K, gas pressure at the meter ±2 %; every other input 0.
InstrumentLimits DefaultInstrumentLimits();

struct RegimeUncertainty {
    bool calculated = false;  // the regime itself passed the data check
    Results value{};          // unrounded results of the regime
    // U95 per slot, in the slot's unit; `computed` is false for a slot the regime does not
    // write (its condition does not hold, or no economiser for 19 and 25).
    std::array<double, kResultCount> u95{};
    std::array<bool, kResultCount> computed{};
    // Inputs that were left out because a perturbed regime failed the data check.
    std::array<bool, kInputCount> leftOut{};
    // Per input: its standard uncertainty u (0 when it has no limit or was left out) and the
    // sensitivities of every slot to it.
    std::array<double, kInputCount> standard{};
    std::array<std::array<double, kResultCount>, kInputCount> sensitivity{};

    // U95 of the sum of several slots (q2 + q3), their shared inputs counted together.
    double U95OfSum(std::initializer_list<int> slots) const;
};

// Sensitivity of every result slot to input k with step a (a > 0); `ok` false when either
// perturbed regime fails the data check.
std::array<double, kResultCount> Sensitivity(const Prepared& p, int k, double a, bool* ok = nullptr);

RegimeUncertainty ResultUncertainty(const Prepared& p, const InstrumentLimits& limits);
RegimeUncertainty ResultUncertainty(const CalcInputs& inputs, const InstrumentLimits& limits);

}  // namespace engine
