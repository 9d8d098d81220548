#include "report/reportmodel.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "object/generaldata.h"
#include "regime/calculation.h"
#include "regime/editorlayout.h"
#include "regime/regimestore.h"
#include "results/resultrows.h"

namespace report {

namespace {

// Emissions are computed at an excess-air ratio of 1.4; the other norm in use refers them to
// 3 % O2, which for these fuels is the same gas diluted 1.2 times less.
constexpr double kThreePercentO2Factor = 1.2;

QString RegimeTitle(const QString& file) {
    QString t = file;
    if (t.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive)) t.chop(4);
    return t.simplified();
}

// The unit slot of every regime input: the editor row it sits in gives its unit label.
int UnitSlotOfInput(int input) {
    for (const auto& row : regime::EditorRows())
        if (row.left == input || row.right == input) return row.unit;
    return -1;
}

QString UnitOfInput(const QStringList& units, int input) {
    if (input == 42) return QStringLiteral("%");
    const int slot = UnitSlotOfInput(input);
    return slot >= 0 ? units.value(slot).trimmed() : QString();
}

// The measured inputs that exist for this boiler, fuel and economiser, in the editor's order.
QList<int> ShownInputs(const QStringList& general) {
    const regime::EditorVisibility vis = regime::VisibilityFor(general);
    QList<int> inputs;
    for (const auto& row : regime::EditorRows()) {
        using regime::Group;
        if ((row.group == Group::GasFuel && !vis.gasFuel) || (row.group == Group::LiquidFuel && !vis.liquidFuel) ||
            (row.group == Group::Water && !vis.water) || (row.group == Group::Steam && !vis.steam))
            continue;
        for (int k : {row.left, row.right}) {
            if (k < 0 || !vis.fieldVisible(k) || inputs.contains(k)) continue;
            if (k == 42 && !vis.q5Row) continue;
            inputs.append(k);
        }
    }
    return inputs;
}

// The values of the results rows for one regime, taken from the rows' own filling routine
// in the C locale, so the captions, units, conditions and the economiser leak difference
// come from the one definition the results pane uses.
QList<Value> ResultValues(const QList<results::ResultRow>& definition, const std::array<float, 26>& r,
                          const QStringList& general) {
    QList<results::ResultRow> rows = definition;
    for (auto& row : rows) row.value.clear();
    results::FillResultValues(rows, r, general, QLocale::c());
    QList<Value> values;
    for (const auto& row : rows) {
        bool ok = false;
        const float v = row.value.toFloat(&ok);
        values.append(ok ? Value(v) : Value());
    }
    return values;
}

// Decimals of a value's stored form (q3 has five, most results two).
int DecimalsOf(float v) {
    const QString t = core::StoredForm(v);
    if (t.contains(u'E') || t.contains(u'e')) return 6;
    const int dot = t.indexOf(u'.');
    return dot < 0 ? 0 : static_cast<int>(t.size() - dot - 1);
}

float Converted(float v) { return static_cast<float>(core::RoundHalfEven(v * kThreePercentO2Factor, 1)); }

QString JoinNonEmpty(const QStringList& parts, const QString& sep) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty()) kept.append(p.trimmed());
    return kept.join(sep);
}

}  // namespace

QList<HeaderLine> ObjectHeader(const QStringList& g, const QDate& date) {
    using namespace object;
    QList<HeaderLine> h;
    h.append({QStringLiteral("Объект"), g.value(ObjectName)});
    QStringList boiler = {g.value(BoilerType), g.value(InstallationType)};
    if (!g.value(StationNumber).trimmed().isEmpty()) boiler.append(QStringLiteral("ст. № ") + g.value(StationNumber).trimmed());
    if (!g.value(FactoryNumber).trimmed().isEmpty()) boiler.append(QStringLiteral("зав. № ") + g.value(FactoryNumber).trimmed());
    h.append({QStringLiteral("Котел"), JoinNonEmpty(boiler, QStringLiteral(", "))});
    h.append({QStringLiteral("Горелка"), g.value(BurnerType).trimmed()});
    QStringList unitTexts;
    UnitTextsForFuel(g.value(FuelType), unitTexts);
    QString fuel = g.value(FuelType).trimmed();
    QStringList props;
    if (!g.value(CalorificValue).trimmed().isEmpty())
        props.append(QStringLiteral("Qн = ") + g.value(CalorificValue).trimmed() + u' ' + unitTexts.value(0));
    if (!g.value(Co2Max).trimmed().isEmpty())
        props.append(QStringLiteral("CO2max = ") + g.value(Co2Max).trimmed() + QStringLiteral(" %"));
    if (!props.isEmpty()) fuel += QStringLiteral(";  ") + props.join(QStringLiteral(",  "));
    h.append({QStringLiteral("Топливо"), fuel.trimmed()});
    const QString unit = IsSteamBoiler(g) ? g.value(SteamOutputUnit) : g.value(HeatOutputUnit);
    h.append({QStringLiteral("Номинальная мощность"), JoinNonEmpty({g.value(NominalOutput), unit}, QStringLiteral(" "))});
    h.append({QStringLiteral("Экономайзер"), g.value(Economiser).trimmed()});
    h.append({QStringLiteral("Регулирование нагрузки"), g.value(LoadControl).simplified()});
    h.append({QStringLiteral("Исполнитель"), g.value(Performer).trimmed()});
    h.append({QStringLiteral("Дата"), date.toString(QStringLiteral("dd.MM.yyyy"))});
    return h;
}

QString ValueText(const Value& v, const QLocale& locale) {
    if (!v) return QString();
    return core::LocaleForm(*v, locale);
}

double CellNumber(float v) { return std::isfinite(v) ? core::StoredForm(v).toDouble() : 0.0; }

int ReportModel::calculatedCount() const {
    int n = 0;
    for (const auto& r : regimes) n += r.calculated;
    return n;
}

bool BuildReport(const app::AppState& s, ReportModel& m, const QDate& date, QString* error) {
    using namespace object;
    m = ReportModel();
    const QStringList& g = s.general;
    m.objectName = s.currentObjectName;
    m.date = date;
    m.header = ObjectHeader(g, date);

    // every regime in private arrays; the hooks of the windows are not called
    app::AppState work;
    work.objectsFolder = s.objectsFolder;
    work.currentObjectName = s.currentObjectName;
    work.currentObjectFolder = s.currentObjectFolder;
    work.general = s.general;
    work.units = s.units;
    for (const auto& row : s.regimeList.rows) {
        if (!row.ticked) continue;
        RegimeColumn col;
        col.file = row.key;
        col.title = RegimeTitle(row.key);
        work.setCurrentRegime(row.key);
        QString why;
        if (!regime::LoadRegimeInputs(work, nullptr, &why)) {
            if (error) *error = row.key + QStringLiteral(": ") + why;
            return false;
        }
        // slots a regime does not write keep its own stored values, as in a recalculation
        if (!regime::LoadRegimeResults(work)) work.results.fill(0.0f);
        const QString check = regime::CheckRegime(work);
        if (check.isEmpty()) {
            engine::CalculateRegime(work.calcInputs(), work.steam, work.results);
            col.calculated = true;
        } else {
            col.message = check;
        }
        col.inputs = work.inputs;
        col.results = work.results;
        m.regimes.append(col);
    }

    // the regime sheet: status, measured inputs, results, emissions at 3 % O2
    SheetRow status;
    status.kind = RowKind::Status;
    status.key = QStringLiteral("status");
    status.caption = QStringLiteral("Расчет режима");
    for (const auto& r : m.regimes)
        status.texts.append(r.calculated ? QStringLiteral("выполнен") : QStringLiteral("не выполнен: ") + r.message);
    SheetRow load;
    load.kind = RowKind::Result;
    load.key = QStringLiteral("load");
    load.caption = QStringLiteral("Нагрузка");
    load.unit = QStringLiteral("%");
    for (const auto& r : m.regimes) load.values.append(r.calculated ? Value(r.results[0]) : Value());
    m.regimeRows.append(status);
    m.regimeRows.append(load);

    m.regimeRows.append({RowKind::Section, {}, QStringLiteral("Измеренные величины"), {}, {}, {}});
    const bool economiser = HasEconomiser(g);
    for (int k : ShownInputs(g)) {
        SheetRow row;
        row.kind = RowKind::Input;
        row.key = QStringLiteral("P%1").arg(k);
        row.caption = regime::FieldHint(k, economiser).simplified();
        row.unit = UnitOfInput(s.units, k);
        for (const auto& r : m.regimes) row.values.append(Value(r.inputs[k]));
        m.regimeRows.append(row);
    }

    m.regimeRows.append({RowKind::Section, {}, QStringLiteral("Результаты расчета"), {}, {}, {}});
    const QList<results::ResultRow> definition = results::BuildResultRows(g);
    QList<QList<Value>> perRegime;
    for (const auto& r : m.regimes)
        perRegime.append(r.calculated ? ResultValues(definition, r.results, g) : QList<Value>(definition.size()));
    for (int i = 0; i < definition.size(); ++i) {
        SheetRow row;
        row.kind = RowKind::Result;
        row.key = definition[i].key;
        row.caption = definition[i].caption;
        row.unit = definition[i].unit;
        if (row.key == u"CO" || row.key == u"NO") row.caption += QStringLiteral(" (α = 1,4)");
        for (const auto& values : perRegime) row.values.append(values.value(i));
        m.regimeRows.append(row);
    }

    m.regimeRows.append({RowKind::Section, {}, QStringLiteral("Выбросы, приведенные к 3 % O2 (×1,2)"), {}, {}, {}});
    for (const auto& [key, caption] : {std::pair{QStringLiteral("CO"), QStringLiteral("CO при 3 % O2")},
                                       std::pair{QStringLiteral("NO"), QStringLiteral("NOx при 3 % O2")}}) {
        SheetRow row;
        row.kind = RowKind::Converted;
        row.key = key + QStringLiteral(" 3%");
        row.caption = caption;
        row.unit = QStringLiteral("мг/м3");
        const int slot = key == u"CO" ? 17 : 18;
        for (const auto& r : m.regimes) row.values.append(r.calculated ? Value(Converted(r.results[slot])) : Value());
        m.regimeRows.append(row);
    }

    // the summary sheet: one row per regime over the main results
    const QStringList keys = {IsSteamBoiler(g) ? QStringLiteral("Д") : QStringLiteral("Q"),
                              QStringLiteral("КПД"), QStringLiteral("КПД нетто"), QStringLiteral("q2"),
                              QStringLiteral("q3"), QStringLiteral("q5"), QStringLiteral("Коэфф"),
                              QStringLiteral("Вт"), QStringLiteral("Ву.усл"), QStringLiteral("CO"),
                              QStringLiteral("NO")};
    m.summaryColumns.append({QStringLiteral("load"), QStringLiteral("Нагрузка"), QStringLiteral("%")});
    QList<int> defIndex = {-1};
    for (const QString& key : keys)
        for (int i = 0; i < definition.size(); ++i)
            if (definition[i].key == key) {
                m.summaryColumns.append({key, definition[i].caption, definition[i].unit});
                defIndex.append(i);
                break;
            }
    QList<double> sums(m.summaryColumns.size(), 0.0);
    QList<int> counts(m.summaryColumns.size(), 0), decimals(m.summaryColumns.size(), 2);
    for (int r = 0; r < m.regimes.size(); ++r) {
        SummaryRow row;
        row.regime = m.regimes[r].title;
        row.message = m.regimes[r].message;
        for (int c = 0; c < m.summaryColumns.size(); ++c) {
            Value v;
            if (m.regimes[r].calculated) v = defIndex[c] < 0 ? Value(m.regimes[r].results[0]) : perRegime[r].value(defIndex[c]);
            if (v) {
                sums[c] += *v;
                ++counts[c];
                decimals[c] = std::max(decimals[c], DecimalsOf(*v));
            }
            row.values.append(v);
        }
        m.summary.append(row);
    }
    for (int c = 0; c < m.summaryColumns.size(); ++c)
        m.summaryMean.append(counts[c] > 0 ? Value(static_cast<float>(core::RoundHalfEven(sums[c] / counts[c], decimals[c])))
                                           : Value());

    // charts over output: the first column after the load
    auto column = [&](const QString& key) {
        for (int c = 0; c < m.summaryColumns.size(); ++c)
            if (m.summaryColumns[c].key == key) return c;
        return -1;
    };
    const int x = 1;
    auto axis = [&](int c) {
        const auto& col = m.summaryColumns[c];
        return col.unit.trimmed().isEmpty() ? col.caption : col.caption + QStringLiteral(", ") + col.unit.trimmed();
    };
    for (const auto& [key, title] : {std::pair{QStringLiteral("КПД"), QStringLiteral("КПД брутто от производительности")},
                                     std::pair{QStringLiteral("NO"), QStringLiteral("NOx от производительности")}}) {
        const int y = column(key);
        if (y < 0 || x >= m.summaryColumns.size()) continue;
        ChartSpec chart;
        chart.title = title;
        chart.yColumn = y;
        chart.xColumn = x;
        chart.yCaption = axis(y);
        chart.xCaption = axis(x);
        for (const auto& row : m.summary) {
            if (!row.values[x] || !row.values[y]) continue;
            chart.data.x.append(*row.values[x]);
            chart.data.y.append(*row.values[y]);
            chart.data.regimes.append(row.regime);
        }
        m.charts.append(chart);
    }

    m.signatures = {{QStringLiteral("Исполнитель работ"), g.value(Performer).trimmed()},
                    {QStringLiteral("Ответственный за газовое хозяйство"), QString()},
                    {QStringLiteral("Представитель заказчика"), QString()}};
    return true;
}

bool BuildReportForFolder(const QString& objectFolder, ReportModel& model, const QDate& date, QString* error) {
    const QFileInfo info(objectFolder);
    if (!info.isDir()) {
        if (error) *error = QStringLiteral("no such object folder: ") + objectFolder;
        return false;
    }
    app::AppState s;
    s.objectsFolder = info.absoluteDir().absolutePath();
    s.setCurrentObject(info.fileName());
    if (!regime::LoadObjectData(s, error)) return false;
    const QString warning = regime::FillRegimeList(s);
    if (!warning.isEmpty()) {
        if (error) *error = warning;
        return false;
    }
    return BuildReport(s, model, date, error);
}

}  // namespace report
