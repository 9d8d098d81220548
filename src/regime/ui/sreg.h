#pragma once
// The regime list: the regimes of the open object sorted by load, with check boxes that
// choose what the graphs plot, and the commands add, delete, calculate one and all.

#include <QIcon>
#include <QWidget>

#include "app/ui/workbench.h"
#include "regime/calculation.h"

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
    bool selectRow(int row) override;

    void SReg_Toolbar5_ButtonClick(const QString& key);
    void RecalculateAll() override;
    // Results stored by another program, another version or under other units than the
    // object has now are recalculated (and the user told which); an object opened read-only
    // only says so.
    void recalculateStale() override;
    void DeleteRegime();
    void AddRegime();
    void CalculateRegime();

    void activated() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The list, the pane and the editor show the regime that was current, after a
    // recalculation of several regimes; its failures are told.
    void showRecalculated(const RecalcReport& report);
    void itemClicked(QTreeWidgetItem* item);
    void itemChanged(QTreeWidgetItem* item, int column);
    void setButtons(bool all, bool del, bool add, bool calc);
    void updateEmptyState();

    app::Workbench& wb_;
    bool filling_ = false;
    QIcon regimeIcon_;  // the icon of every row, loaded once
};

}  // namespace regime
