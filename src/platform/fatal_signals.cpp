#include "platform/fatal_signals.h"

#include <pthread.h>
#include <sys/prctl.h>

#include <csignal>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

volatile std::sig_atomic_t exitCode_ = 0;
FatalExitStep* steps_ = nullptr;

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

FatalExitStep::FatalExitStep(std::function<void()> work) : work_(std::move(work)), next_(steps_) {
    steps_ = this;
}

FatalExitStep::~FatalExitStep() {
    for (FatalExitStep** at = &steps_; *at != nullptr; at = &(*at)->next_) {
        if (*at == this) {
            *at = next_;
            return;
        }
    }
}

void beforeFatalExit() {
    while (steps_ != nullptr) {
        FatalExitStep* step = steps_;
        steps_ = step->next_;
        if (step->work_) step->work_();
    }
}

}  // namespace platform
