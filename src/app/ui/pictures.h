#pragma once
// The program's icons and the pictures of the template folder.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace app {

struct AppState;

// An icon of the program's resources (":/icons/<name>.png").
QIcon ProgramIcon(const QString& name);

// A picture of the template folder, found whatever the letter case of its name; a null
// pixmap when it is missing or unreadable.
QPixmap TemplatePicture(const AppState& s, const QString& name);

}  // namespace app
