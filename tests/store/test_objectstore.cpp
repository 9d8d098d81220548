#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "store/objectcopy.h"
#include "store/objectstore.h"
#include "app/startup.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "support/scripted_dialogs.h"
#include "support/testdirs.h"

using namespace app;
using namespace store;
using testing_support::ReadBytes;
using testing_support::ScriptedDialogs;
using testing_support::TestHome;
using testing_support::WriteBytes;

namespace {

struct StoreFixture : ::testing::Test {
    TestHome home;
    AppState s;
    ScriptedDialogs d;
    void SetUp() override { home.apply(s); }
    QStringList listed() { return FillObjectList(s).names; }
    bool exists(const QString& name) { return QFileInfo::exists(core::JoinPath(home.objects(), name)); }
};

}  // namespace

TEST_F(StoreFixture, EmptyAndMissingObjectsFolder) {
    ObjectList l = FillObjectList(s);
    EXPECT_TRUE(l.ok);
    EXPECT_TRUE(l.names.isEmpty());
    EXPECT_EQ(l.header, QStringLiteral("Все объекты, всего : 0"));
    s.objectsFolder = core::JoinPath(home.path(), "nothing");
    EXPECT_FALSE(FillObjectList(s).ok);
}

TEST_F(StoreFixture, FilterListsSubstringsIgnoringCase) {
    for (const char* n : {"Котельная 1", "КОТ-2", "Боилер"}) QDir().mkdir(core::JoinPath(home.objects(), QString::fromUtf8(n)));
    WriteBytes(core::JoinPath(home.objects(), "plain file.txt"), "x");  // files are not objects
    EXPECT_EQ(listed(), QStringList({QStringLiteral("Боилер"), QStringLiteral("КОТ-2"), QStringLiteral("Котельная 1")}));
    EXPECT_TRUE(ApplyFilter(s, QStringLiteral("кот")));
    const ObjectList l = FillObjectList(s);
    EXPECT_EQ(l.names, QStringList({QStringLiteral("КОТ-2"), QStringLiteral("Котельная 1")}));
    EXPECT_EQ(l.header, QStringLiteral("Объекты по фильтру, всего : 2"));
    EXPECT_FALSE(ApplyFilter(s, QString()));  // "Найти" disabled
    EXPECT_FALSE(s.filterActive);
    EXPECT_EQ(FillObjectList(s).header, QStringLiteral("Все объекты, всего : 3"));
}

TEST_F(StoreFixture, SummaryOfObjectAndOfPlainFolder) {
    QStringList g = testing_support::HotWaterGasGeneral(QStringLiteral("К1"));
    g[12] = QStringLiteral("КВа-1");
    g[13] = "7";
    g[8] = QStringLiteral("Горелка");
    const QString folder = home.makeObject(QStringLiteral("К1"), g);
    regime::WriteCounter(folder, regime::kCountFile, 7, true);
    ObjectSummary sum = SelectObject(s, QStringLiteral("К1"));
    EXPECT_TRUE(sum.isObject);
    EXPECT_FALSE(sum.readError);
    EXPECT_EQ(sum.title, QStringLiteral("К1"));
    EXPECT_EQ(sum.regimes, "7");
    EXPECT_EQ(sum.installationType, QStringLiteral("КВа-1"));
    EXPECT_EQ(sum.economiser, QStringLiteral("без экономайзера"));
    EXPECT_EQ(s.general, g);
    EXPECT_EQ(s.currentObjectFolder, folder);

    QDir().mkdir(core::JoinPath(home.objects(), "Docs"));
    sum = SelectObject(s, "Docs");
    EXPECT_FALSE(sum.isObject);
    EXPECT_EQ(sum.title, QStringLiteral("Объект 'Docs' не является файлом Kalvaro"));
    EXPECT_TRUE(sum.regimes.isEmpty());
}

TEST_F(StoreFixture, SummaryWithoutCountFileShowsDataAndReadError) {
    const QString folder = home.makeObject(QStringLiteral("К2"), testing_support::HotWaterGasGeneral("К2"));
    QFile::remove(core::JoinPath(folder, "Col_RAll.txt"));
    const ObjectSummary sum = SelectObject(s, QStringLiteral("К2"));
    EXPECT_TRUE(sum.readError);
    EXPECT_EQ(sum.fuel, QStringLiteral("Природный газ"));
    EXPECT_TRUE(sum.regimes.isEmpty());
}

TEST_F(StoreFixture, RenameFlows) {
    home.makeObject("A");
    home.makeObject("B");
    WriteBytes(core::JoinPath(home.objects(), "file"), "x");
    s.setCurrentObject("A");
    d.inputs = {std::nullopt};
    EXPECT_EQ(RenameObject(s, d), CommandResult::Cancelled);
    EXPECT_EQ(d.shown.last().preset, "A");
    EXPECT_EQ(d.shown.last().text, QStringLiteral("Введите новое имя объекта"));
    d.inputs = {QString("  b  "), QString("FILE"), QString("   "), QString("../escape")};
    EXPECT_EQ(RenameObject(s, d), CommandResult::Refused);  // taken, also by letter case
    EXPECT_EQ(RenameObject(s, d), CommandResult::Refused);  // a plain file of that name
    EXPECT_EQ(RenameObject(s, d), CommandResult::Cancelled);
    // a taken name says so, naming it
    ASSERT_EQ(d.messages().size(), 2);
    EXPECT_EQ(d.messages()[0], QStringLiteral("Объект с именем  'b'  уже существует. Выберите другое имя."));
    EXPECT_EQ(d.messages()[1], QStringLiteral("Объект с именем  'FILE'  уже существует. Выберите другое имя."));
    EXPECT_EQ(RenameObject(s, d), CommandResult::Refused);
    // a name that would leave the objects folder is refused with a word
    ASSERT_EQ(d.messages().size(), 3);
    EXPECT_EQ(d.messages()[2], kBadObjectName);
    EXPECT_TRUE(exists("A"));
    d.inputs = {QString(" C ")};
    EXPECT_EQ(RenameObject(s, d), CommandResult::Done);
    EXPECT_TRUE(exists("C"));
    EXPECT_FALSE(exists("A"));
    // the selection is the renamed object, so that opening it finds its folder
    EXPECT_EQ(s.currentObjectName, QStringLiteral("C"));
    EXPECT_TRUE(IsObjectFolder(s.currentObjectFolder));
    // its own name in another letter case is a rename, not a taken name
    d.inputs = {QString("c")};
    EXPECT_EQ(RenameObject(s, d), CommandResult::Done);
    EXPECT_TRUE(exists("c"));
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(home.path(), "escape")));
}

TEST_F(StoreFixture, RenameFailureMessage) {
    s.setCurrentObject("Gone");
    d.inputs = {QString("New")};
    EXPECT_EQ(RenameObject(s, d), CommandResult::Failed);
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_EQ(d.messages()[0],
              QStringLiteral("Ошибка! Попробуйте переименовать файл средствами проводника Windows. Путь: ") + s.objectsFolder);
    EXPECT_EQ(d.shown.last().title, QStringLiteral("Ошибка !"));
}

TEST_F(StoreFixture, DeleteAnsweredNoAndYes) {
    const QString folder = home.makeObject("Del");
    s.setCurrentObject("Del");
    d.answers = {Answer::No};
    EXPECT_EQ(DeleteObject(s, d), CommandResult::Cancelled);
    EXPECT_EQ(d.shown[0].text,
              QStringLiteral("Внимание ! После удаления файла  восстановить его  будет невозможно !    Вы хотите удалить  Del ?"));
    EXPECT_EQ(d.shown[0].title, QStringLiteral("Подтвердите удаление"));
    EXPECT_TRUE(exists("Del"));
    d.answers = {Answer::Yes};
    EXPECT_EQ(DeleteObject(s, d), CommandResult::Done);
    EXPECT_FALSE(exists("Del"));
    EXPECT_TRUE(s.currentObjectName.isEmpty());
}

TEST_F(StoreFixture, DeleteKeepsSubfoldersAndNeverFollowsLinks) {
    const QString folder = home.makeObject("Obj");
    QDir().mkdir(core::JoinPath(folder, "sub"));
    WriteBytes(core::JoinPath(folder, "sub/keep.txt"), "k");
    const QString outside = core::JoinPath(home.path(), "outside.txt");
    WriteBytes(outside, "precious");
    QFile::link(outside, core::JoinPath(folder, "link.txt"));
    s.setCurrentObject("Obj");
    d.answers = {Answer::Yes};
    EXPECT_EQ(DeleteObject(s, d), CommandResult::Done);
    EXPECT_EQ(ReadBytes(outside), QByteArray("precious"));
    EXPECT_TRUE(QFile::exists(core::JoinPath(folder, "sub/keep.txt")));
    EXPECT_FALSE(QFile::exists(core::JoinPath(folder, "OData.txt")));
    EXPECT_EQ(listed(), QStringList({"Obj"}));
    EXPECT_FALSE(SelectObject(s, "Obj").isObject);
}

TEST_F(StoreFixture, CreateCopyRepeatsUntilTheNameIsFree) {
    home.makeObject("A");
    s.setCurrentObject("A");
    d.inputs = {QString("A"), QString("  B ")};
    EXPECT_EQ(CreateObjectCopy(s, d), CommandResult::Done);
    ASSERT_EQ(d.count("input"), 2);
    EXPECT_EQ(d.shown[0].preset, "A");
    EXPECT_EQ(d.shown[1].preset, "A");
    EXPECT_EQ(d.messages(), QStringList({QStringLiteral("Объект скопирован под именем  'B'")}));
    const QString a = core::JoinPath(home.objects(), "A"), b = core::JoinPath(home.objects(), "B");
    EXPECT_EQ(QDir(b).entryList(QDir::Files), QDir(a).entryList(QDir::Files));
    EXPECT_EQ(ReadBytes(core::JoinPath(b, "OData.txt")), ReadBytes(core::JoinPath(a, "OData.txt")));
    EXPECT_EQ(s.currentObjectName, "A");  // the selection stays
    d.inputs = {QString("   ")};
    EXPECT_EQ(CreateObjectCopy(s, d), CommandResult::Cancelled);
    EXPECT_EQ(listed(), QStringList({"A", "B"}));
}

TEST_F(StoreFixture, SendCopyAsksForAFreeNameAndHonoursCancel) {
    home.makeObject("A");
    s.setCurrentObject("A");
    QTemporaryDir target;
    QDir().mkdir(core::JoinPath(target.path(), "a"));
    d.folders = {target.path() + "/"};
    d.answers = {Answer::Yes};
    d.inputs = {std::nullopt};
    EXPECT_EQ(SendObjectCopy(s, d), CommandResult::Cancelled);
    EXPECT_EQ(d.shown[1].text, QStringLiteral("Вы выбрали путь ") + target.path() + "/" + QStringLiteral(".  Продолжить?"));
    EXPECT_EQ(d.shown[2].text, QStringLiteral("Объект с таким именем существует.Введите новое имя !"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"a"}));
    d.shown.clear();
    d.folders = {target.path()};
    d.answers = {Answer::Yes};
    d.inputs = {QString("A2")};
    EXPECT_EQ(SendObjectCopy(s, d), CommandResult::Done);
    EXPECT_TRUE(QFile::exists(core::JoinPath(target.path(), "A2/OData.txt")));
    // cancelling the chooser ends the command even after an earlier call chose a folder
    d.shown.clear();
    EXPECT_EQ(SendObjectCopy(s, d), CommandResult::Cancelled);
    EXPECT_EQ(d.shown.size(), 1);
    d.folders = {target.path()};
    d.answers = {Answer::No};
    EXPECT_EQ(SendObjectCopy(s, d), CommandResult::Cancelled);
}

TEST_F(StoreFixture, SendCopyFailureMessage) {
    home.makeObject("A");
    s.setCurrentObject("A");
    d.folders = {QStringLiteral("/nonexistent/target")};
    d.answers = {Answer::Yes};
    EXPECT_EQ(SendObjectCopy(s, d), CommandResult::Failed);
    EXPECT_EQ(d.messages().last(), QStringLiteral("Объект не может быть скопирован на /nonexistent/target"));
}

TEST_F(StoreFixture, ImportRefusesNonObjectsAndRenamesTakenNames) {
    QTemporaryDir elsewhere;
    const QString plain = core::JoinPath(elsewhere.path(), "Папка");
    QDir().mkdir(plain);
    d.folders = {plain};
    EXPECT_EQ(ImportObject(s, d), CommandResult::Refused);
    EXPECT_EQ(d.messages()[0], QStringLiteral("Объект  'Папка'  не является файлом Kalvaro. Загрузка невозможна !"));
    EXPECT_EQ(d.shown[1].title, QStringLiteral(" Ошибка !"));
    EXPECT_TRUE(listed().isEmpty());

    home.makeObject("Obj");
    const QString src = core::JoinPath(elsewhere.path(), "Obj");
    QDir().mkdir(src);
    WriteBytes(core::JoinPath(src, "OData.txt"), "\"imported\"\r\n");
    d.shown.clear();
    d.folders = {src};
    d.answers = {Answer::Yes};
    d.inputs = {QString("Obj 2")};
    EXPECT_EQ(ImportObject(s, d), CommandResult::Done);
    EXPECT_EQ(d.shown[1].text, QStringLiteral("Вы выбрали  Obj  Загрузить?"));
    EXPECT_EQ(ReadBytes(core::JoinPath(home.objects(), "Obj 2/OData.txt")), QByteArray("\"imported\"\r\n"));
    EXPECT_EQ(listed(), QStringList({"Obj", "Obj 2"}));
}

TEST(Startup, ProgramFolderChoice) {
    TestHome home;
    QTemporaryDir exe, user;
    const QString tmpl = core::JoinPath(home.path(), "Template");
    EXPECT_EQ(FindProgramFolder({"kalvaro", "--home", home.path()}, exe.path(), user.path(), tmpl), home.path());
    QDir().mkdir(core::JoinPath(exe.path(), "template"));  // any letter case
    EXPECT_EQ(FindProgramFolder({"kalvaro"}, exe.path(), user.path(), tmpl), exe.path());
    QDir(core::JoinPath(exe.path(), "template")).removeRecursively();
    EXPECT_EQ(FindProgramFolder({"kalvaro"}, exe.path(), user.path(), tmpl), user.path());
    EXPECT_TRUE(QFile::exists(core::JoinPath(user.path(), "Template/Ediny.txt")));
    EXPECT_TRUE(QDir(core::JoinPath(user.path(), QStringLiteral("Все объекты"))).exists());
    AppState s;
    SetFolders(s, home.path());
    EXPECT_EQ(s.objectsFolder, home.objects());
    EXPECT_EQ(s.templateFolder, home.templ());
}
