// The import window on a copy of the demo's school boiler house: opened from "Инструменты",
// an analyser's export previewed as read, a choice corrected, the groups sent to a new and
// an existing regime after the summary is confirmed, and the regime list grown.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>

#include "core/names.h"
#include "core/textfile.h"
#include "import/ui/fimport.h"
#include "regime/regimestore.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

class ImportWindowTest : public FrameTest {};

TEST_F(ImportWindowTest, AnExportPreviewedCorrectedAndWrittenIntoTwoRegimes) {
    const QString name = QStringLiteral("Котельная школы №3");
    copyDemoObject(name);
    ASSERT_TRUE(wb->openObject(name));
    settle();
    const int regimesBefore = static_cast<int>(state.regimeList.rows.size());
    const QString existing = state.regimeList.rows.first().key;
    const QString file = core::JoinPath(home.path(), QStringLiteral("testo.csv"));
    testing_support::WriteBytes(
        file, core::EncodeCp1251(QStringLiteral("Testo 330-2 LL\r\nСерийный номер 01234567\r\n"
                                                "Время;Изм.;O2 [%];CO ppm;CO2 [%];T газа;Tвозд\r\n"
                                                "09.12.2026 10:15:30;1.1;3,2;45;10,1;142,5;21,3\r\n"
                                                "09.12.2026 10:16:30;1.2;3,4;47;10,0;143,1;21,5\r\n"
                                                "09.12.2026 10:17:30;1.3;x;47;10,0;143,1;21,5\r\n"
                                                "09.12.2026 10:40:00;2.1;5,1;12;9,0;160,0;21,9\r\n")));

    ASSERT_TRUE(frame().Imp->isEnabled());
    frame().Imp->trigger();
    settle();
    auto* w = wb->window<importer::fImport>(app::WindowKind::FImport);
    ASSERT_NE(w, nullptr);
    dialogs.files = {file};
    QTest::mouseClick(w->Browse, Qt::LeftButton);
    EXPECT_TRUE(w->Detected->text().contains(QStringLiteral("Windows-1251"))) << w->Detected->text().toStdString();
    EXPECT_EQ(w->SkipLines->value(), 2);
    EXPECT_EQ(w->Preview->columnCount(), 7);
    EXPECT_EQ(w->Preview->rowCount(), 4);
    EXPECT_EQ(w->Preview->item(0, 2)->text(), QStringLiteral("3,2"));
    EXPECT_EQ(w->Preview->verticalHeaderItem(0)->text(), QStringLiteral("4"));
    // a wrong choice shows a wrong table; corrected, the table is back with its mapping
    w->SeparatorBox->setCurrentIndex(1);
    EXPECT_NE(w->Preview->columnCount(), 7);
    w->SeparatorBox->setCurrentIndex(0);
    w->SkipLines->setValue(2);
    ASSERT_EQ(w->Preview->columnCount(), 7);
    EXPECT_EQ(w->mapping().size(), 5);
    auto* fieldOfO2 = qobject_cast<QComboBox*>(w->Columns->cellWidget(2, 3));
    ASSERT_NE(fieldOfO2, nullptr);
    EXPECT_EQ(fieldOfO2->currentText(), QStringLiteral("O2"));

    EXPECT_EQ(w->Groups->rowCount(), 3);  // one per row; the row with "x" is left out
    ASSERT_EQ(w->BadRows->count(), 2);
    EXPECT_TRUE(w->BadRows->item(1)->text().startsWith(QStringLiteral("строка 6: "))) << w->BadRows->item(1)->text().toStdString();
    w->GroupBox->setCurrentIndex(1);
    w->GroupColumn->setCurrentIndex(1);
    ASSERT_EQ(w->Groups->rowCount(), 2);
    EXPECT_EQ(w->Groups->item(0, 1)->text(), QStringLiteral("2"));
    w->setTarget(1, existing);
    EXPECT_EQ(w->Summary->text(), QStringLiteral("будет создан 1 режим, заполнено 1"));
    settle();
    if (const QString dir = qEnvironmentVariable("KALVARO_SHOT_DIR"); !dir.isEmpty())
        w->grab().save(dir + QStringLiteral("/import.png"));

    // "Нет" writes nothing; "Да" writes both groups and names them
    dialogs.answers = {app::Answer::No};
    QTest::mouseClick(w->Write, Qt::LeftButton);
    EXPECT_EQ(static_cast<int>(state.regimeList.rows.size()), regimesBefore);
    dialogs.answers = {app::Answer::Yes};
    QTest::mouseClick(w->Write, Qt::LeftButton);
    ASSERT_GE(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[dialogs.shown.size() - 2].text.contains(QStringLiteral("будет создан 1 режим, заполнено 1")));
    const QString done = dialogs.shown.last().text;
    EXPECT_TRUE(done.contains(QStringLiteral("заполнен ") + existing)) << done.toStdString();
    EXPECT_EQ(static_cast<int>(state.regimeList.rows.size()), regimesBefore + 1);
    std::array<float, 43> v{};
    ASSERT_TRUE(core::ReadNumberFile(core::JoinPath(state.currentObjectFolder, existing), v.data(), 43));
    EXPECT_FLOAT_EQ(v[13], 5.1f);
    EXPECT_FLOAT_EQ(v[17], 160.0f);
    const QRegularExpressionMatch created = QRegularExpression(QStringLiteral("создан (Режим №  \\d+\\.Dat)")).match(done);
    ASSERT_TRUE(created.hasMatch()) << done.toStdString();
    const int made = regime::RegimeNumberOf(created.captured(1)).value_or(-1);
    ASSERT_GT(made, 0) << done.toStdString();
    ASSERT_TRUE(core::ReadNumberFile(core::JoinPath(state.currentObjectFolder, regime::RegimeFileName(made)), v.data(), 43));
    EXPECT_FLOAT_EQ(v[13], 3.3f);
    EXPECT_FLOAT_EQ(v[11], 46.0f);
}

}  // namespace
}  // namespace frame_testing
