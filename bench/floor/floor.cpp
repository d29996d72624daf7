// The floor of a frame's cost on the desktop: the cheapest program that could
// show the game's picture, a plain SDL2 window with an OpenGL 1.1 context
// that draws one 160x120 texture scaled to the window as one quad a frame,
// 60 frames a second, sleeping until the next is due. Prints the processor
// time of a presented frame (the GL's own threads included):
//
//   velmora-bench-floor [--seconds S] WIDTHxHEIGHT
//   floor WIDTHxHEIGHT CPU_MS_PER_FRAME FRAMES_PER_SECOND
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>

#include "bench/frame_options.h"

namespace {

// A 160x120 picture in the corner of a 256x128 texture, as OpenGL 1.1 wants
// sides that are powers of two: stripes, so nothing is uniform.
GLuint MakePicture()
{
    static unsigned char texels[128][256][3];
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            texels[y][x][0] = texels[y][x][1] = texels[y][x][2] = (x / 8 + y / 8) % 2 ? 200 : 40;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 256, 128, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    return name;
}

void DrawPicture()
{
    const float right = 160.0f / 256, top = 120.0f / 128;
    glBegin(GL_QUADS);
    glTexCoord2f(0, top);
    glVertex2i(-1, 1);
    glTexCoord2f(0, 0);
    glVertex2i(-1, -1);
    glTexCoord2f(right, 0);
    glVertex2i(1, -1);
    glTexCoord2f(right, top);
    glVertex2i(1, 1);
    glEnd();
}

} // namespace

int main(int argc, char** argv)
{
    FrameBenchOptions options;
    if (!ReadFrameBenchOptions(argc, argv, "velmora-bench-floor", options))
        return 2;
    const int width = options.width, height = options.height;
    const double seconds = options.seconds;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "velmora-bench-floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_Window* window =
        SDL_CreateWindow("Floor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        fprintf(stderr, "velmora-bench-floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    glViewport(0, 0, width, height);
    MakePicture();

    // A second to settle, then the measured frames; frame n is due at n/60 s.
    long drawn = 0, frames = 0;
    double cpuStart = 0;
    Uint32 start = SDL_GetTicks(), measuredFrom = start + 1000;
    bool measuring = false;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        Uint32 now = SDL_GetTicks();
        if (!measuring && now >= measuredFrom) {
            measuring = true;
            cpuStart = ProcessSeconds();
            measuredFrom = now;
        }
        if (measuring && now - measuredFrom >= Uint32(seconds * 1000))
            break;
        Uint32 due = start + Uint32(drawn * 1000 / 60);
        if (int32_t(due - now) > 0) {
            SDL_Delay(due - now);
            continue;
        }
        DrawPicture();
        SDL_GL_SwapWindow(window);
        drawn += 1;
        frames += measuring ? 1 : 0;
    }
    double cpu = ProcessSeconds() - cpuStart;
    double wall = double(SDL_GetTicks() - measuredFrom) / 1000;
    fprintf(stderr, "drawn by %s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    printf("floor %dx%d %.4f %.2f\n", width, height, cpu * 1000 / double(frames), double(frames) / wall);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
