// The analyser link without a display: settings and "ComPort.ini", port names, the
// analyser text, the reading into a regime, the port over a pseudo-terminal made here,
// the reading cycle with its lost link, and the command-line capture with the simulator.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "analyser/analyserlink.h"
#include "analyser/analyserport.h"
#include "analyser/portsettings.h"
#include "analyser/reading.h"
#include "store/objectstore.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "regime/regimestore.h"
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

TEST(AnalyserText, TheFirstSevenValuesWithCarriageReturnsAsSeparators) {
    QStringList v = ParseAnalyserText(QString::fromLatin1(kExample));
    ASSERT_EQ(v.size(), 7);
    EXPECT_EQ(v[0], QStringLiteral("125 "));
    EXPECT_EQ(v[1], QStringLiteral("34 "));
    EXPECT_EQ(v[2], QStringLiteral("3.5 "));
    EXPECT_EQ(v[3], QStringLiteral("10.2 "));
    EXPECT_EQ(v[6], QStringLiteral("145 "));
    EXPECT_DOUBLE_EQ(core::ParseEditorNumber(v[3]), 10.2);

    // carriage returns alone separate; values after the seventh are dropped
    v = ParseAnalyserText(QStringLiteral("1\r2\r3\r4\r5\r6\r7\r8 9"));
    EXPECT_EQ(v, QStringList({"1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 "}));

    // line feeds and tabs stay inside values; the reading rule skips them
    v = ParseAnalyserText(QStringLiteral("\t12.5 3\n4 5"));
    EXPECT_EQ(v[0], QStringLiteral("\t12.5 "));
    EXPECT_EQ(v[1], QStringLiteral("3\n4 "));
    EXPECT_DOUBLE_EQ(core::ParseEditorNumber(v[0]), 12.5);
    EXPECT_DOUBLE_EQ(core::ParseEditorNumber(v[1]), 34);

    // fewer than seven values: the rest are empty
    v = ParseAnalyserText(QStringLiteral("  80 20"));
    EXPECT_EQ(v, QStringList({"80 ", "20 ", "", "", "", "", ""}));
    EXPECT_EQ(ParseAnalyserText(QStringLiteral("   \r\r ")), QStringList(7));
    // several readings since the last one: the oldest gives the values
    v = ParseAnalyserText(QStringLiteral("1 2 3 4 5 6 7\r\n8 9 10 11 12 13 14\r\n"));
    EXPECT_EQ(v[0], QStringLiteral("1 "));
    EXPECT_EQ(v[6], QStringLiteral("7 "));
}

TEST(AnalyserText, ValuesGoToTheFieldsOfTheSamplingPoint) {
    const QStringList values = ParseAnalyserText(QString::fromLatin1(kExample));
    QStringList f(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, values, SamplingPoint::AfterEconomiser, true);
    EXPECT_EQ(f[11], QStringLiteral("125 "));
    EXPECT_EQ(f[14], QStringLiteral("34 "));
    EXPECT_EQ(f[13], QStringLiteral("3.5 "));
    EXPECT_EQ(f[12], QStringLiteral("10.2 "));
    EXPECT_EQ(f[17], QStringLiteral("145 "));
    for (int k : {15, 35, 36, 37, 38, 39, 40}) EXPECT_EQ(f[k], QStringLiteral(" 9")) << k;

    f = QStringList(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, values, SamplingPoint::AfterEconomiser, false);
    EXPECT_EQ(f[17], QStringLiteral(" 9"));

    f = QStringList(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, values, SamplingPoint::BeforeEconomiser, true);
    EXPECT_EQ(f[35], QStringLiteral("125 "));
    EXPECT_EQ(f[38], QStringLiteral("34 "));
    EXPECT_EQ(f[37], QStringLiteral("3.5 "));
    EXPECT_EQ(f[36], QStringLiteral("10.2 "));
    EXPECT_EQ(f[40], QStringLiteral("145 "));
    for (int k : {11, 12, 13, 14, 17, 39}) EXPECT_EQ(f[k], QStringLiteral(" 9")) << k;

    // missing values empty their fields
    f = QStringList(43, QStringLiteral(" 9"));
    PutAnalyserValues(f, ParseAnalyserText(QStringLiteral("50 30")), SamplingPoint::AfterEconomiser, true);
    EXPECT_EQ(f[11], QStringLiteral("50 "));
    EXPECT_EQ(f[14], QStringLiteral("30 "));
    EXPECT_TRUE(f[13].isEmpty());
    EXPECT_TRUE(f[12].isEmpty());
    EXPECT_TRUE(f[17].isEmpty());
}

// ------------------------------------------------------------------ reading into a regime

TEST(AnalyserReading, SavesCalculatesAndSortsTheCurrentRegime) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kSchool, 1, fields));
    const QByteArray oldResults = ReadBytes(d.resultsFile());
    const QStringList before = d.storedInputs();
    QStringList notices;
    const StoreOutcome o = StoreAnalyserReading(d.state, fields, QString::fromLatin1(kExample),
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

TEST(AnalyserReading, AnObjectWithoutEconomiserFillsOnlyTheAfterBoilerColumn) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kSchool, 0, fields));
    EXPECT_FALSE(BeforeEconomiserAllowed(d.state.general));
    const QStringList before = d.storedInputs();
    ASSERT_TRUE(StoreAnalyserReading(d.state, fields, QString::fromLatin1(kExample), SamplingPoint::BeforeEconomiser,
                                     true)
                    .saved);
    const QStringList stored = d.storedInputs();
    EXPECT_DOUBLE_EQ(Stored(stored, 11), 125);
    EXPECT_DOUBLE_EQ(Stored(stored, 17), 145);
    for (int k = 35; k <= 40; ++k) EXPECT_EQ(stored[k], before[k]) << k;
    // the rule is the exact text: another spelling is not "without"
    QStringList g(19);
    g[15] = QStringLiteral("Без экономайзера");
    EXPECT_TRUE(BeforeEconomiserAllowed(g));
}

TEST(AnalyserReading, BeforeTheEconomiserAndAFailedCheck) {
    DemoHome d;
    QStringList fields;
    ASSERT_TRUE(d.open(kDairy, 0, fields));
    ASSERT_TRUE(BeforeEconomiserAllowed(d.state.general));
    const QStringList before = d.storedInputs();
    ASSERT_TRUE(StoreAnalyserReading(d.state, fields, QString::fromLatin1(kExample), SamplingPoint::BeforeEconomiser,
                                     false)
                    .saved);
    QStringList stored = d.storedInputs();
    EXPECT_DOUBLE_EQ(Stored(stored, 35), 125);
    EXPECT_DOUBLE_EQ(Stored(stored, 38), 34);
    EXPECT_FLOAT_EQ(Stored(stored, 37), 3.5f);
    EXPECT_FLOAT_EQ(Stored(stored, 36), 10.2f);
    EXPECT_EQ(stored[40], before[40]);  // temperature not ticked
    for (int k : {11, 12, 13, 14, 17}) EXPECT_EQ(stored[k], before[k]) << k;

    // a reading without oxygen fails the data check: saved, results file untouched, notice
    const QByteArray results = ReadBytes(d.resultsFile());
    QStringList notices;
    const StoreOutcome o = StoreAnalyserReading(d.state, fields, QStringLiteral("40 30"),
                                                SamplingPoint::AfterEconomiser, true,
                                                [&](const QString& m) { notices.append(m); });
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(o.calc.outcome, regime::CalcOutcome::CheckFailed);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_EQ(ReadBytes(d.resultsFile()), results);
    stored = d.storedInputs();
    EXPECT_DOUBLE_EQ(Stored(stored, 13), 0);
    EXPECT_DOUBLE_EQ(Stored(stored, 17), 0);

    // a regime file that cannot be written is reported, nothing counted
    QFile::remove(d.regimeFile());
    QDir().mkdir(d.regimeFile());  // a folder in its place
    const StoreOutcome bad = StoreAnalyserReading(d.state, fields, QString::fromLatin1(kExample),
                                                  SamplingPoint::AfterEconomiser, true);
    EXPECT_FALSE(bad.saved);
    EXPECT_FALSE(bad.error.isEmpty());
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
        if (t == TickOutcome::Read) {
            readAt.append(tick);
            // the whole waiting text is taken: the oldest reading comes first
            EXPECT_TRUE(link.text().startsWith(QString::number(tick - 3) + u' ')) << link.text().toStdString();
            EXPECT_EQ(link.text().count(u'\r'), 4);
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

TEST(AnalyserLinkTest, ASingleWaitingCharacterIsSkippedAndARefusedPeriodOpensNothing) {
    EnsureApplication();
    FakeAnalyser fake;
    ASSERT_TRUE(fake.open());
    AnalyserLink link;
    EXPECT_FALSE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("0.5")));
    EXPECT_EQ(link.state(), LinkState::Stopped);
    EXPECT_EQ(link.failure(), PortFailure::None);
    EXPECT_FALSE(fake.peerOpen());

    ASSERT_TRUE(link.start(fake.path(), QStringLiteral("9600,N,8,1"), QStringLiteral("1")));
    fake.send("7");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Skipped);
    fake.send("8");
    Pump(50);
    EXPECT_EQ(link.tick(), TickOutcome::Read);  // the skipped character is still waiting
    EXPECT_EQ(link.text(), QStringLiteral("78"));
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
    again.send(kExample);
    Pump(50);
    link.tick();
    EXPECT_EQ(link.tick(), TickOutcome::Read);
    EXPECT_EQ(link.text(), QString::fromLatin1(kExample));

    // stopping ends the retrying
    again.close();
    Pump(200);
    EXPECT_EQ(link.state(), LinkState::Lost);
    link.stop();
    EXPECT_EQ(link.tick(), TickOutcome::Idle);
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

    // the simulator ends when the reader has closed the port
    EXPECT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(linkPath) || QFileInfo(linkPath).isSymLink());
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
