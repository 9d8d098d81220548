// The object commands of the frame and the list window: rename, delete, the filter, the
// views, and copy / send / import through the list's buttons.

#include "test_frame_fixture.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace frame_testing {
namespace {

using testing_support::HotWaterGasGeneral;

class ObjectCommandsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        home.makeObject(QStringLiteral("Котельная 1"), HotWaterGasGeneral(QStringLiteral("Котельная 1")));
        home.makeObject(QStringLiteral("Баня"), HotWaterGasGeneral(QStringLiteral("Баня")));
        openList();
        clickEntry(QStringLiteral("Котельная 1"));
        ASSERT_TRUE(objectCommandsEnabled());
    }
};

TEST_F(ObjectCommandsTest, RenameMovesTheFolderRefillsAndDisablesTheCommands) {
    dialogs.inputs.push_back(QStringLiteral("  Котельная 2 "));
    frame().nnam->trigger();
    ASSERT_EQ(dialogs.count(QStringLiteral("input")), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Введите новое имя объекта"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Переименовать"));
    EXPECT_EQ(dialogs.shown[0].preset, QStringLiteral("Котельная 1"));
    EXPECT_TRUE(QFileInfo(objectFolder(QStringLiteral("Котельная 2"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(objectFolder(QStringLiteral("Котельная 1"))));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("Баня"), QStringLiteral("Котельная 2")}));
    EXPECT_FALSE(objectCommandsEnabled());
    // the selection follows the rename: Enter opens the object under its new name
    EXPECT_EQ(state.currentObjectName, QStringLiteral("Котельная 2"));
    EXPECT_FALSE(list()->toolbarButton(QStringLiteral("Копию"))->isEnabled());
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_TRUE(wb->objectOpen());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro   Котельная 2"));
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 0);
    // Ctrl+E closes the object from inside a text field, which has its own use for the key
    auto* field = QApplication::focusWidget();
    ASSERT_NE(field, nullptr);
    QTest::keyClick(field, Qt::Key_E, Qt::ControlModifier);
    EXPECT_FALSE(wb->objectOpen());
}

TEST_F(ObjectCommandsTest, RenameToATakenNameOrCancelChangesNothing) {
    testing_support::WriteBytes(core::JoinPath(home.objects(), QStringLiteral("файл.txt")), "x");
    dialogs.inputs = {QStringLiteral("  баня  "), QStringLiteral("файл.txt"), std::nullopt, QStringLiteral("   ")};
    for (int i = 0; i < 4; ++i) frame().toolbarButton(QStringLiteral("Переименовать"))->trigger();
    EXPECT_EQ(dialogs.count(QStringLiteral("input")), 4);
    // the taken names say so; cancel and an empty name say nothing
    EXPECT_EQ(dialogs.messages(),
              (QStringList{QStringLiteral("Объект с именем  'баня'  уже существует. Выберите другое имя."),
                           QStringLiteral("Объект с именем  'файл.txt'  уже существует. Выберите другое имя.")}));
    EXPECT_TRUE(QFileInfo(objectFolder(QStringLiteral("Котельная 1"))).isDir());
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("Баня"), QStringLiteral("Котельная 1")}));
    EXPECT_TRUE(objectCommandsEnabled());
}

TEST_F(ObjectCommandsTest, DeleteAnsweredNoKeepsFilesButDisablesTheCommands) {
    dialogs.answers.push_back(app::Answer::No);
    frame().Del_o->trigger();
    ASSERT_EQ(dialogs.count(QStringLiteral("question")), 1);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Подтвердите удаление"));
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Внимание ! После удаления файла  восстановить его  будет невозможно !    "
                             "Вы хотите удалить  Котельная 1 ?"));
    EXPECT_EQ(dialogs.shown[0].icon, app::Icon::Warning);
    EXPECT_TRUE(QFileInfo::exists(core::JoinPath(objectFolder(QStringLiteral("Котельная 1")), QStringLiteral("OData.txt"))));
    EXPECT_FALSE(objectCommandsEnabled());
    EXPECT_EQ(list()->Label2->text(), QStringLiteral("Котельная 1"));
}

TEST_F(ObjectCommandsTest, DeleteAnsweredYesRemovesTheObjectAndClearsTheSummary) {
    dialogs.answers.push_back(app::Answer::Yes);
    frame().toolbarButton(6)->trigger();
    EXPECT_FALSE(QFileInfo::exists(objectFolder(QStringLiteral("Котельная 1"))));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("Баня")});
    EXPECT_EQ(frame().panel(2), QStringLiteral("Все объекты, всего : 1"));
    EXPECT_TRUE(state.currentObjectName.isEmpty());
    EXPECT_TRUE(list()->Label2->text().isEmpty());
    for (QLabel* l : list()->L1) EXPECT_TRUE(l->text().isEmpty());
    EXPECT_FALSE(objectCommandsEnabled());
    // nothing is selected any more: copying and sending are off
    EXPECT_FALSE(list()->toolbarButton(QStringLiteral("Копию"))->isEnabled());
    EXPECT_FALSE(list()->toolbarButton(QStringLiteral("Копировать"))->isEnabled());
    // Open with nothing selected does nothing
    list()->frOpen_lvAll_Open();
    EXPECT_FALSE(wb->objectOpen());
}

TEST_F(ObjectCommandsTest, DeleteOfAFolderWithASubfolderLeavesItAsANonObject) {
    const QString folder = objectFolder(QStringLiteral("Котельная 1"));
    QDir().mkpath(core::JoinPath(folder, QStringLiteral("Фото")));
    dialogs.answers.push_back(app::Answer::Yes);
    frame().Del_o->trigger();
    EXPECT_TRUE(QFileInfo(core::JoinPath(folder, QStringLiteral("Фото"))).isDir());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("Баня"), QStringLiteral("Котельная 1")}));
    clickEntry(QStringLiteral("Котельная 1"));
    EXPECT_EQ(list()->Label2->text(), QStringLiteral("Объект 'Котельная 1' не является файлом Kalvaro"));
}

class FilterTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        for (const char* n : {"Котельная 1", "КОТ-2", "Боилер"}) QDir().mkpath(objectFolder(QString::fromUtf8(n)));
    }
};

TEST_F(FrameTest, AnEmptyObjectsFolderGivesAnEmptyList) {
    openList();
    EXPECT_EQ(list()->lvAll->count(), 0);
    EXPECT_EQ(list()->lvAll->header(), QStringLiteral("Все объекты, всего : 0"));
    EXPECT_EQ(frame().panel(2), QStringLiteral("Все объекты, всего : 0"));
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 0);
}

// The list names the missing folder, offers to make it and says what else to do; made, the
// list and "Создать" work at once, without a restart.
TEST_F(FrameTest, AMissingObjectsFolderIsReported) {
    QDir(home.objects()).removeRecursively();
    const QString path = QDir::toNativeSeparators(home.objects());
    openList();
    ASSERT_NE(list(), nullptr);
    ASSERT_EQ(dialogs.count(QStringLiteral("question")), 1);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Нет папки объектов ") + path + QStringLiteral(".\nСоздать ее сейчас?"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Ошибка пути к списку объектов: ") + path))
        << dialogs.messages()[0].toStdString();
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("kalvaro --home")));
    EXPECT_EQ(dialogs.shown[1].icon, app::Icon::Warning);
    EXPECT_EQ(list()->lvAll->count(), 0);
    EXPECT_FALSE(QFileInfo(home.objects()).exists());
    list()->toolbarButton(QStringLiteral("Выход"))->trigger();
    settle();

    dialogs.shown.clear();
    dialogs.answers = {app::Answer::Yes};
    openList();
    ASSERT_NE(list(), nullptr);
    EXPECT_TRUE(QFileInfo(home.objects()).isDir());
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 0);
    list()->toolbarButton(QStringLiteral("Выход"))->trigger();
    settle();
    EXPECT_TRUE(frame().n->isEnabled());
}

TEST_F(FilterTest, FindNarrowsTheListIgnoringLetterCase) {
    openList();
    EXPECT_FALSE(list()->Command1->isEnabled());
    EXPECT_EQ(list()->Text1->toolTip(), QStringLiteral("Введите текст и нажмите Enter"));
    Type(list()->Text1, QStringLiteral("кот"));
    EXPECT_TRUE(list()->Command1->isEnabled());
    QTest::keyClick(list()->Text1, Qt::Key_Return);
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("КОТ-2"), QStringLiteral("Котельная 1")}));
    EXPECT_EQ(list()->lvAll->header(), QStringLiteral("Объекты по фильтру, всего : 2"));
    EXPECT_EQ(frame().panel(2), QStringLiteral("Объекты по фильтру, всего : 2"));
    EXPECT_TRUE(state.filterActive);
}

TEST_F(FilterTest, FindWithAnEmptyBoxClearsTheFilterAndDisablesFind) {
    openList();
    list()->Text1->setText(QStringLiteral("бои"));
    list()->Command1->setEnabled(true);
    QTest::mouseClick(list()->Command1, Qt::LeftButton);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("Боилер")});
    list()->Text1->clear();
    QTest::mouseClick(list()->Command1, Qt::LeftButton);
    EXPECT_EQ(list()->lvAll->count(), 3);
    EXPECT_EQ(list()->lvAll->header(), QStringLiteral("Все объекты, всего : 3"));
    EXPECT_FALSE(list()->Command1->isEnabled());
    EXPECT_FALSE(state.filterActive);
}

TEST_F(FilterTest, TheFilterSurvivesClosingAndReopeningTheList) {
    openList();
    Type(list()->Text1, QStringLiteral("КОТ"));
    QTest::keyClick(list()->Text1, Qt::Key_Enter);
    list()->toolbarButton(QStringLiteral("Выход"))->trigger();
    ASSERT_EQ(list(), nullptr);
    openList();
    EXPECT_EQ(list()->Text1->text(), QStringLiteral("КОТ"));
    EXPECT_TRUE(list()->Command1->isEnabled());
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("КОТ-2"), QStringLiteral("Котельная 1")}));
}

TEST_F(FilterTest, TheFilterBoxShowsItsHintInTheStatusBar) {
    openList();
    frame().activateWindow();
    list()->Text1->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    if (!list()->Text1->hasFocus()) GTEST_SKIP() << "no keyboard focus on this platform";
    EXPECT_EQ(frame().panel(1), QStringLiteral("Введите или удалите текст и нажмите Enter"));
    list()->lvAll->currentView()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(frame().panel(1).isEmpty());
}

TEST_F(FilterTest, ViewStepsThroughTheFourViewsAndKeepsTheSelection) {
    openList();
    store::ObjectListView* lv = list()->lvAll;
    clickEntry(QStringLiteral("КОТ-2"));
    QAction* view = list()->toolbarButton(QStringLiteral("Вид"));
    EXPECT_EQ(view->text(), QStringLiteral(" Вид       "));
    EXPECT_EQ(lv->view(), store::ObjectListView::LargeIcons);
    EXPECT_EQ(lv->listView()->viewMode(), QListView::IconMode);
    view->trigger();
    EXPECT_EQ(lv->view(), store::ObjectListView::SmallIcons);
    EXPECT_EQ(lv->listView()->iconSize(), QSize(16, 16));
    view->trigger();
    EXPECT_EQ(lv->view(), store::ObjectListView::Details);
    EXPECT_EQ(lv->currentView(), lv->detailsView());
    EXPECT_EQ(lv->detailsView()->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Все объекты, всего : 3"));
    // a click in the details view selects too
    clickEntry(QStringLiteral("Боилер"));
    EXPECT_EQ(state.currentObjectName, QStringLiteral("Боилер"));
    view->trigger();
    EXPECT_EQ(lv->view(), store::ObjectListView::List);
    EXPECT_EQ(lv->listView()->flow(), QListView::TopToBottom);
    view->trigger();
    EXPECT_EQ(lv->view(), store::ObjectListView::LargeIcons);
    EXPECT_EQ(lv->entry(lv->currentRow()), QStringLiteral("Боилер"));
}

TEST_F(FilterTest, CommandBarButtonsCarryTheirCaptionsAndTips) {
    openList();
    const char* rows[5][3] = {{"Вид", " Вид       ", "Вид"},
                              {"Копию", "Создать копию", "Создать копию объекта"},
                              {"Загрузить", "Загрузить", "Загрузить объект из..."},
                              {"Копировать", "Копировать", "Отправить копию в ..."},
                              {"Выход", "Выход", "Выход"}};
    for (const auto& r : rows) {
        QAction* a = list()->toolbarButton(QString::fromUtf8(r[0]));
        ASSERT_NE(a, nullptr) << r[0];
        EXPECT_EQ(a->text(), QString::fromUtf8(r[1]));
        EXPECT_EQ(a->toolTip(), QString::fromUtf8(r[2]));
    }
    EXPECT_FALSE(list()->toolbarButton(QStringLiteral("Копию"))->isEnabled());
    EXPECT_FALSE(list()->toolbarButton(QStringLiteral("Копировать"))->isEnabled());
    EXPECT_TRUE(list()->toolbarButton(QStringLiteral("Загрузить"))->isEnabled());
    QAction* menu = list()->Toolbar1->actions().value(0);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->text(), QStringLiteral("Меню"));
    EXPECT_EQ(menu->toolTip(), QStringLiteral("Действия"));
}

class CopyTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        source = home.makeObject(QStringLiteral("A"), HotWaterGasGeneral(QStringLiteral("A")));
        testing_support::WriteBytes(core::JoinPath(source, QStringLiteral("Режим №  1.Dat")), "1\r\n");
        openList();
        clickEntry(QStringLiteral("A"));
    }
    QStringList files(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    QString source;
};

TEST_F(CopyTest, CreateCopyAsksAgainForATakenNameThenCopies) {
    dialogs.inputs = {QStringLiteral("A"), QStringLiteral(" B ")};
    list()->toolbarButton(QStringLiteral("Копию"))->trigger();
    ASSERT_EQ(dialogs.count(QStringLiteral("input")), 2);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Для создания копии введите новое имя !"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Создать копию"));
    EXPECT_EQ(dialogs.shown[0].preset, QStringLiteral("A"));
    EXPECT_EQ(dialogs.shown[1].preset, QStringLiteral("A"));
    EXPECT_EQ(files(objectFolder(QStringLiteral("B"))), files(source));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Объект скопирован под именем  'B'")});
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    // the selection is the one made before the command
    EXPECT_EQ(state.currentObjectName, QStringLiteral("A"));
    EXPECT_EQ(list()->lvAll->entry(list()->lvAll->currentRow()), QStringLiteral("A"));
}

TEST_F(CopyTest, CreateCopyAnsweredWithBlanksCreatesNothing) {
    dialogs.inputs = {QStringLiteral("   ")};
    list()->toolbarButton(QStringLiteral("Копию"))->trigger();
    EXPECT_EQ(entries(), QStringList{QStringLiteral("A")});
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 0);
}

TEST_F(CopyTest, SendCopyUsesTheChosenFolderAndAsksForAFreeName) {
    QTemporaryDir target;
    QDir().mkpath(core::JoinPath(target.path(), QStringLiteral("A")));
    dialogs.folders = {target.path() + QStringLiteral("/")};
    dialogs.answers = {app::Answer::Yes};
    dialogs.inputs = {QStringLiteral("A-копия")};
    list()->toolbarButton(QStringLiteral("Копировать"))->trigger();
    ASSERT_GE(dialogs.shown.size(), 4);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Укажите путь для копирования"));
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Вы выбрали путь ") + target.path() +
                                         QStringLiteral("/.  Продолжить?"));
    EXPECT_EQ(dialogs.shown[2].text, QStringLiteral("Объект с таким именем существует.Введите новое имя !"));
    EXPECT_EQ(files(core::JoinPath(target.path(), QStringLiteral("A-копия"))), files(source));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Объект скопирован под именем  'A-копия'")});
}

TEST_F(CopyTest, CancellingTheChooserOrTheNameEndsSendCopy) {
    QTemporaryDir target;
    QDir().mkpath(core::JoinPath(target.path(), QStringLiteral("A")));
    dialogs.folders = {target.path(), QString()};
    dialogs.answers = {app::Answer::Yes};
    QAction* send = list()->toolbarButton(QStringLiteral("Копировать"));
    send->trigger();  // name taken, Cancel at the name question
    send->trigger();  // chooser cancelled
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("A")});
    EXPECT_EQ(dialogs.count(QStringLiteral("folder")), 2);
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 0);
}

TEST_F(CopyTest, ImportRefusesANonObjectAndRenamesATakenOne) {
    QTemporaryDir outside;
    const QString plain = core::JoinPath(outside.path(), QStringLiteral("Пусто"));
    QDir().mkpath(plain);
    const QString other = core::JoinPath(outside.path(), QStringLiteral("A"));
    QDir().mkpath(other);
    QFile::copy(core::JoinPath(source, QStringLiteral("OData.txt")), core::JoinPath(other, QStringLiteral("OData.txt")));
    QAction* import = list()->toolbarButton(QStringLiteral("Загрузить"));

    dialogs.folders = {plain};
    import->trigger();
    ASSERT_EQ(dialogs.messages(),
              QStringList{QStringLiteral("Объект  'Пусто'  не является файлом Kalvaro. Загрузка невозможна !")});
    EXPECT_EQ(dialogs.shown.last().title, QStringLiteral(" Ошибка !"));
    EXPECT_EQ(dialogs.shown.last().icon, app::Icon::Error);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("A")});

    dialogs.shown.clear();
    dialogs.folders = {other};
    dialogs.answers = {app::Answer::Yes};
    dialogs.inputs = {QStringLiteral("A2")};
    import->trigger();
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Вы выбрали  A  Загрузить?"));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("A"), QStringLiteral("A2")}));
    EXPECT_TRUE(QFileInfo::exists(core::JoinPath(objectFolder(QStringLiteral("A2")), QStringLiteral("OData.txt"))));
    EXPECT_EQ(state.currentObjectName, QStringLiteral("A"));
}

}  // namespace
}  // namespace frame_testing
