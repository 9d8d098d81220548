#include "analyser/reading.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "regime/inputranges.h"
#include "regime/regimestore.h"

namespace analyser {

namespace {

bool IsSeparator(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f'; }

// Digits after the decimal separator of a value text ("3,25" gives 2).
int DecimalsOf(const QString& text) {
    const qsizetype point = std::max(text.indexOf(u'.'), text.indexOf(u','));
    if (point < 0) return 0;
    int n = 0;
    for (qsizetype i = point + 1; i < text.size() && text.at(i).isDigit(); ++i) ++n;
    return n;
}

// Values of a text separated by blanks and tabs.
int CountValues(QByteArrayView text) {
    int n = 0;
    bool in = false;
    for (char c : text) {
        const bool sep = c == ' ' || c == '\t' || c == '\v' || c == '\f';
        if (!sep && !in) ++n;
        in = !sep;
    }
    return n;
}

double Mean(const QList<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.isEmpty() ? 0 : sum / v.size();
}

// Sample standard deviation; 0 for fewer than two values.
double Spread(const QList<double>& v) {
    if (v.size() < 2) return 0;
    const double m = Mean(v);
    double sum = 0;
    for (double x : v) sum += (x - m) * (x - m);
    return std::sqrt(sum / (v.size() - 1));
}

// A log value: numbers with a decimal comma for a Russian spreadsheet; received texts
// with their control characters shown as "?" and quoted when they hold the separator.
QString CsvField(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u'?';
    if (text.contains(u';') || text.contains(u'"')) text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return text;
}

QString LogNumber(double v) { return core::StoredForm(static_cast<float>(v)).replace(u'.', u','); }

}  // namespace

bool BeforeEconomiserAllowed(const QStringList& general) { return general.value(object::Economiser) != object::kWithoutEconomiser; }

// ------------------------------------------------------------------ framing

void ReadingFramer::restart() {
    tail_.clear();
    synced_ = false;
    lineFeeds_ = false;
    afterCr_ = false;
}

bool GluedReadings(QByteArrayView line) {
    int several = 0;
    for (QByteArrayView rest = line; !rest.isEmpty();) {
        const qsizetype cr = rest.indexOf('\r');
        const QByteArrayView part = cr < 0 ? rest : rest.first(cr);
        if (CountValues(part) >= 2) ++several;
        if (cr < 0) break;
        rest = rest.sliced(cr + 1);
    }
    return several >= 2;
}

void ReadingFramer::endLine(QList<QByteArray>& out) {
    while (tail_.endsWith('\r')) tail_.chop(1);  // the CR of a CR LF line end
    // readings ended by CR alone, glued by a stray line feed: the analyser sends no line
    // feeds after all, and carriage returns end its readings again
    if (lineFeeds_ && GluedReadings(tail_)) lineFeeds_ = false;
    if (synced_) {
        bool blank = true;
        for (char c : std::as_const(tail_)) blank = blank && (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f');
        if (!blank) out.append(tail_);
    }
    synced_ = true;
    tail_.clear();
}

QList<QByteArray> ReadingFramer::feed(const QByteArray& bytes) {
    QList<QByteArray> out;
    for (const char c : bytes) {
        if (c == '\n') {
            lineFeeds_ = true;
            if (afterCr_) {
                afterCr_ = false;  // CR LF: the CR has ended the reading
                continue;
            }
            endLine(out);
        } else if (c == '\r' && !lineFeeds_) {
            endLine(out);
            afterCr_ = true;
        } else {
            afterCr_ = false;
            tail_.append(c);
            if (tail_.size() > kMaxReadingBytes) {
                // no line end in sight: noise, or a speed that does not match; start over
                restart();
            }
        }
    }
    return out;
}

// ------------------------------------------------------------------ one reading

Reading ParseReading(const QString& text, bool temperature, const QDateTime& time) {
    Reading r;
    r.time = time;
    r.text = text;
    qsizetype i = 0;
    int found = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSeparator(text.at(i))) ++i;
        if (i >= text.size()) break;
        qsizetype end = i;
        while (end < text.size() && !IsSeparator(text.at(end))) ++end;
        if (found < kValueCount) r.values.append(text.mid(i, end - i));
        ++found;
        i = end;
    }
    if (GluedReadings(text.toLatin1())) {
        r.refusal = QStringLiteral("Неполное показание: несколько показаний в одной строке");
        return r;
    }
    if (r.values.size() < kValueCount) {
        r.refusal = QStringLiteral("Неполное показание: %1 из 7 значений").arg(r.values.size());
        return r;
    }
    for (int k = 0; k < kValueCount; ++k) {
        QString v = r.values[k];
        v.replace(u',', u'.');
        double d = 0;
        float f = 0;
        if (!core::ParseWholeNumber(v.toStdString(), d) || !core::ToFloatChecked(d, f)) {
            r.refusal = QStringLiteral("Неполное показание: значение %1 «%2» не число").arg(k + 1).arg(r.values[k].left(24));
            return r;
        }
        r.numbers[k] = d;
    }
    const FieldMap map = FieldsOf(SamplingPoint::AfterEconomiser);
    const std::pair<int, int> checked[] = {{0, map.co}, {1, map.no}, {2, map.o2}, {3, map.co2}, {6, map.temperature}};
    for (const auto& [k, field] : checked) {
        if (k == 6 && !temperature) continue;
        // the same range and words as the editor's: such a value cannot be a measurement
        const QString why = regime::InputRangeError(field, r.numbers[k], {}, true);
        if (!why.isEmpty()) {
            r.refusal = QStringLiteral("Неверное показание: ") + why;
            return r;
        }
    }
    r.accepted = true;
    return r;
}

FieldMap FieldsOf(SamplingPoint point) {
    if (point == SamplingPoint::BeforeEconomiser) return {35, 38, 37, 36, 40};
    return {11, 14, 13, 12, 17};
}

// ------------------------------------------------------------------ a period

bool Steady(const PeriodValues& p) {
    if (!p.averaged || p.used < 3) return false;
    const double co = std::max(10.0, 0.1 * std::fabs(p.values[0]));
    return p.sdO2 <= 0.2 && p.sdCO <= co && p.sdTemperature <= 2.0;
}

PeriodValues CombineReadings(const QList<Reading>& readings, bool average) {
    PeriodValues p;
    QList<const Reading*> ok;
    for (const Reading& r : readings)
        if (r.accepted) ok.append(&r);
    if (ok.isEmpty()) return p;
    if (!average) {
        p.used = 1;
        p.values = ok.last()->numbers;
        return p;
    }
    p.averaged = true;
    p.used = static_cast<int>(ok.size());
    for (int k = 0; k < kValueCount; ++k) {
        QList<double> v;
        int decimals = 0;
        for (const Reading* r : ok) {
            v.append(r->numbers[k]);
            decimals = std::max(decimals, DecimalsOf(r->values.value(k)));
        }
        p.values[k] = core::RoundHalfEven(Mean(v), std::min(decimals + 1, 6));
        if (k == 0) p.sdCO = Spread(v);
        if (k == 2) p.sdO2 = Spread(v);
        if (k == 6) p.sdTemperature = Spread(v);
    }
    p.steady = Steady(p);
    return p;
}

QString FieldText(double value) { return core::EditorForm(static_cast<float>(value)); }

void PutAnalyserValues(QStringList& fields, const std::array<double, kValueCount>& values, SamplingPoint point,
                       bool temperature) {
    while (fields.size() < app::kInputCount) fields.append(QString());
    const FieldMap f = FieldsOf(point);
    fields[f.co] = FieldText(values[0]);
    fields[f.no] = FieldText(values[1]);
    fields[f.o2] = FieldText(values[2]);
    fields[f.co2] = FieldText(values[3]);
    if (temperature) fields[f.temperature] = FieldText(values[6]);
}

StoreOutcome StoreAnalyserValues(app::AppState& s, QStringList& fields, const PeriodValues& values, SamplingPoint point,
                                 bool temperature, const std::function<void(const QString&)>& notice) {
    StoreOutcome out;
    if (values.used < 1) {
        out.error = QStringLiteral("нет принятых показаний");
        return out;
    }
    if (point == SamplingPoint::BeforeEconomiser && !BeforeEconomiserAllowed(s.general)) point = SamplingPoint::AfterEconomiser;
    // the file as it is now: a value saved meanwhile elsewhere is kept, a deleted regime stays deleted
    if (!core::ExistsNoCase(s.currentObjectFolder, s.currentRegimeFile)) {
        out.regimeGone = true;
        out.error = QStringLiteral("Режим удален: ") + s.currentRegimeFile + QStringLiteral(". Считывание остановлено.");
        return out;
    }
    QStringList current;
    if (!regime::LoadRegimeInputs(s, &current, &out.error)) return out;
    PutAnalyserValues(current, values.values, point, temperature);
    if (!regime::SaveRegimeInputs(s, current, &out.error)) return out;
    fields = current;
    out.saved = true;
    out.calc = regime::CalculateCurrentRegime(s, notice);
    out.sortWarning = regime::SortRegimeList(s);
    return out;
}

// ------------------------------------------------------------------ the reading log

int RegimeNumberOf(const QString& regimeFile) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)"));
    const QRegularExpressionMatch m = digits.match(regimeFile);
    bool ok = false;
    const int n = m.hasMatch() ? m.captured(1).toInt(&ok) : -1;
    return ok ? n : -1;
}

QString ReadingLogName(const QString& regimeFile) {
    const int n = RegimeNumberOf(regimeFile);
    return QStringLiteral("Анализатор Режим ") + (n >= 0 ? QString::number(n) : QFileInfo(regimeFile).completeBaseName()) +
           QStringLiteral(".csv");
}

QList<LogRow> LogRowsOf(const QList<Reading>& readings, const PeriodValues& values, bool stored, const QString& why) {
    QList<LogRow> rows;
    int lastAccepted = -1;
    for (int i = 0; i < readings.size(); ++i)
        if (readings[i].accepted) lastAccepted = i;
    const QString notStored = QStringLiteral("не записано: ") + why;
    for (int i = 0; i < readings.size(); ++i) {
        const Reading& r = readings[i];
        LogRow row{r.time, {}, {}};
        if (!r.accepted) {
            row.values = r.values;
            row.outcome = r.refusal;
        } else {
            for (double v : r.numbers) row.values.append(LogNumber(v));
            if (values.averaged) row.outcome = QStringLiteral("в среднем");
            else if (i != lastAccepted) row.outcome = QStringLiteral("не использовано: есть более новое");
            else row.outcome = stored ? QStringLiteral("записано") : notStored;
        }
        rows.append(row);
    }
    if (values.averaged && values.used > 0) {
        LogRow mean{readings.value(lastAccepted).time, {}, {}};
        for (double v : values.values) mean.values.append(LogNumber(v));
        mean.outcome = stored ? QStringLiteral("записано: среднее из %1").arg(values.used) : notStored;
        rows.append(mean);
    }
    return rows;
}

bool AppendReadingLog(const QString& objectFolder, const QString& regimeFile, const QList<LogRow>& rows,
                      QString* error) {
    if (rows.isEmpty()) return true;
    const QString path = core::ResolvePath(objectFolder, ReadingLogName(regimeFile));
    QByteArray bytes;
    if (QFileInfo::exists(path)) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            if (error) *error = QStringLiteral("Ошибка чтения файла ") + path;
            return false;
        }
        bytes = f.readAll();
        if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes += "\r\n";  // a line cut by a crash stays apart
    }
    QString text;
    if (bytes.isEmpty())
        text = QStringLiteral("Время;CO;NO;O2;CO2;Значение 5;Значение 6;Тух.г;Результат\r\n");
    for (const LogRow& row : rows) {
        QStringList cells{row.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))};
        for (int k = 0; k < kValueCount; ++k) cells.append(CsvField(row.values.value(k)));
        cells.append(CsvField(row.outcome));
        text += cells.join(u';') + QStringLiteral("\r\n");
    }
    bytes += core::EncodeCp1251(text);
    if (core::WriteFileAtomic(path, bytes, error)) return true;
    if (error && error->isEmpty()) *error = QStringLiteral("Ошибка записи файла ") + path;
    return false;
}

}  // namespace analyser
