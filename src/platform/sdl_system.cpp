#include "platform/sdl_backend.h"

namespace platform {

namespace {

class SdlSystem : public System {
  public:
    explicit SdlSystem(const DisplayOptions& options) : window_(options), input_(window_) {}
    ~SdlSystem() override {
        audio_.close();
        window_.close();
        SDL_Quit();
    }
    Window& window() override { return window_; }
    InputDevice& input() override { return input_; }
    Clock& clock() override { return steadyClock(); }
    AudioDevice& audio() override { return audio_; }

  private:
    SdlWindow window_;
    SdlInput input_;
    SdlAudio audio_;
};

}  // namespace

std::unique_ptr<System> createSdlSystem(const DisplayOptions& options) {
    return std::make_unique<SdlSystem>(options);
}

}  // namespace platform
