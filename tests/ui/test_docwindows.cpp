// The attached files window, the file-task page of the task pane and the safety map.

#include <QCheckBox>
#include <QDirIterator>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <cerrno>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "app/objectlock.h"
#include "core/textfile.h"
#include "docs/documents.h"
#include "docs/safetymap.h"
#include "docs/ui/bez.h"
#include "docs/ui/docum.h"
#include "object/reflists.h"
#include "regime/regimestore.h"
#include "report/carddata.h"
#include "report/reportmodel.h"
#include "report/techreport.h"
#include "report/ui/karta.h"
#include "results/ui/navig.h"
#include "support/xlsxread.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using testing_support::ReadBytes;
using testing_support::SheetCells;
using testing_support::WriteBytes;

const QString kObject = QStringLiteral("Котельная школы №3");

QString RunPdfToText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

class DocWindowsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        // the demo's own documents and comment stay out: each test brings its own
        folder = copyDemoObject(kObject, [](const QString& name) {
            return name.endsWith(".pdf") || name.endsWith(".xlsx") || name == docs::kCommentFile;
        });
        for (const char* name : {"a.XLS", "b.jpeg", "c.txt", "d.pdf", "e.xlsx"}) WriteBytes(path(name), "x");
        ASSERT_TRUE(wb->openObject(kObject));
        settle();
        wb->showTab(3);
        settle();
        ASSERT_NE(docum(), nullptr);
    }
    docs::Docum* docum() { return wb->window<docs::Docum>(app::WindowKind::Docum); }
    results::Navig* pane() { return wb->window<results::Navig>(app::WindowKind::Navig); }
    QString path(const QString& name) const { return core::JoinPath(folder, name); }
    QAction* task(const QString& key) {
        for (QAction* a : pane()->Toolbar3->actions())
            if (a->data().toString() == key) return a;
        return nullptr;
    }
    QAction* regimeDelete() {
        QWidget* list = wb->window(app::WindowKind::SReg);
        for (QAction* a : list->findChild<QToolBar*>(QStringLiteral("Toolbar5"))->actions())
            if (a->data().toString() == u"Удалить") return a;
        return nullptr;
    }
    QAbstractItemView* currentView() {
        return qobject_cast<QAbstractItemView*>(docum()->ListView2->currentWidget());
    }
    void clickDocument(const QString& name, bool twice = false) {
        QAbstractItemView* v = currentView();
        const int row = docum()->documentNames().indexOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        v->doItemsLayout();
        const QPoint p = v->visualRect(v->model()->index(row, 0)).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, p);
        if (twice) QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, p);
    }
    docs::Bez* openMap() {
        task(QStringLiteral("Протокол"))->trigger();
        settle();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<docs::Bez*>(w); b && b->isVisible()) return b;
        return nullptr;
    }
    QString folder;
};

TEST_F(DocWindowsTest, ActivationShowsTheFileTasksWithTheirSevenButtons) {
    EXPECT_EQ(pane()->page(), 3);
    EXPECT_EQ(pane()->caption(), QStringLiteral("Задачи для файлов"));
    EXPECT_EQ(wb->status(1), QStringLiteral(" Работа с Отчетом    "));
    const QList<QAction*> a = pane()->Toolbar3->actions();
    ASSERT_EQ(a.size(), 7);
    const QStringList captions = {"Режимная  и  Сводная", "Протокол автоматики", "Загрузить файл из ... ",
                                  "Копировать файл в... ", "Удалить  файл          ", "Переименовать файл...",
                                  "Вид      окна            "};
    const QStringList keys = {"Создать", "Протокол", "Загрузить", "Копировать", "Удалить", "Переименовать", "Вид"};
    const QStringList tips = {"Создать режимную и сводную ведомость",
                              "Создать карту уставок и протокол автоматики безопасности",
                              "Загрузить файл из ...",
                              "Сохранить файл в ...",
                              "Удалить файл",
                              "Переименовать файл",
                              "Вид"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(a[i]->text(), captions[i]);
        // as the button shows it: with its "..."
        auto* button = qobject_cast<QToolButton*>(pane()->Toolbar3->widgetForAction(a[i]));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), captions[i]);
        EXPECT_EQ(a[i]->data().toString(), keys[i]);
        EXPECT_EQ(a[i]->toolTip(), tips[i]);
    }
    EXPECT_EQ(docum()->ListView2->toolTip(), QStringLiteral("Созданные документы"));
    EXPECT_EQ(docum()->Text1->toolTip(), QStringLiteral("Комментарий и Заметки"));
}

TEST_F(DocWindowsTest, ListsTheKindsAndStepsTheFourViews) {
    QStringList names = docum()->documentNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"a.XLS", "b.jpeg", "d.pdf", "e.xlsx"}));
    EXPECT_EQ(docum()->kindOf("a.XLS"), QStringLiteral("Книга Microsoft Excel"));
    EXPECT_EQ(docum()->kindOf("e.xlsx"), QStringLiteral("Книга Microsoft Excel"));
    EXPECT_EQ(docum()->kindOf("b.jpeg"), QStringLiteral("Графический файл"));
    using V = docs::Docum::View;
    EXPECT_EQ(docum()->view(), V::LargeIcons);
    const V order[] = {V::SmallIcons, V::Details, V::List, V::LargeIcons};
    for (V v : order) {
        task(QStringLiteral("Вид"))->trigger();
        EXPECT_EQ(docum()->view(), v);
    }
    // the details view shows the two columns
    task(QStringLiteral("Вид"))->trigger();
    task(QStringLiteral("Вид"))->trigger();
    auto* details = qobject_cast<QTreeView*>(docum()->ListView2->currentWidget());
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Документ"));
    EXPECT_EQ(details->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Программа"));
}

TEST_F(DocWindowsTest, ClickSelectsAndRestsTheRegimeDeleteButton) {
    ASSERT_NE(regimeDelete(), nullptr);
    EXPECT_TRUE(regimeDelete()->isEnabled());
    clickDocument(QStringLiteral("d.pdf"));
    EXPECT_EQ(state.selectedDocument, QStringLiteral("d.pdf"));
    EXPECT_FALSE(regimeDelete()->isEnabled());
    // no application for the file on this platform: a message that names it
    dialogs.shown.clear();
    dialogs.platformCanOpen = false;
    clickDocument(QStringLiteral("d.pdf"), true);
    ASSERT_EQ(dialogs.platformOpens.size(), 1);
    EXPECT_EQ(dialogs.platformOpens[0].toLocalFile(), path("d.pdf"));
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().contains(path("d.pdf")));
}

TEST_F(DocWindowsTest, DeleteAnsweredNoThenNothingUntilTheNextClick) {
    clickDocument(QStringLiteral("a.XLS"));
    dialogs.answers = {app::Answer::No};
    task(QStringLiteral("Удалить"))->trigger();
    EXPECT_TRUE(QFile::exists(path("a.XLS")));
    EXPECT_TRUE(state.selectedDocument.isEmpty());
    EXPECT_EQ(dialogs.count("question"), 1);
    dialogs.answers = {app::Answer::Yes};
    task(QStringLiteral("Удалить"))->trigger();
    task(QStringLiteral("Переименовать"))->trigger();
    EXPECT_EQ(dialogs.count("question"), 1);
    EXPECT_EQ(dialogs.count("input"), 0);
    clickDocument(QStringLiteral("a.XLS"));
    task(QStringLiteral("Удалить"))->trigger();
    EXPECT_FALSE(QFile::exists(path("a.XLS")));
    EXPECT_FALSE(docum()->documentNames().contains("a.XLS"));
}

TEST_F(DocWindowsTest, AddedAndRenamedDocumentsAreListed) {
    QTemporaryDir elsewhere;
    WriteBytes(elsewhere.filePath("a.XLS"), "from elsewhere");
    dialogs.files = {elsewhere.filePath("a.XLS")};
    dialogs.inputs = {QStringLiteral("b.jpeg"), QStringLiteral("новый.xls")};
    task(QStringLiteral("Загрузить"))->trigger();
    EXPECT_EQ(dialogs.count("input"), 2);
    EXPECT_TRUE(docum()->documentNames().contains(QStringLiteral("новый.xls")));
    clickDocument(QStringLiteral("новый.xls"));
    dialogs.inputs = {QStringLiteral("d.pdf")};
    task(QStringLiteral("Переименовать"))->trigger();
    EXPECT_EQ(dialogs.messages().last(), QStringLiteral("Файл остался с тем же именем."));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("новый.xls"))));
    clickDocument(QStringLiteral("новый.xls"));
    dialogs.inputs = {QStringLiteral("протокол.xls")};
    task(QStringLiteral("Переименовать"))->trigger();
    EXPECT_TRUE(docum()->documentNames().contains(QStringLiteral("протокол.xls")));
    EXPECT_FALSE(docum()->documentNames().contains(QStringLiteral("новый.xls")));
}

TEST_F(DocWindowsTest, CommentOfThreeLinesIsKeptAcrossOpenings) {
    docum()->Text1->setFocus();
    Type(docum()->Text1, QStringLiteral("Горелка настроена"));
    QTest::keyClick(docum()->Text1, Qt::Key_Return);
    Type(docum()->Text1, QStringLiteral("Замечание \"важно\""));
    QTest::keyClick(docum()->Text1, Qt::Key_Return);
    Type(docum()->Text1, QStringLiteral("Третья строка"));
    wb->closeObject();
    settle();
    const QByteArray bytes = ReadBytes(path(docs::kCommentFile));
    EXPECT_EQ(bytes.count('"'), 2);
    ASSERT_TRUE(wb->openObject(kObject));
    settle();
    wb->showTab(3);
    settle();
    EXPECT_EQ(docum()->Text1->toPlainText(),
              QStringLiteral("Горелка настроена\nЗамечание 'важно'\nТретья строка"));
}

TEST_F(DocWindowsTest, ACommentThatCannotBeWrittenIsReportedAndKept) {
    docum()->Text1->setPlainText(QStringLiteral("не потерять"));
    const QString moved = folder + QStringLiteral(" (перенесен)");
    ASSERT_TRUE(QDir().rename(folder, moved));
    wb->subWindow(app::WindowKind::Docum)->close();
    settle();
    EXPECT_TRUE(dialogs.messages().contains(docs::kCommentNotSaved));
    ASSERT_NE(docum(), nullptr);
    EXPECT_TRUE(docum()->isVisible());
    EXPECT_EQ(docum()->Text1->toPlainText(), QStringLiteral("не потерять"));
    // back in place, the next close stores it
    ASSERT_TRUE(QDir().rename(moved, folder));
    wb->subWindow(app::WindowKind::Docum)->close();
    settle();
    QString back;
    ASSERT_TRUE(docs::ReadComment(folder, back));
    EXPECT_EQ(back, QStringLiteral("не потерять"));
}

TEST_F(DocWindowsTest, ACommentNotReadWholeIsShownAsSuchAndNeverOverwritten) {
    wb->closeObject();
    settle();
    // one line of half a megabyte: the window takes its first part, read-only, and says so
    const QByteArray huge = '"' + QByteArray(512 * 1024, 'x') + "\"\r\n";
    WriteBytes(path(docs::kCommentFile), huge);
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(kObject));
    settle();
    ASSERT_NE(docum(), nullptr);
    EXPECT_EQ(docum()->Text1->toPlainText().size(), docs::kMaxCommentLength);
    EXPECT_TRUE(docum()->Text1->isReadOnly());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Комментарий слишком длинный"))) << dialogs.messages()[0].toStdString();
    wb->closeObject();
    settle();
    EXPECT_EQ(ReadBytes(path(docs::kCommentFile)), huge);

    // a comment file that cannot be read at all: shown empty, said so, and left alone
    QFile::remove(path(docs::kCommentFile));
    ASSERT_TRUE(QDir().mkdir(path(docs::kCommentFile)));
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(kObject));
    settle();
    EXPECT_TRUE(docum()->Text1->toPlainText().isEmpty());
    EXPECT_TRUE(docum()->Text1->isReadOnly());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Комментарий не прочитан: ") + path(docs::kCommentFile)))
        << dialogs.messages()[0].toStdString();
    wb->closeObject();
    settle();
    EXPECT_TRUE(QFileInfo(path(docs::kCommentFile)).isDir());
    EXPECT_FALSE(dialogs.messages().contains(docs::kCommentNotSaved));
}

TEST_F(DocWindowsTest, AnOpenObjectIsLockedAndASecondWorkbenchMayOnlyRead) {
    // the open object carries this process's lock; closing removes it
    const QString lock = path(app::kLockFileName);
    app::LockHolder holder;
    ASSERT_TRUE(app::ReadObjectLock(folder, holder));
    EXPECT_EQ(holder.pid, static_cast<qint64>(::getpid()));
    EXPECT_FALSE(docum()->documentNames().contains(app::kLockFileName));
    wb->closeObject();
    settle();
    EXPECT_FALSE(QFileInfo::exists(lock));

    // held by another engineer's workbench (pid 1 always runs): told who, and may say no
    const QByteArray other = "computer=" + app::ThisProcess().computer.toUtf8() +
                             "\r\nuser=engineer2\r\npid=1\r\ntime=08.12.2026 20:00:00\r\n";
    WriteBytes(lock, other);
    dialogs.shown.clear();
    dialogs.answers = {app::Answer::No};
    EXPECT_FALSE(wb->openObject(kObject));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("пользователь engineer2, процесс 1")))
        << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("только для чтения")));
    EXPECT_FALSE(wb->objectOpen());

    // or open it read-only: every write into the folder is refused with the reason
    QFile::remove(path(docs::kCommentFile));
    dialogs.answers = {app::Answer::Yes};
    dialogs.shown.clear();
    ASSERT_TRUE(wb->openObject(kObject));
    settle();
    EXPECT_TRUE(wb->objectOpen());
    wb->showTab(0);  // the general data window saves what it shows when left: no change, no message
    settle();
    wb->showTab(1);
    settle();
    EXPECT_EQ(dialogs.messages(), QStringList()) << dialogs.messages().join(' ').toStdString();
    EXPECT_TRUE(frame().windowTitle().endsWith(QStringLiteral("(только для чтения)")));
    // its documents stay as they are, and the user is told why
    const QString document = docum()->documentNames().value(0);
    ASSERT_FALSE(document.isEmpty());
    state.selectedDocument = document;
    dialogs.answers = {app::Answer::Yes};
    EXPECT_EQ(docs::DeleteDocument(state, dialogs), docs::FileResult::Refused);
    state.selectedDocument = document;
    EXPECT_EQ(docs::RenameDocument(state, dialogs), docs::FileResult::Refused);
    EXPECT_TRUE(QFileInfo::exists(path(document)));
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Файл не удален: объект открыт только для чтения")))
        << dialogs.messages()[0].toStdString();
    dialogs.shown.clear();
    const QByteArray results = ReadBytes(path(QStringLiteral("РасчетРежим №  1.Dat")));
    state.setCurrentRegime(QStringLiteral("Режим №  1.Dat"));
    state.results[0] = 123.0f;  // a change to write
    QString error;
    EXPECT_FALSE(regime::SaveRegimeResults(state, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("объект открыт только для чтения, его занимает компьютер"))) << error.toStdString();
    EXPECT_EQ(ReadBytes(path(QStringLiteral("РасчетРежим №  1.Dat"))), results);
    wb->closeObject();
    settle();
    EXPECT_EQ(ReadBytes(lock), other);  // the other's lock stays
    EXPECT_FALSE(QFileInfo::exists(path(docs::kCommentFile)));  // the comment was not written
    EXPECT_FALSE(dialogs.messages().contains(docs::kCommentNotSaved));
    // closed, the folder may be written again
    EXPECT_TRUE(core::WriteFileAtomic(path(QStringLiteral("x.txt")), "x"));

    // a workbench that has ended but is not yet reaped by its parent (a zombie) holds
    // nothing: its lock is taken over without a question
    const pid_t zombie = ::fork();
    if (zombie == 0) ::_exit(0);
    ASSERT_GT(zombie, 0);
    for (int i = 0; i < 200 && !ReadBytes(QStringLiteral("/proc/%1/stat").arg(zombie)).contains(") Z"); ++i)
        QTest::qWait(5);
    WriteBytes(lock, "computer=" + app::ThisProcess().computer.toUtf8() + "\r\nuser=root\r\npid=" +
                         QByteArray::number(zombie) + "\r\ntime=08.12.2026 20:00:00\r\n");
    dialogs.shown.clear();
    EXPECT_TRUE(wb->openObject(kObject));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_TRUE(app::ReadObjectLock(folder, holder));
    EXPECT_EQ(holder.pid, static_cast<qint64>(::getpid()));
    wb->closeObject();
    ::waitpid(zombie, nullptr, 0);
}

TEST_F(DocWindowsTest, CreateWritesBothDocumentsAndAsksBeforeReplacing) {
    task(QStringLiteral("Создать"))->trigger();
    const QString xlsx = path(report::kReportXlsx), pdf = path(report::kReportPdf);
    ASSERT_TRUE(QFile::exists(xlsx));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));
    EXPECT_TRUE(docum()->documentNames().contains(report::kReportXlsx));
    EXPECT_TRUE(docum()->documentNames().contains(report::kReportPdf));
    ASSERT_EQ(dialogs.count("question"), 1);  // offered to be opened; the script says No
    EXPECT_TRUE(dialogs.shown.last().text.contains(report::kReportPdf));
    // a second time: replaced only after a question
    WriteBytes(pdf, "mine");
    dialogs.shown.clear();
    dialogs.answers = {app::Answer::No};
    task(QStringLiteral("Создать"))->trigger();
    EXPECT_EQ(ReadBytes(pdf), "mine");
    EXPECT_EQ(dialogs.count("question"), 1);
    dialogs.answers = {app::Answer::Yes};
    task(QStringLiteral("Создать"))->trigger();
    EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));
}

// "Технический отчёт..." asks where (the object's folder offered), writes the ODT and the PDF
// beside it, lists them and offers to open the ODT; a cancelled question writes nothing, and
// a name of a file the program keeps is refused.
TEST_F(DocWindowsTest, TheTechnicalReportIsWrittenWhereTheUserChooses) {
    ASSERT_NE(pane()->TechReport, nullptr);
    EXPECT_EQ(pane()->TechReport->text(), QStringLiteral("Технический отчёт..."));
    const QString odt = path(report::kTechReportOdt), pdf = path(report::kTechReportPdf);
    dialogs.files = {QString()};  // cancelled
    pane()->TechReport->click();
    EXPECT_FALSE(QFile::exists(odt));
    ASSERT_EQ(dialogs.count(QStringLiteral("save")), 1);
    EXPECT_EQ(dialogs.shown[0].preset, odt);
    dialogs.shown.clear();
    dialogs.files = {path(QStringLiteral("OData.txt"))};
    pane()->TechReport->click();
    EXPECT_TRUE(dialogs.messages().join(u' ').contains(QStringLiteral("файл данных программы")));
    dialogs.shown.clear();
    dialogs.files = {odt};
    pane()->TechReport->click();
    ASSERT_TRUE(QFile::exists(odt));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));
    EXPECT_TRUE(ReadBytes(odt).startsWith("PK"));
    EXPECT_TRUE(docum()->documentNames().contains(report::kTechReportOdt));
    ASSERT_EQ(dialogs.count("question"), 1);  // offered to be opened
    EXPECT_TRUE(dialogs.shown.last().text.contains(odt));
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty())
        wb->frame().grab().save(dir + QStringLiteral("/file-tasks.png"));
}

TEST_F(DocWindowsTest, CreateRecalculatesStaleRegimesAndRefusesWithoutTickedOnes) {
    // regime 1's gas flow saved without a calculation: its stored load is stale
    const QString r1 = QStringLiteral("Режим №  1.Dat");
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(path(r1), lines));
    lines[0] = QStringLiteral("150");
    ASSERT_TRUE(core::WriteTextLines(path(r1), lines));
    const QString current = state.currentRegimeFile;
    dialogs.shown.clear();
    task(QStringLiteral("Создать"))->trigger();
    ASSERT_TRUE(QFile::exists(path(report::kReportPdf)));
    // stored, the list re-sorted by the new load, the user's regime kept, and said so
    EXPECT_EQ(state.regimeList.rows.last().key, r1);
    EXPECT_EQ(state.currentRegimeFile, current);
    auto* list = wb->window(app::WindowKind::SReg)->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->topLevelItem(list->topLevelItemCount() - 1)->text(0), r1);
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("пересчитаны: Режим № 1")))
        << dialogs.shown.last().text.toStdString();

    // no ticked regime: the user is told why and nothing is written
    QFile::remove(path(report::kReportPdf));
    QFile::remove(path(report::kReportXlsx));
    for (auto& row : state.regimeList.rows) row.ticked = false;
    dialogs.shown.clear();
    task(QStringLiteral("Создать"))->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{report::kNoTickedRegimes});
    EXPECT_FALSE(QFile::exists(path(report::kReportPdf)));
    EXPECT_FALSE(QFile::exists(path(report::kReportXlsx)));
}

TEST_F(DocWindowsTest, CardEntriesAreEditedFromThePageAndKeptInTheObject) {
    ASSERT_NE(pane()->CardEntries, nullptr);
    QFile::remove(path(report::kCardFile));  // a new card: the demo's entries stay out
    QFile::remove(path(object::kObjectInstrumentsFile));
    ASSERT_TRUE(core::WriteTextLines(core::JoinPath(state.templateFolder, object::kInstrumentsFile),
                                     {QStringLiteral("Газоанализатор ГА-1, зав. № 123, поверен до 01.06.2027"),
                                      QStringLiteral("Термометр ТМ-2, зав. № 7, поверен до 01.02.2027")}));
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty())
        wb->frame().grab().save(dir + QStringLiteral("/file-tasks.png"));
    pane()->CardEntries->click();
    settle();
    auto* card = wb->window<report::Karta>(app::WindowKind::Karta);
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->isModal());
    ASSERT_EQ(card->T.size(), report::kCardEntryCount);
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty())
        card->grab().save(dir + QStringLiteral("/card-entries.png"));
    // a new card proposes three years and the days the regimes were written
    EXPECT_EQ(card->T[report::Validity]->text(), QStringLiteral("3 года"));
    EXPECT_FALSE(card->T[report::TestDates]->text().isEmpty());
    card->T[report::ApproverPosition]->setText(QStringLiteral("Главный инженер"));
    card->T[report::GasResponsible]->setText(QStringLiteral("Смирнова О. Л."));
    // the instruments of the program's list, the one used here ticked and kept with the object
    ASSERT_EQ(card->Instruments->count(), 2);
    card->Instruments->item(1)->setCheckState(Qt::Checked);
    card->Command1->click();
    QStringList used;
    ASSERT_TRUE(report::ReadObjectInstruments(folder, used));
    EXPECT_EQ(used, QStringList{QStringLiteral("Термометр ТМ-2, зав. № 7, поверен до 01.02.2027")});
    QStringList saved;
    ASSERT_TRUE(report::ReadCardData(folder, saved));
    EXPECT_EQ(saved[report::ApproverPosition], QStringLiteral("Главный инженер"));
    EXPECT_EQ(saved[report::GasResponsible], QStringLiteral("Смирнова О. Л."));
    // a change is not dropped without a word: closing (here Escape in a field) asks, "Нет"
    // leaves the file as it was
    card->T[report::ApproverName]->setText(QStringLiteral("Кузнецов В. П."));
    dialogs.answers = {app::Answer::No};
    card->activateWindow();
    card->T[report::ApproverName]->setFocus();
    QTest::keyClick(card->T[report::ApproverName], Qt::Key_Escape);
    settle();
    EXPECT_EQ(dialogs.count("question"), 1);
    EXPECT_EQ(wb->window(app::WindowKind::Karta), nullptr);
    ASSERT_TRUE(report::ReadCardData(folder, saved));
    EXPECT_TRUE(saved[report::ApproverName].isEmpty());
    // the card made next carries the saved entries
    task(QStringLiteral("Создать"))->trigger();
    const QString text = RunPdfToText(path(report::kReportPdf));
    EXPECT_TRUE(text.contains(QStringLiteral("Главный инженер")));
    EXPECT_TRUE(text.contains(QStringLiteral("Смирнова О. Л.")));
}

TEST_F(DocWindowsTest, TheListIsSortedByNameAndFollowsFilesWrittenElsewhere) {
    QStringList names = docum()->documentNames();
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(names, sorted);
    // a graph or a calculator writes into the object folder: listed without a file command
    WriteBytes(path("0 график.png"), "x");
    EXPECT_TRUE(QTest::qWaitFor([&] { return docum()->documentNames().value(0) == u"0 график.png"; }, 3000));
    // the copy command asks about a taken name itself, never the file dialog as well
    clickDocument(QStringLiteral("d.pdf"));
    dialogs.files = {path("d.pdf")};
    dialogs.inputs = {QStringLiteral("копия.pdf")};
    task(QStringLiteral("Копировать"))->trigger();
    ASSERT_FALSE(dialogs.saveAsksOverwrite.isEmpty());
    EXPECT_FALSE(dialogs.saveAsksOverwrite.last());
    EXPECT_EQ(dialogs.count("input"), 1);
    EXPECT_TRUE(docum()->documentNames().contains(QStringLiteral("копия.pdf")));
}

// ------------------------------------------------------------------ safety map

TEST_F(DocWindowsTest, MapOpensWithItsInitialTextsAndSavesFortyFiveLines) {
    docs::Bez* map = openMap();
    ASSERT_NE(map, nullptr);
    // pictures of both windows for looking at them: KALVARO_SHOT_DIR=/some/folder
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty()) {
        map->grab().save(dir + QStringLiteral("/safety-map.png"));
        wb->frame().grab().save(dir + QStringLiteral("/documents.png"));
    }
    EXPECT_EQ(map->windowTitle(), QStringLiteral("Карта уставок  и  протокол  автоматики  безопасности котла"));
    EXPECT_TRUE(map->isModal());
    ASSERT_EQ(map->C1.size(), 45);
    ASSERT_EQ(map->Check1.size(), 9);
    EXPECT_EQ(map->C1[10]->currentText(), QStringLiteral("Понижение давления воздуха  на горелке "));
    EXPECT_EQ(map->C1[0]->toolTip(), QStringLiteral("Параметр срабатывания (выбор из списка или ввод вручную)"));
    EXPECT_EQ(map->C1[2]->toolTip(), QStringLiteral("Тип (марка) датчика"));
    EXPECT_EQ(map->C1[0]->count(), 13);
    EXPECT_EQ(map->C1[1]->count(), 8);
    EXPECT_EQ(map->Check1[0]->toolTip(), QStringLiteral("Искл./Вкл. в список"));
    // a long text shows its beginning, not its end
    for (QComboBox* cell : map->C1) EXPECT_EQ(cell->lineEdit()->cursorPosition(), 0) << cell->currentText().toStdString();
    EXPECT_TRUE(map->Check1[7]->isChecked());
    EXPECT_FALSE(map->Check1[8]->isChecked());
    EXPECT_FALSE(map->C1[40]->isEnabled());
    EXPECT_EQ(map->Command3->toolTip(), QStringLiteral("Добавить в базу данных датчик"));
    EXPECT_EQ(map->Command4->toolTip(), QStringLiteral("Создать карту уставок и протокол безопасности в MS Excel"));
    EXPECT_EQ(map->Frame1->title(), QStringLiteral("Параметры срабатывания автоматики безопасности"));
    map->Command2->click();
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(path(docs::kSafetyMapFile), lines));
    ASSERT_EQ(lines.size(), 45);
    EXPECT_EQ(lines[40], QString());
    for (int i = 41; i < 45; ++i) EXPECT_EQ(lines[i], QStringLiteral(" "));
    map->Command1->click();
    settle();
}

TEST_F(DocWindowsTest, MapSavedAndReopenedKeepsTrailingBlanks) {
    docs::Bez* map = openMap();
    ASSERT_NE(map, nullptr);
    map->C1[3]->lineEdit()->clear();
    Type(map->C1[3]->lineEdit(), QStringLiteral("№ 7  "));
    map->C1[4]->setEditText(QStringLiteral("35 mbar  "));
    const QStringList saved = map->cells();
    map->Command2->click();
    map->Command1->click();
    settle();
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->cells(), saved);
    EXPECT_EQ(map->C1[3]->currentText(), QStringLiteral("№ 7  "));
    // "Закрыть" does not save
    map->C1[4]->setEditText(QStringLiteral("changed"));
    map->Command1->click();
    settle();
    map = openMap();
    EXPECT_EQ(map->C1[4]->currentText(), QStringLiteral("35 mbar  "));
    map->Command1->click();
    settle();
}

TEST_F(DocWindowsTest, SensorAddedAppearsInAllNineListsAndTheTemplate) {
    docs::Bez* map = openMap();
    ASSERT_NE(map, nullptr);
    const int before = map->C1[2]->count();
    dialogs.inputs = {QStringLiteral("  DUNGS GW 50  ")};
    map->Command3->click();
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("Введите тип нового датчика"));
    EXPECT_EQ(dialogs.shown.last().title, QStringLiteral("Добавить датчик в список"));
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(map->C1[r * 5 + 2]->count(), before + 1);
        EXPECT_EQ(map->C1[r * 5 + 2]->itemText(before), QStringLiteral("DUNGS GW 50"));
    }
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(home.templ(), QStringLiteral("Dath.txt")), lines));
    EXPECT_EQ(lines.last(), QStringLiteral("DUNGS GW 50"));
    const int fileLines = lines.size();
    // blanks only: nothing added
    dialogs.inputs = {QStringLiteral("   ")};
    map->Command3->click();
    EXPECT_EQ(map->C1[42]->count(), before + 1);
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(home.templ(), QStringLiteral("Dath.txt")), lines));
    EXPECT_EQ(lines.size(), fileLines);
    map->Command1->click();
    settle();
}

TEST_F(DocWindowsTest, UntickedRowIsDisabledSavedAndLeftOutOfTheProtocol) {
    docs::Bez* map = openMap();
    ASSERT_NE(map, nullptr);
    map->Check1[3]->click();
    for (int i = 15; i <= 19; ++i) EXPECT_FALSE(map->C1[i]->isEnabled()) << i;
    EXPECT_TRUE(map->C1[14]->isEnabled());
    EXPECT_TRUE(map->C1[20]->isEnabled());
    map->Command2->click();
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(path(docs::kSafetyMapFile), lines));
    EXPECT_EQ(lines[15], QStringLiteral("Повышение давления воды в котле"));
    map->Command4->click();
    const QString protocol = path(docs::kProtocolXlsx);
    ASSERT_TRUE(QFile::exists(protocol));
    EXPECT_TRUE(docum()->documentNames().contains(docs::kProtocolXlsx));
    EXPECT_TRUE(dialogs.shown.last().kind == u"question");  // offered to be opened
    const QByteArray strings = ReadBytes(protocol);
    EXPECT_TRUE(strings.startsWith("PK"));
    // ticking the row again enables its cells
    map->Check1[3]->click();
    for (int i = 15; i <= 19; ++i) EXPECT_TRUE(map->C1[i]->isEnabled());
    map->Command1->click();
    settle();
}

TEST_F(DocWindowsTest, ShortMapFileKeepsTheOtherInitialTextsWithOneMessage) {
    WriteBytes(path(docs::kSafetyMapFile), core::EncodeCp1251(QStringLiteral("Свой параметр\r\nkPa\r\n")));
    dialogs.shown.clear();
    docs::Bez* map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->C1[0]->currentText(), QStringLiteral("Свой параметр"));
    EXPECT_EQ(map->C1[1]->currentText(), QStringLiteral("kPa"));
    EXPECT_EQ(map->C1[2]->currentText(), QStringLiteral("Датчик"));
    EXPECT_EQ(map->C1[39]->currentText(), QStringLiteral("отсутствие"));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Ошибка при работе с файлом !")});
    map->Command1->click();
    settle();
}

TEST_F(DocWindowsTest, CloseAsksToSaveAndSavedTicksComeBackIntoTheProtocol) {
    const QString ticksFile = path(docs::kSafetyMapRowsFile);
    const QByteArray mapBefore = ReadBytes(path(docs::kSafetyMapFile));
    QPointer<docs::Bez> map = openMap();
    ASSERT_NE(map, nullptr);
    // nothing changed: "Закрыть" closes without a word
    map->Command1->click();
    settle();
    EXPECT_TRUE(map.isNull());
    EXPECT_EQ(dialogs.count(QStringLiteral("question")), 0);

    // row 3 left out, the spare row 8 taken in and filled
    auto edit = [](docs::Bez* m) {
        m->Check1[3]->click();
        m->Check1[8]->click();
        m->C1[40]->setEditText(QStringLiteral("Понижение уровня воды в котле"));
        m->C1[44]->setEditText(QStringLiteral("-50 мм"));
    };
    map = openMap();
    ASSERT_NE(map, nullptr);
    edit(map);
    // "Отмена": the window stays with the edits
    dialogs.answers = {app::Answer::Cancel};
    map->Command1->click();
    settle();
    ASSERT_FALSE(map.isNull());
    EXPECT_TRUE(map->isVisible());
    ASSERT_EQ(dialogs.count(QStringLiteral("question")), 1);
    EXPECT_TRUE(dialogs.shown.last().withCancel);
    EXPECT_EQ(dialogs.shown.last().icon, app::Icon::Question);
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("Карта уставок изменена. Сохранить изменения?"));
    EXPECT_EQ(map->C1[44]->currentText(), QStringLiteral("-50 мм"));
    // Escape answered "Нет": closes, nothing written
    dialogs.answers = {app::Answer::No};
    QTest::keyClick(map, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(map.isNull());
    EXPECT_EQ(ReadBytes(path(docs::kSafetyMapFile)), mapBefore);
    EXPECT_FALSE(QFile::exists(ticksFile));

    // the title bar's close answered "Да": cells and ticks are saved
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->Check1[3]->isChecked());
    EXPECT_FALSE(map->Check1[8]->isChecked());
    edit(map);
    dialogs.answers = {app::Answer::Yes};
    map->close();
    settle();
    EXPECT_TRUE(map.isNull());
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(path(docs::kSafetyMapFile), lines));
    ASSERT_EQ(lines.size(), 45);
    EXPECT_EQ(lines[40], QStringLiteral("Понижение уровня воды в котле"));
    EXPECT_EQ(lines[44], QStringLiteral("-50 мм"));
    EXPECT_EQ(ReadBytes(ticksFile), QByteArray("1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"));

    // reopened: the ticks as saved, the cells enabled by them, and the protocol follows them
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(map->Check1[3]->isChecked());
    EXPECT_FALSE(map->C1[15]->isEnabled());
    EXPECT_TRUE(map->Check1[8]->isChecked());
    EXPECT_TRUE(map->C1[44]->isEnabled());
    EXPECT_FALSE(map->changed());
    map->Command4->click();
    const QStringList protocol = SheetCells(path(docs::kProtocolXlsx), 1).values();
    EXPECT_TRUE(protocol.contains(QStringLiteral("Понижение уровня воды в котле")));
    EXPECT_TRUE(protocol.contains(QStringLiteral("-50 мм")));
    EXPECT_FALSE(protocol.contains(QStringLiteral("Повышение давления воды в котле")));
    const int questions = dialogs.count(QStringLiteral("question"));  // "Открыть его?" answered No
    map->Command1->click();
    settle();
    EXPECT_TRUE(map.isNull());
    EXPECT_EQ(dialogs.count(QStringLiteral("question")), questions);

    // "Да" when the file cannot be written: the message, and the window keeps the edits
    map = openMap();
    ASSERT_NE(map, nullptr);
    map->Check1[0]->click();
    core::SetWriteFaultHook([](const char* step) { return std::strcmp(step, "rename") == 0 ? EACCES : 0; });
    dialogs.shown.clear();
    dialogs.answers = {app::Answer::Yes};
    map->Command1->click();
    core::SetWriteFaultHook(nullptr);
    settle();
    ASSERT_FALSE(map.isNull());
    EXPECT_FALSE(map->Check1[0]->isChecked());
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Ошибка при работе с файлом !")});
    EXPECT_EQ(ReadBytes(ticksFile), QByteArray("1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"));
    dialogs.answers = {app::Answer::No};
    map->Command1->click();
    settle();
    EXPECT_TRUE(map.isNull());

    // a ticks file that is not nine lines of 0 and 1: said once, the rows keep their initial ticks
    WriteBytes(ticksFile, "1\r\n0\r\nда\r\n");
    dialogs.shown.clear();
    map = openMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Ошибка при работе с файлом !")});
    for (int r = 0; r < 9; ++r) EXPECT_EQ(map->Check1[r]->isChecked(), docs::InitiallyIncluded(r)) << r;
    EXPECT_EQ(map->C1[44]->currentText(), QStringLiteral("-50 мм"));
    map->Command1->click();
    settle();
}

}  // namespace
}  // namespace frame_testing
