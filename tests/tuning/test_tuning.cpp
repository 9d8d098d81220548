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

tuning::TunePoint Point(int number, double load, double o2, double q23, double co = 0, double q5 = 2) {
    tuning::TunePoint p;
    p.number = number;
    p.file = QStringLiteral("Режим №  %1.Dat").arg(number);
    p.load = load;
    p.o2 = o2;
    p.alpha = 21 / (21 - o2);
    p.q23 = q23;
    p.eta = 100 - q5 - q23;
    p.co = co;
    return p;
}

// One step of experiments at these O2 with q2 + q3 and CO given by functions of O2.
template <typename Q, typename C>
QList<tuning::TunePoint> Step(std::initializer_list<double> o2s, Q q23, C co, double load = 70) {
    QList<tuning::TunePoint> pts;
    int n = 1;
    for (double o2 : o2s) pts.append(Point(n++, load, o2, q23(o2), co(o2)));
    return pts;
}

// Constructed experiments of a known answer (ceiling 270 mg/m3, margin 0.5 % O2).
TEST(Tuning, TheSetPointOnExperimentsOfAKnownAnswer) {
    auto smooth = [](double o2) { return 5.6 + 0.3 * (o2 - 3.0) * (o2 - 3.0); };
    // a smooth minimum at 3.0 % with CO far below the ceiling: the minimum itself
    auto low = [](double o2) { return 5000 * std::exp(-1.5 * o2); };  // 249 mg/m3 at 2 %, 6 at 4.5 %
    auto steps = tuning::FindSteps(Step({2.0, 2.4, 3.5, 4.5}, smooth, low));
    ASSERT_EQ(steps.size(), 1);
    auto s = steps[0];
    ASSERT_TRUE(s.enough && s.parabola && s.coFit);
    EXPECT_NEAR(s.o2Fit, 3.0, 1e-9);
    EXPECT_NEAR(s.o2Rich, 2.0, 1e-12);  // CO never reaches the ceiling: the lowest O2 measured
    EXPECT_NEAR(s.o2Set, 3.0, 1e-9);
    EXPECT_NEAR(s.q23AtSet, 5.6, 1e-9);
    EXPECT_NEAR(s.etaAtSet, 100 - 2 - 5.6, 1e-9);
    EXPECT_NEAR(s.coAtSet, low(3.0), 1e-6 * low(3.0));  // the exponential fits exactly
    EXPECT_TRUE(s.warnings.isEmpty()) << s.warnings.join(';').toStdString();
    EXPECT_EQ(s.points[s.recommended].o2, 3.5);  // the measured regime nearest to 3.0
    // against the worst regime (4.5 %) without one marked as found
    const double worst = 100 - 2 - smooth(4.5);
    EXPECT_EQ(s.points[s.baseline].o2, 4.5);
    EXPECT_NEAR(s.gainEta, s.etaAtSet - worst, 1e-9);
    EXPECT_NEAR(s.gainFuel, 14280 / worst - 14280 / s.etaAtSet, 1e-9);
    EXPECT_EQ(tuning::StepTableRow(s).mid(0, 3), QStringList({"70", "1, 2, 3, 4", "3.0"}));

    // a CO wall: the same losses, CO rising steeply below 2 %; the ceiling is met at
    // (ln 20000 − ln 270) / 2.5 = 1.722 % and the set point is 0.5 above it
    auto wall = [](double o2) { return 20000 * std::exp(-2.5 * o2); };
    auto early = [](double o2) { return 5.6 + 0.3 * (o2 - 2.0) * (o2 - 2.0); };
    tuning::TuneSettings settings;
    settings.asFound = {QStringLiteral("Режим №  5.Dat")};
    s = tuning::FindSteps(Step({1.5, 2.0, 2.5, 3.0, 3.5}, early, wall), settings)[0];
    const double rich = (std::log(20000.0) - std::log(270.0)) / 2.5;
    EXPECT_NEAR(s.o2Rich, rich, 1e-9);
    EXPECT_NEAR(s.o2Set, rich + 0.5, 1e-9);
    EXPECT_LT(s.coAtSet, 270);
    EXPECT_EQ(s.points[s.recommended].o2, 2.0);
    // the gain against the regime marked as found (3.5 %), not the worst
    EXPECT_EQ(s.asFound, 4);
    EXPECT_EQ(s.baseline, 4);
    EXPECT_EQ(tuning::StepTableRow(s)[12], QStringLiteral("исходного № 5"));
    // a lower ceiling moves the set point up; a wider margin too
    settings.ceiling = 100;
    settings.margin = 0.3;
    const double rich100 = (std::log(20000.0) - std::log(100.0)) / 2.5;
    EXPECT_NEAR(tuning::FindSteps(Step({1.5, 2.0, 2.5, 3.0, 3.5}, early, wall), settings)[0].o2Set, rich100 + 0.3,
                1e-9);

    // noisy points around the smooth case: the set point stays near 3.0
    QList<tuning::TunePoint> noisy = Step({2.0, 2.5, 3.0, 3.5, 4.0, 4.5}, smooth, low);
    const double noise[] = {0.04, -0.03, 0.05, -0.05, 0.02, -0.04};
    for (int i = 0; i < noisy.size(); ++i) noisy[i].q23 += noise[i];
    EXPECT_NEAR(tuning::FindSteps(noisy)[0].o2Set, 3.0, 0.15);

    // two settings: no parabola, the better of the two raised to the lowest O2 measured plus
    // the margin (no experiment shows CO below it), and "мало опытов"
    s = tuning::FindSteps(Step({2.5, 3.5}, smooth, low))[0];
    EXPECT_FALSE(s.enough);
    ASSERT_TRUE(s.hasSetPoint());
    EXPECT_NEAR(s.o2Set, 3.0, 1e-9);
    EXPECT_TRUE(s.warnings.contains(tuning::kTooFew));
    // one setting: no set point at all
    EXPECT_FALSE(tuning::FindSteps(Step({3.0}, smooth, low))[0].hasSetPoint());

    // the minimum below the measured range: held to its lowest O2 (then the margin), and the
    // engineer told where to measure
    s = tuning::FindSteps(Step(
        {2.5, 3.0, 3.5, 4.0}, [](double o2) { return 5 + 0.4 * (o2 - 1.5) * (o2 - 1.5); }, low))[0];
    EXPECT_NEAR(s.o2Fit, 2.5, 1e-9);
    EXPECT_NEAR(s.o2Set, 3.0, 1e-9);
    EXPECT_TRUE(s.warnings.contains(QStringLiteral("минимум на границе опытов: добавьте опыт при O2 ниже 2,5 %")))
        << s.warnings.join(';').toStdString();

    // a parabola that opens downward: the measured regime with the least losses
    s = tuning::FindSteps(Step(
        {2.0, 3.0, 4.0}, [](double o2) { return 7 - 0.2 * (o2 - 3) * (o2 - 3); }, low))[0];
    EXPECT_FALSE(s.parabola);
    EXPECT_NEAR(s.o2Fit, 2.0, 1e-9);  // 6.8 at 2 and at 4 %: the first
    EXPECT_NEAR(s.o2Set, 2.5, 1e-9);
    EXPECT_TRUE(s.warnings.contains(QStringLiteral("минимум не найден")));

    // every experiment above the ceiling: the leanest one, and said so
    s = tuning::FindSteps(Step({2.0, 3.0, 4.0}, smooth, [](double o2) { return 2000 - 100 * o2; }))[0];
    EXPECT_NEAR(s.o2Set, 4.0, 1e-9);
    EXPECT_TRUE(s.warnings.contains(QStringLiteral("все опыты выше предела CO")));

    // load steps: a new one when a load exceeds the step's first by more than 5 points
    QList<tuning::TunePoint> two = Step({2.0, 3.0, 4.0}, smooth, low, 73);
    two += Step({2.0, 3.0, 4.0}, smooth, low, 78.5);
    steps = tuning::FindSteps(two);
    ASSERT_EQ(steps.size(), 2);
    EXPECT_EQ(steps[1].load, 78.5);
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
        if (s[u"o2_set"].isNull()) {
            EXPECT_LT(s[u"regimes"].toArray().size(), 2);
            continue;
        }
        ++filled;
        // the set point with its band inside the measured range, above the rich limit
        const double set = s[u"o2_set"].toDouble(), band = s[u"o2_set_u95"].toDouble();
        EXPECT_GT(set, 1.0);
        EXPECT_LT(set, 8.0);
        EXPECT_GT(band, 0.0);
        EXPECT_LT(band, 1.5);
        EXPECT_GE(set + 1e-9, s[u"o2_rich_limit"].toDouble());
        EXPECT_LT(s[u"co_at_set"].toDouble(), s[u"co_ceiling"].toDouble());
        EXPECT_GT(s[u"alpha_set"].toDouble(), 1.0);
        EXPECT_GE(s[u"regimes"].toArray().size(), 3);
        EXPECT_TRUE(s[u"regimes"].toArray().contains(s[u"recommended"]));
        EXPECT_GT(s[u"eta_at_set"].toDouble(), 80);
        const QJsonObject gain = s[u"gain"].toObject();
        EXPECT_GT(gain[u"u95"].toDouble(), 0.0);
        EXPECT_FALSE(gain[u"as_found"].toBool());
        EXPECT_TRUE(s[u"warnings"].isArray());
        EXPECT_FALSE(s[u"alpha_opt"].isNull());  // the earlier form's keys stay
    }
    EXPECT_EQ(filled, 1);
    r = Cli({QStringLiteral("tune"), school});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(tuning::kTooFew));
    EXPECT_TRUE(r.out.contains(QStringLiteral("O2 уставка, %")));

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
