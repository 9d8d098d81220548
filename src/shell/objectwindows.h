#pragma once
// Registers the factory of every object window that exists in the program with the
// workbench. Each new window kind adds its line in objectwindows.cpp.

namespace shell {

class Workbench;

void InstallObjectWindows(Workbench& workbench);

}  // namespace shell
