// The general data file: any "OData.txt" either fails to read, or gives 19 entries whose
// number entries are wholly numbers; what was read is written back and read again the same,
// and a regime calculated with it gives only finite results.

#include <cmath>
#include <cstdint>

#include "core/filekinds.h"
#include "engine/engine.h"
#include "fuzzfile.h"
#include "object/generaldata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::PutFile(object::kGeneralFile, data, size);
    QStringList general;
    if (!object::ReadGeneralData(fuzz::Folder(), general)) return 0;
    FUZZ_CHECK(general.size() == object::kGeneralCount);
    for (int e : {object::CalorificValue, object::FuelDensity, object::Co2Max, object::NominalOutput, object::Q5Nominal,
                  object::OwnNeedsLoss})
        FUZZ_CHECK(general[e].trimmed().isEmpty() || core::IsWholeNumberText(general[e]));
    // a value with a double quote cannot be stored; everything else survives a round trip
    bool quote = false;
    for (const QString& g : general) quote |= g.contains(u'"');
    if (!quote && object::WriteGeneralData(fuzz::Folder(), general)) {
        QStringList back;
        FUZZ_CHECK(object::ReadGeneralData(fuzz::Folder(), back));
        FUZZ_CHECK(back == general);
    }
    engine::CalcInputs c;
    const float in[][2] = {{0, 120},  {1, 15},  {2, 20},  {7, 90},  {11, 40}, {12, 9.5f}, {13, 4}, {14, 60},
                           {17, 160}, {18, 20}, {22, 70}, {23, 90}, {26, 8},  {28, 10},   {41, 40}};
    for (const auto& [k, v] : in) c.in[static_cast<int>(k)] = v;
    const char* units[] = {"ст.м3/час", "оС",      "mbar", "mbar",    "mbar",    "mbar",     "mbar",    "кг/час",
                           "bar",       "bar",     "oC",   "ppm",     "%",       "%",        "ppm",     "ppm",
                           "т/час",     "оС",      "оС",   "mbar",    "mbar",    "градусов", "оС",      "оС",
                           "кгс/см2",   "кгс/см2", "оС",   "кгс/см2", "кгс/см2", "оС",       "градусов"};
    for (int i = 0; i < engine::kUnitCount; ++i) c.units[i] = units[i];
    for (int i = 0; i < object::kGeneralCount; ++i) c.general[i] = general[i].toStdString();
    (void)engine::CheckRegimeData(c);
    engine::SteamState steam;
    engine::Results r{};
    engine::CalculateRegime(c, steam, r);
    for (float v : r) FUZZ_CHECK(std::isfinite(v));
    return 0;
}
