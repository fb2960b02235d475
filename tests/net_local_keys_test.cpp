// This machine's side of network play: pads pressing keys that travel, pads
// given back outside the lockstep, and F10's goodbye.
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "services/dik_codes.h"
#include "shell/net_play.h"

namespace {

// No keys; the right-hand pad holds South (Return in the menu).
struct PadHeld : platform::InputDevice {
    void readKeys(uint8_t state[256]) override { std::fill(state, state + 256, 0); }
    void readMouse(platform::MouseState&) override {}
    void setMousePos(int, int) override {}
    void readPads(platform::PadState pads[2]) override {
        pads[0] = {};
        pads[1] = {true, platform::PadState::kSouth, 0, 0};
    }
};

TEST(NetLocalKeysTest, PadsPressKeysOnlyWhileTheyAreSentAndAreReadAsUsualOutsideTheLockstep) {
    PadHeld pad;
    NetLocalKeys local(pad);
    bool sending = false;
    local.sending = [&] { return sending; };
    uint8_t keys[256];
    for (bool on : {false, true}) {
        sending = on;
        local.readKeys(keys);
        EXPECT_EQ(keys[DIK_RETURN], on ? 0x80 : 0);
    }
    auto [a, b] = platform::memoryLinkPair(platform::steadyClock());
    Lockstep lockstep(Lockstep::Role::Host, local, *a, platform::steadyClock(), {});
    for (bool over : {false, true}) {
        if (over) lockstep.leave();
        platform::PadState pads[2];
        lockstep.readPads(pads);
        EXPECT_EQ(pads[1].buttons, platform::PadState::kSouth) << over;
    }
}

TEST(NetLocalKeysTest, F10TellsThePartnerBeforeTheProgramEnds) {
    platform::HeadlessSystem headless;
    headless.onKeyRead = [](int, uint8_t held[256]) { held[DIK_F10] = 0x80; };
    auto [a, b] = platform::memoryLinkPair(headless.clock());
    NetPlay play(Lockstep::Role::Host, std::move(a), headless, headless.clock());
    uint8_t keys[256];
    play.input().readKeys(keys);
    EXPECT_EQ(keys[DIK_F10], 0x80);
    std::vector<uint8_t> message;
    EXPECT_EQ(b->poll(message, 0), platform::Transport::Event::Disconnected);
}

}  // namespace
