#pragma once
#include <QStringList>

namespace cli {
// kalvaro-cli report OBJECTDIR [--xlsx FILE] [--pdf FILE]: the regime sheet and the summary
// sheet of an object. Exit code 0 when every regime was calculated, 3 when the documents
// were written but some regimes failed their data check, 1 on a file error, 2 on a usage
// error.
int Report(QStringList args);
}
