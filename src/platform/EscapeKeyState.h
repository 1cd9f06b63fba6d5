#pragma once

#include <QString>

// The Escape key's live state, read from the keyboard without processing
// window messages: a loop that blocks the window can still be ended by it.
// On X11 through the display Qt is connected to, on Windows from the
// system's key state; a session with neither (native Wayland, or no display
// at all) cannot read it, and `reason` says so.
bool CanReadEscapeKey(QString& reason);
bool EscapeKeyHeld();
