#pragma once
// Calculating the current regime from the windows: the data check's notice, the results
// stored, the list re-sorted and everything shown anew. Windows of other subsystems reach it
// through the workbench's calculateCurrentRegime().

class QWidget;

namespace app {
class Workbench;
}

namespace regime {

// Calculates the current regime from its inputs as they stand, stores the results and shows
// them in the list (re-sorted), the pane and the mini graph; a failed data check is told in a
// notice over `noticeParent` and shown in the pane. False only on a file error (told).
bool CalculateAndShow(app::Workbench& wb, QWidget* noticeParent);

}  // namespace regime
