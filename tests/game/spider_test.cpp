// Spiders and sprites: which animation plays when, and how long each frame
// shows (duration d shows d + 1 ticks, d after a reset; 0 holds for good).
#include <gtest/gtest.h>

#include <vector>

#include "game/animation.h"
#include "game/spider.h"

namespace {

void Fill(Animation& animation, std::initializer_list<int32_t> durations)
{
    for (int32_t duration : durations) {
        Frame* frame = new Frame{nullptr, duration, animation.last, nullptr};
        (animation.last ? animation.last->next : animation.first) = frame;
        animation.last = frame;
        animation.count += 1;
    }
}

void Free(Animation& animation)
{
    for (Frame* frame = animation.first; frame;) {
        Frame* next = frame->next;
        delete frame;
        frame = next;
    }
    animation = Animation{};
}

int IndexOf(const Animation* animation, const Frame* frame)
{
    int i = 0;
    for (Frame* f = animation ? animation->first : nullptr; f; f = f->next, ++i)
        if (f == frame)
            return i;
    return -1;
}

class SpiderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The game's durations: leg frames 3, walk frames 1, dying 20.
        Fill(spider.stand, {0});
        Fill(spider.legRaise, {3, 3, 0});
        Fill(spider.legLower, {3, 3, 0});
        Fill(spider.walk, {1, 1, 1, 1, 1, 1, 1, 1});
        Fill(spider.dying, {20, 20, 0});
        spider.Init(50, 32, false);
    }
    void TearDown() override
    {
        for (Animation* a : {&spider.stand, &spider.legRaise, &spider.legLower, &spider.walk, &spider.dying})
            Free(*a);
    }
    std::vector<int> Run(int direction, int ticks)
    {
        std::vector<int> frames;
        for (int t = 0; t < ticks; ++t) {
            spider.Update(direction, 16, 144);
            frames.push_back(IndexOf(spider.animation, spider.frame));
        }
        return frames;
    }
    Spider spider = {};
};

TEST_F(SpiderTest, WalkingStepsOnePixelFacesTheWayAndWalksOnTheSpotAtTheBounds)
{
    EXPECT_EQ(Run(+1, 9), (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(spider.x, 59);
    EXPECT_FALSE(spider.flipped);
    Run(-1, 3);
    EXPECT_EQ(spider.x, 56);
    EXPECT_TRUE(spider.flipped);
    Run(0, 1);
    EXPECT_TRUE(spider.flipped);
    EXPECT_EQ(spider.animation, &spider.stand);
    spider.x = 16;
    Run(-1, 2);
    EXPECT_EQ(spider.animation, &spider.walk); // walks on the spot at the bound
}

TEST_F(SpiderTest, RaisingTheLegHoldsTheLastFrameAndLoweringEndsStanding)
{
    spider.legRaised = true;
    EXPECT_EQ(Run(0, 12), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 2}));
    spider.legRaised = false;
    EXPECT_EQ(Run(0, 10), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(spider.animation, &spider.legLower);
    spider.legRaised = true;
    Run(+1, 2); // walking hides the raised leg; stopping raises it afresh
    EXPECT_EQ(spider.animation, &spider.walk);
    Run(0, 1);
    EXPECT_EQ(spider.animation, &spider.legRaise);
    EXPECT_EQ(IndexOf(spider.animation, spider.frame), 0);
}

TEST_F(SpiderTest, ADeadSpiderIgnoresDirectionsAndEndsOnTheDeadPose)
{
    spider.dead = true;
    std::vector<int> frames = Run(+1, 50);
    EXPECT_EQ(spider.x, 50);
    EXPECT_EQ(spider.animation, &spider.dying);
    EXPECT_EQ(frames[19], 0);
    EXPECT_EQ(frames[20], 1);
    EXPECT_EQ(frames[40], 1);
    EXPECT_EQ(frames[41], 2);
    EXPECT_EQ(Run(-1, 100).back(), 2);
}

TEST(SpriteTiming, FramesShowTheirDurationPlusOneAndZeroHoldsForGood)
{
    struct Case {
        std::initializer_list<int32_t> durations;
        std::vector<int> shown;
    } cases[] = {
        {{1, 1}, {0, 1, 1, 0, 0, 1, 1, 0, 0}},
        {{3, 2, 0}, {0, 0, 0, 1, 1, 1, 2, 2, 2, 2}},
        {{0, 5}, {0, 0, 0, 0, 0}},
        {{}, {-1, -1}},
    };
    for (const Case& c : cases) {
        AnimatedSprite sprite = {};
        Fill(sprite.animation, c.durations);
        sprite.Init(3, 4, false); // hidden sprites advance all the same
        std::vector<int> shown;
        for (size_t t = 0; t < c.shown.size(); ++t) {
            sprite.Advance();
            shown.push_back(IndexOf(&sprite.animation, sprite.frame));
        }
        EXPECT_EQ(shown, c.shown);
        sprite.Init(5, 6, true);
        EXPECT_EQ(sprite.frame, nullptr); // Init starts the animation afresh
        Free(sprite.animation);
    }
}

} // namespace
