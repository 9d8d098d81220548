// The tuning window on a copy of the demo's school boiler house: opened from "Инструменты",
// filled with the load steps, the optimum of the step with three air settings, the
// workbook export, the instrument limits editor, and "± U" in the results pane.

#include <QComboBox>
#include <QRegularExpression>
#include <QDirIterator>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include "core/textfile.h"
#include "results/instrumentlimits.h"
#include "results/ui/navig.h"
#include "test_frame_fixture.h"
#include "tuning/tuningchart.h"
#include "tuning/ui/fopt.h"

namespace frame_testing {
namespace {

class TuningWindowTest : public FrameTest {
protected:
    void openSchool() {
        const QString name = QStringLiteral("Котельная школы №3");
        copyDemoObject(name);
        ASSERT_TRUE(wb->openObject(name));
        settle();
    }
};

TEST_F(TuningWindowTest, TheSchoolsStepsTheOptimumTheWorkbookAndTheLimits) {
    openSchool();
    // the results pane carries "± U" beside the efficiency (the demo's last regime is current)
    auto* pane = wb->window<results::Navig>(app::WindowKind::Navig);
    ASSERT_NE(pane, nullptr);
    QStringList values;
    for (QTreeWidgetItem* item : pane->lvAll()->findItems(QStringLiteral("*"), Qt::MatchWildcard))
        values.append(item->text(0) + u'=' + item->text(2));
    EXPECT_TRUE(values.filter(QRegularExpression(QStringLiteral("^КПД обр=\\d+[.,]\\d+ ± \\d+[.,]\\d+$"))).size() == 1)
        << values.join(u' ').toStdString();
    EXPECT_TRUE(values.filter(QRegularExpression(QStringLiteral("^q5=[^±]+$"))).size() == 1);

    ASSERT_TRUE(frame().Opt->isEnabled());
    frame().Opt->trigger();
    settle();
    auto* w = wb->window<tuning::fOpt>(app::WindowKind::FOpt);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Оптимальный избыток воздуха"));
    ASSERT_EQ(w->Table->rowCount(), 4);
    // the step with three air settings is shown first, its recommended regime named
    const int step = w->Steps->currentIndex();
    ASSERT_GE(step, 0);
    ASSERT_TRUE(w->steps()[step].enough);
    EXPECT_EQ(w->steps()[step].numbers(), QList<int>({3, 5, 6}));
    EXPECT_TRUE(w->Summary->text().contains(QStringLiteral("α опт = "))) << w->Summary->text().toStdString();
    EXPECT_EQ(w->Table->currentRow(), step);
    w->Steps->setCurrentIndex(0);
    EXPECT_TRUE(w->Summary->text().contains(tuning::kTooFew));
    w->Steps->setCurrentIndex(step);
    w->resize(1040, 760);
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty())
        w->grab().save(dir + QStringLiteral("/tuning.png"));

    // the workbook beside the object's other tables; offscreen nothing opens it, so it is named
    QTest::mouseClick(w->Export, Qt::LeftButton);
    const QString book = core::JoinPath(state.currentObjectFolder, tuning::kTuningWorkbook);
    EXPECT_TRUE(QFileInfo::exists(book));
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_TRUE(dialogs.shown.last().text.contains(tuning::kTuningWorkbook));

    // the limits editor: a wrong value is refused, a good one written for the whole program
    tuning::fPogr editor(*wb, w);
    editor.Table->item(13, 1)->setText(QStringLiteral("-1"));
    EXPECT_FALSE(editor.save());
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("неотрицательным")));
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(state.templateFolder, results::kLimitsFile)));
    editor.Table->item(13, 1)->setText(QStringLiteral("0,5"));
    ASSERT_TRUE(editor.save());
    engine::InstrumentLimits limits;
    ASSERT_TRUE(results::ReadInstrumentLimits(state.templateFolder, limits));
    EXPECT_DOUBLE_EQ(limits[13].absolute, 0.5);
    EXPECT_DOUBLE_EQ(limits[17].absolute, 2.0);
}

}  // namespace
}  // namespace frame_testing
