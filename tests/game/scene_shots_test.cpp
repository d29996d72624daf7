// Pictures of whole games, drawn by the replay tool exactly as the game draws
// them, checked for what a player must see: the title text on the screen,
// both spiders, bars as long as the meters, the overlays and the messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "render/texture.h"
#include "render/virtual_screen.h"

#ifndef VELMORA_REPLAY
#error "VELMORA_REPLAY must name the replay tool"
#endif

namespace {

struct Colour {
    int r, g, b;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
};

const Colour kWhite = {255, 255, 255};
const Colour kBlack = {0, 0, 0};
const Colour kRed = {255, 0, 0};
const Colour kGreen = {32, 255, 32};

// One picture at scale 1, addressed in virtual-screen pixels (y up).
struct Shot {
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    ~Shot() { free(pixels); }
    Colour At(int x, int y) const
    {
        const uint8_t* p = pixels + ((height - 1 - y) * width + x) * 3;
        return Colour{p[0], p[1], p[2]};
    }
    int Count(Colour c, int left = 0, int right = kScreenWidth, int bottom = 0, int top = kScreenHeight) const
    {
        int n = 0;
        for (int y = bottom; y < top; ++y)
            for (int x = left; x < right; ++x)
                n += At(x, y) == c;
        return n;
    }
};

std::map<std::string, int> Fields(const std::string& line)
{
    std::map<std::string, int> fields;
    size_t at = 0;
    while (at < line.size()) {
        size_t equals = line.find('=', at), end = line.find(' ', at);
        if (end == std::string::npos)
            end = line.size();
        if (equals < end)
            fields[line.substr(at, equals - at)] = atoi(line.c_str() + equals + 1);
        at = end + 1;
    }
    return fields;
}

class SceneShots : public ::testing::Test {
protected:
    // Replays a script, draws the given ticks and keeps each tick's state.
    void Replay(const char* script, std::initializer_list<int> ticks)
    {
        std::string command = std::string(VELMORA_REPLAY) + " --scale 1";
        for (int tick : ticks)
            command += " --shot " + std::to_string(tick) + ":" + Path(tick);
        command += std::string(" ") + VELMORA_SCRIPTS + "/" + script;
        FILE* output = popen(command.c_str(), "r");
        ASSERT_NE(output, nullptr);
        char line[1024];
        while (fgets(line, sizeof line, output)) {
            std::map<std::string, int> fields = Fields(line);
            states[fields["tick"]] = fields;
        }
        ASSERT_EQ(pclose(output), 0) << command;
    }
    void Load(int tick, Shot& shot)
    {
        ASSERT_TRUE(LoadPngPixels(shot.pixels, shot.width, shot.height, String(Path(tick).c_str()), 3));
        ASSERT_EQ(shot.width, kScreenWidth);
        ASSERT_EQ(shot.height, kScreenHeight);
    }
    std::string Path(int tick) { return ::testing::TempDir() + "velmora-shot-" + std::to_string(tick) + ".png"; }

    std::map<int, std::map<std::string, int>> states;
};

// A spider's body lies around its position; nothing else is drawn there.
void ExpectSpiderAt(const Shot& shot, int x, const char* who)
{
    int left = x - 12 < 0 ? 0 : x - 12, right = x + 12 > kScreenWidth ? kScreenWidth : x + 12;
    EXPECT_GT((right - left) * 24 - shot.Count(kBlack, left, right, 20, 44), 40) << who << " at " << x;
}

void ExpectBar(const Shot& shot, int meter, int bottom, Colour colour)
{
    int left = 96 - meter * 80 / 10000;
    for (int x = left; x < 96; ++x)
        EXPECT_EQ(shot.At(x, bottom + 4), colour) << "bar pixel " << x;
    EXPECT_FALSE(shot.At(left - 1, bottom + 4) == colour) << "bar longer than its meter " << meter;
}

TEST_F(SceneShots, TitleTextStandsInsideTheScreenOverThePicture)
{
    Replay("chased.txt", {0});
    Shot title;
    Load(0, title);
    EXPECT_GT(title.Count(kWhite, 4, 156, 0, 113), 400);
    EXPECT_GT(kScreenWidth * kScreenHeight - title.Count(kBlack) - title.Count(kWhite),
              5000); // the picture shows through
    // Text starts 4 pixels in and wraps before the right edge; its outline
    // may reach one pixel further.
    EXPECT_EQ(title.Count(kWhite, 0, 3, 0, kScreenHeight), 0);
    EXPECT_EQ(title.Count(kWhite, 157, kScreenWidth, 0, kScreenHeight), 0);
    EXPECT_EQ(title.Count(kWhite, 0, kScreenWidth, 113, kScreenHeight), 0);
}

TEST_F(SceneShots, GameInProgressShowsBothSpidersAndBothMeters)
{
    Replay("chased.txt", {20});
    Shot shot;
    Load(20, shot);
    std::map<std::string, int>& state = states[20];
    ASSERT_EQ(state["playing"], 1);
    ExpectSpiderAt(shot, state["maleX"], "male");
    ExpectSpiderAt(shot, state["femaleX"], "female");
    ExpectBar(shot, state["fear"], 96, kRed);
    ExpectBar(shot, state["excitement"], 80, kGreen);
    EXPECT_GT(shot.Count(kWhite, 98, kScreenWidth, 96, 104), 20); // "Fear"
    EXPECT_GT(shot.Count(kWhite, 98, kScreenWidth, 80, 88), 40);  // "Excitement"
    EXPECT_EQ(shot.Count(kWhite, 0, 97, 0, kScreenHeight), 0);    // no stray text
}

TEST_F(SceneShots, ChasedAwayFadesToBlackUnderItsMessage)
{
    Replay("chased.txt", {100, 300});
    Shot fading, message;
    Load(100, fading);
    Load(300, message);
    // Part way through the fade the spider and bars are dimmed, not gone.
    Colour bar = fading.At(95, 100);
    EXPECT_GT(bar.r, 100);
    EXPECT_LT(bar.r, 255);
    EXPECT_GT(message.Count(kWhite, 16, 146, 40, 89), 300);
    EXPECT_EQ(message.Count(kRed), 0);
    // Only the message and its outline are drawn over the black.
    EXPECT_EQ(message.Count(kBlack) + message.Count(kWhite), kScreenWidth * kScreenHeight);
}

TEST_F(SceneShots, KilledFlashesWhiteThenFadesToRedUnderItsMessage)
{
    Replay("killed.txt", {1190, 1300});
    Shot flash, message;
    Load(1190, flash);
    Load(1300, message);
    EXPECT_EQ(flash.Count(kWhite), kScreenWidth * kScreenHeight);
    EXPECT_GT(message.Count(kRed), kScreenWidth * kScreenHeight / 2);
    EXPECT_GT(message.Count(kWhite, 16, 146, 40, 89), 200);
    EXPECT_EQ(message.Count(kWhite, 0, 15, 0, kScreenHeight), 0);
}

TEST_F(SceneShots, MatingHidesTheMetersUnderARainOfHearts)
{
    Replay("mating.txt", {1100});
    Shot rain;
    Load(1100, rain);
    ASSERT_EQ(states[1100]["mating"], 1);
    EXPECT_EQ(rain.Count(kGreen), 0);
    EXPECT_EQ(rain.Count(kWhite, 98, kScreenWidth, 80, 104), 0);
    ExpectSpiderAt(rain, states[1100]["maleX"], "male");
    // Hearts are red to pink, all over the screen.
    int columns = 0;
    for (int x = 0; x < kScreenWidth; x += 16) {
        int reddish = 0;
        for (int y = 50; y < kScreenHeight; ++y)
            for (int dx = 0; dx < 16; ++dx) {
                Colour c = rain.At(x + dx, y);
                reddish += c.r > 150 && c.g < 120 && c.b < 160;
            }
        columns += reddish > 0;
    }
    EXPECT_GE(columns, 8);
}

} // namespace
