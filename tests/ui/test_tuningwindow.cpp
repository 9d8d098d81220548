// The tuning window on a copy of the demo's school boiler house: opened from "Инструменты",
// filled with the load steps, the optimum of the step with three air settings, the
// workbook export, the instrument limits editor, and "± U" in the results pane.

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/textfile.h"
#include "results/instrumentlimits.h"
#include "results/ui/navig.h"
#include "support/xlsxread.h"
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
    EXPECT_TRUE(w->Summary->text().contains(QRegularExpression(QStringLiteral("^O2 = \\d[.,]\\d ± \\d[.,]\\d %"))))
        << w->Summary->text().toStdString();
    EXPECT_TRUE(w->Summary->text().contains(QStringLiteral("против худшего режима")));
    EXPECT_EQ(w->Table->currentRow(), step);
    // the regime as found before tuning, marked in the window, is kept with the object and the
    // gain is against it; a lower ceiling is kept too and never lowers the set point
    const double before = w->steps()[step].o2Set;
    ASSERT_EQ(w->AsFound->count(), 4);  // "нет" and the step's three regimes
    w->AsFound->setCurrentIndex(3);
    emit w->AsFound->activated(3);
    EXPECT_EQ(w->steps()[step].asFound, 2);
    EXPECT_TRUE(w->Summary->text().contains(QStringLiteral("против исходного режима")));
    w->Ceiling->setValue(100);
    EXPECT_GE(w->steps()[step].o2Set, before);
    tuning::TuneSettings kept;
    ASSERT_TRUE(tuning::ReadTuneSettings(state.currentObjectFolder, kept));
    EXPECT_EQ(kept.ceiling, 100);
    EXPECT_EQ(kept.asFound.size(), 1);
    w->Ceiling->setValue(270);
    w->Steps->setCurrentIndex(0);
    EXPECT_TRUE(w->Summary->text().contains(tuning::kTooFew));
    w->Steps->setCurrentIndex(step);
    w->resize(1040, 760);
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty())
        w->grab().save(dir + QStringLiteral("/tuning.png"));

    // the workbook: asked where (the object's folder offered), then offered to open
    const QString book = core::JoinPath(state.currentObjectFolder, tuning::kTuningWorkbook);
    dialogs.shown.clear();
    QTest::mouseClick(w->Export, Qt::LeftButton);
    ASSERT_EQ(dialogs.count(QStringLiteral("save")), 1);
    EXPECT_EQ(dialogs.shown[0].preset, book);
    EXPECT_FALSE(QFileInfo::exists(book));  // cancelled: nothing written
    dialogs.files = {book};
    QTest::mouseClick(w->Export, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(book));
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().kind, QStringLiteral("question"));
    EXPECT_TRUE(dialogs.shown.last().text.contains(tuning::kTuningWorkbook));
    // the experiments sheet holds the numbers as the results show them, no float noise
    const QMap<QString, QString> cells = testing_support::SheetCells(book, 2);
    int numbers = 0;
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        if (it.key().mid(1) == u"1") continue;  // the header
        bool ok = false;
        const double v = it.value().toDouble(&ok);
        if (!ok) continue;
        ++numbers;
        // the shortest form of the single-precision value, not its widening to double
        // (1.210000038146973 for 1.21)
        char text[32];
        *std::to_chars(text, text + sizeof text - 1, static_cast<float>(v)).ptr = '\0';
        EXPECT_NEAR(v, std::strtod(text, nullptr), 1e-12 * std::max(1.0, std::abs(v)))
            << it.key().toStdString() << " " << it.value().toStdString();
    }
    EXPECT_GT(numbers, 10);
    EXPECT_TRUE(testing_support::ZipPart(book, QStringLiteral("xl/styles.xml")).contains("0.00"));

    // the limits editor: a wrong value is refused, a good one written for the whole program
    // (each limit in its stated unit; the current regime's budget of efficiency below)
    tuning::fPogr editor(*wb, w);
    auto rowOf = [&](const QString& name) {
        for (int i = 0; i < editor.Table->rowCount(); ++i)
            if (editor.Table->item(i, 0)->text() == name) return i;
        return -1;
    };
    const int o2 = rowOf(QStringLiteral("O2")), co = rowOf(QStringLiteral("CO")),
              flow = rowOf(QStringLiteral("Расход газа"));
    ASSERT_GE(o2, 0);
    ASSERT_GE(co, 0);
    EXPECT_EQ(editor.Table->item(co, 2)->text(), QStringLiteral("ppm"));
    EXPECT_EQ(editor.Table->item(flow, 1)->text(), QStringLiteral("—"));  // a flow: a share of the reading only
    EXPECT_FALSE(editor.Table->item(flow, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(editor.Co2FromO2->isChecked());
    ASSERT_GT(editor.Budget->rowCount(), 3);
    double shares = 0;
    for (int i = 0; i < editor.Budget->rowCount(); ++i) shares += QLocale().toDouble(editor.Budget->item(i, 3)->text());
    EXPECT_NEAR(shares, 100.0, 0.1 * editor.Budget->rowCount());
    editor.Table->item(o2, 1)->setText(QStringLiteral("-1"));
    EXPECT_FALSE(editor.save());
    EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("«O2»: погрешность должна быть неотрицательным")));
    EXPECT_FALSE(QFileInfo::exists(core::JoinPath(state.templateFolder, results::kLimitsFile)));
    editor.Table->item(o2, 1)->setText(QStringLiteral("0,5"));
    editor.Co2FromO2->setChecked(false);
    ASSERT_TRUE(editor.save());
    engine::InstrumentLimits limits;
    ASSERT_TRUE(results::ReadInstrumentLimits(state.templateFolder, limits));
    EXPECT_DOUBLE_EQ(limits[13].absolute, 0.5);
    EXPECT_DOUBLE_EQ(limits[17].absolute, 2.0);
    EXPECT_DOUBLE_EQ(limits.q5Percent, 25.0);
    EXPECT_FALSE(limits.co2FromO2);
}

}  // namespace
}  // namespace frame_testing
