#include "app/network_state.h"

#include <algorithm>
#include <cstdio>

namespace app {
namespace {

const wchar_t* OriginText(AddressOrigin origin) {
    switch (origin) {
        case AddressOrigin::Dhcp: return L"DHCP";
        case AddressOrigin::Manual: return L"set by hand";
        case AddressOrigin::RouterAdvertisement: return L"from the router";
        case AddressOrigin::SelfAssigned: return L"self-assigned";
        default: return L"other";
    }
}

// An address the network gave or the user set: not one the adapter took itself.
bool IsUsable(const NetworkAddress& address) {
    return !IsSelfAssigned(address) && address.origin != AddressOrigin::SelfAssigned;
}

// The address to name for an adapter: a usable IPv4 one first, then IPv6.
const NetworkAddress* BestAddress(const AdapterState& adapter) {
    const NetworkAddress* best = nullptr;
    for (const NetworkAddress& address : adapter.addresses) {
        if (!IsUsable(address)) continue;
        if (!address.ipv6) return &address;
        if (!best) best = &address;
    }
    return best;
}

// The adapter that carries the connection: one with a usable address and a
// gateway, else one with a usable address.
const AdapterState* ConnectedAdapter(const NetworkReading& reading) {
    const AdapterState* withAddress = nullptr;
    for (const AdapterState& adapter : reading.adapters) {
        if (!BestAddress(adapter)) continue;
        if (!adapter.gateways.empty()) return &adapter;
        if (!withAddress) withAddress = &adapter;
    }
    return withAddress;
}

const NetworkAddress* SelfAssignedIpv4(const AdapterState& adapter) {
    for (const NetworkAddress& address : adapter.addresses)
        if (!address.ipv6 && !IsUsable(address)) return &address;
    return nullptr;
}

std::wstring Join(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) text += (text.empty() ? L"" : L", ") + item;
    return text.empty() ? L"none" : text;
}

// An adapter's addresses with how each was obtained.
std::vector<std::wstring> AddressTexts(const AdapterState* adapter) {
    if (!adapter) return {L"(not up)"};
    std::vector<std::wstring> texts;
    for (const NetworkAddress& address : adapter->addresses)
        texts.push_back(address.text + L" (" + OriginText(address.origin) + L")");
    if (texts.empty()) texts.push_back(L"none");
    return texts;
}

const AdapterState* Named(const NetworkReading& reading, const std::wstring& name) {
    const auto found = std::ranges::find(reading.adapters, name, &AdapterState::name);
    return found == reading.adapters.end() ? nullptr : &*found;
}

std::wstring Padded(std::wstring text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), L' ');
    return text;
}

std::wstring ConnectivityText(const ConnectivityReading& connectivity) {
    if (!connectivity.read) return L"not read: " + connectivity.failure;
    switch (connectivity.value) {
        case Connectivity::Internet: return L"the Internet";
        case Connectivity::LocalNetwork: return L"the local network only";
        default: return L"no network";
    }
}

}  // namespace

std::wstring FormatIpv4(const std::array<uint8_t, 4>& address) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
    return text;
}

std::wstring FormatIpv6(const std::array<uint8_t, 16>& address) {
    uint16_t groups[8];
    for (int i = 0; i < 8; ++i) groups[i] = static_cast<uint16_t>(address[2 * i] << 8 | address[2 * i + 1]);
    int bestStart = -1, bestLength = 1;
    for (int i = 0; i < 8;) {
        int length = 0;
        while (i + length < 8 && groups[i + length] == 0) ++length;
        if (length > bestLength) bestStart = i, bestLength = length;
        i += length > 0 ? length : 1;
    }
    std::wstring text;
    for (int i = 0; i < 8; ++i) {
        if (i == bestStart) {
            text += L"::";
            i += bestLength - 1;
            continue;
        }
        if (!text.empty() && !text.ends_with(L':')) text += L':';
        wchar_t group[5];
        std::swprintf(group, 5, L"%x", groups[i]);
        text += group;
    }
    return text;
}

bool IsSelfAssigned(const NetworkAddress& address) {
    if (address.ipv6) {
        const std::wstring start = address.text.substr(0, 4);
        return start.size() == 4 && start.starts_with(L"fe") &&
               (start[2] == L'8' || start[2] == L'9' || start[2] == L'a' || start[2] == L'b');
    }
    return address.text.starts_with(L"169.254.");
}

std::wstring NetworkSummaryLine(const NetworkReading& after, const ConnectivityReading& connectivity) {
    if (!after.read) return L"The network could not be read after the repair: " + after.failure;
    if (after.adapters.empty()) return L"No network adapter is connected";
    if (const AdapterState* adapter = ConnectedAdapter(after)) {
        const std::wstring where = adapter->name + L" " + BestAddress(*adapter)->text;
        if (!connectivity.read)
            return L"Connected: " + where + L" (whether it reaches the Internet could not be read)";
        switch (connectivity.value) {
            case Connectivity::Internet: return L"Connected to the Internet: " + where;
            case Connectivity::LocalNetwork:
                return L"Connected to the local network only: " + where + L"; no Internet beyond it";
            default: return where + L" has an address but no connection";
        }
    }
    for (const AdapterState& adapter : after.adapters)
        if (const NetworkAddress* own = SelfAssignedIpv4(adapter))
            return adapter.name + L" has no address from the network (" + own->text + L"): check the cable or the router";
    return after.adapters.front().name + L" has no address from the network: check the cable or the router";
}

std::wstring NetworkReport(const NetworkReading& before, const NetworkReading& after,
                           const ConnectivityReading& connectivity) {
    constexpr size_t kLabel = 12, kColumn = 50;
    std::wstring report = Padded(L"Network", kLabel) + Padded(L"Before", kColumn) + L"After\r\n";
    const auto row = [&](const std::wstring& label, const std::wstring& left, const std::wstring& right) {
        std::wstring line = Padded(label, kLabel) + Padded(left, kColumn) + right;
        while (line.ends_with(L' ')) line.pop_back();
        report += line + L"\r\n";
    };
    if (!before.read || !after.read) {
        row(L"", before.read ? L"" : L"not read: " + before.failure, after.read ? L"" : L"not read: " + after.failure);
    }
    if (before.read && after.read && before.adapters.empty() && after.adapters.empty())
        row(L"", L"no adapter up", L"no adapter up");
    // Every adapter of either reading, in the order they first appear.
    std::vector<std::wstring> names;
    for (const NetworkReading* reading : {&before, &after})
        for (const AdapterState& adapter : reading->adapters)
            if (std::ranges::find(names, adapter.name) == names.end()) names.push_back(adapter.name);
    for (const std::wstring& name : names) {
        const AdapterState* was = Named(before, name);
        const AdapterState* is = Named(after, name);
        report += name + L"\r\n";
        const auto left = AddressTexts(was), right = AddressTexts(is);
        for (size_t i = 0; i < std::max(left.size(), right.size()); ++i)
            row(i == 0 ? L"  address" : L"", i < left.size() ? left[i] : L"", i < right.size() ? right[i] : L"");
        row(L"  gateway", was ? Join(was->gateways) : L"", is ? Join(is->gateways) : L"");
        row(L"  DNS", was ? Join(was->dnsServers) : L"", is ? Join(is->dnsServers) : L"");
    }
    row(L"Reaches", L"", ConnectivityText(connectivity));
    return report;
}

}  // namespace app
