#include "shell/net_reach.h"

#include <gtest/gtest.h>

namespace {

// The join line names the router's outside address and port; a private or
// shared outside address (10/8, 172.16/12, 192.168/16, 100.64/10), or none,
// asks for a port forward of the local port instead.
TEST(NetReachTest, TheHostIsToldTheJoinLineOrThatAPortForwardIsNeeded) {
    const std::pair<const char*, bool> rows[] = {
        {"203.0.113.7", true},      {"9.255.255.255", true},  {"10.0.0.1", false},
        {"11.0.0.1", true},         {"172.15.255.255", true}, {"172.16.0.1", false},
        {"172.31.255.255", false},  {"172.32.0.0", true},     {"192.168.255.1", false},
        {"192.169.0.1", true},      {"100.63.255.255", true}, {"100.64.0.0", false},
        {"100.127.255.255", false}, {"100.128.0.0", true},    {"", false},
        {"2001:db8::1", false}};
    platform::PortMappingState state{platform::PortMappingState::Stage::Mapped, "", 5000, "UPnP"};
    for (const auto& [address, reachable] : rows) {
        state.outsideAddress = address;
        const HostingAdvice advice = hostingAdvice(state, 4000);
        const std::string line = std::string("kestova --join ") + address + ":5000";
        EXPECT_EQ(advice.screen, reachable ? line : "port forward needed: UDP 4000") << address;
        EXPECT_NE(advice.console.find(reachable ? line : "port forward of UDP port 4000"),
                  std::string::npos);
    }
    state.stage = platform::PortMappingState::Stage::Failed;
    EXPECT_EQ(hostingAdvice(state, 4000).screen, "port forward needed: UDP 4000");
    state.stage = platform::PortMappingState::Stage::Asking;
    EXPECT_EQ(hostingAdvice(state, 4000).screen + hostingAdvice(state, 4000).console, "");
}

}  // namespace
