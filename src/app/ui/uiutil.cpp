#include "app/ui/uiutil.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>

#include "app/startup.h"
#include "app/state.h"

// The resources live in a static library: their initialiser is called by hand so the
// linker keeps them.
static void InitProgramResources() { Q_INIT_RESOURCE(kalvaro); }

namespace app {

namespace {

int Convert(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace

int TwipsX(const QWidget* widget, int twips) { return Convert(twips, widget ? widget->logicalDpiX() : 96); }
int TwipsY(const QWidget* widget, int twips) { return Convert(twips, widget ? widget->logicalDpiY() : 96); }

QIcon ProgramIcon(const QString& name) {
    static const bool initialised = (InitProgramResources(), true);
    (void)initialised;
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".png")); }

bool IsFrameShortcut(const QKeyEvent* event) {
    if (event->modifiers() != Qt::ControlModifier) return false;
    switch (event->key()) {
    case Qt::Key_N:
    case Qt::Key_O:
    case Qt::Key_E:
    case Qt::Key_R: return true;
    default: return false;
    }
}

QPixmap TemplatePicture(const AppState& s, const QString& name) {
    QPixmap p;
    p.load(TemplateFile(s, name));
    return p;
}

void SetUpApplicationIdentity() { QGuiApplication::setDesktopFileName(QStringLiteral("kalvaro")); }

}  // namespace app
