#include "game/game.h"
#include "render/renderer.h"
#include "text/text_draw.h"

namespace {

const char kTitleText[] =
    "Velmora\n\n\nTry to seduce the other spider\n\nControls:\nArrow keys to move\nHold space to wave a leg\n\n\n"
    "Venomous creatures can be dangerous. Take care.";
const char kChasedAwayText[] = "You chased her away!\n\nSuccessful mating requires excitement to outweigh fear";
const char kKilledText[] = "You were killed!\n\nSuccessful mating requires more excitement";

const TextColour kWhite = {1, 1, 1, 1};
const TextColour kBlack = {0, 0, 0, 1};
const int32_t kBarRight = 96; // both bars grow leftward from here
const int32_t kBarLength = 80; // pixels at a full meter

// Texts are made on the first draw, so drawing allocates nothing per frame.
struct SceneTexts {
    String title, fear, excitement, chasedAway, killed;
};

const SceneTexts& Texts()
{
    static const SceneTexts texts = {kTitleText, "Fear", "Excitement", kChasedAwayText, kKilledText};
    return texts;
}

void DrawWhiteText(const String& text, int32_t x, int32_t y, int32_t maximumWidth)
{
    DrawText(text, x, y, maximumWidth, kWhite, kBlack);
}

int32_t BarLeft(int32_t meter) { return kBarRight - meter * kBarLength / kMeterMax; }

void DrawMeters()
{
    const int32_t labelX = 98;
    const int32_t labelWidth = kScreenWidth - labelX;
    DrawWhiteText(Texts().fear, labelX, kScreenHeight - 16, labelWidth);
    FillRect(BarLeft(game.fear), kBarRight, kScreenHeight - 24, kScreenHeight - 16, 1, 0, 0, 1);
    DrawWhiteText(Texts().excitement, labelX, kScreenHeight - 32, labelWidth);
    FillRect(BarLeft(game.excitement), kBarRight, kScreenHeight - 40, kScreenHeight - 32, 0.125f, 1, 0.125f, 1);
}

void DrawOutcomeMessage()
{
    if (game.messageTicks <= 0)
        return;
    const String* message = nullptr;
    if (game.chasedAway)
        message = &Texts().chasedAway;
    else if (game.killed)
        message = &Texts().killed;
    if (message)
        DrawWhiteText(*message, 16, kScreenHeight - 32, kScreenWidth - 32);
}

} // namespace

void DrawGame()
{
    ClearScreen();
    if (!game.playing) {
        if (game.title)
            DrawSprite(game.title, 0, 0, false);
        DrawWhiteText(Texts().title, 4, kScreenHeight - 8, kScreenWidth - 8);
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
