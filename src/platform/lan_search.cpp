#include "platform/lan_search.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {

namespace {

// Exactly these bytes, nothing more: the game's port also carries ENet's
// datagrams, which never have this length and start.
constexpr uint8_t kQuestion[] = {'K', 'E', 'S', 'T', 'O', 'V', 'A', '?', 1};
constexpr uint8_t kAnswer[] = {'K', 'E', 'S', 'T', 'O', 'V', 'A', '!', 1};
// A lost broadcast is sent again within the wait.
constexpr int kSends = 3;

bool same(const uint8_t* data, size_t size, const uint8_t (&want)[sizeof kQuestion]) {
    return size == sizeof want && std::memcmp(data, want, sizeof want) == 0;
}

// Every IPv4 network's broadcast address, loopback aside. It is worked out
// from the address and mask: an address added by hand may have none set.
std::vector<sockaddr_in> broadcastAddresses(uint16_t port) {
    std::vector<sockaddr_in> found;
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) return found;
    for (const ifaddrs* i = all; i != nullptr; i = i->ifa_next) {
        const unsigned wanted = IFF_UP | IFF_BROADCAST;
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET ||
            i->ifa_netmask == nullptr || (i->ifa_flags & wanted) != wanted ||
            (i->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        sockaddr_in own{}, mask{};
        std::memcpy(&own, i->ifa_addr, sizeof own);
        std::memcpy(&mask, i->ifa_netmask, sizeof mask);
        if (mask.sin_addr.s_addr == INADDR_BROADCAST) continue;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = own.sin_addr.s_addr | ~mask.sin_addr.s_addr;
        to.sin_port = htons(port);
        const bool known = std::any_of(found.begin(), found.end(), [&to](const sockaddr_in& a) {
            return a.sin_addr.s_addr == to.sin_addr.s_addr;
        });
        if (!known) found.push_back(to);
    }
    freeifaddrs(all);
    return found;
}

}  // namespace

LanSearch searchLan(uint16_t port, uint32_t waitMs) {
    LanSearch search;
    const std::vector<sockaddr_in> targets = broadcastAddresses(port);
    if (targets.empty()) {
        search.error = "no local network to search (no IPv4 interface with broadcast)";
        return search;
    }
    const int sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (sock < 0 || setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        if (sock >= 0) close(sock);
        search.error = std::string("cannot search the local network: ") + std::strerror(errno);
        return search;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto until = start + std::chrono::milliseconds(waitMs);
    int sent = 0;
    for (;;) {
        const auto now = Clock::now();
        if (now >= until) break;
        if (sent < kSends && now >= start + std::chrono::milliseconds(waitMs * sent / kSends)) {
            for (const sockaddr_in& to : targets) {
                sendto(sock, kQuestion, sizeof kQuestion, 0, reinterpret_cast<const sockaddr*>(&to),
                       sizeof to);
            }
            ++sent;
        }
        const auto nextSend = start + std::chrono::milliseconds(waitMs * sent / kSends);
        const auto wake = sent < kSends ? std::min(nextSend, until) : until;
        pollfd readable{sock, POLLIN, 0};
        const auto leftMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count();
        if (poll(&readable, 1, int(std::max<long long>(leftMs, 0) + 1)) <= 0) continue;
        uint8_t reply[64];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got =
            recvfrom(sock, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (got < 0 || !same(reply, size_t(got), kAnswer)) continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        LanHost host{text, ntohs(from.sin_port)};
        const bool known = std::any_of(
            search.hosts.begin(), search.hosts.end(),
            [&host](const LanHost& h) { return h.address == host.address && h.port == host.port; });
        if (!known) search.hosts.push_back(host);
    }
    close(sock);
    return search;
}

bool answerLanSearch(int socket, uint32_t address, uint16_t port, const uint8_t* data,
                     size_t size) {
    if (data == nullptr || !same(data, size, kQuestion)) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(port);
    sendto(socket, kAnswer, sizeof kAnswer, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return true;
}

}  // namespace platform
