#include "regime/plausibility.h"

#include <QStringList>

namespace regime {

namespace {

const QString kInconsistent = QStringLiteral(" Вероятно, исходные данные режима несогласованы.");

}  // namespace

QString ImplausibleReason(int slot, float value) {
    switch (slot) {
    case 4:
    case 8:
    case 22:
        if (value > 100.0f)
            return QStringLiteral("КПД больше 100 % физически невозможен.") + kInconsistent;
        return {};
    case 5:
    case 6:
    case 7:
        if (value < 0.0f) return QStringLiteral("Потеря тепла не может быть отрицательной.") + kInconsistent;
        return {};
    case 9:
    case 19:
        if (value < 1.0f && value != 0.0f)
            return QStringLiteral("Коэффициент избытка воздуха не может быть меньше 1.") + kInconsistent;
        return {};
    default: return {};
    }
}

QString ImplausibleResults(const std::array<float, 26>& results) {
    QStringList reasons;
    for (int slot = 0; slot < 26; ++slot) {
        const QString r = ImplausibleReason(slot, results[slot]);
        if (!r.isEmpty() && !reasons.contains(r)) reasons.append(r);
    }
    return reasons.join(u'\n');
}

}  // namespace regime
