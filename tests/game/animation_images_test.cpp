// Frames take their images from the texture cache and give them back;
// sprites and spiders are drawn centred on their position, flipped ones
// mirrored in place.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/animation.h"
#include "game/game.h"
#include "game/spider.h"
#include "render/gl_api.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

class FrameImageTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(160, 120);
        for (int32_t width : {16, 15}) {
            TestImage image(width, 9, kWhite);
            for (int32_t y = 0; y < 9; ++y)
                image.Set(0, y, kRed); // shows which way the image faces
            paths.push_back(WriteImage(std::to_string(width) + ".png", image));
        }
    }
    std::vector<std::string> paths;
};

TEST_F(FrameImageTest, SpritesAreDrawnCentredAndFramesGiveTheirImagesBack)
{
    Animation wide = {}, narrow = {};
    wide.AddFrame(paths[0].c_str(), 0);
    wide.AddFrame(TempPath("missing.png").c_str(), 7); // kept, with no image
    narrow.AddFrame(paths[1].c_str(), 0);
    ASSERT_EQ(wide.count, 2);
    EXPECT_EQ(wide.last->duration, 7);
    EXPECT_EQ(wide.last->texture, nullptr);
    AnimatedSprite a = {}, b = {};
    a.animation = wide;
    b.animation = narrow;
    a.Init(80, 32, true);
    b.Init(80, 62, true);
    a.Advance();
    b.Advance();
    a.Draw();
    b.Draw();
    Capture();
    // 16 x 9 at (80, 32): bottom-left corner (72, 28); 15 x 9 at (80, 62):
    // the halves truncate, so (73, 58).
    EXPECT_EQ(Picture(71, 28, 18, 1), ".o###############.\n");
    EXPECT_EQ(At(80, 27), kBlack);
    EXPECT_EQ(At(80, 36), kWhite);
    EXPECT_EQ(At(80, 37), kBlack);
    EXPECT_EQ(Picture(72, 58, 17, 1), ".o##############.\n");
    uint32_t name = wide.first->texture->glName;
    wide.Release();
    narrow.Release();
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(wide.first, nullptr);
}

TEST_F(FrameImageTest, HiddenOrFramelessSpritesDrawNothingAndFlippedSpidersAreMirrored)
{
    AnimatedSprite sprite = {};
    sprite.animation.AddFrame(paths[0].c_str(), 0);
    sprite.Init(80, 60, false);
    sprite.Draw(); // no frame yet
    sprite.Advance();
    sprite.Draw(); // hidden
    Spider spider = {};
    spider.stand.AddFrame(paths[0].c_str(), 0);
    spider.frame = spider.stand.first;
    spider.x = 40;
    spider.y = 20;
    spider.Draw();
    spider.x = 100;
    spider.flipped = true;
    spider.Draw();
    Capture();
    EXPECT_EQ(Picture(70, 50, 20, 20).find_first_not_of(".\n"), std::string::npos);
    EXPECT_EQ(At(32, 16), kRed);
    EXPECT_EQ(At(92, 16), kWhite);
    EXPECT_EQ(At(107, 16), kRed);
    EXPECT_EQ(At(108, 16), kBlack);
    spider.ReleaseAnimations();
    sprite.animation.Release();
}

TEST_F(FrameImageTest, EveryGameImageIsGivenBackAtExit)
{
    std::filesystem::create_directory(TempPath("Data"));
    for (const char* name : {"title",
                             "spider stand",
                             "spider leg raised 1",
                             "spider leg raised 2",
                             "spider leg raised 3",
                             "spider walk 1",
                             "spider walk 2",
                             "spider walk 3",
                             "spider walk 4",
                             "spider walk 5",
                             "spider walk 6",
                             "spider walk 7",
                             "spider walk 8",
                             "spider dying 1",
                             "spider dying 2",
                             "spider dead",
                             "big heart",
                             "heart 1",
                             "heart 2",
                             "heart 3"})
        WriteImage(std::string("Data/") + name + ".png", TestImage(4, 4, kWhite));
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(tempFolder);
    LoadGameImages();
    std::filesystem::current_path(previous);
    ASSERT_NE(game.title, nullptr);
    std::vector<uint32_t> names = {game.title->glName, game.male.stand.first->texture->glName,
                                   game.hearts[0].sprite.animation.first->texture->glName,
                                   game.female.dying.last->texture->glName};
    ReleaseGameAssets();
    EXPECT_EQ(game.title, nullptr);
    for (uint32_t name : names)
        EXPECT_FALSE(glIsTexture(name)) << name;
    ReleaseGameAssets(); // twice is harmless
}

} // namespace
