#pragma once
#include <QStringList>

namespace cli {
// kalvaro-cli q5 OBJECTDIR REGIMEFILE [--xlsx FILE]: computes the regime's q5 file as the
// calculator's "Рассчитать" does and prints it, writing nothing but the optional workbook.
// 0 done, 1 a missing regime, q5 file or an unwritable workbook, 2 usage.
int Q5Command(QStringList args);
}
