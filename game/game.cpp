#include "game/game.h"

#include "app/diagnostics.h"
#include "game/asset_names.h"
#include "sound/sound.h"

namespace {

const int32_t kWalkLeftBound = 16;      // neither spider walks further left
const int32_t kStartX = kWalkLeftBound; // the male starts at the left bound
const int32_t kFemaleStartX = kScreenWidth - 16;
const int32_t kSpiderY = 32;
const int32_t kMaleMaxX = kScreenWidth - 16;
const int32_t kFemaleMaxX = 2147483647; // she may walk off the right edge
const int32_t kCloseDistance = 32;      // nearer than this decides the outcome
const int32_t kBiteDistance = 8;
const int32_t kChaseFear = 4000;
const int32_t kMatingExcitement = 8000;
const int32_t kWalkOffTicks = 60;
const int32_t kResponseWindowTicks = 120;
const int32_t kBoostTicks = 30;
const float kFadeStep = 0.02f;
const float kFlashStep = 0.05f;
const float kFullVolume = 1.0f;

constexpr GameState StartState()
{
    GameState state{};
    state.fear = kMeterMin;
    state.excitement = kMeterMin;
    state.randomState = 1;
    return state;
}

int32_t AtMost(int32_t value, int32_t limit) { return value > limit ? limit : value; }
int32_t AtLeast(int32_t value, int32_t limit) { return value < limit ? limit : value; }

bool OutcomeSet() { return game.chasedAway || game.killed || game.mating; }

void PlaySound(uint32_t id) { PlaySoundEffect(id, kFullVolume, false); }

void PlaceHeartAboveScreen(FallingHeart& heart)
{
    heart.sprite.x = NextRandom() % kScreenWidth;
    heart.sprite.y = kScreenHeight + 16 + NextRandom() % kScreenHeight;
    heart.fallPeriod = 3 + NextRandom() % 3;
}

void StartNewGame()
{
    game.playing = true;
    game.spaceLatched = true; // the press that starts a game does not also wave
    PlaceGameSprites();
    game.waveTicks = 0;
    game.answerDelay = 0;
    game.responseWindow = 0;
    game.boostTicks = 0;
    game.outcomeTicks = 0;
    game.messageTicks = 0;
    game.responseCredited = false;
    game.lastWaveAnswered = false;
    game.previousWaveAnswered = false;
    game.chasedAway = false;
    game.killed = false;
    game.mating = false;
    game.fear = kMeterMin;
    game.excitement = kMeterMin;
    game.overlay = OverlayColour{0, 0, 0, 0};
    PlaySound(game.beepSound);
}

int32_t MaleDirection()
{
    bool left = IsKeyDown(kKeyLeft);
    bool right = IsKeyDown(kKeyRight);
    if (left && !right)
        return -1;
    if (right && !left)
        return +1;
    return 0;
}

// Once an outcome is set she walks: away to the right when chased, towards
// him when she kills or mates, stopping when she reaches his x.
int32_t FemaleDirection(int32_t maleX)
{
    if (game.killed || game.mating)
        return game.female.x - maleX > 0 ? -1 : 0;
    if (game.chasedAway)
        return +1;
    return 0;
}

// Fear rises with every step towards her and otherwise decays, but never
// below a floor that grows as he stands closer.
void UpdateFear(int32_t dx)
{
    if (dx > 0) {
        game.fear = AtMost(game.fear + 100, kMeterMax);
        return;
    }
    game.fear -= 10;
    int32_t floor = AtLeast((3 * game.male.x - 48) * 2000 / (kScreenWidth - 32), kMeterMin);
    if (game.fear < floor)
        game.fear = floor;
}

// Excitement grows only while he keeps his leg up after answering one of her
// own waves, and decays by 2 every tick.
void UpdateExcitement(int32_t dx)
{
    if (dx < 0)
        game.excitement = AtLeast(game.excitement - 50, kMeterMin);
    if (game.male.legRaised) {
        if (game.responseWindow > 0) {
            game.responseCredited = true;
            game.responseWindow = 0;
            game.boostTicks = kBoostTicks;
        }
        if (game.boostTicks > 0) {
            game.excitement = AtMost(game.excitement + 50, kMeterMax);
            game.boostTicks -= 1;
        }
    } else {
        game.responseCredited = false;
        game.boostTicks = 0;
    }
    game.excitement = AtLeast(game.excitement - 2, kMeterMin);
    if (game.responseWindow > 0)
        game.responseWindow -= 1;
}

void StartFemaleWave(bool answer)
{
    game.female.legRaised = true;
    game.previousWaveAnswered = game.lastWaveAnswered;
    game.lastWaveAnswered = answer;
}

// She answers his wave 20 to 29 ticks after it; after an answer she may wave
// by herself, opening a window in which his raised leg earns Excitement.
void UpdateFemaleWaves(bool wasRaised)
{
    if (game.waveTicks > 0) {
        game.waveTicks -= 1;
        if (game.waveTicks == 0)
            game.female.legRaised = false;
        return;
    }
    if (game.answerDelay > 0) {
        game.answerDelay -= 1;
        if (game.answerDelay == 0) {
            game.responseWindow = 0;
            game.waveTicks = 30 + NextRandom() % 30;
            StartFemaleWave(true);
        }
        return;
    }
    bool maleJustRaised = game.male.legRaised && !wasRaised;
    if (game.responseWindow <= 0 && !game.responseCredited && maleJustRaised && !game.female.legRaised) {
        game.answerDelay = 20 + NextRandom() % 10;
        return;
    }
    if ((game.lastWaveAnswered || game.previousWaveAnswered) && game.responseWindow <= 0 && !game.male.legRaised) {
        if (NextRandom() % 30 == 0) {
            game.responseWindow = kResponseWindowTicks;
            game.waveTicks = 30 + NextRandom() % 30;
            StartFemaleWave(false);
        }
    }
}

// One tick decides one outcome: once she is chased away in this tick the
// distance test is skipped, so a love sound is never started by a chase.
void DecideOutcome()
{
    if (game.fear >= kChaseFear && game.fear > game.excitement) {
        game.chasedAway = true;
        PlaySound(game.runAwaySound);
        return;
    }
    if (game.female.x - game.male.x < kCloseDistance) {
        if (game.excitement >= kMatingExcitement) {
            game.mating = true;
            game.loveVoice = PlaySoundEffect(game.loveSound, kFullVolume, true);
        } else {
            game.killed = true; // its sound comes with the bite
        }
    }
}

// Raises the overlay alpha by one fade step towards opaque, in the colour
// given; true while the fade is still running.
bool FadeIn(float red, float green, float blue)
{
    if (game.overlay.alpha >= 1.0f)
        return false;
    game.overlay.red = red;
    game.overlay.green = green;
    game.overlay.blue = blue;
    game.overlay.alpha += kFadeStep;
    if (game.overlay.alpha > 1.0f)
        game.overlay.alpha = 1.0f;
    return true;
}

// After the fade, the message shows for 240 ticks and then the title returns.
void ShowMessageThenTitle()
{
    if (game.messageTicks < kMessageTicks)
        game.messageTicks += 1;
    else
        game.playing = false;
}

void PlayChasedAway()
{
    if (game.outcomeTicks < kWalkOffTicks) {
        game.outcomeTicks += 1;
        return;
    }
    if (FadeIn(0, 0, 0))
        return;
    ShowMessageThenTitle();
}

// She closes in; within 8 pixels she bites with a white flash, then the
// screen fades to red.
void PlayBite()
{
    if (game.female.x - game.male.x > kBiteDistance)
        return;
    if (game.overlay.alpha > 0) {
        game.overlay.alpha -= kFlashStep;
        if (!(game.overlay.alpha > 0)) {
            game.overlay.alpha = 0;
            game.outcomeTicks = 20;
        }
        return;
    }
    game.male.dead = true;
    PlaySound(game.deathSound);
    game.overlay = OverlayColour{1, 1, 1, 1};
}

void PlayKilled()
{
    if (game.outcomeTicks == 0) {
        PlayBite();
        return;
    }
    if (FadeIn(1, 0, 0))
        return;
    ShowMessageThenTitle();
}

void StartHeartRain()
{
    game.bigHeart.visible = true;
    for (FallingHeart& heart : game.hearts) {
        heart.sprite.x = NextRandom() % kScreenWidth;
        heart.fallTicks = 0;
        heart.sprite.y = kScreenHeight + 16 + NextRandom() % kScreenHeight;
        heart.sprite.visible = true;
        heart.fallPeriod = 3 + NextRandom() % 3;
    }
    // No message is shown for mating; the count only enables dismissal.
    game.messageTicks = kMessageTicks;
}

void FallHearts()
{
    for (FallingHeart& heart : game.hearts) {
        heart.fallTicks += 1;
        if (heart.fallTicks < heart.fallPeriod)
            continue;
        heart.fallTicks = 0;
        heart.sprite.y -= 1;
        if (heart.sprite.y < -16)
            PlaceHeartAboveScreen(heart);
    }
}

void PlayMating()
{
    game.bigHeart.x = (game.female.x + game.male.x) / 2;
    game.bigHeart.y = (game.female.y + game.male.y) / 2;
    if (game.messageTicks <= 0)
        StartHeartRain();
    else
        FallHearts();
}

void PlayOutcome()
{
    if (game.chasedAway)
        PlayChasedAway();
    else if (game.killed)
        PlayKilled();
    else if (game.mating)
        PlayMating();
    else
        DecideOutcome();
}

// A fresh press of space dismisses a shown message and returns to the title;
// space held before the message shows only latches.
void HandleDismissal()
{
    if (!OutcomeSet())
        return;
    if (game.messageTicks > 0 && SpaceHeld()) {
        game.playing = false;
        game.spaceLatched = true;
        if (game.loveVoice) {
            StopSound(game.loveVoice);
            game.loveVoice = nullptr;
        }
    } else if (game.messageTicks <= 0 && IsKeyDown(kKeySpace)) {
        game.spaceLatched = true;
    }
}

} // namespace

GameState game = StartState();

void ResetGameState()
{
    GameState start = StartState();
    start.male = game.male;
    start.female = game.female;
    start.bigHeart = game.bigHeart;
    for (int32_t i = 0; i < kHeartCount; ++i)
        start.hearts[i].sprite = game.hearts[i].sprite;
    start.title = game.title;
    start.beepSound = game.beepSound;
    start.runAwaySound = game.runAwaySound;
    start.deathSound = game.deathSound;
    start.loveSound = game.loveSound;
    game = start;
    PlaceGameSprites();
}

int32_t NextRandom()
{
    game.randomState = game.randomState * 214013u + 2531011u;
    return static_cast<int32_t>((game.randomState >> 16) & 0x7FFF);
}

bool SpaceHeld() { return IsKeyDown(kKeySpace) && !game.spaceLatched; }

void UpdateGame()
{
    if (!IsKeyDown(kKeySpace))
        game.spaceLatched = false;
    if (!game.playing) {
        if (SpaceHeld())
            StartNewGame();
        return;
    }
    bool wasRaised = game.male.legRaised;
    int32_t d = 0;
    if (!OutcomeSet()) {
        d = MaleDirection();
        game.male.legRaised = SpaceHeld();
    }
    int32_t oldX = game.male.x;
    int32_t f = FemaleDirection(oldX);
    game.male.Update(d, kWalkLeftBound, kMaleMaxX);
    game.female.Update(f, kWalkLeftBound, kFemaleMaxX);
    game.bigHeart.Advance();
    for (FallingHeart& heart : game.hearts)
        heart.sprite.Advance();
    int32_t dx = game.male.x - oldX;
    UpdateFear(dx);
    UpdateExcitement(dx);
    UpdateFemaleWaves(wasRaised);
    PlayOutcome();
    HandleDismissal();
}

void PlaceGameSprites()
{
    game.male.Init(kStartX, kSpiderY, false);
    game.female.Init(kFemaleStartX, kSpiderY, true);
    game.bigHeart.Init(0, 0, false);
    for (FallingHeart& heart : game.hearts)
        heart.sprite.Init(0, 0, false);
}

void LoadGameSounds()
{
    game.beepSound = LoadSound(String(kGameSoundFiles[kBeepSound]));
    game.runAwaySound = LoadSound(String(kGameSoundFiles[kRunAwaySound]));
    game.deathSound = LoadSound(String(kGameSoundFiles[kDeathSound]));
    game.loveSound = LoadSound(String(kGameSoundFiles[kLoveSound]));
}
