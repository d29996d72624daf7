// Spiders: which animation plays when, and how long each frame shows
// (duration d shows d + 1 ticks, d after a reset; 0 holds for good).
#include <gtest/gtest.h>

#include <vector>

#include "game/game.h"
#include "tests/support/scratch_folder.h"

namespace {

struct Step {
    int32_t direction;
    bool legRaised, dead;
    int ticks;
};

TEST(SpiderTest, FlagsAndStepsChooseTheAnimationAndItsFrames)
{
    struct Case {
        const char* rule;
        std::vector<Step> steps;
        std::vector<int> lastFrames; // the frame shown on each of the last ticks
        Animation Spider::*animation;
        int32_t x;
        bool flipped;
    } cases[] = {
        {"walks a pixel a tick", {{+1, false, false, 5}}, {0, 1, 1, 2, 2}, &Spider::walk, 55, false},
        {"stands facing his way", {{-1, false, false, 3}, {0, false, false, 1}}, {0}, &Spider::stand, 47, true},
        {"walks on the spot at a bound", {{-1, false, false, 40}}, {3, 4}, &Spider::walk, 16, true},
        {"raises the leg and holds it up", {{0, true, false, 12}}, {1, 2, 2, 2, 2, 2}, &Spider::legRaise, 50, false},
        {"lowers, stays lowered", {{0, true, false, 12}, {0, false, false, 10}}, {2}, &Spider::legLower, 50, false},
        {"raises after a walk", {{+1, true, false, 2}, {0, true, false, 1}}, {0}, &Spider::legRaise, 52, false},
        {"dies where he stands", {{+1, false, true, 42}}, {1, 1, 2}, &Spider::dying, 50, false},
    };
    ScratchFolder folder; // the game's own frames and durations, their images missing here
    ASSERT_TRUE(folder.Enter());
    LoadGameImages();
    for (const Case& c : cases) {
        Spider& spider = game.male;
        spider.Init(50, 32, false);
        std::vector<int> shown;
        for (const Step& step : c.steps) {
            spider.legRaised = step.legRaised;
            spider.dead = step.dead;
            for (int t = 0; t < step.ticks; ++t) {
                spider.Update(step.direction, 16, 144);
                int frame = 0; // the place of the frame shown in its animation
                for (const Frame* f = spider.frame; f->previous; f = f->previous)
                    ++frame;
                shown.push_back(frame);
            }
        }
        shown.erase(shown.begin(), shown.end() - int(c.lastFrames.size()));
        EXPECT_EQ(shown, c.lastFrames) << c.rule;
        EXPECT_EQ(spider.animation, &(spider.*c.animation)) << c.rule;
        EXPECT_EQ(spider.x, c.x) << c.rule;
        EXPECT_EQ(spider.flipped, c.flipped) << c.rule;
    }
    ReleaseGameAssets();
    folder.Leave();
}

} // namespace
