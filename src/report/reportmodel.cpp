#include "report/reportmodel.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "object/emissionnorms.h"
#include "object/generaldata.h"
#include "regime/calculation.h"
#include "regime/editorlayout.h"
#include "regime/regimestore.h"
#include "regime/repeatability.h"
#include "report/captions.h"
#include "report/carddata.h"
#include "results/emissionverdicts.h"
#include "results/instrumentlimits.h"
#include "results/resultrows.h"
#include "tuning/tuning.h"

namespace report {

namespace {

// Emissions are computed at an excess-air ratio of 1.4; the other norm in use refers them to
// 3 % O2, which for these fuels is the same gas diluted 1.2 times less.
constexpr double kThreePercentO2Factor = 1.2;
// A blank to be filled in by hand on the printed card.
const QString kBlank = QStringLiteral("________________________");

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
    if (input == app::kQ5Input) return QStringLiteral("%");
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
            if (k == app::kQ5Input && !vis.q5Row) continue;
            inputs.append(k);
        }
    }
    return inputs;
}

// The values and the doubt of the results rows for one regime, taken from the rows' own
// filling routine in the C locale, so the conditions, the economiser leak difference and
// the plausibility are those of the results pane.
void ResultValues(const QList<results::ResultRow>& definition, const std::array<float, engine::kResultCount>& r,
                  const QStringList& general, QList<Value>& values, QStringList& warnings) {
    QList<results::ResultRow> rows = definition;
    for (auto& row : rows) row.value.clear();
    results::FillResultValues(rows, r, general, QLocale::c());
    values.clear();
    warnings.clear();
    for (const auto& row : rows) {
        bool ok = false;
        const float v = row.value.toFloat(&ok);
        values.append(ok ? Value(v) : Value());
        warnings.append(ok ? row.warning : QString());
    }
}

// Decimals of a value's stored form ("1.25" has two).
int DecimalsOf(float v) {
    const QString t = core::StoredForm(v);
    if (t.contains(u'E') || t.contains(u'e')) return 3;
    const int dot = t.indexOf(u'.');
    return dot < 0 ? 0 : std::min(kMaxRowDecimals, static_cast<int>(t.size() - dot - 1));
}

float Converted(float v) { return static_cast<float>(core::RoundHalfEven(v * kThreePercentO2Factor, 1)); }

QString JoinNonEmpty(const QStringList& parts, const QString& sep) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty()) kept.append(p.trimmed());
    return kept.join(sep);
}

// A number typed into the general data ("11.8") with the card's decimal comma; any other
// text as it is.
QString NumberText(const QString& stored) {
    const QString t = stored.trimmed();
    bool ok = false;
    t.toDouble(&ok);
    if (!ok) return t;
    QString out = t;
    out.replace(u'.', u',');
    return out;
}

QString OrBlank(const QString& v) { return v.trimmed().isEmpty() ? kBlank : v.trimmed(); }

// The verdict of each regime's CO and NOx against the object's limits with its U95: a row per
// pollutant, the documents of the limits in footnotes. No rows when the object compares with
// no limits.
void AddVerdictRows(const app::AppState& s, const QList<engine::RegimeUncertainty>& uncertainty, ReportModel& m) {
    QString choice, error;
    if (!object::ReadObjectNorms(s.currentObjectFolder, choice, &error)) m.limitNotes.append(error);
    if (choice.compare(object::kNoNorms, Qt::CaseInsensitive) == 0) return;
    object::EmissionNorms norms;
    if (!object::ReadEmissionNorms(s.templateFolder, norms, &error)) m.limitNotes.append(error);
    m.regimeRows.append(
        {RowKind::Section, {}, QStringLiteral("Соответствие нормам выбросов (с учетом U95)"), {}, 0, {}, {}, {}});
    int mark = 0;
    for (const object::Pollutant p : {object::Pollutant::CO, object::Pollutant::NOx}) {
        const object::AppliedLimit limit = object::ObjectLimit(norms, choice, s.general, p);
        const QString name = object::PollutantText(p);
        SheetRow row;
        row.kind = RowKind::Status;
        row.key = name + QStringLiteral(" норма");
        if (limit.found) {
            // the footnote marks ¹ and ²
            const QString sup = ++mark == 1 ? QStringLiteral("¹") : QStringLiteral("²");
            row.caption =
                QStringLiteral("%1: предел %2 мг/м³ при α = 1,4%3")
                    .arg(name, core::LocaleForm(static_cast<float>(limit.limit), QLocale(QLocale::Russian)), sup);
            m.limitNotes.append(
                QStringLiteral("%1 Предел %2: %3 (набор норм «%4»)").arg(sup, name, limit.document, limit.set));
        } else {
            row.caption = name + QStringLiteral(": предел не задан");
        }
        for (int c = 0; c < m.regimes.size(); ++c) {
            const RegimeColumn& r = m.regimes[c];
            const engine::RegimeUncertainty* u = c < uncertainty.size() ? &uncertainty[c] : nullptr;
            // a regime that was not calculated has no verdict, and says why
            row.texts.append(r.calculated ? object::VerdictText(results::JudgeEmission(p, r.results, u, limit).verdict)
                                          : QStringLiteral("нет оценки: ") + r.message);
        }
        m.regimeRows.append(row);
    }
}

}  // namespace

QString PrintUnit(const QString& unit) {
    QString u = unit.trimmed();
    if (u == u"-" || u == u"–") return QString();
    static const QList<std::pair<QString, QString>> whole = {
        {QStringLiteral("оС"), QStringLiteral("°C")},  {QStringLiteral("oC"), QStringLiteral("°C")},
        {QStringLiteral("оC"), QStringLiteral("°C")},  {QStringLiteral("oС"), QStringLiteral("°C")},
        {QStringLiteral("градусов"), QStringLiteral("°")}, {QStringLiteral("mbar"), QStringLiteral("мбар")},
        {QStringLiteral("bar"), QStringLiteral("бар")}, {QStringLiteral("кг.у.т/Гкал"), QStringLiteral("кг у.т./Гкал")},
        {QStringLiteral("мг/c"), QStringLiteral("мг/с")}};
    for (const auto& [from, to] : whole)
        if (u.compare(from, Qt::CaseInsensitive) == 0) return to;
    u.replace(QStringLiteral("ст.м3"), QStringLiteral("ст.м³"));
    u.replace(QStringLiteral("м3"), QStringLiteral("м³"));
    u.replace(QStringLiteral("см2"), QStringLiteral("см²"));
    u.replace(QStringLiteral("м2"), QStringLiteral("м²"));
    if (u.endsWith(QStringLiteral("/час"))) u = u.chopped(3) + QStringLiteral("ч");
    return u;
}

Axis NiceAxis(double lo, double hi, int steps) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) lo = hi = 0;
    if (hi < lo) std::swap(lo, hi);
    if (hi - lo <= 0) {
        // a single value: a range of about a tenth of it around the point
        const double half = lo != 0 ? std::abs(lo) * 0.05 : 1.0;
        lo -= half;
        hi += half;
    }
    const double raw = (hi - lo) / std::max(steps, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / power;
    const double step = (m <= 1.0 ? 1.0 : m <= 2.0 ? 2.0 : m <= 5.0 ? 5.0 : 10.0) * power;
    Axis a;
    a.step = step;
    a.min = std::floor(lo / step + 1e-9) * step;
    a.max = std::ceil(hi / step - 1e-9) * step;
    if (a.max <= a.min) a.max = a.min + step;
    a.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return a;
}

QList<HeaderLine> CardHeader(const QStringList& g, const QStringList& cardIn, const QDate& date) {
    using namespace object;
    QStringList card = cardIn.isEmpty() ? DefaultCardData() : cardIn;
    card.resize(kCardEntryCount);
    QList<HeaderLine> h;
    h.append({QStringLiteral("Объект"), OrBlank(g.value(ObjectName))});
    h.append({QStringLiteral("Владелец (заказчик)"), OrBlank(card[OwnerOrganisation])});
    h.append({QStringLiteral("Наладочная организация"), OrBlank(card[TestOrganisation])});
    h.append({QStringLiteral("Даты испытаний"), OrBlank(card[TestDates])});
    h.append({QStringLiteral("Срок действия карты"), OrBlank(card[Validity])});
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
        props.append(QStringLiteral("Qн = ") + NumberText(g.value(CalorificValue)) + u' ' + PrintUnit(unitTexts.value(0)));
    if (!g.value(Co2Max).trimmed().isEmpty())
        props.append(QStringLiteral("CO2max = ") + NumberText(g.value(Co2Max)) + QStringLiteral(" %"));
    if (!props.isEmpty()) fuel += QStringLiteral(";  ") + props.join(QStringLiteral(",  "));
    h.append({QStringLiteral("Топливо"), fuel.trimmed()});
    const QString unit = IsSteamBoiler(g) ? g.value(SteamOutputUnit) : g.value(HeatOutputUnit);
    h.append({QStringLiteral("Номинальная производительность"),
              JoinNonEmpty({NumberText(g.value(NominalOutput)), PrintUnit(unit)}, QStringLiteral(" "))});
    h.append({QStringLiteral("Экономайзер"), g.value(Economiser).trimmed()});
    h.append({QStringLiteral("Регулирование нагрузки"), g.value(LoadControl).simplified()});
    h.append({QStringLiteral("Дата составления карты"), date.toString(QStringLiteral("dd.MM.yyyy"))});
    return h;
}

QList<HeaderLine> ObjectHeader(const QStringList& g, const QDate& date) {
    QList<HeaderLine> h;
    for (const HeaderLine& line : CardHeader(g, {}, date)) {
        if (line.caption == u"Дата составления карты") continue;
        if (line.caption == u"Владелец (заказчик)" || line.caption == u"Наладочная организация" ||
            line.caption == u"Даты испытаний" || line.caption == u"Срок действия карты")
            continue;
        h.append(line);
    }
    h.append({QStringLiteral("Исполнитель"), g.value(object::Performer).trimmed()});
    h.append({QStringLiteral("Дата"), date.toString(QStringLiteral("dd.MM.yyyy"))});
    return h;
}

QString ValueText(const Value& v, int decimals, const QLocale& locale) {
    if (!v) return QString();
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    // from the stored decimals, so a halfway value is not rounded a second time the other way
    return l.toString(CellNumber(*v), 'f', std::max(decimals, 0));
}

double CellNumber(float v) { return std::isfinite(v) ? core::StoredForm(v).toDouble() : 0.0; }

QStringList ReportModel::closingLines() const {
    QStringList lines;
    for (const QString& l : {conditions, instruments})
        if (!l.isEmpty()) lines.append(l);
    return lines + notes + limitNotes;
}

int ReportModel::calculatedCount() const {
    int n = 0;
    for (const auto& r : regimes) n += r.calculated;
    return n;
}

namespace {

// The approval block, the title and the subtitle that names the boiler and its fuel.
void FillTitle(ReportModel& m, const QStringList& g, const QStringList& card) {
    using namespace object;
    // the approval of the owner: position, organisation, signature with name, date by hand
    m.approval = {QStringLiteral("УТВЕРЖДАЮ"), OrBlank(card[ApproverPosition])};
    if (!card[OwnerOrganisation].trimmed().isEmpty()) m.approval.append(card[OwnerOrganisation].trimmed());
    m.approval.append(QStringLiteral("____________  ") +
                      (card[ApproverName].trimmed().isEmpty() ? QStringLiteral("/________________/")
                                                              : card[ApproverName].trimmed()));
    m.approval.append(QStringLiteral("«____» ______________ 20___ г."));
    m.title = QStringLiteral("РЕЖИМНАЯ КАРТА");
    m.subtitle =
        (IsSteamBoiler(g) ? QStringLiteral("парового котла ") : QStringLiteral("водогрейного котла ")) +
        JoinNonEmpty({g.value(InstallationType), g.value(StationNumber).trimmed().isEmpty()
                                                     ? QString()
                                                     : QStringLiteral("ст. № ") + g.value(StationNumber).trimmed()},
                     QStringLiteral(", "));
    if (!IsSteamBoiler(g) && !IsHotWaterBoiler(g))
        m.subtitle = QStringLiteral("котла ") + JoinNonEmpty({g.value(BoilerType), g.value(InstallationType)}, QStringLiteral(", "));
    m.subtitle += QStringLiteral(" при работе на топливе: ") + g.value(FuelType).trimmed();
}

// One column per ticked regime, calculated from its stored inputs in private arrays (the
// hooks of the windows are not called). False with the reason on a regime that cannot be read.
bool CalculateColumns(const app::AppState& s, ReportModel& m, QString* error) {
    app::AppState work = s.privateCopy();
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
    return true;
}

// The values and marks of the results rows, per regime column (empty for a failed regime).
struct ResultTable {
    QList<results::ResultRow> definition;
    QList<QList<Value>> values;
    QList<QStringList> warnings;
};

ResultTable TabulateResults(const ReportModel& m, const QStringList& g) {
    ResultTable table;
    table.definition = results::BuildResultRows(g);
    const qsizetype rows = table.definition.size();
    for (const auto& r : m.regimes) {
        QList<Value> values;
        QStringList warnings;
        if (r.calculated) ResultValues(table.definition, r.results, g, values, warnings);
        else values = QList<Value>(rows), warnings = QStringList(rows);
        table.values.append(values);
        table.warnings.append(warnings);
    }
    return table;
}

// A row of the regime sheet of `kind` without marks in any column.
SheetRow PlainRow(const ReportModel& m, RowKind kind, const QString& key, const QString& caption) {
    SheetRow row;
    row.kind = kind;
    row.key = key;
    row.caption = caption;
    row.warnings = QStringList(static_cast<qsizetype>(m.regimes.size()));
    return row;
}

void AppendSection(ReportModel& m, const QString& caption) {
    m.regimeRows.append({RowKind::Section, {}, caption, {}, 0, {}, {}, {}});
}

// The regime sheet's head: whether each regime was calculated, and its load.
void AppendStatusAndLoad(ReportModel& m) {
    SheetRow status;
    status.kind = RowKind::Status;
    status.key = QStringLiteral("status");
    status.caption = QStringLiteral("Расчет режима");
    for (const auto& r : m.regimes)
        status.texts.append(r.calculated ? QStringLiteral("выполнен") : QStringLiteral("не выполнен: ") + r.message);
    SheetRow load = PlainRow(m, RowKind::Result, QStringLiteral("load"), QStringLiteral("Нагрузка котла"));
    load.unit = QStringLiteral("%");
    load.decimals = engine::kResultDecimals[0];
    for (const auto& r : m.regimes) load.values.append(r.calculated ? Value(r.results[0]) : Value());
    m.regimeRows.append(status);
    m.regimeRows.append(load);
}

// The measured inputs this boiler has, each with the most decimals any regime stored.
void AppendInputRows(ReportModel& m, const app::AppState& s) {
    AppendSection(m, QStringLiteral("Измеренные величины"));
    const bool economiser = object::HasEconomiser(s.general);
    for (int k : ShownInputs(s.general)) {
        SheetRow row = PlainRow(m, RowKind::Input, QStringLiteral("P%1").arg(k), InputCaption(k, economiser));
        row.unit = PrintUnit(UnitOfInput(s.units, k));
        // one number of decimals per quantity: the most any of its stored values has
        for (const auto& r : m.regimes) {
            row.values.append(Value(r.inputs[k]));
            row.decimals = std::max(row.decimals, DecimalsOf(r.inputs[k]));
        }
        m.regimeRows.append(row);
    }
}

// The results rows, with "± U95" under the results the test is about, from the program's
// instrument limits; returns each regime's uncertainty for the verdicts. A damaged limits file
// is a read error (`ok` false, `error` says why), never the defaults.
QList<engine::RegimeUncertainty> AppendResultRows(ReportModel& m, const app::AppState& s, const ResultTable& table,
                                                  QString* error, bool& ok) {
    AppendSection(m, QStringLiteral("Результаты расчета"));
    const QStringList& g = s.general;
    const int n = static_cast<int>(m.regimes.size());
    engine::InstrumentLimits limits;
    // a damaged limits file is a read error here as in every other command, never the defaults
    ok = results::ReadInstrumentLimits(s.templateFolder, limits, error);
    if (!ok) return {};
    QList<engine::RegimeUncertainty> uncertainty;
    const QSet<QString> spreadFiles = regime::SpreadFilesOf(s.currentObjectFolder);
    for (const auto& r : m.regimes) {
        engine::RegimeUncertainty u;
        if (r.calculated && !tuning::RegimeUncertaintyOf(s, r.file, r.inputs, limits, u, error, &spreadFiles)) {
            ok = false;
            return {};
        }
        uncertainty.append(u);
    }
    for (int i = 0; i < table.definition.size(); ++i) {
        SheetRow row;
        row.kind = RowKind::Result;
        row.key = table.definition[i].key;
        row.caption = ResultCaption(row.key, table.definition[i].caption, object::IsSteamBoiler(g));
        row.unit = PrintUnit(table.definition[i].unit);
        row.decimals = std::max(0, results::ResultDecimals(row.key, g));
        for (int c = 0; c < n; ++c) {
            row.values.append(table.values[c].value(i));
            row.warnings.append(table.warnings[c].value(i));
        }
        m.regimeRows.append(row);
        const int slot = results::ResultSlot(row.key, g);
        if (!results::ShowsUncertainty(row.key) || slot < 0) continue;
        SheetRow u = PlainRow(m, RowKind::Converted, row.key + QStringLiteral(" U95"),
                              QStringLiteral("    неопределенность ± U95"));
        u.unit = row.unit;
        u.decimals = row.decimals;
        for (int c = 0; c < n; ++c) {
            const auto& ru = uncertainty[c];
            u.values.append(ru.calculated && ru.computed[slot] ? Value(static_cast<float>(ru.u95[slot])) : Value());
        }
        m.regimeRows.append(u);
    }
    return uncertainty;
}

}  // namespace

QList<tuning::TuneStep> CardTuneSteps(const ReportModel& m, const app::AppState& s,
                                      const tuning::TuneSettings& settings, const engine::InstrumentLimits& limits) {
    app::AppState work;
    work.general = s.general;
    work.units = s.units;
    QList<tuning::TunePoint> points;
    for (int c = 0; c < m.regimes.size(); ++c) {
        const auto& r = m.regimes[c];
        if (!r.calculated) continue;
        tuning::TunePoint p;
        p.file = r.file;
        p.number = c;  // the column, to find it again
        p.load = r.results[0];
        p.alpha = r.results[9];
        p.o2 = r.inputs[13];
        p.q23 = double(r.results[5]) + r.results[6];
        p.eta = r.results[4];
        p.co = r.results[17];
        work.inputs = r.inputs;
        p.inputs = work.calcInputs();
        p.hasInputs = true;
        points.append(p);
    }
    return tuning::FindSteps(points, settings, &limits);
}

namespace {

// A pressure of `pascals` in a pressure unit of the editor, 0 for a unit none of them.
double PascalsIn(const QString& unit, double pascals) {
    static const QList<std::pair<QString, double>> perUnit = {
        {QStringLiteral("Па"), 1.0},         {QStringLiteral("кПа"), 1000.0},         {QStringLiteral("mbar"), 100.0},
        {QStringLiteral("кгс/м2"), 9.80665}, {QStringLiteral("мм.вод.ст."), 9.80665}, {QStringLiteral("bar"), 100000.0},
        {QStringLiteral("кгс/см2"), 98066.5}};
    for (const auto& [name, pa] : perUnit)
        if (unit.trimmed().compare(name, Qt::CaseInsensitive) == 0) return pascals / pa;
    return 0.0;
}

// "3,1 ± 0,16": a measured value with its tolerance, in the card's form.
QString WithTolerance(double value, double tolerance, int decimals) {
    const QLocale ru(QLocale::Russian);
    const int d = std::max(decimals, tolerance > 0 && tolerance < 1 ? 2 : decimals);
    return ru.toString(value, 'f', decimals) + QStringLiteral(" ± ") + ru.toString(tolerance, 'f', d);
}

// The load steps of the calculated regimes and the regime each runs by; the columns of the
// card and of the annex.
bool ChooseCardColumns(ReportModel& m, const app::AppState& s, const tuning::TuneSettings& settings, QString* error) {
    const int n = static_cast<int>(m.regimes.size());
    engine::InstrumentLimits limits;
    if (!results::ReadInstrumentLimits(s.templateFolder, limits, error)) return false;
    const QLocale ru(QLocale::Russian);
    m.tuneSteps = CardTuneSteps(m, s, settings, limits);
    for (const tuning::TuneStep& step : m.tuneSteps) {
        CardStep cs;
        cs.load = step.load;
        cs.column = step.points[step.cardRegime].number;
        cs.why = step.cardWhy;
        cs.setPoint = step.hasSetPoint();
        cs.o2 = cs.setPoint
                    ? ru.toString(step.o2Set, 'f', 1) + QStringLiteral(" ± ") + ru.toString(step.o2SetU95, 'f', 1)
                    : ru.toString(step.points[step.cardRegime].o2, 'f', 1) + QStringLiteral(" по опыту");
        m.steps.append(cs);
        m.cardColumns.append(cs.column);
    }
    // without a calculated regime every column stands on the card with its message
    if (m.cardColumns.isEmpty())
        for (int c = 0; c < n; ++c) m.cardColumns.append(c);
    for (int c = 0; c < n; ++c)
        if (!m.cardColumns.contains(c)) m.annexColumns.append(c);
    return true;
}

// The operating values of each step's regime with their tolerances: the O2 set point with its
// band, the excess air, and the gas and air pressures at the burner and the furnace draught
// with the tolerances of the card entries. On the card's table only.
void AppendOperatingRows(ReportModel& m, const app::AppState& s, const QStringList& card) {
    if (m.steps.isEmpty()) return;
    const int n = static_cast<int>(m.regimes.size());
    auto row = [&](const QString& key, const QString& caption, const QString& unit) {
        SheetRow r = PlainRow(m, RowKind::Status, key, caption);
        r.unit = unit;
        r.texts = QStringList(n);
        r.cardOnly = true;
        return r;
    };
    AppendSection(m, QStringLiteral("Режимные параметры карты"));
    m.regimeRows.last().cardOnly = true;
    SheetRow why = row(QStringLiteral("card why"), QStringLiteral("Режим карты на ступени нагрузки"), QString());
    SheetRow o2 = row(QStringLiteral("O2 set"), QStringLiteral("Содержание O2 за котлом (уставка регулятора)"),
                      QStringLiteral("%"));
    const bool gas = object::IsGaseousFuel(s.general.value(object::FuelType));
    // an entry left empty takes the usual tolerance
    const QStringList defaults = DefaultCardData();
    auto tolerance = [&](int entry) {
        const QString t = card.value(entry).trimmed().isEmpty() ? defaults[entry] : card.value(entry);
        return std::fabs(core::ParseNumber(t));
    };
    const double gasTol = tolerance(GasPressureTolerance), airTol = tolerance(AirPressureTolerance),
                 draughtTol = tolerance(DraughtTolerance);
    const QString draughtUnit = s.units.value(6);
    SheetRow gasRow = row(QStringLiteral("P5 tol"), QStringLiteral("Давление газа на горелке с допуском"),
                          PrintUnit(s.units.value(5)));
    SheetRow airRow = row(QStringLiteral("P19 tol"), QStringLiteral("Давление воздуха на горелке с допуском"),
                          PrintUnit(s.units.value(19)));
    SheetRow draughtRow =
        row(QStringLiteral("P6 tol"), QStringLiteral("Разрежение в топке с допуском"), PrintUnit(draughtUnit));
    for (const CardStep& st : m.steps) {
        const auto& in = m.regimes[st.column].inputs;
        why.texts[st.column] = st.why;
        o2.texts[st.column] = st.o2;
        gasRow.texts[st.column] = WithTolerance(in[5], std::fabs(in[5]) * gasTol / 100.0, DecimalsOf(in[5]));
        airRow.texts[st.column] = WithTolerance(in[19], std::fabs(in[19]) * airTol / 100.0, DecimalsOf(in[19]));
        const double draught = PascalsIn(draughtUnit, draughtTol);
        draughtRow.texts[st.column] = draught > 0 ? WithTolerance(in[6], draught, DecimalsOf(in[6])) : QString();
    }
    m.regimeRows << why << o2;
    if (gas) m.regimeRows << gasRow;
    m.regimeRows << airRow << draughtRow;
}

// CO and NOx referred to 3 % O2, the other norm in use.
void AppendConvertedEmissions(ReportModel& m) {
    AppendSection(m, QStringLiteral("Выбросы, приведенные к 3 % O2 (×1,2)"));
    for (const auto& [key, caption] :
         {std::pair{QStringLiteral("CO"), QStringLiteral("Концентрация CO, приведенная к 3 % O2")},
          std::pair{QStringLiteral("NO"), QStringLiteral("Концентрация NOx, приведенная к 3 % O2")}}) {
        SheetRow row = PlainRow(m, RowKind::Converted, key + QStringLiteral(" 3%"), caption);
        row.unit = PrintUnit(QStringLiteral("мг/м3"));
        row.decimals = 1;
        const int slot = key == u"CO" ? 17 : 18;
        for (const auto& r : m.regimes) row.values.append(r.calculated ? Value(Converted(r.results[slot])) : Value());
        m.regimeRows.append(row);
    }
}

// The summary sheet: one row per regime over the main results (no mean: a mean of loads
// and emissions across load steps means nothing on a card).
void BuildSummary(ReportModel& m, const QStringList& g, const ResultTable& table) {
    const QList<results::ResultRow>& definition = table.definition;
    m.summaryColumns.append({QStringLiteral("load"), QStringLiteral("Нагрузка"), QStringLiteral("%"), 0});
    QList<int> defIndex = {-1};
    for (const QString& key : SummaryKeys(object::IsSteamBoiler(g)))
        for (int i = 0; i < definition.size(); ++i)
            if (definition[i].key == key) {
                m.summaryColumns.append({key, SummaryCaption(key, definition[i].caption), PrintUnit(definition[i].unit),
                                         std::max(0, results::ResultDecimals(key, g))});
                defIndex.append(i);
                break;
            }
    for (int r = 0; r < m.regimes.size(); ++r) {
        SummaryRow row;
        row.regime = m.regimes[r].title;
        row.message = m.regimes[r].message;
        for (int c = 0; c < m.summaryColumns.size(); ++c) {
            Value v;
            QString w;
            if (m.regimes[r].calculated) {
                v = defIndex[c] < 0 ? Value(m.regimes[r].results[0]) : table.values[r].value(defIndex[c]);
                if (defIndex[c] >= 0) w = table.warnings[r].value(defIndex[c]);
            }
            row.values.append(v);
            row.warnings.append(w);
        }
        m.summary.append(row);
    }
}

// The footnotes: each reason a value was marked for, once.
void CollectNotes(ReportModel& m) {
    for (const auto& row : m.regimeRows)
        for (const QString& w : row.warnings) {
            if (w.isEmpty()) continue;
            const QString text = kDoubtMark + QStringLiteral(" ") + w;
            if (!m.notes.contains(text)) m.notes.append(text);
        }
}

// The summary's column of `key`, or -1.
int SummaryColumnOf(const ReportModel& m, const QString& key) {
    for (int c = 0; c < m.summaryColumns.size(); ++c)
        if (m.summaryColumns[c].key == key) return c;
    return -1;
}

// The gross efficiency and the NOx over output: the summary's first column after the load.
void BuildCharts(ReportModel& m) {
    const int x = 1;
    auto axis = [&](int c) {
        const auto& col = m.summaryColumns[c];
        return col.unit.isEmpty() ? col.caption : col.caption + QStringLiteral(", ") + col.unit;
    };
    auto range = [](const QList<float>& v) {
        if (v.isEmpty()) return std::pair{0.0, 1.0};
        const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
        return std::pair{static_cast<double>(*lo), static_cast<double>(*hi)};
    };
    for (const auto& [key, title] : {std::pair{QStringLiteral("КПД"), QStringLiteral("КПД брутто от производительности")},
                                     std::pair{QStringLiteral("NO"), QStringLiteral("NOx от производительности")}}) {
        const int y = SummaryColumnOf(m, key);
        if (y < 0 || x >= m.summaryColumns.size()) continue;
        ChartSpec chart;
        chart.title = title;
        chart.yColumn = y;
        chart.xColumn = x;
        chart.yCaption = axis(y);
        chart.xCaption = axis(x);
        chart.xDecimals = m.summaryColumns[x].decimals;
        chart.yDecimals = m.summaryColumns[y].decimals;
        for (const auto& row : m.summary) {
            if (!row.values[x] || !row.values[y]) continue;
            chart.data.x.append(*row.values[x]);
            chart.data.y.append(*row.values[y]);
            chart.data.regimes.append(row.regime);
            chart.data.doubtful.append(row.warnings.value(y));
        }
        const auto [x0, x1] = range(chart.data.x);
        const auto [y0, y1] = range(chart.data.y);
        chart.x = NiceAxis(x0, x1);
        chart.y = NiceAxis(y0, y1);
        m.charts.append(chart);
    }
}

// Who signs: the performer; for gaseous fuels the person in charge of the gas facilities;
// always the person in charge of the boiler's safe operation.
void FillSignatures(ReportModel& m, const QStringList& g, const QStringList& card) {
    using namespace object;
    const QString performer = card[PerformerPosition].trimmed().isEmpty()
                                  ? QStringLiteral("Исполнитель работ")
                                  : QStringLiteral("Исполнитель работ, ") + card[PerformerPosition].trimmed();
    m.signatures.append({performer, g.value(Performer).trimmed()});
    if (IsGaseousFuel(g.value(FuelType)))
        m.signatures.append({QStringLiteral("Ответственный за газовое хозяйство"), card[GasResponsible].trimmed()});
    m.signatures.append({QStringLiteral("Ответственный за исправное состояние и безопасную эксплуатацию котла"),
                         card[BoilerResponsible].trimmed()});
    m.signatures.append({QStringLiteral("Составил"), card[CompiledBy].trimmed()});
    m.signatures.append({QStringLiteral("Проверил"), card[CheckedBy].trimmed()});
}

// The conditions the card holds under, as signed cards state them.
QString ValidityConditions(const QStringList& g) {
    using namespace object;
    QString fuel = g.value(FuelType).trimmed();
    if (!g.value(CalorificValue).trimmed().isEmpty())
        fuel += QStringLiteral(" (Qн = ") + NumberText(g.value(CalorificValue)) + QStringLiteral(" ккал)");
    const QString burner = g.value(BurnerType).trimmed();
    return QStringLiteral("Карта действительна при работе котла на топливе ") + fuel +
           (burner.isEmpty() ? QString() : QStringLiteral(" с горелкой ") + burner) +
           QStringLiteral("; при изменении топлива или реконструкции карта пересоставляется.");
}

}  // namespace

bool BuildReport(const app::AppState& s, ReportModel& m, const QDate& date, QString* error, const QStringList& cardIn) {
    m = ReportModel();
    const QStringList& g = s.general;
    QStringList card = cardIn.isEmpty() ? DefaultCardData() : cardIn;
    card.resize(kCardEntryCount);
    m.objectName = s.currentObjectName;
    m.date = date;
    m.header = CardHeader(g, card, date);
    FillTitle(m, g, card);
    if (!CalculateColumns(s, m, error)) return false;

    // the load steps and the regime each runs by, under the object's CO ceiling and margin; a
    // damaged settings file is a read error, as a damaged limits file is
    tuning::TuneSettings settings;
    if (!tuning::ObjectTuneSettings(s, settings, error) || !ChooseCardColumns(m, s, settings, error)) return false;
    // the regime sheet: the operating settings, status, load, measured inputs, results,
    // emissions at 3 % O2
    AppendOperatingRows(m, s, card);
    AppendStatusAndLoad(m);
    AppendInputRows(m, s);
    const ResultTable table = TabulateResults(m, g);
    bool limitsRead = true;
    const QList<engine::RegimeUncertainty> uncertainty = AppendResultRows(m, s, table, error, limitsRead);
    if (!limitsRead) return false;
    AppendConvertedEmissions(m);
    AddVerdictRows(s, uncertainty, m);

    BuildSummary(m, g, table);
    CollectNotes(m);
    m.conditions = ValidityConditions(g);
    QStringList instruments;
    if (!ReadObjectInstruments(s.currentObjectFolder, instruments, error)) return false;
    for (int i = 0; i < instruments.size(); ++i)
        instruments[i] = QString::number(i + 1) + QStringLiteral(") ") + instruments[i];
    if (!instruments.isEmpty())
        m.instruments = QStringLiteral("Средства измерений: ") + instruments.join(QStringLiteral("; ")) + u'.';
    BuildCharts(m);
    FillSignatures(m, g, card);
    return true;
}

QJsonObject ReportJson(const ReportModel& m) {
    auto table = [&](const QList<int>& columns, bool annex) {
        QJsonArray titles, rows;
        for (int c : columns) titles.append(m.regimes[c].title);
        for (const SheetRow& r : m.regimeRows) {
            if (r.kind == RowKind::Section || (annex && r.cardOnly)) continue;
            QJsonArray values;
            for (int c : columns)
                values.append(r.kind == RowKind::Status ? r.texts.value(c)
                                                        : ValueText(r.values.value(c), r.decimals, QLocale::c()));
            rows.append(QJsonObject{{"key", r.key}, {"caption", r.caption}, {"unit", r.unit}, {"values", values}});
        }
        return QJsonObject{{"columns", titles}, {"rows", rows}};
    };
    QJsonArray steps;
    for (const CardStep& st : m.steps)
        steps.append(QJsonObject{{"load", st.load},
                                 {"regime", m.regimes[st.column].title},
                                 {"file", m.regimes[st.column].file},
                                 {"why", st.why},
                                 {"o2", st.o2},
                                 {"set_point", st.setPoint}});
    return QJsonObject{{"object", m.objectName},
                       {"steps", steps},
                       {"card", table(m.cardColumns, false)},
                       {"annex", table(m.annexColumns, true)},
                       {"recalculated", QJsonArray::fromStringList(m.recalculated)}};
}

CardRun PrepareReport(app::AppState& s, ReportModel& m, const QDate& date, const std::function<bool(int, int)>& progress) {
    if (s.regimeList.rows.isEmpty()) return {CardStatus::NoRegimes, kNoRegimes};
    QStringList shown;
    for (const auto& row : s.regimeList.rows)
        if (row.ticked) shown.append(row.key);
    if (shown.isEmpty()) return {CardStatus::NoRegimes, kNoTickedRegimes};

    // stale stored results are recalculated and stored first, so the card, the list and the
    // pane agree, and the columns follow the loads so stored
    QStringList recalculated;
    const QStringList stale = regime::StaleRegimes(s, shown);
    if (!stale.isEmpty()) {
        bool cancelled = false;
        const regime::RecalcReport r = regime::RecalculateRegimes(s, stale, [&](int done, int total) {
            if (progress && !progress(done, total) && done < total) cancelled = true;
            return !cancelled;
        });
        // the regimes listed passed the check, so a line not calculated is a file error
        for (const auto& line : r.lines)
            if (line.calculated) recalculated.append(line.file);
        if (r.failed > 0) {
            for (const auto& line : r.lines)
                if (!line.calculated && !line.message.isEmpty())
                    return {CardStatus::FileError, line.file + QStringLiteral(": ") + line.message};
            return {CardStatus::FileError, QStringLiteral("ошибка записи результатов")};
        }
        if (cancelled) return {CardStatus::Cancelled, QString()};
    }

    QStringList card;
    QString error;
    if (!ReadCardData(s.currentObjectFolder, card, &error)) return {CardStatus::FileError, error};
    if (!BuildReport(s, m, date, &error, card)) return {CardStatus::FileError, error};
    m.recalculated = recalculated;
    return {};
}

bool BuildReportForFolder(const QString& objectFolder, ReportModel& model, const QDate& date, QString* error) {
    app::AppState s;
    if (!regime::LoadObjectFolder(s, objectFolder, error)) return false;
    // the command reports every regime, also one whose results file is missing yet
    for (auto& row : s.regimeList.rows) row.ticked = true;
    const CardRun run = PrepareReport(s, model, date);
    if (run.status != CardStatus::Built) {
        if (error) *error = run.message;
        return false;
    }
    return true;
}

}  // namespace report
