// Window and full screen, by the same steps in every shell. Full screen
// covers the screen at its current resolution; while it has the focus the
// cursor is hidden and vertical synchronisation is on. The framed window, or
// a window without the focus, shows the cursor and does not synchronise.
// Hides and shows stay paired through shell.cursorHidden, since window
// systems count them.
#pragma once

// Switches between the framed window (true) and full screen (false); does
// nothing when the mode is already the one asked for.
void SetWindowedMode(bool windowed);
// Focus gained: in full screen, hide the cursor and synchronise.
void GainFocusInDisplayMode();
// Focus lost, in either mode: show the cursor and stop synchronising.
void LoseFocusInDisplayMode();
// The end of the program shows the cursor if the shell has hidden it.
void ShowCursorIfHidden();

// Supplied by each shell for its window system.
void ShowMouseCursor(bool shown);
// Keeps the framed window's place, then covers the screen without a frame.
void CoverScreenWithWindow();
// Gives the window its frame and its kept place back.
void RestoreFramedWindow();
