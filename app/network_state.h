// What the repair finds of the network before and after it runs: the
// adapters that are up with their addresses, gateways and DNS servers, and
// the system's verdict on connectivity; and the texts made from them, the
// one-line summary under the steps and the before/after report.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

enum class AddressOrigin { Dhcp, Manual, RouterAdvertisement, SelfAssigned, Other };

struct NetworkAddress {
    std::wstring text;
    bool ipv6 = false;
    AddressOrigin origin = AddressOrigin::Other;
};

struct AdapterState {
    std::wstring name;
    std::vector<NetworkAddress> addresses;
    std::vector<std::wstring> gateways, dnsServers;
};

// The adapters that were up, or why they could not be read.
struct NetworkReading {
    bool read = false;
    std::wstring failure;
    std::vector<AdapterState> adapters;
};

enum class Connectivity { None, LocalNetwork, Internet };

struct ConnectivityReading {
    bool read = false;
    std::wstring failure;
    Connectivity value = Connectivity::None;
};

std::wstring FormatIpv4(const std::array<uint8_t, 4>& address);
// RFC 5952: lower case, leading zeros dropped, the longest run of two or
// more zero groups (the first of equals) as "::".
std::wstring FormatIpv6(const std::array<uint8_t, 16>& address);
// 169.254.0.0/16 and fe80::/10: what an adapter gives itself without a network.
bool IsSelfAssigned(const NetworkAddress& address);

// The line before "DONE!": whether the computer reaches the Internet, by
// which adapter and address, or what is missing.
std::wstring NetworkSummaryLine(const NetworkReading& after, const ConnectivityReading& connectivity);

// Before and after side by side, one adapter after the other, then the
// connectivity; Windows line ends, columns for a fixed-pitch font.
std::wstring NetworkReport(const NetworkReading& before, const NetworkReading& after,
                           const ConnectivityReading& connectivity);

}  // namespace app
