#include <gtest/gtest.h>

#include <memory>

#include "engine/messenger.h"
#include "engine/sprite_font.h"
#include "engine/zef_font.h"
#include "shell/main_window.h"
#include "support/picture_files.h"

using namespace picture_test;

namespace {

class SpriteFontTest : public EngineFixture {
  protected:
    void SetUp() override {
        EngineFixture::SetUp();
        useArchive({
            {"gfx/abc_65.bmp", solid(7, 10, kRed)},     // A
            {"gfx/abc_66.bmp", solid(7, 12, kGreen)},   // B
            {"gfx/abc_127.bmp", solid(7, 11, kBlue)},   // the last code
            {"gfx/abc_32.bmp", solid(50, 50, kWhite)},  // below the range: never loaded
        });
        clearBack();
        font = std::make_unique<SpriteFont>(engine.get(), "gfx/abc");
    }
    std::unique_ptr<SpriteFont> font;
};

TEST_F(SpriteFontTest, LoadsTheGlyphsItFindsAndAveragesThem) {
    EXPECT_NE(font->glyphs[65 - 33], nullptr);
    EXPECT_NE(font->glyphs[94], nullptr);
    EXPECT_EQ(font->glyphs[67 - 33], nullptr);
    EXPECT_EQ(font->glyphs[65 - 33]->hotspotX, 0);
    EXPECT_EQ(font->glyphs[65 - 33]->hotspotY, 0);
    EXPECT_EQ(font->averageWidth, 7);
    EXPECT_EQ(font->averageHeight, 11);
    EXPECT_EQ(font->spaceWidth, 5);  // trunc(7 * 0.75)
    EXPECT_EQ(font->spacing, 1);
}

TEST_F(SpriteFontTest, WidthsCountSpacingBetweenGlyphsOnly) {
    EXPECT_EQ(font->textWidth("AB"), 15);
    EXPECT_EQ(font->textWidth("A B"), 7 + 1 + 5 + 7);
    EXPECT_EQ(font->textWidth("A\xC8"
                              "B"),
              15);                            // above 127: skipped
    EXPECT_EQ(font->textWidth("AzB\n"), 15);  // no glyph, control code
    EXPECT_EQ(font->textWidth("A\x7F"), 15);
    EXPECT_EQ(font->textWidth(""), -1);
}

TEST_F(SpriteFontTest, DrawModesPlaceTheText) {
    font->draw(engine->back, 320, 40, "AB", 6);
    EXPECT_EQ(paintedBounds().left, 313);
    EXPECT_EQ(paintedBounds().right, 328);
    EXPECT_EQ(paintedBounds().top, 40);
    EXPECT_EQ(backPixel(319, 40), kRedPixel);
    EXPECT_EQ(backPixel(320, 40), 0);  // the spacing column
    EXPECT_EQ(backPixel(321, 40), kGreenPixel);

    clearBack();
    font->draw(engine->back, 100, 0, "AB", 2);
    EXPECT_EQ(paintedBounds().left, 85);
    EXPECT_EQ(paintedBounds().right, 100);

    clearBack();
    font->draw(engine->back, 10, 0,
               "A \xC8"
               "B",
               0);
    EXPECT_EQ(paintedBounds().left, 10);
    EXPECT_EQ(backPixel(10 + 7 + 1 + 5, 0), kGreenPixel);
    EXPECT_EQ(paintedCount(), 7 * 10 + 7 * 12);

    clearBack();
    font->draw(engine->back, 320, 0, "", 6);
    font->draw(engine->back, 320, 0, "   ", 6);
    EXPECT_EQ(paintedCount(), 0);
}

TEST_F(SpriteFontTest, FontWithoutAnyGlyphMeasuresWithoutDividing) {
    SpriteFont empty(engine.get(), "gfx/none");
    EXPECT_EQ(empty.averageWidth, 0);
    EXPECT_EQ(empty.averageHeight, 0);
    EXPECT_EQ(empty.textWidth("AB"), -1);
    EXPECT_EQ(empty.textWidth(" "), empty.spaceWidth - 1);
    empty.draw(engine->back, 320, 0, "A B", 6);
    EXPECT_EQ(paintedCount(), 0);
}

class MessengerTest : public SpriteFontTest {
  protected:
    void SetUp() override {
        SpriteFontTest::SetUp();
        form = std::make_unique<TForm1>(&system);
        form->font = font.get();
    }
    void TearDown() override {
        form->font = nullptr;
        form.reset();
        SpriteFontTest::TearDown();
    }
    std::unique_ptr<TForm1> form;
};

TEST_F(MessengerTest, ShowsTheTextForTheGivenFrames) {
    Messenger messenger(engine.get());
    EXPECT_EQ(messenger.framesLeft, 0);
    messenger.show("AB", 2);
    for (int frame = 0; frame < 2; ++frame) {
        clearBack();
        messenger.process();
        EXPECT_EQ(paintedBounds().left, 313) << frame;
        EXPECT_EQ(paintedBounds().top, 150) << frame;
    }
    clearBack();
    messenger.process();
    EXPECT_EQ(paintedCount(), 0);
    EXPECT_EQ(messenger.framesLeft, 0);

    messenger.show("A", 0);
    messenger.process();
    EXPECT_EQ(paintedCount(), 0);
    messenger.show("A", 5);
    messenger.show("B", 1);  // replaces the current message
    messenger.process();
    EXPECT_EQ(paintedBounds().left, 317);  // 320 - 7 / 2
    EXPECT_EQ(backPixel(317, 150), kGreenPixel);
    EXPECT_EQ(messenger.framesLeft, 0);
}

class ZefFontTest : public EngineFixture {};

TEST_F(ZefFontTest, DrawsArialAtHeightTwentyOnATransparentBackground) {
    ZefFont font(engine.get(), "Arial", 20, 0xFFFFFF);
    engine->back->fill(nullptr, kBluePixel);
    font.draw(engine->back, 100, 50, "Hello", ZefFont::kOwnColour, 0);
    int white = 0, other = 0;
    RECT bounds{640, 480, 0, 0};
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint16_t p = backPixel(x, y);
            if (p == kBluePixel) continue;
            white += p == 0xFFFF;
            ++other;
            bounds = RECT{std::min(bounds.left, x), std::min(bounds.top, y),
                          std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1)};
        }
    EXPECT_GT(white, 20);
    EXPECT_LT(other, 20 * 60);  // only the letters, no box behind them
    EXPECT_GE(bounds.left, 100);
    EXPECT_GE(bounds.top, 50);
    EXPECT_LE(bounds.bottom, 50 + 24);
    EXPECT_LE(bounds.right, 100 + 70);

    engine->back->fill(nullptr, 0);
    font.draw(engine->back, 320, 200, "Hello", kRed, 6);
    const RECT centred = paintedBounds();
    EXPECT_NEAR((centred.left + centred.right) / 2.0, 320.0, 3.0);
    EXPECT_GT(countIn(centred, kRedPixel), 20);
    EXPECT_EQ(countIn(centred, 0xFFFF), 0);
}

TEST_F(ZefFontTest, NoFontAtAllEndsTheProgram) {
    // A fresh process, so that fontconfig reads the empty configuration.
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeFile("empty.conf", "<?xml version=\"1.0\"?><fontconfig></fontconfig>\n");
    const std::string conf = (std::filesystem::current_path() / "empty.conf").string();
    EXPECT_EXIT(
        {
            setenv("FONTCONFIG_FILE", conf.c_str(), 1);
            ZefFont(engine.get(), "Arial", 20, 0xFFFFFF);
        },
        ::testing::ExitedWithCode(255),
        "ZefFont::ZefFont\\(\\): 'No font found for typeface Arial");
    GTEST_FLAG_SET(death_test_style, style);
}

TEST_F(ZefFontTest, NoPictureToDrawOnDrawsNothing) {
    ZefFont font(engine.get(), "Arial", 20, 0xFFFFFF);
    Surface bare(engine.get());
    font.draw(&bare, 0, 0, "Hello");
    font.draw(nullptr, 0, 0, "Hello");
    EXPECT_EQ(paintedCount(), 0);
}

}  // namespace
