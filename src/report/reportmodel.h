#pragma once
// The regime card and the summary sheet of an object as plain tables: no widgets, no
// painting. The workbook writer and the PDF writer both read this one model, so the two
// documents always hold the same rows and numbers.

#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "app/state.h"
#include "results/plotter.h"
#include "tuning/tuning.h"

namespace report {

// File names of the documents in the object folder.
inline const QString kReportXlsx = QStringLiteral("Режимная карта.xlsx");
inline const QString kReportPdf = QStringLiteral("Режимная карта.pdf");

// Why no card is made.
inline const QString kNoRegimes = QStringLiteral("В объекте нет режимов: режимная карта не создана.");
inline const QString kNoTickedRegimes = QStringLiteral(
    "В списке режимов не отмечен ни один режим: режимная карта не создана. Отметьте режимы, которые войдут в карту.");

// The heading of the annex with the regimes of the test that are not the card's settings.
inline const QString kAnnexTitle = QStringLiteral("Приложение. Результаты опытов");

// The mark of a value that cannot be right, and the words of its footnote.
inline const QString kDoubtMark = QStringLiteral("*");

using Value = std::optional<float>;

// The most decimals a row prints: the PDF and the workbook give the same digits in every cell.
inline constexpr int kMaxRowDecimals = 6;

// Text of a value with a fixed number of decimals and the locale's decimal separator, no
// group separator; "" when empty.
QString ValueText(const Value& v, int decimals, const QLocale& locale);
// The number written into a workbook cell: the value's stored decimal form read as a double,
// so 91.51 stays 91.51 and not 91.5100021.
double CellNumber(float v);
// A unit text as it is printed: "°C" for the stored "оС", "м³/ч" for "м3/час", and so on.
QString PrintUnit(const QString& unit);

// A scale with round steps (1, 2 or 5 times a power of ten) that holds [lo, hi]; a single
// value gets a range around it.
struct Axis {
    double min = 0, max = 1, step = 1;
    int decimals = 0;
};
Axis NiceAxis(double lo, double hi, int steps = 5);

struct RegimeColumn {
    QString file;    // regime file name
    QString title;   // "Режим № 3"
    bool calculated = false;
    QString message;  // the data check's message of a regime that was not calculated
    std::array<float, app::kInputCount> inputs{};
    std::array<float, app::kResultCount> results{};
};

enum class RowKind { Section, Input, Result, Converted, Status };

struct SheetRow {
    RowKind kind = RowKind::Input;
    QString key;      // input index ("P12") or results row key
    QString caption;  // the full caption of the quantity
    QString unit;     // in print form
    int decimals = 0;       // every value of the row is printed with these decimals
    QList<Value> values;    // one per regime column; empty for a section row
    QStringList warnings;   // one per regime column: why the value cannot be right, or ""
    QStringList texts;      // status row: one text per regime column
    bool cardOnly = false;  // a row of the operating settings: on the card's table, not the annex's
};

// One load step on the card: the regime it runs by.
struct CardStep {
    double load = 0;  // the step's first load
    int column = -1;  // into ReportModel::regimes
    QString why;  // why that regime: "ближайший к уставке O2", "выбран инженером", …
    QString o2;   // "3,1 ± 0,2", or the chosen regime's O2 and "по опыту"
    bool setPoint = false;
};

struct SummaryColumn {
    QString key;  // results row key, or "load"
    QString caption;
    QString unit;
    int decimals = 0;
};

struct SummaryRow {
    QString regime;
    QString message;        // check message of a regime that was not calculated
    QList<Value> values;    // one per summary column
    QStringList warnings;   // one per summary column
};

struct ChartSpec {
    QString title, yCaption, xCaption;
    int yColumn = 0, xColumn = 0;  // summary columns plotted
    results::GraphData data;       // the calculated regimes, in load order
    Axis x, y;
    int xDecimals = 0, yDecimals = 0;  // of the plotted quantities
};

struct HeaderLine {
    QString caption, value;
};

struct ReportModel {
    QString objectName;
    QDate date;
    QStringList approval;        // the "УТВЕРЖДАЮ" block, line by line
    QString title, subtitle;     // "РЕЖИМНАЯ КАРТА", "котла ..."
    QList<HeaderLine> header;
    QList<RegimeColumn> regimes;
    QList<SheetRow> regimeRows;  // the regime sheet, top to bottom
    // the card's table has one column per load step, the regime chosen as its operating
    // setting; the other regimes (the air-setting experiments, regimes not calculated) go to
    // the annex "Приложение. Результаты опытов" with the same rows
    QList<CardStep> steps;
    QList<tuning::TuneStep> tuneSteps;     // the steps behind them (points numbered by column)
    QList<int> cardColumns, annexColumns;  // into regimes, in load order
    QList<SummaryColumn> summaryColumns;
    QList<SummaryRow> summary;
    QList<ChartSpec> charts;     // gross efficiency and NOx against output
    QString conditions;          // what the card holds under: the fuel, the burner, when it is drawn up anew
    QString instruments;         // "Средства измерений: …" used in the tests, or ""
    // the conditions and the instruments, then the footnotes: the lines under the card's table
    QStringList closingLines() const;
    QStringList notes;           // footnotes of marked values, each starting with the mark
    QStringList limitNotes;      // footnotes of the emission limits: their documents ("¹ Предел NOx: ...")
    QList<HeaderLine> signatures;  // role, name (empty: written by hand)
    QStringList recalculated;    // regimes recalculated and stored before the card was made
    int calculatedCount() const;
};

// The heading lines of the card from the general data and the card's own entries (see
// carddata.h): object, owner, organisation, test dates, validity, boiler, burner, fuel with Qн,
// nominal output, economiser, load control, date of the card.
QList<HeaderLine> CardHeader(const QStringList& general, const QStringList& card, const QDate& date);
// The object's lines for other documents (the protocol): object, boiler, burner, fuel with
// Qн, nominal output, economiser, load control, executor, date.
QList<HeaderLine> ObjectHeader(const QStringList& general, const QDate& date);

// Builds the model of the open object of `s` (its folder, general data, units) over the
// ticked rows of its regime list, in list order (the list is kept sorted by load). Each
// regime is read and calculated in private arrays; `s` is not changed. Fails when a regime
// file cannot be read. `card` holds the card's own entries (empty: the defaults).
bool BuildReport(const app::AppState& s, ReportModel& model, const QDate& date, QString* error = nullptr,
                 const QStringList& card = {});

enum class CardStatus { Built, NoRegimes, FileError, Cancelled };
struct CardRun {
    CardStatus status = CardStatus::Built;
    QString message;  // why no card was made
};

// What "Создать" and the command line do before the card is written: refuses an object
// without regimes or without a ticked one; recalculates and stores every ticked regime whose
// stored results are stale (as "Всех" does: the list is sorted by the new loads, the current
// regime kept); reads the object's card entries; builds the model. The regimes recalculated
// are named in `model.recalculated`. `progress` as for the recalculation.
CardRun PrepareReport(app::AppState& s, ReportModel& model, const QDate& date,
                      const std::function<bool(int, int)>& progress = {});

// The load steps of the card's calculated regimes as the tuning assistant finds them (with the
// set point's band); each point's `number` is its column in `model.regimes`.
QList<tuning::TuneStep> CardTuneSteps(const ReportModel& model, const app::AppState& s,
                                      const tuning::TuneSettings& settings, const engine::InstrumentLimits& limits);

// The card's content for scripts: the load steps with the regime each runs by and why, and the
// card's and the annex's tables ({"columns": [titles], "rows": [{"key", "caption", "unit",
// "values": [texts as printed, with a decimal point]}]}).
QJsonObject ReportJson(const ReportModel& model);

// Reads an object folder on its own (general data, units, every regime) and prepares its
// card over all its regimes, as the command line does.
bool BuildReportForFolder(const QString& objectFolder, ReportModel& model, const QDate& date,
                          QString* error = nullptr);

}  // namespace report
