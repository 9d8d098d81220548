// --help, --version and wrong options of both programs, run as the user runs them.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct ProgramRun {
    int code = -1;
    QString out, err;
};

// Runs a program without a display and without a session's runtime folder: --help and --version must not need one.
ProgramRun Start(const QString& program, const QStringList& args, bool offscreen = false) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.remove("XDG_RUNTIME_DIR");  // as from cron or a container: no login session
    if (offscreen) env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

const QString kCli = QStringLiteral(KALVARO_CLI);
const QString kGui = QStringLiteral(KALVARO_GUI);
const QString kVersion = QStringLiteral(KALVARO_VERSION);

}  // namespace

TEST(CommandLine, VersionOfBothProgramsIsTheProjectVersion) {
    ASSERT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(kVersion).hasMatch()) << kVersion.toStdString();
    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const ProgramRun cli = Start(kCli, {option});
        EXPECT_EQ(cli.code, 0);
        EXPECT_EQ(cli.out, QStringLiteral("kalvaro-cli ") + kVersion + '\n');
        const ProgramRun gui = Start(kGui, {option});
        EXPECT_EQ(gui.code, 0) << gui.err.toStdString();
        EXPECT_EQ(gui.out, QStringLiteral("kalvaro ") + kVersion + '\n');
    }
}

TEST(CommandLine, HelpListsTheCommandsAndOptions) {
    const ProgramRun cli = Start(kCli, {"--help"});
    EXPECT_EQ(cli.code, 0);
    EXPECT_TRUE(cli.err.isEmpty());
    for (const char* word : {"objects HOME", "regimes OBJECTDIR", "recalc OBJECTDIR", "calc OBJECTDIR", "graph OBJECTDIR",
                             "demo HOME", "--version", "--help"})
        EXPECT_TRUE(cli.out.contains(QString::fromUtf8(word))) << word;
    // every command, in the order the tool tries them
    qsizetype last = -1;
    for (const char* command : {"objects HOME", "regimes OBJECTDIR", "recalc OBJECTDIR", "calc OBJECTDIR", "graph OBJECTDIR",
                                "q5 OBJECTDIR", "report OBJECTDIR", "tune OBJECTDIR", "analyser OBJECTDIR", "analyser-sim [",
                                "import OBJECTDIR", "demo HOME"}) {
        const qsizetype at = cli.out.indexOf(QStringLiteral("kalvaro-cli ") + QString::fromUtf8(command));
        EXPECT_GT(at, last) << command;
        last = at;
    }

    const ProgramRun gui = Start(kGui, {"-h"});
    EXPECT_EQ(gui.code, 0) << gui.err.toStdString();
    for (const char* word : {"--home <DIR>", "--version", "KALVARO_HOME", "~/.local/share/kalvaro"})
        EXPECT_TRUE(gui.out.contains(QString::fromUtf8(word))) << word;
}

TEST(CommandLine, WrongCommandLinesEndWithUsageAndCode2) {
    // an unknown option, no command, an unknown command
    for (const QStringList& args : {QStringList{"--bogus"}, QStringList{}, QStringList{"frobnicate", "x"}}) {
        const ProgramRun r = Start(kCli, args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("Usage:")) << r.err.toStdString();
    }
    EXPECT_TRUE(Start(kCli, {"--bogus"}).err.contains("Unknown option 'bogus'"));

    // the workbench refuses before it opens a window
    for (const QStringList& args : {QStringList{"--bogus"}, QStringList{"--home"}, QStringList{"one", "two"}}) {
        const ProgramRun r = Start(kGui, args, true);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("--home <DIR>")) << r.err.toStdString();
    }
}

TEST(CommandLine, OptionsAfterTheCommandBelongToIt) {
    // "--version" after the command is the command's argument, not the program's option
    const ProgramRun r = Start(kCli, {"regimes", "--version"});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.out.contains(kVersion));
}

TEST(CommandLine, CommandsThatDrawPrintOnlyTheirOwnMessages) {
    // the demo draws the graph pictures and writes the PDF report: a window system underneath
    QTemporaryDir home;
    const ProgramRun r = Start(kCli, {"demo", home.path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, QString());
}
