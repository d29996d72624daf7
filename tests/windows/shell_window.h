// A test fixture with the real main window of the Windows shell: the class
// "Game" over WindowProc, created hidden with the framed style, so WM_CREATE
// sets up OpenGL on Mesa under Wine exactly as in the game. The application
// callbacks behind it only record their calls (recorded_app.h).
#pragma once

#include <gtest/gtest.h>

#include "app/win32/win32_shell.h"

class ShellWindow : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The client size the window was created with.
    static const int kClientWidth = 640, kClientHeight = 480;
    // Sends a message and returns its result.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Takes every waiting message; true when the quit message came, with its code.
    bool TakeQuit(int& exitCode);

    HWND window = nullptr;
};
