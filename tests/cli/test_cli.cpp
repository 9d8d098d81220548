#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

#include "core/names.h"
#include "core/textfile.h"
#include "support/clirun.h"
#include "support/testdirs.h"

using testing_support::ReadBytes;
using testing_support::WriteBytes;

using testing_support::Cli;
using testing_support::CliRun;
using testing_support::CopyDemo;
using testing_support::Snapshot;

TEST(Cli, ObjectsAndRegimesOfTheDemo) {
    CliRun r = Cli({"objects", KALVARO_SOURCE_DIR "/demo"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Котельная школы №3\t6")));
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("Все объекты, всего : 3\n")));
    r = Cli({"objects", KALVARO_SOURCE_DIR "/demo", QStringLiteral("ВОДОГРЕЙ")});
    EXPECT_TRUE(r.out.contains(QStringLiteral("Объекты по фильтру, всего : 1")));
    r = Cli({"regimes", QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты/Котельная школы №3")});
    ASSERT_EQ(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.last(), QStringLiteral("Всего:  6"));
    double previous = -1;
    for (int i = 0; i < 6; ++i) {
        const double load = lines[i].section('\t', 1).toDouble();
        EXPECT_GE(load, previous);
        previous = load;
    }
}

TEST(Cli, ErrorsGiveNonZeroExit) {
    EXPECT_NE(Cli({"objects", "/nonexistent"}).code, 0);
    EXPECT_NE(Cli({"regimes", "/nonexistent"}).code, 0);
    EXPECT_NE(Cli({"recalc", "/nonexistent"}).code, 0);
    EXPECT_NE(Cli({"bogus"}).code, 0);
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath("notobject"));
    const CliRun r = Cli({"regimes", dir.filePath("notobject")});
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(r.err.isEmpty());
}

TEST(Cli, RecalcIsStableAndMatchesTheDemo) {
    QTemporaryDir dir;
    const QString objects = CopyDemo(dir);
    const auto before = Snapshot(objects);
    QStringList args = {"recalc"};
    for (const QString& o : QDir(objects).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) args.append(core::JoinPath(objects, o));
    CliRun r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 4, не прошли проверку данных: 0, ошибок чтения: 0, ошибок записи: 0")));
    // the demo was written by the program itself, so recalculation changes no byte
    EXPECT_EQ(Snapshot(objects), before);
    r = Cli(args);
    EXPECT_EQ(Snapshot(objects), before);
}

TEST(Cli, RecalcSkipsARegimeWithoutGasData) {
    QTemporaryDir dir;
    const QString objects = CopyDemo(dir);
    const QString obj = core::JoinPath(objects, QStringLiteral("Котельная школы №3"));
    const QString regime = core::JoinPath(obj, QStringLiteral("Режим №  2.Dat"));
    QByteArray bytes = ReadBytes(regime);
    bytes.replace(0, bytes.indexOf("\r\n"), "0");  // gas flow 0
    testing_support::WriteBytes(regime, bytes);
    const QByteArray storedResults = ReadBytes(core::JoinPath(obj, QStringLiteral("РасчетРежим №  2.Dat")));
    const CliRun r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 3);  // done, but a regime failed its data check
    EXPECT_TRUE(r.out.contains(QStringLiteral("Режим №  2.Dat\tНет данных по газу")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 5, не прошли проверку данных: 1")));
    EXPECT_EQ(ReadBytes(core::JoinPath(obj, QStringLiteral("РасчетРежим №  2.Dat"))), storedResults);
}

TEST(Cli, CalcPrintsWithoutWriting) {
    QTemporaryDir dir;
    const QString objects = CopyDemo(dir);
    const QString obj = core::JoinPath(objects, QStringLiteral("Котельная школы №3"));
    const auto before = Snapshot(objects);
    const CliRun r = Cli({"calc", obj, QStringLiteral("режим №  3.dat")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 26);
    // the printed values are those stored by the last calculation
    const QStringList stored = QString::fromLatin1(ReadBytes(core::JoinPath(obj, QStringLiteral("РасчетРежим №  3.Dat"))))
                                   .split("\r\n", Qt::SkipEmptyParts);
    // each computed slot adds its "± U"; slots the regime does not write (1, 2, 13, 19, 25) do not
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(lines[i].section('\t', 0, 1), QString::number(i) + '\t' + stored[i]);
        const bool written = !QList<int>({1, 2, 13, 19, 25}).contains(i);
        EXPECT_EQ(lines[i].section('\t', 2).startsWith(QStringLiteral("± ")), written) << i;
    }
    // the caption of the results table's row after the number, the value and the U
    EXPECT_EQ(lines[4].section('\t', 3), QStringLiteral("КПД обр, %")) << lines[4].toStdString();
    EXPECT_EQ(lines[18].section('\t', 3), QStringLiteral("NOx, мг/м3")) << lines[18].toStdString();
    EXPECT_EQ(lines[1].count('\t'), 1);  // a slot without a row has no caption
    EXPECT_EQ(Snapshot(objects), before);
}

TEST(Cli, DemoCommandWritesTheCommittedDemo) {
    QTemporaryDir dir;
    ASSERT_EQ(Cli({"demo", dir.path()}).code, 0);
    EXPECT_EQ(Snapshot(core::JoinPath(dir.path(), QStringLiteral("Все объекты"))),
              Snapshot(QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты")));
    // a complete program folder: the template is a real folder, the shipped one
    const QString demoTemplate = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Template");
    EXPECT_FALSE(QFileInfo(demoTemplate).isSymLink());
    const auto written = Snapshot(core::JoinPath(dir.path(), "Template"));
    EXPECT_EQ(written.size(), 7);
    EXPECT_EQ(written, Snapshot(demoTemplate));
    EXPECT_EQ(written, Snapshot(QStringLiteral(KALVARO_SOURCE_DIR "/template")));
    EXPECT_TRUE(QFileInfo(core::JoinPath(dir.path(), "Template/Ediny.txt")).isWritable());
}

TEST(Cli, DemoCommandKeepsATemplateFileTheUserChanged) {
    QTemporaryDir dir;
    const QString tmpl = core::JoinPath(dir.path(), "Template");
    QDir().mkdir(tmpl);
    WriteBytes(core::JoinPath(tmpl, QStringLiteral("Сотрудники.txt")), "\"Иванов И.И.\"\r\n");
    ASSERT_EQ(Cli({"demo", dir.path()}).code, 0);
    EXPECT_EQ(ReadBytes(core::JoinPath(tmpl, QStringLiteral("Сотрудники.txt"))), "\"Иванов И.И.\"\r\n");
    EXPECT_EQ(ReadBytes(core::JoinPath(tmpl, QStringLiteral("Ediny.txt"))),
              ReadBytes(QStringLiteral(KALVARO_SOURCE_DIR "/template/Ediny.txt")));
    // a folder that cannot take the template fails the command
    QTemporaryDir blocked;
    WriteBytes(core::JoinPath(blocked.path(), "Template"), "not a folder");
    EXPECT_NE(Cli({"demo", blocked.path()}).code, 0);
}

TEST(Cli, GraphAsWorkbookAndPicture) {
    QTemporaryDir dir;
    const QString obj = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты/Молокозавод, паровая котельная");
    const QString xlsx = dir.filePath("g.xlsx"), png = dir.filePath("g.png");
    const CliRun r = Cli({"graph", obj, "R4 R16", "--xlsx", xlsx, "--png", png});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "4 points\n");
    EXPECT_TRUE(ReadBytes(xlsx).startsWith("PK"));
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    // the curve's blue points are drawn
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) blue += image.pixelColor(x, y) == QColor(0, 0, 255);
    EXPECT_GT(blue, 4);
    // a key outside the object's catalogue is refused with the catalogue listed
    const CliRun bad = Cli({"graph", obj, "R12 R3", "--png", png});
    EXPECT_NE(bad.code, 0);
    EXPECT_TRUE(bad.err.contains("R4 R16"));
    EXPECT_NE(Cli({"graph", obj, "R4 R16"}).code, 0);  // neither output asked for
}

// The verdicts of `calc --json` at the boundaries of the rule, against limits written into
// the program's list; a damaged list is a file error; `report` prints them per regime.
TEST(Cli, VerdictsFollowTheLimitsInCalcAndReport) {
    QTemporaryDir dir;
    const QString objects = CopyDemo(dir);
    const QString obj = core::JoinPath(objects, QStringLiteral("Котельная школы №3"));
    const QString regime = QStringLiteral("Режим №  1.Dat");
    auto calc = [&] {
        const CliRun r = Cli({"calc", obj, regime, "--json"});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).object();
    };
    QJsonObject o = calc();
    const double nox = o["slots"].toArray()[18].toDouble();
    const double u = std::round(o["u95"].toArray()[18].toDouble() * 10) / 10;  // as shown, one decimal
    ASSERT_GT(u, 0);
    const QJsonObject defaults = o["verdicts"].toObject();
    EXPECT_TRUE(defaults["CO"].isNull());  // no CO limit by default
    EXPECT_EQ(defaults["NOx"].toString(), nox - u > 125    ? QStringLiteral("превышение")
                                          : nox + u <= 125 ? QStringLiteral("соответствует")
                                                           : QStringLiteral("в пределах погрешности"));

    const QString templ = core::JoinPath(dir.path(), QStringLiteral("Template"));
    QDir().mkpath(templ);
    const QString list = core::JoinPath(templ, QStringLiteral("Нормы выбросов.txt"));
    auto writeLimit = [&](double limit) {
        const QString text = QStringLiteral(
                                 "\"Набор\";\"Топливо\";\"Вещество\";\"Предел, мг/м3\";\"Документ\";"
                                 "\"Мощность от, МВт\";\"Мощность до, МВт\"\r\n"
                                 "\"Общие\";\"Природный газ\";\"NOx\";\"%1\";\"Разрешение\";\"\";\"\"\r\n")
                                 .arg(QString::number(limit, 'f', 1));
        WriteBytes(list, core::EncodeCp1251(text));
    };
    const struct {
        double limit;
        const char* verdict;
    } cases[] = {
        {nox + u, "соответствует"},                 // value + U on the limit
        {nox + u - 0.1, "в пределах погрешности"},  // value + U just above it
        {nox - u, "в пределах погрешности"},        // value − U on it: not above
        {nox - u - 0.1, "превышение"},              // value − U just above it
    };
    for (const auto& c : cases) {
        writeLimit(c.limit);
        EXPECT_EQ(calc()["verdicts"].toObject()["NOx"].toString(), QString::fromUtf8(c.verdict)) << c.limit;
    }
    // the report's line of each regime carries both verdicts
    CliRun r = Cli({"report", obj});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString line = r.out.split('\n').filter(QStringLiteral("Режим № 1\t")).value(0);
    EXPECT_TRUE(line.contains(QStringLiteral(", CO: предел не задан, NOx: превышение"))) << r.out.toStdString();

    // a damaged list: a file error naming it, no verdicts made up from the defaults
    WriteBytes(list, "\"Общие\";\"Природный газ\"\r\n");
    r = Cli({"calc", obj, regime, "--json"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(list)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}
