// Excess air, the temperature coefficients and the losses q2, q3, q5 and the economiser gain.

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/formulas.h"
#include "engine_test_support.h"

using namespace engine;

namespace {

CalcInputs FlueGas(const char* fuel, float co2, float o2, float t, float ta, const char* co2Max) {
    CalcInputs c;
    c.general[5] = fuel;
    c.general[11] = co2Max;
    c.in[12] = co2;
    c.in[13] = o2;
    c.in[17] = t;
    c.in[18] = ta;
    return c;
}

TEST(ExcessAir, FromOxygenAndCarbonDioxide) {
    CalcInputs c = FlueGas("Природный газ", 10, 3, 150, 20, "11.8");
    EXPECT_NEAR(ExcessAirO2(Prepare(c)), 1.14897f, 5e-6);
    EXPECT_FLOAT_EQ(ExcessAirO2(Prepare(c)), static_cast<float>(87.0 / 75.72));
    c.in[13] = 0;
    EXPECT_FLOAT_EQ(ExcessAirO2(Prepare(c)), 1.0f);
}

TEST(ExcessAir, FromCo2Max) {
    CalcInputs c = FlueGas("Природный газ", 9.5f, 3, 150, 20, "11.8");
    EXPECT_NEAR(ExcessAirCo2(Prepare(c)), 1.24211f, 5e-6);
    c.general[11] = "12";
    c.in[12] = 10;
    EXPECT_FLOAT_EQ(ExcessAirCo2(Prepare(c)), 1.2f);
}

TEST(ExcessAir, BeforeEconomiserNeedsBothReadings) {
    CalcInputs c;
    c.in[36] = 10;
    c.in[37] = 3;
    EXPECT_FLOAT_EQ(ExcessAirBeforeEconomiser(Prepare(c)), static_cast<float>(87.0 / 75.72));
    c.in[36] = 0;
    EXPECT_FLOAT_EQ(ExcessAirBeforeEconomiser(Prepare(c)), 0.0f);
    c.in[36] = 10;
    c.in[37] = 0;
    EXPECT_FLOAT_EQ(ExcessAirBeforeEconomiser(Prepare(c)), 0.0f);
    // the readings after the boiler unit play no part
    c.in[37] = 3;
    c.in[12] = 5;
    c.in[13] = 12;
    EXPECT_FLOAT_EQ(ExcessAirBeforeEconomiser(Prepare(c)), static_cast<float>(87.0 / 75.72));
}

TEST(TemperatureCoefficients, AtTheExampleTemperature) {
    EXPECT_NEAR(GasHeatCoefficient(150), 0.82574f, 5e-6);
    EXPECT_NEAR(AirHeatCoefficient(150), 0.77643f, 5e-7);
    EXPECT_FLOAT_EQ(GasHeatCoefficient(0), 0.8086f);
    EXPECT_FLOAT_EQ(AirHeatCoefficient(0), 0.76143f);
    EXPECT_FLOAT_EQ(GasHeatCoefficient(700), 0.8886f);
    EXPECT_FLOAT_EQ(AirHeatCoefficient(600), 0.82143f);
}

TEST(FlueGasLoss, NaturalGasExample) {
    const Prepared p = Prepare(FlueGas("Природный газ", 9.5f, 3.5f, 150, 20, "11.8"));
    const float q2 = FlueGasLoss(p);
    EXPECT_NEAR(q2, 6.47f, 0.005f);
    // the same from the rounded intermediate values of the example
    EXPECT_NEAR(q2, (150 - 17) * (0.24211 * 0.81 * 0.77643 + 0.82574) * 100 / 2010, 2e-5);
}

TEST(FlueGasLoss, UsesTheConstantsOfEachFuel) {
    struct Case {
        const char* fuel;
        double a, h, t;
    };
    const Case cases[] = {{"Природный газ", 0.81, 0.85, 2010},
                          {"Пропан-бутан", 0.81, 0.85, 2115},
                          {"Дизельное топливо", 0.87, 0.9, 2100},
                          {"Мазут", 0.87, 0.9, 2100}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.fuel);
        const Prepared p = Prepare(FlueGas(k.fuel, 10, 5, 200, 30, "15"));
        const double alpha = ExcessAirCo2(p);
        EXPECT_FLOAT_EQ(alpha, 1.5f);
        const double c1 = GasHeatCoefficient(200), c2 = AirHeatCoefficient(200);
        const double expected = (200 - k.h * 30) * ((alpha - 1) * k.a * c2 + c1) * 100 / k.t;
        EXPECT_FLOAT_EQ(FlueGasLoss(p), static_cast<float>(expected));
    }
    EXPECT_FLOAT_EQ(FlueGasLoss(Prepare(FlueGas("Торф", 10, 5, 200, 30, "15"))), 0.0f);
}

TEST(EconomiserGain, LossAtTheInletMinusQ2) {
    CalcInputs c = FlueGas("Природный газ", 9.5f, 3.5f, 120, 20, "11.8");
    c.in[36] = 9.0f;
    c.in[37] = 4.0f;
    c.in[40] = 220;
    const Prepared p = Prepare(c);
    const double alpha = ExcessAirBeforeEconomiser(p);
    EXPECT_FLOAT_EQ(alpha, static_cast<float>(87.0 / (87.0 - 15.04)));
    const double c1 = GasHeatCoefficient(220), c2 = AirHeatCoefficient(220);
    const double inlet = (220 - 0.85 * 20) * ((alpha + 0.02 - 1) * 0.81 * c2 + c1) * 100 / 2010;
    EXPECT_FLOAT_EQ(EconomiserGain(p), static_cast<float>(inlet - FlueGasLoss(p)));
    EXPECT_GT(EconomiserGain(p), 3.0f);  // 100 degrees hotter at the inlet: several per cent
}

TEST(EconomiserGain, WithoutInletReadingsTheRatioCountsAsZero) {
    CalcInputs c = FlueGas("Мазут", 12, 4, 180, 20, "15.9");
    c.in[40] = 250;
    const Prepared p = Prepare(c);
    const double c1 = GasHeatCoefficient(250), c2 = AirHeatCoefficient(250);
    const double inlet = (250 - 0.9 * 20) * ((0.02 - 1) * 0.87 * c2 + c1) * 100 / 2100;
    EXPECT_FLOAT_EQ(EconomiserGain(p), static_cast<float>(inlet - FlueGasLoss(p)));
}

TEST(ChemicalLoss, NaturalGasExample) {
    CalcInputs c = FlueGas("Природный газ", 10, 3, 150, 20, "12");
    c.units[11] = "ppm";
    c.in[11] = 100;
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), 0.03624f);
}

TEST(ChemicalLoss, UnitsOfTheCoReading) {
    CalcInputs c = FlueGas("Природный газ", 10, 3, 150, 20, "12");
    c.units[11] = "ppm";
    c.in[11] = 100;
    const float ppm = ChemicalLoss(Prepare(c));
    c.units[11] = "г/м3";
    c.in[11] = 0.125f;
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), ppm);
    c.units[11] = "мг/м3";
    c.in[11] = 125;
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), ppm);
    c.units[11] = "PPM";
    c.in[11] = 100;
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), ppm);
    c.units[11] = "мг/нм3";
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), 0.0f);
}

TEST(ChemicalLoss, LiquidFuelsUseTheirDivisor) {
    CalcInputs c = FlueGas("Дизельное топливо", 10, 3, 150, 20, "12");
    c.units[11] = "ppm";
    c.in[11] = 100;
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), static_cast<float>(100 * 30.2 * 0.0001 * double{1.2f} * 100 / 960));
    c.general[5] = "Пропан-бутан";
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), 0.03624f);
    c.general[5] = "Нефть";
    EXPECT_FLOAT_EQ(ChemicalLoss(Prepare(c)), 0.0f);
}

// A hot-water object with q5 given at the nominal load: 1000 kW, natural gas 8000 kcal/m3.
CalcInputs NominalQ5Object() {
    CalcInputs c = FlueGas("Природный газ", 9.5f, 3.5f, 150, 20, "11.8");
    c.general[1] = "Водогрейный котел";
    c.general[3] = "на ном.нагр.";
    c.general[6] = "кВт";
    c.general[9] = "8000";
    c.general[16] = "1000";
    c.general[17] = "2";
    c.units[0] = "ст.м3/час";
    c.in[0] = 50;
    c.in[42] = 3.3f;
    return c;
}

TEST(EnvironmentLoss, AtNominalLoadExample) {
    const Prepared p = Prepare(NominalQ5Object());
    // the worked numbers: q5a = 2 x 860 x 1000 / 400000 = 4.3 and q5 = 4.3 x 100 / 92
    const float q5 = formulas::EnvironmentLoss(p, NominalOutputMcal(p), FuelFlow(p), 6.0f);
    EXPECT_NEAR(q5, 4.674f, 5e-4);
    EXPECT_FLOAT_EQ(q5, static_cast<float>(4.3 * 100 / 92));
    // and with the q2 of the regime itself
    const double q2 = FlueGasLoss(p);
    EXPECT_FLOAT_EQ(EnvironmentLoss(p), static_cast<float>(4.3 * 100 / (100 - q2 - 2)));
}

TEST(EnvironmentLoss, AtNominalLoadScalesWithTheLoad) {
    CalcInputs c = NominalQ5Object();
    c.in[0] = 100;  // twice the heat input: half the scaled q5
    const Prepared p = Prepare(c);
    EXPECT_FLOAT_EQ(EnvironmentLoss(p), static_cast<float>(2.15 * 100 / (100 - double{FlueGasLoss(p)} - 2)));
}

TEST(EnvironmentLoss, AtNominalLoadForAnUnknownFuelIsZero) {
    CalcInputs c = NominalQ5Object();
    c.general[5] = "Биогаз";
    EXPECT_FLOAT_EQ(EnvironmentLoss(Prepare(c)), 0.0f);
}

TEST(EnvironmentLoss, SameAtAllLoads) {
    CalcInputs c = NominalQ5Object();
    c.general[3] = "на всех нагр.";
    c.general[17] = "1.5";
    for (float flow : {10.0f, 50.0f, 400.0f}) {
        c.in[0] = flow;
        EXPECT_FLOAT_EQ(EnvironmentLoss(Prepare(c)), 1.5f) << flow;
    }
}

TEST(EnvironmentLoss, ComputedForEachRegimeTakesTheRegimeValue) {
    CalcInputs c = NominalQ5Object();
    c.general[3] = "РАСЧ. КАЖДЫЙ.";
    EXPECT_FLOAT_EQ(EnvironmentLoss(Prepare(c)), 3.3f);
    c.in[42] = 0.75f;
    EXPECT_FLOAT_EQ(EnvironmentLoss(Prepare(c)), 0.75f);
}

TEST(EnvironmentLoss, AnyOtherModeIsZero) {
    CalcInputs c = NominalQ5Object();
    for (const char* mode : {"", "на ном. нагр.", "каждый"}) {
        c.general[3] = mode;
        EXPECT_FLOAT_EQ(EnvironmentLoss(Prepare(c)), 0.0f) << mode;
    }
}

}  // namespace
