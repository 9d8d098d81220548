#include "import/importmodel.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "regime/calculation.h"
#include "regime/editorlayout.h"
#include "regime/inputranges.h"
#include "regime/regimestore.h"
#include "regime/repeatability.h"

namespace importer {

namespace {

// A text reduced for comparing names and units: lower case, no blanks, dots, dashes or
// underscores, superscripts and subscripts as digits, and the Cyrillic letters that look
// like Latin ones as those ("СО2" typed in Cyrillic is "CO2").
QString Reduced(const QString& text, bool keepDots = false) {
    static const QHash<QChar, QChar> lookalike = {
        {u'а', u'a'}, {u'в', u'b'}, {u'е', u'e'}, {u'к', u'k'}, {u'м', u'm'}, {u'н', u'h'}, {u'о', u'o'},
        {u'р', u'p'}, {u'с', u'c'}, {u'т', u't'}, {u'у', u'y'}, {u'х', u'x'}, {u'ё', u'e'}};
    QString out;
    out.reserve(text.size());
    for (QChar c : text.toLower()) {
        if (c.isSpace() || c == u'_' || c == u'-' || (!keepDots && c == u'.')) continue;
        if (c == u'³' || c == u'₃') c = u'3';
        else if (c == u'²' || c == u'₂') c = u'2';
        else if (c == u'°' || c == u'º') c = u'o';
        out += lookalike.value(c, c);
    }
    return out;
}

struct UnitAlias {
    const char* canonical;
    std::vector<const char*> aliases;
};

// Every unit the import reads, with the forms analysers and spreadsheets write it in.
const QList<std::pair<QString, QString>>& UnitAliases() {
    static const QList<std::pair<QString, QString>> table = [] {
        const UnitAlias list[] = {
            {"ppm", {"ppm", "млн-1", "млн^-1"}},
            {"мг/м3", {"мг/м3", "mg/m3", "мг/нм3", "mg/nm3"}},
            {"г/м3", {"г/м3", "g/m3"}},
            {"%", {"%", "vol%", "%vol", "об.%", "%об", "%об.", "об%", "%(об)"}},
            {"оС", {"оС", "°C", "C", "град", "градС", "гр.С", "degC"}},
            {"Па", {"Па", "Pa"}},
            {"гПа", {"гПа", "hPa"}},
            {"кПа", {"кПа", "kPa"}},
            {"mbar", {"mbar", "мбар"}},
            {"bar", {"bar", "бар"}},
            {"кгс/м2", {"кгс/м2", "kgf/m2"}},
            {"мм.вод.ст.", {"мм.вод.ст.", "мм вод.ст.", "мм вод. ст.", "ммвс", "мм в.ст.", "mmH2O", "mm WC"}},
            {"кгс/см2", {"кгс/см2", "kgf/cm2", "ат"}},
            {"м3/час", {"м3/час", "м3/ч", "m3/h"}},
            {"ст.м3/час", {"ст.м3/час", "ст.м3/ч", "стм3/ч"}},
            {"н.м3/час", {"н.м3/час", "н.м3/ч", "нм3/ч", "nm3/h"}},
            {"кг/час", {"кг/час", "кг/ч", "kg/h"}},
            {"л/час", {"л/час", "л/ч", "l/h"}},
        };
        QList<std::pair<QString, QString>> t;
        for (const UnitAlias& u : list)
            for (const char* a : u.aliases) t.append({Reduced(QString::fromUtf8(a), true), QString::fromUtf8(u.canonical)});
        return t;
    }();
    return table;
}

enum class Quantity { Concentration, Percent, Temperature, Pressure, GasFlow, LiquidFlow };

Quantity QuantityOf(int input) {
    switch (input) {
    case 11: case 14: case 15: return Quantity::Concentration;
    case 12: case 13: return Quantity::Percent;
    case 17: case 18: return Quantity::Temperature;
    case 5: case 6: return Quantity::Pressure;
    case 0: return Quantity::GasFlow;
    default: return Quantity::LiquidFlow;
    }
}

double PascalsPer(const QString& unit) {
    static const QHash<QString, double> factors = {
        {QStringLiteral("Па"), 1.0},          {QStringLiteral("гПа"), 100.0},     {QStringLiteral("кПа"), 1000.0},
        {QStringLiteral("mbar"), 100.0},      {QStringLiteral("bar"), 1e5},       {QStringLiteral("кгс/м2"), 9.80665},
        {QStringLiteral("мм.вод.ст."), 9.80665}, {QStringLiteral("кгс/см2"), 98066.5}};
    return factors.value(unit, 0.0);
}

double MgPerUnit(const QString& unit, int input) {
    const double molar = input == 11 ? 28.0 : 46.0;
    if (unit == u"ppm") return molar * 766.0 / 17033.634;
    if (unit == u"мг/м3") return 1.0;
    if (unit == u"г/м3") return 1000.0;
    return 0.0;
}

// Header names the import recognises, reduced; the first list entry is the input.
const QList<std::pair<int, QStringList>>& HeaderNames() {
    static const QList<std::pair<int, QStringList>> table = [] {
        const std::pair<int, std::vector<const char*>> list[] = {
            {11, {"CO", "CO ppm", "окись углерода", "оксид углерода"}},
            {12, {"CO2", "диоксид углерода"}},
            {13, {"O2", "кислород"}},
            {14, {"NO", "оксид азота"}},
            {15, {"NO2", "диоксид азота"}},
            {17, {"T газа", "T газ", "Tух", "Tух.г", "Tух.газ", "Tух.газов", "Tдг", "T дым.газов", "Tуходящих газов",
                  "Температура газа", "Температура газов", "Температура ух.газов", "Температура уходящих газов",
                  "FT", "FGT", "T flue", "Flue gas temp", "T gas", "Tgas", "T_газа"}},
            {18, {"T возд", "T воздуха", "Tв", "AT", "T air", "Air temp", "Температура воздуха", "T_возд"}},
            {6, {"Тяга", "Разрежение", "Draught", "Draft", "P топки", "Давление в топке", "Разрежение в топке"}},
            {5, {"P газа", "P газ", "Давление газа", "Давление газа на горелке", "Gas pressure", "P gas"}},
            {0, {"Расход газа", "V газа", "Q газа", "Gas flow"}},
            {7, {"Расход топлива", "Fuel flow"}},
        };
        QList<std::pair<int, QStringList>> t;
        for (const auto& [field, names] : list) {
            QStringList reduced;
            for (const char* n : names) reduced.append(Reduced(QString::fromUtf8(n)));
            t.append({field, reduced});
        }
        return t;
    }();
    return table;
}

QString Quoted(const QString& s) { return QStringLiteral("«") + s + QStringLiteral("»"); }

}  // namespace

// ------------------------------------------------------------------ fields and units

const QList<int>& ImportFields() {
    static const QList<int> fields = {11, 14, 15, 13, 12, 17, 18, 6, 5, 0, 7};
    return fields;
}

QString FieldName(int input) {
    switch (input) {
    case 11: return QStringLiteral("CO");
    case 14: return QStringLiteral("NO");
    case 15: return QStringLiteral("NO2");
    case 13: return QStringLiteral("O2");
    case 12: return QStringLiteral("CO2");
    case 17: return QStringLiteral("Температура уходящих газов");
    case 18: return QStringLiteral("Температура воздуха");
    case 6: return QStringLiteral("Разрежение (давление в топке)");
    case 5: return QStringLiteral("Давление газа на горелке");
    case 0: return QStringLiteral("Расход газа по счетчику");
    case 7: return QStringLiteral("Расход топлива");
    default: return QStringLiteral("Поле %1").arg(input);
    }
}

QStringList SourceUnits(int input) {
    switch (QuantityOf(input)) {
    case Quantity::Concentration: return {QStringLiteral("ppm"), QStringLiteral("мг/м3"), QStringLiteral("г/м3")};
    case Quantity::Percent: return {QStringLiteral("%")};
    case Quantity::Temperature: return {QStringLiteral("оС")};
    case Quantity::Pressure:
        return {QStringLiteral("Па"),     QStringLiteral("гПа"),    QStringLiteral("кПа"),        QStringLiteral("mbar"),
                QStringLiteral("bar"),    QStringLiteral("кгс/м2"), QStringLiteral("мм.вод.ст."), QStringLiteral("кгс/см2")};
    case Quantity::GasFlow:
        return {QStringLiteral("м3/час"), QStringLiteral("ст.м3/час"), QStringLiteral("н.м3/час")};
    case Quantity::LiquidFlow: return {QStringLiteral("кг/час"), QStringLiteral("л/час")};
    }
    return {};
}

QString CanonicalUnit(const QString& text) {
    const QString r = Reduced(text, true);
    if (r.isEmpty()) return {};
    for (const auto& [alias, canonical] : UnitAliases())
        if (alias == r) return canonical;
    return {};
}

std::optional<double> ConvertUnit(double value, int input, const QString& fromText, const QString& toText) {
    const QString from = CanonicalUnit(fromText), to = CanonicalUnit(toText);
    if (from.isEmpty() || to.isEmpty()) {
        // a unit the import does not know converts only into itself
        if (fromText.trimmed() == toText.trimmed()) return value;
        return std::nullopt;
    }
    const QStringList offered = SourceUnits(input);
    if (!offered.contains(from) || !offered.contains(to)) return std::nullopt;
    if (from == to) return value;
    switch (QuantityOf(input)) {
    case Quantity::Concentration: return value * MgPerUnit(from, input) / MgPerUnit(to, input);
    case Quantity::Pressure: return value * PascalsPer(from) / PascalsPer(to);
    default: return std::nullopt;  // flows at working and at standard conditions are not one number
    }
}

// ------------------------------------------------------------------ mapping

HeaderGuess GuessHeader(const QString& nameIn) {
    QString name = nameIn.trimmed();
    QString unit;
    static const QRegularExpression bracket(QStringLiteral("^(.*?)[\\[(]([^\\])]*)[\\])]\\s*$"));
    const QRegularExpressionMatch m = bracket.match(name);
    if (m.hasMatch()) {
        name = m.captured(1);
        unit = m.captured(2);
    } else if (const qsizetype comma = name.lastIndexOf(u','); comma > 0) {
        unit = name.mid(comma + 1);
        name = name.left(comma);
    } else if (const qsizetype blank = name.lastIndexOf(u' '); blank > 0 && !CanonicalUnit(name.mid(blank + 1)).isEmpty()) {
        unit = name.mid(blank + 1);
        name = name.left(blank);
    }
    HeaderGuess g;
    const QString key = Reduced(name);
    for (const auto& [field, names] : HeaderNames())
        if (names.contains(key)) {
            g.field = field;
            break;
        }
    if (g.field < 0) {
        // the whole text may be one name ("CO ppm" as a name)
        const QString whole = Reduced(nameIn);
        for (const auto& [field, names] : HeaderNames())
            if (names.contains(whole)) {
                g.field = field;
                unit.clear();
                break;
            }
    }
    g.unit = CanonicalUnit(unit);
    if (g.field == 11 && g.unit.isEmpty() && Reduced(nameIn).endsWith(QStringLiteral("ppm"))) g.unit = QStringLiteral("ppm");
    return g;
}

Mapping ProposeMapping(const Table& table, const QStringList& objectUnits, QStringList* notes) {
    Mapping mapping;
    QList<int> used;
    for (int c = 0; c < table.columns(); ++c) {
        const QString& name = table.names[c];
        const HeaderGuess g = GuessHeader(name);
        const QString column = QStringLiteral("столбец %1 ").arg(c + 1) + Quoted(name);
        if (g.field < 0 || used.contains(g.field)) {
            if (notes) *notes << column + QStringLiteral(" не сопоставлен ни с одним полем и не используется");
            continue;
        }
        if (!g.unit.isEmpty() && !SourceUnits(g.field).contains(g.unit)) {
            if (notes) *notes << column + QStringLiteral(": единица «") + g.unit + QStringLiteral("» не подходит к полю ") +
                                     FieldName(g.field) + QStringLiteral(", столбец не используется");
            continue;
        }
        used.append(g.field);
        mapping.append({c, g.field, g.unit});
        if (g.unit.isEmpty() && notes)
            *notes << column + QStringLiteral(" → ") + FieldName(g.field) +
                          QStringLiteral(": единица не указана в заголовке, взята единица объекта ") +
                          Quoted(objectUnits.value(g.field));
    }
    return mapping;
}

// ------------------------------------------------------------------ grouping

bool ParseGrouping(const QString& textIn, const Table& table, Grouping& g, QString* error) {
    const QString text = textIn.trimmed();
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (text.compare(u"row", Qt::CaseInsensitive) == 0) {
        g = Grouping{};
        return true;
    }
    if (text.startsWith(u"column:", Qt::CaseInsensitive)) {
        const QString which = text.mid(7).trimmed();
        bool ok = false;
        const int n = which.toInt(&ok);
        int column = ok ? n - 1 : -1;
        if (!ok)
            for (int c = 0; c < table.columns(); ++c)
                if (core::SameName(table.names[c], which)) column = c;
        if (column < 0 || column >= table.columns())
            return fail(QStringLiteral("нет столбца ") + Quoted(which) + QStringLiteral(" для группировки (столбцов: ") +
                        QString::number(table.columns()) + u')');
        g = Grouping{GroupBy::Column, column, 0};
        return true;
    }
    if (text.startsWith(u"gap:", Qt::CaseInsensitive)) {
        const auto minutes = CellNumber(text.mid(4), text.mid(4).contains(u','));
        if (!minutes || *minutes <= 0) return fail(QStringLiteral("перерыв задаётся числом минут больше нуля: ") + text);
        g = Grouping{GroupBy::Gap, -1, *minutes};
        return true;
    }
    return fail(QStringLiteral("группировка задаётся как row, column:N или gap:MIN, а не ") + Quoted(text));
}

QString GroupingText(const Grouping& g) {
    switch (g.by) {
    case GroupBy::Row: return QStringLiteral("row");
    case GroupBy::Column: return QStringLiteral("column:%1").arg(g.column + 1);
    case GroupBy::Gap: return QStringLiteral("gap:") + core::StoredForm(static_cast<float>(g.gapMinutes));
    }
    return {};
}

// ------------------------------------------------------------------ profiles

namespace {

const QString kProfilePrefix = QStringLiteral("Импорт ");
const QString kProfileSuffix = QStringLiteral(".txt");
const QString kProfileMark = QStringLiteral("kalvaro import profile 1");

QString EncodingKey(Encoding e) { return e == Encoding::Cp1251 ? QStringLiteral("windows-1251") : QStringLiteral("utf-8"); }
QString SeparatorKey(Separator s) {
    switch (s) {
    case Separator::Semicolon: return QStringLiteral("semicolon");
    case Separator::Comma: return QStringLiteral("comma");
    case Separator::Tab: return QStringLiteral("tab");
    case Separator::Blanks: return QStringLiteral("blanks");
    }
    return {};
}

}  // namespace

QString ProfileFileName(const QString& name) { return kProfilePrefix + name.trimmed() + kProfileSuffix; }

QStringList ProfileNames(const QString& templateFolder) {
    QStringList files, names;
    if (!core::ListFiles(templateFolder, kProfilePrefix + QStringLiteral("*") + kProfileSuffix, files)) return {};
    for (const QString& f : files) names.append(f.mid(kProfilePrefix.size(), f.size() - kProfilePrefix.size() - kProfileSuffix.size()));
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

bool SaveProfile(const QString& templateFolder, const Profile& p, QString* error) {
    if (!core::IsAcceptableName(p.name) || p.name.contains(u'*') || p.name.contains(u'?')) {
        if (error) *error = QStringLiteral("Недопустимое имя профиля: ") + Quoted(p.name);
        return false;
    }
    QStringList lines{kProfileMark};
    if (p.encoding) lines << QStringLiteral("encoding=") + EncodingKey(*p.encoding);
    if (p.separator) lines << QStringLiteral("separator=") + SeparatorKey(*p.separator);
    if (p.skipLines) lines << QStringLiteral("skip=") + QString::number(*p.skipLines);
    if (p.header) lines << QStringLiteral("header=") + (*p.header ? QStringLiteral("yes") : QStringLiteral("no"));
    lines << QStringLiteral("group=") + GroupingText(p.grouping);
    if (!p.groupColumnName.isEmpty()) lines << QStringLiteral("groupname=") + p.groupColumnName;
    for (const ProfileColumn& c : p.columns) {
        QString name = c.name;
        name.replace(u'|', u'/');
        const QString decimal = !c.decimalComma ? QStringLiteral("auto") : *c.decimalComma ? QStringLiteral("comma") : QStringLiteral("point");
        lines << QStringLiteral("column=") +
                     QStringList{QString::number(c.column + 1), name, QString::number(c.field), c.unit, decimal}.join(u'|');
    }
    return core::WriteTextLines(core::ResolvePath(templateFolder, ProfileFileName(p.name)), lines, error);
}

bool LoadProfile(const QString& templateFolder, const QString& name, Profile& p, QString* error) {
    p = Profile{};
    p.name = name.trimmed();
    const QString path = core::ResolvePath(templateFolder, ProfileFileName(name));
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("import-profile"), path, lines, error)) return false;
    auto bad = [&](int line, const QString& why) {
        if (error) *error = path + QStringLiteral(", строка %1: ").arg(line) + why;
        return false;
    };
    if (lines.isEmpty() || lines[0].trimmed() != kProfileMark) return bad(1, QStringLiteral("это не профиль импорта"));
    QString group = QStringLiteral("row");
    for (int i = 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString key = line.left(eq), value = line.mid(eq + 1);
        if (eq < 0) return bad(i + 1, QStringLiteral("строка без «=»"));
        if (key == u"encoding") {
            if (value == u"utf-8") p.encoding = Encoding::Utf8;
            else if (value == u"windows-1251") p.encoding = Encoding::Cp1251;
            else return bad(i + 1, QStringLiteral("неизвестная кодировка ") + Quoted(value));
        } else if (key == u"separator") {
            bool found = false;
            for (Separator s : {Separator::Semicolon, Separator::Comma, Separator::Tab, Separator::Blanks})
                if (SeparatorKey(s) == value) {
                    p.separator = s;
                    found = true;
                }
            if (!found) return bad(i + 1, QStringLiteral("неизвестный разделитель ") + Quoted(value));
        } else if (key == u"skip") {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 0 || n > 1000) return bad(i + 1, QStringLiteral("число строк заголовка прибора не целое: ") + Quoted(value));
            p.skipLines = n;
        } else if (key == u"header") {
            if (value != u"yes" && value != u"no") return bad(i + 1, QStringLiteral("ожидалось yes или no: ") + Quoted(value));
            p.header = value == u"yes";
        } else if (key == u"group") {
            group = value;
        } else if (key == u"groupname") {
            p.groupColumnName = value;
        } else if (key == u"column") {
            const QStringList parts = value.split(u'|');
            bool okColumn = false, okField = false;
            ProfileColumn c;
            if (parts.size() == 5) {
                c.column = parts[0].toInt(&okColumn) - 1;
                c.name = parts[1];
                c.field = parts[2].toInt(&okField);
                c.unit = parts[3];
                if (parts[4] == u"comma") c.decimalComma = true;
                else if (parts[4] == u"point") c.decimalComma = false;
                else if (parts[4] != u"auto") okField = false;
            }
            if (!okColumn || c.column < 0 || !okField || !ImportFields().contains(c.field) ||
                (!c.unit.isEmpty() && !SourceUnits(c.field).contains(c.unit)))
                return bad(i + 1, QStringLiteral("столбец задан неверно: ") + Quoted(value));
            p.columns.append(c);
        } else {
            return bad(i + 1, QStringLiteral("неизвестная строка ") + Quoted(line));
        }
    }
    // the grouping column is checked against the table the profile is used with
    static const QRegularExpression form(QStringLiteral("^(row|column:\\d+|gap:[0-9.]+)$"));
    if (!form.match(group).hasMatch()) return bad(lines.size(), QStringLiteral("группировка задана неверно: ") + Quoted(group));
    if (group.startsWith(u"column:")) p.grouping = Grouping{GroupBy::Column, group.mid(7).toInt() - 1, 0};
    else if (group.startsWith(u"gap:")) p.grouping = Grouping{GroupBy::Gap, -1, core::ParseNumber(group.mid(4))};
    if (p.grouping.by == GroupBy::Gap && p.grouping.gapMinutes <= 0) return bad(lines.size(), QStringLiteral("перерыв должен быть больше нуля"));
    return true;
}

Profile MakeProfile(const QString& name, const Table& table, const Mapping& mapping, const Grouping& grouping) {
    Profile p;
    p.name = name.trimmed();
    p.encoding = table.format.encoding;
    p.separator = table.format.separator;
    p.skipLines = table.format.skipLines;
    p.header = table.format.header;
    for (const ColumnMap& m : mapping)
        p.columns.append({m.column, table.format.header ? table.names.value(m.column) : QString(), m.field, m.unit,
                          table.format.decimalComma.value(m.column)});
    p.grouping = grouping;
    if (grouping.by == GroupBy::Column && table.format.header) p.groupColumnName = table.names.value(grouping.column);
    return p;
}

TableFormat ApplyProfile(const TableFormat& detected, const Profile& p) {
    TableFormat f = detected;
    if (p.encoding) f.encoding = *p.encoding;
    if (p.separator) f.separator = *p.separator;
    if (p.skipLines) f.skipLines = *p.skipLines;
    if (p.header) f.header = *p.header;
    f.decimalComma.clear();  // the columns' signs are detected anew, then the profile's applied
    return f;
}

namespace {

int ColumnOf(const Table& table, const QString& name, int column) {
    if (!name.isEmpty())
        for (int c = 0; c < table.columns(); ++c)
            if (core::SameName(table.names[c], name)) return c;
    if (name.isEmpty() && column >= 0 && column < table.columns()) return column;
    return -1;
}

}  // namespace

Mapping ProfileMapping(const Profile& p, const Table& table, QStringList* notes) {
    Mapping mapping;
    for (const ProfileColumn& c : p.columns) {
        const int column = ColumnOf(table, c.name, c.column);
        if (column < 0) {
            if (notes)
                *notes << QStringLiteral("столбца ") + Quoted(c.name.isEmpty() ? QString::number(c.column + 1) : c.name) +
                              QStringLiteral(" профиля нет в файле: поле ") + FieldName(c.field) + QStringLiteral(" не заполняется");
            continue;
        }
        mapping.append({column, c.field, c.unit});
    }
    return mapping;
}

Grouping ProfileGrouping(const Profile& p, const Table& table) {
    Grouping g = p.grouping;
    if (g.by == GroupBy::Column) {
        g.column = ColumnOf(table, p.groupColumnName, g.column);
        if (g.column < 0) g = Grouping{};
    }
    return g;
}

bool ReadTableWithProfile(const QByteArray& bytes, const Profile& p, Table& table, const QString& fileName, QString* error) {
    if (!ReadTable(bytes, ApplyProfile(DetectFormat(bytes), p), table, fileName, error)) return false;
    bool changed = false;
    for (const ProfileColumn& c : p.columns) {
        const int column = ColumnOf(table, c.name, c.column);
        if (column < 0 || !c.decimalComma || table.format.decimalComma[column] == *c.decimalComma) continue;
        table.format.decimalComma[column] = *c.decimalComma;
        changed = true;
    }
    if (!changed) return true;
    const TableFormat f = table.format;
    return ReadTable(bytes, f, table, fileName, error);
}

// ------------------------------------------------------------------ the plan

const FieldValue* Group::value(int field) const {
    for (const FieldValue& v : values)
        if (v.field == field) return &v;
    return nullptr;
}

namespace {

struct Accumulator {
    int field = -1;
    int count = 0;
    double mean = 0, m2 = 0;  // running mean and sum of squared deviations
    int decimals = 0;
    void add(double v, int d) {
        ++count;
        const double delta = v - mean;
        mean += delta / count;
        m2 += delta * (v - mean);
        decimals = std::max(decimals, d);
    }
};

struct Building {
    QString key;
    QList<int> lines;
    QList<Accumulator> acc;
};

// The moment of a row: its date-and-time column, or a date column and a time column, or a
// time column alone (on one day, a time earlier than the last by more than twelve hours
// counted on the next day).
struct Clock {
    int dateTime = -1, date = -1, time = -1;
    QDateTime last;
    explicit Clock(const Table& t) {
        for (int c = 0; c < t.columns(); ++c) {
            if (t.kinds[c] == ColumnKind::DateTime && dateTime < 0) dateTime = c;
            if (t.kinds[c] == ColumnKind::Date && date < 0) date = c;
            if (t.kinds[c] == ColumnKind::Time && time < 0) time = c;
        }
    }
    bool any() const { return dateTime >= 0 || time >= 0; }
    std::optional<QDateTime> of(const TableRow& row) const {
        if (dateTime >= 0) return CellDateTime(row.cells.value(dateTime));
        if (time < 0) return std::nullopt;
        const auto t = CellTime(row.cells.value(time));
        if (!t) return std::nullopt;
        if (date >= 0) {
            const auto d = CellDate(row.cells.value(date));
            if (!d) return std::nullopt;
            return QDateTime(*d, *t);
        }
        QDateTime moment(last.isValid() ? last.date() : QDate(2000, 1, 1), *t);
        if (last.isValid() && moment.secsTo(last) > 12 * 3600) moment = moment.addDays(1);
        return moment;
    }
};

// One mapped reading of a row, in the object's unit, with the decimals it was written with.
struct Reading {
    int field;
    double value;
    int decimals;
};

// The readings of a row's mapped cells into `values`; why the row cannot be taken, or empty.
QString RowReadings(const Table& table, const Mapping& mapping, const QStringList& units, bool economiser,
                    const TableRow& row, QList<Reading>& values) {
    values.clear();
    for (const ColumnMap& m : mapping) {
        const QString& cell = row.cells.value(m.column);
        if (cell.isEmpty()) continue;  // not measured in this row
        const QString column = QStringLiteral("столбец ") + Quoted(table.names.value(m.column)) + QStringLiteral(": ");
        const auto number = CellNumber(cell, table.format.decimalComma.value(m.column));
        if (!number) return column + Quoted(cell) + QStringLiteral(" не число");
        const QString to = units.value(m.field);
        const QString from = m.unit.isEmpty() ? to : m.unit;
        const auto converted = ConvertUnit(*number, m.field, from, to);
        if (!converted)
            return column + QStringLiteral("единицу ") + Quoted(from) +
                   QStringLiteral(" нельзя перевести в единицу объекта ") + Quoted(to);
        const QString range = regime::InputRangeError(m.field, *converted, units, economiser);
        if (!range.isEmpty()) return column + range;
        const bool changed = CanonicalUnit(from) != CanonicalUnit(to);
        values.append({m.field, *converted, CellDecimals(cell) + (changed ? 1 : 0)});
    }
    if (values.isEmpty()) return QStringLiteral("в строке нет ни одного значения для записи");
    return {};
}

// The group key of a row into `key` (and, grouping by gaps, whether the row starts a new
// group); why the row cannot be grouped, or empty.
QString RowKey(const Table& table, const Grouping& grouping, const TableRow& row, Clock& clock, QDateTime& previous,
               QString& key, bool& newGroup) {
    static const QRegularExpression measurement(QStringLiteral("^(\\d+)[.,]\\d+$"));
    QString why;
    switch (grouping.by) {
    case GroupBy::Row: key = QStringLiteral("строка %1").arg(row.line); break;
    case GroupBy::Column: {
        key = row.cells.value(grouping.column).trimmed();
        if (key.isEmpty()) why = QStringLiteral("пусто в столбце группы ") + Quoted(table.names.value(grouping.column));
        const QRegularExpressionMatch m = measurement.match(key);
        if (m.hasMatch()) key = m.captured(1);  // "2.3" is the third measurement of regime 2
        break;
    }
    case GroupBy::Gap: {
        const auto moment = clock.any() ? clock.of(row) : std::nullopt;
        if (!moment) {
            why = clock.any() ? QStringLiteral("время не прочитано") : QStringLiteral("в таблице нет столбца времени");
            break;
        }
        clock.last = *moment;
        const qint64 seconds = previous.isValid() ? previous.secsTo(*moment) : 0;
        newGroup = !previous.isValid() || seconds < 0 || seconds > grouping.gapMinutes * 60.0;
        previous = *moment;
        key = moment->toString(clock.dateTime >= 0 || clock.date >= 0 ? QStringLiteral("dd.MM.yyyy HH:mm:ss")
                                                                      : QStringLiteral("HH:mm:ss"));
        break;
    }
    }
    return why;
}

// The group a row of `key` goes to, opened when the grouping asks for a new one.
int GroupIndex(const Grouping& grouping, const QString& key, bool newGroup, QList<Building>& groups,
               QHash<QString, int>& byKey) {
    if (grouping.by == GroupBy::Column) {
        int index = byKey.value(key, -1);
        if (index < 0) {
            index = static_cast<int>(groups.size());
            byKey.insert(key, index);
            groups.append({key, {}, {}});
        }
        return index;
    }
    if (grouping.by == GroupBy::Row || newGroup || groups.isEmpty()) groups.append({key, {}, {}});
    return static_cast<int>(groups.size()) - 1;
}

// Adds a row's readings to the running statistics of its group.
void AddReadings(Building& g, int line, const QList<Reading>& values) {
    g.lines.append(line);
    for (const Reading& v : values) {
        auto it = std::find_if(g.acc.begin(), g.acc.end(), [&](const Accumulator& a) { return a.field == v.field; });
        if (it == g.acc.end()) {
            g.acc.append(Accumulator{v.field});
            it = g.acc.end() - 1;
        }
        it->add(v.value, v.decimals);
    }
}

// A finished group: the mean and the spread of each field, in the order of the import fields.
Group FinishGroup(const Building& b) {
    Group g{b.key, b.lines, {}};
    for (const int field : ImportFields()) {
        const auto it =
            std::find_if(b.acc.cbegin(), b.acc.cend(), [&](const Accumulator& a) { return a.field == field; });
        if (it == b.acc.cend()) continue;
        // a mean carries one decimal more than its most precise reading
        const int decimals = std::min(6, it->decimals + (it->count > 1 ? 1 : 0));
        const double spread = it->count > 1 ? std::sqrt(std::max(0.0, it->m2 / (it->count - 1))) : 0.0;
        g.values.append({field, core::RoundHalfEven(it->mean, decimals),
                         core::RoundHalfEven(spread, std::min(6, decimals + 1)), it->count});
    }
    return g;
}

}  // namespace

ImportPlan BuildPlan(const Table& table, const Mapping& mapping, const Grouping& grouping, const QStringList& units,
                     const QStringList& general) {
    ImportPlan plan;
    const bool economiser = regime::VisibilityFor(general).economiser;
    QList<Building> groups;
    QHash<QString, int> byKey;
    Clock clock(table);
    QDateTime previous;
    QList<Reading> values;
    for (const TableRow& row : table.rows) {
        QString key;
        bool newGroup = false;
        QString why = RowReadings(table, mapping, units, economiser, row, values);
        if (why.isEmpty()) why = RowKey(table, grouping, row, clock, previous, key, newGroup);
        if (!why.isEmpty()) {
            plan.bad.append({row.line, why});
            continue;
        }
        const int index = GroupIndex(grouping, key, newGroup, groups, byKey);
        AddReadings(groups[index], row.line, values);
    }
    for (const Building& b : groups) plan.groups.append(FinishGroup(b));
    return plan;
}

QString SummaryText(int created, int filled) {
    const int tens = created % 100, ones = created % 10;
    QString made;
    if (ones == 1 && tens != 11) made = QStringLiteral("будет создан %1 режим").arg(created);
    else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14)) made = QStringLiteral("будет создано %1 режима").arg(created);
    else made = QStringLiteral("будет создано %1 режимов").arg(created);
    return made + QStringLiteral(", заполнено %1").arg(filled);
}

// ------------------------------------------------------------------ writing

int WriteOutcome::checkFailed() const {
    return static_cast<int>(std::count_if(regimes.cbegin(), regimes.cend(), [](const WrittenRegime& r) { return !r.checkMessage.isEmpty(); }));
}

namespace {

void SelectRegime(app::AppState& s, const QString& file) {
    const int row = s.regimeList.find(file);
    regime::SelectRegimeRow(s, row);
    if (row < 0) s.setCurrentRegime(file);
}

// The regimes written so far, to take back when a later write fails.
struct Written {
    QStringList made;                               // the new regimes, in the order made
    QList<std::pair<QString, QStringList>> before;  // filled regimes and their fields as they were
};

// Every check before the first write: one target per group, each an existing regime named
// as the list names it (empty for a new one) and chosen once, and room for the new ones.
// False with `out.error` set when the plan cannot be written.
bool CheckTargets(const app::AppState& s, const ImportPlan& plan, const QStringList& targetsIn, QStringList& targets,
                  WriteOutcome& out) {
    targets = targetsIn.mid(0, plan.groups.size());
    while (targets.size() < plan.groups.size()) targets.append(QString());
    if (plan.groups.isEmpty()) {
        out.error = QStringLiteral("Нет ни одной группы показаний для записи");
        return false;
    }
    int created = 0;
    QStringList chosen;
    for (QString& t : targets) {
        if (t.isEmpty()) {
            ++created;
            continue;
        }
        const int row = s.regimeList.find(t);
        if (row < 0) {
            out.error = QStringLiteral("Режим не найден: ") + t;
            return false;
        }
        t = s.regimeList.rows[row].key;
        if (chosen.contains(t, Qt::CaseInsensitive)) {
            out.error = QStringLiteral("Режим ") + t + QStringLiteral(" выбран для двух групп");
            return false;
        }
        chosen.append(t);
    }
    if (s.lastRegimeNumber + created > regime::kMaxRegimeNumber) {
        out.error = regime::kLimitRefusal;
        return false;
    }
    return true;
}

// Puts the filled regimes back as they were and deletes the new ones, newest first; the
// outcome carries `why` and no written regimes.
WriteOutcome TakeBack(app::AppState& s, const Written& written, WriteOutcome& out, const QString& why) {
    out.error = why;
    QString ignored;
    for (auto it = written.before.crbegin(); it != written.before.crend(); ++it) {
        SelectRegime(s, it->first);
        if (regime::SaveRegimeInputs(s, it->second, &ignored)) regime::CalculateCurrentRegime(s);
    }
    for (auto it = written.made.crbegin(); it != written.made.crend(); ++it) {
        SelectRegime(s, *it);
        if (!regime::DeleteRegimeFiles(s, &ignored))
            out.error += QStringLiteral("; режим ") + *it + QStringLiteral(" не удалось удалить: ") + ignored;
        regime::FillRegimeList(s);
    }
    regime::FillRegimeList(s);
    out.regimes.clear();
    return out;
}

// Makes a group's regime current with its input fields read into `fields`: a new regime from
// the base inputs when `target` is empty, else the named one, whose fields are kept to take back.
bool OpenTarget(app::AppState& s, const QString& target, const std::array<float, app::kInputCount>& baseInputs,
                Written& written, QStringList& fields, QString& error) {
    if (target.isEmpty()) {
        s.inputs = baseInputs;  // every new regime starts from the base, not from the group before
        QString listWarning;
        if (!regime::NewRegime(s, &error, &listWarning)) return false;
        written.made.append(s.currentRegimeFile);
        SelectRegime(s, s.currentRegimeFile);
        return regime::LoadRegimeInputs(s, &fields, &error);
    }
    SelectRegime(s, target);
    if (!regime::LoadRegimeInputs(s, &fields, &error)) return false;
    written.before.append({s.currentRegimeFile, fields});
    return true;
}

// Writes the spread of a group's readings beside the current regime; a failure is only noticed.
void WriteSpread(const app::AppState& s, const Group& g, const std::function<void(const QString&)>& notice) {
    // a group's spread goes with its regime: the scatter of repeated readings counts in its uncertainty
    QList<regime::SpreadEntry> spread;
    for (const FieldValue& v : g.values) spread.append({v.field, v.spread, v.count, s.inputs[v.field]});
    QString why;
    if (!regime::WriteRepeatability(s.currentObjectFolder, s.currentRegimeFile, spread, &why) && notice)
        notice(QStringLiteral("Разброс показаний не записан: ") + why);
}

}  // namespace

WriteOutcome WritePlan(app::AppState& s, const ImportPlan& plan, const QStringList& targetsIn,
                       const QString& baseRegime, const std::function<void(const QString&)>& notice) {
    WriteOutcome out;
    QStringList targets;
    if (!CheckTargets(s, plan, targetsIn, targets, out)) return out;
    const QString base = !baseRegime.isEmpty() ? baseRegime : s.currentRegimeFile;
    if (!base.isEmpty()) {
        SelectRegime(s, base);
        if (!regime::LoadRegimeInputs(s, nullptr, &out.error)) return out;
    }
    const std::array<float, app::kInputCount> baseInputs = s.inputs;

    Written written;
    for (int i = 0; i < plan.groups.size(); ++i) {
        const Group& g = plan.groups[i];
        QStringList fields;
        QString error;
        if (!OpenTarget(s, targets[i], baseInputs, written, fields, error)) return TakeBack(s, written, out, error);
        for (const FieldValue& v : g.values) fields[v.field] = core::EditorForm(static_cast<float>(v.mean));
        if (!regime::SaveRegimeInputs(s, fields, &error)) return TakeBack(s, written, out, error);
        WriteSpread(s, g, notice);
        const regime::CalcResult calc = regime::CalculateCurrentRegime(s, notice);
        if (calc.outcome == regime::CalcOutcome::FileError) return TakeBack(s, written, out, calc.message);
        out.regimes.append({i, s.currentRegimeFile, targets[i].isEmpty(),
                            calc.outcome == regime::CalcOutcome::CheckFailed ? calc.message : QString()});
    }
    out.listWarning = regime::SortRegimeList(s);
    out.ok = true;
    return out;
}

}  // namespace importer
