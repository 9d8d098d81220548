#pragma once
// What the calculator windows share: opening a finished workbook with the platform's
// application, and the numeric key filter of their fields.

#include <QString>

class QKeyEvent;
class QLineEdit;

namespace app {
class Dialogs;
}

namespace tools {

// Offers the saved workbook: opens it, or names the file when nothing can open it.
void OfferWorkbook(app::Dialogs& dialogs, const QString& path);
// Reports a workbook that could not be written.
void ReportWorkbookFailure(app::Dialogs& dialogs, const QString& path);

// The numeric key filter: digits, "." and Backspace pass, "," becomes ".", any other
// character is dropped; editing keys (arrows, Delete, shortcuts) pass. True when the event
// was handled here (dropped or replaced).
bool FilterNumericKey(QLineEdit* field, QKeyEvent* event);
// Filters whatever reaches the field other than by a key (a paste, a drop) by the same rule,
// so no text a key could not type (a double quote, a letter) gets into it.
void FilterNumericEdits(QLineEdit* field);
// Only "," becomes "."; every other key passes.
bool FilterCommaKey(QLineEdit* field, QKeyEvent* event);

}  // namespace tools
