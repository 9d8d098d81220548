#include "regime/regimestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/cardchoice.h"
#include "regime/plausibility.h"
#include "regime/repeatability.h"

namespace regime {

namespace {

template <size_t N>
bool WriteNumbers(const QString& path, const std::array<float, N>& values, QString* error) {
    return core::WriteNumberFile(path, values.data(), static_cast<int>(N), error);
}

template <size_t N>
bool ReadNumbers(const QString& path, std::array<float, N>& values, QString* error) {
    static_assert(N == app::kInputCount || N == app::kResultCount);
    return core::ReadKindNumbers(N == app::kInputCount ? QStringLiteral("regime") : QStringLiteral("results"), path,
                                 values.data(), error);
}

// The files of an object are found whatever their letter case by the readers and writers
// themselves, at no cost when the name is exact.
QString ObjectFile(const app::AppState& s, const QString& name) { return core::JoinPath(s.currentObjectFolder, name); }

// A load text that is wholly a number (blanks around allowed), read locale-free.
bool LoadNumber(const QString& text, double& value) {
    return core::ParseWholeNumber(text.toStdString(), value) && std::isfinite(value);
}

}  // namespace

QString RegimeFileName(int number) {
    return QStringLiteral("Режим № ") + core::CounterForm(number, true) + QStringLiteral(".Dat");
}

bool WriteCounter(const QString& folder, const QString& file, int value, bool leadingBlank, QString* error) {
    return core::WriteTextLines(core::ResolvePath(folder, file), {core::CounterForm(value, leadingBlank)}, error);
}

bool ReadCounter(const QString& folder, const QString& file, int& value, QString* error) {
    QStringList lines;
    const QString path = core::JoinPath(folder, file);
    const core::FileKind* kind = core::KindOfName(file);
    if (kind && !core::ReadKindFile(kind->id, path, lines, error)) return false;
    if (!kind && !core::ReadTextLines(path, lines, error, 1)) return false;
    if (lines.isEmpty() || !core::ParseCounter(lines.first(), value)) {
        if (error)
            *error = path + QStringLiteral(": в первой строке не целое число: «") +
                     lines.value(0).trimmed().left(40) + QStringLiteral("»");
        return false;
    }
    return true;
}

bool ReadRegimeCounters(app::AppState& s, QString* error) {
    int last = 0, count = 0;
    if (!ReadCounter(s.currentObjectFolder, kLastNumberFile, last, error)) return false;
    if (!ReadCounter(s.currentObjectFolder, kCountFile, count, error)) return false;
    s.lastRegimeNumber = last;
    s.regimeCount = count;
    return true;
}

bool NewRegime(app::AppState& s, QString* error, QString* listWarning) {
    if (s.lastRegimeNumber >= kMaxRegimeNumber || s.lastRegimeNumber < 0) {
        if (error) *error = kLimitRefusal;
        return false;
    }
    const int number = s.lastRegimeNumber + 1;
    const int count = static_cast<int>(s.regimeList.rows.size()) + 1;
    const QString name = RegimeFileName(number);
    // Write the new regime's files before the counters, so a failure never leaves a
    // counter pointing past the files; the number is taken only once all is written.
    std::array<float, app::kInputCount> inputs = s.inputs;
    inputs[0] = 0.0f;
    inputs[7] = 0.0f;
    // a q5 found for each regime belongs to the surfaces of the regime it was found for:
    // the new one starts without, until its own are entered
    if (core::SameName(s.general.value(object::Q5Mode), object::kQ5EachRegime)) inputs[app::kQ5Input] = 0.0f;
    std::array<float, app::kResultCount> results{};
    const QString regimePath = core::ResolvePath(s.currentObjectFolder, name);
    const QString resultsPath = core::ResolvePath(s.currentObjectFolder, kResultsPrefix + name);
    // A failure part-way takes back the new files, so the files and the count stay in step.
    // Once "Col_R.txt" holds the number it stays taken and is never given again.
    auto undo = [&] {
        QFile::remove(resultsPath);
        QFile::remove(regimePath);
        return false;
    };
    if (!WriteNumbers(regimePath, inputs, error)) return false;
    if (!WriteNumbers(resultsPath, results, error)) return undo();
    if (!WriteCounter(s.currentObjectFolder, kLastNumberFile, number, true, error)) return undo();
    s.lastRegimeNumber = number;
    if (!WriteCounter(s.currentObjectFolder, kCountFile, count, true, error)) return undo();
    s.regimeCount = count;
    s.setCurrentRegime(name);
    s.inputs = inputs;
    s.results = results;
    const QString warning = FillRegimeList(s);
    if (listWarning) *listWarning = warning;
    return true;
}

bool DeleteRegimeFiles(app::AppState& s, QString* error) {
    const int count = std::max<int>(0, static_cast<int>(s.regimeList.rows.size()) - 1);
    if (!WriteCounter(s.currentObjectFolder, kCountFile, count, false, error)) return false;
    s.regimeCount = count;
    // the spread kept with the regime goes with it
    for (const QString& name :
         {s.currentRegimeFile, s.currentResultsFile, RepeatabilityFileName(s.currentRegimeFile)}) {
        const QString found = core::FindEntryNoCase(s.currentObjectFolder, name);
        if (found.isEmpty()) continue;  // already gone: nothing to delete
        QFile f(core::JoinPath(s.currentObjectFolder, found));
        if (!f.remove()) {
            if (error) *error = f.errorString();
            return false;
        }
    }
    ShowRegimeCount(s);
    return true;
}

bool SaveRegimeInputs(app::AppState& s, const QStringList& fieldTexts, QString* error) {
    std::array<float, app::kInputCount> values{};
    for (int k = 0; k < app::kInputCount; ++k) {
        if (!core::ParseEditorFloat(fieldTexts.value(k).toStdString(), values[k])) {
            // nothing is taken or written: such a number cannot be stored
            if (error)
                *error = QStringLiteral("Поле %1: число «%2» вне допустимого диапазона; режим не записан")
                             .arg(k + 1)
                             .arg(fieldTexts.value(k).trimmed().left(40));
            return false;
        }
    }
    s.inputs = values;
    return WriteNumbers(ObjectFile(s, s.currentRegimeFile), s.inputs, error);
}

bool LoadRegimeInputs(app::AppState& s, QStringList* fieldTexts, QString* error) {
    std::array<float, app::kInputCount> values{};
    if (!ReadNumbers(ObjectFile(s, s.currentRegimeFile), values, error)) return false;
    s.inputs = values;
    if (!s.setEditorFields && !fieldTexts) return true;  // nobody shows the fields (a recalculation)
    QStringList texts;
    texts.reserve(app::kInputCount);
    for (float v : values) texts.append(core::EditorForm(v));
    if (s.setEditorFields) s.setEditorFields(texts);
    if (fieldTexts) *fieldTexts = texts;
    return true;
}

bool SaveRegimeResults(const app::AppState& s, QString* error) {
    return WriteNumbers(ObjectFile(s, s.currentResultsFile), s.results, error);
}

bool LoadRegimeResults(app::AppState& s, QString* error) {
    std::array<float, app::kResultCount> values{};
    if (!ReadNumbers(ObjectFile(s, s.currentResultsFile), values, error)) return false;
    s.results = values;
    return true;
}

// The warning for regime entries that are no files (a folder or a FIFO named like a regime):
// they cannot be listed, and a count that includes them must not pass without a word.
static QString NotFilesWarning(const app::AppState& s, const QStringList& others) {
    QStringList why;
    for (const QString& entry : others) why.append(core::NotDataFileMessage(ObjectFile(s, entry)));
    return kFillWarning + QStringLiteral(": ") + why.join(QStringLiteral("; "));
}

QString FillRegimeList(app::AppState& s) {
    s.regimeList.rows.clear();
    QStringList files, others;
    if (!core::ListFiles(s.currentObjectFolder, kRegimePattern, files, &others)) return kFillWarning;
    // Every regime is listed even when its results file cannot be read: its load stays
    // empty and the sort puts it after the others, so no regime disappears from the list
    // and the rest are still sorted and ticked; the warning is given all the same.
    bool failed = false;
    QStringList broken;  // results files that are there but cannot be read whole
    for (const QString& file : files) {
        app::RegimeRow row;
        row.key = file;
        // the whole file is read, so a results file of the wrong shape gives no load
        std::array<float, app::kResultCount> results{};
        QString why;
        if (ReadNumbers(ObjectFile(s, kResultsPrefix + file), results, &why)) {
            row.load = core::StoredForm(results[0]);
            // results that the regime's inputs cannot give (they fail the check) are not
            // shown as current: no load; results that cannot be right carry their reason
            std::array<float, app::kInputCount> inputs{};
            if (Calculated(results) && ReadNumbers(ObjectFile(s, file), inputs, nullptr))
                row.checkMessage = CheckRegime(s, inputs);
            if (row.checkMessage.isEmpty()) row.warning = ImplausibleResults(results);
            else row.load.clear();
        } else {
            failed = true;
            if (core::ExistsNoCase(s.currentObjectFolder, kResultsPrefix + file)) broken.append(why);
        }
        s.regimeList.rows.append(row);
    }
    SortRegimeList(s);
    // the regimes of the folder are the count: a counter file out of step with it never
    // makes the list say fewer or more
    s.regimeCount = static_cast<int>(s.regimeList.rows.size());
    ShowRegimeCount(s);
    if (!others.isEmpty()) return NotFilesWarning(s, others);
    if (!broken.isEmpty()) return kFillWarning + QStringLiteral(": ") + broken.join(QStringLiteral("; "));
    return failed ? kFillWarning : QString();
}

QString ListRegimes(app::AppState& s) {
    s.regimeList.rows.clear();
    QStringList files, others;
    if (!core::ListFiles(s.currentObjectFolder, kRegimePattern, files, &others)) return kFillWarning;
    // "Режим №  N.Dat" by N; a name without a number after the numbered ones, by name
    auto number = [](const QString& file) {
        static const qsizetype lead = QStringLiteral("Режим №").size();
        bool ok = false;
        const int n = file.mid(lead, file.size() - lead - 4).trimmed().toInt(&ok);
        return ok ? n : INT_MAX;
    };
    QList<std::pair<int, QString>> numbered;
    numbered.reserve(files.size());
    for (const QString& f : files) numbered.append({number(f), f});
    std::sort(numbered.begin(), numbered.end());
    for (const auto& [n, f] : numbered) {
        app::RegimeRow row;
        row.key = f;
        s.regimeList.rows.append(row);
    }
    s.regimeCount = static_cast<int>(s.regimeList.rows.size());
    ShowRegimeCount(s);
    return others.isEmpty() ? QString() : NotFilesWarning(s, others);
}

QString SortRegimeList(app::AppState& s) {
    auto& rows = s.regimeList.rows;
    // Rows whose load is a number are sorted by it and ticked. A row without one (its
    // results file was missing or unreadable) follows them with an empty load and no tick,
    // so the graphs leave it out; calculating it gives it a load. The fill has warned of it.
    QList<double> loads(rows.size(), 0.0);
    QList<bool> numeric(rows.size(), false);
    for (int i = 0; i < rows.size(); ++i) numeric[i] = LoadNumber(rows[i].load, loads[i]);
    const QSet<QString> offCard = OffCardSet(s);
    QList<int> order(rows.size());
    for (int i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (numeric[a] != numeric[b]) return numeric[a];
        return numeric[a] && loads[a] < loads[b];
    });
    QList<app::RegimeRow> sorted;
    sorted.reserve(rows.size());
    for (int i : order) {
        app::RegimeRow row = rows[i];
        row.load = numeric[i] ? core::StoredForm(static_cast<float>(loads[i])) : QString();
        // a regime whose inputs fail the check stays in the card with its message; the
        // graphs leave it out by that message. A regime the user left off the card stays off.
        row.ticked = (numeric[i] || !row.checkMessage.isEmpty()) && !offCard.contains(row.key.toLower());
        sorted.append(row);
    }
    rows = sorted;
    return {};
}

void ShowRegimeCount(app::AppState& s) {
    s.regimeList.header = QStringLiteral("Всего: ") + core::CounterForm(s.regimeCount, true);
}

bool Calculated(const std::array<float, app::kResultCount>& results) {
    return std::any_of(results.begin(), results.end(), [](float v) { return v != 0.0f; });
}

QString LoadText(float load) { return core::EditorForm(load); }

void ShowRegimeResults(app::AppState& s) {
    // results that the stored inputs no longer give are not shown as current; a regime not
    // calculated yet (all zeros) has none to hide
    s.resultsCheckMessage = Calculated(s.results) ? CheckRegime(s) : QString();
    const int row = s.regimeList.find(s.currentRegimeFile);
    if (row >= 0) {
        app::RegimeRow& r = s.regimeList.rows[row];
        const bool current = s.resultsCheckMessage.isEmpty();
        // the plain form, as the sorted list shows its loads
        r.load = current ? core::StoredForm(s.results[0]) : QString();
        r.checkMessage = s.resultsCheckMessage;
        r.warning = current ? ImplausibleResults(s.results) : QString();
    }
    if (s.showRegimeResults) s.showRegimeResults();
}

// ---------------------------------------------------------------- q5 file of a regime

void SelectRegimeRow(app::AppState& s, int row) {
    for (int i = 0; i < s.regimeList.rows.size(); ++i) s.regimeList.rows[i].selected = i == row;
    if (row >= 0 && row < s.regimeList.rows.size()) s.setCurrentRegime(s.regimeList.rows[row].key);
}

QString SelectionHeader(const app::AppState& s, int row) {
    const std::optional<int> number = RegimeNumberOf(s.regimeList.rows.value(row).key);
    return QStringLiteral("Режим №") + core::CounterForm(number ? *number : row + 1, true) + u'/' +
           core::CounterForm(s.regimeCount, true);
}

std::optional<int> RegimeNumberOf(const QString& regimeFile) {
    static const QRegularExpression re(QStringLiteral("^Режим\\s*№\\s*(\\d+)\\s*\\.dat$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(regimeFile.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    if (!ok) return std::nullopt;
    return n;
}

QString Q5FileName(const QString& regimeFile) {
    if (const auto n = RegimeNumberOf(regimeFile)) return QStringLiteral("Режим  ") + QString::number(*n) + QStringLiteral("q5.txt");
    QString base = regimeFile;
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot > 0) base.truncate(dot);
    return base + QStringLiteral("q5.txt");
}

bool DeleteQ5File(const QString& objectFolder, const QString& regimeFile, QString* error) {
    const QString found = core::FindEntryNoCase(objectFolder, Q5FileName(regimeFile));
    if (found.isEmpty()) return true;
    QFile f(core::JoinPath(objectFolder, found));
    if (f.remove()) return true;
    if (error) *error = f.errorString();
    return false;
}

// ---------------------------------------------------------------- an object read for the calculation

bool LoadObjectData(app::AppState& s, QString* error, QString* warning) {
    QStringList general, units;
    QString why;
    if (!object::ReadGeneralData(s.currentObjectFolder, general, &why)) {
        if (error) *error = why;
        return false;
    }
    QString unitsWarning;
    if (!object::LoadObjectUnits(s.currentObjectFolder, s.templateFolder, units, &unitsWarning) && warning)
        *warning = unitsWarning;
    s.general = general;
    s.units = units;
    if (!regime::ReadRegimeCounters(s, &why)) {
        if (error) *error = why;
        return false;
    }
    return true;
}

QString UnreadableUnitsRefusal(const QString& why) {
    return QStringLiteral("Единицы измерения объекта не прочитаны: ") + why +
           QStringLiteral(". Чтобы считать с единицами шаблона, укажите --template-units.");
}

bool LoadObjectFolder(app::AppState& s, const QString& objectFolder, QString* error, bool templateUnits,
                      QString* unitsWarning) {
    const QFileInfo info(objectFolder);
    if (!info.isDir()) {
        if (error) *error = objectFolder + QStringLiteral(": папка объекта не найдена");
        return false;
    }
    s.objectsFolder = info.absoluteDir().absolutePath();
    s.templateFolder = core::ResolvePath(QFileInfo(s.objectsFolder).absolutePath(), QStringLiteral("Template"));
    s.setCurrentObject(info.fileName());
    QString fromTemplate;
    if (!LoadObjectData(s, error, &fromTemplate)) return false;
    if (!fromTemplate.isEmpty()) {
        if (!templateUnits) {
            QStringList units;
            QString why;
            object::ReadUnits(s.currentObjectFolder, units, &why);
            if (error) *error = UnreadableUnitsRefusal(why);
            return false;
        }
        if (unitsWarning) *unitsWarning = fromTemplate;
    }
    const QString warning = FillRegimeList(s);
    if (!warning.isEmpty()) {
        if (error) *error = objectFolder + QStringLiteral(": ") + warning;
        return false;
    }
    return true;
}

}  // namespace regime
