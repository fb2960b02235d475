#include "services/zef_input.h"

#include <cstring>

#include "engine/zef_dx.h"
#include "services/key_names.h"

ZefInput::ZefInput(ZefDX* owner, uint32_t deviceMask) : ZefBase(owner) {
    keyboardEnabled = (deviceMask & kKeyboard) != 0;
    mouseEnabled = (deviceMask & kMouse) != 0;
    device_ = &owner->window->input();

    std::memset(keys, 0, sizeof(keys));
    // Leaves the previous array all 0 and the previous mouse state a real
    // reading, so nothing counts as hit on the first frame but what is new.
    update();

    setMousePos(owner->width / 2, owner->height / 2, 0);
    minX = 0;
    minY = 0;
    maxX = owner->width;
    maxY = owner->height;
    mouseScale = 1.0;

    for (int code = 0; code < 256; ++code) keyNames[code] = keyName(code);
}

ZefInput::~ZefInput() = default;

void ZefInput::update() {
    if (keyboardEnabled) {
        std::memcpy(oldKeys, keys, sizeof(keys));
        device_->readKeys(keys);
        if (keyFeed != nullptr) keyFeed->press(keys, oldKeys, frameRead_);
        if (device_->screenshotRequested()) owner->saveScreenshot();
        if (device_->muteRequested() && onMute) onMute();
        if (keys[DIK_F10] & 0x80) {
            owner->fatalError("ZefInput::update()", "User requested emergency exit.", -1);
        }
    }
    if (mouseEnabled) {
        previousMouse = currentMouse;
        device_->readMouse(currentMouse);
        // Absolute axes: the difference is the movement since the last update.
        mouseX += (currentMouse.x - previousMouse.x) * mouseScale;
        mouseY += (currentMouse.y - previousMouse.y) * mouseScale;
        mouseZ += (currentMouse.z - previousMouse.z) * mouseScale;
        if (mouseX < minX) mouseX = minX;
        if (mouseX > maxX) mouseX = maxX;
        if (mouseY < minY) mouseY = minY;
        if (mouseY > maxY) mouseY = maxY;
    }
}

void ZefInput::updateFrame() {
    frameRead_ = true;
    update();
    frameRead_ = false;
}

bool ZefInput::anyKeyHit() const {
    for (int code = 0; code < 256; ++code) {
        if (keyHit(code)) return true;
    }
    return false;
}

void ZefInput::waitForKeyHit() {
    for (;;) {
        update();
        if (anyKeyHit() || owner->closeRequested()) return;
        // A short sleep keeps the poll from burning a whole core.
        owner->clock.sleepMs(1);
    }
}

void ZefInput::waitForNoKeys() {
    for (;;) {
        update();
        bool anyDown = false;
        for (int code = 0; code < 256; ++code) {
            if (keys[code] & 0x80) {
                anyDown = true;
                break;
            }
        }
        if (!anyDown || owner->closeRequested()) return;
        owner->clock.sleepMs(1);
    }
}

void ZefInput::setMousePos(int32_t x, int32_t y, int32_t z) {
    mouseX = x;
    mouseY = y;
    mouseZ = z;
}
