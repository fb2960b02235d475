#include "platform/fatal_signals.h"

#include <csignal>
#include <cstdlib>

namespace platform {

namespace {

volatile std::sig_atomic_t exitCode_ = 0;

extern "C" void exitNow(int) {
    std::_Exit(exitCode_);
}

}  // namespace

void exitOnTerminationSignals(int exitCode) {
    exitCode_ = exitCode;
    std::signal(SIGTERM, exitNow);
    std::signal(SIGINT, exitNow);
}

}  // namespace platform
