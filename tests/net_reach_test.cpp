#include "shell/net_reach.h"

#include <gtest/gtest.h>

namespace {

using Stage = platform::PortMappingState::Stage;

// The join line names the router's outside address and port; private and
// shared outside addresses (and no mapping) ask for a port forward instead.
TEST(NetReachTest, TheHostIsToldTheJoinLineOrThatAPortForwardIsNeeded) {
    const std::string forward = "port forward needed: UDP 4000";
    struct Row {
        Stage stage;
        const char* address;
        std::string screen;
    };
    const Row rows[] = {
        {Stage::Asking, "", ""},
        {Stage::Failed, "", forward},
        {Stage::Mapped, "", forward},
        {Stage::Mapped, "203.0.113.7", "kestova --join 203.0.113.7:5000"},
        {Stage::Mapped, "9.255.255.255", "kestova --join 9.255.255.255:5000"},
        {Stage::Mapped, "10.0.0.1", forward},
        {Stage::Mapped, "11.0.0.1", "kestova --join 11.0.0.1:5000"},
        {Stage::Mapped, "172.15.255.255", "kestova --join 172.15.255.255:5000"},
        {Stage::Mapped, "172.16.0.1", forward},
        {Stage::Mapped, "172.31.255.255", forward},
        {Stage::Mapped, "172.32.0.0", "kestova --join 172.32.0.0:5000"},
        {Stage::Mapped, "192.168.255.1", forward},
        {Stage::Mapped, "192.169.0.1", "kestova --join 192.169.0.1:5000"},
        {Stage::Mapped, "100.63.255.255", "kestova --join 100.63.255.255:5000"},
        {Stage::Mapped, "100.64.0.0", forward},
        {Stage::Mapped, "100.127.255.255", forward},
        {Stage::Mapped, "100.128.0.0", "kestova --join 100.128.0.0:5000"},
        {Stage::Mapped, "2001:db8::1", forward},
    };
    for (const Row& row : rows) {
        platform::PortMappingState state;
        state.stage = row.stage;
        state.outsideAddress = row.address;
        state.outsidePort = 5000;
        state.how = "NAT-PMP";
        const HostingAdvice advice = hostingAdvice(state, 4000);
        EXPECT_EQ(advice.screen, row.screen) << row.address;
        // The console says it in words, on one line.
        if (row.screen.empty()) {
            EXPECT_EQ(advice.console, "");
        } else if (row.screen == forward) {
            EXPECT_NE(advice.console.find("needs a port forward of UDP port 4000"),
                      std::string::npos);
        } else {
            EXPECT_NE(advice.console.find(row.screen), std::string::npos) << advice.console;
        }
        EXPECT_EQ(advice.console.find('\n'), std::string::npos) << advice.console;
    }
}

}  // namespace
