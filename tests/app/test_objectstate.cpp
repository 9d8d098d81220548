// Nothing of one object survives into another: selection and loading start from an empty
// record; missing units come from the template for display and calculation alike; object
// copies that fail leave no half-made folder; names with control characters are refused.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

#include "store/objectcopy.h"
#include "store/objectstore.h"
#include "core/names.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "support/scripted_dialogs.h"
#include "support/filesizelimit.h"
#include "support/testdirs.h"

using namespace app;
using namespace store;
using testing_support::FileSizeLimit;
using testing_support::ReadBytes;
using testing_support::TestHome;
using testing_support::WriteBytes;

namespace {

struct StateFixture : ::testing::Test {
    TestHome home;
    AppState s;
    testing_support::ScriptedDialogs d;
    void SetUp() override { home.apply(s); }
    QString object(const QString& name) const { return core::JoinPath(home.objects(), name); }
};

// Writes only the first `lines` quoted lines of a general data record.
void WriteShortGeneral(const QString& folder, const QStringList& general, int lines) {
    core::WriteQuotedFile(core::JoinPath(folder, object::kGeneralFile), general.mid(0, lines));
}


}  // namespace

TEST_F(StateFixture, AShortGeneralDataFileTakesNothingOfThePreviousObject) {
    home.makeObject("A", testing_support::HotWaterGasGeneral("A"));
    const QString b = home.makeObject("B");
    QStringList general = testing_support::HotWaterGasGeneral("B");
    general[object::FuelType] = object::kDiesel;
    WriteShortGeneral(b, general, 6);
    const QByteArray onDisk = ReadBytes(core::JoinPath(b, object::kGeneralFile));

    ASSERT_FALSE(SelectObject(s, "A").readError);
    EXPECT_EQ(s.general[object::NominalOutput], "1200");
    s.inputs[3] = 42.0f;
    s.regimeList.rows.append({"Режим №  1.Dat", "50", true, true});
    const ObjectSummary sum = SelectObject(s, "B");
    EXPECT_TRUE(sum.readError);
    EXPECT_TRUE(sum.generalUnreadable);
    for (int i = 0; i < object::kGeneralCount; ++i)
        EXPECT_TRUE(s.general[i].isEmpty()) << "entry " << i << " = " << s.general[i].toStdString();
    EXPECT_EQ(s.inputs[3], 0.0f);
    EXPECT_TRUE(s.regimeList.rows.isEmpty());
    // and the command line refuses to work on it
    QString error;
    EXPECT_FALSE(LoadObjectData(s, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("в файле 6 строк, нужно 19"))) << error.toStdString();
    EXPECT_EQ(ReadBytes(core::JoinPath(b, object::kGeneralFile)), onDisk);
}

TEST_F(StateFixture, MissingOrShortUnitsComeFromTheTemplateForDisplayAndCalculation) {
    QStringList templ = object::DefaultUnits();
    templ[0] = QStringLiteral("м3/час");
    templ[11] = QStringLiteral("мг/м3");
    ASSERT_TRUE(object::WriteUnits(home.templ(), templ));
    object::ApplyUnitFollowers(templ);
    const QString a = home.makeObject("A", testing_support::HotWaterGasGeneral("A"));
    QStringList own = object::DefaultUnits();
    own[0] = QStringLiteral("н.м3/час");
    object::WriteUnits(a, own);
    const QString b = home.makeObject("B", testing_support::HotWaterGasGeneral("B"));
    QFile::remove(core::JoinPath(b, object::kUnitsFile));

    s.setCurrentObject("A");
    QString error, warning;
    ASSERT_TRUE(LoadObjectData(s, &error, &warning)) << error.toStdString();
    EXPECT_TRUE(warning.isEmpty());
    EXPECT_EQ(s.units[0], QStringLiteral("н.м3/час"));

    s.setCurrentObject("B");
    ASSERT_TRUE(LoadObjectData(s, &error, &warning)) << error.toStdString();
    EXPECT_EQ(s.units, templ);
    EXPECT_TRUE(warning.contains(QStringLiteral("по умолчанию из шаблона"))) << warning.toStdString();
    const engine::CalcInputs in = s.calcInputs();
    EXPECT_EQ(in.units[0], "м3/час");
    EXPECT_EQ(in.units[11], "мг/м3");

    // a short file is treated alike; without a readable template the built-in set is used
    core::WriteQuotedFile(core::JoinPath(b, object::kUnitsFile), own.mid(0, 10));
    QFile::remove(core::JoinPath(home.templ(), object::kUnitsFile));
    QStringList units;
    EXPECT_FALSE(object::LoadObjectUnits(b, home.templ(), units, &warning));
    EXPECT_EQ(units, object::DefaultUnits());
    EXPECT_TRUE(warning.contains(QStringLiteral("по умолчанию программы")));
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(b, "Ediny.txt.tmp")));
}

TEST_F(StateFixture, NamesWithControlCharactersAreRefused) {
    for (const QString& bad : {QStringLiteral("Котельная\n2"), QStringLiteral("a\tb"), QStringLiteral("x\x7fy"),
                               QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral(".."), QStringLiteral("  ")})
        EXPECT_FALSE(core::IsAcceptableName(bad)) << bad.toStdString();
    EXPECT_TRUE(core::IsAcceptableName(QStringLiteral("Котельная №3, ул. Ленина")));
    home.makeObject("A");
    s.setCurrentObject("A");
    d.inputs = {QStringLiteral("Новое\nимя")};
    EXPECT_EQ(RenameObject(s, d), CommandResult::Refused);
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_EQ(d.messages()[0], kBadObjectName);
    EXPECT_TRUE(QFileInfo(object("A")).isDir());
}

TEST_F(StateFixture, FailedCopiesAndImportsLeaveNoHalfMadeFolder) {
    const QString a = home.makeObject("A", testing_support::HotWaterGasGeneral("A"));
    WriteBytes(core::JoinPath(a, "Режим №  1.Dat"), QByteArray(4096, '1'));
    QTemporaryDir elsewhere;
    const QString source = core::JoinPath(elsewhere.path(), "Импорт");
    QDir().mkpath(source);
    for (const QString& f : QDir(a).entryList(QDir::Files)) QFile::copy(core::JoinPath(a, f), core::JoinPath(source, f));
    {
        FileSizeLimit limit(1024);  // the large regime file cannot be written
        s.setCurrentObject("A");
        d.inputs = {QStringLiteral("Копия")};
        EXPECT_EQ(CreateObjectCopy(s, d), CommandResult::Failed);
        EXPECT_FALSE(QFileInfo::exists(object("Копия")));
        EXPECT_EQ(d.messages().last(), QStringLiteral("Объект не может быть скопирован на ") + s.objectsFolder);

        d.folders = {source};
        d.answers = {app::Answer::Yes};
        EXPECT_EQ(ImportObject(s, d), CommandResult::Failed);
        EXPECT_FALSE(QFileInfo::exists(object("Импорт")));
        EXPECT_EQ(d.messages().last(), QStringLiteral("Объект не может быть скопирован на ") + s.objectsFolder);
    }
    // a link inside an object is not copied along
    QTemporaryDir outside;
    WriteBytes(core::JoinPath(outside.path(), "secret"), "outside");
    ASSERT_TRUE(QFile::link(core::JoinPath(outside.path(), "secret"), core::JoinPath(a, "Koment.txt")));
    d.inputs = {QStringLiteral("Копия")};
    EXPECT_EQ(CreateObjectCopy(s, d), CommandResult::Done);
    EXPECT_TRUE(QFileInfo::exists(core::JoinPath(object("Копия"), "Режим №  1.Dat")));
    EXPECT_FALSE(QFileInfo(core::JoinPath(object("Копия"), "Koment.txt")).exists());
}

TEST_F(StateFixture, AnEditorValueBeyondTheFloatRangeIsNotSaved) {
    const QString a = home.makeObject("A", testing_support::HotWaterGasGeneral("A"));
    s.setCurrentObject("A");
    ASSERT_TRUE(regime::ReadRegimeCounters(s));
    ASSERT_TRUE(regime::NewRegime(s));
    const QString file = core::JoinPath(a, s.currentRegimeFile);
    const QByteArray before = ReadBytes(file);
    QStringList texts(app::kInputCount, QStringLiteral(" 1"));
    texts[5] = QStringLiteral("1E39");
    QString error;
    EXPECT_FALSE(regime::SaveRegimeInputs(s, texts, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Поле 6"))) << error.toStdString();
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(s.inputs[0], 0.0f);
    texts[5] = QStringLiteral("3.4E38");
    EXPECT_TRUE(regime::SaveRegimeInputs(s, texts, &error)) << error.toStdString();
    EXPECT_EQ(s.inputs[5], 3.4e38f);
}
