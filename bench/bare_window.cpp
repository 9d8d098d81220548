// The floor of start-up: an empty Qt Widgets main window, nothing else
// (bench/startup-time.sh times it beside the workbench).

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kalvaro bare"));
    window.resize(1200, 820);
    window.show();
    return application.exec();
}
