#include "analyser/ui/portcombo.h"

namespace analyser {

void PortCombo::showPopup() {
    if (beforePopup) beforePopup();
    QComboBox::showPopup();
}

}  // namespace analyser
