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
