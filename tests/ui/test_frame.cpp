// The frame: its fixed texts, the three states idle / list up / object open, the object
// windows' opening and closing order, and activation.

#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <tuple>

#include "app/startup.h"
#include "object/ui/od.h"
#include "shell/identity.h"
#include "shell/placement.h"
#include "store/ui/newot.h"
#include "support/testdirs.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using testing_support::HotWaterGasGeneral;

TEST_F(FrameTest, MenusCarryEveryCaptionAndShortcut) {
    struct Item {
        QAction* action;
        const char* caption;
        QKeySequence key;
        bool enabled;
    };
    shell::MDIForm1& f = frame();
    const Item items[] = {
        {f.n, "Создать ", QKeySequence(Qt::CTRL | Qt::Key_N), true},
        {f.O, "Открыть ", QKeySequence(Qt::CTRL | Qt::Key_O), true},
        {f.C, "Закрыть ", QKeySequence(Qt::CTRL | Qt::Key_E), false},
        {f.nnam, "Перемеиновать...", QKeySequence(Qt::CTRL | Qt::Key_R), false},
        {f.Cop_OD, "Копировать общие данные", QKeySequence(Qt::CTRL | Qt::Key_C), false},
        {f.Del_o, "Удалить", QKeySequence(), false},
        {f.Ex, "Выход", QKeySequence(Qt::Key_F12), true},
        {f.ComP, "COM port связь ...", QKeySequence(Qt::Key_F3), false},
        {f.U, "Установка пламенной головы ...", QKeySequence(Qt::Key_F4), false},
        {f.Sotr, "Наши сотрудники...", QKeySequence(Qt::Key_F5), true},
        {f.Dbez, "Датчики безопасности...", QKeySequence(Qt::Key_F6), true},
        {f.Sred, "Средства измерений...", QKeySequence(), true},
        {f.Norm, "Нормы выбросов...", QKeySequence(), true},
        {f.Si, "Перевод технических  единиц ...", QKeySequence(Qt::Key_F7), true},
        {f.About, "О программе", QKeySequence(Qt::Key_F2), true},
        {f.Spravca, "Справка", QKeySequence(Qt::Key_F1), true},
    };
    for (const Item& i : items) {
        EXPECT_EQ(i.action->text(), QString::fromUtf8(i.caption));
        EXPECT_EQ(i.action->shortcut(), i.key) << i.caption;
        EXPECT_EQ(i.action->isEnabled(), i.enabled) << i.caption;
    }
    EXPECT_EQ(f.mnFile->title(), QStringLiteral("Файл"));
    EXPECT_EQ(f.In->title(), QStringLiteral("Инструменты"));
    EXPECT_EQ(f.W->title(), QStringLiteral("Окно"));
    EXPECT_EQ(f.H->title(), QStringLiteral("Помощь"));
    // Alt and the caption's first letter (or the same key of the Latin layout) opens the
    // menu; the captions keep their text
    for (auto [menu, russian, latin] :
         {std::tuple{f.mnFile, 0x0424, int(Qt::Key_A)}, std::tuple{f.In, 0x0418, int(Qt::Key_B)},
          std::tuple{f.W, 0x041E, int(Qt::Key_J)}, std::tuple{f.H, 0x041F, int(Qt::Key_G)}}) {
        auto* open = f.findChild<QAction*>(QStringLiteral("mnemonic_") + menu->objectName());
        ASSERT_NE(open, nullptr) << menu->title().toStdString();
        EXPECT_TRUE(open->shortcuts().contains(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(russian)))));
        EXPECT_TRUE(open->shortcuts().contains(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(latin)))));
        f.menuBar()->setActiveAction(nullptr);
        open->trigger();
        EXPECT_EQ(f.menuBar()->activeAction(), menu->menuAction()) << menu->title().toStdString();
        menu->hide();
    }
}

// The frame never reaches beyond the screen's free area (its status bar stays visible) and
// stands in its middle; a large screen gets the designed size.
TEST_F(FrameTest, TheFrameFitsTheScreenAndIsCentred) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect g = frame().geometry();
    EXPECT_TRUE(available.contains(g)) << g.width() << "x" << g.height();
    EXPECT_LE(std::abs(g.center().x() - available.center().x()), 1);

    const QRect small = shell::FitOnScreen(QSize(1200, 820), QRect(0, 0, 1024, 600), QSize(8, 38));
    EXPECT_EQ(small.size(), QSize(1016, 562));
    EXPECT_TRUE(QRect(0, 0, 1024, 600).contains(small.adjusted(-4, -34, 4, 4)));
    const QRect large = shell::FitOnScreen(QSize(1200, 820), QRect(0, 30, 1920, 1050), QSize(8, 38));
    EXPECT_EQ(large.size(), QSize(1200, 820));
    EXPECT_EQ(large.center().x(), QRect(0, 30, 1920, 1050).center().x());

    // a free spot nearest the bottom right, or none when nothing is free
    const QRect area(0, 0, 100, 100);
    EXPECT_EQ(shell::ClearSpot(area, QSize(30, 30), {}), QPoint(70, 70));
    EXPECT_EQ(shell::ClearSpot(area, QSize(30, 30), {QRect(60, 60, 40, 40)}), QPoint(30, 70));
    EXPECT_EQ(shell::ClearSpot(area, QSize(30, 30), {QRect(0, 50, 100, 50)}), QPoint(70, 14));
    EXPECT_FALSE(shell::ClearSpot(area, QSize(30, 30), {area}).has_value());
}

TEST_F(FrameTest, ToolbarTabsAndStatusBarAsDesigned) {
    shell::MDIForm1& f = frame();
    const char* keys[9] = {"создать", "Открыть", nullptr, "Копировать общие", "Переименовать", "Удалить отчет",
                           nullptr, "Справка", "Выход"};
    const char* tips[9] = {"Создать ", "Открыть список объектов", nullptr, "Копировать общие данные",
                           "Переименовать объект", "Удалить объект", nullptr, "Справка", "Выход "};
    for (int k = 1; k <= 9; ++k) {
        QAction* b = f.toolbarButton(k);
        ASSERT_NE(b, nullptr);
        if (!keys[k - 1]) {
            EXPECT_TRUE(b->isSeparator()) << k;
            continue;
        }
        EXPECT_EQ(b->data().toString(), QString::fromUtf8(keys[k - 1]));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(tips[k - 1]));
        // keys are found whatever their letter case
        EXPECT_EQ(f.toolbarButton(QString::fromUtf8(keys[k - 1]).toUpper()), b);
    }
    const char* captions[4] = {"     Общие      Данные     ", "    Редактор      Режимов     ",
                               "   Редактор    Графиков   ", "     Работа    с   отчетом  "};
    const char* tabTips[4] = {"Работа с общими данными", "Редактирование режимов", "Редактирование графиков",
                              "Работа с документами отчета"};
    ASSERT_EQ(f.TabStrip1->count(), 4);
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(f.TabStrip1->tabText(t), QString::fromUtf8(captions[t]));
        EXPECT_EQ(f.TabStrip1->tabToolTip(t), QString::fromUtf8(tabTips[t]));
    }
    for (int p = 1; p <= 3; ++p) ASSERT_NE(f.panelLabel(p), nullptr);
    EXPECT_EQ(f.panelLabel(4), nullptr);
    expectIdle();
}

TEST_F(FrameTest, IdleListSelectOpenCloseFollowTheStateTable) {
    home.makeObject(QStringLiteral("Котельная 1"), HotWaterGasGeneral(QStringLiteral("Котельная 1")));
    home.makeObject(QStringLiteral("Баня"), HotWaterGasGeneral(QStringLiteral("Баня")));
    expectIdle();

    // list up
    ASSERT_NE(openList(), nullptr);
    EXPECT_FALSE(frame().n->isEnabled());
    EXPECT_FALSE(frame().O->isEnabled());
    EXPECT_FALSE(frame().toolbarButton(1)->isEnabled());
    EXPECT_FALSE(frame().toolbarButton(2)->isEnabled());
    EXPECT_TRUE(frame().closeButton()->isEnabled());
    EXPECT_EQ(frame().closeButton()->text(), QStringLiteral("  Закрыть список объектов"));
    EXPECT_EQ(frame().Toolbar6->toolTip(), QStringLiteral("  Закрыть список объектов"));
    EXPECT_FALSE(objectCommandsEnabled());
    EXPECT_FALSE(frame().TabStrip1->isEnabled());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro"));
    EXPECT_EQ(frame().panel(2), QStringLiteral("Все объекты, всего : 2"));
    EXPECT_EQ(list()->windowTitle(), QStringLiteral("Открыть  отчет"));
    EXPECT_EQ(list()->Label1->text(), QStringLiteral("Объекты  -Kalvaro-"));
    for (QLabel* c : list()->Captions) EXPECT_TRUE(c->isHidden());

    // select a recognised object
    clickEntry(QStringLiteral("Котельная 1"));
    EXPECT_EQ(state.currentObjectName, QStringLiteral("Котельная 1"));
    EXPECT_EQ(list()->Label2->text(), QStringLiteral("Котельная 1"));
    EXPECT_EQ(list()->L1[0]->text(), QStringLiteral("Водогрейный котел"));
    EXPECT_EQ(list()->L1[4]->text(), QStringLiteral("Природный газ"));
    EXPECT_EQ(list()->L1[5]->text(), QStringLiteral("0"));
    EXPECT_EQ(list()->L1[6]->text(), QStringLiteral("Петров А.В."));
    EXPECT_EQ(list()->Economiser->text(), QStringLiteral("без экономайзера"));
    for (QLabel* c : list()->Captions) EXPECT_FALSE(c->isHidden());
    EXPECT_TRUE(objectCommandsEnabled());
    EXPECT_FALSE(frame().n->isEnabled());
    EXPECT_FALSE(frame().O->isEnabled());

    // open by double click
    state.inputs.fill(3.0f);
    doubleClickEntry(QStringLiteral("Котельная 1"));
    EXPECT_EQ(list(), nullptr);
    EXPECT_TRUE(wb->objectOpen());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro   Котельная 1"));
    EXPECT_EQ(frame().closeButton()->text(), QStringLiteral(" Закрыть текущий объект "));
    EXPECT_EQ(frame().Toolbar6->toolTip(), QStringLiteral("Закрыть объект Котельная 1"));
    EXPECT_TRUE(frame().closeButton()->isEnabled());
    EXPECT_TRUE(frame().TabStrip1->isEnabled());
    EXPECT_FALSE(objectCommandsEnabled());
    EXPECT_FALSE(frame().n->isEnabled());
    EXPECT_FALSE(frame().O->isEnabled());
    EXPECT_TRUE(frame().U->isEnabled());
    EXPECT_TRUE(frame().C->isEnabled());
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(objectFolder(QStringLiteral("Котельная 1"))).canonicalPath());
    EXPECT_NE(wb->window(app::WindowKind::OD), nullptr);
    EXPECT_EQ(frame().TabStrip1->currentIndex(), 1);

    // close through the close bar
    frame().setPanel(3, QStringLiteral("что-то"));
    frame().closeButton()->trigger();
    EXPECT_FALSE(wb->objectOpen());
    EXPECT_EQ(wb->window(app::WindowKind::OD), nullptr);
    expectIdle();
    EXPECT_FALSE(frame().U->isEnabled());
    EXPECT_FALSE(frame().ComP->isEnabled());
    for (int p = 1; p <= 3; ++p) EXPECT_TRUE(frame().panel(p).isEmpty()) << p;
    for (float v : state.inputs) EXPECT_EQ(v, 0.0f);
}

TEST_F(FrameTest, CloseWhileTheListIsUpClosesOnlyTheList) {
    home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    openList();
    clickEntry(QStringLiteral("A"));
    state.inputs.fill(1.0f);
    frame().MDIForm1_Close();
    EXPECT_EQ(list(), nullptr);
    EXPECT_FALSE(wb->objectOpen());
    expectIdle();
    EXPECT_TRUE(frame().panel(2).isEmpty());
    EXPECT_EQ(state.inputs[0], 0.0f);
    // the selection made in the list stays the current object
    EXPECT_EQ(state.currentObjectName, QStringLiteral("A"));
}

// Without an objects folder to write into "Создать" rests and its tip says why; the list's
// own exit re-checks, so a folder made meanwhile brings the command back.
TEST_F(FrameTest, CreateRestsWhileThereIsNoObjectsFolder) {
    ASSERT_TRUE(QDir(home.objects()).removeRecursively());
    frame().enterIdle();
    EXPECT_FALSE(frame().n->isEnabled());
    EXPECT_FALSE(frame().toolbarButton(1)->isEnabled());
    EXPECT_TRUE(frame().O->isEnabled());
    EXPECT_EQ(frame().toolbarButton(1)->toolTip(),
              QStringLiteral("Создать: Нет папки объектов ") + QDir::toNativeSeparators(home.objects()));
    frame().MDIForm1_Create();
    EXPECT_EQ(frame().findChild<store::NewOt*>(), nullptr);

    ASSERT_TRUE(QDir().mkpath(home.objects()));
    openList();
    list()->toolbarButton(QStringLiteral("Выход"))->trigger();
    expectIdle();
    EXPECT_EQ(frame().toolbarButton(1)->toolTip(), QStringLiteral("Создать "));
}

TEST_F(FrameTest, TheListsOwnExitReturnsToIdleButKeepsTheStatus) {
    home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    openList();
    clickEntry(QStringLiteral("A"));
    ASSERT_TRUE(objectCommandsEnabled());
    list()->toolbarButton(QStringLiteral("Выход"))->trigger();
    EXPECT_EQ(list(), nullptr);
    expectIdle();
    EXPECT_EQ(frame().panel(2), QStringLiteral("Все объекты, всего : 1"));
}

TEST_F(FrameTest, EnterInTheListOpensTheLastSelection) {
    home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    home.makeObject(QStringLiteral("B"), HotWaterGasGeneral(QStringLiteral("B")));
    openList();
    clickEntry(QStringLiteral("B"));
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_TRUE(wb->objectOpen());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro   B"));
}

TEST_F(FrameTest, AFolderThatIsNoObjectIsListedButNeitherEnablesNorOpens) {
    home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    QDir().mkpath(objectFolder(QStringLiteral("Папка")));
    openList();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("A"), QStringLiteral("Папка")}));
    clickEntry(QStringLiteral("A"));
    ASSERT_TRUE(objectCommandsEnabled());
    clickEntry(QStringLiteral("Папка"));
    EXPECT_EQ(list()->Label2->text(), QStringLiteral("Объект 'Папка' не является файлом Kalvaro"));
    for (QLabel* l : list()->L1) EXPECT_TRUE(l->text().isEmpty());
    EXPECT_TRUE(list()->Economiser->text().isEmpty());
    EXPECT_FALSE(objectCommandsEnabled());
    // copying is offered for any listed folder
    EXPECT_TRUE(list()->toolbarButton(QStringLiteral("Копию"))->isEnabled());

    doubleClickEntry(QStringLiteral("Папка"));
    EXPECT_FALSE(wb->objectOpen());
    ASSERT_NE(list(), nullptr);
    ASSERT_EQ(dialogs.count(QStringLiteral("message")), 1);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("Объект 'Папка' не является файлом Kalvaro"));
    EXPECT_EQ(frame().closeButton()->text(), QStringLiteral("  Закрыть список объектов"));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro"));
}

TEST_F(FrameTest, SelectionShowsTheRegimeCountAndReportsUnreadableFiles) {
    const QString a = home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    const QString b = home.makeObject(QStringLiteral("B"), HotWaterGasGeneral(QStringLiteral("B")));
    const QString c = home.makeObject(QStringLiteral("C"), HotWaterGasGeneral(QStringLiteral("C")));
    testing_support::WriteBytes(core::JoinPath(a, QStringLiteral("Col_RAll.txt")), " 7\r\n");
    QFile::remove(core::JoinPath(b, QStringLiteral("Col_RAll.txt")));
    testing_support::WriteBytes(core::JoinPath(c, QStringLiteral("OData.txt")), "\"x\"\r\n\"y\"\r\n");
    openList();

    clickEntry(QStringLiteral("A"));
    EXPECT_EQ(list()->L1[5]->text(), QStringLiteral("7"));
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 0);
    ASSERT_TRUE(objectCommandsEnabled());
    frame().setObjectCommandsEnabled(false);

    // missing counter: the general data is shown, then the message; commands unchanged
    clickEntry(QStringLiteral("B"));
    EXPECT_EQ(list()->Label2->text(), QStringLiteral("B"));
    EXPECT_EQ(list()->L1[0]->text(), QStringLiteral("Водогрейный котел"));
    EXPECT_TRUE(list()->L1[5]->text().isEmpty());
    ASSERT_EQ(dialogs.messages(), QStringList{QStringLiteral("Ошибка чтения файла")});
    EXPECT_EQ(dialogs.shown.last().icon, app::Icon::Warning);
    EXPECT_FALSE(objectCommandsEnabled());

    // a short general data file stops before anything is shown
    clickEntry(QStringLiteral("C"));
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 2);
    EXPECT_EQ(list()->Label2->text(), QStringLiteral("B"));
    EXPECT_FALSE(objectCommandsEnabled());
}

TEST_F(FrameTest, AFailedSelectionLeavesNoCommandForThePreviousObject) {
    const QString a = home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    const QString b = home.makeObject(QStringLiteral("B"), HotWaterGasGeneral(QStringLiteral("B")));
    const QString c = home.makeObject(QStringLiteral("C"), HotWaterGasGeneral(QStringLiteral("C")));
    QFile::remove(core::JoinPath(b, QStringLiteral("Col_RAll.txt")));
    testing_support::WriteBytes(core::JoinPath(c, QStringLiteral("OData.txt")), "\"x\"\r\n\"y\"\r\n");
    openList();
    for (const QString& failing : {QStringLiteral("B"), QStringLiteral("C")}) {
        clickEntry(QStringLiteral("A"));
        ASSERT_TRUE(objectCommandsEnabled());
        const int messages = dialogs.count(QStringLiteral("message"));
        clickEntry(failing);
        EXPECT_EQ(dialogs.count(QStringLiteral("message")), messages + 1) << failing.toStdString();
        EXPECT_EQ(state.currentObjectName, failing);
        // rename, delete and copy of the general data would act on the failed entry
        EXPECT_FALSE(objectCommandsEnabled()) << failing.toStdString();
        frame().nnam->trigger();
        frame().Del_o->trigger();
        EXPECT_EQ(dialogs.count(QStringLiteral("question")) + dialogs.count(QStringLiteral("input")), 0);
        EXPECT_TRUE(QFileInfo::exists(core::JoinPath(home.objects(), failing)));
    }
    // a readable entry gives them back
    clickEntry(QStringLiteral("A"));
    EXPECT_TRUE(objectCommandsEnabled());
}

// The caption the window system shows: Qt appends the application's display name, when
// the program set one, to every title that does not already end with it.
QString ShownCaption(const QString& title) {
    const QString display = QGuiApplication::applicationDisplayName();
    if (display == QCoreApplication::applicationName() || title.endsWith(display)) return title;
    return title + QStringLiteral(" \u2014 ") + display;
}

TEST_F(FrameTest, TheCaptionNamesTheProgramOnce) {
    shell::SetUpApplicationIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("kalvaro"));
    EXPECT_EQ(ShownCaption(frame().windowTitle()), QStringLiteral("Kalvaro"));
    home.makeObject(QStringLiteral("Котельная школы №3"), HotWaterGasGeneral(QStringLiteral("Котельная школы №3")));
    ASSERT_TRUE(wb->openObject(QStringLiteral("Котельная школы №3")));
    const QString shown = ShownCaption(frame().windowTitle());
    EXPECT_EQ(shown, QStringLiteral("Kalvaro   Котельная школы №3"));
    EXPECT_EQ(shown.count(QStringLiteral("Kalvaro")), 1);
    // the other windows keep their own captions as written
    EXPECT_EQ(ShownCaption(QStringLiteral("Перевод технических единиц")), QStringLiteral("Перевод технических единиц"));
}

class TemplateAtStartTest : public FrameTest {
protected:
    // Starts the frame again on the program folder as it is now.
    void restart() {
        wb.reset();
        wb = std::make_unique<shell::Workbench>(state, dialogs);
        shell::InstallObjectWindows(*wb);
        frame().show();
    }
};

TEST_F(TemplateAtStartTest, AMissingTemplateOrTemplateFileIsToldInTheStatusBar) {
    // the complete template says nothing
    EXPECT_TRUE(frame().panel(1).isEmpty());
    EXPECT_TRUE(app::TemplateWarning(state).isEmpty());

    // a file written in another letter case still counts
    ASSERT_TRUE(QFile::rename(core::JoinPath(home.templ(), QStringLiteral("Kessel.gif")),
                              core::JoinPath(home.templ(), QStringLiteral("KESSEL.GIF"))));
    restart();
    EXPECT_TRUE(frame().panel(1).isEmpty());

    ASSERT_TRUE(QFile::remove(core::JoinPath(home.templ(), QStringLiteral("BrennerInstal.JPG"))));
    restart();
    EXPECT_EQ(frame().panel(1), QStringLiteral("В папке шаблонов нет файла BrennerInstal.JPG"));
    EXPECT_TRUE(dialogs.shown.isEmpty());  // told, not asked

    ASSERT_TRUE(QFile::remove(core::JoinPath(home.templ(), QStringLiteral("справка.html"))));
    restart();
    EXPECT_EQ(frame().panel(1), QStringLiteral("В папке шаблонов нет файлов: BrennerInstal.JPG, справка.html"));

    ASSERT_TRUE(QDir(home.templ()).removeRecursively());
    restart();
    EXPECT_TRUE(frame().panel(1).startsWith(QStringLiteral("Нет папки шаблонов ")));
    EXPECT_TRUE(frame().panel(1).contains(home.templ()));
    // the program still works: the object list opens
    EXPECT_NE(openList(), nullptr);
}

TEST_F(FrameTest, TabsBringTheirWindowsToTheFrontAndFollowActivation) {
    home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    ASSERT_TRUE(wb->openObject(QStringLiteral("A")));
    // tab 2 has no window yet; the general data window is the only one
    wb->showTab(0);
    QMdiSubWindow* od = wb->subWindow(app::WindowKind::OD);
    ASSERT_NE(od, nullptr);
    EXPECT_EQ(frame().mdiArea()->activeSubWindow(), od);
    EXPECT_EQ(frame().panel(1), QStringLiteral("Общие Данные"));
    // tab 3 brings the attached files window, which names itself in panel 1
    frame().setPanel(1, QString());
    wb->showTab(3);
    ASSERT_NE(wb->subWindow(app::WindowKind::Docum), nullptr);
    EXPECT_EQ(frame().mdiArea()->activeSubWindow(), wb->subWindow(app::WindowKind::Docum));
    EXPECT_EQ(frame().panel(1), QStringLiteral(" Работа с Отчетом    "));
    // the tab strip does nothing while no object is open
    wb->closeObject();
    wb->showTab(0);
    EXPECT_EQ(wb->window(app::WindowKind::OD), nullptr);
}

// Stand-ins for the windows of later issues: they record when they are made and closed.
class Recorder : public QWidget, public app::ObjectWindowEvents, public app::TaskPaneView, public app::RegimeEditorView {
public:
    Recorder(QStringList& log, const QString& name) : log_(log), name_(name) {
        setWindowTitle(name);
        log_.append(QStringLiteral("load ") + name);
    }
    void activated() override { log_.append(QStringLiteral("activate ") + name_); }
    void showTaskPage(int page, const QString& caption) override {
        log_.append(QStringLiteral("page %1 %2").arg(page).arg(caption));
    }
    void setResultUnit(const QString& key, const QString& unit) override {
        log_.append(QStringLiteral("unit ") + key + u' ' + unit);
    }
    void showQ5Row(bool visible) override { log_.append(QStringLiteral("q5 %1").arg(visible)); }

protected:
    void closeEvent(QCloseEvent* e) override {
        log_.append(QStringLiteral("close ") + name_);
        QWidget::closeEvent(e);
    }

private:
    QStringList& log_;
    QString name_;
};

class WorkbenchOrderTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        const std::pair<app::WindowKind, QString> kinds[] = {
            {app::WindowKind::SReg, QStringLiteral("SReg")},   {app::WindowKind::Navig, QStringLiteral("Navig")},
            {app::WindowKind::Regim, QStringLiteral("Regim")}, {app::WindowKind::Graf, QStringLiteral("Graf")},
            {app::WindowKind::Grafmin, QStringLiteral("Grafmin")}, {app::WindowKind::Docum, QStringLiteral("Docum")}};
        for (const auto& [kind, name] : kinds)
            wb->setFactory(kind, [this, n = name](app::Workbench&) { return new Recorder(log, n); });
        home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    }
    QStringList loads() const { return log.filter(QStringLiteral("load ")); }
    QStringList closes() const { return log.filter(QStringLiteral("close ")); }
    QStringList log;
};

TEST_F(WorkbenchOrderTest, OpeningLoadsTheWindowsInOrderAndTabTwoRaisesTheEditor) {
    ASSERT_TRUE(wb->openObject(QStringLiteral("A")));
    EXPECT_EQ(loads(), (QStringList{QStringLiteral("load SReg"), QStringLiteral("load Navig"), QStringLiteral("load Graf"),
                                    QStringLiteral("load Docum"), QStringLiteral("load Regim")}));
    EXPECT_NE(wb->window(app::WindowKind::OD), nullptr);
    EXPECT_EQ(frame().mdiArea()->activeSubWindow(), wb->subWindow(app::WindowKind::Regim));
    EXPECT_EQ(log.last(), QStringLiteral("activate Regim"));
    // the general data window reaches the task pane through the workbench
    wb->showTab(0);
    EXPECT_TRUE(log.contains(QStringLiteral("page 0 ...")));
    EXPECT_EQ(frame().TabStrip1->currentIndex(), 0);
}

TEST_F(WorkbenchOrderTest, ClosingUnloadsInTheFixedOrder) {
    ASSERT_TRUE(wb->openObject(QStringLiteral("A")));
    wb->loadWindow(app::WindowKind::Grafmin);
    log.clear();
    frame().C->trigger();
    EXPECT_EQ(closes(), (QStringList{QStringLiteral("close Regim"), QStringLiteral("close Graf"),
                                     QStringLiteral("close Grafmin"), QStringLiteral("close Docum"),
                                     QStringLiteral("close SReg"), QStringLiteral("close Navig")}));
    for (int k = 0; k < static_cast<int>(app::WindowKind::Count); ++k)
        EXPECT_EQ(wb->window(static_cast<app::WindowKind>(k)), nullptr) << k;
    expectIdle();
}

TEST_F(WorkbenchOrderTest, AWindowClosedByTheUserIsLoadedAgainByItsTab) {
    ASSERT_TRUE(wb->openObject(QStringLiteral("A")));
    wb->subWindow(app::WindowKind::Graf)->close();
    settle();
    EXPECT_EQ(wb->window(app::WindowKind::Graf), nullptr);
    wb->showTab(2);
    EXPECT_EQ(loads().count(QStringLiteral("load Graf")), 2);
    EXPECT_EQ(frame().mdiArea()->activeSubWindow(), wb->subWindow(app::WindowKind::Graf));
}

TEST_F(WorkbenchOrderTest, ExitClosesTheObjectWindowsSoTheyCanSave) {
    ASSERT_TRUE(wb->openObject(QStringLiteral("A")));
    frame().Ex->trigger();
    EXPECT_TRUE(closes().contains(QStringLiteral("close Regim")));
    EXPECT_TRUE(closes().contains(QStringLiteral("close Navig")));
    EXPECT_FALSE(wb->objectOpen());
}

TEST_F(FrameTest, WindowMenuListsTheOpenWindows) {
    home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
    openList();
    Q_EMIT frame().W->aboutToShow();
    QStringList titles;
    for (QAction* a : frame().W->actions()) titles.append(a->text());
    ASSERT_EQ(titles.size(), 1);
    EXPECT_TRUE(titles[0].endsWith(QStringLiteral("Открыть  отчет")));
    EXPECT_TRUE(frame().W->actions()[0]->isChecked());
}

}  // namespace
}  // namespace frame_testing
