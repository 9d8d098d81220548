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
#include "regime/repeatability.h"

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

// A text as received, always quoted, so a spreadsheet never reads "3.8" as a date.
QString Quoted(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u'?';
    return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString LogNumber(double v) { return core::StoredForm(static_cast<float>(v)).replace(u'.', u','); }

}  // namespace

bool BeforeEconomiserAllowed(const QStringList& general) { return general.value(object::Economiser) != object::kWithoutEconomiser; }

// ------------------------------------------------------------------ framing

void ReadingFramer::restart(qint64 ms) {
    tail_.clear();
    synced_ = false;
    lineFeeds_ = false;
    afterCr_ = false;
    crInLfMode_ = false;
    lastByteMs_ = ms;  // silence from the opening on counts as a pause too
    lastLineEndMs_ = -1;
    intervals_.clear();
    noise_.clear();
    noiseCount_ = 0;
}

bool GluedReadings(QByteArrayView line) {
    int complete = 0;
    for (QByteArrayView rest = line; !rest.isEmpty();) {
        const qsizetype cr = rest.indexOf('\r');
        const QByteArrayView part = cr < 0 ? rest : rest.first(cr);
        if (CountValues(part) >= kValueCount) ++complete;
        if (cr < 0) break;
        rest = rest.sliced(cr + 1);
    }
    return complete >= 2;
}

qint64 ReadingFramer::deviceInterval() const {
    if (intervals_.isEmpty()) return -1;
    QList<qint64> sorted = intervals_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
}

qint64 ReadingFramer::pauseLimit() const {
    const qint64 interval = deviceInterval();
    const qint64 base = interval > 0 ? interval : std::max<qint64>(periodMs_, 1);
    return base + std::max<qint64>(250, base / 4);
}

void ReadingFramer::emitText(QList<Fragment>& out, const QByteArray& text, qint64 ms) {
    bool blank = true;
    for (char c : text) blank = blank && (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f');
    if (blank) return;
    out.append({synced_ ? Fragment::Line : Fragment::Unsynced, text, ms, 0});
}

void ReadingFramer::flushNoise(QList<Fragment>& out, qint64 ms) {
    if (noiseCount_ == 0) return;
    out.append({Fragment::Noise, noise_, ms, noiseCount_});
    noise_.clear();
    noiseCount_ = 0;
}

void ReadingFramer::endLine(QList<Fragment>& out, qint64 ms) {
    while (tail_.endsWith('\r')) tail_.chop(1);  // the CR of a CR LF line end
    emitText(out, tail_, ms);
    synced_ = true;
    tail_.clear();
    if (ms >= 0) {
        // bursts of lines at once say nothing about the interval
        if (lastLineEndMs_ >= 0 && ms - lastLineEndMs_ >= 100) {
            intervals_.append(ms - lastLineEndMs_);
            if (intervals_.size() > 5) intervals_.removeFirst();
        }
        lastLineEndMs_ = ms;
    }
}

void ReadingFramer::carriageReturn(QList<Fragment>& out, qint64 ms) {
    if (!lineFeeds_) {
        endLine(out, ms);
        afterCr_ = true;
        return;
    }
    // line feeds are expected: the CR ends a reading only where the line holds seven values
    const qsizetype lastCr = tail_.lastIndexOf('\r');
    const QByteArrayView group = QByteArrayView(tail_).sliced(lastCr + 1);
    const int inGroup = CountValues(group);
    int inLine = 0;
    for (const QByteArray& part : tail_.split('\r')) inLine += CountValues(part);
    if (inLine < kValueCount) {
        tail_.append('\r');  // a value separator, or a stray CR inside a reading
        return;
    }
    if (inGroup >= 2 && inGroup < inLine) {
        // a fragment, then a reading of its own after a CR: never one reading
        QByteArray head = tail_.first(lastCr);
        tail_ = tail_.sliced(lastCr + 1);
        while (head.endsWith('\r')) head.chop(1);
        emitText(out, head, ms);
    }
    endLine(out, ms);
    afterCr_ = true;
    crInLfMode_ = true;
}

QList<QByteArray> ReadingFramer::feed(const QByteArray& bytes) {
    QList<QByteArray> lines;
    for (const Fragment& f : feedAt(bytes, -1))
        if (f.kind == Fragment::Line) lines.append(f.text);
    return lines;
}

QList<Fragment> ReadingFramer::expire(qint64 ms) {
    QList<Fragment> out;
    if (ms < 0 || lastByteMs_ < 0 || ms - lastByteMs_ <= pauseLimit()) return out;
    flushNoise(out, ms);
    bool blank = true;
    for (char c : std::as_const(tail_)) blank = blank && (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f');
    if (!blank) {
        // a reading ended by CR while line feeds were expected: complete, the CR was its end
        QByteArray text = tail_;
        while (text.endsWith('\r')) text.chop(1);
        out.append({synced_ ? Fragment::Cut : Fragment::Unsynced, text, ms, 0});
    }
    tail_.clear();
    afterCr_ = false;
    synced_ = true;  // after a pause the next byte starts a reading
    lastByteMs_ = ms;
    return out;
}

QList<Fragment> ReadingFramer::feedAt(const QByteArray& bytes, qint64 ms) {
    QList<Fragment> out = expire(ms);
    if (bytes.isEmpty()) return out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n') {
            flushNoise(out, ms);
            lineFeeds_ = true;
            if (afterCr_) {
                afterCr_ = false;  // CR LF: the CR has ended the reading
                crInLfMode_ = false;
                continue;
            }
            endLine(out, ms);
        } else if (c == '\r') {
            flushNoise(out, ms);
            carriageReturn(out, ms);
        } else if ((u < 0x20 && c != '\t' && c != '\v' && c != '\f') || u == 0x7f) {
            // line noise: never part of a reading
            if (noise_.size() < 16) noise_.append(c);
            ++noiseCount_;
        } else {
            flushNoise(out, ms);
            if (afterCr_ && crInLfMode_) lineFeeds_ = false;  // the analyser ends its readings with CR alone
            afterCr_ = false;
            crInLfMode_ = false;
            tail_.append(c);
            if (tail_.size() > kMaxReadingBytes) {
                // no line end in sight: noise, or a speed that does not match; start over
                out.append({Fragment::Noise, tail_.first(16), ms, static_cast<int>(tail_.size())});
                const qint64 keep = lastByteMs_;
                restart(keep);
            }
        }
    }
    flushNoise(out, ms);
    if (ms >= 0) lastByteMs_ = ms;
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

namespace {

// Decimal comma, one decimal (two where one would not show that a limit is passed).
QString Amount(double v, double limit) {
    double r = core::RoundHalfEven(std::fabs(v), 1);
    if (r <= limit) r = core::RoundHalfEven(std::fabs(v), 2);
    return core::StoredForm(static_cast<float>(r)).replace(u'.', u',');
}

}  // namespace

Steadiness JudgeSteadiness(const QList<Reading>& history, const QDateTime& now, int seconds, bool temperature) {
    Steadiness w;
    w.seconds = seconds;
    const QDateTime from = now.addSecs(-seconds);
    QList<const Reading*> in;
    for (const Reading& r : history)
        if (r.accepted && r.time >= from && r.time <= now) in.append(&r);
    w.readings = static_cast<int>(in.size());
    if (in.isEmpty()) {
        w.verdict = QStringLiteral("Нет показаний за %1 с").arg(seconds);
        return w;
    }
    w.span = in.first()->time.msecsTo(in.last()->time) / 1000.0;
    // least squares against the time in seconds from the window's start
    QList<double> t;
    for (const Reading* r : in) t.append(from.msecsTo(r->time) / 1000.0);
    const double tMean = Mean(t);
    double stt = 0;
    for (double x : t) stt += (x - tMean) * (x - tMean);
    for (int k = 0; k < kValueCount; ++k) {
        QList<double> v;
        int decimals = 0;
        for (const Reading* r : in) {
            v.append(r->numbers[k]);
            decimals = std::max(decimals, DecimalsOf(r->values.value(k)));
        }
        const double m = Mean(v);
        w.mean[k] = core::RoundHalfEven(m, std::min(decimals + 1, 6));
        w.sd[k] = Spread(v);
        double stv = 0;
        for (int i = 0; i < v.size(); ++i) stv += (t[i] - tMean) * (v[i] - m);
        w.change[k] = stt > 0 ? stv / stt * seconds : 0;
    }
    if (w.readings < 3 || w.span < 0.75 * seconds) {
        w.verdict = QStringLiteral("Мало показаний: %1 за %2 с из %3")
                        .arg(w.readings)
                        .arg(static_cast<int>(std::floor(w.span)))
                        .arg(seconds);
        return w;
    }
    struct Quantity {
        int k;
        const char* name;
        const char* unit;
        double limit;
    };
    QList<Quantity> judged = {{2, "O2", " %", 0.2}, {0, "CO", "", std::max(10.0, 0.1 * std::fabs(w.mean[0]))}};
    if (temperature) judged.append({6, "Тух.г", "", 2.0});
    QStringList why;
    for (const Quantity& q : judged) {
        const QString name = QString::fromUtf8(q.name), unit = QString::fromUtf8(q.unit);
        if (std::fabs(w.change[q.k]) > q.limit)
            why.append(QStringLiteral("%1 %2 на %3%4 за %5 с")
                           .arg(name, w.change[q.k] > 0 ? QStringLiteral("растёт") : QStringLiteral("падает"),
                                Amount(w.change[q.k], q.limit), unit)
                           .arg(seconds));
        else if (w.sd[q.k] > q.limit)
            why.append(QStringLiteral("разброс %1 %2%3 за %4 с").arg(name, Amount(w.sd[q.k], q.limit), unit).arg(seconds));
    }
    w.steady = why.isEmpty();
    w.verdict = w.steady ? QStringLiteral("Стабильно") : why.join(QStringLiteral("; "));
    return w;
}

PeriodValues CombineWithWindow(const QList<Reading>& readings, const Steadiness& window, bool average) {
    PeriodValues p = CombineReadings(readings, average);
    if (p.used == 0 || !average || !window.steady) return p;
    p.values = window.mean;
    p.sd = window.sd;
    p.used = window.readings;
    p.sdCO = window.sd[0];
    p.sdO2 = window.sd[2];
    p.sdTemperature = window.sd[6];
    p.steady = true;
    p.fromWindow = true;
    p.windowSpan = window.span;
    p.windowSeconds = window.seconds;
    return p;
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
        p.sd[k] = Spread(v);
        if (k == 0) p.sdCO = Spread(v);
        if (k == 2) p.sdO2 = Spread(v);
        if (k == 6) p.sdTemperature = Spread(v);
    }
    p.steady = Steady(p);
    return p;
}

QString FieldText(double value) { return core::EditorForm(static_cast<float>(value)); }

int No2FieldOf(SamplingPoint point) { return point == SamplingPoint::BeforeEconomiser ? 39 : 15; }

double No2Of(No2Policy p, double no) {
    if (p == No2Policy::FivePercent) return core::RoundHalfEven(no * 0.05 / 0.95, 2);
    return 0;
}

QString UnmeasuredNote(No2Policy p, bool temperature) {
    QString t = QStringLiteral("Не измеряются анализатором: NO2 (") + No2PolicyText(p) + u')';
    if (!temperature) t += QStringLiteral(", Тух.г (не считывается: оставлено введённое)");
    return t;
}

void PutAnalyserValues(QStringList& fields, const std::array<double, kValueCount>& values, SamplingPoint point,
                       bool temperature, No2Policy no2) {
    while (fields.size() < app::kInputCount) fields.append(QString());
    const FieldMap f = FieldsOf(point);
    fields[f.co] = FieldText(values[0]);
    fields[f.no] = FieldText(values[1]);
    fields[f.o2] = FieldText(values[2]);
    fields[f.co2] = FieldText(values[3]);
    if (temperature) fields[f.temperature] = FieldText(values[6]);
    // NO and NO2 add up to NOx: an NO2 typed for an earlier NO must not stay beside a fresh one
    if (no2 != No2Policy::Keep) fields[No2FieldOf(point)] = FieldText(No2Of(no2, values[1]));
}

StoreOutcome StoreAnalyserValues(app::AppState& s, QStringList& fields, const PeriodValues& values, SamplingPoint point,
                                 bool temperature, const std::function<void(const QString&)>& notice,
                                 No2Policy no2) {
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
    PutAnalyserValues(current, values.values, point, temperature, no2);
    if (!regime::SaveRegimeInputs(s, current, &out.error)) return out;
    fields = current;
    out.saved = true;
    // the spread of a mean goes with the regime (the type A part of its uncertainty); a single
    // reading, and the NO2 the analyser does not measure, leave none
    const FieldMap f = FieldsOf(point);
    const int averaged = values.averaged ? values.used : 1;
    QList<regime::SpreadEntry> spread;
    auto entry = [&](int field, int value) {
        float stored = 0.0f;
        core::ParseEditorFloat(current[field].toStdString(), stored);
        spread.append({field, values.sd[static_cast<std::size_t>(value)], averaged, stored});
    };
    entry(f.co, 0);
    entry(f.no, 1);
    entry(f.o2, 2);
    entry(f.co2, 3);
    if (temperature) entry(f.temperature, 6);
    if (no2 != No2Policy::Keep) spread.append({No2FieldOf(point), 0.0, 0, 0.0f});
    QString why;
    if (!regime::WriteRepeatability(s.currentObjectFolder, s.currentRegimeFile, spread, &why) && notice)
        notice(QStringLiteral("Разброс показаний не записан: ") + why);
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

QList<LogRow> LogRowsOf(const QList<Reading>& readings, const PeriodValues& values, bool stored, const QString& why,
                        const QString& no2, const QList<LogRow>& notes) {
    QList<LogRow> rows;
    int lastAccepted = -1;
    for (int i = 0; i < readings.size(); ++i)
        if (readings[i].accepted) lastAccepted = i;
    const QString notStored = QStringLiteral("не записано: ") + why;
    const QString withNo2 = no2.isEmpty() ? QString() : QStringLiteral(", NO2: ") + no2;
    for (int i = 0; i < readings.size(); ++i) {
        const Reading& r = readings[i];
        LogRow row{r.time, {}, {}, false};
        if (!r.accepted) {
            row.values = r.values;
            row.outcome = r.refusal;
            row.received = true;
        } else {
            for (double v : r.numbers) row.values.append(LogNumber(v));
            if (values.averaged) row.outcome = QStringLiteral("в среднем");
            else if (i != lastAccepted) row.outcome = QStringLiteral("не использовано: есть более новое");
            else row.outcome = stored ? QStringLiteral("записано") + withNo2 : notStored;
        }
        rows.append(row);
    }
    if (values.averaged && values.used > 0) {
        LogRow mean{readings.value(lastAccepted).time, {}, {}, false};
        for (double v : values.values) mean.values.append(LogNumber(v));
        QString what = QStringLiteral("записано: среднее из %1").arg(values.used);
        if (values.fromWindow)
            what += QStringLiteral(" показаний за %1 с (окно %2 с, стабильно)")
                        .arg(LogNumber(core::RoundHalfEven(values.windowSpan, 0)))
                        .arg(values.windowSeconds);
        mean.outcome = stored ? what + withNo2 : notStored;
        rows.append(mean);
    }
    // the notes among the readings by time; a note at the same time as a reading comes first
    for (const LogRow& n : notes) {
        qsizetype at = 0;
        while (at < rows.size() && rows[at].time <= n.time) ++at;
        rows.insert(at, n);
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
        for (int k = 0; k < kValueCount; ++k) {
            const QString v = row.values.value(k);
            cells.append(row.received && !v.isEmpty() ? Quoted(v) : CsvField(v));
        }
        cells.append(CsvField(row.outcome));
        text += cells.join(u';') + QStringLiteral("\r\n");
    }
    bytes += core::EncodeCp1251(text);
    if (core::WriteFileAtomic(path, bytes, error)) return true;
    if (error && error->isEmpty()) *error = QStringLiteral("Ошибка записи файла ") + path;
    return false;
}

}  // namespace analyser
