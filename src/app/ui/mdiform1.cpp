#include "app/ui/mdiform1.h"

#include <QMdiArea>

#include "app/dialogs.h"
#include "app/state.h"

namespace app {

MDIForm1::MDIForm1(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), area_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Kalvaro"));
    setCentralWidget(area_);
    resize(1200, 800);
}

}  // namespace app
