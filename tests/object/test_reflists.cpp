#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "object/reflists.h"
#include "support/testdirs.h"

using namespace object;
using testing_support::ReadBytes;

TEST(ReferenceLists, AppendTrimsAndCreatesTheFile) {
    QTemporaryDir dir;
    const QString f = dir.filePath(kEmployeesFile);
    QStringList l;
    EXPECT_FALSE(ReadList(f, l));
    EXPECT_TRUE(AppendToList(f, QStringLiteral("  Иванов И.И.  ")));
    EXPECT_TRUE(AppendToList(f, QStringLiteral("   ")));  // blanks only change nothing
    EXPECT_TRUE(AppendToList(f, QStringLiteral("Петров")));
    EXPECT_EQ(ReadBytes(f), QByteArray("\xC8\xE2\xE0\xED\xEE\xE2 \xC8.\xC8.\r\n\xCF\xE5\xF2\xF0\xEE\xE2\r\n"));
    ASSERT_TRUE(ReadList(f, l));
    EXPECT_EQ(l.last(), QStringLiteral("Петров"));
}

TEST(ReferenceLists, RewriteAfterRemovingTheMiddleEntry) {
    QTemporaryDir dir;
    const QString f = dir.filePath(kSensorsFile);
    ASSERT_TRUE(WriteList(f, {"a", "b", "c"}));
    QStringList l;
    ASSERT_TRUE(ReadList(f, l));
    l.removeAt(1);
    ASSERT_TRUE(WriteList(f, l));
    EXPECT_EQ(ReadBytes(f), QByteArray("a\r\nc\r\n"));
    EXPECT_FALSE(WriteList(dir.filePath("missing/x.txt"), l));
}

TEST(ReferenceLists, AnOverlongEntryIsShownCutAndKeptWholeInTheFile) {
    QTemporaryDir dir;
    const QString f = dir.filePath(kEmployeesFile);
    const QString longEntry(1024 * 1024, QChar(u'я'));
    ASSERT_TRUE(WriteList(f, {QStringLiteral("Иванов"), longEntry, QStringLiteral("Петров")}));
    QStringList l;
    int cut = 0;
    ASSERT_TRUE(ReadList(f, l, &cut));
    EXPECT_EQ(cut, 1);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[1].size(), kMaxListEntry);
    EXPECT_TRUE(l[1].endsWith(QChar(0x2026)));
    EXPECT_EQ(l[2], QStringLiteral("Петров"));
    // adding goes through the file's own lines: the long entry stays whole
    ASSERT_TRUE(AppendToList(f, QStringLiteral("Сидоров")));
    EXPECT_EQ(ReadBytes(f).size(), 6 + 2 + 1024 * 1024 + 2 + 6 + 2 + 7 + 2);
}
