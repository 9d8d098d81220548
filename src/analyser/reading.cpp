#include "analyser/reading.h"

#include "object/generaldata.h"
#include "regime/regimestore.h"

namespace analyser {

bool BeforeEconomiserAllowed(const QStringList& general) { return general.value(object::Economiser) != object::kWithoutEconomiser; }

QStringList ParseAnalyserText(const QString& text) {
    QString rest = text + u' ';
    rest.replace(QChar(13), QChar(u' '));
    QStringList values;
    qsizetype pos = 0;
    for (int k = 0; k < kValueCount; ++k) {
        while (pos < rest.size() && rest.at(pos) == u' ') ++pos;
        const qsizetype blank = rest.indexOf(u' ', pos);
        if (blank < 0) break;
        values.append(rest.mid(pos, blank - pos + 1));
        pos = blank + 1;
    }
    while (values.size() < kValueCount) values.append(QString());
    return values;
}

FieldMap FieldsOf(SamplingPoint point) {
    if (point == SamplingPoint::BeforeEconomiser) return {35, 38, 37, 36, 40};
    return {11, 14, 13, 12, 17};
}

void PutAnalyserValues(QStringList& fields, const QStringList& values, SamplingPoint point, bool temperature) {
    while (fields.size() < app::kInputCount) fields.append(QString());
    const FieldMap f = FieldsOf(point);
    fields[f.co] = values.value(0);
    fields[f.no] = values.value(1);
    fields[f.o2] = values.value(2);
    fields[f.co2] = values.value(3);
    if (temperature) fields[f.temperature] = values.value(6);
}

StoreOutcome StoreAnalyserReading(app::AppState& s, QStringList& fields, const QString& text, SamplingPoint point,
                                  bool temperature, const std::function<void(const QString&)>& notice) {
    StoreOutcome out;
    if (point == SamplingPoint::BeforeEconomiser && !BeforeEconomiserAllowed(s.general)) point = SamplingPoint::AfterEconomiser;
    PutAnalyserValues(fields, ParseAnalyserText(text), point, temperature);
    if (!regime::SaveRegimeInputs(s, fields, &out.error)) return out;
    out.saved = true;
    out.calc = regime::CalculateCurrentRegime(s, notice);
    out.sortWarning = regime::SortRegimeList(s);
    return out;
}

}  // namespace analyser
