#pragma once
// The port field of the serial link window.

#include <QComboBox>
#include <functional>

namespace analyser {

// An editable list that refills itself each time its list is opened.
class PortCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override;
};

}  // namespace analyser
