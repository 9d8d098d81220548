// The emission verdicts in the results pane, the window of the program's limits and the
// object's choice of limits in its general data window.

#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include "app/ui/marks.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "object/emissionnorms.h"
#include "object/ui/fnorm.h"
#include "object/ui/od.h"
#include "results/ui/navig.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using testing_support::ReadBytes;

const QString kSchool = QStringLiteral("Котельная школы №3");

class EmissionsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        copyDemoObject(kSchool);
        ASSERT_TRUE(wb->openObject(kSchool));
        settle();
        ASSERT_NE(pane(), nullptr);
    }
    void TearDown() override {
        FrameTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }
    results::Navig* pane() { return wb->window<results::Navig>(app::WindowKind::Navig); }
    QStringList keys() {
        QStringList l;
        for (int i = 0; i < pane()->lvAll()->topLevelItemCount(); ++i)
            l.append(pane()->lvAll()->topLevelItem(i)->data(0, Qt::UserRole).toString());
        return l;
    }
    QTreeWidgetItem* row(const QString& key) {
        const int i = static_cast<int>(keys().indexOf(key));
        return i >= 0 ? pane()->lvAll()->topLevelItem(i) : nullptr;
    }
    // "73,1 ± 6,2": the value and its U95 as the pane shows them
    std::pair<double, double> shown(const QString& key) {
        const QString text = row(key)->text(2);
        return {QLocale().toDouble(text.section(QStringLiteral(" ± "), 0, 0)),
                QLocale().toDouble(text.section(QStringLiteral(" ± "), 1, 1))};
    }
    QString expected(const QString& key, double limit) {
        object::AppliedLimit l;
        l.found = true;
        l.limit = limit;
        const auto [v, u] = shown(key);
        return object::VerdictText(object::Judge(v, u, l));
    }
    void shot(QWidget* w, const QString& name) {
        const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR");
        if (!dir.isEmpty()) w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
    }
    object::fNorm* openNorms() {
        frame().Norm->trigger();
        settle();
        return qobject_cast<object::fNorm*>(frame().normsWindow.data());
    }
};

// The pane's added rows, the default NOx limit of natural gas, a CO limit added in the window
// (and a refused entry that leaves the file alone), then the object choosing no limits.
TEST_F(EmissionsTest, PaneVerdictsFollowTheLimitsAndTheObjectsChoice) {
    const QStringList k = keys();
    ASSERT_TRUE(k.contains(QStringLiteral("CO норма")));
    EXPECT_EQ(k.indexOf(QStringLiteral("CO норма")), k.indexOf(QStringLiteral("CO")) + 1);
    EXPECT_EQ(k.indexOf(QStringLiteral("NO норма")), k.indexOf(QStringLiteral("NO")) + 1);
    EXPECT_EQ(k.indexOf(QStringLiteral("CO 3%")), k.indexOf(QStringLiteral("NO m")) + 1);
    EXPECT_EQ(k.indexOf(QStringLiteral("NO 3%")), k.indexOf(QStringLiteral("CO 3%")) + 1);
    EXPECT_EQ(row(QStringLiteral("CO u"))->text(1), QStringLiteral("г/Гкал"));

    // NOx against 125 mg/m3 (natural gas, the default set); CO has no default limit
    QTreeWidgetItem* nox = row(QStringLiteral("NO норма"));
    EXPECT_EQ(nox->text(2), expected(QStringLiteral("NO"), 125));
    EXPECT_FALSE(nox->text(2).isEmpty());
    EXPECT_EQ(nox->text(1), QStringLiteral("≤ 125"));
    EXPECT_TRUE(nox->toolTip(2).contains(QStringLiteral("предел 125 мг/м3 — ГОСТ Р 55173-2012")))
        << nox->toolTip(2).toStdString();
    EXPECT_TRUE(nox->toolTip(2).contains(row(QStringLiteral("NO"))->text(2))) << nox->toolTip(2).toStdString();
    QTreeWidgetItem* co = row(QStringLiteral("CO норма"));
    EXPECT_EQ(co->text(2), QString());
    EXPECT_TRUE(co->toolTip(2).endsWith(QStringLiteral("предел не задан")));
    // at 3 % O2: the stored value times 1.2, its U95 too
    const auto [coValue, coU] = shown(QStringLiteral("CO"));
    const auto [co3, co3U] = shown(QStringLiteral("CO 3%"));
    EXPECT_NEAR(co3, coValue * 1.2, 0.051);
    EXPECT_NEAR(co3U, coU * 1.2, 0.051 + 1.2 * 0.05);
    shot(pane(), QStringLiteral("pane-verdicts"));

    // a CO limit on the value itself: undecided within the uncertainty, marked so
    object::fNorm* w = openNorms();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Table->rowCount(), 3);
    QTest::mouseClick(w->Add, Qt::LeftButton);
    ASSERT_EQ(w->Table->rowCount(), 4);
    Pick(qobject_cast<QComboBox*>(w->Table->cellWidget(3, 2)), QStringLiteral("CO"));
    w->Table->item(3, 3)->setText(QStringLiteral("abc"));
    w->Table->item(3, 4)->setText(QStringLiteral("Разрешение № 7"));
    const QString file = core::JoinPath(home.templ(), object::kNormsFile);
    dialogs.shown.clear();
    QTest::mouseClick(w->Save, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Строка 4: предел должен быть числом."));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(frame().normsWindow.data(), w);  // the window stays for the correction
    w->Table->item(3, 3)->setText(QLocale().toString(coValue));
    shot(w, QStringLiteral("norms-window"));
    QTest::mouseClick(w->Save, Qt::LeftButton);
    settle();
    EXPECT_TRUE(frame().normsWindow.isNull());
    object::EmissionNorms saved;
    ASSERT_TRUE(object::ReadEmissionNorms(home.templ(), saved));
    ASSERT_EQ(saved.limits.size(), 4);
    EXPECT_EQ(saved.limits[3].pollutant, object::Pollutant::CO);
    EXPECT_NEAR(saved.limits[3].limit, coValue, 1e-4);
    EXPECT_EQ(saved.limits[3].document, QStringLiteral("Разрешение № 7"));
    co = row(QStringLiteral("CO норма"));
    EXPECT_EQ(co->text(2), coU > 0 ? QStringLiteral("в пределах погрешности") : QStringLiteral("соответствует"));
    EXPECT_EQ(co->text(2), expected(QStringLiteral("CO"), coValue));
    if (coU > 0) EXPECT_EQ(co->background(2).color(), app::kVerdictUndecidedBackground);
    EXPECT_TRUE(co->toolTip(2).contains(QStringLiteral("Разрешение № 7")));

    // the object compares with no limits: its choice file says so and the verdicts go
    auto* od = wb->window<object::OD>(app::WindowKind::OD);
    ASSERT_NE(od, nullptr);
    ASSERT_NE(od->Norms, nullptr);
    EXPECT_TRUE(od->NormsNote->text().contains(QStringLiteral("NOx ≤ 125 мг/м3")))
        << od->NormsNote->text().toStdString();
    Pick(od->Norms, QStringLiteral("не проверять"));
    EXPECT_EQ(ReadBytes(core::JoinPath(state.currentObjectFolder, object::kObjectNormsFile)),
              core::EncodeCp1251(QStringLiteral("\"нет\"\r\n")));
    EXPECT_EQ(row(QStringLiteral("NO норма"))->text(2), QString());
    EXPECT_EQ(row(QStringLiteral("CO норма"))->text(2), QString());
    // and back to the default set
    Pick(od->Norms, QStringLiteral("по умолчанию («Общие»)"));
    EXPECT_EQ(row(QStringLiteral("NO норма"))->text(2), expected(QStringLiteral("NO"), 125));
}

}  // namespace
}  // namespace frame_testing
