#pragma once
// The task pane at the left edge: page 0 the burner picture, page 1 the results table of
// the current regime, page 2 the graph tasks. The window the user works in picks the page.

#include <QList>
#include <QWidget>

#include "app/ui/workbench.h"
#include "results/resultrows.h"

class QGroupBox;
class QLabel;
class QToolBar;
class QToolButton;
class QStackedWidget;
class QTreeWidget;

namespace results {

class GraphTasks;

class Navig : public QWidget, public app::TaskPaneView, public app::ObjectWindowEvents {
    Q_OBJECT
public:
    explicit Navig(app::Workbench& wb);
    ~Navig() override;

    // TaskPaneView
    void showTaskPage(int page, const QString& caption) override;
    void setResultUnit(const QString& rowKey, const QString& unit) override;
    void activated() override;
    // The emission limits (the program's list or the object's choice) changed: the verdicts
    // are shown anew.
    void referenceListChanged(const QString& file) override;

    // Writes the regime results array into the results table.
    void showResults() override;
    void refreshMiniGraphIfShown() override;

    int page() const;
    QString caption() const { return caption_; }
    QTreeWidget* lvAll() const { return lvAll_; }
    GraphTasks* graphTasks() const { return graphs_; }
    const QList<ResultRow>& rows() const { return rows_; }

    // The file-task toolbar of page 3; its commands go to the attached files window.
    QToolBar* Toolbar3 = nullptr;
    // Above it: opens the window of the card's own entries.
    QToolButton* CardEntries = nullptr;
    QToolButton* TechReport = nullptr;  // "Технический отчёт..."
    void Navig_Toolbar3_ButtonClick(const QString& key);

private:
    void BuildResultRows();
    QWidget* BuildFileTasks();

    app::Workbench& wb_;
    QStackedWidget* SSTab1_;
    QLabel* Image1_;
    QLabel* checkNote_;  // the data check's message of a regime whose results are not current
    QTreeWidget* lvAll_;
    GraphTasks* graphs_;
    QGroupBox* Frame1_ = nullptr;
    QList<ResultRow> rows_;
    QString caption_;
};

}  // namespace results
