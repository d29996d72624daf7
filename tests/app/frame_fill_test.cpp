// What a frame costs the GL, counted as the pixels it fills (an occlusion
// query on Mesa's software renderer): each screen of the outcome scripts
// takes the way that fills fewer pixels, drawn straight or copied at 1x, and
// at 4x and above fills at most 1.2 windows, about what showing one picture
// scaled to the window fills.
#define GL_GLEXT_PROTOTYPES
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/app.h"
#include "app/diagnostics.h"
#include "game/game.h"
#include "render/gl_api.h"
#include "render/renderer.h"
#include "tests/support/app_run.h"
#include "tests/support/test_platform.h"
#include "tools/offscreen/offscreen_gl.h"
#include "tools/replay/script.h"

namespace {

// Starts the game afresh and plays the script up to the tick.
void PlayTo(const char* script, int32_t tick)
{
    FILE* file = fopen((std::string(VELMORA_SCRIPTS) + "/" + script).c_str(), "rb");
    std::vector<ScriptStep> steps;
    ScriptError error;
    ASSERT_TRUE(file && ReadKeyScript(file, steps, error));
    fclose(file);
    ResetGameState();
    for (const ScriptStep& step : steps) {
        for (int32_t i = 0; i < step.count && tick > 0; ++i, --tick) {
            SetKey(kKeyLeft, step.keys.left);
            SetKey(kKeyRight, step.keys.right);
            SetKey(kKeySpace, step.keys.space);
            UpdateGame();
        }
    }
}

// The second of two frames of the scene: each frame's way is chosen by the
// fill of the one before.
GLuint FilledPixels()
{
    DrawGame();
    GLuint query = 0, samples = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    DrawGame();
    glEndQuery(GL_SAMPLES_PASSED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
    glDeleteQueries(1, &query);
    return samples;
}

TEST(FrameFill, EachScreenTakesTheWayThatFillsFewerPixelsAndFillsAboutOneWindow)
{
    const struct {
        const char* script;
        int32_t tick;
    } screens[] = {{"chased.txt", 0},    {"chased.txt", 31},   {"chased.txt", 431},
                   {"killed.txt", 1190}, {"killed.txt", 1300}, {"mating.txt", 1000}};
    const int32_t windows[][2] = {{640, 480},  {800, 600},   {960, 720}, {1120, 840},
                                  {1280, 960}, {1440, 1080}, {700, 500}};
    ASSERT_EQ(chdir(VELMORA_GAME_FILES), 0);
    for (const auto& window : windows) {
        OffscreenGl* context = CreateOffscreenGl(window[0], window[1]);
        ASSERT_NE(context, nullptr);
        ResetTestPlatform();
        AppInit();
        for (const auto& screen : screens) {
            PlayTo(screen.script, screen.tick);
            GLuint filled[3];
            for (FramePath way : {FramePath::Straight, FramePath::Copied, FramePath::Cheaper}) {
                renderer.framePath = way;
                AppResize(uint16_t(window[0]), uint16_t(window[1]));
                filled[int(way)] = FilledPixels();
            }
            GLuint fewer = std::min(filled[int(FramePath::Straight)], filled[int(FramePath::Copied)]);
            EXPECT_LE(filled[int(FramePath::Cheaper)], std::min(1.1 * fewer, 1.2 * window[0] * window[1]))
                << window[0] << "x" << window[1] << " " << screen.script << " tick " << screen.tick;
        }
        EndAppRun();
        DestroyOffscreenGl(context);
    }
}

} // namespace
