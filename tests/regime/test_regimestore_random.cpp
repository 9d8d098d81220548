// Random sequences of regime-store operations (new, delete, save, load, sort, recalculate),
// some with a write failing part-way, checked after every step against a plain in-memory
// model of what the object must hold: the counters agree with the files, no results file
// outlives its regime, numbers are never reused, every file reads, and a failed operation
// changes nothing it did not report.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <map>
#include <random>

#include "store/objectstore.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "support/testdirs.h"

using namespace regime;

namespace {

// What the object holds, kept without any file.
struct Model {
    int last = 0;                                        // highest number ever given
    std::map<int, std::array<float, app::kInputCount>> inputs;  // by regime number
};

// Test homes in memory where there is one: each step fsyncs several files.
struct MemoryTemp {
    QByteArray old = qgetenv("TMPDIR");
    MemoryTemp() {
        if (QDir(QStringLiteral("/dev/shm")).exists()) qputenv("TMPDIR", "/dev/shm");
    }
    ~MemoryTemp() {
        if (old.isEmpty()) qunsetenv("TMPDIR");
        else qputenv("TMPDIR", old);
    }
};

// Fails the n-th step of atomic writes from now on (1 = the next step) with ENOSPC.
struct FailingStep {
    explicit FailingStep(int n) {
        auto left = std::make_shared<int>(n);
        core::SetWriteFaultHook([left](const char*) { return --*left == 0 ? ENOSPC : 0; });
    }
    ~FailingStep() { core::SetWriteFaultHook({}); }
};

int NumberOf(const QString& regimeFile) {
    const QString digits = regimeFile.mid(QStringLiteral("Режим №").size()).chopped(4).trimmed();
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : -1;
}

std::array<float, app::kInputCount> PlausibleInputs(std::mt19937& rng) {
    std::uniform_int_distribution<int> pct(100, 1000);
    std::array<float, app::kInputCount> in{};
    in[0] = static_cast<float>(pct(rng)) / 10.0f;  // load
    in[11] = static_cast<float>(pct(rng)) / 10.0f;
    in[12] = 9.5f;
    in[13] = static_cast<float>(std::uniform_int_distribution<int>(10, 90)(rng)) / 10.0f;
    in[14] = 40;
    in[15] = 2;
    in[17] = static_cast<float>(std::uniform_int_distribution<int>(1000, 2500)(rng)) / 10.0f;
    in[18] = 20;
    in[22] = 70;
    in[23] = 90;
    in[41] = 30;
    return in;
}

class RandomSequences : public ::testing::Test {
protected:
    MemoryTemp memory;
    testing_support::TestHome home;
    app::AppState s;
    QString folder;
    Model model;

    QString file(const QString& name) const { return core::JoinPath(folder, name); }

    void startObject(int seq) {
        home.apply(s);
        const QString name = QStringLiteral("Объект %1").arg(seq);
        folder = home.makeObject(name, testing_support::HotWaterGasGeneral(name));
        s.setCurrentObject(name);
        QString error;
        ASSERT_TRUE(store::LoadObjectData(s, &error)) << error.toStdString();
        ASSERT_TRUE(ReadRegimeCounters(s));
        model = Model{};
    }

    // Every invariant of the object's files against the model.
    void checkFiles(const std::string& where) {
        SCOPED_TRACE(where);
        QStringList all;
        ASSERT_TRUE(core::ListFiles(folder, QStringLiteral("*"), all));
        std::map<int, bool> regimes, results;
        for (const QString& f : all) {
            if (f.startsWith(QStringLiteral(".")) && f.endsWith(QStringLiteral(".tmp")))
                FAIL() << "temporary file left: " << f.toStdString();
            if (f.startsWith(kResultsPrefix)) results[NumberOf(f.mid(kResultsPrefix.size()))] = true;
            else if (f.startsWith(QStringLiteral("Режим"))) regimes[NumberOf(f)] = true;
        }
        ASSERT_EQ(regimes.size(), model.inputs.size());
        for (const auto& [n, in] : model.inputs) {
            ASSERT_TRUE(regimes.count(n)) << "regime " << n << " is missing";
            std::array<float, app::kInputCount> stored{};
            QString error;
            ASSERT_TRUE(core::ReadNumberFile(file(RegimeFileName(n)), stored.data(), app::kInputCount, &error))
                << error.toStdString();
            EXPECT_EQ(stored, in) << "regime " << n;
            std::array<float, app::kResultCount> res{};
            ASSERT_TRUE(core::ReadNumberFile(file(kResultsPrefix + RegimeFileName(n)), res.data(),
                                             app::kResultCount, &error))
                << error.toStdString();
        }
        for (const auto& [n, present] : results) EXPECT_TRUE(regimes.count(n)) << "results of a deleted regime " << n;
        int last = -1, count = -1;
        ASSERT_TRUE(ReadCounter(folder, kLastNumberFile, last));
        ASSERT_TRUE(ReadCounter(folder, kCountFile, count));
        EXPECT_EQ(count, static_cast<int>(model.inputs.size()));
        EXPECT_EQ(last, model.last);
        EXPECT_EQ(s.lastRegimeNumber, model.last);
        if (!model.inputs.empty()) {
            EXPECT_GE(last, model.inputs.rbegin()->first);
        }
    }

    void checkList() {
        ASSERT_EQ(s.regimeList.rows.size(), static_cast<qsizetype>(model.inputs.size()));
        double previous = -1e30;
        bool unticked = false;
        for (const auto& row : s.regimeList.rows) {
            EXPECT_TRUE(model.inputs.count(NumberOf(row.key))) << row.key.toStdString();
            if (!row.ticked) {
                unticked = true;
                continue;
            }
            EXPECT_FALSE(unticked) << "a sorted row after an unsorted one";
            const double load = core::ParseNumber(row.load);
            EXPECT_GE(load, previous);
            previous = load;
        }
    }

    int randomExisting(std::mt19937& rng) {
        auto it = model.inputs.begin();
        std::advance(it, std::uniform_int_distribution<int>(0, static_cast<int>(model.inputs.size()) - 1)(rng));
        return it->first;
    }
};

TEST_F(RandomSequences, StoreKeepsItsInvariantsUnderEveryOperation) {
    int failedWrites = 0, calculated = 0;
    for (int seq = 1; seq <= 2000; ++seq) {
        std::mt19937 rng(static_cast<unsigned>(seq));
        startObject(seq);
        for (int step = 0; step < 12; ++step) {
            const std::string where = "sequence " + std::to_string(seq) + ", step " + std::to_string(step);
            // one step in six has a write fail at one of its first steps
            const bool fault = std::uniform_int_distribution<int>(0, 5)(rng) == 0;
            const int failAt = std::uniform_int_distribution<int>(1, 12)(rng);
            const int op = model.inputs.empty() ? 0 : std::uniform_int_distribution<int>(0, 5)(rng);
            std::unique_ptr<FailingStep> failing;
            if (fault) failing = std::make_unique<FailingStep>(failAt);
            QString error;
            switch (op) {
            case 0: {  // new regime, from the current inputs
                const auto before = s.inputs;
                if (NewRegime(s, &error)) {
                    ++model.last;
                    auto in = before;
                    in[0] = in[7] = 0.0f;
                    model.inputs[model.last] = in;
                    EXPECT_EQ(s.currentRegimeFile, RegimeFileName(model.last)) << where;
                } else {
                    ++failedWrites;
                    EXPECT_TRUE(fault) << where << ": " << error.toStdString();
                    EXPECT_FALSE(error.isEmpty());
                    // a number whose counter was written stays taken, so it is never given twice
                    int last = 0;
                    ASSERT_TRUE(ReadCounter(folder, kLastNumberFile, last));
                    model.last = last;
                }
                break;
            }
            case 1: {  // delete a regime
                const int n = randomExisting(rng);
                s.setCurrentRegime(RegimeFileName(n));
                if (DeleteRegimeFiles(s, &error)) model.inputs.erase(n);
                else {
                    ++failedWrites;
                    EXPECT_TRUE(fault) << where << ": " << error.toStdString();
                }
                FillRegimeList(s);
                break;
            }
            case 2: {  // save typed inputs, now and then one that cannot be stored
                const int n = randomExisting(rng);
                s.setCurrentRegime(RegimeFileName(n));
                const auto in = PlausibleInputs(rng);
                QStringList texts;
                for (float v : in) texts.append(core::EditorForm(v));
                const bool overflow = std::uniform_int_distribution<int>(0, 9)(rng) == 0;
                if (overflow) texts[17] = QStringLiteral("1e39");
                if (SaveRegimeInputs(s, texts, &error)) {
                    EXPECT_FALSE(overflow) << where;
                    model.inputs[n] = in;
                } else {
                    if (!overflow) ++failedWrites;
                    EXPECT_TRUE(fault || overflow) << where << ": " << error.toStdString();
                }
                break;
            }
            case 3: {  // load a regime into the editor
                const int n = randomExisting(rng);
                s.setCurrentRegime(RegimeFileName(n));
                ASSERT_TRUE(LoadRegimeInputs(s, nullptr, &error)) << where << ": " << error.toStdString();
                EXPECT_EQ(s.inputs, model.inputs[n]) << where;
                break;
            }
            case 4:  // list and sort
                EXPECT_TRUE(FillRegimeList(s).isEmpty()) << where;
                checkList();
                break;
            case 5: {  // recalculate everything
                FillRegimeList(s);
                const RecalcReport r = RecalculateAllRegimes(s);
                EXPECT_EQ(r.calculated + r.skipped + r.failed, static_cast<int>(model.inputs.size())) << where;
                if (!fault) {
                    EXPECT_EQ(r.failed, 0) << where;
                }
                failedWrites += r.failed;
                calculated += r.calculated;
                // a calculated regime's row shows the load its results file holds
                for (const auto& row : s.regimeList.rows) {
                    if (!row.ticked) continue;
                    std::array<float, app::kResultCount> res{};
                    ASSERT_TRUE(core::ReadNumberFile(file(kResultsPrefix + row.key), res.data(), app::kResultCount));
                    EXPECT_EQ(row.load, core::StoredForm(res[0])) << where;
                }
                break;
            }
            }
            failing.reset();
            checkFiles(where);
            if (HasFatalFailure() || HasFailure()) return;
        }
        QDir(folder).removeRecursively();
    }
    // the sequences did reach the interesting cases
    EXPECT_GT(failedWrites, 50);
    EXPECT_GT(calculated, 100);
}

}  // namespace
