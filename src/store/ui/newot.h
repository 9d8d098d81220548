#pragma once
// The new-object window: collects the general data of a new object and, on "Ввод", checks
// it and creates the object, which then opens with its windows.

#include "app/ui/workbench.h"
#include "object/ui/generaldataform.h"

class QLabel;

namespace store {

class NewOt : public object::GeneralDataForm, public app::ObjectWindowEvents {
    Q_OBJECT
public:
    explicit NewOt(app::Workbench& workbench, QWidget* parent = nullptr);

    // Fills the fields from a general data record, all but the name.
    void fillFrom(const QStringList& general);

    QPushButton* Command3 = nullptr;  // "Отмена"
    QPushButton* Command4 = nullptr;  // "Ввод"
    QLabel* Image1 = nullptr;         // burner picture

    // "Ввод": true when the object was created.
    bool NewOt_Command4_Click();
    void NewOt_Command3_Click();

    // Each activation, and each change of the employee list, offers that list again.
    void activated() override;
    void referenceListChanged(const QString& file) override;

protected:
    KeyRule keyRule(int entry) const override;
    void entryPicked(int entry) override;
    void entryLeft(int entry) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void closeWindow();
    void showEntryTip(int entry);

    app::Workbench& wb_;
    bool created_ = false;
    QStringList initial_;  // the fields as the window opened; Escape asks before dropping more
};

}  // namespace store
