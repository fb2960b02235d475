// The controls screen: both sides' keys, the pad's buttons and the sound.
#include <algorithm>
#include <string>

#include "engine/frame_pacer.h"
#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "engine/zef_font.h"
#include "game/binding_rules.h"
#include "game/pad_keys.h"
#include "services/dik_codes.h"
#include "services/sound.h"
#include "services/zef_input.h"
#include "shell/main_window.h"
#include "shell/pad_feed.h"
#include "shell/settings.h"

namespace {

constexpr int32_t kActionRows = kSideActionCount;
constexpr int32_t kMusicRow = kActionRows;
constexpr int32_t kEffectsRow = kActionRows + 1;
constexpr int32_t kMuteRow = kActionRows + 2;
constexpr int32_t kRows = kActionRows + 3;
constexpr int32_t kPadColumn = 2;
constexpr int32_t kColumnX[3] = {250, 385, 525};
constexpr int32_t kTop = 120;
constexpr int32_t kRowHeight = 30;
constexpr int32_t kVolumeStep = 10;
constexpr int32_t kGaugeWidth = 200;

const char* const kActionLabels[kSideActionCount] = {"faster", "slower", "turn left", "turn right",
                                                     "fire"};

// Short enough for three columns: "kp8" for "numpad8", "up" for "dpad_up".
std::string shortened(std::string text) {
    for (const auto& [whole, part] : {std::pair<std::string, std::string>{"numpad", "kp"},
                                      {"dpad_", ""},
                                      {"right_shoulder", "rb"}}) {
        for (size_t at = text.find(whole); at != std::string::npos; at = text.find(whole, at)) {
            text.replace(at, whole.size(), part);
            at += part.size();
        }
    }
    return text.empty() ? "-" : text;
}

// The first key hit in this update, 0 if none.
uint8_t keyHitNow(const ZefInput& input) {
    for (int code = 1; code < 256; ++code) {
        if (input.keyHit(code)) return uint8_t(code);
    }
    return 0;
}

struct ControlsScreen {
    explicit ControlsScreen(TForm1& owner) : form(owner) {}

    TForm1& form;
    int32_t row = 0;
    int32_t column = 0;
    bool waiting = false;  // for the key or button of the entry
    std::string note;
    uint16_t padBefore = 0;

    void draw() {
        Surface* back = form.engine->back;
        SpriteFont* font = form.font;
        back->fill(nullptr, form.skyColour);
        font->draw(back, 320, 40, "controls", 6);
        font->draw(back, kColumnX[0], 85, "left", 6);
        font->draw(back, kColumnX[1], 85, "right", 6);
        font->draw(back, kColumnX[2], 85, "pad", 6);
        for (int32_t r = 0; r < kActionRows; ++r) {
            const int32_t y = kTop + r * kRowHeight;
            font->draw(back, 40, y, kActionLabels[r], 0);
            for (int32_t side = 0; side < 2; ++side) {
                font->draw(back, kColumnX[side], y,
                           shortened(keysText(form.settings.keys[side], SideAction(r))), 6);
            }
            font->draw(back, kColumnX[kPadColumn], y,
                       shortened(padText(form.settings.pad.action[r])), 6);
        }
        drawVolume(kMusicRow, "music", form.settings.musicVolume);
        drawVolume(kEffectsRow, "effects", form.settings.effectsVolume);
        font->draw(back, 40, rowY(kMuteRow), "mute (m)", 0);
        font->draw(back, kColumnX[0], rowY(kMuteRow), form.settings.muted ? "on" : "off", 6);

        const std::string hint =
            waiting ? (column == kPadColumn ? "press a pad button (escape: keep it)"
                                            : "press a key (escape: keep it)")
                    : "Return: change   Backspace: default   Escape: back";
        form.textFont->draw(back, 320, 400, hint, ZefFont::kOwnColour, 6);
        if (!note.empty()) font->draw(back, 320, 430, note, 6);

        const int32_t x = row < kActionRows ? kColumnX[column] - 70 : 20;
        form.arrowChain->getSurf(8)->blit(back, x, rowY(row) + 10, nullptr, nullptr, 1.0);
    }

    static int32_t rowY(int32_t r) { return kTop + r * kRowHeight + (r >= kActionRows ? 10 : 0); }

    void drawVolume(int32_t r, const char* label, int32_t percent) {
        form.font->draw(form.engine->back, 40, rowY(r), label, 0);
        form.drawGauge(kColumnX[0] - 70, rowY(r) + 6, percent * kGaugeWidth / 100, kGaugeWidth, 8);
    }

    void changeVolume(int32_t delta) {
        int32_t* volume =
            row == kMusicRow ? &form.settings.musicVolume : &form.settings.effectsVolume;
        *volume = std::clamp(*volume + delta, 0, 100);
        form.applySound();
    }

    // A key for the entry, or the reason it is refused.
    void bindKey(uint8_t key) {
        const int32_t side = column;
        if (const char* why = refusedKey(form.settings.keys, side, key)) {
            note = why;
            return;
        }
        bindAction(form.settings.keys[side], SideAction(row), key);
        waiting = false;
    }

    void bindButton(uint16_t button) {
        for (int32_t r = 0; r < kActionRows; ++r) {
            if (r != row && (form.settings.pad.action[r] & button) != 0) {
                note = "another control uses that button";
                return;
            }
        }
        form.settings.pad.action[row] = button;
        waiting = false;
    }

    void restoreDefault() {
        if (column == kPadColumn) {
            form.settings.pad.action[row] = defaultPadButtons().action[row];
            return;
        }
        uint8_t pair[2];
        actionKeys(defaultSideKeys(column), SideAction(row), pair);
        // A default the other side took meanwhile stays refused.
        if (const char* why = refusedKey(form.settings.keys, column, pair[0])) {
            note = why;
            return;
        }
        bindAction(form.settings.keys[column], SideAction(row), pair[0], pair[1]);
    }

    // One update's keys; false once the screen closes.
    bool step() {
        ZefInput& input = *form.engine->input;
        const uint16_t pad = form.padFeed != nullptr ? form.padFeed->held() : 0;
        const uint16_t padHit = uint16_t(pad & ~padBefore & kBindablePadButtons);
        padBefore = pad;
        if (waiting) {
            if (column == kPadColumn && padHit != 0) {
                // The lowest button pressed, alone.
                bindButton(uint16_t(padHit & -padHit));
            } else if (input.keyHit(DIK_ESCAPE)) {
                waiting = false;
            } else if (const uint8_t key = keyHitNow(input); key != 0 && column != kPadColumn) {
                bindKey(key);
            }
            return true;
        }
        if (input.keyHit(DIK_ESCAPE)) return false;
        const uint8_t key = keyHitNow(input);
        if (key != 0) note.clear();
        if (input.keyHit(DIK_UP)) row = (row + kRows - 1) % kRows;
        if (input.keyHit(DIK_DOWN)) row = (row + 1) % kRows;
        const int32_t across = input.keyHit(DIK_RIGHT) ? 1 : input.keyHit(DIK_LEFT) ? -1 : 0;
        if (row < kActionRows) {
            column = (column + 3 + across) % 3;
            if (input.keyHit(DIK_RETURN)) waiting = true;
            if (input.keyHit(DIK_BACK)) restoreDefault();
        } else if (row == kMuteRow) {
            if (across != 0 || input.keyHit(DIK_RETURN)) {
                form.settings.muted = !form.settings.muted;
                form.applySound();
            }
        } else if (across != 0) {
            changeVolume(across * kVolumeStep);
        } else if (input.keyHit(DIK_BACK)) {
            changeVolume(100);
        }
        return true;
    }
};

}  // namespace

void TForm1::showControlsScreen() {
    closeCurtain();
    engine->input->waitForNoKeys();
    ControlsScreen screen(*this);
    FramePacer pacer(engine->clock);
    pacer.start(engine->pacer.periodMs);
    while (!engine->closeRequested()) {
        engine->input->update();
        if (!screen.step()) break;
        screen.draw();
        engine->frame();
        pacer.wait();
    }
    engine->input->waitForNoKeys();
    applyBindings();
    saveSettings();
}
