#pragma once
// What the regime editor shows: its groups, rows, field hints, which groups and fields fit
// an object, the key filter and which fields recalculate on Enter. No widgets here.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

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

// Key filter of the fields: digits, "." and backspace pass, "," becomes "."; anything else
// is dropped (nullopt). Enter is handled by the caller.
std::optional<QChar> FilterKey(QChar c);

// Fields whose Enter recalculates the regime; the others only save it.
bool RecalculatesOnEnter(int field);

}  // namespace regime
