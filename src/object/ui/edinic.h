#pragma once
// The units window: the unit of each regime value of the object, picked from fixed lists.

#include <QWidget>
#include <array>

#include "app/ui/workbench.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QPushButton;

namespace object {

class Edinic : public QWidget, public app::ObjectWindowEvents, public app::UnitsView {
    Q_OBJECT
public:
    explicit Edinic(app::Workbench& wb);

    std::array<QComboBox*, 31> e{};
    QGroupBox *gasFrame, *liquidFrame, *airFrame, *fluegasFrame, *flueFrame, *waterFrame, *steamFrame;
    QPushButton *enterButton, *cancelButton;

    void focusUnit(int unit) override;
    // "Ввод": the editor's labels, then "Ediny.txt"; closes the window.
    void accept();
    void cancel();

    void deactivated() override;

private:
    void buildUnitLists(const QStringList& shown);
    QGridLayout* buildFrames(const app::AppState& s);
    void closeWindow();
    app::Workbench& wb_;
    bool closing_ = false;
};

}  // namespace object
