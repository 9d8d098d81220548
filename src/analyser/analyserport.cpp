#include "analyser/analyserport.h"

#include <QFileInfo>
#include <unistd.h>

#include "analyser/portsettings.h"

namespace analyser {

QString FailureReason(PortFailure failure, const QString& device, const QString& detail) {
    switch (failure) {
    case PortFailure::None: return {};
    case PortFailure::Settings: return detail;
    case PortFailure::NotFound:
        return device.isEmpty() ? QStringLiteral("Порт не задан.") : QStringLiteral("Порт ") + device + QStringLiteral(" не найден.");
    case PortFailure::Permission:
        return QStringLiteral("Нет прав на работу с портом ") + device +
               QStringLiteral(". Пользователь должен входить в группу dialout: выполните команду "
                              "sudo usermod -a -G dialout $USER и войдите в систему заново.");
    case PortFailure::Busy: return QStringLiteral("Порт ") + device + QStringLiteral(" занят другой программой.");
    case PortFailure::Lost:
        return QStringLiteral("Связь с портом ") + device + QStringLiteral(" потеряна") +
               (detail.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + detail);
    case PortFailure::Other:
        return QStringLiteral("Порт ") + device + QStringLiteral(" не открыт") +
               (detail.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + detail);
    }
    return {};
}

PortFailure ClassifyOpenError(QSerialPort::SerialPortError error, bool deviceAccessible) {
    switch (error) {
    case QSerialPort::NoError: return PortFailure::None;
    case QSerialPort::DeviceNotFoundError: return PortFailure::NotFound;
    case QSerialPort::PermissionError: return deviceAccessible ? PortFailure::Busy : PortFailure::Permission;
    case QSerialPort::OpenError: return PortFailure::Busy;
    case QSerialPort::UnsupportedOperationError: return PortFailure::Settings;
    default: return PortFailure::Other;
    }
}

AnalyserPort::AnalyserPort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::errorOccurred, this, &AnalyserPort::onError);
    connect(&port_, &QSerialPort::readyRead, this, &AnalyserPort::arrived);
}

AnalyserPort::~AnalyserPort() { close(); }

bool AnalyserPort::open(const QString& portText, const QString& settingsText) {
    close();
    failure_ = PortFailure::None;
    reason_.clear();
    device_ = DevicePath(portText);
    auto fail = [this](PortFailure f, const QString& detail) {
        failure_ = f;
        reason_ = FailureReason(f, device_, detail);
        if (port_.isOpen()) port_.close();
        return false;
    };
    LineSettings line;
    QString why;
    if (!ParseSettingsText(settingsText, line, &why)) return fail(PortFailure::Settings, why);
    if (device_.isEmpty()) return fail(PortFailure::NotFound, {});
    if (!QFileInfo::exists(device_)) return fail(PortFailure::NotFound, {});

    port_.setPortName(device_);
    if (!port_.open(QIODevice::ReadOnly)) {
        const QByteArray local = QFile::encodeName(device_);
        const bool accessible = ::access(local.constData(), R_OK | W_OK) == 0;
        return fail(ClassifyOpenError(port_.error(), accessible), port_.errorString());
    }
    if (!port_.setBaudRate(line.baud) || !port_.setParity(line.parity) || !port_.setDataBits(line.dataBits) ||
        !port_.setStopBits(line.stopBits) || !port_.setFlowControl(QSerialPort::NoFlowControl))
        return fail(PortFailure::Settings, QStringLiteral("Порт не принимает настройки ") + settingsText);
    discard();
    return true;
}

void AnalyserPort::close() {
    if (port_.isOpen()) port_.close();
}

bool AnalyserPort::isOpen() const { return port_.isOpen(); }

qint64 AnalyserPort::waiting() {
    if (!port_.isOpen()) return 0;
    if (!QFileInfo::exists(device_)) {
        lose(QStringLiteral("устройство отключено"));
        return 0;
    }
    return port_.bytesAvailable();
}

QByteArray AnalyserPort::takeAll() { return port_.isOpen() ? port_.readAll() : QByteArray(); }

void AnalyserPort::discard() {
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

void AnalyserPort::onError(QSerialPort::SerialPortError error) {
    // open() reads failures itself; a timeout only comes from waiting calls, not used here
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port_.isOpen()) return;
    lose(port_.errorString());
}

void AnalyserPort::lose(const QString& detail) {
    if (!port_.isOpen()) return;
    port_.close();
    failure_ = PortFailure::Lost;
    reason_ = FailureReason(PortFailure::Lost, device_, detail);
    Q_EMIT linkLost();
}

}  // namespace analyser
