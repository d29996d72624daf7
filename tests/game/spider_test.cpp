// Spiders: walking between bounds, facing, and which animation plays when.
#include "tests/game/game_fixture.h"

namespace {

class SpiderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The game's durations: leg frames 3, walk frames 1, dying 20.
        FillAnimation(spider.stand, {0});
        FillAnimation(spider.legRaise, {3, 3, 0});
        FillAnimation(spider.legLower, {3, 3, 0});
        FillAnimation(spider.walk, {1, 1, 1, 1, 1, 1, 1, 1});
        FillAnimation(spider.dying, {20, 20, 0});
        spider.Init(50, 32, false);
    }
    void TearDown() override
    {
        for (Animation* a : {&spider.stand, &spider.legRaise, &spider.legLower, &spider.walk, &spider.dying})
            FreeAnimation(*a);
    }
    int FrameIndex() const
    {
        int i = 0;
        for (Frame* f = spider.animation ? spider.animation->first : nullptr; f; f = f->next, ++i)
            if (f == spider.frame)
                return i;
        return -1;
    }
    // Runs ticks and returns the frame index of each, for one animation.
    std::vector<int> Run(int direction, int ticks)
    {
        std::vector<int> frames;
        for (int t = 0; t < ticks; ++t) {
            spider.Update(direction, 16, 144);
            frames.push_back(FrameIndex());
        }
        return frames;
    }

    Spider spider = {};
};

TEST_F(SpiderTest, NoFrameUntilTheFirstUpdate)
{
    EXPECT_EQ(spider.frame, nullptr);
    EXPECT_EQ(spider.animation, nullptr);
    Run(0, 1);
    EXPECT_EQ(spider.animation, &spider.stand);
}

TEST_F(SpiderTest, WalkingStepsOnePixelAndFacesTheWayItGoes)
{
    Run(-1, 3);
    EXPECT_EQ(spider.x, 47);
    EXPECT_TRUE(spider.flipped);
    EXPECT_TRUE(spider.walking);
    EXPECT_EQ(spider.animation, &spider.walk);
    Run(0, 1);
    EXPECT_TRUE(spider.flipped); // keeps facing the way it last moved
    EXPECT_FALSE(spider.walking);
    Run(+1, 1);
    EXPECT_FALSE(spider.flipped);
    EXPECT_EQ(spider.x, 48);
}

TEST_F(SpiderTest, BoundsHoldTheSpiderButTheWalkPlaysOnTheSpot)
{
    spider.x = 17;
    Run(-1, 5);
    EXPECT_EQ(spider.x, 16);
    EXPECT_TRUE(spider.walking);
    spider.x = 143;
    Run(+1, 5);
    EXPECT_EQ(spider.x, 144);
    EXPECT_EQ(spider.animation, &spider.walk);
    spider.x = 10; // already outside: a step is pulled back to the bound
    Run(-1, 1);
    EXPECT_EQ(spider.x, 16);
}

TEST_F(SpiderTest, WalkFramesShowTwoTicksEachAfterTheFirst)
{
    EXPECT_EQ(Run(+1, 9), (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4}));
    Run(+1, 8);
    EXPECT_EQ(FrameIndex(), 0); // the walk loops
}

TEST_F(SpiderTest, RaisingTheLegHoldsTheThirdFrameAndLoweringEndsStanding)
{
    spider.legRaised = true;
    EXPECT_EQ(Run(0, 12), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 2}));
    spider.legRaised = false;
    EXPECT_EQ(Run(0, 10), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(spider.animation, &spider.legLower);
    // A half-raised leg is lowered from the start of the lowering frames.
    spider.legRaised = true;
    Run(0, 2);
    spider.legRaised = false;
    Run(0, 1);
    EXPECT_EQ(spider.animation, &spider.legLower);
    EXPECT_EQ(FrameIndex(), 0);
}

TEST_F(SpiderTest, StoppingAWalkShowsStandOrRestartsTheRaise)
{
    Run(+1, 3);
    Run(0, 1);
    EXPECT_EQ(spider.animation, &spider.stand);
    spider.legRaised = true;
    Run(0, 5);
    Run(+1, 2); // walking hides the raised leg
    EXPECT_EQ(spider.animation, &spider.walk);
    Run(0, 1);
    EXPECT_EQ(spider.animation, &spider.legRaise);
    EXPECT_EQ(FrameIndex(), 0);
}

TEST_F(SpiderTest, ADeadSpiderIgnoresDirectionsAndEndsOnTheDeadPose)
{
    spider.dead = true;
    spider.legRaised = true;
    std::vector<int> frames = Run(+1, 50);
    EXPECT_EQ(spider.x, 50);
    EXPECT_FALSE(spider.walking);
    EXPECT_EQ(spider.animation, &spider.dying);
    EXPECT_EQ(frames[19], 0);
    EXPECT_EQ(frames[20], 1);
    EXPECT_EQ(frames[40], 1);
    EXPECT_EQ(frames[41], 2);
    EXPECT_EQ(Run(-1, 100).back(), 2);
    spider.Init(20, 32, true); // only Init brings him back
    EXPECT_FALSE(spider.dead);
    EXPECT_EQ(spider.animation, nullptr);
}

} // namespace
