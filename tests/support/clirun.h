#pragma once
// Running kalvaro-cli from tests, and the demo objects copied into a temporary folder.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace testing_support {

struct CliRun {
    int code = -1;
    QString out, err;
    bool finished = false;  // false when it had to be killed after the timeout
};

// Runs the command-line tool; `inChild` (when given) runs in the child before it starts,
// to set a resource limit there.
CliRun Cli(const QStringList& args, const std::function<void()>& inChild = {}, int timeoutMs = 60000);

// Copies the demo objects into `dir`/"Все объекты" (the template is not copied); returns
// that objects folder.
QString CopyDemo(const QTemporaryDir& dir);

// Every file below `folder` with its bytes, by relative path.
QMap<QString, QByteArray> Snapshot(const QString& folder);

}  // namespace testing_support
