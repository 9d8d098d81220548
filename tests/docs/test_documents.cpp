#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "core/names.h"
#include "docs/documents.h"
#include "support/scripted_dialogs.h"
#include "support/testdirs.h"

using namespace docs;
using testing_support::ReadBytes;
using testing_support::ScriptedDialogs;
using testing_support::TestHome;
using testing_support::WriteBytes;

namespace {

struct DocFixture {
    TestHome home;
    app::AppState s;
    ScriptedDialogs d;
    QString folder;
    DocFixture() {
        home.apply(s);
        folder = home.makeObject(QStringLiteral("Котельная"));
        s.setCurrentObject(QStringLiteral("Котельная"));
    }
    QString path(const QString& name) const { return core::JoinPath(folder, name); }
};

QMap<QString, QString> Kinds(const QString& folder) {
    QList<DocumentEntry> entries;
    EXPECT_TRUE(ListDocuments(folder, entries));
    QMap<QString, QString> m;
    for (const auto& e : entries) m.insert(e.name, e.kind);
    return m;
}

}  // namespace

TEST(Documents, KindsByTheEndOfTheName) {
    DocFixture f;
    for (const char* name : {"a.XLS", "b.jpeg", "c.txt", "d.pdf", "Режимная карта.xlsx", "e.DOCX", "f.png", "g.mdb",
                             "h.bmp", "macro.xlsm", "noext", "Анализатор Режим 2.csv"})
        WriteBytes(f.path(QString::fromUtf8(name)), "x");
    QDir().mkpath(f.path(QStringLiteral("folder.xls")));  // a folder is no document
    const auto kinds = Kinds(f.folder);
    EXPECT_EQ(kinds.value("a.XLS"), QStringLiteral("Книга Microsoft Excel"));
    EXPECT_EQ(kinds.value("b.jpeg"), QStringLiteral("Графический файл"));
    EXPECT_EQ(kinds.value("d.pdf"), QStringLiteral("Графический файл"));
    EXPECT_EQ(kinds.value(QStringLiteral("Режимная карта.xlsx")), QStringLiteral("Книга Microsoft Excel"));
    EXPECT_EQ(kinds.value("macro.xlsm"), QStringLiteral("Книга Microsoft Excel"));
    // the analyser's reading log opens in the spreadsheet
    EXPECT_EQ(kinds.value(QStringLiteral("Анализатор Режим 2.csv")), QStringLiteral("Книга Microsoft Excel"));
    EXPECT_EQ(kinds.value("e.DOCX"), QStringLiteral("Документ Microsoft Word"));
    EXPECT_EQ(kinds.value("f.png"), QStringLiteral("Графический файл"));
    EXPECT_EQ(kinds.value("g.mdb"), QStringLiteral("База данных Microsoft Access"));
    EXPECT_EQ(kinds.value("h.bmp"), QStringLiteral("Рисунок Microsoft Paint"));
    // neither text files nor the object's own data files, nor folders
    EXPECT_FALSE(kinds.contains("c.txt"));
    EXPECT_FALSE(kinds.contains("noext"));
    EXPECT_FALSE(kinds.contains("OData.txt"));
    EXPECT_FALSE(kinds.contains("folder.xls"));
    EXPECT_EQ(kinds.size(), 10);
    DocumentEntry e;
    ASSERT_TRUE(DocumentKind(QStringLiteral("x.Jpg"), e));
    EXPECT_EQ(e.icon, 5);
    ASSERT_TRUE(DocumentKind(QStringLiteral("x.doc"), e));
    EXPECT_EQ(e.icon, 1);
}

TEST(Documents, AddAsksForANewNameUntilAFreeOne) {
    DocFixture f;
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("протокол.xls"));
    WriteBytes(source, "new book");
    WriteBytes(f.path(QStringLiteral("протокол.xls")), "old");
    WriteBytes(f.path(QStringLiteral("второй.xls")), "old 2");
    f.d.files = {source};
    f.d.inputs = {QStringLiteral("  второй.xls "), QStringLiteral(" третий.xls ")};
    EXPECT_EQ(AddDocument(f.s, f.d), FileResult::Done);
    EXPECT_EQ(ReadBytes(f.path(QStringLiteral("третий.xls"))), "new book");
    EXPECT_EQ(ReadBytes(f.path(QStringLiteral("протокол.xls"))), "old");
    EXPECT_EQ(ReadBytes(f.path(QStringLiteral("второй.xls"))), "old 2");
    ASSERT_EQ(f.d.count("input"), 2);
    EXPECT_EQ(f.d.shown[0].title, QStringLiteral("Загрузить файл"));
    EXPECT_EQ(f.d.shown[0].preset, f.s.objectsFolder);  // starts in the objects folder
    EXPECT_TRUE(f.d.shown[0].filter.startsWith(QStringLiteral("Файлы MS Office(*.xls;*.doc;*.mdb)")));
    EXPECT_TRUE(f.d.shown[0].filter.contains(QStringLiteral("*.xlsx")));
    EXPECT_TRUE(f.d.shown[0].filter.contains(
        QStringLiteral(";;Графические файлы (*.bmp;*.dwg;*.jpg;*.jpeg;*.gif;*.pdf;*.psd)")));
    EXPECT_EQ(f.d.shown[1].text, QStringLiteral("Файл с таким именем существует.Введите новое имя,включая расширение!"));
    EXPECT_EQ(f.d.shown[1].title, QStringLiteral("Переименовать"));
    EXPECT_EQ(f.d.shown[1].preset, QStringLiteral("протокол.xls"));
    EXPECT_EQ(f.d.shown[2].preset, QStringLiteral("второй.xls"));

    // an empty answer ends the command with nothing copied
    f.d.shown.clear();
    f.d.files = {source};
    f.d.inputs = {QStringLiteral("   ")};
    EXPECT_EQ(AddDocument(f.s, f.d), FileResult::Cancelled);
    EXPECT_TRUE(f.d.messages().isEmpty());
    // a cancelled chooser asks nothing
    f.d.shown.clear();
    EXPECT_EQ(AddDocument(f.s, f.d), FileResult::Cancelled);
    EXPECT_EQ(f.d.shown.size(), 1);
}

TEST(Documents, NamesThatLeaveTheFolderAreRefused) {
    DocFixture f;
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("a.xls"));
    WriteBytes(source, "book");
    WriteBytes(f.path(QStringLiteral("a.xls")), "old");
    for (const QString& bad : {QStringLiteral("../a2.xls"), QStringLiteral(".."), QStringLiteral("sub\\b.xls"),
                              QStringLiteral("x") + QChar(0) + QStringLiteral(".xls")}) {
        f.d.shown.clear();
        f.d.files = {source};
        f.d.inputs = {bad};
        EXPECT_EQ(AddDocument(f.s, f.d), FileResult::Refused) << bad.toStdString();
        ASSERT_EQ(f.d.messages().size(), 1);
        EXPECT_TRUE(f.d.messages()[0].startsWith(QStringLiteral("Недопустимое имя файла  '") + bad + u'\''))
            << f.d.messages()[0].toStdString();
        EXPECT_EQ(f.d.shown.last().title, QStringLiteral("Ошибка !"));
        EXPECT_EQ(f.d.shown.last().icon, app::Icon::Error);
    }
    EXPECT_FALSE(QFile::exists(core::JoinPath(f.s.objectsFolder, "a2.xls")));
    // a name longer than the file system takes: the system's reason, with the file
    f.d.shown.clear();
    f.d.files = {source};
    f.d.inputs = {QString(300, u'я') + QStringLiteral(".xls")};
    EXPECT_EQ(AddDocument(f.s, f.d), FileResult::Failed);
    ASSERT_EQ(f.d.messages().size(), 1);
    EXPECT_TRUE(f.d.messages()[0].startsWith(QStringLiteral("Файл не загружен.\n\n"))) << f.d.messages()[0].toStdString();
    EXPECT_TRUE(f.d.messages()[0].contains(QString(300, u'я')));

    // rename to a name with a separator: the rename's own message, nothing moved
    f.d.shown.clear();
    f.s.selectedDocument = QStringLiteral("a.xls");
    f.d.inputs = {QStringLiteral("../moved.xls")};
    EXPECT_EQ(RenameDocument(f.s, f.d), FileResult::Refused);
    EXPECT_EQ(f.d.messages(),
              QStringList{QStringLiteral("Ошибка! Попробуйте переименовать файл средствами проводника Windows.Путь файла: ") +
                          f.folder});
    EXPECT_TRUE(QFile::exists(f.path("a.xls")));
    EXPECT_FALSE(QFile::exists(core::JoinPath(f.s.objectsFolder, "moved.xls")));
    EXPECT_TRUE(f.s.selectedDocument.isEmpty());
}

TEST(Documents, SaveCopyAsksWhileTheTargetExistsAndSaysWhere) {
    DocFixture f;
    QTemporaryDir target;
    WriteBytes(f.path(QStringLiteral("карта.pdf")), "pdf");
    WriteBytes(target.filePath(QStringLiteral("карта.pdf")), "other");
    f.s.selectedDocument = QStringLiteral("карта.pdf");
    f.d.files = {target.filePath(QStringLiteral("карта.pdf"))};
    f.d.inputs = {QStringLiteral("карта 2.pdf")};
    EXPECT_EQ(SaveDocumentCopy(f.s, f.d), FileResult::Done);
    EXPECT_EQ(ReadBytes(target.filePath(QStringLiteral("карта 2.pdf"))), "pdf");
    EXPECT_EQ(ReadBytes(target.filePath(QStringLiteral("карта.pdf"))), "other");
    EXPECT_EQ(f.d.shown[0].title, QStringLiteral("Сохранить копию файла"));
    EXPECT_TRUE(f.d.shown[0].preset.endsWith(QStringLiteral("/карта.pdf")));
    EXPECT_EQ(f.d.shown[1].text, QStringLiteral("Файл с таким именем существует.Введите новое имя, включая расширение!"));
    EXPECT_EQ(f.d.messages(), QStringList{QStringLiteral("Файл сохранен под именем  карта 2.pdf  По адресу: ") +
                                          target.path() + u'/'});
    EXPECT_EQ(f.d.shown.last().icon, app::Icon::Information);
    // nothing selected: nothing asked
    f.d.shown.clear();
    f.s.selectedDocument.clear();
    EXPECT_EQ(SaveDocumentCopy(f.s, f.d), FileResult::Cancelled);
    EXPECT_TRUE(f.d.shown.isEmpty());
    // a copy that cannot be written is reported, never counted as done
    f.s.selectedDocument = QStringLiteral("карта.pdf");
    f.d.files = {target.filePath(QStringLiteral("no/such/folder/x.pdf"))};
    EXPECT_EQ(SaveDocumentCopy(f.s, f.d), FileResult::Failed);
    EXPECT_TRUE(f.d.messages().last().startsWith(QStringLiteral("Копия файла не сохранена.\n\n")));
    EXPECT_TRUE(f.d.messages().last().contains(QStringLiteral("no/such/folder/x.pdf"))) << f.d.messages().last().toStdString();
}

TEST(Documents, DeleteAnsweredNoKeepsTheFileAndClearsTheSelection) {
    DocFixture f;
    WriteBytes(f.path(QStringLiteral("a.xls")), "x");
    f.s.selectedDocument = QStringLiteral("a.xls");
    f.d.answers = {app::Answer::No};
    EXPECT_EQ(DeleteDocument(f.s, f.d), FileResult::Cancelled);
    EXPECT_TRUE(QFile::exists(f.path("a.xls")));
    EXPECT_TRUE(f.s.selectedDocument.isEmpty());
    ASSERT_EQ(f.d.shown.size(), 1);
    EXPECT_EQ(f.d.shown[0].text, QStringLiteral("Вы действительно хотите удалить файл -a.xls ?"));
    EXPECT_EQ(f.d.shown[0].title, QStringLiteral("Подтвердите удаление"));
    EXPECT_EQ(f.d.shown[0].icon, app::Icon::Warning);
    // a following delete or rename does nothing until a document is clicked again
    f.d.answers = {app::Answer::Yes};
    EXPECT_EQ(DeleteDocument(f.s, f.d), FileResult::Cancelled);
    EXPECT_EQ(RenameDocument(f.s, f.d), FileResult::Cancelled);
    EXPECT_EQ(f.d.shown.size(), 1);
    EXPECT_TRUE(QFile::exists(f.path("a.xls")));
    // answered Yes: gone
    f.s.selectedDocument = QStringLiteral("a.xls");
    EXPECT_EQ(DeleteDocument(f.s, f.d), FileResult::Done);
    EXPECT_FALSE(QFile::exists(f.path("a.xls")));
}

TEST(Documents, DeleteRemovesOnlyOneRegularFile) {
    DocFixture f;
    QTemporaryDir outside;
    WriteBytes(outside.filePath("keep.xls"), "precious");
    ASSERT_TRUE(QFile::link(outside.filePath("keep.xls"), f.path(QStringLiteral("link.xls"))));
    QDir().mkpath(f.path(QStringLiteral("dir.xls")));
    for (const char* name : {"link.xls", "dir.xls", "missing.xls"}) {
        f.s.selectedDocument = QString::fromUtf8(name);
        f.d.answers = {app::Answer::Yes};
        EXPECT_EQ(DeleteDocument(f.s, f.d), FileResult::Failed) << name;
        EXPECT_EQ(f.d.messages().last(), QStringLiteral("Ошибка работы с файлом ! "));
    }
    EXPECT_EQ(ReadBytes(outside.filePath("keep.xls")), "precious");
    EXPECT_TRUE(QFileInfo(f.path(QStringLiteral("link.xls"))).isSymLink());
    EXPECT_TRUE(QFileInfo(f.path(QStringLiteral("dir.xls"))).isDir());
}

TEST(Documents, RenameToAnExistingNameKeepsBothFiles) {
    DocFixture f;
    WriteBytes(f.path(QStringLiteral("a.xls")), "a");
    WriteBytes(f.path(QStringLiteral("b.xls")), "b");
    f.s.selectedDocument = QStringLiteral("a.xls");
    f.d.inputs = {QStringLiteral(" B.XLS ")};  // names are compared without regard to case
    EXPECT_EQ(RenameDocument(f.s, f.d), FileResult::Refused);
    EXPECT_EQ(f.d.shown[0].text, QStringLiteral("Введите новое имя "));
    EXPECT_EQ(f.d.shown[0].preset, QStringLiteral("a.xls"));
    EXPECT_EQ(f.d.messages(), QStringList{QStringLiteral("Файл остался с тем же именем.")});
    EXPECT_EQ(f.d.shown.last().title, QStringLiteral("Информация"));
    EXPECT_EQ(ReadBytes(f.path("a.xls")), "a");
    EXPECT_EQ(ReadBytes(f.path("b.xls")), "b");
    EXPECT_TRUE(f.s.selectedDocument.isEmpty());
    // a free name renames inside the object folder
    f.s.selectedDocument = QStringLiteral("a.xls");
    f.d.inputs = {QStringLiteral("  отчет.xls ")};
    EXPECT_EQ(RenameDocument(f.s, f.d), FileResult::Done);
    EXPECT_EQ(ReadBytes(f.path(QStringLiteral("отчет.xls"))), "a");
    EXPECT_FALSE(QFile::exists(f.path("a.xls")));
}

TEST(Documents, CommentRoundTrip) {
    QTemporaryDir dir;
    const QString text = QStringLiteral("Первая строка\nВторая, с запятой\nТретья \"в кавычках\"");
    ASSERT_TRUE(WriteComment(dir.path(), text));
    // one pair of quotation marks, CR LF inside and after, the double quote stored as apostrophe
    const QByteArray bytes = ReadBytes(dir.filePath(kCommentFile));
    EXPECT_TRUE(bytes.startsWith('"'));
    EXPECT_TRUE(bytes.endsWith("\"\r\n"));
    EXPECT_EQ(bytes.count('"'), 2);
    EXPECT_EQ(bytes.count("\r\n"), 3);
    QString back;
    ASSERT_TRUE(ReadComment(dir.path(), back));
    EXPECT_EQ(back, QStringLiteral("Первая строка\nВторая, с запятой\nТретья 'в кавычках'"));
    EXPECT_EQ(back.split(u'\n').size(), 3);
    // every quoted field of the file is appended in turn
    WriteBytes(dir.filePath(kCommentFile), "\"one\"\r\n\"two\"\r\n");
    ASSERT_TRUE(ReadComment(dir.path(), back));
    EXPECT_EQ(back, QStringLiteral("onetwo"));
    // no file: an empty comment and no error; a folder that is gone: the write fails
    QTemporaryDir empty;
    ASSERT_TRUE(ReadComment(empty.path(), back));
    EXPECT_TRUE(back.isEmpty());
    EXPECT_FALSE(WriteComment(empty.filePath("gone"), text));
}
