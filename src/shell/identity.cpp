#include "shell/identity.h"

#include <QGuiApplication>

namespace shell {

void SetUpApplicationIdentity() { QGuiApplication::setDesktopFileName(QStringLiteral("kalvaro")); }

}  // namespace shell
