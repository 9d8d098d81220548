// The demo objects: three boilers with realistic regimes, written by the program's own
// routines so every file is exactly in format.

#include "cli/demo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "core/names.h"
#include "docs/documents.h"
#include "docs/safetymap.h"
#include "object/generaldata.h"
#include "store/objectcreate.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"
#include "tools/experiments.h"
#include "tools/flamehead.h"
#include "tools/q5.h"
#include "tools/toolnumbers.h"
#include "report/carddata.h"
#include "report/reportmodel.h"
#include "report/reportpdf.h"
#include "report/reportxlsx.h"

namespace cli {

namespace {

struct DemoObject {
    QStringList general;                 // 19 entries
    QList<QPair<int, QString>> units;    // unit texts that differ from the template
    QList<QList<QPair<int, double>>> regimes;  // measured inputs per regime
    bool q5Surfaces = false;                   // q5 of every regime from its outer surfaces
    QStringList plg;                           // flame-head rating plate, when the burner has one
    int experimentRegime = -1;                 // list position whose preliminary experiment 2 is taken
    QList<int> surfaceLevel;                   // per regime: how warm its q5 surfaces are (0 coldest)
};

QStringList General(const QString& performer, const QString& boiler, const QString& steamUnit, const QString& q5Mode,
                    const QString& control, const QString& fuel, const QString& heatUnit, const QString& name,
                    const QString& burner, const QString& type, const QString& station, const QString& factory,
                    const QString& economiser, const QString& nominal, const QString& q5, const QString& ownNeeds) {
    object::FuelDefaults d;
    object::DefaultsForFuel(fuel, d);
    return {performer, boiler,        steamUnit, q5Mode,  control, fuel,       heatUnit, name,     burner, d.calorificValue,
            d.density, d.co2Max,      type,      station, factory, economiser, nominal,  q5,       ownNeeds};
}

QList<DemoObject> DemoObjects() {
    using namespace object;
    QList<DemoObject> list;

    DemoObject hw;
    hw.general = General(QStringLiteral("Петров А.В."), kHotWaterBoiler, QString(), kQ5EachRegime,
                         QStringLiteral("Плавное  регулирование"), kNaturalGas, QStringLiteral("кВт"),
                         QStringLiteral("Котельная школы №3"), QStringLiteral("GB-120 газовая"),
                         QStringLiteral("КВа-1,16"), QStringLiteral("1"), QStringLiteral("10457"), kWithoutEconomiser,
                         QStringLiteral("1160"), QStringLiteral("2"), QStringLiteral("1"));
    hw.units = {{0, QStringLiteral("м3/час")}};
    // gas flow, gas temperature, meter pressure, pressures, furnace, CO, CO2, O2, NO, NO2,
    // flue temperature, air temperature, air pressure, damper, water in/out, pressures, flow
    // Regimes 5 and 6 are experiments at the load of regime 3 with less air (O2 3 and 2 %),
    // so that load has three air settings for the tuning assistant.
    const double hwData[6][14] = {
        {42, 8.15, 6.5, 40, 30, 2, 121, 37, 78.1, 30, 38.9, 14.2, 3.1, 25},
        {71, 9.0, 5.0, 20, 38, 2, 134, 37, 84.6, 45, 38.4, 18.5, 4.0, 50},
        {101, 9.55, 4.0, 15, 45, 3, 149, 36, 89.9, 62, 38.6, 21.3, 5.2, 72},
        {129, 9.83, 3.5, 25, 52, 3, 163, 37, 94.3, 80, 39.2, 23.9, 6.1, 88},
        {101, 10.11, 3.0, 60, 41, 3, 147.5, 36, 90.2, 62, 38.6, 21.3, 4.9, 64},
        {101, 10.65, 2.0, 1200, 36, 2, 146, 36, 90.4, 62, 38.6, 21.3, 4.6, 56}};
    for (const auto& r : hwData)
        hw.regimes.append({{0, r[0]}, {1, 11}, {2, 18}, {3, 300}, {4, 28}, {5, r[12]}, {6, -0.2},
                           {12, r[1]}, {13, r[2]}, {11, r[3]}, {14, r[4]}, {15, r[5]}, {17, r[6]}, {18, 18},
                           {19, r[11]}, {16, -0.3}, {21, r[13]}, {32, r[13]}, {22, 70}, {23, r[8]}, {24, 3.2}, {25, 3.0},
                           {41, r[10]}});
    hw.q5Surfaces = true;
    hw.surfaceLevel = {0, 1, 2, 3, 2, 2};
    hw.plg = {QStringLiteral("12"), QStringLiteral("32"), QStringLiteral("400"), QStringLiteral("1250")};
    hw.experimentRegime = 1;
    list.append(hw);

    DemoObject st;
    st.general = General(QStringLiteral("Сидоров И.П."), kSteamBoiler, QStringLiteral("т/час"), kQ5AtNominal,
                         QStringLiteral("Плавно-ступенчатое регулирование"), kDiesel, QString(),
                         QStringLiteral("Молокозавод, паровая котельная"), QStringLiteral("RL 250 дизельная"),
                         QStringLiteral("ДЕ-4-14"), QStringLiteral("2"), QStringLiteral("3318"), kWithEconomiser,
                         QStringLiteral("4"), QStringLiteral("1.5"), QStringLiteral("1.5"));
    st.units = {{7, QStringLiteral("кг/час")}};
    // fuel flow, CO2, O2, CO, NO, NO2, flue temp after economiser, CO2', O2', flue temp before,
    // steam flow by meter, fuel pressure
    const double stData[4][12] = {
        {92, 11.73, 5.5, 30, 55, 3, 121, 11.9, 5.3, 212, 1.53, 11},
        {151, 12.49, 4.5, 20, 65, 4, 134, 12.6, 4.3, 241, 2.49, 15},
        {209, 12.87, 4.0, 18, 72, 4, 149, 13.0, 3.8, 266, 3.43, 19},
        {238, 13.03, 3.8, 25, 78, 5, 158, 13.2, 3.6, 279, 3.91, 21}};
    for (const auto& r : stData)
        st.regimes.append({{7, r[0]}, {8, r[11]}, {9, r[11] - 1}, {10, 20}, {6, -0.3}, {12, r[1]}, {13, r[2]},
                           {11, r[3]}, {14, r[4]}, {15, r[5]}, {17, r[6]}, {18, 22}, {19, 6.5}, {20, -0.5}, {16, -0.6},
                           {21, 30 + r[0] / 5}, {32, 30 + r[0] / 5}, {26, 102}, {27, 16}, {28, 8}, {29, 128},
                           {30, 15.5}, {33, 104}, {35, r[3] + 2}, {36, r[7]}, {37, r[8]}, {38, r[4] - 2},
                           {39, r[5]}, {40, r[9]}, {41, r[10]}});
    list.append(st);

    DemoObject oil;
    oil.general = General(QStringLiteral("Петров А.В."), kHotWaterBoiler, QString(), kQ5AtAllLoads,
                          QStringLiteral("Ступенчатое регулирование"), kFuelOil, QStringLiteral("Гкал/час"),
                          QStringLiteral("ТЭЦ-2 водогрейный котел 4"), QStringLiteral("ГМГ-5 мазутная"),
                          QStringLiteral("ТВГ-4р"), QStringLiteral("4"), QStringLiteral("772"), kWithEconomiser,
                          QStringLiteral("4"), QStringLiteral("1.2"), QStringLiteral("2"));
    oil.units = {{7, QStringLiteral("кг/час")}};
    const double oilData[3][9] = {
        // fuel flow, CO2, O2, CO, NO, flue temp, water out, flow, flue temp before economiser
        {210, 12.1, 5.0, 35, 95, 168, 96.5, 74.5, 250},
        {330, 12.6, 4.3, 28, 118, 182, 108.2, 75.5, 271},
        {445, 12.9, 3.9, 40, 131, 195, 119.6, 76.6, 290}};
    for (const auto& r : oilData)
        oil.regimes.append({{7, r[0]}, {8, 18}, {9, 16}, {10, 110}, {6, -0.2}, {12, r[1]}, {13, r[2]},
                            {11, r[3]}, {14, r[4]}, {15, 6}, {17, r[5]}, {18, 15}, {19, 9}, {21, 45},
                            {32, 45}, {16, -0.4}, {20, -0.3}, {22, 70}, {23, r[6]}, {24, 6.5}, {25, 5.8}, {31, 74}, {34, 6.2},
                            {35, r[3] + 3}, {36, r[1] + 0.3}, {37, r[2] - 0.3}, {38, r[4] - 4}, {39, 6},
                            {40, r[8]}, {41, r[7]}});
    list.append(oil);
    return list;
}

// Three outer surfaces of the hot-water boiler, a little warmer at higher loads.
QStringList DemoSurfaces(int regime) {
    QStringList cells(tools::kQ5CellCount);
    const struct {
        const char *area, *orientation, *material;
        double surface, air;
    } surfaces[] = {{"4.2", "Вертикаль.", "Сталь", 46, 20},
                    {"2.8", "Горизонталь.", "Штукатурка", 52, 24},
                    {"1.1", "Цилиндр.", "Алюминий", 61, 20}};
    int s = 1;
    for (const auto& f : surfaces) {
        cells[tools::Q5Cell(s, tools::Area)] = QString::fromUtf8(f.area);
        cells[tools::Q5Cell(s, tools::SurfaceTemp)] = QString::number(f.surface + 2 * regime);
        cells[tools::Q5Cell(s, tools::AirTemp)] = QString::number(f.air);
        cells[tools::Q5Cell(s, tools::Orientation)] = QString::fromUtf8(f.orientation);
        cells[tools::Q5Cell(s, tools::Material)] = QString::fromUtf8(f.material);
        ++s;
    }
    return cells;
}

// What the calculators leave in an object: q5 files taken into the regimes, one
// preliminary experiment taken into a regime, the flame-head rating plate.
bool WriteCalculatorData(app::AppState& s, const DemoObject& d, QString& error) {
    if (d.q5Surfaces) {
        const auto rows = s.regimeList.rows;
        for (int i = 0; i < rows.size(); ++i) {
            const QString file = rows[i].key;
            const int number = regime::RegimeNumberOf(file).value_or(i + 1);
            const int level = number - 1 < d.surfaceLevel.size() ? d.surfaceLevel[number - 1] : i;
            if (!tools::WriteQ5File(s.currentObjectFolder, tools::Q5FileName(file), DemoSurfaces(level), &error))
                return false;
            tools::Q5Computation c;
            if (!tools::ComputeRegimeQ5(s, file, c, &error)) return false;
            if (!tools::WriteQ5File(s.currentObjectFolder, tools::Q5FileName(file), c.cells, &error)) return false;
            QStringList fields;
            if (!regime::LoadRegimeInputs(s, &fields, &error)) return false;
            fields[42] = c.cells[tools::kQ5PercentCell];
            if (!regime::SaveRegimeInputs(s, fields, &error)) return false;
        }
    }
    if (d.experimentRegime >= 0 && d.experimentRegime < s.regimeList.rows.size()) {
        s.setCurrentRegime(s.regimeList.rows[d.experimentRegime].key);
        QStringList fields;
        if (!regime::LoadRegimeInputs(s, &fields, &error) || !regime::LoadRegimeResults(s, &error)) return false;
        tools::ExperimentContext ctx{s.general[object::FuelType],
                                     tools::FieldValue(s.general[object::Co2Max]), s.inputs[18], s.units[11],
                                     s.results[7]};
        tools::ExperimentSheet sheet(ctx);
        sheet.open(s.inputs, s.results);
        if (!regime::SaveRegimeInputs(s, sheet.takeInto(2, fields), &error)) return false;
    }
    if (!d.plg.isEmpty() && !tools::WritePlg(s.currentObjectFolder, d.plg, &error)) return false;
    return true;
}

// The safety map, the comment and the report of the first object, so a new user finds the
// documents page at work. The sheet carries a fixed date, so the demo is the same each time.
bool WriteDemoDocuments(const QString& folder, QString& error) {
    QStringList cells = docs::InitialMapCells();
    const QStringList sensors[8] = {
        {"Датчик давления газа max", "GW 50 A6", "35"},  {"Датчик давления газа min", "GW 10 A6", "8"},
        {"Датчик давления воздуха", "LGW 3 A2", "1,2"},   {"Датчик", "б/н", "5,5"},
        {"Датчик", "б/н", "1,5"},                         {"Датчик температуры воды", "ТР-200", "115"},
        {"Датчик разрежения в топке", "ДНТ-1", "-0,5"},  {"Датчик контроля пламени", "QRA 2", "отсутствие"}};
    for (int r = 0; r < 8; ++r) {
        cells[r * docs::kMapColumns + 2] = sensors[r][0];
        cells[r * docs::kMapColumns + 3] = sensors[r][1];
        cells[r * docs::kMapColumns + 4] = sensors[r][2];
    }
    if (!docs::WriteSafetyMap(folder, cells, &error)) return false;
    if (!docs::WriteComment(folder,
                            QStringLiteral("Режимно-наладочные испытания после замены горелки.\n"
                                           "Газоанализатор поверен, пробы за котлом.\n"
                                           "Режим 4 - номинальная нагрузка."),
                            &error))
        return false;
    // the card's own entries: who approves it, who made the tests, when, for how long
    QStringList card = report::DefaultCardData();
    card[report::ApproverPosition] = QStringLiteral("Директор МБОУ «Школа №3»");
    card[report::ApproverName] = QStringLiteral("Васильева Н. Г.");
    card[report::OwnerOrganisation] = QStringLiteral("МБОУ «Школа №3»");
    card[report::TestOrganisation] = QStringLiteral("ООО «Теплоналадка»");
    card[report::TestDates] = QStringLiteral("12.05.2026 – 14.05.2026");
    card[report::Validity] = QStringLiteral("3 года (до 14.05.2029)");
    card[report::GasResponsible] = QStringLiteral("Козлов С. А.");
    card[report::BoilerResponsible] = QStringLiteral("Морозов П. Е.");
    card[report::PerformerPosition] = QStringLiteral("инженер-наладчик");
    card[report::CompiledBy] = QStringLiteral("Петров А.В.");
    card[report::CheckedBy] = QStringLiteral("Сидоров И.П.");
    if (!report::WriteCardData(folder, card, &error)) return false;
    // the instruments of the tests, as the card names them
    if (!report::WriteObjectInstruments(folder,
                                        {QStringLiteral("Газоанализатор ГА-7, зав. № 2214, поверен до 15.03.2027"),
                                         QStringLiteral("Термометр цифровой ТЦ-2, зав. № 881, поверен до 01.02.2027"),
                                         QStringLiteral("Счетчик газа СГ-40, зав. № 10457, поверен до 20.09.2028"),
                                         QStringLiteral("Манометр МП-100, кл. 1,5, поверен до 10.11.2027")},
                                        &error))
        return false;
    report::ReportModel model;
    const QDate date(2026, 5, 14);
    if (!report::BuildReportForFolder(folder, model, date, &error)) return false;
    return report::WriteReportXlsx(core::JoinPath(folder, report::kReportXlsx), model, &error) &&
           report::WriteReportPdf(core::JoinPath(folder, report::kReportPdf), model, &error);
}

// The template folder from the copy built into this program: every file the folder does not
// have yet is written; a template file already there (perhaps changed by its user) is kept.
bool WriteTemplate(const QString& folder, QString& error) {
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("cannot make ") + folder;
        return false;
    }
    QDirIterator it(QStringLiteral(":/template"), QDir::Files);
    int files = 0;
    while (it.hasNext()) {
        const QString from = it.next();
        const QString name = QFileInfo(from).fileName();
        ++files;
        if (core::ExistsNoCase(folder, name)) continue;
        const QString to = core::JoinPath(folder, name);
        // a copy of a built-in file is read-only like its source
        if (!QFile::copy(from, to) ||
            !QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther) ||
            QFileInfo(to).size() != QFileInfo(from).size()) {
            error = QStringLiteral("cannot write ") + to;
            return false;
        }
    }
    if (files == 0) {
        error = QStringLiteral("this program holds no template");
        return false;
    }
    return true;
}

}  // namespace

bool WriteDemo(const QString& home, QString& error) {
    app::AppState s;
    s.programFolder = home;
    s.objectsFolder = core::JoinPath(home, QStringLiteral("Все объекты"));
    s.templateFolder = core::ResolvePath(home, QStringLiteral("Template"));
    if (!QDir().mkpath(s.objectsFolder)) {
        error = QStringLiteral("cannot make ") + s.objectsFolder;
        return false;
    }
    if (!WriteTemplate(s.templateFolder, error)) return false;
    const QList<DemoObject> objects = DemoObjects();
    for (const DemoObject& d : objects) {
        s.inputs.fill(0.0f);
        s.results.fill(0.0f);
        if (!store::CreateObject(s, d.general, &error)) return false;
        for (const auto& [unit, text] : d.units) s.units[unit] = text;
        if (!object::WriteUnits(s.currentObjectFolder, s.units, &error)) return false;
        for (int i = 0; i < d.regimes.size(); ++i) {
            if (i > 0 && !regime::NewRegime(s, &error)) return false;
            QStringList fields;
            for (int k = 0; k < app::kInputCount; ++k) fields.append(QStringLiteral(" 0"));
            for (const auto& [input, value] : d.regimes[i]) fields[input] = QString::number(value, 'g', 7);
            if (!regime::SaveRegimeInputs(s, fields, &error)) return false;
        }
        regime::FillRegimeList(s);
        // results first: the experiment starts from the regime's balance
        regime::RecalculateAllRegimes(s);
        if (!WriteCalculatorData(s, d, error)) return false;
        regime::RecalculateAllRegimes(s);
        if (&d == &objects.first() && !WriteDemoDocuments(s.currentObjectFolder, error)) return false;
    }
    return true;
}

}  // namespace cli
