// A regime test as an engineer works through it: the data check, marked results, keyboard
// entry (Tab, paste, minus), the regime list's place after its commands, windows that must
// not get lost, and the graph windows' table, overlay and mini graph.

#include <QClipboard>
#include <QDirIterator>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>

#include "app/objectlock.h"
#include "app/ui/marks.h"
#include "app/ui/notice.h"
#include "app/ui/numberfield.h"
#include "app/ui/qtdialogs.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "engine/engine.h"
#include "object/generaldata.h"
#include "object/ui/edinic.h"
#include "object/ui/od.h"
#include "regime/calculation.h"
#include "regime/cardchoice.h"
#include "regime/editorlayout.h"
#include "regime/regimestore.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "results/ui/graf.h"
#include "results/ui/graphtasks.h"
#include "results/ui/navig.h"
#include "results/ui/wrapdelegate.h"
#include "shell/termination.h"
#include "store/objectcreate.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using testing_support::HotWaterGasGeneral;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

class RegimeWorkTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }
    void TearDown() override {
        FrameTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }
    void openNew(const QStringList& general) {
        app::AppState s;
        home.apply(s);
        ASSERT_TRUE(store::CreateObject(s, general));
        ASSERT_TRUE(wb->openObject(general[object::ObjectName].trimmed()));
        settle();
        ASSERT_NE(editor(), nullptr);
    }
    // Opens a copy of one of the demo objects.
    void openDemo(const QString& name) {
        copyDemoObject(name);
        ASSERT_TRUE(wb->openObject(name));
        settle();
    }
    regime::Regim* editor() { return wb->window<regime::Regim>(app::WindowKind::Regim); }
    regime::SReg* regimes() { return wb->window<regime::SReg>(app::WindowKind::SReg); }
    results::Navig* pane() { return wb->window<results::Navig>(app::WindowKind::Navig); }
    QString file(const QString& name) { return core::JoinPath(state.currentObjectFolder, name); }

    void enter(int k, const QString& text) {
        QLineEdit* t = editor()->T[k];
        t->setFocus();
        t->selectAll();
        QTest::keyClick(t, Qt::Key_Backspace);
        Type(t, text);
        QTest::keyClick(t, Qt::Key_Return);
    }
    QTreeWidgetItem* resultRow(const QString& key) {
        for (int i = 0; i < pane()->lvAll()->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = pane()->lvAll()->topLevelItem(i);
            if (item->data(0, Qt::UserRole).toString() == key) return item;
        }
        return nullptr;
    }
    QString value(const QString& key) {
        QTreeWidgetItem* item = resultRow(key);
        // the number without the "± U" that follows it
        return item ? item->text(2).section(QStringLiteral(" ± "), 0, 0) : QStringLiteral("<no row>");
    }
    QStringList listed(int column) {
        QStringList l;
        for (int i = 0; i < regimes()->ListView1->topLevelItemCount(); ++i)
            l.append(regimes()->ListView1->topLevelItem(i)->text(column));
        return l;
    }
    void typeCompleteRegime() {
        const QList<QPair<int, QString>> values = {{41, "30"}, {0, "120"}, {11, "50"}, {12, "9,5"},
                                                   {13, "3.5"}, {14, "40"}, {15, "2"},  {17, "150"},
                                                   {18, "20"},  {22, "70"}, {23, "90"}};
        for (const auto& [k, v] : values) enter(k, v);
    }
    void shot(QWidget* w, const QString& name) {
        const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR");
        if (!dir.isEmpty()) w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
    }
    float storedInput(const QString& regimeFile, int k) {
        return static_cast<float>(core::ParseNumber(QString::fromLatin1(ReadBytes(file(regimeFile)).split('\n').value(k))));
    }
};

// ---------------------------------------------------------------- numbers

TEST_F(RegimeWorkTest, OxygenOfAirIsRefusedAndNothingIsStored) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    const QByteArray results = ReadBytes(file(QStringLiteral("РасчетРежим №  1.Dat")));
    // beyond the physical range: refused with the range before anything is written
    const QByteArray inputs = ReadBytes(file(QStringLiteral("Режим №  1.Dat")));
    dialogs.shown.clear();
    dialogs.notices.clear();
    enter(13, "22");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("вне пределов от 0 до 21 %")))
        << dialogs.messages().first().toStdString();
    EXPECT_EQ(ReadBytes(file(QStringLiteral("Режим №  1.Dat"))), inputs);
    EXPECT_EQ(ReadBytes(file(QStringLiteral("РасчетРежим №  1.Dat"))), results);
    dialogs.shown.clear();
    enter(13, "21");  // air, not flue gas
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("(не включая 21)")));
    EXPECT_EQ(ReadBytes(file(QStringLiteral("Режим №  1.Dat"))), inputs);
    // the refused value stays in its field until the user corrects it or drops it
    EXPECT_EQ(editor()->T[13]->text(), "21");
    QTest::keyClick(editor()->T[13], Qt::Key_Escape);
    EXPECT_EQ(editor()->T[13]->text().trimmed(), "3.5");
    // a regime the calculation's own check refuses: no gas flow
    for (const char* flow : {"0"}) {
        enter(0, QString::fromUtf8(flow));
        ASSERT_FALSE(dialogs.notices.isEmpty());
        EXPECT_EQ(dialogs.notices.last(), QStringLiteral("Нет данных по газу"));
        EXPECT_EQ(ReadBytes(file(QStringLiteral("РасчетРежим №  1.Dat"))), results);
        // the stored results are not what these inputs give: the pane says why instead of
        // showing them as current, and the list shows no load
        EXPECT_EQ(value(QStringLiteral("Коэфф")), "");
        EXPECT_EQ(value(QStringLiteral("КПД")), "");
        auto* note = pane()->findChild<QLabel*>(QStringLiteral("checkNote"));
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->isVisible());
        EXPECT_TRUE(note->text().contains(QStringLiteral("Нет данных по газу")));
        EXPECT_EQ(regimes()->ListView1->topLevelItem(0)->text(1), "");
    }
    dialogs.notices.clear();
    enter(0, "120");
    EXPECT_TRUE(dialogs.notices.isEmpty());
    EXPECT_FALSE(value(QStringLiteral("КПД")).isEmpty());
    EXPECT_FALSE(pane()->findChild<QLabel*>(QStringLiteral("checkNote"))->isVisible());
}

TEST_F(RegimeWorkTest, EnterInTheMeterFlowCalculatesAndAnImpossibleEfficiencyIsMarked) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    EXPECT_EQ(value("dQ"), "62,5");
    EXPECT_TRUE(resultRow("dQ")->toolTip(2).isEmpty());
    // twice the water flow: the direct balance gives more heat than the fuel holds
    enter(41, "60");
    EXPECT_EQ(value("dQ"), "125");  // calculated at once, stored as computed
    QTreeWidgetItem* row = resultRow("dQ");
    EXPECT_FALSE(row->toolTip(2).isEmpty());
    EXPECT_TRUE(row->toolTip(0).contains(QStringLiteral("100")));
    EXPECT_TRUE(row->data(2, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(resultRow(QStringLiteral("КПД"))->data(2, Qt::BackgroundRole).isValid());
    EXPECT_TRUE(ReadBytes(file(QStringLiteral("РасчетРежим №  1.Dat"))).split('\n').value(22).startsWith("125"));
    shot(&frame(), "implausible");
    // a sound value again clears the mark
    enter(41, "30");
    EXPECT_FALSE(resultRow("dQ")->data(2, Qt::BackgroundRole).isValid());
    EXPECT_TRUE(resultRow("dQ")->toolTip(2).isEmpty());
}

TEST_F(RegimeWorkTest, EnterInTheQ5FieldCalculates) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("К"));
    g[object::Q5Mode] = object::kQ5EachRegime;
    openNew(g);
    typeCompleteRegime();
    ASSERT_FALSE(editor()->T[42]->isHidden());
    const QString before = value("q5");
    enter(42, "3.5");
    EXPECT_EQ(value("q5"), "3,5");
    EXPECT_NE(value("q5"), before);
    // a q5 found for each regime belongs to that regime's surfaces: a new regime starts
    // without it, while the other values are carried over
    const double air = core::ParseEditorNumber(editor()->T[13]->text());
    regimes()->button(QStringLiteral("Добавить"))->trigger();
    settle();
    EXPECT_EQ(core::ParseEditorNumber(editor()->T[42]->text()), 0.0);
    EXPECT_GT(air, 0.0);
    EXPECT_EQ(core::ParseEditorNumber(editor()->T[13]->text()), air);
}

TEST_F(RegimeWorkTest, ChangingAUnitTheCalculationReadsRecalculatesEveryRegime) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    regimes()->button(QStringLiteral("Добавить"))->trigger();
    enter(0, "60");
    for (int k : {11, 12, 13, 14, 15, 17, 18, 22, 23, 41}) enter(k, editor()->T[k]->text().trimmed());
    // back on regime 1, with the CO of both in ppm
    ASSERT_TRUE(regimes()->selectRow(state.regimeList.find(QStringLiteral("Режим №  1.Dat"))));
    EXPECT_EQ(value("CO"), "53");
    const QByteArray second = ReadBytes(file(QStringLiteral("РасчетРежим №  2.Dat")));
    auto* units = qobject_cast<object::Edinic*>(wb->loadWindow(app::WindowKind::Edinic));
    ASSERT_NE(units, nullptr);
    Pick(units->e[11], QStringLiteral("мг/м3"));
    units->accept();
    settle();
    // the CO typed is now read as mg/m3: 50 * 1.18 / 1.4
    EXPECT_EQ(value("CO"), "42,1");
    EXPECT_EQ(state.currentRegimeFile, QStringLiteral("Режим №  1.Dat"));  // the user stays
    EXPECT_NE(ReadBytes(file(QStringLiteral("РасчетРежим №  2.Dat"))), second);
    // a unit that only labels a field leaves the results files alone
    const QByteArray now = ReadBytes(file(QStringLiteral("РасчетРежим №  2.Dat")));
    units = qobject_cast<object::Edinic*>(wb->loadWindow(app::WindowKind::Edinic));
    ASSERT_NE(units, nullptr);
    units->e[18]->setCurrentIndex(units->e[18]->count() - 1);
    units->accept();
    settle();
    EXPECT_EQ(ReadBytes(file(QStringLiteral("РасчетРежим №  2.Dat"))), now);
}

// ---------------------------------------------------------------- keyboard

TEST_F(RegimeWorkTest, TabAndShiftTabWalkTheVisibleFieldsColumnByColumn) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    QApplication::setActiveWindow(&frame());
    QList<int> order;
    for (int k : regime::TabOrder(regime::VisibilityFor(state.general)))
        if (editor()->T[k]->isVisibleTo(editor())) order.append(k);
    ASSERT_GT(order.size(), 20);
    EXPECT_EQ(order.first(), 0);
    // gas fields first, then the flue gases, then the draught, air, water and the meter
    EXPECT_EQ(order.mid(0, 7), (QList<int>{0, 1, 2, 3, 4, 5, 11}));
    editor()->T[order.first()]->setFocus();
    QApplication::processEvents();
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), editor()->T[order[i]]) << "after field " << order[i - 1];
    }
    for (int i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        ASSERT_EQ(QApplication::focusWidget(), editor()->T[order[i]]) << "back from field " << order[i + 1];
    }
    // the fields' texts were not touched by the walk
    for (int k : order) EXPECT_EQ(editor()->T[k]->text(), core::EditorForm(0.0f)) << k;
}

TEST_F(RegimeWorkTest, AWholeRegimeTypedWithTheKeyboardAlone) {
    openNew(HotWaterGasGeneral(QStringLiteral("Котельная")));
    QApplication::setActiveWindow(&frame());
    // the values in Tab order; Enter in the last field of each group calculates
    QMap<int, QString> values = {{0, "120"}, {11, "50"},  {12, "9,5"}, {13, "3.5"}, {14, "40"}, {15, "2"},
                                 {17, "150"}, {6, "-.2"}, {16, "-.5"}, {18, "20"},  {22, "70"}, {23, "90"},
                                 {41, "30"}};
    editor()->T[0]->setFocus();
    QApplication::processEvents();
    QList<int> order;
    for (int k : regime::TabOrder(regime::VisibilityFor(state.general)))
        if (editor()->T[k]->isVisibleTo(editor())) order.append(k);
    for (int i = 0; i < order.size(); ++i) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_EQ(w, editor()->T[order[i]]);
        if (values.contains(order[i])) Type(w, values[order[i]]);  // the selection is replaced
        if (i + 1 < order.size()) QTest::keyClick(w, Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(value(QStringLiteral("КПД")), "91,51");
    EXPECT_EQ(value("dQ"), "62,5");
    EXPECT_EQ(listed(1), QStringList({"85"}));
    EXPECT_FLOAT_EQ(storedInput(QStringLiteral("Режим №  1.Dat"), 6), -0.2f);
    EXPECT_FLOAT_EQ(storedInput(QStringLiteral("Режим №  1.Dat"), 16), -0.5f);
    shot(&frame(), "keyboard-regime");
}

// A regime typed with Tab alone and saved by Enter in a field that only saves is calculated
// all the same: what decides is every input changed since the last calculation. Tab visits
// the visible fields only and wraps round, so no keystroke lands on a stop the user cannot see.
TEST_F(RegimeWorkTest, EnterInAnyFieldCalculatesWhatChangedAndTabWrapsOverTheVisibleFields) {
    openNew(HotWaterGasGeneral(QStringLiteral("Котельная")));
    QApplication::setActiveWindow(&frame());
    const QMap<int, QString> values = {{0, "120"},  {11, "50"},  {12, "9,5"}, {13, "3.5"}, {14, "40"}, {15, "2"},
                                       {17, "150"}, {16, "-.5"}, {18, "20"},  {22, "70"},  {23, "90"}, {41, "30"}};
    QList<int> order;
    for (int k : regime::TabOrder(regime::VisibilityFor(state.general)))
        if (editor()->T[k]->isVisibleTo(editor())) order.append(k);
    // the draught frame top to bottom: the furnace, then after the boiler
    ASSERT_LT(order.indexOf(6), order.indexOf(16));
    editor()->T[order.first()]->setFocus();
    QApplication::processEvents();
    for (int i = 0; i < order.size(); ++i) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_EQ(w, editor()->T[order[i]]) << "step " << i;
        if (values.contains(order[i])) Type(w, values[order[i]]);
        QTest::keyClick(w, Qt::Key_Tab);
    }
    // past the last field ("Расход воды по счетчику") Tab comes back to the first, and
    // Shift+Tab goes back to the last
    ASSERT_EQ(QApplication::focusWidget(), editor()->T[order.first()]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), editor()->T[order.last()]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    // nothing was saved on the way
    EXPECT_TRUE(listed(1) == QStringList({"0"}) || listed(1) == QStringList({""}))
        << listed(1).join(u'|').toStdString();

    // Enter in the furnace pressure, a field that on its own only saves
    QLineEdit* furnace = editor()->T[6];
    ASSERT_FALSE(regime::RecalculatesOnEnter(6));
    furnace->setFocus();
    furnace->selectAll();
    Type(furnace, "-.2");
    QTest::keyClick(furnace, Qt::Key_Return);
    for (auto [k, v] : values.asKeyValueRange())
        EXPECT_FLOAT_EQ(storedInput(QStringLiteral("Режим №  1.Dat"), k),
                        float(core::ParseNumber(QString(v).replace(u',', u'.'))))
            << k;
    // the results are those of the stored inputs, in the pane and the list
    app::AppState check = state;
    ASSERT_TRUE(regime::LoadRegimeInputs(check));
    engine::CalculateRegime(check.calcInputs(), check.steam, check.results);
    ASSERT_GT(check.results[0], 1.0f);
    EXPECT_EQ(listed(1), QStringList({core::StoredForm(check.results[0])}));
    EXPECT_NE(value(QStringLiteral("КПД")), QStringLiteral("0"));
    ASSERT_TRUE(regime::LoadRegimeResults(check));
    EXPECT_FLOAT_EQ(check.results[0], state.results[0]);

    // once calculated, an Enter in a saving field with nothing else changed only saves
    const QByteArray results = ReadBytes(file(QStringLiteral("РасчетРежим №  1.Dat")));
    furnace->setFocus();
    furnace->selectAll();
    Type(furnace, "-.3");
    QTest::keyClick(furnace, Qt::Key_Return);
    EXPECT_FLOAT_EQ(storedInput(QStringLiteral("Режим №  1.Dat"), 6), -0.3f);
    EXPECT_EQ(ReadBytes(file(QStringLiteral("РасчетРежим №  1.Dat"))), results);

    // the steam boiler with an economiser: the draught frame from the furnace down
    QStringList steam = HotWaterGasGeneral(QStringLiteral("Пар"));
    steam[object::BoilerType] = object::kSteamBoiler;
    steam[object::SteamOutputUnit] = QStringLiteral("т/час");
    steam[object::Economiser] = object::kWithEconomiser;
    const QList<int> steamOrder = regime::TabOrder(regime::VisibilityFor(steam));
    const qsizetype at = steamOrder.indexOf(6);
    ASSERT_GE(at, 0);
    EXPECT_EQ(steamOrder.mid(at, 3), (QList<int>{6, 20, 16}));
}

TEST_F(RegimeWorkTest, PasteIsFilteredLikeTyping) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    QLineEdit* t = editor()->T[3];
    t->setFocus();
    t->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("-1a2,5 кПа"));
    QTest::keyClick(t, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t->text(), "12.5");
    t->selectAll();
    QTest::keyClick(t, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(t->text(), "12.5");
    // in a draught field the minus of a pasted value stays, in front only
    QLineEdit* draught = editor()->T[6];
    draught->setFocus();
    draught->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("-1.5-"));
    QTest::keyClick(draught, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(draught->text(), "-1.5");
    // the field's menu pastes through the filter too
    QGuiApplication::clipboard()->setText(QStringLiteral("x7y"));
    t->selectAll();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(2, 2), t->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(t, &menuEvent);
    QMenu* menu = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible()) menu = m;
    ASSERT_NE(menu, nullptr);
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (app::IsPasteAction(a)) paste = a;
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(t->text(), "7");
}

TEST_F(RegimeWorkTest, MinusOnlyFirstAndOnlyInTheDraughtPressures) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("К"));
    g[object::Economiser] = object::kWithEconomiser;
    openNew(g);
    for (int k : {6, 16, 20}) {
        QLineEdit* t = editor()->T[k];
        t->setFocus();
        t->selectAll();
        Type(t, QStringLiteral("-.2"));
        EXPECT_EQ(t->text(), "-.2") << k;
        Type(t, QStringLiteral("-"));  // not at the front: dropped
        EXPECT_EQ(t->text(), "-.2") << k;
        t->setCursorPosition(0);
        Type(t, QStringLiteral("-"));  // a second minus: dropped
        EXPECT_EQ(t->text(), "-.2") << k;
    }
    // a freshly loaded field starts with a blank: a minus typed over it still goes first
    QLineEdit* flue = editor()->T[16];
    flue->setText(QStringLiteral(" 5"));
    flue->setCursorPosition(1);
    Type(flue, QStringLiteral("-"));
    EXPECT_EQ(flue->text(), " -5");
    EXPECT_EQ(core::ParseEditorNumber(flue->text()), -5.0);
    for (int k : {0, 3, 5, 13, 19, 21, 41}) {
        QLineEdit* t = editor()->T[k];
        t->setFocus();
        t->selectAll();
        Type(t, QStringLiteral("-3"));
        EXPECT_EQ(t->text(), "3") << k;
    }
    QTest::keyClick(editor()->T[6], Qt::Key_Return);
    EXPECT_FLOAT_EQ(storedInput(QStringLiteral("Режим №  1.Dat"), 6), -0.2f);
    EXPECT_FLOAT_EQ(storedInput(QStringLiteral("Режим №  1.Dat"), 20), -0.2f);
}

// ---------------------------------------------------------------- place and data

TEST_F(RegimeWorkTest, DeleteQuestionsDefaultToNo) {
    app::QtDialogs qtDialogs;
    app::Dialogs& qt = qtDialogs;
    auto answerWithEnter = [](QString* defaultText) {
        QTimer::singleShot(0, [defaultText] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            if (box->defaultButton()) *defaultText = box->button(QMessageBox::No) == box->defaultButton()
                                                         ? QStringLiteral("No")
                                                         : QStringLiteral("Yes");
            QTest::keyClick(box, Qt::Key_Return);
        });
    };
    QString def;
    answerWithEnter(&def);
    EXPECT_EQ(qt.question(QStringLiteral("Удалить?"), app::kDeleteQuestionTitle, app::Icon::Warning), app::Answer::No);
    EXPECT_EQ(def, "No");
    answerWithEnter(&def);
    EXPECT_EQ(qt.question(QStringLiteral("Открыть?"), QStringLiteral("Информация"), app::Icon::Question), app::Answer::Yes);
    EXPECT_EQ(def, "Yes");
}

TEST_F(RegimeWorkTest, InputBoxesFitTheirPresetText) {
    QDialog box;
    const QString longName = QStringLiteral("Котельная школы №3, водогрейный котел КВа-1,16 (реконструкция 2026)");
    const int width = app::InputBoxWidth(box, longName);
    EXPECT_GE(width, box.fontMetrics().horizontalAdvance(longName) + 40);
    EXPECT_GE(app::InputBoxWidth(box, QStringLiteral("К")), 300);
}

TEST_F(RegimeWorkTest, RecalculatingAllKeepsTheCurrentRegime) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    regimes()->button(QStringLiteral("Добавить"))->trigger();
    enter(0, "60");
    for (int k : {11, 12, 13, 14, 15, 17, 18, 22, 23, 41}) enter(k, editor()->T[k]->text().trimmed());
    // regime 2 is first by load; the user is on it
    ASSERT_EQ(listed(0).first(), QStringLiteral("Режим №  2.Dat"));
    ASSERT_TRUE(regimes()->selectRow(0));
    const QString shownLoad = listed(1).first();
    regimes()->button(QStringLiteral("Всех"))->trigger();
    EXPECT_EQ(state.currentRegimeFile, QStringLiteral("Режим №  2.Dat"));
    EXPECT_EQ(regimes()->ListView1->currentItem()->text(0), QStringLiteral("Режим №  2.Dat"));
    EXPECT_EQ(editor()->T[0]->text(), " 60");
    EXPECT_EQ(state.regimeList.selectedRow(), 0);
    EXPECT_EQ(listed(1).first(), shownLoad);
}

// A regime whose results file is gone is told about when the list is filled, and its results
// are written anew from its inputs at once: it takes its place by its load, ticked.
TEST_F(RegimeWorkTest, ARegimeWithoutResultsIsRepairedWhenTheObjectOpens) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    regimes()->button(QStringLiteral("Добавить"))->trigger();
    regimes()->button(QStringLiteral("Добавить"))->trigger();
    enter(0, "60");
    for (int k : {11, 12, 13, 14, 15, 17, 18, 22, 23, 41}) enter(k, editor()->T[k]->text().trimmed());
    QFile::remove(file(QStringLiteral("РасчетРежим №  1.Dat")));
    wb->closeObject();
    settle();
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(QStringLiteral("К")));
    settle();
    EXPECT_EQ(dialogs.messages().count(regime::kFillWarning), 1);
    EXPECT_EQ(dialogs.messages().count(
                  QStringLiteral("Сохраненные результаты режимов не соответствовали их данным и пересчитаны: Режим №  1.Dat.")),
              1)
        << dialogs.messages().join("|").toStdString();
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("РасчетРежим №  1.Dat"))));
    const int row = static_cast<int>(listed(0).indexOf(QStringLiteral("Режим №  1.Dat")));
    ASSERT_GE(row, 0);
    EXPECT_EQ(listed(1)[row], "85");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(regimes()->ListView1->topLevelItem(i)->checkState(0), Qt::Checked) << i;
    // an Enter in another regime sorts without a warning
    dialogs.shown.clear();
    ASSERT_TRUE(regimes()->selectRow(row == 0 ? 1 : 0));
    enter(0, "61");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("|").toStdString();
}

// The header names the selected regime by its own number, wherever the sort puts it.
TEST_F(RegimeWorkTest, TheListHeaderFollowsTheSelectedRegimeThroughASort) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    typeCompleteRegime();
    regimes()->button(QStringLiteral("Добавить"))->trigger();
    // the new regime, not yet calculated, stands first
    ASSERT_EQ(listed(0).first(), QStringLiteral("Режим №  2.Dat"));
    ASSERT_EQ(regimes()->ListView1->headerItem()->text(0), QStringLiteral("Режим № 2/ 2"));
    // the new regime gets a load above the first one's and moves down the list
    enter(0, "200");
    for (int k : {11, 12, 13, 14, 15, 17, 18, 22, 23, 41}) enter(k, editor()->T[k]->text().trimmed());
    ASSERT_EQ(listed(0).last(), QStringLiteral("Режим №  2.Dat"));
    EXPECT_EQ(regimes()->ListView1->headerItem()->text(0), QStringLiteral("Режим № 2/ 2"));
    EXPECT_EQ(wb->status(2), QStringLiteral("Режим № 2/ 2"));
    ASSERT_TRUE(regimes()->selectRow(0));
    EXPECT_EQ(regimes()->ListView1->headerItem()->text(0), QStringLiteral("Режим № 1/ 2"));
}

// The ticks of the list choose the regimes of the card; they are kept with the object, so a
// reopened object offers the same card, through sorts, deletes and a damaged choice file.
TEST_F(RegimeWorkTest, TheCardsTicksAreKeptWithTheObject) {
    const QString name = QStringLiteral("Котельная школы №3");
    openDemo(name);
    const QStringList keys = listed(0);
    ASSERT_GE(keys.size(), 3);
    auto item = [&](const QString& key) {
        for (int i = 0; i < regimes()->ListView1->topLevelItemCount(); ++i)
            if (regimes()->ListView1->topLevelItem(i)->text(0) == key) return regimes()->ListView1->topLevelItem(i);
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    auto ticked = [&] {
        QStringList l;
        for (const app::RegimeRow& r : state.regimeList.rows)
            if (r.ticked) l.append(r.key);
        std::sort(l.begin(), l.end());
        return l;
    };
    QStringList all = keys;
    std::sort(all.begin(), all.end());
    ASSERT_EQ(ticked(), all);
    const QString off = keys[1];
    item(off)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(ReadBytes(file(regime::kCardChoiceFile)), core::EncodeCp1251(off + QStringLiteral("\r\n")));
    QStringList rest = all;
    rest.removeAll(off);
    EXPECT_EQ(ticked(), rest);
    // a calculation re-sorts the list: the choice stays
    regimes()->button(QStringLiteral("Всех"))->trigger();
    settle();
    EXPECT_EQ(ticked(), rest);
    EXPECT_EQ(item(off)->checkState(0), Qt::Unchecked);

    // closed and opened again: the same card
    frame().MDIForm1_Close();
    settle();
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(name));
    settle();
    EXPECT_EQ(ticked(), rest);
    ASSERT_NE(item(off), nullptr);
    EXPECT_EQ(item(off)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'|').toStdString();

    // the regime left off is deleted with the Delete key, which asks as the button does: its
    // name leaves the file with it
    ASSERT_TRUE(regimes()->selectRow(static_cast<int>(listed(0).indexOf(off))));
    dialogs.shown.clear();
    QTest::keyClick(regimes()->ListView1, Qt::Key_Delete);
    ASSERT_EQ(dialogs.count(QStringLiteral("question")), 1);
    ASSERT_NE(listed(0).indexOf(off), -1);  // "Нет"
    dialogs.answers = {app::Answer::Yes};
    QTest::keyClick(regimes()->ListView1, Qt::Key_Delete);
    settle();
    ASSERT_EQ(listed(0).indexOf(off), -1);
    // Insert adds a regime as "Добавить" does
    const qsizetype before = listed(0).size();
    QTest::keyClick(regimes()->ListView1, Qt::Key_Insert);
    settle();
    EXPECT_EQ(listed(0).size(), before + 1);
    EXPECT_TRUE(regimes()->button(QStringLiteral("Добавить"))->toolTip().contains(QStringLiteral("Insert")));
    QStringList choice;
    ASSERT_TRUE(regime::ReadCardChoice(state.currentObjectFolder, choice));
    EXPECT_TRUE(choice.isEmpty()) << choice.join(u'|').toStdString();

    // a choice file that is not one is named, and every regime is on the card
    frame().MDIForm1_Close();
    settle();
    WriteBytes(core::JoinPath(objectFolder(name), regime::kCardChoiceFile), "garbage\r\n");
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(name));
    settle();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(regime::kCardChoiceFile)) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(ticked().size(), listed(0).size());
}

TEST_F(RegimeWorkTest, RegimeListAndTaskPaneCannotBeLostOtherWindowsComeBack) {
    openNew(HotWaterGasGeneral(QStringLiteral("К")));
    for (app::WindowKind k : {app::WindowKind::SReg, app::WindowKind::Navig}) {
        QMdiSubWindow* sub = wb->subWindow(k);
        ASSERT_NE(sub, nullptr);
        EXPECT_FALSE(sub->windowFlags() & Qt::WindowCloseButtonHint);
        // the title bar draws a close box for a window with a system menu
        EXPECT_FALSE(sub->windowFlags() & Qt::WindowSystemMenuHint);
        EXPECT_FALSE(sub->close());
        settle();
        EXPECT_NE(wb->window(k), nullptr);
    }
    // the editor closed by the user: the frame's first button comes back, "Расчитать"
    // still calculates, and the "Окно" menu brings the editor back
    typeCompleteRegime();
    enter(0, "100");
    const QString load = listed(1).first();
    state.inputs[0] = 120.0f;
    regime::SaveRegimeInputs(state, [&] {
        QStringList t;
        for (float v : state.inputs) t.append(core::StoredForm(v));
        return t;
    }());
    wb->subWindow(app::WindowKind::Regim)->close();
    settle();
    ASSERT_EQ(wb->window(app::WindowKind::Regim), nullptr);
    EXPECT_TRUE(frame().toolbarButton(1)->isEnabled());
    regimes()->button(QStringLiteral("Расчитать"))->trigger();
    EXPECT_EQ(listed(1).first(), "85");
    EXPECT_NE(listed(1).first(), load);
    Q_EMIT frame().W->aboutToShow();
    QAction* reopen = frame().W->findChild<QAction*>(QStringLiteral("reopenTab1"));
    ASSERT_NE(reopen, nullptr);
    reopen->trigger();
    settle();
    EXPECT_NE(editor(), nullptr);
    EXPECT_EQ(frame().mdiArea()->activeSubWindow(), wb->subWindow(app::WindowKind::Regim));
    // closing the object still closes both
    wb->closeObject();
    settle();
    EXPECT_EQ(wb->window(app::WindowKind::SReg), nullptr);
    EXPECT_EQ(wb->window(app::WindowKind::Navig), nullptr);
}

TEST_F(RegimeWorkTest, SteamBoilerWithEconomiserHasHeadedColumnsAndFitsTheFrame) {
    frame().resize(1200, 820);
    settle();
    openDemo(QStringLiteral("Молокозавод, паровая котельная"));
    settle();
    regime::Regim* r = editor();
    ASSERT_NE(r, nullptr);
    QStringList headings;
    for (QLabel* l : r->findChildren<QLabel*>(QStringLiteral("ColumnHeading")))
        if (l->isVisibleTo(r)) headings.append(l->text());
    EXPECT_EQ(headings.size(), 4) << headings.join("|").toStdString();
    EXPECT_TRUE(headings.contains(QStringLiteral("до экономайзера")));
    EXPECT_TRUE(headings.contains(QStringLiteral("за экономайзером")));
    QMdiSubWindow* sub = wb->subWindow(app::WindowKind::Regim);
    const QRect room = frame().mdiArea()->viewport()->rect();
    EXPECT_TRUE(room.contains(sub->geometry())) << sub->geometry().width() << " in " << room.width();
    auto* scroll = r->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    // every field of the right column is inside the visible part of the window
    for (int k : {29, 30, 33, 28})
        EXPECT_LE(r->T[k]->mapTo(scroll->viewport(), QPoint(r->T[k]->width(), 0)).x(), scroll->viewport()->width())
            << k;
    shot(&frame(), "steam-economiser");
}

// ---------------------------------------------------------------- graph windows

class GraphWorkTest : public RegimeWorkTest {
protected:
    void SetUp() override {
        RegimeWorkTest::SetUp();
        openDemo(QStringLiteral("Котельная школы №3"));
        wb->showTab(2);
        settle();
        ASSERT_NE(graf(), nullptr);
    }
    results::Graf* graf() { return wb->window<results::Graf>(app::WindowKind::Graf); }
    results::GraphTasks* tasks() { return pane()->graphTasks(); }
    int entry(const QString& key) {
        for (int i = 0; i < tasks()->entries().size(); ++i)
            if (tasks()->entries()[i].key == key) return i;
        return -1;
    }
};

TEST_F(GraphWorkTest, TheDataTableStaysInsideTheFrameWithXYAndMeans) {
    frame().resize(1200, 820);
    settle();
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R4 R3")));
    tasks()->button(QStringLiteral("таблица"))->trigger();
    settle();
    QMdiSubWindow* sub = wb->subWindow(app::WindowKind::Graf);
    const QRect room = frame().mdiArea()->viewport()->rect();
    EXPECT_TRUE(room.contains(sub->geometry())) << sub->geometry().right() << " > " << room.right();
    QTableWidget* t = graf()->Table1;
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(t->columnCount(), 2);
    EXPECT_EQ(t->horizontalHeaderItem(0)->text(), "X");
    EXPECT_EQ(t->horizontalHeaderItem(1)->text(), "Y");
    const int points = graf()->pointRows();
    ASSERT_EQ(points, 6);
    EXPECT_EQ(t->verticalHeaderItem(points)->text(), QStringLiteral("Сред."));
    EXPECT_EQ(graf()->meanY(), results::MeanText(graf()->data().y));
    // the Y column lies inside the window
    const QPoint yRight = t->viewport()->mapTo(sub, QPoint(t->columnViewportPosition(1) + t->columnWidth(1), 0));
    EXPECT_LE(yRight.x(), sub->width());
    shot(&frame(), "graph-table");
    tasks()->button(QStringLiteral("таблица"))->trigger();
    EXPECT_TRUE(graf()->Frame1->isHidden());
}

int Pixels(const QImage& image, const QColor& c) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == c;
    return n;
}

TEST_F(GraphWorkTest, OverlaidCurvesSurviveAResize) {
    tasks()->button(QStringLiteral("Наложения"))->trigger();
    dialogs.colors = {QColor(Qt::red)};
    tasks()->button(QStringLiteral("Цвет"))->trigger();
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R4 R3")));
    dialogs.colors = {QColor(Qt::green)};
    tasks()->button(QStringLiteral("Цвет"))->trigger();
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R5 R3")));
    ASSERT_GT(Pixels(graf()->Picture1->image(), Qt::red), 0);
    ASSERT_GT(Pixels(graf()->Picture1->image(), Qt::green), 0);
    // opening the table resizes the drawing area
    tasks()->button(QStringLiteral("таблица"))->trigger();
    settle();
    graf()->Picture1->resize(graf()->Picture1->width() - 50, graf()->Picture1->height() - 20);
    settle();
    const QImage after = graf()->Picture1->image();
    EXPECT_GT(Pixels(after, Qt::red), 0);
    EXPECT_GT(Pixels(after, Qt::green), 0);
    // a plain draw starts over with one curve
    tasks()->button(QStringLiteral("Наложения"))->trigger();
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R5 R3")));
    graf()->Picture1->resize(graf()->Picture1->width() + 30, graf()->Picture1->height());
    settle();
    EXPECT_EQ(Pixels(graf()->Picture1->image(), Qt::red), 0);
}

TEST_F(GraphWorkTest, RefreshingTheMiniGraphLeavesTheEditorsPicture) {
    tasks()->button(QStringLiteral("Наложения"))->trigger();
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R4 R3")));
    tasks()->button(QStringLiteral("МиниГрафик"))->trigger();
    settle();
    auto* mini = wb->window<results::Grafmin>(app::WindowKind::Grafmin);
    ASSERT_NE(mini, nullptr);
    const QImage editorBefore = graf()->Picture1->image();
    const QImage miniBefore = mini->Picture1->image();
    // a regime leaves the graph, as a recalculation may move a point
    state.regimeList.rows[1].ticked = false;
    tasks()->RefreshMiniGraphIfShown();
    settle();
    EXPECT_EQ(graf()->Picture1->image(), editorBefore);
    EXPECT_NE(mini->Picture1->image(), miniBefore);
    EXPECT_EQ(graf()->pointRows(), 5);  // the editor's table has the points the mini graph shows
}

TEST_F(GraphWorkTest, EveryCatalogueCaptionReadsWhole) {
    tasks()->Navig_T2_ButtonClick(QStringLiteral("Y"));
    settle();
    QTableWidget* t = tasks()->LWg;
    ASSERT_GT(t->rowCount(), 5);
    shot(pane(), "catalogue");
    for (int r = 0; r < t->rowCount(); ++r)
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem* item = t->item(r, c);
            ASSERT_NE(item, nullptr);
            const QString text = item->text();
            const int width = t->columnWidth(c) - 12 - (c == 0 ? t->iconSize().width() + 4 : 0);
            const QFontMetrics fm(t->font());
            // the row is high enough for the caption wrapped within its cell, and the whole
            // text is in the tooltip too
            const QRect need =
                fm.boundingRect(QRect(0, 0, width, 10000), Qt::TextWrapAnywhere | Qt::TextWordWrap, text);
            EXPECT_TRUE(need.height() <= t->rowHeight(r) || item->toolTip() == text) << text.toStdString();
            EXPECT_EQ(item->toolTip(), text);
        }
}

TEST_F(GraphWorkTest, ALongWordOfACatalogueCaptionIsBrokenNotClipped) {
    tasks()->Navig_T2_ButtonClick(QStringLiteral("Y"));
    settle();
    QTableWidget* t = tasks()->LWg;
    QWidget* pane = wb->subWindow(app::WindowKind::Navig);
    ASSERT_NE(pane, nullptr);
    // the pane as it opens, then narrow: the longest words no longer fit a line of their column
    for (const int width : {pane->width(), 170}) {
    pane->resize(width, pane->height());
    settle();
    settle();
    shot(pane, width == 170 ? "catalogue-narrow" : "catalogue-wide");
    auto* delegate = dynamic_cast<results::WrappingDelegate*>(t->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    QStyleOptionViewItem option;
    option.initFrom(t);
    option.widget = t;
    option.font = t->font();
    const QFontMetrics fm(t->font());
    int broken = 0;
    for (int r = 0; r < t->rowCount(); ++r)
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem* item = t->item(r, c);
            const QString text = item->text();
            const QModelIndex index = t->model()->index(r, c);
            const int width = delegate->textWidth(option, index, t->columnWidth(c));
            ASSERT_GT(width, 10);
            const QStringList lines = results::WrappedLines(text, t->font(), width);
            // every line fits its cell and no character is lost
            for (const QString& line : lines)
                EXPECT_LE(fm.horizontalAdvance(line.trimmed()), width) << line.toStdString();
            EXPECT_EQ(lines.join(QString()), text);
            // the row is high enough for all of them
            EXPECT_GE(t->rowHeight(r), static_cast<int>(lines.size()) * fm.lineSpacing()) << text.toStdString();
            for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) broken += fm.horizontalAdvance(word) > width;
            EXPECT_EQ(item->toolTip(), text);
        }
    if (width == 170) {
        EXPECT_GT(broken, 0);  // the narrow pane has words longer than their line
    }
    }
}


// ---------------------------------------------------------------- nothing typed is lost

TEST_F(RegimeWorkTest, ATypedValueIsKeptWhenItsRegimeIsLeftAndEscapeDropsIt) {
    openDemo(QStringLiteral("Котельная школы №3"));
    const QString first = state.currentRegimeFile;
    auto row = [&](const QString& key) {
        for (int i = 0; i < regimes()->ListView1->topLevelItemCount(); ++i)
            if (regimes()->ListView1->topLevelItem(i)->text(0) == key) return regimes()->ListView1->topLevelItem(i);
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    auto click = [&](const QString& key) {
        QTreeWidgetItem* item = row(key);
        ASSERT_NE(item, nullptr);
        const QRect r = regimes()->ListView1->visualItemRect(item);
        QTest::mouseClick(regimes()->ListView1->viewport(), Qt::LeftButton, {}, r.center());
        settle();
    };
    // a second decimal point is refused like any other key: the field shows what is stored
    QLineEdit* o2 = editor()->T[13];
    o2->setFocus();
    o2->selectAll();
    Type(o2, "6.5.5");
    EXPECT_EQ(o2->text(), "6.55");
    // the flue-gas temperature typed without Enter, then another regime clicked: saved and
    // calculated as Enter would, the list re-sorted, and there when the user comes back
    QLineEdit* t = editor()->T[17];
    t->setFocus();
    t->selectAll();
    Type(t, "160");
    const QString other = listed(0).last() == first ? listed(0).first() : listed(0).last();
    click(other);
    EXPECT_EQ(state.currentRegimeFile, other);
    const QStringList stored = QString::fromLatin1(ReadBytes(file(first))).split(QStringLiteral("\r\n"));
    EXPECT_EQ(stored.value(17), "160");
    EXPECT_EQ(stored.value(13), "6.55");
    click(first);
    EXPECT_EQ(editor()->T[17]->text().trimmed(), "160");
    {
        app::AppState check = state;  // (a copy shares the object's lock while it lives)
        ASSERT_TRUE(regime::LoadRegimeResults(check));
        const float storedLoad = check.results[0];
        ASSERT_TRUE(regime::LoadRegimeInputs(check));
        engine::CalculateRegime(check.calcInputs(), check.steam, check.results);
        EXPECT_NEAR(storedLoad, check.results[0], 0.5);
    }

    // Escape drops what was typed and shows the stored value again; nothing is written
    const QByteArray before = ReadBytes(file(first));
    t->setFocus();
    t->selectAll();
    Type(t, "999");
    QTest::keyClick(t, Qt::Key_Escape);
    EXPECT_EQ(t->text().trimmed(), "160");
    click(other);
    EXPECT_EQ(ReadBytes(file(first)), before);

    // a value that cannot have been measured is refused with its range; the user stays
    click(first);
    dialogs.shown.clear();
    t->setFocus();
    t->selectAll();
    Type(t, "12345678901234567890");
    click(other);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("вне пределов от -60 до 1200")))
        << dialogs.messages().first().toStdString();
    EXPECT_EQ(state.currentRegimeFile, first);
    EXPECT_EQ(ReadBytes(file(first)), before);

    // a desktop session that ends (SIGTERM) closes the workbench as "Выход" does: the pending
    // value is saved and the object's lock released
    t->setFocus();
    t->selectAll();
    Type(t, "150");
    const QString folder = objectFolder(QStringLiteral("Котельная школы №3"));
    ASSERT_TRUE(QFileInfo::exists(core::JoinPath(folder, app::kLockFileName)));
    shell::CloseOnTerminationSignals(&frame());
    ASSERT_EQ(::raise(SIGTERM), 0);
    for (int i = 0; i < 100 && wb->objectOpen(); ++i) QTest::qWait(10);
    EXPECT_FALSE(wb->objectOpen());
    EXPECT_FALSE(frame().isVisible());
    EXPECT_EQ(QString::fromLatin1(ReadBytes(core::JoinPath(folder, first))).split(QStringLiteral("\r\n")).value(17),
              "150");
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(folder, app::kLockFileName)));
}

// Results another program left behind (a regime file changed by hand, a copy made under
// other units) are never shown as current: opening recalculates them and says which; an
// object opened read-only only says so and writes nothing.
TEST_F(RegimeWorkTest, StaleResultsAreRecalculatedWhenTheObjectOpens) {
    const QString name = QStringLiteral("Котельная школы №3");
    openDemo(name);
    const QString regime = QStringLiteral("Режим №  1.Dat"), results = QStringLiteral("РасчетРежим №  1.Dat");
    const QString folder = state.currentObjectFolder;
    wb->closeObject();
    settle();
    auto withFlueGas = [&](const char* value) {
        QStringList lines = QString::fromLatin1(ReadBytes(core::JoinPath(folder, regime))).split(QStringLiteral("\r\n"));
        lines[17] = QString::fromLatin1(value);
        WriteBytes(core::JoinPath(folder, regime), lines.join(QStringLiteral("\r\n")).toLatin1());
    };
    withFlueGas("180");
    const QByteArray before = ReadBytes(core::JoinPath(folder, results));

    // held by another workbench: opened read-only, told, nothing written
    const QString lock = core::JoinPath(folder, app::kLockFileName);
    WriteBytes(lock, "computer=" + app::ThisProcess().computer.toUtf8() + "\r\nuser=engineer2\r\npid=1\r\n");
    dialogs.shown.clear();
    dialogs.answers = {app::Answer::Yes};
    ASSERT_TRUE(wb->openObject(name));
    settle();
    ASSERT_EQ(dialogs.messages().size(), 1) << dialogs.messages().join('|').toStdString();
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Результаты режимов не соответствуют их данным: ") + regime))
        << dialogs.messages()[0].toStdString();
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("только для чтения")));
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, results)), before);
    wb->closeObject();
    settle();
    QFile::remove(lock);

    // its own: recalculated, stored and shown, and the user is told which
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(name));
    settle();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0],
              QStringLiteral("Сохраненные результаты режимов не соответствовали их данным и пересчитаны: ") + regime + u'.');
    EXPECT_NE(ReadBytes(core::JoinPath(folder, results)), before);
    EXPECT_TRUE(regime::StaleRegimes(state, {regime}).isEmpty());
    // opened again: nothing left to say
    wb->closeObject();
    settle();
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(name));
    settle();
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // with its units file unreadable the template's units stand in (the opening warns):
    // results made under the object's own units are then left as they are
    wb->closeObject();
    settle();
    const QByteArray fresh = ReadBytes(core::JoinPath(folder, results));
    WriteBytes(core::JoinPath(folder, QStringLiteral("Ediny.txt")), "");
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(name));
    settle();
    EXPECT_FALSE(dialogs.messages().join('|').contains(QStringLiteral("пересчитаны")));
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, results)), fresh);
}

TEST_F(RegimeWorkTest, AnImpossibleResultIsMarkedInTheListAsInThePane) {
    openDemo(QStringLiteral("Котельная школы №3"));
    // a water flow far too high gives a direct-balance efficiency above 100 %
    enter(41, "3000");
    int marked = -1;
    for (int i = 0; i < regimes()->ListView1->topLevelItemCount(); ++i)
        if (regimes()->ListView1->topLevelItem(i)->text(0) == state.currentRegimeFile) marked = i;
    ASSERT_GE(marked, 0);
    QTreeWidgetItem* item = regimes()->ListView1->topLevelItem(marked);
    EXPECT_TRUE(item->toolTip(1).contains(QStringLiteral("КПД больше 100 %"))) << item->toolTip(1).toStdString();
    EXPECT_EQ(item->background(1).color(), app::kImplausibleBackground);
    QTreeWidgetItem* eff = resultRow(QStringLiteral("dQ"));
    ASSERT_NE(eff, nullptr);
    EXPECT_EQ(eff->toolTip(2), regime::ImplausibleReason(22, 101.0f));
}

TEST_F(RegimeWorkTest, AGeneralDataChangeRecalculatesEveryRegimeAndEditingKeysWork) {
    openDemo(QStringLiteral("Котельная школы №3"));
    wb->showTab(0);
    settle();
    auto* od = wb->window<object::OD>(app::WindowKind::OD);
    ASSERT_NE(od, nullptr);
    QLineEdit* qn = od->COD[object::CalorificValue]->lineEdit();
    qn->setFocus();
    // Ctrl+A selects the whole value, so typing replaces it; a second point is refused
    QTest::keyClick(qn, Qt::Key_A, Qt::ControlModifier);
    Type(qn, "8500..");
    EXPECT_EQ(qn->text(), "8500.");
    QTest::keyClick(qn, Qt::Key_Backspace);
    // copy and paste work, the paste filtered like typing
    QTest::keyClick(qn, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(qn, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "8500");
    QGuiApplication::clipboard()->setText(QStringLiteral("85x0,5"));
    QTest::keyClick(qn, Qt::Key_End);
    QTest::keyClick(qn, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(qn->text(), "8500850.5");
    QTest::keyClick(qn, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(qn->text(), "8500");
    // leaving the window saves it and recalculates every regime with the new value
    wb->showTab(1);
    settle();
    settle();
    QStringList general;
    ASSERT_TRUE(object::ReadGeneralData(state.currentObjectFolder, general));
    EXPECT_EQ(general[object::CalorificValue], "8500");
    for (const auto& row : state.regimeList.rows) {
        app::AppState check = state;
        check.setCurrentRegime(row.key);
        ASSERT_TRUE(regime::LoadRegimeInputs(check));
        ASSERT_TRUE(regime::LoadRegimeResults(check));
        const std::array<float, 26> stored = check.results;
        engine::CalculateRegime(check.calcInputs(), check.steam, check.results);
        for (int slot : {0, 3, 4, 12}) EXPECT_NEAR(stored[slot], check.results[slot], 0.01) << row.key.toStdString();
        EXPECT_EQ(core::StoredForm(stored[0]), row.load) << row.key.toStdString();
    }
    // Escape in a general-data entry puts back what the file holds
    wb->showTab(0);
    settle();
    qn->setFocus();
    qn->selectAll();
    Type(qn, "1");
    QTest::keyClick(qn, Qt::Key_Escape);
    EXPECT_EQ(qn->text(), "8500");
}

}  // namespace
}  // namespace frame_testing
