#pragma once
// Keys that belong to the frame rather than to the field that has the focus.

class QKeyEvent;

namespace app {

// True for the frame's Ctrl shortcuts (Create, Open, Close, Rename) that text fields would
// otherwise take for their own line editing keys (Ctrl+E is "end of line" on Linux).
bool IsFrameShortcut(const QKeyEvent* event);

}  // namespace app
