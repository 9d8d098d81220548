#pragma once
// Help: the compiled help file "справка.chm" of the template folder opened with the
// platform's viewer when it exists; otherwise the HTML help "справка.html" of the template
// folder in a help window of the program.

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>

class QTextBrowser;

namespace app {
struct AppState;
class Dialogs;
}  // namespace app

namespace shell {

using app::AppState;
using app::Dialogs;

inline const QString kHelpChm = QStringLiteral("справка.chm");
inline const QString kHelpHtml = QStringLiteral("справка.html");

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void showFile(const QString& path);
    QTextBrowser* Browser;

protected:
    void keyPressEvent(QKeyEvent* event) override;  // Escape closes
};

// ShowHelp: returns the help window now showing (the one passed in, a new one, or nullptr
// when the platform viewer took the help).
QPointer<QWidget> ShowHelp(const AppState& s, Dialogs& d, QWidget* owner, QPointer<QWidget> existing);

}  // namespace shell
