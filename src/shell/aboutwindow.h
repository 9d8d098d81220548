#pragma once
// The About window: the program's title and version.

#include <QDialog>

class QLabel;

namespace shell {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QLabel* Title;
    QLabel* Version;
};

}  // namespace shell
