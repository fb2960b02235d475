#include "platform/fatal_signals.h"

#include <pthread.h>
#include <sys/prctl.h>

#include <csignal>
#include <cstdlib>

namespace platform {

namespace {

volatile std::sig_atomic_t exitCode_ = 0;

extern "C" void exitNow(int) {
    std::_Exit(exitCode_);
}

// SDL shows the box from a child process on X11: it must not outlive us.
extern "C" void childEndsWithUs() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

}  // namespace

void exitOnTerminationSignals(int exitCode) {
    exitCode_ = exitCode;
    pthread_atfork(nullptr, nullptr, childEndsWithUs);
    std::signal(SIGTERM, exitNow);
    std::signal(SIGINT, exitNow);
}

}  // namespace platform
