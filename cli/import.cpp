#include "cli/import.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

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

}  // namespace

int ImportCommand(const QStringList& argsIn) {
    QStringList args = argsIn;
    ObjectOptions options;
    TakeObjectOptions(args, options);
    QString profileName, groupText, into;
    bool dryRun = false, json = false;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        if (a == u"--profile") {
            if (!value(profileName)) return Usage(QStringLiteral("--profile needs a name"));
        } else if (a == u"--group") {
            if (!value(groupText)) return Usage(QStringLiteral("--group needs row, column:N or gap:MIN"));
        } else if (a == u"--into") {
            if (!value(into)) return Usage(QStringLiteral("--into needs a regime file"));
        } else if (a == u"--dry-run") {
            dryRun = true;
        } else if (a == u"--json") {
            json = true;
        } else if (a.startsWith(u"--")) {
            return Usage(QStringLiteral("unknown option ") + a);
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2) return Usage({});
    options.writes = !dryRun;

    app::AppState s;
    QString error, warning;
    if (!UseObjectFolder(s, positional[0], options, error, warning)) return Fail(error);
    if (!warning.isEmpty()) Err() << s.currentObjectFolder << ": " << warning << "\n";
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) return Fail(s.currentObjectFolder + QStringLiteral(": ") + listWarning);

    // the table, by the profile's choices where it has them, else as detected
    const QString path = positional[1];
    QByteArray bytes;
    if (!importer::ReadImportFile(path, bytes, &error)) return Fail(error);
    importer::Profile profile;
    const bool withProfile = !profileName.isEmpty();
    if (withProfile && !importer::LoadProfile(s.templateFolder, profileName, profile, &error)) return Fail(error);
    importer::Table table;
    if (withProfile ? !importer::ReadTableWithProfile(bytes, profile, table, path, &error)
                    : !importer::ReadTable(bytes, importer::DetectFormat(bytes), table, path, &error))
        return Fail(error);
    QStringList notes;
    const importer::Mapping mapping = withProfile ? importer::ProfileMapping(profile, table, &notes)
                                                  : importer::ProposeMapping(table, s.units, &notes);
    if (mapping.isEmpty()) return Fail(path + QStringLiteral(": ни один столбец не сопоставлен с полем режима"));
    importer::Grouping grouping = withProfile ? importer::ProfileGrouping(profile, table) : importer::Grouping{};
    if (!groupText.isEmpty() && !importer::ParseGrouping(groupText, table, grouping, &error)) return Usage(error);

    QString intoFile;
    if (!into.isEmpty() && !ObjectRegimeFile(s, into, intoFile, error)) return Fail(error);
    const importer::ImportPlan plan = importer::BuildPlan(table, mapping, grouping, s.units, s.general);
    QStringList targets;
    for (int i = 0; i < plan.groups.size(); ++i) targets.append(i == 0 ? intoFile : QString());
    const int filled = plan.groups.isEmpty() || intoFile.isEmpty() ? 0 : 1;
    const int created = static_cast<int>(plan.groups.size()) - filled;
    const QString summary = importer::SummaryText(created, filled);

    importer::WriteOutcome written;
    if (!dryRun && !plan.groups.isEmpty()) written = importer::WritePlan(s, plan, targets, LastRegime(s));

    const importer::TableFormat& f = table.format;
    QStringList commas;
    for (int c = 0; c < table.columns(); ++c)
        if (f.decimalComma.value(c) && table.kinds[c] == importer::ColumnKind::Number) commas.append(QString::number(c + 1));
    if (json) {
        QJsonObject root;
        root[QStringLiteral("file")] = path;
        QJsonArray commaColumns;
        for (const QString& c : commas) commaColumns.append(c.toInt());
        root[QStringLiteral("format")] = QJsonObject{{QStringLiteral("encoding"), importer::EncodingText(f.encoding, false)},
                                                     {QStringLiteral("bom"), f.bom},
                                                     {QStringLiteral("separator"), importer::SeparatorText(f.separator)},
                                                     {QStringLiteral("skippedLines"), f.skipLines},
                                                     {QStringLiteral("header"), f.header},
                                                     {QStringLiteral("decimalCommaColumns"), commaColumns}};
        QJsonArray columns;
        for (int c = 0; c < table.columns(); ++c) {
            QJsonObject col{{QStringLiteral("column"), c + 1},
                            {QStringLiteral("name"), table.names[c]},
                            {QStringLiteral("kind"), importer::KindText(table.kinds[c])}};
            for (const importer::ColumnMap& m : mapping)
                if (m.column == c) {
                    col[QStringLiteral("field")] = m.field;
                    col[QStringLiteral("fieldName")] = importer::FieldName(m.field);
                    col[QStringLiteral("unit")] = m.unit.isEmpty() ? s.units.value(m.field) : m.unit;
                    col[QStringLiteral("unitFromObject")] = m.unit.isEmpty();
                }
            columns.append(col);
        }
        root[QStringLiteral("columns")] = columns;
        root[QStringLiteral("notes")] = QJsonArray::fromStringList(notes);
        QJsonArray bad;
        for (const importer::BadRow& b : plan.bad)
            bad.append(QJsonObject{{QStringLiteral("line"), b.line}, {QStringLiteral("reason"), b.reason}});
        root[QStringLiteral("badRows")] = bad;
        QJsonArray groups;
        for (int i = 0; i < plan.groups.size(); ++i) {
            const importer::Group& g = plan.groups[i];
            QJsonArray lines, values;
            for (int l : g.lines) lines.append(l);
            for (const importer::FieldValue& v : g.values)
                values.append(QJsonObject{{QStringLiteral("field"), v.field},
                                          {QStringLiteral("name"), importer::FieldName(v.field)},
                                          {QStringLiteral("unit"), s.units.value(v.field)},
                                          {QStringLiteral("mean"), Number(v.mean).toDouble()},
                                          {QStringLiteral("spread"), Number(v.spread).toDouble()},
                                          {QStringLiteral("count"), v.count}});
            groups.append(QJsonObject{{QStringLiteral("key"), g.key},
                                      {QStringLiteral("lines"), lines},
                                      {QStringLiteral("into"), targets[i]},
                                      {QStringLiteral("values"), values}});
        }
        root[QStringLiteral("groups")] = groups;
        root[QStringLiteral("summary")] = summary;
        root[QStringLiteral("dryRun")] = dryRun;
        QJsonArray regimes;
        for (const importer::WrittenRegime& r : written.regimes)
            regimes.append(QJsonObject{{QStringLiteral("group"), r.group + 1},
                                       {QStringLiteral("file"), r.file},
                                       {QStringLiteral("created"), r.created},
                                       {QStringLiteral("calculated"), r.checkMessage.isEmpty()},
                                       {QStringLiteral("message"), r.checkMessage}});
        root[QStringLiteral("written")] = regimes;
        Out() << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else {
        Out() << "Файл: " << path << "\n";
        Out() << "Кодировка: " << importer::EncodingText(f.encoding, f.bom) << "; разделитель: "
              << importer::SeparatorText(f.separator) << "; пропущено строк перед таблицей: " << f.skipLines
              << "; заголовок: " << (f.header ? "есть" : "нет") << "; десятичная запятая: "
              << (commas.isEmpty() ? QStringLiteral("нет") : QStringLiteral("столбцы ") + commas.join(QStringLiteral(", ")))
              << "\n";
        Out() << "Строк показаний: " << table.rows.size() << "; группировка: " << importer::GroupingText(grouping) << "\n";
        Out() << "Столбцы:\n";
        for (int c = 0; c < table.columns(); ++c) {
            Out() << "  " << c + 1 << " «" << table.names[c] << "» (" << importer::KindText(table.kinds[c]) << ")";
            for (const importer::ColumnMap& m : mapping)
                if (m.column == c)
                    Out() << " → " << importer::FieldName(m.field) << ", " << (m.unit.isEmpty() ? s.units.value(m.field) : m.unit);
            Out() << "\n";
        }
        for (const QString& n : notes) Out() << "Примечание: " << n << "\n";
        if (!plan.bad.isEmpty()) {
            Out() << "Строки не использованы (" << plan.bad.size() << "):\n";
            for (const importer::BadRow& b : plan.bad) Out() << "  строка " << b.line << ": " << b.reason << "\n";
        }
        Out() << "Группы (" << plan.groups.size() << "):\n";
        for (int i = 0; i < plan.groups.size(); ++i) {
            const importer::Group& g = plan.groups[i];
            Out() << "  " << i + 1 << ". " << g.key << ", показаний: " << g.lines.size() << " → "
                  << (targets[i].isEmpty() ? QStringLiteral("новый режим") : targets[i]) << "\n";
            for (const importer::FieldValue& v : g.values) {
                Out() << "       " << importer::FieldName(v.field) << " = " << Number(v.mean) << " " << s.units.value(v.field);
                if (v.count > 1) Out() << " (разброс " << Number(v.spread) << ", n = " << v.count << ")";
                Out() << "\n";
            }
        }
        Out() << summary << "\n";
        if (dryRun) Out() << "Пробный запуск: ничего не записано\n";
        for (const importer::WrittenRegime& r : written.regimes) {
            Out() << (r.created ? "Создан: " : "Заполнен: ") << r.file;
            if (!r.checkMessage.isEmpty()) Out() << " (не рассчитан: " << r.checkMessage << ")";
            Out() << "\n";
        }
    }
    Out().flush();
    if (plan.groups.isEmpty()) return Fail(path + QStringLiteral(": нет ни одной строки показаний для записи"));
    if (dryRun) return 0;
    if (!written.ok) return Fail(written.error + QStringLiteral("; ничего не записано"));
    if (!written.listWarning.isEmpty()) Err() << s.currentObjectFolder << ": " << written.listWarning << "\n";
    return written.checkFailed() > 0 ? 3 : 0;
}

}  // namespace cli
