#include "shell/termination.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace shell {

namespace {

int g_signalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte into the pipe. The handler is installed
// for one delivery, so a second Ctrl+C still ends a workbench that hangs.
void OnSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget* frame) {
    if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, frame);
    QPointer<QWidget> window(frame);
    QObject::connect(notifier, &QSocketNotifier::activated, frame, [notifier, window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        // a question or a tool window open at that moment gets no answer: it is cancelled
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            if (QApplication::activeModalWidget() == modal) break;
        }
        // the main window closes once such a question has returned to its caller
        QTimer::singleShot(0, window, [window] {
            if (window) window->close();
            QCoreApplication::quit();
        });
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(number, &action, nullptr);
}

}  // namespace shell
