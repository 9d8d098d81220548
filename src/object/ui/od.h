#pragma once
// The general data window of the open object. Every edit counts at once in the current
// general data; the file "OData.txt" is written when the window loses the focus and when
// it closes.

#include "app/ui/workbench.h"
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

protected:
    KeyRule keyRule(int entry) const override;
    void entryPicked(int entry) override;
    bool restoreEntry(int entry) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    app::Workbench& wb_;
    bool placed_ = false;
    bool loading_ = true;
    QStringList saved_;  // the entries as the file holds them
};

}  // namespace object
