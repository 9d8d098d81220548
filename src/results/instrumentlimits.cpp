#include "results/instrumentlimits.h"

#include <QFileInfo>
#include <QJsonObject>
#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "core/textfile.h"
#include "regime/repeatability.h"

namespace results {

bool ReadInstrumentLimits(const QString& templateFolder, engine::InstrumentLimits& limits, QString* error) {
    limits = engine::DefaultInstrumentLimits();
    const QString path = core::ResolvePath(templateFolder, kLimitsFile);
    if (!QFileInfo::exists(path)) return true;
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("instrument-limits"), path, lines, error)) return false;
    // 43 lines: a file of an earlier version, the four later values at their defaults
    const int extra = static_cast<int>(core::kLimitLineNames.size());
    if (lines.size() != engine::kInputCount && lines.size() != engine::kInputCount + extra) {
        if (error)
            *error =
                path +
                QStringLiteral(": в файле %1 строк, ожидается %2").arg(lines.size()).arg(engine::kInputCount + extra);
        return false;
    }
    // the file table has checked every line's form
    auto number = [](const QString& text) {
        double v = 0.0;
        core::ParseWholeNumber(text.toStdString(), v);
        return v;
    };
    engine::InstrumentLimits read = engine::DefaultInstrumentLimits();
    for (int k = 0; k < engine::kInputCount; ++k) {
        const QStringList parts = lines[k].split(u' ', Qt::SkipEmptyParts);
        read[k] = {number(parts[0]), number(parts[1])};
    }
    if (lines.size() > engine::kInputCount) {
        auto value = [&](int i) { return number(lines[engine::kInputCount + i].split(u' ', Qt::SkipEmptyParts)[1]); };
        read.q5Percent = value(0);
        read.co2Max = value(1);
        read.atmosphere = value(2);
        read.co2FromO2 = value(3) != 0.0;
    }
    limits = read;
    return true;
}

bool WriteInstrumentLimits(const QString& templateFolder, const engine::InstrumentLimits& limits, QString* error) {
    QStringList lines;
    for (const auto& l : limits.inputs)
        lines.append(core::StoredForm(static_cast<float>(l.absolute)) + u' ' +
                     core::StoredForm(static_cast<float>(l.percent)));
    const double extra[] = {limits.q5Percent, limits.co2Max, limits.atmosphere, limits.co2FromO2 ? 1.0 : 0.0};
    for (int i = 0; i < 4; ++i)
        lines.append(core::kLimitLineNames[i] + u' ' + core::StoredForm(static_cast<float>(extra[i])));
    return core::WriteTextLines(core::ResolvePath(templateFolder, kLimitsFile), lines, error);
}

QString StatedUnitText(int input) {
    switch (engine::LimitUnitOf(input)) {
    case engine::LimitUnit::VolumePercent: return QStringLiteral("% об.");
    case engine::LimitUnit::Ppm: return QStringLiteral("ppm");
    case engine::LimitUnit::Kelvin: return QStringLiteral("К");
    case engine::LimitUnit::Kilopascal: return QStringLiteral("кПа");
    case engine::LimitUnit::ReadingShare:
    case engine::LimitUnit::NotUsed: break;
    }
    return QString();
}

QString LimitInputName(int input) {
    switch (input) {
    case 0: return QStringLiteral("Расход газа");
    case 1: return QStringLiteral("Температура газа");
    case 2: return QStringLiteral("Давление газа на счетчике");
    case 7: return QStringLiteral("Расход топлива");
    case 11: return QStringLiteral("CO");
    case 12: return QStringLiteral("CO2");
    case 13: return QStringLiteral("O2");
    case 14: return QStringLiteral("NO");
    case 15: return QStringLiteral("NO2");
    case 17: return QStringLiteral("Температура уходящих газов");
    case 18: return QStringLiteral("Температура воздуха");
    case 22: return QStringLiteral("Температура воды на входе");
    case 23: return QStringLiteral("Температура воды на выходе");
    case 26: return QStringLiteral("Температура питательной воды");
    case 28: return QStringLiteral("Давление пара");
    case 36: return QStringLiteral("CO2 до экономайзера");
    case 37: return QStringLiteral("O2 до экономайзера");
    case 38: return QStringLiteral("NO до экономайзера");
    case 39: return QStringLiteral("NO2 до экономайзера");
    case 40: return QStringLiteral("Температура газов до экономайзера");
    case 41: return QStringLiteral("Расход теплоносителя");
    case engine::kQ5Input: return QStringLiteral("q5");
    default: return QStringLiteral("Поле %1").arg(input);
    }
}

QString ComponentName(const engine::Component& c) {
    switch (c.source) {
    case engine::Source::Instrument: return LimitInputName(c.input);
    case engine::Source::Repeat: return LimitInputName(c.input) + QStringLiteral(" (повторяемость)");
    case engine::Source::Q5: return QStringLiteral("q5");
    case engine::Source::Co2Max: return QStringLiteral("CO2max топлива");
    case engine::Source::Atmosphere: return QStringLiteral("Атмосферное давление");
    }
    return QString();
}

QJsonValue ComponentKey(const engine::Component& c) {
    switch (c.source) {
    case engine::Source::Instrument:
    case engine::Source::Repeat: return c.input;
    case engine::Source::Q5: return QStringLiteral("q5");
    case engine::Source::Co2Max: return QStringLiteral("CO2max");
    case engine::Source::Atmosphere: return QStringLiteral("Patm");
    }
    return {};
}

QJsonArray BudgetJson(const engine::RegimeUncertainty& u, int slot) {
    QJsonArray budget;
    for (const engine::BudgetLine& line : u.Budget(slot))
        budget.append(QJsonObject{{"input", ComponentKey(*line.component)},
                                  {"type", line.component->source == engine::Source::Repeat ? "A" : "B"},
                                  {"u", line.component->standard},
                                  {"c", line.c},
                                  {"share", line.share}});
    return budget;
}

bool RegimeUncertaintyOf(const engine::CalcInputs& inputs, const engine::InstrumentLimits& limits,
                         const QString& objectFolder, const QString& regimeFile, engine::RegimeUncertainty& u,
                         QString* error, const QSet<QString>* spreadFiles) {
    engine::Repeatability spread;
    const bool ok = regime::ReadRepeatability(objectFolder, regimeFile, inputs.in, spread, error, spreadFiles);
    u = engine::ResultUncertainty(inputs, limits, spread.empty() ? nullptr : &spread);
    return ok;
}

bool ShowsUncertainty(const QString& key) {
    // the direct balance too: its water or steam inputs make it the least sure efficiency
    static const QStringList keys{QStringLiteral("КПД"),   QStringLiteral("КПД нетто"), QStringLiteral("dQ"),
                                  QStringLiteral("dД"),    QStringLiteral("q2"),        QStringLiteral("q3"),
                                  QStringLiteral("Коэфф"), QStringLiteral("CO"),        QStringLiteral("NO")};
    return keys.contains(key);
}

QString UncertaintyText(double u95, int decimals, const QLocale& locale) {
    return QStringLiteral("± ") + locale.toString(u95, 'f', decimals);
}

void AddUncertainty(QList<ResultRow>& rows, const engine::RegimeUncertainty& u, const QStringList& general,
                    const QLocale& locale) {
    if (!u.calculated) return;
    for (auto& row : rows) {
        if (!ShowsUncertainty(row.key) || row.value.isEmpty()) continue;
        const int slot = ResultSlot(row.key, general);
        if (slot < 0 || !u.computed[slot]) continue;
        row.value += u' ' + UncertaintyText(u.u95[slot], ResultDecimals(row.key, general), locale);
    }
}

}  // namespace results
