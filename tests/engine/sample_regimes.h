#pragma once
// Sample regimes for the engine tests and the engine benchmark (no test framework here).

#include "engine/engine.h"

namespace engine_test {

// The complete hot-water regime: natural gas, 1200 kW nominal, q5 the same at all loads,
// no economiser.
inline engine::CalcInputs HotWaterRegime() {
    engine::CalcInputs c;
    c.general[1] = "Водогрейный котел";
    c.general[3] = "на всех нагр.";
    c.general[5] = "Природный газ";
    c.general[6] = "кВт";
    c.general[9] = "8000";
    c.general[10] = "0.67";
    c.general[11] = "11.8";
    c.general[15] = "без экономайзера";
    c.general[16] = "1200";
    c.general[17] = "2";
    c.general[18] = "1";
    c.units[0] = "ст.м3/час";
    c.units[2] = "mbar";
    c.units[11] = "ppm";
    c.units[14] = "ppm";
    c.units[15] = "ppm";
    c.in[0] = 120;
    c.in[11] = 50;
    c.in[12] = 9.5f;
    c.in[13] = 3.5f;
    c.in[14] = 40;
    c.in[15] = 2;
    c.in[17] = 150;
    c.in[18] = 20;
    c.in[22] = 70;
    c.in[23] = 90;
    c.in[41] = 30;
    return c;
}

// A steam boiler on diesel fuel with an economiser, nominal output in t/h, q5 given at the
// nominal load.
inline engine::CalcInputs SteamDieselRegime() {
    engine::CalcInputs c;
    c.general[1] = "Паровой котел";
    c.general[2] = "т/час";
    c.general[3] = "на ном.нагр.";
    c.general[5] = "Дизельное топливо";
    c.general[9] = "10180";
    c.general[10] = "0.84";
    c.general[11] = "15.9";
    c.general[15] = "с экономайзером";
    c.general[16] = "4";
    c.general[17] = "1.2";
    c.general[18] = "0.8";
    c.units[7] = "л/час";
    c.units[11] = "мг/м3";
    c.units[14] = "мг/м3";
    c.units[15] = "мг/м3";
    c.in[7] = 260;
    c.in[11] = 20;
    c.in[12] = 12.4f;
    c.in[13] = 4.1f;
    c.in[14] = 120;
    c.in[15] = 8;
    c.in[17] = 180;
    c.in[18] = 25;
    c.in[26] = 102;
    c.in[28] = 8.5f;
    c.in[33] = 104;
    c.in[36] = 12.1f;
    c.in[37] = 4.5f;
    c.in[40] = 265;
    c.in[41] = 2.6f;
    return c;
}

}  // namespace engine_test
