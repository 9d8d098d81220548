// The command-line tool under faults: a full disk, links and FIFOs in the object folder,
// paths that leave the object, broken results files, and the exit-code convention.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "core/names.h"
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

class CliFaults : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString objects = CopyDemo(dir);
    QString obj = core::JoinPath(objects, kSchool);
    QString file(const QString& name) const { return core::JoinPath(obj, name); }
};

}  // namespace

TEST_F(CliFaults, FullDiskKeepsEveryResultsFileAndFails) {
    const auto before = Snapshot(objects);
    // every file the child writes is limited to 64 bytes, as on a full disk; SIGXFSZ is
    // ignored there, so writes fail with an error instead of killing it
    const CliRun r = Cli({"recalc", obj}, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(r.code, 1) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 0, не прошли проверку данных: 0, ошибок чтения: 0, ошибок записи: 6")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("превышен допустимый размер файла"))) << r.out.toStdString();
    EXPECT_EQ(Snapshot(objects), before);  // no byte changed, no temporary file left
}

TEST_F(CliFaults, ALinkInTheObjectIsNotWrittenThrough) {
    QTemporaryDir outside;
    const QString victim = core::JoinPath(outside.path(), "passwd");
    WriteBytes(victim, "root:x:0:0\n");
    const QString results = file(QStringLiteral("РасчетРежим №  2.Dat"));
    QFile::remove(results);
    ASSERT_TRUE(QFile::link(victim, results));
    const CliRun r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(ReadBytes(victim), QByteArray("root:x:0:0\n"));
    EXPECT_TRUE(QFileInfo(results).isSymLink());
    EXPECT_TRUE(r.out.contains(results + QStringLiteral(": это символическая ссылка"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 5"))) << r.out.toStdString();
}

TEST_F(CliFaults, AFifoNamedLikeACounterDoesNotHang) {
    const QString counter = file(QStringLiteral("Col_RAll.txt"));
    QFile::remove(counter);
    ASSERT_EQ(::mkfifo(QFile::encodeName(counter).constData(), 0644), 0);
    for (const QString& command : {QStringLiteral("regimes"), QStringLiteral("recalc")}) {
        const CliRun r = Cli({command, obj}, {}, 10000);
        ASSERT_TRUE(r.finished) << command.toStdString();
        EXPECT_EQ(r.code, 1) << command.toStdString();
        EXPECT_TRUE(r.err.contains(counter + QStringLiteral(": это канал (FIFO)"))) << r.err.toStdString();
    }
    const CliRun list = Cli({"objects", QFileInfo(objects).path()}, {}, 10000);
    ASSERT_TRUE(list.finished);
    EXPECT_TRUE(list.out.contains(kSchool + QStringLiteral("\tОшибка чтения файла")));
}

TEST_F(CliFaults, FolderArgumentsAndRegimeNames) {
    // a trailing slash, as shell completion types it, names the same object
    CliRun r = Cli({"regimes", obj + "/"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Всего:  6")));
    r = Cli({"calc", obj + "//", QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    // only regime files of the object itself
    const QString other = core::JoinPath(objects, QStringLiteral("Молокозавод, паровая котельная"));
    for (const QString& name : {QStringLiteral("../Молокозавод, паровая котельная/Режим №  1.Dat"),
                                QStringLiteral("../../etc/passwd"), QStringLiteral("/etc/passwd"),
                                QStringLiteral("OData.txt"), QStringLiteral("Режим №  99.Dat")}) {
        r = Cli({"calc", obj, name});
        EXPECT_EQ(r.code, 1) << name.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << name.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(QFileInfo(other).isDir());
}

TEST_F(CliFaults, RecalculationRepairsResultsFilesAndSkipsBrokenRegimes) {
    const QByteArray good = ReadBytes(file(QStringLiteral("РасчетРежим №  3.Dat")));
    QFile::remove(file(QStringLiteral("РасчетРежим №  3.Dat")));
    WriteBytes(file(QStringLiteral("РасчетРежим №  4.Dat")), "12\r\n");  // broken: 1 line of 26
    CliRun r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_EQ(r.out.count(QStringLiteral("создан заново")), 2) << r.out.toStdString();
    EXPECT_EQ(ReadBytes(file(QStringLiteral("РасчетРежим №  3.Dat"))), good);
    EXPECT_EQ(ReadBytes(file(QStringLiteral("РасчетРежим №  4.Dat"))).count("\r\n"), 26);

    // a regime file that cannot be read skips that regime only, and is a file error
    WriteBytes(file(QStringLiteral("Режим №  2.Dat")), "1\r\n2\r\n");
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 5, не прошли проверку данных: 0, ошибок чтения: 1, ошибок записи: 0")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("строк, нужно 43")));
}

TEST_F(CliFaults, NumbersBeyondTheFloatRangeAreReadErrors) {
    const QString regime = file(QStringLiteral("Режим №  1.Dat"));
    QByteArray bytes = ReadBytes(regime);
    bytes.replace(0, bytes.indexOf("\r\n"), "1e39");
    WriteBytes(regime, bytes);
    CliRun r = Cli({"calc", obj, QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("строка 1: число «1e39» вне допустимого диапазона"))) << r.err.toStdString();
    // a graph of a results value beyond the range fails instead of charting infinity
    const QString results = file(QStringLiteral("РасчетРежим №  2.Dat"));
    QByteArray res = ReadBytes(results);
    res.replace(0, res.indexOf("\r\n"), "-4e38");
    WriteBytes(results, res);
    QTemporaryDir out;
    r = Cli({"graph", obj, "R4 R3", "--xlsx", out.filePath("g.xlsx")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(results)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out.filePath("g.xlsx")));
}

TEST_F(CliFaults, ExitCodesFollowOneConvention) {
    EXPECT_EQ(Cli({}).code, 2);
    EXPECT_EQ(Cli({"calc", obj}).code, 2);
    EXPECT_EQ(Cli({"recalc", dir.filePath("nothing")}).code, 1);
    // a regime failing its check: calc says so with 3
    const QString regime = file(QStringLiteral("Режим №  1.Dat"));
    QByteArray bytes = ReadBytes(regime);
    bytes.replace(0, bytes.indexOf("\r\n"), "0");
    WriteBytes(regime, bytes);
    CliRun r = Cli({"calc", obj, QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(r.code, 3);
    // every regime failing its check: recalc too
    for (int n = 2; n <= 6; ++n) WriteBytes(file(QStringLiteral("Режим №  %1.Dat").arg(n)), bytes);
    r = Cli({"recalc", obj});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.contains(QStringLiteral("рассчитано: 0, не прошли проверку данных: 6")));
    // a graph of an object without regimes is no success
    QTemporaryDir out;
    for (const QString& f : QDir(obj).entryList({"*.Dat"}, QDir::Files)) QFile::remove(file(f));
    r = Cli({"graph", obj, "R4 R3", "--xlsx", out.filePath("g.xlsx")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("нет режимов")));
    EXPECT_FALSE(QFileInfo::exists(out.filePath("g.xlsx")));
}
