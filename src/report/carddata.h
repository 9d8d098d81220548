#pragma once
// The entries of the regime card that the general data does not hold: who approves the card,
// who made the tests and for whom, when, how long the card is valid, and the people who sign
// it for the owner. Kept per object in "Karta.txt": one quoted value per line, as the other
// data files of the object.

#include <QDate>
#include <QString>
#include <QStringList>

namespace report {

inline const QString kCardFile = QStringLiteral("Karta.txt");

enum CardEntry {
    ApproverPosition = 0,  // position of the owner's person who approves ("Главный инженер")
    ApproverName,          // his name
    OwnerOrganisation,     // the boiler's owner, the customer of the tests
    TestOrganisation,      // the commissioning organisation that made the tests
    TestDates,             // "12.05.2026 – 14.05.2026"
    Validity,              // period of validity of the card ("3 года")
    GasResponsible,        // responsible for the gas facilities (gaseous fuels only)
    BoilerResponsible,     // responsible for the boiler's sound state and safe operation
    PerformerPosition,     // position of the performer named in the general data
    CompiledBy,            // "Составил": who drew the card up
    CheckedBy,             // "Проверил"
    GasPressureTolerance,  // tolerance of the gas pressure at the burner, % (default 5)
    AirPressureTolerance,  // of the air pressure at the burner, % (default 10)
    DraughtTolerance,      // of the furnace draught, Pa (default 20)
    ReportNumber,          // the technical report's registration number
    AgreedBy,              // "СОГЛАСОВАНО": position, organisation and name, when the report has one
    kCardEntryCount
};
// The entries of the card's first version: a file of that many lines is read with the
// defaults of the later ones.
inline constexpr int kFirstCardEntryCount = 9;

// Captions of the entries, as the editing window shows them.
QStringList CardEntryCaptions();

// What a new card proposes: validity three years, the usual period between regime tests.
QStringList DefaultCardData();

// Reads the file of the object folder; a missing file gives the defaults (true). A file of
// the first version (9 lines) gets the defaults of the later entries; any other count is a
// read error naming the file; the values read stay, the rest are defaults.
bool ReadCardData(const QString& objectFolder, QStringList& values, QString* error = nullptr);
bool WriteCardData(const QString& objectFolder, const QStringList& values, QString* error = nullptr);

// The measuring instruments used in the object's tests ("Приборы.txt", lines of the program's
// list "Средства измерений.txt"). A missing file gives none.
bool ReadObjectInstruments(const QString& objectFolder, QStringList& instruments, QString* error = nullptr);
bool WriteObjectInstruments(const QString& objectFolder, const QStringList& instruments, QString* error = nullptr);

// The dates of the tests as the regime files tell them: the first and last day a regime file
// of the folder was written ("12.05.2026 – 14.05.2026", one date when they agree, empty
// without regimes). A proposal for the window; the user corrects it.
QString TestDatesFromRegimes(const QString& objectFolder);

}  // namespace report
