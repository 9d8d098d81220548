#include "app/ui/twips.h"

#include <QWidget>

namespace app {

namespace {

int Convert(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace

int TwipsX(const QWidget* widget, int twips) { return Convert(twips, widget ? widget->logicalDpiX() : 96); }
int TwipsY(const QWidget* widget, int twips) { return Convert(twips, widget ? widget->logicalDpiY() : 96); }

}  // namespace app
