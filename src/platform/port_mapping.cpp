#include "platform/port_mapping.h"

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
#include <natpmp.h>
#include <sys/select.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/fatal_signals.h"

namespace platform {

namespace {

// SSDP discovery waits this long for routers to answer.
constexpr int kDiscoveryMs = 2000;
// A NAT-PMP gateway answers within this, or is taken to be absent (the
// library's own retries would go on for a minute).
constexpr int kNatPmpMs = 1500;
constexpr const char* kDescription = "Kestova";
// Some routers keep only permanent mappings: one is then asked for, and
// removed all the same on the way out.
constexpr int kOnlyPermanentLeases = 725;

using Clock = std::chrono::steady_clock;

// Waits for the answer to the request just sent, within kNatPmpMs.
bool natPmpAnswer(natpmp_t& pmp, natpmpresp_t& response) {
    const auto until = Clock::now() + std::chrono::milliseconds(kNatPmpMs);
    for (;;) {
        const int read = readnatpmpresponseorretry(&pmp, &response);
        if (read == 0) return true;
        if (read != NATPMP_TRYAGAIN) return false;
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero()) return false;
        timeval timeout{};
        if (getnatpmprequesttimeout(&pmp, &timeout) < 0) return false;
        const auto leftUs = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        if (timeout.tv_sec * 1000000 + timeout.tv_usec > leftUs) {
            timeout.tv_sec = leftUs / 1000000;
            timeout.tv_usec = leftUs % 1000000;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(pmp.s, &readable);
        select(pmp.s + 1, &readable, nullptr, nullptr, &timeout);
    }
}

}  // namespace

bool unreachableOutsideAddress(const std::string& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1) return true;
    const uint32_t a = ntohl(parsed.s_addr);
    const auto within = [a](uint32_t net, int bits) {
        return (a >> (32 - bits)) == (net >> (32 - bits));
    };
    return within(0x0A000000, 8) || within(0xAC100000, 12) || within(0xC0A80000, 16) ||
           within(0x64400000, 10);
}

struct PortMapping::Impl {
    uint16_t port;
    std::function<void(const PortMappingState&)> settled;
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    PortMappingState state;
    std::thread worker;
    FatalExitStep onFatalExit;

    // The router's side of a UPnP mapping.
    UPNPUrls urls{};
    IGDdatas igd{};
    bool haveUrls = false;
    std::string lanAddress;
    std::string lease = std::to_string(kLeaseSeconds);
    // NAT-PMP's socket, open while its mapping stands.
    natpmp_t pmp{};
    bool havePmp = false;

    Impl(uint16_t port, std::function<void(const PortMappingState&)> settled, PortMapping& owner)
        : port(port), settled(std::move(settled)), onFatalExit([&owner] { owner.remove(); }) {}

    void run() {
        PortMappingState found;
        if (!askUpnp(found) && !askNatPmp(found)) found.stage = PortMappingState::Stage::Failed;
        {
            std::lock_guard<std::mutex> lock(mutex);
            state = found;
        }
        if (settled) settled(found);
        if (found.stage != PortMappingState::Stage::Mapped) return;
        // Renewed at half the lease: one lost renewal still leaves time.
        std::unique_lock<std::mutex> lock(mutex);
        while (!wake.wait_for(lock, std::chrono::seconds(kLeaseSeconds / 2),
                              [this] { return stopping; })) {
            lock.unlock();
            renew();
            lock.lock();
        }
    }

    bool askUpnp(PortMappingState& found) {
        int error = 0;
        UPNPDev* devices =
            upnpDiscover(kDiscoveryMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
        if (devices == nullptr) return false;
        char lan[64] = {};
        const int igdFound = UPNP_GetValidIGD(devices, &urls, &igd, lan, sizeof lan);
        freeUPNPDevlist(devices);
        if (igdFound != 0) haveUrls = true;
        if (igdFound != 1) return false;
        lanAddress = lan;
        char outside[40] = {};
        if (UPNP_GetExternalIPAddress(urls.controlURL, igd.first.servicetype, outside) != 0)
            return false;
        int added = addUpnp();
        if (added == kOnlyPermanentLeases) {
            lease = "0";
            added = addUpnp();
        }
        if (added != UPNPCOMMAND_SUCCESS) return false;
        found.stage = PortMappingState::Stage::Mapped;
        found.outsideAddress = outside;
        found.outsidePort = port;
        found.how = "UPnP";
        return true;
    }

    int addUpnp() {
        const std::string number = std::to_string(port);
        return UPNP_AddPortMapping(urls.controlURL, igd.first.servicetype, number.c_str(),
                                   number.c_str(), lanAddress.c_str(), kDescription, "UDP", nullptr,
                                   lease.c_str());
    }

    bool askNatPmp(PortMappingState& found) {
        if (initnatpmp(&pmp, 0, 0) != 0) return false;
        havePmp = true;
        natpmpresp_t response{};
        if (sendpublicaddressrequest(&pmp) < 0 || !natPmpAnswer(pmp, response)) return dropPmp();
        char outside[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &response.pnu.publicaddress.addr, outside, sizeof outside);
        if (!requestPmp(kLeaseSeconds, response)) return dropPmp();
        found.stage = PortMappingState::Stage::Mapped;
        found.outsideAddress = outside;
        found.outsidePort = response.pnu.newportmapping.mappedpublicport;
        found.how = "NAT-PMP";
        return true;
    }

    bool requestPmp(uint32_t lifetime, natpmpresp_t& response) {
        return sendnewportmappingrequest(&pmp, NATPMP_PROTOCOL_UDP, port, port, lifetime) >= 0 &&
               natPmpAnswer(pmp, response);
    }

    bool dropPmp() {
        closenatpmp(&pmp);
        havePmp = false;
        return false;
    }

    void renew() {
        if (state.how == "UPnP") {
            addUpnp();
        } else if (havePmp) {
            natpmpresp_t response{};
            requestPmp(kLeaseSeconds, response);
        }
    }

    // The worker has ended: everything here is this thread's.
    void unmap() {
        if (state.stage == PortMappingState::Stage::Mapped && state.how == "UPnP") {
            const std::string number = std::to_string(port);
            UPNP_DeletePortMapping(urls.controlURL, igd.first.servicetype, number.c_str(), "UDP",
                                   nullptr);
        }
        if (havePmp) {
            natpmpresp_t response{};
            if (state.stage == PortMappingState::Stage::Mapped) requestPmp(0, response);
            dropPmp();
        }
        if (haveUrls) FreeUPNPUrls(&urls);
        haveUrls = false;
    }
};

PortMapping::PortMapping(uint16_t port, std::function<void(const PortMappingState&)> settled)
    : impl_(std::make_unique<Impl>(port, std::move(settled), *this)) {
    impl_->worker = std::thread([this] { impl_->run(); });
}

PortMapping::~PortMapping() {
    remove();
}

PortMappingState PortMapping::state() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->state;
}

void PortMapping::remove() {
    if (!impl_->worker.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    impl_->worker.join();
    impl_->unmap();
}

}  // namespace platform
