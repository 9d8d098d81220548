#pragma once
// The window of the program's emission limits ("Нормы выбросов.txt" of the template folder):
// one row per limit (set, fuel, pollutant, limit, document, output range), rows added and
// removed, the shipped defaults put back; saved only whole and sound.

#include <QDialog>

#include "object/emissionnorms.h"

class QTableWidget;
class QPushButton;

namespace app {
struct AppState;
class Dialogs;
}  // namespace app

namespace object {

class fNorm : public QDialog {
    Q_OBJECT
public:
    fNorm(app::AppState& state, app::Dialogs& dialogs, QWidget* parent = nullptr);

    QTableWidget* Table = nullptr;
    QPushButton *Add = nullptr, *Remove = nullptr, *Defaults = nullptr, *Save = nullptr, *Cancel = nullptr;

    // The rows as a list; false (with the row and the reason) when a number is no number.
    bool collect(EmissionNorms& norms, int& row, QString& why) const;
    // Checks and writes the list; a refusal or a write error is shown and the window stays.
    bool save();

signals:
    void saved();

private:
    void fill(const EmissionNorms& norms);
    void addRow(const EmissionLimit& l);

    app::AppState& s_;
    app::Dialogs& dialogs_;
};

}  // namespace object
