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
    int sounds = 0;
    for (ZefBase* s = form().soundOwner->children.head; s != nullptr; s = s->next) ++sounds;
    EXPECT_EQ(sounds, 17);
}

// An archive without one of the chains stops the loading with the name tried.
class AssetSetDamagedArchiveTest : public AssetSetTest {};

TEST_F(AssetSetDamagedArchiveTest, MissingChainIsFatalAndNamed) {
    auto files = world_test::worldFiles();
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const auto& f) { return f.first == "gfx/plane_0.bmp"; }),
                files.end());
    ASSERT_TRUE(world_test::writeArchive("Kestova.dat", files));
    // Read the damaged archive instead of the complete one.
    engine->fileManager->setArchive("Kestova.dat");
    EXPECT_EXIT(form().loadAssetSet(), ::testing::ExitedWithCode(255),
                "Could not find any images \\(tried gfx/plane_0.bmp\\)");
}

TEST_F(AssetSetDamagedArchiveTest, MissingSoundIsFatalAndNamed) {
    auto files = world_test::worldFiles();
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const auto& f) { return f.first == "sfx/planesplash.wav"; }),
                files.end());
    ASSERT_TRUE(world_test::writeArchive("Kestova.dat", files));
    engine->fileManager->setArchive("Kestova.dat");
    EXPECT_EXIT(form().loadAssetSet(), ::testing::ExitedWithCode(255), "sfx/planesplash.wav");
}

}  // namespace
