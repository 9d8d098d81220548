// The technical report of a 1,000-regime object: the card's model, the document, its PDF and
// its ODT, next to the card's model alone.

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "app/startup.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "report/reportmodel.h"
#include "report/techreport.h"
#include "store/objectstore.h"

namespace {

constexpr int kRegimes = 1000;

// One object of 1,000 calculated hot-water regimes at ten loads and four air settings.
struct BigObject {
    QTemporaryDir dir;
    app::AppState s;
    BigObject() {
        app::SetFolders(s, dir.path());
        QDir().mkpath(s.templateFolder);
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
        object::WriteUnits(folder, object::DefaultUnits());
        s.setCurrentObject("Big");
        for (int n = 1; n <= kRegimes; ++n) {
            std::array<float, 43> in{};
            in[0] = 30.0f + 10.0f * static_cast<float>(n % 10);
            in[13] = 2.0f + 0.5f * static_cast<float>(n % 4);
            in[12] = static_cast<float>(11.8 * (21 - in[13]) / 21);
            in[11] = 400.0f / in[13];
            in[14] = 40;
            in[15] = 2;
            in[17] = 150;
            in[18] = 20;
            in[22] = 70;
            in[23] = 90;
            in[41] = 30;
            QStringList lines;
            for (float v : in) lines.append(core::StoredForm(v));
            core::WriteTextLines(core::JoinPath(folder, regime::RegimeFileName(n)), lines);
        }
        regime::WriteCounter(folder, regime::kLastNumberFile, kRegimes, true);
        regime::WriteCounter(folder, regime::kCountFile, kRegimes, true);
        QString error;
        if (!store::LoadObjectData(s, &error)) qFatal("%s", qPrintable(error));
        regime::FillRegimeList(s);
        for (auto& row : s.regimeList.rows) row.ticked = true;
        report::ReportModel m;
        // calculates and stores every regime once
        if (report::PrepareReport(s, m, QDate(2026, 12, 9)).status != report::CardStatus::Built) qFatal("no card");
    }
};

BigObject& Big() {
    static BigObject big;
    return big;
}

void BM_CardModel(benchmark::State& st) {
    auto& b = Big();
    for (auto _ : st) {
        report::ReportModel m;
        benchmark::DoNotOptimize(report::PrepareReport(b.s, m, QDate(2026, 12, 9)));
    }
}
BENCHMARK(BM_CardModel)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TechReportOdtAndPdf(benchmark::State& st) {
    auto& b = Big();
    for (auto _ : st) {
        report::ReportModel m;
        report::PrepareReport(b.s, m, QDate(2026, 12, 9));
        report::TextDoc doc;
        report::BuildTechReport(b.s, m, doc);
        const report::DocFiles files = report::RenderDoc(doc);
        benchmark::DoNotOptimize(files.odt.size() + files.pdf.size());
        st.counters["blocks"] = static_cast<double>(doc.blocks.size());
        st.counters["regimes"] = static_cast<double>(m.regimes.size());
    }
}
BENCHMARK(BM_TechReportOdtAndPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
