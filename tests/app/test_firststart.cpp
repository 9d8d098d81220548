#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include "app/firststart.h"
#include "store/objectcopy.h"
#include "store/objectstore.h"
#include "app/startup.h"
#include "core/names.h"
#include "support/scripted_dialogs.h"
#include "support/testdirs.h"

using namespace app;
using namespace store;
using testing_support::ReadBytes;
using testing_support::ScriptedDialogs;
using testing_support::WriteBytes;

namespace {

const QString kObjects = QStringLiteral("Все объекты");

// An installed tree as the package lays it out: <prefix>/bin, <prefix>/share/kalvaro/Template
// and the demo objects, plus an empty per-user data folder.
struct InstalledTree : ::testing::Test {
    QTemporaryDir root;
    QString prefix, bin, user;

    void SetUp() override {
        qunsetenv("KALVARO_HOME");
        prefix = root.filePath("usr");
        bin = core::JoinPath(prefix, "bin");
        user = root.filePath("home/.local/share/kalvaro");
        QDir().mkpath(bin);
        const QString tmpl = core::JoinPath(prefix, "share/kalvaro/Template");
        QDir().mkpath(tmpl);
        for (const char* f : {"Ediny.txt", "Kessel.gif", "Сотрудники.txt"})
            QFile::copy(QStringLiteral(KALVARO_SOURCE_DIR "/template/") + QString::fromUtf8(f),
                        core::JoinPath(tmpl, QString::fromUtf8(f)));
    }
    QString demoObjects() const { return InstalledDemoObjectsFolder(bin); }
    // a demo object folder with its general data file and one more file
    void addDemoObject(const QString& name) const {
        const QString folder = core::JoinPath(demoObjects(), name);
        QDir().mkpath(folder);
        WriteBytes(core::JoinPath(folder, "OData.txt"), "\"" + name.toUtf8() + "\"\r\n");
        WriteBytes(core::JoinPath(folder, "Col_R.txt"), "3\r\n");
    }
    AppState stateOf(const QString& programFolder) const {
        AppState s;
        SetFolders(s, programFolder);
        return s;
    }
};

QStringList FilesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

}  // namespace

TEST_F(InstalledTree, InstalledFoldersLieBesideTheExecutableFolder) {
    EXPECT_EQ(InstalledDataFolder("/opt/kalvaro/bin"), QStringLiteral("/opt/kalvaro/share/kalvaro"));
    EXPECT_EQ(InstalledTemplateFolder("/usr/bin"), QStringLiteral("/usr/share/kalvaro/Template"));
    EXPECT_EQ(InstalledDemoObjectsFolder("/usr/bin/"), QStringLiteral("/usr/share/kalvaro/demo/Все объекты"));
    // an unpacked package found from wherever it lies
    EXPECT_TRUE(QFileInfo(InstalledTemplateFolder(bin)).isDir());
}

TEST_F(InstalledTree, FirstStartPreparesThePerUserFolderOnce) {
    const StartFolder first = ChooseStartFolder({"kalvaro"}, bin, user);
    EXPECT_EQ(first.programFolder, user);
    EXPECT_TRUE(first.prepared);
    EXPECT_EQ(FilesUnder(core::JoinPath(user, "Template")),
              QStringList({"Ediny.txt", "Kessel.gif", "Сотрудники.txt"}));
    EXPECT_EQ(ReadBytes(core::JoinPath(user, "Template/Ediny.txt")), ReadBytes(KALVARO_SOURCE_DIR "/template/Ediny.txt"));
    EXPECT_TRUE(QDir(core::JoinPath(user, kObjects)).isEmpty());

    // the user's own template is kept as it is, and no second offer follows
    WriteBytes(core::JoinPath(user, "Template/Ediny.txt"), "edited\r\n");
    const StartFolder second = ChooseStartFolder({"kalvaro"}, bin, user);
    EXPECT_EQ(second.programFolder, user);
    EXPECT_FALSE(second.prepared);
    EXPECT_EQ(ReadBytes(core::JoinPath(user, "Template/Ediny.txt")), QByteArray("edited\r\n"));
}

TEST_F(InstalledTree, ChosenFoldersOtherThanThePerUserOneAreNotPrepared) {
    QTemporaryDir home;
    StartFolder r = ChooseStartFolder({"kalvaro", "--home", home.path()}, bin, user);
    EXPECT_EQ(r.programFolder, home.path());
    EXPECT_FALSE(r.prepared);

    qputenv("KALVARO_HOME", home.path().toUtf8());
    r = ChooseStartFolder({"kalvaro"}, bin, user);
    qunsetenv("KALVARO_HOME");
    EXPECT_EQ(r.programFolder, home.path());
    EXPECT_FALSE(r.prepared);

    // a build or portable folder: Template beside the executable
    QDir().mkpath(core::JoinPath(bin, "Template"));
    r = ChooseStartFolder({"kalvaro"}, bin, user);
    EXPECT_EQ(r.programFolder, bin);
    EXPECT_FALSE(r.prepared);
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(user, "Template")));
}

TEST_F(InstalledTree, WithoutAnInstalledTemplateNothingIsOffered) {
    QDir(core::JoinPath(prefix, "share")).removeRecursively();
    const StartFolder r = ChooseStartFolder({"kalvaro"}, bin, user);
    EXPECT_EQ(r.programFolder, user);
    EXPECT_FALSE(r.prepared);
}

TEST_F(InstalledTree, DemoObjectsAreAddedOnYes) {
    addDemoObject("Котельная школы №3");
    addDemoObject("ТЭЦ-2 водогрейный котел 4");
    QDir().mkpath(core::JoinPath(demoObjects(), "не объект"));  // no OData.txt
    EXPECT_EQ(DemoObjectNames(demoObjects()), QStringList({"Котельная школы №3", "ТЭЦ-2 водогрейный котел 4"}));

    const AppState s = stateOf(ChooseStartFolder({"kalvaro"}, bin, user).programFolder);
    ScriptedDialogs d;
    d.answers = {Answer::Yes};
    EXPECT_EQ(OfferDemoObjects(s, d, demoObjects()), 2);
    ASSERT_EQ(d.shown.size(), 1);
    EXPECT_EQ(d.shown[0].kind, QStringLiteral("question"));
    EXPECT_EQ(d.shown[0].title, QStringLiteral("Первый запуск"));
    EXPECT_TRUE(d.shown[0].text.contains(user));
    EXPECT_TRUE(d.shown[0].text.endsWith(QStringLiteral("\n    Котельная школы №3\n    ТЭЦ-2 водогрейный котел 4")))
        << d.shown[0].text.toStdString();

    AppState listState = s;
    EXPECT_EQ(FillObjectList(listState).names, QStringList({"Котельная школы №3", "ТЭЦ-2 водогрейный котел 4"}));
    EXPECT_EQ(FilesUnder(s.objectsFolder), FilesUnder(demoObjects()));
    EXPECT_EQ(ReadBytes(core::JoinPath(s.objectsFolder, "Котельная школы №3/OData.txt")),
              QByteArray("\"Котельная школы №3\"\r\n"));
}

TEST_F(InstalledTree, DemoObjectsAreNotAddedOnNoNorOverAnObjectOfTheSameName) {
    addDemoObject("Котельная школы №3");
    addDemoObject("Молокозавод");
    const AppState s = stateOf(ChooseStartFolder({"kalvaro"}, bin, user).programFolder);

    ScriptedDialogs no;
    no.answers = {Answer::No};
    EXPECT_EQ(OfferDemoObjects(s, no, demoObjects()), 0);
    EXPECT_TRUE(QDir(s.objectsFolder).isEmpty());

    // the user made an object of that name (other letter case) before answering
    const QString own = core::JoinPath(s.objectsFolder, "МОЛОКОЗАВОД");
    QDir().mkpath(own);
    WriteBytes(core::JoinPath(own, "OData.txt"), "\"own\"\r\n");
    ScriptedDialogs yes;
    yes.answers = {Answer::Yes};
    EXPECT_EQ(OfferDemoObjects(s, yes, demoObjects()), 1);
    EXPECT_EQ(yes.messages(), QStringList());
    EXPECT_EQ(ReadBytes(core::JoinPath(own, "OData.txt")), QByteArray("\"own\"\r\n"));
    EXPECT_EQ(QDir(own).entryList(QDir::Files), QStringList({"OData.txt"}));
    EXPECT_TRUE(QFileInfo::exists(core::JoinPath(s.objectsFolder, "Котельная школы №3/Col_R.txt")));
}

TEST_F(InstalledTree, WithoutDemoObjectsTheFirstStartOnlyTellsWhereTheFolderIs) {
    const AppState s = stateOf(ChooseStartFolder({"kalvaro"}, bin, user).programFolder);
    ScriptedDialogs d;
    EXPECT_EQ(OfferDemoObjects(s, d, demoObjects()), 0);
    ASSERT_EQ(d.shown.size(), 1);
    EXPECT_EQ(d.shown[0].kind, QStringLiteral("message"));
    EXPECT_EQ(d.shown[0].icon, Icon::Information);
    EXPECT_TRUE(d.shown[0].text.contains(user));
    EXPECT_TRUE(d.shown[0].text.contains(QStringLiteral("\"Создать\"")));
}

TEST_F(InstalledTree, AFailedDemoCopyIsReportedAndNotCounted) {
    addDemoObject("Котельная школы №3");
    AppState s = stateOf(ChooseStartFolder({"kalvaro"}, bin, user).programFolder);
    // the objects folder cannot take a subfolder: it is a file
    QDir(s.objectsFolder).removeRecursively();
    WriteBytes(s.objectsFolder, "not a folder");
    ScriptedDialogs d;
    d.answers = {Answer::Yes};
    EXPECT_EQ(OfferDemoObjects(s, d, demoObjects()), 0);
    ASSERT_EQ(d.shown.size(), 2);
    EXPECT_EQ(d.shown[1].title, QStringLiteral("Ошибка !"));
    EXPECT_EQ(d.shown[1].icon, Icon::Error);
    EXPECT_TRUE(d.shown[1].text.contains(QStringLiteral("Котельная школы №3")));
    EXPECT_EQ(ReadBytes(s.objectsFolder), QByteArray("not a folder"));
}

// A program folder without its template (a build folder, a --home folder made by hand): the
// start explains it, completes the template from the program's own copy on Yes and then offers
// the demo objects; without an own copy it says how to start instead; No declines only the
// template: the objects folder is made all the same, so "Создать" works.
TEST_F(InstalledTree, AMissingTemplateIsExplainedAndTakenFromTheProgramsOwnCopy) {
    addDemoObject("Котельная школы №3");
    const QString own = root.filePath("own/Template");
    QDir().mkpath(own);
    for (const QString& f : TemplateFileNames())
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVARO_SOURCE_DIR "/template/") + f, core::JoinPath(own, f)));
    const QString home = root.filePath("bare");
    QDir().mkpath(home);
    const AppState s = stateOf(home);
    const QString warning = TemplateWarning(s);
    ASSERT_FALSE(warning.isEmpty());

    ScriptedDialogs none;
    EXPECT_FALSE(OfferMissingTemplate(s, none, warning, root.filePath("nowhere/Template"), demoObjects()));
    ASSERT_EQ(none.messages().size(), 1);
    EXPECT_TRUE(none.messages()[0].startsWith(warning));
    EXPECT_TRUE(none.messages()[0].contains(QStringLiteral("--home")));

    ScriptedDialogs no;
    EXPECT_FALSE(OfferMissingTemplate(s, no, warning, own, demoObjects()));
    EXPECT_EQ(no.count("question"), 1);
    EXPECT_FALSE(QFileInfo::exists(s.templateFolder));
    EXPECT_TRUE(QFileInfo(s.objectsFolder).isDir());
    EXPECT_TRUE(CreateObjectRefusal(s).isEmpty()) << CreateObjectRefusal(s).toStdString();

    ScriptedDialogs yes;
    yes.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(OfferMissingTemplate(s, yes, warning, own, demoObjects()));
    EXPECT_EQ(TemplateWarning(s), QString());
    EXPECT_EQ(FilesUnder(s.templateFolder), FilesUnder(own));
    ASSERT_EQ(yes.count("question"), 2);
    EXPECT_EQ(yes.shown[1].title, kFirstStartTitle);
    EXPECT_EQ(DemoObjectNames(s.objectsFolder), QStringList({"Котельная школы №3"}));

    // a folder that already has objects is not offered the demo objects again
    QDir(s.templateFolder).removeRecursively();
    ScriptedDialogs again;
    again.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(OfferMissingTemplate(s, again, warning, own, demoObjects()));
    EXPECT_EQ(again.count("question"), 1);
}

// "kalvaro [--home DIR] OBJECTDIR": a name in the objects folder, an object of another program
// folder, an object lying anywhere, and folders that are no object.
TEST_F(InstalledTree, AnObjectNamedOnTheCommandLineIsFoundWhereverItLies) {
    const AppState s = stateOf(root.filePath("home"));
    const auto object = [](const QString& folder) {
        QDir().mkpath(folder);
        WriteBytes(core::JoinPath(folder, "OData.txt"), "\"x\"\r\n");
        return folder;
    };
    object(core::JoinPath(s.objectsFolder, "Котёл 1"));
    ObjectArgument a = ResolveObjectArgument(s, "Котёл 1", false);
    EXPECT_EQ(a.name, QStringLiteral("Котёл 1"));
    EXPECT_TRUE(a.programFolder.isEmpty() && a.objectsFolder.isEmpty() && a.error.isEmpty());
    a = ResolveObjectArgument(s, core::JoinPath(s.objectsFolder, "Котёл 1") + "/", false);
    EXPECT_EQ(a.name, QStringLiteral("Котёл 1"));
    EXPECT_TRUE(a.programFolder.isEmpty() && a.objectsFolder.isEmpty());

    const QString other = root.filePath("other");
    QDir().mkpath(core::JoinPath(other, "Template"));
    object(core::JoinPath(other, "Все объекты/Котёл 2"));
    a = ResolveObjectArgument(s, core::JoinPath(other, "Все объекты/Котёл 2"), false);
    EXPECT_EQ(a.programFolder, other);
    EXPECT_EQ(a.name, QStringLiteral("Котёл 2"));
    // with --home the program folder stays; the object is taken from its own folder
    a = ResolveObjectArgument(s, core::JoinPath(other, "Все объекты/Котёл 2"), true);
    EXPECT_TRUE(a.programFolder.isEmpty());
    EXPECT_EQ(a.objectsFolder, core::JoinPath(other, "Все объекты"));

    object(root.filePath("downloads/Котёл 3"));
    a = ResolveObjectArgument(s, root.filePath("downloads/Котёл 3"), false);
    EXPECT_EQ(a.objectsFolder, root.filePath("downloads"));
    EXPECT_EQ(a.name, QStringLiteral("Котёл 3"));

    QDir().mkpath(root.filePath("downloads/photos"));
    a = ResolveObjectArgument(s, root.filePath("downloads/photos"), false);
    EXPECT_TRUE(a.name.isEmpty());
    EXPECT_TRUE(a.error.contains(QDir::toNativeSeparators(root.filePath("downloads/photos"))));
    EXPECT_TRUE(a.error.contains(QStringLiteral("OData.txt")));
    a = ResolveObjectArgument(s, "Нет такого", false);
    EXPECT_TRUE(a.name.isEmpty());
    EXPECT_TRUE(a.error.contains(QStringLiteral("не найдена")));
}
