#include "results/instrumentlimits.h"

#include <QFileInfo>
#include <cmath>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"

namespace results {

bool ReadInstrumentLimits(const QString& templateFolder, engine::InstrumentLimits& limits, QString* error) {
    limits = engine::DefaultInstrumentLimits();
    const QString path = core::ResolvePath(templateFolder, kLimitsFile);
    if (!QFileInfo::exists(path)) return true;
    QStringList lines;
    if (!core::ReadKindFile(QStringLiteral("instrument-limits"), path, lines, error)) return false;
    auto refuse = [&](const QString& why) {
        limits = engine::DefaultInstrumentLimits();
        if (error) *error = path + QStringLiteral(": ") + why;
        return false;
    };
    if (lines.size() < engine::kInputCount)
        return refuse(QStringLiteral("в файле %1 строк, ожидается %2").arg(lines.size()).arg(engine::kInputCount));
    engine::InstrumentLimits read{};
    for (int k = 0; k < engine::kInputCount; ++k) {
        const QStringList parts = lines[k].split(u' ', Qt::SkipEmptyParts);
        bool ok1 = parts.size() == 2, ok2 = ok1;
        const double a = ok1 ? parts[0].toDouble(&ok1) : 0.0;
        const double p = ok2 ? parts[1].toDouble(&ok2) : 0.0;
        if (!ok1 || !ok2 || !std::isfinite(a) || !std::isfinite(p) || a < 0 || p < 0)
            return refuse(QStringLiteral("строка %1 не из двух неотрицательных чисел").arg(k + 1));
        read[k] = {a, p};
    }
    limits = read;
    return true;
}

bool WriteInstrumentLimits(const QString& templateFolder, const engine::InstrumentLimits& limits, QString* error) {
    QStringList lines;
    for (const auto& l : limits)
        lines.append(core::StoredForm(static_cast<float>(l.absolute)) + u' ' +
                     core::StoredForm(static_cast<float>(l.percent)));
    return core::WriteTextLines(core::ResolvePath(templateFolder, kLimitsFile), lines, error);
}

bool ShowsUncertainty(const QString& key) {
    static const QStringList keys{QStringLiteral("КПД"),   QStringLiteral("КПД нетто"), QStringLiteral("q2"),
                                  QStringLiteral("q3"),    QStringLiteral("Коэфф"),     QStringLiteral("CO"),
                                  QStringLiteral("NO")};
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
