// A pretend gas analyser: a pseudo-terminal that receives one reading in the analyser's
// seven-value text every period, with values that drift slowly the way a burner's do. It
// keeps its terminal while readers come and go, until Ctrl+C. Options try the framing: the
// line end, a decimal comma, and readings sent in two parts with a pause between; --drift
// ramps a value, to watch the steadiness mark follow a burner that is being set.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "cli/analyser.h"
#include "cli/output.h"

namespace cli {

namespace {

volatile std::sig_atomic_t gSimStop = 0;
void OnSimSignal(int) { gSimStop = 1; }

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

// How the pretend analyser sends, from the command line.
struct SimOptions {
    double period = 2.0;
    QString link, fuel = QStringLiteral("gas"), lineEnd = QStringLiteral("crlf");
    bool comma = false, split = false;
    unsigned seed = std::random_device{}();
    struct Ramp {
        QString name;
        double from, to, seconds;
    };
    QList<Ramp> ramps;
};

// Reads the command line into `o`; the exit code when the command ends here (its help, or
// a wrong argument told with the usage).
std::optional<int> ParseSimOptions(const QStringList& args, SimOptions& o) {
    auto usage = [](const QString& why) { return UsageExit(why, kAnalyserUsage); };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == u"--help" || a == u"-h") {
            Out() << "Usage:\n" << kAnalyserUsage;
            return 0;
        }
        if (a == u"--drift" && hasValue) {
            SimOptions::Ramp r;
            if (!ParseRamp(args[++i], r.name, r.from, r.to, r.seconds) ||
                !QStringList({"O2", "CO", "NO", "T"}).contains(r.name) || (r.name == u"O2" && std::max(r.from, r.to) >= 21))
                return usage(
                    QStringLiteral("--drift: NAME:FROM-TO:SECONDS with NAME O2, CO, NO or T, such as O2:3-6:30"));
            o.ramps.append(r);
        } else if (a == u"--period" && hasValue) {
            o.period = args[++i].toDouble(&ok);
            if (!ok || o.period < 0.1 || o.period > 3600)
                return usage(QStringLiteral("--period: seconds from 0.1 to 3600"));
        } else if (a == u"--link" && hasValue) {
            o.link = args[++i];
        } else if (a == u"--fuel" && hasValue) {
            o.fuel = args[++i];
            if (o.fuel != u"gas" && o.fuel != u"oil") return usage(QStringLiteral("--fuel: gas or oil"));
        } else if (a == u"--line-end" && hasValue) {
            o.lineEnd = args[++i];
            if (o.lineEnd != u"crlf" && o.lineEnd != u"lf" && o.lineEnd != u"cr")
                return usage(QStringLiteral("--line-end: crlf, lf or cr"));
        } else if (a == u"--comma") {
            o.comma = true;
        } else if (a == u"--split") {
            o.split = true;
        } else if (a == u"--seed" && hasValue) {
            o.seed = args[++i].toUInt(&ok);
            if (!ok) return usage(QStringLiteral("--seed: a whole number"));
        } else {
            return usage(QStringLiteral("unknown argument ") + a);
        }
    }
    return std::nullopt;
}

// Opens the pseudo-terminal and, when asked, the link to it; false (told on the error
// output) when either fails. `master` is the simulator's end, `path` the terminal's.
bool OpenTerminal(const QString& link, int& master, QString& path) {
    termios raw{};
    cfmakeraw(&raw);
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        Err() << "cannot open a pseudo-terminal: " << std::strerror(errno) << "\n";
        return false;
    }
    // the simulator keeps only its own end; a reader opens the terminal's path as its port,
    // and may close it and open it again as often as it likes
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    path = QString::fromLocal8Bit(name);
    if (link.isEmpty()) return true;
    const QFileInfo li(link);
    if (li.exists() && !li.isSymLink()) {
        Err() << link << ": exists and is not a symbolic link; left alone\n";
        ::close(master);
        return false;
    }
    if (li.isSymLink()) ::unlink(QFile::encodeName(link).constData());
    if (::symlink(name, QFile::encodeName(link).constData()) != 0) {
        Err() << link << ": cannot make the link: " << std::strerror(errno) << "\n";
        ::close(master);
        return false;
    }
    return true;
}

// The burner's flue gas: the values that drift (or ramp as asked) and the fuel's CO2 at no
// excess air.
struct Burner {
    double co2max;
    Drift o2, co, no, temp;
};

Burner MakeBurner(const SimOptions& o) {
    const bool gas = o.fuel == u"gas";
    Burner b{gas ? 11.8 : 15.5,  // % for natural gas, for fuel oil
             {gas ? 3.5 : 4.5, 1.5, 8.0, 0.12},
             {gas ? 40.0 : 60.0, 2.0, 250.0, 4.0},
             {gas ? 45.0 : 70.0, 15.0, 140.0, 1.5},
             {gas ? 150.0 : 175.0, 110.0, 230.0, 1.2}};
    for (const SimOptions::Ramp& r : o.ramps) {
        Drift& d = r.name == u"O2" ? b.o2 : r.name == u"CO" ? b.co : r.name == u"NO" ? b.no : b.temp;
        d.ramped = true;
        d.from = r.from;
        d.to = r.to;
        d.seconds = r.seconds;
    }
    return b;
}

// The next reading in the analyser's seven-value text, `elapsed` seconds after the start.
QString NextReading(Burner& b, std::mt19937& rng, double elapsed) {
    const double oxygen = b.o2.next(rng, elapsed);
    const double carbon = b.co2max * (21.0 - oxygen) / 21.0;
    const double lambda = 21.0 / (21.0 - oxygen);
    return QStringLiteral("  %1  %2 %3 %4 %5 0 %6")
        .arg(qRound(b.co.next(rng, elapsed)))
        .arg(qRound(b.no.next(rng, elapsed)))
        .arg(oxygen, 0, 'f', 1)
        .arg(carbon, 0, 'f', 1)
        .arg(lambda, 0, 'f', 2)
        .arg(qRound(b.temp.next(rng, elapsed)));
}

// Sends a reading every period until Ctrl+C, printing each; what the terminal failed with,
// empty when it was stopped.
QString Simulate(int master, const SimOptions& o) {
    std::mt19937 rng(o.seed);
    Burner burner = MakeBurner(o);
    const auto started = std::chrono::steady_clock::now();
    const QByteArray end = o.lineEnd == u"lf"   ? QByteArray("\n")
                           : o.lineEnd == u"cr" ? QByteArray("\r")
                                                : QByteArray("\r\n");
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
            nextSend = now + std::chrono::milliseconds(static_cast<int>(o.period * 1000));
            const QString line = NextReading(burner, rng, std::chrono::duration<double>(now - started).count());
            QByteArray bytes = line.toLatin1() + end;
            if (o.comma) bytes.replace('.', ',');
            if (o.split) {
                rest = bytes.mid(bytes.size() / 2);
                bytes.truncate(bytes.size() / 2);
                restAt = now + std::chrono::milliseconds(std::min(700, static_cast<int>(o.period * 400)));
            }
            send(bytes);
            Out() << QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")) << line << "\n";
            Out().flush();
        }
        if (!rest.isEmpty() && std::chrono::steady_clock::now() >= restAt) {
            send(rest);
            rest.clear();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return why;
}

}  // namespace

int AnalyserSimCommand(const QStringList& args) {
    SimOptions o;
    if (const std::optional<int> code = ParseSimOptions(args, o)) return *code;
    int master = -1;
    QString path;
    if (!OpenTerminal(o.link, master, path)) return 1;
    Out() << path << "\n";
    if (!o.link.isEmpty()) Out() << o.link << " -> " << path << "\n";
    Out().flush();

    std::signal(SIGINT, OnSimSignal);
    std::signal(SIGTERM, OnSimSignal);
    std::signal(SIGPIPE, SIG_IGN);
    const QString why = Simulate(master, o);
    ::close(master);
    if (!o.link.isEmpty()) {
        // remove the link only while it still points at this simulator's terminal
        if (QFileInfo(o.link).symLinkTarget() == path) ::unlink(QFile::encodeName(o.link).constData());
    }
    if (!why.isEmpty()) Err() << "analyser-sim: " << why << "\n";
    return 0;
}

}  // namespace cli
