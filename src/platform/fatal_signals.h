#pragma once
#include <functional>

namespace platform {

// From now on SIGTERM and SIGINT end the process at once with `exitCode`.
// A fatal error box waits for its button: a desktop logging out must not
// wait on it.
void exitOnTerminationSignals(int exitCode);

// Work that must happen even when the program ends at once, skipping
// destructors (a fatal error, F10): it runs from beforeFatalExit while the
// step lives. Steps belong to the main thread.
class FatalExitStep {
  public:
    explicit FatalExitStep(std::function<void()> work);
    ~FatalExitStep();
    FatalExitStep(const FatalExitStep&) = delete;
    FatalExitStep& operator=(const FatalExitStep&) = delete;

  private:
    std::function<void()> work_;
    FatalExitStep* next_;
    friend void beforeFatalExit();
};

// Runs every living step, newest first, each once.
void beforeFatalExit();

}  // namespace platform
