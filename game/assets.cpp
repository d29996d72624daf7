#include "game/game.h"
#include "render/texture_cache.h"

namespace {

void AddSpiderFrames(Spider& spider)
{
    spider.stand.AddFrame("Data/spider stand.png", 0);
    spider.legRaise.AddFrame("Data/spider leg raised 1.png", 3);
    spider.legRaise.AddFrame("Data/spider leg raised 2.png", 3);
    spider.legRaise.AddFrame("Data/spider leg raised 3.png", 0);
    spider.legLower.AddFrame("Data/spider leg raised 2.png", 3);
    spider.legLower.AddFrame("Data/spider leg raised 1.png", 3);
    spider.legLower.AddFrame("Data/spider stand.png", 0);
    const char* walkFrames[] = {
        "Data/spider walk 1.png", "Data/spider walk 2.png", "Data/spider walk 3.png", "Data/spider walk 4.png",
        "Data/spider walk 5.png", "Data/spider walk 6.png", "Data/spider walk 7.png", "Data/spider walk 8.png",
    };
    for (const char* name : walkFrames)
        spider.walk.AddFrame(name, 1);
    spider.dying.AddFrame("Data/spider dying 1.png", 20);
    spider.dying.AddFrame("Data/spider dying 2.png", 20);
    spider.dying.AddFrame("Data/spider dead.png", 0);
}

const char* const kHeartImages[3] = {"Data/heart 1.png", "Data/heart 2.png", "Data/heart 3.png"};

} // namespace

void LoadGameImages()
{
    game.title = AcquireTexture(String("Data/title.png"), 0, 0, 0, 0);
    AddSpiderFrames(game.male);
    AddSpiderFrames(game.female);
    game.bigHeart.animation.AddFrame("Data/big heart.png", 0);
    for (int32_t i = 0; i < kHeartCount; ++i) {
        game.hearts[i].sprite.animation.AddFrame(kHeartImages[i % 3], 0);
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
