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
