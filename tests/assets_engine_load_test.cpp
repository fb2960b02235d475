#include <gtest/gtest.h>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "platform/pixel_surface.h"
#include "support/generated_data.h"

using namespace generated_data;

namespace {

// The generated data read by the engine's own loaders, as the asset set reads it.
class GeneratedDataLoadTest : public GeneratedDataFixture {};

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
