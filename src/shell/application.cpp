#include "shell/application.h"

#include <iostream>
#include <string>
#include <vector>

#include "platform/content_hash.h"
#include "platform/executable_dir.h"
#include "platform/port_mapping.h"
#include "platform/system.h"
#include "shell/command_line.h"
#include "shell/data_location.h"
#include "shell/main_window.h"
#include "shell/net_play.h"
#include "shell/net_reach.h"
#include "shell/playback_system.h"
#include "shell/replay_player.h"
#include "shell/settings_file.h"
#include "shell/watch_host.h"
#include "shell/watch_play.h"

int runApplication(platform::System& system, const std::function<void(TForm1&)>& prepare) {
    TForm1 form(&system);
    if (prepare) prepare(form);
    form.FormCreate();
    // The message loop: the first activation sets up, the first paint runs
    // the game; later paints return at once.
    form.FormActivate();
    form.FormPaint();
    form.FormClose();
    form.FormDestroy();
    return 0;
}

namespace {

// Two machines play each other only with the same program and data. A
// missing archive hashes as 0: the window's own check reports it.
Lockstep::Options networkOptions() {
    Lockstep::Options options;
    options.identity.game = versionText();
    const DataLookup data =
        findDataArchive("Kestova.dat", platform::executableDirectory(), KESTOVA_DATA_FROM_BIN);
    std::string error;
    if (!data.path.empty()) platform::fileHash(data.path, options.identity.dataHash, error);
    return options;
}

}  // namespace

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
    const CommandLineOptions& options = commandLine.options;
    // A recording is checked before the window opens: a refusal is one line.
    if (!options.replayFile.empty()) return runReplayProgram(options.replayFile, options.windowed);
    using Network = CommandLineOptions::Network;
    uint16_t port = options.port != 0 ? options.port : kDefaultPort;
    Lockstep::Options play = networkOptions();
    play.inputDelay = options.inputDelay;
    if (options.network == Network::Watch) {
        return runWatchProgram(options.joinHost, port, options.windowed, play.identity);
    }
    // With no address, the game to join is looked for on the LAN first: a
    // search that finds none or several ends the program in a second or so.
    std::string joinHost = options.joinHost;
    if (options.network == Network::Join && joinHost.empty() &&
        !findLanHost(port, joinHost, port, std::cout, std::cerr)) {
        return 1;
    }
    SettingsFile settingsFile(settingsPath());
    const Settings settings = settingsFile.load();
    platform::DisplayOptions display;
    display.windowed = options.displayGiven ? options.windowed : !settings.fullscreen;
    display.windowWidth = settings.windowWidth;
    display.windowHeight = settings.windowHeight;
    std::unique_ptr<platform::System> system = platform::createSdlSystem(display);
    if (options.network == Network::Off) {
        PlaybackSystem playback(*system);
        Replays replays(&playback, replaysDirectory());
        return runApplication(playback, [&](TForm1& form) {
            form.settings = settings;
            form.settingsFile = &settingsFile;
            replays.attach(form);
        });
    }

    // A join is settled before the window opens: a failure is one line.
    std::string error;
    // Made once the port is ours, and removed after the goodbye to the partner.
    std::unique_ptr<platform::PortMapping> mapping;
    std::unique_ptr<NetPlay> net =
        options.network == Network::Host
            ? NetPlay::host(port, *system, system->clock(), error, play)
            : NetPlay::join(joinHost, port, *system, system->clock(), error, play);
    if (!net) {
        std::cerr << "kestova: " << error << '\n';
        return 1;
    }
    // The router is asked while the window opens; the mapping goes with the
    // program, however it ends.
    if (options.network == Network::Host) {
        std::cout << "kestova: waiting for the other player on UDP port " << port << std::endl;
        if (options.portMapping) {
            mapping = std::make_unique<platform::PortMapping>(
                port, [port](const platform::PortMappingState& state) {
                    std::cout << hostingAdvice(state, port).console << std::endl;
                });
            net->setWaitingDetail(
                [&mapping, port] { return hostingAdvice(mapping->state(), port).screen; });
        }
    }
    // Network matches are saved too. Both machines read the keys with the
    // same bindings and start from the host's menu: only the sound follows
    // this player's settings, and no settings are written.
    Replays replays(nullptr, replaysDirectory());
    net->lockstep().onOutOfStep = [&replays](const std::vector<replay::NetDigest>& digests) {
        return replays.saveReport(digests);
    };
    WatchHost watched(*net, options.network == Network::Host, play.identity);
    return runApplication(watched, [&net, &settings, &replays, &watched](TForm1& form) {
        form.settings.musicVolume = settings.musicVolume;
        form.settings.effectsVolume = settings.effectsVolume;
        form.settings.muted = settings.muted;
        net->attach(form);
        replays.attach(form);
        watched.attach(form);
    });
}
