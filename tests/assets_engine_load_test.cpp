#include <gtest/gtest.h>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "platform/pixel_surface.h"
#include "services/sound.h"
#include "support/generated_data.h"

using namespace generated_data;

namespace {

// The generated data read by the engine's own loaders, as the asset set reads it.
class GeneratedDataLoadTest : public GeneratedDataFixture {};

TEST_F(GeneratedDataLoadTest, ChainsLoadWithTheirCounts) {
    struct Case {
        const char* base;
        int count;
    };
    for (Case c : {Case{"gfx/sparc", 128}, Case{"gfx/plane", 64}, Case{"gfx/cannon", 33},
                   Case{"gfx/bomb", 32}, Case{"gfx/cannonball", 2}, Case{"gfx/arrow", 32},
                   Case{"gfx/icon", 2}}) {
        SurfaceChain chain(engine.get(), c.base);
        EXPECT_EQ(chain.count, c.count) << c.base;
    }
    SurfaceChain splash(engine.get(), "gfx/splash");
    splash.setHotspotAll(2);
    Surface* first = splash.getSurf(0);
    EXPECT_EQ(first->hotspotY, first->height);
}

TEST_F(GeneratedDataLoadTest, BitmapFontLoadsEveryGlyph) {
    SpriteFont font(engine.get(), "gfx/alphabet");
    for (int code = 33; code <= 126; ++code) {
        EXPECT_NE(font.glyphs[code - 33], nullptr) << "code " << code;
    }
    EXPECT_GE(font.averageHeight, 16);
    EXPECT_LE(font.averageHeight, 26);
    // Short words of the menu fit their columns: "computer" starts at x = 350.
    EXPECT_LT(font.textWidth("computer"), 640 - 350);
    EXPECT_LT(font.textWidth("            start!"), 350 - 160);
}

TEST_F(GeneratedDataLoadTest, SingleSurfacesTakeTheSkyColourFromTheirFirstPixel) {
    Surface sky(engine.get(), "gfx/sky.bmp");
    EXPECT_EQ(sky.width, 640);
    EXPECT_EQ(sky.height, 240);
    EXPECT_NE(sky.firstPixel(), 0);
    Surface island(engine.get(), "gfx/island.bmp");
    EXPECT_EQ(island.hotspotX, island.width / 2);
}

TEST_F(GeneratedDataLoadTest, EverySoundLoadsIntoAVoice) {
    engine->createSound();
    for (const char* name :
         {"sfx/rot5loo1.wav", "sfx/engnxplo.wav", "sfx/ovrevlp1.wav", "sfx/bmbwstl2.wav",
          "sfx/splash.wav", "sfx/planesplash.wav", "sfx/spanloo.wav", "sfx/cannonfire.wav",
          "sfx/warningbeep.wav", "sfx/sunshineDance.wav", "sfx/interaction.wav"}) {
        Sound sound(engine.get(), name);
        EXPECT_TRUE(sound.loaded()) << name;
        EXPECT_GT(sound.dataSize(), 1000u) << name;
    }
}

TEST_F(GeneratedDataLoadTest, IntroPlaysToItsEndAndLeavesTheTitleOnScreen) {
    engine->createSound();
    engine->back->fill(nullptr, 0);
    engine->playAnimation("gfx/interaction.zan", 0, 0);
    int lit = 0;
    for (int y = 200; y < 280; ++y)
        for (int x = 100; x < 540; ++x) lit += engine->back->ddSurface->getPixel(x, y) != 0;
    EXPECT_GT(lit, 2000);
    EXPECT_EQ(engine->back->ddSurface->getPixel(5, 5), 0);  // the rest stays black
}

}  // namespace
