#include "shell/replay_player.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/mmenu.h"
#include "platform/executable_dir.h"
#include "services/dik_codes.h"
#include "services/sound.h"
#include "services/zef_file_manager.h"
#include "shell/data_location.h"
#include "shell/main_window.h"
#include "shell/match_recorder.h"
#include "shell/note_canvas.h"
#include "shell/playback_system.h"
#include "shell/replay_run.h"

namespace {

constexpr double kSpeeds[6] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};
const char* const kSpeedNames[6] = {"x1/4", "x1/2", "x1", "x2", "x4", "x8"};
constexpr int kNormalSpeed = 2;
constexpr int kJumpReads = 10000 / 38;  // 10 s of frames
constexpr uint32_t kNoteMs = 4000;

}  // namespace

const platform::PixelSurface* drawOver(TForm1& form, std::unique_ptr<Surface>& canvas,
                                       const platform::PixelSurface& picture,
                                       const std::string& text) {
    if (form.engine == nullptr || form.font == nullptr) return nullptr;
    canvasOver(form.engine, canvas, picture);
    int32_t y = picture.height() - 30;
    for (size_t end = text.size(); end != std::string::npos && end > 0;) {
        const size_t start = text.rfind('\n', end - 1);
        const size_t from = start == std::string::npos ? 0 : start + 1;
        form.font->draw(canvas.get(), picture.width() / 2, y, text.substr(from, end - from), 6);
        y -= 25;
        end = start;
    }
    return canvas->ddSurface.get();
}

namespace {

class Watcher {
  public:
    Watcher(TForm1& form, PlaybackSystem& playback, const replay::Recording& recording)
        : form_(form), playback_(playback), run_(form, recording), ownCompose_(playback.compose) {
        playback_.setReplaying(true);
        playback_.compose = [this](const platform::PixelSurface& picture, const std::string& text) {
            return drawOver(form_, canvas_, picture, text);
        };
        playback_.statusLine = [this] { return status(); };
        playback_.recordedFocus = [this] { return run_.focused(); };
        run_.onDark = [this](bool dark) {
            followSound();
            // The dark run's time is not to be waited for afterwards.
            if (!dark) playback_.setSpeed(kSpeeds[speed_]);
        };
        playback_.setSpeed(kSpeeds[speed_]);
        followSound();
    }

    ~Watcher() {
        playback_.compose = ownCompose_;
        playback_.statusLine = nullptr;
        playback_.recordedFocus = nullptr;
        playback_.setMuted(false);
        playback_.setReplaying(false);
    }

    void run() {
        uint8_t hits[256];
        playback_.takeHits(hits);
        while (!form_.engine->closeRequested()) {
            playback_.takeHits(hits);
            auto hit = [&hits](int code) { return hits[code] != 0; };
            if (hit(DIK_ESCAPE)) return;
            if (hit(DIK_SPACE) || hit(DIK_P)) paused_ = !paused_;
            if (hit(DIK_UP) || hit(DIK_DOWN)) {
                speed_ = std::clamp(speed_ + (hit(DIK_UP) ? 1 : -1), 0, 5);
                playback_.setSpeed(kSpeeds[speed_]);
            }
            int target = -1;
            if (hit(DIK_LEFT)) target = std::max(0, run_.read() - kJumpReads);
            if (hit(DIK_RIGHT)) target = std::min(run_.length(), run_.read() + kJumpReads);
            if (hit(DIK_HOME)) target = 0;
            followSound();
            if (target >= 0) {
                run_.seek(target);
                ended_ = false;
                // The frame reached is drawn, paused or not.
                ended_ = !run_.step();
            } else if (!paused_ && !ended_) {
                ended_ = !run_.step();
            } else {
                playback_.presentStill(*form_.engine->front->ddSurface);
                playback_.inner().clock().sleepMs(20);
            }
            if (ended_ && !run_.problem().empty() && !told_) {
                std::cerr << "kestova: " << run_.problem() << '\n';
                told_ = true;
            }
        }
    }

  private:
    std::string status() const {
        std::string line =
            tickTime(run_.read()) + " / " + tickTime(run_.length()) + "   " + kSpeedNames[speed_];
        if (paused_) line += "   paused";
        if (ended_) line += run_.problem().empty() ? "   end" : "   stopped";
        return run_.problem().empty() ? line : run_.problem() + "\n" + line;
    }

    // Sound at x1/2 to x2 while the replay moves; silent while seeking.
    void followSound() {
        const bool audible =
            speed_ >= 1 && speed_ <= 3 && !paused_ && !ended_ && !form_.engine->drawingOff;
        playback_.setMuted(!audible);
    }

    TForm1& form_;
    PlaybackSystem& playback_;
    ReplayRun run_;
    decltype(PlaybackSystem::compose) ownCompose_;
    std::unique_ptr<Surface> canvas_;
    int speed_ = kNormalSpeed;
    bool paused_ = false;
    bool ended_ = false;
    bool told_ = false;
};

}  // namespace

void watchReplay(TForm1& form, PlaybackSystem& playback, const replay::Recording& recording) {
    Watcher(form, playback, recording).run();
}

Replays::Replays(PlaybackSystem* playback, std::string directory)
    : playback_(playback), directory_(std::move(directory)) {}

Replays::~Replays() = default;

void Replays::attach(TForm1& form) {
    form_ = &form;
    chainHook(form.onFrameStart, [this, &form] { frameStart(form); });
    chainHook(form.onLoopEnd, [this] { finish(); });
    if (playback_ != nullptr) {
        playback_->compose = [this, &form](const platform::PixelSurface& picture,
                                           const std::string& text) {
            return drawOver(form, noteCanvas_, picture, text);
        };
    }
}

void Replays::frameStart(TForm1& form) {
    if (watching_) return;
    if (!recorder_) {
        recorder_ = std::make_unique<MatchRecorder>(form, form.engine->input->keyFeed);
        form.engine->input->keyFeed = recorder_.get();
        saver_ = std::make_unique<ReplaySaver>(directory_, form.engine->fileManager->archiveName);
        recorder_->onMatchEnd = [this, &form](replay::Recording&& recording) {
            saver_->save(std::move(recording), form.system->clock().calendarSeconds());
        };
    }
    const ZefDX& engine = *form.engine;
    if (playback_ != nullptr && engine.children.contains(form.menu) &&
        engine.input->keyHit(DIK_R)) {
        playLast(form);
    }
    recorder_->frameStart();
}

bool Replays::stamp(TForm1& form) {
    std::string error;
    if (!stamped_ && !stampOf(form.engine->fileManager->archiveName, stamp_, error)) {
        std::cerr << "kestova: " << error << '\n';
        return false;
    }
    stamped_ = true;
    return true;
}

void Replays::playLast(TForm1& form) {
    // The match that just ended may still be on its way to the disk.
    saver_->finish();
    const std::string path = latestReplay(directory_);
    replay::Recording recording;
    std::string error;
    if (path.empty()) {
        playback_->showNote("no match recorded yet", kNoteMs);
        return;
    }
    if (!stamp(form)) return;
    if (!loadReplay(path, stamp_, recording, error)) {
        std::cerr << "kestova: " << error << '\n';
        const size_t slash = error.rfind('/');
        playback_->showNote(slash == std::string::npos ? error : error.substr(slash + 1), kNoteMs);
        return;
    }
    replay::Recording menu;
    captureStart(form, menu);
    watching_ = true;
    watchReplay(form, *playback_, recording);
    watching_ = false;
    // Back to the menu as it was, the music playing.
    restoreStart(form, menu);
    form.music->stop();
    form.music->rewind();
    form.music->play(true);
}

std::string Replays::saveReport(const std::vector<replay::NetDigest>& digests) {
    if (form_ == nullptr || !recorder_ || !stamp(*form_)) return "";
    replay::Recording report = recorder_->snapshot();
    report.gameVersion = stamp_.version;
    report.dataHash = stamp_.dataHash;
    report.netDigests = digests;
    if (report.netDigests.size() > replay::Recording::kMaxNetDigests)
        report.netDigests.resize(replay::Recording::kMaxNetDigests);
    std::string error;
    // Written at once: the notice names the file.
    saver_->finish();
    const std::string path =
        saveReplay(report, directory_, form_->system->clock().calendarSeconds(), error);
    if (path.empty()) {
        std::cerr << "kestova: the report was not saved: " << error << '\n';
        return "";
    }
    return "report saved in " + path;
}

void Replays::finish() {
    if (recorder_) recorder_->finish();
    if (saver_) saver_->finish();
}

int runReplayProgram(const std::string& path, bool windowed) {
    const DataLookup data =
        findDataArchive("Kestova.dat", platform::executableDirectory(), KESTOVA_DATA_FROM_BIN);
    GameStamp stamp;
    replay::Recording recording;
    std::string error;
    if (data.path.empty()) {
        error = describeMissingArchive("Kestova.dat", data);
    } else if (stampOf(data.path, stamp, error)) {
        loadReplay(path, stamp, recording, error);
    }
    if (!error.empty()) {
        std::cerr << "kestova: " << error << '\n';
        return 1;
    }
    platform::DisplayOptions display;
    display.windowed = windowed;
    std::unique_ptr<platform::System> system = platform::createSdlSystem(display);
    PlaybackSystem playback(*system);
    TForm1 form(&playback);
    form.FormCreate();
    form.FormActivate();
    form.loadAssetSet();
    form.assetsLoaded = true;
    watchReplay(form, playback, recording);
    return 0;
}
