#pragma once
// Results physics does not allow. Such a value is still stored and shown as computed, with a
// mark that says why it cannot be right, wherever it appears: the results pane, the regime
// list, the graphs and their data table, the workbooks and the regime card.

#include <QString>
#include <array>

namespace regime {

// Why result slot `slot` holding `value` cannot be right (an efficiency above 100 %, a
// negative loss, an excess-air ratio below 1), or an empty text. Such a value is still
// stored and shown as computed; it usually comes from inputs that do not fit together.
// An excess-air ratio of exactly 0 is a regime not calculated yet, not a fault.
QString ImplausibleReason(int slot, float value);

// The reasons of every implausible slot of a results array, one per line, each once; empty
// when all can be right.
QString ImplausibleResults(const std::array<float, 26>& results);

}  // namespace regime
