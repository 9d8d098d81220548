#pragma once
// Heat loss to the environment (q5) from up to eight outer surfaces of the boiler.
//
// The calculator works on 66 text cells: surface s (1..8) uses cells 8(s-1) .. 8(s-1)+7
// (area, surface temperature, air temperature, orientation, material, convective and
// radiative coefficients, loss in kW); cell 64 is the total loss in kW and cell 65 q5 in %.
// Results are written into the cells as texts; every value is read back from the cells by
// the lenient parse, so what the user sees is what the next step computes with.
//
// Each regime keeps its cells in a q5 file of its own in the object folder, named after
// the regime's number (not its list position, which changes with every sort by load).

#include <QString>
#include <QStringList>
#include <optional>

#include "app/state.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"

namespace tools {

constexpr int kQ5CellCount = 66;
constexpr int kQ5SurfaceCount = 8;
constexpr int kQ5TotalCell = 64;
constexpr int kQ5PercentCell = 65;

enum Q5Column { Area = 0, SurfaceTemp = 1, AirTemp = 2, Orientation = 3, Material = 4, Convective = 5,
                Radiative = 6, SurfaceLoss = 7 };

inline int Q5Cell(int surface, Q5Column column) { return 8 * (surface - 1) + column; }

// The texts of the two drop-down lists.
QStringList Q5Orientations();  // "Вертикаль.", "Горизонталь.", "Цилиндр."
QStringList Q5Materials();     // "Сталь", "Кирпич", "Штукатурка", "Алюминий"

// Convective factor of an orientation text; nullopt when none of the three is chosen.
std::optional<double> ConvectiveFactor(const QString& orientation);
// Radiation coefficient of a material (single precision, as the calculator uses it);
// 0 when none of the four is chosen.
float RadiationCoefficient(const QString& material);

// Computes surface s (1..8) in the cells. Equal surface and air temperatures (a surface
// switched off, or an empty row) clear its result cells, so it adds nothing to the total. A surface colder than its air gains heat: the convective
// coefficient uses the size of the difference and the loss comes out negative.
void ComputeQ5Surface(QStringList& cells, int surface);
// Cell 64 from the rounded surface losses; cell 65 from cell 64 and the heat output, unless
// the heat output is 0 (cell 65 then keeps its text).
void ComputeQ5Totals(QStringList& cells, double heatOutputKw);
// Only cell 65 (the window does this each time it becomes active). False when the heat
// output is 0 and nothing changed.
bool UpdateQ5Percent(QStringList& cells, double heatOutputKw);
// "Рассчитать" without the file: every surface, then the totals.
void ComputeQ5(QStringList& cells, double heatOutputKw);

// Heat output of the current regime in kW, B x Qн / 860 rounded to 3 decimals, with B the
// reduced gas flow or the liquid fuel flow of the regime inputs; nullopt for a fuel type
// that is none of the four.
std::optional<double> Q5HeatOutput(const app::AppState& s);

// The regime number and the q5 file name of a regime file are the regime store's.
using regime::RegimeNumberOf;
using regime::Q5FileName;
using regime::DeleteQ5File;
// The combo entry of list position k (1-based): "Режим  k".
QString Q5ComboEntry(int position);

// Reads the 66 cells of the file; a missing file empties every cell and is no error
// (`found` tells). A file with fewer lines fills what it has and empties the rest.
bool ReadQ5File(const QString& objectFolder, const QString& fileName, QStringList& cells, bool* found = nullptr,
                QString* error = nullptr);
// Writes the 66 cells, one quoted line each (an empty cell is a line of two quotes).
bool WriteQ5File(const QString& objectFolder, const QString& fileName, const QStringList& cells,
                 QString* error = nullptr);

// "Рассчитать" on the current regime's inputs, as the command-line tool and the demo do it:
// reads the q5 file of `regimeFile`, computes the heat output and every cell. `heatOutput`
// receives the heat output text ("" when the fuel type allows none).
struct Q5Computation {
    QStringList cells;
    QString heatOutput;
    bool fileFound = false;
};
bool ComputeRegimeQ5(app::AppState& s, const QString& regimeFile, Q5Computation& out, QString* error = nullptr);

// "Принять q5": editor field 42 takes the q5 text, then the regime is saved, calculated
// and the list sorted, in this order. `fields` (the 43 editor texts) comes back with field 42
// set. A failed save ends the command (saved false, nothing calculated).
struct TakeQ5Outcome {
    bool saved = false;
    QString saveError;
    regime::CalcResult calc;
    QString sortWarning;
};
TakeQ5Outcome TakeQ5(app::AppState& s, QStringList& fields, const QString& q5Text,
                     const std::function<void(const QString&)>& notice = {});

// The workbook of "В таблицу >": object, regime, heat output, the eight surfaces with their
// inputs and results, the total and q5, numbers as numbers.
struct Q5Export {
    QString objectName;
    QString regime;      // the regime as the list names it, e.g. "Режим №  3.Dat"
    QString position;    // its combo entry, e.g. "Режим  2"
    QString heatOutput;  // text of the heat output field
    QStringList cells;   // 66 cells
};
bool ExportQ5Xlsx(const QString& path, const Q5Export& data, QString* error = nullptr);
// "q5 Режим N.xlsx" for regime N.
QString Q5WorkbookName(const QString& regimeFile);

}  // namespace tools
