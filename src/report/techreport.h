#pragma once
// The technical report of the regime tests: a draft the engineer edits, with every number,
// table and figure in place, in the structure Russian technical reports follow (title page,
// performers, abstract, contents, introduction, equipment, method, results, emissions,
// conclusion, annexes). Built from the card's model of the object, so the two documents agree.

#include <QDate>
#include <QString>

#include "app/state.h"
#include "report/reportmodel.h"
#include "report/techdoc.h"

namespace report {

inline const QString kTechReportOdt = QStringLiteral("Технический отчет.odt");
inline const QString kTechReportPdf = QStringLiteral("Технический отчет.pdf");

// The document of the open object of `s` from its prepared card `card` (PrepareReport or
// BuildReportForFolder). `pages` is the page count the abstract names (0: counted here by
// laying the document out). False with the reason when a file of the object cannot be read.
bool BuildTechReport(const app::AppState& s, const ReportModel& card, TextDoc& doc, QString* error = nullptr);

// Writes the ODT and the PDF through the atomic writer; either path may be empty.
bool WriteTechReport(const TextDoc& doc, const QString& odtPath, const QString& pdfPath, QString* error = nullptr);

}  // namespace report
