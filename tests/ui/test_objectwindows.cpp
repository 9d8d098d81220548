// The new-object window and the general data window: layout rules, keyboard rules, picking
// rules, the five checks of "Ввод", the creation sequence, and saving.

#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

#include "core/numbers.h"
#include "docs/ui/nastr.h"
#include "object/generaldata.h"
#include "object/ui/od.h"
#include "object/units.h"
#include "regime/calculation.h"
#include "regime/editorlayout.h"
#include "regime/regimestore.h"
#include "regime/ui/regim.h"
#include "shell/placement.h"
#include "store/ui/newot.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using object::GeneralDataForm;
using testing_support::HotWaterGasGeneral;
using testing_support::ReadBytes;
namespace gd = object;

// The list editor opened with F5 (employees) or F6 (sensors), as the frame opens it.
docs::Nastr* OpenReferenceList(shell::MDIForm1& frame, bool employees) {
    (employees ? frame.Sotr : frame.Dbez)->trigger();
    return qobject_cast<docs::Nastr*>(frame.referenceListWindow.data());
}

class NewObjectTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        frame().n->trigger();
        form = frame().findChild<store::NewOt*>();
        ASSERT_NE(form, nullptr);
    }
    QComboBox* cod(int k) { return form->COD[k]; }
    void press(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // One warning message with this title and text, then forget it.
    void expectWarning(const char* title, const char* text) {
        ASSERT_EQ(dialogs.count(QStringLiteral("message")), 1) << text;
        EXPECT_EQ(dialogs.shown[0].title, QString::fromUtf8(title));
        EXPECT_EQ(dialogs.shown[0].text, QString::fromUtf8(text));
        EXPECT_EQ(dialogs.shown[0].icon, app::Icon::Warning);
        dialogs.shown.clear();
    }
    store::NewOt* form = nullptr;
};

TEST_F(NewObjectTest, OpensEmptyOnPageOneWithEnterOffUntilPageTwoIsSeen) {
    EXPECT_EQ(form->page(), 1);
    EXPECT_FALSE(form->Command4->isEnabled());
    EXPECT_FALSE(form->Command2->isEnabled());
    EXPECT_TRUE(form->Command1->isEnabled());
    EXPECT_TRUE(form->Command3->isEnabled());
    EXPECT_EQ(form->Command4->text(), QStringLiteral("Ввод"));
    EXPECT_EQ(form->Command3->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(form->Command1->text(), QStringLiteral("Горелка / топливо >>"));
    EXPECT_EQ(form->Command2->text(), QStringLiteral("<< Установка"));
    for (int k = 0; k < gd::kGeneralCount; ++k) EXPECT_TRUE(cod(k)->currentText().isEmpty()) << k;
    EXPECT_EQ(form->Caption7->text(), QStringLiteral("Наименование  объекта"));
    EXPECT_EQ(form->Caption13->text(), QStringLiteral("Станционный №"));
    EXPECT_EQ(cod(gd::BoilerType)->toolTip(), QStringLiteral("Обязательно внести значение до нажатия на кнопку ввод"));
    EXPECT_EQ(cod(gd::FuelType)->toolTip(), QStringLiteral("Обязательно внести значение до нажатия на кнопку <ввод>"));
    EXPECT_EQ(cod(gd::SteamOutputUnit)->toolTip(), QStringLiteral("Ед. измерения мощности"));
    EXPECT_EQ(cod(gd::HeatOutputUnit)->toolTip(), QStringLiteral("Ед. измерения мощности"));
    EXPECT_EQ(cod(gd::Performer)->count(), 3);  // the template's employees
    EXPECT_FALSE(form->Image1->pixmap().isNull());
    // the frame offers neither Create nor Open meanwhile
    EXPECT_FALSE(frame().n->isEnabled());
    EXPECT_FALSE(frame().O->isEnabled());

    press(form->Command1);
    EXPECT_EQ(form->page(), 2);
    EXPECT_TRUE(form->Command4->isEnabled());
    EXPECT_TRUE(form->Command2->isEnabled());
    press(form->Command2);
    EXPECT_EQ(form->page(), 1);
    EXPECT_TRUE(form->Command4->isEnabled());
}

TEST_F(NewObjectTest, CancelWritesNothingAndReturnsToIdle) {
    Type(cod(gd::ObjectName), QStringLiteral("Новый"));
    press(form->Command3);
    settle();
    EXPECT_EQ(frame().findChild<store::NewOt*>(), nullptr);
    EXPECT_TRUE(QDir(home.objects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    expectIdle();
}

// The required entries of page 1 make "Ввод" available without a visit to page 2, whose
// missing fuel the check then names; Escape cancels as "Отмена" does, asking first when
// anything was typed.
TEST_F(NewObjectTest, EnterComesWithTheRequiredEntriesAndEscapeCancels) {
    Type(cod(gd::ObjectName), QStringLiteral("Новый"));
    EXPECT_FALSE(form->Command4->isEnabled());
    Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
    EXPECT_TRUE(form->Command4->isEnabled());
    EXPECT_EQ(form->page(), 1);
    EXPECT_FALSE(form->NewOt_Command4_Click());
    EXPECT_EQ(dialogs.count(QStringLiteral("message")), 1);
    EXPECT_TRUE(QDir(home.objects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // "Нет" keeps the form and what was typed
    dialogs.shown.clear();
    QTest::keyClick(cod(gd::ObjectName), Qt::Key_Escape);
    settle();
    ASSERT_EQ(dialogs.count(QStringLiteral("question")), 1);
    ASSERT_EQ(frame().findChild<store::NewOt*>(), form);
    EXPECT_EQ(cod(gd::ObjectName)->currentText(), QStringLiteral("Новый"));
    dialogs.answers = {app::Answer::Yes};
    QTest::keyClick(cod(gd::ObjectName), Qt::Key_Escape);
    settle();
    EXPECT_EQ(dialogs.count(QStringLiteral("question")), 2);
    EXPECT_EQ(frame().findChild<store::NewOt*>(), nullptr);
    expectIdle();

    // a form with nothing typed closes at once
    frame().n->trigger();
    form = frame().findChild<store::NewOt*>();
    ASSERT_NE(form, nullptr);
    QTest::keyClick(cod(gd::ObjectName), Qt::Key_Escape);
    settle();
    EXPECT_EQ(dialogs.count(QStringLiteral("question")), 2);
    EXPECT_EQ(frame().findChild<store::NewOt*>(), nullptr);
}

// General data no fuel can have are refused with the entry and its range named: in the new
// form on "Ввод", in the general data window when the entry is left; a stored one fails the
// data check of the regimes in the same words.
TEST_F(NewObjectTest, ImpossibleGeneralDataAreRefusedWithTheirRange) {
    Type(cod(gd::ObjectName), QStringLiteral("Газовая"));
    Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
    Pick(cod(gd::Economiser), gd::kWithoutEconomiser);
    Type(cod(gd::NominalOutput), QStringLiteral("1200"));
    press(form->Command1);
    Pick(cod(gd::FuelType), gd::kNaturalGas);
    // a letter O typed for a zero is dropped by the key rule: 812
    cod(gd::CalorificValue)->setEditText(QString());
    Type(cod(gd::CalorificValue), QStringLiteral("812O"));
    ASSERT_EQ(cod(gd::CalorificValue)->currentText(), QStringLiteral("812"));
    press(form->Command2);  // back to page 1
    EXPECT_FALSE(form->NewOt_Command4_Click());
    ASSERT_EQ(dialogs.messages().size(), 1);
    const QString refusal = dialogs.messages()[0];
    for (const QString& part : {QStringLiteral("Теплота сгорания топлива"), QStringLiteral("812"),
                                QStringLiteral("от 7000 до 9500 ккал/ст.м3"), gd::kNaturalGas})
        EXPECT_TRUE(refusal.contains(part)) << refusal.toStdString();
    EXPECT_EQ(form->page(), 2);
    EXPECT_TRUE(form->focusWidget() == cod(gd::CalorificValue) ||
                form->focusWidget() == cod(gd::CalorificValue)->lineEdit());
    EXPECT_TRUE(QDir(home.objects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    // own needs above 10 %
    cod(gd::CalorificValue)->setEditText(QStringLiteral("8120"));
    cod(gd::OwnNeedsLoss)->setEditText(QStringLiteral("12"));
    dialogs.shown.clear();
    EXPECT_FALSE(form->NewOt_Command4_Click());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains(QStringLiteral("от 0 до 10 %"))) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(form->page(), 1);
    cod(gd::OwnNeedsLoss)->setEditText(QStringLiteral("1"));
    ASSERT_TRUE(form->NewOt_Command4_Click());
    settle();

    // the general data window: the entry left with 812 comes back to the saved value
    auto* od = wb->window<object::OD>(app::WindowKind::OD);
    ASSERT_NE(od, nullptr);
    wb->showTab(0);
    dialogs.shown.clear();
    QComboBox* heat = od->COD[gd::CalorificValue];
    heat->setFocus();
    heat->setEditText(QString());
    Type(heat, QStringLiteral("812"));
    od->COD[gd::BurnerType]->setFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(heat, &out);
    ASSERT_GE(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(refusal)) << dialogs.messages()[0].toStdString();
    EXPECT_EQ(heat->currentText(), QStringLiteral("8120"));
    EXPECT_EQ(state.general[gd::CalorificValue], QStringLiteral("8120"));
    QStringList g;
    ASSERT_TRUE(gd::ReadGeneralData(objectFolder(QStringLiteral("Газовая")), g));
    EXPECT_EQ(g[gd::CalorificValue], QStringLiteral("8120"));

    // stored by another program: the regime's check fails in the same words
    app::AppState s = state.privateCopy();
    s.general[gd::CalorificValue] = QStringLiteral("812");
    EXPECT_EQ(regime::CheckRegime(s), refusal);
}

TEST_F(NewObjectTest, TheFiveChecksOfEnterComeInOrder) {
    home.makeObject(QStringLiteral("Есть"));
    press(form->Command1);

    press(form->Command4);
    expectWarning("Ощибка ввода данных", "Введите имя объекта.");
    EXPECT_EQ(state.currentObjectName, QString());

    // a taken name is reported even though entries 1, 5 and 15 are empty
    Type(cod(gd::ObjectName), QStringLiteral(" есть "));
    press(form->Command4);
    expectWarning("Ощибка ввода данных", "Объект с такаим именем уже существует.Назначте объекту другое имя.");

    cod(gd::ObjectName)->setEditText(QStringLiteral("Новый"));
    press(form->Command4);
    expectWarning("Недостаточно данных", "Введите статус установки.");
    EXPECT_EQ(form->page(), 1);
    EXPECT_EQ(state.currentObjectName, QStringLiteral("Новый"));

    Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
    press(form->Command4);
    expectWarning("Недостаточно данных", "Введите вид топлива.");
    EXPECT_EQ(form->page(), 2);

    Pick(cod(gd::FuelType), gd::kNaturalGas);
    press(form->Command4);
    expectWarning("Недостаточно данных", "Введите информацию о хвостовых поверхнстях.");
    EXPECT_EQ(form->page(), 1);

    EXPECT_FALSE(QFileInfo::exists(objectFolder(QStringLiteral("Новый"))));
}

TEST_F(NewObjectTest, EnterCreatesTheObjectAndOpensIt) {
    Type(cod(gd::ObjectName), QStringLiteral("  Школа №5"));
    Pick(cod(gd::BoilerType), gd::kSteamBoiler);
    Pick(cod(gd::SteamOutputUnit), QStringLiteral("т/час"));
    Type(cod(gd::NominalOutput), QStringLiteral("2,5"));
    Pick(cod(gd::Economiser), gd::kWithEconomiser);
    press(form->Command1);
    Pick(cod(gd::FuelType), gd::kDiesel);
    Pick(cod(gd::Performer), QStringLiteral("Сидоров И.П."));
    ASSERT_TRUE(form->NewOt_Command4_Click());
    settle();

    // the folder is named without the blanks; entry 7 keeps them
    const QString folder = objectFolder(QStringLiteral("Школа №5"));
    QStringList g;
    ASSERT_TRUE(gd::ReadGeneralData(folder, g));
    EXPECT_EQ(g[gd::ObjectName], QStringLiteral("  Школа №5"));
    EXPECT_EQ(g[gd::NominalOutput], QStringLiteral("2.5"));
    EXPECT_EQ(g[gd::CalorificValue], QStringLiteral("10180"));
    EXPECT_EQ(g[gd::Performer], QStringLiteral("Сидоров И.П."));
    EXPECT_EQ(state.general, g);
    EXPECT_EQ(ReadBytes(core::JoinPath(folder, QStringLiteral("Ediny.txt"))),
              ReadBytes(core::JoinPath(home.templ(), QStringLiteral("Ediny.txt"))));
    int last = -1, count = -1;
    ASSERT_TRUE(regime::ReadCounter(folder, regime::kLastNumberFile, last));
    ASSERT_TRUE(regime::ReadCounter(folder, regime::kCountFile, count));
    EXPECT_EQ(last, 1);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(QFileInfo::exists(core::JoinPath(folder, regime::RegimeFileName(1))));

    // the object is open
    EXPECT_EQ(frame().findChild<store::NewOt*>(), nullptr);
    EXPECT_TRUE(wb->objectOpen());
    EXPECT_EQ(state.currentObjectName, QStringLiteral("Школа №5"));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro   Школа №5"));
    EXPECT_EQ(frame().closeButton()->text(), QStringLiteral(" Закрыть текущий объект "));
    EXPECT_TRUE(frame().closeButton()->isEnabled());
    EXPECT_TRUE(frame().TabStrip1->isEnabled());
    EXPECT_FALSE(objectCommandsEnabled());
    EXPECT_FALSE(frame().n->isEnabled());
    EXPECT_TRUE(frame().U->isEnabled());
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(folder).canonicalPath());
    EXPECT_NE(wb->window(app::WindowKind::OD), nullptr);
    // the first regime is typed in at once: the keyboard is in the editor's first field
    auto* editor = wb->window<regime::Regim>(app::WindowKind::Regim);
    ASSERT_NE(editor, nullptr);
    const QList<int> order = regime::TabOrder(regime::VisibilityFor(g));
    const auto first =
        std::find_if(order.begin(), order.end(), [&](int k) { return editor->T[k]->isVisibleTo(editor); });
    ASSERT_NE(first, order.end());
    EXPECT_EQ(editor->focusWidget(), editor->T[*first]);
    EXPECT_EQ(*first, 7);  // a diesel boiler starts at the liquid fuel's flow
    // and closes as any other object
    frame().closeButton()->trigger();
    expectIdle();
}

TEST_F(NewObjectTest, ATemplateWithoutReadableUnitsGivesTheBuiltInOnesAndSaysSo) {
    const QString templateUnits = core::JoinPath(home.templ(), QStringLiteral("Ediny.txt"));
    QStringList builtIn = object::DefaultUnits();
    object::ApplyUnitFollowers(builtIn);
    int n = 0;
    for (const QByteArray& broken : {QByteArray(), QByteArray("\"ppm\"\r\n\"bar\"\r\n")}) {
        if (broken.isEmpty()) ASSERT_TRUE(QFile::remove(templateUnits));
        else testing_support::WriteBytes(templateUnits, broken);
        if (n > 0) {
            frame().closeButton()->trigger();
            frame().n->trigger();
            form = frame().findChild<store::NewOt*>();
            ASSERT_NE(form, nullptr);
        }
        const QString name = QStringLiteral("Котел ") + QString::number(++n);
        Type(cod(gd::ObjectName), name);
        Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
        Pick(cod(gd::Economiser), gd::kWithoutEconomiser);
        press(form->Command1);
        Pick(cod(gd::FuelType), gd::kNaturalGas);
        dialogs.shown.clear();
        ASSERT_TRUE(form->NewOt_Command4_Click());
        settle();
        EXPECT_TRUE(wb->objectOpen());
        ASSERT_EQ(dialogs.messages().size(), 1) << n;
        EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Файл единиц измерения шаблона Ediny.txt не прочитан")))
            << dialogs.messages()[0].toStdString();
        EXPECT_TRUE(dialogs.messages()[0].endsWith(
            QStringLiteral("Объекту назначены единицы измерения программы по умолчанию.")));
        EXPECT_EQ(dialogs.shown[0].icon, app::Icon::Warning);
        QStringList units;
        ASSERT_TRUE(object::ReadUnits(objectFolder(name), units));
        EXPECT_EQ(units, builtIn);
        EXPECT_EQ(state.units.mid(0, builtIn.size()), builtIn);
    }
}

TEST_F(NewObjectTest, TheTemplatesUnitsAreTakenWithoutAWord) {
    Type(cod(gd::ObjectName), QStringLiteral("Котел"));
    Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
    Pick(cod(gd::Economiser), gd::kWithoutEconomiser);
    press(form->Command1);
    Pick(cod(gd::FuelType), gd::kNaturalGas);
    ASSERT_TRUE(form->NewOt_Command4_Click());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(ReadBytes(core::JoinPath(objectFolder(QStringLiteral("Котел")), QStringLiteral("Ediny.txt"))),
              ReadBytes(core::JoinPath(home.templ(), QStringLiteral("Ediny.txt"))));
}

TEST_F(NewObjectTest, AFolderThatCannotBeMadeIsReportedAndNothingStays) {
    const QString longName = QString(140, QChar(0x0416));  // 280 bytes: too long for a folder name
    cod(gd::ObjectName)->setEditText(longName);
    Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
    Pick(cod(gd::Economiser), gd::kWithoutEconomiser);
    press(form->Command1);
    Pick(cod(gd::FuelType), gd::kNaturalGas);
    EXPECT_FALSE(form->NewOt_Command4_Click());
    ASSERT_EQ(dialogs.count(QStringLiteral("message")), 1);
    // with the system's reason
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(QStringLiteral("Папка объекта '") + longName +
                                                 QStringLiteral("' не может быть создана.\n\n")))
        << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(dialogs.shown[0].text.endsWith(QStringLiteral("слишком длинное имя")));
    EXPECT_EQ(dialogs.shown[0].icon, app::Icon::Warning);
    EXPECT_TRUE(QDir(home.objects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_NE(frame().findChild<store::NewOt*>(), nullptr);
    EXPECT_FALSE(wb->objectOpen());
}

TEST_F(NewObjectTest, PickingAFuelFillsItsDefaultsOverWhatWasTyped) {
    press(form->Command1);
    Type(cod(gd::CalorificValue), QStringLiteral("1234"));
    Pick(cod(gd::FuelType), gd::kFuelOil);
    EXPECT_EQ(cod(gd::CalorificValue)->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(cod(gd::FuelDensity)->currentText(), QStringLiteral("0.9"));
    EXPECT_EQ(cod(gd::Co2Max)->currentText(), QStringLiteral("15.9"));
    EXPECT_EQ(form->TOD[10]->text(), QStringLiteral("ккал/кг"));
    EXPECT_EQ(form->TOD[11]->text(), QStringLiteral("т/м3"));
    EXPECT_EQ(form->TOD[12]->text(), QStringLiteral("%"));
    const struct {
        const QString& fuel;
        const char *cal, *den, *co2, *unit;
    } rows[] = {{gd::kNaturalGas, "8000", "0.67", "11.8", "ккал/ст.м3"},
                {gd::kPropane, "22500", "2.1", "13.9", "ккал/ст.м3"},
                {gd::kDiesel, "10180", "0.9", "15.9", "ккал/кг"}};
    for (const auto& r : rows) {
        Pick(cod(gd::FuelType), r.fuel);
        EXPECT_EQ(cod(gd::CalorificValue)->currentText(), QString::fromUtf8(r.cal));
        EXPECT_EQ(cod(gd::FuelDensity)->currentText(), QString::fromUtf8(r.den));
        EXPECT_EQ(cod(gd::Co2Max)->currentText(), QString::fromUtf8(r.co2));
        EXPECT_EQ(form->TOD[10]->text(), QString::fromUtf8(r.unit));
    }
}

TEST_F(NewObjectTest, BoilerTypeAndQ5ModeShowAndHideTheirEntries) {
    Pick(cod(gd::BoilerType), gd::kSteamBoiler);
    EXPECT_TRUE(cod(gd::HeatOutputUnit)->isHidden());
    EXPECT_FALSE(cod(gd::SteamOutputUnit)->isHidden());
    Pick(cod(gd::SteamOutputUnit), QStringLiteral("кг/час"));
    Pick(cod(gd::BoilerType), gd::kHotWaterBoiler);
    EXPECT_TRUE(cod(gd::SteamOutputUnit)->isHidden());
    EXPECT_FALSE(cod(gd::HeatOutputUnit)->isHidden());
    // the hidden steam unit keeps its value and is stored
    EXPECT_EQ(form->fields()[gd::SteamOutputUnit], QStringLiteral("кг/час"));

    Pick(cod(gd::Q5Mode), gd::kQ5EachRegime);
    EXPECT_TRUE(cod(gd::Q5Nominal)->isHidden());
    Pick(cod(gd::Q5Mode), gd::kQ5AtNominal);
    EXPECT_FALSE(cod(gd::Q5Nominal)->isHidden());
}

TEST_F(NewObjectTest, KeyboardRulesPerEntry) {
    // numeric filter: digits and "." pass, "," becomes ".", the rest is dropped
    Type(cod(gd::NominalOutput), QStringLiteral("1,5a-e2 7"));
    EXPECT_EQ(cod(gd::NominalOutput)->currentText(), QStringLiteral("1.527"));
    QTest::keyClick(cod(gd::NominalOutput), Qt::Key_Backspace);
    EXPECT_EQ(cod(gd::NominalOutput)->currentText(), QStringLiteral("1.52"));
    Type(cod(gd::StationNumber), QStringLiteral("№3"));
    EXPECT_EQ(cod(gd::StationNumber)->currentText(), QStringLiteral("3"));
    // picked-only entries take no typing
    for (int k : {gd::BoilerType, gd::SteamOutputUnit, gd::Q5Mode, gd::FuelType, gd::HeatOutputUnit, gd::Economiser}) {
        Type(cod(k), QStringLiteral("abc1"));
        EXPECT_TRUE(cod(k)->currentText().isEmpty()) << k;
    }
    // free typing elsewhere
    Type(cod(gd::InstallationType), QStringLiteral("КВ-ГМ-1,16"));
    EXPECT_EQ(cod(gd::InstallationType)->currentText(), QStringLiteral("КВ-ГМ-1,16"));
    // a double quote in the name becomes a blank
    Type(cod(gd::ObjectName), QStringLiteral("Цех \"А\""));
    EXPECT_EQ(cod(gd::ObjectName)->currentText(), QStringLiteral("Цех  А "));
}

TEST_F(NewObjectTest, LeavingTheNameRemovesForbiddenCharacters) {
    EXPECT_EQ(core::NumberKey(u','), QChar(u'.'));
    cod(gd::ObjectName)->setEditText(QStringLiteral("a/b?c"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(cod(gd::ObjectName), &out);
    EXPECT_EQ(cod(gd::ObjectName)->currentText(), QStringLiteral("abc"));
    cod(gd::ObjectName)->setEditText(QStringLiteral("<x>|*\\y"));
    QApplication::sendEvent(cod(gd::ObjectName), &out);
    EXPECT_EQ(cod(gd::ObjectName)->currentText(), QStringLiteral("xy"));
}

TEST_F(FrameTest, CopyGeneralDataStartsANewObjectFromTheSelection) {
    QStringList g = HotWaterGasGeneral(QStringLiteral("Образец"));
    g[gd::Q5Mode] = gd::kQ5EachRegime;
    home.makeObject(QStringLiteral("Образец"), g);
    openList();
    clickEntry(QStringLiteral("Образец"));
    frame().Cop_OD->trigger();
    EXPECT_EQ(list(), nullptr);
    auto* form = frame().findChild<store::NewOt*>();
    ASSERT_NE(form, nullptr);
    const QStringList fields = form->fields();
    for (int k = 0; k < gd::kGeneralCount; ++k) {
        if (k != gd::ObjectName) {
            EXPECT_EQ(fields[k], g[k]) << k;
        }
    }
    EXPECT_TRUE(fields[gd::ObjectName].isEmpty());
    EXPECT_EQ(form->TOD[10]->text(), QStringLiteral("ккал/ст.м3"));
    EXPECT_TRUE(form->COD[gd::SteamOutputUnit]->isHidden());
    EXPECT_TRUE(form->COD[gd::Q5Nominal]->isHidden());

    Type(form->COD[gd::ObjectName], QStringLiteral("Копия"));
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    ASSERT_TRUE(form->NewOt_Command4_Click());
    QStringList copy;
    ASSERT_TRUE(gd::ReadGeneralData(objectFolder(QStringLiteral("Копия")), copy));
    EXPECT_EQ(copy[gd::NominalOutput], g[gd::NominalOutput]);
    EXPECT_EQ(copy[gd::ObjectName], QStringLiteral("Копия"));
}

TEST_F(NewObjectTest, AnEmployeeAddedWithF5IsOfferedAtOnceBesideWhatIsTyped) {
    Type(cod(gd::Performer), QStringLiteral("Ив"));
    docs::Nastr* editor = OpenReferenceList(frame(), true);
    ASSERT_NE(editor, nullptr);
    const int before = cod(gd::Performer)->count();
    dialogs.inputs = {QStringLiteral(" Сидоров П.П. ")};
    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    ASSERT_EQ(cod(gd::Performer)->count(), before + 1);
    EXPECT_EQ(cod(gd::Performer)->itemText(before), QStringLiteral("Сидоров П.П."));
    EXPECT_EQ(cod(gd::Performer)->currentText(), QStringLiteral("Ив"));
    editor->close();
}

// ---------------------------------------------------------------- OD

class GeneralDataWindowTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        general = HotWaterGasGeneral(QStringLiteral("Объект"));
        folder = home.makeObject(QStringLiteral("Объект"), general);
        ASSERT_TRUE(wb->openObject(QStringLiteral("Объект")));
        od = wb->window<object::OD>(app::WindowKind::OD);
        ASSERT_NE(od, nullptr);
    }
    QStringList onDisk() {
        QStringList g;
        EXPECT_TRUE(gd::ReadGeneralData(folder, g));
        return g;
    }
    QStringList general;
    QString folder;
    object::OD* od = nullptr;
};

TEST_F(GeneralDataWindowTest, LoadsTheCurrentGeneralDataWithItsOwnCaptions) {
    EXPECT_EQ(od->fields(), general);
    EXPECT_EQ(od->Caption7->text(), QStringLiteral("Объект"));
    EXPECT_EQ(od->Caption13->text(), QStringLiteral("Ст. №"));
    EXPECT_EQ(od->COD[gd::BoilerType]->count(), 0);  // no list for the status here
    EXPECT_EQ(od->COD[gd::Performer]->count(), 3);
    EXPECT_EQ(od->TOD[10]->text(), QStringLiteral("ккал/ст.м3"));
    EXPECT_TRUE(od->COD[gd::SteamOutputUnit]->isHidden());
    EXPECT_FALSE(od->COD[gd::HeatOutputUnit]->isHidden());
    // beside the regime list and the task pane, where the other working windows stand
    EXPECT_EQ(wb->subWindow(app::WindowKind::OD)->pos(),
              shell::SlotRect(frame().mdiArea()->viewport()->size(), app::Slot::Work).topLeft());
}

TEST_F(GeneralDataWindowTest, EditsCountAtOnceAndAreSavedWhenTheWindowLosesTheFocus) {
    wb->showTab(0);
    od->COD[gd::NominalOutput]->setEditText(QString());
    Type(od->COD[gd::NominalOutput], QStringLiteral("1,75"));
    EXPECT_EQ(state.general[gd::NominalOutput], QStringLiteral("1.75"));
    EXPECT_EQ(onDisk()[gd::NominalOutput], general[gd::NominalOutput]);
    // keyboard rules of this window: units take no typing; the station number is free
    Type(od->COD[gd::HeatOutputUnit], QStringLiteral("x"));
    EXPECT_EQ(od->COD[gd::HeatOutputUnit]->currentText(), general[gd::HeatOutputUnit]);
    Type(od->COD[gd::StationNumber], QStringLiteral("№2"));
    EXPECT_EQ(od->COD[gd::StationNumber]->currentText(), QStringLiteral("№2"));

    // another window becomes active: the file is written
    auto* other = frame().mdiArea()->addSubWindow(new QWidget);
    other->show();
    frame().mdiArea()->setActiveSubWindow(other);
    EXPECT_EQ(onDisk()[gd::NominalOutput], QStringLiteral("1.75"));
    EXPECT_EQ(onDisk()[gd::StationNumber], QStringLiteral("№2"));
}

TEST_F(GeneralDataWindowTest, ClosingTheObjectSavesTheFields) {
    od->COD[gd::BurnerType]->setEditText(QStringLiteral("Горелка, газовая"));
    frame().MDIForm1_Close();
    EXPECT_EQ(onDisk()[gd::BurnerType], QStringLiteral("Горелка, газовая"));
    // the closed object leaves nothing behind in the state
    EXPECT_TRUE(state.general[gd::BurnerType].isEmpty());
    EXPECT_EQ(state.general.size(), gd::kGeneralCount);
}

TEST_F(GeneralDataWindowTest, CtrlEInAFieldClosesTheObject) {
    wb->showTab(0);
    frame().activateWindow();
    if (!QTest::qWaitForWindowActive(&frame(), 1000)) GTEST_SKIP() << "no active window on this platform";
    QComboBox* name = od->COD[gd::ObjectName];
    name->setFocus();
    // an ordinary key still edits the field
    QTest::keyClick(name, Qt::Key_Home);
    Type(name, QStringLiteral("X"));
    EXPECT_TRUE(name->currentText().startsWith(u'X'));
    // Ctrl+E is the frame's Close, not the line edit's "end of line" (Linux key bindings)
    QTest::keyClick(name, Qt::Key_E, Qt::ControlModifier);
    EXPECT_FALSE(wb->objectOpen());
    expectIdle();
}

TEST_F(GeneralDataWindowTest, ActivationSetsTheStatusAndPickingReachesOtherWindows) {
    QStringList log;
    struct Pane : QWidget, app::TaskPaneView {
        QStringList* log;
        void showTaskPage(int p, const QString& c) override { log->append(QStringLiteral("page %1 %2").arg(p).arg(c)); }
        void setResultUnit(const QString& k, const QString& u) override { log->append(k + u' ' + u); }
    };
    struct Editor : QWidget, app::RegimeEditorView {
        QStringList* log;
        void showQ5Row(bool v) override { log->append(QStringLiteral("q5 %1").arg(v)); }
    };
    // stand-ins for the task pane and the regime editor record what reaches them
    wb->unloadWindow(app::WindowKind::Regim);
    wb->unloadWindow(app::WindowKind::Navig);
    settle();
    wb->setFactory(app::WindowKind::Navig, [&log](app::Workbench&) {
        auto* p = new Pane;
        p->log = &log;
        return p;
    });
    wb->setFactory(app::WindowKind::Regim, [&log](app::Workbench&) {
        auto* e = new Editor;
        e->log = &log;
        return e;
    });
    wb->loadWindow(app::WindowKind::Navig);
    wb->showTab(1);
    frame().setPanel(1, QString());
    wb->showTab(0);
    EXPECT_EQ(frame().panel(1), QStringLiteral("Общие Данные"));
    EXPECT_TRUE(log.contains(QStringLiteral("page 0 ...")));

    Pick(od->COD[gd::HeatOutputUnit], QStringLiteral("МВт"));
    EXPECT_TRUE(log.contains(QStringLiteral("Q МВт")));
    Pick(od->COD[gd::Q5Mode], gd::kQ5EachRegime);
    EXPECT_TRUE(od->COD[gd::Q5Nominal]->isHidden());
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), QStringLiteral("q5 1"));
    Pick(od->COD[gd::Q5Mode], gd::kQ5AtAllLoads);
    EXPECT_FALSE(od->COD[gd::Q5Nominal]->isHidden());
    EXPECT_EQ(log.last(), QStringLiteral("q5 0"));
}

TEST_F(GeneralDataWindowTest, EmployeesAddedAndRemovedWithF5AreOfferedAtOnce) {
    QComboBox* performer = od->COD[gd::Performer];
    const QString executor = general[gd::Performer];
    const QStringList names = {performer->itemText(0), performer->itemText(1), performer->itemText(2)};
    docs::Nastr* editor = OpenReferenceList(frame(), true);
    ASSERT_NE(editor, nullptr);
    dialogs.inputs = {QStringLiteral("  Сидоров П.П.  ")};
    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    EXPECT_EQ(performer->count(), 4);
    EXPECT_EQ(performer->itemText(3), QStringLiteral("Сидоров П.П."));
    // the executor shown and counted stays as it was
    EXPECT_EQ(performer->currentText(), executor);
    EXPECT_EQ(state.general[gd::Performer], executor);
    // the first entry removed: no longer offered
    QTest::mouseClick(editor->List1->viewport(), Qt::LeftButton, {},
                      editor->List1->visualItemRect(editor->List1->item(0)).center());
    dialogs.answers = {app::Answer::Yes};
    QTest::mouseClick(editor->Command2, Qt::LeftButton);
    EXPECT_EQ(performer->count(), 3);
    EXPECT_EQ(performer->itemText(0), names[1]);
    EXPECT_EQ(performer->findText(QStringLiteral("Сидоров П.П.")), 2);
    EXPECT_EQ(performer->currentText(), executor);
    editor->close();
    settle();
    // a sensor added with F6 is not the executor's list
    editor = OpenReferenceList(frame(), false);
    ASSERT_NE(editor, nullptr);
    dialogs.inputs = {QStringLiteral("ДД-1")};
    QTest::mouseClick(editor->Command1, Qt::LeftButton);
    EXPECT_EQ(performer->count(), 3);
    editor->close();
    settle();
    // the new employee picked is saved with the object
    Pick(performer, QStringLiteral("Сидоров П.П."));
    frame().MDIForm1_Close();
    EXPECT_EQ(onDisk()[gd::Performer], QStringLiteral("Сидоров П.П."));
}

TEST_F(FrameTest, AMissingEmployeeListIsReportedButTheFieldsAreStillFilled) {
    const QStringList g = HotWaterGasGeneral(QStringLiteral("Объект"));
    home.makeObject(QStringLiteral("Объект"), g);
    QFile::remove(core::JoinPath(home.templ(), QStringLiteral("Сотрудники.txt")));
    ASSERT_TRUE(wb->openObject(QStringLiteral("Объект")));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Ошибка при работе с файлом /сотрудники/!")});
    auto* od = wb->window<object::OD>(app::WindowKind::OD);
    ASSERT_NE(od, nullptr);
    EXPECT_EQ(od->fields(), g);
    frame().MDIForm1_Close();
    QStringList onDisk;
    ASSERT_TRUE(gd::ReadGeneralData(objectFolder(QStringLiteral("Объект")), onDisk));
    EXPECT_EQ(onDisk, g);
}

}  // namespace
}  // namespace frame_testing
