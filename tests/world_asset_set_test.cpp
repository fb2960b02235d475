#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "game/mmenu.h"
#include "services/tile_layer.h"
#include "services/zef_file_manager.h"
#include "support/match_fixture.h"

namespace {

using world_test::WorldFixture;

class AssetSetTest : public WorldFixture {
  protected:
    bool loadsAssets() const override { return false; }
};

TEST_F(AssetSetTest, SkyColourIsTheSkyPicturesFirstPixel) {
    form().loadAssetSet();
    EXPECT_EQ(form().skyColour, pixelOf(0xF8A040));
    EXPECT_EQ(form().sky->hotspotX, 0);
    EXPECT_EQ(form().sea->hotspotY, 0);
    EXPECT_EQ(form().fireGradient->hotspotX, 0);
    // Pictures that nothing moves keep their centre hotspot.
    EXPECT_EQ(form().island->hotspotX, 150);
}

TEST_F(AssetSetTest, ChainSettings) {
    form().loadAssetSet();
    EXPECT_DOUBLE_EQ(form().palmChain->getSurf(0)->collisionScale, 0.9);
    EXPECT_DOUBLE_EQ(form().planeChain->getSurf(63)->collisionScale, 0.9);
    EXPECT_DOUBLE_EQ(form().bombChain->getSurf(5)->collisionScale, 0.9);
    EXPECT_DOUBLE_EQ(form().cannonChain->getSurf(32)->collisionScale, 0.75);
    EXPECT_DOUBLE_EQ(form().cannonballChain->getSurf(0)->collisionScale, 1.0);
    EXPECT_EQ(form().sparcChain->count, 128);

    // Splashes rise from their bottom centre and play once.
    SurfaceChain* splash = form().splashChain;
    ASSERT_EQ(splash->count, 4);
    EXPECT_EQ(splash->getSurf(0)->hotspotX, 8);
    EXPECT_EQ(splash->getSurf(0)->hotspotY, 16);
    EXPECT_EQ(splash->getSurf(0)->nextFrame, splash->getSurf(1));
    EXPECT_EQ(splash->getSurf(3)->nextFrame, nullptr);
    // Other chains are not linked: each picture stays on itself.
    EXPECT_EQ(form().palmChain->getSurf(2)->nextFrame, form().palmChain->getSurf(2));
}

TEST_F(AssetSetTest, EverySoundLoadedOncePerSide) {
    form().loadAssetSet();
    EXPECT_NE(form().engineLoop[0], form().engineLoop[1]);
    EXPECT_NE(form().gunSound[0], form().gunSound[1]);
    EXPECT_NE(form().music, nullptr);
    EXPECT_EQ(world_test::listSize(form().soundOwner->children), 17);
}

// An archive without one of the chains stops the loading with the name tried.
class AssetSetDamagedArchiveTest : public AssetSetTest {};

TEST_F(AssetSetDamagedArchiveTest, MissingFileIsFatalAndNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"gfx/plane_0.bmp", "Could not find any images \\(tried gfx/plane_0.bmp\\)"},
        {"sfx/planesplash.wav", "sfx/planesplash.wav"},
    };
    for (const auto& [missing, pattern] : cases) {
        auto files = world_test::worldFiles();
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const auto& f) { return f.first == missing; }),
                    files.end());
        kit::writeFile("Kestova.dat", kit::archive(files));
        // Read the damaged archive instead of the complete one.
        engine->fileManager->setArchive("Kestova.dat");
        EXPECT_EXIT(form().loadAssetSet(), ::testing::ExitedWithCode(255), pattern) << missing;
    }
}

}  // namespace
