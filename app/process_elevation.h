// Whether this process runs with administrator rights unlocked.
#pragma once

namespace app {

// True where the token says so, and where it cannot be asked: the caller
// then takes the path that is safe for an elevated process.
bool ProcessIsElevated();

}  // namespace app
