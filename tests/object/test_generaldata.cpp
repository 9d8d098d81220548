#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/names.h"
#include "object/generaldata.h"
#include "store/objectcreate.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "support/testdirs.h"

using namespace object;
using namespace store;
using testing_support::ReadBytes;
using testing_support::TestHome;
using testing_support::WriteBytes;

TEST(GeneralData, EmptyRecordIsNineteenPairsOfQuotes) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteGeneralData(dir.path(), QStringList(kGeneralCount)));
    QByteArray expected;
    for (int i = 0; i < 19; ++i) expected += "\"\"\r\n";
    EXPECT_EQ(ReadBytes(dir.filePath("OData.txt")), expected);
}

TEST(GeneralData, RoundTripKeepsCommasAndBlanks) {
    QTemporaryDir dir;
    QStringList g(kGeneralCount);
    g[ObjectName] = QStringLiteral("  Котельная, корпус 2");
    g[BurnerType] = QStringLiteral("Горелка \"Вулкан\"");
    ASSERT_TRUE(WriteGeneralData(dir.path(), g));
    QStringList back;
    ASSERT_TRUE(ReadGeneralData(dir.path(), back));
    EXPECT_EQ(back[ObjectName], g[ObjectName]);
    EXPECT_EQ(back[BurnerType], QStringLiteral("Горелка 'Вулкан'"));  // a quote cannot be stored
}

TEST(GeneralData, ShortFileIsAReadErrorKeepingWhatWasRead) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("ODATA.TXT"), "\"Петров\"\r\n\"x\"\r\n");  // found whatever its case
    QStringList v;
    EXPECT_FALSE(ReadGeneralData(dir.path(), v));
    EXPECT_EQ(v.size(), 2);
}

TEST(GeneralData, FuelDefaultsAndGroups) {
    FuelDefaults d;
    ASSERT_TRUE(DefaultsForFuel(QStringLiteral("Природный газ"), d));
    EXPECT_EQ(QStringList({d.calorificValue, d.density, d.co2Max}), QStringList({"8000", "0.67", "11.8"}));
    EXPECT_EQ(d.calorificUnit, QStringLiteral("ккал/ст.м3"));
    ASSERT_TRUE(DefaultsForFuel(QStringLiteral("мазут"), d));
    EXPECT_EQ(d.calorificValue, "9600");
    EXPECT_EQ(d.densityUnit, QStringLiteral("т/м3"));
    ASSERT_TRUE(DefaultsForFuel(QStringLiteral("Пропан-бутан"), d));
    EXPECT_EQ(QStringList({d.calorificValue, d.density, d.co2Max}), QStringList({"22500", "2.1", "13.9"}));
    ASSERT_TRUE(DefaultsForFuel(QStringLiteral("Дизельное топливо"), d));
    EXPECT_EQ(QStringList({d.calorificValue, d.density, d.co2Max}), QStringList({"10180", "0.9", "15.9"}));
    EXPECT_FALSE(DefaultsForFuel(QStringLiteral("Уголь"), d));
    EXPECT_TRUE(IsGaseousFuel(QStringLiteral("ПРОПАН-БУТАН")));
    EXPECT_TRUE(IsLiquidFuel(QStringLiteral("Мазут")));
    QStringList g(kGeneralCount);
    g[Economiser] = QStringLiteral("С ЭКОНОМАЙЗЕРОМ");
    EXPECT_TRUE(HasEconomiser(g));
    g[Economiser] = QStringLiteral("без экономайзера");
    EXPECT_FALSE(HasEconomiser(g));
    EXPECT_EQ(LoadControls()[2], QStringLiteral("Плавное  регулирование"));
}

TEST(Units, ThirtyOneQuotedLinesWithFollowers) {
    QTemporaryDir dir;
    QStringList u = DefaultUnits();
    u[14] = "ppm";
    u[15] = QStringLiteral("мг/м3");
    u[6] = QStringLiteral("Па");
    ASSERT_TRUE(WriteUnits(dir.path(), u));
    const QByteArray bytes = ReadBytes(dir.filePath("Ediny.txt"));
    EXPECT_EQ(bytes.count("\r\n"), 31);
    EXPECT_EQ(bytes.count('"'), 62);
    QStringList back;
    ASSERT_TRUE(ReadUnits(dir.path(), back));
    EXPECT_EQ(back[15], "ppm");
    EXPECT_EQ(back[20], QStringLiteral("Па"));
    // NO read as NO in mg/m3 (offered for NO only): its NO2 stays in mg/m3 of NO2, and the
    // calculation reads the units differently
    EXPECT_TRUE(OfferedUnits(14).contains(kNoAsNoUnit));
    EXPECT_FALSE(OfferedUnits(11).contains(kNoAsNoUnit));
    EXPECT_FALSE(OfferedUnits(15).contains(kNoAsNoUnit));
    QStringList asNo = back;
    asNo[14] = kNoAsNoUnit;
    asNo[15] = "ppm";
    ASSERT_TRUE(WriteUnits(dir.path(), asNo));
    ASSERT_TRUE(ReadUnits(dir.path(), back));
    EXPECT_EQ(back[14], QStringLiteral("мг/м3 NO"));
    EXPECT_EQ(back[15], QStringLiteral("мг/м3"));
    QStringList plain = back;
    plain[14] = plain[15] = QStringLiteral("мг/м3");
    EXPECT_TRUE(CalculationUnitsChanged(plain, back));
}

TEST(Units, TemplateFileHoldsTheDefaults) {
    QStringList u;
    ASSERT_TRUE(ReadUnits(QStringLiteral(KALVARO_SOURCE_DIR "/template"), u));
    EXPECT_EQ(u, DefaultUnits());
    for (int i = 0; i < kUnitCount; ++i) EXPECT_TRUE(OfferedUnits(i).contains(u[i])) << i;
    EXPECT_EQ(u[10], "oC");                   // Latin letters
    EXPECT_EQ(u[1], QStringLiteral("оС"));    // Cyrillic letters
    EXPECT_EQ(InputOfUnit(16), 41);
    EXPECT_EQ(InputOfUnit(29), 33);
    EXPECT_EQ(InputOfUnit(30), 32);
}

TEST(NewObject, ChecksRunInOrder) {
    TestHome home;
    app::AppState s;
    home.apply(s);
    home.makeObject(QStringLiteral("Занято"));
    QStringList f(kGeneralCount);
    auto check = [&] { return CheckNewObject(s, f); };
    EXPECT_EQ(check().text, QStringLiteral("Введите имя объекта."));
    EXPECT_EQ(check().title, QStringLiteral("Ощибка ввода данных"));
    f[ObjectName] = QStringLiteral("  занято ");
    EXPECT_EQ(check().text, QStringLiteral("Объект с такаим именем уже существует.Назначте объекту другое имя."));
    f[ObjectName] = QStringLiteral("Новый");
    EXPECT_EQ(check().text, QStringLiteral("Введите статус установки."));
    EXPECT_EQ(check().title, QStringLiteral("Недостаточно данных"));
    EXPECT_EQ(check().page, 1);
    f[BoilerType] = kSteamBoiler;
    EXPECT_EQ(check().text, QStringLiteral("Введите вид топлива."));
    EXPECT_EQ(check().page, 2);
    f[FuelType] = kDiesel;
    EXPECT_EQ(check().text, QStringLiteral("Введите информацию о хвостовых поверхнстях."));
    EXPECT_EQ(check().focusEntry, static_cast<int>(Economiser));
    f[Economiser] = kWithEconomiser;
    EXPECT_TRUE(check().ok);
}

TEST(NewObject, NameFilter) {
    EXPECT_EQ(FilterObjectName(QStringLiteral("a/b?c")), "abc");
    EXPECT_EQ(FilterObjectName(QStringLiteral("<*|>\\x")), "x");
}

TEST(NewObject, CreationWritesEverythingAndOneRegime) {
    TestHome home;
    app::AppState s;
    home.apply(s);
    QStringList f = testing_support::HotWaterGasGeneral(QStringLiteral("  Новая котельная"));
    ASSERT_TRUE(CreateObject(s, f));
    const QString folder = core::JoinPath(home.objects(), QStringLiteral("Новая котельная"));
    EXPECT_EQ(s.currentObjectFolder, folder);
    QStringList g;
    ASSERT_TRUE(ReadGeneralData(folder, g));
    EXPECT_EQ(g[ObjectName], QStringLiteral("  Новая котельная"));  // entry 7 as typed
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, "Ediny.txt")), ReadBytes(core::JoinPath(home.templ(), "Ediny.txt")));
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, "Col_R.txt")), QByteArray(" 1\r\n"));
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, "Col_RAll.txt")), QByteArray(" 1\r\n"));
    EXPECT_TRUE(QFile::exists(core::JoinPath(folder, QStringLiteral("Режим №  1.Dat"))));
    EXPECT_TRUE(QFile::exists(core::JoinPath(folder, QStringLiteral("РасчетРежим №  1.Dat"))));
    EXPECT_EQ(s.general, g);
}

TEST(NewObject, FailureLeavesNothingBehind) {
    TestHome home;
    app::AppState s;
    home.apply(s);
    QStringList f = testing_support::HotWaterGasGeneral(QStringLiteral("x"));
    f[ObjectName] = QStringLiteral("..");
    QString error;
    EXPECT_FALSE(CreateObject(s, f, &error));
    s.objectsFolder = core::JoinPath(home.path(), "missing");
    f[ObjectName] = QStringLiteral("Ок");
    EXPECT_FALSE(CreateObject(s, f, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(home.objects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST(NewObject, MissingTemplateUnitsFallBackToDefaults) {
    TestHome home;
    app::AppState s;
    home.apply(s);
    QFile::remove(core::JoinPath(home.templ(), "Ediny.txt"));
    ASSERT_TRUE(CreateObject(s, testing_support::HotWaterGasGeneral(QStringLiteral("Б"))));
    QStringList u;
    ASSERT_TRUE(ReadUnits(s.currentObjectFolder, u));
    EXPECT_EQ(u, DefaultUnits());
}
