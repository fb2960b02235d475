#pragma once
#include <functional>

namespace platform {
class System;
}
class TForm1;

// Runs the whole program on the given platform: creates the main window,
// activates it, runs its first paint (loading, start-up screens, the main
// loop, closing screens) and frees everything. Returns the exit code.
// `prepare`, when given, sees the main window before its first event.
int runApplication(platform::System& system, const std::function<void(TForm1&)>& prepare = nullptr);

// The real game on SDL, after the command line: --help, --version and a bad
// argument answer on the terminal (a bad one with exit code 2) and run nothing.
int runApplication(int argc, char** argv);
