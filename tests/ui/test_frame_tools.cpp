// The frame's helper windows: the reference-list editor, help, About and the unit converter.

#include "test_frame_fixture.h"

#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>

#include "shell/aboutwindow.h"
#include "shell/helpwindow.h"
#include "shell/unitconverter.h"
#include "core/numbers.h"
#include "object/reflists.h"
#include "docs/ui/nastr.h"

namespace frame_testing {
namespace {

class ReferenceListTest : public FrameTest {
protected:
    docs::Nastr* open(QAction* item) {
        item->trigger();
        return qobject_cast<docs::Nastr*>(frame().referenceListWindow.data());
    }
    QStringList file(const QString& name) {
        QStringList l;
        object::ReadList(core::JoinPath(home.templ(), name), l);
        return l;
    }
    QStringList shown(docs::Nastr* e) {
        QStringList l;
        for (int i = 0; i < e->List1->count(); ++i) l.append(e->List1->item(i)->text());
        return l;
    }
};

TEST_F(ReferenceListTest, EmployeesOpenModalWithTheOpenersCaptionAndTip) {
    docs::Nastr* e = open(frame().Sotr);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isModal() || e->windowModality() == Qt::ApplicationModal);
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Список сотрудников"));
    EXPECT_EQ(e->List1->toolTip(),
              QStringLiteral("Список сотрудников, который будет появлятся в графе 'исполнители' при загрузке объекта"));
    EXPECT_EQ(state.selectedDocument, QStringLiteral("Сотрудники.txt"));
    EXPECT_EQ(shown(e), file(QStringLiteral("Сотрудники.txt")));
    EXPECT_FALSE(e->Command2->isEnabled());
    EXPECT_EQ(e->Command1->text(), QStringLiteral("Добавить+"));
    EXPECT_EQ(e->Command2->text(), QStringLiteral("Удалить -"));
    EXPECT_EQ(e->Command3->text(), QStringLiteral("Закрыть"));
    QTest::mouseClick(e->Command3, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(state.selectedDocument.isEmpty());
    EXPECT_TRUE(frame().referenceListWindow.isNull());
}

TEST_F(ReferenceListTest, SensorsAddTrimmedEntriesAndRemoveTheClickedOne) {
    object::WriteList(core::JoinPath(home.templ(), QStringLiteral("Dath.txt")),
                    {QStringLiteral("ДД-1"), QStringLiteral("ДТ-2"), QStringLiteral("ДН-3")});
    docs::Nastr* e = open(frame().Dbez);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Список датчиков"));
    EXPECT_EQ(e->List1->toolTip(),
              QStringLiteral("Список датчиков, который будет появляться в графе 'датчики безопасности'"));

    dialogs.inputs = {QStringLiteral("  Реле давления  "), QStringLiteral("   "), std::nullopt};
    for (int i = 0; i < 3; ++i) QTest::mouseClick(e->Command1, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Добавить в список"));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Ввод данных"));
    const QStringList four{QStringLiteral("ДД-1"), QStringLiteral("ДТ-2"), QStringLiteral("ДН-3"),
                           QStringLiteral("Реле давления")};
    EXPECT_EQ(file(QStringLiteral("Dath.txt")), four);
    EXPECT_EQ(shown(e), four);

    QListWidgetItem* second = e->List1->item(1);
    QTest::mouseClick(e->List1->viewport(), Qt::LeftButton, {}, e->List1->visualItemRect(second).center());
    ASSERT_TRUE(e->Command2->isEnabled());
    // the delete asks first: "Нет" keeps the entry, "Да" removes it
    QTest::mouseClick(e->Command2, Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.last().kind, QStringLiteral("question"));
    EXPECT_EQ(dialogs.shown.last().text, QStringLiteral("Удалить из списка: ДТ-2 ?"));
    EXPECT_EQ(shown(e), four);
    EXPECT_TRUE(e->Command2->isEnabled());
    dialogs.answers = {app::Answer::Yes};
    QTest::mouseClick(e->Command2, Qt::LeftButton);
    EXPECT_FALSE(e->Command2->isEnabled());
    const QStringList three{QStringLiteral("ДД-1"), QStringLiteral("ДН-3"), QStringLiteral("Реле давления")};
    EXPECT_EQ(file(QStringLiteral("Dath.txt")), three);
    EXPECT_EQ(shown(e), three);
    // a row highlighted with the keys can be deleted as well
    e->List1->setFocus();
    QTest::keyClick(e->List1, Qt::Key_Down);
    EXPECT_FALSE(e->List1->selectedItems().isEmpty());
    EXPECT_TRUE(e->Command2->isEnabled());
    e->close();
}

TEST_F(ReferenceListTest, AMissingListIsReportedAndTheFirstAdditionCreatesIt) {
    QFile::remove(core::JoinPath(home.templ(), QStringLiteral("Dath.txt")));
    docs::Nastr* e = open(frame().Dbez);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Ошибка при работе с файлом !")});
    EXPECT_EQ(e->List1->count(), 0);
    dialogs.inputs = {QStringLiteral("ЭКМ")};
    QTest::mouseClick(e->Command1, Qt::LeftButton);
    EXPECT_EQ(file(QStringLiteral("Dath.txt")), QStringList{QStringLiteral("ЭКМ")});
    e->close();
}

using HelpTest = FrameTest;

TEST_F(HelpTest, TheCompiledHelpGoesToThePlatformViewer) {
    testing_support::WriteBytes(core::JoinPath(home.templ(), QStringLiteral("справка.chm")), "ITSF");
    frame().Spravca->trigger();
    const QList<QUrl>& opened = dialogs.platformOpens;
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), core::JoinPath(home.templ(), QStringLiteral("справка.chm")));
    EXPECT_TRUE(frame().helpWindow.isNull());
}

TEST_F(HelpTest, WithoutAViewerTheHtmlHelpShowsInTheProgram) {
    dialogs.platformCanOpen = false;
    frame().toolbarButton(QStringLiteral("Справка"))->trigger();
    auto* help = qobject_cast<shell::HelpWindow*>(frame().helpWindow.data());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Справка"));
    const QString text = help->Browser->toPlainText();
    for (const char* topic : {"Объекты", "Общие данные", "Режимы", "Результаты", "Графики", "газоанализатор",
                              "q5", "Документы отчета"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic), Qt::CaseInsensitive)) << topic;
    // a second call reuses the window
    frame().Spravca->trigger();
    EXPECT_EQ(frame().helpWindow.data(), help);
    // Escape closes it, from the text as well
    QTest::keyClick(help->Browser, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(HelpTest, NoHelpFileAtAllIsReported) {
    QFile::remove(core::JoinPath(home.templ(), QStringLiteral("справка.html")));
    frame().Spravca->trigger();
    ASSERT_EQ(dialogs.count(QStringLiteral("message")), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("справка.chm")));
}

TEST_F(FrameTest, AboutShowsTheTitleAndVersion) {
    frame().About->trigger();
    auto* about = qobject_cast<shell::AboutWindow*>(frame().aboutWindow.data());
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->Title->text(), QStringLiteral("Kalvaro"));
    EXPECT_TRUE(about->Version->text().contains(QStringLiteral(KALVARO_VERSION)));
    EXPECT_FALSE(QStringLiteral(KALVARO_VERSION).isEmpty());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
}

// Every pair of units against a reference table of each unit in pascals (kilowatts for
// outputs), so a wrong factor shows whichever direction it is used in.
TEST(UnitConverter, EveryPressureFactorAgainstTheReferenceTable) {
    const QList<QPair<const char*, double>> pascals = {
        {"кгс/см2", 98066.5}, {"кгс/м2", 9.80665}, {"мм вод.ст.", 9.80665}, {"бар", 100000.0},
        {"мбар", 100.0},      {"Па", 1.0},         {"кПа", 1000.0}};
    const QStringList u = shell::PressureUnits();
    ASSERT_EQ(u.size(), pascals.size());
    for (const auto& [from, fromPa] : pascals)
        for (const auto& [to, toPa] : pascals) {
            const int i = static_cast<int>(u.indexOf(QString::fromUtf8(from)));
            const int j = static_cast<int>(u.indexOf(QString::fromUtf8(to)));
            ASSERT_GE(i, 0) << from;
            ASSERT_GE(j, 0) << to;
            const double expected = 2.5 * fromPa / toPa;
            EXPECT_NEAR(shell::ConvertPressure(2.5, i, j), expected, std::abs(expected) * 1e-12) << from << " -> " << to;
        }
    // the figures engineers check first
    EXPECT_NEAR(shell::ConvertPressure(1, 0, 3), 0.980665, 1e-12);  // 1 kgf/cm2 in bar
    EXPECT_NEAR(shell::ConvertPressure(1, 0, 5), 98066.5, 1e-9);    // 1 kgf/cm2 in Pa
    EXPECT_NEAR(shell::ConvertPressure(1, 3, 0), 1.0197162, 1e-7);  // 1 bar in kgf/cm2
    EXPECT_EQ(shell::ConvertPressure(1, -1, 0), 0.0);
    EXPECT_EQ(shell::ConvertPressure(1, 0, 7), 0.0);
}

TEST(UnitConverter, OutputsAndEmissions) {
    const QList<QPair<const char*, double>> kilowatts = {{"кВт", 1.0}, {"МВт", 1000.0}, {"Гкал/час", 1163.0}};
    const QStringList u = shell::OutputUnits();
    ASSERT_EQ(u.size(), kilowatts.size());
    for (const auto& [from, fromKw] : kilowatts)
        for (const auto& [to, toKw] : kilowatts) {
            const int i = static_cast<int>(u.indexOf(QString::fromUtf8(from)));
            const int j = static_cast<int>(u.indexOf(QString::fromUtf8(to)));
            const double expected = 7.0 * fromKw / toKw;
            EXPECT_NEAR(shell::ConvertOutput(7.0, i, j), expected, expected * 1e-12) << from << " -> " << to;
        }
    EXPECT_NEAR(shell::ConvertOutput(1, 2, 1), 1.163, 1e-12);  // 1 Gcal/h in MW
    EXPECT_EQ(shell::ConvertOutput(1, 3, 0), 0.0);
    // the emission factors are the calculation's own (molar masses 28 and 46 at its
    // reference conditions), so the converter agrees with the results table
    EXPECT_NEAR(shell::MgPerPpm(shell::Gas::CO), 1.25916, 5e-6);
    EXPECT_NEAR(shell::MgPerPpm(shell::Gas::NOx), 2.06861, 5e-6);
    EXPECT_NEAR(shell::MgToPpm(shell::PpmToMg(57, shell::Gas::NOx), shell::Gas::NOx), 57, 1e-9);
}

TEST_F(FrameTest, TheConverterWindowConvertsWhatIsTyped) {
    frame().Si->trigger();
    auto* c = qobject_cast<shell::UnitConverter*>(frame().converterWindow.data());
    ASSERT_NE(c, nullptr);
    c->PressureUnit->setCurrentIndex(shell::PressureUnits().indexOf(QStringLiteral("мбар")));
    c->PressureValue->setText(QStringLiteral("2,5"));
    EXPECT_EQ(c->PressureResults[shell::PressureUnits().indexOf(QStringLiteral("Па"))]->text(),
              core::LocaleForm(250.0));
    c->GasUnit->setCurrentIndex(1);
    c->GasValue->setText(QStringLiteral("0"));
    EXPECT_EQ(c->CoResult->text(), core::LocaleForm(0.0) + QStringLiteral(" ppm"));
    // numbers only: letters, a second point and a minus where none can be are not taken
    c->OutputValue->clear();
    QTest::keyClicks(c->OutputValue, QStringLiteral("1x2.5.3-e"));
    EXPECT_EQ(c->OutputValue->text(), QStringLiteral("12.53"));
    c->PressureValue->clear();
    QTest::keyClicks(c->PressureValue, QStringLiteral("-0,5"));
    EXPECT_EQ(c->PressureValue->text(), QStringLiteral("-0,5"));
    c->close();
}

}  // namespace
}  // namespace frame_testing
