// Uncertainty of the results of one regime from the instruments' error limits.

#include "engine/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

double InstrumentLimit::At(double reading) const {
    const double a = std::max(std::fabs(absolute), std::fabs(percent) * std::fabs(reading) / 100.0);
    return std::isfinite(a) ? a : 0.0;
}

InstrumentLimits DefaultInstrumentLimits() {
    InstrumentLimits l{};
    for (int k : {13, 37}) l[k] = {0.2, 0.0};          // O2, %
    for (int k : {12, 36}) l[k] = {0.3, 0.0};          // CO2, %
    for (int k : {11, 35}) l[k] = {10.0, 5.0};         // CO
    for (int k : {14, 38, 15, 39}) l[k] = {5.0, 5.0};  // NO, NO2
    for (int k : {17, 40}) l[k] = {2.0, 0.0};          // flue-gas temperature, K
    l[18] = {1.0, 0.0};                                // air temperature, K
    l[0] = {0.0, 2.0};                                 // gas flow
    l[7] = {0.0, 2.0};                                 // liquid fuel flow
    l[1] = {1.0, 0.0};                                 // gas temperature, K
    l[2] = {0.0, 2.0};                                 // gas pressure at the meter
    return l;
}

namespace {

// The unrounded results of the regime with input k moved by `delta`; false when that regime
// fails the data check.
bool Perturbed(Prepared& q, int k, double x, double delta, Results& r) {
    q.in[k] = static_cast<float>(x + delta);
    if (!CheckRegimeData(q).empty()) return false;
    SteamState steam;
    CalculateRegimeExact(q, steam, r);
    return true;
}

}  // namespace

std::array<double, kResultCount> Sensitivity(const Prepared& p, int k, double a, bool* ok) {
    std::array<double, kResultCount> c{};
    Prepared q = p;
    const double x = p.in[k];
    Results up{}, down{};
    const bool good = a > 0.0 && Perturbed(q, k, x, a, up) && Perturbed(q, k, x, -a, down);
    if (ok) *ok = good;
    if (!good) return c;
    // the step actually taken, after the inputs' single precision
    const double step = static_cast<double>(static_cast<float>(x + a)) - static_cast<double>(static_cast<float>(x - a));
    for (int s = 0; s < kResultCount; ++s) {
        const double d = (static_cast<double>(up[s]) - down[s]) / step;
        c[s] = std::isfinite(d) ? d : 0.0;
    }
    return c;
}

RegimeUncertainty ResultUncertainty(const Prepared& p, const InstrumentLimits& limits) {
    RegimeUncertainty u;
    if (!CheckRegimeData(p).empty()) return u;
    u.calculated = true;
    // slots the calculation does not write stay NaN: those are not computed
    Results r;
    r.fill(std::numeric_limits<float>::quiet_NaN());
    SteamState steam;
    CalculateRegimeExact(p, steam, r);
    for (int s = 0; s < kResultCount; ++s) {
        u.computed[s] = !std::isnan(r[s]) && !((s == 19 || s == 25) && !p.economiser);
        u.value[s] = std::isnan(r[s]) ? 0.0f : r[s];
    }
    std::array<double, kResultCount> sum{};
    for (int k = 0; k < kInputCount; ++k) {
        const double a = limits[k].At(p.in[k]);
        if (a <= 0.0) continue;
        bool ok = false;
        const auto c = Sensitivity(p, k, a, &ok);
        if (!ok) {
            u.leftOut[k] = true;
            continue;
        }
        const double standard = a / std::sqrt(3.0);
        u.standard[k] = standard;
        u.sensitivity[k] = c;
        for (int s = 0; s < kResultCount; ++s) sum[s] += (c[s] * standard) * (c[s] * standard);
    }
    for (int s = 0; s < kResultCount; ++s) u.u95[s] = u.computed[s] ? 2.0 * std::sqrt(sum[s]) : 0.0;
    return u;
}

double RegimeUncertainty::U95OfSum(std::initializer_list<int> slots) const {
    double sum = 0.0;
    for (int k = 0; k < kInputCount; ++k) {
        double c = 0.0;
        for (int s : slots) c += sensitivity[k][s];
        sum += (c * standard[k]) * (c * standard[k]);
    }
    return 2.0 * std::sqrt(sum);
}

RegimeUncertainty ResultUncertainty(const CalcInputs& inputs, const InstrumentLimits& limits) {
    return ResultUncertainty(Prepare(inputs), limits);
}

}  // namespace engine
