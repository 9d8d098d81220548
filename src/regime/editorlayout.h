#pragma once
// What the regime editor shows: its groups, rows, field hints, which groups and fields fit
// an object, the key filter and which fields recalculate on Enter. No widgets here.

#include <QList>
#include <QString>
#include <QStringList>

namespace regime {

enum class Group { GasFuel, LiquidFuel, Air, Water, FlueGas, Flue, Steam, Window };

struct EditorRow {
    Group group;
    QString caption;
    int left;   // field in the left column, -1 when none
    int right;  // field in the right column (or the only field), -1 when none
    int unit;   // unit label index, -1 when none
};

// The rows in layout order.
const QList<EditorRow>& EditorRows();
QString GroupCaption(Group g);  // designed caption ("Топливо", "Воздух", ...)

// Hint of field k; some change for objects without economiser.
QString FieldHint(int field, bool economiser);

struct EditorVisibility {
    bool gasFuel = true, liquidFuel = true, water = true, steam = true;
    bool q5Row = false;           // field 42, its caption and the q5 calculator button
    bool economiser = true;       // the "before economiser" fields are shown
    QString fuelCaption;          // caption of both fuel groups
    bool fieldVisible(int k) const;
    // Without economiser the inlet fields 22, 24, 26, 27 move to the right-hand column.
    bool movedRight(int k) const;
};

// Groups for a boiler or fuel type outside the known texts are all shown, so no value is
// hidden from the user.
EditorVisibility VisibilityFor(const QStringList& general);

// The pressures in the furnace and after the boiler or economiser (fields 6, 16, 20) are
// below the atmosphere under draught: these fields take a minus as their first character.
bool AcceptsMinus(int field);

// Fields whose Enter recalculates the regime; the others only save it.
bool RecalculatesOnEnter(int field);

// The fields in the order Tab visits them: the left column of groups top to bottom, then
// the right one; within a group, rows of one field above its first row of two come first,
// then its left column of fields, then its right one. Hidden fields are left to the caller
// to skip (a hidden field in a row of two is counted as absent).
QList<int> TabOrder(const EditorVisibility& visibility);

}  // namespace regime
