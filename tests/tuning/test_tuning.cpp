// The tuning assistant: load steps and their optimum on experiments with a known minimum,
// the instrument-limit list file, and the command line over the demo's school boiler house.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>

#include "core/names.h"
#include "core/textfile.h"
#include "support/clirun.h"
#include "tuning/tuning.h"

using namespace testing_support;

namespace {

tuning::TunePoint Point(int number, double load, double alpha, double q23, double co = 0, double q5 = 2) {
    tuning::TunePoint p;
    p.number = number;
    p.load = load;
    p.alpha = alpha;
    p.q23 = q23;
    p.eta = 100 - q5 - q23;
    p.co = co;
    return p;
}

TEST(Tuning, StepsAndTheirOptimumOnExperimentsWithAKnownMinimum) {
    // q2 + q3 = 5.6 + 20 (α − 1.15)²: the minimum is at α 1.15, O2 2.74 %
    auto q = [](double a) { return 5.6 + 20 * (a - 1.15) * (a - 1.15); };
    QList<tuning::TunePoint> pts{Point(7, 74, 1.30, q(1.30), 10), Point(3, 76, 1.05, q(1.05), 300),
                                 Point(5, 73, 1.10, q(1.10), 100), Point(6, 77.9, 1.20, q(1.20), 20),
                                 // a second step: 80 > 73 + 5; the parabola opens downward
                                 Point(1, 80, 1.10, 6.0), Point(2, 81, 1.20, 6.5), Point(4, 82, 1.30, 6.2),
                                 // a third with two settings only
                                 Point(8, 95, 1.1, 6), Point(9, 96, 1.2, 6.1)};
    const auto steps = tuning::FindSteps(pts);
    ASSERT_EQ(steps.size(), 3);
    const auto& s = steps[0];
    EXPECT_EQ(s.load, 73);
    EXPECT_EQ(s.numbers(), QList<int>({3, 5, 6, 7}));
    ASSERT_TRUE(s.enough && s.parabola);
    EXPECT_NEAR(s.alphaOpt, 1.15, 1e-9);
    EXPECT_NEAR(s.q23Opt, 5.6, 1e-9);
    EXPECT_NEAR(s.o2Opt, 21 * (1 - 1 / 1.15), 1e-9);
    EXPECT_NEAR(s.etaOpt, 100 - 2 - 5.6, 1e-9);
    EXPECT_NEAR(s.coOpt, 60, 1e-9);  // halfway between 100 (1.10) and 20 (1.20)
    const double worst = 100 - 2 - q(1.30);
    EXPECT_NEAR(s.gainEta, s.etaOpt - worst, 1e-9);
    EXPECT_NEAR(s.gainFuel, 14280 / worst - 14280 / s.etaOpt, 1e-9);
    EXPECT_GT(s.gainFuel, 0);
    EXPECT_EQ(s.points[s.recommended].number, 5);  // 1.10 and 1.20 are as near: the first
    EXPECT_EQ(tuning::StepTableRow(s),
              QStringList({"73", "3, 5, 6, 7", "1.15", "2.7", "5.60", "92.40", "60.0", "0.45", "0.76", "Режим № 5"}));

    const auto& d = steps[1];
    ASSERT_TRUE(d.enough);
    EXPECT_FALSE(d.parabola);
    EXPECT_DOUBLE_EQ(d.alphaOpt, 1.10);
    EXPECT_DOUBLE_EQ(d.q23Opt, 6.0);
    EXPECT_EQ(d.points[d.recommended].number, 1);

    EXPECT_FALSE(steps[2].enough);
    EXPECT_EQ(tuning::StepTableRow(steps[2]).mid(2, 1), QStringList({tuning::kTooFew}));

    // a vertex outside the measured range is held to its end
    QList<tuning::TunePoint> edge;
    for (double a : {1.2, 1.25, 1.3, 1.35}) edge.append(Point(1, 50, a, q(a)));
    const auto e = tuning::FindSteps(edge);
    ASSERT_EQ(e.size(), 1);
    EXPECT_DOUBLE_EQ(e[0].alphaOpt, 1.2);
    // three regimes but two settings of the stored two-decimal excess air: too few
    const auto same = tuning::FindSteps({Point(1, 50, 1.201, 6), Point(2, 50, 1.199, 6.1), Point(3, 51, 1.3, 6.4)});
    EXPECT_FALSE(same[0].enough);
}

TEST(Tuning, TheInstrumentLimitFileRoundTripsAndAWrongShapeIsRefused) {
    QTemporaryDir dir;
    engine::InstrumentLimits l;
    ASSERT_TRUE(results::ReadInstrumentLimits(dir.path(), l));  // no file: the defaults
    EXPECT_EQ(l[13].absolute, 0.2);
    EXPECT_EQ(l[11].percent, 5.0);
    l[13] = {0.1, 0.0};
    l[17] = {1.5, 0.5};
    QString error;
    ASSERT_TRUE(results::WriteInstrumentLimits(dir.path(), l, &error)) << error.toStdString();
    QByteArray bytes;
    ASSERT_TRUE(core::ReadDataFile(core::JoinPath(dir.path(), results::kLimitsFile), bytes));
    EXPECT_EQ(bytes.count("\r\n"), engine::kInputCount + 4);
    EXPECT_TRUE(bytes.contains("\r\n1.5 0.5\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\nq5 25\r\nCO2max 0.1\r\nPatm 2\r\nCO2fromO2 1\r\n"));
    engine::InstrumentLimits back;
    ASSERT_TRUE(results::ReadInstrumentLimits(dir.path(), back));
    EXPECT_DOUBLE_EQ(back[13].absolute, 0.1);
    EXPECT_EQ(back[17].percent, 0.5);
    EXPECT_EQ(back[0].percent, 2.0);
    // a file of 43 lines (an earlier version) keeps the defaults of the later four
    QByteArray earlier = bytes.left(bytes.indexOf("q5 "));
    core::WriteFileAtomic(core::JoinPath(dir.path(), results::kLimitsFile),
                          earlier.replace("\r\n2 0\r\n", "\r\n3 0\r\n"));
    ASSERT_TRUE(results::ReadInstrumentLimits(dir.path(), back));
    EXPECT_EQ(back[17].absolute, 1.5);
    EXPECT_TRUE(back.co2FromO2);
    EXPECT_EQ(back.q5Percent, 25.0);

    for (const QByteArray& broken : {QByteArray("0.2 0\r\n"), bytes.replace("1.5 0.5", "1.5"), bytes.replace("1.5\r\n", "-1 0\r\n")}) {
        core::WriteFileAtomic(core::JoinPath(dir.path(), results::kLimitsFile), broken);
        QString why;
        EXPECT_FALSE(results::ReadInstrumentLimits(dir.path(), back, &why));
        EXPECT_TRUE(why.contains(results::kLimitsFile)) << why.toStdString();
        EXPECT_EQ(back[13].absolute, 0.2);  // the defaults, never half a file
    }
}

TEST(Tuning, TheCommandLineTunesTheSchoolAndCalcPrintsTheUncertainty) {
    QTemporaryDir dir;
    const QString objects = CopyDemo(dir);
    const QString school = core::JoinPath(objects, QStringLiteral("Котельная школы №3"));
    CliRun r = Cli({QStringLiteral("tune"), school, QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray steps = QJsonDocument::fromJson(r.out.toUtf8()).object()[u"steps"].toArray();
    int filled = 0;
    for (const auto& v : steps) {
        const QJsonObject s = v.toObject();
        if (s[u"alpha_opt"].isNull()) {
            EXPECT_LT(s[u"regimes"].toArray().size(), 3);
            continue;
        }
        ++filled;
        const double a = s[u"alpha_opt"].toDouble();
        EXPECT_GT(a, 1.0);
        EXPECT_LT(a, 2.0);
        EXPECT_NEAR(s[u"o2_opt"].toDouble(), 21 * (1 - 1 / a), 1e-6);
        EXPECT_GE(s[u"regimes"].toArray().size(), 3);
        EXPECT_TRUE(s[u"regimes"].toArray().contains(s[u"recommended"]));
        EXPECT_GT(s[u"eta_opt"].toDouble(), 80);
    }
    EXPECT_EQ(filled, 1);
    r = Cli({QStringLiteral("tune"), school});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(tuning::kTooFew));
    EXPECT_TRUE(r.out.contains(QStringLiteral("α опт")));

    r = Cli({QStringLiteral("calc"), school, QStringLiteral("Режим №  3.Dat"), QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject calc = QJsonDocument::fromJson(r.out.toUtf8()).object();
    ASSERT_EQ(calc[u"slots"].toArray().size(), 26);
    const QJsonArray u95 = calc[u"u95"].toArray();
    ASSERT_EQ(u95.size(), 26);
    EXPECT_TRUE(u95[13].isNull());  // liquid fuel flow of a gas boiler
    EXPECT_GT(u95[4].toDouble(), 0.05);
    EXPECT_LT(u95[4].toDouble(), 2.0);
    r = Cli({QStringLiteral("calc"), school, QStringLiteral("Режим №  3.Dat")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("\t± "))) << r.out.toStdString();

    r = Cli({QStringLiteral("tune"), core::JoinPath(objects, QStringLiteral("нет такого"))});
    EXPECT_EQ(r.code, 1);
    r = Cli({QStringLiteral("tune")});
    EXPECT_EQ(r.code, 2);
}

}  // namespace
