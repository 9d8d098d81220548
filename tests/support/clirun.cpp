#include "support/clirun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "core/names.h"
#include "support/testdirs.h"

namespace testing_support {

CliRun Cli(const QStringList& args, const std::function<void()>& inChild, int timeoutMs) {
    QProcess p;
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(QStringLiteral(KALVARO_CLI), args);
    CliRun r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.code = r.finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString CopyDemo(const QTemporaryDir& dir) {
    const QString from = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты");
    const QString to = core::JoinPath(dir.path(), QStringLiteral("Все объекты"));
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        const QString target = core::JoinPath(to, QDir(from).relativeFilePath(f));
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(f, target);
    }
    return to;
}

QMap<QString, QByteArray> Snapshot(const QString& folder) {
    QMap<QString, QByteArray> m;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        // a PDF carries the font subsets in an order that varies from run to run; its content
        // is checked by the report tests, here only that it is there and is a PDF
        const QByteArray bytes = ReadBytes(f);
        m.insert(QDir(folder).relativeFilePath(f), f.endsWith(QStringLiteral(".pdf")) ? bytes.left(5) : bytes);
    }
    return m;
}

}  // namespace testing_support
