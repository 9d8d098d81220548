#include "tools/experiments.h"

#include <cmath>

#include "core/numbers.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "tools/toolnumbers.h"
#include "tools/workbook.h"

namespace tools {

namespace {

bool IsO2Field(int i) { return i >= 0 && i < kExperimentFieldCount && i % 12 == O2; }

bool RecalculatesBalance(int i) {
    const int c = i % 12;
    return c == CO || c == CO2 || c == O2 || c == FlueTemp;
}

QString Editor(float v) { return core::EditorForm(v); }

}  // namespace

QStringList ExperimentRowCaptions() {
    return {QStringLiteral("Давление на горелке "),     QStringLiteral("Угол   заслонки"),
            QStringLiteral("Положение сервопривода"),   QStringLiteral("Окись углерода СО"),
            QStringLiteral("Двуок.углерода СО2"),       QStringLiteral("Кислород            О2 "),
            QStringLiteral("Температура     Тух.г."),   QStringLiteral("Коэфф.изб.воздуха"),
            QStringLiteral("Потери с уход. газами"),    QStringLiteral("Потери от хим.недожега"),
            QStringLiteral("КПД \"брутто\" котла"),     QStringLiteral("Уд. расход условн. топлива")};
}

bool ExperimentFuelConstants(const QString& fuel, ExperimentFuel& out) {
    // fuel types are compared exactly here, letter case counting
    if (fuel == u"Природный газ") out = {0.81, 2010, 0.85, 1000};
    else if (fuel == u"Пропан-бутан") out = {0.81, 2115, 0.85, 1000};
    else if (fuel == u"Дизельное топливо" || fuel == u"Мазут") out = {0.87, 2100, 0.9, 960};
    else return false;
    return true;
}

double CoUnitFactor(const QString& unit) {
    if (core::SameName(unit, QStringLiteral("ppm"))) return 0.0001;
    if (core::SameName(unit, QStringLiteral("мг/м3"))) return 0.0001 / 1.25;
    if (core::SameName(unit, QStringLiteral("г/м3"))) return 0.1 / 1.25;
    return 0;
}

ExperimentSheet::ExperimentSheet(ExperimentContext context) : T(kExperimentFieldCount), ctx_(std::move(context)) {}

double ExperimentSheet::value(int i) const { return core::ParseEditorNumber(T.value(i)); }

void ExperimentSheet::setField(int i, const QString& text) {
    if (i < 0 || i >= kExperimentFieldCount || T[i] == text) return;
    T[i] = text;
    if (IsO2Field(i)) put(i - 1, RoundedText((21 - value(i)) * ctx_.co2Max / 21, 1));
    if (ready_ && RecalculatesBalance(i)) ComputeExperimentBalance();
}

void ExperimentSheet::open(const std::array<float, app::kInputCount>& in,
                           const std::array<float, app::kResultCount>& res) {
    ready_ = false;
    const int m = 12 * kMainExperiment;
    put(m + AirPressure, Editor(in[19]));
    put(m + DamperAngle, Editor(in[21]));
    put(m + ServoPosition, Editor(in[32]));
    put(m + CO, Editor(in[11]));
    put(m + O2, Editor(in[13]));
    put(m + FlueTemp, Editor(in[17]));
    put(m + ExcessAir, Editor(res[9]));
    put(m + Q2, Editor(res[5]));
    put(m + Q3, Editor(res[6]));
    put(m + Efficiency, Editor(res[4]));
    put(m + StandardFuel, Editor(res[15]));
    NormalizeExperimentFields();
    DeriveExperiments();
    // the main experiment shows the measured CO2, not the one that follows from its O2
    put(m + CO2, Editor(in[12]));
    NormalizeExperimentFields();
    ready_ = true;
    ComputeExperimentBalance();
}

void ExperimentSheet::DeriveExperiments() {
    const int m = 12 * kMainExperiment;
    const double air = value(m + AirPressure), damper = value(m + DamperAngle), servo = value(m + ServoPosition);
    const double co = value(m + CO), o2 = value(m + O2), flue = value(m + FlueTemp);
    struct Offsets {
        int experiment;
        double air, damper, co, o2, flue;
    };
    static const Offsets offsets[] = {{0, -5, -2, 10, -0.2, -8}, {2, 5, 2, 0, 0.2, 9}, {3, 10, 3, 0, 0.5, 12}};
    for (const Offsets& o : offsets) {
        const int b = 12 * o.experiment;
        put(b + AirPressure, PlainText(air + o.air));
        put(b + DamperAngle, PlainText(damper + o.damper));
        put(b + ServoPosition, PlainText(servo));
        put(b + CO, PlainText(co + o.co));
        put(b + O2, PlainText(o2 + o.o2));  // its CO2 follows by the O2 rule
        put(b + FlueTemp, PlainText(flue + o.flue));
    }
}

bool ExperimentSheet::ComputeExperimentBalance() {
    for (int k = 0; k < kExperimentCount; ++k)
        if (value(ExperimentField(k, CO2)) == 0) return false;
    ExperimentFuel f;
    // a fuel type outside the four has no constants: no balance rather than a division by 0
    if (!ExperimentFuelConstants(ctx_.fuelType, f)) return false;
    const double k3 = CoUnitFactor(ctx_.coUnit);
    for (int k = 0; k < kExperimentCount; ++k) {
        const double t = value(ExperimentField(k, FlueTemp));
        const double co = value(ExperimentField(k, CO));
        const double co2 = value(ExperimentField(k, CO2));
        const double o2 = value(ExperimentField(k, O2));
        const double alphaCo2 = ctx_.co2Max / co2;
        const float q2 = static_cast<float>((t - f.c * ctx_.airTemp) *
                                            ((alphaCo2 - 1) * f.a * (0.76143 + 0.06 * t / 600) +
                                             (0.8086 + 0.08 * t / 700)) *
                                            100 / f.b);
        const float q3 = static_cast<float>(co * k3 * 30.2 * alphaCo2 * 100 / f.d);
        const float eta = static_cast<float>(100.0 - q2 - q3 - ctx_.q5);
        const float b = static_cast<float>(14280.0 / eta);
        const double n2 = 100 - o2 - co2;
        const float alpha = static_cast<float>(n2 / (n2 - 3.76 * o2));
        // a value that cannot be computed (a zero divisor) leaves its field as it was
        auto write = [this](int field, float v, int decimals) {
            if (std::isfinite(v)) put(field, RoundedText(v, decimals));
        };
        write(ExperimentField(k, Efficiency), eta, 2);
        write(ExperimentField(k, Q2), q2, 2);
        write(ExperimentField(k, Q3), q3, 5);
        write(ExperimentField(k, StandardFuel), b, 2);
        write(ExperimentField(k, ExcessAir), alpha, 2);
    }
    NormalizeExperimentFields();
    return true;
}

void ExperimentSheet::NormalizeExperimentFields() {
    for (int i = 0; i < kExperimentFieldCount; ++i)
        if (T[i].contains(u',')) put(i, QString(T[i]).replace(u',', u'.'));
}

QStringList ExperimentSheet::takeInto(int k, QStringList editor) const {
    while (editor.size() < app::kInputCount) editor.append(QString());
    if (k < 0 || k >= kExperimentCount) return editor;
    editor[19] = field(ExperimentField(k, AirPressure));
    editor[21] = field(ExperimentField(k, DamperAngle));
    editor[32] = field(ExperimentField(k, ServoPosition));
    editor[11] = field(ExperimentField(k, CO));
    editor[13] = field(ExperimentField(k, O2));
    editor[12] = field(ExperimentField(k, CO2));
    editor[17] = field(ExperimentField(k, FlueTemp));
    return editor;
}

QString ExperimentLoadLine(const QString& fuel, const std::array<float, app::kInputCount>& in,
                           const std::array<float, app::kResultCount>& res, const QString& gasUnit,
                           const QString& liquidUnit) {
    if (fuel == u"Природный газ" || fuel == u"Пропан-бутан")
        return QStringLiteral("Нагрузка от номинальной ") + Editor(res[0]) + QStringLiteral("%,  Расход газа ") +
               Editor(res[12]) + QStringLiteral("ст.м.куб/час,  Давление газа ") + Editor(in[5]) + gasUnit;
    if (fuel == u"Дизельное топливо" || fuel == u"Мазут")
        return QStringLiteral("Нагрузка от номинальной ") + Editor(res[0]) + QStringLiteral("%,  Расход топлива ") +
               Editor(res[13]) + QStringLiteral("кг/час,  Давление топлива ") + Editor(in[9]) + liquidUnit;
    return {};
}

QString ExperimentCaption(const std::array<float, app::kResultCount>& res) {
    return QStringLiteral("Прикидочные опыты. Нагрузка  ") + Editor(res[0]) + QStringLiteral(" %");
}

QString ExperimentsWorkbookName(const QString& regimeFile) {
    QString base = regimeFile;
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0) base.truncate(dot);
    base = base.simplified().remove(u'№').simplified();
    return QStringLiteral("Прикидочные опыты ") + base + QStringLiteral(".xlsx");
}

bool ExportExperimentsXlsx(const QString& path, const ExperimentExport& d, QString* error) {
    Workbook wb(path);
    if (!wb.ok()) {
        if (error) *error = QStringLiteral("cannot create ") + path;
        return false;
    }
    lxw_worksheet* ws = wb.addSheet(QStringLiteral("Опыты"));
    lxw_format* bold = wb.bold();
    lxw_format* marked = workbook_add_format(wb.book());
    format_set_bold(marked);
    format_set_bg_color(marked, 0xFFFFC0);
    wb.text(ws, 0, 0, QStringLiteral("Прикидочные опыты"), bold);
    wb.text(ws, 1, 0, QStringLiteral("Объект"), bold);
    wb.text(ws, 1, 1, d.objectName);
    wb.text(ws, 2, 0, QStringLiteral("Режим"), bold);
    wb.text(ws, 2, 1, d.regime.simplified());
    wb.text(ws, 3, 0, d.loadLine);

    const int head = 5;
    wb.text(ws, head, 0, QStringLiteral("Основной опыт"), bold);
    for (int k = 0; k < kExperimentCount; ++k) {
        const bool chosen = k == d.chosen;
        wb.text(ws, head, k + 1, QStringLiteral("Опыт ") + QString::number(k + 1) + (chosen ? QStringLiteral(" ✓") : QString()),
                chosen ? marked : bold);
    }
    const QStringList captions = ExperimentRowCaptions();
    for (int r = 0; r < captions.size(); ++r) {
        wb.text(ws, head + 1 + r, 0, captions[r]);
        for (int k = 0; k < kExperimentCount; ++k)
            wb.cell(ws, head + 1 + r, k + 1, d.fields.value(12 * k + r), k == d.chosen ? marked : nullptr);
    }
    worksheet_set_column(ws, 0, 0, 28, nullptr);
    worksheet_set_column(ws, 1, 4, 12, nullptr);
    return wb.commit(error);
}

}  // namespace tools
