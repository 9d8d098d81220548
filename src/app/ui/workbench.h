#pragma once
// The owner of the frame and of the open object's windows.
//
// One Workbench lives as long as the program. It holds the shared state, the dialogs, the
// main window and a guarded pointer to every object window. Windows never keep pointers to
// each other: they ask the workbench (window<T>(kind), showTaskPage, setStatus, ...).
//
// How a window plugs in
//   Each object window kind has a factory slot. A window's issue adds one line to
//   InstallObjectWindows() (objectwindows.cpp):
//       wb.setFactory(WindowKind::Regim, [](Workbench& w) { return new Regim(w); });
//   The factory returns the window's content widget; the workbench wraps MDI kinds in a
//   QMdiSubWindow of the frame (deleted on close), shows Grafmin as a top-level window of
//   its own, and shows the tool kinds (Comport, FPlG) as application-modal dialogs.
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

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QMdiSubWindow;
class QWidget;

namespace app {

struct AppState;
class Dialogs;
class MDIForm1;
class frOpen;

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
    Count
};

// Optional base for an object window's content widget: told when its sub-window becomes
// the active one in the frame and when it stops being so.
class ObjectWindowEvents {
public:
    virtual ~ObjectWindowEvents() = default;
    virtual void activated() {}
    virtual void deactivated() {}
};

// Implemented by the task pane so that other windows can switch its page and caption and
// change the unit of a results row.
class TaskPaneView {
public:
    virtual ~TaskPaneView() = default;
    virtual void showTaskPage(int page, const QString& caption) = 0;
    virtual void setResultUnit(const QString& rowKey, const QString& unit) = 0;
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
};

class Workbench : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*(Workbench&)>;

    Workbench(AppState& state, Dialogs& dialogs);
    ~Workbench() override;

    AppState& state() { return state_; }
    Dialogs& dialogs() { return dialogs_; }
    MDIForm1& frame() { return *frame_; }

    void setFactory(WindowKind kind, Factory factory);
    bool hasFactory(WindowKind kind) const;

    // Creates the window when it is not loaded yet (nullptr without a factory) and returns
    // its content widget. MDI kinds are shown but not raised.
    QWidget* loadWindow(WindowKind kind);
    // Closes the window (its close event runs) when it is loaded.
    void unloadWindow(WindowKind kind);
    QWidget* window(WindowKind kind) const;
    template <class T>
    T* window(WindowKind kind) const { return dynamic_cast<T*>(window(kind)); }
    QMdiSubWindow* subWindow(WindowKind kind) const;
    // Loads the window when needed and makes it the active sub-window.
    void raiseWindow(WindowKind kind);

    // The opening sequence; false (nothing changed) when the folder holds no object.
    bool openObject(const QString& name);
    void closeObject();
    bool objectOpen() const;
    // Tab k (0..3) of the tab strip: OD, Regim, Graf, Docum.
    void showTab(int tab);
    // Tabs whose window the user closed while the object is open (the "Окно" menu offers them).
    QList<int> closedTabs() const;

    // Object list window
    void showObjectList();
    void closeObjectList();
    frOpen* objectList() const;

    // New-object window: empty, or filled with the current general data except the name.
    QWidget* showNewObject(bool copyGeneralData);
    // Called by the new-object window after "Ввод" created the object.
    void objectCreated(const QString& name);
    // Called by the new-object window when it closes without creating an object.
    void newObjectCancelled();

    // Status bar panels 1..3 and task pane page (through the pane, when loaded).
    void setStatus(int panel, const QString& text);
    QString status(int panel) const;
    void showTaskPage(int page, const QString& caption);
    void setResultUnit(const QString& rowKey, const QString& unit);
    void showQ5Row(bool visible);

    // Closes every object window and helper window; used when the frame closes.
    void shutdown();

private:
    friend class frOpen;
    void onSubWindowActivated(QMdiSubWindow* sub);
    void listClosed(bool forOpen);
    WindowKind kindOf(QMdiSubWindow* sub, bool* found) const;

    AppState& state_;
    Dialogs& dialogs_;
    std::unique_ptr<MDIForm1> frame_;
    std::array<Factory, static_cast<int>(WindowKind::Count)> factories_;
    std::array<QPointer<QWidget>, static_cast<int>(WindowKind::Count)> windows_;  // sub-window or top-level
    QPointer<QMdiSubWindow> listSub_, newObjectSub_, activeSub_;
    bool objectOpen_ = false;
    bool closingList_ = false;
};

}  // namespace app
