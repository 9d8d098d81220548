#include "shell/mdiform1.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/objectlock.h"
#include "app/startup.h"
#include "app/state.h"
#include "app/ui/pictures.h"
#include "docs/ui/nastr.h"
#include "object/emissionnorms.h"
#include "object/reflists.h"
#include "object/ui/fnorm.h"
#include "shell/aboutwindow.h"
#include "shell/helpwindow.h"
#include "shell/placement.h"
#include "shell/unitconverter.h"
#include "shell/workbench.h"
#include "store/objectstore.h"
#include "store/ui/fropen.h"

namespace shell {

using namespace app;
using namespace store;

namespace {

const QString kListCaption = QStringLiteral("  Закрыть список объектов");
const QString kObjectCaption = QStringLiteral(" Закрыть текущий объект ");

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                  bool enabled) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) a->setShortcut(key);
    a->setEnabled(enabled);
    return a;
}

}  // namespace

MDIForm1::MDIForm1(Workbench& workbench, QWidget* parent)
    : QMainWindow(parent), wb_(workbench), area_(new QMdiArea) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(kProgramTitle);
    setWindowIcon(ProgramIcon(QStringLiteral("kalvaro-48")));

    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setBackground(QColor(128, 128, 128));
    TabStrip1 = new QTabBar;
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setExpanding(false);
    TabStrip1->setDrawBase(false);
    const QString captions[4] = {QStringLiteral("     Общие      Данные     "),
                                 QStringLiteral("    Редактор      Режимов     "),
                                 QStringLiteral("   Редактор    Графиков   "),
                                 QStringLiteral("     Работа    с   отчетом  ")};
    const QString tips[4] = {QStringLiteral("Работа с общими данными"), QStringLiteral("Редактирование режимов"),
                             QStringLiteral("Редактирование графиков"), QStringLiteral("Работа с документами отчета")};
    for (int i = 0; i < 4; ++i) {
        TabStrip1->addTab(captions[i]);
        TabStrip1->setTabToolTip(i, tips[i]);
    }
    TabStrip1->setEnabled(false);
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (tab >= 0 && TabStrip1->isEnabled()) wb_.showTab(tab);
    });

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TabStrip1);
    layout->addWidget(area_, 1);
    setCentralWidget(central);

    buildMenus();
    buildToolbars();

    auto* bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("SBar1"));
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel;
        panels_[i]->setObjectName(QStringLiteral("SBar1_Panel%1").arg(i + 1));
        panels_[i]->setMinimumWidth(i == 1 ? 260 : 120);
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panels_[i], i == 1 ? 0 : 1);
    }
    setStatusBar(bar);

    // at most the screen's free area (no status bar under the screen's edge), centred
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(FitOnScreen(QSize(1200, 820), screen->availableGeometry(), QSize(8, 38)));
    else
        resize(1200, 820);
    enterIdle();
    // a text field takes Ctrl+E for itself (end of line): the frame's command comes first
    qApp->installEventFilter(this);
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* event) {
    // every window of the program opens within the screen's free area (less the room its
    // title bar and borders take), and every child window within the frame's, so its buttons
    // and close box can be reached
    if (event->type() == QEvent::Show && watched->isWidgetType() && watched != this) {
        auto* w = static_cast<QWidget*>(watched);
        const Qt::WindowType type = w->windowType();
        if (w->isWindow() && (type == Qt::Dialog || type == Qt::Tool || type == Qt::Window))
            if (const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen()) {
                const QRect fit = FitWindowOnScreen(w->geometry(), w->minimumSizeHint(),
                                                    screen->availableGeometry().adjusted(4, 34, -4, -4));
                if (fit != w->geometry()) w->setGeometry(fit);
            }
        // a child window, once its own opening code has placed it
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w); sub && sub->mdiArea() == area_)
            QTimer::singleShot(0, sub, [sub] { FitSubWindow(sub); });
    }
    if (event->type() == QEvent::ShortcutOverride && C->isEnabled()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_E) && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == this) {
            event->ignore();
            return true;  // not taken by the field, so the shortcut runs
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDIForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    buildFileMenu(bar);
    buildToolsMenu(bar);

    W = bar->addMenu(QStringLiteral("Окно"));
    W->setObjectName(QStringLiteral("W"));
    connect(W, &QMenu::aboutToShow, this, &MDIForm1::fillWindowMenu);

    H = bar->addMenu(QStringLiteral("Помощь"));
    H->setObjectName(QStringLiteral("H"));
    About = MenuItem(H, "About", QStringLiteral("О программе"), QKeySequence(Qt::Key_F2), true);
    Spravca = MenuItem(H, "Spravca", QStringLiteral("Справка"), QKeySequence(Qt::Key_F1), true);

    addMenuMnemonics(bar);
    connectMenuCommands();
}

// "Файл": create, open, close, rename, copy the general data, delete, exit.
void MDIForm1::buildFileMenu(QMenuBar* bar) {
    mnFile = bar->addMenu(QStringLiteral("Файл"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    n = MenuItem(mnFile, "n", QStringLiteral("Создать "), QKeySequence(Qt::CTRL | Qt::Key_N), true);
    O = MenuItem(mnFile, "O", QStringLiteral("Открыть "), QKeySequence(Qt::CTRL | Qt::Key_O), true);
    C = MenuItem(mnFile, "C", QStringLiteral("Закрыть "), QKeySequence(Qt::CTRL | Qt::Key_E), false);
    mnFile->addSeparator();
    nnam = MenuItem(mnFile, "nnam", QStringLiteral("Перемеиновать..."), QKeySequence(Qt::CTRL | Qt::Key_R), false);
    Cop_OD = MenuItem(mnFile, "Cop_OD", QStringLiteral("Копировать общие данные"), QKeySequence(Qt::CTRL | Qt::Key_C),
                      false);
    Del_o = MenuItem(mnFile, "Del_o", QStringLiteral("Удалить"), QKeySequence(), false);
    mnFile->addSeparator();
    Ex = MenuItem(mnFile, "Ex", QStringLiteral("Выход"), QKeySequence(Qt::Key_F12), true);
}

// "Инструменты": the tool windows, the reference lists and the unit converter.
void MDIForm1::buildToolsMenu(QMenuBar* bar) {
    In = bar->addMenu(QStringLiteral("Инструменты"));
    In->setObjectName(QStringLiteral("In"));
    ComP = MenuItem(In, "ComP", QStringLiteral("COM port связь ..."), QKeySequence(Qt::Key_F3), false);
    U = MenuItem(In, "U", QStringLiteral("Установка пламенной головы ..."), QKeySequence(Qt::Key_F4), false);
    Opt = MenuItem(In, "Opt", QStringLiteral("Оптимальный избыток воздуха"), QKeySequence(Qt::Key_F8), false);
    Imp = MenuItem(In, "Imp", QStringLiteral("Импорт показаний из файла ..."), QKeySequence(Qt::Key_F9), false);
    In->addSeparator();
    Sotr = MenuItem(In, "Sotr", QStringLiteral("Наши сотрудники..."), QKeySequence(Qt::Key_F5), true);
    Dbez = MenuItem(In, "Dbez", QStringLiteral("Датчики безопасности..."), QKeySequence(Qt::Key_F6), true);
    Sred = MenuItem(In, "Sred", QStringLiteral("Средства измерений..."), QKeySequence(), true);
    Norm = MenuItem(In, "Norm", QStringLiteral("Нормы выбросов..."), QKeySequence(), true);
    In->addSeparator();
    Si = MenuItem(In, "Si", QStringLiteral("Перевод технических  единиц ..."), QKeySequence(Qt::Key_F7), true);
}

// The Alt shortcuts that open the menus from the keyboard.
void MDIForm1::addMenuMnemonics(QMenuBar* bar) {
    // Alt and the first letter of a menu's caption opens it, in the Russian layout and on the
    // same key of the Latin one; the captions keep their text
    const struct {
        QMenu* menu;
        int russian, latin;
    } mnemonics[] = {
        {mnFile, 0x0424, Qt::Key_A}, {In, 0x0418, Qt::Key_B}, {W, 0x041E, Qt::Key_J}, {H, 0x041F, Qt::Key_G}};
    for (const auto& m : mnemonics) {
        auto* open = new QAction(this);
        open->setObjectName(QStringLiteral("mnemonic_") + m.menu->objectName());
        open->setShortcuts({QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(m.russian))),
                            QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(m.latin)))});
        open->setShortcutContext(Qt::WindowShortcut);
        addAction(open);
        QMenu* menu = m.menu;
        connect(open, &QAction::triggered, this, [bar, menu] { bar->setActiveAction(menu->menuAction()); });
    }
}

// What each menu command does.
void MDIForm1::connectMenuCommands() {
    connect(n, &QAction::triggered, this, &MDIForm1::MDIForm1_Create);
    connect(O, &QAction::triggered, this, &MDIForm1::MDIForm1_OpenList);
    connect(C, &QAction::triggered, this, &MDIForm1::MDIForm1_Close);
    connect(nnam, &QAction::triggered, this, &MDIForm1::MDIForm1_Rename);
    connect(Cop_OD, &QAction::triggered, this, &MDIForm1::MDIForm1_CopyGeneralData);
    connect(Del_o, &QAction::triggered, this, &MDIForm1::MDIForm1_Delete);
    connect(Ex, &QAction::triggered, this, &QWidget::close);
    // a tool whose window this version does not have says so instead of doing nothing
    auto openTool = [this](WindowKind kind, const QString& name) {
        if (!wb_.hasFactory(kind)) {
            wb_.dialogs().message(name + QStringLiteral(" в этой версии программы недоступно."), kProgramTitle,
                                  Icon::Information);
            return;
        }
        wb_.loadWindow(kind);
    };
    connect(ComP, &QAction::triggered, this,
            [openTool] { openTool(WindowKind::Comport, QStringLiteral("Окно связи с газоанализатором")); });
    connect(U, &QAction::triggered, this,
            [openTool] { openTool(WindowKind::FPlG, QStringLiteral("Окно установки пламенной головы")); });
    connect(Opt, &QAction::triggered, this,
            [openTool] { openTool(WindowKind::FOpt, QStringLiteral("Окно оптимального избытка воздуха")); });
    connect(Imp, &QAction::triggered, this,
            [openTool] { openTool(WindowKind::FImport, QStringLiteral("Окно импорта показаний")); });
    connect(Sotr, &QAction::triggered, this, [this] {
        MDIForm1_ReferenceList(object::kEmployeesFile, QStringLiteral("Список сотрудников"),
                               QStringLiteral("Список сотрудников, который будет появлятся в графе 'исполнители' "
                                              "при загрузке объекта"));
    });
    connect(Dbez, &QAction::triggered, this, [this] {
        MDIForm1_ReferenceList(
            object::kSensorsFile, QStringLiteral("Список датчиков"),
            QStringLiteral("Список датчиков, который будет появляться в графе 'датчики безопасности'"));
    });
    connect(Sred, &QAction::triggered, this, [this] {
        MDIForm1_ReferenceList(
            object::kInstrumentsFile, QStringLiteral("Средства измерений"),
            QStringLiteral("Приборы, которыми ведутся испытания: тип, заводской номер, срок поверки. "
                           "Для объекта отмечаются в окне сведений режимной карты"));
    });
    connect(Norm, &QAction::triggered, this, &MDIForm1::MDIForm1_Norms);
    connect(Si, &QAction::triggered, this, &MDIForm1::MDIForm1_Converter);
    connect(About, &QAction::triggered, this, &MDIForm1::MDIForm1_About);
    connect(Spravca, &QAction::triggered, this, &MDIForm1::MDIForm1_Help);
}

void MDIForm1::buildToolbars() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(32, 32));
    struct Button {
        const char* key;
        const char* tip;
        const char* icon;
    };
    const Button buttons[9] = {{"создать", "Создать ", "create"},
                               {"Открыть", "Открыть список объектов", "open"},
                               {nullptr, nullptr, nullptr},
                               {"Копировать общие", "Копировать общие данные", "copygeneral"},
                               {"Переименовать", "Переименовать объект", "rename"},
                               {"Удалить отчет", "Удалить объект", "delete"},
                               {nullptr, nullptr, nullptr},
                               {"Справка", "Справка", "help"},
                               {"Выход", "Выход ", "exit"}};
    for (int i = 0; i < 9; ++i) {
        if (!buttons[i].key) {
            toolbarButtons_.append(Toolbar1->addSeparator());
            continue;
        }
        const QString key = QString::fromUtf8(buttons[i].key);
        QAction* a = Toolbar1->addAction(ProgramIcon(QString::fromLatin1(buttons[i].icon)), key);
        a->setObjectName(QStringLiteral("Toolbar1_") + QString::number(i + 1));
        a->setData(key);
        a->setToolTip(QString::fromUtf8(buttons[i].tip));
        toolbarButtons_.append(a);
    }
    connect(toolbarButton(1), &QAction::triggered, this, &MDIForm1::MDIForm1_Create);
    // the toolbar's "Открыть" only shows the list; the list's load sets the commands
    connect(toolbarButton(2), &QAction::triggered, this, [this] { wb_.showObjectList(); });
    connect(toolbarButton(4), &QAction::triggered, this, &MDIForm1::MDIForm1_CopyGeneralData);
    connect(toolbarButton(5), &QAction::triggered, this, &MDIForm1::MDIForm1_Rename);
    connect(toolbarButton(6), &QAction::triggered, this, &MDIForm1::MDIForm1_Delete);
    connect(toolbarButton(8), &QAction::triggered, this, &MDIForm1::MDIForm1_Help);
    connect(toolbarButton(9), &QAction::triggered, this, &QWidget::close);

    Toolbar6 = addToolBar(QStringLiteral("Toolbar6"));
    Toolbar6->setObjectName(QStringLiteral("Toolbar6"));
    Toolbar6->setMovable(false);
    Toolbar6->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    closeButton_ = Toolbar6->addAction(ProgramIcon(QStringLiteral("close")), kListCaption);
    closeButton_->setObjectName(QStringLiteral("Toolbar6_1"));
    connect(closeButton_, &QAction::triggered, this, &MDIForm1::MDIForm1_Close);
}

QAction* MDIForm1::toolbarButton(int k) const {
    return k >= 1 && k <= toolbarButtons_.size() ? toolbarButtons_[k - 1] : nullptr;
}

QAction* MDIForm1::toolbarButton(const QString& key) const {
    for (QAction* a : toolbarButtons_)
        if (!a->isSeparator() && QString::compare(a->data().toString(), key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

void MDIForm1::setPanel(int panel, const QString& text) {
    if (panel >= 1 && panel <= 3) panels_[panel - 1]->setText(text);
}

QString MDIForm1::panel(int panel) const { return panel >= 1 && panel <= 3 ? panels_[panel - 1]->text() : QString(); }

QLabel* MDIForm1::panelLabel(int panel) const { return panel >= 1 && panel <= 3 ? panels_[panel - 1] : nullptr; }

void MDIForm1::setObjectCommandsEnabled(bool enabled) {
    Cop_OD->setEnabled(enabled);
    nnam->setEnabled(enabled);
    Del_o->setEnabled(enabled);
    for (int k : {4, 5, 6}) toolbarButton(k)->setEnabled(enabled);
}

void MDIForm1::setCreateOpenEnabled(bool enabled) {
    // a new object needs a folder to go into: without one "Создать" rests and says why
    const QString refusal = enabled ? app::CreateObjectRefusal(wb_.state()) : QString();
    n->setEnabled(enabled && refusal.isEmpty());
    toolbarButton(1)->setEnabled(enabled && refusal.isEmpty());
    toolbarButton(1)->setToolTip(refusal.isEmpty() ? QStringLiteral("Создать ")
                                                   : QStringLiteral("Создать: ") + refusal);
    n->setToolTip(toolbarButton(1)->toolTip());
    O->setEnabled(enabled);
    toolbarButton(2)->setEnabled(enabled);
}

void MDIForm1::enterIdle() {
    setWindowTitle(kProgramTitle);
    TabStrip1->setEnabled(false);
    Toolbar1->setEnabled(true);
    closeButton_->setEnabled(false);
    setObjectCommandsEnabled(false);
    C->setEnabled(false);
    ComP->setEnabled(false);
    U->setEnabled(false);
    Opt->setEnabled(false);
    Imp->setEnabled(false);
    setCreateOpenEnabled(true);
    for (int p = 1; p <= 3; ++p) setPanel(p, QString());
}

void MDIForm1::enterListUp() {
    setCreateOpenEnabled(false);
    closeButton_->setText(kListCaption);
    closeButton_->setToolTip(kListCaption);
    Toolbar6->setToolTip(kListCaption);
    closeButton_->setEnabled(true);
}

void MDIForm1::enterObjectOpen(const QString& name) {
    setObjectCommandsEnabled(false);
    setCreateOpenEnabled(false);
    const QString tip = QStringLiteral("Закрыть объект ") + name;
    Toolbar6->setToolTip(tip);
    closeButton_->setToolTip(tip);
    closeButton_->setText(kObjectCaption);
    closeButton_->setEnabled(true);
    Toolbar6->setEnabled(true);
    TabStrip1->setEnabled(true);
    U->setEnabled(true);
    Opt->setEnabled(true);
    Imp->setEnabled(true);
    // an object another workbench holds is only looked at: the caption says so throughout
    const bool readOnly = wb_.state().objectLock && wb_.state().objectLock->readOnly();
    setWindowTitle(kProgramTitle + QStringLiteral("   ") + name +
                   (readOnly ? QStringLiteral("   (только для чтения)") : QString()));
}

void MDIForm1::MDIForm1_Create() {
    if (!n->isEnabled()) return;
    wb_.showNewObject(false);
}

void MDIForm1::MDIForm1_OpenList() {
    if (!O->isEnabled()) return;
    wb_.showObjectList();
}

void MDIForm1::MDIForm1_Close() {
    // the workbench tells the list from an object by the close bar's caption
    wb_.closeObject();
}

void MDIForm1::MDIForm1_Rename() {
    if (RenameObject(wb_.state(), wb_.dialogs()) != CommandResult::Done) return;
    if (frOpen* list = wb_.objectList()) list->objectRenamed();
    setObjectCommandsEnabled(false);
}

void MDIForm1::MDIForm1_Delete() {
    const CommandResult r = DeleteObject(wb_.state(), wb_.dialogs());
    if (r == CommandResult::Failed) return;
    if (r == CommandResult::Done)
        if (frOpen* list = wb_.objectList()) list->objectDeleted();
    setObjectCommandsEnabled(false);
}

void MDIForm1::MDIForm1_CopyGeneralData() {
    if (!Cop_OD->isEnabled()) return;
    wb_.showNewObject(true);
}

void MDIForm1::MDIForm1_ReferenceList(const QString& file, const QString& caption, const QString& tip) {
    if (referenceListWindow) {
        referenceListWindow->raise();
        return;
    }
    AppState& s = wb_.state();
    // the opener sets the file name, then the caption, then the tooltip, then shows it modal
    s.selectedDocument = file;
    auto* editor = new docs::Nastr(s, wb_.dialogs(), this);
    editor->setWindowTitle(caption);
    editor->List1->setToolTip(tip);
    editor->loadList();
    // the windows that offer the list (the executor of the general data) show the change at once
    connect(editor, &docs::Nastr::listChanged, this, [this](const QString& list) { wb_.referenceListChanged(list); });
    referenceListWindow = editor;
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::ApplicationModal);
    editor->show();
}

void MDIForm1::MDIForm1_Help() { helpWindow = ShowHelp(wb_.state(), wb_.dialogs(), this, helpWindow); }

void MDIForm1::MDIForm1_About() {
    if (!aboutWindow) {
        auto* w = new AboutWindow(this);
        w->setAttribute(Qt::WA_DeleteOnClose);
        aboutWindow = w;
    }
    aboutWindow->show();
    aboutWindow->raise();
}

void MDIForm1::MDIForm1_Norms() {
    if (normsWindow) {
        normsWindow->raise();
        return;
    }
    auto* editor = new object::fNorm(wb_.state(), wb_.dialogs(), this);
    connect(editor, &object::fNorm::saved, this, [this] { wb_.referenceListChanged(object::kNormsFile); });
    normsWindow = editor;
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::ApplicationModal);
    editor->show();
}

void MDIForm1::MDIForm1_Converter() {
    if (!converterWindow) {
        auto* w = new UnitConverter(this);
        w->setAttribute(Qt::WA_DeleteOnClose);
        converterWindow = w;
    }
    converterWindow->show();
    converterWindow->raise();
}

void MDIForm1::fillWindowMenu() {
    W->clear();
    const QList<QMdiSubWindow*> subs = area_->subWindowList();
    auto* group = new QActionGroup(W);
    for (int i = 0; i < subs.size(); ++i) {
        QMdiSubWindow* sub = subs[i];
        QAction* a = W->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == area_->activeSubWindow());
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
            if (sub) area_->setActiveSubWindow(sub);
        });
    }
    // windows of the open object that the user closed come back from here as from their tab
    const QList<int> closed = wb_.closedTabs();
    if (!closed.isEmpty() && !subs.isEmpty()) W->addSeparator();
    for (int tab : closed) {
        QAction* a = W->addAction(TabStrip1->tabText(tab).simplified());
        a->setObjectName(QStringLiteral("reopenTab%1").arg(tab));
        connect(a, &QAction::triggered, this, [this, tab] { wb_.showTab(tab); });
    }
    if (subs.isEmpty() && closed.isEmpty()) W->addAction(QStringLiteral("(нет открытых окон)"))->setEnabled(false);
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    // closing the frame closes every window of the open object first, so each saves
    wb_.shutdown();
    event->accept();
}

}  // namespace shell
