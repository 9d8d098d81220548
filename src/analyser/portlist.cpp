#include "analyser/portlist.h"

#include <QSerialPortInfo>

#include "analyser/portsettings.h"

namespace analyser {

QList<PortEntry> PortEntries() {
    QList<PortEntry> entries;
    for (int n = 1; n <= 4; ++n) {
        const QString com = QStringLiteral("COM") + QString::number(n);
        entries.append({com, com, com + QStringLiteral(" = ") + DevicePath(com)});
    }
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        bool builtIn = false;
        for (int n = 0; n < 4; ++n) builtIn |= path == QStringLiteral("/dev/ttyS") + QString::number(n);
        if (builtIn) continue;
        QStringList about;
        if (!info.description().isEmpty()) about.append(info.description());
        if (!info.manufacturer().isEmpty()) about.append(info.manufacturer());
        const QString beside = about.join(QStringLiteral(", "));
        entries.append(
            {path, beside.isEmpty() ? path : path + QStringLiteral("   ") + beside, beside.isEmpty() ? path : beside});
    }
    return entries;
}

}  // namespace analyser
