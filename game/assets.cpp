#include "game/asset_names.h"
#include "game/game.h"
#include "render/texture_cache.h"

namespace {

void AddSpiderFrames(Spider& spider)
{
    spider.stand.AddFrame(kGameImageFiles[kSpiderStandImage], 0);
    spider.legRaise.AddFrame(kGameImageFiles[kLegRaised1Image], 3);
    spider.legRaise.AddFrame(kGameImageFiles[kLegRaised2Image], 3);
    spider.legRaise.AddFrame(kGameImageFiles[kLegRaised3Image], 0);
    spider.legLower.AddFrame(kGameImageFiles[kLegRaised2Image], 3);
    spider.legLower.AddFrame(kGameImageFiles[kLegRaised1Image], 3);
    spider.legLower.AddFrame(kGameImageFiles[kSpiderStandImage], 0);
    for (int32_t i = 0; i < 8; ++i)
        spider.walk.AddFrame(kGameImageFiles[kWalk1Image + i], 1);
    spider.dying.AddFrame(kGameImageFiles[kDying1Image], 20);
    spider.dying.AddFrame(kGameImageFiles[kDying2Image], 20);
    spider.dying.AddFrame(kGameImageFiles[kDeadImage], 0);
}

} // namespace

void LoadGameImages()
{
    game.title = AcquireTexture(String(kGameImageFiles[kTitleImage]), 0, 0, 0, 0);
    AddSpiderFrames(game.male);
    AddSpiderFrames(game.female);
    game.bigHeart.animation.AddFrame(kGameImageFiles[kBigHeartImage], 0);
    for (int32_t i = 0; i < kHeartCount; ++i) {
        game.hearts[i].sprite.animation.AddFrame(kGameImageFiles[kHeart1Image + i % 3], 0);
        game.hearts[i].fallTicks = 0;
        game.hearts[i].fallPeriod = 0;
    }
}

void InitGame()
{
    LoadGameImages();
    LoadGameSounds();
    PlaceGameSprites();
}

void ReleaseGameAssets()
{
    game.male.ReleaseAnimations();
    game.female.ReleaseAnimations();
    game.bigHeart.animation.Release();
    game.bigHeart.frame = nullptr;
    for (FallingHeart& heart : game.hearts) {
        heart.sprite.animation.Release();
        heart.sprite.frame = nullptr;
    }
    if (game.title) {
        ReleaseTexture(game.title);
        game.title = nullptr;
    }
}
