// The floors of start-up: an empty Qt Widgets main window, nothing else; with --text, the
// same window with a menu and one line of text, which makes Qt load its fonts and style
// before the window maps (bench/startup-time.sh times both beside the workbench).

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kalvaro bare"));
    if (application.arguments().contains(QStringLiteral("--text"))) {
        window.menuBar()->addMenu(QStringLiteral("Файл"));
        window.setCentralWidget(new QLabel(QStringLiteral("Общие данные")));
    }
    window.resize(1200, 820);
    window.show();
    return application.exec();
}
