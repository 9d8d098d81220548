// Reading the calculation inputs: classification of the texts, general-data numbers, the fuel
// table, the gas and liquid fuel flows and the nominal output.

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine_test_support.h"

using namespace engine;

namespace {

// Inputs with only the given unit texts for the gas meter set.
CalcInputs GasMeter(const char* flowUnit, float flow, float temperature = 0, float pressure = 0,
                    const char* pressureUnit = "") {
    CalcInputs c;
    c.general[5] = "Природный газ";
    c.units[0] = flowUnit;
    c.units[2] = pressureUnit;
    c.in[0] = flow;
    c.in[1] = temperature;
    c.in[2] = pressure;
    return c;
}

TEST(FuelTable, ConstantsOfEachFuel) {
    struct Expected {
        const char* name;
        FuelGroup group;
        double a, h, t, f, v0;
    };
    const Expected expected[] = {
        {"Природный газ", FuelGroup::Gaseous, 0.81, 0.85, 2010, 1000, 9.6},
        {"Пропан-бутан", FuelGroup::Gaseous, 0.81, 0.85, 2115, 1000, 26.5},
        {"Дизельное топливо", FuelGroup::Liquid, 0.87, 0.9, 2100, 960, 12},
        {"Мазут", FuelGroup::Liquid, 0.87, 0.9, 2100, 960, 12},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const Fuel fuel = ClassifyFuel(e.name);
        ASSERT_NE(fuel, Fuel::Unknown);
        EXPECT_EQ(GroupOf(fuel), e.group);
        const FuelConstants* c = ConstantsOf(fuel);
        ASSERT_NE(c, nullptr);
        EXPECT_DOUBLE_EQ(c->q2A, e.a);
        EXPECT_DOUBLE_EQ(c->q2h, e.h);
        EXPECT_DOUBLE_EQ(c->q2T, e.t);
        EXPECT_DOUBLE_EQ(c->q3F, e.f);
        EXPECT_DOUBLE_EQ(c->v0, e.v0);
    }
}

TEST(FuelTable, FuelTextsIgnoreCaseButNotSpelling) {
    EXPECT_EQ(ClassifyFuel("ПРИРОДНЫЙ ГАЗ"), Fuel::NaturalGas);
    EXPECT_EQ(ClassifyFuel("пропан-бутан"), Fuel::PropaneButane);
    EXPECT_EQ(ClassifyFuel("дизельное ТОПЛИВО"), Fuel::Diesel);
    EXPECT_EQ(ClassifyFuel("мАзУт"), Fuel::FuelOil);
    EXPECT_EQ(ClassifyFuel("Природный  газ"), Fuel::Unknown);  // doubled blank
    EXPECT_EQ(ClassifyFuel("Природный газ "), Fuel::Unknown);  // trailing blank
    EXPECT_EQ(ClassifyFuel("Уголь"), Fuel::Unknown);
    EXPECT_EQ(ClassifyFuel(""), Fuel::Unknown);
    EXPECT_EQ(ConstantsOf(Fuel::Unknown), nullptr);
    EXPECT_EQ(GroupOf(Fuel::Unknown), FuelGroup::None);
}

TEST(Prepare, ClassifiesTextsIgnoringCase) {
    CalcInputs c = engine_test::HotWaterRegime();
    c.general[1] = "ВОДОГРЕЙНЫЙ КОТЕЛ";
    c.general[3] = "НА ВСЕХ НАГР.";
    c.general[6] = "квт";
    c.general[15] = "С ЭКОНОМАЙЗЕРОМ";
    c.units[0] = "СТ.М3/ЧАС";
    c.units[7] = "Л/ЧАС";
    c.units[11] = "PPM";
    c.units[14] = "МГ/М3";
    const Prepared p = Prepare(c);
    EXPECT_EQ(p.boiler, BoilerType::HotWater);
    EXPECT_EQ(p.q5Mode, Q5Mode::SameAtAllLoads);
    EXPECT_EQ(p.heatUnit, HeatUnit::KW);
    EXPECT_TRUE(p.economiser);
    EXPECT_EQ(p.flowUnit, FlowUnit::Standard);
    EXPECT_TRUE(p.liquidInLitres);
    EXPECT_EQ(p.coUnit, ConcentrationUnit::Ppm);
    EXPECT_EQ(p.noUnit, ConcentrationUnit::MgPerM3);
    EXPECT_EQ(p.fuel, Fuel::NaturalGas);
    EXPECT_EQ(p.group, FuelGroup::Gaseous);
}

TEST(Prepare, OnlyTheExactEconomiserTextMeansPresent) {
    CalcInputs c = engine_test::HotWaterRegime();
    for (const char* text : {"с экономайзером", "С экономайзером", "С ЭКОНОМАЙЗЕРОМ"}) {
        c.general[15] = text;
        EXPECT_TRUE(Prepare(c).economiser) << text;
    }
    for (const char* text : {"без экономайзера", "", "с экономайзером ", "экономайзер"}) {
        c.general[15] = text;
        EXPECT_FALSE(Prepare(c).economiser) << text;
    }
}

TEST(Prepare, OtherTextsFallToTheirUnknownCase) {
    CalcInputs c;
    c.general[1] = "Котел";
    c.general[2] = "т/ч";
    c.general[3] = "на ном.нагр";  // no final point
    c.general[6] = "kW";
    c.units[0] = "м3/ч";
    c.units[11] = "мг/нм3";
    const Prepared p = Prepare(c);
    EXPECT_EQ(p.boiler, BoilerType::Unknown);
    EXPECT_EQ(p.steamUnit, SteamUnit::Other);
    EXPECT_EQ(p.q5Mode, Q5Mode::None);
    EXPECT_EQ(p.heatUnit, HeatUnit::Other);
    EXPECT_EQ(p.flowUnit, FlowUnit::Other);
    EXPECT_EQ(p.coUnit, ConcentrationUnit::Other);
    EXPECT_EQ(p.noUnit, ConcentrationUnit::Other);
    EXPECT_EQ(p.fuel, Fuel::Unknown);
    EXPECT_EQ(p.constants, nullptr);
    EXPECT_FALSE(p.liquidInLitres);
    EXPECT_DOUBLE_EQ(p.meterPressureToKgfM2, 0.0);
}

TEST(Prepare, GeneralDataNumbersUseTheLenientParse) {
    CalcInputs c;
    c.general[9] = "12,5";    // a comma ends the number
    c.general[10] = " 12.5";  // leading blank skipped
    c.general[11] = "11.8%";
    c.general[16] = "abc";
    c.general[17] = "1.5E1";
    c.general[18] = "-0.5";
    const Prepared p = Prepare(c);
    EXPECT_DOUBLE_EQ(p.calorificValue, 12.0);
    EXPECT_DOUBLE_EQ(p.fuelDensity, 12.5);
    EXPECT_DOUBLE_EQ(p.co2Max, 11.8);
    EXPECT_DOUBLE_EQ(p.nominalOutput, 0.0);
    EXPECT_DOUBLE_EQ(p.q5Nominal, 15.0);
    EXPECT_DOUBLE_EQ(p.ownNeedsLoss, -0.5);
}

TEST(Prepare, CountsCharactersOfTheNominalOutputUnits) {
    CalcInputs c;
    c.general[2] = "кг/час";  // 6 characters, 11 bytes
    c.general[6] = "";
    Prepared p = Prepare(c);
    EXPECT_EQ(p.steamUnitLength, 6u);
    EXPECT_EQ(p.heatUnitLength, 0u);
    c.general[6] = " ";
    p = Prepare(c);
    EXPECT_EQ(p.heatUnitLength, 1u);
}

TEST(GasFlow, StandardCubicMetresNeedNoCorrection) {
    const Prepared p = Prepare(GasMeter("ст.м3/час", 150, 35, 80, "mbar"));
    EXPECT_FLOAT_EQ(TemperatureFactor(p), 1.0f);
    EXPECT_FLOAT_EQ(PressureFactor(p), 1.0f);
    EXPECT_FLOAT_EQ(GasFlowReduced(p), 150.0f);
}

TEST(GasFlow, NormalCubicMetresUseTheFixedFactor) {
    const Prepared p = Prepare(GasMeter("н.м3/час", 100, 35, 80, "mbar"));
    EXPECT_FLOAT_EQ(TemperatureFactor(p), 1.07f);
    EXPECT_FLOAT_EQ(PressureFactor(p), 1.0f);
    EXPECT_FLOAT_EQ(GasFlowReduced(p), 107.0f);
}

TEST(GasFlow, WorkingCubicMetresAreCorrectedByTemperatureAndPressure) {
    Prepared p = Prepare(GasMeter("м3/час", 100, 20, 20, "mbar"));
    EXPECT_FLOAT_EQ(TemperatureFactor(p), 1.0f);
    EXPECT_NEAR(PressureFactor(p), 1.01974f, 5e-6);
    EXPECT_FLOAT_EQ(PressureFactor(p), static_cast<float>((200.0 / 13.33 + 760.0) / 760.0));
    EXPECT_NEAR(GasFlowReduced(p), 101.974f, 5e-4);

    p = Prepare(GasMeter("м3/час", 100, 0, 0, "mbar"));
    EXPECT_FLOAT_EQ(TemperatureFactor(p), static_cast<float>(293.15 / 273.15));
    EXPECT_FLOAT_EQ(PressureFactor(p), 1.0f);
}

TEST(GasFlow, MeterPressureUnits) {
    // gauge pressure 1 in each unit, converted to kgf/m2 and then to the factor
    struct Case {
        const char* unit;
        double kgfPerM2;
    };
    const Case cases[] = {{"кгс/см2", 10000}, {"bar", 10000}, {"кгс/м2", 1}, {"мм.вод.ст.", 1},
                          {"mbar", 10},       {"Па", 0.1},    {"кПа", 100},  {"КПА", 100},
                          {"MBAR", 10},       {"psi", 0},     {"", 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.unit);
        const Prepared p = Prepare(GasMeter("м3/час", 10, 20, 1, k.unit));
        EXPECT_FLOAT_EQ(PressureFactor(p), static_cast<float>((k.kgfPerM2 / 13.33 + 760.0) / 760.0));
    }
}

TEST(GasFlow, UnknownFlowUnitGivesZeroFlow) {
    const Prepared p = Prepare(GasMeter("м3/ч", 100, 20, 20, "mbar"));
    EXPECT_FLOAT_EQ(TemperatureFactor(p), 0.0f);
    EXPECT_FLOAT_EQ(PressureFactor(p), 0.0f);
    EXPECT_FLOAT_EQ(GasFlowReduced(p), 0.0f);
    EXPECT_FLOAT_EQ(FuelFlow(p), 0.0f);
}

TEST(GasFlow, MultipliesTheFlowByTheProductOfTheFactors) {
    const Prepared p = Prepare(GasMeter("м3/час", 123.4f, 15, 35, "mbar"));
    const double kt = TemperatureFactor(p), kp = PressureFactor(p);
    EXPECT_FLOAT_EQ(GasFlowReduced(p), static_cast<float>(double{123.4f} * (kt * kp)));
    EXPECT_FLOAT_EQ(FuelFlow(p), GasFlowReduced(p));
}

TEST(LiquidFlow, LitresUseTheDensity) {
    CalcInputs c;
    c.general[5] = "Мазут";
    c.general[10] = "0.85";
    c.units[7] = "л/час";
    c.in[7] = 100;
    Prepared p = Prepare(c);
    EXPECT_FLOAT_EQ(LiquidFuelFlow(p), 85.0f);
    EXPECT_FLOAT_EQ(FuelFlow(p), 85.0f);

    c.units[7] = "кг/час";
    p = Prepare(c);
    EXPECT_FLOAT_EQ(LiquidFuelFlow(p), 100.0f);
    c.units[7] = "";
    EXPECT_FLOAT_EQ(LiquidFuelFlow(Prepare(c)), 100.0f);
}

TEST(FuelFlowByGroup, FollowsTheFuel) {
    CalcInputs c = GasMeter("ст.м3/час", 150);
    c.units[7] = "кг/час";
    c.in[7] = 40;
    c.general[5] = "Пропан-бутан";
    EXPECT_FLOAT_EQ(FuelFlow(Prepare(c)), 150.0f);
    c.general[5] = "Дизельное топливо";
    EXPECT_FLOAT_EQ(FuelFlow(Prepare(c)), 40.0f);
    c.general[5] = "Керосин";
    EXPECT_FLOAT_EQ(FuelFlow(Prepare(c)), 0.0f);
}

TEST(NominalOutput, ByBoilerTypeAndUnit) {
    struct Case {
        const char* boiler;
        const char* steamUnit;
        const char* heatUnit;
        const char* nominal;
        float expected;
    };
    const Case cases[] = {
        {"Паровой котел", "т/час", "кВт", "4", 2240.0f},
        {"Паровой котел", "кг/час", "", "4000", 2240.0f},
        {"Паровой котел", "", "кВт", "4", 0.0f},  // the hot-water unit does not apply
        {"Водогрейный котел", "", "кВт", "1000", 860.0f},
        {"Водогрейный котел", "", "МВт", "2.5", 2150.0f},
        {"Водогрейный котел", "", "Гкал/час", "1.5", 1500.0f},
        {"Водогрейный котел", "т/час", "", "4", 0.0f},
        {"водогрейный КОТЕЛ", "", "мвт", "1", 860.0f},
        {"Котел", "т/час", "кВт", "4", 0.0f},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.boiler) + " " + k.steamUnit + k.heatUnit);
        CalcInputs c;
        c.general[1] = k.boiler;
        c.general[2] = k.steamUnit;
        c.general[6] = k.heatUnit;
        c.general[16] = k.nominal;
        EXPECT_FLOAT_EQ(NominalOutputMcal(Prepare(c)), k.expected);
    }
}

TEST(NominalOutput, HeatOutputInTheHotWaterUnit) {
    EXPECT_DOUBLE_EQ(HeatOutputInNominalUnit(HeatUnit::KW, 0.86), 1000.0);
    EXPECT_DOUBLE_EQ(HeatOutputInNominalUnit(HeatUnit::MW, 0.86), 1.0);
    EXPECT_DOUBLE_EQ(HeatOutputInNominalUnit(HeatUnit::GcalPerHour, 0.86), 0.86);
    EXPECT_DOUBLE_EQ(HeatOutputInNominalUnit(HeatUnit::Other, 0.86), 0.0);
}

}  // namespace
