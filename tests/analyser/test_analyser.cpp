// The analyser link without a display: settings and "ComPort.ini", port names, the
// analyser text, the reading into a regime, the port over a pseudo-terminal made here,
// the reading cycle with its lost link, and the command-line capture with the simulator.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

#include "analyser/analyserlink.h"
#include "analyser/analyserport.h"
#include "analyser/portsettings.h"
#include "analyser/reading.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "regime/regimestore.h"
#include "regime/repeatability.h"
#include "store/objectstore.h"
#include "support/pty.h"
#include "support/testdirs.h"

using namespace analyser;
using testing_support::FakeAnalyser;
using testing_support::Pump;
using testing_support::ReadBytes;

namespace {

// The port needs an event loop to hear the device; one application for the whole program.
void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "kalvaro_tests_model";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QCoreApplication> app(new QCoreApplication(argc, argv));
}

const QByteArray kExample = "  125  34 3.5 10.2 0 0 145\r\n";
const QString kSchool = QStringLiteral("Котельная школы №3");         // no economiser, natural gas
const QString kDairy = QStringLiteral("Молокозавод, паровая котельная");  // economiser, diesel

// A program folder holding copies of the demo objects.
class DemoHome {
public:
    DemoHome() {
        home.apply(state);
        const QString from = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты");
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            const QString target = core::JoinPath(home.objects(), QDir(from).relativeFilePath(f));
            QDir().mkpath(QFileInfo(target).path());
            QFile::copy(f, target);
        }
    }
    // Opens the object as the regime list does and makes regime row `row` current.
    bool open(const QString& name, int row, QStringList& fields) {
        state.setCurrentObject(name);
        QString error;
        if (!store::LoadObjectData(state, &error)) return false;
        if (!regime::FillRegimeList(state).isEmpty() || row >= state.regimeList.rows.size()) return false;
        state.setCurrentRegime(state.regimeList.rows[row].key);
        return regime::LoadRegimeInputs(state, &fields) && regime::LoadRegimeResults(state);
    }
    QString regimeFile() const { return core::JoinPath(state.currentObjectFolder, state.currentRegimeFile); }
    QString resultsFile() const { return core::JoinPath(state.currentObjectFolder, state.currentResultsFile); }
    QStringList storedInputs() const {
        QStringList lines;
        core::ReadTextLines(regimeFile(), lines);
        return lines;
    }

    testing_support::TestHome home;
    app::AppState state;
};

double Stored(const QStringList& lines, int k) { return core::ParseNumber(lines.value(k)); }

}  // namespace

// ------------------------------------------------------------------ settings

TEST(AnalyserSettings, RoundTripThroughTheIniFileWithQuestionMarksForMissingKeys) {
    QTemporaryDir dir;
    const QString ini = SettingsFilePath(dir.path());
    EXPECT_EQ(QFileInfo(ini).fileName(), QStringLiteral("ComPort.ini"));
    PortSettings missing = ReadPortSettings(ini);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(missing.value(i), QStringLiteral("?")) << i;

    const QStringList values = {QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"), QStringLiteral("19200"),
                                QStringLiteral("Yes"), QStringLiteral("7"), QStringLiteral("2")};
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(WritePortSetting(ini, i, values[i]));
    const PortSettings back = ReadPortSettings(ini);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(back.value(i), values[i]) << i;
    EXPECT_EQ(SettingsText(back), QStringLiteral("19200,Y,7,2"));

    // one section "General" with the five keys, Windows line ends
    const QString text = core::DecodeCp1251(ReadBytes(ini));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[General]\r\n")));
    for (const QString& key : kSettingKeys) EXPECT_TRUE(text.contains(key + u'=')) << key.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("[General]")), 1);

    // a key written again replaces its value; the others stay
    ASSERT_TRUE(WritePortSetting(ini, 1, QStringLiteral("2400")));
    EXPECT_EQ(ReadPortSettings(ini).speed, QStringLiteral("2400"));
    EXPECT_EQ(ReadPortSettings(ini).stopBits, QStringLiteral("2"));

    // a folder that cannot take the file: refused with the file's name
    QString error;
    EXPECT_FALSE(WritePortSetting(dir.filePath("no/such/folder/ComPort.ini"), 0, QStringLiteral("COM1"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ComPort.ini")));
}

TEST(AnalyserSettings, TheWindowsOtherChoicesAreKeptBesideThePortSettings) {
    QTemporaryDir dir;
    const QString ini = SettingsFilePath(dir.path());
    LinkOptions o = ReadLinkOptions(ini);  // nothing kept yet: the defaults
    EXPECT_FALSE(o.temperature);
    EXPECT_EQ(o.period, QStringLiteral("4"));
    EXPECT_EQ(o.steadyWindow, 60);
    EXPECT_EQ(o.no2, No2Policy::Zero);
    ASSERT_TRUE(WriteLinkOption(ini, kTemperatureKey, QStringLiteral("1")));
    ASSERT_TRUE(WriteLinkOption(ini, kPeriodKey, QStringLiteral("2")));
    ASSERT_TRUE(WriteLinkOption(ini, kSteadyWindowKey, QStringLiteral("120")));
    ASSERT_TRUE(WriteLinkOption(ini, kNo2Key, No2PolicyKey(No2Policy::FivePercent)));
    ASSERT_TRUE(WritePortSetting(ini, 0, QStringLiteral("COM2")));
    o = ReadLinkOptions(ini);
    EXPECT_TRUE(o.temperature);
    EXPECT_EQ(o.period, QStringLiteral("2"));
    EXPECT_EQ(o.steadyWindow, 120);
    EXPECT_EQ(o.no2, No2Policy::FivePercent);
    EXPECT_EQ(ReadPortSettings(ini).port, QStringLiteral("COM2"));
    // what a hand-edited file may hold that is no choice falls back to the default
    ASSERT_TRUE(WriteLinkOption(ini, kSteadyWindowKey, QStringLiteral("5")));
    ASSERT_TRUE(WriteLinkOption(ini, kNo2Key, QStringLiteral("half")));
    o = ReadLinkOptions(ini);
    EXPECT_EQ(o.steadyWindow, 60);
    EXPECT_EQ(o.no2, No2Policy::Zero);
    int seconds = 0;
    for (const char* bad : {"9", "3601", "60.5", "", "x"}) EXPECT_FALSE(ParseSteadyWindow(QString::fromLatin1(bad), seconds)) << bad;
    EXPECT_TRUE(ParseSteadyWindow(QStringLiteral(" 3600 "), seconds));
    EXPECT_EQ(seconds, 3600);
    EXPECT_EQ(No2PolicyText(No2Policy::Zero), QStringLiteral("NO2 не измеряется: 0"));
    EXPECT_EQ(No2PolicyText(No2Policy::Keep), QStringLiteral("оставить введённое"));
    EXPECT_EQ(No2PolicyText(No2Policy::FivePercent), QStringLiteral("NO2 = 5 % от NOx"));
}

TEST(AnalyserSettings, PortTextsNameLinuxDevices) {
    EXPECT_EQ(DevicePath(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(DevicePath(QStringLiteral("COM4")), QStringLiteral("/dev/ttyS3"));
    EXPECT_EQ(DevicePath(QStringLiteral("com3")), QStringLiteral("/dev/ttyS2"));
    // the whole number counts, not its last digit
    EXPECT_EQ(DevicePath(QStringLiteral("COM10")), QStringLiteral("/dev/ttyS9"));
    EXPECT_EQ(DevicePath(QStringLiteral("COM0")), QString());
    EXPECT_EQ(DevicePath(QStringLiteral("/dev/rfcomm0")), QStringLiteral("/dev/rfcomm0"));
    EXPECT_EQ(DevicePath(QStringLiteral("/dev/pts/4")), QStringLiteral("/dev/pts/4"));
    EXPECT_EQ(DevicePath(QStringLiteral(" ttyUSB0 ")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(DevicePath(QStringLiteral("COMX")), QStringLiteral("/dev/COMX"));
    EXPECT_EQ(DevicePath(QStringLiteral("?")), QString());
    EXPECT_EQ(DevicePath(QString()), QString());
}

TEST(AnalyserSettings, SettingsTextsThePortCanAndCannotTake) {
    LineSettings l;
    ASSERT_TRUE(ParseSettingsText(QStringLiteral("9600,N,8,1"), l));
    EXPECT_EQ(l.baud, 9600);
    EXPECT_EQ(l.parity, QSerialPort::NoParity);
    EXPECT_EQ(l.dataBits, QSerialPort::Data8);
    EXPECT_EQ(l.stopBits, QSerialPort::OneStop);
    // "Yes" is even parity
    ASSERT_TRUE(ParseSettingsText(QStringLiteral("2400,Y,7,2"), l));
    EXPECT_EQ(l.parity, QSerialPort::EvenParity);
    EXPECT_EQ(l.dataBits, QSerialPort::Data7);
    EXPECT_EQ(l.stopBits, QSerialPort::TwoStop);

    QString why;
    EXPECT_FALSE(ParseSettingsText(QStringLiteral("9600,N,8,1.5"), l, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("1.5")));
    for (const char* bad : {"?,N,8,1", "9600,?,8,1", "9600,N,?,1", "9600,N,8,?", "9600,N,9,1", "9600,N,4,1",
                            "0,N,8,1", "9600,X,8,1", "9600,N,8", "", "fast,N,8,1"}) {
        why.clear();
        EXPECT_FALSE(ParseSettingsText(QString::fromLatin1(bad), l, &why)) << bad;
        EXPECT_FALSE(why.isEmpty()) << bad;
    }
}

TEST(AnalyserSettings, PollingPeriods) {
    int p = 0;
    ASSERT_TRUE(ParsePeriod(QStringLiteral("4"), p));
    EXPECT_EQ(p, 4);
    ASSERT_TRUE(ParsePeriod(QStringLiteral(" 1 "), p));
    EXPECT_EQ(p, 1);
    ASSERT_TRUE(ParsePeriod(QStringLiteral("2.5"), p));
    EXPECT_EQ(p, 2);  // halves to even
    ASSERT_TRUE(ParsePeriod(QStringLiteral("3.5"), p));
    EXPECT_EQ(p, 4);
    ASSERT_TRUE(ParsePeriod(QStringLiteral("32767"), p));
    for (const char* bad : {"0", "0.99", "-4", "abc", "", "4,5", "32768", "inf", "nan"})
        EXPECT_FALSE(ParsePeriod(QString::fromLatin1(bad), p)) << bad;
    EXPECT_TRUE(kPeriodRefusal.contains(QStringLiteral(" 1 ")));
}

// ------------------------------------------------------------------ analyser text

namespace {

// Feeds the chunks in turn and collects the readings they complete.
QStringList Frame(ReadingFramer& f, const QList<QByteArray>& chunks) {
    QStringList out;
    for (const QByteArray& c : chunks)
        for (const QByteArray& line : f.feed(c)) out.append(QString::fromLatin1(line));
    return out;
}

}  // namespace

TEST(AnalyserText, ReadingsEndAtTheirLineEndsAndACutReadingWaitsForItsRest) {
    // CR LF: the fragment before the first line end is dropped, a reading cut between two
    // chunks is joined, the tail after the last line end waits
    ReadingFramer f;
    EXPECT_EQ(Frame(f, {"4 0 145\r\n  125  34 3.5 10.", "2 0 0 145\r", "\n12 3"}),
              QStringList({"  125  34 3.5 10.2 0 0 145"}));
    EXPECT_EQ(f.pending(), 4);
    EXPECT_EQ(Frame(f, {" 4 5 6 7\r\n"}), QStringList({"12 3 4 5 6 7"}));
    // once a line feed has come, carriage returns separate values
    EXPECT_EQ(Frame(f, {"1\r2\r3\r4\r5\r6\r7\r\n", "\r\n", " \t \n"}), QStringList({"1\r2\r3\r4\r5\r6\r7"}));

    // LF alone, tabs between values
    ReadingFramer lf;
    EXPECT_EQ(Frame(lf, {"x\n", "10\t20\t3.5\t9.1\t0\t0\t150\n"}), QStringList({"10\t20\t3.5\t9.1\t0\t0\t150"}));

    // CR alone, for an analyser that sends no LF
    ReadingFramer cr;
    EXPECT_EQ(Frame(cr, {"145\r10 20 3", ".5 9.1 0 0 150\r11 21 3.6 9.0 0 0 151\r"}),
              QStringList({"10 20 3.5 9.1 0 0 150", "11 21 3.6 9.0 0 0 151"}));
    EXPECT_FALSE(cr.lineFeeds());

    // a stray line feed in a CR-only stream costs only the reading it falls into: the two
    // halves are refused, the readings after it are kept, and CR ends readings again
    ReadingFramer stray;
    const QStringList glued = Frame(stray, {"0\r10 20 3.5 9.1 0 0 150\r11 2\n1 3.6 9.0 0 0 151\r12 22 3.7 9 0 0 152\r",
                                            "\n", "14 24 3.9 9 0 0 154\r", "15 25 4 9 0 0 155\r"});
    EXPECT_EQ(glued, QStringList({"10 20 3.5 9.1 0 0 150", "11 2", "1 3.6 9.0 0 0 151", "12 22 3.7 9 0 0 152",
                                  "14 24 3.9 9 0 0 154", "15 25 4 9 0 0 155"}));
    EXPECT_EQ(ParseReading(glued[2], true).refusal, QStringLiteral("Неполное показание: 6 из 7 значений"));
    EXPECT_TRUE(ParseReading(glued[3], true).accepted);
    EXPECT_FALSE(stray.lineFeeds());
    // readings that did come glued by a CR in one line are still refused as one
    EXPECT_EQ(ParseReading(QStringLiteral("1 3.6 9.0 0 0 151 2\r12 22 3.7 9 0 0 152"), true).refusal,
              QStringLiteral("Неполное показание: несколько показаний в одной строке"));

    // opening again drops the half reading that was waiting and the next fragment
    cr.restart();
    EXPECT_EQ(Frame(cr, {"0 0 150\r", "12 22 3.7 9 0 0 152\r"}), QStringList({"12 22 3.7 9 0 0 152"}));

    // noise without line ends is dropped when it grows too long, and framing starts over
    ReadingFramer noise;
    EXPECT_TRUE(Frame(noise, {"\n", QByteArray(kMaxReadingBytes + 10, 'z'), "1 2 3 4 5 6 7\n"}).isEmpty());
    EXPECT_EQ(Frame(noise, {"1 2 3 4 5 6 7\n"}), QStringList({"1 2 3 4 5 6 7"}));
}

TEST(AnalyserText, ACompleteReadingIsSevenNumbersWithinTheirRanges) {
    Reading r = ParseReading(QStringLiteral("  125  34 3,5 10.2 1.17 0 145 99 x"), true);
    ASSERT_TRUE(r.accepted) << r.refusal.toStdString();
    EXPECT_EQ(r.values.size(), 7);  // the eighth and ninth are ignored
    EXPECT_DOUBLE_EQ(r.numbers[0], 125);
    EXPECT_DOUBLE_EQ(r.numbers[2], 3.5);  // a decimal comma
    EXPECT_DOUBLE_EQ(r.numbers[3], 10.2);
    EXPECT_DOUBLE_EQ(r.numbers[6], 145);
    EXPECT_TRUE(ParseReading(QStringLiteral("1\r2\r3\r4\r5\r6\r7\r"), false).accepted);

    // refused readings say why
    struct Case {
        const char* text;
        bool temperature;
        const char* why;
    };
    for (const Case& c : {Case{"  125  34 3.5 10.2 0 0", true, "Неполное показание: 6 из 7 значений"},
                          Case{"14", true, "Неполное показание: 1 из 7 значений"},
                          Case{"125 34 3.5 1O.2 0 0 145", true, "Неполное показание: значение 4 «1O.2» не число"},
                          Case{"125 34 3.5 10.2 0 0 1,4,5", true, "Неполное показание: значение 7 «1,4,5» не число"},
                          Case{"125 34 3.5 10.2 0 0 1e99", true, "Неполное показание: значение 7 «1e99» не число"},
                          Case{"125 34 99.58 10.2 0 0 145", true, "значение 99.58 вне пределов от 0 до 21 %"},
                          Case{"125 34 21 10.2 0 0 145", true, "(не включая 21)"},
                          Case{"-5 34 3.5 10.2 0 0 145", true, "значение -5 вне пределов"},
                          Case{"125 34 3.5 10.2 0 0 4000", true, "значение 4000 вне пределов от -60 до 1200"}}) {
        r = ParseReading(QString::fromUtf8(c.text), c.temperature);
        EXPECT_FALSE(r.accepted) << c.text;
        EXPECT_TRUE(r.refusal.contains(QString::fromUtf8(c.why))) << c.text << " -> " << r.refusal.toStdString();
    }
    // the temperature is checked only when it is read
    EXPECT_TRUE(ParseReading(QStringLiteral("125 34 3.5 10.2 0 0 4000"), false).accepted);
    EXPECT_FALSE(ParseReading(QStringLiteral("125 34 3.5 10.2 0 0 warm"), false).accepted);
}

TEST(AnalyserText, ThePeriodGivesItsNewestReadingOrTheMeanWithItsSpread) {
    const QDateTime t0(QDate(2026, 3, 2), QTime(10, 0, 0));
    QList<Reading> period = {ParseReading(QStringLiteral("100 30 3.4 10.0 0 0 150"), true, t0),
                             ParseReading(QStringLiteral("120 32 3.6 9.9 0 0 152"), true, t0.addSecs(1)),
                             ParseReading(QStringLiteral("110 31 3,5 9.95 0 0 151"), true, t0.addSecs(2)),
                             ParseReading(QStringLiteral("9 9"), true, t0.addSecs(3))};
    PeriodValues newest = CombineReadings(period, false);
    EXPECT_EQ(newest.used, 1);
    EXPECT_FALSE(newest.averaged);
    EXPECT_DOUBLE_EQ(newest.values[0], 110);  // the newest accepted one, not the refused one after it
    EXPECT_DOUBLE_EQ(newest.values[2], 3.5);

    PeriodValues mean = CombineReadings(period, true);
    EXPECT_EQ(mean.used, 3);
    EXPECT_DOUBLE_EQ(mean.values[0], 110);
    EXPECT_DOUBLE_EQ(mean.values[2], 3.5);
    EXPECT_DOUBLE_EQ(mean.values[3], 9.95);  // 29.85 / 3, to three decimals
    EXPECT_NEAR(mean.sdO2, 0.1, 1e-12);
    EXPECT_NEAR(mean.sdCO, 10, 1e-12);
    EXPECT_NEAR(mean.sdTemperature, 1, 1e-12);
    EXPECT_TRUE(mean.steady);
    // one decimal more than the most precise reading, halves to even
    const PeriodValues third =
        CombineReadings({ParseReading(QStringLiteral("1 1 3.1 9 0 0 1"), true), ParseReading(QStringLiteral("2 1 3.2 9 0 0 1"), true),
                         ParseReading(QStringLiteral("2 1 3.2 9 0 0 1"), true)},
                        true);
    EXPECT_DOUBLE_EQ(third.values[0], 1.7);    // 5/3
    EXPECT_DOUBLE_EQ(third.values[2], 3.17);   // 9.5/3
    // a burner still moving is not steady; two readings are too few to tell
    period.append(ParseReading(QStringLiteral("110 31 4.2 9.5 0 0 151"), true));
    EXPECT_FALSE(CombineReadings(period, true).steady);
    EXPECT_FALSE(CombineReadings(period.mid(0, 2), true).steady);
    EXPECT_EQ(CombineReadings({period[3]}, true).used, 0);

    // the fields of the sampling point get the editor form of the values
    QStringList f(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, newest.values, SamplingPoint::AfterEconomiser, true);
    EXPECT_EQ(f[11], QStringLiteral(" 110"));
    EXPECT_EQ(f[14], QStringLiteral(" 31"));
    EXPECT_EQ(f[13], QStringLiteral(" 3.5"));
    EXPECT_EQ(f[12], QStringLiteral(" 9.95"));
    EXPECT_EQ(f[17], QStringLiteral(" 151"));
    for (int k : {15, 35, 36, 37, 38, 39, 40}) EXPECT_EQ(f[k], QStringLiteral(" 9")) << k;
    f = QStringList(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, newest.values, SamplingPoint::BeforeEconomiser, false);
    EXPECT_EQ(f[35], QStringLiteral(" 110"));
    EXPECT_EQ(f[38], QStringLiteral(" 31"));
    EXPECT_EQ(f[37], QStringLiteral(" 3.5"));
    EXPECT_EQ(f[36], QStringLiteral(" 9.95"));
    for (int k : {11, 12, 13, 14, 17, 39, 40}) EXPECT_EQ(f[k], QStringLiteral(" 9")) << k;
}

// ------------------------------------------------------------------ reading into a regime

namespace {

PeriodValues Newest(const char* text) { return CombineReadings({ParseReading(QString::fromUtf8(text), true)}, false); }

}  // namespace

TEST(AnalyserReading, SavesCalculatesAndSortsTheCurrentRegime) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kSchool, 1, fields));
    const QByteArray oldResults = ReadBytes(d.resultsFile());
    const QStringList before = d.storedInputs();
    QStringList notices;
    const StoreOutcome o = StoreAnalyserValues(d.state, fields, Newest(kExample.constData()),
                                               SamplingPoint::AfterEconomiser, true,
                                               [&](const QString& m) { notices.append(m); });
    ASSERT_TRUE(o.saved) << o.error.toStdString();
    EXPECT_EQ(o.calc.outcome, regime::CalcOutcome::Calculated);
    EXPECT_TRUE(notices.isEmpty());
    const QStringList stored = d.storedInputs();
    ASSERT_EQ(stored.size(), 43);
    EXPECT_DOUBLE_EQ(Stored(stored, 11), 125);
    EXPECT_DOUBLE_EQ(Stored(stored, 14), 34);
    EXPECT_FLOAT_EQ(Stored(stored, 13), 3.5f);
    EXPECT_FLOAT_EQ(Stored(stored, 12), 10.2f);
    EXPECT_DOUBLE_EQ(Stored(stored, 17), 145);
    for (int k : {0, 1, 2, 18, 22, 23, 41}) EXPECT_EQ(stored[k], before[k]) << k;
    EXPECT_EQ(fields[13], QStringLiteral(" 3.5"));
    // the results follow the new flue gas and were written
    EXPECT_NE(ReadBytes(d.resultsFile()), oldResults);
    QStringList results;
    ASSERT_TRUE(core::ReadTextLines(d.resultsFile(), results));
    EXPECT_FLOAT_EQ(static_cast<float>(core::ParseNumber(results[4])), d.state.results[4]);
    // the list is sorted by load with the regime still current
    double previous = -1;
    for (const auto& row : d.state.regimeList.rows) {
        EXPECT_GE(core::ParseNumber(row.load), previous);
        previous = core::ParseNumber(row.load);
    }
    EXPECT_GE(d.state.regimeList.find(d.state.currentRegimeFile), 0);
}

TEST(AnalyserReading, AnEditSavedMeanwhileIsKeptAndADeletedRegimeIsNotCreatedAgain) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kSchool, 0, fields));
    // another window changes the gas flow (field 1) after this one read the regime
    QStringList lines = d.storedInputs();
    lines[1] = QStringLiteral("99");
    ASSERT_TRUE(core::WriteTextLines(d.regimeFile(), lines));
    ASSERT_TRUE(StoreAnalyserValues(d.state, fields, Newest(kExample.constData()), SamplingPoint::AfterEconomiser, false)
                    .saved);
    QStringList stored = d.storedInputs();
    EXPECT_DOUBLE_EQ(Stored(stored, 1), 99);
    EXPECT_DOUBLE_EQ(Stored(stored, 11), 125);
    EXPECT_EQ(stored[17], lines[17]);  // temperature not read
    for (int k = 0; k < 43; ++k)
        if (k != 11 && k != 12 && k != 13 && k != 14) {
            EXPECT_EQ(stored[k], lines[k]) << k;
        }
    EXPECT_EQ(fields[1], QStringLiteral(" 99"));

    // no economiser: the before-the-economiser choice fills the after-the-boiler column
    ASSERT_TRUE(StoreAnalyserValues(d.state, fields, Newest("80 20 4 9.5 0 0 140"), SamplingPoint::BeforeEconomiser, true)
                    .saved);
    stored = d.storedInputs();
    EXPECT_DOUBLE_EQ(Stored(stored, 11), 80);
    EXPECT_DOUBLE_EQ(Stored(stored, 17), 140);
    for (int k = 35; k <= 40; ++k) EXPECT_EQ(stored[k], lines[k]) << k;

    // the regime is deleted meanwhile: nothing is written, the file stays gone
    const QString gone = d.regimeFile();
    ASSERT_TRUE(QFile::remove(gone));
    const StoreOutcome o = StoreAnalyserValues(d.state, fields, Newest(kExample.constData()),
                                               SamplingPoint::AfterEconomiser, true);
    EXPECT_FALSE(o.saved);
    EXPECT_TRUE(o.regimeGone);
    EXPECT_TRUE(o.error.contains(d.state.currentRegimeFile));
    EXPECT_FALSE(QFileInfo::exists(gone));
    // nothing accepted: nothing to store
    EXPECT_FALSE(StoreAnalyserValues(d.state, fields, PeriodValues{}, SamplingPoint::AfterEconomiser, true).saved);
}

TEST(AnalyserReading, BeforeTheEconomiserAndAFailedCheck) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kDairy, 0, fields));
    ASSERT_TRUE(BeforeEconomiserAllowed(d.state.general));
    const QStringList before = d.storedInputs();
    ASSERT_TRUE(StoreAnalyserValues(d.state, fields, Newest(kExample.constData()), SamplingPoint::BeforeEconomiser, false)
                    .saved);
    QStringList stored = d.storedInputs();
    EXPECT_DOUBLE_EQ(Stored(stored, 35), 125);
    EXPECT_DOUBLE_EQ(Stored(stored, 38), 34);
    EXPECT_FLOAT_EQ(Stored(stored, 37), 3.5f);
    EXPECT_FLOAT_EQ(Stored(stored, 36), 10.2f);
    EXPECT_EQ(stored[40], before[40]);  // temperature not ticked
    for (int k : {11, 12, 13, 14, 17}) EXPECT_EQ(stored[k], before[k]) << k;

    // a reading the data check refuses (no CO2 and no oxygen): saved, results untouched, notice
    const QByteArray results = ReadBytes(d.resultsFile());
    QStringList notices;
    const StoreOutcome o = StoreAnalyserValues(d.state, fields, Newest("40 30 0 0 0 0 150"),
                                               SamplingPoint::AfterEconomiser, true,
                                               [&](const QString& m) { notices.append(m); });
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(o.calc.outcome, regime::CalcOutcome::CheckFailed);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_EQ(ReadBytes(d.resultsFile()), results);

    // a regime file that cannot be written is reported
    QFile::remove(d.regimeFile());
    QDir().mkdir(d.regimeFile());  // a folder in its place
    const StoreOutcome bad = StoreAnalyserValues(d.state, fields, Newest(kExample.constData()),
                                                 SamplingPoint::AfterEconomiser, true);
    EXPECT_FALSE(bad.saved);
    EXPECT_FALSE(bad.error.isEmpty());
}

TEST(AnalyserReading, TheLogHoldsEveryReadingWithWhatBecameOfIt) {
    QTemporaryDir dir;
    const QString regimeFile = QStringLiteral("Режим №  12.Dat");
    EXPECT_EQ(ReadingLogName(regimeFile), QStringLiteral("Анализатор Режим 12.csv"));
    EXPECT_EQ(RegimeNumberOf(regimeFile), 12);
    const QDateTime t0(QDate(2026, 3, 2), QTime(10, 0, 4));
    const QList<Reading> period = {ParseReading(QStringLiteral("100 30 3.4 10 0 0 150"), true, t0),
                                   ParseReading(QStringLiteral("12;5 \"x\" 3.5"), true, t0.addSecs(1)),
                                   ParseReading(QStringLiteral("120 32 3.6 9.9 0 0 152"), true, t0.addSecs(2))};
    ASSERT_TRUE(AppendReadingLog(dir.path(), regimeFile, LogRowsOf(period, CombineReadings(period, false), true)));
    const PeriodValues mean = CombineReadings(period, true);
    ASSERT_TRUE(AppendReadingLog(dir.path(), regimeFile, LogRowsOf(period, mean, false, QStringLiteral("диск полон"))));

    const QByteArray bytes = ReadBytes(dir.filePath(QStringLiteral("Анализатор Режим 12.csv")));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    const QStringList lines = core::DecodeCp1251(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 3 + 4) << core::DecodeCp1251(bytes).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Время;CO;NO;O2;CO2;Значение 5;Значение 6;Тух.г;Результат"));
    EXPECT_EQ(lines[1], QStringLiteral("02.03.2026 10:00:04;100;30;3,4;10;0;0;150;не использовано: есть более новое"));
    // texts as received are quoted, so a spreadsheet never turns "3.5" into a date
    EXPECT_EQ(lines[2], QStringLiteral("02.03.2026 10:00:05;\"12;5\";\"\"\"x\"\"\";\"3.5\";;;;;Неполное показание: 3 из 7 значений"));
    EXPECT_EQ(lines[3], QStringLiteral("02.03.2026 10:00:06;120;32;3,6;9,9;0;0;152;записано"));
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral(";в среднем")));
    EXPECT_EQ(lines[7], QStringLiteral("02.03.2026 10:00:06;110;31;3,5;9,95;0;0;151;не записано: диск полон"));
    for (const QString& l : lines) EXPECT_EQ(l.count(u';') - l.count(QStringLiteral("\"12;5\"")), 8) << l.toStdString();

    // a folder that cannot take the file: refused with its name
    QString error;
    EXPECT_FALSE(AppendReadingLog(dir.filePath(QStringLiteral("no/such")), regimeFile, LogRowsOf(period, mean, true), &error));
    EXPECT_FALSE(error.isEmpty());
}

// ------------------------------------------------------------------ the port

TEST(AnalyserPortTest, OpensAPseudoTerminalAndReadsOnlyWhatCameAfterOpening) {
    EnsureApplication();
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    ASSERT_TRUE(fake.send("stale 1 2 3\r\n"));  // sent before the port was opened
    AnalyserPort port;
    ASSERT_TRUE(port.open(fake.path(), QStringLiteral("9600,N,8,1"))) << port.reason().toStdString();
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(fake.peerOpen());
    Pump(50);
    EXPECT_EQ(port.waiting(), 0);
    ASSERT_TRUE(fake.send(kExample));
    Pump(100);
    EXPECT_EQ(port.waiting(), kExample.size());
    EXPECT_EQ(port.takeAll(), kExample);
    EXPECT_EQ(port.waiting(), 0);
    port.close();
    EXPECT_FALSE(port.isOpen());
    Pump(20);
    EXPECT_FALSE(fake.peerOpen());
}

TEST(AnalyserPortTest, OpenFailuresAndTheirReasons) {
    EnsureApplication();
    AnalyserPort port;
    EXPECT_FALSE(port.open(QStringLiteral("/dev/no-such-analyser"), QStringLiteral("9600,N,8,1")));
    EXPECT_EQ(port.failure(), PortFailure::NotFound);
    EXPECT_TRUE(port.reason().contains(QStringLiteral("/dev/no-such-analyser")));
    EXPECT_FALSE(port.open(QStringLiteral("?"), QStringLiteral("9600,N,8,1")));
    EXPECT_EQ(port.failure(), PortFailure::NotFound);

    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    EXPECT_FALSE(port.open(fake.path(), QStringLiteral("9600,N,8,1.5")));
    EXPECT_EQ(port.failure(), PortFailure::Settings);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.open(fake.path(), QStringLiteral("?,N,8,1")));
    EXPECT_EQ(port.failure(), PortFailure::Settings);

    // a port another program holds
    AnalyserPort first;
    ASSERT_TRUE(first.open(fake.path(), QStringLiteral("9600,N,8,1")));
    EXPECT_FALSE(port.open(fake.path(), QStringLiteral("9600,N,8,1")));
    EXPECT_EQ(port.failure(), PortFailure::Busy);
    EXPECT_TRUE(port.reason().contains(QStringLiteral("занят другой программой")));

    // no right to the device: the reason names the group and the command
    EXPECT_EQ(ClassifyOpenError(QSerialPort::PermissionError, false), PortFailure::Permission);
    EXPECT_EQ(ClassifyOpenError(QSerialPort::PermissionError, true), PortFailure::Busy);
    EXPECT_EQ(ClassifyOpenError(QSerialPort::DeviceNotFoundError, true), PortFailure::NotFound);
    const QString why = FailureReason(PortFailure::Permission, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(why.contains(QStringLiteral("dialout")));
    EXPECT_TRUE(why.contains(QStringLiteral("sudo usermod -a -G dialout $USER")));
    EXPECT_TRUE(why.contains(QStringLiteral("/dev/ttyUSB0")));
}

TEST(AnalyserPortTest, ThePortClosesAtOnceWhenTheDeviceGoes) {
    EnsureApplication();
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    AnalyserPort port;
    ASSERT_TRUE(port.open(fake.path(), QStringLiteral("9600,N,8,1")));
    int lost = 0;
    QObject::connect(&port, &AnalyserPort::linkLost, [&] { ++lost; });
    fake.send("12 3");
    fake.close();
    Pump(200);
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.failure(), PortFailure::Lost);
    EXPECT_TRUE(port.reason().contains(QStringLiteral("потеряна")));
    EXPECT_EQ(port.waiting(), 0);
}

// ------------------------------------------------------------------ the reading cycle

TEST(AnalyserLinkTest, PeriodFourReadsOnTheFourthTickAndEveryFourthAfter) {
    EnsureApplication();
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    AnalyserLink link;
    ASSERT_TRUE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("4")));
    EXPECT_EQ(link.state(), LinkState::Reading);
    EXPECT_EQ(link.countdown(), 4);
    QList<int> readAt;
    for (int tick = 1; tick <= 12; ++tick) {
        fake.send(QByteArray::number(tick) + " 2 3 4 5 6 7\r\n");
        Pump(30);
        const TickOutcome t = link.tick();
        EXPECT_EQ(link.fresh().size(), tick == 1 ? 0 : 1);  // the first line after opening may be cut: dropped
        if (t == TickOutcome::Read) {
            readAt.append(tick);
            // every reading of the period, the newest last
            ASSERT_EQ(link.readings().size(), tick == 4 ? 3 : 4);
            EXPECT_DOUBLE_EQ(link.readings().last().numbers[0], tick);
            EXPECT_TRUE(link.readings().last().accepted);
            EXPECT_EQ(link.quietPeriods(), 0);
        } else {
            EXPECT_EQ(t, TickOutcome::Counting);
            EXPECT_EQ(link.countdown(), 4 - tick % 4);
        }
    }
    EXPECT_EQ(readAt, QList<int>({4, 8, 12}));

    // stop and start again: the countdown starts over from the period
    link.tick();
    link.stop();
    EXPECT_EQ(link.state(), LinkState::Stopped);
    EXPECT_EQ(link.tick(), TickOutcome::Idle);
    ASSERT_TRUE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("3")));
    EXPECT_EQ(link.countdown(), 3);
    EXPECT_EQ(link.tick(), TickOutcome::Counting);
    EXPECT_EQ(link.tick(), TickOutcome::Counting);
    EXPECT_EQ(link.tick(), TickOutcome::Skipped);  // nothing came since the restart

    // a changed period applies from the next restart of the countdown; a bad one is ignored
    link.setPeriodText(QStringLiteral("2"));
    EXPECT_EQ(link.countdown(), 3);
    for (int i = 0; i < 3; ++i) link.tick();
    EXPECT_EQ(link.countdown(), 2);
    link.setPeriodText(QStringLiteral("0"));
    link.tick();
    link.tick();
    EXPECT_EQ(link.countdown(), 2);
}

TEST(AnalyserLinkTest, APeriodWithoutALineEndIsSkippedAndARefusedPeriodOpensNothing) {
    EnsureApplication();
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    AnalyserLink link;
    EXPECT_FALSE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("0.5")));
    EXPECT_EQ(link.state(), LinkState::Stopped);
    EXPECT_EQ(link.failure(), PortFailure::None);
    EXPECT_FALSE(fake.peerOpen());

    ASSERT_TRUE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("1")));
    EXPECT_EQ(link.tick(), TickOutcome::Skipped);  // silence
    EXPECT_EQ(link.bytesOfPeriod(), 0);
    EXPECT_EQ(link.quietPeriods(), 1);
    fake.send("\r\n12 3");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Skipped);  // half a reading waits for its rest
    EXPECT_EQ(link.bytesOfPeriod(), 6);
    EXPECT_EQ(link.quietPeriods(), 2);
    fake.send(" 3.5 10 0 0 145\r\n");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Read);
    ASSERT_EQ(link.readings().size(), 1);
    EXPECT_EQ(link.readings()[0].text, QStringLiteral("12 3 3.5 10 0 0 145"));
    EXPECT_EQ(link.quietPeriods(), 0);
    // refused readings end a period as a Read, but count as quiet
    fake.send("12 3 3.5\r\n");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Read);
    EXPECT_FALSE(link.readings()[0].accepted);
    EXPECT_EQ(link.quietPeriods(), 1);

    // started again on an analyser that ends its readings with CR alone and separates by tabs
    ASSERT_TRUE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("1")));
    fake.send("0\t150\r10\t20\t3.5\t9.1\t0\t0\t150\r11\t21\t3,6\t9\t0\t0\t1");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Read);
    ASSERT_EQ(link.readings().size(), 1);
    EXPECT_TRUE(link.readings()[0].accepted);
    EXPECT_DOUBLE_EQ(link.readings()[0].numbers[2], 3.5);
    fake.send("51\r");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Read);
    ASSERT_EQ(link.readings().size(), 1);
    EXPECT_DOUBLE_EQ(link.readings()[0].numbers[2], 3.6);
    EXPECT_DOUBLE_EQ(link.readings()[0].numbers[6], 151);
}

TEST(AnalyserLinkTest, ALostLinkIsReopenedAtEachPeriodAndReadingGoesOn) {
    EnsureApplication();
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    ASSERT_TRUE(fake.linkAs(linkPath));
    AnalyserLink link;
    int lost = 0;
    QObject::connect(&link, &AnalyserLink::linkLost, [&] { ++lost; });
    ASSERT_TRUE(link.start(linkPath, QStringLiteral("9600,N,8,1"), QStringLiteral("2")));
    fake.send("1 2 3");  // half a reading, then the cable is pulled
    fake.close();
    Pump(200);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(link.state(), LinkState::Lost);
    EXPECT_EQ(link.tick(), TickOutcome::Counting);
    EXPECT_EQ(link.tick(), TickOutcome::StillLost);  // nothing at the link yet
    EXPECT_EQ(link.state(), LinkState::Lost);

    FakeAnalyser again;
    ASSERT_TRUE(again.open());
    ASSERT_TRUE(again.linkAs(linkPath));
    again.send("9 9 9 9 9 9 9\r\n");  // sent while the port was away: never a reading
    EXPECT_EQ(link.tick(), TickOutcome::Counting);
    EXPECT_EQ(link.tick(), TickOutcome::Reopened);
    EXPECT_EQ(link.state(), LinkState::Reading);
    EXPECT_TRUE(again.peerOpen());
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Counting);
    EXPECT_EQ(link.tick(), TickOutcome::Skipped);
    again.send(kExample);  // the first line after opening again: dropped, it may be cut
    again.send(kExample);
    Pump(50);
    link.tick();
    EXPECT_EQ(link.tick(), TickOutcome::Read);
    ASSERT_EQ(link.readings().size(), 1);
    EXPECT_EQ(link.readings()[0].text + QStringLiteral("\r\n"), QString::fromLatin1(kExample));

    // stopping ends the retrying
    again.close();
    Pump(200);
    EXPECT_EQ(link.state(), LinkState::Lost);
    link.stop();
    EXPECT_EQ(link.tick(), TickOutcome::Idle);
}

// A scripted analyser on a pseudo-terminal, the link's time driven by the test: each step
// sends its bytes at a time of the test's clock, and the ticks fall on whole seconds.
class ScriptedLink {
public:
    explicit ScriptedLink(const char* period = "1") {
        EnsureApplication();
        ok = fake.open();
        link.setClock([this] { return t; });
        ok = ok && link.start(fake.path(), QStringLiteral("9600,N,8,1"), QString::fromLatin1(period));
    }
    // Sends at `ms` after the start, ticking every whole second before it; waits until the
    // link has taken the bytes, so they arrive at that time of the clock.
    void sendAt(qint64 ms, const QByteArray& bytes) {
        runTo(ms);
        const qint64 before = link.bytesTaken();
        fake.send(bytes);
        QElapsedTimer wait;
        wait.start();
        while (link.bytesTaken() < before + bytes.size() && wait.elapsed() < 10000) Pump(2);
    }
    // Ticks every whole second up to `ms`, keeping what each period gave.
    void runTo(qint64 ms) {
        while ((nextTick - kStart) <= ms) {
            t = nextTick;
            Pump(5);
            const TickOutcome o = link.tick();
            if (o == TickOutcome::Read) readings += link.readings();
            if (o != TickOutcome::Counting) notes += link.notes();
            nextTick += 1000;
        }
        t = kStart + ms;
    }
    QStringList accepted() const {
        QStringList out;
        for (const Reading& r : readings)
            if (r.accepted) out.append(r.text.simplified());
        return out;
    }
    QStringList refusals() const {
        QStringList out;
        for (const Reading& r : readings)
            if (!r.accepted) out.append(r.refusal.section(u':', 0, 0) + u'|' + r.text.simplified());
        return out;
    }

    static constexpr qint64 kStart = 1'767'000'000'000;
    qint64 t = kStart, nextTick = kStart + 1000;
    FakeAnalyser fake;
    AnalyserLink link;
    QList<Reading> readings;
    QList<LogRow> notes;
    bool ok = false;
};

TEST(AnalyserLinkTest, ScriptedDevicesLoseNoGoodReadingAndInventNone) {
    const QByteArray good = "  125  34 3.5 10.2 0 0 145\r\n";
    // a head without line end, then a good line 1.5 s later: the head is a cut reading
    // (logged, never glued), the good one is used; the same for a shorter head and for
    // seven values without a line end
    for (const QByteArray& head : {QByteArray("  5  6 2.0 9.9"), QByteArray("  99  9"), QByteArray("  5  6 2.0 9.9 0 0 150")}) {
        ScriptedLink d;
        ASSERT_TRUE(d.ok);
        d.sendAt(100, "0 0 145\r\n");  // the end of a reading sent before the opening
        d.sendAt(400, head);
        d.sendAt(1900, good);
        d.sendAt(2900, "  126  35 3.6 10.1 0 0 146\r\n");
        d.runTo(4000);
        EXPECT_EQ(d.accepted(), QStringList({"125 34 3.5 10.2 0 0 145", "126 35 3.6 10.1 0 0 146"})) << head.constData();
        EXPECT_EQ(d.refusals(), QStringList({QStringLiteral("Обрезанное показание|") + QString::fromLatin1(head.simplified())}));
        ASSERT_FALSE(d.notes.isEmpty());
        EXPECT_TRUE(d.notes[0].outcome.startsWith(QStringLiteral("Отброшено начало потока"))) << d.notes[0].outcome.toStdString();
    }
    // a run of NUL bytes before a good line, at once and after a pause: noise, never a value
    {
        ScriptedLink d;
        ASSERT_TRUE(d.ok);
        d.sendAt(100, "\r\n");
        d.sendAt(300, QByteArray(6, '\0') + good);
        d.sendAt(1300, QByteArray(40, '\0'));
        d.sendAt(3300, good);
        d.runTo(4000);
        EXPECT_EQ(d.accepted(), QStringList({"125 34 3.5 10.2 0 0 145", "125 34 3.5 10.2 0 0 145"}));
        EXPECT_TRUE(d.refusals().isEmpty()) << d.refusals().join(u' ').toStdString();
        QStringList noise;
        for (const LogRow& n : d.notes)
            if (n.outcome.startsWith(QStringLiteral("Помехи"))) noise.append(n.outcome);
        EXPECT_EQ(noise, QStringList({QStringLiteral("Помехи: отброшено байт 6 (00 00 00 00 00 00)"),
                                      QStringLiteral("Помехи: отброшено байт 40 (00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00)")}));
    }
    // a reading cut by the adapter for half a second is joined: that is no pause
    {
        ScriptedLink d;
        ASSERT_TRUE(d.ok);
        d.sendAt(100, "\n");
        d.sendAt(800, "  125  34 3.5 1");
        d.sendAt(1300, "0.2 0 0 145\n");
        d.runTo(2000);
        EXPECT_EQ(d.accepted(), QStringList({"125 34 3.5 10.2 0 0 145"}));
    }
    // CR-only analyser and one stray LF, in a reading and after one: every later reading kept
    {
        ScriptedLink d;
        ASSERT_TRUE(d.ok);
        d.sendAt(100, "5\r");
        d.sendAt(1100, "10 20 3.5 9.1 0 0 150\r");
        d.sendAt(2100, "11 2\n1 3.6 9.0 0 0 151\r");
        for (int i = 0; i < 4; ++i) d.sendAt(3100 + 1000 * i, QByteArray::number(12 + i) + " 22 3.7 9 0 0 152\r" + (i == 1 ? "\n" : ""));
        d.runTo(8000);
        EXPECT_EQ(d.accepted(), QStringList({"10 20 3.5 9.1 0 0 150", "12 22 3.7 9 0 0 152", "13 22 3.7 9 0 0 152",
                                             "14 22 3.7 9 0 0 152", "15 22 3.7 9 0 0 152"}));
        EXPECT_EQ(d.refusals(), QStringList({QStringLiteral("Неполное показание|11 2"),
                                             QStringLiteral("Неполное показание|1 3.6 9.0 0 0 151")}));
        EXPECT_FALSE(d.link.framer().lineFeeds());
        EXPECT_EQ(d.link.framer().deviceInterval(), 1000);
    }
    // an LF analyser and one stray CR inside a reading: the reading is kept whole
    {
        ScriptedLink d;
        ASSERT_TRUE(d.ok);
        d.sendAt(100, "\n");
        d.sendAt(1100, "10 20 3.5\r 9.1 0 0 150\n");
        d.sendAt(2100, "11 21 3.6 9.0 0 0 151\n");
        d.runTo(3000);
        EXPECT_EQ(d.accepted(), QStringList({"10 20 3.5 9.1 0 0 150", "11 21 3.6 9.0 0 0 151"}));
    }
}

TEST(AnalyserLinkTest, SteadinessIsJudgedOverTheWindowWhateverThePeriod) {
    // an analyser that sends every 2 s against the default period of 4 s; O2 holds at 3.5
    // with a little noise for 70 s, then climbs by 0.03 each reading
    ScriptedLink d("4");
    ASSERT_TRUE(d.ok);
    d.link.setReadTemperature(true);
    d.sendAt(100, "\r\n");
    auto line = [](double o2, int co, int temp) {
        return QStringLiteral("  %1  40 %2 9.9 0 0 %3\r\n").arg(co).arg(o2, 0, 'f', 2).arg(temp).toLatin1();
    };
    QList<Steadiness> verdicts;
    auto judge = [&] {
        verdicts.append(JudgeSteadiness(d.link.history(), d.link.now(), 60, true));
        return verdicts.last();
    };
    int i = 0;
    for (qint64 ms = 500; ms < 70'000; ms += 2000, ++i) d.sendAt(ms, line(3.5 + (i % 2 ? 0.05 : -0.05), 50 + i % 3, 150 + i % 2));
    d.runTo(70'000);
    const Steadiness steady = judge();
    EXPECT_TRUE(steady.steady) << steady.verdict.toStdString();
    EXPECT_EQ(steady.verdict, QStringLiteral("Стабильно"));
    EXPECT_EQ(steady.readings, 30);
    EXPECT_NEAR(steady.span, 58, 1e-9);
    EXPECT_NEAR(steady.mean[2], 3.5, 0.0051);
    // with "Усреднять" and a steady window the stored value is the window's mean, the log says over what
    const PeriodValues stored = CombineWithWindow(d.link.readings(), steady, true);
    EXPECT_TRUE(stored.fromWindow);
    EXPECT_EQ(stored.used, 30);
    EXPECT_DOUBLE_EQ(stored.values[2], steady.mean[2]);
    EXPECT_GT(stored.sd[2], 0.04);
    const QList<LogRow> rows = LogRowsOf(d.link.readings(), stored, true, {}, No2PolicyText(No2Policy::Zero));
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.last().outcome,
              QStringLiteral("записано: среднее из 30 показаний за 58 с (окно 60 с, стабильно), NO2: NO2 не измеряется: 0"));
    // without averaging the newest reading is stored, whatever the window says
    EXPECT_FALSE(CombineWithWindow(d.link.readings(), steady, false).fromWindow);

    // the ramp of a burner being set: O2 climbs 2.7 % in 27 s; from its second period on no
    // period is marked steady until the window has left it
    for (qint64 ms = 70'500; ms < 98'000; ms += 2000) d.sendAt(ms, line(3.5 + 0.2 * ((ms - 68'500) / 2000), 50, 150));
    for (qint64 ms = 98'500; ms < 170'000; ms += 2000) d.sendAt(ms, line(6.3, 50, 150));
    for (qint64 ms = 76'000; ms <= 148'000; ms += 4000) {
        d.runTo(ms);
        EXPECT_FALSE(judge().steady) << ms;
        EXPECT_TRUE(verdicts.last().verdict.startsWith(QStringLiteral("O2 растёт на "))) << verdicts.last().verdict.toStdString();
        EXPECT_FALSE(CombineWithWindow(d.link.readings(), verdicts.last(), true).fromWindow);
    }
    d.runTo(170'000);
    EXPECT_TRUE(judge().steady) << verdicts.last().verdict.toStdString();

    // the words of a slow trend, over two windows, and too few readings to tell
    QList<Reading> slow;
    const QDateTime end = d.link.now();
    for (int k = 0; k < 30; ++k)
        slow.append(ParseReading(QStringLiteral("50 40 %1 9.9 0 0 150").arg(3.0 + 0.03 * k, 0, 'f', 2), true, end.addSecs(-58 + 2 * k)));
    EXPECT_EQ(JudgeSteadiness(slow, end, 60, true).verdict, QStringLiteral("O2 растёт на 0,9 % за 60 с"));
    EXPECT_EQ(JudgeSteadiness(slow, end, 20, true).verdict, QStringLiteral("O2 растёт на 0,3 % за 20 с"));
    EXPECT_EQ(JudgeSteadiness(slow.mid(0, 10), slow[9].time, 60, true).verdict, QStringLiteral("Мало показаний: 10 за 18 с из 60"));
    EXPECT_EQ(JudgeSteadiness({}, end, 60, true).verdict, QStringLiteral("Нет показаний за 60 с"));
    // a burner whose CO swings is not steady even without a trend
    QList<Reading> swinging;
    for (int k = 0; k < 30; ++k)
        swinging.append(ParseReading(QStringLiteral("%1 40 3.5 9.9 0 0 150").arg(k % 2 ? 30 : 80), true, d.link.now().addSecs(-58 + 2 * k)));
    EXPECT_EQ(JudgeSteadiness(swinging, d.link.now(), 60, true).verdict, QStringLiteral("разброс CO 25,4 за 60 с"));
}

TEST(AnalyserLinkTest, TheNo2OfAFilledRegimeFollowsTheChoiceAndTheLogSaysWhich) {
    // a regime with a hand-typed NO2 of 7, filled from a scripted analyser over a pseudo-terminal
    DemoHome home;
    QStringList fields;
    ASSERT_TRUE(home.open(kSchool, 0, fields));
    fields[15] = QStringLiteral("7");
    ASSERT_TRUE(regime::SaveRegimeInputs(home.state, fields));
    ScriptedLink d;
    ASSERT_TRUE(d.ok);
    d.sendAt(100, "\r\n");
    d.sendAt(500, "  125  38 3.5 10.2 0 0 145\r\n");
    d.runTo(1000);
    ASSERT_EQ(d.accepted().size(), 1);
    const PeriodValues v = CombineReadings(d.readings, false);
    struct Case {
        No2Policy policy;
        double no2;
    };
    for (const Case& c : {Case{No2Policy::Keep, 7}, Case{No2Policy::FivePercent, 2}, Case{No2Policy::Zero, 0}}) {
        const StoreOutcome o = StoreAnalyserValues(home.state, fields, v, SamplingPoint::AfterEconomiser, false, {}, c.policy);
        ASSERT_TRUE(o.saved) << o.error.toStdString();
        const QStringList stored = home.storedInputs();
        EXPECT_DOUBLE_EQ(Stored(stored, 14), 38);
        EXPECT_DOUBLE_EQ(Stored(stored, 15), c.no2) << No2PolicyText(c.policy).toStdString();
        EXPECT_EQ(fields[15].trimmed(), stored[15].trimmed());
        const QList<LogRow> rows = LogRowsOf(d.readings, v, true, {}, No2PolicyText(c.policy));
        EXPECT_EQ(rows.last().outcome, QStringLiteral("записано, NO2: ") + No2PolicyText(c.policy));
    }
    EXPECT_DOUBLE_EQ(No2Of(No2Policy::FivePercent, 34), 1.79);  // 34 x 0.05 / 0.95 = 1.789...
    // before the economiser its own NO2 field is set
    QStringList f(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, v.values, SamplingPoint::BeforeEconomiser, false, No2Policy::Zero);
    EXPECT_EQ(f[39].trimmed(), QStringLiteral("0"));
    EXPECT_EQ(f[15], QStringLiteral(" 9"));
    EXPECT_EQ(UnmeasuredNote(No2Policy::Keep, true), QStringLiteral("Не измеряются анализатором: NO2 (оставить введённое)"));
    EXPECT_EQ(UnmeasuredNote(No2Policy::Zero, false),
              QStringLiteral("Не измеряются анализатором: NO2 (NO2 не измеряется: 0), Тух.г (не считывается: оставлено введённое)"));
}

// ------------------------------------------------------------------ command line

namespace {

struct CliRun {
    int code = -1;
    QString out, err;
};

CliRun Cli(const QStringList& args, int timeoutMs = 60000) {
    QProcess p;
    p.start(QStringLiteral(KALVARO_CLI), args);
    p.waitForFinished(timeoutMs);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

TEST(AnalyserCli, CaptureFromTheSimulatorMatchesACalculationOfTheStoredRegime) {
    DemoHome d;
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    QProcess sim;
    sim.start(QStringLiteral(KALVARO_CLI),
              {"analyser-sim", "--period", "1", "--link", linkPath, "--fuel", "gas", "--seed", "7"});
    ASSERT_TRUE(sim.waitForReadyRead(10000));
    const QString first = QString::fromUtf8(sim.readLine()).trimmed();
    EXPECT_TRUE(first.startsWith(QStringLiteral("/dev/pts/"))) << first.toStdString();
    EXPECT_EQ(QFileInfo(linkPath).symLinkTarget(), first);

    const QString object = core::JoinPath(d.home.objects(), kSchool);
    const QString regimeName = QStringLiteral("Режим №  2.Dat");
    const CliRun run = Cli({"analyser", object, regimeName, "--port", linkPath, "--period", "1", "--count", "3",
                            "--temperature"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString() << run.out.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    QStringList readings;
    for (const QString& l : lines)
        if (l.contains(QStringLiteral("  #"))) readings.append(l);
    ASSERT_EQ(readings.size(), 3) << run.out.toStdString();
    EXPECT_TRUE(readings[2].contains(QStringLiteral("#3")));
    EXPECT_TRUE(readings[2].contains(QStringLiteral("КПД")));

    // the regime file holds the third reading
    const QString third = readings[2];
    auto after = [&](const QString& key) { return third.section(key + u' ', 1).section(u' ', 0, 0); };
    QStringList stored;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(object, regimeName), stored));
    EXPECT_FLOAT_EQ(Stored(stored, 11), static_cast<float>(after(QStringLiteral("CO")).toDouble()));
    EXPECT_FLOAT_EQ(Stored(stored, 14), static_cast<float>(after(QStringLiteral("NO")).toDouble()));
    EXPECT_FLOAT_EQ(Stored(stored, 13), static_cast<float>(after(QStringLiteral("O2")).toDouble()));
    EXPECT_FLOAT_EQ(Stored(stored, 12), static_cast<float>(after(QStringLiteral("CO2")).toDouble()));
    EXPECT_FLOAT_EQ(Stored(stored, 17), static_cast<float>(after(QStringLiteral("Тух.г")).toDouble()));
    // consistent flue gas from the simulator: CO2 = CO2max (21 - O2) / 21 for natural gas
    EXPECT_NEAR(Stored(stored, 12), 11.8 * (21 - Stored(stored, 13)) / 21, 0.051);

    // its results file matches a calculation of it
    const CliRun calc = Cli({"calc", object, regimeName});
    ASSERT_EQ(calc.code, 0);
    QStringList results;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(object, QStringLiteral("Расчет") + regimeName), results));
    const QStringList calcLines = calc.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(calcLines.size(), 26) << calc.out.toStdString();
    for (int i = 0; i < 26; ++i) EXPECT_EQ(calcLines[i].section(u'\t', 1, 1), results[i]) << i;
    EXPECT_TRUE(third.contains(QStringLiteral("КПД ") + results[4]));

    // the log beside the regime holds the three stored readings
    QStringList log = core::DecodeCp1251(ReadBytes(core::JoinPath(object, QStringLiteral("Анализатор Режим 2.csv"))))
                          .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(log.filter(QStringLiteral(";записано")).size(), 3) << log.join(u'\n').toStdString();

    // the simulator keeps its link for the next reader: a second capture, averaging
    EXPECT_EQ(sim.state(), QProcess::Running);
    const CliRun again = Cli({"analyser", object, regimeName, "--port", linkPath, "--period", "3", "--count", "1",
                              "--temperature", "--average"});
    ASSERT_EQ(again.code, 0) << again.err.toStdString() << again.out.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("среднее из "))) << again.out.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("σ O2 ")));
    log = core::DecodeCp1251(ReadBytes(core::JoinPath(object, QStringLiteral("Анализатор Режим 2.csv"))))
              .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(log.filter(QStringLiteral(";записано: среднее из ")).size(), 1);
    EXPECT_GE(log.filter(QStringLiteral(";в среднем")).size(), 1);

    // Ctrl+C ends it and removes its link
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(linkPath) || QFileInfo(linkPath).isSymLink());
}

// A mean over several readings keeps its spread with the regime: the calculation's budget
// counts it as a type A component (σ/√n) after the object is read again; a value typed over
// the mean has no spread of its own, and a single reading stored leaves none.
TEST(AnalyserCli, AMeanKeepsItsSpreadWithTheRegimeAndTheBudgetCountsIt) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kSchool, 1, fields));
    QList<Reading> readings;
    for (const char* line : {"120 30 3.3 10.3 0 0 144", "130 34 3.5 10.2 0 0 146", "125 38 3.7 10.0 0 0 145"})
        readings.append(ParseReading(QString::fromLatin1(line), true));
    const PeriodValues mean = CombineReadings(readings, true);
    ASSERT_EQ(mean.used, 3);
    ASSERT_TRUE(
        StoreAnalyserValues(d.state, fields, mean, SamplingPoint::AfterEconomiser, true, {}, No2Policy::Zero).saved);
    const QString spreadFile = regime::RepeatabilityFileName(d.state.currentRegimeFile);
    ASSERT_TRUE(core::ExistsNoCase(d.state.currentObjectFolder, spreadFile)) << spreadFile.toStdString();
    engine::Repeatability spread;
    ASSERT_TRUE(
        regime::ReadRepeatability(d.state.currentObjectFolder, d.state.currentRegimeFile, d.state.inputs, spread));
    EXPECT_EQ(spread.count[13], 3);
    EXPECT_NEAR(spread.sigma[13], 0.2, 1e-6);  // 3.3, 3.5, 3.7
    EXPECT_NEAR(spread.sigma[11], 5.0, 1e-6);
    EXPECT_EQ(spread.count[15], 0);  // NO2 is not measured: no spread

    const CliRun calc = Cli({"calc", d.state.currentObjectFolder, d.state.currentRegimeFile, "--json"});
    ASSERT_EQ(calc.code, 0) << calc.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(calc.out.toUtf8()).object();
    double shares = 0;
    bool typeA = false;
    for (const QJsonValue& line : json["budget"].toArray()) {
        shares += line["share"].toDouble();
        if (line["type"].toString() == u"A" && line["input"].toInt() == 13) {
            typeA = true;
            EXPECT_NEAR(line["u"].toDouble(), 0.2 / std::sqrt(3.0), 1e-6);
        }
    }
    EXPECT_TRUE(typeA) << calc.out.toStdString();
    EXPECT_NEAR(shares, 1.0, 1e-9);
    EXPECT_EQ(json["coverage"].toDouble(), 2.0);

    // O2 typed over: that entry no longer holds, CO's still does
    fields[13] = QStringLiteral(" 3.6");
    ASSERT_TRUE(regime::SaveRegimeInputs(d.state, fields));
    ASSERT_TRUE(
        regime::ReadRepeatability(d.state.currentObjectFolder, d.state.currentRegimeFile, d.state.inputs, spread));
    EXPECT_EQ(spread.count[13], 0);
    EXPECT_EQ(spread.count[11], 3);
    // a single reading stored over every analysed field leaves no spread file
    ASSERT_TRUE(
        StoreAnalyserValues(d.state, fields, Newest(kExample.constData()), SamplingPoint::AfterEconomiser, true).saved);
    EXPECT_FALSE(core::ExistsNoCase(d.state.currentObjectFolder, spreadFile));
}

TEST(AnalyserCli, PrintsWhatItStoredRefusesCutReadingsAndGivesUpOnSilence) {
    EnsureApplication();
    DemoHome d;
    const QString object = core::JoinPath(d.home.objects(), kSchool);
    const QString regimeName = QStringLiteral("Режим №  1.Dat");
    const QString regimePath = core::JoinPath(object, regimeName);
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    QProcess cli;
    cli.start(QStringLiteral(KALVARO_CLI), {"analyser", object, regimeName, "--port", fake.path(), "--period", "1",
                                           "--count", "2", "--temperature"});
    ASSERT_TRUE(cli.waitForStarted());
    // the capture has begun (port open, what waited in it dropped) once its first line is
    // out; each part is then sent a quarter into its own period, counted from that moment,
    // so a loaded machine cannot shift a part into the next period
    ASSERT_TRUE(cli.waitForReadyRead(10000));
    QElapsedTimer clock;
    clock.start();
    auto sendAt = [&](const QByteArray& bytes, int ms) {
        while (clock.elapsed() < ms) QThread::msleep(5);
        fake.send(bytes);
    };
    // the analyser sends with a decimal comma, LF only, a reading cut over two periods, noise
    sendAt("0 145\n", 250);
    sendAt("60 20 3,5 9.9 0 0 14", 1250);  // cut here: must never be stored as 14
    sendAt("5\n7 1 2\n", 2250);
    sendAt("61 21 3,6 9.8 0 0 146\n", 3250);
    ASSERT_TRUE(cli.waitForFinished(10000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(cli.exitCode(), 0) << out.toStdString() << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("#1  CO 60  NO 20  O2 3.5  CO2 9.9  Тух.г 145"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("#2  CO 61  NO 21  O2 3.6  CO2 9.8  Тух.г 146"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Неполное показание: 3 из 7 значений: 7 1 2"))) << out.toStdString();
    QStringList stored;
    ASSERT_TRUE(core::ReadTextLines(regimePath, stored));
    EXPECT_FLOAT_EQ(Stored(stored, 13), 3.6f);
    EXPECT_DOUBLE_EQ(Stored(stored, 17), 146);

    // a silent analyser: given up after three periods, nothing written
    const QByteArray before = ReadBytes(regimePath);
    const CliRun silent = Cli({"analyser", object, regimeName, "--port", fake.path(), "--period", "1", "--count", "3"});
    EXPECT_EQ(silent.code, 1);
    EXPECT_TRUE(silent.err.contains(QStringLiteral("Нет данных от газоанализатора три периода подряд"))) << silent.err.toStdString();
    EXPECT_EQ(ReadBytes(regimePath), before);
    // a lost link that does not come back
    fake.close();
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    FakeAnalyser gone;
    ASSERT_TRUE(gone.open());
    ASSERT_TRUE(gone.linkAs(linkPath));
    QProcess lost;
    lost.start(QStringLiteral(KALVARO_CLI), {"analyser", object, regimeName, "--port", linkPath, "--period", "1"});
    ASSERT_TRUE(lost.waitForStarted());
    QElapsedTimer t;
    t.start();
    while (!gone.peerOpen() && t.elapsed() < 5000) QThread::msleep(20);
    gone.close();
    QFile::remove(linkPath);
    ASSERT_TRUE(lost.waitForFinished(10000));
    EXPECT_EQ(lost.exitCode(), 1);
    const QString lostErr = QString::fromUtf8(lost.readAllStandardError());
    EXPECT_TRUE(lostErr.contains(QStringLiteral("потеряна"))) << lostErr.toStdString();
}

TEST(AnalyserCli, ADriftingSimulatorTheWindowAndTheNo2Choice) {
    DemoHome d;
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("analyser"));
    QProcess sim;
    sim.start(QStringLiteral(KALVARO_CLI), {"analyser-sim", "--period", "0.5", "--link", linkPath, "--seed", "3",
                                           "--drift", "O2:3-6:3", "--drift", "T:150-160:3"});
    ASSERT_TRUE(sim.waitForReadyRead(10000));
    const QString object = core::JoinPath(d.home.objects(), kSchool);
    const QString regimeName = QStringLiteral("Режим №  2.Dat");
    const CliRun run = Cli({"analyser", object, regimeName, "--port", linkPath, "--period", "1", "--count", "4",
                            "--temperature", "--no2", "5%", "--steady-window", "10"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString() << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Не измеряются анализатором: NO2 (NO2 = 5 % от NOx)"))) << run.out.toStdString();
    QStringList stored;
    ASSERT_TRUE(core::ReadTextLines(core::JoinPath(object, regimeName), stored));
    EXPECT_NEAR(Stored(stored, 15), No2Of(No2Policy::FivePercent, Stored(stored, 14)), 1e-9);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts).filter(QStringLiteral("  #"));
    ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
    for (const QString& l : lines) EXPECT_TRUE(l.contains(QStringLiteral("  окно 10 с: "))) << l.toStdString();
    EXPECT_TRUE(lines[3].contains(QStringLiteral("  NO2 ") + stored[15].trimmed())) << lines[3].toStdString();

    // the simulator's O2 and temperature went up their ramps and stay at the top
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    const QStringList sent = QString::fromUtf8(sim.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).filter(QStringLiteral(":"));
    ASSERT_GE(sent.size(), 8);
    QList<double> o2;
    for (const QString& l : sent) o2.append(l.simplified().section(u' ', 3, 3).toDouble());
    for (int i = 1; i < o2.size(); ++i) EXPECT_GE(o2[i], o2[i - 1]) << sent[i].toStdString();
    EXPECT_DOUBLE_EQ(o2.last(), 6.0);
    EXPECT_EQ(sent.last().simplified().section(u' ', 7, 7), QStringLiteral("160"));
    EXPECT_DOUBLE_EQ(Stored(stored, 13), 6.0);

    const CliRun help = Cli({"analyser-sim", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--drift NAME:FROM-TO:SECONDS"))) << help.out.toStdString();
    EXPECT_EQ(Cli({"analyser-sim", "--drift", "O2:3-25:10"}).code, 2);
    EXPECT_EQ(Cli({"analyser-sim", "--drift", "H2:1-2:3"}).code, 2);
    EXPECT_EQ(Cli({"analyser", object, regimeName, "--port", linkPath, "--no2", "half"}).code, 2);
    EXPECT_EQ(Cli({"analyser", object, regimeName, "--port", linkPath, "--steady-window", "5"}).code, 2);
}

TEST(AnalyserCli, PortFailuresAndUsage) {
    DemoHome d;
    const QString object = core::JoinPath(d.home.objects(), kSchool);
    const QString regimeName = QStringLiteral("Режим №  1.Dat");
    const QByteArray before = ReadBytes(core::JoinPath(object, regimeName));
    CliRun r = Cli({"analyser", object, regimeName, "--port", "/dev/no-such-analyser", "--count", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Ошибка при работе с портом /dev/no-such-analyser")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("не найден")));

    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    r = Cli({"analyser", object, regimeName, "--port", fake.path(), "--settings", "9600,N,8,1.5"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("1.5")));
    r = Cli({"analyser", object, regimeName, "--port", fake.path(), "--period", "0"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(kPeriodRefusal));
    r = Cli({"analyser", object, regimeName, "--port", fake.path(), "--before-economiser"});
    EXPECT_EQ(r.code, 2);
    r = Cli({"analyser", object, "Режим №  99.Dat", "--port", fake.path()});
    EXPECT_EQ(r.code, 1);
    r = Cli({"analyser", object, regimeName});
    EXPECT_EQ(r.code, 2);
    r = Cli({"analyser-sim", "--fuel", "coal"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(ReadBytes(core::JoinPath(object, regimeName)), before);
}
