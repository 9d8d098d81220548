#pragma once
// The tuning assistant without a display: the optimal excess air of every load step.

#include <QStringList>

namespace cli {

inline constexpr const char kTuneUsage[] =
    "  kalvaro-cli tune OBJECTDIR [--json]    the optimal excess air of every load step\n";

int TuneCommand(QStringList args);

}  // namespace cli
