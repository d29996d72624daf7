#include "app/app.h"
#include "app/diagnostics.h"
#include "game/game.h"
#include "render/renderer.h"
#include "render/texture_cache.h"
#include "render/virtual_screen.h"
#include "sound/sound.h"
#include "text/string_data.h"

namespace {
const char kStringDataFileName[] = "StringData.txt";
const char kDataFolderName[] = "Data";
} // namespace

void AppInit()
{
    bool failed = false;
    String stringDataFile(kStringDataFileName);
    if (!LoadStringData(stringDataFile)) {
        LogError("Error loading string data %s", stringDataFile.Text());
        failed = true;
    }
    String dataFolder(kDataFolderName);
    dataFolder.ToBackslashes();
    String fontPath = GetStringVariable(kFontFileNameVariable);
    fontPath.ToBackslashes();
    String fontFolder, fontFileName;
    SplitPath(fontFolder, fontPath, fontFileName);
    if (!InitRenderer(kScreenWidth, kScreenHeight, dataFolder, fontFolder, fontFileName)) {
        LogError("Error initialising renderer");
        failed = true;
    }
    InitSound();
    InitGame();
    if (!failed)
        running = true;
}

void AppShutdown()
{
    running = false;
    ShutdownSound();
}

void AppRelease()
{
    // Frames give their images back before the cache frees what is left.
    ReleaseGameAssets();
    ClearTextureCache();
    ClearFont(renderer.font);
    ReleaseRenderer();
    ClearStringData();
    ClearSoundNames();
}

void AppResize(uint16_t width, uint16_t height) { ResizeRenderer(width, height); }

bool AppPaint()
{
    if (!running || renderer.windowWidth == 0 || renderer.windowHeight == 0)
        return false;
    DrawGame();
    return true;
}

void AppKeyDown(uint8_t key)
{
    if (key == kKeyEscape)
        RequestQuit();
}

// The game polls its keys and uses neither the mouse nor typed characters.
void AppKeyUp(uint32_t) {}
void AppChar(uint32_t) {}
void AppMouseMove(int16_t, int16_t) {}
void AppMouseButton(int32_t, bool, int16_t, int16_t) {}
void AppMouseWheel(bool) {}
void AppFocusLost() {}

void AppDeviceKeys(int32_t source, DeviceKeys held)
{
    DeviceKeys pressed = HoldSourceKeys(source, held);
    for (const DeviceKeyCode& code : kDeviceKeyCodes)
        if (pressed & code.key)
            AppKeyDown(code.virtualKey);
}
