// Frame timing of animated sprites.
#include "tests/game/game_fixture.h"

namespace {

class SpriteTiming : public ::testing::Test {
protected:
    void TearDown() override { FreeAnimation(sprite.animation); }

    // The index of the current frame, -1 for none.
    int FrameIndex() const
    {
        int i = 0;
        for (Frame* f = sprite.animation.first; f; f = f->next, ++i)
            if (f == sprite.frame)
                return i;
        return -1;
    }
    std::vector<int> Play(int ticks)
    {
        std::vector<int> shown;
        for (int t = 0; t < ticks; ++t) {
            sprite.Advance();
            shown.push_back(FrameIndex());
        }
        return shown;
    }

    AnimatedSprite sprite = {};
};

TEST_F(SpriteTiming, EmptyAnimationHasNoFrame)
{
    sprite.Init(3, 4, true);
    Play(5);
    EXPECT_EQ(sprite.frame, nullptr);
    EXPECT_EQ(sprite.frameTicks, 0);
}

TEST_F(SpriteTiming, DurationZeroHoldsTheFrameForGood)
{
    FillAnimation(sprite.animation, {0, 5});
    sprite.Init(0, 0, true);
    EXPECT_EQ(sprite.frame, nullptr); // nothing until the first advance
    EXPECT_EQ(Play(100), std::vector<int>(100, 0));
    EXPECT_EQ(sprite.frameTicks, 0);
}

TEST_F(SpriteTiming, FirstFrameAfterAResetShowsOneTickLess)
{
    FillAnimation(sprite.animation, {1, 1});
    sprite.Init(0, 0, false);
    EXPECT_EQ(Play(9), (std::vector<int>{0, 1, 1, 0, 0, 1, 1, 0, 0}));
    FreeAnimation(sprite.animation);
    FillAnimation(sprite.animation, {3, 2, 0});
    sprite.Init(0, 0, false);
    EXPECT_EQ(Play(10), (std::vector<int>{0, 0, 0, 1, 1, 1, 2, 2, 2, 2}));
}

TEST_F(SpriteTiming, HiddenSpritesKeepAdvancing)
{
    FillAnimation(sprite.animation, {2, 2});
    sprite.Init(10, 20, false);
    Play(3);
    EXPECT_FALSE(sprite.visible);
    EXPECT_EQ(FrameIndex(), 1);
    sprite.Init(5, 6, true); // re-initialising forgets the frame, keeps the frames
    EXPECT_EQ(sprite.frame, nullptr);
    EXPECT_EQ(sprite.animation.count, 2);
    EXPECT_EQ(sprite.x, 5);
    EXPECT_EQ(sprite.y, 6);
    Play(1);
    EXPECT_EQ(FrameIndex(), 0);
}

} // namespace
