#include "core/filekinds.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/names.h"
#include "core/numparse.h"
#include "core/textfile.h"

namespace core {

namespace {

LineType TextOf(int cap) {
    LineType t;
    t.cap = cap;
    return t;
}
LineType NumberLine() {
    LineType t;
    t.type = ValueType::Number;
    t.cap = 40;
    return t;
}
LineType WholeLine(bool mayBeEmpty = false) {
    LineType t;
    t.type = ValueType::Whole;
    t.cap = 20;
    t.mayBeEmpty = mayBeEmpty;
    return t;
}
LineType ChoiceOf(const QStringList& choices, bool mayBeEmpty = true) {
    LineType t;
    t.type = ValueType::Choice;
    t.choices = choices;
    t.mayBeEmpty = mayBeEmpty;
    return t;
}

// Two non-negative numbers separated by blanks: the absolute and the relative limit of an
// instrument.
bool IsLimitPair(const QString& line) {
    const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 2) return false;
    for (const QString& p : parts) {
        double v = 0;
        if (!ParseWholeNumber(p.toStdString(), v) || v < 0) return false;
    }
    return true;
}

// "name value" with a non-negative number: the named lines of the limits file.
bool IsNamedLimit(const QString& line, const QString& name) {
    const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
    double v = 0;
    return parts.size() == 2 && parts[0] == name && ParseWholeNumber(parts[1].toStdString(), v) && v >= 0;
}

// The lock file: "computer=", "user=", "pid=" (a whole number) and "time=" lines.
bool IsLockLine(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) return false;
    const QString key = line.left(eq), value = line.mid(eq + 1).trimmed();
    if (key == u"pid") {
        double v = 0;
        return ParseWholeNumber(value.toStdString(), v) && v > 0 && v < 9e15 && v == std::floor(v);
    }
    return key == u"computer" || key == u"user" || key == u"time";
}

bool IsIniLine(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';')) return true;
    if (t.startsWith(u'[')) return t.endsWith(u']');
    return t.indexOf(u'=') > 0;
}

LineType CustomOf(std::function<bool(const QString&)> accepts, const QString& what, int cap = 255) {
    LineType t;
    t.type = ValueType::Custom;
    t.accepts = std::move(accepts);
    t.what = what;
    t.cap = cap;
    return t;
}

// A regime file name ("Режим №  N.Dat") on its own line.
LineType RegimeNameLine() {
    return CustomOf(
        [](const QString& l) {
            static const QRegularExpression name(QStringLiteral("^\\s*Режим\\s*№\\s*\\d+\\s*\\.dat\\s*$"),
                                                 QRegularExpression::CaseInsensitiveOption);
            return name.match(l).hasMatch();
        },
        QStringLiteral("имя файла режима («Режим №  N.Dat»)"));
}

// The general data: numbers at the fuel properties, the nominal output and the two losses.
LineType GeneralLine(int i) {
    switch (i) {
    case 9: case 10: case 11: case 16: case 17: case 18: return NumberLine();
    default: return TextOf(255);
    }
}

// The q5 surfaces: 8 surfaces of 8 cells (area, surface and air temperature, orientation,
// material, the two coefficients and the loss), then the total and the percentage.
LineType Q5Line(int i) {
    if (i >= 64) return NumberLine();
    switch (i % 8) {
    case 3: return ChoiceOf({QStringLiteral("Вертикаль."), QStringLiteral("Горизонталь."), QStringLiteral("Цилиндр.")});
    case 4:
        return ChoiceOf({QStringLiteral("Сталь"), QStringLiteral("Кирпич"), QStringLiteral("Штукатурка"),
                         QStringLiteral("Алюминий")});
    default: return NumberLine();
    }
}

FileKind Entry(const char* id, unsigned places, const QString& pattern, FileLayout layout, int lines,
               std::function<LineType(int)> type = {}) {
    FileKind k;
    k.id = QString::fromLatin1(id);
    k.places = places;
    k.pattern = pattern;
    k.layout = layout;
    k.lines = lines;
    k.lineType = std::move(type);
    return k;
}

FileKind List(const char* id, unsigned places, const QString& pattern, FileLayout layout, int minLines, int maxLines,
              std::function<LineType(int)> type = {}) {
    FileKind k = Entry(id, places, pattern, layout, 0, std::move(type));
    k.minLines = minLines;
    k.maxLines = maxLines;
    return k;
}

// The object folder's files of fixed length, and the comment and the lock.
void AddObjectFiles(QList<FileKind>& t) {
    t << Entry("general", InObject, QStringLiteral("OData.txt"), FileLayout::Quoted, 19, GeneralLine);
    t << Entry("units", InObject | InTemplate, QStringLiteral("Ediny.txt"), FileLayout::Quoted, 31,
               [](int) { return TextOf(40); });
    t << Entry("last-number", InObject, QStringLiteral("Col_R.txt"), FileLayout::Plain, 1, [](int) { return WholeLine(); });
    t << Entry("regime-count", InObject, QStringLiteral("Col_RAll.txt"), FileLayout::Plain, 1,
               [](int) { return WholeLine(); });
    t << Entry("regime", InObject, QStringLiteral("Режим*.dat"), FileLayout::Numbers, 43);
    t << Entry("results", InObject, QStringLiteral("РасчетРежим*.dat"), FileLayout::Numbers, 26);
    t << Entry("q5", InObject, QStringLiteral("*q5.txt"), FileLayout::Quoted, 66, Q5Line);
    t << Entry("flame-head", InObject, QStringLiteral("PLG.txt"), FileLayout::Quoted, 4, [](int) { return TextOf(255); });
    t << Entry("safety-map", InObject, QStringLiteral("Bez.txt"), FileLayout::Plain, 45, [](int) { return TextOf(1000); });
    t << Entry("safety-rows", InObject, QStringLiteral("BezVkl.txt"), FileLayout::Plain, 9,
               [](int) { return ChoiceOf({QStringLiteral("0"), QStringLiteral("1")}, false); });
    // the card's entries: 9 in the first version, 16 since
    t << List("card", InObject, QStringLiteral("Karta.txt"), FileLayout::Quoted, 9, 16,
              [](int) { return TextOf(1000); });
    {
        FileKind comment = Entry("comment", InObject, QStringLiteral("Koment.txt"), FileLayout::Text, 0);
        t << comment;
    }
    t << Entry("lock", InObject, QStringLiteral(".~lock.Kalvaro#"), FileLayout::Plain, 4,
              [](int) { return CustomOf(IsLockLine, QStringLiteral("запись вида «computer=…», «user=…», «pid=…» или «time=…»")); });
}

// The object folder's lists and logs, whose length varies.
void AddObjectLists(QList<FileKind>& t) {
    // the measuring instruments used in the object's tests, as the program's list names them
    t << List("object-instruments", InObject, QStringLiteral("Приборы.txt"), FileLayout::Plain, 0, 1000,
              [](int) { return TextOf(1000); });
    // the regimes left off the card, by regime file name
    t << List("card-choice", InObject, QStringLiteral("Sel_R.txt"), FileLayout::Plain, 0, 65536,
              [](int) { return RegimeNameLine(); });
    // the tuning's set point: the CO ceiling, the O2 margin, then the regimes marked as found
    // ("исходный" and the file name) and those chosen for the card ("карта" and the name)
    t << List("o2-set-point", InObject, QStringLiteral("Уставка O2.txt"), FileLayout::Plain, 2, 65536, [](int i) {
        if (i >= 2)
            return CustomOf(
                [](const QString& l) {
                    static const QRegularExpression mark(
                        QStringLiteral("^\\s*(исходный|карта)\\s+Режим\\s*№\\s*\\d+\\s*\\.dat\\s*$"),
                        QRegularExpression::CaseInsensitiveOption);
                    return mark.match(l).hasMatch();
                },
                QStringLiteral("«исходный» или «карта» и имя файла режима"));
        const QString name = i == 0 ? QStringLiteral("CO") : QStringLiteral("O2");
        return CustomOf([name](const QString& l) { return IsNamedLimit(l, name); },
                        QStringLiteral("«%1» и неотрицательное число").arg(name));
    });
    // the spread of averaged values: "input sigma count value"
    t << List("repeatability", InObject, QStringLiteral("СКО Режим *.txt"), FileLayout::Plain, 0, 43, [](int) {
        return CustomOf(
            [](const QString& l) {
                const QStringList parts = l.split(u' ', Qt::SkipEmptyParts);
                double v[4] = {};
                if (parts.size() != 4) return false;
                for (int i = 0; i < 4; ++i)
                    if (!ParseWholeNumber(parts[i].toStdString(), v[i])) return false;
                return v[0] >= 0 && v[0] < 43 && v[0] == std::floor(v[0]) && v[1] >= 0 && v[2] >= 2 &&
                       v[2] == std::floor(v[2]);
            },
            QStringLiteral("«поле СКО число значение»"));
    });
    t << List("analyser-log", InObject, QStringLiteral("Анализатор Режим *.csv"), FileLayout::Bytes, 0, 65536);
}

// The template folder: reference lists, instrument limits, import profiles and pictures.
void AddTemplateFiles(QList<FileKind>& t) {
    // reference lists: the windows cut an entry too long to show and say so
    t << List("employees", InTemplate, QStringLiteral("Сотрудники.txt"), FileLayout::Plain, 0, 65536,
              [](int) { return TextOf(16 * 1024 * 1024); });
    t << List("sensors", InTemplate, QStringLiteral("Dath.txt"), FileLayout::Plain, 0, 65536,
              [](int) { return TextOf(16 * 1024 * 1024); });
    t << List("instruments", InTemplate, QStringLiteral("Средства измерений.txt"), FileLayout::Plain, 0, 65536,
              [](int) { return TextOf(16 * 1024 * 1024); });
    // 43 lines of the inputs' limits, then (in the files this program writes) the q5 share,
    // CO2max, the barometric pressure and whether CO2 is computed from O2, each named
    t << List("instrument-limits", InTemplate, QStringLiteral("Погрешности приборов.txt"), FileLayout::Plain, 43, 47,
              [](int i) {
                  if (i < 43) return CustomOf(IsLimitPair, QStringLiteral("два неотрицательных числа через пробел"));
                  const QString name = kLimitLineNames[i - 43];
                  return CustomOf([name](const QString& l) { return IsNamedLimit(l, name); },
                                  QStringLiteral("«%1» и неотрицательное число").arg(name));
              });
    // import profiles: a mark line, then "key=value" lines of the import's own keys
    t << List("import-profile", InTemplate, QStringLiteral("Импорт *.txt"), FileLayout::Plain, 1, 1000, [](int i) {
        if (i == 0)
            return CustomOf([](const QString& l) { return l.trimmed() == u"kalvaro import profile 1"; },
                            QStringLiteral("«kalvaro import profile 1»"));
        return CustomOf(
            [](const QString& l) {
                static const QStringList keys = {QStringLiteral("encoding"), QStringLiteral("separator"), QStringLiteral("skip"),
                                                 QStringLiteral("header"),   QStringLiteral("group"),     QStringLiteral("groupname"),
                                                 QStringLiteral("column")};
                return l.trimmed().isEmpty() || keys.contains(l.section(u'=', 0, 0).trimmed());
            },
            QStringLiteral("«ключ=значение» профиля импорта"), 4096);
    });
    for (const char* picture : {"Kessel.gif", "Brenner.gif", "BrennerInstal.jpg", "справка.html"})
        t << List("template-picture", InTemplate, QString::fromUtf8(picture), FileLayout::Bytes, 0, 65536);
}

// Every kind the program reads or writes, folder by folder, in a fixed order.
QList<FileKind> BuildTable() {
    QList<FileKind> t;
    AddObjectFiles(t);
    AddObjectLists(t);
    AddTemplateFiles(t);
    // the program folder
    t << List("port-settings", InProgram, QStringLiteral("ComPort.ini"), FileLayout::Ini, 0, 1000,
              [](int) { return CustomOf(IsIniLine, QStringLiteral("«[раздел]» или «ключ=значение»")); });
    return t;
}

QString Quoted(const QString& text) {
    return QStringLiteral("«") + (text.size() > 40 ? text.left(40) + QStringLiteral("…") : text) + QStringLiteral("»");
}

// The first control byte that no text of ours holds (NUL and the like), or -1.
qsizetype BinaryByte(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char c = p[i];
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F || c == 0x98) return i;
    }
    return -1;
}

int LineOfOffset(const QByteArray& bytes, qsizetype at) {
    int line = 1;
    for (qsizetype i = 0; i < at && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') ++line;
        else if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) ++line;
    }
    return line;
}

// The value of a quoted line, or why the line is not one quoted value.
bool TakeQuoted(const QString& line, QString& value, QString& why) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'"')) {
        why = QStringLiteral("значение не в кавычках: ") + Quoted(line);
        return false;
    }
    const qsizetype close = t.indexOf(u'"', 1);
    if (close < 0) {
        why = QStringLiteral("нет закрывающей кавычки (строка обрезана?): ") + Quoted(line);
        return false;
    }
    if (close != t.size() - 1) {
        why = QStringLiteral("после закрывающей кавычки есть текст: ") + Quoted(line);
        return false;
    }
    value = t.mid(1, close - 1);
    return true;
}

bool CheckValue(const LineType& type, const QString& value, QString& why) {
    if (value.size() > type.cap) {
        why = QStringLiteral("строка длиннее %1 знаков").arg(type.cap);
        return false;
    }
    const QString t = value.trimmed();
    if (t.isEmpty()) {
        if (type.mayBeEmpty || type.type == ValueType::Text) return true;
        why = QStringLiteral("пустая строка");
        return false;
    }
    switch (type.type) {
    case ValueType::Text: return true;
    case ValueType::Number:
        if (IsWholeNumberText(t)) return true;
        why = Quoted(value) + QStringLiteral(" — не число");
        return false;
    case ValueType::Whole: {
        double v = 0;
        // a whole number in the range of one (1e39 is no count of anything the program keeps)
        if (ParseWholeNumber(t.toStdString(), v) && std::fabs(v) < 9e15 && v == std::floor(v) && !t.contains(u'.') &&
            !t.contains(u'e', Qt::CaseInsensitive))
            return true;
        why = Quoted(value) + QStringLiteral(" — не целое число");
        return false;
    }
    case ValueType::Choice:
        for (const QString& c : type.choices)
            if (SameName(t, c)) return true;
        why = Quoted(value) + QStringLiteral(" — ожидается одно из: ") + type.choices.join(QStringLiteral(", "));
        return false;
    case ValueType::Custom:
        if (type.accepts && type.accepts(value)) return true;
        why = Quoted(value) + QStringLiteral(" — ожидается ") + type.what;
        return false;
    }
    return true;
}

bool EndsWithLineEnd(const QByteArray& bytes) {
    return !bytes.isEmpty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

}  // namespace

const QList<FileKind>& FileKinds() {
    static const QList<FileKind> table = BuildTable();
    return table;
}

const FileKind& Kind(const QString& id) {
    for (const FileKind& k : FileKinds())
        if (k.id == id) return k;
    std::abort();  // a reader names a kind the table lacks: a programming error
}

const FileKind* KindOfName(const QString& fileName) {
    for (const FileKind& k : FileKinds())
        if (MatchesPattern(fileName, k.pattern)) return &k;
    return nullptr;
}

unsigned PlacesOfFolder(const QString& folder) {
    unsigned places = 0;
    if (ExistsNoCase(folder, QStringLiteral("OData.txt"))) places |= InObject;
    if (SameName(QFileInfo(folder).fileName(), QStringLiteral("Template"))) places |= InTemplate;
    const QString templ = FindEntryNoCase(folder, QStringLiteral("Template"));
    if (!templ.isEmpty() && QFileInfo(JoinPath(folder, templ)).isDir()) places |= InProgram;
    return places;
}

const FileKind* KeptFileAt(const QString& path) {
    const QFileInfo info(path);
    const unsigned places = PlacesOfFolder(info.absolutePath());
    if (places == 0) return nullptr;
    for (const FileKind& k : FileKinds())
        if ((k.places & places) && MatchesPattern(info.fileName(), k.pattern)) return &k;
    return nullptr;
}

bool IsWholeNumberText(const QString& text) {
    QString t = text.trimmed();
    // the editors' rule: a comma stands for the point, once
    if (t.count(u',') == 1 && !t.contains(u'.')) t.replace(u',', u'.');
    double v = 0;
    return ParseWholeNumber(t.toStdString(), v);
}

bool CheckKindBytes(const FileKind& kind, const QByteArray& bytes, QStringList& values, QString* why) {
    values.clear();
    auto fail = [&](const QString& text) {
        if (why) *why = text;
        values.clear();
        return false;
    };
    if (kind.layout == FileLayout::Bytes) return true;
    if (bytes.size() > kind.maxBytes) return fail(QStringLiteral("файл больше %1 байт").arg(kind.maxBytes));
    if (LooksLikeUtf8(bytes)) return fail(QStringLiteral("файл в кодировке UTF-8, а не Windows-1251"));
    if (const qsizetype at = BinaryByte(bytes); at >= 0)
        return fail(QStringLiteral("строка %1: двоичный байт 0x%2, это не текстовый файл")
                        .arg(LineOfOffset(bytes, at))
                        .arg(static_cast<unsigned char>(bytes[at]), 2, 16, QLatin1Char('0')));
    if (kind.layout == FileLayout::Text) {
        values.append(DecodeCp1251(bytes));
        return true;
    }
    if (kind.layout == FileLayout::Numbers) {
        // the same path the readers take
        std::vector<float> numbers(static_cast<size_t>(kind.lines));
        if (!ParseNumberLines(bytes, numbers.data(), kind.lines, why)) return false;
        values = DecodeLines(bytes, kind.lines);
        return true;
    }
    const int most = kind.lines > 0 ? kind.lines : kind.maxLines;
    bool more = false;
    const QStringList lines = DecodeLines(bytes, most, &more);
    const int least = kind.lines > 0 ? kind.lines : kind.minLines;
    if (more) {
        if (kind.lines > 0) {
            const int total = static_cast<int>(SplitLines(DecodeCp1251(bytes)).size());
            return fail(QStringLiteral("в файле %1 строк, нужно %2").arg(total).arg(kind.lines));
        }
        return fail(QStringLiteral("в файле больше %1 строк").arg(kind.maxLines));
    }
    if (lines.size() < least) {
        if (kind.lines > 0) return fail(QStringLiteral("в файле %1 строк, нужно %2").arg(lines.size()).arg(kind.lines));
        return fail(QStringLiteral("в файле %1 строк, нужно не меньше %2").arg(lines.size()).arg(kind.minLines));
    }
    // a file the program wrote ends every line; a last line without its end was cut off
    if (kind.lines > 0 && !EndsWithLineEnd(bytes))
        return fail(QStringLiteral("строка %1 не закончена: файл обрезан").arg(lines.size()));
    values.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        QString value = lines[i], problem;
        if (kind.layout == FileLayout::Quoted && !TakeQuoted(lines[i], value, problem))
            return fail(QStringLiteral("строка %1: ").arg(i + 1) + problem);
        if (!CheckValue(kind.lineType ? kind.lineType(i) : TextOf(255), value, problem)) {
            return fail(QStringLiteral("строка %1: ").arg(i + 1) + problem);
        }
        values.append(value);
    }
    return true;
}

bool ReadKindFile(const QString& id, const QString& path, QStringList& values, QString* error) {
    values.clear();
    const FileKind& kind = Kind(id);
    QByteArray bytes;
    if (!ReadDataFile(path, bytes, error)) return false;
    QString why;
    if (!CheckKindBytes(kind, bytes, values, &why)) {
        if (error) *error = path + QStringLiteral(": ") + why;
        return false;
    }
    return true;
}

bool ReadKindNumbers(const QString& id, const QString& path, float* values, QString* error) {
    return ReadNumberFile(path, values, Kind(id).lines, error);
}

// Whether the bytes form valid UTF-8 holding Cyrillic letters: text saved in the wrong code
// page. Windows-1251 Cyrillic text practically never does (its letters are not continuation
// bytes in the needed order); a few bytes above 0x7F that happen to pair up into some other
// script's letter ("\xca\xa4") are no sign of UTF-8, and the program's own writes may hold them.
bool LooksLikeUtf8(const QByteArray& bytes) {
    bool cyrillic = false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        cyrillic = cyrillic || c == 0xD0 || c == 0xD1;
        int more = 0;
        if ((c & 0xE0) == 0xC0 && c >= 0xC2) more = 1;
        else if ((c & 0xF0) == 0xE0) more = 2;
        else if ((c & 0xF8) == 0xF0 && c <= 0xF4) more = 3;
        else return false;
        if (i + more >= n) return false;
        for (int k = 1; k <= more; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return cyrillic;
}

}  // namespace core
