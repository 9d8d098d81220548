#pragma once
// What the calculator windows share: opening a finished workbook with the platform's
// application, or saying why it was not written.

#include <QString>

namespace app {
class Dialogs;
}

namespace tools {

// Offers the saved workbook: opens it, or names the file when nothing can open it.
void OfferWorkbook(app::Dialogs& dialogs, const QString& path);
// Reports a workbook that could not be written.
void ReportWorkbookFailure(app::Dialogs& dialogs, const QString& path);

}  // namespace tools
