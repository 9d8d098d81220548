// Readings of text tables into regimes: each form the exports take, written by the test
// itself, detected, grouped and written, and the regimes checked against the file's numbers.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

#include "core/names.h"
#include "core/textfile.h"
#include "import/importmodel.h"
#include "import/texttable.h"
#include "regime/regimestore.h"
#include "regime/repeatability.h"
#include "support/clirun.h"
#include "support/testdirs.h"

using namespace importer;
using testing_support::Cli;
using testing_support::ReadBytes;
using testing_support::Snapshot;
using testing_support::WriteBytes;

namespace {

double Mean(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); }
double SampleSd(const std::vector<double>& v) {
    const double m = Mean(v);
    double s = 0;
    for (double x : v) s += (x - m) * (x - m);
    return std::sqrt(s / (v.size() - 1));
}

// An object of a gas-fired hot-water boiler with one measured regime.
class ImportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder = home.makeObject(QStringLiteral("Котельная"), testing_support::HotWaterGasGeneral(QStringLiteral("Котельная")));
        app::AppState s;
        home.apply(s);
        s.setCurrentObject(QStringLiteral("Котельная"));
        ASSERT_TRUE(regime::ReadRegimeCounters(s));
        ASSERT_TRUE(regime::NewRegime(s));
        ASSERT_TRUE(regime::SaveRegimeInputs(s, testing_support::MeasuredGasRegimeFields()));
        first = s.currentRegimeFile;
    }
    void load(app::AppState& s) { ASSERT_TRUE(regime::LoadObjectFolder(s, folder)); }
    std::array<float, 43> inputs(const QString& file) const {
        std::array<float, 43> v{};
        EXPECT_TRUE(core::ReadNumberFile(core::JoinPath(folder, file), v.data(), 43)) << file.toStdString();
        return v;
    }
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = core::JoinPath(dir.path(), name);
        WriteBytes(path, bytes);
        return path;
    }
    QStringList regimeFiles() const {
        return QDir(folder).entryList({QStringLiteral("Режим №*")}, QDir::Files, QDir::Name);
    }

    testing_support::TestHome home;
    QTemporaryDir dir;
    QString folder, first;
};

constexpr double kMgPerPpmCo = 28.0 * 766.0 / 17033.634;

}  // namespace

// ";" with decimal commas in Windows-1251 after a device's two-line heading, grouped by the
// measurement number into the existing regime and a new one, with units converted.
TEST_F(ImportFixture, SemicolonCommaWindows1251GroupedByMeasurementNumber) {
    const QString text = QStringLiteral(
        "Testo 330-2 LL\r\nПротокол измерений 09.12.2026\r\n"
        "Время;Изм.;O2 [%];CO [мг/м3];NO ppm;T газа;Тяга [Па];Tвозд\r\n"
        "09.12.2026 10:15:30;1.1;3,2;50;30;142,5;-12;21,3\r\n"
        "09.12.2026 10:16:30;1.2;3,4;60;32;143,1;-14;21,5\r\n"
        "09.12.2026 10:17:30;1.3;3,3;55;31;142,8;-13;21,4\r\n"
        "\r\n"
        "09.12.2026 10:40:00;2.1;5,1;20;40;160,0;-20;21,9\r\n"
        "09.12.2026 10:41:00;2.2;5,3;24;42;161,0;-22;22,1\r\n");
    const QString path = write(QStringLiteral("testo.csv"), core::EncodeCp1251(text));
    Table t;
    QString error;
    ASSERT_TRUE(LoadTable(path, t, &error)) << error.toStdString();
    EXPECT_EQ(t.format.encoding, Encoding::Cp1251);
    EXPECT_EQ(t.format.separator, Separator::Semicolon);
    EXPECT_EQ(t.format.skipLines, 2);
    EXPECT_TRUE(t.format.header);
    ASSERT_EQ(t.columns(), 8);
    EXPECT_EQ(t.names[5], QStringLiteral("T газа"));
    EXPECT_EQ(t.kinds[0], ColumnKind::DateTime);
    EXPECT_EQ(t.format.decimalComma, (QList<bool>{false, false, true, false, false, true, false, true}));
    ASSERT_EQ(t.rows.size(), 5);
    EXPECT_EQ(t.rows[3].line, 8);  // the blank line counts

    app::AppState s;
    load(s);
    QStringList notes;
    const Mapping m = ProposeMapping(t, s.units, &notes);
    auto target = [&](int column) {
        for (const ColumnMap& c : m)
            if (c.column == column) return std::make_pair(c.field, c.unit);
        return std::make_pair(-1, QString());
    };
    EXPECT_EQ(target(2), std::make_pair(13, QStringLiteral("%")));
    EXPECT_EQ(target(3), std::make_pair(11, QStringLiteral("мг/м3")));
    EXPECT_EQ(target(4), std::make_pair(14, QStringLiteral("ppm")));
    EXPECT_EQ(target(5), std::make_pair(17, QString()));
    EXPECT_EQ(target(6), std::make_pair(6, QStringLiteral("Па")));
    EXPECT_EQ(target(7), std::make_pair(18, QString()));
    EXPECT_EQ(target(1).first, -1);
    EXPECT_TRUE(notes.join('\n').contains(QStringLiteral("«T газа» → Температура уходящих газов: единица не указана в заголовке, взята единица объекта «оС»")))
        << notes.join('\n').toStdString();

    Grouping g;
    ASSERT_TRUE(ParseGrouping(QStringLiteral("column:2"), t, g, &error));
    const ImportPlan plan = BuildPlan(t, m, g, s.units, s.general);
    EXPECT_TRUE(plan.bad.isEmpty());
    ASSERT_EQ(plan.groups.size(), 2);
    EXPECT_EQ(plan.groups[0].key, QStringLiteral("1"));
    EXPECT_EQ(plan.groups[1].lines, (QList<int>{8, 9}));
    const FieldValue* o2 = plan.groups[0].value(13);
    ASSERT_TRUE(o2);
    EXPECT_EQ(o2->count, 3);
    EXPECT_NEAR(o2->spread, SampleSd({3.2, 3.4, 3.3}), 0.001);
    EXPECT_EQ(SummaryText(1, 1), QStringLiteral("будет создан 1 режим, заполнено 1"));
    EXPECT_EQ(SummaryText(4, 1), QStringLiteral("будет создано 4 режима, заполнено 1"));
    EXPECT_EQ(SummaryText(12, 0), QStringLiteral("будет создано 12 режимов, заполнено 0"));

    const WriteOutcome w = WritePlan(s, plan, {first, QString()}, first);
    ASSERT_TRUE(w.ok) << w.error.toStdString();
    ASSERT_EQ(w.regimes.size(), 2);
    EXPECT_FALSE(w.regimes[0].created);
    EXPECT_TRUE(w.regimes[0].checkMessage.isEmpty()) << w.regimes[0].checkMessage.toStdString();
    EXPECT_TRUE(w.regimes[1].created);
    EXPECT_EQ(regimeFiles().size(), 2);
    const auto filled = inputs(first);
    const auto fresh = inputs(w.regimes[1].file);
    const QStringList measured = testing_support::MeasuredGasRegimeFields();
    EXPECT_FLOAT_EQ(filled[13], 3.3f);
    EXPECT_FLOAT_EQ(filled[17], static_cast<float>(Mean({142.5, 143.1, 142.8})));
    EXPECT_FLOAT_EQ(filled[18], 21.4f);
    EXPECT_FLOAT_EQ(filled[14], 31.0f);
    EXPECT_NEAR(filled[11], 55.0 / kMgPerPpmCo, 0.05);  // mg/m3 into the object's ppm
    EXPECT_FLOAT_EQ(filled[6], -0.13f);                 // Pa into the object's mbar
    EXPECT_FLOAT_EQ(filled[0], measured[0].toFloat());  // not in the file: kept
    EXPECT_FLOAT_EQ(filled[12], measured[12].toFloat());
    EXPECT_FLOAT_EQ(fresh[13], 5.2f);
    EXPECT_FLOAT_EQ(fresh[6], -0.21f);
    EXPECT_FLOAT_EQ(fresh[3], measured[3].toFloat());  // a new regime starts as a copy of the base
    EXPECT_FLOAT_EQ(fresh[0], 0.0f);                    // ... without its fuel flow, as an added regime does
    EXPECT_FALSE(w.regimes[1].checkMessage.isEmpty());
    // the filled regime was calculated from its new values
    std::array<float, 26> results{};
    ASSERT_TRUE(core::ReadNumberFile(core::JoinPath(folder, regime::kResultsPrefix + first), results.data(), 26));
    EXPECT_GT(results[4], 50.0f);
}

// "," with points in UTF-8 with a byte-order mark, one regime per row, through the command
// line: a dry run writes nothing, the run writes three regimes.
TEST_F(ImportFixture, CommaPointUtf8BomOneRegimePerRowThroughTheCommandLine) {
    QByteArray bytes = "\xEF\xBB\xBF";
    bytes += QStringLiteral(
                 "Дата,Время,\"O2, %\",CO2 [%],\"CO [ppm]\",Tух,Т возд,Расход газа\n"
                 "2026-12-09,10:15,3.5,9.83,40,150.5,20.5,45\n"
                 "2026-12-09,10:30,4.0,9.55,35,155.0,21.0,50\n"
                 "2026-12-09,10:45,4.5,9.27,30,160.5,21.5,55\n")
                 .toUtf8();
    const QString path = write(QStringLiteral("sheet.csv"), bytes);
    const auto before = Snapshot(folder);
    auto r = Cli({QStringLiteral("import"), folder, path, QStringLiteral("--dry-run"), QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(Snapshot(folder), before);
    const QJsonObject j = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonObject f = j["format"].toObject();
    EXPECT_EQ(f["encoding"].toString(), QStringLiteral("UTF-8"));
    EXPECT_TRUE(f["bom"].toBool());
    EXPECT_EQ(f["separator"].toString(), QStringLiteral("«,»"));
    EXPECT_EQ(f["skippedLines"].toInt(), 0);
    EXPECT_TRUE(f["decimalCommaColumns"].toArray().isEmpty());
    const QJsonArray columns = j["columns"].toArray();
    ASSERT_EQ(columns.size(), 8);
    EXPECT_EQ(columns[0].toObject()["kind"].toString(), QStringLiteral("дата"));
    EXPECT_EQ(columns[1].toObject()["kind"].toString(), QStringLiteral("время"));
    EXPECT_EQ(columns[2].toObject()["name"].toString(), QStringLiteral("O2, %"));
    const int fields[] = {-1, -1, 13, 12, 11, 17, 18, 0};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(columns[c].toObject()["field"].toInt(-1), fields[c]) << c;
    EXPECT_TRUE(columns[7].toObject()["unitFromObject"].toBool());
    EXPECT_EQ(j["groups"].toArray().size(), 3);
    EXPECT_EQ(j["summary"].toString(), QStringLiteral("будет создано 3 режима, заполнено 0"));
    EXPECT_TRUE(j["written"].toArray().isEmpty());

    r = Cli({QStringLiteral("import"), folder, path});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("будет создано 3 режима, заполнено 0")));
    EXPECT_EQ(r.out.count(QStringLiteral("Создан: ")), 3);
    const QStringList files = regimeFiles();
    ASSERT_EQ(files.size(), 4);
    const double rows[3][6] = {{3.5, 9.83, 40, 150.5, 20.5, 45}, {4.0, 9.55, 35, 155.0, 21.0, 50}, {4.5, 9.27, 30, 160.5, 21.5, 55}};
    for (int i = 0; i < 3; ++i) {
        const auto v = inputs(regime::RegimeFileName(i + 2));
        const int at[6] = {13, 12, 11, 17, 18, 0};
        for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(v[at[k]], static_cast<float>(rows[i][k])) << i << " " << at[k];
    }
    // every new regime was calculated and is in the sorted list
    app::AppState s;
    load(s);
    EXPECT_EQ(s.regimeList.rows.size(), 4);
    for (const app::RegimeRow& row : s.regimeList.rows)
        if (row.key != first) EXPECT_GT(row.load.toDouble(), 0.0) << row.key.toStdString();
}

// Tab-separated with times alone and a pause: groups by the gap, with a profile kept in the
// template folder that gives the next file its mapping and grouping.
TEST_F(ImportFixture, TabSeparatedTimesGroupedByAGapAndKeptAsAProfile) {
    const QString text = QStringLiteral(
        "Время\tO2\tCO\tCO2\tTгаза\tГаз\n"
        "10:00:00\t3.0\t10\t10.1\t140\t40\n"
        "10:01:00\t3.2\t12\t10.0\t141\t40\n"
        "10:02:00\t3.4\t14\t9.9\t142\t40\n"
        "10:30:00\t5.0\t30\t9.0\t160\t60\n"
        "10:31:30\t5.2\t34\t8.9\t162\t60\n");
    const QString path = write(QStringLiteral("tab.txt"), text.toUtf8());
    Table t;
    QString error;
    ASSERT_TRUE(LoadTable(path, t, &error)) << error.toStdString();
    EXPECT_EQ(t.format.separator, Separator::Tab);
    EXPECT_EQ(t.kinds[0], ColumnKind::Time);
    app::AppState s;
    load(s);
    QStringList notes;
    Mapping m = ProposeMapping(t, s.units, &notes);
    EXPECT_EQ(m.size(), 4);
    EXPECT_TRUE(notes.join('\n').contains(QStringLiteral("столбец 6 «Газ» не сопоставлен")));
    m.append({5, 0, QStringLiteral("ст.м3/час")});  // the user maps the gas meter column
    Grouping g;
    ASSERT_TRUE(ParseGrouping(QStringLiteral("gap:10"), t, g, &error));
    const ImportPlan plan = BuildPlan(t, m, g, s.units, s.general);
    ASSERT_EQ(plan.groups.size(), 2);
    EXPECT_EQ(plan.groups[0].key, QStringLiteral("10:00:00"));
    EXPECT_EQ(plan.groups[0].value(11)->count, 3);
    EXPECT_DOUBLE_EQ(plan.groups[0].value(11)->mean, 12.0);
    EXPECT_EQ(plan.groups[1].value(13)->count, 2);
    EXPECT_DOUBLE_EQ(plan.groups[1].value(13)->mean, 5.1);
    EXPECT_NEAR(plan.groups[1].value(11)->spread, SampleSd({30, 34}), 0.01);
    ASSERT_TRUE(SaveProfile(s.templateFolder, MakeProfile(QStringLiteral("Testo 330"), t, m, g), &error)) << error.toStdString();
    EXPECT_EQ(ProfileNames(s.templateFolder), QStringList{QStringLiteral("Testo 330")});
    EXPECT_TRUE(ReadBytes(core::JoinPath(s.templateFolder, ProfileFileName(QStringLiteral("Testo 330")))).contains("\r\n"));
    EXPECT_FALSE(SaveProfile(s.templateFolder, MakeProfile(QStringLiteral("../x"), t, m, g), &error));

    // the next day's file: the same device, the profile decides everything
    const auto r = Cli({QStringLiteral("import"), folder, path, QStringLiteral("--profile"), QStringLiteral("Testo 330"),
                        QStringLiteral("--into"), first});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("группировка: gap:10"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("будет создан 1 режим, заполнено 1")));
    const auto filled = inputs(first);
    EXPECT_FLOAT_EQ(filled[13], 3.2f);
    EXPECT_FLOAT_EQ(filled[0], 40.0f);
    EXPECT_FLOAT_EQ(inputs(regime::RegimeFileName(2))[0], 60.0f);
    // the group's spread goes with the regime it filled, for the uncertainty
    engine::Repeatability spread;
    ASSERT_TRUE(regime::ReadRepeatability(folder, first, filled, spread));
    EXPECT_EQ(spread.count[13], 3);
    EXPECT_NEAR(spread.sigma[13], SampleSd({3.0, 3.2, 3.4}), 1e-4);

    // a profile line the reader does not know is a read error naming the file and the line
    const QString profile = core::JoinPath(s.templateFolder, ProfileFileName(QStringLiteral("Testo 330")));
    WriteBytes(profile, ReadBytes(profile) + "colour=red\r\n");
    const auto bad = Cli({QStringLiteral("import"), folder, path, QStringLiteral("--profile"), QStringLiteral("Testo 330")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(profile)) << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains(QStringLiteral("«colour=red»"))) << bad.err.toStdString();
}

// Rows that cannot be stored are listed with their lines and reasons and left out; files
// that are no table are refused naming them, and the object stays as it was.
TEST_F(ImportFixture, BadRowsAreListedAndLeftOutAndNonTablesAreRefused) {
    const QString path = write(QStringLiteral("bad.csv"), QByteArray("O2;CO;T газа;Расход газа\r\n"
                                                                     "3,5;40;150;45\r\n"
                                                                     "---;40;150;45\r\n"
                                                                     "25;40;150;45\r\n"
                                                                     ";;;\r\n"
                                                                     "4,5;30;160;50\r\n"
                                                                     "3,9;abc;155;45\r\n"));
    const auto r = Cli({QStringLiteral("import"), folder, path, QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject j = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray bad = j["badRows"].toArray();
    ASSERT_EQ(bad.size(), 4);
    const int lines[] = {3, 4, 5, 7};
    const char* reasons[] = {"«---» не число", "вне пределов от 0 до 21", "нет ни одного значения", "«abc» не число"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bad[i].toObject()["line"].toInt(), lines[i]);
        EXPECT_TRUE(bad[i].toObject()["reason"].toString().contains(QString::fromUtf8(reasons[i])))
            << bad[i].toObject()["reason"].toString().toStdString();
    }
    EXPECT_EQ(j["written"].toArray().size(), 2);
    EXPECT_FLOAT_EQ(inputs(regime::RegimeFileName(2))[13], 3.5f);
    EXPECT_FLOAT_EQ(inputs(regime::RegimeFileName(3))[13], 4.5f);
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(folder, regime::RegimeFileName(4))));

    const auto before = Snapshot(folder);
    QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    binary += QByteArray(200, '\0');
    const QString big = core::JoinPath(dir.path(), QStringLiteral("big.csv"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("O2;CO\r\n3;4\r\n");
        ASSERT_TRUE(f.resize(kMaxImportFileSize + 1));
    }
    const std::pair<QString, QString> refused[] = {
        {write(QStringLiteral("empty.csv"), "\r\n  \r\n"), QStringLiteral("файл пуст")},
        {write(QStringLiteral("picture.csv"), binary), QStringLiteral("двоичный файл")},
        {big, QStringLiteral("больше 16 МБ")},
        {write(QStringLiteral("words.txt"), "just some words\r\nand more of them\r\n"), QStringLiteral("это не таблица")},
        {dir.path(), QStringLiteral("папка")},
    };
    for (const auto& [file, why] : refused) {
        const auto x = Cli({QStringLiteral("import"), folder, file});
        EXPECT_EQ(x.code, 1) << file.toStdString();
        EXPECT_TRUE(x.err.contains(file) && x.err.contains(why)) << x.err.toStdString();
    }
    EXPECT_EQ(Cli({QStringLiteral("import"), folder, path, QStringLiteral("--group"), QStringLiteral("column:9")}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("import"), folder, path, QStringLiteral("--into"), QStringLiteral("Режим №  77.Dat")}).code, 1);
    EXPECT_EQ(Snapshot(folder), before);
}

// A write that fails half-way takes back what the import had written.
TEST_F(ImportFixture, AFailedWriteTakesBackTheRegimesOfTheImport) {
    Table t;
    QString error;
    const QString path = write(QStringLiteral("two.csv"), "O2;CO\r\n3,1;20\r\n4,1;30\r\n5,1;40\r\n");
    ASSERT_TRUE(LoadTable(path, t, &error));
    app::AppState s;
    load(s);
    const ImportPlan plan = BuildPlan(t, ProposeMapping(t, s.units), Grouping{}, s.units, s.general);
    ASSERT_EQ(plan.groups.size(), 3);
    const QByteArray firstBefore = ReadBytes(core::JoinPath(folder, first));
    int renames = 0;
    core::SetWriteFaultHook([&](const char* step) { return std::string_view(step) == "rename" && ++renames == 9 ? 28 : 0; });
    const WriteOutcome w = WritePlan(s, plan, {first, QString(), QString()}, first);
    core::SetWriteFaultHook({});
    ASSERT_FALSE(w.ok);
    EXPECT_TRUE(w.regimes.isEmpty());
    EXPECT_TRUE(w.error.contains(QStringLiteral("нет места"))) << w.error.toStdString();
    EXPECT_EQ(regimeFiles(), QStringList{first});
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, first)), firstBefore);
    EXPECT_EQ(s.regimeList.rows.size(), 1);
    // refused before any write: a regime chosen twice
    EXPECT_FALSE(WritePlan(s, plan, {first, first, QString()}).ok);
    EXPECT_EQ(regimeFiles(), QStringList{first});
}
