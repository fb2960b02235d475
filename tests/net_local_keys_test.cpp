// This machine's side of network play: pads pressing keys that travel, pads
// given back outside the lockstep, and F10's goodbye.
#include "shell/net_local_keys.h"

#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/transport.h"
#include "services/dik_codes.h"
#include "services/lockstep.h"
#include "shell/net_play.h"

namespace {

// No keys; the right-hand pad holds its South button (Return in the menu).
class PadHeld : public platform::InputDevice {
  public:
    void readKeys(uint8_t state[256]) override {
        for (int i = 0; i < 256; ++i) state[i] = 0;
    }
    void readMouse(platform::MouseState&) override {}
    void setMousePos(int, int) override {}
    void readPads(platform::PadState pads[2]) override {
        pads[0] = {};
        pads[1].connected = true;
        pads[1].buttons = platform::PadState::kSouth;
    }
};

TEST(NetLocalKeysTest, PadsPressTheirKeysOnlyWhileTheKeysAreSent) {
    PadHeld pad;
    NetLocalKeys local(pad);
    bool sending = false;
    local.sending = [&] { return sending; };
    uint8_t keys[256];
    local.readKeys(keys);
    EXPECT_EQ(keys[DIK_RETURN], 0);
    sending = true;
    local.readKeys(keys);
    EXPECT_EQ(keys[DIK_RETURN], 0x80);

    // Outside the lockstep the game reads the pads itself.
    auto [a, b] = platform::memoryLinkPair(platform::steadyClock());
    Lockstep lockstep(Lockstep::Role::Host, local, *a, platform::steadyClock(), {});
    for (bool over : {false, true}) {
        if (over) lockstep.leave();
        platform::PadState pads[2];
        lockstep.readPads(pads);
        EXPECT_TRUE(pads[1].connected) << over;
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
    EXPECT_EQ(play.lockstep().phase(), Lockstep::Phase::Over);
    std::vector<uint8_t> message;
    EXPECT_EQ(b->poll(message, 0), platform::Transport::Event::Disconnected);
}

}  // namespace
