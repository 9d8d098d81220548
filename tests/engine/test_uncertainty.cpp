// Uncertainty of the results: sensitivities by central differences against the formulas
// worked by hand, the expanded uncertainty, the inputs left out and the slots not computed.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "engine/uncertainty.h"
#include "sample_regimes.h"

namespace {

using engine::kResultCount;

TEST(Uncertainty, SensitivitiesAndU95OfTheHotWaterRegimeMatchTheHandWorkedFormulas) {
    const engine::CalcInputs in = engine_test::HotWaterRegime();
    const engine::Prepared p = engine::Prepare(in);
    // natural gas: A 0.81, h 0.85, divisor 2010; CO2max 11.8, CO2 9.5, t 150, ta 20, CO 50 ppm
    const double A = 0.81, h = 0.85, T = 2010, co2max = 11.8, co2 = 9.5, t = 150, ta = 20, co = 50;
    const double alpha = co2max / co2;
    const double c1 = 0.08 * t / 700 + 0.8086, c2 = 0.06 * t / 600 + 0.76143;
    const double bracket = (alpha - 1) * A * c2 + c1;
    const double dq2dt = (bracket + (t - h * ta) * ((alpha - 1) * A * 0.06 / 600 + 0.08 / 700)) * 100 / T;
    const double dq2dta = -h * bracket * 100 / T;
    const double dAlphadCo2 = -co2max / (co2 * co2);
    const double dq2dco2 = (t - h * ta) * A * c2 * 100 / T * dAlphadCo2;
    const double dq3dco = alpha * 30.2e-4 * 100 / 1000;
    const double dq3dco2 = co * 30.2e-4 * 100 / 1000 * dAlphadCo2;

    const auto st = engine::Sensitivity(p, 17, 2.0);
    EXPECT_NEAR(st[5], dq2dt, 1e-5);
    EXPECT_NEAR(st[4], -dq2dt, 1e-5);  // efficiency falls as q2 rises
    const auto sta = engine::Sensitivity(p, 18, 1.0);
    EXPECT_NEAR(sta[5], dq2dta, 1e-5);
    const auto sco = engine::Sensitivity(p, 11, 10.0);
    EXPECT_NEAR(sco[6], dq3dco, 1e-7);
    EXPECT_NEAR(sco[5], 0.0, 1e-9);
    const auto sco2 = engine::Sensitivity(p, 12, 0.3);
    EXPECT_NEAR(sco2[5], dq2dco2, std::fabs(dq2dco2) * 2e-3);  // 1/CO2 is curved: the step shows
    EXPECT_NEAR(sco2[6], dq3dco2, std::fabs(dq3dco2) * 2e-3);
    // O2 moves the excess air but no loss
    const auto so2 = engine::Sensitivity(p, 13, 0.2);
    EXPECT_NE(so2[9], 0.0);
    EXPECT_EQ(so2[4], 0.0);

    // CO2 measured on its own, the calculation's own values without limits
    engine::InstrumentLimits limits = engine::DefaultInstrumentLimits();
    limits.co2FromO2 = false;
    limits.q5Percent = limits.co2Max = 0;
    const engine::RegimeUncertainty u = engine::ResultUncertainty(in, limits);
    ASSERT_TRUE(u.calculated);
    const double r3 = std::sqrt(3.0);
    auto term = [&](double c, double a) { return (c * a / r3) * (c * a / r3); };
    const double etaU95 =
        2 * std::sqrt(term(dq2dt, 2) + term(dq2dta, 1) + term(dq2dco2 + dq3dco2, 0.3) + term(dq3dco, 10));
    EXPECT_NEAR(u.u95[4], etaU95, etaU95 * 2e-3);
    EXPECT_NEAR(u.u95[8], u.u95[4], 1e-9);            // net = gross − a constant
    EXPECT_NEAR(u.U95OfSum({5, 6}), u.u95[4], 1e-5);  // q5 fixed: the sum carries it all
    EXPECT_GT(u.u95[5], 0.0);
    // slots a hot-water gas regime without economiser does not write
    for (int s : {1, 2, 13, 19, 25}) EXPECT_FALSE(u.computed[s]) << s;
    for (int s : {0, 4, 5, 6, 9, 17, 18, 22}) EXPECT_TRUE(u.computed[s]) << s;
    // the gas flow (2 %) moves the outputs and the direct balance, not the indirect one
    EXPECT_GT(u.u95[0], 0.0);
    EXPECT_GT(u.u95[22], 0.0);
}

TEST(Uncertainty, AnInputWhosePerturbedRegimeFailsTheCheckIsLeftOutAndAFailedRegimeHasNone) {
    engine::CalcInputs in = engine_test::HotWaterRegime();
    auto limits = engine::DefaultInstrumentLimits();
    limits.co2FromO2 = false;
    const auto full = engine::ResultUncertainty(in, limits);
    EXPECT_FALSE(full.leftOut[13]);
    in.in[13] = 0.1f;  // O2 − 0.2 is below 0: the check refuses that regime
    const auto low = engine::ResultUncertainty(in, limits);
    ASSERT_TRUE(low.calculated);
    EXPECT_TRUE(low.leftOut[13]);
    for (const auto& c : low.components) EXPECT_NE(c.input, 13);
    EXPECT_LT(low.u95[9], full.u95[9]);
    EXPECT_GT(low.u95[9], 0.0);  // the excess air by CO2 still counts CO2max

    // a custom table: only the flue-gas temperature, as a share of the reading
    engine::InstrumentLimits only{};
    only[17] = {0.0, 1.0};  // 1 % of 150 °C = 1.5 K
    EXPECT_DOUBLE_EQ(engine::LimitInFieldUnit(engine_test::HotWaterRegime(), 17, only[17], 150), 1.5);
    const auto t = engine::ResultUncertainty(engine_test::HotWaterRegime(), only);
    const auto st = engine::Sensitivity(engine::Prepare(engine_test::HotWaterRegime()), 17, 1.5);
    EXPECT_NEAR(t.u95[5], 2 * std::fabs(st[5]) * 1.5 / std::sqrt(3.0), 1e-9);
    EXPECT_EQ(t.u95[17], 0.0);

    in = engine_test::HotWaterRegime();
    in.in[12] = 0;  // no CO2: not calculated at all
    const auto none = engine::ResultUncertainty(in, limits);
    EXPECT_FALSE(none.calculated);
    for (int s = 0; s < kResultCount; ++s) EXPECT_FALSE(none.computed[s]);
}

TEST(Uncertainty, TheExactCalculationIsTheStoredOneBeforeRounding) {
    const engine::Prepared p = engine::Prepare(engine_test::SteamDieselRegime());
    engine::Results rounded{}, exact{};
    engine::SteamState s1, s2;
    engine::CalculateRegime(p, s1, rounded);
    engine::CalculateRegimeExact(p, s2, exact);
    for (int s = 0; s < kResultCount; ++s)
        EXPECT_NEAR(exact[s], rounded[s], 0.5 * std::pow(10.0, -engine::kResultDecimals[s]) + 1e-4) << s;
    EXPECT_NE(exact[5], rounded[5]);  // not already rounded
    const auto u = engine::ResultUncertainty(engine_test::SteamDieselRegime(), engine::DefaultInstrumentLimits());
    EXPECT_TRUE(u.computed[19] && u.computed[25] && u.computed[1] && u.computed[13]);
    EXPECT_FALSE(u.computed[12]);
}

// The same physical limits in an object that keeps CO and NO in ppm, in mg/m3 and in g/m3: the
// readings and the limits in ppm are converted by the engine's factors, so the uncertainty of
// every result is the same.
TEST(Uncertainty, LimitsAreStatedInTheirOwnUnitsWhateverUnitTheObjectKeeps) {
    const engine::CalcInputs ppm = engine_test::HotWaterRegime();
    const auto limits = engine::DefaultInstrumentLimits();
    const double coMg = 28 * 766 / 17033.634, noMg = 46 * 766 / 17033.634;  // mg/m3 per ppm
    engine::CalcInputs mg = ppm, g = ppm, asNo = ppm;
    for (engine::CalcInputs* c : {&mg, &g, &asNo}) {
        const double scale = c == &g ? 1e-3 : 1.0;
        c->units[11] = c->units[14] = c->units[15] = c == &g ? "г/м3" : "мг/м3";
        c->in[11] = static_cast<float>(50 * coMg * scale);
        c->in[14] = static_cast<float>(40 * noMg * scale);
        c->in[15] = static_cast<float>(2 * noMg * scale);
    }
    // NO read as NO (molar mass 30): 40 ppm are 40·30/46 of the NO2 figure
    asNo.units[14] = asNo.units[15] = "мг/м3 NO";
    asNo.in[14] = static_cast<float>(40 * 30 * 766 / 17033.634);
    // ±10 ppm of CO is ±12.59 mg/m3 and ±0.01259 g/m3; 5 % of a reading stays 5 %
    EXPECT_NEAR(engine::LimitInFieldUnit(mg, 11, limits[11], mg.in[11]), 10 * coMg, 1e-9);
    EXPECT_NEAR(engine::LimitInFieldUnit(g, 11, limits[11], g.in[11]), 10 * coMg / 1000, 1e-12);
    EXPECT_NEAR(engine::LimitInFieldUnit(mg, 14, {0, 5}, 200), 10.0, 1e-12);
    const auto a = engine::ResultUncertainty(ppm, limits);
    for (const engine::CalcInputs* other : {&mg, &g, &asNo}) {
        const auto b = engine::ResultUncertainty(*other, limits);
        for (int s : {4, 5, 6, 9, 17, 18, 20, 21})
            EXPECT_NEAR(b.u95[s], a.u95[s], 2e-4 * std::max(1.0, a.u95[s])) << other->units[11] << " slot " << s;
    }
    // a unit the engine does not know gives no limit rather than a limit in the wrong unit
    engine::CalcInputs odd = ppm;
    odd.units[11] = "mg";
    EXPECT_EQ(engine::LimitInFieldUnit(odd, 11, limits[11], 0), 0.0);
    // kPa to the field's pressure unit by the meter pressure's own factors
    engine::CalcInputs steam = engine_test::SteamDieselRegime();
    steam.units[28] = "кгс/см2";
    EXPECT_NEAR(engine::LimitInFieldUnit(steam, 28, {25, 0}, 8.5), 0.25, 1e-12);
    steam.units[28] = "bar";
    EXPECT_NEAR(engine::LimitInFieldUnit(steam, 28, {25, 0}, 8.5), 0.25, 1e-12);
}

// 95 % half-width of a sample: half the distance between its 2.5 % and 97.5 % quantiles.
double HalfWidth95(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) { return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))]; };
    return (at(0.975) - at(0.025)) / 2;
}

// A Monte-Carlo run of 20 000 draws against the linear budget. Each instrument's error is
// drawn uniformly within its limit, CO2 is recomputed from the drawn O2 as the analyser does,
// q5 and CO2max are drawn within theirs; the regime is calculated by the engine each time.
// The linear standard uncertainty of gross efficiency, q2 and excess air is within 5 % of the
// sample's standard deviation. The linear U95 (k = 2) is never below the Monte-Carlo 95 %
// half-width and at most 25 % above it: where one rectangular component dominates (excess
// air is O2 alone) the 95 % half-width is 1.65·u, so k = 2 overstates it by 2/1.65 = 1.22,
// and the sample scatters by a few per mille.
TEST(Uncertainty, TheLinearBudgetAgreesWithAMonteCarloRunWithCo2FollowingO2) {
    for (const engine::CalcInputs& in : {engine_test::HotWaterRegime(), engine_test::SteamDieselRegime()}) {
        const auto limits = engine::DefaultInstrumentLimits();
        const auto lin = engine::ResultUncertainty(in, limits);
        ASSERT_TRUE(lin.calculated);
        const engine::Prepared p = engine::Prepare(in);
        std::mt19937_64 rng(20261209);
        auto draw = [&](double a) { return std::uniform_real_distribution<double>(-a, a)(rng); };
        std::vector<double> eta, q2, alpha;
        for (int i = 0; i < 20000; ++i) {
            engine::Prepared q = p;
            for (int k : {0, 1, 7, 11, 14, 15, 17, 18, 22, 23, 26, 40, 41}) {
                const double a = engine::LimitInFieldUnit(in, k, limits[k], p.in[k]);
                q.in[k] = static_cast<float>(p.in[k] + draw(a));
            }
            for (int o2 : {13, 37}) {
                const int co2 = o2 == 13 ? 12 : 36;
                const double drawn = p.in[o2] + draw(0.2);
                if (p.in[co2] != 0) q.in[co2] = static_cast<float>(p.in[co2] * (21 - drawn) / (21 - p.in[o2]));
                q.in[o2] = static_cast<float>(drawn);
            }
            q.q5Nominal = p.q5Nominal * (1 + draw(0.25));
            q.co2Max = p.co2Max + draw(0.1);
            ASSERT_EQ(engine::CheckRegimeData(q), "");
            engine::Results r{};
            engine::SteamState st;
            engine::CalculateRegimeExact(q, st, r);
            eta.push_back(r[4]);
            q2.push_back(r[5]);
            alpha.push_back(r[9]);
        }
        const int slots[] = {4, 5, 9};
        const std::vector<double>* samples[] = {&eta, &q2, &alpha};
        for (int i = 0; i < 3; ++i) {
            const std::vector<double>& v = *samples[i];
            double mean = 0, var = 0;
            for (double x : v) mean += x / static_cast<double>(v.size());
            for (double x : v) var += (x - mean) * (x - mean) / static_cast<double>(v.size() - 1);
            const double mc = HalfWidth95(v), u95 = lin.u95[slots[i]];
            EXPECT_GE(u95, mc) << in.general[5] << " slot " << slots[i];
            EXPECT_LE(u95, 1.25 * mc) << in.general[5] << " slot " << slots[i];
            EXPECT_NEAR(u95 / 2, std::sqrt(var), 0.05 * std::sqrt(var)) << in.general[5] << " slot " << slots[i];
        }
    }
}

// The direct balance of a hot-water boiler: (t out − t in)·G over B·Qн. With ±0.5 K on each
// water temperature over a rise of 20 K and ±2 % on both flows, its relative U95 is
// 2·√(2·(0.5/√3/20)² + 2·(0.02/√3)²) = 5.23 %. The budget names the components of the
// gross efficiency, largest first, their shares adding up to one.
TEST(Uncertainty, TheDirectBalanceCountsTheWaterAndTheBudgetSaysWhatDominates) {
    const engine::CalcInputs in = engine_test::HotWaterRegime();
    const auto u = engine::ResultUncertainty(in, engine::DefaultInstrumentLimits());
    const double eta = 20.0 * 30 * 1e5 / (120.0 * 8000);
    ASSERT_NEAR(u.value[22], eta, 1e-3);
    const double r3 = std::sqrt(3.0);
    const double rel = 2 * std::sqrt(2 * std::pow(0.5 / r3 / 20, 2) + 2 * std::pow(0.02 / r3, 2));
    EXPECT_NEAR(u.u95[22], rel * eta, 1e-3 * eta);

    const auto budget = u.Budget(4);
    ASSERT_GE(budget.size(), 4u);
    double total = 0;
    for (std::size_t i = 0; i < budget.size(); ++i) {
        total += budget[i].share;
        if (i > 0) EXPECT_GE(budget[i - 1].share, budget[i].share);
    }
    EXPECT_NEAR(total, 1.0, 1e-12);
    // q5 at 2 % ± 25 % is ±0.5 points of efficiency: the largest share here
    EXPECT_EQ(budget[0].component->source, engine::Source::Q5);
    EXPECT_NEAR(budget[0].c, -1.0, 1e-9);
    // with CO2 from O2 there is no CO2 component, and O2 moves q2 through it
    bool o2 = false;
    for (const auto& line : budget) {
        EXPECT_NE(line.component->input, 12);
        o2 = o2 || line.component->input == 13;
    }
    EXPECT_TRUE(o2);
    // the standard flow unit has no barometric term; working cubic metres have one
    engine::CalcInputs working = in;
    working.units[0] = "м3/час";
    working.in[2] = 20;  // mbar
    const auto w = engine::ResultUncertainty(working, engine::DefaultInstrumentLimits());
    const auto atm = std::find_if(w.components.begin(), w.components.end(),
                                  [](const engine::Component& c) { return c.source == engine::Source::Atmosphere; });
    ASSERT_NE(atm, w.components.end());
    EXPECT_NEAR(atm->limit, 2 * 100 / 10.0, 1e-9);  // 2 kPa = 200 kgf/m2 = 20 mbar
    EXPECT_GT(w.u95[22] / w.value[22], u.u95[22] / u.value[22]);

    // the spread of averaged readings adds σ/√n: 0.3 % O2 over 9 readings is u = 0.1
    engine::Repeatability spread;
    spread.sigma[13] = 0.3;
    spread.count[13] = 9;
    const auto a = engine::ResultUncertainty(in, engine::DefaultInstrumentLimits(), &spread);
    const auto rep = std::find_if(a.components.begin(), a.components.end(),
                                  [](const engine::Component& c) { return c.source == engine::Source::Repeat; });
    ASSERT_NE(rep, a.components.end());
    EXPECT_NEAR(rep->standard, 0.1, 1e-12);
    const double added = rep->sensitivity[4] * 0.1;
    EXPECT_NEAR(a.u95[4], 2 * std::sqrt(std::pow(u.u95[4] / 2, 2) + added * added), 1e-6);
}

}  // namespace
