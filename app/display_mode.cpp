#include "app/display_mode.h"

#include "app/shell_state.h"

namespace {
void HideCursorIfShown()
{
    if (!shell.cursorHidden) {
        ShowMouseCursor(false);
        shell.cursorHidden = true;
    }
}

void TurnVsyncOn()
{
    if (shell.vsyncInFullScreen && !shell.vsyncOn && shell.setSwapInterval) {
        SetSwapInterval(1);
        shell.vsyncOn = true;
    }
}

void TurnVsyncOff()
{
    if (shell.vsyncOn && shell.setSwapInterval) {
        SetSwapInterval(0);
        shell.vsyncOn = false;
    }
}
} // namespace

void SetWindowedMode(bool windowed)
{
    if (windowed == shell.windowed)
        return;
    shell.windowed = windowed;
    if (windowed) {
        RestoreFramedWindow();
        TurnVsyncOff();
        ShowCursorIfHidden();
        return;
    }
    CoverScreenWithWindow();
    TurnVsyncOn();
    if (!shell.inactive)
        HideCursorIfShown();
}

void GainFocusInDisplayMode()
{
    if (shell.windowed)
        return;
    HideCursorIfShown();
    TurnVsyncOn();
}

void LoseFocusInDisplayMode()
{
    ShowCursorIfHidden();
    TurnVsyncOff();
}

void ShowCursorIfHidden()
{
    if (shell.cursorHidden) {
        ShowMouseCursor(true);
        shell.cursorHidden = false;
    }
}
