// What users wait for with large objects: listing and sorting 1,000 regimes, listing 10,000
// object folders, recalculating 1,000 regimes; each next to the cost of only reading and
// writing the same files.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "store/objectstore.h"
#include "app/startup.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"

namespace {

constexpr int kRegimes = 1000;
constexpr int kObjects = 10000;

// One object with 1,000 complete hot-water regimes, written once for all benchmarks.
struct BigObject {
    QTemporaryDir dir;
    app::AppState s;
    BigObject() {
        app::SetFolders(s, dir.path());
        QDir().mkpath(s.objectsFolder);
        const QString folder = core::JoinPath(s.objectsFolder, "Big");
        QDir().mkpath(folder);
        QStringList g(object::kGeneralCount);
        g[object::BoilerType] = object::kHotWaterBoiler;
        g[object::Q5Mode] = object::kQ5AtAllLoads;
        g[object::FuelType] = object::kNaturalGas;
        g[object::HeatOutputUnit] = QStringLiteral("кВт");
        g[object::CalorificValue] = "8000";
        g[object::Co2Max] = "11.8";
        g[object::Economiser] = object::kWithoutEconomiser;
        g[object::NominalOutput] = "1200";
        g[object::Q5Nominal] = "2";
        g[object::OwnNeedsLoss] = "1";
        object::WriteGeneralData(folder, g);
        QStringList u = object::DefaultUnits();
        object::WriteUnits(folder, u);
        s.setCurrentObject("Big");
        s.general = g;
        s.units = u;
        for (int n = 1; n <= kRegimes; ++n) {
            std::array<float, 43> in{};
            in[0] = 40.0f + static_cast<float>((n * 37) % 100);
            in[11] = 50; in[12] = 9.5f; in[13] = 3.5f; in[14] = 40; in[15] = 2;
            in[17] = 150; in[18] = 20; in[22] = 70; in[23] = 90; in[41] = 30;
            QStringList lines;
            for (float v : in) lines.append(core::StoredForm(v));
            const QString name = regime::RegimeFileName(n);
            core::WriteTextLines(core::JoinPath(folder, name), lines);
            QStringList res(26, "0");
            res[0] = QString::number((n * 37) % 110);
            core::WriteTextLines(core::JoinPath(folder, regime::kResultsPrefix + name), res);
        }
        regime::WriteCounter(folder, regime::kLastNumberFile, kRegimes, true);
        regime::WriteCounter(folder, regime::kCountFile, kRegimes, true);
    }
};

BigObject& Big() {
    static BigObject big;
    return big;
}

void BM_FillAndSortRegimeList(benchmark::State& st) {
    auto& b = Big();
    for (auto _ : st) {
        const QString w = regime::FillRegimeList(b.s);
        benchmark::DoNotOptimize(w);
    }
    st.counters["regimes"] = static_cast<double>(b.s.regimeList.rows.size());
}
BENCHMARK(BM_FillAndSortRegimeList)->Unit(benchmark::kMillisecond);

// The floor: list the regime files and read every results file, nothing else.
void BM_FloorListAndReadResults(benchmark::State& st) {
    auto& b = Big();
    for (auto _ : st) {
        QStringList files;
        core::ListFiles(b.s.currentObjectFolder, regime::kRegimePattern, files);
        for (const QString& f : files) {
            QStringList lines;
            core::ReadTextLines(core::JoinPath(b.s.currentObjectFolder, regime::kResultsPrefix + f), lines);
            benchmark::DoNotOptimize(lines);
        }
    }
}
BENCHMARK(BM_FloorListAndReadResults)->Unit(benchmark::kMillisecond);

void BM_SortRegimeList(benchmark::State& st) {
    auto& b = Big();
    regime::FillRegimeList(b.s);
    for (auto _ : st) {
        const QString w = regime::SortRegimeList(b.s);
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(BM_SortRegimeList)->Unit(benchmark::kMicrosecond);

void BM_RecalculateAllRegimes(benchmark::State& st) {
    auto& b = Big();
    regime::FillRegimeList(b.s);
    for (auto _ : st) {
        const auto r = regime::RecalculateAllRegimes(b.s);
        benchmark::DoNotOptimize(r.calculated);
    }
}
BENCHMARK(BM_RecalculateAllRegimes)->Unit(benchmark::kMillisecond);

// The floor of a recalculation: read each regime and results file, write each results file.
void BM_FloorReadAndWriteRegimes(benchmark::State& st) {
    auto& b = Big();
    regime::FillRegimeList(b.s);
    for (auto _ : st) {
        for (const auto& row : b.s.regimeList.rows) {
            QStringList in, res;
            const QString folder = b.s.currentObjectFolder;
            core::ReadTextLines(core::JoinPath(folder, row.key), in);
            core::ReadTextLines(core::JoinPath(folder, regime::kResultsPrefix + row.key), res);
            core::WriteTextLines(core::JoinPath(folder, regime::kResultsPrefix + row.key), res);
        }
    }
}
BENCHMARK(BM_FloorReadAndWriteRegimes)->Unit(benchmark::kMillisecond);

struct ManyObjects {
    QTemporaryDir dir;
    app::AppState s;
    ManyObjects() {
        app::SetFolders(s, dir.path());
        QDir().mkpath(s.objectsFolder);
        for (int i = 0; i < kObjects; ++i)
            QDir().mkdir(core::JoinPath(s.objectsFolder, QStringLiteral("Котельная %1").arg(i)));
    }
};

ManyObjects& Many() {
    static ManyObjects m;
    return m;
}

void BM_FillObjectList(benchmark::State& st) {
    auto& m = Many();
    for (auto _ : st) {
        const auto l = store::FillObjectList(m.s);
        benchmark::DoNotOptimize(l.names.size());
    }
}
BENCHMARK(BM_FillObjectList)->Unit(benchmark::kMillisecond);

void BM_FillObjectListFiltered(benchmark::State& st) {
    auto& m = Many();
    m.s.filterActive = true;
    m.s.filterText = QStringLiteral("ная 99");
    for (auto _ : st) {
        const auto l = store::FillObjectList(m.s);
        benchmark::DoNotOptimize(l.names.size());
    }
    m.s.filterActive = false;
}
BENCHMARK(BM_FillObjectListFiltered)->Unit(benchmark::kMillisecond);

// The floor: the bare directory listing.
void BM_FloorListFolders(benchmark::State& st) {
    auto& m = Many();
    for (auto _ : st) {
        const QStringList l = QDir(m.s.objectsFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
        benchmark::DoNotOptimize(l.size());
    }
}
BENCHMARK(BM_FloorListFolders)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
