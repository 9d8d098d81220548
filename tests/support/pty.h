#pragma once
// A pseudo-terminal pair made by the test: the master end plays the gas analyser, the
// slave path is what the program opens as its serial port.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

class FakeAnalyser {
public:
    FakeAnalyser() = default;
    FakeAnalyser(const FakeAnalyser&) = delete;
    FakeAnalyser& operator=(const FakeAnalyser&) = delete;
    ~FakeAnalyser() { close(); }

    // Opens a new pair; the slave end is closed here, so the master learns when the
    // program lets go of its port.
    bool open() {
        close();
        termios raw{};
        cfmakeraw(&raw);
        int slave = -1;
        char name[256] = {};
        if (openpty(&master_, &slave, name, &raw, nullptr) != 0) return false;
        ::close(slave);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        return true;
    }
    bool isOpen() const { return master_ >= 0; }
    QString path() const { return path_; }
    bool send(const QByteArray& bytes) {
        return master_ >= 0 && ::write(master_, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    }
    // Pulls the cable: the program's end sees the device go.
    void close() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    // True while the program holds the slave end open.
    bool peerOpen() const {
        if (master_ < 0) return false;
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, 0);
        return !(p.revents & POLLHUP);
    }
    // Makes `link` a symbolic link to this pair's slave end (replacing an older link).
    bool linkAs(const QString& link) const {
        QFile::remove(link);
        return QFile::link(path_, link);
    }

private:
    int master_ = -1;
    QString path_;
};

// Lets the event loop run for `ms` milliseconds, so the port reads what was sent.
inline void Pump(int ms = 100) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

}  // namespace testing_support
