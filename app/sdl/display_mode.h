// Window and full screen on SDL2. Full screen covers the display at its
// current resolution (the mode is never changed), hides the cursor while the
// window has the focus and turns vertical synchronisation on; the framed
// window gets its place and size back on return.
#pragma once

// Does nothing when the mode is already the one asked for.
void SetWindowedMode(bool windowed);
// Focus gained in full screen: hide the cursor and synchronise to the display.
void EnterFocusedFullScreen();
// Focus lost, in either mode: show the cursor and stop synchronising.
void LeaveFocusedFullScreen();
// The end of the program shows the cursor if the shell has hidden it.
void ShowCursorIfHidden();
