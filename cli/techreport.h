#pragma once
#include <QStringList>

namespace cli {
// kalvaro-cli techreport OBJECTDIR [--odt FILE] [--pdf FILE]: the technical report of the
// tests as an editable ODT and its PDF (by default both, into the object folder). Exit code 0
// when every regime was calculated, 3 when the report was written but some regimes failed
// their data check, 1 on a file error, 2 on a usage error.
int TechReportCommand(QStringList args);
}  // namespace cli
