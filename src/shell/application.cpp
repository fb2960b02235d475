#include "shell/application.h"

#include <iostream>
#include <string>
#include <vector>

#include "platform/system.h"
#include "shell/command_line.h"
#include "shell/main_window.h"

int runApplication(platform::System& system) {
    TForm1 form(&system);
    form.FormCreate();
    // The message loop: the first activation sets up, the first paint runs
    // the game; later paints return at once.
    form.FormActivate();
    form.FormPaint();
    form.FormClose();
    form.FormDestroy();
    return 0;
}

int runApplication(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const CommandLine commandLine = parseCommandLine(args);
    switch (commandLine.action) {
        case CommandLine::Action::Help:
            std::cout << helpText();
            return 0;
        case CommandLine::Action::Version:
            std::cout << versionText() << '\n';
            return 0;
        case CommandLine::Action::Fail:
            std::cerr << commandLine.error << '\n';
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    platform::DisplayOptions display;
    display.windowed = commandLine.options.windowed;
    std::unique_ptr<platform::System> system = platform::createSdlSystem(display);
    return runApplication(*system);
}
