// The user-interface thread's message handling.
#pragma once

namespace host {

// Dispatches every message already waiting, then returns. A quit request met
// on the way is put back, so the outermost loop still ends.
void ProcessPendingMessages();

// Runs until the last form has unloaded; returns the quit code.
int RunMessageLoop();

}  // namespace host
