#pragma once
// The program's identity on the desktop: the desktop entry its windows belong to (task bar
// icon and grouping). No application display name is set: Qt would append it to every
// window caption ("Kalvaro   <object> — Kalvaro"), and the frame's caption already names
// the program.

namespace shell {

void SetUpApplicationIdentity();

}  // namespace shell
