#pragma once
// The regime sheet and the summary sheet of an object as plain tables: no widgets, no
// painting. The workbook writer and the PDF writer both read this one model, so the two
// documents always hold the same rows and numbers.

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "app/state.h"
#include "results/plotter.h"

namespace report {

// File names of the documents in the object folder.
inline const QString kReportXlsx = QStringLiteral("Режимная карта.xlsx");
inline const QString kReportPdf = QStringLiteral("Режимная карта.pdf");

using Value = std::optional<float>;

// Text of a value for the PDF: the locale's decimal separator, shortest form; "" when empty.
QString ValueText(const Value& v, const QLocale& locale);
// The number written into a workbook cell: the value's stored decimal form read as a double,
// so 91.51 stays 91.51 and not 91.5100021.
double CellNumber(float v);

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
    QString caption;
    QString unit;
    QList<Value> values;  // one per regime column; empty for a section row
    QStringList texts;    // status row: one text per regime column
};

struct SummaryColumn {
    QString key;  // results row key, or "load"
    QString caption;
    QString unit;
};

struct SummaryRow {
    QString regime;
    QString message;      // check message of a regime that was not calculated
    QList<Value> values;  // one per summary column
};

struct ChartSpec {
    QString title, yCaption, xCaption;
    int yColumn = 0, xColumn = 0;  // summary columns plotted
    results::GraphData data;       // the calculated regimes, in load order
};

struct HeaderLine {
    QString caption, value;
};

struct ReportModel {
    QString objectName;
    QDate date;
    QList<HeaderLine> header;
    QList<RegimeColumn> regimes;
    QList<SheetRow> regimeRows;  // the regime sheet, top to bottom
    QList<SummaryColumn> summaryColumns;
    QList<SummaryRow> summary;
    // mean over the calculated regimes, per column, to the most decimals its values have
    // (at least two)
    QList<Value> summaryMean;
    QList<ChartSpec> charts;   // gross efficiency and NOx against output
    QList<HeaderLine> signatures;
    int calculatedCount() const;
};

// The object's header lines from its general data: object, boiler, burner, fuel with Qн and
// CO2max, nominal output, economiser, load control, executor, date.
QList<HeaderLine> ObjectHeader(const QStringList& general, const QDate& date);

// Builds the model of the open object of `s` (its folder, general data, units) over the
// ticked rows of its regime list, in list order (the list is kept sorted by load). Each
// regime is read and calculated in private arrays; `s` is not changed. Fails when a regime
// file cannot be read.
bool BuildReport(const app::AppState& s, ReportModel& model, const QDate& date, QString* error = nullptr);

// Reads an object folder on its own (general data, units, every regime sorted by load) and
// builds its model, as the command line does.
bool BuildReportForFolder(const QString& objectFolder, ReportModel& model, const QDate& date,
                          QString* error = nullptr);

}  // namespace report
