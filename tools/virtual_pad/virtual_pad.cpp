// A gamepad for the Linux program on a machine without one, for developers
// and the end-to-end harness. Preloaded into the game (LD_PRELOAD), it reads
// the lines written to the pipe VELMORA_PAD_COMMANDS names before each of the
// game's SDL_PollEvent calls: "attach" and "detach" plug SDL's virtual
// joystick in and pull it out; a button or axis by SDL's name and a value
// moves it ("a 1", "a 0", "leftx -32768"). A line that fails is written to
// standard error.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
SDL_Joystick* pad;
int padIndex;

bool Obey(const char* line)
{
    if (strcmp(line, "attach") == 0) {
        padIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                             SDL_CONTROLLER_BUTTON_MAX, 0);
        // The game must meet a game controller, not a bare joystick.
        pad = padIndex >= 0 && SDL_IsGameController(padIndex) ? SDL_JoystickOpen(padIndex) : nullptr;
        return pad;
    }
    char name[32];
    int value = 0;
    if (!pad)
        return false;
    if (strcmp(line, "detach") == 0) {
        SDL_JoystickClose(pad);
        pad = nullptr;
        return SDL_JoystickDetachVirtual(padIndex) == 0;
    }
    if (sscanf(line, "%31s %d", name, &value) != 2)
        return false;
    SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name);
    if (button != SDL_CONTROLLER_BUTTON_INVALID)
        return SDL_JoystickSetVirtualButton(pad, button, value) == 0;
    return SDL_JoystickSetVirtualAxis(pad, SDL_GameControllerGetAxisFromString(name), value) == 0;
}

// Only the game gets the pad, not the programs it starts (a sanitizer's
// symbolizer among them).
__attribute__((constructor)) void KeepToTheGame() { unsetenv("LD_PRELOAD"); }
} // namespace

extern "C" __attribute__((visibility("default"))) int SDL_PollEvent(SDL_Event* event)
{
    static const auto realPoll = reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_PollEvent"));
    static const char* path = getenv("VELMORA_PAD_COMMANDS");
    static int commands = path ? open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    static char line[256];
    static size_t length;
    for (char byte; commands >= 0 && read(commands, &byte, 1) == 1;) {
        if (byte != '\n' && length + 1 < sizeof line) {
            line[length++] = byte;
            continue;
        }
        line[length] = '\0';
        length = 0;
        if (!Obey(line))
            fprintf(stderr, "virtual pad: \"%s\" failed: %s\n", line, SDL_GetError());
    }
    return realPoll(event);
}
