// The analyser's reading parser: arbitrary bytes arriving in arbitrary chunks, with the port
// opened again part-way. No input crashes it; every reading it gives was received whole
// between two line ends; an accepted reading is seven numbers within their ranges; and
// what a period gives to store comes from accepted readings only.
//
// Input: byte 0 holds the switches (temperature read, averaging, a reopening), byte 1 the
// seed of the chunk sizes, the rest is the stream.

#include <QList>
#include <cmath>
#include <cstdint>

#include "analyser/reading.h"
#include "core/numparse.h"
#include "core/textfile.h"
#include "fuzzfile.h"

namespace {

bool LineEnd(char c) { return c == '\r' || c == '\n'; }

// The line stands in the (cleaned) stream between two line ends. A line may keep carriage
// returns of its own (a CR-only analyser's parts), at its ends too: those are left out.
bool ReceivedWhole(const QByteArray& stream, QByteArray line) {
    while (line.startsWith('\r')) line.remove(0, 1);
    while (line.endsWith('\r')) line.chop(1);
    if (line.isEmpty()) return true;
    for (qsizetype at = stream.indexOf(line, 1); at > 0; at = stream.indexOf(line, at + 1))
        if (LineEnd(stream[at - 1]) && at + line.size() < stream.size() && LineEnd(stream[at + line.size()])) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool temperature = data[0] & 1, average = data[0] & 2, reopen = data[0] & 4;
    uint32_t seed = data[1] + 1u;
    const QByteArray stream(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
    // the stream as the readings are framed from it: control bytes other than blanks, tabs,
    // form feeds and line ends are noise the framer drops
    QByteArray clean;
    for (const char c : stream)
        if (static_cast<unsigned char>(c) >= 0x20 ? c != 0x7F
                                                  : (c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'))
            clean.append(c);

    analyser::ReadingFramer framer;
    framer.restart();
    QList<analyser::Reading> readings;
    qsizetype at = 0;
    while (at < stream.size()) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype n = std::min<qsizetype>(1 + (seed >> 16) % 64, stream.size() - at);
        if (reopen && at > 0 && (seed >> 8) % 7 == 0) framer.restart();
        for (const QByteArray& line : framer.feed(stream.mid(at, n))) {
            FUZZ_CHECK(!line.contains('\n'));
            FUZZ_CHECK(line.size() <= analyser::kMaxReadingBytes);
            FUZZ_CHECK(ReceivedWhole(clean, line));
            readings.append(analyser::ParseReading(core::DecodeCp1251(line), temperature));
        }
        FUZZ_CHECK(framer.pending() <= analyser::kMaxReadingBytes);
        at += n;
    }

    int accepted = 0;
    const analyser::Reading* newest = nullptr;
    for (const analyser::Reading& r : readings) {
        FUZZ_CHECK(r.accepted == r.refusal.isEmpty());
        if (!r.accepted) continue;
        ++accepted;
        newest = &r;
        FUZZ_CHECK(r.values.size() == analyser::kValueCount);
        FUZZ_CHECK(!analyser::GluedReadings(r.text.toLatin1()));
        for (int k = 0; k < analyser::kValueCount; ++k) {
            FUZZ_CHECK(std::isfinite(r.numbers[k]));
            double again = 0;
            FUZZ_CHECK(core::ParseWholeNumber(QString(r.values[k]).replace(u',', u'.').toStdString(), again));
            FUZZ_CHECK(again == r.numbers[k]);
        }
        FUZZ_CHECK(r.numbers[2] >= 0 && r.numbers[2] < 21);
        FUZZ_CHECK(r.numbers[0] >= 0 && r.numbers[1] >= 0 && r.numbers[3] >= 0);
    }

    const analyser::PeriodValues p = analyser::CombineReadings(readings, average);
    if (accepted == 0) {
        FUZZ_CHECK(p.used == 0);
        return 0;
    }
    if (!average) {
        FUZZ_CHECK(p.used == 1);
        for (int k = 0; k < analyser::kValueCount; ++k) FUZZ_CHECK(p.values[k] == newest->numbers[k]);
    } else {
        FUZZ_CHECK(p.used == accepted);
        for (int k = 0; k < analyser::kValueCount; ++k) {
            double lo = INFINITY, hi = -INFINITY;
            for (const analyser::Reading& r : readings)
                if (r.accepted) lo = std::min(lo, r.numbers[k]), hi = std::max(hi, r.numbers[k]);
            const double slack = 0.05 + 1e-9 * std::max(std::fabs(lo), std::fabs(hi));
            FUZZ_CHECK(p.values[k] >= lo - slack && p.values[k] <= hi + slack);
        }
        FUZZ_CHECK(std::isfinite(p.sdO2) && std::isfinite(p.sdCO) && std::isfinite(p.sdTemperature));
    }
    // what goes into the fields reads back as the values stored, within the seven digits of
    // the stored number form
    QStringList fields(43);
    analyser::PutAnalyserValues(fields, p.values, analyser::SamplingPoint::AfterEconomiser, temperature);
    const analyser::FieldMap map = analyser::FieldsOf(analyser::SamplingPoint::AfterEconomiser);
    const int fieldOf[] = {map.co, map.no, map.o2, map.co2};
    for (int k = 0; k < 4; ++k) {
        const double back = core::ParseEditorNumber(fields[fieldOf[k]].toStdString());
        FUZZ_CHECK(std::fabs(back - p.values[k]) <= 1e-6 * std::fabs(p.values[k]) + 1e-30);
    }
    return 0;
}
