#pragma once
// The regime sheet and the summary sheet as one workbook: two worksheets and two native
// scatter charts on the summary sheet.

#include <QByteArray>
#include <QString>
#include <functional>

#include "report/reportmodel.h"

namespace report {

// Writes the workbook; an existing file is replaced in one step only when the whole
// workbook was written. On failure `error` says why and the old file stays.
bool WriteReportXlsx(const QString& path, const ReportModel& model, QString* error = nullptr);

// Writes a finished workbook of libxlsxwriter through the program's atomic writer: the
// workbook is built in a private temporary folder, then its bytes replace `path`.
// `build` gets the temporary file name and returns false with `error` set on failure.
bool WriteWorkbookAtomic(const QString& path, const std::function<bool(const QByteArray& tmpName, QString* error)>& build,
                         QString* error);

}  // namespace report
