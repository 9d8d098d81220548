// The frame's helper windows: the reference-list editor, help, About and the unit converter.

#include "test_frame_fixture.h"

#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>

#include "app/ui/aboutwindow.h"
#include "app/ui/helpwindow.h"
#include "app/ui/unitconverter.h"
#include "core/numbers.h"
#include "docs/reflists.h"
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
        docs::ReadList(core::JoinPath(home.templ(), name), l);
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
    docs::WriteList(core::JoinPath(home.templ(), QStringLiteral("Dath.txt")),
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
    QTest::mouseClick(e->Command2, Qt::LeftButton);
    EXPECT_FALSE(e->Command2->isEnabled());
    const QStringList three{QStringLiteral("ДД-1"), QStringLiteral("ДН-3"), QStringLiteral("Реле давления")};
    EXPECT_EQ(file(QStringLiteral("Dath.txt")), three);
    EXPECT_EQ(shown(e), three);
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

class HelpTest : public FrameTest {
protected:
    void TearDown() override {
        app::OpenWithPlatform = saved;
        FrameTest::TearDown();
    }
    std::function<bool(const QUrl&)> saved = app::OpenWithPlatform;
};

TEST_F(HelpTest, TheCompiledHelpGoesToThePlatformViewer) {
    testing_support::WriteBytes(core::JoinPath(home.templ(), QStringLiteral("справка.chm")), "ITSF");
    QList<QUrl> opened;
    app::OpenWithPlatform = [&opened](const QUrl& u) {
        opened.append(u);
        return true;
    };
    frame().Spravca->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), core::JoinPath(home.templ(), QStringLiteral("справка.chm")));
    EXPECT_TRUE(frame().helpWindow.isNull());
}

TEST_F(HelpTest, WithoutAViewerTheHtmlHelpShowsInTheProgram) {
    app::OpenWithPlatform = [](const QUrl&) { return false; };
    frame().toolbarButton(QStringLiteral("Справка"))->trigger();
    auto* help = qobject_cast<app::HelpWindow*>(frame().helpWindow.data());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Справка"));
    const QString text = help->Browser->toPlainText();
    for (const char* topic : {"Объекты", "Общие данные", "Режимы", "Результаты", "Графики", "газоанализатор",
                              "q5", "Документы отчета"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic), Qt::CaseInsensitive)) << topic;
    // a second call reuses the window
    frame().Spravca->trigger();
    EXPECT_EQ(frame().helpWindow.data(), help);
}

TEST_F(HelpTest, NoHelpFileAtAllIsReported) {
    QFile::remove(core::JoinPath(home.templ(), QStringLiteral("справка.html")));
    frame().Spravca->trigger();
    ASSERT_EQ(dialogs.count(QStringLiteral("message")), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("справка.chm")));
}

TEST_F(FrameTest, AboutShowsTheTitleAndVersion) {
    frame().About->trigger();
    auto* about = qobject_cast<app::AboutWindow*>(frame().aboutWindow.data());
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->Title->text(), QStringLiteral("Kalvaro"));
    EXPECT_TRUE(about->Version->text().contains(QStringLiteral(KALVARO_VERSION)));
    EXPECT_FALSE(QStringLiteral(KALVARO_VERSION).isEmpty());
}

TEST(UnitConverter, PressuresUseTheProgramsFactors) {
    const QStringList u = app::PressureUnits();
    auto at = [&u](const char* name) { return static_cast<int>(u.indexOf(QString::fromUtf8(name))); };
    EXPECT_DOUBLE_EQ(app::ConvertPressure(1, at("мбар"), at("кгс/м2")), 10.0);
    EXPECT_DOUBLE_EQ(app::ConvertPressure(1, at("Па"), at("мм вод.ст.")), 0.1);
    EXPECT_DOUBLE_EQ(app::ConvertPressure(1, at("кПа"), at("кгс/м2")), 100.0);
    EXPECT_DOUBLE_EQ(app::ConvertPressure(1, at("бар"), at("кгс/см2")), 1.0);
    EXPECT_DOUBLE_EQ(app::ConvertPressure(1, at("кгс/см2"), at("кгс/м2")), 10000.0);
    EXPECT_DOUBLE_EQ(app::ConvertPressure(250, at("мм вод.ст."), at("мбар")), 25.0);
    EXPECT_DOUBLE_EQ(app::ConvertPressure(3, at("кПа"), at("Па")), 3000.0);
    EXPECT_EQ(app::ConvertPressure(1, -1, 0), 0.0);
}

TEST(UnitConverter, OutputsAndEmissions) {
    EXPECT_NEAR(app::ConvertOutput(1, 1, 2), 0.86, 1e-12);      // 1 MW in Gcal/h
    EXPECT_NEAR(app::ConvertOutput(0.86, 2, 0), 1000.0, 1e-9);  // Gcal/h in kW
    EXPECT_NEAR(app::ConvertOutput(2500, 0, 1), 2.5, 1e-12);
    EXPECT_NEAR(app::PpmToMg(100, app::Gas::CO), 100 * 28 * 766 / 17033.634, 1e-9);
    EXPECT_NEAR(app::PpmToMg(100, app::Gas::NOx), 100 * 46 * 766 / 17033.634, 1e-9);
    EXPECT_NEAR(app::MgToPpm(app::PpmToMg(57, app::Gas::NOx), app::Gas::NOx), 57, 1e-9);
}

TEST_F(FrameTest, TheConverterWindowConvertsWhatIsTyped) {
    frame().Si->trigger();
    auto* c = qobject_cast<app::UnitConverter*>(frame().converterWindow.data());
    ASSERT_NE(c, nullptr);
    c->PressureUnit->setCurrentIndex(app::PressureUnits().indexOf(QStringLiteral("мбар")));
    c->PressureValue->setText(QStringLiteral("2,5"));
    EXPECT_EQ(c->PressureResults[app::PressureUnits().indexOf(QStringLiteral("кгс/м2"))]->text(),
              core::LocaleForm(25.0));
    c->GasUnit->setCurrentIndex(1);
    c->GasValue->setText(QStringLiteral("0"));
    EXPECT_EQ(c->CoResult->text(), core::LocaleForm(0.0) + QStringLiteral(" ppm"));
    c->close();
}

}  // namespace
}  // namespace frame_testing
