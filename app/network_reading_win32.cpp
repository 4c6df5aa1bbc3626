#include "app/network_reading.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netlistmgr.h>

#include <array>
#include <cstring>
#include <vector>

#include "common/system_library.h"
#include "common/system_message.h"

namespace app {
namespace {

// Spelt out: MinGW's import libraries may hand such identifiers out as code.
constexpr CLSID kNetworkListManager = {0xDCB00C01, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};
constexpr IID kINetworkListManager = {0xDCB00000, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};

using GetAdaptersAddressesFunction = ULONG(WINAPI*)(ULONG, ULONG, void*, IP_ADAPTER_ADDRESSES*, ULONG*);

std::wstring AddressText(const SOCKET_ADDRESS& address, bool& ipv6) {
    ipv6 = false;
    if (!address.lpSockaddr) return {};
    if (address.lpSockaddr->sa_family == AF_INET) {
        std::array<uint8_t, 4> bytes{};
        std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in*>(address.lpSockaddr)->sin_addr, 4);
        return FormatIpv4(bytes);
    }
    if (address.lpSockaddr->sa_family == AF_INET6) {
        ipv6 = true;
        std::array<uint8_t, 16> bytes{};
        std::memcpy(bytes.data(), &reinterpret_cast<const sockaddr_in6*>(address.lpSockaddr)->sin6_addr, 16);
        return FormatIpv6(bytes);
    }
    return {};
}

AddressOrigin OriginOf(const IP_ADAPTER_UNICAST_ADDRESS& address, const NetworkAddress& made) {
    if (IsSelfAssigned(made)) return AddressOrigin::SelfAssigned;
    switch (address.PrefixOrigin) {
        case IpPrefixOriginDhcp: return AddressOrigin::Dhcp;
        case IpPrefixOriginManual: return AddressOrigin::Manual;
        case IpPrefixOriginRouterAdvertisement: return AddressOrigin::RouterAdvertisement;
        default: break;
    }
    return address.SuffixOrigin == IpSuffixOriginDhcp ? AddressOrigin::Dhcp : AddressOrigin::Other;
}

AdapterState AdapterOf(const IP_ADAPTER_ADDRESSES& adapter) {
    AdapterState state;
    state.name = adapter.FriendlyName ? adapter.FriendlyName : L"";
    bool ipv6 = false;
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast; unicast = unicast->Next) {
        NetworkAddress address;
        address.text = AddressText(unicast->Address, ipv6);
        address.ipv6 = ipv6;
        if (address.text.empty()) continue;
        address.origin = OriginOf(*unicast, address);
        state.addresses.push_back(std::move(address));
    }
    for (const IP_ADAPTER_GATEWAY_ADDRESS_LH* gateway = adapter.FirstGatewayAddress; gateway; gateway = gateway->Next)
        if (std::wstring text = AddressText(gateway->Address, ipv6); !text.empty()) state.gateways.push_back(text);
    for (const IP_ADAPTER_DNS_SERVER_ADDRESS* dns = adapter.FirstDnsServerAddress; dns; dns = dns->Next)
        if (std::wstring text = AddressText(dns->Address, ipv6); !text.empty()) state.dnsServers.push_back(text);
    return state;
}

}  // namespace

NetworkReading ReadSystemNetwork() {
    NetworkReading reading;
    static const win32::Library iphlpapi = win32::LoadSystemLibrary(L"iphlpapi.dll");
    const auto getAdapters = win32::Export<GetAdaptersAddressesFunction>(iphlpapi.get(), "GetAdaptersAddresses");
    if (!getAdapters) {
        reading.failure = L"the system offers no adapter list";
        return reading;
    }
    constexpr ULONG kFlags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
    // The list can grow between the size asked and the call: ask again.
    ULONG size = 16 * 1024;
    std::vector<uint8_t> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.assign(size, 0);
        result = getAdapters(AF_UNSPEC, kFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()),
                             &size);
    }
    if (result == ERROR_NO_DATA) return reading.read = true, reading;
    if (result != ERROR_SUCCESS) {
        reading.failure = win32::SystemMessageOrCode(result);
        return reading;
    }
    reading.read = true;
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next)
        if (adapter->OperStatus == IfOperStatusUp && adapter->IfType != IF_TYPE_SOFTWARE_LOOPBACK)
            reading.adapters.push_back(AdapterOf(*adapter));
    return reading;
}

ConnectivityReading ReadSystemConnectivity() {
    ConnectivityReading reading;
    INetworkListManager* manager = nullptr;
    HRESULT result = CoCreateInstance(kNetworkListManager, nullptr, CLSCTX_ALL, kINetworkListManager,
                                      reinterpret_cast<void**>(&manager));
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    if (SUCCEEDED(result) && manager) {
        result = manager->GetConnectivity(&connectivity);
        manager->Release();
    }
    if (FAILED(result)) {
        reading.failure = win32::SystemMessageOrCode(static_cast<DWORD>(result));
        return reading;
    }
    reading.read = true;
    constexpr int kInternet = NLM_CONNECTIVITY_IPV4_INTERNET | NLM_CONNECTIVITY_IPV6_INTERNET;
    constexpr int kLocal = NLM_CONNECTIVITY_IPV4_LOCALNETWORK | NLM_CONNECTIVITY_IPV6_LOCALNETWORK |
                           NLM_CONNECTIVITY_IPV4_SUBNET | NLM_CONNECTIVITY_IPV6_SUBNET;
    reading.value = (connectivity & kInternet) ? Connectivity::Internet
                    : (connectivity & kLocal)  ? Connectivity::LocalNetwork
                                               : Connectivity::None;
    return reading;
}

}  // namespace app
