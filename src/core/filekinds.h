#pragma once
// Every kind of file the program keeps, described once: where it lives, its name, how its
// lines hold their values, how many lines it has and what each line must be. The readers
// check a file against its kind before they take a single value from it, so a file of the
// wrong shape (a line dropped or doubled, a number line that is not wholly a number, binary
// bytes, UTF-8 in place of Windows-1251, a line cut off) is a read error naming the file and
// never a value read shifted. The output guard of the command line refuses any path that
// names a kept file.
//
// Adding a kind is one entry in the table of filekinds.cpp: its id, places, name pattern,
// layout, line count and the type of each line. Readers then call ReadKindFile (or
// ReadKindNumbers for the number-line files) with the id.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace core {

// Where a kind lives; a kind may live in more than one place (the units file).
enum FilePlace : unsigned { InObject = 1, InTemplate = 2, InProgram = 4 };

// How the lines of a file hold their values.
enum class FileLayout {
    Quoted,   // each value in double quotes on its own line, nothing after the closing quote
    Plain,    // each value is its line
    Numbers,  // one stored number per line (regime and results files), read on a fast path
    Ini,      // "[section]", "key=value", ";comment" and blank lines
    Text,     // Windows-1251 text of no line shape (the comment); only its bytes are checked
    Bytes,    // not read as text by the program (pictures, help, logs): kept, never checked
};

enum class ValueType {
    Text,    // any text up to `cap` characters
    Number,  // wholly one number after the lenient rules (comma as point, blanks around)
    Whole,   // wholly one whole number
    Choice,  // one of `choices`, letter case and surrounding blanks ignored
    Custom,  // `accepts` decides; `what` says what was expected
};

struct LineType {
    ValueType type = ValueType::Text;
    int cap = 255;                 // most characters of the value
    bool mayBeEmpty = true;        // an empty value is allowed (a number then reads as 0)
    QStringList choices;           // Choice
    std::function<bool(const QString&)> accepts;  // Custom
    QString what;                  // Custom: what the line should hold, for the message
};

struct FileKind {
    QString id;           // the name code refers to the kind by
    unsigned places = InObject;
    QString pattern;      // file name, '*' for any run of characters; letter case ignored
    FileLayout layout = FileLayout::Plain;
    int lines = 0;        // exact number of lines; 0: a list of `minLines`..`maxLines` lines
    int minLines = 0;
    int maxLines = 65536;
    qint64 maxBytes = 16 * 1024 * 1024;
    // type of the value on line `i` (0-based); unset: Text of the default cap
    std::function<LineType(int i)> lineType;
};

// The names of the lines after the 43 input limits of the instruments' limits file.
inline const QStringList kLimitLineNames = {QStringLiteral("q5"), QStringLiteral("CO2max"), QStringLiteral("Patm"),
                                            QStringLiteral("CO2fromO2")};

// Whether bytes form valid UTF-8 with Cyrillic letters: a file saved in the wrong code page,
// which readers refuse. A Windows-1251 text can happen to look so ("Рј" is "м" in UTF-8); such
// a text is refused too, with the message that says why.
bool LooksLikeUtf8(const QByteArray& bytes);

// The table, in the order of its entries.
const QList<FileKind>& FileKinds();
// The kind of this id; an unknown id is a programming error (aborts).
const FileKind& Kind(const QString& id);
// The first kind whose name pattern `fileName` matches (case ignored), or null.
const FileKind* KindOfName(const QString& fileName);

// What lives where: `folder` is an object folder (holds the general data file), a
// template folder (named "Template", case ignored) or a program folder (holds one).
unsigned PlacesOfFolder(const QString& folder);
// The kept kind that `path` would be written over (its name matches a kind that lives in the
// kind of folder `path` is in), or null when the path names no kept file.
const FileKind* KeptFileAt(const QString& path);

// Checks bytes against the kind: size, encoding (no NUL or other control bytes, not UTF-8),
// the line count, a final line end after the last line of a file of fixed length, and each
// line's type. The values come out unquoted for the Quoted layout, as lines otherwise (for
// Text the whole decoded text as one value). `why` says what is wrong ("строка 10: «12x» —
// не число"), without the path.
bool CheckKindBytes(const FileKind& kind, const QByteArray& bytes, QStringList& values, QString* why);

// Reads the file at `path` as a file of kind `id`; a file that is no regular file, cannot be
// read, or fails the check is a read error "<path>: <why>".
bool ReadKindFile(const QString& id, const QString& path, QStringList& values, QString* error = nullptr);

// The number-line kinds (regime and results files): `kind.lines` values into `values`.
bool ReadKindNumbers(const QString& id, const QString& path, float* values, QString* error = nullptr);

// Whether a value is wholly a number by the program's lenient rules: blanks around it and a
// comma for the point allowed, nothing else.
bool IsWholeNumberText(const QString& text);

}  // namespace core
