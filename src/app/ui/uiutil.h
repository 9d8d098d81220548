#pragma once
// Small helpers shared by the windows: twips to pixels, the program's icons, pictures of
// the template folder.

#include <QIcon>
#include <QPixmap>
#include <QString>

class QKeyEvent;
class QWidget;

namespace app {

struct AppState;

// Window positions are given in twips (1/1440 inch); converted with the logical DPI of the
// widget's screen (96 when there is none).
int TwipsX(const QWidget* widget, int twips);
int TwipsY(const QWidget* widget, int twips);

// An icon of the program's resources (":/icons/<name>.png").
QIcon ProgramIcon(const QString& name);

// A picture of the template folder, found whatever the letter case of its name; a null
// pixmap when it is missing or unreadable.
QPixmap TemplatePicture(const AppState& s, const QString& name);

// True for the frame's Ctrl shortcuts (Create, Open, Close, Rename) that text fields would
// otherwise take for their own line editing keys (Ctrl+E is "end of line" on Linux).
bool IsFrameShortcut(const QKeyEvent* event);

// The program's identity on the desktop: the desktop entry its windows belong to (task bar
// icon and grouping). No application display name is set: Qt would append it to every
// window caption ("Kalvaro   <object> — Kalvaro"), and the frame's caption already names
// the program.
void SetUpApplicationIdentity();

// Default title of a message that has none of its own.
inline const QString kProgramTitle = QStringLiteral("Kalvaro");

}  // namespace app
