// The network's summary line and before/after report from stand-in readings.
#include "app/network_state.h"

#include <gtest/gtest.h>

namespace app {
namespace {

NetworkAddress V4(const wchar_t* text, AddressOrigin origin = AddressOrigin::Dhcp) { return {text, false, origin}; }
NetworkAddress V6(const wchar_t* text, AddressOrigin origin = AddressOrigin::RouterAdvertisement) {
    return {text, true, origin};
}

const ConnectivityReading kInternet{true, {}, Connectivity::Internet};
const ConnectivityReading kNothing{true, {}, Connectivity::None};

TEST(NetworkState, TheSummarySaysWhatAUserNeedsToKnow) {
    const AdapterState dhcp{L"Ethernet", {V6(L"fe80::1", AddressOrigin::Other), V4(L"192.168.1.20")},
                            {L"192.168.1.1"}, {L"192.168.1.1"}};
    const AdapterState selfAssigned{L"Ethernet", {V4(L"169.254.12.4", AddressOrigin::Other)}, {}, {}};
    const AdapterState ipv6Only{L"Wi-Fi", {V6(L"fe80::2"), V6(L"2001:db8::5")}, {L"fe80::1"}, {}};
    struct Row {
        NetworkReading after;
        ConnectivityReading connectivity;
        const wchar_t* summary;
    };
    const Row rows[] = {
        {{true, {}, {dhcp}}, kInternet, L"Connected to the Internet: Ethernet 192.168.1.20"},
        {{true, {}, {selfAssigned}}, kNothing,
         L"Ethernet has no address from the network (169.254.12.4): check the cable or the router"},
        {{true, {}, {}}, kNothing, L"No network adapter is connected"},
        {{true, {}, {selfAssigned, ipv6Only}}, kInternet, L"Connected to the Internet: Wi-Fi 2001:db8::5"},
        {{true, {}, {dhcp}}, {true, {}, Connectivity::LocalNetwork},
         L"Connected to the local network only: Ethernet 192.168.1.20; no Internet beyond it"},
        {{true, {}, {dhcp}}, {false, L"Class not registered", Connectivity::None},
         L"Connected: Ethernet 192.168.1.20 (whether it reaches the Internet could not be read)"},
        {{false, L"Access is denied.", {}}, kInternet,
         L"The network could not be read after the repair: Access is denied."},
    };
    for (const Row& row : rows) EXPECT_EQ(NetworkSummaryLine(row.after, row.connectivity), row.summary);
}

TEST(NetworkState, TheReportShowsBeforeAndAfterSideBySide) {
    const NetworkReading before{true, {}, {{L"Ethernet", {V4(L"169.254.12.4", AddressOrigin::SelfAssigned)}, {}, {}}}};
    const NetworkReading after{true, {},
                               {{L"Ethernet", {V4(L"192.168.1.20"), V6(L"2001:db8::5")}, {L"192.168.1.1"},
                                 {L"192.168.1.1", L"8.8.8.8"}},
                                {L"Wi-Fi", {V4(L"10.0.0.7", AddressOrigin::Manual)}, {}, {}}}};
    EXPECT_EQ(NetworkReport(before, after, kInternet),
              L"Network     Before                                            After\r\n"
              L"Ethernet\r\n"
              L"  address   169.254.12.4 (self-assigned)                      192.168.1.20 (DHCP)\r\n"
              L"                                                              2001:db8::5 (from the router)\r\n"
              L"  gateway   none                                              192.168.1.1\r\n"
              L"  DNS       none                                              192.168.1.1, 8.8.8.8\r\n"
              L"Wi-Fi\r\n"
              L"  address   (not up)                                          10.0.0.7 (set by hand)\r\n"
              L"  gateway                                                     none\r\n"
              L"  DNS                                                         none\r\n"
              L"Reaches                                                       the Internet\r\n");
    EXPECT_EQ(NetworkReport({false, L"Access is denied.", {}}, {true, {}, {}}, {false, L"Failed.", {}}),
              L"Network     Before                                            After\r\n"
              L"            not read: Access is denied.\r\n"
              L"Reaches                                                       not read: Failed.\r\n");
}

TEST(NetworkState, AddressesAreWrittenAsUsersSeeThem) {
    EXPECT_EQ(FormatIpv4({192, 168, 1, 20}), L"192.168.1.20");
    struct Row {
        std::array<uint8_t, 16> bytes;
        const wchar_t* text;
    };
    const Row rows[] = {
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}, L"2001:db8::5"},
        {{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0x02, 0x15, 0x5d, 0xff, 0xfe, 0x01, 0x02, 0x03}, L"fe80::215:5dff:fe01:203"},
        {{}, L"::"},
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}, L"2001:db8:0:1::1"},  // the longer run
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, L"2001:db8:0:1:1:1:1:1"},  // one zero group stays
    };
    for (const Row& row : rows) EXPECT_EQ(FormatIpv6(row.bytes), row.text);
    EXPECT_TRUE(IsSelfAssigned(V6(L"fe80::1")));
    EXPECT_FALSE(IsSelfAssigned(V6(L"fec0::1")));
    EXPECT_TRUE(IsSelfAssigned(V4(L"169.254.0.1")));
}

}  // namespace
}  // namespace app
