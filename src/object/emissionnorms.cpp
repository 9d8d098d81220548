#include "object/emissionnorms.h"

#include <QFileInfo>
#include <cmath>

#include "core/names.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "core/textfile.h"
#include "engine/engine.h"
#include "object/generaldata.h"

namespace object {

namespace {

constexpr int kFieldCount = 7;

const QStringList& HeaderFields() {
    static const QStringList h{QStringLiteral("Набор"),           QStringLiteral("Топливо"),
                               QStringLiteral("Вещество"),        QStringLiteral("Предел, мг/м3"),
                               QStringLiteral("Документ"),        QStringLiteral("Мощность от, МВт"),
                               QStringLiteral("Мощность до, МВт")};
    return h;
}

QString JoinFields(const QStringList& fields) {
    QStringList quoted;
    for (QString f : fields) quoted.append(u'"' + f.replace(u'"', u'\'') + u'"');
    return quoted.join(u';');
}

// Splits a line of quoted fields separated by ";" (blanks allowed between them); false when
// the line is not wholly of that form.
bool SplitFields(const QString& line, QStringList& fields) {
    fields.clear();
    int i = 0;
    const int n = static_cast<int>(line.size());
    auto skipBlanks = [&] {
        while (i < n && (line[i] == u' ' || line[i] == u'\t')) ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= n || line[i] != u'"') return false;
        const int close = static_cast<int>(line.indexOf(u'"', i + 1));
        if (close < 0) return false;
        fields.append(line.mid(i + 1, close - i - 1));
        i = close + 1;
        skipBlanks();
        if (i >= n) return true;
        if (line[i] != u';') return false;
        ++i;
    }
}

bool ParseField(const QString& text, double& out) {
    double v = 0;
    if (!core::ParseWholeNumber(text.trimmed().toStdString(), v) || !std::isfinite(v)) return false;
    out = v;
    return true;
}

QString NumberField(double v) { return core::StoredForm(static_cast<float>(v)); }

bool SameText(const QString& a, const QString& b) { return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0; }

}  // namespace

QString PollutantText(Pollutant p) { return p == Pollutant::CO ? QStringLiteral("CO") : QStringLiteral("NOx"); }

QStringList EmissionNorms::sets() const {
    QStringList names;
    for (const auto& l : limits) {
        bool seen = false;
        for (const QString& n : names) seen = seen || SameText(n, l.set);
        if (!seen) names.append(l.set.trimmed());
    }
    return names;
}

EmissionNorms DefaultEmissionNorms() {
    const QString doc = QStringLiteral("ГОСТ Р 55173-2012, табл. 3");
    EmissionNorms n;
    for (const auto& [fuel, limit] : {std::pair{object::kNaturalGas, 125.0}, std::pair{object::kPropane, 125.0},
                                      std::pair{object::kFuelOil, 250.0}}) {
        EmissionLimit l;
        l.set = kDefaultNormsSet;
        l.fuel = fuel;
        l.pollutant = Pollutant::NOx;
        l.limit = limit;
        l.document = doc;
        n.limits.append(l);
    }
    return n;
}

QString NormsHeaderLine() { return JoinFields(HeaderFields()); }

QString NormsLine(const EmissionLimit& l) {
    return JoinFields({l.set.trimmed(), l.fuel.trimmed(), PollutantText(l.pollutant), NumberField(l.limit),
                       l.document.trimmed(), l.ranged ? NumberField(l.outputFrom) : QString(),
                       l.ranged ? NumberField(l.outputTo) : QString()});
}

QString ParseNormsLine(const QString& line, EmissionLimit& l) {
    QStringList f;
    if (!SplitFields(line, f) || f.size() != kFieldCount)
        return QStringLiteral("ожидается %1 полей в кавычках через «;»").arg(kFieldCount);
    l = EmissionLimit();
    l.set = f[0].trimmed();
    l.fuel = f[1].trimmed();
    if (SameText(f[2], QStringLiteral("CO"))) l.pollutant = Pollutant::CO;
    else if (SameText(f[2], QStringLiteral("NOx"))) l.pollutant = Pollutant::NOx;
    else return QStringLiteral("неизвестное вещество «%1» (ожидается CO или NOx)").arg(f[2]);
    if (!ParseField(f[3], l.limit)) return QStringLiteral("предел «%1» не число").arg(f[3]);
    l.document = f[4].trimmed();
    const bool fromEmpty = f[5].trimmed().isEmpty(), toEmpty = f[6].trimmed().isEmpty();
    if (fromEmpty != toEmpty) return QStringLiteral("диапазон мощности задан одной границей");
    if (!fromEmpty) {
        l.ranged = true;
        if (!ParseField(f[5], l.outputFrom)) return QStringLiteral("мощность «%1» не число").arg(f[5]);
        if (!ParseField(f[6], l.outputTo)) return QStringLiteral("мощность «%1» не число").arg(f[6]);
    }
    return QString();
}

QString CheckEmissionNorms(const EmissionNorms& norms, int* row) {
    const QStringList fuels = object::FuelTypes();
    for (int i = 0; i < norms.limits.size(); ++i) {
        const EmissionLimit& l = norms.limits[i];
        if (row) *row = i;
        if (l.set.trimmed().isEmpty()) return QStringLiteral("не задано имя набора норм");
        if (SameText(l.set, kNoNorms)) return QStringLiteral("имя набора «%1» означает «без норм»").arg(l.set);
        bool known = false;
        for (const QString& f : fuels) known = known || SameText(f, l.fuel);
        if (!known) return QStringLiteral("неизвестное топливо «%1»").arg(l.fuel);
        if (!(l.limit > 0) || !std::isfinite(l.limit)) return QStringLiteral("предел должен быть больше нуля");
        if (l.document.trimmed().isEmpty()) return QStringLiteral("не указан документ, откуда взят предел");
        if (l.ranged && !(l.outputFrom >= 0 && l.outputFrom < l.outputTo))
            return QStringLiteral("мощность «от» должна быть не меньше 0 и меньше мощности «до»");
        for (int j = 0; j < i; ++j) {
            const EmissionLimit& o = norms.limits[j];
            if (!SameText(o.set, l.set) || !SameText(o.fuel, l.fuel) || o.pollutant != l.pollutant) continue;
            const double lo1 = l.ranged ? l.outputFrom : 0, hi1 = l.ranged ? l.outputTo : INFINITY;
            const double lo2 = o.ranged ? o.outputFrom : 0, hi2 = o.ranged ? o.outputTo : INFINITY;
            if (lo1 < hi2 && lo2 < hi1)
                return QStringLiteral("предел %1 для «%2» в наборе «%3» уже задан в строке %4 для той же мощности")
                    .arg(PollutantText(l.pollutant), l.fuel, l.set)
                    .arg(j + 1);
        }
    }
    if (row) *row = -1;
    return QString();
}

bool ReadEmissionNorms(const QString& templateFolder, EmissionNorms& norms, QString* error) {
    norms = DefaultEmissionNorms();
    const QString path = core::ResolvePath(templateFolder, kNormsFile);
    if (!QFileInfo::exists(path)) return true;
    QStringList lines;
    if (!core::ReadTextLines(path, lines, error)) return false;
    auto refuse = [&](const QString& why) {
        norms = DefaultEmissionNorms();
        if (error) *error = path + QStringLiteral(": ") + why;
        return false;
    };
    QStringList header;
    if (lines.isEmpty() || !SplitFields(lines[0], header) || header.size() != kFieldCount)
        return refuse(QStringLiteral("нет строки заголовка"));
    for (int k = 0; k < kFieldCount; ++k)
        if (!SameText(header[k], HeaderFields()[k])) return refuse(QStringLiteral("нет строки заголовка"));
    EmissionNorms read;
    for (int i = 1; i < lines.size(); ++i) {
        EmissionLimit l;
        const QString why = ParseNormsLine(lines[i], l);
        if (!why.isEmpty()) return refuse(QStringLiteral("строка %1: ").arg(i + 1) + why);
        read.limits.append(l);
    }
    int row = -1;
    const QString why = CheckEmissionNorms(read, &row);
    if (!why.isEmpty()) return refuse(QStringLiteral("строка %1: ").arg(row + 2) + why);
    norms = read;
    return true;
}

bool WriteEmissionNorms(const QString& templateFolder, const EmissionNorms& norms, QString* error) {
    const QString path = core::ResolvePath(templateFolder, kNormsFile);
    int row = -1;
    const QString why = CheckEmissionNorms(norms, &row);
    if (!why.isEmpty()) {
        if (error) *error = path + QStringLiteral(": строка %1: ").arg(row + 2) + why;
        return false;
    }
    QStringList lines{NormsHeaderLine()};
    for (const auto& l : norms.limits) lines.append(NormsLine(l));
    return core::WriteTextLines(path, lines, error);
}

bool ReadObjectNorms(const QString& objectFolder, QString& choice, QString* error) {
    choice.clear();
    const QString path = core::ResolvePath(objectFolder, kObjectNormsFile);
    if (!QFileInfo::exists(path)) return true;
    QStringList lines;
    if (!core::ReadTextLines(path, lines, error)) return false;
    if (lines.size() != 1 || !lines[0].trimmed().startsWith(u'"')) {
        if (error) *error = path + QStringLiteral(": ожидается одна строка в кавычках");
        return false;
    }
    choice = core::UnquoteLine(lines[0]).trimmed();
    return true;
}

bool WriteObjectNorms(const QString& objectFolder, const QString& choice, QString* error) {
    return core::WriteQuotedFile(core::ResolvePath(objectFolder, kObjectNormsFile), {choice.trimmed()}, error);
}

double NominalOutputMW(const QStringList& general) {
    engine::CalcInputs in;
    for (int i = 0; i < engine::kGeneralCount && i < general.size(); ++i) in.general[i] = general[i].toStdString();
    const double mcal = engine::NominalOutputMcal(engine::Prepare(in));  // thousands of kcal/h
    const double mw = mcal / 860.0;
    return std::isfinite(mw) && mw > 0 ? mw : 0.0;
}

AppliedLimit FindLimit(const EmissionNorms& norms, const QString& choice, const QString& fuel, double outputMW,
                       Pollutant p) {
    AppliedLimit a;
    if (SameText(choice, kNoNorms)) return a;
    QString set = choice.trimmed();
    if (set.isEmpty()) {
        const QStringList sets = norms.sets();
        if (sets.isEmpty()) return a;
        set = sets.first();
    }
    a.set = set;
    for (const auto& l : norms.limits) {
        if (!SameText(l.set, set) || !SameText(l.fuel, fuel) || l.pollutant != p) continue;
        if (l.ranged && !(outputMW >= l.outputFrom && outputMW < l.outputTo)) continue;
        a.found = true;
        a.limit = l.limit;
        a.document = l.document;
        return a;
    }
    return a;
}

AppliedLimit ObjectLimit(const EmissionNorms& norms, const QString& choice, const QStringList& general, Pollutant p) {
    return FindLimit(norms, choice, general.value(object::FuelType), NominalOutputMW(general), p);
}

AppliedLimit LimitForObject(const QString& templateFolder, const QString& objectFolder, const QStringList& general,
                            Pollutant p, QString* error) {
    EmissionNorms norms;
    QString choice, why;
    if (!ReadEmissionNorms(templateFolder, norms, &why) && error) *error = why;
    if (!objectFolder.isEmpty() && !ReadObjectNorms(objectFolder, choice, &why) && error) *error = why;
    return ObjectLimit(norms, choice, general, p);
}

Verdict Judge(double value, double u95, const AppliedLimit& limit) {
    if (!limit.found || !std::isfinite(value) || !std::isfinite(u95)) return Verdict::None;
    // the values are shown with one or two decimals: a sum that lands on the limit must
    // count as on it, not a float step above (far below the last shown decimal)
    const double eps = 1e-6 * std::max(1.0, std::abs(limit.limit));
    const double u = std::abs(u95);
    if (value - u - limit.limit > eps) return Verdict::Exceeds;
    if (value + u - limit.limit <= eps) return Verdict::Complies;
    return Verdict::WithinUncertainty;
}

QString VerdictText(Verdict v) {
    switch (v) {
    case Verdict::Complies: return QStringLiteral("соответствует");
    case Verdict::WithinUncertainty: return QStringLiteral("в пределах погрешности");
    case Verdict::Exceeds: return QStringLiteral("превышение");
    case Verdict::None: break;
    }
    return QString();
}

}  // namespace object
