#pragma once
#include <QString>

namespace cli {
// Creates the demo objects in HOME/"Все объекты" and the template folder HOME/Template (files
// already in the template are kept).
bool WriteDemo(const QString& home, QString& error);
}
