#include "tools/q5.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "regime/regimestore.h"
#include "tools/toolnumbers.h"
#include "tools/workbook.h"

namespace tools {

namespace {

const QString kVertical = QStringLiteral("Вертикаль.");
const QString kHorizontal = QStringLiteral("Горизонталь.");
const QString kCylinder = QStringLiteral("Цилиндр.");

double Cell(const QStringList& cells, int i) { return FieldValue(cells.value(i)); }

QString Round3(double v) { return RoundedText(v, 3); }

}  // namespace

QStringList Q5Orientations() { return {kVertical, kHorizontal, kCylinder}; }

QStringList Q5Materials() {
    return {QStringLiteral("Сталь"), QStringLiteral("Кирпич"), QStringLiteral("Штукатурка"),
            QStringLiteral("Алюминий")};
}

std::optional<double> ConvectiveFactor(const QString& orientation) {
    if (core::SameName(orientation, kVertical)) return 2.6;
    if (core::SameName(orientation, kHorizontal)) return 3.3;
    if (core::SameName(orientation, kCylinder)) return 2.95;
    return std::nullopt;
}

float RadiationCoefficient(const QString& material) {
    static const float coefficients[] = {4.5f, 5.3f, 4.95f, 2.6f};
    const QStringList names = Q5Materials();
    for (int i = 0; i < names.size(); ++i)
        if (core::SameName(material, names[i])) return coefficients[i];
    return 0.0f;
}

void ComputeQ5Surface(QStringList& cells, int surface) {
    while (cells.size() < kQ5CellCount) cells.append(QString());
    const int b = Q5Cell(surface, Area);
    const double tAir = Cell(cells, b + AirTemp);
    const double tSurface = Cell(cells, b + SurfaceTemp);
    const double dt = tSurface - tAir;
    if (dt == 0) {
        // a surface at the air's temperature (switched off) loses nothing: a loss left in
        // its cells from before would still count in the total
        for (Q5Column c : {Convective, Radiative, SurfaceLoss}) cells[b + c].clear();
        return;
    }
    if (const auto factor = ConvectiveFactor(cells[b + Orientation]))
        cells[b + Convective] = Round3(*factor * std::pow(std::fabs(dt), 0.25));
    const double hot = (tSurface + 273.15) * 0.01, cold = (tAir + 273.15) * 0.01;
    const float r = static_cast<float>(core::RoundHalfEven(std::pow(hot, 4) - std::pow(cold, 4), 3));
    const float c = RadiationCoefficient(cells[b + Material]);
    cells[b + Radiative] = Round3(static_cast<double>(c) * static_cast<double>(r) / dt);
    // the loss from the coefficients as the cells show them
    const double area = Cell(cells, b + Area);
    const double ak = Cell(cells, b + Convective), al = Cell(cells, b + Radiative);
    const double tp = Cell(cells, b + SurfaceTemp), tv = Cell(cells, b + AirTemp);
    cells[b + SurfaceLoss] = Round3((tp - tv) * area * (al + ak) * 0.001);
}

bool UpdateQ5Percent(QStringList& cells, double heatOutputKw) {
    while (cells.size() < kQ5CellCount) cells.append(QString());
    if (heatOutputKw == 0 || !std::isfinite(heatOutputKw)) return false;
    cells[kQ5PercentCell] = Round3(Cell(cells, kQ5TotalCell) * 100 / heatOutputKw);
    return true;
}

void ComputeQ5Totals(QStringList& cells, double heatOutputKw) {
    while (cells.size() < kQ5CellCount) cells.append(QString());
    float sum = 0.0f;
    for (int s = 1; s <= kQ5SurfaceCount; ++s) sum += static_cast<float>(Cell(cells, Q5Cell(s, SurfaceLoss)));
    cells[kQ5TotalCell] = Round3(sum);
    UpdateQ5Percent(cells, heatOutputKw);
}

void ComputeQ5(QStringList& cells, double heatOutputKw) {
    for (int s = 1; s <= kQ5SurfaceCount; ++s) ComputeQ5Surface(cells, s);
    ComputeQ5Totals(cells, heatOutputKw);
}

std::optional<double> Q5HeatOutput(const app::AppState& s) {
    const QString fuel = s.general.value(object::FuelType);
    const engine::Prepared p = engine::Prepare(s.calcInputs());
    float flow = 0.0f;
    if (object::IsLiquidFuel(fuel)) flow = engine::LiquidFuelFlow(p);
    else if (object::IsGaseousFuel(fuel)) flow = engine::GasFlowReduced(p);
    else return std::nullopt;
    const double q = static_cast<double>(flow) * FieldValue(s.general.value(object::CalorificValue)) / 860;
    if (!std::isfinite(q)) return 0.0;
    return core::RoundHalfEven(q, 3);
}

QString Q5ComboEntry(int position) { return QStringLiteral("Режим  ") + QString::number(position); }

bool ReadQ5File(const QString& objectFolder, const QString& fileName, QStringList& cells, bool* found,
                QString* error) {
    cells = QStringList(kQ5CellCount);
    if (found) *found = false;
    if (!core::ExistsNoCase(objectFolder, fileName)) return true;
    if (found) *found = true;
    QStringList values;
    if (!core::ReadKindFile(QStringLiteral("q5"), core::ResolvePath(objectFolder, fileName), values, error))
        return false;
    for (int i = 0; i < kQ5CellCount && i < values.size(); ++i) cells[i] = values[i];
    return true;
}

bool WriteQ5File(const QString& objectFolder, const QString& fileName, const QStringList& cells, QString* error) {
    QStringList values = cells.mid(0, kQ5CellCount);
    while (values.size() < kQ5CellCount) values.append(QString());
    return core::WriteQuotedFile(core::ResolvePath(objectFolder, fileName), values, error);
}

bool ComputeRegimeQ5(app::AppState& s, const QString& regimeFile, Q5Computation& out, QString* error) {
    s.setCurrentRegime(regimeFile);
    if (!regime::LoadRegimeInputs(s, nullptr, error)) return false;
    if (!ReadQ5File(s.currentObjectFolder, Q5FileName(regimeFile), out.cells, &out.fileFound, error)) return false;
    const auto heat = Q5HeatOutput(s);
    out.heatOutput = heat ? Round3(*heat) : QString();
    ComputeQ5(out.cells, FieldValue(out.heatOutput));
    return true;
}

TakeQ5Outcome TakeQ5(app::AppState& s, QStringList& fields, const QString& q5Text,
                     const std::function<void(const QString&)>& notice) {
    TakeQ5Outcome out;
    while (fields.size() < app::kInputCount) fields.append(QString());
    fields[app::kQ5Input] = q5Text;
    if (!regime::SaveRegimeInputs(s, fields, &out.saveError)) return out;
    out.saved = true;
    out.calc = regime::CalculateCurrentRegime(s, notice);
    out.sortWarning = regime::SortRegimeList(s);
    return out;
}

QString Q5WorkbookName(const QString& regimeFile) {
    if (const auto n = RegimeNumberOf(regimeFile))
        return QStringLiteral("q5 Режим ") + QString::number(*n) + QStringLiteral(".xlsx");
    QString base = regimeFile;
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0) base.truncate(dot);
    return QStringLiteral("q5 ") + base.simplified() + QStringLiteral(".xlsx");
}

bool ExportQ5Xlsx(const QString& path, const Q5Export& d, QString* error) {
    Workbook wb(path);
    if (!wb.ok()) {
        if (error) *error = QStringLiteral("cannot create ") + path;
        return false;
    }
    lxw_worksheet* ws = wb.addSheet(QStringLiteral("q5"));
    lxw_format* bold = wb.bold();
    wb.text(ws, 0, 0, QStringLiteral("Расчет потерь тепла в окружающую среду"), bold);
    wb.text(ws, 1, 0, QStringLiteral("Объект"), bold);
    wb.text(ws, 1, 1, d.objectName);
    wb.text(ws, 2, 0, QStringLiteral("Режим"), bold);
    wb.text(ws, 2, 1, d.regime.simplified());
    wb.text(ws, 2, 4, d.position);
    wb.text(ws, 3, 0, QStringLiteral("Теплопроизводительность (Вт х Qн), кВт"), bold);
    wb.cell(ws, 3, 1, d.heatOutput);

    const int head = 5;
    const QStringList headings = {QStringLiteral("Поверхность"),
                                  QStringLiteral("F, м2"),
                                  QStringLiteral("t пов, °C"),
                                  QStringLiteral("t воз., °C"),
                                  QStringLiteral("Ориентация"),
                                  QStringLiteral("Материал"),
                                  QStringLiteral("αк, Вт/(м2·К)"),
                                  QStringLiteral("αл, Вт/(м2·К)"),
                                  QStringLiteral("Q5i, кВт")};
    for (int c = 0; c < headings.size(); ++c) wb.text(ws, head, c, headings[c], bold);
    for (int s = 1; s <= kQ5SurfaceCount; ++s) {
        const int row = head + s;
        wb.text(ws, row, 0, QStringLiteral("Поверхность ") + QString::number(s));
        for (int c = 0; c < 8; ++c) wb.cell(ws, row, c + 1, d.cells.value(Q5Cell(s, static_cast<Q5Column>(c))));
    }
    const int total = head + kQ5SurfaceCount + 1;
    wb.text(ws, total, 7, QStringLiteral("Сумма Q5, кВт"), bold);
    wb.cell(ws, total, 8, d.cells.value(kQ5TotalCell), bold);
    wb.text(ws, total + 1, 7, QStringLiteral("q5, %"), bold);
    wb.cell(ws, total + 1, 8, d.cells.value(kQ5PercentCell), bold);
    worksheet_set_column(ws, 0, 0, 16, nullptr);
    worksheet_set_column(ws, 1, 3, 11, nullptr);
    worksheet_set_column(ws, 4, 5, 14, nullptr);
    worksheet_set_column(ws, 6, 8, 15, nullptr);
    return wb.commit(error);
}

}  // namespace tools
