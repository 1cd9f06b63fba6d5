#pragma once

// Drops the mouse and keyboard input that queued up while a device exchange
// blocked the window, so that clicks and key presses made while the window
// did not respond are not acted on afterwards. Runs no event, timer or other
// handler itself.
//
// Input already in Qt's queue of posted events is removed at once. Input the
// window system still holds is delivered only when the event loop runs again
// and cannot be taken out before; it is swallowed on its way in instead,
// until the loop has run for InputSweepMs.
void DiscardPendingInput();

constexpr int InputSweepMs = 100;

// Whether window-system input is being swallowed right now.
bool DiscardingPendingInput();
