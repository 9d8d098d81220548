// Uncertainty of the results: sensitivities by central differences against the formulas
// worked by hand, the expanded uncertainty, the inputs left out and the slots not computed.

#include <gtest/gtest.h>

#include <cmath>

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

    const engine::RegimeUncertainty u = engine::ResultUncertainty(in, engine::DefaultInstrumentLimits());
    ASSERT_TRUE(u.calculated);
    const double r3 = std::sqrt(3.0);
    auto term = [&](double c, double a) { return (c * a / r3) * (c * a / r3); };
    const double etaU95 = 2 * std::sqrt(term(dq2dt, 2) + term(dq2dta, 1) + term(dq2dco2 + dq3dco2, 0.3) + term(dq3dco, 10));
    EXPECT_NEAR(u.u95[4], etaU95, etaU95 * 2e-3);
    EXPECT_NEAR(u.u95[8], u.u95[4], 1e-9);  // net = gross − a constant
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
    const auto limits = engine::DefaultInstrumentLimits();
    const auto full = engine::ResultUncertainty(in, limits);
    EXPECT_FALSE(full.leftOut[13]);
    in.in[13] = 0.1f;  // O2 − 0.2 is below 0: the check refuses that regime
    const auto low = engine::ResultUncertainty(in, limits);
    ASSERT_TRUE(low.calculated);
    EXPECT_TRUE(low.leftOut[13]);
    EXPECT_EQ(low.standard[13], 0.0);
    EXPECT_LT(low.u95[9], full.u95[9]);
    EXPECT_GT(low.u95[9], 0.0);  // CO2 still counts

    // a custom table: only the flue-gas temperature, as a share of the reading
    engine::InstrumentLimits only{};
    only[17] = {0.0, 1.0};  // 1 % of 150 °C = 1.5 K
    EXPECT_DOUBLE_EQ(only[17].At(150), 1.5);
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

}  // namespace
