#include "results/graphcatalogue.h"

#include "core/names.h"
#include "object/generaldata.h"

namespace results {

namespace {

// One row of the catalogue with its condition, written for the hot-water case; the steam
// catalogue replaces R3 by R16 and a few captions.
struct Template {
    const char* key;
    const char* caption;
    int picture;
    enum When { Always, Liquid, Gas, Economiser } when;
};

const Template kTemplates[] = {
    {"R4 R3", "КПД брутто, %", 12, Template::Always},
    {"R5 R3", "Потери с уходящими газами, %", 3, Template::Always},
    {"R7 R3", "Потери в окружающую среду, %", 5, Template::Always},
    {"R6 R3", "Потери с хим.недожогом, %", 4, Template::Always},
    {"R13 R3", "Расход ж.топлива, кг/час", 9, Template::Liquid},
    {"R13 P32", "Расход ж.топлива, кг/час", 25, Template::Liquid},
    {"R12 R3", "Расход газа, ст.м.куб./час", 8, Template::Gas},
    {"R12 P32", "Расход газа, ст.м.куб./час", 25, Template::Gas},
    {"R14 R3", "Уд.расход топлива на 1 Гкал тепла", 10, Template::Always},
    {"R15 R3", "Уд.расход усл. топлива на 1 Гкал тепла, кг.у.т./час", 11, Template::Always},
    {"R19 R3", "Коэфф.избытка воздуха после котла, -", 6, Template::Economiser},
    {"R9 R3", "Коэфф. избытка воздуха после котлоагрегата, -", 7, Template::Always},
    {"P40 R3", "Температ. уходящих газов после котла, оС", 15, Template::Economiser},
    {"P17 R3", "Температ. уходящих газов после котлоагрегата, оС", 16, Template::Always},
    {"P9 R3", "Давление топлива на форсунке, ", 13, Template::Liquid},
    {"P19 P9", "Давление воздуха на горелке, ", 26, Template::Liquid},
    {"P5 R3", "Давление газа на горелке, ", 13, Template::Gas},
    {"P19 P5", "Давление воздуха на горелке, ", 26, Template::Gas},
    {"P19 R3", "Давление воздуха на горелке, ", 14, Template::Always},
    {"R17 R3", "Содерж. СО в продуктах сгорания, мг/м3", 19, Template::Always},
    {"R18 R3", "Содерж. NO в продуктах сгорания, мг/м3", 22, Template::Always},
    {"R20 R3", "Удельные выбросы СО, г/1Гкал", 20, Template::Always},
    {"R21 R3", "Удельные выбросы NO, г/1Гкал", 23, Template::Always},
    {"R23 R3", "Мощность выбросов СО, мг/сек", 21, Template::Always},
    {"R24 R3", "Мощность выбросов NO, мг/сек", 24, Template::Always},
};

QList<GraphEntry> Build(const QStringList& g, const QStringList& L, bool steam) {
    using namespace object;
    const QString fuel = g.value(FuelType);
    const bool liquid = IsLiquidFuel(fuel), gas = IsGaseousFuel(fuel), eco = HasEconomiser(g);
    const QString xDefault = steam ? QStringLiteral("Паропроизводительность, т/час")
                                   : QStringLiteral("Теплопроизводительность, ") + g.value(HeatOutputUnit);
    QList<GraphEntry> list;
    for (const Template& t : kTemplates) {
        if ((t.when == Template::Liquid && !liquid) || (t.when == Template::Gas && !gas) ||
            (t.when == Template::Economiser && !eco))
            continue;
        GraphEntry e;
        e.key = QString::fromUtf8(t.key);
        e.yCaption = QString::fromUtf8(t.caption);
        e.picture = t.picture;
        // captions that end with the unit of the plotted input
        if (e.key == u"P9 R3") e.yCaption += L.value(9);
        else if (e.key == u"P5 R3") e.yCaption += L.value(5);
        else if (e.key.startsWith(u"P19 ")) e.yCaption += L.value(19);
        if (steam) {
            if (e.key.endsWith(u" R3")) e.key = e.key.chopped(1) + QStringLiteral("16");
            if (e.key == u"R4 R16") e.yCaption = QStringLiteral("КПД брутто котла, %");
            else if (e.key == u"R14 R16") e.yCaption = QStringLiteral("Уд. расход топлива на 1 Гкал тепла");
            else if (e.key == u"R15 R16")
                e.yCaption = QStringLiteral("Уд. расход усл. топлива на 1 Гкал тепла, кг.у.т/1Гкал");
            else if (e.key == u"R17 R16") e.yCaption = QStringLiteral("Содерж. СО в продуктах сгорания, ") + L.value(11);
            else if (e.key == u"R18 R16") e.yCaption = QStringLiteral("Содерж. NO в продуктах сгорания, ") + L.value(14);
        }
        e.xCaption = xDefault;
        if (e.key.endsWith(u" P32")) e.xCaption = QStringLiteral("Положение сервопривода, ") + L.value(30);
        else if (e.key == u"P19 P9") e.xCaption = QStringLiteral("Давление топлива на форсунке, ") + L.value(9);
        else if (e.key == u"P19 P5") e.xCaption = QStringLiteral("Давление газа на горелке, ") + L.value(5);
        list.append(e);
    }
    return list;
}

// One token: a letter R or P followed by digits; the letters are removed wherever they
// stand before the leading digits are read.
bool ParseToken(const QString& token, QString& source, int& index) {
    const QString t = token.trimmed();
    if (t.isEmpty()) return false;
    const QChar letter = t.at(0).toUpper();
    if (letter != u'R' && letter != u'P') return false;
    QString rest = t;
    rest.remove(letter, Qt::CaseInsensitive);
    qsizetype n = 0;
    while (n < rest.size() && rest.at(n).isDigit() && rest.at(n).unicode() < 0x80) ++n;
    if (n == 0 || n > 4) return false;
    const int value = rest.left(n).toInt();
    if (value > (letter == u'R' ? 25 : 42)) return false;
    source = letter;
    index = value;
    return true;
}

}  // namespace

QList<GraphEntry> BuildHotWaterGraphList(const QStringList& g, const QStringList& L) { return Build(g, L, false); }
QList<GraphEntry> BuildSteamGraphList(const QStringList& g, const QStringList& L) { return Build(g, L, true); }

QList<GraphEntry> BuildGraphList(const QStringList& g, const QStringList& L) {
    return object::IsSteamBoiler(g) ? BuildSteamGraphList(g, L) : BuildHotWaterGraphList(g, L);
}

bool ChooseGraph(const QString& key, app::GraphSelection& selection) {
    const QString k = key.trimmed();
    const qsizetype p = k.indexOf(u' ');
    if (p <= 0) return false;
    QString ys, xs;
    int yi = 0, xi = 0;
    if (!ParseToken(k.left(p + 1), ys, yi) || !ParseToken(k.mid(p + 1), xs, xi)) return false;
    selection.ySource = ys;
    selection.yIndex = yi;
    selection.xSource = xs;
    selection.xIndex = xi;
    selection.chosen = true;
    return true;
}

}  // namespace results
