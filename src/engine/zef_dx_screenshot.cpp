#include <iostream>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/screenshot.h"
#include "platform/system.h"
#include "services/sound.h"

void ZefDX::saveScreenshot() {
    // A flip leaves the picture on screen in the front; a windowed present
    // copies the back, which then still holds it.
    const Surface* shown = fullscreen ? front : back;
    if (shown == nullptr || shown->ddSurface == nullptr) return;
    std::string error;
    const std::string path = platform::saveScreenshot(
        *shown->ddSurface, platform::picturesDirectory(), window->clock().calendarSeconds(), error);
    if (path.empty()) {
        std::cerr << "Screenshot not saved: " << error << std::endl;
        return;
    }
    log("Screenshot saved to [" + path + "].");
    if (shutterSound != nullptr) {
        shutterSound->setFrequency(0);
        shutterSound->stop();
        shutterSound->rewind();
        shutterSound->play(false);
    }
}
