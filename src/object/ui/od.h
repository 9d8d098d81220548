#pragma once
// The general data window of the open object. Every edit counts at once in the current
// general data; the file "OData.txt" is written when the window loses the focus and when
// it closes.

#include "app/ui/workbench.h"

class QComboBox;
class QLabel;
#include "object/ui/generaldataform.h"

namespace object {

class OD : public GeneralDataForm, public app::ObjectWindowEvents {
    Q_OBJECT
public:
    explicit OD(app::Workbench& workbench, QWidget* parent = nullptr);

    // Writes the 19 fields into the current general data and "OData.txt".
    // Writes the general data; when an entry the calculation reads changed, every regime is
    // recalculated, at once or once the window's deactivation has settled.
    bool save(bool recalculateNow = true);

    void activated() override;
    void deactivated() override;
    // The employee list changed: the executor's list offers it anew.
    void referenceListChanged(const QString& file) override;

    // The object's choice among the program's emission limits ("ONorm.txt"): the default
    // set, a named set, or none; written when picked. Under it, the limits that apply.
    QComboBox* Norms = nullptr;
    QLabel* NormsNote = nullptr;
    void fillNorms();

protected:
    KeyRule keyRule(int entry) const override;
    void entryPicked(int entry) override;
    bool restoreEntry(int entry) override;
    // Leaving an entry with a value no fuel or boiler can have brings the saved one back.
    void entryLeft(int entry) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void pickNorms();
    void showNormsNote();
    // A changed entry outside its range is refused (told, the saved value back); true then.
    bool refuseOutOfRange(int entry);

    app::Workbench& wb_;
    QString normsChoice_;  // as the object's file holds it
    bool placed_ = false;
    bool loading_ = true;
    QStringList saved_;  // the entries as the file holds them
};

}  // namespace object
