// Uncertainty of the results of one regime from the instruments' error limits and the spread
// of the averaged readings.

#include "engine/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/formulas.h"

namespace engine {

LimitUnit LimitUnitOf(int k) {
    switch (k) {
    case 12:
    case 13:
    case 36:
    case 37: return LimitUnit::VolumePercent;
    case 11:
    case 14:
    case 15:
    case 38:
    case 39: return LimitUnit::Ppm;
    case 1:
    case 17:
    case 18:
    case 22:
    case 23:
    case 26:
    case 40: return LimitUnit::Kelvin;
    case 2:
    case 28: return LimitUnit::Kilopascal;
    case 0:
    case 7:
    case 41: return LimitUnit::ReadingShare;
    default: return LimitUnit::NotUsed;  // 42 (q5) is the q5 component's
    }
}

InstrumentLimits DefaultInstrumentLimits() {
    InstrumentLimits l;
    for (int k : {13, 37}) l[k] = {0.2, 0.0};          // O2, %
    for (int k : {12, 36}) l[k] = {0.3, 0.0};          // CO2, %
    l[11] = {10.0, 5.0};                               // CO, ppm
    for (int k : {14, 38, 15, 39}) l[k] = {5.0, 5.0};  // NO, NO2, ppm
    for (int k : {17, 40}) l[k] = {2.0, 0.0};          // flue-gas temperature, K
    for (int k : {1, 18}) l[k] = {1.0, 0.0};           // gas and air temperatures, K
    for (int k : {22, 23, 26}) l[k] = {0.5, 0.0};      // water and feedwater temperatures, K
    l[28] = {25.0, 0.0};                               // steam pressure, kPa
    for (int k : {0, 7, 41}) l[k] = {0.0, 2.0};        // fuel and heat-carrier flows
    l[2] = {0.0, 2.0};                                 // gas pressure at the meter
    l.q5Percent = 25.0;
    l.co2Max = 0.1;
    l.atmosphere = 2.0;
    l.co2FromO2 = true;
    return l;
}

namespace {

// mg/m3 of one ppm of a gas of this molar mass, by the engine's factor
double PpmToMg(double molarMass) { return formulas::ToMgPerM3(ConcentrationUnit::Ppm, 1.0, molarMass); }

// The factor from the stated unit of input k to the field's unit, 0 for an unknown unit.
double StatedToField(const CalcInputs& inputs, const Prepared& p, int k) {
    switch (LimitUnitOf(k)) {
    case LimitUnit::Ppm: {
        const bool co = k == 11 || k == 35;
        const bool no = k == 14 || k == 38;
        const ConcentrationUnit unit = co ? p.coUnit : p.noUnit;
        const double molar = co ? 28.0 : (no && unit == ConcentrationUnit::MgPerM3AsNO ? 30.0 : 46.0);
        switch (unit) {
        case ConcentrationUnit::Ppm: return 1.0;
        case ConcentrationUnit::MgPerM3:
        case ConcentrationUnit::MgPerM3AsNO: return PpmToMg(molar);
        case ConcentrationUnit::GPerM3: return PpmToMg(molar) / 1000.0;
        case ConcentrationUnit::Other: return 0.0;
        }
        return 0.0;
    }
    case LimitUnit::Kilopascal: {
        // 1 kPa is 100 kgf/m2 by the meter pressure's own factors
        const double f = PressureToKgfM2(inputs.units[static_cast<std::size_t>(k)]);
        return f > 0.0 ? 100.0 / f : 0.0;
    }
    case LimitUnit::VolumePercent:
    case LimitUnit::Kelvin: return 1.0;
    case LimitUnit::ReadingShare:
    case LimitUnit::NotUsed: return 0.0;
    }
    return 0.0;
}

double LimitAt(double absolute, double percent, double reading) {
    const double a = std::max(std::fabs(absolute), std::fabs(percent) * std::fabs(reading) / 100.0);
    return std::isfinite(a) ? a : 0.0;
}

// The CO2 input that the analyser computes from this O2 input, -1 for none.
int Co2Of(int o2Input) { return o2Input == 13 ? 12 : (o2Input == 37 ? 36 : -1); }

// One side of a central difference: the regime moved by `move(q, +1 or −1)`; false when that
// regime fails the data check.
template <typename Move>
bool Moved(const Prepared& p, Move move, double side, Results& r) {
    Prepared q = p;
    move(q, side);
    if (!CheckRegimeData(q).empty()) return false;
    SteamState steam;
    CalculateRegimeExact(q, steam, r);
    return true;
}

// c per slot: (R(+) − R(−)) / step, with `step` the move actually taken.
template <typename Move>
std::array<double, kResultCount> Central(const Prepared& p, Move move, double step, bool* ok) {
    std::array<double, kResultCount> c{};
    Results up{}, down{};
    const bool good = step > 0.0 && Moved(p, move, 1.0, up) && Moved(p, move, -1.0, down);
    if (ok) *ok = good;
    if (!good) return c;
    for (int s = 0; s < kResultCount; ++s) {
        const double d = (static_cast<double>(up[s]) - down[s]) / step;
        c[s] = std::isfinite(d) ? d : 0.0;
    }
    return c;
}

}  // namespace

double LimitInFieldUnit(const CalcInputs& inputs, const Prepared& p, int k, const InstrumentLimit& limit,
                        double reading) {
    return LimitAt(limit.absolute * StatedToField(inputs, p, k), limit.percent, reading);
}

double LimitInFieldUnit(const CalcInputs& inputs, int k, const InstrumentLimit& limit, double reading) {
    return LimitInFieldUnit(inputs, Prepare(inputs), k, limit, reading);
}

bool Repeatability::empty() const {
    return std::none_of(count.begin(), count.end(), [](int n) { return n >= 2; });
}

std::array<double, kResultCount> Sensitivity(const Prepared& p, int k, double a, bool* ok, bool co2FromO2) {
    const double x = p.in[k];
    const int co2 = co2FromO2 ? Co2Of(k) : -1;
    const double c0 = co2 >= 0 ? static_cast<double>(p.in[co2]) : 0.0;
    auto move = [&](Prepared& q, double side) {
        const double o = x + side * a;
        q.in[k] = static_cast<float>(o);
        // CO2max·(21 − O2)/21, scaled from the CO2 the analyser gave at the measured O2
        if (co2 >= 0 && x < 21.0) q.in[co2] = static_cast<float>(c0 * (21.0 - o) / (21.0 - x));
    };
    // the step actually taken, after the inputs' single precision
    const double step = static_cast<double>(static_cast<float>(x + a)) - static_cast<double>(static_cast<float>(x - a));
    return Central(p, move, a > 0.0 ? step : 0.0, ok);
}

namespace {

// Adds a component with limit a (type B) or standard uncertainty u (type A) of input k.
void AddInputComponent(RegimeUncertainty& u, const Prepared& p, const InstrumentLimits& limits, Source source, int k,
                       double a, double standard) {
    bool ok = false;
    const double step = a > 0.0 ? a : standard;
    const auto c = Sensitivity(p, k, step, &ok, limits.co2FromO2);
    if (!ok) {
        u.leftOut[k] = true;
        return;
    }
    Component comp;
    comp.source = source;
    comp.input = k;
    comp.limit = a;
    comp.standard = standard;
    comp.sensitivity = c;
    u.components.push_back(comp);
}

// The components of the calculation's own values: q5, CO2max, the barometric pressure.
void AddCalculationComponents(RegimeUncertainty& u, const Prepared& p, const InstrumentLimits& limits) {
    const double r3 = std::sqrt(3.0);
    auto add = [&](Source source, int input, double a, auto move) {
        if (!(a > 0.0) || !std::isfinite(a)) return;
        bool ok = false;
        const auto c = Central(p, move, 2.0 * a, &ok);
        if (!ok) return;
        Component comp;
        comp.source = source;
        comp.input = input;
        comp.limit = a;
        comp.standard = a / r3;
        comp.sensitivity = c;
        u.components.push_back(comp);
    };
    // q5: a share of the value the regime uses, moved where the calculation takes it from
    if (p.q5Mode == Q5Mode::PerRegime) {
        const double a = limits.q5Percent * std::fabs(static_cast<double>(p.in[kQ5Input])) / 100.0;
        if (a > 0.0) AddInputComponent(u, p, limits, Source::Q5, kQ5Input, a, a / r3);
    } else if (p.q5Mode != Q5Mode::None) {
        const double a = limits.q5Percent * std::fabs(p.q5Nominal) / 100.0;
        add(Source::Q5, -1, a, [&](Prepared& q, double side) { q.q5Nominal = p.q5Nominal + side * a; });
    }
    add(Source::Co2Max, -1, limits.co2Max,
        [&](Prepared& q, double side) { q.co2Max = p.co2Max + side * limits.co2Max; });
    // the barometric pressure moves the meter's absolute pressure as its gauge reading does
    if (p.flowUnit == FlowUnit::Working && p.group == FuelGroup::Gaseous && p.meterPressureToKgfM2 > 0.0) {
        const double a = limits.atmosphere * 100.0 / p.meterPressureToKgfM2;
        if (a > 0.0 && std::isfinite(a)) AddInputComponent(u, p, limits, Source::Atmosphere, 2, a, a / r3);
    }
}

}  // namespace

RegimeUncertainty ResultUncertainty(const CalcInputs& inputs, const InstrumentLimits& limits,
                                    const Repeatability* repeatability) {
    const Prepared p = Prepare(inputs);
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
    const double r3 = std::sqrt(3.0);
    for (int k = 0; k < kInputCount; ++k) {
        // with CO2 computed from O2, CO2 moves with O2 and has no limit of its own
        const bool follows = limits.co2FromO2 && (k == 12 || k == 36);
        if (follows || LimitUnitOf(k) == LimitUnit::NotUsed) continue;
        const double a = LimitInFieldUnit(inputs, p, k, limits[k], p.in[k]);
        if (a > 0.0) AddInputComponent(u, p, limits, Source::Instrument, k, a, a / r3);
        if (!repeatability || repeatability->count[static_cast<std::size_t>(k)] < 2) continue;
        const double sigma = repeatability->sigma[static_cast<std::size_t>(k)];
        const double typeA = sigma / std::sqrt(static_cast<double>(repeatability->count[static_cast<std::size_t>(k)]));
        if (typeA > 0.0 && std::isfinite(typeA)) AddInputComponent(u, p, limits, Source::Repeat, k, 0.0, typeA);
    }
    AddCalculationComponents(u, p, limits);
    std::array<double, kResultCount> sum{};
    for (const Component& c : u.components)
        for (int s = 0; s < kResultCount; ++s)
            sum[s] += (c.sensitivity[s] * c.standard) * (c.sensitivity[s] * c.standard);
    for (int s = 0; s < kResultCount; ++s) u.u95[s] = u.computed[s] ? kCoverage * std::sqrt(sum[s]) : 0.0;
    return u;
}

double RegimeUncertainty::U95OfSum(std::initializer_list<int> slots) const {
    double sum = 0.0;
    for (const Component& comp : components) {
        double c = 0.0;
        for (int s : slots) c += comp.sensitivity[s];
        sum += (c * comp.standard) * (c * comp.standard);
    }
    return kCoverage * std::sqrt(sum);
}

std::vector<BudgetLine> RegimeUncertainty::Budget(int slot) const {
    std::vector<BudgetLine> lines;
    double total = 0.0;
    for (const Component& comp : components) {
        const double v = comp.sensitivity[slot] * comp.standard;
        total += v * v;
    }
    if (!(total > 0.0)) return lines;
    for (const Component& comp : components) {
        const double v = comp.sensitivity[slot] * comp.standard;
        if (v == 0.0) continue;
        lines.push_back({&comp, comp.sensitivity[slot], v * v / total});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const BudgetLine& a, const BudgetLine& b) { return a.share > b.share; });
    return lines;
}

}  // namespace engine
