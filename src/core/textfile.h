#pragma once
// Data files of the program: Windows-1251 contents, CR LF line ends on write, CR LF, LF or
// CR accepted on read, every write atomic and durable (temporary file in the same folder,
// data synced, then a rename over the old file).
//
// A data file is only ever a regular file: a symbolic link, folder, FIFO or device in its
// place is refused with a message naming it, for reading and for writing. A name that is
// not found as written is looked up in its folder without regard to letter case, so
// "ODATA.TXT" is read and replaced, never doubled. Every message is Russian and names the
// file ("<path>: нет места на диске").

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace core {

// Largest data file the readers accept; anything bigger is not one of ours.
constexpr qint64 kMaxTextFileSize = 16 * 1024 * 1024;
// Most lines a reader of a list of any length takes; a longer file is a read error.
constexpr int kMaxTextLines = 65536;

QString DecodeCp1251(const QByteArray& bytes);
// Characters Windows-1251 cannot hold come out as "?".
QByteArray EncodeCp1251(const QString& text);

// Splits on CR LF, LF or CR. A final line end does not make an extra empty line.
QStringList SplitLines(const QString& text);
// Decodes at most `maxLines` lines of Windows-1251 bytes; what follows them is not looked
// at. `more` (when given) tells whether further lines followed.
QStringList DecodeLines(const QByteArray& bytes, int maxLines, bool* more = nullptr);

// Why the entry at `path` is no data file ("<path>: это папка, а не файл данных").
QString NotDataFileMessage(const QString& path);

// Reads a whole regular file (see above) in one buffer of its size.
bool ReadDataFile(const QString& path, QByteArray& bytes, QString* error = nullptr);

// Reads the file as lines. With `maxLines` > 0 only the first `maxLines` lines are taken
// (formats of a fixed length); with the default, a file of more than kMaxTextLines lines
// fails.
bool ReadTextLines(const QString& path, QStringList& lines, QString* error = nullptr, int maxLines = 0);

// Writes the lines, each ended by CR LF, as Windows-1251, atomically. On failure the old file
// stays as it was, no temporary file is left and `error` says why.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* error = nullptr);

// Writes bytes atomically through a temporary file of a unique name in the same folder.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// For writers that only take a file name (the workbook library): `produce` writes the file
// `scratch` in a private temporary folder, whose bytes then replace `path` atomically.
bool WriteFileProduced(const QString& path, const std::function<bool(const QString& scratch, QString* error)>& produce,
                       QString* error = nullptr);

// Number-line files (regime and results files): one number per line, the first `count`
// lines read by the lenient number rule. Fewer lines, or a value beyond the single-precision
// range, is a read error naming the line.
bool ParseNumberLines(const QByteArray& bytes, float* values, int count, QString* why);
bool ReadNumberFile(const QString& path, float* values, int count, QString* error = nullptr);
// Writes each value in the stored number form on its own line.
bool WriteNumberFile(const QString& path, const float* values, int count, QString* error = nullptr);

// Quoted-field records: each value in double quotes on its own line.
// A double quote cannot be stored inside a value; it is written as an apostrophe.
QStringList QuoteLines(const QStringList& values);
// Takes the value of one quoted line: from the first double quote up to the next one, commas
// included; the rest of the line is ignored. A line without a quote gives the line trimmed.
QString UnquoteLine(const QString& line);

// Reads exactly `count` quoted values. Fewer lines than `count` is a read error; `values`
// then holds the values read before it.
bool ReadQuotedFile(const QString& path, int count, QStringList& values, QString* error = nullptr);
bool WriteQuotedFile(const QString& path, const QStringList& values, QString* error = nullptr);

// Test seam: when set, called at each step of an atomic write ("open", "write", "sync",
// "close", "rename"); a non-zero return is taken as that step's errno. Lets tests make a
// read-only folder or a vanished folder happen even when they run as root.
using WriteFaultHook = std::function<int(const char* step)>;
void SetWriteFaultHook(WriteFaultHook hook);

// A folder whose data files must not be written (an object opened read-only while another
// program holds it): every atomic write into it that would change a file fails with
// "<path>: <why>". An empty `why` lifts the refusal.
void SetFolderWriteRefusal(const QString& folder, const QString& why);
// The reason writes into `folder` are refused, or empty. For the changes that do not go
// through the atomic writer (a document removed or renamed).
QString FolderWriteRefusal(const QString& folder);

// Temporary files of the atomic writer left by a process that was killed mid-write are
// removed the first time this process writes into their folder: only files of the
// writer's own name form, older than this process and not of a running process.
// Returns how many were removed (for tests).
int SweepStaleTemporaries(const QString& folder);

// The Russian reason for an errno value, as the messages above use it.
QString ErrnoText(int err);

}  // namespace core
