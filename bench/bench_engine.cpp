// Time to check and calculate one regime in memory, texts classified afresh each time as the
// regime editor does, and with the object's texts prepared once as a recalculation of all
// regimes can do.

#include <benchmark/benchmark.h>

#include "engine/engine.h"
#include "engine/sample_regimes.h"

namespace {

using engine_test::HotWaterRegime;
using engine_test::SteamDieselRegime;

void CalculateFromInputs(benchmark::State& state, const engine::CalcInputs& inputs) {
    engine::SteamState steam;
    engine::Results results{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        engine::CalculateRegime(inputs, steam, results);
        benchmark::DoNotOptimize(results);
    }
    state.SetItemsProcessed(state.iterations());
}

void CheckAndCalculate(benchmark::State& state, const engine::CalcInputs& inputs) {
    engine::SteamState steam;
    engine::Results results{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        const engine::Prepared p = engine::Prepare(inputs);
        if (engine::CheckRegimeData(p).empty()) engine::CalculateRegime(p, steam, results);
        benchmark::DoNotOptimize(results);
    }
    state.SetItemsProcessed(state.iterations());
}

void CalculatePrepared(benchmark::State& state, const engine::CalcInputs& inputs) {
    const engine::Prepared p = engine::Prepare(inputs);
    engine::SteamState steam;
    engine::Results results{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(p);
        engine::CalculateRegime(p, steam, results);
        benchmark::DoNotOptimize(results);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CalculateRegime_HotWater(benchmark::State& s) { CalculateFromInputs(s, HotWaterRegime()); }
void BM_CalculateRegime_SteamDieselEconomiser(benchmark::State& s) {
    CalculateFromInputs(s, SteamDieselRegime());
}
void BM_CheckAndCalculate_HotWater(benchmark::State& s) { CheckAndCalculate(s, HotWaterRegime()); }
void BM_CheckAndCalculate_SteamDieselEconomiser(benchmark::State& s) {
    CheckAndCalculate(s, SteamDieselRegime());
}
void BM_CalculatePrepared_HotWater(benchmark::State& s) { CalculatePrepared(s, HotWaterRegime()); }
void BM_CalculatePrepared_SteamDieselEconomiser(benchmark::State& s) {
    CalculatePrepared(s, SteamDieselRegime());
}

void BM_Prepare_HotWater(benchmark::State& state) {
    const engine::CalcInputs inputs = HotWaterRegime();
    for (auto _ : state) {
        benchmark::DoNotOptimize(inputs);
        engine::Prepared p = engine::Prepare(inputs);
        benchmark::DoNotOptimize(p);
    }
}

}  // namespace

BENCHMARK(BM_CalculateRegime_HotWater);
BENCHMARK(BM_CalculateRegime_SteamDieselEconomiser);
BENCHMARK(BM_CheckAndCalculate_HotWater);
BENCHMARK(BM_CheckAndCalculate_SteamDieselEconomiser);
BENCHMARK(BM_CalculatePrepared_HotWater);
BENCHMARK(BM_CalculatePrepared_SteamDieselEconomiser);
BENCHMARK(BM_Prepare_HotWater);

BENCHMARK_MAIN();
