// Efficiency, heat and steam output, load, water flow, the direct balance, fuel per Gcal and
// the emissions.

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/formulas.h"
#include "engine_test_support.h"

using namespace engine;

namespace {

TEST(SteamEnthalpy, TableRowsWithInclusiveBoundsFirstRowWins) {
    struct Case {
        double p;
        float i;
    };
    const Case cases[] = {
        {0, 641.0f},    {0.5, 641.0f},  {1, 641.0f},    {1.5, 650.0f},  {2, 650.0f},    {2.5, 654.0f},  {3.5, 656.0f},
        {4.5, 658.0f},  {5.5, 659.0f},  {6.5, 661.0f},  {7, 661.0f},    {8, 663.0f},    {8.5, 663.0f},  {9.5, 664.0f},
        {10.5, 664.9f}, {11.5, 665.6f}, {12.5, 666.2f}, {13.5, 666.7f}, {14.5, 667.1f}, {15.5, 667.5f}, {16, 667.5f},
        {17, 668.0f},   {19, 668.0f},   {20, 669.0f},   {24, 669.0f},   {25, 669.9f},   {30, 669.9f}};
    for (const Case& k : cases) EXPECT_FLOAT_EQ(SteamEnthalpy(k.p), k.i) << k.p;
}

TEST(SteamEnthalpy, OutsideTheTableDependsOnlyOnThePressure) {
    EXPECT_FLOAT_EQ(SteamEnthalpy(7.0001), 662.0f);
    EXPECT_FLOAT_EQ(SteamEnthalpy(7.5), 662.0f);
    EXPECT_FLOAT_EQ(SteamEnthalpy(7.9999), 662.0f);
    EXPECT_FLOAT_EQ(SteamEnthalpy(-0.1), 641.0f);
    EXPECT_FLOAT_EQ(SteamEnthalpy(-50), 641.0f);
    EXPECT_FLOAT_EQ(SteamEnthalpy(30.01), 669.9f);
    EXPECT_FLOAT_EQ(SteamEnthalpy(1000), 669.9f);
}

// A steam boiler on diesel, all that the steam functions read.
CalcInputs SteamObject(float pressure, float feedwater, float passportFeedwater) {
    CalcInputs c = engine_test::SteamDieselRegime();
    c.in[28] = pressure;
    c.in[26] = feedwater;
    c.in[33] = passportFeedwater;
    return c;
}

TEST(SteamOutput, WorkedExample) {
    const Prepared p = Prepare(SteamObject(8, 100, 104));
    SteamState steam;
    const float d = formulas::SteamOutput(p, 2.0f, steam);
    EXPECT_FLOAT_EQ(steam.enthalpy, 663.0f);
    EXPECT_NEAR(d, 3.55240f, 5e-6);
    EXPECT_FLOAT_EQ(d, static_cast<float>(2000.0 / 563.0));
    EXPECT_NEAR(steam.reducedOutput, 3.57782f, 5e-6);
}

TEST(SteamOutput, FromTheHeatOutputOfTheRegime) {
    const Prepared p = Prepare(SteamObject(12.5f, 95, 100));
    SteamState steam{1.0f, 1.0f};
    const double q = HeatOutput(p);
    const float d = SteamOutput(p, steam);
    EXPECT_FLOAT_EQ(d, static_cast<float>(q * 1000 / (double{666.2f} - 95)));
    EXPECT_FLOAT_EQ(steam.enthalpy, 666.2f);
    EXPECT_FLOAT_EQ(steam.reducedOutput, static_cast<float>(q * 1000 / (double{666.2f} - 100)));
}

TEST(OutputAndLoad, HotWaterInItsNominalUnit) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.general[16] = "2000";
    Prepared p = Prepare(c);
    SteamState steam;
    const float output = formulas::OutputInNominalUnit(p, 0.86f, 0.0f);
    EXPECT_FLOAT_EQ(output, 1000.0f);
    EXPECT_FLOAT_EQ(formulas::LoadPercent(p, output), 50.0f);

    c.general[6] = "МВт";
    c.general[16] = "2";
    p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::OutputInNominalUnit(p, 0.86f, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(formulas::LoadPercent(p, 1.0f), 50.0f);

    c.general[6] = "Гкал/час";
    p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::OutputInNominalUnit(p, 0.86f, 0.0f), 0.86f);

    c.general[6] = "ккал/час";
    p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::OutputInNominalUnit(p, 0.86f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(OutputInNominalUnit(p, steam), 0.0f);
    EXPECT_FLOAT_EQ(LoadPercent(p, steam), 0.0f);
}

TEST(OutputAndLoad, HotWaterNamedFunctionsFollowTheHeatOutput) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    SteamState steam{5.0f, 6.0f};
    const double q = HeatOutput(p);
    EXPECT_FLOAT_EQ(OutputInNominalUnit(p, steam), static_cast<float>(q * 1000000 / 860));
    EXPECT_FLOAT_EQ(LoadPercent(p, steam), static_cast<float>(double{OutputInNominalUnit(p, steam)} * 100 / 1200));
    // a hot-water boiler leaves the steam state alone
    EXPECT_FLOAT_EQ(steam.enthalpy, 5.0f);
    EXPECT_FLOAT_EQ(steam.reducedOutput, 6.0f);
}

TEST(OutputAndLoad, SteamOutputInTonnesWhateverTheUnit) {
    CalcInputs c = SteamObject(8, 100, 104);
    c.general[2] = "кг/час";
    c.general[16] = "4000";
    Prepared p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::OutputInNominalUnit(p, 1.0f, 2.0f), 2.0f);
    EXPECT_FLOAT_EQ(formulas::LoadPercent(p, 2.0f), 50.0f);

    c.general[2] = "т/час";
    c.general[16] = "4";
    p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::LoadPercent(p, 2.0f), 50.0f);

    SteamState steam;
    const float d = OutputInNominalUnit(p, steam);
    EXPECT_FLOAT_EQ(d, SteamOutput(p, steam));
    EXPECT_FLOAT_EQ(LoadPercent(p, steam), static_cast<float>(double{d} * 100 / 4));
    EXPECT_FLOAT_EQ(steam.enthalpy, 663.0f);  // evaluated on the way
}

TEST(OutputAndLoad, UnknownBoilerTypeHasNoOutputOrLoad) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.general[1] = "Котел";
    const Prepared p = Prepare(c);
    SteamState steam;
    EXPECT_FLOAT_EQ(OutputInNominalUnit(p, steam), 0.0f);
    EXPECT_FLOAT_EQ(LoadPercent(p, steam), 0.0f);
}

TEST(WaterFlow, MultiplierFromTheRoundedEfficiency) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.in[22] = 70;
    c.in[23] = 95;
    const Prepared p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::WaterFlow(p, 1.0f, 91.3f), 40.0f);
    EXPECT_FLOAT_EQ(formulas::WaterFlow(p, 1.0f, 45.0f), 80.0f);
    struct Case {
        float gross;
        float flow;  // 40 t/h per unit of the multiplier
    };
    const Case cases[] = {
        {100.0f, 40.0f}, {100.5f, 40.0f},   // 100.5 rounds to 100 (even)
        {100.6f, 0.0f},  {150.0f, 0.0f},    // above 100: multiplier 0
        {51.0f, 40.0f},  {50.5f, 80.0f},    // 50.5 rounds to 50: 100 \ 50 = 2
        {51.5f, 40.0f},  {34.0f, 80.0f},    // 51.5 rounds to 52
        {33.5f, 80.0f},  {32.5f, 120.0f},   // 33.5 -> 34, 32.5 -> 32
        {1.0f, 4000.0f}, {-5.0f, -800.0f},  // remainder dropped toward zero
        {0.4f, 0.0f},    {0.0f, 0.0f},      // rounded efficiency 0: no quotient, no flow
        {-0.5f, 0.0f},
    };
    for (const Case& k : cases) EXPECT_FLOAT_EQ(formulas::WaterFlow(p, 1.0f, k.gross), k.flow) << k.gross;
}

TEST(WaterFlow, NamedFunctionUsesHeatOutputAndEfficiency) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    EXPECT_FLOAT_EQ(WaterFlow(p), static_cast<float>(double{HeatOutput(p)} * 1000 / 20));
}

TEST(DirectBalance, HotWater) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    EXPECT_FLOAT_EQ(DirectEfficiencyHotWater(p), 62.5f);  // 20 x 30 x 1000 x 100 / (120 x 8000)
}

TEST(DirectBalance, SteamUsesTheKeptEnthalpy) {
    CalcInputs c = SteamObject(8, 100, 104);
    c.units[7] = "кг/час";
    c.in[7] = 100;
    c.general[9] = "10000";
    c.in[41] = 2;
    const Prepared p = Prepare(c);
    SteamState steam{663.0f, 0.0f};
    EXPECT_FLOAT_EQ(DirectEfficiencySteam(p, steam), 112.6f);  // 563 x 2000 / 1000000 x 100
    steam.enthalpy = 650.0f;                                   // whatever the last steam output left
    EXPECT_FLOAT_EQ(DirectEfficiencySteam(p, steam), 110.0f);
    c.general[5] = "Сланец";
    EXPECT_FLOAT_EQ(DirectEfficiencySteam(Prepare(c), steam), 0.0f);
}

TEST(Efficiency, GrossAndNet) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    const double q2 = FlueGasLoss(p), q3 = ChemicalLoss(p), q5 = EnvironmentLoss(p);
    EXPECT_FLOAT_EQ(GrossEfficiency(p), static_cast<float>(100 - q2 - q3 - q5));
    EXPECT_NEAR(GrossEfficiency(p), 91.51f, 0.005f);
    EXPECT_FLOAT_EQ(NetEfficiency(p), static_cast<float>(double{GrossEfficiency(p)} - 1));
    EXPECT_FLOAT_EQ(formulas::GrossEfficiency(6.0f, 0.5f, 2.0f), 91.5f);
}

TEST(Efficiency, HeatOutputOfTheExample) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    EXPECT_NEAR(HeatOutput(p), 0.87849f, 5e-6);
    EXPECT_FLOAT_EQ(HeatOutput(p), static_cast<float>(8000.0 * 120 * double{GrossEfficiency(p)} * 0.01 / 1e6));
}

TEST(FuelPerGcal, NaturalAndStandardFuel) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    EXPECT_FLOAT_EQ(SpecificFuel(p), static_cast<float>(120.0 / double{HeatOutput(p)}));
    EXPECT_NEAR(formulas::SpecificStandardFuel(90.0f), 158.67f, 0.005f);
    EXPECT_FLOAT_EQ(formulas::SpecificStandardFuel(100.0f), 142.8f);
    EXPECT_FLOAT_EQ(SpecificStandardFuel(p), static_cast<float>(14280.0 / double{GrossEfficiency(p)}));
}

TEST(Emissions, FlueGasVolumeByFuel) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.units[7] = "кг/час";
    c.in[7] = 50;
    struct Case {
        const char* fuel;
        double v0;
        float flow;
    };
    const Case cases[] = {{"Природный газ", 9.6, 120},
                          {"Пропан-бутан", 26.5, 120},
                          {"Дизельное топливо", 12, 50},
                          {"Мазут", 12, 50},
                          {"Водород", 0, 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.fuel);
        c.general[5] = k.fuel;
        const Prepared p = Prepare(c);
        EXPECT_FLOAT_EQ(FlueGasVolume(p), static_cast<float>(double{k.flow} * k.v0 * double{ExcessAirO2(p)}));
    }
    EXPECT_NEAR(FlueGasVolume(Prepare(engine_test::HotWaterRegime())), 1357.31f, 0.005f);
}

TEST(Emissions, CoConcentrationUnits) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.in[11] = 100;
    Prepared p = Prepare(c);
    EXPECT_NEAR(formulas::CoConcentration(p, 1.4f), 125.92f, 0.005f);
    EXPECT_NEAR(formulas::CoConcentration(p, 1.2f), 107.93f, 0.005f);
    c.in[11] = 1;
    p = Prepare(c);
    EXPECT_NEAR(formulas::CoConcentration(p, 1.4f), 1.25916f, 5e-6);
    c.units[11] = "мг/м3";
    c.in[11] = 70;
    p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::CoConcentration(p, 1.4f), 70.0f);
    EXPECT_FLOAT_EQ(formulas::CoConcentration(p, 2.8f), 140.0f);
    c.units[11] = "г/м3";
    c.in[11] = 0.07f;
    EXPECT_FLOAT_EQ(formulas::CoConcentration(Prepare(c), 1.4f), 70.0f);
    c.units[11] = "%";
    EXPECT_FLOAT_EQ(formulas::CoConcentration(Prepare(c), 1.4f), 0.0f);
}

TEST(Emissions, NoxCountsNoAndNo2AsNo2) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.in[14] = 0.75f;
    c.in[15] = 0.25f;
    Prepared p = Prepare(c);
    EXPECT_NEAR(formulas::NoxConcentration(p, 1.4f), 2.06861f, 5e-6);
    c.units[14] = "мг/м3";
    c.units[15] = "ppm";  // the NO2 unit is not read: it always follows NO
    c.in[14] = 40;
    c.in[15] = 2;
    p = Prepare(c);
    EXPECT_FLOAT_EQ(formulas::NoxConcentration(p, 1.4f), 42.0f);
    c.units[14] = "г/м3";
    c.in[14] = 0.04f;
    c.in[15] = 0.002f;
    EXPECT_FLOAT_EQ(formulas::NoxConcentration(Prepare(c), 1.4f), 42.0f);
    c.units[14] = "";
    EXPECT_FLOAT_EQ(formulas::NoxConcentration(Prepare(c), 1.4f), 0.0f);
}

TEST(Emissions, NamedFunctionsUseTheO2ExcessAir) {
    const Prepared p = Prepare(engine_test::HotWaterRegime());
    const double alpha = ExcessAirO2(p);
    EXPECT_FLOAT_EQ(CoConcentration(p), static_cast<float>(50 * 28 * 766 / 17033.634 * alpha / 1.4));
    EXPECT_FLOAT_EQ(NoxConcentration(p), static_cast<float>(42 * 46 * 766 / 17033.634 * alpha / 1.4));
}

// Worked by hand for the hot-water regime: B = 120 ст.м3/h of natural gas (V0 = 9.6),
// O2 3.5 %, CO2 9.5 %: α = 87 / (87 − 3.76·3.5) = 1.178223, V = B·V0·α = 1357.313 m3/h;
// Q = 0.87849 Gcal/h. CO 50 ppm = 62.958 mg/m3 measured (52.98 at α = 1.4); NO + NO2 42 ppm
// = 86.882 mg/m3 as NO2 (73.12 at 1.4).
//   mass flow CO  = 62.958 · 1357.313 / 3600 = 23.737 mg/s  (not 52.98 · 1357.313 / 3600 = 19.98)
//   mass flow NOx = 86.882 · 1357.313 / 3600 = 32.757 mg/s
//   specific CO   = 23.737 · 3.6 / 0.87849 = 97.27 g/Gcal
//   specific NOx  = 32.757 · 3.6 / 0.87849 = 134.24 g/Gcal
// The same mass flow is the concentration at 1.4 times the volume at 1.4:
//   52.98 · (120 · 9.6 · 1.4) / 3600 = 23.737.
TEST(Emissions, MassFlowAndSpecificEmissionByHand) {
    CalcInputs c = engine_test::HotWaterRegime();
    Prepared p = Prepare(c);
    EXPECT_NEAR(ExcessAirO2(p), 1.178223, 1e-6);
    EXPECT_NEAR(FlueGasVolume(p), 1357.313, 1e-3);
    EXPECT_NEAR(HeatOutput(p), 0.87849, 5e-6);
    EXPECT_NEAR(CoMassFlow(p), 23.737, 1e-3);
    EXPECT_NEAR(NoxMassFlow(p), 32.757, 1e-3);
    EXPECT_NEAR(CoSpecific(p), 97.27, 0.01);
    EXPECT_NEAR(NoxSpecific(p), 134.24, 0.01);
    EXPECT_NEAR(CoMassFlow(p), CoConcentration(p) * (120 * 9.6 * 1.4) / 3600, 1e-3);

    // An analyser in mg/m3 that reports NO as NO: 60 mg/m3 NO and 5 mg/m3 NO2 are
    // 60 · 46/30 + 5 = 97 mg/m3 as NO2 measured, 97 · 1.178223 / 1.4 = 81.63 at α = 1.4,
    // 97 · 1357.313 / 3600 = 36.572 mg/s. The plain "мг/м3" keeps its meaning: 65 as NO2.
    c.units[14] = "мг/м3 NO";
    c.units[15] = "мг/м3";
    c.in[14] = 60;
    c.in[15] = 5;
    p = Prepare(c);
    ASSERT_EQ(CheckRegimeData(c), "");
    EXPECT_NEAR(NoxConcentration(p), 81.634, 1e-3);
    EXPECT_NEAR(NoxMassFlow(p), 36.572, 1e-3);
    c.units[14] = "мг/м3";
    EXPECT_NEAR(NoxConcentration(Prepare(c)), 65 * 1.178223 / 1.4, 1e-3);
    // CO has no such unit: the regime is refused rather than computed with CO = 0
    c.units[11] = "мг/м3 NO";
    EXPECT_EQ(CheckRegimeData(c), "Неизвестная единица измерения «мг/м3 NO» поля «CO»");

    // the formulas on given values: 100 mg/m3 in 360 m3/h is 10 mg/s; 10 mg/s at 0.5 Gcal/h
    // is 36 g/h per 0.5 Gcal/h = 72 g/Gcal
    EXPECT_FLOAT_EQ(formulas::MassFlow(100.0, 360.0f), 10.0f);
    EXPECT_FLOAT_EQ(formulas::SpecificEmission(10.0f, 0.5f), 72.0f);
}

}  // namespace
