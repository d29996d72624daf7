// Pictures of whole games, drawn by the replay tool as the game draws them, checked for what a
// player must see: the title text, both spiders, bars as long as the meters, overlays, messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "render/texture.h"
#include "render/virtual_screen.h"

namespace {

struct Colour {
    int r, g, b;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
};
const Colour kWhite = {255, 255, 255}, kBlack = {0, 0, 0}, kRed = {255, 0, 0}, kGreen = {32, 255, 32};
const int kArea = kScreenWidth * kScreenHeight;

// A picture addressed from its bottom-left corner, as the virtual screen is.
struct Shot {
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    ~Shot() { free(pixels); }
    bool Load(const std::string& path) { return LoadPngPixels(pixels, width, height, String(path.c_str()), 3); }
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

// Replays a key script and loads the pictures of the given ticks, at scale 1.
bool Replay(const char* script, std::initializer_list<int> ticks, Shot* shots)
{
    // Pictures of the running case's own, as the cases run side by side.
    std::string path =
        ::testing::TempDir() + "velmora-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string command = std::string(VELMORA_REPLAY) + " --scale 1";
    for (int tick : ticks)
        command += " --shot " + std::to_string(tick) + ":" + path + std::to_string(tick) + ".png";
    if (system((command + " " + VELMORA_SCRIPTS + "/" + script + " >/dev/null").c_str()) != 0)
        return false;
    for (int tick : ticks)
        if (!(shots++)->Load(path + std::to_string(tick) + ".png") || shots[-1].width != kScreenWidth)
            return false;
    return true;
}

TEST(SceneShots, TitleThenAWalkStraightAtHerFadingToBlackUnderItsMessage)
{
    Shot shots[3], &title = shots[0], &walking = shots[1], &message = shots[2];
    ASSERT_TRUE(Replay("chased.txt", {0, 12, 300}, shots));
    EXPECT_GT(title.Count(kWhite, 4, 156, 0, 113), 400);
    EXPECT_GT(kArea - title.Count(kBlack) - title.Count(kWhite), 5000); // the picture shows through
    // Text starts 4 pixels in and wraps before the right edge; its outline may reach one further.
    EXPECT_EQ(title.Count(kWhite, 0, 3) + title.Count(kWhite, 157) + title.Count(kWhite, 0, kScreenWidth, 113), 0);

    // Eleven steps in, each bar beside its label grows leftward from x 96,
    // 80 pixels at a full meter: Fear 2100 is 16 pixels, Excitement 1000 is 8.
    for (int x = 60; x < 100; ++x) {
        EXPECT_EQ(walking.At(x, 100) == kRed, x >= 80 && x < 96) << "Fear bar at x " << x;
        EXPECT_EQ(walking.At(x, 84) == kGreen, x >= 88 && x < 96) << "Excitement bar at x " << x;
    }
    EXPECT_GT(walking.Count(kWhite, 98, kScreenWidth, 96, 104), 20); // "Fear"
    EXPECT_GT(walking.Count(kWhite, 98, kScreenWidth, 80, 88), 40);  // "Excitement"
    EXPECT_EQ(walking.Count(kWhite, 0, 97), 0);                      // no stray text

    // After the fade only the message and its outline are drawn over the black.
    EXPECT_GT(message.Count(kWhite, 16, 146, 40, 89), 300);
    EXPECT_EQ(message.Count(kBlack) + message.Count(kWhite), kArea);
}

TEST(SceneShots, BothSpidersStandAsDrawnUntilTheBiteFlashesWhiteAndFadesToRed)
{
    Shot shots[3], &start = shots[0], &flash = shots[1], &message = shots[2];
    ASSERT_TRUE(Replay("killed.txt", {2, 1190, 1300}, shots));
    // Both spiders stand as their picture shows, centred on x 16 and 144 and
    // y 32; she faces him, mirrored in place. Nothing else is drawn near the ground.
    Shot spider;
    ASSERT_TRUE(spider.Load(VELMORA_DATA "/spider stand.png"));
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            wrong += !(start.At(x, 16 + y) == spider.At(x, y)) + !(start.At(159 - x, 16 + y) == spider.At(x, y));
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(start.Count(kBlack, 0, kScreenWidth, 0, 16) + start.Count(kBlack, 32, 128, 16, 48), 160 * 16 + 96 * 32);

    EXPECT_EQ(flash.Count(kWhite), kArea);
    EXPECT_GT(message.Count(kRed), kArea / 2);
    EXPECT_GT(message.Count(kWhite, 16, 146, 40, 89), 200);
}

TEST(SceneShots, MatingHidesTheMetersUnderARainOfHearts)
{
    Shot rain;
    ASSERT_TRUE(Replay("mating.txt", {1100}, &rain));
    EXPECT_EQ(rain.Count(kGreen), 0);
    EXPECT_EQ(rain.Count(kWhite, 98, kScreenWidth, 80, 104), 0);
    std::set<int> columns; // hearts are red to pink, all over the screen
    for (int y = 50; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            if (rain.At(x, y).r > 150 && rain.At(x, y).g < 120 && rain.At(x, y).b < 160)
                columns.insert(x / 16);
    EXPECT_GE(columns.size(), 8u);
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Every frame shows the same pixels as when each quad is drawn in turn at the window's scale, whether it is
// copied at 1x or chosen the cheaper way, sprites batched: at every scale and in a window that is no multiple
// of the screen, margins included. The title (again from its copy), play, fades, messages, hearts coming down
// through the top margin.
class FramePaths : public ::testing::TestWithParam<const char*> {};

TEST_P(FramePaths, CopiedOrBatchedShowEveryPixelAsQuadsDrawnInTurn)
{
    const char* window = GetParam();
    const std::pair<const char*, std::vector<int>> games[] = {
        {"chased.txt", {0, 31, 431}}, {"killed.txt", {1190, 1300, 1566, 1567}}, {"mating.txt", {1000}}};
    std::string path = ::testing::TempDir() + "velmora-" + window + "-";
    for (const auto& [script, ticks] : games) {
        for (const char* way : {"straight", "copied", "cheaper"}) {
            std::string command = std::string(VELMORA_REPLAY) + " --window " + window + " --path " + way;
            for (int tick : ticks)
                command += " --shot " + std::to_string(tick) + ":" + path + way + std::to_string(tick) + ".png";
            ASSERT_EQ(system((command + " " + VELMORA_SCRIPTS + "/" + script + " >/dev/null").c_str()), 0);
        }
        for (int tick : ticks) {
            std::string straight = FileBytes(path + "straight" + std::to_string(tick) + ".png");
            for (const char* way : {"copied", "cheaper"})
                EXPECT_TRUE(!straight.empty() && straight == FileBytes(path + way + std::to_string(tick) + ".png"))
                    << script << " tick " << tick << " " << way;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryScaleAndOneOdd, FramePaths,
                         ::testing::Values("160x120", "320x240", "480x360", "640x480", "800x600", "960x720", "1120x840",
                                           "1280x960", "1440x1080", "700x500"));

} // namespace
