#include "report/techreport.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "core/textfile.h"
#include "docs/documents.h"
#include "docs/safetymap.h"
#include "engine/engine.h"
#include "object/generaldata.h"
#include "regime/regimestore.h"
#include "report/carddata.h"
#include "results/graphpainter.h"
#include "results/instrumentlimits.h"
#include "tuning/tuningchart.h"

namespace report {

namespace {

QString Num(double v, int decimals) { return QLocale(QLocale::Russian).toString(v, 'f', decimals); }

// What the report knows besides the card: its entries, the instruments, the limits, the steps.
struct Sources {
    const app::AppState& s;
    const ReportModel& m;
    QStringList card;
    QStringList instruments;
    engine::InstrumentLimits limits;
    QList<tuning::TuneStep> steps;  // points numbered by their column in m.regimes
    bool steam() const { return object::IsSteamBoiler(s.general); }
    // the output slot and its caption: steam output D, t/h, or heat output Q in its unit
    int outputSlot() const { return steam() ? 1 : 3; }
    QString outputCaption() const {
        return steam() ? QStringLiteral("Паропроизводительность D, т/ч")
                       : QStringLiteral("Теплопроизводительность Q, ") + s.general.value(object::HeatOutputUnit);
    }
};

// The quantities of a regime in the report's tables of regimes: caption and value text.
struct Quantity {
    QString caption;
    std::function<QString(const RegimeColumn&)> value;
};

QList<Quantity> RegimeQuantities() {
    auto result = [](int slot) {
        return [slot](const RegimeColumn& r) {
            return r.calculated ? Num(r.results[slot], engine::kResultDecimals[slot]) : QString();
        };
    };
    auto input = [](int k, int d) { return [k, d](const RegimeColumn& r) { return Num(r.inputs[k], d); }; };
    return {{QStringLiteral("Режим"), [](const RegimeColumn& r) { return r.title; }},
            {QStringLiteral("Нагрузка, %"), result(0)},
            {QStringLiteral("O2, %"), input(13, 1)},
            {QStringLiteral("CO, мг/м³"), result(17)},
            {QStringLiteral("NOx, мг/м³"), result(18)},
            {QStringLiteral("tух, °C"), input(17, 0)},
            {QStringLiteral("α"), result(9)},
            {QStringLiteral("q2, %"), result(5)},
            {QStringLiteral("q3, %"), result(6)},
            {QStringLiteral("q5, %"), result(7)},
            {QStringLiteral("КПД бр., %"), result(4)},
            {QStringLiteral("КПД пр., %"), result(22)}};
}

// A table of regimes, one a row, over the report's quantities.
void RegimeTable(TextDoc& doc, const ReportModel& m, const QList<int>& columns, const QString& caption) {
    const QList<Quantity> q = RegimeQuantities();
    QStringList header;
    for (const Quantity& x : q) header.append(x.caption);
    QList<QStringList> rows;
    for (int c : columns) {
        QStringList row;
        for (const Quantity& x : q) row.append(x.value(m.regimes[c]));
        if (!m.regimes[c].calculated) row.last() = QStringLiteral("не рассчитан: ") + m.regimes[c].message;
        rows.append(row);
    }
    doc.table(caption, header, rows);
}

// The card's own table over `columns` (the card's rows under their captions), in blocks of five.
void CardTable(TextDoc& doc, const ReportModel& m, const QList<int>& columns, bool annex, const QString& caption) {
    for (int start = 0; start < columns.size(); start += 5) {
        const QList<int> part = columns.mid(start, 5);
        QStringList header{QStringLiteral("Параметр"), QStringLiteral("Ед. изм.")};
        for (int c : part) header.append(m.regimes[c].title);
        QList<QStringList> rows;
        for (const SheetRow& r : m.regimeRows) {
            if (annex && r.cardOnly) continue;
            QStringList row{r.caption, r.unit};
            for (int c : part)
                row.append(r.kind == RowKind::Section ? QString()
                           : r.kind == RowKind::Status
                               ? r.texts.value(c)
                               : ValueText(r.values.value(c), r.decimals, QLocale(QLocale::Russian)));
            rows.append(row);
        }
        doc.table(start == 0 ? caption : caption + QStringLiteral(" (продолжение)"), header, rows);
    }
}

void TitlePage(TextDoc& doc, const Sources& x) {
    // "СОГЛАСОВАНО" at the left where the card entries hold one, "УТВЕРЖДАЮ" at the right
    const QString agreed = x.card.value(AgreedBy).trimmed();
    if (!agreed.isEmpty()) {
        doc.paragraph(QStringLiteral("СОГЛАСОВАНО"), true);
        doc.paragraph(agreed);
        doc.paragraph(QStringLiteral("____________  «____» ______________ 20___ г."));
        doc.paragraph(QString());
    }
    for (const QString& line : x.m.approval) doc.paragraph(line, line == x.m.approval.value(0), false, true);
    doc.paragraph(QString());
    doc.paragraph(x.card.value(TestOrganisation).trimmed(), true, true);
    for (int i = 0; i < 3; ++i) doc.paragraph(QString());
    doc.paragraph(QStringLiteral("ТЕХНИЧЕСКИЙ ОТЧЁТ"), true, true);
    doc.paragraph(QStringLiteral("о режимно-наладочных испытаниях"), true, true);
    doc.paragraph(x.m.subtitle, false, true);
    doc.paragraph(QStringLiteral("Объект: ") + x.m.objectName, false, true);
    const QString number = x.card.value(ReportNumber).trimmed();
    doc.paragraph(QStringLiteral("Рег. № ") + (number.isEmpty() ? QStringLiteral("________") : number), false, true);
    for (int i = 0; i < 6; ++i) doc.paragraph(QString());
    doc.paragraph(QString::number(x.m.date.year()), false, true);
}

void Performers(TextDoc& doc, const Sources& x) {
    doc.heading(QStringLiteral("СПИСОК ИСПОЛНИТЕЛЕЙ"));
    QList<QStringList> rows;
    const QString position = x.card.value(PerformerPosition).trimmed();
    rows.append(
        {QStringLiteral("Исполнитель работ") + (position.isEmpty() ? QString() : QStringLiteral(", ") + position),
         x.s.general.value(object::Performer).trimmed(), QString()});
    rows.append({QStringLiteral("Составил"), x.card.value(CompiledBy).trimmed(), QString()});
    rows.append({QStringLiteral("Проверил"), x.card.value(CheckedBy).trimmed(), QString()});
    doc.table(QString(), {QStringLiteral("Роль"), QStringLiteral("Ф.И.О."), QStringLiteral("Подпись, дата")}, rows);
}

// Counts of the finished document: the abstract names them.
struct Counts {
    int figures = 0, tables = 0, annexes = 4;
};

void Abstract(TextDoc& doc, const Sources& x, const Counts& n) {
    doc.heading(QStringLiteral("РЕФЕРАТ"));
    doc.paragraph(QStringLiteral("Отчет %1 с., %2 рис., %3 табл., %4 прил.")
                      .arg(kPagesToken)
                      .arg(n.figures)
                      .arg(n.tables)
                      .arg(n.annexes));
    doc.paragraph(
        QStringLiteral("КОТЕЛ, РЕЖИМНО-НАЛАДОЧНЫЕ ИСПЫТАНИЯ, ТЕПЛОВОЙ БАЛАНС, КПД, ИЗБЫТОК ВОЗДУХА, "
                       "УСТАВКА O2, ВЫБРОСЫ, РЕЖИМНАЯ КАРТА"));
    QList<float> eta;
    for (const RegimeColumn& r : x.m.regimes)
        if (r.calculated) eta.append(r.results[4]);
    const auto [lo, hi] =
        eta.isEmpty() ? std::pair{0.0f, 0.0f}
                      : std::pair{*std::min_element(eta.begin(), eta.end()), *std::max_element(eta.begin(), eta.end())};
    doc.paragraph(QStringLiteral("Проведены режимно-наладочные испытания %1: %2 режимов на %3 ступенях нагрузки. "
                                 "КПД брутто по обратному балансу составил %4–%5 %; для каждой ступени определен "
                                 "режим работы и содержание O2, составлена режимная карта.")
                      .arg(x.m.subtitle)
                      .arg(x.m.regimes.size())
                      .arg(x.steps.size())
                      .arg(Num(lo, 2), Num(hi, 2)));
}

void Introduction(TextDoc& doc, const Sources& x) {
    doc.heading(QStringLiteral("ВВЕДЕНИЕ"));
    doc.paragraph(
        QStringLiteral("Цель испытаний — определить показатели работы котла на разных нагрузках (тепловой "
                       "баланс, КПД, потери тепла, избыток воздуха, выбросы CO и NOx), найти режимы с "
                       "наименьшими потерями при допустимом содержании CO и составить режимную карту."));
    doc.paragraph(QStringLiteral("Объект: %1. Испытания %2. Заказчик: %3. Испытания проведены %4 организацией %5.")
                      .arg(x.m.objectName, x.m.subtitle, x.card.value(OwnerOrganisation).trimmed(),
                           x.card.value(TestDates).trimmed(), x.card.value(TestOrganisation).trimmed()));
}

void Equipment(TextDoc& doc, const Sources& x) {
    doc.heading(QStringLiteral("1 Характеристика оборудования"));
    QList<QStringList> rows;
    for (const HeaderLine& h : x.m.header) rows.append({h.caption, h.value});
    doc.table(QStringLiteral("Таблица 1 — Котел, горелка и топливо"),
              {QStringLiteral("Показатель"), QStringLiteral("Значение")}, rows);
}

void Method(TextDoc& doc, const Sources& x) {
    doc.heading(QStringLiteral("2 Методика испытаний"));
    doc.heading(QStringLiteral("2.1 Измеряемые величины и средства измерений"), 2);
    doc.paragraph(
        QStringLiteral("На каждом режиме измерялись расход топлива, состав уходящих газов (O2, CO2, CO, NO, "
                       "NO2), температура уходящих газов и воздуха, давления газа, воздуха и разрежение, "
                       "температуры и расход теплоносителя."));
    QList<QStringList> rows;
    for (int i = 0; i < x.instruments.size(); ++i) rows.append({QString::number(i + 1), x.instruments[i]});
    if (rows.isEmpty()) rows.append({QString(), QStringLiteral("(не указаны в сведениях режимной карты)")});
    doc.table(QStringLiteral("Таблица 2 — Средства измерений"),
              {QStringLiteral("№"), QStringLiteral("Прибор, номер, поверка")}, rows);
    doc.heading(QStringLiteral("2.2 Тепловой баланс"), 2);
    doc.paragraph(
        QStringLiteral("КПД брутто по обратному балансу: η = 100 − q2 − q3 − q5, %. Потери с уходящими газами "
                       "q2 = (tух − h·tв)·((α − 1)·A·c2 + c1)·100/T, где α = CO2max/CO2, c1 и c2 — "
                       "теплоемкости газов и воздуха при tух, A, h, T — постоянные топлива. Потери от "
                       "химической неполноты сгорания q3 = CO·30,2·10⁻⁴·α·100/F. Потери в окружающую среду "
                       "q5 — по нормативу при номинальной нагрузке, приведенные к нагрузке режима."));
    doc.paragraph(
        QStringLiteral("КПД по прямому балансу: η = G·(tвых − tвх)·10⁵/(B·Qн) для водогрейного котла и "
                       "η = D·(i − tпв)·10⁵/(B·Qн) для парового, где G и D — расход воды и пара по "
                       "расходомеру, B — расход топлива, Qн — теплота сгорания."));
    doc.heading(QStringLiteral("2.3 Неопределенность результатов"), 2);
    doc.paragraph(QStringLiteral("Расширенная неопределенность U95 = 2·√Σ(c·u)²: пределы погрешности приборов — "
                                 "равномерные распределения (u = a/√3), переведенные в единицы поля; CO2 следует за "
                                 "O2, когда анализатор рассчитывает его по O2; учитываются q5 (±%1 %), CO2max "
                                 "(±%2 %) и атмосферное давление (±%3 кПа); повторяемость усредненных показаний — "
                                 "σ/√n. Чувствительности — центральные разности, посчитанные самим расчетом режима.")
                      .arg(Num(x.limits.q5Percent, 0), Num(x.limits.co2Max, 1), Num(x.limits.atmosphere, 0)));
    QList<QStringList> limits;
    for (int k : {13, 12, 11, 14, 15, 17, 18, 1, 0, 7, 2, 22, 23, 26, 28, 41}) {
        const auto& l = x.limits[k];
        if (l.absolute <= 0 && l.percent <= 0) continue;
        limits.append({results::LimitInputName(k),
                       l.absolute > 0 ? Num(l.absolute, 1) + u' ' + results::StatedUnitText(k) : QString(),
                       l.percent > 0 ? Num(l.percent, 1) + QStringLiteral(" %") : QString()});
    }
    doc.table(QStringLiteral("Таблица 3 — Пределы погрешности"),
              {QStringLiteral("Величина"), QStringLiteral("±, абс."), QStringLiteral("±, % показания")}, limits);
}

// A tuning step with its points numbered as the regimes are (the card's model numbers them
// by column).
tuning::TuneStep Renumbered(const tuning::TuneStep& step, const ReportModel& m) {
    tuning::TuneStep s = step;
    for (tuning::TunePoint& p : s.points)
        p.number = regime::RegimeNumberOf(m.regimes[p.number].file).value_or(p.number);
    return s;
}

void Results(TextDoc& doc, const Sources& x, int& table) {
    doc.heading(QStringLiteral("3 Результаты испытаний"));
    int section = 0, figure = 0;
    for (const tuning::TuneStep& step : x.steps) {
        doc.heading(QStringLiteral("3.%1 Ступень нагрузки %2 %").arg(++section).arg(Num(step.load, 0)), 2);
        QList<int> columns;
        for (const tuning::TunePoint& p : step.points) columns.append(p.number);
        std::sort(columns.begin(), columns.end());
        RegimeTable(doc, x.m, columns,
                    QStringLiteral("Таблица %1 — Режимы ступени %2 %").arg(++table).arg(Num(step.load, 0)));
        if (step.settings >= 2 && step.hasSetPoint()) {
            doc.figure(
                tuning::RenderStep(Renumbered(step, x.m), QSize(1400, 520), QLocale(QLocale::Russian)),
                QStringLiteral("Рисунок %1 — q2 + q3 и CO в зависимости от O2 на ступени %2 %; уставка O2 = %3 ± %4 %")
                    .arg(++figure)
                    .arg(Num(step.load, 0), Num(step.o2Set, 1), Num(step.o2SetU95, 1)));
        }
    }
    doc.heading(QStringLiteral("3.%1 Зависимости от производительности").arg(++section), 2);
    struct Graph {
        int slot;
        QString caption;
    };
    const QList<Graph> graphs = {
        {4, QStringLiteral("КПД брутто, %")}, {5, QStringLiteral("q2, %")},
        {6, QStringLiteral("q3, %")},         {9, QStringLiteral("Коэффициент избытка воздуха α")},
        {17, QStringLiteral("CO, мг/м³")},    {18, QStringLiteral("NOx, мг/м³")}};
    QList<int> order;
    for (int c = 0; c < x.m.regimes.size(); ++c)
        if (x.m.regimes[c].calculated) order.append(c);
    const int xs = x.outputSlot();
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return x.m.regimes[a].results[xs] < x.m.regimes[b].results[xs]; });
    for (const Graph& g : graphs) {
        results::GraphData data;
        for (int c : order) {
            data.x.append(x.m.regimes[c].results[xs]);
            data.y.append(x.m.regimes[c].results[g.slot]);
            data.regimes.append(x.m.regimes[c].file);
            data.doubtful.append(QString());
        }
        doc.figure(results::RenderGraphImage(data, g.caption, x.outputCaption(), QString(), Qt::black, QSize(1000, 560),
                                             QLocale(QLocale::Russian)),
                   QStringLiteral("Рисунок %1 — %2 в зависимости от производительности").arg(++figure).arg(g.caption));
    }
}

void Emissions(TextDoc& doc, const Sources& x, int& table) {
    doc.heading(QStringLiteral("4 Выбросы"));
    doc.paragraph(
        QStringLiteral("Концентрации CO и NOx (в пересчете на NO2) приведены к α = 1,4 в сухих газах при 0 °C "
                       "и 101,3 кПа; массовый выброс — измеренная концентрация на объем газов при "
                       "действительном α; удельный — массовый выброс на теплопроизводительность."));
    auto text = [&](const QString& key, int c) {
        for (const SheetRow& r : x.m.regimeRows)
            if (r.key == key)
                return r.kind == RowKind::Status ? r.texts.value(c)
                                                 : ValueText(r.values.value(c), r.decimals, QLocale(QLocale::Russian));
        return QString();
    };
    QList<QStringList> rows;
    for (const CardStep& st : x.m.steps) {
        const int c = st.column;
        rows.append({Num(st.load, 0), x.m.regimes[c].title,
                     text(QStringLiteral("CO"), c) + QStringLiteral(" ± ") + text(QStringLiteral("CO U95"), c),
                     text(QStringLiteral("CO u"), c),
                     text(QStringLiteral("NO"), c) + QStringLiteral(" ± ") + text(QStringLiteral("NO U95"), c),
                     text(QStringLiteral("NO u"), c), text(QStringLiteral("NO m"), c),
                     text(QStringLiteral("NO норма"), c)});
    }
    doc.table(QStringLiteral("Таблица %1 — Выбросы на режимах карты").arg(++table),
              {QStringLiteral("Нагрузка, %"), QStringLiteral("Режим"), QStringLiteral("CO, мг/м³"),
               QStringLiteral("CO, г/Гкал"), QStringLiteral("NOx, мг/м³"), QStringLiteral("NOx, г/Гкал"),
               QStringLiteral("NOx, мг/с"), QStringLiteral("Оценка NOx")},
              rows);
    for (const QString& n : x.m.limitNotes) doc.paragraph(n);
}

void Conclusion(TextDoc& doc, const Sources& x) {
    doc.heading(QStringLiteral("ЗАКЛЮЧЕНИЕ"));
    for (const CardStep& st : x.m.steps)
        doc.paragraph(QStringLiteral("Ступень нагрузки %1 %: режим карты — %2 (%3); содержание O2 за котлом, %: %4.")
                          .arg(Num(st.load, 0), x.m.regimes[st.column].title, st.why, st.o2));
    QList<float> eta;
    for (const RegimeColumn& r : x.m.regimes)
        if (r.calculated) eta.append(r.results[4]);
    if (!eta.isEmpty())
        doc.paragraph(QStringLiteral("КПД брутто по обратному балансу на испытанных нагрузках: от %1 до %2 %.")
                          .arg(Num(*std::min_element(eta.begin(), eta.end()), 2),
                               Num(*std::max_element(eta.begin(), eta.end()), 2)));
    for (const tuning::TuneStep& step : x.steps) {
        if (!step.hasSetPoint() || step.settings < 2) continue;
        const tuning::TunePoint& base = step.points[step.baseline];
        const int number = regime::RegimeNumberOf(base.file).value_or(0);
        doc.paragraph(
            QStringLiteral("На ступени %1 % настройка на уставку O2 = %2 ± %3 % дает %4 ± %5 % КПД (%6 кг у.т./Гкал) "
                           "против %7 режима № %8.")
                .arg(Num(step.load, 0), Num(step.o2Set, 1), Num(step.o2SetU95, 1), Num(step.gainEta, 2),
                     Num(step.gainU95, 2), Num(step.gainFuel, 2),
                     step.asFound >= 0 ? QStringLiteral("исходного") : QStringLiteral("худшего"))
                .arg(number));
        if (step.asFound >= 0 && step.gainEta > step.gainU95)
            doc.paragraph(
                QStringLiteral("Рекомендуется перенастроить горелку: исходный режим № %1 хуже уставки.").arg(number));
        for (const QString& w : step.warnings)
            doc.paragraph(QStringLiteral("Ступень %1 %: %2.").arg(Num(step.load, 0), w));
    }
    for (const SheetRow& r : x.m.regimeRows)
        if (r.key.endsWith(QStringLiteral(" норма")))
            for (const CardStep& st : x.m.steps)
                if (r.texts.value(st.column) == u"превышение")
                    doc.paragraph(QStringLiteral("Режим %1: %2 превышает предел — требуется наладка горения.")
                                      .arg(x.m.regimes[st.column].title, r.key.section(u' ', 0, 0)));
}

void Annexes(TextDoc& doc, const Sources& x) {
    doc.heading(QStringLiteral("ПРИЛОЖЕНИЕ А. Режимная карта"));
    CardTable(doc, x.m, x.m.cardColumns, false, QStringLiteral("Режимная карта: режимы ступеней нагрузки"));
    doc.heading(QStringLiteral("ПРИЛОЖЕНИЕ Б. Результаты опытов"));
    if (x.m.annexColumns.isEmpty()) doc.paragraph(QStringLiteral("Все режимы испытаний вошли в режимную карту."));
    else RegimeTable(doc, x.m, x.m.annexColumns, QStringLiteral("Режимы, не вошедшие в карту"));
    doc.heading(QStringLiteral("ПРИЛОЖЕНИЕ В. Карта уставок автоматики безопасности"));
    QStringList cells;
    if (docs::ReadSafetyMap(x.s.currentObjectFolder, cells) == docs::MapRead::Complete) {
        QList<QStringList> rows;
        for (int r = 0; r < docs::kMapRows; ++r) rows.append(cells.mid(r * docs::kMapColumns, docs::kMapColumns));
        doc.table(QString(),
                  {QStringLiteral("Параметр срабатывания"), QStringLiteral("Ед. изм."), QStringLiteral("Тип датчика"),
                   QStringLiteral("Номер прибора"), QStringLiteral("Уставка")},
                  rows);
    } else {
        doc.paragraph(QStringLiteral("Карта уставок для объекта не составлена."));
    }
    doc.heading(QStringLiteral("ПРИЛОЖЕНИЕ Г. Перечень документов объекта"));
    QList<docs::DocumentEntry> documents;
    docs::ListDocuments(x.s.currentObjectFolder, documents);
    QList<QStringList> rows;
    for (const auto& d : documents) rows.append({QString::number(rows.size() + 1), d.name, d.kind});
    if (rows.isEmpty()) rows.append({QString(), QStringLiteral("(документов нет)"), QString()});
    doc.table(QString(), {QStringLiteral("№"), QStringLiteral("Документ"), QStringLiteral("Вид")}, rows);
}

void Compose(TextDoc& doc, const Sources& x, const Counts& counts) {
    doc = TextDoc();
    doc.title = QStringLiteral("Технический отчет о режимно-наладочных испытаниях: ") + x.m.objectName;
    TitlePage(doc, x);
    doc.pageBreak();
    Performers(doc, x);
    Abstract(doc, x, counts);
    doc.contents();
    Introduction(doc, x);
    Equipment(doc, x);
    Method(doc, x);
    int table = 3;
    Results(doc, x, table);
    Emissions(doc, x, table);
    Conclusion(doc, x);
    Annexes(doc, x);
}

}  // namespace

bool BuildTechReport(const app::AppState& s, const ReportModel& card, TextDoc& doc, QString* error) {
    Sources x{s, card, {}, {}, {}, {}};
    if (!ReadCardData(s.currentObjectFolder, x.card, error) ||
        !ReadObjectInstruments(s.currentObjectFolder, x.instruments, error) ||
        !results::ReadInstrumentLimits(s.templateFolder, x.limits, error))
        return false;
    x.steps = card.tuneSteps;
    // composed twice: the abstract names the figures and tables of the finished document (its
    // pages are filled in when it is laid out)
    Counts counts;
    Compose(doc, x, counts);
    counts.figures = doc.count(DocBlock::Figure);
    counts.tables = doc.count(DocBlock::Table);
    Compose(doc, x, counts);
    return true;
}

bool WriteTechReport(const TextDoc& doc, const QString& odtPath, const QString& pdfPath, QString* error) {
    const DocFiles files = RenderDoc(doc);
    if (!odtPath.isEmpty() && !core::WriteFileAtomic(odtPath, files.odt, error)) return false;
    if (!pdfPath.isEmpty() && !core::WriteFileAtomic(pdfPath, files.pdf, error)) return false;
    return true;
}

}  // namespace report
