// The scenes the drawing benchmarks hold on the screen: the title, courting
// in play and the heart rain, each put in place by its ticks and kept there
// by the keys it holds; and the platform seam those benchmarks link, whose
// keys are the scene's.
#pragma once

struct BenchScene {
    const char* name;
    void (*prepare)();
    void (*chooseKeys)(long tick); // held during the tick before each frame
    bool (*held)();                // whether the game still shows this scene
};

constexpr int kBenchSceneCount = 3;
extern const BenchScene kBenchScenes[kBenchSceneCount];

// Lets go of every key, so no key of the scene before carries over.
void LetGoOfBenchKeys();
