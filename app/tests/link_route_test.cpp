#include "app/link_route.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app {
namespace {

TEST(LinkRoute, OnlyAnUnelevatedProcessStartsTheAddressItself) {
    struct Row {
        bool elevated, desktopShellOpens;
        std::vector<std::wstring> expected;
    };
    const Row rows[] = {
        {true, true, {L"desktop shell a"}},
        {true, false, {L"desktop shell a", L"show a"}},
        {false, true, {L"shell execute a"}},
    };
    for (const Row& row : rows) {
        std::vector<std::wstring> taken;
        LinkRoutes routes;
        routes.elevated = row.elevated;
        routes.desktopShell = [&](const std::wstring& address) {
            taken.push_back(L"desktop shell " + address);
            return row.desktopShellOpens;
        };
        routes.shellExecute = [&](const std::wstring& address) { taken.push_back(L"shell execute " + address); };
        routes.showAddress = [&](const std::wstring& address) { taken.push_back(L"show " + address); };
        OpenLink(L"a", routes);
        EXPECT_EQ(taken, row.expected) << row.elevated << row.desktopShellOpens;
    }
}

}  // namespace
}  // namespace app
