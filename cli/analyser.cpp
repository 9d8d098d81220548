#include "cli/analyser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <csignal>

#include "analyser/analyserlink.h"
#include "analyser/portsettings.h"
#include "analyser/reading.h"
#include "app/state.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "regime/regimestore.h"

namespace cli {

const char* const kAnalyserUsage =
    "  kalvaro-cli analyser OBJECTDIR REGIMEFILE --port PATH [--settings 9600,N,8,1] [--period 4]\n"
    "              [--count K] [--before-economiser] [--temperature] [--average]\n"
    "              [--steady-window S] [--no2 0|keep|5%]\n"
    "                                         read the gas analyser into a regime, saving and\n"
    "                                         calculating after each period (COMn is /dev/ttyS(n-1));\n"
    "                                         steadiness is judged over the last S seconds (60);\n"
    "                                         --average stores the mean over that window when it is\n"
    "                                         steady, else the mean of the period's readings; --no2:\n"
    "                                         the NO2 the analyser does not send is 0 (default), kept\n"
    "                                         as typed, or 5 % of NOx (NO x 0.05 / 0.95)\n"
    "  kalvaro-cli analyser-sim [--period S] [--link PATH] [--fuel gas|oil] [--seed N]\n"
    "              [--line-end crlf|lf|cr] [--comma] [--split] [--drift NAME:FROM-TO:SECONDS]\n"
    "                                         a pretend gas analyser on a pseudo-terminal; --drift\n"
    "                                         ramps O2, CO, NO or T (flue-gas temperature) from FROM\n"
    "                                         to TO over SECONDS, then holds it (repeatable)\n";

namespace {

int Usage(const QString& why) { return UsageExit(why, kAnalyserUsage); }

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

QString Now() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

// What the command line asks of one capture.
struct CaptureOptions {
    ObjectOptions object;
    QString port, settings = QStringLiteral("9600,N,8,1"), period = QStringLiteral("4");
    int seconds = 0;  // the period, once it is known to be valid
    int count = 0, steadyWindow = analyser::kDefaultSteadyWindow;
    analyser::No2Policy no2 = analyser::No2Policy::Zero;
    bool before = false, temperature = false, average = false;
    QStringList positional;  // the object folder and the regime file
};

// Reads the command line into `o`; false with the reason (empty for the bare usage) when it
// is wrong.
bool ParseOptions(QStringList args, CaptureOptions& o, QString& why) {
    o.object.writes = true;  // it writes the regime: the object's lock, --force and --template-units
    TakeObjectOptions(args, o.object);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        QString v;
        bool ok = false;
        if (a == u"--port") {
            if (!value(o.port)) why = QStringLiteral("--port needs a value");
        } else if (a == u"--settings") {
            if (!value(o.settings)) why = QStringLiteral("--settings needs a value");
        } else if (a == u"--period") {
            if (!value(o.period)) why = QStringLiteral("--period needs a value");
        } else if (a == u"--count") {
            if (!value(v) || (o.count = v.toInt(&ok), !ok) || o.count < 1)
                why = QStringLiteral("--count needs a whole number from 1");
        } else if (a == u"--steady-window") {
            if (!value(v) || !analyser::ParseSteadyWindow(v, o.steadyWindow))
                why = QStringLiteral("--steady-window needs whole seconds from 10 to 3600");
        } else if (a == u"--no2") {
            if (!value(v) || !analyser::ParseNo2Policy(v, o.no2)) why = QStringLiteral("--no2 needs 0, keep or 5%");
        } else if (a == u"--before-economiser") {
            o.before = true;
        } else if (a == u"--temperature") {
            o.temperature = true;
        } else if (a == u"--average") {
            o.average = true;
        } else if (a.startsWith(u"--")) {
            why = QStringLiteral("unknown option ") + a;
        } else {
            o.positional.append(a);
        }
        if (!why.isEmpty()) return false;
    }
    if (o.positional.size() != 2 || o.port.isEmpty()) return false;
    if (!analyser::ParsePeriod(o.period, o.seconds)) {
        why = analyser::kPeriodRefusal;
        return false;
    }
    return true;
}

// The object and its regime, as the regime list and the editor have them; false (told on
// the error output) when either cannot be read.
bool OpenRegime(const CaptureOptions& o, app::AppState& s, QStringList& fields) {
    QString error;
    if (!UseObjectFolder(s, o.positional[0], o.object, error)) {
        Err() << error << "\n";
        return false;
    }
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) Err() << o.positional[0] << ": " << listWarning << "\n";
    const int row = s.regimeList.find(o.positional[1]);
    if (row < 0) {
        Err() << "no such regime in " << o.positional[0] << ": " << o.positional[1] << "\n";
        return false;
    }
    regime::SelectRegimeRow(s, row);
    if (!regime::LoadRegimeInputs(s, &fields, &error)) {
        Err() << s.currentRegimeFile << ": " << error << "\n";
        return false;
    }
    if (!regime::LoadRegimeResults(s)) s.results.fill(0.0f);
    return true;
}

// A rounded figure as the regime file stores it.
QString Rounded(double v, int decimals) {
    return core::StoredForm(static_cast<float>(core::RoundHalfEven(v, decimals)));
}

// One capture under way: the link, the regime it fills and the counts the exit code comes
// from. Each second's tick of the link is handled here until the capture ends.
class Capture {
public:
    Capture(const CaptureOptions& o, app::AppState& s, QStringList& fields)
        : o_(o),
          s_(s),
          fields_(fields),
          point_(o.before ? analyser::SamplingPoint::BeforeEconomiser : analyser::SamplingPoint::AfterEconomiser) {}

    analyser::AnalyserLink& link() { return link_; }
    void tick();
    // The exit code: -1 while the capture may still end well.
    int status() const { return status_; }
    int taken() const { return taken_; }
    int checkFailed() const { return checkFailed_; }

private:
    void read();
    void printReading(const analyser::PeriodValues& values, const analyser::Steadiness& window);
    void log(const QList<analyser::LogRow>& rows);
    void logNotes() { log(analyser::LogRowsOf({}, {}, false, {}, {}, link_.notes())); }
    bool tooQuiet();
    void stop(int status) {
        status_ = status;
        QCoreApplication::exit(0);
    }

    const CaptureOptions& o_;
    app::AppState& s_;
    QStringList& fields_;
    const analyser::SamplingPoint point_;
    analyser::AnalyserLink link_;
    int taken_ = 0, checkFailed_ = 0, status_ = -1;
};

// The rows go to the regime's reading log; a log that cannot be written is told and the
// capture goes on.
void Capture::log(const QList<analyser::LogRow>& rows) {
    QString logError;
    if (!analyser::AppendReadingLog(s_.currentObjectFolder, s_.currentRegimeFile, rows, &logError))
        Err() << logError << "\n";
}

// Three periods in a row without an accepted reading, or with the link lost, end the capture.
bool Capture::tooQuiet() {
    if (link_.quietPeriods() < 3) return false;
    if (link_.state() == analyser::LinkState::Lost)
        Err() << QStringLiteral("Связь с газоанализатором потеряна и не восстановлена за три периода: ")
              << link_.reason() << "\n";
    else
        Err() << (link_.bytesOfPeriod() > 0
                      ? QStringLiteral("Нет полных показаний от газоанализатора три периода подряд: проверьте "
                                       "скорость, четность, биты данных и стоповые биты порта.\n")
                      : QStringLiteral("Нет данных от газоанализатора три периода подряд: проверьте, что "
                                       "анализатор включен, кабель подключен и выбран верный порт.\n"));
    stop(1);
    return true;
}

void Capture::tick() {
    switch (link_.tick()) {
    case analyser::TickOutcome::Read: read(); break;
    case analyser::TickOutcome::Skipped:
        logNotes();
        Out() << Now()
              << (link_.bytesOfPeriod() > 0 ? QStringLiteral("  нет полного показания от газоанализатора\n")
                                            : QStringLiteral("  нет данных от газоанализатора\n"));
        Out().flush();
        tooQuiet();
        break;
    case analyser::TickOutcome::LinkLost:
        logNotes();
        tooQuiet();  // told by linkLost()
        break;
    case analyser::TickOutcome::Reopened:
        logNotes();
        Out() << Now() << "  " << link_.port().device() << QStringLiteral(" открыт снова\n");
        Out().flush();
        break;
    case analyser::TickOutcome::StillLost:
        logNotes();
        tooQuiet();
        break;
    case analyser::TickOutcome::Counting:
    case analyser::TickOutcome::Idle: break;
    }
}

// A period ended with readings: the accepted ones are stored into the regime, which is
// saved and calculated, and the line of the period is printed.
void Capture::read() {
    for (const analyser::Reading& r : link_.readings())
        if (!r.accepted) Out() << Now() << "  " << r.refusal << ": " << r.text.simplified().left(80) << "\n";
    const analyser::Steadiness window =
        analyser::JudgeSteadiness(link_.history(), link_.now(), o_.steadyWindow, o_.temperature);
    const analyser::PeriodValues values = analyser::CombineWithWindow(link_.readings(), window, o_.average);
    if (values.used == 0) {
        // only refused readings: nothing stored, the log says why
        log(analyser::LogRowsOf(link_.readings(), values, false, {}, {}, link_.notes()));
        Out().flush();
        tooQuiet();
        return;
    }
    const analyser::StoreOutcome stored = analyser::StoreAnalyserValues(
        s_, fields_, values, point_, o_.temperature, [&](const QString& m) { Out() << Now() << "  " << m << " !\n"; },
        o_.no2);
    log(analyser::LogRowsOf(link_.readings(), values, stored.saved, stored.error, analyser::No2PolicyText(o_.no2),
                            link_.notes()));
    if (!stored.saved) {
        Err() << s_.currentRegimeFile << ": " << stored.error << "\n";
        stop(1);
        return;
    }
    ++taken_;
    printReading(values, window);
    if (stored.calc.outcome == regime::CalcOutcome::Calculated)
        Out() << QStringLiteral("  КПД ") << core::StoredForm(s_.results[4]) << QStringLiteral("  Нагрузка, % ")
              << core::StoredForm(s_.results[0]) << "\n";
    else if (stored.calc.outcome == regime::CalcOutcome::CheckFailed) {
        ++checkFailed_;
        Out() << QStringLiteral("  не рассчитан: ") << stored.calc.message << "\n";
    } else {
        Out() << "\n";
        Err() << s_.currentResultsFile << ": " << stored.calc.message << "\n";
        stop(1);
        return;
    }
    if (!stored.sortWarning.isEmpty()) Err() << stored.sortWarning << "\n";
    Out().flush();
    if (o_.count > 0 && taken_ >= o_.count) QCoreApplication::exit(0);
}

// The values stored from the period as the regime holds them, how they were averaged and
// the steadiness of the window; the calculation's figures follow on the same line.
void Capture::printReading(const analyser::PeriodValues& values, const analyser::Steadiness& window) {
    const analyser::FieldMap f = analyser::FieldsOf(point_);
    auto v = [&](int k) { return fields_.value(k).simplified(); };
    Out() << Now() << "  #" << taken_ << "  CO " << v(f.co) << "  NO " << v(f.no) << "  O2 " << v(f.o2) << "  CO2 "
          << v(f.co2);
    if (o_.temperature) Out() << QStringLiteral("  Тух.г ") << v(f.temperature);
    Out() << "  NO2 " << v(analyser::No2FieldOf(point_));
    if (values.averaged) {
        Out() << QStringLiteral("  среднее из ") << values.used;
        if (values.fromWindow) Out() << QStringLiteral(" за ") << Rounded(values.windowSpan, 0) << QStringLiteral(" с");
        Out() << QStringLiteral(" (σ O2 ") << Rounded(values.sdO2, 2) << QStringLiteral(", σ CO ")
              << Rounded(values.sdCO, 1);
        if (o_.temperature) Out() << QStringLiteral(", σ Тух.г ") << Rounded(values.sdTemperature, 1);
        Out() << QStringLiteral(")");
    }
    Out() << QStringLiteral("  окно ") << o_.steadyWindow << QStringLiteral(" с: ") << window.verdict;
}

// Runs the capture until it ends itself, the count is reached or Ctrl+C; the exit code.
int RunCapture(Capture& c, int count) {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    QTimer second, watch;
    QObject::connect(&c.link(), &analyser::AnalyserLink::linkLost, [&] {
        Out() << Now() << "  " << c.link().reason() << "\n";
        Out().flush();
    });
    QObject::connect(&second, &QTimer::timeout, [&] { c.tick(); });
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (gStop) QCoreApplication::exit(0);
    });
    second.start(1000);
    watch.start(100);
    QCoreApplication::exec();
    c.link().stop();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (c.status() >= 0) return c.status();
    if (count > 0 && c.taken() < count) {
        Err() << "interrupted after " << c.taken() << " of " << count << " readings\n";
        return 1;
    }
    return c.checkFailed() > 0 ? 3 : 0;
}

}  // namespace

int AnalyserCommand(const QStringList& args) {
    CaptureOptions o;
    QString why;
    if (!ParseOptions(args, o, why)) return Usage(why);
    app::AppState s;
    QStringList fields;
    if (!OpenRegime(o, s, fields)) return 1;
    if (o.before && !analyser::BeforeEconomiserAllowed(s.general))
        return Usage(QStringLiteral("the object has no economiser: only the after-the-boiler fields can be filled"));

    Capture c(o, s, fields);
    c.link().setReadTemperature(o.temperature);
    if (!c.link().start(o.port, o.settings, o.period)) {
        Err() << QStringLiteral("Ошибка при работе с портом ") << o.port << ": " << c.link().reason() << "\n";
        return 1;
    }
    Out() << Now() << "  " << c.link().port().device() << " (" << o.settings << "), " << o.seconds << " s -> "
          << s.currentObjectName << " / " << s.currentRegimeFile << "\n";
    Out() << Now() << "  " << analyser::UnmeasuredNote(o.no2, o.temperature) << "\n";
    Out().flush();
    return RunCapture(c, o.count);
}

}  // namespace cli
