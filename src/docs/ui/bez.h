#pragma once
// The safety-automation settings map: 9 rows of 5 editable drop-down cells with include
// boxes, kept in "Bez.txt" of the object; the protocol workbook is made of the included rows.

#include <QDialog>
#include <QList>
#include <functional>

#include "app/dialogs.h"
#include "app/state.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

namespace docs {

class Bez : public QDialog {
    Q_OBJECT
public:
    Bez(app::AppState& state, app::Dialogs& dialogs, QWidget* parent = nullptr);

    void Bez_Form_Load();
    void Bez_Command2_Click();  // "Сохранить"
    void Bez_Command3_Click();  // "+ Датчики"
    void Bez_Command4_Click();  // "В таблицу >>"
    void Bez_Check1_Click(int row);

    QStringList cells() const;
    // Called after the protocol workbook was written (the documents list refreshes).
    std::function<void(const QString& path)> protocolWritten;
    // Opens a document with its application; set by the opener (tests leave it unset).
    std::function<void(const QString& path)> openDocument;

    QList<QComboBox*> C1;
    QList<QCheckBox*> Check1;
    QGroupBox* Frame1;
    QPushButton *Command1, *Command2, *Command3, *Command4;

private:
    app::AppState& s_;
    app::Dialogs& d_;
};

}  // namespace docs
