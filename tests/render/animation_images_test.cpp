// Frames get their images from the texture cache and give them back; sprites
// and spiders are drawn centred on their position; at exit every image the
// game holds goes back before the cache is cleared.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "game/animation.h"
#include "game/game.h"
#include "game/spider.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

uint32_t EntriesInCache()
{
    uint32_t entries = 0;
    for (uint32_t bucket = 0; bucket < kTextureBuckets; ++bucket)
        entries += TextureNameBucketCount(bucket);
    return entries;
}

class FrameImageTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(160, 120);
        TestImage wide(16, 9, kWhite), narrow(15, 9, kWhite);
        // A red left column shows which way an image faces.
        for (int32_t y = 0; y < 9; ++y) {
            wide.Set(0, y, kRed);
            narrow.Set(0, y, kRed);
        }
        widePath = WriteImage("wide.png", wide);
        narrowPath = WriteImage("narrow.png", narrow);
    }
    void TearDown() override
    {
        animation.Release();
        GlTest::TearDown();
    }
    std::string widePath, narrowPath;
    Animation animation = {};
};

TEST_F(FrameImageTest, EachFrameHoldsOneReference)
{
    animation.AddFrame(widePath.c_str(), 3);
    animation.AddFrame(widePath.c_str(), 0);
    animation.AddFrame(TempPath("missing.png").c_str(), 7);
    animation.AddFrame(narrowPath.c_str(), 1);
    ASSERT_EQ(animation.count, 4);
    Texture* wide = animation.first->texture;
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(animation.first->next->texture, wide);
    EXPECT_EQ(TextureReferenceCount(wide), 2);
    // A missing image leaves its frame in place with its duration.
    const Frame* missing = animation.first->next->next;
    EXPECT_EQ(missing->texture, nullptr);
    EXPECT_EQ(missing->duration, 7);
    EXPECT_EQ(animation.last->previous, missing);
    Animation other = {};
    other.AddFrame(widePath.c_str(), 0);
    EXPECT_EQ(TextureReferenceCount(wide), 3);
    other.Release();
    EXPECT_EQ(TextureReferenceCount(wide), 2);
    animation.Release();
    EXPECT_EQ(animation.first, nullptr);
    EXPECT_EQ(animation.last, nullptr);
    EXPECT_EQ(animation.count, 0);
    EXPECT_EQ(EntriesInCache(), 0u);
}

TEST_F(FrameImageTest, SpritesAreDrawnCentredOnTheirPosition)
{
    animation.AddFrame(widePath.c_str(), 0);
    AnimatedSprite sprite = {};
    sprite.animation = animation;
    sprite.Init(80, 32, true);
    sprite.Advance();
    sprite.Draw();
    Capture();
    // 16 x 9 at (80, 32): bottom-left corner (72, 28).
    EXPECT_EQ(At(71, 28), kBlack);
    EXPECT_EQ(At(72, 28), kRed);
    EXPECT_EQ(At(73, 28), kWhite);
    EXPECT_EQ(At(87, 36), kWhite);
    EXPECT_EQ(At(88, 36), kBlack);
    EXPECT_EQ(At(80, 27), kBlack);
    EXPECT_EQ(At(80, 37), kBlack);

    Animation narrow = {};
    narrow.AddFrame(narrowPath.c_str(), 0);
    AnimatedSprite odd = {};
    odd.animation = narrow;
    odd.Init(80, 62, true);
    odd.Advance();
    ClearScreen();
    odd.Draw();
    Capture();
    // 15 x 9 at (80, 62): the halves truncate, so the corner is (73, 58).
    EXPECT_EQ(At(72, 58), kBlack);
    EXPECT_EQ(At(73, 58), kRed);
    EXPECT_EQ(At(87, 66), kWhite);
    EXPECT_EQ(At(88, 66), kBlack);
    narrow.Release();
}

TEST_F(FrameImageTest, HiddenOrFramelessSpritesDrawNothing)
{
    animation.AddFrame(widePath.c_str(), 0);
    animation.AddFrame(TempPath("missing.png").c_str(), 0);
    AnimatedSprite sprite = {};
    sprite.animation = animation;
    sprite.Init(80, 60, false);
    sprite.Draw(); // no current frame yet
    sprite.Advance();
    sprite.Draw(); // hidden
    sprite.visible = true;
    sprite.frame = animation.last; // an image that failed to load
    sprite.Draw();
    Capture();
    EXPECT_EQ(Picture(70, 50, 20, 20).find_first_not_of(".\n"), std::string::npos);
}

TEST_F(FrameImageTest, FlippedSpiderIsTheMirrorImageInTheSamePlace)
{
    Spider spider = {};
    spider.stand.AddFrame(widePath.c_str(), 0);
    spider.frame = spider.stand.first;
    spider.x = 40;
    spider.y = 20;
    spider.flipped = false;
    spider.Draw();
    spider.x = 100;
    spider.flipped = true;
    spider.Draw();
    Capture();
    SaveCapture("spiders.png");
    EXPECT_EQ(At(32, 16), kRed);
    EXPECT_EQ(At(47, 16), kWhite);
    EXPECT_EQ(At(92, 16), kWhite);
    EXPECT_EQ(At(107, 16), kRed);
    EXPECT_EQ(At(108, 16), kBlack);
    spider.ReleaseAnimations();
    EXPECT_EQ(EntriesInCache(), 0u);
}

class GameImagesTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(160, 120);
        std::filesystem::create_directory(TempPath("Data"));
        for (const char* name :
             {"title", "spider stand", "spider leg raised 1", "spider leg raised 2", "spider leg raised 3",
              "spider walk 1", "spider walk 2", "spider walk 3", "spider walk 4", "spider walk 5", "spider walk 6",
              "spider walk 7", "spider walk 8", "spider dying 1", "spider dying 2", "spider dead", "big heart",
              "heart 1", "heart 2", "heart 3"})
            WriteImage(std::string("Data/") + name + ".png", TestImage(4, 4, kWhite));
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(tempFolder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previousFolder);
        GlTest::TearDown();
    }
    std::filesystem::path previousFolder;
};

TEST_F(GameImagesTest, EveryImageIsGivenBackBeforeTheCacheIsCleared)
{
    LoadGameImages();
    ASSERT_NE(game.title, nullptr);
    EXPECT_EQ(EntriesInCache(), 20u);
    // Stand is a frame of stand and of leg-lower, in both spiders.
    EXPECT_EQ(TextureReferenceCount(game.male.stand.first->texture), 4);
    EXPECT_EQ(TextureReferenceCount(game.hearts[0].sprite.animation.first->texture), (kHeartCount + 2) / 3);
    ReleaseGameAssets();
    EXPECT_EQ(game.title, nullptr);
    EXPECT_EQ(EntriesInCache(), 0u);
    ClearTextureCache();
    // Releasing twice is harmless: the animations are empty.
    ReleaseGameAssets();
}

} // namespace
