#pragma once
// What every window that calculates regimes does around the calculation: a progress window
// over a recalculation of several regimes, and the list, the pane and the mini graph shown
// anew afterwards. Calculating the current regime itself is the workbench's
// calculateCurrentRegime().

#include <functional>

class QWidget;

namespace app {

struct AppState;
class Workbench;

// Told after each regime of a recalculation (done of all); false stops it.
using ProgressStep = std::function<bool(int done, int all)>;

// Runs `work`, a recalculation of several regimes given a step callback, with a progress
// window over `parent` ("Расчет режимов...", with "Отмена", shown after 0.4 s) and without
// refilling the regime editor for every regime on the way.
void WithRecalcProgress(QWidget* parent, AppState& s, const std::function<void(const ProgressStep&)>& work);

// Refreshes the regime list (re-sorted), the results and the mini graph after a calculation.
void AfterCalculation(Workbench& wb);

}  // namespace app
