// The three calculator windows opened from their commands on a copy of the demo's school
// boiler house: q5 from the boiler's surfaces taken into the regime, preliminary
// experiments with one taken into the editor, and the flame-head setting of the burner.

#include <QClipboard>
#include <QDirIterator>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>

#include "app/ui/notice.h"
#include "app/ui/numberfield.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "engine/engine.h"
#include "regime/regimestore.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "support/filesizelimit.h"
#include "test_frame_fixture.h"
#include "tools/flamehead.h"
#include "tools/q5.h"
#include "tools/ui/fplg.h"
#include "tools/ui/fq5.h"
#include "tools/ui/pricid.h"

namespace frame_testing {
namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

const QString kSchool = QStringLiteral("Котельная школы №3");

class CalculatorTest : public FrameTest {
protected:
    void TearDown() override {
        // a modal calculator left open goes with the frame
        FrameTest::TearDown();
    }
    void openDemo(const QString& name) {
        copyDemoObject(name);
        ASSERT_TRUE(wb->openObject(name));
        settle();
        ASSERT_NE(editor(), nullptr);
        ASSERT_NE(regimes(), nullptr);
    }
    regime::Regim* editor() { return wb->window<regime::Regim>(app::WindowKind::Regim); }
    regime::SReg* regimes() { return wb->window<regime::SReg>(app::WindowKind::SReg); }
    tools::fQ5* q5() { return wb->window<tools::fQ5>(app::WindowKind::FQ5); }
    tools::Pricid* experiments() { return wb->window<tools::Pricid>(app::WindowKind::Pricid); }
    tools::fPlG* flameHead() { return wb->window<tools::fPlG>(app::WindowKind::FPlG); }
    QString file(const QString& name) { return core::JoinPath(state.currentObjectFolder, name); }
    QStringList lines(const QString& name) {
        QStringList l;
        core::ReadTextLines(file(name), l);
        return l;
    }
    // The texts of every label inside a window.
    static QStringList labels(QWidget* w) {
        QStringList l;
        for (QLabel* label : w->findChildren<QLabel*>()) l.append(label->text());
        return l;
    }
    static void replace(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        Type(e, text);
    }
    void typeSurface(tools::fQ5* w, int s, const QString& area, const QString& surface, const QString& air,
                     const QString& orientation, const QString& material) {
        replace(w->edit(tools::Q5Cell(s, tools::Area)), area);
        replace(w->edit(tools::Q5Cell(s, tools::SurfaceTemp)), surface);
        replace(w->edit(tools::Q5Cell(s, tools::AirTemp)), air);
        Pick(w->choice(tools::Q5Cell(s, tools::Orientation)), orientation);
        Pick(w->choice(tools::Q5Cell(s, tools::Material)), material);
    }
    tools::fQ5* openQ5() {
        QTest::mouseClick(editor()->Command1, Qt::LeftButton);
        settle();
        return q5();
    }
    tools::Pricid* openExperiments() {
        QAction* a = regimes()->Toolbar1->actions().value(0);
        if (!a) return nullptr;
        QWidget* button = regimes()->Toolbar1->widgetForAction(a);
        if (button) QTest::mouseClick(button, Qt::LeftButton);
        settle();
        return experiments();
    }
    tools::fPlG* openFlameHead() {
        frame().U->trigger();
        settle();
        return flameHead();
    }
    int selectedPosition() {
        QTreeWidget* list = regimes()->ListView1;
        return list->indexOfTopLevelItem(list->currentItem()) + 1;
    }
};

double Value(const QString& text) { return core::ParseNumber(text); }

// ---------------------------------------------------------------- q5

TEST_F(CalculatorTest, Q5OpensFromTheEditorOnTheSelectedRegimeWithItsTexts) {
    openDemo(kSchool);
    // the school computes q5 for each regime, so the editor offers the calculator
    ASSERT_TRUE(editor()->Command1->isVisible());
    ASSERT_TRUE(editor()->Command1->isEnabled());
    EXPECT_EQ(editor()->Command1->toolTip(), QStringLiteral("Расчет потерь тепла в окр.среду."));
    tools::fQ5* w = openQ5();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Расчет потерь тепла в окружающую среду"));

    const int k = selectedPosition();
    ASSERT_GE(k, 1);
    ASSERT_EQ(w->Combo2->count(), state.regimeList.rows.size());
    for (int i = 0; i < w->Combo2->count(); ++i) {
        EXPECT_EQ(w->Combo2->itemText(i), QStringLiteral("Режим  ") + QString::number(i + 1));
        EXPECT_EQ(w->Combo1->itemText(i), w->Combo2->itemText(i));
    }
    EXPECT_EQ(w->Combo2->currentIndex(), k - 1);
    EXPECT_EQ(w->Combo1->currentIndex(), k - 1);
    EXPECT_FALSE(w->Combo2->isEditable());
    EXPECT_EQ(w->Label4->text(),
              QStringLiteral("Теплопроизводительность (Вт х Qн) на режиме ") + QString::number(k) + QStringLiteral(",   кВт"));

    const QStringList shown = labels(w);
    for (const char* t : {"Расчет потерь тепла в окружающую среду на режиме -",
                          "Данные о поверхностях и температурах  внести  из режима", "F,м2", "t пов,оС", "t воз.,оС",
                          "(ориентация)", "(материал)", "Q5i,кВт", "Сумма Q5, кВт", "q5, %"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(t))) << t;
    EXPECT_EQ(shown.count(QStringLiteral("k,Вт/оКм2")), 2);
    for (int s = 1; s <= 8; ++s) EXPECT_TRUE(shown.contains(QStringLiteral("Поверхность ") + QString::number(s)));

    const QList<QPair<QPushButton*, QPair<const char*, const char*>>> commands = {
        {w->Command3, {"Рассчитать", "Рассчитать q5"}},
        {w->Command1, {"Принять q5", "Рассчитать режим с полученным q5"}},
        {w->Command4, {"В таблицу >", "Создать таблицу в MS Excel"}},
        {w->Command2, {"Закрыть", ""}}};
    for (const auto& [b, texts] : commands) {
        EXPECT_EQ(b->text(), QString::fromUtf8(texts.first));
        if (*texts.second) {
            EXPECT_EQ(b->toolTip(), QString::fromUtf8(texts.second));
        }
    }
    const QStringList tips = {"Площадь поверхности, м2",
                              "Средняя температура поверхности, оС",
                              "Температура окр. воздуха вблизи поверхности, оС",
                              "Ориентация поверхности",
                              "Материал поверхности",
                              "Коэффициент теплоотдачи конвекцией, Вт/(м2 оК)",
                              "Коэффициент теплоотдачи излучением, Вт/(м2 оК)",
                              "Потери тепла поверхностью, кВт"};
    for (int i = 0; i < 64; ++i) EXPECT_EQ(w->C[i]->toolTip(), tips[i % 8]) << "cell " << i;
    EXPECT_EQ(w->C[64]->toolTip(), QStringLiteral("Суммарные потери тепла, кВт"));
    EXPECT_EQ(w->C[65]->toolTip(), QStringLiteral("Относительные потери тепла на текущей нагрузке, %"));
    for (int i : {3, 4}) EXPECT_NE(w->choice(i), nullptr);

    // the cells are those of the selected regime's q5 file, the output that of its fuel flow
    QStringList stored;
    ASSERT_TRUE(tools::ReadQ5File(state.currentObjectFolder, tools::Q5FileName(state.regimeList.rows[k - 1].key), stored));
    EXPECT_EQ(w->cellTexts(), stored);
    EXPECT_FALSE(w->cellText(tools::Q5Cell(1, tools::Area)).isEmpty());
    EXPECT_GT(Value(w->Text1->text()), 0);
    EXPECT_FALSE(w->Text1->text().contains(u','));

    // Escape closes the window as "Закрыть" does
    QTest::keyClick(w->Combo2, Qt::Key_Escape);
    settle();
    EXPECT_EQ(q5(), nullptr);
    w = openQ5();
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    settle();
    EXPECT_EQ(q5(), nullptr);
}

TEST_F(CalculatorTest, Q5OfThreeSurfacesIsComputedSavedAndTakenIntoTheRegime) {
    openDemo(kSchool);
    tools::fQ5* w = openQ5();
    ASSERT_NE(w, nullptr);
    const QString regimeFile = state.currentRegimeFile;
    const QString q5File = tools::Q5FileName(regimeFile);
    for (int i = 0; i < 64; ++i)
        if (w->edit(i)) w->edit(i)->clear();
        else w->choice(i)->setCurrentIndex(0);

    typeSurface(w, 1, "10", "50", "20", QStringLiteral("Вертикаль."), QStringLiteral("Сталь"));
    typeSurface(w, 2, "3,5", "62", "22", QStringLiteral("Горизонталь."), QStringLiteral("Кирпич"));
    typeSurface(w, 3, "1.2", "80", "25", QStringLiteral("Цилиндр."), QStringLiteral("Алюминий"));
    EXPECT_EQ(w->cellText(tools::Q5Cell(2, tools::Area)), "3.5");  // the comma typed became a point
    QTest::mouseClick(w->Command3, Qt::LeftButton);

    // the vertical steel surface of 10 m2 at 50 °C in 20 °C air
    EXPECT_EQ(w->cellText(tools::Q5Cell(1, tools::Convective)), "6.085");
    EXPECT_EQ(w->cellText(tools::Q5Cell(1, tools::Radiative)), "5.279");
    EXPECT_EQ(w->cellText(tools::Q5Cell(1, tools::SurfaceLoss)), "3.409");
    double total = 0;
    for (int s = 1; s <= 3; ++s) {
        const QString loss = w->cellText(tools::Q5Cell(s, tools::SurfaceLoss));
        EXPECT_GT(Value(loss), 0) << s;
        EXPECT_LE(loss.section(u'.', 1).size(), 3) << loss.toStdString();
        total += Value(loss);
    }
    for (int s = 4; s <= 8; ++s) EXPECT_TRUE(w->cellText(tools::Q5Cell(s, tools::SurfaceLoss)).isEmpty());
    // the total from the rounded losses shown, q5 against the heat output
    EXPECT_NEAR(Value(w->cellText(64)), total, 0.0005);
    const double output = Value(w->Text1->text());
    ASSERT_GT(output, 0);
    const QString q5Text = w->cellText(65);
    EXPECT_NEAR(Value(q5Text), Value(w->cellText(64)) * 100 / output, 0.0005);

    // the regime's q5 file holds the 66 cells as shown, quoted
    const QByteArray bytes = ReadBytes(file(q5File));
    const QList<QByteArray> rows = bytes.split('\n');
    ASSERT_EQ(rows.size(), 67);  // 66 lines and the end after the last
    EXPECT_EQ(rows[0], "\"10\"\r");
    EXPECT_EQ(rows[65], "\"" + q5Text.toLatin1() + "\"\r");
    QStringList reread;
    ASSERT_TRUE(tools::ReadQ5File(state.currentObjectFolder, q5File, reread));
    EXPECT_EQ(reread, w->cellTexts());

    // "Принять q5": field 42 of the editor, the regime saved, calculated and the list sorted
    const QStringList resultsBefore = lines(state.currentResultsFile);
    ASSERT_NE(Value(resultsBefore.value(7)), Value(q5Text));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    settle();
    EXPECT_EQ(state.currentRegimeFile, regimeFile);
    EXPECT_EQ(Value(editor()->T[42]->text()), Value(q5Text));
    EXPECT_FLOAT_EQ(static_cast<float>(Value(lines(regimeFile).value(42))), static_cast<float>(Value(q5Text)));
    const QStringList resultsAfter = lines(state.currentResultsFile);
    EXPECT_FLOAT_EQ(static_cast<float>(Value(resultsAfter.value(7))), static_cast<float>(Value(q5Text)));
    EXPECT_FLOAT_EQ(state.results[7], static_cast<float>(Value(q5Text)));
    // a larger loss to the environment lowers the indirect-balance efficiency
    EXPECT_NE(resultsAfter.value(3), resultsBefore.value(3));
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(" | ").toStdString();
    // the regime list still names the regime at the selected row
    const int k = selectedPosition();
    EXPECT_EQ(state.regimeList.rows[k - 1].key, regimeFile);
}

TEST_F(CalculatorTest, Q5CellsTakeOnlyDigitsAndPointAndEqualTemperaturesClearTheResults) {
    openDemo(kSchool);
    tools::fQ5* w = openQ5();
    ASSERT_NE(w, nullptr);
    QLineEdit* area = w->edit(tools::Q5Cell(4, tools::Area));
    replace(area, "-1a2,5 ");
    EXPECT_EQ(area->text(), "12.5");
    QTest::keyClick(area, Qt::Key_Backspace);
    EXPECT_EQ(area->text(), "12.");
    // a paste is filtered as typing is: no double quote or letter gets into a cell
    area->setText(QString());
    area->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("1\"2,5 м2"));
    QTest::keyClick(area, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(area->text(), "12.52");
    // a surface at the temperature of its air (switched off) loses nothing: its result
    // cells are emptied and the total leaves it out
    typeSurface(w, 4, "12", "30", "30", QStringLiteral("Вертикаль."), QStringLiteral("Сталь"));
    w->edit(tools::Q5Cell(4, tools::Convective))->setText("7.5");
    w->edit(tools::Q5Cell(4, tools::SurfaceLoss))->setText("9.9");
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_TRUE(w->cellText(tools::Q5Cell(4, tools::Convective)).isEmpty());
    EXPECT_TRUE(w->cellText(tools::Q5Cell(4, tools::SurfaceLoss)).isEmpty());
    QStringList cells = w->cellTexts();
    double sum = 0;
    for (int s = 1; s <= tools::kQ5SurfaceCount; ++s) sum += cells[tools::Q5Cell(s, tools::SurfaceLoss)].toDouble();
    EXPECT_NEAR(cells[tools::kQ5TotalCell].toDouble(), sum, 1e-3);
    // no material: no radiation
    Pick(w->choice(tools::Q5Cell(4, tools::Material)), QString());
    replace(w->edit(tools::Q5Cell(4, tools::SurfaceTemp)), "50");
    replace(w->edit(tools::Q5Cell(4, tools::AirTemp)), "20");
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_EQ(w->cellText(tools::Q5Cell(4, tools::Radiative)), "0");
    EXPECT_EQ(w->cellText(tools::Q5Cell(4, tools::Convective)), "6.085");
}

// Every number entry of the calculators is the program's number field, and that field lets
// in only a number however the text arrives: keys, paste by shortcut and menu, a drop, an
// input method; under each window's rule for the point and the minus.
TEST_F(CalculatorTest, NumberEntriesTakeOnlyANumberHoweverTheTextArrives) {
    openDemo(kSchool);
    for (QWidget* w : std::initializer_list<QWidget*>{openQ5(), openFlameHead()}) {
        ASSERT_NE(w, nullptr);
        for (QLineEdit* e : w->findChildren<QLineEdit*>())
            if (!qobject_cast<QComboBox*>(e->parent()))
                EXPECT_NE(dynamic_cast<app::NumberField*>(e), nullptr) << e->objectName().toStdString();
        w->close();
        settle();
    }
    app::NumberField minus(app::NumberRule{.point = false, .minus = true});
    Type(&minus, QStringLiteral("1-,5a"));
    EXPECT_EQ(minus.text(), "15");
    minus.setCursorPosition(0);
    Type(&minus, QStringLiteral("--"));
    EXPECT_EQ(minus.text(), "-15");

    app::NumberField field(QStringLiteral("7"));
    QMimeData dropped;
    dropped.setText(QStringLiteral("x3,2\"5"));
    // the drop goes where the drag entered
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &drop);
    EXPECT_EQ(field.text(), "3.257");
    EXPECT_TRUE(drop.isAccepted());
    // a second point is dropped wherever it comes from
    field.selectAll();
    field.setCursorPosition(field.text().size());
    QGuiApplication::clipboard()->setText(QStringLiteral("1.5"));
    QTest::keyClick(&field, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(field.text(), "3.25715");
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("٣4 x"));
    QApplication::sendEvent(&field, &composed);
    EXPECT_EQ(field.text(), "3.257154");
    // a read-only field takes nothing
    field.setReadOnly(true);
    field.pasteNumber();
    QApplication::sendEvent(&field, &drop);
    EXPECT_EQ(field.text(), "3.257154");
}

TEST_F(CalculatorTest, TakingQ5BeforeCalculatingCalculatesFirst) {
    openDemo(kSchool);
    tools::fQ5* w = openQ5();
    ASSERT_NE(w, nullptr);
    // the surfaces of the file, but q5 never calculated (an empty cell would be taken as 0)
    w->edit(tools::kQ5PercentCell)->setText(QString());
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    const double q5 = w->cellText(tools::kQ5PercentCell).toDouble();
    EXPECT_GT(q5, 0.0);
    EXPECT_FLOAT_EQ(state.inputs[42], static_cast<float>(q5));
    EXPECT_EQ(Value(lines(state.currentRegimeFile).value(42)), Value(w->cellText(tools::kQ5PercentCell)));
}

TEST_F(CalculatorTest, Q5OfAnotherRegimeAndSurfacesTakenOverFromOne) {
    openDemo(kSchool);
    tools::fQ5* w = openQ5();
    ASSERT_NE(w, nullptr);
    ASSERT_GE(w->Combo2->count(), 3);
    const int other = (w->Combo2->currentIndex() + 1) % w->Combo2->count();
    const QString otherRegime = state.regimeList.rows[other].key;
    Pick(w->Combo2, w->Combo2->itemText(other));
    // the chosen regime is the current one in the list and the editor, its cells are loaded
    EXPECT_EQ(state.currentRegimeFile, otherRegime);
    EXPECT_EQ(selectedPosition(), other + 1);
    EXPECT_EQ(w->Combo1->currentIndex(), other);
    EXPECT_TRUE(w->Label4->text().contains(QStringLiteral("на режиме ") + QString::number(other + 1) + u','));
    EXPECT_EQ(w->q5FileName(), tools::Q5FileName(otherRegime));
    QStringList stored;
    ASSERT_TRUE(tools::ReadQ5File(state.currentObjectFolder, tools::Q5FileName(otherRegime), stored));
    EXPECT_EQ(w->cellTexts(), stored);

    // the surfaces of a third regime as the starting point: "Рассчитать" writes the chosen one's file
    const int third = (other + 1) % w->Combo1->count();
    const QString thirdFile = tools::Q5FileName(state.regimeList.rows[third].key);
    const QByteArray thirdBefore = ReadBytes(file(thirdFile));
    Pick(w->Combo1, w->Combo1->itemText(third));
    QStringList thirdCells;
    ASSERT_TRUE(tools::ReadQ5File(state.currentObjectFolder, thirdFile, thirdCells));
    EXPECT_EQ(w->cellText(0), thirdCells[0]);
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_EQ(ReadBytes(file(thirdFile)), thirdBefore);
    QStringList written;
    ASSERT_TRUE(tools::ReadQ5File(state.currentObjectFolder, tools::Q5FileName(otherRegime), written));
    EXPECT_EQ(written, w->cellTexts());
}

TEST_F(CalculatorTest, Q5RefusesARegimeGoneFromDiskAndAFullDisk) {
    openDemo(kSchool);
    tools::fQ5* w = openQ5();
    ASSERT_NE(w, nullptr);
    const int other = (w->Combo2->currentIndex() + 1) % w->Combo2->count();
    const QString gone = state.regimeList.rows[other].key;
    ASSERT_TRUE(QFile::remove(file(gone)));
    Pick(w->Combo2, w->Combo2->itemText(other));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Ошибка пути или чтения файла")));
    EXPECT_TRUE(dialogs.messages()[0].contains(gone));

    // back on a readable regime, a disk that takes nothing: the regime is not saved and not calculated
    const int first = (other + 1) % w->Combo2->count();
    Pick(w->Combo2, w->Combo2->itemText(first));
    const QString regimeFile = state.currentRegimeFile;
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    const QByteArray regimeBefore = ReadBytes(file(regimeFile));
    const QByteArray resultsBefore = ReadBytes(file(state.currentResultsFile));
    dialogs.shown.clear();
    {
        testing_support::FileSizeLimit full(0);
        w->edit(65)->setText("4.5");
        QTest::mouseClick(w->Command1, Qt::LeftButton);
    }
    // "Принять q5" calculates first: the surfaces cannot be stored, so nothing is taken
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0], QStringLiteral("Ошибка записи файла ") + w->q5FileName());
    EXPECT_EQ(ReadBytes(file(regimeFile)), regimeBefore);
    EXPECT_EQ(ReadBytes(file(state.currentResultsFile)), resultsBefore);
}

// ---------------------------------------------------------------- preliminary experiments

TEST_F(CalculatorTest, ExperimentsOpenFromTheRegimeListWithTheMainRegime) {
    openDemo(kSchool);
    QAction* a = regimes()->Toolbar1->actions().value(0);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(regimes()->Toolbar1->isVisible());
    EXPECT_EQ(a->text(), QStringLiteral(" Опыты"));
    EXPECT_EQ(a->toolTip(), QStringLiteral("Создать прикидочные опыты"));
    tools::Pricid* w = openExperiments();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(w->windowTitle().startsWith(QStringLiteral("Прикидочные опыты. Нагрузка   ")));
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" %")));
    EXPECT_NEAR(Value(w->windowTitle().mid(QStringLiteral("Прикидочные опыты. Нагрузка  ").size()).trimmed()), state.results[0],
                0.01);
    EXPECT_EQ(w->Frame1->title(), QStringLiteral("Воздух"));
    EXPECT_EQ(w->Frame2->title(), QStringLiteral("Продукты сгорания"));
    EXPECT_EQ(w->Frame3->title(), QStringLiteral("Баланс"));
    const QStringList shown = labels(w);
    for (const char* t : {"Давление на горелке ", "Угол   заслонки", "Положение сервопривода", "Окись углерода СО",
                          "Двуок.углерода СО2", "Кислород            О2 ", "Температура     Тух.г.",
                          "Коэфф.изб.воздуха", "Потери с уход. газами", "Потери от хим.недожега",
                          "КПД \"брутто\" котла", "Уд. расход условн. топлива", "Основной опыт"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(t))) << t;
    EXPECT_EQ(w->Label3->text(),
              QStringLiteral("Редактируйте поля по СО, О2 и Тух.г.      Поля СО2 и поля баланса обновляются "
                             "автоматически.       Отмеченный опыт сохранится как основной в редакторе режимов."));
    // natural gas: the load line names the gas flow and pressure with the editor's unit
    EXPECT_TRUE(w->Label2->text().startsWith(QStringLiteral("Нагрузка от номинальной ")));
    EXPECT_TRUE(w->Label2->text().contains(QStringLiteral("%,  Расход газа ")));
    EXPECT_TRUE(w->Label2->text().endsWith(editor()->L[5]->text()));
    EXPECT_EQ(w->Command3->text(), QStringLiteral("Закрыть"));
    EXPECT_EQ(w->Command2->text(), QStringLiteral("Создать таблицу"));
    EXPECT_TRUE(w->Option1[1]->isChecked());

    // the main experiment is the current regime; the others follow from it by their offsets
    const auto& in = state.inputs;
    EXPECT_FLOAT_EQ(Value(w->T[12]->text()), in[19]);
    EXPECT_FLOAT_EQ(Value(w->T[13]->text()), in[21]);
    EXPECT_FLOAT_EQ(Value(w->T[14]->text()), in[32]);
    EXPECT_FLOAT_EQ(Value(w->T[15]->text()), in[11]);
    EXPECT_FLOAT_EQ(Value(w->T[16]->text()), in[12]);  // measured CO2, not the one from O2
    EXPECT_FLOAT_EQ(Value(w->T[17]->text()), in[13]);
    EXPECT_FLOAT_EQ(Value(w->T[18]->text()), in[17]);
    const double offsets[4][7] = {{-5, -2, 0, 10, 0, -0.2, -8}, {}, {5, 2, 0, 0, 0, 0.2, 9}, {10, 3, 0, 0, 0, 0.5, 12}};
    for (int k : {0, 2, 3})
        for (int c : {0, 1, 2, 3, 5, 6})
            EXPECT_NEAR(Value(w->T[12 * k + c]->text()), Value(w->T[12 + c]->text()) + offsets[k][c], 1e-4)
                << "experiment " << k << " row " << c;
    for (int i = 0; i < 48; ++i) EXPECT_FALSE(w->T[i]->text().contains(u',')) << i;
    // every experiment has its balance
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(Value(w->T[12 * k + 10]->text()), 50) << k;
        EXPECT_LT(Value(w->T[12 * k + 10]->text()), 100) << k;
    }
}

TEST_F(CalculatorTest, ExperimentEditsRecomputeAndOneIsTakenIntoTheEditorWithoutCalculation) {
    openDemo(kSchool);
    tools::Pricid* w = openExperiments();
    ASSERT_NE(w, nullptr);
    const double co2Max = Value(state.general.value(11));
    // O2 of experiment 3 typed with a comma: its CO2 follows, the balance moves
    const QString before = w->T[36 + 10]->text();
    replace(w->T[36 + 5], "4,5");
    EXPECT_EQ(w->T[36 + 5]->text(), "4.5");
    EXPECT_NEAR(Value(w->T[36 + 4]->text()), std::round((21 - 4.5) * co2Max / 21 * 10) / 10, 1e-6);
    EXPECT_NE(w->T[36 + 10]->text(), before);
    // a zero CO2 suppresses the whole balance
    QStringList balance;
    for (int k = 0; k < 4; ++k)
        for (int c = 7; c <= 11; ++c) balance.append(w->T[12 * k + c]->text());
    replace(w->T[4], "0");
    replace(w->T[15], "80");
    QStringList after;
    for (int k = 0; k < 4; ++k)
        for (int c = 7; c <= 11; ++c) after.append(w->T[12 * k + c]->text());
    EXPECT_EQ(after, balance);
    replace(w->T[5], "3");  // O2 gives experiment 1 its CO2 again
    EXPECT_NEAR(Value(w->T[4]->text()), std::round((21 - 3.0) * co2Max / 21 * 10) / 10, 1e-6);

    // experiment 3 into the regime: the editor fields, the regime file, and the results
    // that these inputs give, stored and shown at once
    const QString regimeFile = state.currentRegimeFile;
    const QByteArray resultsBefore = ReadBytes(file(state.currentResultsFile));
    const QByteArray regimeBefore = ReadBytes(file(regimeFile));
    QTest::mouseClick(w->Option1[3], Qt::LeftButton);
    EXPECT_TRUE(w->Option1[3]->isChecked());
    const QList<QPair<int, int>> taken = {{19, 0}, {21, 1}, {32, 2}, {11, 3}, {12, 4}, {13, 5}, {17, 6}};
    const QStringList stored = lines(regimeFile);
    for (const auto& [field, c] : taken) {
        EXPECT_EQ(editor()->T[field]->text(), w->T[36 + c]->text()) << field;
        EXPECT_FLOAT_EQ(static_cast<float>(Value(stored.value(field))), static_cast<float>(Value(w->T[36 + c]->text())))
            << field;
    }
    EXPECT_NE(ReadBytes(file(regimeFile)), regimeBefore);
    EXPECT_NE(ReadBytes(file(state.currentResultsFile)), resultsBefore);
    {
        app::AppState check = state;
        ASSERT_TRUE(regime::LoadRegimeInputs(check));
        ASSERT_TRUE(regime::LoadRegimeResults(check));
        const std::array<float, 26> stored = check.results;
        engine::CalculateRegime(check.calcInputs(), check.steam, check.results);
        // what is stored is what the taken inputs give
        for (int slot : {0, 4, 5, 9}) EXPECT_NEAR(stored[slot], check.results[slot], 0.01) << slot;
        const int row = state.regimeList.find(state.currentRegimeFile);
        ASSERT_GE(row, 0);
        EXPECT_EQ(state.regimeList.rows[row].load, core::StoredForm(stored[0]));
    }
    EXPECT_TRUE(dialogs.notices.isEmpty());
    // the taken column is light yellow, the others plain
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(w->T[i]->styleSheet().contains(QStringLiteral("rgb(255, 255, 192)")), i / 12 == 3) << i;
    QTest::mouseClick(w->Option1[0], Qt::LeftButton);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(w->T[i]->styleSheet().contains(QStringLiteral("rgb(255, 255, 192)")), i / 12 == 0) << i;
    EXPECT_EQ(editor()->T[19]->text(), w->T[0]->text());

    QTest::mouseClick(w->Command3, Qt::LeftButton);
    settle();
    EXPECT_EQ(experiments(), nullptr);
}

TEST_F(CalculatorTest, ExperimentOfARegimeThatCannotBeSavedIsRefused) {
    openDemo(kSchool);
    tools::Pricid* w = openExperiments();
    ASSERT_NE(w, nullptr);
    const QString regimeFile = state.currentRegimeFile;
    const QByteArray regimeBefore = ReadBytes(file(regimeFile));
    {
        testing_support::FileSizeLimit full(0);
        QTest::mouseClick(w->Option1[2], Qt::LeftButton);
    }
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0], QStringLiteral("Ошибка записи файла. Режим не сохранен: ") + regimeFile);
    EXPECT_EQ(ReadBytes(file(regimeFile)), regimeBefore);
    for (int i = 0; i < 48; ++i) EXPECT_FALSE(w->T[i]->styleSheet().contains(QStringLiteral("255, 255, 192"))) << i;
}

// ---------------------------------------------------------------- flame head

TEST_F(CalculatorTest, FlameHeadOpensFromTheMenuWithTheObjectsRatingPlate) {
    openDemo(kSchool);
    EXPECT_EQ(frame().U->text(), QStringLiteral("Установка пламенной головы ..."));
    EXPECT_EQ(frame().U->shortcut(), QKeySequence(Qt::Key_F4));
    ASSERT_TRUE(frame().U->isEnabled());
    tools::PlgContents contents;
    ASSERT_TRUE(tools::ReadPlg(state.currentObjectFolder, contents));
    ASSERT_TRUE(contents.exists && contents.complete);
    const QStringList plg = contents.values;
    tools::fPlG* w = openFlameHead();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Установка пламенной головы горелки Weishaupt"));
    for (QLineEdit* e : {w->e1, w->e2, w->TQ1, w->TQ2}) EXPECT_EQ(e->toolTip(), QStringLiteral("Паспортные данные горелки"));
    EXPECT_EQ(w->Slider1->toolTip(), QStringLiteral("Изменеие параметра -е-  и  номин.производительности горелки"));
    const QStringList shown = labels(w);
    for (const char* t : {"Параметр  -е-  пламенной головы, min", "max", "Производительность горелки",
                          "Производительность горелки =", "и  КПД котла,% =", "Котла =", "При", "Открыта", "Закрыта"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(t))) << t;
    EXPECT_EQ(w->e1->text(), plg[0]);
    EXPECT_EQ(w->e2->text(), plg[1]);
    EXPECT_EQ(w->TQ1->text(), plg[2]);
    EXPECT_EQ(w->TQ2->text(), plg[3]);
    EXPECT_EQ(w->Text1->text(), "90");
    ASSERT_TRUE(w->Slider1->isEnabled());
    EXPECT_EQ(w->Slider1->minimum(), qRound(Value(plg[0])));
    EXPECT_EQ(w->Slider1->maximum(), qRound(Value(plg[1])));
    // the outputs at the slider's setting are there on opening, not after the first move
    EXPECT_EQ(w->Label4[0]->text(), QStringLiteral("e=") + QString::number(w->Slider1->value()));
    EXPECT_EQ(w->Lg->text(), w->Lt->text());
    EXPECT_GT(Value(w->Lk->text()), 0.0);
    EXPECT_TRUE(w->Problem->isHidden());
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(CalculatorTest, FlameHeadSliderMovesTheOutputsAndTheFileIsWrittenOnClose) {
    openDemo(kSchool);
    tools::fPlG* w = openFlameHead();
    ASSERT_NE(w, nullptr);
    replace(w->e1, "10");
    replace(w->e2, "30");
    replace(w->TQ1, "500");
    replace(w->TQ2, "1000");
    EXPECT_EQ(w->Lmin->text(), "500");
    EXPECT_EQ(w->Lmax->text(), "1000");
    ASSERT_TRUE(w->Slider1->isEnabled());
    EXPECT_EQ(w->Slider1->minimum(), 10);
    EXPECT_EQ(w->Slider1->maximum(), 30);
    w->Slider1->setFocus();
    QTest::keyClick(w->Slider1, Qt::Key_Home);
    EXPECT_EQ(w->Lt->text(), "500");
    EXPECT_EQ(w->Lk->text(), "450");
    // the slider moved by the keyboard to 20
    for (int i = 0; i < 10; ++i) QTest::keyClick(w->Slider1, Qt::Key_Right);
    ASSERT_EQ(w->Slider1->value(), 20);
    EXPECT_EQ(w->Label4[0]->text(), "e=20");
    EXPECT_EQ(w->Label4[1]->text(), "e=20");
    EXPECT_EQ(w->Lt->text(), "750");
    EXPECT_EQ(w->Lg->text(), "750");
    EXPECT_EQ(w->Lk->text(), "675");
    EXPECT_EQ(w->model().L1, tools::MarkerL0().shifted(1020));
    EXPECT_TRUE(w->Lt->isVisible());
    // the boiler's output follows the efficiency at once
    replace(w->Text1, "80");
    EXPECT_EQ(w->Lk->text(), "600");
    QTest::keyClick(w->Slider1, Qt::Key_Right);
    EXPECT_EQ(w->Label4[0]->text(), "e=21");
    EXPECT_EQ(w->Lt->text(), "775");
    EXPECT_EQ(w->Lk->text(), "620");

    // falling output: the indicator counts from the larger output's marker leftwards, at
    // the slider's setting as soon as the outputs are typed
    replace(w->TQ1, "1000");
    replace(w->TQ2, "500");
    EXPECT_EQ(w->Lmin->text(), "500");
    EXPECT_EQ(w->Lmax->text(), "1000");
    EXPECT_EQ(w->Lt->text(), "725");
    EXPECT_EQ(w->model().L1, tools::MarkerL2().shifted(-1122));
    QTest::keyClick(w->Slider1, Qt::Key_Left);
    EXPECT_EQ(w->Lt->text(), "750");
    EXPECT_EQ(w->model().L1, tools::MarkerL2().shifted(-1020));

    // a minimum above the maximum disables the slider, clears the outputs and says so
    replace(w->e2, "8");
    EXPECT_FALSE(w->Slider1->isEnabled());
    EXPECT_TRUE(w->Lg->text().isEmpty());
    EXPECT_TRUE(w->Lk->text().isEmpty());
    EXPECT_FALSE(w->Problem->isHidden());
    EXPECT_EQ(w->Problem->text(),
              QStringLiteral("Минимум параметра -е- (10) больше максимума (8): проверьте паспортные данные горелки."));

    w->close();
    settle();
    EXPECT_EQ(flameHead(), nullptr);
    EXPECT_EQ(ReadBytes(file(tools::kPlgFile)), QByteArray("\"10\"\r\n\"8\"\r\n\"1000\"\r\n\"500\"\r\n"));
}

TEST_F(CalculatorTest, FlameHeadWithoutOrWithAnIncompleteFile) {
    openDemo(kSchool);
    ASSERT_TRUE(QFile::remove(file(tools::kPlgFile)));
    tools::fPlG* w = openFlameHead();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(w->e1->text(), "");
    EXPECT_EQ(w->e2->text(), " ");
    EXPECT_FALSE(w->Slider1->isEnabled());
    EXPECT_TRUE(w->Problem->text().startsWith(QStringLiteral("Введите min и max")));
    w->close();
    settle();
    EXPECT_EQ(ReadBytes(file(tools::kPlgFile)), QByteArray("\"\"\r\n\" \"\r\n\" \"\r\n\" \"\r\n"));

    // two lines, the second no number: the window opens with what it has, kept as typed,
    // and says the file is short
    WriteBytes(file(tools::kPlgFile), "\"11\"\r\n\"abc\"\r\n");
    w = openFlameHead();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Файл PLG.txt неполный")));
    EXPECT_EQ(w->e1->text(), "11");
    EXPECT_EQ(w->e2->text(), "abc");
    EXPECT_FALSE(w->Slider1->isEnabled());
    w->close();
    settle();
    EXPECT_EQ(ReadBytes(file(tools::kPlgFile)), QByteArray("\"11\"\r\n\"abc\"\r\n\" \"\r\n\" \"\r\n"));

    // a damaged file (NUL bytes) is said so and left as it was when nothing was typed; typed
    // values replace it only after a question that names the damage
    const QByteArray damaged("\"12\"\r\n\0\0\0\r\n", 11);
    WriteBytes(file(tools::kPlgFile), damaged);
    dialogs.shown.clear();
    w = openFlameHead();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(dialogs.messages().contains(QStringLiteral("Ошибка чтения файла PLG.txt")));
    w->close();
    settle();
    EXPECT_EQ(ReadBytes(file(tools::kPlgFile)), damaged);
    EXPECT_EQ(dialogs.count("question"), 0);
    for (const app::Answer answer : {app::Answer::No, app::Answer::Yes}) {
        dialogs.shown.clear();
        dialogs.answers = {answer};
        w = openFlameHead();
        ASSERT_NE(w, nullptr);
        replace(w->e1, QStringLiteral("15"));
        w->close();
        settle();
        ASSERT_EQ(dialogs.count("question"), 1);
        EXPECT_TRUE(dialogs.shown.last().text.contains(QStringLiteral("Файл PLG.txt был поврежден")));
        if (answer == app::Answer::No) EXPECT_EQ(ReadBytes(file(tools::kPlgFile)), damaged);
        else EXPECT_TRUE(ReadBytes(file(tools::kPlgFile)).startsWith("\"15\"\r\n"));
    }
}

}  // namespace
}  // namespace frame_testing
