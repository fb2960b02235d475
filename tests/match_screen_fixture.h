#pragma once
// The world fixture with the screens in play: the set-up menu in the
// engine's list as after loading, and a clean-up that frees whatever the
// menu, the match and the end screen left in or out of the list.
#include <cstring>

#include "engine/messenger.h"
#include "game/end_screen.h"
#include "services/zef_input.h"
#include "support/match_fixture.h"

namespace screen_test {

class ScreenFixture : public world_test::WorldFixture {
  protected:
    void SetUp() override {
        WorldFixture::SetUp();
        engine->children.append(form().menu);
    }

    void TearDown() override {
        TForm1& f = form();
        for (ZefBase* object : {static_cast<ZefBase*>(f.menu), static_cast<ZefBase*>(f.messenger),
                                static_cast<ZefBase*>(f.endScreen)}) {
            if (object != nullptr && engine->children.contains(object))
                engine->children.remove(object);
        }
        if (f.match != nullptr && f.match != match) {
            if (engine->children.contains(f.match)) engine->children.remove(f.match);
            delete f.match;
            f.match = nullptr;
        }
        delete f.endScreen;
        f.endScreen = nullptr;
        WorldFixture::TearDown();
    }

    // Taps a key: down in the next input update only.
    void tap(int code) { hold(code, 1); }
    void clearComputerKeys() { std::memset(engine->input->keys, 0, sizeof engine->input->keys); }
    bool listed(const ZefBase* object) { return engine->children.contains(object); }
    MMenu& menu() { return *form().menu; }
};

}  // namespace screen_test
