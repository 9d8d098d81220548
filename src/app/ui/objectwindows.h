#pragma once
// Registers the factory of every object window that exists in the program with the
// workbench. Each new window kind adds its line in objectwindows.cpp.

namespace app {

class Workbench;

void InstallObjectWindows(Workbench& workbench);

}  // namespace app
