#include "regime/editorlayout.h"

#include "core/names.h"
#include "object/generaldata.h"

namespace regime {

const QList<EditorRow>& EditorRows() {
    static const QList<EditorRow> rows = {
        {Group::GasFuel, "Расход по счетчику", -1, 0, 0},
        {Group::GasFuel, "Температура  на счетчике ", -1, 1, 1},
        {Group::GasFuel, "Давление  на счетчике,изб", -1, 2, 2},
        {Group::GasFuel, "Давление до регулятора", -1, 3, 3},
        {Group::GasFuel, "Давление после регулятора", -1, 4, 4},
        {Group::GasFuel, "Давление  на горелке", -1, 5, 5},
        {Group::LiquidFuel, "Расход топлива", -1, 7, 7},
        {Group::LiquidFuel, "Давление в магистрали", -1, 8, 8},
        {Group::LiquidFuel, "Давление на форсунке", -1, 9, 9},
        {Group::LiquidFuel, "Температура топлива", -1, 10, 10},
        {Group::FlueGas, "Окись углерода СО", 35, 11, 11},
        {Group::FlueGas, "Двуок.углерода СО2", 36, 12, 12},
        {Group::FlueGas, "Кислород            О2 ", 37, 13, 13},
        {Group::FlueGas, "Окись азота       NO", 38, 14, 14},
        {Group::FlueGas, "Двуокись азота NO2", 39, 15, 15},
        {Group::FlueGas, "Температура     Тух.г.", 40, 17, 17},
        {Group::Air, "Температура  воздуха", -1, 18, 18},
        {Group::Air, "Давление на горелке ", -1, 19, 19},
        {Group::Air, "Угол   заслонки", -1, 21, 21},
        {Group::Air, "Положение сервопривода", -1, 32, 30},
        {Group::Water, "Температура ", 22, 31, 22},
        {Group::Water, "Давление ", 24, 34, 24},
        {Group::Water, "Температ. на выходе из котла", -1, 23, 23},
        {Group::Water, "Давление  на  выходе из котла", -1, 25, 25},
        {Group::Steam, "Температура пит. воды  ", 26, 29, 26},
        {Group::Steam, "Давление пит. воды ", 27, 30, 27},
        {Group::Steam, "Давление  пара в котле, изб ", -1, 28, 28},
        {Group::Steam, "Темпер. пит.в. по  паспорт. ", -1, 33, 29},
        {Group::Flue, "Давление в топке", -1, 6, 6},
        {Group::Flue, "Давление  за  котлом ", 20, 16, 20},
        {Group::Window, "Расход воды по счетчику", -1, 41, 16},
        {Group::Window, "Потери в окр.среду. q5,%", -1, 42, -1},
    };
    return rows;
}

QString GroupCaption(Group g) {
    switch (g) {
    case Group::GasFuel:
    case Group::LiquidFuel: return QStringLiteral("Топливо");
    case Group::Air: return QStringLiteral("Воздух");
    case Group::Water: return QStringLiteral("Вода");
    case Group::FlueGas: return QStringLiteral("Продукты сгорания");
    case Group::Steam: return QStringLiteral("Пар / питательная вода");
    case Group::Flue:
    case Group::Window: break;
    }
    return {};
}

QString FieldHint(int k, bool economiser) {
    static const QStringList hints = {
        "Расход топлива по расходомеру",
        "Температура газа",
        "Избыточное давление газа  на счетчике ",
        "Давление газа перед регулятором газа",
        "Давление газа после регулятора (на клапанах горелки)",
        "Давление газа на горелке",
        "Давление в топке котла",
        "Расход топлива по расходомеру",
        "Давление топлива в магистрали до горелки",
        "Давление топлива на форсунке горелки",
        "Температура топлива, поступающего на горение ",
        "Содержание СО  за котлоагрегатом",
        "Содержание СО2 за котлоагрегатом",
        "Содержание О2  за котлоагрегатом",
        "Содержание NO   за котлоагрегатом",
        "Содержание NО2  за котлоагрегатом",
        "Давление в точке после экономайзера",
        "Температура уходящих газов  за котлоагрегатом",
        "Температура воздуха, поступающего на горение",
        "Давление воздуха на горелке",
        "Давление  в точке после котла",
        "Угол открытия заслонки (воздушной или топливной)",
        "Температура воды до экономайзера",
        "Температура воды на выходе из  котла",
        "Давление  воды до экономайзера",
        "Давление  воды на выходе из  котла",
        "Температура питательной воды до экономайзера",
        "Давление  питательной воды до экономайзера",
        "Давление пара в котле (избыточное)",
        "Температура питательной воды после экономайзера",
        "Давление  питательной воды после экономайзера",
        "Температура воды на входе в котел",
        "Подожение привода заслонки",
        "Температура питательной воды по паспорту",
        "Давление воды на входе в котел",
        "Содержание окиси углерода в точке  отбора за котлом",
        "Содержание СО2 в точке  отбора за котлом",
        "Содержание О2 в точке  отбора за котлом",
        "Содержание NO в точке  отбора за котлом",
        "Содержание NO2 в точке  отбора за котлом",
        "Температура уходящих газов в точке  отбора за котлом",
        "Расход теплоносителя по расходомеру (расчет прямого баланса)",
        "Потери тепла в окр.среду",
    };
    if (!economiser) {
        switch (k) {
        case 16: return QStringLiteral("Давление за котлом");
        case 22: return QStringLiteral("Температура на входе в котел");
        case 24: return QStringLiteral("Давление на входе в котел");
        case 26: return QStringLiteral("Температура питательной воды на входе в котел");
        case 27: return QStringLiteral("Давление питательной воды на входе в котел");
        default: break;
        }
    }
    return hints.value(k);
}

bool EditorVisibility::fieldVisible(int k) const {
    if (k == engine::kQ5Input) return q5Row;
    if (!economiser && ((k >= 34 && k <= 40) || k == 20 || k == 29 || k == 30 || k == 31)) return false;
    return true;
}

bool EditorVisibility::movedRight(int k) const {
    return !economiser && (k == 22 || k == 24 || k == 26 || k == 27);
}

EditorVisibility VisibilityFor(const QStringList& g) {
    using namespace object;
    EditorVisibility v;
    if (IsSteamBoiler(g)) v.water = false;
    else if (IsHotWaterBoiler(g)) v.steam = false;
    const QString fuel = g.value(FuelType);
    if (IsGaseousFuel(fuel)) v.liquidFuel = false;
    else if (IsLiquidFuel(fuel)) v.gasFuel = false;
    v.fuelCaption = fuel;
    v.q5Row = core::SameName(g.value(Q5Mode), kQ5EachRegime);
    // the editor tests for the exact "without" text, so an empty entry keeps all columns
    v.economiser = !core::SameName(g.value(Economiser), kWithoutEconomiser);
    return v;
}

bool AcceptsMinus(int field) { return field == 6 || field == 16 || field == 20; }

bool RecalculatesOnEnter(int k) {
    // 41 (water flow by the meter) feeds the direct balance and 42 (q5) the losses, so
    // both calculate as well
    if (k == 0 || k == 1 || k == 2 || k == 7 || (k >= 11 && k <= 18) || k == 22 || k == 23 || k == 26 || k == 28 ||
        k == 33 || (k >= 35 && k <= 42))
        return true;
    return false;
}

QList<int> TabOrder(const EditorVisibility& vis) {
    // the editor's two columns of groups, as the window stacks them
    const QList<Group> order = {Group::GasFuel, Group::LiquidFuel, Group::FlueGas, Group::Flue,
                                Group::Air,     Group::Water,      Group::Steam,   Group::Window};
    QList<int> fields;
    for (Group g : order) {
        // A group is walked top to bottom: the rows of one field above its first row of two
        // come first (the furnace pressure above the two pressures after the boiler), then
        // the left column of the rest and its right column with the single rows below.
        QList<int> above, left, right;
        bool twoSeen = false;
        for (const EditorRow& row : EditorRows()) {
            if (row.group != g) continue;
            const bool leftShown = row.left >= 0 && !vis.movedRight(row.left) && vis.fieldVisible(row.left);
            const bool rightShown = row.right >= 0 && vis.fieldVisible(row.right);
            if (leftShown && rightShown) twoSeen = true;
            if (!twoSeen && g != Group::Window) {
                if (row.left >= 0) above.append(row.left);
                if (row.right >= 0) above.append(row.right);
                continue;
            }
            if (row.left >= 0) (vis.movedRight(row.left) ? right : left).append(row.left);
            if (row.right >= 0) right.append(row.right);
        }
        fields += above;
        fields += left;
        fields += right;
    }
    return fields;
}

}  // namespace regime
