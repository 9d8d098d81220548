#pragma once
// The regime list: the regimes of the open object sorted by load, with check boxes that
// choose what the graphs plot, and the commands add, delete, calculate one and all.

#include <QIcon>
#include <QWidget>

#include "app/ui/workbench.h"

class QAction;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace regime {

class SReg : public QWidget, public app::ObjectWindowEvents, public app::RegimeListView {
    Q_OBJECT
public:
    explicit SReg(app::Workbench& wb);
    ~SReg() override;

    QTreeWidget* ListView1;
    QToolBar* Toolbar5;
    QToolBar* Toolbar1;

    // Button of Toolbar5 by key ("Всех", "Удалить", "Добавить", "Расчитать").
    QAction* button(const QString& key) const;

    // Rebuilds the rows from the regime list model, keeping the current regime selected.
    void refresh() override;
    // Selects row `row` as a click does: loads the regime into the editor and results.
    bool selectRow(int row);

    void SReg_Toolbar5_ButtonClick(const QString& key);
    void RecalculateAll() override;
    void DeleteRegime();
    void AddRegime();
    void CalculateRegime();

    void activated() override;

private:
    void itemClicked(QTreeWidgetItem* item);
    void itemChanged(QTreeWidgetItem* item, int column);
    void setButtons(bool all, bool del, bool add, bool calc);
    void updateEmptyState();

    app::Workbench& wb_;
    bool filling_ = false;
    QIcon regimeIcon_;  // the icon of every row, loaded once
};

// Shows the results and refreshes the list, the results table and the mini graph; the
// regime windows call this after a calculation.
void AfterCalculation(app::Workbench& wb);

// Calculates the current regime from its inputs as they stand, stores the results and shows
// them in the list (re-sorted), the pane and the mini graph; a failed data check is told in a
// notice over `noticeParent` and shown in the pane. False only on a file error (told).
bool CalculateAndShow(app::Workbench& wb, QWidget* noticeParent);

}  // namespace regime
