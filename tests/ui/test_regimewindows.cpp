// The regime windows: the editor, the regime list, the results pane, the units window and
// the notice, driven through real widgets on a temporary program folder.

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <utility>

#include "app/ui/notice.h"
#include "object/generaldata.h"
#include "object/ui/edinic.h"
#include "object/units.h"
#include "regime/regimestore.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "results/ui/graf.h"
#include "results/ui/graphtasks.h"
#include "results/ui/navig.h"
#include "store/objectcreate.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using testing_support::HotWaterGasGeneral;
using testing_support::ReadBytes;

class RegimeWindowsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }
    void TearDown() override {
        FrameTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }

    // Creates an object with the given general data and opens it.
    void openNew(const QStringList& general) {
        app::AppState s;
        home.apply(s);
        ASSERT_TRUE(store::CreateObject(s, general));
        ASSERT_TRUE(wb->openObject(general[object::ObjectName].trimmed()));
        settle();
        ASSERT_NE(editor(), nullptr);
        ASSERT_NE(list(), nullptr);
        ASSERT_NE(pane(), nullptr);
    }
    regime::Regim* editor() { return wb->window<regime::Regim>(app::WindowKind::Regim); }
    regime::SReg* list() { return wb->window<regime::SReg>(app::WindowKind::SReg); }
    results::Navig* pane() { return wb->window<results::Navig>(app::WindowKind::Navig); }

    void enter(int k, const QString& text) {
        QLineEdit* t = editor()->T[k];
        t->setFocus();
        t->selectAll();
        QTest::keyClick(t, Qt::Key_Backspace);
        Type(t, text);
        QTest::keyClick(t, Qt::Key_Return);
    }
    QString value(const QString& key) {
        for (int i = 0; i < pane()->lvAll()->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = pane()->lvAll()->topLevelItem(i);
            // the number without the "± U" that follows it
            if (item->data(0, Qt::UserRole).toString() == key) return item->text(2).section(QStringLiteral(" ± "), 0, 0);
        }
        return QStringLiteral("<no row>");
    }
    QStringList listed(int column) {
        QStringList l;
        for (int i = 0; i < list()->ListView1->topLevelItemCount(); ++i)
            l.append(list()->ListView1->topLevelItem(i)->text(column));
        return l;
    }
    void typeCompleteRegime() {
        // field 41 only saves, so it goes before the fields that recalculate
        const QList<QPair<int, QString>> values = {{41, "30"}, {0, "120"}, {11, "50"}, {12, "9,5"},
                                                   {13, "3.5"}, {14, "40"}, {15, "2"},  {17, "150"},
                                                   {18, "20"},  {22, "70"}, {23, "90"}};
        for (const auto& [k, v] : values) enter(k, v);
    }
    void shot(QWidget* w, const QString& name) {
        const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR");
        if (!dir.isEmpty()) w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
    }
};

TEST_F(RegimeWindowsTest, CompleteHotWaterRegimeTypedFieldByField) {
    openNew(HotWaterGasGeneral(QStringLiteral("Котельная")));
    EXPECT_EQ(listed(0), QStringList({QStringLiteral("Режим №  1.Dat")}));
    typeCompleteRegime();
    // the first Enters meet missing data and get the notice instead of a calculation
    ASSERT_FALSE(dialogs.notices.isEmpty());
    EXPECT_EQ(dialogs.notices.first(), QStringLiteral("Нет данных по воде"));
    EXPECT_EQ(value("Q"), "1021,51");
    EXPECT_EQ(value(QStringLiteral("КПД")), "91,51");
    EXPECT_EQ(value("q2"), "6,47");
    EXPECT_EQ(value("q3"), "0,01876");
    EXPECT_EQ(value(QStringLiteral("Вт")), "120");
    EXPECT_EQ(value("V"), "43,92");
    EXPECT_EQ(value("dQ"), "62,5");
    EXPECT_EQ(value("NO m"), "32,8");  // mass flow from the measured concentration
    EXPECT_EQ(listed(1), QStringList({"85"}));
    EXPECT_EQ(editor()->T[12]->text(), "9.5");  // the comma became a point
    const QString results = core::JoinPath(state.currentObjectFolder, QStringLiteral("РасчетРежим №  1.Dat"));
    EXPECT_TRUE(ReadBytes(results).startsWith("85\r\n0\r\n0\r\n1021.51\r\n91.51\r\n"));
    shot(&frame(), "regime-editor");
}

TEST_F(RegimeWindowsTest, KeyFilterAndSaveOnlyFields) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    dialogs.notices.clear();
    QLineEdit* t = editor()->T[3];
    t->setFocus();
    t->selectAll();
    QTest::keyClick(t, Qt::Key_Backspace);
    Type(t, QStringLiteral("-1a2,5 "));
    EXPECT_EQ(t->text(), "12.5");
    const QByteArray before = ReadBytes(core::JoinPath(state.currentObjectFolder, QStringLiteral("РасчетРежим №  1.Dat")));
    enter(0, "100");  // recalculates: load changes
    EXPECT_NE(listed(1), QStringList({"85"}));
    const QStringList loadAfterCalc = listed(1);
    const QByteArray calculated = ReadBytes(core::JoinPath(state.currentObjectFolder, QStringLiteral("РасчетРежим №  1.Dat")));
    EXPECT_NE(calculated, before);
    enter(24, "3");   // saves only
    EXPECT_EQ(listed(1), loadAfterCalc);
    EXPECT_EQ(ReadBytes(core::JoinPath(state.currentObjectFolder, QStringLiteral("РасчетРежим №  1.Dat"))), calculated);
    const QByteArray regime = ReadBytes(core::JoinPath(state.currentObjectFolder, QStringLiteral("Режим №  1.Dat")));
    EXPECT_EQ(regime.split('\n').value(3).trimmed(), "12.5");
    EXPECT_EQ(regime.split('\n').value(24).trimmed(), "3");
    EXPECT_TRUE(dialogs.notices.isEmpty());
}

TEST_F(RegimeWindowsTest, AddSelectDeleteAndTheirStates) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    regime::SReg* l = list();
    l->button(QStringLiteral("Добавить"))->trigger();
    EXPECT_EQ(listed(0), QStringList({QStringLiteral("Режим №  2.Dat"), QStringLiteral("Режим №  1.Dat")}));
    EXPECT_EQ(listed(1), QStringList({"0", "85"}));  // the new regime sorts first
    // the new regime is selected and shown as a click on its row shows it
    EXPECT_TRUE(l->button(QStringLiteral("Удалить"))->isEnabled());
    EXPECT_TRUE(l->button(QStringLiteral("Расчитать"))->isEnabled());
    EXPECT_EQ(wb->status(2), QStringLiteral("Режим № 2/ 2"));  // its own number, not its row
    EXPECT_EQ(state.currentRegimeFile, QStringLiteral("Режим №  2.Dat"));
    EXPECT_EQ(l->ListView1->currentItem()->text(0), QStringLiteral("Режим №  2.Dat"));
    EXPECT_EQ(editor()->T[0]->text(), " 0");
    EXPECT_EQ(value(QStringLiteral("КПД")), "0");
    // the next Enter writes into the new regime what the editor shows of it
    enter(3, "7");
    const QByteArray added = ReadBytes(core::JoinPath(state.currentObjectFolder, QStringLiteral("Режим №  2.Dat")));
    EXPECT_EQ(added.split('\n').value(0).trimmed(), "0");
    EXPECT_EQ(added.split('\n').value(3).trimmed(), "7");
    const QByteArray first = ReadBytes(core::JoinPath(state.currentObjectFolder, QStringLiteral("Режим №  1.Dat")));
    EXPECT_EQ(first.split('\n').value(0).trimmed(), "120");

    ASSERT_TRUE(l->selectRow(0));
    // named by its own number: the row in position 1 is regime 2
    EXPECT_EQ(l->ListView1->headerItem()->text(0), QStringLiteral("Режим № 2/ 2"));
    EXPECT_EQ(editor()->T[0]->text(), " 0");
    EXPECT_EQ(editor()->T[12]->text(), " 9.5");  // copied from the regime before, as loaded
    EXPECT_TRUE(l->button(QStringLiteral("Удалить"))->isEnabled());
    EXPECT_TRUE(frame().ComP->isEnabled());

    dialogs.answers = {app::Answer::No};
    l->button(QStringLiteral("Удалить"))->trigger();
    // the row in position 1 is regime 2: the question names the regime as the list shows it
    EXPECT_EQ(dialogs.shown.last().text,
              QStringLiteral("Внимание ! После удаления режима восстановить его  будет невозможно ! Вы хотите удалить  режим № 2 ?"));
    EXPECT_EQ(listed(0).size(), 2);
    dialogs.answers = {app::Answer::Yes};
    l->button(QStringLiteral("Удалить"))->trigger();
    EXPECT_EQ(listed(0), QStringList({QStringLiteral("Режим №  1.Dat")}));
    EXPECT_EQ(wb->status(2), QStringLiteral("   Всего:  1"));
    EXPECT_FALSE(frame().ComP->isEnabled());
    EXPECT_TRUE(editor()->T[0]->text().isEmpty());
    EXPECT_FALSE(editor()->Frame1->isEnabled());
    EXPECT_FALSE(editor()->T[41]->isEnabled());  // nothing can be saved under the deleted name
    EXPECT_FALSE(QFile::exists(core::JoinPath(state.currentObjectFolder, QStringLiteral("Режим №  2.Dat"))));

    ASSERT_TRUE(l->selectRow(0));
    EXPECT_TRUE(editor()->Frame1->isEnabled());
    EXPECT_EQ(value(QStringLiteral("КПД")), "91,51");

    // the last regime deleted: the editor takes no input, only "Добавить" works
    dialogs.answers = {app::Answer::Yes};
    l->button(QStringLiteral("Удалить"))->trigger();
    EXPECT_TRUE(listed(0).isEmpty());
    EXPECT_FALSE(l->button(QStringLiteral("Удалить"))->isEnabled());
    EXPECT_FALSE(l->button(QStringLiteral("Расчитать"))->isEnabled());
    EXPECT_TRUE(l->button(QStringLiteral("Добавить"))->isEnabled());
    l->button(QStringLiteral("Добавить"))->trigger();
    EXPECT_EQ(listed(0), QStringList({QStringLiteral("Режим №  3.Dat")}));
}

TEST_F(RegimeWindowsTest, RecalculateAllSkipsRegimeWithoutGasSilently) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    regime::SReg* l = list();
    l->button(QStringLiteral("Добавить"))->trigger();  // regime 2: gas flow 0
    l->button(QStringLiteral("Добавить"))->trigger();  // regime 3: gas flow 0, then typed
    ASSERT_TRUE(l->selectRow(state.regimeList.find(QStringLiteral("Режим №  3.Dat"))));
    enter(0, "60");
    const QString r2 = core::JoinPath(state.currentObjectFolder, QStringLiteral("РасчетРежим №  2.Dat"));
    const QByteArray r2Before = ReadBytes(r2);
    dialogs.notices.clear();
    dialogs.shown.clear();
    l->button(QStringLiteral("Всех"))->trigger();
    EXPECT_TRUE(dialogs.notices.isEmpty());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(ReadBytes(r2), r2Before);
    const QStringList loads = listed(1);
    ASSERT_EQ(loads.size(), 3);
    EXPECT_EQ(loads[0], "0");
    EXPECT_EQ(loads[2], "85");
}

TEST_F(RegimeWindowsTest, NoticeMessagesInCheckOrder) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("Пар"));
    g[object::BoilerType] = object::kSteamBoiler;
    g[object::SteamOutputUnit] = QStringLiteral("т/час");
    openNew(g);
    enter(0, "100");
    ASSERT_EQ(dialogs.notices.size(), 1);
    EXPECT_EQ(dialogs.notices.last(), QStringLiteral("Нет данных по пару"));
    enter(28, "8");
    enter(26, "100");
    enter(17, "150");
    EXPECT_EQ(dialogs.notices.last(), QStringLiteral("Нет данных по ух.газам"));
}

TEST_F(RegimeWindowsTest, NoticeWindowTextsAndSelfClosing) {
    app::fProverca notice(QStringLiteral("Нет данных по газу"));
    EXPECT_EQ(notice.messageLabel()->text(), QStringLiteral("Нет данных по газу !"));
    QStringList texts;
    for (QLabel* l : notice.findChildren<QLabel*>()) texts.append(l->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Расчет режима невыполнен")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Оk")));
    QElapsedTimer timer;
    timer.start();
    notice.exec();  // grows in 81 ticks, stays about three seconds, then closes by itself
    EXPECT_EQ(notice.ticks(), app::fProverca::kLastTick + 1);
    EXPECT_GE(timer.elapsed(), app::fProverca::kHoldMs - 100);  // long enough to be read
    EXPECT_LT(timer.elapsed(), app::fProverca::kHoldMs + 2000);
    shot(&notice, "notice");
    app::fProverca clicked(QStringLiteral("x"));
    clicked.show();
    QTest::mouseClick(clicked.messageLabel(), Qt::LeftButton);
    EXPECT_FALSE(clicked.isVisible());
    // a click while the grown notice waits closes it at once
    app::fProverca waiting(QStringLiteral("x"));
    waiting.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return waiting.holding(); }, 2000));
    EXPECT_TRUE(waiting.isVisible());
    QTest::mouseClick(waiting.messageLabel(), Qt::LeftButton);
    EXPECT_FALSE(waiting.isVisible());
    EXPECT_FALSE(waiting.holding());
}

TEST_F(RegimeWindowsTest, VisibilityGasSteamWithEconomiser) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("ПГ"));
    g[object::BoilerType] = object::kSteamBoiler;
    g[object::Economiser] = object::kWithEconomiser;
    openNew(g);
    regime::Regim* r = editor();
    EXPECT_FALSE(r->Frame1->isHidden());
    EXPECT_TRUE(r->Frame8->isHidden());
    EXPECT_TRUE(r->Frame3->isHidden());
    EXPECT_FALSE(r->Frame7->isHidden());
    EXPECT_EQ(r->Frame1->title(), QStringLiteral("Природный газ"));
    EXPECT_FALSE(r->T[35]->isHidden());
    EXPECT_FALSE(r->T[20]->isHidden());
    EXPECT_TRUE(r->T[42]->isHidden());
    EXPECT_EQ(r->T[22]->toolTip(), QStringLiteral("Температура воды до экономайзера"));
    const auto caps = [&] {
        QStringList l;
        for (int i = 0; i < pane()->lvAll()->topLevelItemCount(); ++i) l.append(pane()->lvAll()->topLevelItem(i)->text(0));
        return l;
    }();
    EXPECT_EQ(caps.first(), QStringLiteral("Д"));
    EXPECT_TRUE(caps.contains(QStringLiteral("Присос эк")));
}

TEST_F(RegimeWindowsTest, VisibilityOilHotWaterWithoutEconomiser) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("Мазут"));
    g[object::FuelType] = object::kFuelOil;
    g[object::Q5Mode] = object::kQ5EachRegime;
    openNew(g);
    regime::Regim* r = editor();
    EXPECT_TRUE(r->Frame1->isHidden());
    EXPECT_FALSE(r->Frame8->isHidden());
    EXPECT_FALSE(r->Frame3->isHidden());
    EXPECT_TRUE(r->Frame7->isHidden());
    for (int k : {20, 29, 30, 31, 34, 35, 36, 37, 38, 39, 40}) EXPECT_TRUE(r->T[k]->isHidden()) << k;
    EXPECT_FALSE(r->T[42]->isHidden());
    EXPECT_EQ(r->T[22]->toolTip(), QStringLiteral("Температура на входе в котел"));
    EXPECT_EQ(r->T[16]->toolTip(), QStringLiteral("Давление за котлом"));
    shot(&frame(), "regime-editor-oil");
}

TEST_F(RegimeWindowsTest, UnitsWindowFollowersAndFile) {
    openNew(HotWaterGasGeneral(QStringLiteral("Ед")));
    editor()->setUnitLabels(object::DefaultUnits());
    wb->loadWindow(app::WindowKind::Edinic);
    auto* units = wb->window<object::Edinic>(app::WindowKind::Edinic);
    ASSERT_NE(units, nullptr);
    EXPECT_FALSE(units->gasFrame->isHidden());
    EXPECT_TRUE(units->liquidFrame->isHidden());
    EXPECT_TRUE(units->steamFrame->isHidden());
    EXPECT_EQ(units->gasFrame->title(), QStringLiteral("Природный газ"));
    Pick(units->e[14], QStringLiteral("мг/м3"));
    EXPECT_EQ(units->e[15]->currentText(), QStringLiteral("мг/м3"));
    Pick(units->e[6], QStringLiteral("Па"));
    EXPECT_EQ(units->e[20]->currentText(), QStringLiteral("Па"));
    Pick(units->e[0], QStringLiteral("м3/час"));
    settle();
    shot(&frame(), "units-window");
    units->enterButton->click();
    settle();
    EXPECT_EQ(wb->window(app::WindowKind::Edinic), nullptr);
    EXPECT_EQ(editor()->L[15]->text(), QStringLiteral("мг/м3"));
    EXPECT_EQ(editor()->L[0]->text(), QStringLiteral("м3/час"));
    QStringList fileUnits;
    ASSERT_TRUE(object::ReadUnits(state.currentObjectFolder, fileUnits));
    EXPECT_EQ(fileUnits[20], QStringLiteral("Па"));
    EXPECT_EQ(state.units[0], QStringLiteral("м3/час"));
    // "Отмена" changes nothing
    wb->loadWindow(app::WindowKind::Edinic);
    units = wb->window<object::Edinic>(app::WindowKind::Edinic);
    Pick(units->e[0], QStringLiteral("н.м3/час"));
    units->cancelButton->click();
    settle();
    EXPECT_EQ(editor()->L[0]->text(), QStringLiteral("м3/час"));
}

// Maximising a window and restoring it brings back the frame's layout, windows opened while
// maximised included; a small frame keeps the editor usable by scrolling.
TEST_F(RegimeWindowsTest, RestoringAfterMaximisingBringsBackTheLayout) {
    frame().resize(1024, 600);
    settle();
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    settle();
    QMdiSubWindow* editorSub = wb->subWindow(app::WindowKind::Regim);
    QMdiSubWindow* listSub = wb->subWindow(app::WindowKind::SReg);
    const QRect editorPlace = editorSub->geometry();
    const QRect listPlace = listSub->geometry();
    EXPECT_EQ(editorPlace, wb->slotRect(app::Slot::Work));
    EXPECT_EQ(listPlace, wb->slotRect(app::Slot::List));
    editorSub->showMaximized();
    settle();
    wb->showTab(2);  // the graph window opens maximised as well
    settle();
    wb->showTab(1);
    settle();
    editorSub = wb->subWindow(app::WindowKind::Regim);
    ASSERT_TRUE(editorSub->isMaximized());
    editorSub->showNormal();
    settle();
    EXPECT_EQ(editorSub->geometry(), editorPlace);
    EXPECT_EQ(listSub->geometry(), listPlace);
    EXPECT_EQ(wb->subWindow(app::WindowKind::Graf)->geometry(), wb->slotRect(app::Slot::Work));
    // the editor's fields are all reachable: it scrolls within its place
    auto* scroll = editor()->findChild<QAbstractScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);

    // a window of no place of its own (the general data) stands within the frame's area, its
    // entries scrolling where the frame is too small for them
    wb->showTab(0);
    settle();
    QMdiSubWindow* od = wb->subWindow(app::WindowKind::OD);
    ASSERT_NE(od, nullptr);
    EXPECT_TRUE(QRect(QPoint(0, 0), od->mdiArea()->viewport()->size()).contains(od->geometry()));
    EXPECT_GE(od->x(), listPlace.right());
    wb->showTab(1);
    settle();

    // enlarged, the list, the pane and the working window grow with the frame
    frame().resize(1900, 1040);
    settle();
    for (auto [kind, slot] : {std::pair{app::WindowKind::SReg, app::Slot::List},
                              {app::WindowKind::Navig, app::Slot::Pane},
                              {app::WindowKind::Regim, app::Slot::Work}})
        EXPECT_EQ(wb->subWindow(kind)->geometry(), wb->slotRect(slot)) << static_cast<int>(kind);
    EXPECT_GT(listSub->height(), listPlace.height() + 150);
    EXPECT_GT(editorSub->width(), editorPlace.width() + 800);

    // a dialog of the frame has no minimize button (with no panel it could not be brought
    // back) and starts within the screen's free area
    QTest::mouseClick(editor()->Command1, Qt::LeftButton);
    settle();
    QWidget* q5 = wb->window(app::WindowKind::FQ5);
    ASSERT_NE(q5, nullptr);
    EXPECT_FALSE(q5->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(q5->windowFlags() & Qt::WindowCloseButtonHint);
    // (the test screen is narrower than the window's content; the smallest screen the
    // program is made for, 1024×600, holds it)
    EXPECT_TRUE(q5->screen()->availableGeometry().contains(q5->geometry().topLeft()));
    EXPECT_LE(q5->frameGeometry().width(), 1024);
    EXPECT_LE(q5->frameGeometry().height(), 600);
    q5->close();
    settle();
}

TEST_F(RegimeWindowsTest, ClosingTheObjectUnloadsItsWindows) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    frame().C->trigger();
    settle();
    EXPECT_EQ(wb->window(app::WindowKind::Regim), nullptr);
    EXPECT_EQ(wb->window(app::WindowKind::SReg), nullptr);
    EXPECT_EQ(wb->window(app::WindowKind::Navig), nullptr);
    for (float v : state.inputs) EXPECT_EQ(v, 0.0f);
    EXPECT_FALSE(static_cast<bool>(state.showRegimeResults));
    EXPECT_FALSE(static_cast<bool>(state.setEditorFields));
}

TEST_F(RegimeWindowsTest, FocusSelectsTenCharactersAndHintsGoToTheStatusBar) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    QLineEdit* t = editor()->T[41];
    t->setText(QStringLiteral(" 123456789012345"));
    editor()->T[0]->setFocus();
    t->setFocus();
    settle();
    EXPECT_EQ(t->selectedText(), QStringLiteral(" 123456789"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(t, &enter);
    EXPECT_EQ(wb->status(3), QStringLiteral("Расход теплоносителя по расходомеру (расчет прямого баланса)"));
    QApplication::sendEvent(editor()->Frame4, &enter);
    EXPECT_EQ(wb->status(3), QStringLiteral("Для сохранения изменений нажмите Enter"));
    wb->showTab(1);
    settle();
    EXPECT_EQ(pane()->page(), 1);
    EXPECT_EQ(pane()->caption(), QStringLiteral("Результат"));
    EXPECT_EQ(wb->status(1), QStringLiteral("Редактор Режимов "));
}

TEST_F(RegimeWindowsTest, UnitLabelOpensTheUnitsWindowOnThatUnit) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    QLabel* l = editor()->L[13];
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(l, &enter);
    EXPECT_TRUE(l->font().underline());
    QTest::mouseClick(l, Qt::LeftButton);
    settle();
    auto* units = wb->window<object::Edinic>(app::WindowKind::Edinic);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), units->e[13]);
}

TEST_F(RegimeWindowsTest, HeatOutputUnitFromGeneralDataReachesTheResults) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    wb->setResultUnit(QStringLiteral("Q"), QStringLiteral("МВт"));
    EXPECT_EQ(pane()->lvAll()->topLevelItem(0)->text(1), QStringLiteral("МВт"));
}

TEST_F(RegimeWindowsTest, ToolsWithoutTheirWindowSaySo) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    ASSERT_TRUE(list()->selectRow(0));
    ASSERT_TRUE(frame().ComP->isEnabled());
    dialogs.shown.clear();
    wb->setFactory(app::WindowKind::Comport, nullptr);
    frame().ComP->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].endsWith(QStringLiteral("недоступно.")));
    EXPECT_EQ(dialogs.shown[0].icon, app::Icon::Information);
}

TEST_F(RegimeWindowsTest, SteamQRowKeepsItsUnit) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("Пар"));
    g[object::BoilerType] = object::kSteamBoiler;
    g[object::SteamOutputUnit] = QStringLiteral("т/час");
    openNew(g);
    wb->setResultUnit(QStringLiteral("Q"), QStringLiteral("МВт"));
    for (int i = 0; i < pane()->lvAll()->topLevelItemCount(); ++i)
        if (pane()->lvAll()->topLevelItem(i)->text(0) == u"Q") {
            EXPECT_EQ(pane()->lvAll()->topLevelItem(i)->text(1), QStringLiteral("Гкал/час"));
        }
}

}  // namespace
}  // namespace frame_testing
