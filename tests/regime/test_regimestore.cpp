#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/names.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "support/testdirs.h"

using namespace regime;
using testing_support::ReadBytes;
using testing_support::TestHome;
using testing_support::WriteBytes;

namespace {

struct RegimeFixture : ::testing::Test {
    TestHome home;
    app::AppState s;
    QString folder;
    void SetUp() override {
        home.apply(s);
        folder = home.makeObject(QStringLiteral("Котельная 1"), testing_support::HotWaterGasGeneral("Котельная 1"));
        s.setCurrentObject(QStringLiteral("Котельная 1"));
        ASSERT_TRUE(ReadRegimeCounters(s));
        object::LoadObjectUnits(s.currentObjectFolder, s.templateFolder, s.units);
        s.general = testing_support::HotWaterGasGeneral(QStringLiteral("Котельная 1"));
    }
    QString file(const QString& name) const { return core::JoinPath(folder, name); }
    QStringList keys() const {
        QStringList k;
        for (const auto& r : s.regimeList.rows) k.append(r.key);
        return k;
    }
    void writeLoad(int number, const QString& load) {
        // a whole results file: the load in its first line, then 25 zeros
        WriteBytes(file(kResultsPrefix + RegimeFileName(number)), (load + QStringLiteral("\r\n0").repeated(25) + "\r\n").toLatin1());
        // inputs that pass the data check, so the stored load is what they give
        WriteBytes(file(RegimeFileName(number)),
                   (testing_support::MeasuredGasRegimeFields().join(QStringLiteral("\r\n")) + "\r\n").toLatin1());
    }
};

}  // namespace

TEST(RegimeNames, FileNameHasTwoBlanks) {
    EXPECT_EQ(RegimeFileName(3), QStringLiteral("Режим №  3.Dat"));
    EXPECT_EQ(RegimeFileName(32767), QStringLiteral("Режим №  32767.Dat"));
}

TEST_F(RegimeFixture, NewObjectGetsOneRegimeWithZeroResults) {
    ASSERT_TRUE(NewRegime(s));
    EXPECT_EQ(s.currentRegimeFile, QStringLiteral("Режим №  1.Dat"));
    EXPECT_EQ(s.currentResultsFile, QStringLiteral("РасчетРежим №  1.Dat"));
    EXPECT_EQ(ReadBytes(file("Col_R.txt")), QByteArray(" 1\r\n"));
    EXPECT_EQ(ReadBytes(file("Col_RAll.txt")), QByteArray(" 1\r\n"));
    QByteArray zeros;
    for (int i = 0; i < 26; ++i) zeros += "0\r\n";
    EXPECT_EQ(ReadBytes(file(s.currentResultsFile)), zeros);
    EXPECT_EQ(keys(), QStringList({QStringLiteral("Режим №  1.Dat")}));
    EXPECT_EQ(s.regimeList.header, QStringLiteral("Всего:  1"));
}

TEST_F(RegimeFixture, NumbersAreNeverReused) {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(NewRegime(s));
    s.setCurrentRegime(RegimeFileName(2));
    ASSERT_TRUE(DeleteRegimeFiles(s));
    EXPECT_EQ(ReadBytes(file("Col_RAll.txt")), QByteArray("2\r\n"));  // the deletion path: no blank
    EXPECT_EQ(s.regimeList.header, QStringLiteral("Всего:  2"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("Режим №  2.Dat"))));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("РасчетРежим №  2.Dat"))));
    ASSERT_TRUE(FillRegimeList(s).isEmpty());
    ASSERT_TRUE(NewRegime(s));
    EXPECT_EQ(s.currentRegimeFile, QStringLiteral("Режим №  4.Dat"));
    EXPECT_EQ(ReadBytes(file("Col_R.txt")), QByteArray(" 4\r\n"));
    EXPECT_EQ(ReadBytes(file("Col_RAll.txt")), QByteArray(" 3\r\n"));
}

TEST_F(RegimeFixture, RefusedAtTheLastNumber) {
    s.lastRegimeNumber = kMaxRegimeNumber;
    QString error;
    EXPECT_FALSE(NewRegime(s, &error));
    EXPECT_EQ(error, kLimitRefusal);
    QStringList files;
    core::ListFiles(folder, "*.dat", files);
    EXPECT_TRUE(files.isEmpty());
    EXPECT_EQ(ReadBytes(file("Col_R.txt")), QByteArray(" 0\r\n"));
    s.lastRegimeNumber = kMaxRegimeNumber - 1;
    ASSERT_TRUE(NewRegime(s));
    EXPECT_EQ(s.currentRegimeFile, QStringLiteral("Режим №  32767.Dat"));
}

TEST_F(RegimeFixture, NewRegimeCopiesInputsButFuelFlows) {
    s.inputs.fill(5.5f);
    ASSERT_TRUE(NewRegime(s));
    QStringList texts;
    ASSERT_TRUE(LoadRegimeInputs(s, &texts));
    EXPECT_EQ(texts[0], " 0");
    EXPECT_EQ(texts[7], " 0");
    EXPECT_EQ(texts[1], " 5.5");
    EXPECT_EQ(texts[42], " 5.5");
    EXPECT_EQ(s.regimeList.rows[0].load, "0");
}

TEST_F(RegimeFixture, InputsRoundTripInBothForms) {
    ASSERT_TRUE(NewRegime(s));
    QStringList fields(43, QStringLiteral(" 0"));
    fields[0] = " 12 0.5";     // blanks ignored wherever they stand
    fields[1] = "-3";
    fields[2] = ".5";
    fields[3] = "1.5D-05";
    fields[4] = "12,5";        // a comma never reaches here from the editor; reads 12
    fields[5] = "abc";
    ASSERT_TRUE(SaveRegimeInputs(s, fields));
    const QByteArray bytes = ReadBytes(file(s.currentRegimeFile));
    EXPECT_TRUE(bytes.startsWith("120.5\r\n-3\r\n0.5\r\n1.5E-05\r\n12\r\n0\r\n0\r\n")) << bytes.constData();
    EXPECT_EQ(bytes.count("\r\n"), 43);
    QStringList texts;
    s.inputs.fill(0);
    ASSERT_TRUE(LoadRegimeInputs(s, &texts));
    EXPECT_EQ(texts.mid(0, 6), QStringList({" 120.5", "-3", " .5", " 1.5E-05", " 12", " 0"}));
    EXPECT_FLOAT_EQ(s.inputs[0], 120.5f);
}

TEST_F(RegimeFixture, ReadersAcceptOtherNumberForms) {
    ASSERT_TRUE(NewRegime(s));
    QByteArray in;
    const char* forms[] = {" .5 ", "0.5", "-3", "1.5E-05", "  7"};
    for (int i = 0; i < 43; ++i) in += QByteArray(forms[i % 5]) + "\n";  // LF only
    WriteBytes(file(s.currentRegimeFile), in);
    ASSERT_TRUE(LoadRegimeInputs(s));
    EXPECT_FLOAT_EQ(s.inputs[0], 0.5f);
    EXPECT_FLOAT_EQ(s.inputs[2], -3.0f);
    EXPECT_FLOAT_EQ(s.inputs[3], 1.5e-5f);
    EXPECT_FLOAT_EQ(s.inputs[4], 7.0f);
}

TEST_F(RegimeFixture, ShortOrMissingFilesAreReported) {
    ASSERT_TRUE(NewRegime(s));
    WriteBytes(file(s.currentRegimeFile), "1\r\n2\r\n");
    s.inputs.fill(9);
    QString error;
    EXPECT_FALSE(LoadRegimeInputs(s, nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FLOAT_EQ(s.inputs[0], 9.0f);  // the array is left alone
    QFile::remove(file(s.currentResultsFile));
    EXPECT_FALSE(LoadRegimeResults(s, &error));
    s.setCurrentRegime(QStringLiteral("Режим №  99.Dat"));
    EXPECT_FALSE(LoadRegimeInputs(s, nullptr, &error));
}

TEST_F(RegimeFixture, SortsByLoadNumerically) {
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(NewRegime(s));
    writeLoad(1, "100");
    writeLoad(2, " 5");
    writeLoad(3, "110");
    writeLoad(4, "35");
    ASSERT_TRUE(FillRegimeList(s).isEmpty());
    QStringList loads;
    for (const auto& r : s.regimeList.rows) {
        loads.append(r.load);
        EXPECT_TRUE(r.ticked);
    }
    EXPECT_EQ(loads, QStringList({"5", "35", "100", "110"}));
    EXPECT_EQ(keys(), QStringList({RegimeFileName(2), RegimeFileName(4), RegimeFileName(1), RegimeFileName(3)}));
}

TEST_F(RegimeFixture, LoadThatIsNoNumberGoesLastUntickedWithoutWarning) {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(NewRegime(s));
    s.regimeList.rows[s.regimeList.find(RegimeFileName(1))].load = "abc";
    s.regimeList.rows[s.regimeList.find(RegimeFileName(2))].load = "50";
    s.regimeList.rows[s.regimeList.find(RegimeFileName(3))].load = "7";
    // a sort runs after every Enter: it must not warn each time
    EXPECT_EQ(SortRegimeList(s), QString());
    EXPECT_EQ(keys(), QStringList({RegimeFileName(3), RegimeFileName(2), RegimeFileName(1)}));
    EXPECT_EQ(s.regimeList.rows[0].load, "7");
    EXPECT_EQ(s.regimeList.rows[1].load, "50");
    EXPECT_EQ(s.regimeList.rows[2].load, "");
    EXPECT_TRUE(s.regimeList.rows[0].ticked);
    EXPECT_TRUE(s.regimeList.rows[1].ticked);
    EXPECT_FALSE(s.regimeList.rows[2].ticked);
}

TEST_F(RegimeFixture, RegimeWithoutResultsIsListedLastAndTheRestSorted) {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(NewRegime(s));
    writeLoad(1, "90");
    writeLoad(3, "40");
    QFile::remove(file(kResultsPrefix + RegimeFileName(2)));
    EXPECT_EQ(FillRegimeList(s), kFillWarning);  // told once, when the list is filled
    ASSERT_EQ(s.regimeList.rows.size(), 3);      // no regime disappears from the list
    EXPECT_EQ(keys(), QStringList({RegimeFileName(3), RegimeFileName(1), RegimeFileName(2)}));
    EXPECT_TRUE(s.regimeList.rows[0].ticked);
    EXPECT_TRUE(s.regimeList.rows[1].ticked);
    EXPECT_FALSE(s.regimeList.rows[2].ticked);
    EXPECT_EQ(s.regimeList.rows[2].load, "");
    EXPECT_EQ(s.regimeList.header, QStringLiteral("Всего:  3"));
    EXPECT_EQ(SortRegimeList(s), QString());
    // results written for it (a calculation) give it its place on the next fill
    s.setCurrentRegime(RegimeFileName(2));
    ASSERT_TRUE(SaveRegimeInputs(s, testing_support::MeasuredGasRegimeFields()));
    s.results.fill(0.0f);
    s.results[0] = 60.0f;
    ASSERT_TRUE(SaveRegimeResults(s));
    EXPECT_EQ(FillRegimeList(s), QString());
    EXPECT_EQ(keys(), QStringList({RegimeFileName(3), RegimeFileName(2), RegimeFileName(1)}));
}

TEST_F(RegimeFixture, FilesFoundWhateverTheirCase) {
    ASSERT_TRUE(NewRegime(s));
    QFile::rename(file(QStringLiteral("Режим №  1.Dat")), file(QStringLiteral("РЕЖИМ №  1.DAT")));
    QFile::rename(file(QStringLiteral("РасчетРежим №  1.Dat")), file(QStringLiteral("РАСЧЕТРЕЖИМ №  1.DAT")));
    ASSERT_TRUE(FillRegimeList(s).isEmpty());
    ASSERT_EQ(s.regimeList.rows.size(), 1);
    s.setCurrentRegime(s.regimeList.rows[0].key);
    ASSERT_TRUE(LoadRegimeResults(s));
    ASSERT_TRUE(SaveRegimeResults(s));
    QStringList all = QDir(folder).entryList(QDir::Files);
    EXPECT_FALSE(all.contains(QStringLiteral("РасчетРЕЖИМ №  1.DAT")));  // no second file in other case
    ASSERT_TRUE(DeleteRegimeFiles(s));
    QStringList files;
    core::ListFiles(folder, "*.dat", files);
    EXPECT_TRUE(files.isEmpty());
}

TEST_F(RegimeFixture, ShowResultsWritesTheLoadColumnAndCallsTheHook) {
    ASSERT_TRUE(NewRegime(s));
    ASSERT_TRUE(SaveRegimeInputs(s, testing_support::MeasuredGasRegimeFields()));
    int shown = 0;
    s.showRegimeResults = [&] { ++shown; };
    s.results[0] = 85.0f;
    ShowRegimeResults(s);
    EXPECT_EQ(s.regimeList.rows[0].load, "85");
    EXPECT_TRUE(s.resultsCheckMessage.isEmpty());
    EXPECT_EQ(shown, 1);
    // inputs that fail the check cannot have given these results: no load, the message
    s.inputs[0] = 0.0f;
    ShowRegimeResults(s);
    EXPECT_EQ(s.regimeList.rows[0].load, "");
    EXPECT_EQ(s.resultsCheckMessage, QStringLiteral("Нет данных по газу"));
    EXPECT_EQ(s.regimeList.rows[0].checkMessage, s.resultsCheckMessage);
    // an impossible result keeps its load and carries the reason
    s.inputs[0] = 42.0f;
    s.results[4] = 101.0f;
    ShowRegimeResults(s);
    EXPECT_EQ(s.regimeList.rows[0].load, "85");
    EXPECT_TRUE(s.regimeList.rows[0].warning.contains(QStringLiteral("КПД больше 100 %")));
}

TEST_F(RegimeFixture, EditorHookReceivesLoadedTexts) {
    ASSERT_TRUE(NewRegime(s));
    QStringList got;
    s.setEditorFields = [&](const QStringList& t) { got = t; };
    ASSERT_TRUE(LoadRegimeInputs(s));
    EXPECT_EQ(got.size(), 43);
}

TEST_F(RegimeFixture, ListForRecalculationGoesByNumberAndNeedsNoResults) {
    for (int i = 0; i < 11; ++i) ASSERT_TRUE(NewRegime(s));
    // a results file that is gone or holds a word does not keep a regime out of the list
    QFile::remove(file(kResultsPrefix + RegimeFileName(4)));
    writeLoad(7, QStringLiteral("много"));
    writeLoad(2, QStringLiteral("99"));
    ASSERT_TRUE(ListRegimes(s).isEmpty());
    QStringList expected;
    for (int n = 1; n <= 11; ++n) expected.append(RegimeFileName(n));
    EXPECT_EQ(keys(), expected);  // 10 and 11 after 9, not after 1
    for (const auto& row : s.regimeList.rows) {
        EXPECT_TRUE(row.load.isEmpty());
        EXPECT_FALSE(row.ticked);
    }
    EXPECT_EQ(s.regimeList.header, QStringLiteral("Всего:  11"));
    s.currentObjectFolder = file(QStringLiteral("нет такой папки"));
    EXPECT_EQ(ListRegimes(s), kFillWarning);
    EXPECT_TRUE(s.regimeList.rows.isEmpty());
}
