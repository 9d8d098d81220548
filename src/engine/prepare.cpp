// Classifies the texts of the calculation inputs and parses the general-data numbers once,
// so that the calculation functions work on enums and doubles only.

#include <string_view>

#include "core/numparse.h"
#include "engine/engine.h"

namespace engine {

namespace {

bool Is(std::string_view text, std::string_view expected) { return core::EqualsNoCase(text, expected); }

// Number of characters of a UTF-8 text (continuation bytes are not counted).
std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

BoilerType ClassifyBoiler(std::string_view text) {
    if (Is(text, "Паровой котел")) return BoilerType::Steam;
    if (Is(text, "Водогрейный котел")) return BoilerType::HotWater;
    return BoilerType::Unknown;
}

FlowUnit ClassifyFlowUnit(std::string_view text) {
    if (Is(text, "ст.м3/час")) return FlowUnit::Standard;
    if (Is(text, "н.м3/час")) return FlowUnit::Normal;
    if (Is(text, "м3/час")) return FlowUnit::Working;
    return FlowUnit::Other;
}

// Factor that brings the meter gauge pressure to kgf/m2 (1 mbar taken as 10 kgf/m2).
double MeterPressureFactor(std::string_view text) {
    if (Is(text, "кгс/см2") || Is(text, "bar")) return 10000.0;
    if (Is(text, "кгс/м2") || Is(text, "мм.вод.ст.")) return 1.0;
    if (Is(text, "mbar")) return 10.0;
    if (Is(text, "Па")) return 0.1;
    if (Is(text, "кПа")) return 100.0;
    return 0.0;
}

ConcentrationUnit ClassifyConcentration(std::string_view text) {
    if (Is(text, "ppm")) return ConcentrationUnit::Ppm;
    if (Is(text, "мг/м3")) return ConcentrationUnit::MgPerM3;
    if (Is(text, "г/м3")) return ConcentrationUnit::GPerM3;
    return ConcentrationUnit::Other;
}

SteamUnit ClassifySteamUnit(std::string_view text) {
    if (Is(text, "т/час")) return SteamUnit::TonnesPerHour;
    if (Is(text, "кг/час")) return SteamUnit::KgPerHour;
    return SteamUnit::Other;
}

HeatUnit ClassifyHeatUnit(std::string_view text) {
    if (Is(text, "кВт")) return HeatUnit::KW;
    if (Is(text, "МВт")) return HeatUnit::MW;
    if (Is(text, "Гкал/час")) return HeatUnit::GcalPerHour;
    return HeatUnit::Other;
}

Q5Mode ClassifyQ5Mode(std::string_view text) {
    if (Is(text, "на ном.нагр.")) return Q5Mode::AtNominalLoad;
    if (Is(text, "на всех нагр.")) return Q5Mode::SameAtAllLoads;
    if (Is(text, "расч. каждый.")) return Q5Mode::PerRegime;
    return Q5Mode::None;
}

}  // namespace

Fuel ClassifyFuel(std::string_view text) {
    for (std::size_t i = 0; i < kFuelTable.size(); ++i)
        if (Is(text, kFuelTable[i].name)) return static_cast<Fuel>(i);
    return Fuel::Unknown;
}

Prepared Prepare(const CalcInputs& inputs) {
    Prepared p;
    p.in = inputs.in;
    const auto& g = inputs.general;
    const auto& u = inputs.units;

    p.boiler = ClassifyBoiler(g[1]);
    p.fuel = ClassifyFuel(g[5]);
    p.group = GroupOf(p.fuel);
    p.constants = ConstantsOf(p.fuel);

    p.flowUnit = ClassifyFlowUnit(u[0]);
    p.meterPressureToKgfM2 = MeterPressureFactor(u[2]);
    p.liquidInLitres = Is(u[7], "л/час");
    p.coUnit = ClassifyConcentration(u[11]);
    p.noUnit = ClassifyConcentration(u[14]);
    p.steamUnit = ClassifySteamUnit(g[2]);
    p.heatUnit = ClassifyHeatUnit(g[6]);
    p.economiser = Is(g[15], "с экономайзером");
    p.q5Mode = ClassifyQ5Mode(g[3]);

    p.calorificValue = core::ParseNumber(g[9]);
    p.fuelDensity = core::ParseNumber(g[10]);
    p.co2Max = core::ParseNumber(g[11]);
    p.nominalOutput = core::ParseNumber(g[16]);
    p.q5Nominal = core::ParseNumber(g[17]);
    p.ownNeedsLoss = core::ParseNumber(g[18]);

    p.steamUnitLength = CharacterCount(g[2]);
    p.heatUnitLength = CharacterCount(g[6]);
    return p;
}

}  // namespace engine
