// Classifies the texts of the calculation inputs and parses the general-data numbers once,
// so that the calculation functions work on enums and doubles only.

#include <iterator>
#include <string_view>

#include "core/numparse.h"
#include "engine/engine.h"

namespace engine {

namespace {

// Finds which of `candidates` a text names, ignoring letter case; -1 for none.
// The texts are nearly always stored exactly as the editors write them, so an exact byte
// match is tried first; it gives the same answer as the case-insensitive test, because a
// text equals itself and no two candidates of one list are equal ignoring case. Only a text
// that matches none exactly (other letter case, or an unknown text) goes through the slower
// case-insensitive test.
template <std::size_t N>
int Find(std::string_view text, const std::string_view (&candidates)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (text == candidates[i]) return static_cast<int>(i);
    for (std::size_t i = 0; i < N; ++i)
        if (core::EqualsNoCase(text, candidates[i])) return static_cast<int>(i);
    return -1;
}

// Number of characters of a UTF-8 text (continuation bytes are not counted).
std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Picks the value that goes with the matching candidate, `otherwise` for none.
template <typename T, std::size_t N>
T Classify(std::string_view text, const std::string_view (&candidates)[N], const T (&values)[N], T otherwise) {
    const int i = Find(text, candidates);
    return i < 0 ? otherwise : values[i];
}

constexpr std::string_view kBoilerTexts[] = {"Паровой котел", "Водогрейный котел"};
constexpr BoilerType kBoilerTypes[] = {BoilerType::Steam, BoilerType::HotWater};

constexpr std::string_view kFlowUnitTexts[] = {"ст.м3/час", "н.м3/час", "м3/час"};
constexpr FlowUnit kFlowUnits[] = {FlowUnit::Standard, FlowUnit::Normal, FlowUnit::Working};

// Factors that bring the meter gauge pressure to kgf/m2 (1 mbar taken as 10 kgf/m2).
constexpr std::string_view kPressureUnitTexts[] = {"кгс/см2", "bar", "кгс/м2", "мм.вод.ст.", "mbar", "Па", "кПа"};
constexpr double kPressureFactors[] = {10000.0, 10000.0, 1.0, 1.0, 10.0, 0.1, 100.0};

constexpr std::string_view kConcentrationTexts[] = {"ppm", "мг/м3", "г/м3"};
constexpr ConcentrationUnit kConcentrationUnits[] = {ConcentrationUnit::Ppm, ConcentrationUnit::MgPerM3,
                                                     ConcentrationUnit::GPerM3};
// NO may also be read as NO in mg/m3; CO has no such unit
constexpr std::string_view kNoUnitTexts[] = {"ppm", "мг/м3", "г/м3", "мг/м3 NO"};
constexpr ConcentrationUnit kNoUnits[] = {ConcentrationUnit::Ppm, ConcentrationUnit::MgPerM3, ConcentrationUnit::GPerM3,
                                          ConcentrationUnit::MgPerM3AsNO};

constexpr std::string_view kSteamUnitTexts[] = {"т/час", "кг/час"};
constexpr SteamUnit kSteamUnits[] = {SteamUnit::TonnesPerHour, SteamUnit::KgPerHour};

constexpr std::string_view kHeatUnitTexts[] = {"кВт", "МВт", "Гкал/час"};
constexpr HeatUnit kHeatUnits[] = {HeatUnit::KW, HeatUnit::MW, HeatUnit::GcalPerHour};

constexpr std::string_view kQ5ModeTexts[] = {"на ном.нагр.", "на всех нагр.", "расч. каждый."};
constexpr Q5Mode kQ5Modes[] = {Q5Mode::AtNominalLoad, Q5Mode::SameAtAllLoads, Q5Mode::PerRegime};

constexpr std::string_view kLitresText[] = {"л/час"};
constexpr std::string_view kLiquidUnitTexts[] = {"кг/час", "л/час"};
constexpr std::string_view kEconomiserText[] = {"с экономайзером"};

constexpr std::string_view kFuelTexts[] = {kFuelTable[0].name, kFuelTable[1].name, kFuelTable[2].name,
                                           kFuelTable[3].name};
static_assert(std::size(kFuelTexts) == kFuelTable.size());

}  // namespace

Fuel ClassifyFuel(std::string_view text) {
    const int i = Find(text, kFuelTexts);
    return i < 0 ? Fuel::Unknown : static_cast<Fuel>(i);
}

double PressureToKgfM2(std::string_view unitText) {
    return Classify(unitText, kPressureUnitTexts, kPressureFactors, 0.0);
}

Prepared Prepare(const CalcInputs& inputs) {
    Prepared p;
    p.in = inputs.in;
    const auto& g = inputs.general;
    const auto& u = inputs.units;

    p.boiler = Classify(g[1], kBoilerTexts, kBoilerTypes, BoilerType::Unknown);
    p.fuel = ClassifyFuel(g[5]);
    p.group = GroupOf(p.fuel);
    p.constants = ConstantsOf(p.fuel);

    p.flowUnit = Classify(u[0], kFlowUnitTexts, kFlowUnits, FlowUnit::Other);
    p.meterPressureToKgfM2 = Classify(u[2], kPressureUnitTexts, kPressureFactors, 0.0);
    p.liquidInLitres = Find(u[7], kLitresText) == 0;
    p.liquidUnitKnown = Find(u[7], kLiquidUnitTexts) >= 0;
    p.coUnit = Classify(u[11], kConcentrationTexts, kConcentrationUnits, ConcentrationUnit::Other);
    p.noUnit = Classify(u[14], kNoUnitTexts, kNoUnits, ConcentrationUnit::Other);
    p.steamUnit = Classify(g[2], kSteamUnitTexts, kSteamUnits, SteamUnit::Other);
    p.heatUnit = Classify(g[6], kHeatUnitTexts, kHeatUnits, HeatUnit::Other);
    p.economiser = Find(g[15], kEconomiserText) == 0;
    p.q5Mode = Classify(g[3], kQ5ModeTexts, kQ5Modes, Q5Mode::None);

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
