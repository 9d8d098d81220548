// The unit check: any "Ediny.txt" either fails to read, or gives units with which a regime
// is refused by the data check naming a unit, or calculated with every unit it uses known,
// so no factor of 0 from an unknown unit ever reaches a stored result.

#include <cmath>
#include <cstdint>

#include "engine/engine.h"
#include "fuzzfile.h"
#include "object/units.h"

namespace {

engine::CalcInputs Regime(const QStringList& units, const char* fuel) {
    engine::CalcInputs c;
    // a measured hot-water regime
    const float in[][2] = {{0, 120}, {1, 15}, {2, 20}, {7, 90}, {11, 40}, {12, 9.5f}, {13, 4},
                           {14, 60}, {17, 160}, {18, 20}, {22, 70}, {23, 90}, {41, 40}};
    for (const auto& [k, v] : in) c.in[static_cast<int>(k)] = v;
    const char* general[19] = {"", "Водогрейный котел", "", "на всех нагр.", "", fuel, "кВт", "", "", "8000",
                               "0.84", "11.8", "", "", "", "без экономайзера", "2000", "2", "0"};
    for (int i = 0; i < 19; ++i) c.general[i] = general[i];
    for (int i = 0; i < engine::kUnitCount && i < units.size(); ++i) c.units[i] = units[i].toStdString();
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(object::kUnitsFile, data, size);
    QStringList units;
    if (!object::ReadUnits(fuzz::Folder(), units)) return 0;
    FUZZ_CHECK(units.size() == object::kUnitCount);
    for (const char* fuel : {"Природный газ", "Дизельное топливо"}) {
        const engine::CalcInputs c = Regime(units, fuel);
        const std::string check = engine::CheckRegimeData(c);
        const engine::Prepared p = engine::Prepare(c);
        if (!check.empty()) {
            FUZZ_CHECK(check.rfind("Неизвестная единица измерения «", 0) == 0);
            continue;
        }
        if (p.group == engine::FuelGroup::Gaseous) {
            FUZZ_CHECK(p.flowUnit != engine::FlowUnit::Other);
            FUZZ_CHECK(engine::GasFlowReduced(p) > 0.0f);
        } else {
            FUZZ_CHECK(p.liquidUnitKnown);
        }
        FUZZ_CHECK(p.coUnit != engine::ConcentrationUnit::Other && p.noUnit != engine::ConcentrationUnit::Other);
        engine::SteamState steam;
        engine::Results r{};
        engine::CalculateRegime(c, steam, r);
        for (float v : r) FUZZ_CHECK(std::isfinite(v));
        FUZZ_CHECK(r[0] > 0.0f);
    }
    return 0;
}
