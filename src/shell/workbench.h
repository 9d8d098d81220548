#pragma once
// The owner of the frame and of the open object's windows.
//
// One Workbench lives as long as the program. It holds the shared state, the dialogs, the
// main window and a guarded pointer to every object window, and implements what windows see
// of it (app::Workbench). Windows never keep pointers to each other: they ask the workbench
// (window<T>(kind), showTaskPage, setStatus, ...).
//
// How a window plugs in
//   Each object window kind has a factory slot. A window adds one line to
//   InstallObjectWindows() (objectwindows.cpp):
//       wb.setFactory(WindowKind::Regim, [](app::Workbench& w) { return new Regim(w); });
//   The factory returns the window's content widget; the workbench wraps MDI kinds in a
//   QMdiSubWindow of the frame (deleted on close), shows Grafmin as a top-level window of
//   its own, and shows the tool kinds (Comport, FPlG, FQ5, Pricid) as application-modal
//   dialogs.

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

#include "app/ui/workbench.h"

namespace store {
class frOpen;
}

namespace shell {

using app::WindowKind;
class MDIForm1;

class Workbench : public QObject, public app::Workbench {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*(app::Workbench&)>;

    Workbench(app::AppState& state, app::Dialogs& dialogs);
    ~Workbench() override;

    app::AppState& state() override { return state_; }
    app::Dialogs& dialogs() override { return dialogs_; }
    MDIForm1& frame() { return *frame_; }

    void setFactory(WindowKind kind, Factory factory);
    bool hasFactory(WindowKind kind) const override;

    QWidget* loadWindow(WindowKind kind) override;
    void unloadWindow(WindowKind kind) override;
    QWidget* window(WindowKind kind) const override;
    using app::Workbench::window;
    QMdiSubWindow* subWindow(WindowKind kind) const override;
    QMdiSubWindow* activeSubWindow() const override;
    void raiseWindow(WindowKind kind) override;
    void placeWindow(QWidget* content, app::Slot slot) override;
    QRect slotRect(app::Slot slot) const override;

    bool openObject(const QString& name) override;
    void closeObject() override;
    bool objectOpen() const override;
    void showTab(int tab) override;
    QList<int> closedTabs() const override;

    void showObjectList() override;
    void closeObjectList() override;
    void listClosed(bool forOpen) override;
    store::frOpen* objectList() const;

    QWidget* showNewObject(bool copyGeneralData) override;
    void objectCreated(const QString& name) override;
    void newObjectCancelled() override;

    void setStatus(int panel, const QString& text) override;
    QString status(int panel) const override;
    void showTaskPage(int page, const QString& caption) override;
    void setResultUnit(const QString& rowKey, const QString& unit) override;
    void showQ5Row(bool visible) override;
    bool calculateCurrentRegime(QWidget* noticeParent) override;

    void setAnalyserCommandEnabled(bool enabled) override;
    void setCreateOpenEnabled(bool enabled) override;
    void setObjectCommandsEnabled(bool enabled) override;
    void enterListUp() override;
    void regimeEditorOpened() override;
    void regimeEditorClosed() override;
    void referenceListChanged(const QString& file) override;

    void shutdown() override;

private:
    void onSubWindowActivated(QMdiSubWindow* sub);
    WindowKind kindOf(QMdiSubWindow* sub, bool* found) const;

    // The frame in the state of an open object, with the object's windows and the regime
    // editor in front.
    void showObjectWindows(const QString& name);
    // Where a top-level window of `size` opens: over no entry field of the object's windows.
    QPoint spotClearOfFields(const QSize& size) const;

    app::AppState& state_;
    app::Dialogs& dialogs_;
    std::unique_ptr<MDIForm1> frame_;
    std::array<Factory, static_cast<int>(WindowKind::Count)> factories_;
    std::array<QPointer<QWidget>, static_cast<int>(WindowKind::Count)> windows_;  // sub-window or top-level
    QPointer<QMdiSubWindow> listSub_, newObjectSub_, activeSub_;
    bool objectOpen_ = false;
    bool closingList_ = false;
};

}  // namespace shell
