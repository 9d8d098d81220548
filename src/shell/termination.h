#pragma once
// A desktop session that ends, or a terminal's Ctrl+C, asks the process to stop with a
// signal (SIGTERM, SIGHUP, SIGINT). Killed at once, the workbench would lose a value typed
// but not yet entered and leave the object's lock behind; instead it closes its main window
// as "Выход" does, so every window saves what it holds and the lock is released.

class QWidget;

namespace shell {

// From now on the first of those signals closes `frame` and ends the event loop; a second one
// ends the process at once.
void CloseOnTerminationSignals(QWidget* frame);

}  // namespace shell
