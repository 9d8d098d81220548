#include "cli/analyser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <csignal>

#include "analyser/analyserlink.h"
#include "analyser/portsettings.h"
#include "analyser/reading.h"
#include "app/state.h"
#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "core/numbers.h"
#include "core/numparse.h"
#include "regime/regimestore.h"
#include "store/objectstore.h"

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

}  // namespace

int AnalyserCommand(const QStringList& argsIn) {
    QStringList args = argsIn;
    ObjectOptions options;  // it writes the regime: the object's lock, --force and --template-units
    options.writes = true;
    TakeObjectOptions(args, options);
    QString port, settings = QStringLiteral("9600,N,8,1"), period = QStringLiteral("4");
    int count = 0, steadyWindow = analyser::kDefaultSteadyWindow;
    analyser::No2Policy no2 = analyser::No2Policy::Zero;
    bool before = false, temperature = false, average = false;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        if (a == u"--port") {
            if (!value(port)) return Usage(QStringLiteral("--port needs a value"));
        } else if (a == u"--settings") {
            if (!value(settings)) return Usage(QStringLiteral("--settings needs a value"));
        } else if (a == u"--period") {
            if (!value(period)) return Usage(QStringLiteral("--period needs a value"));
        } else if (a == u"--count") {
            QString c;
            bool ok = false;
            if (!value(c) || (count = c.toInt(&ok), !ok) || count < 1)
                return Usage(QStringLiteral("--count needs a whole number from 1"));
        } else if (a == u"--steady-window") {
            QString w;
            if (!value(w) || !analyser::ParseSteadyWindow(w, steadyWindow))
                return Usage(QStringLiteral("--steady-window needs whole seconds from 10 to 3600"));
        } else if (a == u"--no2") {
            QString n;
            if (!value(n) || !analyser::ParseNo2Policy(n, no2)) return Usage(QStringLiteral("--no2 needs 0, keep or 5%"));
        } else if (a == u"--before-economiser") {
            before = true;
        } else if (a == u"--temperature") {
            temperature = true;
        } else if (a == u"--average") {
            average = true;
        } else if (a.startsWith(u"--")) {
            return Usage(QStringLiteral("unknown option ") + a);
        } else {
            positional.append(a);
        }
    }
    if (positional.size() != 2 || port.isEmpty()) return Usage({});
    int seconds = 0;
    if (!analyser::ParsePeriod(period, seconds)) return Usage(analyser::kPeriodRefusal);

    // the object and its regime, as the regime list and the editor have them
    app::AppState s;
    QString error, warning;
    if (!UseObjectFolder(s, positional[0], options, error, warning)) {
        Err() << error << "\n";
        return 1;
    }
    if (!warning.isEmpty()) Err() << s.currentObjectFolder << ": " << warning << "\n";
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) Err() << positional[0] << ": " << listWarning << "\n";
    const int row = s.regimeList.find(positional[1]);
    if (row < 0) {
        Err() << "no such regime in " << positional[0] << ": " << positional[1] << "\n";
        return 1;
    }
    regime::SelectRegimeRow(s, row);
    QStringList fields;
    if (!regime::LoadRegimeInputs(s, &fields, &error)) {
        Err() << s.currentRegimeFile << ": " << error << "\n";
        return 1;
    }
    if (!regime::LoadRegimeResults(s)) s.results.fill(0.0f);
    if (before && !analyser::BeforeEconomiserAllowed(s.general))
        return Usage(QStringLiteral("the object has no economiser: only the after-the-boiler fields can be filled"));
    const analyser::SamplingPoint point =
        before ? analyser::SamplingPoint::BeforeEconomiser : analyser::SamplingPoint::AfterEconomiser;

    analyser::AnalyserLink link;
    link.setReadTemperature(temperature);
    if (!link.start(port, settings, period)) {
        Err() << QStringLiteral("Ошибка при работе с портом ") << port << ": " << link.reason() << "\n";
        return 1;
    }
    Out() << Now() << "  " << link.port().device() << " (" << settings << "), " << seconds << " s -> "
          << s.currentObjectName << " / " << s.currentRegimeFile << "\n";
    Out() << Now() << "  " << analyser::UnmeasuredNote(no2, temperature) << "\n";
    Out().flush();
    auto logNotes = [&] {
        QString logError;
        if (!analyser::AppendReadingLog(s.currentObjectFolder, s.currentRegimeFile,
                                        analyser::LogRowsOf({}, {}, false, {}, {}, link.notes()), &logError))
            Err() << logError << "\n";
    };

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    int taken = 0, checkFailed = 0, status = -1;
    QTimer second, watch;
    QObject::connect(&link, &analyser::AnalyserLink::linkLost, [&] {
        Out() << Now() << "  " << link.reason() << "\n";
        Out().flush();
    });
    // three periods in a row without an accepted reading, or with the link lost, end the capture
    auto tooQuiet = [&] {
        if (link.quietPeriods() < 3) return false;
        if (link.state() == analyser::LinkState::Lost)
            Err() << QStringLiteral("Связь с газоанализатором потеряна и не восстановлена за три периода: ")
                  << link.reason() << "\n";
        else
            Err() << (link.bytesOfPeriod() > 0
                          ? QStringLiteral("Нет полных показаний от газоанализатора три периода подряд: проверьте "
                                           "скорость, четность, биты данных и стоповые биты порта.\n")
                          : QStringLiteral("Нет данных от газоанализатора три периода подряд: проверьте, что "
                                           "анализатор включен, кабель подключен и выбран верный порт.\n"));
        status = 1;
        QCoreApplication::exit(0);
        return true;
    };
    QObject::connect(&second, &QTimer::timeout, [&] {
        const analyser::TickOutcome t = link.tick();
        switch (t) {
        case analyser::TickOutcome::Read: {
            for (const analyser::Reading& r : link.readings())
                if (!r.accepted) Out() << Now() << "  " << r.refusal << ": " << r.text.simplified().left(80) << "\n";
            const analyser::Steadiness window =
                analyser::JudgeSteadiness(link.history(), link.now(), steadyWindow, temperature);
            const analyser::PeriodValues values = analyser::CombineWithWindow(link.readings(), window, average);
            if (values.used == 0) {
                // only refused readings: nothing stored, the log says why
                QString logError;
                if (!analyser::AppendReadingLog(s.currentObjectFolder, s.currentRegimeFile,
                                                analyser::LogRowsOf(link.readings(), values, false, {}, {}, link.notes()),
                                                &logError))
                    Err() << logError << "\n";
                Out().flush();
                if (tooQuiet()) return;
                break;
            }
            const analyser::StoreOutcome o =
                analyser::StoreAnalyserValues(
                    s, fields, values, point, temperature, [&](const QString& m) { Out() << Now() << "  " << m << " !\n"; },
                    no2);
            QString logError;
            if (!analyser::AppendReadingLog(s.currentObjectFolder, s.currentRegimeFile,
                                            analyser::LogRowsOf(link.readings(), values, o.saved, o.error,
                                                                analyser::No2PolicyText(no2), link.notes()),
                                            &logError))
                Err() << logError << "\n";
            if (!o.saved) {
                Err() << s.currentRegimeFile << ": " << o.error << "\n";
                status = 1;
                QCoreApplication::exit(0);
                return;
            }
            ++taken;
            const analyser::FieldMap f = analyser::FieldsOf(point);
            auto v = [&](int k) { return fields.value(k).simplified(); };
            Out() << Now() << "  #" << taken << "  CO " << v(f.co) << "  NO " << v(f.no) << "  O2 " << v(f.o2)
                  << "  CO2 " << v(f.co2);
            if (temperature) Out() << QStringLiteral("  Тух.г ") << v(f.temperature);
            Out() << "  NO2 " << v(analyser::No2FieldOf(point));
            if (values.averaged) {
                Out() << QStringLiteral("  среднее из ") << values.used;
                if (values.fromWindow)
                    Out() << QStringLiteral(" за ") << core::StoredForm(static_cast<float>(core::RoundHalfEven(values.windowSpan, 0)))
                          << QStringLiteral(" с");
                Out() << QStringLiteral(" (σ O2 ")
                      << core::StoredForm(static_cast<float>(core::RoundHalfEven(values.sdO2, 2)))
                      << QStringLiteral(", σ CO ") << core::StoredForm(static_cast<float>(core::RoundHalfEven(values.sdCO, 1)));
                if (temperature)
                    Out() << QStringLiteral(", σ Тух.г ")
                          << core::StoredForm(static_cast<float>(core::RoundHalfEven(values.sdTemperature, 1)));
                Out() << QStringLiteral(")");
            }
            Out() << QStringLiteral("  окно ") << steadyWindow << QStringLiteral(" с: ") << window.verdict;
            if (o.calc.outcome == regime::CalcOutcome::Calculated)
                Out() << QStringLiteral("  КПД ") << core::StoredForm(s.results[4]) << QStringLiteral("  Нагрузка, % ")
                      << core::StoredForm(s.results[0]) << "\n";
            else if (o.calc.outcome == regime::CalcOutcome::CheckFailed) {
                ++checkFailed;
                Out() << QStringLiteral("  не рассчитан: ") << o.calc.message << "\n";
            } else {
                Out() << "\n";
                Err() << s.currentResultsFile << ": " << o.calc.message << "\n";
                status = 1;
                QCoreApplication::exit(0);
                return;
            }
            if (!o.sortWarning.isEmpty()) Err() << o.sortWarning << "\n";
            Out().flush();
            if (count > 0 && taken >= count) QCoreApplication::exit(0);
            break;
        }
        case analyser::TickOutcome::Skipped:
            logNotes();
            Out() << Now() << (link.bytesOfPeriod() > 0 ? QStringLiteral("  нет полного показания от газоанализатора\n")
                                                        : QStringLiteral("  нет данных от газоанализатора\n"));
            Out().flush();
            if (tooQuiet()) return;
            break;
        case analyser::TickOutcome::LinkLost:
            logNotes();
            if (tooQuiet()) return;  // told by linkLost()
            break;
        case analyser::TickOutcome::Reopened:
            logNotes();
            Out() << Now() << "  " << link.port().device() << QStringLiteral(" открыт снова\n");
            Out().flush();
            break;
        case analyser::TickOutcome::StillLost:
            logNotes();
            if (tooQuiet()) return;
            break;
        case analyser::TickOutcome::Counting:
        case analyser::TickOutcome::Idle: break;
        }
    });
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (gStop) QCoreApplication::exit(0);
    });
    second.start(1000);
    watch.start(100);
    QCoreApplication::exec();
    link.stop();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (status >= 0) return status;
    if (count > 0 && taken < count) {
        Err() << "interrupted after " << taken << " of " << count << " readings\n";
        return 1;
    }
    return checkFailed > 0 ? 3 : 0;
}

}  // namespace cli
