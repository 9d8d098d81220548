#pragma once
// The safety-automation settings map: 9 rows of 5 editable drop-down cells with include
// boxes, kept in "Bez.txt" of the object (the ticks in "BezVkl.txt" beside it); the protocol
// workbook is made of the included rows. Closing with unsaved changes asks to save them.

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
    bool Bez_Command2_Click();  // "Сохранить"; false when a file could not be written
    void Bez_Command3_Click();  // "+ Датчики"
    void Bez_Command4_Click();  // "В таблицу >>"
    void Bez_Check1_Click(int row);

    QStringList cells() const;
    QList<bool> included() const;
    // Cells or ticks differ from what was last read or saved.
    bool changed() const;
    // Called after the protocol workbook was written (the documents list refreshes).
    std::function<void(const QString& path)> protocolWritten;
    // Opens a document with its application; set by the opener (tests leave it unset).
    std::function<void(const QString& path)> openDocument;

    QList<QComboBox*> C1;
    QList<QCheckBox*> Check1;
    QGroupBox* Frame1;
    QPushButton *Command1, *Command2, *Command3, *Command4;

    // "Закрыть", Escape and the title bar's close: with unsaved changes, asks to save them
    // (Да saves and closes, Нет closes, Отмена stays).
    void reject() override;

private:
    void showIncluded(const QList<bool>& included);
    void markSaved();

    QStringList savedCells_;
    QList<bool> savedIncluded_;
    app::AppState& s_;
    app::Dialogs& d_;
};

}  // namespace docs
