// The 26 result slots of whole regimes: the worked hot-water regime, the conditions under
// which each slot is written, rounding, and what is stored for values that are not finite.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/numparse.h"
#include "engine/engine.h"
#include "engine_test_support.h"

using namespace engine;
using engine_test::kSentinel;
using engine_test::SentinelResults;

namespace {

Results Calculate(const CalcInputs& c, SteamState& steam, Results results = SentinelResults()) {
    CalculateRegime(c, steam, results);
    return results;
}

Results Calculate(const CalcInputs& c) {
    SteamState steam;
    return Calculate(c, steam);
}

TEST(RegimeCalculation, DebugPrint) {
    auto r = Calculate(engine_test::HotWaterRegime());
    for (int i = 0; i < kResultCount; ++i) std::printf("%d %.9g\n", i, r[i]);
    auto p = Prepare(engine_test::HotWaterRegime());
    SteamState st;
    std::printf("Q %.12g out %.12g load %.12g q2 %.12g q3 %.12g gross %.12g fgv %.12g com %.12g nom %.12g co %.12g\n", HeatOutput(p), OutputInNominalUnit(p, st), LoadPercent(p, st), FlueGasLoss(p), ChemicalLoss(p), GrossEfficiency(p), FlueGasVolume(p), CoMassFlow(p), NoxMassFlow(p), CoConcentration(p));
}

}  // namespace
