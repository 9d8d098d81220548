#pragma once
// The card's own entries of the open object (approval, organisations, dates, validity,
// signatories), kept in "Karta.txt"; opened from the file-task page before the card is made.

#include <QList>
#include <QWidget>

#include "app/ui/workbench.h"

class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace report {

class Karta : public QWidget {
    Q_OBJECT
public:
    explicit Karta(app::Workbench& wb);

    // Writes the entries; false (after a message naming the file) when that failed.
    bool save();
    bool changed() const;

    QList<QLineEdit*> T;  // one field per entry, in the order of the file
    QListWidget* Instruments;          // the program's measuring instruments, ticked: used in this object
    QPushButton *Command1, *Command2;  // "Сохранить", "Закрыть"

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildEntries(QFormLayout* form, const QStringList& values);
    void addInstruments(QFormLayout* form, QString& error);
    QHBoxLayout* buildButtons();
    QStringList texts() const;
    QStringList ticked() const;
    app::Workbench& wb_;
    QStringList saved_, savedInstruments_;
};

}  // namespace report
