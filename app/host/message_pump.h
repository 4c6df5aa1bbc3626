// The user-interface thread's message handling.
#pragma once

#include <functional>

namespace host {

// Dispatches every message already waiting, then returns. A quit request met
// on the way is put back, so the outermost loop still ends.
void ProcessPendingMessages();

// Runs until the last form has unloaded; returns the quit code.
int RunMessageLoop();

// Runs until done() answers true after a message (a modal window's loop);
// false when a quit request ended it first, which is put back.
bool RunUntil(const std::function<bool()>& done);

}  // namespace host
