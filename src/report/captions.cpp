#include "report/captions.h"

#include <QList>
#include <utility>

#include "engine/engine.h"
#include "regime/editorlayout.h"

namespace report {

QString InputCaption(int k, bool economiser) {
    switch (k) {
    case 6: return QStringLiteral("Давление в топке котла (разрежение — со знаком «минус»)");
    case 16:
        if (economiser) return QStringLiteral("Давление (разрежение) газов за экономайзером");
        break;
    case 20: return QStringLiteral("Давление (разрежение) газов за котлом");
    case 32: return QStringLiteral("Положение сервопривода заслонки");
    case 35: return QStringLiteral("Содержание CO в точке отбора за котлом (до экономайзера)");
    case 41: return QStringLiteral("Расход теплоносителя по расходомеру (для расчета прямого баланса)");
    case engine::kQ5Input: return QStringLiteral("Потери тепла в окружающую среду q5 (принятые)");
    default: break;
    }
    QString t = regime::FieldHint(k, economiser).simplified();
    // Cyrillic С and О inside the formulas become Latin letters
    t.replace(QStringLiteral("СО2"), QStringLiteral("CO2"));
    t.replace(QStringLiteral("СО"), QStringLiteral("CO"));
    t.replace(QStringLiteral("NО2"), QStringLiteral("NO2"));
    t.replace(QStringLiteral("О2"), QStringLiteral("O2"));
    t.replace(QStringLiteral("Подожение"), QStringLiteral("Положение"));
    return t;
}

QString ResultCaption(const QString& key, const QString& paneCaption, bool steam) {
    static const QList<std::pair<QString, QString>> full = {
        {QStringLiteral("Д"), QStringLiteral("Паропроизводительность")},
        {QStringLiteral("Дпр.tпв"),
         QStringLiteral("Паропроизводительность, приведенная к паспортной температуре питательной воды")},
        {QStringLiteral("КПД"), QStringLiteral("КПД котла брутто по обратному балансу")},
        {QStringLiteral("dQ"), QStringLiteral("КПД котла брутто по прямому балансу")},
        {QStringLiteral("dД"), QStringLiteral("КПД котла брутто по прямому балансу")},
        {QStringLiteral("q2"), QStringLiteral("Потери тепла с уходящими газами q2")},
        {QStringLiteral("q3"), QStringLiteral("Потери тепла от химической неполноты сгорания q3")},
        {QStringLiteral("q5"), QStringLiteral("Потери тепла в окружающую среду q5")},
        {QStringLiteral("КПД нетто"), QStringLiteral("КПД котла нетто")},
        {QStringLiteral("Коэфф"), QStringLiteral("Коэффициент избытка воздуха за котлоагрегатом α")},
        {QStringLiteral("Коэфф2"), QStringLiteral("Коэффициент избытка воздуха за котлом (до экономайзера)")},
        {QStringLiteral("Присос"), QStringLiteral("Присос воздуха в экономайзере")},
        {QStringLiteral("Q_2_e"), QStringLiteral("Снижение потерь с уходящими газами в экономайзере")},
        {QStringLiteral("K_P"), QStringLiteral("Поправочный коэффициент расхода газа по давлению Kp")},
        {QStringLiteral("K_T"), QStringLiteral("Поправочный коэффициент расхода газа по температуре Kt")},
        {QStringLiteral("Вт"), QStringLiteral("Расход топлива")},
        {QStringLiteral("Ву.т"), QStringLiteral("Удельный расход топлива на выработку 1 Гкал")},
        {QStringLiteral("Ву.усл"), QStringLiteral("Удельный расход условного топлива на выработку 1 Гкал")},
        {QStringLiteral("V"), QStringLiteral("Расход воды через котел")},
        {QStringLiteral("CO"), QStringLiteral("Концентрация CO в уходящих газах (при α = 1,4)")},
        {QStringLiteral("CO u"), QStringLiteral("Удельный выброс CO")},
        {QStringLiteral("CO m"), QStringLiteral("Массовый выброс CO")},
        {QStringLiteral("NO"), QStringLiteral("Концентрация NOx в уходящих газах (при α = 1,4)")},
        {QStringLiteral("NO u"), QStringLiteral("Удельный выброс NOx")},
        {QStringLiteral("NO m"), QStringLiteral("Массовый выброс NOx")}};
    if (key == u"Q")
        return steam ? QStringLiteral("Тепловая мощность котла") : QStringLiteral("Теплопроизводительность котла");
    for (const auto& [k, caption] : full)
        if (k == key) return caption;
    return paneCaption;
}

QStringList SummaryKeys(bool steam) {
    return {steam ? QStringLiteral("Д") : QStringLiteral("Q"),
            QStringLiteral("КПД"),
            QStringLiteral("КПД нетто"),
            QStringLiteral("q2"),
            QStringLiteral("q3"),
            QStringLiteral("q5"),
            QStringLiteral("Коэфф"),
            QStringLiteral("Вт"),
            QStringLiteral("Ву.усл"),
            QStringLiteral("CO"),
            QStringLiteral("NO")};
}

QString SummaryCaption(const QString& key, const QString& fallback) {
    // shorter captions for the narrow columns of the summary, still in full words
    static const QList<std::pair<QString, QString>> captions = {
        {QStringLiteral("Д"), QStringLiteral("Паропроизводительность")},
        {QStringLiteral("Q"), QStringLiteral("Теплопроизводительность")},
        {QStringLiteral("КПД"), QStringLiteral("КПД брутто")},
        {QStringLiteral("КПД нетто"), QStringLiteral("КПД нетто")},
        {QStringLiteral("Коэфф"), QStringLiteral("Коэффициент избытка воздуха α")},
        {QStringLiteral("Вт"), QStringLiteral("Расход топлива")},
        {QStringLiteral("Ву.усл"), QStringLiteral("Удельный расход условного топлива")},
        {QStringLiteral("CO"), QStringLiteral("CO при α = 1,4")},
        {QStringLiteral("NO"), QStringLiteral("NOx при α = 1,4")}};
    for (const auto& [k, c] : captions)
        if (k == key) return c;
    return fallback;
}

}  // namespace report
