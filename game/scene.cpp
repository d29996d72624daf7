#include "game/game.h"
#include "game/scene_texts.h"
#include "render/renderer.h"
#include "text/text_draw.h"

namespace {

const TextColour kWhite = {1, 1, 1, 1};
const TextColour kBlack = {0, 0, 0, 1};
const int32_t kBarRight = 96;  // both bars grow leftward from here
const int32_t kBarLength = 80; // pixels at a full meter

// Texts are made on the first draw, so drawing allocates nothing per frame.
struct SceneStrings {
    String title, fear, excitement, chasedAway, killed;
};

const SceneStrings& Strings()
{
    static const SceneStrings strings = {kTitleText.text, kFearLabel.text, kExcitementLabel.text,
                                         kChasedAwayMessage.text, kKilledMessage.text};
    return strings;
}

void DrawSceneText(const String& text, const SceneText& where)
{
    DrawText(text, where.x, where.top, where.maximumWidth, kWhite, kBlack);
}

int32_t BarLeft(int32_t meter) { return kBarRight - meter * kBarLength / kMeterMax; }

void DrawMeters()
{
    DrawSceneText(Strings().fear, kFearLabel);
    FillRect(BarLeft(game.fear), kBarRight, kScreenHeight - 24, kScreenHeight - 16, 1, 0, 0, 1);
    DrawSceneText(Strings().excitement, kExcitementLabel);
    FillRect(BarLeft(game.excitement), kBarRight, kScreenHeight - 40, kScreenHeight - 32, 0.125f, 1, 0.125f, 1);
}

void DrawOutcomeMessage()
{
    if (game.messageTicks <= 0)
        return;
    if (game.chasedAway)
        DrawSceneText(Strings().chasedAway, kChasedAwayMessage);
    else if (game.killed)
        DrawSceneText(Strings().killed, kKilledMessage);
}

void DrawScene()
{
    ClearScreen();
    if (!game.playing) {
        if (game.title)
            DrawSprite(game.title, 0, 0, false);
        DrawSceneText(Strings().title, kTitleText);
        return;
    }
    game.male.Draw();
    game.female.Draw();
    if (!game.mating)
        DrawMeters();
    game.bigHeart.Draw();
    for (const FallingHeart& heart : game.hearts)
        heart.sprite.Draw();
    if (game.overlay.alpha > 0)
        FillVisibleArea(game.overlay.red, game.overlay.green, game.overlay.blue, game.overlay.alpha);
    DrawOutcomeMessage();
}

} // namespace

void DrawGame()
{
    // The title is the same picture every frame; every other scene moves.
    const uint32_t kTitlePicture = 1;
    if (BeginFrame(game.playing ? 0 : kTitlePicture))
        DrawScene();
    EndFrame();
}
