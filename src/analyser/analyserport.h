#pragma once
// The analyser's serial port, without any window: open with a port text and a settings
// text, tell how many bytes are waiting, take them all, close. Any error the port reports
// after opening counts as a lost link: the port is closed at once, so that an adapter
// plugged in again gets its old device name back, and linkLost() is emitted.

#include <QObject>
#include <QSerialPort>
#include <QString>

namespace analyser {

enum class PortFailure { None, Settings, NotFound, Permission, Busy, Other, Lost };

// The reason shown to the user, in Russian, for a failure on `device`; `detail` is the
// settings reason or the port's own error text where the kind alone does not say enough.
QString FailureReason(PortFailure failure, const QString& device, const QString& detail = {});

// How a failed open is told apart: the port reports a permission error both when the user
// may not use the device and when another program holds it.
PortFailure ClassifyOpenError(QSerialPort::SerialPortError error, bool deviceAccessible);

class AnalyserPort : public QObject {
    Q_OBJECT
public:
    explicit AnalyserPort(QObject* parent = nullptr);
    ~AnalyserPort() override;

    // Opens the device of `portText` with the line settings of `settingsText` and throws
    // away whatever was waiting from before. False with failure() and reason() set.
    bool open(const QString& portText, const QString& settingsText);
    void close();
    bool isOpen() const;

    // Bytes received since the last take. Also notices a device that has gone away
    // without the port reporting it (the device node removed): that is a lost link.
    qint64 waiting();
    QByteArray takeAll();
    // Drops everything received so far.
    void discard();

    QString device() const { return device_; }
    PortFailure failure() const { return failure_; }
    QString reason() const { return reason_; }

Q_SIGNALS:
    void linkLost();
    // Bytes came in (the port's readyRead).
    void arrived();

private:
    void onError(QSerialPort::SerialPortError error);
    void lose(const QString& detail);

    QSerialPort port_;
    QString device_;
    PortFailure failure_ = PortFailure::None;
    QString reason_;
};

}  // namespace analyser
