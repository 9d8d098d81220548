#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/textfile.h"
#include "docs/safetymap.h"
#include "support/testdirs.h"
#include "support/xlsxread.h"

using namespace docs;
using namespace testing_support;

TEST(SafetyMap, InitialTextsAreWrittenAsFortyFiveLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteSafetyMap(dir.path(), InitialMapCells()));
    const QByteArray bytes = ReadBytes(dir.filePath(kSafetyMapFile));
    EXPECT_EQ(bytes.count("\r\n"), 45);
    const QStringList lines = core::DecodeCp1251(bytes).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 46);  // the text after the last line end is empty
    EXPECT_EQ(lines[0], QStringLiteral("Повышение давления топлива перед котлом "));
    EXPECT_EQ(lines[10], QStringLiteral("Понижение давления воздуха  на горелке "));
    EXPECT_EQ(lines[4], QStringLiteral("уставка "));
    EXPECT_EQ(lines[25], QStringLiteral("Повышение температуры воды в котле"));
    EXPECT_EQ(lines[31], QStringLiteral("мм.вод.ст."));
    EXPECT_EQ(lines[36], QStringLiteral("--------"));
    EXPECT_EQ(lines[39], QStringLiteral("отсутствие"));
    EXPECT_EQ(lines[40], QString());
    for (int i = 41; i < 45; ++i) EXPECT_EQ(lines[i], QStringLiteral(" ")) << i;
    EXPECT_TRUE(InitiallyIncluded(7));
    EXPECT_FALSE(InitiallyIncluded(8));
}

TEST(SafetyMap, ReadKeepsBlanksAndShortFilesKeepTheRest) {
    QTemporaryDir dir;
    QStringList cells = InitialMapCells();
    cells[3] = QStringLiteral("  № 12  ");
    cells[44] = QStringLiteral("1,5  ");
    ASSERT_TRUE(WriteSafetyMap(dir.path(), cells));
    QStringList back = InitialMapCells();
    EXPECT_EQ(ReadSafetyMap(dir.path(), back), MapRead::Complete);
    EXPECT_EQ(back, cells);

    // a file of 10 lines: those ten cells are read, the others keep their texts
    WriteBytes(dir.filePath(kSafetyMapFile), core::EncodeCp1251(QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni\r\nj\r\n")));
    back = InitialMapCells();
    EXPECT_EQ(ReadSafetyMap(dir.path(), back), MapRead::Short);
    EXPECT_EQ(back[9], QStringLiteral("j"));
    EXPECT_EQ(back[10], InitialMapCells()[10]);
    EXPECT_EQ(back[44], QStringLiteral(" "));

    QTemporaryDir empty;
    back = InitialMapCells();
    EXPECT_EQ(ReadSafetyMap(empty.path(), back), MapRead::Missing);
    EXPECT_EQ(back, InitialMapCells());
    EXPECT_FALSE(WriteSafetyMap(empty.filePath("gone"), cells));
}

TEST(SafetyMap, ProtocolHoldsTheIncludedRowsOnly) {
    QTemporaryDir dir;
    QStringList general(19);
    general[0] = QStringLiteral("Петров А.В.");
    general[1] = QStringLiteral("Водогрейный котел");
    general[5] = QStringLiteral("Природный газ");
    general[7] = QStringLiteral("Котельная школы №3");
    general[8] = QStringLiteral("GB-120");
    QStringList cells = InitialMapCells();
    cells[24] = QStringLiteral("2,5 ");
    QList<bool> included;
    for (int r = 0; r < kMapRows; ++r) included.append(InitiallyIncluded(r));
    included[1] = false;  // an unticked row is left out
    const QString path = dir.filePath(kProtocolXlsx);
    ASSERT_TRUE(WriteSafetyProtocol(path, general, cells, included, QDate(2026, 5, 14)));
    const auto c = SheetCells(path, 1);
    EXPECT_EQ(c.value("A1"), QStringLiteral("Карта уставок и протокол автоматики безопасности"));
    QStringList values = c.values();
    EXPECT_TRUE(values.contains(QStringLiteral("Котельная школы №3")));
    EXPECT_TRUE(values.contains(QStringLiteral("14.05.2026")));
    EXPECT_TRUE(values.contains(QStringLiteral("Результат проверки, подпись")));
    EXPECT_TRUE(values.contains(QStringLiteral("Повышение давления топлива перед котлом")));
    EXPECT_FALSE(values.contains(QStringLiteral("Понижение давления топлива перед котлом")));
    EXPECT_TRUE(values.contains(QStringLiteral("2,5")));
    EXPECT_TRUE(values.contains(QStringLiteral("/ Петров А.В. /")));
    // 7 included rows, numbered 1..7, and the check column left empty for the inspector
    int head = 0;
    for (auto it = c.begin(); it != c.end(); ++it)
        if (it.value() == QStringLiteral("№")) head = it.key().mid(1).toInt();
    ASSERT_GT(head, 0);
    EXPECT_EQ(c.value(CellRef(0, head + 7)), QStringLiteral("7"));
    EXPECT_FALSE(c.contains(CellRef(0, head + 8)));
    EXPECT_EQ(c.value(CellRef(1, head + 7)), QStringLiteral("Погасание факела горелки"));
    EXPECT_FALSE(c.contains(CellRef(6, head + 1)));
    // a protocol that cannot be written fails and leaves nothing behind
    EXPECT_FALSE(WriteSafetyProtocol(dir.filePath("no/such/p.xlsx"), general, cells, included, QDate(2026, 5, 14)));
}

TEST(SafetyMap, TicksAreNineLinesBesideTheMapAndAMalformedFileIsRefused) {
    QTemporaryDir dir;
    QList<bool> ticks;
    // no file yet: the ticks given stay
    for (int r = 0; r < kMapRows; ++r) ticks.append(InitiallyIncluded(r));
    const QList<bool> initial = ticks;
    EXPECT_EQ(ReadSafetyMapRows(dir.path(), ticks), MapRead::Missing);
    EXPECT_EQ(ticks, initial);

    ticks[3] = false;
    ticks[8] = true;
    ASSERT_TRUE(WriteSafetyMap(dir.path(), InitialMapCells()));
    ASSERT_TRUE(WriteSafetyMapRows(dir.path(), ticks));
    EXPECT_EQ(ReadBytes(dir.filePath(kSafetyMapRowsFile)), QByteArray("1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"));
    // the map itself keeps its 45 lines
    EXPECT_EQ(ReadBytes(dir.filePath(kSafetyMapFile)).count("\r\n"), 45);
    QList<bool> back = initial;
    EXPECT_EQ(ReadSafetyMapRows(dir.path(), back), MapRead::Complete);
    EXPECT_EQ(back, ticks);
    // LF line ends and blanks around a digit are read as well
    WriteBytes(dir.filePath(kSafetyMapRowsFile), "0\n0 \n1\n1\n1\n1\n1\n1\n0\n");
    EXPECT_EQ(ReadSafetyMapRows(dir.path(), back), MapRead::Complete);
    EXPECT_FALSE(back[0]);
    EXPECT_FALSE(back[1]);
    EXPECT_TRUE(back[2]);

    // eight lines, ten lines, a word, a 2: refused, the ticks unchanged, the reason named
    for (const QByteArray& bad : {QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"),
                                  QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"),
                                  QByteArray("1\r\n1\r\nда\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"),
                                  QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n2\r\n"), QByteArray()}) {
        WriteBytes(dir.filePath(kSafetyMapRowsFile), bad);
        QList<bool> kept = ticks;
        QString why;
        EXPECT_EQ(ReadSafetyMapRows(dir.path(), kept, &why), MapRead::Failed) << bad.constData();
        EXPECT_EQ(kept, ticks);
        EXPECT_TRUE(why.contains(kSafetyMapRowsFile)) << why.toStdString();
    }
    // a folder that is gone cannot take the ticks
    EXPECT_FALSE(WriteSafetyMapRows(dir.filePath("gone"), ticks));
}
