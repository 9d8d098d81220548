#pragma once
// What a window sees of the frame and of the other windows of the open object.
//
// The shell's Workbench implements this interface; windows hold an app::Workbench& and never
// include the shell or another subsystem's window. A window that must reach another window
// asks for it by kind and talks to it through one of the small views below (the task pane,
// the regime editor, the regime list, the units, the attached files).
//
// Window kinds
//   Each kind has a factory, registered once in the shell's composition root. MDI kinds live
//   in a sub-window of the frame (deleted on close), Grafmin is a top-level window of its
//   own, and the tool kinds (Comport, FPlG, FQ5, Pricid, Karta, FOpt, FImport) are
//   application-modal dialogs.
//   A kind without a factory is simply skipped by the opening sequence and by the tabs.
//
// Opening and closing
//   openObject(name): closes the object list, switches the frame to the object-open state,
//   makes the object folder the working folder, sets the caption, loads SReg, Navig, OD,
//   Graf, Docum (those with a factory) and selects tab 2, which loads and raises Regim.
//   closeObject(): unloads Regim, OD, Graf, Grafmin, Docum, SReg, Navig (then any other
//   object window still open), returns the frame to idle and zeroes the regime inputs.
//
// Activation
//   A content widget that also derives from ObjectWindowEvents hears activated() and
//   deactivated() when its sub-window gains or loses the frame's focus.

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class QMdiSubWindow;
class QWidget;

namespace app {

struct AppState;
class Dialogs;

enum class WindowKind {
    SReg,     // regime list
    Navig,    // task pane with the results table
    OD,       // general data window
    Regim,    // regime editor
    Graf,     // graph editor
    Grafmin,  // mini graph, a top-level window kept above the others
    Docum,    // attached files
    Edinic,   // units window
    Comport,  // serial link, modal
    FPlG,     // flame-head setting, modal
    FQ5,      // q5 calculator, modal
    Pricid,   // preliminary experiments, modal
    Karta,    // the regime card's own entries, modal
    FOpt,     // optimal excess air of every load step, modal
    FImport,  // readings of a text table into regimes, modal
    Count
};

// Where an open object's windows stand in the frame: the regime list at the top left, the
// task pane under it, and the working windows (editors, graphs) to their right.
// Dialog: beside the left column at its natural size.
enum class Slot { List, Pane, Work, Dialog };

// Optional base for an object window's content widget: told when its sub-window becomes
// the active one in the frame and when it stops being so, and when a program-wide reference
// list of the template folder changed (`file` such as "Сотрудники.txt"), so that a window
// offering that list offers it anew.
class ObjectWindowEvents {
public:
    virtual ~ObjectWindowEvents() = default;
    virtual void activated() {}
    virtual void deactivated() {}
    virtual void referenceListChanged(const QString& file) { (void)file; }
};

// Implemented by the task pane so that other windows can switch its page and caption, change
// the unit of a results row and have the results and the mini graph shown again.
class TaskPaneView {
public:
    virtual ~TaskPaneView() = default;
    virtual void showTaskPage(int page, const QString& caption) = 0;
    virtual void setResultUnit(const QString& rowKey, const QString& unit) = 0;
    virtual void showResults() {}
    virtual void refreshMiniGraphIfShown() {}
};

// Implemented by the regime editor: shows or hides its q5 row (label, input 42, button).
class RegimeEditorView {
public:
    virtual ~RegimeEditorView() = default;
    virtual void showQ5Row(bool visible) = 0;
    // The texts of the 43 fields, and the captions of the 31 unit labels.
    // (a stand-in editor without fields keeps these empty)
    virtual QStringList fieldTexts() const { return {}; }
    virtual void setFieldTexts(const QStringList&) {}
    virtual QStringList unitLabels() const { return {}; }
    virtual void setUnitLabels(const QStringList&) {}
    // Puts the keyboard into the first field in typing order (a new object starts there).
    virtual void focusFirstField() {}
};

// Implemented by the regime list: shows the stored regimes again, or recalculates them all,
// or those whose stored results their inputs no longer give (an object just opened).
class RegimeListView {
public:
    virtual ~RegimeListView() = default;
    virtual void refresh() = 0;
    // Makes row `row` the current regime as a click does (loads it into the editor and the
    // results); false, told, when the regime cannot be read.
    virtual bool selectRow(int row) = 0;
    virtual void RecalculateAll() = 0;
    virtual void recalculateStale() {}
};

// Implemented by the units window: puts the keyboard on the unit choice of unit label `unit`
// (0..30 of the regime editor's labels).
class UnitsView {
public:
    virtual ~UnitsView() = default;
    virtual void focusUnit(int unit) = 0;
};

// Implemented by the attached files window: the task pane's file-task toolbar hands it the
// key of the button that was pressed.
class FileTasks {
public:
    virtual ~FileTasks() = default;
    virtual void fileCommand(const QString& key) = 0;
};

class Workbench {
public:
    virtual ~Workbench() = default;

    virtual AppState& state() = 0;
    virtual Dialogs& dialogs() = 0;

    virtual bool hasFactory(WindowKind kind) const = 0;
    // Creates the window when it is not loaded yet (nullptr without a factory) and returns
    // its content widget. MDI kinds are shown but not raised.
    virtual QWidget* loadWindow(WindowKind kind) = 0;
    // Closes the window (its close event runs) when it is loaded.
    virtual void unloadWindow(WindowKind kind) = 0;
    virtual QWidget* window(WindowKind kind) const = 0;
    template <class T>
    T* window(WindowKind kind) const { return dynamic_cast<T*>(window(kind)); }
    virtual QMdiSubWindow* subWindow(WindowKind kind) const = 0;
    // The frame's active sub-window, whatever window it holds.
    virtual QMdiSubWindow* activeSubWindow() const = 0;
    // Loads the window when needed and makes it the active sub-window.
    virtual void raiseWindow(WindowKind kind) = 0;
    // Puts the sub-window that holds `content` in its place once the frame has wrapped it.
    virtual void placeWindow(QWidget* content, Slot slot) = 0;
    // The place of a slot in the frame's window area as it is now.
    virtual QRect slotRect(Slot slot) const = 0;

    // The opening sequence; false (nothing changed) when the folder holds no object.
    virtual bool openObject(const QString& name) = 0;
    virtual void closeObject() = 0;
    virtual bool objectOpen() const = 0;
    // Tab k (0..3) of the tab strip: OD, Regim, Graf, Docum.
    virtual void showTab(int tab) = 0;
    // Tabs whose window the user closed while the object is open (the "Окно" menu offers them).
    virtual QList<int> closedTabs() const = 0;

    // Object list window
    virtual void showObjectList() = 0;
    virtual void closeObjectList() = 0;
    // Called by the object list when it closes; forOpen when it closes to open an object.
    virtual void listClosed(bool forOpen) = 0;

    // New-object window: empty, or filled with the current general data except the name.
    virtual QWidget* showNewObject(bool copyGeneralData) = 0;
    // Called by the new-object window after "Ввод" created the object.
    virtual void objectCreated(const QString& name) = 0;
    // Called by the new-object window when it closes without creating an object.
    virtual void newObjectCancelled() = 0;

    // Status bar panels 1..3 and task pane page (through the pane, when loaded).
    virtual void setStatus(int panel, const QString& text) = 0;
    virtual QString status(int panel) const = 0;
    virtual void showTaskPage(int page, const QString& caption) = 0;
    virtual void setResultUnit(const QString& rowKey, const QString& unit) = 0;
    virtual void showQ5Row(bool visible) = 0;
    // Calculates the current regime from its inputs as they stand, stores and shows the
    // results everywhere; a failed data check is a notice over `noticeParent`. False only on
    // a file error (told).
    virtual bool calculateCurrentRegime(QWidget* noticeParent) = 0;

    // The frame's commands that follow the windows: the analyser command (a regime is
    // selected), Create and Open, the commands on the selected object (copy of the general
    // data, rename, delete), the close bar while the object list is up, and the state while
    // the regime editor is open.
    virtual void setAnalyserCommandEnabled(bool enabled) = 0;
    virtual void setCreateOpenEnabled(bool enabled) = 0;
    virtual void setObjectCommandsEnabled(bool enabled) = 0;
    virtual void enterListUp() = 0;
    virtual void regimeEditorOpened() = 0;
    virtual void regimeEditorClosed() = 0;

    // A reference list of the template folder was changed (added to or removed from): every
    // window in the frame hears referenceListChanged(file).
    virtual void referenceListChanged(const QString& file) = 0;

    // Closes every object window and helper window; used when the frame closes.
    virtual void shutdown() = 0;
};

}  // namespace app
