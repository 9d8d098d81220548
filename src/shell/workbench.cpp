#include "shell/workbench.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QToolBar>

#include "app/dialogs.h"
#include "app/objectlock.h"
#include "app/startup.h"
#include "app/state.h"
#include "object/generaldata.h"
#include "object/units.h"
#include "regime/ui/recalcflow.h"
#include "shell/mdiform1.h"
#include "shell/placement.h"
#include "store/objectstore.h"
#include "store/ui/fropen.h"
#include "store/ui/newot.h"

namespace shell {

using namespace app;
using namespace store;

namespace {

constexpr int Index(WindowKind k) { return static_cast<int>(k); }

enum class Placement { Mdi, TopLevel, Modal };

constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;

Placement PlacementOf(WindowKind k) {
    switch (k) {
    case WindowKind::Grafmin: return Placement::TopLevel;
    case WindowKind::Comport:
    case WindowKind::FPlG:
    case WindowKind::FQ5:
    case WindowKind::Pricid:
    case WindowKind::Karta:
    case WindowKind::FOpt:
    case WindowKind::FImport: return Placement::Modal;
    default: return Placement::Mdi;
    }
}

// The windows brought to the front by the four tabs.
constexpr WindowKind kTabWindows[4] = {WindowKind::OD, WindowKind::Regim, WindowKind::Graf, WindowKind::Docum};

// The regime list and the task pane (results table, graph catalogue) have nothing to bring
// them back but reopening the object, so they stay while the object is open: no close box,
// no "Close" in their system menu, and a close from elsewhere (Ctrl+F4) is refused. The
// workbench closes them with the object.
class KeepOpenFilter : public QObject {
public:
    explicit KeepOpenFilter(QObject* parent) : QObject(parent) {}
    bool allowClose = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && !allowClose) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void KeepOpen(QMdiSubWindow* sub) {
    // no system menu hint either: the styles draw the title bar's close box from it
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
    if (QMenu* menu = sub->systemMenu())
        for (QAction* a : menu->actions())
            if (a->shortcut() == QKeySequence(QKeySequence::Close) || a->objectName() == u"close" ||
                a->text().contains(QStringLiteral("Close"), Qt::CaseInsensitive) ||
                a->text().contains(QStringLiteral("Закры"), Qt::CaseInsensitive))
                menu->removeAction(a);
    sub->installEventFilter(new KeepOpenFilter(sub));
}

void AllowClose(QWidget* w) {
    if (!w) return;
    for (QObject* child : w->children())
        if (auto* f = dynamic_cast<KeepOpenFilter*>(child)) f->allowClose = true;
}

}  // namespace

Workbench::Workbench(AppState& state, Dialogs& dialogs) : state_(state), dialogs_(dialogs) {
    frame_ = std::make_unique<MDIForm1>(*this);
    connect(frame_->mdiArea(), &QMdiArea::subWindowActivated, this, &Workbench::onSubWindowActivated);
    // a program folder without its template starts all the same, but says so
    const QString templateWarning = TemplateWarning(state_);
    if (!templateWarning.isEmpty()) setStatus(1, templateWarning);
}

Workbench::~Workbench() {
    // the frame takes its child windows with it; no activation may reach us meanwhile
    disconnect(frame_->mdiArea(), nullptr, this, nullptr);
    frame_.reset();
}

void Workbench::setFactory(WindowKind kind, Factory factory) { factories_[Index(kind)] = std::move(factory); }

bool Workbench::hasFactory(WindowKind kind) const { return static_cast<bool>(factories_[Index(kind)]); }

QWidget* Workbench::window(WindowKind kind) const {
    QWidget* w = windows_[Index(kind)];
    // a window the user closed is hidden at once and deleted a moment later
    if (!w || w->isHidden()) return nullptr;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) return sub->widget();
    return w;
}

QMdiSubWindow* Workbench::subWindow(WindowKind kind) const {
    auto* sub = qobject_cast<QMdiSubWindow*>(windows_[Index(kind)].data());
    return sub && !sub->isHidden() ? sub : nullptr;
}

QWidget* Workbench::loadWindow(WindowKind kind) {
    if (QWidget* w = window(kind)) return w;
    const Factory& make = factories_[Index(kind)];
    if (!make) return nullptr;
    QWidget* w = make(*this);
    if (!w) return nullptr;
    switch (PlacementOf(kind)) {
    case Placement::Mdi: {
        QMdiSubWindow* sub = frame_->mdiArea()->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        windows_[Index(kind)] = sub;
        if (kind == WindowKind::SReg || kind == WindowKind::Navig) KeepOpen(sub);
        sub->show();
        break;
    }
    case Placement::TopLevel:
        // a tool window of the frame: above the frame, but under its dialogs and under other
        // programs' windows
        // without a minimize button: minimized, it would take the frame with it where no
        // panel brings windows back
        w->setParent(frame_.get(),
                     Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        w->setAttribute(Qt::WA_ShowWithoutActivating);
        w->setAttribute(Qt::WA_DeleteOnClose);
        windows_[Index(kind)] = w;
        w->move(spotClearOfFields(w->size()));
        w->show();
        break;
    case Placement::Modal:
        // a dialog of the frame with no minimize button: minimized where no panel brings
        // windows back, it would leave a frame that takes no input
        w->setParent(w->parentWidget() ? w->parentWidget() : frame_.get(), kDialogFlags);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowModality(Qt::ApplicationModal);
        windows_[Index(kind)] = w;
        w->show();
        break;
    }
    return w;
}

QPoint Workbench::spotClearOfFields(const QSize& size) const {
    // with the room the window's title bar and borders take
    const QSize outer = size + QSize(8, 38);
    const QWidget* viewport = frame_->mdiArea()->viewport();
    const QRect area(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    auto fieldsOf = [](const QMdiSubWindow* sub, QList<QRect>& rects) {
        if (!sub || sub->isHidden() || sub->isMinimized()) return;
        for (const QWidget* f : sub->findChildren<QWidget*>()) {
            const bool entry = qobject_cast<const QLineEdit*>(f) || qobject_cast<const QAbstractSpinBox*>(f) ||
                               qobject_cast<const QTextEdit*>(f) || qobject_cast<const QPlainTextEdit*>(f) ||
                               qobject_cast<const QComboBox*>(f);
            if (entry && f->isVisibleTo(sub)) rects.append(QRect(f->mapToGlobal(QPoint(0, 0)), f->size()));
        }
    };
    // no field of the regime editor (values are typed there while the mini graph is watched)
    // nor of the window in front; and, where there is room, not over the regime list and the
    // task pane either, which stay in view beside every working window
    QList<QRect> fields;
    fieldsOf(subWindow(WindowKind::Regim), fields);
    fieldsOf(frame_->mdiArea()->activeSubWindow(), fields);
    QList<QRect> columns = fields;
    for (WindowKind k : {WindowKind::SReg, WindowKind::Navig})
        if (const QMdiSubWindow* sub = subWindow(k)) columns.append(QRect(sub->mapToGlobal(QPoint(0, 0)), sub->size()));
    if (const auto spot = ClearSpot(area, outer, columns)) return *spot;
    // with no such spot at all: the area's bottom right
    return ClearSpot(area, outer, fields)
        .value_or(QPoint(area.right() + 1 - outer.width(), area.bottom() + 1 - outer.height()));
}

void Workbench::unloadWindow(WindowKind kind) {
    QPointer<QWidget> w = windows_[Index(kind)];
    if (!w || w->isHidden()) {
        windows_[Index(kind)] = nullptr;
        return;
    }
    AllowClose(w);
    w->close();
    // a window of a closed object goes whether or not its close event agreed
    windows_[Index(kind)] = nullptr;
    if (w) {
        w->hide();
        w->deleteLater();
    }
}

void Workbench::raiseWindow(WindowKind kind) {
    if (!loadWindow(kind)) return;
    if (QMdiSubWindow* sub = subWindow(kind)) {
        if (sub->isMinimized()) sub->showNormal();
        frame_->mdiArea()->setActiveSubWindow(sub);
        sub->raise();
    } else if (QWidget* w = windows_[Index(kind)]) {
        w->show();
        w->raise();
    }
}

WindowKind Workbench::kindOf(QMdiSubWindow* sub, bool* found) const {
    for (int k = 0; k < Index(WindowKind::Count); ++k)
        if (sub && windows_[k] == sub) {
            *found = true;
            return static_cast<WindowKind>(k);
        }
    *found = false;
    return WindowKind::Count;
}

void Workbench::onSubWindowActivated(QMdiSubWindow* sub) {
    if (sub == activeSub_) return;
    QPointer<QMdiSubWindow> previous = activeSub_;
    activeSub_ = sub;
    if (previous)
        if (auto* events = dynamic_cast<ObjectWindowEvents*>(previous->widget())) events->deactivated();
    if (!sub) return;
    if (auto* events = dynamic_cast<ObjectWindowEvents*>(sub->widget())) events->activated();
    bool found = false;
    const WindowKind kind = kindOf(sub, &found);
    if (!found) return;
    for (int tab = 0; tab < 4; ++tab)
        if (kTabWindows[tab] == kind) frame_->TabStrip1->setCurrentIndex(tab);
}

// ---------------------------------------------------------------- object

bool Workbench::openObject(const QString& name) {
    state_.setCurrentObject(name);
    if (name.isEmpty() || !IsObjectFolder(state_.currentObjectFolder)) {
        dialogs_.message(QStringLiteral("Объект '") + name + QStringLiteral("' не является файлом Kalvaro"),
                         kProgramTitle, Icon::Warning);
        return false;
    }
    // the windows start from this object's own files only (the state was cleared above);
    // a general data record that cannot be read whole is not opened for editing, so
    // nothing of it is written until the user has fixed the file
    QStringList general;
    QString why;
    if (!object::ReadGeneralData(state_.currentObjectFolder, general, &why)) {
        state_.setCurrentObject(QString());
        dialogs_.message(kFileReadError + QStringLiteral(": ") + why +
                             QStringLiteral(". Объект не открыт: исправьте файл общих данных."),
                         kProgramTitle, Icon::Warning);
        return false;
    }
    if (!LockOpenedObject(state_, dialogs_)) {  // held by another and not opened read-only
        state_.setCurrentObject(QString());
        return false;
    }
    state_.general = general;
    QString unitsWarning;
    if (!object::LoadObjectUnits(state_.currentObjectFolder, state_.templateFolder, state_.units, &unitsWarning))
        dialogs_.message(unitsWarning, kProgramTitle, Icon::Warning);

    if (frOpen* list = objectList()) {
        list->markClosingForOpen();
        listSub_->close();
    }
    QDir::setCurrent(state_.currentObjectFolder);
    showObjectWindows(name);
    // no stored result is shown as current when its inputs no longer give it
    if (auto* list = dynamic_cast<app::RegimeListView*>(window(WindowKind::SReg))) list->recalculateStale();
    return true;
}

void Workbench::showObjectWindows(const QString& name) {
    frame_->enterObjectOpen(name);
    objectOpen_ = true;
    for (WindowKind k : {WindowKind::SReg, WindowKind::Navig, WindowKind::OD, WindowKind::Graf, WindowKind::Docum})
        loadWindow(k);
    // the regime editor's load enables "Закрыть "; done here so it holds whichever windows exist
    frame_->C->setEnabled(true);
    showTab(1);
}

void Workbench::objectCreated(const QString& name) {
    newObjectSub_ = nullptr;
    LockOpenedObject(state_, dialogs_);
    showObjectWindows(name);
    // the first regime of a new object is typed in at once
    if (auto* editor = dynamic_cast<app::RegimeEditorView*>(window(WindowKind::Regim))) editor->focusFirstField();
}

void Workbench::newObjectCancelled() {
    newObjectSub_ = nullptr;
    if (!objectOpen_) frame_->enterIdle();
}

void Workbench::closeObject() {
    const bool listUp =
        QString::compare(frame_->closeButton()->text(), QStringLiteral("  Закрыть список объектов"),
                         Qt::CaseInsensitive) == 0;
    if (listUp) {
        closeObjectList();
    } else {
        frame_->TabStrip1->setEnabled(false);
        for (WindowKind k : {WindowKind::Regim, WindowKind::OD, WindowKind::Graf, WindowKind::Grafmin,
                             WindowKind::Docum, WindowKind::SReg, WindowKind::Navig})
            unloadWindow(k);
        // any other window of the object (units, tools) goes too
        for (int k = 0; k < Index(WindowKind::Count); ++k) unloadWindow(static_cast<WindowKind>(k));
        objectOpen_ = false;
    }
    frame_->enterIdle();
    // nothing of the closed object stays in the state
    state_.clearObjectData();
}

bool Workbench::objectOpen() const { return objectOpen_; }

QList<int> Workbench::closedTabs() const {
    QList<int> tabs;
    if (!objectOpen_) return tabs;
    for (int tab = 0; tab < 4; ++tab)
        if (hasFactory(kTabWindows[tab]) && !window(kTabWindows[tab])) tabs.append(tab);
    return tabs;
}

void Workbench::showTab(int tab) {
    if (tab < 0 || tab > 3 || !objectOpen_) return;
    frame_->TabStrip1->setCurrentIndex(tab);
    raiseWindow(kTabWindows[tab]);
}

// ---------------------------------------------------------------- object list

void Workbench::showObjectList() {
    if (listSub_) {
        frame_->mdiArea()->setActiveSubWindow(listSub_);
        return;
    }
    auto* list = new frOpen(*this);
    QMdiSubWindow* sub = frame_->mdiArea()->addSubWindow(list);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(list->windowIcon());
    listSub_ = sub;
    sub->move(0, 0);
    sub->resize(sub->sizeHint().expandedTo(QSize(880, 560)));
    sub->show();
    list->frOpen_Form_Load();
}

void Workbench::closeObjectList() {
    if (listSub_) listSub_->close();
}

frOpen* Workbench::objectList() const { return listSub_ ? qobject_cast<frOpen*>(listSub_->widget()) : nullptr; }

void Workbench::listClosed(bool forOpen) {
    listSub_ = nullptr;
    for (int k : {4, 5, 6}) frame_->toolbarButton(k)->setEnabled(false);
    if (forOpen) return;
    // the list's own "Выход": back to the frame without an open object
    frame_->setCreateOpenEnabled(true);
    frame_->setObjectCommandsEnabled(false);
    frame_->C->setEnabled(false);
    frame_->closeButton()->setEnabled(false);
}

// ---------------------------------------------------------------- new object

QWidget* Workbench::showNewObject(bool copyGeneralData) {
    if (newObjectSub_) {
        frame_->mdiArea()->setActiveSubWindow(newObjectSub_);
        return newObjectSub_->widget();
    }
    // a copy of the general data starts from the selection made in the list; the list
    // closes so that the new object window is the only thing in the frame
    const QStringList general = state_.general;
    closeObjectList();
    auto* form = new store::NewOt(*this);
    if (copyGeneralData) form->fillFrom(general);
    QMdiSubWindow* sub = frame_->mdiArea()->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(form->windowIcon());
    newObjectSub_ = sub;
    sub->resize(sub->sizeHint());
    frame_->setCreateOpenEnabled(false);
    frame_->setObjectCommandsEnabled(false);
    frame_->closeButton()->setEnabled(false);
    sub->move(0, 0);
    sub->show();
    frame_->mdiArea()->setActiveSubWindow(sub);
    return form;
}

QMdiSubWindow* Workbench::activeSubWindow() const { return frame_->mdiArea()->activeSubWindow(); }

void Workbench::placeWindow(QWidget* content, Slot slot) { PlaceSubWindow(content, slot); }

QRect Workbench::slotRect(Slot slot) const { return SlotRect(frame_->mdiArea()->viewport()->size(), slot); }

// ---------------------------------------------------------------- frame commands

void Workbench::setAnalyserCommandEnabled(bool enabled) { frame_->ComP->setEnabled(enabled); }

void Workbench::setCreateOpenEnabled(bool enabled) { frame_->setCreateOpenEnabled(enabled); }

void Workbench::setObjectCommandsEnabled(bool enabled) { frame_->setObjectCommandsEnabled(enabled); }

void Workbench::enterListUp() { frame_->enterListUp(); }

void Workbench::regimeEditorOpened() {
    frame_->closeButton()->setToolTip(QStringLiteral("Закрыть объект ") + state_.currentObjectName);
    frame_->closeButton()->setText(QStringLiteral(" Закрыть текущий объект "));
    frame_->closeButton()->setEnabled(true);
    if (QAction* first = frame_->toolbarButton(1)) first->setEnabled(false);
    frame_->C->setEnabled(true);
}

void Workbench::regimeEditorClosed() {
    if (QAction* first = frame_->toolbarButton(1)) first->setEnabled(true);
}

void Workbench::referenceListChanged(const QString& file) {
    for (QMdiSubWindow* sub : frame_->mdiArea()->subWindowList())
        if (auto* events = dynamic_cast<ObjectWindowEvents*>(sub->widget())) events->referenceListChanged(file);
}

// ---------------------------------------------------------------- status and pane

void Workbench::setStatus(int panel, const QString& text) { frame_->setPanel(panel, text); }

QString Workbench::status(int panel) const { return frame_->panel(panel); }

void Workbench::showTaskPage(int page, const QString& caption) {
    if (auto* pane = window<TaskPaneView>(WindowKind::Navig)) pane->showTaskPage(page, caption);
}

void Workbench::setResultUnit(const QString& rowKey, const QString& unit) {
    if (auto* pane = window<TaskPaneView>(WindowKind::Navig)) pane->setResultUnit(rowKey, unit);
}

bool Workbench::calculateCurrentRegime(QWidget* noticeParent) { return regime::CalculateAndShow(*this, noticeParent); }

void Workbench::showQ5Row(bool visible) {
    if (auto* editor = window<RegimeEditorView>(WindowKind::Regim)) editor->showQ5Row(visible);
}

void Workbench::shutdown() {
    unloadWindow(WindowKind::Grafmin);
    if (objectOpen_) closeObject();
    closeObjectList();
    if (newObjectSub_) newObjectSub_->close();
    for (QWidget* w : {frame_->aboutWindow.data(), frame_->helpWindow.data(), frame_->converterWindow.data(),
                       frame_->referenceListWindow.data()})
        if (w) w->close();
}

}  // namespace shell
