// A pretend gas analyser: a pseudo-terminal that receives one reading in the analyser's
// seven-value text every period, with values that drift slowly the way a burner's do. It
// keeps its terminal while readers come and go, until Ctrl+C. Options try the framing: the
// line end, a decimal comma, and readings sent in two parts with a pause between; --drift
// ramps a value, to watch the steadiness mark follow a burner that is being set.

#include <QByteArray>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "cli/analyser.h"

namespace cli {

namespace {

volatile std::sig_atomic_t gSimStop = 0;
void OnSimSignal(int) { gSimStop = 1; }

int SimUsage(const QString& why) {
    QTextStream err(stderr);
    err << why << "\nUsage:\n" << kAnalyserUsage;
    return 2;
}

// One value that wanders inside its range, or, when ramped, goes from `from` to `to` in
// `seconds` from the start and then stays there.
struct Drift {
    double value, low, high, step;
    bool ramped = false;
    double from = 0, to = 0, seconds = 0;
    double next(std::mt19937& rng, double elapsed) {
        if (ramped) {
            value = seconds <= 0 ? to : from + (to - from) * std::min(1.0, elapsed / seconds);
            return value;
        }
        std::normal_distribution<double> d(0.0, step);
        value = std::clamp(value + d(rng), low, high);
        return value;
    }
};

// "O2:3-6:30": the name, the two values and the seconds of a ramp.
bool ParseRamp(const QString& text, QString& name, double& from, double& to, double& seconds) {
    static const QRegularExpression re(QStringLiteral("^([A-Za-z0-9]+):(\\d+(?:\\.\\d+)?)-(\\d+(?:\\.\\d+)?):(\\d+(?:\\.\\d+)?)$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch()) return false;
    name = m.captured(1).toUpper();
    from = m.captured(2).toDouble();
    to = m.captured(3).toDouble();
    seconds = m.captured(4).toDouble();
    return true;
}

}  // namespace

int AnalyserSimCommand(const QStringList& args) {
    double period = 2.0;
    QString link, fuel = QStringLiteral("gas"), lineEnd = QStringLiteral("crlf");
    bool comma = false, split = false;
    unsigned seed = std::random_device{}();
    struct Ramp {
        QString name;
        double from, to, seconds;
    };
    QList<Ramp> ramps;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == u"--help" || a == u"-h") {
            QTextStream(stdout) << "Usage:\n" << kAnalyserUsage;
            return 0;
        }
        if (a == u"--drift" && hasValue) {
            Ramp r;
            if (!ParseRamp(args[++i], r.name, r.from, r.to, r.seconds) ||
                !QStringList({"O2", "CO", "NO", "T"}).contains(r.name) || (r.name == u"O2" && std::max(r.from, r.to) >= 21))
                return SimUsage(QStringLiteral("--drift: NAME:FROM-TO:SECONDS with NAME O2, CO, NO or T, such as O2:3-6:30"));
            ramps.append(r);
        } else if (a == u"--period" && hasValue) {
            period = args[++i].toDouble(&ok);
            if (!ok || period < 0.1 || period > 3600) return SimUsage(QStringLiteral("--period: seconds from 0.1 to 3600"));
        } else if (a == u"--link" && hasValue) {
            link = args[++i];
        } else if (a == u"--fuel" && hasValue) {
            fuel = args[++i];
            if (fuel != u"gas" && fuel != u"oil") return SimUsage(QStringLiteral("--fuel: gas or oil"));
        } else if (a == u"--line-end" && hasValue) {
            lineEnd = args[++i];
            if (lineEnd != u"crlf" && lineEnd != u"lf" && lineEnd != u"cr")
                return SimUsage(QStringLiteral("--line-end: crlf, lf or cr"));
        } else if (a == u"--comma") {
            comma = true;
        } else if (a == u"--split") {
            split = true;
        } else if (a == u"--seed" && hasValue) {
            seed = args[++i].toUInt(&ok);
            if (!ok) return SimUsage(QStringLiteral("--seed: a whole number"));
        } else {
            return SimUsage(QStringLiteral("unknown argument ") + a);
        }
    }

    QTextStream out(stdout), err(stderr);
    termios raw{};
    cfmakeraw(&raw);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        err << "cannot open a pseudo-terminal: " << std::strerror(errno) << "\n";
        return 1;
    }
    // the simulator keeps only its own end; a reader opens the terminal's path as its port,
    // and may close it and open it again as often as it likes
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    const QString path = QString::fromLocal8Bit(name);

    if (!link.isEmpty()) {
        const QFileInfo li(link);
        if (li.exists() && !li.isSymLink()) {
            err << link << ": exists and is not a symbolic link; left alone\n";
            ::close(master);
            return 1;
        }
        if (li.isSymLink()) ::unlink(QFile::encodeName(link).constData());
        if (::symlink(name, QFile::encodeName(link).constData()) != 0) {
            err << link << ": cannot make the link: " << std::strerror(errno) << "\n";
            ::close(master);
            return 1;
        }
    }
    out << path << "\n";
    if (!link.isEmpty()) out << link << " -> " << path << "\n";
    out.flush();

    std::signal(SIGINT, OnSimSignal);
    std::signal(SIGTERM, OnSimSignal);
    std::signal(SIGPIPE, SIG_IGN);

    std::mt19937 rng(seed);
    const bool gas = fuel == u"gas";
    const double co2max = gas ? 11.8 : 15.5;  // % for natural gas, for fuel oil
    Drift o2{gas ? 3.5 : 4.5, 1.5, 8.0, 0.12};
    Drift co{gas ? 40.0 : 60.0, 2.0, 250.0, 4.0};
    Drift no{gas ? 45.0 : 70.0, 15.0, 140.0, 1.5};
    Drift temp{gas ? 150.0 : 175.0, 110.0, 230.0, 1.2};
    for (const Ramp& r : ramps) {
        Drift& d = r.name == u"O2" ? o2 : r.name == u"CO" ? co : r.name == u"NO" ? no : temp;
        d.ramped = true;
        d.from = r.from;
        d.to = r.to;
        d.seconds = r.seconds;
    }
    const auto started = std::chrono::steady_clock::now();

    const QByteArray end = lineEnd == u"lf" ? QByteArray("\n") : lineEnd == u"cr" ? QByteArray("\r") : QByteArray("\r\n");
    QString why;
    QByteArray rest;  // the second part of a split reading
    auto nextSend = std::chrono::steady_clock::now(), restAt = nextSend;
    auto send = [&](const QByteArray& bytes) {
        // with no reader the terminal refuses (EIO) or its buffer is full: the reading is lost
        const ssize_t w = ::write(master, bytes.constData(), static_cast<size_t>(bytes.size()));
        if (w < 0 && errno != EAGAIN && errno != EIO) why = QString::fromLocal8Bit(std::strerror(errno));
    };
    while (!gSimStop && why.isEmpty()) {
        pollfd p{master, POLLIN, 0};
        ::poll(&p, 1, 0);
        if (p.revents & POLLIN) {
            char sink[256];
            while (::read(master, sink, sizeof sink) > 0) {}  // the analyser takes no commands
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextSend) {
            nextSend = now + std::chrono::milliseconds(static_cast<int>(period * 1000));
            const double elapsed = std::chrono::duration<double>(now - started).count();
            const double oxygen = o2.next(rng, elapsed);
            const double carbon = co2max * (21.0 - oxygen) / 21.0;
            const double lambda = 21.0 / (21.0 - oxygen);
            const QString line = QStringLiteral("  %1  %2 %3 %4 %5 0 %6")
                                     .arg(qRound(co.next(rng, elapsed)))
                                     .arg(qRound(no.next(rng, elapsed)))
                                     .arg(oxygen, 0, 'f', 1)
                                     .arg(carbon, 0, 'f', 1)
                                     .arg(lambda, 0, 'f', 2)
                                     .arg(qRound(temp.next(rng, elapsed)));
            QByteArray bytes = line.toLatin1() + end;
            if (comma) bytes.replace('.', ',');
            if (split) {
                rest = bytes.mid(bytes.size() / 2);
                bytes.truncate(bytes.size() / 2);
                restAt = now + std::chrono::milliseconds(std::min(700, static_cast<int>(period * 400)));
            }
            send(bytes);
            out << QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")) << line << "\n";
            out.flush();
        }
        if (!rest.isEmpty() && std::chrono::steady_clock::now() >= restAt) {
            send(rest);
            rest.clear();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::close(master);
    if (!link.isEmpty()) {
        // remove the link only while it still points at this simulator's terminal
        if (QFileInfo(link).symLinkTarget() == path) ::unlink(QFile::encodeName(link).constData());
    }
    if (!why.isEmpty()) err << "analyser-sim: " << why << "\n";
    return 0;
}

}  // namespace cli
