#include "analyser/portsettings.h"

#include <QRegularExpression>

#include "core/ini.h"
#include "core/names.h"

namespace analyser {

QString PortSettings::value(int index) const {
    switch (index) {
    case 0: return port;
    case 1: return speed;
    case 2: return parity;
    case 3: return dataBits;
    case 4: return stopBits;
    default: return {};
    }
}

void PortSettings::setValue(int index, const QString& text) {
    switch (index) {
    case 0: port = text; break;
    case 1: speed = text; break;
    case 2: parity = text; break;
    case 3: dataBits = text; break;
    case 4: stopBits = text; break;
    default: break;
    }
}

QString SettingsFilePath(const QString& programFolder) { return core::JoinPath(programFolder, kSettingsFile); }

PortSettings ReadPortSettings(const QString& iniFile) {
    PortSettings s;
    for (int i = 0; i < kSettingKeys.size(); ++i) s.setValue(i, core::ReadIni(iniFile, kSection, kSettingKeys[i], kMissing));
    return s;
}

bool WritePortSetting(const QString& iniFile, int index, const QString& value, QString* error) {
    if (index < 0 || index >= kSettingKeys.size()) return false;
    if (core::WriteIni(iniFile, kSection, kSettingKeys[index], value)) return true;
    if (error) *error = QStringLiteral("Ошибка записи файла ") + iniFile;
    return false;
}

PortSettings DefaultedSettings(const PortSettings& read) {
    const QString defaults[5] = {QStringLiteral("COM1"), QStringLiteral("9600"), QStringLiteral("No"), QStringLiteral("8"),
                                 QStringLiteral("1")};
    PortSettings s = read;
    for (int i = 0; i < kSettingKeys.size(); ++i)
        if (s.value(i) == kMissing || s.value(i).trimmed().isEmpty()) s.setValue(i, defaults[i]);
    return s;
}

bool ReadAverageSetting(const QString& iniFile) {
    return core::ReadIni(iniFile, kSection, kAverageKey, QStringLiteral("0")).trimmed() == u"1";
}

bool WriteAverageSetting(const QString& iniFile, bool on, QString* error) {
    if (core::WriteIni(iniFile, kSection, kAverageKey, on ? QStringLiteral("1") : QStringLiteral("0"))) return true;
    if (error) *error = QStringLiteral("Ошибка записи файла ") + iniFile;
    return false;
}

QString No2PolicyText(No2Policy p) {
    switch (p) {
    case No2Policy::Keep: return QStringLiteral("оставить введённое");
    case No2Policy::FivePercent: return QStringLiteral("NO2 = 5 % от NOx");
    case No2Policy::Zero: break;
    }
    return QStringLiteral("NO2 не измеряется: 0");
}

QString No2PolicyKey(No2Policy p) {
    switch (p) {
    case No2Policy::Keep: return QStringLiteral("keep");
    case No2Policy::FivePercent: return QStringLiteral("5%");
    case No2Policy::Zero: break;
    }
    return QStringLiteral("0");
}

bool ParseNo2Policy(const QString& text, No2Policy& p) {
    const QString t = text.trimmed();
    for (No2Policy c : {No2Policy::Zero, No2Policy::Keep, No2Policy::FivePercent})
        if (t.compare(No2PolicyKey(c), Qt::CaseInsensitive) == 0) {
            p = c;
            return true;
        }
    return false;
}

bool ParseSteadyWindow(const QString& text, int& seconds) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < 10 || v > 3600) return false;
    seconds = v;
    return true;
}

LinkOptions ReadLinkOptions(const QString& iniFile) {
    LinkOptions o;
    o.temperature = core::ReadIni(iniFile, kSection, kTemperatureKey, QStringLiteral("0")).trimmed() == u"1";
    const QString period = core::ReadIni(iniFile, kSection, kPeriodKey, o.period).trimmed();
    if (!period.isEmpty()) o.period = period;
    ParseSteadyWindow(core::ReadIni(iniFile, kSection, kSteadyWindowKey, QStringLiteral("60")), o.steadyWindow);
    ParseNo2Policy(core::ReadIni(iniFile, kSection, kNo2Key, QStringLiteral("0")), o.no2);
    return o;
}

bool WriteLinkOption(const QString& iniFile, const QString& key, const QString& value, QString* error) {
    if (core::WriteIni(iniFile, kSection, key, value)) return true;
    if (error) *error = QStringLiteral("Ошибка записи файла ") + iniFile;
    return false;
}

QString SettingsText(const PortSettings& s) {
    return s.speed + u',' + s.parity.left(1) + u',' + s.dataBits + u',' + s.stopBits;
}

QString DevicePath(const QString& portText) {
    const QString t = portText.trimmed();
    if (t.isEmpty() || t == kMissing) return {};
    static const QRegularExpression com(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(t);
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        if (ok && n >= 1) return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
        return {};
    }
    if (t.contains(u'/')) return t;
    return QStringLiteral("/dev/") + t;
}

bool ParseSettingsText(const QString& text, LineSettings& line, QString* why) {
    auto fail = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return fail(QStringLiteral("Неверная строка настроек порта: ") + text);
    const QString speed = parts[0].trimmed(), parity = parts[1].trimmed().toUpper(), bits = parts[2].trimmed(),
                  stop = parts[3].trimmed();

    bool ok = false;
    const qint64 baud = speed.toLongLong(&ok);
    if (!ok || baud < 50 || baud > 4000000) return fail(QStringLiteral("Недопустимая скорость: ") + speed);

    LineSettings l;
    l.baud = static_cast<qint32>(baud);
    if (parity == u"N") l.parity = QSerialPort::NoParity;
    else if (parity == u"Y" || parity == u"E") l.parity = QSerialPort::EvenParity;
    else if (parity == u"O") l.parity = QSerialPort::OddParity;
    else if (parity == u"M") l.parity = QSerialPort::MarkParity;
    else if (parity == u"S") l.parity = QSerialPort::SpaceParity;
    else return fail(QStringLiteral("Недопустимая четность: ") + parts[1].trimmed());

    const int dataBits = bits.toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) return fail(QStringLiteral("Недопустимое число битов данных: ") + bits);
    l.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    if (stop == u"1") l.stopBits = QSerialPort::OneStop;
    else if (stop == u"2") l.stopBits = QSerialPort::TwoStop;
    else if (stop == u"1.5")
        return fail(QStringLiteral("1.5 стоповых бита не поддерживаются последовательными портами Linux"));
    else return fail(QStringLiteral("Недопустимое число стоповых битов: ") + stop);

    line = l;
    return true;
}

}  // namespace analyser
