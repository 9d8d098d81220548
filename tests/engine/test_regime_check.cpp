// The data check: which message, and in which order the tests are made.

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine_test_support.h"

using namespace engine;
using engine_test::HotWaterRegime;
using engine_test::SteamDieselRegime;

namespace {

TEST(DataCheck, CompleteRegimesPass) {
    EXPECT_EQ(CheckRegimeData(HotWaterRegime()), "");
    EXPECT_EQ(CheckRegimeData(SteamDieselRegime()), "");
    EXPECT_EQ(CheckRegimeData(Prepare(HotWaterRegime())), "");
}

TEST(DataCheck, SteamNeedsPressureAndFeedwater) {
    CalcInputs c = SteamDieselRegime();
    c.in[28] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по пару");
    c.in[28] = 8;
    c.in[26] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по пару");
    // water temperatures do not matter for a steam boiler
    c.in[26] = 100;
    c.in[22] = c.in[23] = 0;
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, SteamMessageComesBeforeEveryOther) {
    CalcInputs c = SteamDieselRegime();
    c.in[28] = 0;
    c.in[7] = 0;
    c.in[12] = 0;
    c.general[11] = "";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по пару");
}

TEST(DataCheck, HotWaterNeedsTwoDifferentTemperatures) {
    CalcInputs c = HotWaterRegime();
    c.in[23] = c.in[22];
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по воде");
    c = HotWaterRegime();
    c.in[22] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по воде");
    c = HotWaterRegime();
    c.in[23] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по воде");
    // outlet colder than inlet is not zero: the check passes
    c = HotWaterRegime();
    c.in[23] = 60;
    EXPECT_EQ(CheckRegimeData(c), "");
    // steam data does not matter for a hot-water boiler
    c.in[26] = c.in[28] = 0;
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, OnlyExactZerosFail) {
    CalcInputs c = HotWaterRegime();
    c.in[22] = 1e-30f;
    c.in[23] = 1e-30f * 2;
    c.in[0] = 1e-38f;
    c.in[12] = -1e-20f;
    c.in[17] = 1e-20f;
    c.general[11] = "1e-200";
    c.general[9] = "1e-200";
    c.general[16] = "1e-200";
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, GasNeedsTheMeterFlow) {
    CalcInputs c = HotWaterRegime();
    c.in[0] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по газу");
    c.general[5] = "Пропан-бутан";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по газу");
    // a flow unit outside the list is not a missing flow, but a unit the calculation
    // cannot convert: named with its field
    c.in[0] = 120;
    c.units[0] = "литров";
    EXPECT_EQ(CheckRegimeData(c), "Неизвестная единица измерения «литров» поля «Расход по счетчику»");
    c.units[0] = "ст.м3/час";
    // liquid data does not matter for gas
    c.in[7] = 0;
    c.general[10] = "";
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, LiquidFuelNeedsFlowAndDensity) {
    CalcInputs c = SteamDieselRegime();
    c.in[7] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по топливу");
    c = SteamDieselRegime();
    c.general[10] = "";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по топливу");
    // the density is needed even when the flow is in kg/h
    c.units[7] = "кг/час";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по топливу");
    c.general[5] = "Мазут";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по топливу");
    c.general[10] = "0.95";
    EXPECT_EQ(CheckRegimeData(c), "");
    // gas data does not matter for liquid fuel
    c.in[0] = 0;
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, UnknownFuelFailsAsMissingFuelData) {
    CalcInputs c = HotWaterRegime();
    c.general[5] = "Торф";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по топливу");
    c.general[5] = "";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по топливу");
    // but water data is tested first
    c.in[22] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по воде");
}

TEST(DataCheck, FuelMessageComesBeforeFlueGasAndGeneralData) {
    CalcInputs c = HotWaterRegime();
    c.in[0] = 0;
    c.in[12] = 0;
    c.general[16] = "";
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по газу");
}

TEST(DataCheck, FlueGasNeedsTemperatureAndCo2) {
    CalcInputs c = HotWaterRegime();
    c.in[12] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по ух.газам");
    c = HotWaterRegime();
    c.in[17] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по ух.газам");
    c.general[9] = "";  // general data is tested after the flue gas
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по ух.газам");
    // O2 and CO are not required
    c = HotWaterRegime();
    c.in[11] = c.in[13] = 0;
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, GeneralDataNeedsCo2MaxCalorificValueNominalOutputAndItsUnit) {
    for (int entry : {9, 11, 16}) {
        for (const char* text : {"", "0", "0.0", "нет", ",5"}) {
            CalcInputs c = HotWaterRegime();
            c.general[entry] = text;
            EXPECT_EQ(CheckRegimeData(c), "Нет общих данных") << entry << " '" << text << "'";
        }
    }
    CalcInputs c = HotWaterRegime();
    c.general[6] = "";
    EXPECT_EQ(CheckRegimeData(c), "Нет общих данных");
    // a unit text outside the list fails the check with the unit and the entry named
    c.general[6] = "ккал";
    EXPECT_EQ(CheckRegimeData(c),
              "Неизвестная единица измерения «ккал» поля «Номинальная  тепловая мощность» общих данных");
}

TEST(DataCheck, NominalUnitIsTheOneOfTheBoilerType) {
    CalcInputs c = HotWaterRegime();
    c.general[6] = "";
    c.general[2] = "т/час";  // the steam unit does not count for a hot-water boiler
    EXPECT_EQ(CheckRegimeData(c), "Нет общих данных");

    c = SteamDieselRegime();
    c.general[2] = "";
    c.general[6] = "кВт";
    EXPECT_EQ(CheckRegimeData(c), "Нет общих данных");
    c.general[2] = "кг/час";
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, UnknownBoilerTypeEndsWithMissingGeneralData) {
    CalcInputs c = HotWaterRegime();
    c.general[1] = "Котел";
    c.general[2] = "т/час";
    EXPECT_EQ(CheckRegimeData(c), "Нет общих данных");
    // no water or steam test for it, but the earlier fuel and flue-gas tests still decide
    c.in[22] = c.in[23] = c.in[26] = c.in[28] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет общих данных");
    c.in[12] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по ух.газам");
    c.in[0] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по газу");
}

TEST(DataCheck, TextsIgnoreLetterCase) {
    CalcInputs c = SteamDieselRegime();
    c.general[1] = "ПАРОВОЙ КОТЕЛ";
    c.general[5] = "ДИЗЕЛЬНОЕ ТОПЛИВО";
    EXPECT_EQ(CheckRegimeData(c), "");
    c.in[28] = 0;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по пару");
}

}  // namespace

namespace {

// A flue-gas O2 of 21 % or more is air, not flue gas: the excess air would come out negative
// or infinite. Such regimes are refused with their own message, after the flue-gas data test
// and before the general data test.
TEST(DataCheck, OxygenOutsideZeroToTwentyOneIsRefused) {
    for (float o2 : {21.0f, 22.0f, 35.0f, -0.1f, -5.0f}) {
        CalcInputs c = HotWaterRegime();
        c.in[13] = o2;
        EXPECT_EQ(CheckRegimeData(c), kOxygenOutOfRange) << o2;
    }
    for (float o2 : {0.0f, 3.5f, 20.99f}) {
        CalcInputs c = HotWaterRegime();
        c.in[13] = o2;
        EXPECT_EQ(CheckRegimeData(c), "") << o2;
    }
}

TEST(DataCheck, OxygenBeforeEconomiserCountsOnlyWithEconomiser) {
    CalcInputs c = SteamDieselRegime();  // has an economiser
    c.in[37] = 21.0f;
    EXPECT_EQ(CheckRegimeData(c), kOxygenOutOfRange);
    c.in[37] = 0.0f;  // not measured: the before-economiser excess air is left out
    EXPECT_EQ(CheckRegimeData(c), "");
    // without economiser the field is hidden and never used
    c = HotWaterRegime();
    c.in[37] = 30.0f;
    EXPECT_EQ(CheckRegimeData(c), "");
}

TEST(DataCheck, OxygenTestStandsBetweenFlueGasAndGeneralData) {
    CalcInputs c = HotWaterRegime();
    c.in[13] = 22.0f;
    c.in[12] = 0.0f;
    EXPECT_EQ(CheckRegimeData(c), "Нет данных по ух.газам");
    c = HotWaterRegime();
    c.in[13] = 22.0f;
    c.general[11] = "";
    EXPECT_EQ(CheckRegimeData(c), kOxygenOutOfRange);
}

}  // namespace
