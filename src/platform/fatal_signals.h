#pragma once

namespace platform {

// From now on SIGTERM and SIGINT end the process at once with `exitCode`.
// A fatal error box waits for its button: a desktop logging out must not
// wait on it.
void exitOnTerminationSignals(int exitCode);

}  // namespace platform
