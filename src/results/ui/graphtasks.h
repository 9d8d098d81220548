#pragma once
// Page 2 of the task pane: the catalogue of graphs of the object and the graph commands.

#include <QList>
#include <QWidget>

#include "app/ui/workbench.h"
#include "results/graphcatalogue.h"

class QAction;
class QFrame;
class QPushButton;
class QToolBar;
class QTableWidget;

namespace results {

class GraphTasks : public QWidget {
    Q_OBJECT
public:
    explicit GraphTasks(app::Workbench& wb);

    QTableWidget* LWg;
    QPushButton* Command1;  // "к меню"
    QFrame* Frame2;
    QToolBar* T2;

    QAction* button(const QString& key) const;
    // Rebuilds the catalogue from the general data and the editor's unit labels.
    void buildCatalogue();
    const QList<GraphEntry>& entries() const { return entries_; }

    void Navig_T2_ButtonClick(const QString& key);
    void Navig_Command1_Click();
    // Choosing entry `row` of the catalogue.
    void Navig_LWg_ItemClick(int row);

    bool overlay() const;
    bool miniGraphShown() const;
    // After a regime was recalculated: refresh the mini graph while its button is pressed.
    void RefreshMiniGraphIfShown();
    // The mini-graph window was closed by other means: the button is released.
    void miniGraphClosed();

private:
    // The graph catalogue with its "к меню" button, and the frame of the graph commands.
    void buildCatalogueView();
    void buildCommandFrame();
    void redraw(bool reportErrors);
    void setMiniGraph(bool shown);
    void exportWorkbook();
    app::Workbench& wb_;
    QList<GraphEntry> entries_;
    bool settingMini_ = false;
};

}  // namespace results
