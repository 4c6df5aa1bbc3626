// The network as this computer's system reports it: the adapters that are
// up (GetAdaptersAddresses) and the connectivity verdict of the network
// list manager. Neither sends anything over the network.
#pragma once

#include "app/network_state.h"

namespace app {

NetworkReading ReadSystemNetwork();
// Needs COM started on the calling thread.
ConnectivityReading ReadSystemConnectivity();

}  // namespace app
