// Preloaded into the real program (LD_PRELOAD) by the end-to-end harness, so
// the game itself carries no test hook: a gamepad on SDL's virtual joystick,
// moved by the lines written to the pipe VELMORA_PAD_COMMANDS names, read
// before each of the game's SDL_PollEvent calls: "attach", "detach",
// "BUTTON 1" or "BUTTON 0", "AXIS VALUE", by SDL's names (a, start, dpleft,
// leftx). What goes wrong is written to standard error.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
SDL_Joystick* pad;

bool Obey(const char* line)
{
    if (strcmp(line, "attach") == 0) {
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
        // The game must meet a game controller, not a bare joystick.
        pad = index >= 0 && SDL_IsGameController(index) ? SDL_JoystickOpen(index) : nullptr;
        return pad;
    }
    if (!pad)
        return false;
    if (strcmp(line, "detach") == 0) {
        int index = 0;
        while (index < SDL_NumJoysticks() && SDL_JoystickGetDeviceInstanceID(index) != SDL_JoystickInstanceID(pad))
            ++index;
        SDL_JoystickClose(pad);
        pad = nullptr;
        return SDL_JoystickDetachVirtual(index) == 0;
    }
    char name[32];
    int value = 0;
    if (sscanf(line, "%31s %d", name, &value) != 2)
        return false;
    SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name);
    if (button != SDL_CONTROLLER_BUTTON_INVALID)
        return SDL_JoystickSetVirtualButton(pad, button, value) == 0;
    return SDL_JoystickSetVirtualAxis(pad, SDL_GameControllerGetAxisFromString(name), value) == 0;
}

void ReadCommands()
{
    static const char* path = getenv("VELMORA_PAD_COMMANDS");
    static int pipe = path ? open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    static char line[256];
    static size_t length;
    char byte;
    while (pipe >= 0 && read(pipe, &byte, 1) == 1) {
        if (byte != '\n' && length + 1 < sizeof line) {
            line[length++] = byte;
            continue;
        }
        line[length] = '\0';
        length = 0;
        if (!Obey(line))
            fprintf(stderr, "virtual pad: \"%s\" failed: %s\n", line, SDL_GetError());
    }
}

// Only the game gets the pad, not the programs it starts (the sanitizers'
// symbolizer among them).
__attribute__((constructor)) void KeepToTheGame() { unsetenv("LD_PRELOAD"); }
} // namespace

extern "C" __attribute__((visibility("default"))) int SDL_PollEvent(SDL_Event* event)
{
    static const auto realPoll = reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
    ReadCommands();
    return realPoll(event);
}
