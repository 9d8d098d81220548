#pragma once
// The main window: a frame with the menu bar, the main toolbar Toolbar1, the close bar
// Toolbar6, the tab strip TabStrip1, the status bar SBar1 and the area that holds every
// other window. It runs the frame's own commands; anything that touches other windows goes
// through the workbench.

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMenuBar;
class QTabBar;
class QToolBar;

namespace shell {

class Workbench;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(Workbench& workbench, QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return area_; }

    // Menu items, named as the controls they are.
    QAction *n, *O, *C, *nnam, *Cop_OD, *Del_o, *Ex;  // "Файл"
    QAction *ComP, *U, *Opt, *Imp, *Sotr, *Dbez, *Sred, *Norm, *Si;  // "Инструменты"
    QAction *About, *Spravca;                         // "Помощь"
    QMenu *mnFile, *In, *W, *H;

    QToolBar* Toolbar1;
    QToolBar* Toolbar6;
    QTabBar* TabStrip1;

    // Button k (1..9) of Toolbar1; buttons 3 and 7 are separators.
    QAction* toolbarButton(int k) const;
    // Button k of Toolbar1 found by its key, letter case ignored; nullptr when none.
    QAction* toolbarButton(const QString& key) const;
    // Button 1 of the close bar.
    QAction* closeButton() const { return closeButton_; }

    // Status bar panels 1..3.
    void setPanel(int panel, const QString& text);
    QString panel(int panel) const;
    QLabel* panelLabel(int panel) const;

    // Frame states; each sets exactly the controls the state names.
    void enterIdle();
    void enterListUp();
    void enterObjectOpen(const QString& name);
    // Copy general data, rename, delete: menu items and toolbar buttons 4, 5, 6.
    void setObjectCommandsEnabled(bool enabled);
    // Create and Open: menu items and toolbar buttons 1, 2.
    void setCreateOpenEnabled(bool enabled);

    // The frame's commands, also reachable from the menu and the toolbars.
    void MDIForm1_Create();
    void MDIForm1_OpenList();
    void MDIForm1_Close();
    void MDIForm1_Rename();
    void MDIForm1_Delete();
    void MDIForm1_CopyGeneralData();
    void MDIForm1_ReferenceList(const QString& file, const QString& caption, const QString& tip);
    void MDIForm1_Help();
    void MDIForm1_About();
    void MDIForm1_Converter();
    // The program's emission limits, modal; the open object's verdicts follow a save.
    void MDIForm1_Norms();

    // Helper windows opened by the frame (kept so a second call raises the first one).
    QPointer<QWidget> aboutWindow, helpWindow, converterWindow, referenceListWindow, normsWindow;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildFileMenu(QMenuBar* bar);
    void buildToolsMenu(QMenuBar* bar);
    void addMenuMnemonics(QMenuBar* bar);
    void connectMenuCommands();
    void buildToolbars();
    void fillWindowMenu();

    Workbench& wb_;
    QMdiArea* area_;
    QAction* closeButton_ = nullptr;
    QList<QAction*> toolbarButtons_;
    QLabel* panels_[3] = {};
};

}  // namespace shell
