#pragma once
// The regime sheet and the summary sheet as a PDF: A4 landscape, tables that flow over as
// many pages as they need (the column heads repeated), the two graphs of the summary drawn
// by the graph painter. Needs a QGuiApplication (fonts), no widgets.

#include <QByteArray>
#include <QLocale>
#include <QString>

#include "report/reportmodel.h"

namespace report {

// The locale of the printed numbers: the documents are Russian, so the decimal comma.
QLocale ReportLocale();

QByteArray RenderReportPdf(const ReportModel& model, const QLocale& locale = ReportLocale());
// Renders and writes the file through the atomic writer.
bool WriteReportPdf(const QString& path, const ReportModel& model, QString* error = nullptr,
                    const QLocale& locale = ReportLocale());

}  // namespace report
