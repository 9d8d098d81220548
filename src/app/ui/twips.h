#pragma once
// Window positions given in twips (1/1440 inch), converted with the logical DPI of the
// widget's screen (96 when there is none).

class QWidget;

namespace app {

int TwipsX(const QWidget* widget, int twips);
int TwipsY(const QWidget* widget, int twips);

}  // namespace app
