#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <unistd.h>

#include "core/ini.h"
#include "core/names.h"
#include "core/textfile.h"
#include "support/testdirs.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

TEST(Cp1251, BothWaysAndUnmappable) {
    EXPECT_EQ(EncodeCp1251(QStringLiteral("Режим №")), QByteArray("\xD0\xE5\xE6\xE8\xEC \xB9"));
    EXPECT_EQ(DecodeCp1251(QByteArray("\xD0\xE5\xE6\xE8\xEC \xB9")), QStringLiteral("Режим №"));
    EXPECT_EQ(EncodeCp1251(QStringLiteral("Ёё")), QByteArray("\xA8\xB8"));
    EXPECT_EQ(EncodeCp1251(QStringLiteral("м³ 😀 x")), QByteArray("\xEC? ? x"));
}

TEST(Lines, AllLineEndsAccepted) {
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\nb\nc\rd")), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\n")), QStringList({"a"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\n\r\nb")), QStringList({"a", "", "b"}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
}

TEST(Lines, WrittenWithCrLfInCp1251) {
    QTemporaryDir dir;
    const QString p = dir.filePath("x.txt");
    ASSERT_TRUE(WriteTextLines(p, {QStringLiteral("Петров"), QString(), "b"}));
    EXPECT_EQ(ReadBytes(p), QByteArray("\xCF\xE5\xF2\xF0\xEE\xE2\r\n\r\nb\r\n"));
}

TEST(QuotedRecords, ByteForByteAndCommas) {
    QTemporaryDir dir;
    const QString p = dir.filePath("q.txt");
    ASSERT_TRUE(WriteQuotedFile(p, {QStringLiteral("Котёл, №1"), QString(), "say \"hi\""}));
    EXPECT_EQ(ReadBytes(p), QByteArray("\"\xCA\xEE\xF2\xB8\xEB, \xB9" "1\"\r\n\"\"\r\n\"say 'hi'\"\r\n"));
    QStringList v;
    ASSERT_TRUE(ReadQuotedFile(p, 3, v));
    EXPECT_EQ(v, QStringList({QStringLiteral("Котёл, №1"), QString(), "say 'hi'"}));
}

TEST(QuotedRecords, ReadingRules) {
    EXPECT_EQ(UnquoteLine(QStringLiteral("\"a, b\" trailing")), "a, b");
    EXPECT_EQ(UnquoteLine(QStringLiteral("  plain  ")), "plain");
    EXPECT_EQ(UnquoteLine(QStringLiteral("\"unterminated")), "unterminated");
    QTemporaryDir dir;
    const QString p = dir.filePath("short.txt");
    WriteBytes(p, "\"a\"\n\"b\"\n");  // LF only, two values
    QStringList v;
    EXPECT_FALSE(ReadQuotedFile(p, 3, v));
    EXPECT_EQ(v, QStringList({"a", "b"}));  // what was read before the error
    EXPECT_FALSE(ReadQuotedFile(dir.filePath("missing.txt"), 1, v));
}

TEST(Readers, SurviveJunkBytes) {
    QTemporaryDir dir;
    const QString p = dir.filePath("junk.txt");
    QByteArray junk(70000, '\0');
    auto* rng = QRandomGenerator::global();
    for (auto& c : junk) c = static_cast<char>(rng->bounded(256));
    WriteBytes(p, junk);
    QStringList v;
    ReadQuotedFile(p, 19, v);  // may succeed or fail; must not crash or hang
    EXPECT_LE(v.size(), 19);
    WriteBytes(p, QByteArray(200000, '"'));  // one overlong line of quotes
    EXPECT_FALSE(ReadQuotedFile(p, 19, v));
}

TEST(AtomicWrite, FailureKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString p = dir.filePath("keep.txt");
    ASSERT_TRUE(WriteTextLines(p, {"old"}));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QString error;
    const bool ok = WriteTextLines(p, {"new"}, &error);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0) {  // root writes anywhere; the check means something only for users
        EXPECT_FALSE(ok);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(ReadBytes(p), QByteArray("old\r\n"));
    }
    EXPECT_FALSE(WriteTextLines(dir.filePath("no/such/folder/x.txt"), {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).contains("keep.txt"));
    // no temporary file is left behind
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(Names, CaseInsensitiveLookup) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath(QStringLiteral("РЕЖИМ №  2.DAT")), "x");
    WriteBytes(dir.filePath(QStringLiteral("Kessel.GIF")), "x");
    QDir().mkdir(dir.filePath(QStringLiteral("Все Объекты")));
    EXPECT_TRUE(ExistsNoCase(dir.path(), QStringLiteral("режим №  2.dat")));
    EXPECT_TRUE(ExistsNoCase(dir.path(), QStringLiteral("все объекты")));
    EXPECT_EQ(FindEntryNoCase(dir.path(), "kessel.gif"), "Kessel.GIF");
    EXPECT_EQ(ResolvePath(dir.path(), "kessel.gif"), dir.path() + "/Kessel.GIF");
    EXPECT_EQ(ResolvePath(dir.path(), "new.txt"), dir.path() + "/new.txt");
    EXPECT_FALSE(ExistsNoCase(dir.path(), "kessel"));
    QStringList files;
    ASSERT_TRUE(ListFiles(dir.path(), QStringLiteral("Режим*.dat"), files));
    EXPECT_EQ(files, QStringList({QStringLiteral("РЕЖИМ №  2.DAT")}));
    EXPECT_FALSE(ListFiles(dir.filePath("missing"), "*", files));
}

TEST(Names, PatternsJoinAndValidation) {
    EXPECT_TRUE(MatchesPattern(QStringLiteral("Режим №  12.Dat"), QStringLiteral("Режим*.dat")));
    EXPECT_FALSE(MatchesPattern(QStringLiteral("РасчетРежим №  1.Dat"), QStringLiteral("Режим*.dat")));
    EXPECT_TRUE(MatchesPattern("a.txt", "?.TXT"));
    EXPECT_FALSE(MatchesPattern("ab.txt", "?.txt"));
    EXPECT_TRUE(MatchesPattern("anything", "*"));
    EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(JoinPath("/a", "\\b"), "/a/b");
    EXPECT_TRUE(IsAcceptableName(QStringLiteral(" Котельная 1 ")));
    for (const char* bad : {"", "   ", ".", "..", "a/b", "a\\b", "../x"})
        EXPECT_FALSE(IsAcceptableName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(IsAcceptableName(QString("a") + QChar(0) + "b"));
}

TEST(Ini, ReadWriteRules) {
    QTemporaryDir dir;
    const QString f = dir.filePath("ComPort.ini");
    EXPECT_EQ(ReadIni(f, "Port", "Name", "COM1"), "COM1");
    EXPECT_EQ(ReadIni(f, "Port", "Name", ""), "");
    EXPECT_TRUE(WriteIni(f, "Port", "Name", "/dev/ttyUSB0"));
    EXPECT_EQ(ReadIni(f, "port", "NAME", "x"), "/dev/ttyUSB0");
    EXPECT_TRUE(WriteIni(f, "Port", "Settings", "9600,N,8,1"));
    EXPECT_TRUE(WriteIni(f, "Port", "Name", "pts/3"));
    EXPECT_TRUE(WriteIni(f, "Other", "Name", "z"));
    EXPECT_EQ(ReadIni(f, "Port", "Name", "x"), "pts/3");
    EXPECT_EQ(ReadIni(f, "Port", "Settings", "x"), "9600,N,8,1");
    EXPECT_EQ(ReadIni(f, "Other", "Name", "x"), "z");
    EXPECT_EQ(ReadIni(f, "Port", "Missing", "dflt"), "dflt");
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(f, lines));
    EXPECT_EQ(lines, QStringList({"[Port]", "Name=pts/3", "Settings=9600,N,8,1", "", "[Other]", "Name=z"}));
}

TEST(Ini, LongValuesAreCut) {
    QTemporaryDir dir;
    const QString f = dir.filePath("x.ini");
    const QString longValue(300, u'x');
    EXPECT_TRUE(WriteIni(f, "S", "K", longValue));
    EXPECT_EQ(ReadIni(f, "S", "K", ""), QString(254, u'x'));
    EXPECT_EQ(ReadIni(f, "S", "missing", longValue), longValue);  // a default comes back as passed
}
