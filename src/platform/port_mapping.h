#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// What the router made of our request.
struct PortMappingState {
    enum class Stage { Asking, Mapped, Failed };
    Stage stage = Stage::Asking;
    std::string outsideAddress;  // Mapped: the router's address on the internet
    uint16_t outsidePort = 0;    // Mapped: the port there that reaches ours
    std::string how;             // Mapped: "UPnP" or "NAT-PMP"
};

// Asks the router for a mapping of UDP `port` to this machine, through UPnP
// IGD and then NAT-PMP, with a lease of an hour renewed while the object
// lives. The asking runs on a thread of its own (discovery alone takes about
// two seconds); `settled` is called on that thread once the answer is known.
// The mapping is removed when the object goes, and also on a fatal exit,
// which skips destructors.
class PortMapping {
  public:
    static constexpr uint32_t kLeaseSeconds = 3600;

    explicit PortMapping(uint16_t port, std::function<void(const PortMappingState&)> settled = {});
    ~PortMapping();
    PortMapping(const PortMapping&) = delete;
    PortMapping& operator=(const PortMapping&) = delete;

    PortMappingState state() const;
    // Stops renewing and removes the mapping (waiting for an ask in progress
    // to end first); later calls do nothing.
    void remove();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Whether an outside address cannot be reached from the internet: a private
// (10/8, 172.16/12, 192.168/16) or shared (100.64/10) IPv4 address, or none.
bool unreachableOutsideAddress(const std::string& address);

}  // namespace platform
