// kalvaro-cli q5: the regime's q5 surfaces computed as "Рассчитать" does, nothing written
// but the workbook asked for, and clear refusals.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/names.h"
#include "support/testdirs.h"
#include "support/xlsxread.h"
#include "tools/q5.h"
#include "tools/toolnumbers.h"

using testing_support::ReadBytes;

namespace {

struct CliResult {
    int code = -1;
    QString out, err;
};

CliResult Q5Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KALVARO_CLI), QStringList{QStringLiteral("q5")} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

const QString kSchool = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты/Котельная школы №3");

QMap<QString, QByteArray> Snapshot(const QString& folder) {
    QMap<QString, QByteArray> m;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const QString f = it.next();
        m.insert(f, ReadBytes(f));
    }
    return m;
}

}  // namespace

TEST(CliQ5, PrintsEverySurfaceAndTheTotalsWritingNothing) {
    const auto before = Snapshot(kSchool);
    const CliResult r = Q5Cli({kSchool, QStringLiteral("режим №  2.dat")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("Режим №  2.Dat")));
    // the stored cells are what "Рассчитать" wrote, so computing again prints them
    QStringList cells;
    ASSERT_TRUE(tools::ReadQ5File(kSchool, QStringLiteral("Режим  2q5.txt"), cells));
    for (int s = 1; s <= 3; ++s) {
        const QStringList f = lines[2 + s].split('\t');
        ASSERT_EQ(f.size(), 9) << lines[2 + s].toStdString();
        EXPECT_EQ(f[0], QString::number(s));
        EXPECT_EQ(f.mid(1), cells.mid(tools::Q5Cell(s, tools::Area), 8));
    }
    EXPECT_EQ(lines[6], QStringLiteral("Сумма Q5, кВт:\t") + cells[64]);
    EXPECT_EQ(lines[7], QStringLiteral("q5, %:\t") + cells[65]);
    EXPECT_GT(tools::FieldValue(lines[1].section('\t', 1)), 0);
    EXPECT_EQ(Snapshot(kSchool), before);
}

TEST(CliQ5, WorkbookOnRequest) {
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("q5 Режим 3.xlsx"));
    const CliResult r = Q5Cli({kSchool, QStringLiteral("Режим №  3.Dat"), QStringLiteral("--xlsx"), xlsx});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const auto sheet = testing_support::ReadSheet(xlsx);
    EXPECT_EQ(sheet.value("B2").text, QStringLiteral("Котельная школы №3"));
    EXPECT_TRUE(sheet.value("I7").number);
    EXPECT_EQ(tools::RoundedText(sheet.value("I16").value, 3), r.out.section(QStringLiteral("q5, %:\t"), 1).trimmed());
    const CliResult bad = Q5Cli({kSchool, QStringLiteral("Режим №  3.Dat"), QStringLiteral("--xlsx"),
                           dir.filePath(QStringLiteral("нет/x.xlsx"))});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("cannot write")));
}

TEST(CliQ5, RefusesMissingRegimesFilesAndBadUsage) {
    CliResult r = Q5Cli({kSchool, QStringLiteral("Режим №  9.Dat")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("файл режима не найден"))) << r.err.toStdString();
    r = Q5Cli({QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты/Нет такого"), QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(r.code, 1);
    // a regime without surfaces
    r = Q5Cli({QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты/Молокозавод, паровая котельная"),
               QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Режим  1q5.txt")));
    r = Q5Cli({kSchool});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Usage")));
}

TEST(CliQ5, TakesTheObjectFolderAsShellsTypeItAndNamesAMissingOne) {
    // a trailing slash, as a shell's completion types it, names the same object
    const CliResult plain = Q5Cli({kSchool, QStringLiteral("Режим №  1.Dat")});
    const CliResult slash = Q5Cli({kSchool + QStringLiteral("/"), QStringLiteral("Режим №  1.Dat")});
    ASSERT_EQ(slash.code, 0) << slash.err.toStdString();
    EXPECT_EQ(slash.out, plain.out);
    EXPECT_TRUE(slash.out.startsWith(QStringLiteral("Котельная школы №3\t")));
    // a folder that is not there, or is no object, is a file error that names it
    QTemporaryDir dir;
    const CliResult missing = Q5Cli({dir.filePath("нет/"), QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(dir.filePath("нет") + QStringLiteral(": папка объекта не найдена")));
    const CliResult notObject = Q5Cli({dir.path(), QStringLiteral("Режим №  1.Dat")});
    EXPECT_EQ(notObject.code, 1);
    EXPECT_TRUE(notObject.err.contains(QStringLiteral("это не папка объекта")));
}
