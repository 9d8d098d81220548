#pragma once
// Creating a new object from the 19 fields of the new-object window.

#include <QString>
#include <QStringList>

#include "app/state.h"

namespace store {

struct CreateCheck {
    bool ok = true;
    QString title, text;
    int focusEntry = -1;  // entry to take the focus
    int page = 0;         // page to show (1 or 2), 0 for unchanged
};

// The checks of "Ввод", in order (the five of the form, then the ranges of the general data);
// the first failure decides.
CreateCheck CheckNewObject(const app::AppState& s, const QStringList& fields);

// Removes "/", "\", "?", ">", "<", "*" and "|" from a typed name.
QString FilterObjectName(const QString& name);

// Creates the folder, "OData.txt", "Ediny.txt" from the template, both counters and the
// first regime; the object becomes current. On failure nothing half-created stays behind
// and `error` tells what failed. When the template's units file cannot be read the object
// gets the built-in units and `unitsWarning` says so.
bool CreateObject(app::AppState& s, const QStringList& fields, QString* error = nullptr,
                  QString* unitsWarning = nullptr);

}  // namespace store
