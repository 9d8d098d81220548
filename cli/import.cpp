#include "cli/import.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/numbers.h"
#include "import/importmodel.h"
#include "import/texttable.h"
#include "regime/regimestore.h"

namespace cli {

const char* const kImportUsage =
    "  kalvaro-cli import OBJECTDIR FILE [--profile NAME] [--group row|column:N|gap:MIN]\n"
    "              [--into REGIMEFILE] [--dry-run] [--json]\n"
    "                                         readings of a text table (CSV, tab or blank separated)\n"
    "                                         into regimes: one per row or group, averaged; --into fills\n"
    "                                         an existing regime with the first group; --dry-run writes nothing\n";

namespace {

int Usage(const QString& why) { return UsageExit(why, kImportUsage); }

int Fail(const QString& why) {
    Err() << why << "\n";
    Err().flush();
    return 1;
}

QString Number(double v) { return core::StoredForm(static_cast<float>(v)); }

// The regime with the highest number: new regimes start as its copy, as a regime added
// after the last one does.
QString LastRegime(const app::AppState& s) {
    QString last;
    int best = -1;
    for (const app::RegimeRow& row : s.regimeList.rows) {
        const int n = regime::RegimeNumberOf(row.key).value_or(0);
        if (n > best) {
            best = n;
            last = row.key;
        }
    }
    return last;
}

// What the command line asks of one import.
struct ImportOptions {
    ObjectOptions object;
    QString profileName, groupText, into;
    bool dryRun = false, json = false;
    QStringList positional;  // the object folder and the table's file
};

// Reads the command line into `o`; false with the reason (empty for the bare usage) when it
// is wrong.
bool ParseOptions(QStringList args, ImportOptions& o, QString& why) {
    TakeObjectOptions(args, o.object);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        if (a == u"--profile") {
            if (!value(o.profileName)) why = QStringLiteral("--profile needs a name");
        } else if (a == u"--group") {
            if (!value(o.groupText)) why = QStringLiteral("--group needs row, column:N or gap:MIN");
        } else if (a == u"--into") {
            if (!value(o.into)) why = QStringLiteral("--into needs a regime file");
        } else if (a == u"--dry-run") {
            o.dryRun = true;
        } else if (a == u"--json") {
            o.json = true;
        } else if (a.startsWith(u"--")) {
            why = QStringLiteral("unknown option ") + a;
        } else {
            o.positional.append(a);
        }
        if (!why.isEmpty()) return false;
    }
    if (o.positional.size() != 2) return false;
    o.object.writes = !o.dryRun;
    return true;
}

// One import from the table read to the regimes written.
struct ImportRun {
    QString path;  // the table's file
    importer::Table table;
    QStringList notes;  // what the mapping has to say
    importer::Mapping mapping;
    importer::Grouping grouping;
    importer::ImportPlan plan;
    QStringList targets;  // for each group the regime it fills, empty for a new one
    QString summary;
    importer::WriteOutcome written;
};

// The table, by the profile's choices where it has them, else as detected, and how its
// columns map to the regime's fields; the exit code when the import ends here.
std::optional<int> ReadImportTable(const ImportOptions& o, const app::AppState& s, ImportRun& run) {
    QString error;
    QByteArray bytes;
    if (!importer::ReadImportFile(run.path, bytes, &error)) return Fail(error);
    importer::Profile profile;
    const bool withProfile = !o.profileName.isEmpty();
    if (withProfile && !importer::LoadProfile(s.templateFolder, o.profileName, profile, &error)) return Fail(error);
    if (withProfile ? !importer::ReadTableWithProfile(bytes, profile, run.table, run.path, &error)
                    : !importer::ReadTable(bytes, importer::DetectFormat(bytes), run.table, run.path, &error))
        return Fail(error);
    run.mapping = withProfile ? importer::ProfileMapping(profile, run.table, &run.notes)
                              : importer::ProposeMapping(run.table, s.units, &run.notes);
    if (run.mapping.isEmpty())
        return Fail(run.path + QStringLiteral(": ни один столбец не сопоставлен с полем режима"));
    run.grouping = withProfile ? importer::ProfileGrouping(profile, run.table) : importer::Grouping{};
    if (!o.groupText.isEmpty() && !importer::ParseGrouping(o.groupText, run.table, run.grouping, &error))
        return Usage(error);
    return std::nullopt;
}

// The groups of the table and the regimes they go into: the first one into the regime of
// --into when given, every other one into a new regime. False (told) when --into names no
// regime of the object.
bool PlanImport(const ImportOptions& o, const app::AppState& s, ImportRun& run) {
    QString error, intoFile;
    if (!o.into.isEmpty() && !ObjectRegimeFile(s, o.into, intoFile, error)) {
        Fail(error);
        return false;
    }
    run.plan = importer::BuildPlan(run.table, run.mapping, run.grouping, s.units, s.general);
    for (int i = 0; i < run.plan.groups.size(); ++i) run.targets.append(i == 0 ? intoFile : QString());
    const int filled = run.plan.groups.isEmpty() || intoFile.isEmpty() ? 0 : 1;
    const int created = static_cast<int>(run.plan.groups.size()) - filled;
    run.summary = importer::SummaryText(created, filled);
    return true;
}

// The numbers of the number columns written with a decimal comma, from 1.
QStringList DecimalCommaColumns(const importer::Table& table) {
    QStringList commas;
    for (int c = 0; c < table.columns(); ++c)
        if (table.format.decimalComma.value(c) && table.kinds[c] == importer::ColumnKind::Number)
            commas.append(QString::number(c + 1));
    return commas;
}

// The table's columns with the field and unit each one is mapped to.
QJsonArray ColumnsJson(const ImportRun& run, const QStringList& units) {
    QJsonArray columns;
    for (int c = 0; c < run.table.columns(); ++c) {
        QJsonObject col{{QStringLiteral("column"), c + 1},
                        {QStringLiteral("name"), run.table.names[c]},
                        {QStringLiteral("kind"), importer::KindText(run.table.kinds[c])}};
        for (const importer::ColumnMap& m : run.mapping)
            if (m.column == c) {
                col[QStringLiteral("field")] = m.field;
                col[QStringLiteral("fieldName")] = importer::FieldName(m.field);
                col[QStringLiteral("unit")] = m.unit.isEmpty() ? units.value(m.field) : m.unit;
                col[QStringLiteral("unitFromObject")] = m.unit.isEmpty();
            }
        columns.append(col);
    }
    return columns;
}

// The groups with their lines, the regime each goes into and its averaged values.
QJsonArray GroupsJson(const ImportRun& run, const QStringList& units) {
    QJsonArray groups;
    for (int i = 0; i < run.plan.groups.size(); ++i) {
        const importer::Group& g = run.plan.groups[i];
        QJsonArray lines, values;
        for (int l : g.lines) lines.append(l);
        for (const importer::FieldValue& v : g.values)
            values.append(QJsonObject{{QStringLiteral("field"), v.field},
                                      {QStringLiteral("name"), importer::FieldName(v.field)},
                                      {QStringLiteral("unit"), units.value(v.field)},
                                      {QStringLiteral("mean"), Number(v.mean).toDouble()},
                                      {QStringLiteral("spread"), Number(v.spread).toDouble()},
                                      {QStringLiteral("count"), v.count}});
        groups.append(QJsonObject{{QStringLiteral("key"), g.key},
                                  {QStringLiteral("lines"), lines},
                                  {QStringLiteral("into"), run.targets[i]},
                                  {QStringLiteral("values"), values}});
    }
    return groups;
}

// The whole import as one JSON document, for scripts.
void PrintJson(const ImportRun& run, const QStringList& units, bool dryRun) {
    const importer::TableFormat& f = run.table.format;
    QJsonObject root;
    root[QStringLiteral("file")] = run.path;
    QJsonArray commaColumns;
    for (const QString& c : DecimalCommaColumns(run.table)) commaColumns.append(c.toInt());
    root[QStringLiteral("format")] =
        QJsonObject{{QStringLiteral("encoding"), importer::EncodingText(f.encoding, false)},
                    {QStringLiteral("bom"), f.bom},
                    {QStringLiteral("separator"), importer::SeparatorText(f.separator)},
                    {QStringLiteral("skippedLines"), f.skipLines},
                    {QStringLiteral("header"), f.header},
                    {QStringLiteral("decimalCommaColumns"), commaColumns}};
    root[QStringLiteral("columns")] = ColumnsJson(run, units);
    root[QStringLiteral("notes")] = QJsonArray::fromStringList(run.notes);
    QJsonArray bad;
    for (const importer::BadRow& b : run.plan.bad)
        bad.append(QJsonObject{{QStringLiteral("line"), b.line}, {QStringLiteral("reason"), b.reason}});
    root[QStringLiteral("badRows")] = bad;
    root[QStringLiteral("groups")] = GroupsJson(run, units);
    root[QStringLiteral("summary")] = run.summary;
    root[QStringLiteral("dryRun")] = dryRun;
    QJsonArray regimes;
    for (const importer::WrittenRegime& r : run.written.regimes)
        regimes.append(QJsonObject{{QStringLiteral("group"), r.group + 1},
                                   {QStringLiteral("file"), r.file},
                                   {QStringLiteral("created"), r.created},
                                   {QStringLiteral("calculated"), r.checkMessage.isEmpty()},
                                   {QStringLiteral("message"), r.checkMessage}});
    root[QStringLiteral("written")] = regimes;
    Out() << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

// How the table was read: its format, its rows and columns, the notes and the rows left out.
void PrintTable(const ImportRun& run, const QStringList& units) {
    const importer::TableFormat& f = run.table.format;
    const QStringList commas = DecimalCommaColumns(run.table);
    Out() << "Файл: " << run.path << "\n";
    Out() << "Кодировка: " << importer::EncodingText(f.encoding, f.bom)
          << "; разделитель: " << importer::SeparatorText(f.separator)
          << "; пропущено строк перед таблицей: " << f.skipLines << "; заголовок: " << (f.header ? "есть" : "нет")
          << "; десятичная запятая: "
          << (commas.isEmpty() ? QStringLiteral("нет") : QStringLiteral("столбцы ") + commas.join(QStringLiteral(", ")))
          << "\n";
    Out() << "Строк показаний: " << run.table.rows.size() << "; группировка: " << importer::GroupingText(run.grouping)
          << "\n";
    Out() << "Столбцы:\n";
    for (int c = 0; c < run.table.columns(); ++c) {
        Out() << "  " << c + 1 << " «" << run.table.names[c] << "» (" << importer::KindText(run.table.kinds[c]) << ")";
        for (const importer::ColumnMap& m : run.mapping)
            if (m.column == c)
                Out() << " → " << importer::FieldName(m.field) << ", "
                      << (m.unit.isEmpty() ? units.value(m.field) : m.unit);
        Out() << "\n";
    }
    for (const QString& n : run.notes) Out() << "Примечание: " << n << "\n";
    if (!run.plan.bad.isEmpty()) {
        Out() << "Строки не использованы (" << run.plan.bad.size() << "):\n";
        for (const importer::BadRow& b : run.plan.bad) Out() << "  строка " << b.line << ": " << b.reason << "\n";
    }
}

// The import for a reader: the table, the groups with their values, what was written.
void PrintText(const ImportRun& run, const QStringList& units, bool dryRun) {
    PrintTable(run, units);
    Out() << "Группы (" << run.plan.groups.size() << "):\n";
    for (int i = 0; i < run.plan.groups.size(); ++i) {
        const importer::Group& g = run.plan.groups[i];
        Out() << "  " << i + 1 << ". " << g.key << ", показаний: " << g.lines.size() << " → "
              << (run.targets[i].isEmpty() ? QStringLiteral("новый режим") : run.targets[i]) << "\n";
        for (const importer::FieldValue& v : g.values) {
            Out() << "       " << importer::FieldName(v.field) << " = " << Number(v.mean) << " "
                  << units.value(v.field);
            if (v.count > 1) Out() << " (разброс " << Number(v.spread) << ", n = " << v.count << ")";
            Out() << "\n";
        }
    }
    Out() << run.summary << "\n";
    if (dryRun) Out() << "Пробный запуск: ничего не записано\n";
    for (const importer::WrittenRegime& r : run.written.regimes) {
        Out() << (r.created ? "Создан: " : "Заполнен: ") << r.file;
        if (!r.checkMessage.isEmpty()) Out() << " (не рассчитан: " << r.checkMessage << ")";
        Out() << "\n";
    }
}

}  // namespace

int ImportCommand(const QStringList& args) {
    ImportOptions o;
    QString why;
    if (!ParseOptions(args, o, why)) return Usage(why);
    app::AppState s;
    QString error;
    if (!UseObjectFolder(s, o.positional[0], o.object, error)) return Fail(error);
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) return Fail(s.currentObjectFolder + QStringLiteral(": ") + listWarning);

    ImportRun run;
    run.path = o.positional[1];
    if (const std::optional<int> code = ReadImportTable(o, s, run)) return *code;
    if (!PlanImport(o, s, run)) return 1;
    if (!o.dryRun && !run.plan.groups.isEmpty())
        run.written = importer::WritePlan(s, run.plan, run.targets, LastRegime(s));

    if (o.json) PrintJson(run, s.units, o.dryRun);
    else PrintText(run, s.units, o.dryRun);
    Out().flush();
    if (run.plan.groups.isEmpty()) return Fail(run.path + QStringLiteral(": нет ни одной строки показаний для записи"));
    if (o.dryRun) return 0;
    if (!run.written.ok) return Fail(run.written.error + QStringLiteral("; ничего не записано"));
    if (!run.written.listWarning.isEmpty()) Err() << s.currentObjectFolder << ": " << run.written.listWarning << "\n";
    return run.written.checkFailed() > 0 ? 3 : 0;
}

}  // namespace cli
