// An analyser's day: a table of 10,000 readings (";" with decimal commas, Windows-1251,
// measurement numbers 1.1 .. 100.100) read, grouped into 100 regimes and written into a
// fresh object; beside it the reading and grouping alone, and the floor of writing and
// calculating the same 100 regimes without any table.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/startup.h"
#include "core/names.h"
#include "core/textfile.h"
#include "import/importmodel.h"
#include "import/texttable.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"

namespace {

constexpr int kGroups = 100, kPerGroup = 100;

QByteArray DayTable() {
    QString text = QStringLiteral("Testo 330-2 LL\r\nСерийный номер 01234567\r\n"
                                  "Время;Изм.;O2 [%];CO ppm;NO ppm;CO2 [%];T газа;Tвозд;Расход газа\r\n");
    for (int g = 1; g <= kGroups; ++g)
        for (int i = 1; i <= kPerGroup; ++i) {
            const int t = (g - 1) * kPerGroup + i;
            text += QStringLiteral("09.12.2026 %1:%2:%3;%4.%5;%6;%7;%8;%9;%10;21,4;%11\r\n")
                        .arg(8 + t / 3600, 2, 10, QChar(u'0'))
                        .arg(t / 60 % 60, 2, 10, QChar(u'0'))
                        .arg(t % 60, 2, 10, QChar(u'0'))
                        .arg(g)
                        .arg(i)
                        .arg(QString::number(3.0 + (t % 7) * 0.1, 'f', 1).replace(u'.', u','))
                        .arg(20 + t % 11)
                        .arg(30 + t % 5)
                        .arg(QString::number(10.0 - (t % 7) * 0.05, 'f', 2).replace(u'.', u','))
                        .arg(QString::number(140.0 + (t % 13) * 0.5, 'f', 1).replace(u'.', u','))
                        .arg(30 + g);
        }
    return core::EncodeCp1251(text);
}

// A hot-water object with one measured regime, in a folder of its own.
struct FreshObject {
    QTemporaryDir dir;
    app::AppState s;
    FreshObject() {
        app::SetFolders(s, dir.path());
        QDir().mkpath(s.objectsFolder);
        QDir().mkpath(s.templateFolder);
        const QString folder = core::JoinPath(s.objectsFolder, "Day");
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
        object::WriteGeneralData(folder, g);
        object::WriteUnits(folder, object::DefaultUnits());
        regime::WriteCounter(folder, regime::kLastNumberFile, 0, true);
        regime::WriteCounter(folder, regime::kCountFile, 0, true);
        regime::LoadObjectFolder(s, folder);
        regime::NewRegime(s);
        QStringList fields =
            QString("42 11 18 300 28 3.1 -0.2 0 0 0 0 40 8.15 6.5 30 2 -0.3 121 18 14.2 0 25 70 78.1 3.2 3 "
                    "0 0 0 0 0 0 25 0 0 0 0 0 0 0 0 38.9 0.671")
                .split(u' ');
        regime::SaveRegimeInputs(s, fields);
    }
};

void BM_ReadAndGroup10000Rows(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = core::JoinPath(dir.path(), "day.csv");
    core::WriteFileAtomic(path, DayTable());
    FreshObject o;
    for (auto _ : state) {
        importer::Table t;
        importer::LoadTable(path, t);
        importer::Grouping g{importer::GroupBy::Column, 1, 0};
        const importer::ImportPlan plan = importer::BuildPlan(t, importer::ProposeMapping(t, o.s.units), g, o.s.units, o.s.general);
        if (plan.groups.size() != kGroups) state.SkipWithError("wrong group count");
        benchmark::DoNotOptimize(plan);
    }
}
BENCHMARK(BM_ReadAndGroup10000Rows)->Unit(benchmark::kMillisecond);

void BM_Import10000RowsInto100Regimes(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = core::JoinPath(dir.path(), "day.csv");
    core::WriteFileAtomic(path, DayTable());
    for (auto _ : state) {
        state.PauseTiming();
        auto o = std::make_unique<FreshObject>();
        state.ResumeTiming();
        importer::Table t;
        importer::LoadTable(path, t);
        importer::Grouping g{importer::GroupBy::Column, 1, 0};
        const importer::ImportPlan plan = importer::BuildPlan(t, importer::ProposeMapping(t, o->s.units), g, o->s.units, o->s.general);
        const importer::WriteOutcome w = importer::WritePlan(o->s, plan, {});
        if (!w.ok || w.regimes.size() != kGroups || w.checkFailed() != 0) state.SkipWithError("import failed");
        state.PauseTiming();
        o.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Import10000RowsInto100Regimes)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: 100 regimes created, saved and calculated by the regime routines alone.
void BM_Floor100RegimesWrittenAndCalculated(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto o = std::make_unique<FreshObject>();
        QStringList fields;
        regime::LoadRegimeInputs(o->s, &fields);
        state.ResumeTiming();
        for (int i = 0; i < kGroups; ++i) {
            regime::NewRegime(o->s);
            fields[0] = QString::number(31 + i);
            regime::SaveRegimeInputs(o->s, fields);
            regime::CalculateCurrentRegime(o->s);
        }
        regime::SortRegimeList(o->s);
        state.PauseTiming();
        o.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Floor100RegimesWrittenAndCalculated)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
