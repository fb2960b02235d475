#pragma once
// The window as network play shows it: the game's pictures, with a short
// note over them while waiting for the other machine or after network play
// ended. The game's own pictures are never drawn on.
#include <functional>
#include <memory>
#include <string>

#include "platform/system.h"

class NoteWindow : public platform::ForwardingWindow {
  public:
    // Notes last by `clock`.
    NoteWindow(platform::Window& inner, platform::Clock& clock)
        : ForwardingWindow(inner), clock_(clock) {}

    int32_t present(const platform::PixelSurface& back) override;
    // The focus is this machine's alone: pausing on its loss would put the
    // two machines out of step.
    bool hasFocus() const override { return true; }

    // Shows `text` over every picture for `forMs` milliseconds.
    void showNote(const std::string& text, uint32_t forMs);
    // While true, `text` is shown over the last picture, presented again at
    // once, with waitingDetail's line under it.
    void setWaiting(bool waiting, const std::string& text = "waiting for the other player");
    std::function<std::string()> waitingDetail;

    // Draws text (lines parted by '\n') over a copy of a picture and returns the copy; empty until
    // the game's font is loaded (no note is shown before).
    std::function<const platform::PixelSurface*(const platform::PixelSurface& picture,
                                                const std::string& text)>
        compose;

  private:
    std::string currentNote() const;
    int32_t show(const platform::PixelSurface& picture);

    platform::Clock& clock_;
    std::unique_ptr<platform::PixelSurface> last_;  // the game's latest picture
    std::string note_;
    uint64_t noteUntilMs_ = 0;
    bool waiting_ = false;
    std::string waitingText_;
};
