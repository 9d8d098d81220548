#pragma once
// Settings of the analyser's serial port: the five texts kept in "ComPort.ini", the
// settings text handed to the port ("9600,N,8,1"), and how a port text names a device
// on Linux.

#include <QSerialPort>
#include <QString>
#include <QStringList>

namespace analyser {

inline const QString kSettingsFile = QStringLiteral("ComPort.ini");
inline const QString kSection = QStringLiteral("General");
inline const QString kMissing = QStringLiteral("?");

// Keys of the five settings, in the order of the window's lists.
inline const QStringList kSettingKeys = {QStringLiteral("ComPort"), QStringLiteral("Speed"), QStringLiteral("YN"),
                                         QStringLiteral("Bit"), QStringLiteral("StopBit")};

struct PortSettings {
    QString port = kMissing;      // "COM1", "/dev/ttyUSB0", "/dev/rfcomm0", ...
    QString speed = kMissing;     // "9600"
    QString parity = kMissing;    // "Yes" or "No"
    QString dataBits = kMissing;  // "8"
    QString stopBits = kMissing;  // "1", "1.5" or "2"

    QString value(int index) const;
    void setValue(int index, const QString& text);
};

// The settings file of a program folder.
QString SettingsFilePath(const QString& programFolder);
// Reads the five keys of section "General"; "?" for every key that is missing.
PortSettings ReadPortSettings(const QString& iniFile);
// Writes one key (index into kSettingKeys). False, with the reason, when the file cannot
// be written; the old file then stays as it was.
bool WritePortSetting(const QString& iniFile, int index, const QString& value, QString* error = nullptr);

// The settings offered where "ComPort.ini" has no key: those of a common analyser,
// "COM1" at 9600 baud, no parity, 8 data bits, 1 stop bit.
PortSettings DefaultedSettings(const PortSettings& read);

// "Усреднять" of the window, key "Average" ("1" or "0") of the same section; off when missing.
inline const QString kAverageKey = QStringLiteral("Average");
bool ReadAverageSetting(const QString& iniFile);
bool WriteAverageSetting(const QString& iniFile, bool on, QString* error = nullptr);

// The other choices of the window kept in the same section, so the next use starts where
// this one ended: "Temperature" (the flue-gas temperature box, "1"/"0", off when missing),
// "Period" (the polling period text, "4"), "SteadyWindow" (seconds, 60) and "NO2" (what
// becomes of the NO2 the analyser does not send: "0", "keep" or "5%", "0" when missing or
// unknown).
inline const QString kTemperatureKey = QStringLiteral("Temperature");
inline const QString kPeriodKey = QStringLiteral("Period");
inline const QString kSteadyWindowKey = QStringLiteral("SteadyWindow");
inline const QString kNo2Key = QStringLiteral("NO2");

enum class No2Policy {
    Zero,         // "NO2 не измеряется: 0"
    Keep,         // "оставить введённое"
    FivePercent,  // "NO2 = 5 % от NOx": NO2 = NO x 0.05 / 0.95
};
// The choice as the window and the log name it, and as "ComPort.ini" keeps it.
QString No2PolicyText(No2Policy p);
QString No2PolicyKey(No2Policy p);
// A key text back to the choice; false for an unknown one.
bool ParseNo2Policy(const QString& text, No2Policy& p);

struct LinkOptions {
    bool temperature = false;
    QString period = QStringLiteral("4");
    int steadyWindow = 60;
    No2Policy no2 = No2Policy::Zero;
};
LinkOptions ReadLinkOptions(const QString& iniFile);
// Writes one key of section "General"; false, with the reason, when the file cannot be written.
bool WriteLinkOption(const QString& iniFile, const QString& key, const QString& value, QString* error = nullptr);
// A steadiness window text in whole seconds from 10 to 3600; false for anything else.
bool ParseSteadyWindow(const QString& text, int& seconds);

// Speed, first letter of the parity, data bits and stop bits joined by commas.
QString SettingsText(const PortSettings& s);

// The device a port text stands for. "COMn" (any letter case, n from 1) is the n-th
// built-in serial port, /dev/ttyS(n-1), so settings made for the numbered ports keep
// working; a text with a "/" is a path as it stands (/dev/rfcomm0, /dev/pts/4, a
// /dev/serial/by-id link); a bare name is looked up in /dev. Empty for an empty text or "?".
QString DevicePath(const QString& portText);

// The line settings of a settings text, checked against what a Linux serial port can do.
struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
// Parity letters: N none, Y (from "Yes") and E even, O odd, M mark, S space. Data bits 5 to
// 8, stop bits 1 or 2 (1.5 is refused: Linux serial drivers do not offer it), speed a whole
// number from 50 to 4000000. False, with the reason in Russian, for anything else.
bool ParseSettingsText(const QString& text, LineSettings& line, QString* why = nullptr);

}  // namespace analyser
