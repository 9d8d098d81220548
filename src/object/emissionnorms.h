#pragma once
// The emission limits of the program (a list file in the template folder), the object's
// choice among them, and the verdict of a measured emission against its limit with the
// uncertainty of the measurement.
//
// A limit is a concentration in mg/m3 at an excess-air ratio of 1.4 in dry gas at 0 °C and
// 101.3 kPa, the basis on which the program reports CO and NOx (NOx as NO2). Limits come in
// named sets ("Общие", a permit of one plant, ...); a set holds per fuel a NOx and a CO
// limit, each with the name of the document it comes from and, when it applies only to some
// boilers, the range of nominal output (MW) it covers.

#include <QList>
#include <QString>
#include <QStringList>

namespace object {

// The list file: a header line, then one line per limit, each field in double quotes,
// fields separated by ";":
//   "Набор";"Топливо";"Вещество";"Предел, мг/м3";"Документ";"Мощность от, МВт";"Мощность до, МВт"
//   "Общие";"Природный газ";"NOx";"125";"ГОСТ Р 55173-2012, табл. 3";"";""
// The output bounds are both empty (any output) or both numbers, from ≤ P < to.
inline const QString kNormsFile = QStringLiteral("Нормы выбросов.txt");
// The object's choice, in its folder: one quoted line, the name of a set, empty for the
// program's first set, or kNoNorms.
inline const QString kObjectNormsFile = QStringLiteral("ONorm.txt");
inline const QString kNoNorms = QStringLiteral("нет");
// The set of the shipped defaults.
inline const QString kDefaultNormsSet = QStringLiteral("Общие");

enum class Pollutant { CO, NOx };
QString PollutantText(Pollutant p);  // "CO", "NOx"

struct EmissionLimit {
    QString set;       // name of the set it belongs to
    QString fuel;      // fuel text of the general data ("Природный газ")
    Pollutant pollutant = Pollutant::NOx;
    double limit = 0;  // mg/m3 at α = 1.4, dry gas, 0 °C, 101.3 kPa; > 0
    QString document;  // where the limit comes from
    bool ranged = false;             // applies only to outputs from ≤ P < to
    double outputFrom = 0, outputTo = 0;  // MW of nominal output
};

struct EmissionNorms {
    QList<EmissionLimit> limits;
    QStringList sets() const;  // names of the sets in file order, each once
};

// The shipped defaults: NOx 125 mg/m3 for natural gas and propane-butane, 250 mg/m3 for
// fuel oil (the limits for boilers of thermal power plants); no CO limit.
EmissionNorms DefaultEmissionNorms();

// The header line of the file.
QString NormsHeaderLine();
// One limit as its file line, and back. ParseNormsLine returns "" or why the line is wrong.
QString NormsLine(const EmissionLimit& l);
QString ParseNormsLine(const QString& line, EmissionLimit& l);
// Why a list cannot be stored ("" when it can): a limit without set name or document, a fuel
// none of the four, a limit not above 0, a range with from ≥ to, or two limits of one set,
// fuel and pollutant whose outputs overlap. `row` receives the index of the limit at fault.
QString CheckEmissionNorms(const EmissionNorms& norms, int* row = nullptr);

// Reads the list; a missing file gives the defaults (true). A file of the wrong shape (no
// header, a line not of seven quoted fields, a number that is not one, what
// CheckEmissionNorms refuses) is a read error naming the file and line; `norms` then holds
// the defaults.
bool ReadEmissionNorms(const QString& templateFolder, EmissionNorms& norms, QString* error = nullptr);
// Refuses what CheckEmissionNorms refuses; writes atomically otherwise.
bool WriteEmissionNorms(const QString& templateFolder, const EmissionNorms& norms, QString* error = nullptr);

// The object's choice: a missing file gives "" (the program's first set).
bool ReadObjectNorms(const QString& objectFolder, QString& choice, QString* error = nullptr);
bool WriteObjectNorms(const QString& objectFolder, const QString& choice, QString* error = nullptr);

// The nominal output of the object in MW (from entries 2, 6 and 16); 0 when unknown.
double NominalOutputMW(const QStringList& general);

// The limit that applies: none (found false) without one for this set, fuel, output and
// pollutant. `choice` as the object stores it: "" takes the first set of the list, kNoNorms
// none.
struct AppliedLimit {
    bool found = false;
    double limit = 0;  // mg/m3 at α = 1.4
    QString document;
    QString set;
};
AppliedLimit FindLimit(const EmissionNorms& norms, const QString& choice, const QString& fuel, double outputMW,
                       Pollutant p);
// The same for an object's general data (fuel, nominal output).
AppliedLimit ObjectLimit(const EmissionNorms& norms, const QString& choice, const QStringList& general, Pollutant p);

// Both files read and the limit looked up for the object's fuel and nominal output, in one
// call: a damaged list or choice file gives the defaults or "" and its message in `error`
// (the result is then that of the defaults).
AppliedLimit LimitForObject(const QString& templateFolder, const QString& objectFolder, const QStringList& general,
                            Pollutant p, QString* error = nullptr);

// The verdict of a measured value with expanded uncertainty U95 against a limit, as limits
// are enforced with measured values: exceeded when value − U95 > limit, met when
// value + U95 ≤ limit, otherwise undecided within the uncertainty. None without a limit.
enum class Verdict { None, Complies, WithinUncertainty, Exceeds };
Verdict Judge(double value, double u95, const AppliedLimit& limit);
QString VerdictText(Verdict v);  // "соответствует", "в пределах погрешности", "превышение", ""

}  // namespace object
