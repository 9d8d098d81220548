#pragma once
// Reading a workbook back in tests: the parts of the zip (through unzip) and the cells of a
// worksheet with shared strings resolved.

#include <QMap>
#include <QString>
#include <QStringList>

namespace testing_support {

// The names of the parts of a zip file ("xl/charts/chart1.xml", ...).
QStringList ZipParts(const QString& zip);
QByteArray ZipPart(const QString& zip, const QString& part);

// A cell read back: a number (its value, and its text as written) or a text.
struct SheetCell {
    bool number = false;
    double value = 0;
    QString text;
};

// Cells of worksheet `sheet` (1-based, as libxlsxwriter numbers them) by reference ("C12"),
// shared strings resolved.
QMap<QString, SheetCell> ReadSheet(const QString& xlsx, int sheet = 1);
// The same cells as texts: numbers as written, strings resolved.
QMap<QString, QString> SheetCells(const QString& xlsx, int sheet);

// "C" + 12 -> "C12"; column 0 is "A".
QString CellRef(int column, int row);

}  // namespace testing_support
