#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/emissionnorms.h"
#include "support/testdirs.h"

using namespace object;

namespace {

EmissionLimit Limit(const QString& set, const QString& fuel, Pollutant p, double limit, const QString& doc,
                    bool ranged = false, double from = 0, double to = 0) {
    EmissionLimit l;
    l.set = set;
    l.fuel = fuel;
    l.pollutant = p;
    l.limit = limit;
    l.document = doc;
    l.ranged = ranged;
    l.outputFrom = from;
    l.outputTo = to;
    return l;
}

QStringList General(const QString& fuel, const QString& nominal, const QString& unit) {
    QStringList g(object::kGeneralCount);
    g[object::BoilerType] = object::kHotWaterBoiler;
    g[object::FuelType] = fuel;
    g[object::HeatOutputUnit] = unit;
    g[object::NominalOutput] = nominal;
    return g;
}

}  // namespace

// The file round trip in its exact bytes, the lookup by set, fuel and output, and the
// defaults a missing file gives.
TEST(EmissionNorms, FileRoundTripAndLookup) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EmissionNorms n;
    ASSERT_TRUE(ReadEmissionNorms(dir.path(), n));  // no file: the defaults
    ASSERT_EQ(n.limits.size(), 3);
    AppliedLimit gas = ObjectLimit(n, QString(), General(object::kNaturalGas, "2000", "кВт"), Pollutant::NOx);
    EXPECT_TRUE(gas.found);
    EXPECT_EQ(gas.limit, 125.0);
    EXPECT_EQ(gas.set, kDefaultNormsSet);
    EXPECT_TRUE(gas.document.contains(QStringLiteral("55173")));
    EXPECT_EQ(ObjectLimit(n, QString(), General(object::kFuelOil, "1", "МВт"), Pollutant::NOx).limit, 250.0);
    EXPECT_FALSE(ObjectLimit(n, QString(), General(object::kNaturalGas, "1", "МВт"), Pollutant::CO).found);
    EXPECT_FALSE(ObjectLimit(n, QString(), General(object::kDiesel, "1", "МВт"), Pollutant::NOx).found);
    EXPECT_FALSE(ObjectLimit(n, kNoNorms, General(object::kNaturalGas, "1", "МВт"), Pollutant::NOx).found);

    // a permit with CO split by output, and a second set
    n.limits.append(Limit("Разрешение 2026", object::kNaturalGas, Pollutant::CO, 300, "Разрешение № 12", true, 0, 3));
    n.limits.append(Limit("Разрешение 2026", object::kNaturalGas, Pollutant::CO, 150.5, "Разрешение № 12", true, 3, 100));
    n.limits.append(Limit("Разрешение 2026", object::kNaturalGas, Pollutant::NOx, 200, "Разрешение; \"лист 2\""));
    ASSERT_TRUE(WriteEmissionNorms(dir.path(), n));
    const QByteArray bytes = testing_support::ReadBytes(QDir(dir.path()).filePath(kNormsFile));
    const QString text = core::DecodeCp1251(bytes);
    EXPECT_TRUE(text.startsWith(QStringLiteral("\"Набор\";\"Топливо\";\"Вещество\";\"Предел, мг/м3\";\"Документ\";"
                                               "\"Мощность от, МВт\";\"Мощность до, МВт\"\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n\"Общие\";\"Мазут\";\"NOx\";\"250\";\"ГОСТ Р 55173-2012, табл. 3\";\"\";\"\"\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"Природный газ\";\"CO\";\"150.5\";\"Разрешение № 12\";\"3\";\"100\"\r\n")));
    EXPECT_EQ(bytes.count("\r\n"), 7);

    EmissionNorms back;
    ASSERT_TRUE(ReadEmissionNorms(dir.path(), back));
    ASSERT_EQ(back.limits.size(), 6);
    EXPECT_EQ(back.sets(), QStringList({kDefaultNormsSet, "Разрешение 2026"}));
    // a semicolon inside a quoted document name stays; its double quotes became apostrophes
    EXPECT_EQ(back.limits[5].document, QStringLiteral("Разрешение; 'лист 2'"));
    const QString permit = QStringLiteral("разрешение 2026");  // the choice ignores letter case
    // 2000 kW = 2 MW falls into the first range, 3 MW (the bound) into the second
    EXPECT_EQ(ObjectLimit(back, permit, General(object::kNaturalGas, "2000", "кВт"), Pollutant::CO).limit, 300.0);
    EXPECT_EQ(ObjectLimit(back, permit, General(object::kNaturalGas, "3", "МВт"), Pollutant::CO).limit, 150.5);
    EXPECT_NEAR(NominalOutputMW(General(object::kNaturalGas, "2.58", "Гкал/час")), 3.0, 1e-6);
    EXPECT_FALSE(ObjectLimit(back, permit, General(object::kNaturalGas, "100", "МВт"), Pollutant::CO).found);
    EXPECT_FALSE(ObjectLimit(back, "Другой", General(object::kNaturalGas, "1", "МВт"), Pollutant::NOx).found);
    EXPECT_EQ(ObjectLimit(back, permit, General(object::kNaturalGas, "1", "МВт"), Pollutant::NOx).limit, 200.0);

    // the object's choice
    QString choice = "x";
    ASSERT_TRUE(ReadObjectNorms(dir.path(), choice));
    EXPECT_EQ(choice, QString());
    ASSERT_TRUE(WriteObjectNorms(dir.path(), permit));
    ASSERT_TRUE(ReadObjectNorms(dir.path(), choice));
    EXPECT_EQ(choice, permit);
    EXPECT_EQ(testing_support::ReadBytes(QDir(dir.path()).filePath(kObjectNormsFile)),
              core::EncodeCp1251(QStringLiteral("\"разрешение 2026\"\r\n")));
}

// Files and lists of the wrong shape are refused, naming the file and line; a refused write
// keeps the old bytes.
TEST(EmissionNorms, RefusesWrongShapes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath(kNormsFile);
    const QString header = NormsHeaderLine() + "\r\n";
    const QString good = "\"Общие\";\"Природный газ\";\"NOx\";\"125\";\"Д\";\"\";\"\"\r\n";
    const struct {
        QString text;
        QString why;
    } cases[] = {
        {good, "строки заголовка"},
        {header + "\"Общие\";\"Природный газ\";\"NOx\";\"125\";\"Д\";\"\"\r\n", "строка 2"},
        {header + good + "\"Общие\";\"Природный газ\";\"SO2\";\"125\";\"Д\";\"\";\"\"\r\n", "SO2"},
        {header + "\"Общие\";\"Природный газ\";\"NOx\";\"12o\";\"Д\";\"\";\"\"\r\n", "не число"},
        {header + "\"Общие\";\"Уголь\";\"NOx\";\"125\";\"Д\";\"\";\"\"\r\n", "Уголь"},
        {header + "\"Общие\";\"Мазут\";\"NOx\";\"0\";\"Д\";\"\";\"\"\r\n", "больше нуля"},
        {header + "\"Общие\";\"Мазут\";\"NOx\";\"125\";\"\";\"\";\"\"\r\n", "документ"},
        {header + "\"Общие\";\"Мазут\";\"NOx\";\"125\";\"Д\";\"5\";\"\"\r\n", "одной границей"},
        {header + "\"Общие\";\"Мазут\";\"NOx\";\"125\";\"Д\";\"5\";\"5\"\r\n", "меньше"},
        {header + good + "\"общие\";\"природный газ\";\"nox\";\"99\";\"Д\";\"1\";\"2\"\r\n", "строка 3"},
        {header + good + "\r\n" + good, "строка 3"},
        {header + "\"Общие\";\"Мазут\";\"NOx\";\"125\";\"Д\";\"\";\"\" x\r\n", "строка 2"},
    };
    for (const auto& c : cases) {
        testing_support::WriteBytes(path, core::EncodeCp1251(c.text));
        EmissionNorms n;
        n.limits.clear();
        QString error;
        EXPECT_FALSE(ReadEmissionNorms(dir.path(), n, &error)) << c.text.toStdString();
        EXPECT_TRUE(error.startsWith(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(c.why)) << c.why.toStdString() << " / " << error.toStdString();
        EXPECT_EQ(n.limits.size(), DefaultEmissionNorms().limits.size());
    }
    // a list with overlapping ranges is not written, the old bytes stay
    testing_support::WriteBytes(path, core::EncodeCp1251(header + good));
    EmissionNorms bad = DefaultEmissionNorms();
    bad.limits.append(Limit("Общие", object::kNaturalGas, Pollutant::NOx, 80, "Д2", true, 0, 1));
    QString error;
    EXPECT_FALSE(WriteEmissionNorms(dir.path(), bad, &error));
    EXPECT_TRUE(error.contains("строка 5")) << error.toStdString();
    EXPECT_EQ(testing_support::ReadBytes(path), core::EncodeCp1251(header + good));
    // an object choice file of two lines is damaged
    testing_support::WriteBytes(QDir(dir.path()).filePath(kObjectNormsFile), "\"a\"\r\n\"b\"\r\n");
    QString choice;
    EXPECT_FALSE(ReadObjectNorms(dir.path(), choice, &error));
    EXPECT_TRUE(error.contains(kObjectNormsFile)) << error.toStdString();
}

// The verdict at its three boundaries: value − U95 just above the limit, value + U95 on the
// limit, and between; none without a limit.
TEST(EmissionNorms, VerdictBoundaries) {
    AppliedLimit l;
    l.found = true;
    l.limit = 125.0;
    const struct {
        double value, u;
        Verdict expected;
    } cases[] = {
        {120.1, 4.9, Verdict::Complies},            // 125.0 exactly on the limit (as shown)
        {120.2, 4.9, Verdict::WithinUncertainty},   // 125.1 above, 115.3 below
        {129.9, 4.9, Verdict::WithinUncertainty},   // value − U = 125.0: not above the limit
        {130.0, 4.9, Verdict::Exceeds},             // value − U = 125.1
        {125.0, 0.0, Verdict::Complies},            // no uncertainty: on the limit complies
        {125.1, 0.0, Verdict::Exceeds},
        {100.0, -30.0, Verdict::WithinUncertainty}, // a negative U counts by its size
    };
    for (const auto& c : cases)
        EXPECT_EQ(Judge(c.value, c.u, l), c.expected) << c.value << " ± " << c.u;
    EXPECT_EQ(VerdictText(Judge(10, 1, l)), QStringLiteral("соответствует"));
    EXPECT_EQ(VerdictText(Judge(125, 1, l)), QStringLiteral("в пределах погрешности"));
    EXPECT_EQ(VerdictText(Judge(127, 1, l)), QStringLiteral("превышение"));
    l.found = false;
    EXPECT_EQ(Judge(1000, 0, l), Verdict::None);
    EXPECT_EQ(VerdictText(Verdict::None), QString());
}
