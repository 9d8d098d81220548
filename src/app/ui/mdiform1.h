#pragma once
// The main window: a frame that holds every other window of the program.

#include <QMainWindow>

class QMdiArea;

namespace app {

struct AppState;
class Dialogs;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    MDIForm1(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return area_; }

private:
    AppState& state_;
    Dialogs& dialogs_;
    QMdiArea* area_;
};

}  // namespace app
