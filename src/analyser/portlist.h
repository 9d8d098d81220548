#pragma once
// The serial ports offered in the serial link window's port list.

#include <QList>
#include <QString>

namespace analyser {

// The entries of the port list: "COM1" to "COM4", then the serial devices the system
// reports (the first four built-in ports are already there as COM1 to COM4).
struct PortEntry {
    QString text;     // what goes into the field and into "ComPort.ini"
    QString display;  // the list entry: the path with description and maker beside it
    QString tip;
};
QList<PortEntry> PortEntries();

}  // namespace analyser
