#pragma once
#include <QString>

namespace cli {
// Creates the demo objects in HOME/"Все объекты" (HOME/Template must hold the template).
bool WriteDemo(const QString& home, QString& error);
}
