// The serial link window on a demo object: captions and lists, "ComPort.ini", folding,
// reading a pseudo-terminal made by the test into the regime editor, the lost link and
// its reopening, and closing in any state.

#include <QCheckBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QProcess>
#include <QRadioButton>
#include <QTreeWidget>

#include "analyser/portsettings.h"
#include "analyser/ui/comport.h"
#include "app/ui/notice.h"
#include "core/ini.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "docs/ui/docum.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "support/pty.h"
#include "test_frame_fixture.h"

namespace frame_testing {
namespace {

using analyser::comport;
using testing_support::FakeAnalyser;
using testing_support::Pump;
using testing_support::ReadBytes;

const QByteArray kExample = "  125  34 3.5 10.2 0 0 145\r\n";
const QString kSchool = QStringLiteral("Котельная школы №3");         // no economiser
const QString kDairy = QStringLiteral("Молокозавод, паровая котельная");  // economiser

class ComportTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        const QString from = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты");
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            const QString target = core::JoinPath(home.objects(), QDir(from).relativeFilePath(f));
            QDir().mkpath(QFileInfo(target).path());
            QFile::copy(f, target);
        }
        ini = analyser::SettingsFilePath(home.path());
    }
    void TearDown() override {
        if (comport* w = window()) w->close();
        settle();
        FrameTest::TearDown();
    }

    void writeSettings(const QString& port, const QString& speed = QStringLiteral("9600"),
                       const QString& parity = QStringLiteral("No"), const QString& bits = QStringLiteral("8"),
                       const QString& stop = QStringLiteral("1")) {
        const QString v[5] = {port, speed, parity, bits, stop};
        for (int i = 0; i < 5; ++i) ASSERT_TRUE(analyser::WritePortSetting(ini, i, v[i]));
    }
    // Opens the object, selects list row `row` and opens the window through the menu.
    comport* openWindow(const QString& object, int row = 0) {
        EXPECT_TRUE(wb->openObject(object));
        settle();
        if (row > 0) {
            EXPECT_TRUE(list()->selectRow(row));
        }
        EXPECT_TRUE(frame().ComP->isEnabled());
        frame().ComP->trigger();
        settle();
        comport* w = window();
        // the test ticks itself; the window's own timer must not tick in between
        if (w) {
            EXPECT_EQ(w->Timer1->interval(), 1000);
            w->Timer1->setInterval(3600 * 1000);
        }
        return w;
    }
    comport* window() { return wb->window<comport>(app::WindowKind::Comport); }
    regime::Regim* editor() { return wb->window<regime::Regim>(app::WindowKind::Regim); }
    regime::SReg* list() { return wb->window<regime::SReg>(app::WindowKind::SReg); }
    QString regimePath() { return core::JoinPath(state.currentObjectFolder, state.currentRegimeFile); }
    QString resultsPath() { return core::JoinPath(state.currentObjectFolder, state.currentResultsFile); }
    double stored(int k) {
        QStringList lines;
        core::ReadTextLines(regimePath(), lines);
        return core::ParseNumber(lines.value(k));
    }
    void press(comport* w, const QString& key) { w->button(key)->trigger(); }
    void ticks(comport* w, int n) {
        for (int i = 0; i < n; ++i) {
            Pump(20);
            w->comport_Timer1_Timer();
        }
    }

    QString ini;
};

TEST_F(ComportTest, OpensWithItsControlsCaptionsAndSettings) {
    writeSettings(QStringLiteral("COM1"));
    comport* w = openWindow(kDairy, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isModal());
    EXPECT_EQ(w->Frame1->title(), QStringLiteral("Параметры порта"));
    const char* labels[5] = {"Порт", "Скорость (бит/сек)", "Четность", "Биты  данных", "Стоповые биты"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w->L1[i]->text(), QString::fromUtf8(labels[i]));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(w->C1->itemData(i).toString(), QStringLiteral("COM%1").arg(i + 1));
        EXPECT_TRUE(w->C1->itemData(i, Qt::ToolTipRole).toString().contains(QStringLiteral("/dev/ttyS%1").arg(i)));
    }
    EXPECT_TRUE(w->C1->toolTip().contains(QStringLiteral("/dev/rfcomm0")));
    auto items = [](QComboBox* c) {
        QStringList l;
        for (int i = 0; i < c->count(); ++i) l.append(c->itemText(i));
        return l;
    };
    EXPECT_EQ(items(w->C2), QStringList({"2400", "4800", "9600", "19200"}));
    EXPECT_EQ(items(w->C3), QStringList({"Yes", "No"}));
    EXPECT_EQ(items(w->C4), QStringList({"5", "6", "7", "8"}));
    EXPECT_EQ(items(w->C5), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(w->C1->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(w->C3->currentText(), QStringLiteral("No"));
    EXPECT_EQ(w->C4->currentText(), QStringLiteral("8"));
    // each entry names its regime by the number of its file, in list order
    QStringList names;
    for (const app::RegimeRow& row : state.regimeList.rows)
        names.append(QStringLiteral("Режим номер ") + QString::number(analyser::RegimeNumberOf(row.key)));
    EXPECT_EQ(items(w->Combo1), names);
    EXPECT_EQ(w->Combo1->currentIndex(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("COM1 -> ") + names[1] + QStringLiteral(" :    Остановлено"));
    EXPECT_EQ(w->Check2->text(), QStringLiteral("Усреднять"));
    EXPECT_FALSE(w->Check2->isChecked());
    EXPECT_EQ(w->Frame2->title(), QStringLiteral("Точка отбора"));
    EXPECT_EQ(w->Option1->text(), QStringLiteral("до     экономайзера"));
    EXPECT_EQ(w->Option2->text(), QStringLiteral("после экономайзера"));
    EXPECT_TRUE(w->Option1->isEnabled());
    EXPECT_TRUE(w->Option2->isChecked());
    EXPECT_EQ(w->Frame3->title(), QStringLiteral("Дополнительно"));
    EXPECT_EQ(w->Text1->text(), QStringLiteral("4"));
    EXPECT_EQ(w->Text1->toolTip(), QStringLiteral("Период опроса "));
    EXPECT_EQ(w->Label1->text(), QStringLiteral("Период опроса , сек"));
    EXPECT_EQ(w->Check1[0]->text(), QStringLiteral("Считывать Туходящих. г"));
    EXPECT_EQ(w->Check1[0]->toolTip(), QStringLiteral("Считывать температуру уходящих газов"));
    EXPECT_FALSE(w->Check1[0]->isChecked());
    EXPECT_EQ(w->button(QStringLiteral("Настройка"))->text(), QStringLiteral("Свернуть  "));
    EXPECT_EQ(w->button(QStringLiteral("Старт"))->text(), QStringLiteral("Старт        "));
    EXPECT_EQ(w->button(QStringLiteral("Старт"))->toolTip(), QStringLiteral("Начать  считывание "));
    EXPECT_EQ(w->button(QStringLiteral("Выход"))->text(), QStringLiteral("Выход        "));
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(w->height(), w->unfoldedHeight());

    // the regime of the chosen entry is the current one, shown in the editor
    EXPECT_EQ(state.currentRegimeFile, state.regimeList.rows[1].key);
    EXPECT_EQ(editor()->T[11]->text(), core::EditorForm(state.inputs[11]));
}

TEST_F(ComportTest, MissingSettingsOfferCommonOnesAndPicksAreWrittenAtOnce) {
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    QStringList shown;
    for (QComboBox* c : {static_cast<QComboBox*>(w->C1), w->C2, w->C3, w->C4, w->C5}) shown.append(c->currentText());
    EXPECT_EQ(shown, QStringList({"COM1", "9600", "No", "8", "1"}));
    const QString entry = w->Combo1->currentText();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("COM1 -> ") + entry + QStringLiteral(" :    Остановлено"));
    // the caption follows a typed port
    w->C1->setFocus();
    w->C1->lineEdit()->selectAll();
    Type(w->C1->lineEdit(), QStringLiteral("/dev/pts/9"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("/dev/pts/9 -> ") + entry + QStringLiteral(" :    Остановлено "));
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("ComPort"), QStringLiteral("none")),
              QStringLiteral("none"));

    Pick(w->C2, QStringLiteral("19200"));
    Pick(w->C3, QStringLiteral("Yes"));
    Pick(w->C5, QStringLiteral("2"));
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("Speed"), {}), QStringLiteral("19200"));
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("YN"), {}), QStringLiteral("Yes"));
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("StopBit"), {}), QStringLiteral("2"));
    // typing alone writes nothing
    w->C4->setFocus();
    w->C4->lineEdit()->selectAll();
    Type(w->C4->lineEdit(), QStringLiteral("9"));  // not an entry of the list, so leaving the field picks nothing
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("Bit"), QStringLiteral("none")),
              QStringLiteral("none"));
    // picking a port writes it and shows the stopped caption with its trailing blank
    w->C1->showPopup();
    w->C1->hidePopup();
    Pick(w->C1, QStringLiteral("COM3"));
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("ComPort"), {}), QStringLiteral("COM3"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("COM3 -> ") + entry + QStringLiteral(" :    Остановлено "));

    // choosing a regime selects its row in the list and loads it
    const QString third = w->Combo1->itemText(2);
    Pick(w->Combo1, third);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("COM3 -> ") + third + QStringLiteral(" :    Остановлено "));
    EXPECT_EQ(state.regimeList.selectedRow(), 2);
    EXPECT_EQ(state.currentRegimeFile, state.regimeList.rows[2].key);
    EXPECT_EQ(list()->ListView1->currentItem()->text(0), state.regimeList.rows[2].key);

    // a new window reads the settings back
    w->close();
    settle();
    w = window();
    EXPECT_EQ(w, nullptr);
    frame().ComP->trigger();
    settle();
    w = window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->C1->currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(w->C2->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(w->C3->currentText(), QStringLiteral("Yes"));
    EXPECT_EQ(w->C4->currentText(), QStringLiteral("8"));  // never stored: offered again
    EXPECT_EQ(w->C5->currentText(), QStringLiteral("2"));
}

TEST_F(ComportTest, EntriesNameEachRegimeByItsOwnNumber) {
    ASSERT_TRUE(wb->openObject(kDairy));
    settle();
    // regime 1 deleted: the list holds regimes 2, 3 and 4, so positions are not numbers
    dialogs.answers.push_back(app::Answer::Yes);
    list()->SReg_Toolbar5_ButtonClick(QStringLiteral("Удалить"));
    ASSERT_TRUE(list()->selectRow(1));
    const QString chosen = state.currentRegimeFile;
    frame().ComP->trigger();
    settle();
    comport* w = window();
    ASSERT_NE(w, nullptr);
    QStringList entries, numbers;
    for (int i = 0; i < w->Combo1->count(); ++i) entries.append(w->Combo1->itemText(i));
    for (const app::RegimeRow& row : state.regimeList.rows)
        numbers.append(QStringLiteral("Режим номер ") + QString::number(analyser::RegimeNumberOf(row.key)));
    EXPECT_EQ(entries, numbers);
    EXPECT_FALSE(entries.contains(QStringLiteral("Режим номер 1")));
    // the entry shown is the regime chosen in the list, named by its number
    EXPECT_EQ(w->Combo1->currentText(),
              QStringLiteral("Режим номер ") + QString::number(analyser::RegimeNumberOf(chosen)));
    EXPECT_EQ(state.currentRegimeFile, chosen);
}

TEST_F(ComportTest, FoldsAndUnfolds) {
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    QAction* b = w->button(QStringLiteral("Настройка"));
    press(w, QStringLiteral("Настройка"));
    EXPECT_EQ(b->text(), QStringLiteral("Настройка "));
    EXPECT_EQ(w->height(), w->foldedHeight());
    EXPECT_FALSE(w->Frame1->isVisible());
    press(w, QStringLiteral("Настройка"));
    EXPECT_EQ(b->text(), QStringLiteral("Свернуть  "));
    EXPECT_EQ(w->height(), w->unfoldedHeight());
    EXPECT_TRUE(w->Frame1->isVisible());
    EXPECT_LT(w->foldedHeight(), w->unfoldedHeight());
}

TEST_F(ComportTest, WithoutEconomiserOnlyAfterTheBoiler) {
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->Option1->isEnabled());
    EXPECT_TRUE(w->Option2->isChecked());
    EXPECT_EQ(w->Option2->text(), QStringLiteral(" После котла"));
}

TEST_F(ComportTest, ReadsTheExampleIntoTheEditorSavesAndRecalculates) {
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    writeSettings(fake.path());
    comport* w = openWindow(kSchool, 1);
    ASSERT_NE(w, nullptr);
    w->Check1[0]->setChecked(true);
    const QString file = state.currentRegimeFile;
    const QByteArray results = ReadBytes(resultsPath());
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(w->Timer1->isActive()) << dialogs.messages().join(u'|').toStdString();
    EXPECT_TRUE(fake.peerOpen());
    QAction* start = w->button(QStringLiteral("Старт"));
    EXPECT_EQ(start->text(), QStringLiteral("Стоп        "));
    EXPECT_EQ(start->toolTip(), QStringLiteral("Остановить  считывание "));
    EXPECT_FALSE(w->button(QStringLiteral("Настройка"))->isEnabled());
    EXPECT_FALSE(w->Combo1->isEnabled());
    EXPECT_FALSE(w->Frame2->isEnabled());
    const QString head = fake.path() + QStringLiteral(" -> Режим номер 2");

    ticks(w, 1);
    EXPECT_EQ(w->windowTitle(), head + QStringLiteral(" :    Выполняется:  3"));
    fake.send(kExample);  // the first line after opening may be the end of a cut reading: dropped
    fake.send("  99 34 3.5 10.2 0 0 145\r\n");
    fake.send(kExample);  // the newest of the period is stored
    ticks(w, 2);
    EXPECT_EQ(w->windowTitle(), head + QStringLiteral(" :    Выполняется:  1"));
    EXPECT_NE(stored(11), 125);
    ticks(w, 1);  // the fourth tick reads
    EXPECT_EQ(w->windowTitle(), fake.path() + QStringLiteral(" -> ") + w->Combo1->currentText() +
                                    QStringLiteral(" :    Выполняется:  Считывание >>>"));
    EXPECT_EQ(w->link().readings().size(), 2);
    EXPECT_EQ(editor()->T[11]->text(), QStringLiteral(" 125"));
    EXPECT_EQ(editor()->T[14]->text(), QStringLiteral(" 34"));
    EXPECT_EQ(editor()->T[13]->text(), QStringLiteral(" 3.5"));
    EXPECT_EQ(editor()->T[12]->text(), QStringLiteral(" 10.2"));
    EXPECT_EQ(editor()->T[17]->text(), QStringLiteral(" 145"));
    EXPECT_TRUE(w->Label3->text().contains(QStringLiteral("CO 125  NO 34  O2 3.5  CO2 10.2  Тух.г 145")))
        << w->Label3->text().toStdString();
    EXPECT_EQ(state.currentRegimeFile, file);
    EXPECT_DOUBLE_EQ(stored(11), 125);
    EXPECT_DOUBLE_EQ(stored(14), 34);
    EXPECT_FLOAT_EQ(stored(13), 3.5f);
    EXPECT_FLOAT_EQ(stored(12), 10.2f);
    EXPECT_DOUBLE_EQ(stored(17), 145);
    EXPECT_NE(ReadBytes(resultsPath()), results);
    EXPECT_TRUE(dialogs.notices.isEmpty());
    // the entry follows the regime's row after the list was sorted by load
    EXPECT_EQ(w->Combo1->currentIndex(), state.regimeList.find(file));

    // a reading with fewer values is refused: nothing stored, the window says so
    const QByteArray saved = ReadBytes(regimePath());
    fake.send("60 20\r\n");
    ticks(w, 4);
    EXPECT_EQ(ReadBytes(regimePath()), saved);
    EXPECT_EQ(editor()->T[11]->text(), QStringLiteral(" 125"));
    EXPECT_EQ(w->Label3->text(), QStringLiteral("Неполное показание: 2 из 7 значений"));
    EXPECT_TRUE(dialogs.notices.isEmpty());

    // temperature not ticked: field 17 stays; a decimal comma is a decimal separator
    w->Check1[0]->setChecked(false);
    fake.send("60 20 4,5 9.6 0 0 300\r\n");
    ticks(w, 4);
    EXPECT_EQ(editor()->T[11]->text(), QStringLiteral(" 60"));
    EXPECT_EQ(editor()->T[13]->text(), QStringLiteral(" 4.5"));
    EXPECT_FLOAT_EQ(stored(13), 4.5f);
    EXPECT_DOUBLE_EQ(stored(17), 145);

    // a reading without its line end waits
    const QByteArray before = ReadBytes(regimePath());
    fake.send("55 20 4.5 9.6 0 0 14");
    ticks(w, 4);
    EXPECT_EQ(ReadBytes(regimePath()), before);
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" Считывание >>>")));

    // stop, then start again: the countdown restarts from the period
    ticks(w, 2);
    press(w, QStringLiteral("Старт"));
    EXPECT_FALSE(w->Timer1->isActive());
    Pump(20);
    EXPECT_FALSE(fake.peerOpen());
    EXPECT_EQ(start->text(), QStringLiteral("Старт        "));
    EXPECT_EQ(start->toolTip(), QStringLiteral("Начать  считывание "));
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" :    Остановлено")));
    EXPECT_TRUE(w->Combo1->isEnabled());
    EXPECT_TRUE(w->Frame2->isEnabled());
    EXPECT_TRUE(w->button(QStringLiteral("Настройка"))->isEnabled());
    press(w, QStringLiteral("Старт"));
    ticks(w, 1);
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("Выполняется:  3")));
}

TEST_F(ComportTest, AveragesWithItsSpreadDrawsTheTrendLogsAndStopsWhenTheRegimeGoes) {
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    writeSettings(fake.path());
    comport* w = openWindow(kSchool, 1);
    ASSERT_NE(w, nullptr);
    w->Check1[0]->setChecked(true);
    w->Text1->setText(QStringLiteral("2"));
    w->Check2->click();  // "Усреднять", remembered
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("Average"), {}), QStringLiteral("1"));
    const QString logName = QStringLiteral("Анализатор Режим ") +
                            QString::number(analyser::RegimeNumberOf(state.currentRegimeFile)) + QStringLiteral(".csv");
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(w->Timer1->isActive());

    // silence for two periods: the window says what to check
    ticks(w, 4);
    EXPECT_TRUE(w->Label2->text().startsWith(QStringLiteral("От газоанализатора ничего не поступает"))) << w->Label2->text().toStdString();

    // someone else changes the gas flow meanwhile: the reading keeps it
    QStringList lines;
    ASSERT_TRUE(core::ReadTextLines(regimePath(), lines));
    lines[1] = QStringLiteral("99");
    ASSERT_TRUE(core::WriteTextLines(regimePath(), lines));

    fake.send("0 0 150\r\n100 30 3.4 10 0 0 150\r\n120 32 3.6 9.9 0 0 152\r\n");
    ticks(w, 1);
    EXPECT_EQ(w->Trend->points(), 2);
    fake.send("110 31 3.5 9.95 0 0 151\r\nnoise\r\n");
    ticks(w, 1);
    EXPECT_EQ(w->Trend->points(), 3);
    EXPECT_TRUE(w->Label2->text().isEmpty());
    EXPECT_DOUBLE_EQ(stored(11), 110);
    EXPECT_FLOAT_EQ(stored(13), 3.5f);
    EXPECT_FLOAT_EQ(stored(12), 9.95f);
    EXPECT_DOUBLE_EQ(stored(17), 151);
    EXPECT_DOUBLE_EQ(stored(1), 99);
    EXPECT_EQ(editor()->T[1]->text(), QStringLiteral(" 99"));
    // the spread of the period; steadiness is the window's, and three readings of two seconds are too few
    EXPECT_TRUE(w->Label4->text().startsWith(
        QStringLiteral("Усреднено показаний: 3;  σ O2 0.1,  σ CO 10,  σ Тух.г 1   Окно 60 с: Мало показаний: 3 за ")))
        << w->Label4->text().toStdString();
    EXPECT_TRUE(w->Label3->text().contains(QStringLiteral("отклонено показаний: 1")));

    // the log lists every reading, the refused one and the mean too
    const QString log = core::DecodeCp1251(ReadBytes(core::JoinPath(state.currentObjectFolder, logName)));
    EXPECT_EQ(log.count(QStringLiteral(";в среднем\r\n")), 3) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral(";записано: среднее из 3, NO2: NO2 не измеряется: 0\r\n")), 1);
    EXPECT_EQ(log.count(QStringLiteral("\"noise\";;;;;;;Неполное показание: 1 из 7 значений")), 1);

    // the regime is deleted meanwhile: reading stops with a message, nothing is created
    const QString gone = regimePath();
    ASSERT_TRUE(QFile::remove(gone));
    dialogs.shown.clear();
    fake.send("90 30 3.4 10 0 0 150\r\n");
    ticks(w, 2);
    EXPECT_FALSE(w->Timer1->isActive());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Режим удален: "))) << dialogs.messages()[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(gone));

    // the attached-files window lists the log once the user turns to it
    w->close();
    settle();
    auto* docum = wb->window<docs::Docum>(app::WindowKind::Docum);
    ASSERT_NE(docum, nullptr);
    wb->showTab(3);
    settle();
    EXPECT_TRUE(docum->documentNames().contains(logName));
    EXPECT_EQ(docum->kindOf(logName), QStringLiteral("Книга Microsoft Excel"));
}

TEST_F(ComportTest, BeforeTheEconomiserFillsTheSamplingPointColumn) {
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    writeSettings(fake.path());
    comport* w = openWindow(kDairy);
    ASSERT_NE(w, nullptr);
    w->Option1->setChecked(true);
    w->Check1[0]->setChecked(true);
    w->Text1->setText(QStringLiteral("1"));
    const double co = stored(11);
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(w->Timer1->isActive());
    fake.send(kExample);
    fake.send(kExample);
    ticks(w, 1);
    EXPECT_EQ(editor()->T[35]->text(), QStringLiteral(" 125"));
    EXPECT_EQ(editor()->T[38]->text(), QStringLiteral(" 34"));
    EXPECT_EQ(editor()->T[37]->text(), QStringLiteral(" 3.5"));
    EXPECT_EQ(editor()->T[36]->text(), QStringLiteral(" 10.2"));
    EXPECT_EQ(editor()->T[40]->text(), QStringLiteral(" 145"));
    EXPECT_DOUBLE_EQ(stored(35), 125);
    EXPECT_DOUBLE_EQ(stored(40), 145);
    EXPECT_DOUBLE_EQ(stored(11), co);
}

TEST_F(ComportTest, StartFailuresWarnAndStayStopped) {
    writeSettings(QStringLiteral("/dev/no-such-analyser"));
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    dialogs.shown.clear();
    press(w, QStringLiteral("Старт"));
    EXPECT_FALSE(w->Timer1->isActive());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Ошибка при работе с портом /dev/no-such-analyser")));
    EXPECT_EQ(dialogs.shown[0].icon, app::Icon::Warning);
    EXPECT_EQ(w->height(), w->failedHeight());
    EXPECT_TRUE(w->Label2->text().contains(QStringLiteral("не найден")));
    EXPECT_EQ(w->button(QStringLiteral("Старт"))->text(), QStringLiteral("Старт        "));
    EXPECT_TRUE(w->Combo1->isEnabled());

    // 1.5 stop bits and a missing key fail the same way
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    w->C1->setEditText(fake.path());
    w->C5->setEditText(QStringLiteral("1.5"));
    dialogs.shown.clear();
    press(w, QStringLiteral("Старт"));
    EXPECT_FALSE(w->Timer1->isActive());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].startsWith(QStringLiteral("Ошибка при работе с портом ") + fake.path()));
    EXPECT_FALSE(fake.peerOpen());
    w->C5->setEditText(QStringLiteral("1"));
    w->C4->setEditText(QStringLiteral("?"));
    dialogs.shown.clear();
    press(w, QStringLiteral("Старт"));
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(dialogs.messages().size(), 1);

    // a period below one second is refused before anything opens
    w->C4->setEditText(QStringLiteral("8"));
    w->Text1->setText(QStringLiteral("0.5"));
    dialogs.shown.clear();
    press(w, QStringLiteral("Старт"));
    EXPECT_FALSE(w->Timer1->isActive());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0], analyser::kPeriodRefusal);
    EXPECT_FALSE(fake.peerOpen());

    // a typed path that opens is kept in "ComPort.ini"
    w->Text1->setText(QStringLiteral("4"));
    press(w, QStringLiteral("Старт"));
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(core::ReadIni(ini, QStringLiteral("General"), QStringLiteral("ComPort"), {}), fake.path());
}

TEST_F(ComportTest, ALostLinkIsShownRetriedAndResumedWithoutMessages) {
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    ASSERT_TRUE(fake.linkAs(linkPath));
    writeSettings(linkPath);
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    w->Text1->setText(QStringLiteral("2"));
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(w->Timer1->isActive());
    const QByteArray regime = ReadBytes(regimePath());
    const QByteArray results = ReadBytes(resultsPath());
    dialogs.shown.clear();

    fake.send("125 34 3.");  // part of a reading, then the cable is pulled
    fake.close();
    Pump(200);
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("Связь потеряна"))) << w->windowTitle().toStdString();
    ticks(w, 4);  // two periods of retrying at a link that leads nowhere
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("Связь потеряна")));
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(ReadBytes(regimePath()), regime);
    EXPECT_EQ(ReadBytes(resultsPath()), results);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // the analyser comes back at the same link: reading goes on by itself
    FakeAnalyser again;
    ASSERT_TRUE(again.open());
    ASSERT_TRUE(again.linkAs(linkPath));
    again.send("1 1 1 1 1 1 1\r\n");  // before the reopening: never a reading of its own
    ticks(w, 2);
    EXPECT_TRUE(again.peerOpen());
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("Выполняется")));
    ticks(w, 2);
    EXPECT_EQ(ReadBytes(regimePath()), regime);
    again.send(kExample);
    again.send(kExample);
    ticks(w, 2);
    EXPECT_DOUBLE_EQ(stored(11), 125);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // "Стоп" ends the retrying after another loss
    again.close();
    Pump(200);
    press(w, QStringLiteral("Старт"));
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" :    Остановлено")));
}

TEST_F(ComportTest, KeepsItsChoicesShowsItsStateInsideAndLogsTheLinkLostAndBack) {
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    ASSERT_TRUE(fake.linkAs(linkPath));
    writeSettings(linkPath);
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    // the choices as a user makes them, each kept in "ComPort.ini" at once
    w->Check1[0]->click();
    w->Text1->setText(QStringLiteral("2"));
    Q_EMIT w->Text1->editingFinished();
    w->Text2->setText(QStringLiteral("30"));
    Q_EMIT w->Text2->editingFinished();
    w->Combo2->setCurrentIndex(2);
    Q_EMIT w->Combo2->activated(2);
    auto key = [&](const char* k) { return core::ReadIni(ini, QStringLiteral("General"), QString::fromLatin1(k), QStringLiteral("none")); };
    EXPECT_EQ(key("Temperature"), QStringLiteral("1"));
    EXPECT_EQ(key("Period"), QStringLiteral("2"));
    EXPECT_EQ(key("SteadyWindow"), QStringLiteral("30"));
    EXPECT_EQ(key("NO2"), QStringLiteral("5%"));
    w->close();
    settle();
    frame().ComP->trigger();
    settle();
    w = window();
    ASSERT_NE(w, nullptr);
    w->Timer1->setInterval(3600 * 1000);
    EXPECT_TRUE(w->Check1[0]->isChecked());
    EXPECT_EQ(w->Text1->text(), QStringLiteral("2"));
    EXPECT_EQ(w->Text2->text(), QStringLiteral("30"));
    EXPECT_EQ(w->Combo2->currentText(), QStringLiteral("NO2 = 5 % от NOx"));

    // the state in full inside the window, whatever the caption shows
    const QString head = linkPath + QStringLiteral(" -> ") + w->Combo1->currentText();
    const QString tail = QStringLiteral("    (") + head + u')';
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Остановлено") + tail);
    press(w, QStringLiteral("Старт"));
    ticks(w, 1);
    EXPECT_EQ(w->Label5->text(), QStringLiteral("Выполняется:  1") + tail);
    fake.send("\r\n  125  38 3.5 10.2 0 0 145\r\n");
    ticks(w, 1);
    EXPECT_DOUBLE_EQ(stored(17), 145);  // the kept temperature box
    EXPECT_DOUBLE_EQ(stored(15), 2);    // NO2 = 38 x 0.05 / 0.95
    EXPECT_TRUE(w->Label3->text().contains(QStringLiteral("Не измеряются анализатором: NO2 (NO2 = 5 % от NOx)")))
        << w->Label3->text().toStdString();
    EXPECT_TRUE(w->Label4->text().startsWith(QStringLiteral("Окно 30 с: Мало показаний"))) << w->Label4->text().toStdString();
    fake.close();
    Pump(200);
    EXPECT_TRUE(w->Label5->text().startsWith(QStringLiteral("Связь потеряна, повтор через: ")))
        << w->Label5->text().toStdString();
    ticks(w, 2);
    FakeAnalyser again;
    ASSERT_TRUE(again.open());
    ASSERT_TRUE(again.linkAs(linkPath));
    ticks(w, 2);
    EXPECT_TRUE(w->Label5->text().startsWith(QStringLiteral("Выполняется"))) << w->Label5->text().toStdString();
    EXPECT_TRUE(w->Label5->text().endsWith(tail));
    press(w, QStringLiteral("Старт"));
    const QString log = core::DecodeCp1251(ReadBytes(core::JoinPath(
        state.currentObjectFolder,
        QStringLiteral("Анализатор Режим %1.csv").arg(analyser::RegimeNumberOf(state.currentRegimeFile)))));
    EXPECT_EQ(log.count(QStringLiteral(";Связь потеряна: ")), 1) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral(";Связь восстановлена: ")), 1) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral(";записано, NO2: NO2 = 5 % от NOx\r\n")), 1) << log.toStdString();
}

TEST_F(ComportTest, WithTheSimulatorDriftingTheTrendShadesTheWindowAndSaysWhyItIsNotSteady) {
    // the program's own simulator, O2 climbing from 3 to 6 % in 12 s, read in real time
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../kalvaro-cli"),
              {"analyser-sim", "--period", "0.5", "--link", linkPath, "--seed", "5", "--drift", "O2:3-6:12"});
    ASSERT_TRUE(sim.waitForReadyRead(10000));
    writeSettings(linkPath);
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    w->Timer1->setInterval(1000);
    w->Check1[0]->setChecked(true);
    w->Check2->setChecked(true);
    w->Text1->setText(QStringLiteral("1"));
    w->Text2->setText(QStringLiteral("10"));
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(w->Timer1->isActive());
    Pump(10500);
    EXPECT_GE(w->Trend->points(), 10);
    EXPECT_TRUE(w->Trend->verdict().startsWith(QStringLiteral("O2 растёт на "))) << w->Trend->verdict().toStdString();
    EXPECT_TRUE(w->Label4->text().contains(QStringLiteral("Окно 10 с: ") + w->Trend->verdict())) << w->Label4->text().toStdString();
    EXPECT_GT(stored(13), 4.0);
    // the window is shaded in the colour of "not steady"
    const QImage trend = w->Trend->grab().toImage();
    int shaded = 0;
    for (int y = 0; y < trend.height(); y += 2)
        for (int x = 0; x < trend.width(); x += 2) shaded += trend.pixelColor(x, y) == QColor(253, 240, 210) ? 1 : 0;
    EXPECT_GT(shaded, 200);
    if (!qEnvironmentVariableIsEmpty("KALVARO_SHOTS"))
        w->grab().save(qEnvironmentVariable("KALVARO_SHOTS") + QStringLiteral("/comport-drift.png"));
    press(w, QStringLiteral("Старт"));
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
}

TEST_F(ComportTest, ClosingInAnyStateStopsTheTimerAndClosesThePort) {
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    writeSettings(fake.path());
    comport* w = openWindow(kSchool);
    ASSERT_NE(w, nullptr);
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(w->Timer1->isActive());
    ASSERT_TRUE(fake.peerOpen());
    QPointer<comport> guard(w);
    w->close();  // as the close box does
    settle();
    EXPECT_FALSE(fake.peerOpen());
    EXPECT_TRUE(guard.isNull());

    frame().ComP->trigger();
    settle();
    w = window();
    ASSERT_NE(w, nullptr);
    press(w, QStringLiteral("Старт"));
    ASSERT_TRUE(fake.peerOpen());
    press(w, QStringLiteral("Выход"));
    settle();
    EXPECT_FALSE(fake.peerOpen());
    EXPECT_EQ(window(), nullptr);
}

TEST_F(ComportTest, TheMenuEntryFollowsTheRegimeSelection) {
    EXPECT_FALSE(frame().ComP->isEnabled());
    ASSERT_TRUE(wb->openObject(kSchool));
    settle();
    EXPECT_TRUE(frame().ComP->isEnabled());  // the editor opened on the first regime
    dialogs.answers.push_back(app::Answer::Yes);
    list()->SReg_Toolbar5_ButtonClick(QStringLiteral("Удалить"));
    EXPECT_FALSE(frame().ComP->isEnabled());
    ASSERT_TRUE(list()->selectRow(0));
    EXPECT_TRUE(frame().ComP->isEnabled());
    wb->closeObject();
    settle();
    EXPECT_FALSE(frame().ComP->isEnabled());
}

}  // namespace
}  // namespace frame_testing
