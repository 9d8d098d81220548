#include "results/emissionverdicts.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"
#include "core/numparse.h"
#include "engine/engine.h"
#include "results/instrumentlimits.h"

namespace results {

namespace {

int SlotOf(object::Pollutant p) { return p == object::Pollutant::CO ? 17 : 18; }

QString Number(double v, int decimals, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(core::RoundHalfEven(v, decimals), 'f', decimals);
}

// A limit as typed in the list: no trailing zeros ("125", "150,5").
QString LimitNumber(double v, const QLocale& locale) { return core::LocaleForm(static_cast<float>(v), locale); }

}  // namespace

EmissionJudgement JudgeEmission(object::Pollutant p, const std::array<float, 26>& results,
                                const engine::RegimeUncertainty* u, const object::AppliedLimit& limit) {
    EmissionJudgement j;
    j.pollutant = p;
    const int slot = SlotOf(p);
    const int decimals = engine::kResultDecimals[slot];
    // the stored decimal (66.3), not the float nearest to it (66.3000031)
    j.value = std::isfinite(results[slot]) ? core::StoredForm(results[slot]).toDouble() : 0.0;
    if (u && u->calculated && u->computed[slot] && std::isfinite(u->u95[slot])) {
        j.u95 = core::RoundHalfEven(std::abs(u->u95[slot]), decimals);
        j.hasU95 = true;
    }
    j.limit = limit;
    j.verdict = object::Judge(j.value, j.u95, limit);
    return j;
}

QString JudgementText(const EmissionJudgement& j, const QLocale& locale) {
    const int decimals = engine::kResultDecimals[SlotOf(j.pollutant)];
    QString t = object::PollutantText(j.pollutant) + QStringLiteral(" = ") + Number(j.value, decimals, locale);
    if (j.hasU95) t += QStringLiteral(" ± ") + Number(j.u95, decimals, locale);
    t += QStringLiteral(" мг/м3 (α = 1,4); ");
    if (!j.limit.found) return t + QStringLiteral("предел не задан");
    t +=
        QStringLiteral("предел ") + LimitNumber(j.limit.limit, locale) + QStringLiteral(" мг/м3 — ") + j.limit.document;
    return t;
}

void AddEmissionRows(QList<ResultRow>& rows) {
    auto make = [](const QString& key, const QString& caption, const QString& unit) {
        ResultRow r;
        r.key = key;
        r.caption = caption;
        r.unit = unit;
        return r;
    };
    auto indexOf = [&](const QString& key) {
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].key == key) return i;
        return -1;
    };
    if (indexOf(kCoVerdictKey) >= 0) return;  // added already
    int co = indexOf(QStringLiteral("CO"));
    if (co >= 0) rows.insert(co + 1, make(kCoVerdictKey, QStringLiteral("CO норма"), QString()));
    int no = indexOf(QStringLiteral("NO"));
    if (no >= 0) rows.insert(no + 1, make(kNoxVerdictKey, QStringLiteral("NOx норма"), QString()));
    int last = -1;
    for (const QString& key : {QStringLiteral("NO"), QStringLiteral("NO u"), QStringLiteral("NO m")})
        last = std::max(last, indexOf(key));
    if (last < 0) last = static_cast<int>(rows.size()) - 1;
    rows.insert(last + 1, make(kNoxAt3Key, QStringLiteral("NOx при 3% O2"), QStringLiteral("мг/м3")));
    rows.insert(last + 1, make(kCoAt3Key, QStringLiteral("CO при 3% O2"), QStringLiteral("мг/м3")));
}

void FillEmissionRows(QList<ResultRow>& rows, const std::array<float, 26>& results, const engine::RegimeUncertainty* u,
                      const object::AppliedLimit& co, const object::AppliedLimit& nox, const QLocale& locale) {
    const EmissionJudgement jco = JudgeEmission(object::Pollutant::CO, results, u, co);
    const EmissionJudgement jnox = JudgeEmission(object::Pollutant::NOx, results, u, nox);
    for (auto& row : rows) {
        const bool isCo = row.key == kCoVerdictKey || row.key == kCoAt3Key;
        const EmissionJudgement& j = isCo ? jco : jnox;
        if (row.key == kCoVerdictKey || row.key == kNoxVerdictKey) {
            row.verdict = j.verdict;
            row.value = object::VerdictText(j.verdict);
            row.unit = j.limit.found ? QStringLiteral("≤ ") + LimitNumber(j.limit.limit, locale) : QString();
            row.tooltip = JudgementText(j, locale);
            row.warning.clear();
        } else if (row.key == kCoAt3Key || row.key == kNoxAt3Key) {
            const int slot = SlotOf(j.pollutant);
            const int decimals = engine::kResultDecimals[slot];
            // from the stored value, as the card does
            const float at3 = static_cast<float>(core::RoundHalfEven(j.value * kThreePercentO2Factor, decimals));
            row.value = core::LocaleForm(at3, locale);
            if (j.hasU95 && u && std::isfinite(u->u95[slot]))
                row.value += u' ' + UncertaintyText(std::abs(u->u95[slot]) * kThreePercentO2Factor, decimals, locale);
            row.tooltip.clear();
            row.warning.clear();
        }
    }
}

}  // namespace results
