// The kept files of an object, its template and the program folder: damaged ones are named
// by every command that reads them, outputs never land on them, and a recalculation stops
// when the object disappears under it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "analyser/portsettings.h"
#include "analyser/reading.h"
#include "app/objectlock.h"
#include "app/startup.h"
#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"
#include "docs/documents.h"
#include "docs/safetymap.h"
#include "object/generaldata.h"
#include "object/reflists.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "report/carddata.h"
#include "results/instrumentlimits.h"
#include "support/clirun.h"
#include "support/testdirs.h"
#include "tools/flamehead.h"

using testing_support::Cli;
using testing_support::CliRun;
using testing_support::ReadBytes;
using testing_support::Snapshot;
using testing_support::WriteBytes;

namespace {

const QString kSchool = QStringLiteral("Котельная школы №3");
const QString kRegime2 = QStringLiteral("Режим №  2.Dat");

class KeptFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString objects = testing_support::CopyDemo(dir);
    QString obj = core::JoinPath(objects, kSchool);
    QString templ = core::JoinPath(dir.path(), QStringLiteral("Template"));
    void SetUp() override {
        QDir().mkpath(templ);
        for (const QString& f : QDir(QStringLiteral(KALVARO_SOURCE_DIR "/demo/Template")).entryList(QDir::Files))
            QFile::copy(QStringLiteral(KALVARO_SOURCE_DIR "/demo/Template/") + f, core::JoinPath(templ, f));
    }
    QString file(const QString& name) const { return core::JoinPath(obj, name); }
    // replaces line `line` (1-based) of a data file
    void setLine(const QString& name, int line, const QByteArray& text) {
        QList<QByteArray> lines = ReadBytes(file(name)).split('\n');
        lines[line - 1] = text + '\r';
        WriteBytes(file(name), lines.join('\n'));
    }
};

}  // namespace

TEST(FileTable, EveryFileTheProgramKeepsHasOneKindAndEveryKindIsStrict) {
    // the names the readers use are the table's
    const QStringList names = {object::kGeneralFile,
                               object::kUnitsFile,
                               regime::kLastNumberFile,
                               regime::kCountFile,
                               regime::RegimeFileName(7),
                               regime::kResultsPrefix + regime::RegimeFileName(7),
                               regime::Q5FileName(regime::RegimeFileName(7)),
                               tools::kPlgFile,
                               docs::kSafetyMapFile,
                               docs::kSafetyMapRowsFile,
                               report::kCardFile,
                               docs::kCommentFile,
                               app::kLockFileName,
                               analyser::ReadingLogName(regime::RegimeFileName(7)),
                               object::kEmployeesFile,
                               object::kSensorsFile,
                               results::kLimitsFile,
                               analyser::kSettingsFile};
    QSet<QString> ids;
    for (const QString& n : names) {
        const core::FileKind* k = core::KindOfName(n.toUpper());
        ASSERT_NE(k, nullptr) << n.toStdString();
        ids.insert(k->id);
    }
    EXPECT_EQ(ids.size(), names.size());  // no two files share a kind by accident
    // the template's shipped files are kept as well
    for (const QString& n : app::TemplateFileNames()) EXPECT_NE(core::KindOfName(n), nullptr) << n.toStdString();

    // a fixed-shape kind: count, quotes, number lines, encoding, a cut last line
    const core::FileKind& general = core::Kind(QStringLiteral("general"));
    QStringList good;
    for (int i = 0; i < 19; ++i)
        good.append(QStringLiteral("\"%1\"").arg(i == 16 ? QStringLiteral("1 160,5") : QString()));
    good[16] = QStringLiteral("\" 1160,5 \"");
    auto bytesOf = [](const QStringList& lines) {
        return core::EncodeCp1251(lines.join(QStringLiteral("\r\n")) + "\r\n");
    };
    QStringList values;
    QString why;
    ASSERT_TRUE(core::CheckKindBytes(general, bytesOf(good), values, &why)) << why.toStdString();
    EXPECT_EQ(values.value(16), QStringLiteral(" 1160,5 "));  // values come out as stored
    struct Bad {
        QByteArray bytes;
        const char* says;
    };
    QStringList twelveX = good, twenty = good, unquoted = good, cut = good;
    twelveX[16] = QStringLiteral("\"12x\"");
    twenty.append(QStringLiteral("\"\""));
    unquoted[3] = QStringLiteral("на всех нагр.");
    cut[18] = QStringLiteral("\"1");
    for (const Bad& b :
         {Bad{bytesOf(twelveX), "строка 17: «12x» — не число"}, Bad{bytesOf(twenty), "в файле 20 строк, нужно 19"},
          Bad{bytesOf(unquoted), "строка 4: значение не в кавычках"},
          Bad{bytesOf(cut), "строка 19: нет закрывающей кавычки"},
          Bad{bytesOf(good).chopped(2), "строка 19 не закончена: файл обрезан"},
          Bad{bytesOf(good).insert(5, '\0'), "двоичный байт 0x00"},
          Bad{QStringLiteral("\"Иванов\"\r\n").toUtf8().repeated(19), "в кодировке UTF-8"}}) {
        EXPECT_FALSE(core::CheckKindBytes(general, b.bytes, values, &why)) << b.says;
        EXPECT_TRUE(why.contains(QString::fromUtf8(b.says))) << why.toStdString();
        EXPECT_TRUE(values.isEmpty());
    }
    // the stored number lines: one number, wholly, or a read error naming the line
    float v[3];
    for (const char* bad : {"5..", "1,2,3", "12x", "1e", ""}) {
        const QByteArray bytes = QByteArray("1\r\n") + bad + "\r\n3\r\n";
        EXPECT_FALSE(core::ParseNumberLines(bytes, v, 3, &why)) << bad;
        EXPECT_TRUE(why.startsWith(QStringLiteral("строка 2"))) << why.toStdString();
    }
    ASSERT_TRUE(core::ParseNumberLines(" 1.5E-05\r\n-2 \r\n3\r\n", v, 3, &why)) << why.toStdString();
    EXPECT_FLOAT_EQ(v[0], 1.5e-05f);
    EXPECT_FLOAT_EQ(v[1], -2.0f);
}

TEST_F(KeptFiles, CommandsThatCalculateReadTheObjectTheSameWayAndNameWhatIsWrong) {
    const auto before = Snapshot(objects);
    // units cut to 30 lines: tune refuses as recalc does, and takes the template's on request
    const QByteArray units = ReadBytes(file("Ediny.txt"));
    WriteBytes(file("Ediny.txt"), units.left(units.lastIndexOf("\r\n", units.size() - 3) + 2));
    for (const QStringList& args :
         {QStringList{"tune", obj}, QStringList{"recalc", obj}, QStringList{"q5", obj, kRegime2}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(file("Ediny.txt") + QStringLiteral(": в файле 30 строк, нужно 31")))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--template-units"))) << r.err.toStdString();
    }
    CliRun r = Cli({"tune", obj, "--template-units"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Используются единицы по умолчанию"))) << r.err.toStdString();
    WriteBytes(file("Ediny.txt"), units);

    // an unknown unit of the nominal output: the data check fails naming unit and entry
    const QByteArray general = ReadBytes(file("OData.txt"));
    setLine("OData.txt", 7, core::EncodeCp1251(QStringLiteral("\"кВтт\"")));
    const QString unknown =
        QStringLiteral("Неизвестная единица измерения «кВтт» поля «Номинальная  тепловая мощность» общих данных");
    r = Cli({"calc", obj, kRegime2});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.contains(unknown)) << r.out.toStdString();
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.contains(unknown)) << r.out.toStdString();
    r = Cli({"regimes", obj});  // stored loads those units cannot give are blank, and say why
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(file(kRegime2) + QStringLiteral(": ") + unknown)) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Всего:  6"))) << r.out.toStdString();

    // a number entry that is not wholly a number, in every command that reads it
    setLine("OData.txt", 7, core::EncodeCp1251(QStringLiteral("\"кВт\"")));
    setLine("OData.txt", 17, "\"12x\"");
    for (const char* command : {"recalc", "report", "calc", "tune", "graph", "regimes"}) {
        QStringList args{command, obj};
        if (args[0] == u"calc") args << kRegime2;
        if (args[0] == u"graph")
            args << "R4 R3"
                 << "--png" << dir.filePath("g.png");
        r = Cli(args);
        EXPECT_EQ(r.code, 1) << command;
        EXPECT_TRUE(r.err.contains(file("OData.txt") + QStringLiteral(": строка 17: «12x» — не число")))
            << r.err.toStdString();
    }
    WriteBytes(file("OData.txt"), general);

    // the instrument limits: one line too many is refused by every command that uses them
    QStringList limits;
    for (int k = 0; k < 44; ++k) limits.append(QStringLiteral("0 1"));
    ASSERT_TRUE(core::WriteTextLines(core::JoinPath(templ, results::kLimitsFile), limits));
    for (const QStringList& args :
         {QStringList{"calc", obj, kRegime2}, QStringList{"tune", obj}, QStringList{"report", obj}}) {
        r = Cli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Погрешности приборов.txt: строка 44: «0 1» — ожидается «q5»")))
            << r.err.toStdString();
    }
    QFile::remove(core::JoinPath(templ, results::kLimitsFile));

    // a broken results file: q5's workbook would carry another regime's position
    const QString results3 = file(QStringLiteral("РасчетРежим №  3.Dat"));
    const QByteArray stored3 = ReadBytes(results3);
    WriteBytes(results3, stored3 + "0\r\n");
    r = Cli({"q5", obj, QStringLiteral("Режим №  3.Dat"), "--xlsx", dir.filePath("q5.xlsx")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("РасчетРежим №  3.Dat: в файле 27 строк, нужно 26")))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("q5.xlsx")));
    WriteBytes(results3, stored3);

    // a counter out of step with the folder: the list counts its regimes
    WriteBytes(file("Col_RAll.txt"), " 1\r\n");
    r = Cli({"regimes", obj});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Всего:  6"))) << r.out.toStdString();
    WriteBytes(file("Col_RAll.txt"), " 1\r\n 1\r\n");
    r = Cli({"objects", dir.path()});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(kSchool + QStringLiteral("\tОшибка чтения файла"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(file("Col_RAll.txt") + QStringLiteral(": в файле 2 строк, нужно 1")))
        << r.err.toStdString();
    WriteBytes(file("Col_RAll.txt"), " 6\r\n");

    // a lock file that cannot be read is named, and --force writes all the same
    for (const QByteArray& garbage : {QByteArray("\x01\x02garbage"), QByteArray()}) {
        WriteBytes(file(app::kLockFileName), garbage);
        r = Cli({"recalc", obj});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("файл блокировки не читается: ") + file(app::kLockFileName)))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--force"))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("процесс 0")));
    }
    EXPECT_EQ(Cli({"recalc", "--force", obj}).code, 0);
    EXPECT_FALSE(QFileInfo::exists(file(app::kLockFileName)));
    EXPECT_EQ(Snapshot(objects).keys(), before.keys());
}

TEST_F(KeptFiles, NoOutputLandsOnAFileTheProgramKeeps) {
    WriteBytes(file("BezVkl.txt"), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n");
    WriteBytes(file(QStringLiteral("Анализатор Режим 1.csv")), "log");
    WriteBytes(core::JoinPath(dir.path(), analyser::kSettingsFile), "[Port]\r\nPort=COM1\r\n");
    ASSERT_TRUE(results::WriteInstrumentLimits(templ, engine::DefaultInstrumentLimits()));
    const auto before = Snapshot(dir.path());
    const QString png = QStringLiteral("--png");
    for (const QStringList& args : {
             QStringList{"report", obj, "--pdf", file("Karta.txt")},
             QStringList{"report", obj, "--xlsx", file("bezvkl.TXT")},
             QStringList{"report", obj, "--pdf", file(QStringLiteral("Анализатор Режим 1.csv"))},
             QStringList{"report", obj, "--xlsx", core::JoinPath(templ, "EDINY.TXT")},
             QStringList{"report", obj, "--pdf", core::JoinPath(templ, object::kEmployeesFile)},
             QStringList{"report", obj, "--xlsx", core::JoinPath(dir.path(), "comport.ini")},
             QStringList{"graph", obj, "R4 R3", png, core::JoinPath(templ, results::kLimitsFile)},
             QStringList{"q5", obj, kRegime2, "--xlsx", file(".~lock.Kalvaro#")},
         }) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("он не будет перезаписан"))) << r.err.toStdString();
    }
    EXPECT_EQ(Snapshot(dir.path()), before);
    // beside them, a name of no kind is written as asked
    EXPECT_EQ(Cli({"graph", obj, "R4 R3", "--png", core::JoinPath(templ, "graph.png")}).code, 0);
}

TEST_F(KeptFiles, ARecalculationStopsWritingWhenTheObjectDisappears) {
    for (const bool wholeFolder : {false, true}) {
        app::AppState s;
        QString error;
        ASSERT_TRUE(regime::LoadObjectFolder(s, obj, &error)) << error.toStdString();
        QStringList results;
        for (const auto& row : s.regimeList.rows) results.append(file(regime::kResultsPrefix + row.key));
        for (const QString& r : results) QFile::remove(r);
        // gone after the second regime: the whole folder, or the third regime's file
        const QString third = s.regimeList.rows[2].key;
        const regime::RecalcReport report = regime::RecalculateAllRegimes(s, [&](int done, int) {
            if (done == 2) {
                if (wholeFolder) QDir(obj).removeRecursively();
                else QFile::remove(file(third));
            }
            return true;
        });
        EXPECT_EQ(report.calculated, 2);
        EXPECT_TRUE(report.stopped.contains(wholeFolder
                                                ? QStringLiteral("папка объекта удалена во время расчета")
                                                : third + QStringLiteral(": файл режима удален во время расчета")))
            << report.stopped.toStdString();
        int written = 0;
        for (const QString& r : results) written += QFileInfo::exists(r) ? 1 : 0;
        EXPECT_EQ(written, wholeFolder ? 0 : 2);  // nothing written after the loss
        if (!wholeFolder) {
            // the whole demo object again for the second round
            QDir(obj).removeRecursively();
            objects = testing_support::CopyDemo(dir);
        }
    }
}
