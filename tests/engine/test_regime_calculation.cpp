// The 26 result slots of whole regimes: the worked hot-water regime, the conditions under
// which each slot is written, rounding, and what is stored for values that are not finite.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "core/numparse.h"
#include "engine/engine.h"
#include "engine_test_support.h"

using namespace engine;
using engine_test::HotWaterRegime;
using engine_test::kSentinel;
using engine_test::SentinelResults;
using engine_test::SteamDieselRegime;

namespace {

Results Calculate(const CalcInputs& c, SteamState& steam, Results results = SentinelResults()) {
    CalculateRegime(c, steam, results);
    return results;
}

Results Calculate(const CalcInputs& c) {
    SteamState steam;
    return Calculate(c, steam);
}

float Stored(float value, int decimals) {
    return static_cast<float>(core::RoundHalfEven(static_cast<double>(value), decimals));
}

void ExpectAllFinite(const Results& r) {
    for (int i = 0; i < kResultCount; ++i) EXPECT_TRUE(std::isfinite(r[i])) << "slot " << i;
}

// ---- The worked regime ----------------------------------------------------------------

TEST(WorkedHotWaterRegime, StoredSlots) {
    const Results r = Calculate(HotWaterRegime());
    EXPECT_FLOAT_EQ(r[0], 85.0f);
    EXPECT_FLOAT_EQ(r[3], 1021.51f);
    EXPECT_FLOAT_EQ(r[4], 91.51f);
    EXPECT_FLOAT_EQ(r[5], 6.47f);
    EXPECT_FLOAT_EQ(r[6], 0.01876f);
    EXPECT_FLOAT_EQ(r[7], 2.0f);
    EXPECT_FLOAT_EQ(r[8], 90.51f);
    EXPECT_FLOAT_EQ(r[9], 1.18f);
    EXPECT_FLOAT_EQ(r[10], 1.0f);
    EXPECT_FLOAT_EQ(r[11], 1.0f);
    EXPECT_FLOAT_EQ(r[12], 120.0f);
    EXPECT_FLOAT_EQ(r[14], 136.6f);
    EXPECT_FLOAT_EQ(r[15], 156.05f);
    EXPECT_FLOAT_EQ(r[16], 43.92f);
    EXPECT_FLOAT_EQ(r[17], 53.0f);
    EXPECT_FLOAT_EQ(r[18], 73.1f);
    EXPECT_FLOAT_EQ(r[19], 0.0f);
    // mass flow over Q in g/Gcal (see Emissions.MassFlowAndSpecificEmissionByHand)
    EXPECT_FLOAT_EQ(r[20], 97.3f);
    EXPECT_FLOAT_EQ(r[21], 134.2f);
    EXPECT_FLOAT_EQ(r[22], 62.5f);
    EXPECT_FLOAT_EQ(r[23], 23.7f);
    EXPECT_FLOAT_EQ(r[24], 32.8f);
    EXPECT_FLOAT_EQ(r[25], 0.0f);
}

TEST(WorkedHotWaterRegime, SteamAndLiquidSlotsAreNotWritten) {
    const Results r = Calculate(HotWaterRegime());
    EXPECT_EQ(r[1], kSentinel);
    EXPECT_EQ(r[2], kSentinel);
    EXPECT_EQ(r[13], kSentinel);
}

TEST(WorkedHotWaterRegime, IntermediateValues) {
    const Prepared p = Prepare(HotWaterRegime());
    EXPECT_NEAR(HeatOutput(p), 0.87849f, 5e-6);
    EXPECT_NEAR(FlueGasVolume(p), 1357.31f, 0.005f);
}

TEST(WorkedHotWaterRegime, StoredValuesAreExactlyTheRoundedDecimals) {
    // The stored float is the float nearest to the rounded decimal, bit for bit.
    const Results r = Calculate(HotWaterRegime());
    EXPECT_EQ(r[3], 1021.51f);
    EXPECT_EQ(r[6], 0.01876f);
    EXPECT_EQ(r[15], 156.05f);
    EXPECT_EQ(r[24], 32.8f);
}

// ---- Every slot is its function's value, rounded ----------------------------------------

// Compares each slot with the single named function, rounded to the slot's decimals.
void ExpectSlotsMatchTheFunctions(const CalcInputs& c) {
    const Prepared p = Prepare(c);
    SteamState steam;
    const Results r = Calculate(c, steam);
    SteamState s2;
    const bool steamBoiler = p.boiler == BoilerType::Steam;
    const bool hotWater = p.boiler == BoilerType::HotWater;
    const float load = LoadPercent(p, s2);
    EXPECT_EQ(r[0], Stored(load, 0));
    if (steamBoiler) {
        EXPECT_EQ(r[1], Stored(SteamOutput(p, s2), 2));
        EXPECT_EQ(r[2], Stored(HeatOutput(p), 2));
    }
    EXPECT_EQ(r[3], Stored(OutputInNominalUnit(p, s2), 2));
    EXPECT_EQ(r[4], Stored(GrossEfficiency(p), 2));
    EXPECT_EQ(r[5], Stored(FlueGasLoss(p), 2));
    EXPECT_EQ(r[6], Stored(ChemicalLoss(p), 5));
    EXPECT_EQ(r[7], Stored(EnvironmentLoss(p), 3));
    EXPECT_EQ(r[8], Stored(NetEfficiency(p), 2));
    EXPECT_EQ(r[9], Stored(ExcessAirO2(p), 2));
    if (p.group == FuelGroup::Gaseous) {
        EXPECT_EQ(r[10], Stored(PressureFactor(p), 2));
        EXPECT_EQ(r[11], Stored(TemperatureFactor(p), 2));
        EXPECT_EQ(r[12], Stored(GasFlowReduced(p), 2));
    }
    if (p.group == FuelGroup::Liquid) {
        EXPECT_EQ(r[13], Stored(LiquidFuelFlow(p), 2));
    }
    EXPECT_EQ(r[14], Stored(SpecificFuel(p), 2));
    EXPECT_EQ(r[15], Stored(SpecificStandardFuel(p), 2));
    if (hotWater) {
        EXPECT_EQ(r[16], Stored(WaterFlow(p), 2));
    }
    if (steamBoiler) {
        SteamOutput(p, s2);
        EXPECT_EQ(r[16], Stored(s2.reducedOutput, 2));
    }
    EXPECT_EQ(r[17], Stored(CoConcentration(p), 1));
    EXPECT_EQ(r[18], Stored(NoxConcentration(p), 1));
    EXPECT_EQ(r[19], p.economiser ? Stored(ExcessAirBeforeEconomiser(p), 2) : 0.0f);
    EXPECT_EQ(r[20], Stored(CoSpecific(p), 1));
    EXPECT_EQ(r[21], Stored(NoxSpecific(p), 1));
    EXPECT_EQ(r[22], Stored(hotWater ? DirectEfficiencyHotWater(p) : DirectEfficiencySteam(p, s2), 1));
    EXPECT_EQ(r[23], Stored(CoMassFlow(p), 1));
    EXPECT_EQ(r[24], Stored(NoxMassFlow(p), 1));
    EXPECT_EQ(r[25], p.economiser ? Stored(EconomiserGain(p), 1) : 0.0f);
    // the state left behind is that of this regime
    if (steamBoiler) {
        EXPECT_EQ(steam.enthalpy, s2.enthalpy);
        EXPECT_EQ(steam.reducedOutput, s2.reducedOutput);
    }
}

TEST(SlotsMatchFunctions, HotWaterNaturalGas) { ExpectSlotsMatchTheFunctions(HotWaterRegime()); }

TEST(SlotsMatchFunctions, SteamDieselWithEconomiser) { ExpectSlotsMatchTheFunctions(SteamDieselRegime()); }

TEST(SlotsMatchFunctions, EveryFuelBoilerAndQ5Mode) {
    for (const char* fuel : {"Природный газ", "Пропан-бутан", "Дизельное топливо", "Мазут"}) {
        for (const char* boiler : {"Водогрейный котел", "Паровой котел"}) {
            for (const char* mode : {"на ном.нагр.", "на всех нагр.", "расч. каждый."}) {
                for (const char* eco : {"с экономайзером", "без экономайзера"}) {
                    SCOPED_TRACE(std::string(fuel) + " / " + boiler + " / " + mode + " / " + eco);
                    CalcInputs c = SteamDieselRegime();
                    const CalcInputs w = HotWaterRegime();
                    c.general[1] = boiler;
                    c.general[3] = mode;
                    c.general[5] = fuel;
                    c.general[6] = "МВт";
                    c.general[15] = eco;
                    c.units[0] = "м3/час";
                    c.units[2] = "кПа";
                    c.in[0] = 300;
                    c.in[1] = 12;
                    c.in[2] = 3.5f;
                    c.in[22] = w.in[22];
                    c.in[23] = w.in[23];
                    c.in[42] = 1.7f;
                    ASSERT_EQ(CheckRegimeData(c), "");
                    ExpectSlotsMatchTheFunctions(c);
                }
            }
        }
    }
}

// ---- Conditions of the slots --------------------------------------------------------------

TEST(SlotConditions, GaseousFuelsWriteGasSlotsOnly) {
    for (const char* fuel : {"Природный газ", "Пропан-бутан", "ПРОПАН-БУТАН"}) {
        CalcInputs c = HotWaterRegime();
        c.general[5] = fuel;
        c.in[7] = 55;
        const Results r = Calculate(c);
        EXPECT_NE(r[10], kSentinel) << fuel;
        EXPECT_NE(r[11], kSentinel) << fuel;
        EXPECT_FLOAT_EQ(r[12], 120.0f) << fuel;
        EXPECT_EQ(r[13], kSentinel) << fuel;
    }
}

TEST(SlotConditions, LiquidFuelsWriteTheLiquidFlowOnly) {
    for (const char* fuel : {"Дизельное топливо", "Мазут", "мазут"}) {
        CalcInputs c = SteamDieselRegime();
        c.general[5] = fuel;
        c.in[0] = 99;
        const Results r = Calculate(c);
        EXPECT_EQ(r[10], kSentinel) << fuel;
        EXPECT_EQ(r[11], kSentinel) << fuel;
        EXPECT_EQ(r[12], kSentinel) << fuel;
        EXPECT_FLOAT_EQ(r[13], 218.4f) << fuel;  // 260 l/h x 0.84
    }
}

TEST(SlotConditions, SteamBoilerWritesSteamSlots) {
    const CalcInputs c = SteamDieselRegime();
    const Prepared p = Prepare(c);
    SteamState steam;
    const Results r = Calculate(c, steam);
    SteamState s;
    const float d = SteamOutput(p, s);
    EXPECT_FLOAT_EQ(r[1], Stored(d, 2));
    EXPECT_FLOAT_EQ(r[2], Stored(HeatOutput(p), 2));
    EXPECT_FLOAT_EQ(r[3], Stored(d, 2));  // output in t/h
    EXPECT_FLOAT_EQ(r[16], Stored(s.reducedOutput, 2));
    EXPECT_FLOAT_EQ(r[22], Stored(DirectEfficiencySteam(p, s), 1));
    EXPECT_FLOAT_EQ(steam.enthalpy, 663.0f);  // 8.5 lies in the row 8..9
}

TEST(SlotConditions, HotWaterBoilerWritesWaterFlowAndItsDirectBalance) {
    const Results r = Calculate(HotWaterRegime());
    EXPECT_FLOAT_EQ(r[16], 43.92f);
    EXPECT_FLOAT_EQ(r[22], 62.5f);
}

TEST(SlotConditions, EconomiserSlots) {
    CalcInputs c = SteamDieselRegime();
    Results r = Calculate(c);
    const Prepared p = Prepare(c);
    EXPECT_FLOAT_EQ(r[19], Stored(ExcessAirBeforeEconomiser(p), 2));
    EXPECT_GT(r[19], 1.0f);
    EXPECT_FLOAT_EQ(r[25], Stored(EconomiserGain(p), 1));
    EXPECT_GT(r[25], 0.0f);

    c.general[15] = "С ЭКОНОМАЙЗЕРОМ";
    const Results capitals = Calculate(c);
    EXPECT_EQ(capitals[19], r[19]);
    EXPECT_EQ(capitals[25], r[25]);

    c.general[15] = "без экономайзера";
    r = Calculate(c);
    EXPECT_EQ(r[19], 0.0f);
    EXPECT_EQ(r[25], 0.0f);
    c.general[15] = "";
    r = Calculate(c);
    EXPECT_EQ(r[19], 0.0f);
    EXPECT_EQ(r[25], 0.0f);
}

TEST(SlotConditions, EconomiserWithoutInletReadingsStoresRatioZero) {
    CalcInputs c = SteamDieselRegime();
    c.in[37] = 0;
    const Results r = Calculate(c);
    EXPECT_EQ(r[19], 0.0f);
    EXPECT_EQ(r[25], Stored(EconomiserGain(Prepare(c)), 1));
}

TEST(SlotConditions, WholeArrayIsWrittenExceptTheSkippedSlots) {
    struct Case {
        CalcInputs inputs;
        std::vector<int> untouched;
    };
    CalcInputs gasSteam = SteamDieselRegime();
    gasSteam.general[5] = "Природный газ";
    gasSteam.general[9] = "8000";
    gasSteam.units[0] = "ст.м3/час";
    gasSteam.in[0] = 300;
    CalcInputs oilWater = HotWaterRegime();
    oilWater.general[5] = "Мазут";
    oilWater.general[10] = "0.95";
    oilWater.units[7] = "кг/час";
    oilWater.in[7] = 90;
    const Case cases[] = {{HotWaterRegime(), {1, 2, 13}},
                          {SteamDieselRegime(), {10, 11, 12}},
                          {gasSteam, {13}},
                          {oilWater, {1, 2, 10, 11, 12}}};
    for (const Case& k : cases) {
        const Results r = Calculate(k.inputs);
        for (int i = 0; i < kResultCount; ++i) {
            const bool skipped = std::find(k.untouched.begin(), k.untouched.end(), i) != k.untouched.end();
            if (skipped) {
                EXPECT_EQ(r[i], kSentinel) << "slot " << i;
            } else {
                EXPECT_NE(r[i], kSentinel) << "slot " << i;
            }
        }
    }
}

TEST(SlotConditions, PreviousValuesOfSkippedSlotsStay) {
    Results before = SentinelResults();
    before[1] = 3.25f;
    before[2] = 1.5f;
    before[13] = 77.0f;
    SteamState steam;
    const Results r = Calculate(HotWaterRegime(), steam, before);
    EXPECT_EQ(r[1], 3.25f);
    EXPECT_EQ(r[2], 1.5f);
    EXPECT_EQ(r[13], 77.0f);
}

TEST(SlotConditions, UnknownBoilerTypeWritesNoBoilerSlots) {
    // The check refuses such a regime; calculating it anyway stays harmless.
    CalcInputs c = HotWaterRegime();
    c.general[1] = "Котел";
    const Results r = Calculate(c);
    EXPECT_EQ(r[0], 0.0f);
    EXPECT_EQ(r[1], kSentinel);
    EXPECT_EQ(r[2], kSentinel);
    EXPECT_EQ(r[3], 0.0f);
    EXPECT_EQ(r[16], kSentinel);
    EXPECT_FLOAT_EQ(r[4], 91.51f);
    ExpectAllFinite(r);
}

TEST(SlotConditions, UnknownFuelWritesNoFuelSlots) {
    CalcInputs c = HotWaterRegime();
    c.general[5] = "Торф";
    const Results r = Calculate(c);
    for (int i : {10, 11, 12, 13}) EXPECT_EQ(r[i], kSentinel) << i;
    EXPECT_EQ(r[5], 0.0f);  // no constants: no q2, q3
    EXPECT_EQ(r[6], 0.0f);
    EXPECT_EQ(r[7], 2.0f);  // q5 the same at all loads needs no constants
    EXPECT_EQ(r[4], 98.0f);
    EXPECT_EQ(r[0], 0.0f);  // no heat output
    ExpectAllFinite(r);
}

// ---- Rounding -------------------------------------------------------------------------------

// A hot-water regime whose efficiency is exactly 100 - input 42: no flue-gas loss (flue gas at
// 0.85 x air temperature), no CO, q5 from the regime; heat input 10^6 kcal/h, nominal 1 Gcal/h.
CalcInputs ExactRegime(float q5) {
    CalcInputs c = HotWaterRegime();
    c.general[3] = "расч. каждый.";
    c.general[6] = "Гкал/час";
    c.general[9] = "10000";
    c.general[16] = "1";
    c.in[0] = 100;
    c.in[11] = 0;
    c.in[17] = 17;
    c.in[18] = 20;
    c.in[42] = q5;
    return c;
}

TEST(Rounding, HalvesGoToTheEvenDigit) {
    Results r = Calculate(ExactRegime(37.5f));  // efficiency 62.5, Q = 0.625, load 62.5 %
    EXPECT_EQ(r[5], 0.0f);
    EXPECT_EQ(r[6], 0.0f);
    EXPECT_EQ(r[4], 62.5f);
    EXPECT_EQ(r[3], 0.62f);  // 0.625 -> 0.62
    EXPECT_EQ(r[0], 62.0f);  // 62.5 -> 62
    EXPECT_EQ(r[14], 160.0f);
    EXPECT_EQ(r[15], 228.48f);

    r = Calculate(ExactRegime(62.5f));  // efficiency 37.5, Q = 0.375, load 37.5 %
    EXPECT_EQ(r[3], 0.38f);             // 0.375 -> 0.38
    EXPECT_EQ(r[0], 38.0f);             // 37.5 -> 38

    r = Calculate(ExactRegime(0.375f));
    EXPECT_EQ(r[7], 0.375f);  // three decimals kept
    EXPECT_EQ(r[4], 99.62f);  // 99.625 -> 99.62
    EXPECT_EQ(r[8], 98.62f);  // 98.625 -> 98.62 (own needs 1 %)

    r = Calculate(ExactRegime(0.125f));
    EXPECT_EQ(r[4], 99.88f);  // 99.875 -> 99.88
}

TEST(Rounding, DecimalsPerSlot) {
    Results r = Calculate(ExactRegime(1.2345f));
    EXPECT_EQ(r[7], 1.235f);  // 3 decimals (float 1.2345 is a little above the half)
    EXPECT_EQ(r[4], 98.77f);  // 2 decimals
    // the direct balance is (20 x in41 / 10) %, one decimal: 31.125 -> 62.25 -> 62.2
    CalcInputs c = ExactRegime(1.0f);
    c.in[41] = 31.125f;
    EXPECT_EQ(Calculate(c)[22], 62.2f);
    c.in[41] = 31.375f;
    EXPECT_EQ(Calculate(c)[22], 62.8f);  // 62.75 -> 62.8
    // q3 keeps five decimals: 0.0187558 -> 0.01876 where two would give 0.02
    EXPECT_EQ(Calculate(HotWaterRegime())[6], 0.01876f);
    // the load has none: 85.125 -> 85
    EXPECT_EQ(Calculate(HotWaterRegime())[0], 85.0f);
    EXPECT_EQ(kResultDecimals[0], 0);
    EXPECT_EQ(kResultDecimals[6], 5);
    EXPECT_EQ(kResultDecimals[7], 3);
}

// ---- Values that are not finite --------------------------------------------------------------

TEST(NotFinite, ZeroDivisorOfTheExcessAirIsStoredAsZero) {
    CalcInputs c = HotWaterRegime();
    c.in[13] = 12.5f;  // N = 100 - 12.5 - 40.5 = 47 = 3.76 x 12.5
    c.in[12] = 40.5f;
    ASSERT_EQ(CheckRegimeData(c), "");
    ASSERT_FALSE(std::isfinite(ExcessAirO2(Prepare(c))));
    const Results r = Calculate(c);
    EXPECT_EQ(r[9], 0.0f);
    EXPECT_EQ(r[17], 0.0f);
    EXPECT_EQ(r[18], 0.0f);
    EXPECT_EQ(r[23], 0.0f);
    EXPECT_NE(r[4], 0.0f);  // the losses do not use this ratio
    ExpectAllFinite(r);
}

TEST(NotFinite, ZeroFlowAfterUnitConversion) {
    CalcInputs c = HotWaterRegime();
    c.units[0] = "м3/ч";  // not a known unit: flow 0, which the check refuses
    c.general[3] = "на ном.нагр.";
    ASSERT_EQ(CheckRegimeData(c), "Неизвестная единица измерения «м3/ч» поля «Расход по счетчику»");
    const Results r = Calculate(c);
    ExpectAllFinite(r);
    EXPECT_EQ(r[12], 0.0f);
    EXPECT_EQ(r[7], 0.0f);  // q5 = x / 0
    EXPECT_EQ(r[4], 0.0f);  // 100 - q2 - q3 - infinity
    EXPECT_EQ(r[15], 0.0f);
    EXPECT_EQ(r[22], 0.0f);  // direct balance over B x Qr = 0
}

TEST(NotFinite, ZeroHeatOutput) {
    CalcInputs c = ExactRegime(100.0f);  // efficiency 0, heat output 0
    const Results r = Calculate(c);
    ExpectAllFinite(r);
    EXPECT_EQ(r[4], 0.0f);
    EXPECT_EQ(r[14], 0.0f);  // B / 0
    EXPECT_EQ(r[15], 0.0f);  // 14280 / 0
    EXPECT_EQ(r[16], 0.0f);  // rounded efficiency 0: no whole-number quotient
    EXPECT_EQ(r[20], 0.0f);  // CO / 0 -> 0 / 0 with no CO
    EXPECT_EQ(r[21], 0.0f);
}

TEST(NotFinite, WaterFlowWithRoundedEfficiencyZero) {
    const Results r = Calculate(ExactRegime(99.6f));  // efficiency 0.4, rounds to 0
    EXPECT_EQ(r[16], 0.0f);
    EXPECT_NE(r[14], 0.0f);
}

TEST(NotFinite, SteamWithEnthalpyEqualToFeedwater) {
    CalcInputs c = SteamDieselRegime();
    c.in[28] = 0.5f;  // 641
    c.in[26] = 641;
    c.in[33] = 641;
    ASSERT_EQ(CheckRegimeData(c), "");
    const Results r = Calculate(c);
    ExpectAllFinite(r);
    EXPECT_EQ(r[1], 0.0f);
    EXPECT_EQ(r[3], 0.0f);
    EXPECT_EQ(r[0], 0.0f);
    EXPECT_EQ(r[16], 0.0f);
}

TEST(NotFinite, OverflowingValues) {
    CalcInputs c = HotWaterRegime();
    c.units[11] = c.units[14] = "г/м3";  // x 1000: far beyond any float
    c.in[11] = 3e38f;
    c.in[14] = 3e38f;
    const Results r = Calculate(c);
    ExpectAllFinite(r);
    EXPECT_EQ(r[17], 0.0f);
    EXPECT_EQ(r[18], 0.0f);
}

// ---- The steam state ---------------------------------------------------------------------

CalcInputs SteamAt(float pressure) {
    CalcInputs c = SteamDieselRegime();
    c.in[28] = pressure;
    return c;
}

TEST(SteamState, ResultsDoNotDependOnTheOrderOfRegimes) {
    const float pressures[] = {7.5f, 3.0f, -2.0f, 35.0f, 10.5f};
    std::vector<Results> fresh;
    for (float p : pressures) fresh.push_back(Calculate(SteamAt(p)));
    // forwards, backwards and after a hot-water regime, with one shared state
    SteamState shared{600.0f, 9.0f};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Calculate(SteamAt(pressures[i]), shared), fresh[i]) << i;
    for (int i = 4; i >= 0; --i) {
        Calculate(HotWaterRegime(), shared);
        EXPECT_EQ(Calculate(SteamAt(pressures[i]), shared), fresh[i]) << i;
    }
}

TEST(SteamState, GapAndOutOfRangePressuresUseTheirOwnEnthalpy) {
    struct Case {
        float pressure;
        float enthalpy;
    };
    for (const Case& k : {Case{7.5f, 662.0f}, Case{-1.0f, 641.0f}, Case{31.0f, 669.9f}}) {
        SteamState steam{655.0f, 0.0f};  // something left from an earlier regime
        Calculate(SteamAt(k.pressure), steam);
        EXPECT_EQ(steam.enthalpy, k.enthalpy) << k.pressure;
    }
}

TEST(SteamState, DirectBalanceUsesTheEnthalpyOfTheSameRegime) {
    const CalcInputs c = SteamAt(7.5f);
    const Prepared p = Prepare(c);
    SteamState own{662.0f, 0.0f};
    SteamState steam{700.0f, 0.0f};
    const Results r = Calculate(c, steam);
    EXPECT_EQ(r[22], Stored(DirectEfficiencySteam(p, own), 1));
    EXPECT_NE(r[22], Stored(DirectEfficiencySteam(p, SteamState{700.0f, 0.0f}), 1));
}

TEST(SteamState, HotWaterRegimeLeavesItAlone) {
    SteamState steam{663.0f, 3.5f};
    Calculate(HotWaterRegime(), steam);
    EXPECT_EQ(steam.enthalpy, 663.0f);
    EXPECT_EQ(steam.reducedOutput, 3.5f);
}

TEST(SteamState, UnknownBoilerTypeDoesNotReadAnEarlierEnthalpy) {
    CalcInputs c = SteamAt(3.0f);
    c.general[1] = "Котел";
    SteamState a{600.0f, 0.0f}, b{670.0f, 0.0f};
    const Results ra = Calculate(c, a);
    const Results rb = Calculate(c, b);
    EXPECT_EQ(ra, rb);
    EXPECT_EQ(a.enthalpy, 654.0f);  // 3 is the upper bound of the row 2..3
}

TEST(EntryPoints, PreparedAndRawInputsGiveTheSameResults) {
    for (const CalcInputs& c : {HotWaterRegime(), SteamDieselRegime()}) {
        SteamState s1, s2;
        Results a = SentinelResults(), b = SentinelResults();
        CalculateRegime(c, s1, a);
        CalculateRegime(Prepare(c), s2, b);
        EXPECT_EQ(a, b);
        EXPECT_EQ(CheckRegimeData(c), CheckRegimeData(Prepare(c)));
    }
}

TEST(EntryPoints, PreparedObjectReusedWithOtherRegimeInputs) {
    Prepared p = Prepare(HotWaterRegime());
    CalcInputs other = HotWaterRegime();
    other.in[0] = 80;
    other.in[13] = 4.2f;
    p.in = other.in;
    SteamState s1, s2;
    Results a = SentinelResults(), b = SentinelResults();
    CalculateRegime(p, s1, a);
    CalculateRegime(other, s2, b);
    EXPECT_EQ(a, b);
    EXPECT_NE(a[12], 120.0f);
}

}  // namespace
