#pragma once
// The editor of a program-wide reference list (employees, safety sensors). The opener sets
// the list file name in the shared state, the caption and the tooltip of the list, then
// shows it modal. Closing it empties the shared file name. Each addition or removal that was
// written says so with listChanged, so the opener can have the list offered anew elsewhere.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace app {
struct AppState;
class Dialogs;
}  // namespace app

namespace docs {

class Nastr : public QDialog {
    Q_OBJECT
public:
    Nastr(app::AppState& state, app::Dialogs& dialogs, QWidget* parent = nullptr);

    QListWidget* List1;
    QPushButton* Command1;  // "Добавить+"
    QPushButton* Command2;  // "Удалить -"
    QPushButton* Command3;  // "Закрыть"

    // Fill: the entries of the list file, in file order.
    void loadList();
    void Nastr_Command1_Click();
    void Nastr_Command2_Click();

    QString listPath() const;

Q_SIGNALS:
    // The list file `file` (its name in the template folder) was rewritten.
    void listChanged(const QString& file);

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    app::AppState& state_;
    app::Dialogs& dialogs_;
};

}  // namespace docs
