// The command-line tool on malformed object files and wrong paths: nothing wrong is stored
// or printed as a success, and nothing is written where it does not belong.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/objectlock.h"
#include "core/names.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/generalranges.h"
#include "support/clirun.h"
#include "support/testdirs.h"

using testing_support::Cli;
using testing_support::CliRun;
using testing_support::CopyDemo;
using testing_support::ReadBytes;
using testing_support::Snapshot;
using testing_support::WriteBytes;

namespace {

const QString kSchool = QStringLiteral("Котельная школы №3");
const QString kDairy = QStringLiteral("Молокозавод, паровая котельная");
const QString kRegime2 = QStringLiteral("Режим №  2.Dat");

class CliBadInput : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString objects = CopyDemo(dir);
    QString obj = core::JoinPath(objects, kSchool);
    QString file(const QString& name) const { return core::JoinPath(obj, name); }
    // the four stored loads of the school, in regime order
    QStringList loads() const {
        QStringList l;
        for (int n = 1; n <= 4; ++n) {
            float v[26];
            EXPECT_TRUE(core::ReadNumberFile(file(QStringLiteral("РасчетРежим №  %1.Dat").arg(n)), v, 26));
            l.append(QString::number(v[0]));
        }
        return l;
    }
};

}  // namespace

TEST_F(CliBadInput, UnitsTheCalculationCannotUseAreRefusedNotTurnedIntoZero) {
    const QByteArray units = ReadBytes(file("Ediny.txt"));
    const QStringList stored = loads();
    // a gas-flow unit the calculation does not know: a failed check naming unit and field
    const QByteArray unknown =
        core::EncodeCp1251(QStringLiteral("\"литров/мин\"")) + units.mid(units.indexOf('\r'));
    WriteBytes(file("Ediny.txt"), unknown);
    CliRun r = Cli({"calc", obj, kRegime2});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Неизвестная единица измерения «литров/мин» поля «Расход по счетчику»")))
        << r.out.toStdString();
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 0, не прошли проверку данных: 6"))) << r.out.toStdString();
    EXPECT_EQ(loads(), stored);  // no load 0 written anywhere
    r = Cli({"report", obj});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.contains(QStringLiteral("литров/мин"))) << r.out.toStdString();

    // the units file saved as UTF-8: a read error naming the file, nothing stored
    WriteBytes(file("Ediny.txt"), core::DecodeCp1251(units).toUtf8());
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(file("Ediny.txt") + QStringLiteral(": файл в кодировке UTF-8"))) << r.err.toStdString();
    EXPECT_EQ(loads(), stored);

    // an empty units file: refused with the file named, unless the template's units are asked for
    WriteBytes(file("Ediny.txt"), QByteArray());
    for (const QStringList& args : {QStringList{"recalc", obj}, QStringList{"report", obj},
                                    QStringList{"calc", obj, kRegime2}}) {
        r = Cli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(file("Ediny.txt"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--template-units"))) << r.err.toStdString();
    }
    EXPECT_EQ(loads(), stored);
    r = Cli({"recalc", "--template-units", obj});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Используются единицы по умолчанию"))) << r.err.toStdString();
}

// General data no fuel can have (a calorific value of 812 kcal/m³ for natural gas) fail the
// data check of every regime, in the words the general data windows refuse them with.
TEST_F(CliBadInput, ImpossibleGeneralDataFailEveryRegimesCheck) {
    const QStringList stored = loads();
    QStringList general;
    ASSERT_TRUE(object::ReadGeneralData(obj, general));
    ASSERT_EQ(general[object::FuelType], object::kNaturalGas);
    for (const auto& [entry, text] : {std::pair{int(object::CalorificValue), QStringLiteral("812")},
                                      std::pair{int(object::FuelDensity), QStringLiteral("2.1")},
                                      std::pair{int(object::OwnNeedsLoss), QStringLiteral("12")},
                                      std::pair{int(object::NominalOutput), QStringLiteral("0")}}) {
        QStringList bad = general;
        bad[entry] = text;
        ASSERT_TRUE(object::WriteGeneralData(obj, bad));
        const QString words = object::GeneralRangeError(entry, text, object::kNaturalGas);
        ASSERT_FALSE(words.isEmpty()) << entry;
        CliRun r = Cli({"calc", obj, kRegime2});
        EXPECT_EQ(r.code, 3) << entry;
        EXPECT_TRUE(r.out.contains(words)) << r.out.toStdString();
        r = Cli({"recalc", obj});
        EXPECT_EQ(r.code, 3) << entry;
        EXPECT_EQ(loads(), stored);
    }
    // the bounds themselves are within
    QStringList edge = general;
    edge[object::CalorificValue] = QStringLiteral("9500");
    edge[object::OwnNeedsLoss] = QStringLiteral("10");
    ASSERT_TRUE(object::WriteGeneralData(obj, edge));
    EXPECT_EQ(Cli({"calc", obj, kRegime2}).code, 0);
}

TEST_F(CliBadInput, FilesOfTheWrongShapeAreReadErrorsNotShiftedValues) {
    const QByteArray regime = ReadBytes(file(kRegime2));
    const QByteArray results = ReadBytes(file(QStringLiteral("Расчет") + kRegime2));
    const QByteArray firstLine = regime.left(regime.indexOf('\n') + 1);
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* count;
    };
    for (const Case& c : {Case{"a line doubled", firstLine + regime, "в файле 44 строк, нужно 43"},
                          Case{"a blank line in front", "\r\n" + regime, "в файле 44 строк, нужно 43"},
                          Case{"a line missing", regime.mid(firstLine.size()), "в файле 42 строк, нужно 43"}}) {
        WriteBytes(file(kRegime2), c.bytes);
        CliRun r = Cli({"calc", obj, kRegime2});
        EXPECT_EQ(r.code, 1) << c.what;
        EXPECT_TRUE(r.err.contains(file(kRegime2) + QStringLiteral(": ") + QString::fromUtf8(c.count)))
            << c.what << ": " << r.err.toStdString();
        r = Cli({"recalc", obj});
        EXPECT_EQ(r.code, 1) << c.what;
        EXPECT_EQ(ReadBytes(file(QStringLiteral("Расчет") + kRegime2)), results) << c.what;  // nothing stored
    }
    // an empty last line is no line of its own
    WriteBytes(file(kRegime2), regime + "\r\n");
    EXPECT_EQ(Cli({"calc", obj, kRegime2}).code, 0);
    // a results file of 27 lines gives the list no load and the regimes command says so
    WriteBytes(file(kRegime2), regime);
    WriteBytes(file(QStringLiteral("Расчет") + kRegime2), results + "0\r\n");
    CliRun r = Cli({"regimes", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("в файле 27 строк, нужно 26"))) << r.err.toStdString();

    // a counter is a whole number or a read error
    for (const char* counter : {" 1e39", "3.5", "7 шт", "99999"}) {
        WriteBytes(file("Col_RAll.txt"), core::EncodeCp1251(QString::fromUtf8(counter)) + "\r\n");
        r = Cli({"recalc", obj});
        EXPECT_EQ(r.code, 1) << counter;
        EXPECT_TRUE(r.err.contains(file("Col_RAll.txt"))) << r.err.toStdString();
        r = Cli({"objects", QFileInfo(objects).path()});
        EXPECT_TRUE(r.out.contains(kSchool + QStringLiteral("\tОшибка чтения файла"))) << counter;
    }
}

TEST_F(CliBadInput, OutputsAndRegimeArgumentsStayOutOfTheObjectsData) {
    const auto before = Snapshot(objects);
    QTemporaryDir out;
    const QString q5 = QStringLiteral("Режим  1q5.txt");
    struct Case {
        QStringList args;
        const char* why;
    };
    const QString dairyRegime = QStringLiteral("../") + kDairy + QStringLiteral("/Режим №  1.Dat");
    for (const Case& c : {
             Case{{"report", obj, "--pdf", file("OData.txt")}, "это файл данных объекта"},
             Case{{"report", obj, "--xlsx", file("odata.TXT")}, "это файл данных объекта"},
             Case{{"graph", obj, "R4 R3", "--png", file("Ediny.txt")}, "это файл данных объекта"},
             Case{{"graph", obj, "R4 R3", "--xlsx", file(QStringLiteral("РасчетРежим №  1.Dat"))}, "это файл данных объекта"},
             Case{{"q5", obj, QStringLiteral("Режим №  1.Dat"), "--xlsx", file(q5)}, "это файл данных объекта"},
             Case{{"graph", obj, "R4 R3", "--png", out.path()}, "это папка"},
             Case{{"report", obj, "--pdf", out.path() + "/"}, "это папка"},
             Case{{"q5", obj, dairyRegime}, "это не имя файла режима этого объекта"},
         }) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.why))) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_EQ(Snapshot(objects), before);
    // a file of another name beside the data is written as asked
    EXPECT_EQ(Cli({"graph", obj, "R4 R3", "--png", file("graph.png")}).code, 0);
}

TEST_F(CliBadInput, EntriesNamedLikeRegimesThatAreNoFilesAreReported) {
    ASSERT_TRUE(QDir().mkdir(file(QStringLiteral("Режим №  9.Dat"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file(QStringLiteral("Режим №  8.Dat"))).constData(), 0644), 0);
    CliRun r = Cli({"regimes", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(file(QStringLiteral("Режим №  9.Dat")) + QStringLiteral(": это папка, а не файл данных")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Режим №  8.Dat: это канал (FIFO)"))) << r.err.toStdString();
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 6"))) << r.out.toStdString();  // the others are calculated
    EXPECT_TRUE(r.err.contains(QStringLiteral("это папка"))) << r.err.toStdString();
}

TEST_F(CliBadInput, WritesLeaveNoStaleTemporaryAndRespectReadOnlyFiles) {
    // what a killed writer leaves: a temporary of the writer's own form, of a process gone
    const QString stale = file(QStringLiteral(".РасчетРежим №  1.Dat.~999999-abc.tmp"));
    const QString user = file(QStringLiteral(".notes.tmp"));  // not of the writer's form: kept
    WriteBytes(stale, "12\r\n");
    WriteBytes(user, "mine");
    const QByteArray old = QFile::encodeName(stale);
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, old.constData(), times, 0), 0);
    CliRun r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(user));

    // a data file without write permission is not replaced through the rename
    const QString results = file(QStringLiteral("Расчет") + kRegime2);
    const QByteArray bytes = ReadBytes(results);
    ASSERT_EQ(::chmod(QFile::encodeName(results).constData(), 0444), 0);
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(results + QStringLiteral(": файл защищён от записи"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("ошибок записи: 1"))) << r.out.toStdString();
    EXPECT_EQ(ReadBytes(results), bytes);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(results).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(CliBadInput, WritingCommandsRefuseAnObjectAnotherProgramHolds) {
    const auto before = Snapshot(objects);
    // held by a running process of this computer (pid 1 always runs)
    const QString lock = file(app::kLockFileName);
    WriteBytes(lock, QByteArray("computer=") + app::ThisProcess().computer.toUtf8() +
                         "\r\nuser=engineer2\r\npid=1\r\ntime=08.12.2026 20:00:00\r\n");
    const auto locked = Snapshot(objects);
    for (const QStringList& args : {QStringList{"recalc", obj}, QStringList{"report", obj}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("объект занят (компьютер"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("пользователь engineer2, процесс 1"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--force"))) << r.err.toStdString();
    }
    EXPECT_EQ(Snapshot(objects), locked);
    // reading commands are not held up
    EXPECT_EQ(Cli({"calc", obj, kRegime2}).code, 0);
    EXPECT_EQ(Cli({"regimes", obj}).code, 0);
    // --force writes, and leaves the other's lock to it
    EXPECT_EQ(Cli({"recalc", "--force", obj}).code, 0);
    EXPECT_FALSE(QFileInfo::exists(lock));  // forced over: the lock was taken and removed

    // a lock left by a process of this computer that has ended is taken over and removed
    WriteBytes(lock, QByteArray("computer=") + app::ThisProcess().computer.toUtf8() +
                         "\r\nuser=engineer2\r\npid=999999\r\ntime=08.12.2026 20:00:00\r\n");
    EXPECT_EQ(Cli({"recalc", obj}).code, 0);
    EXPECT_FALSE(QFileInfo::exists(lock));
    EXPECT_EQ(Snapshot(objects).keys(), before.keys());  // no lock, no draft, no temporary left
}
