// The graph windows: catalogue page of the task pane, graph editor, mini graph, workbook.

#include <QDirIterator>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QProcess>
#include <QTableWidget>
#include <QTreeWidget>

#include "regime/ui/sreg.h"
#include "results/ui/graf.h"
#include "results/ui/graphtasks.h"
#include "results/ui/navig.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

class GraphWindowsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        // the demo's gas-fired hot-water boiler with four calculated regimes
        copyDemoObject(QStringLiteral("Котельная школы №3"));
        ASSERT_TRUE(wb->openObject(QStringLiteral("Котельная школы №3")));
        settle();
        wb->showTab(2);
        settle();
        ASSERT_NE(graf(), nullptr);
        ASSERT_NE(tasks(), nullptr);
    }
    results::Graf* graf() { return wb->window<results::Graf>(app::WindowKind::Graf); }
    results::Navig* pane() { return wb->window<results::Navig>(app::WindowKind::Navig); }
    results::GraphTasks* tasks() { return pane() ? pane()->graphTasks() : nullptr; }
    int entry(const QString& key) {
        for (int i = 0; i < tasks()->entries().size(); ++i)
            if (tasks()->entries()[i].key == key) return i;
        return -1;
    }
    QStringList listTexts(QListWidget* l) {
        QStringList t;
        for (int i = 0; i < l->count(); ++i) t.append(l->item(i)->text());
        return t;
    }
};

TEST_F(GraphWindowsTest, ActivationShowsTheCatalogueMenu) {
    EXPECT_EQ(pane()->page(), 2);
    EXPECT_EQ(pane()->caption(), QStringLiteral("Задачи для графиков"));
    EXPECT_EQ(graf()->Label1->text(), QStringLiteral("Выберете  график "));
    EXPECT_FALSE(tasks()->Frame2->isHidden());
    EXPECT_TRUE(tasks()->LWg->isHidden());
    EXPECT_FALSE(tasks()->button(QStringLiteral("обновить"))->isEnabled());
    EXPECT_FALSE(tasks()->button(QStringLiteral("МиниГрафик"))->isEnabled());
    EXPECT_FALSE(tasks()->button(QStringLiteral("Построить"))->isEnabled());
    tasks()->button("Y")->trigger();
    EXPECT_TRUE(tasks()->Frame2->isHidden());
    EXPECT_FALSE(tasks()->LWg->isHidden());
    EXPECT_EQ(tasks()->Command1->text(), QStringLiteral("к меню"));
    EXPECT_EQ(tasks()->LWg->rowCount(), 19);  // gas, no economiser
    tasks()->Command1->click();
    EXPECT_FALSE(tasks()->Frame2->isHidden());
}

TEST_F(GraphWindowsTest, ChoosingAnEntryDrawsItsPointsAndTable) {
    tasks()->button("Y")->trigger();
    const int r = entry(QStringLiteral("R4 R3"));
    ASSERT_GE(r, 0);
    QTableWidgetItem* item = tasks()->LWg->item(r, 0);
    tasks()->LWg->scrollToItem(item);
    QTest::mouseClick(tasks()->LWg->viewport(), Qt::LeftButton, {}, tasks()->LWg->visualItemRect(item).center());
    EXPECT_EQ(state.graph.ySource, "R");
    EXPECT_EQ(state.graph.yIndex, 4);
    EXPECT_EQ(state.graph.xIndex, 3);
    EXPECT_EQ(graf()->Label1->text(), QStringLiteral("КПД брутто, %"));
    EXPECT_EQ(graf()->Label2->text(), QStringLiteral("Теплопроизводительность, кВт"));
    EXPECT_EQ(graf()->pointRows(), 6);
    EXPECT_FALSE(graf()->meanY().isEmpty());
    EXPECT_FALSE(graf()->meanX().isEmpty());
    EXPECT_TRUE(graf()->Picture1->hasScales());
    EXPECT_TRUE(tasks()->button(QStringLiteral("обновить"))->isEnabled());
    // the current regime is still the selected one
    EXPECT_EQ(state.currentRegimeFile, state.regimeList.rows[state.regimeList.selectedRow()].key);

    // table shown and hidden
    // the window never moves left over the regime list and the pane: without room at its
    // right the table takes its width from the drawing
    const QRect before = wb->subWindow(app::WindowKind::Graf)->geometry();
    const int drawing = graf()->Picture1->width();
    tasks()->button(QStringLiteral("таблица"))->trigger();
    settle();
    EXPECT_FALSE(graf()->Frame1->isHidden());
    const QRect withTable = wb->subWindow(app::WindowKind::Graf)->geometry();
    EXPECT_EQ(withTable.left(), before.left());
    EXPECT_LE(withTable.right(), frame().mdiArea()->viewport()->width() - 1);
    EXPECT_FALSE(withTable.intersects(wb->subWindow(app::WindowKind::SReg)->geometry()));
    EXPECT_LT(graf()->Picture1->width(), drawing);
    EXPECT_TRUE(graf()->Picture1->hasScales());
    tasks()->button(QStringLiteral("таблица"))->trigger();
    EXPECT_TRUE(graf()->Frame1->isHidden());
    EXPECT_EQ(wb->subWindow(app::WindowKind::Graf)->geometry(), before);
    const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR");
    if (!dir.isEmpty()) frame().grab().save(dir + QStringLiteral("/graph-editor.png"));
}

TEST_F(GraphWindowsTest, NoTickedRegimeClearsTheGraphWithoutFailing) {
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R18 R3")));
    ASSERT_EQ(graf()->pointRows(), 6);
    for (auto& row : state.regimeList.rows) row.ticked = false;
    dialogs.shown.clear();
    tasks()->button(QStringLiteral("обновить"))->trigger();
    EXPECT_EQ(graf()->pointRows(), 0);
    EXPECT_EQ(graf()->meanY(), QString());
    EXPECT_EQ(graf()->meanX(), QString());
    EXPECT_FALSE(graf()->Picture1->hasScales());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(wb->status(1).startsWith(QStringLiteral("Нет отмеченных режимов")));
}

TEST_F(GraphWindowsTest, MiniGraphOpensClosesAndReleasesItsButton) {
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R5 R3")));
    QAction* mini = tasks()->button(QStringLiteral("МиниГрафик"));
    mini->trigger();
    settle();
    auto* window = wb->window<results::Grafmin>(app::WindowKind::Grafmin);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Потери с уходящими газами, %"));
    // above the frame only, never above a dialog or another program
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->parentWidget(), &frame());
    // inside the frame's working area, over none of the regime editor's fields
    const QWidget* viewport = frame().mdiArea()->viewport();
    EXPECT_TRUE(QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size()).contains(window->geometry()));
    QWidget* editor = wb->window(app::WindowKind::Regim);
    ASSERT_NE(editor, nullptr);
    int fields = 0;
    for (const QLineEdit* f : editor->findChildren<QLineEdit*>())
        if (f->isVisibleTo(editor)) {
            ++fields;
            EXPECT_FALSE(QRect(f->mapToGlobal(QPoint(0, 0)), f->size()).intersects(window->frameGeometry()))
                << f->objectName().toStdString();
        }
    EXPECT_GT(fields, 20);
    mini->trigger();
    settle();
    EXPECT_EQ(wb->window(app::WindowKind::Grafmin), nullptr);
    mini->trigger();
    settle();
    wb->window(app::WindowKind::Grafmin)->close();  // its own close box
    settle();
    EXPECT_FALSE(mini->isChecked());
}

TEST_F(GraphWindowsTest, WorkbookWithDataAndChart) {
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R18 R3")));
    const QString path = core::JoinPath(home.path(), QStringLiteral("nox.xlsx"));
    dialogs.files = {path};
    dialogs.answers = {app::Answer::No};
    tasks()->button(QStringLiteral("Построить"))->trigger();
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Книга сохранена: ") + path + QStringLiteral("\nОткрыть ее?"));
    EXPECT_TRUE(dialogs.shown[0].preset.endsWith(QStringLiteral("Содерж. NO в продуктах сгорания, мгм3.xlsx")))
        << dialogs.shown[0].preset.toStdString();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-l"), path});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString listing = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(listing.contains(QStringLiteral("xl/charts/chart1.xml")));
    // cancelling the file dialog writes nothing
    QFile::remove(path);
    tasks()->button(QStringLiteral("Построить"))->trigger();
    EXPECT_FALSE(QFile::exists(path));

    // the picture confirms as the workbook does: saved where, open it?
    auto* graf = wb->window<results::Graf>(app::WindowKind::Graf);
    ASSERT_NE(graf, nullptr);
    const QString png = core::JoinPath(home.path(), QStringLiteral("nox.png"));
    dialogs.shown.clear();
    dialogs.files = {png};
    dialogs.answers = {app::Answer::No};
    graf->SavePicture->click();
    ASSERT_TRUE(QFile::exists(png));
    EXPECT_EQ(QImage(png).isNull(), false);
    ASSERT_EQ(dialogs.count(QStringLiteral("question")), 1);
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Рисунок сохранен: ") + png + QStringLiteral("\nОткрыть его?"));
}

TEST_F(GraphWindowsTest, ColourAndOverlay) {
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R4 R3")));
    dialogs.colors = {QColor(Qt::red)};
    tasks()->button(QStringLiteral("Цвет"))->trigger();
    EXPECT_EQ(graf()->curveColor(), QColor(Qt::red));
    tasks()->button(QStringLiteral("Наложения"))->trigger();
    EXPECT_TRUE(tasks()->overlay());
    const QImage before = graf()->Picture1->image();
    tasks()->Navig_LWg_ItemClick(entry(QStringLiteral("R5 R3")));
    const QImage after = graf()->Picture1->image();
    EXPECT_NE(before, after);
    // the first curve is still there: its red pixels did not disappear
    int red = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) red += after.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_GT(red, 0);
}

}  // namespace
}  // namespace frame_testing
