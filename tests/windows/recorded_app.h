// Application callbacks that only record what the window shell told them,
// so the shell's tests can watch WindowProc without the game behind it.
// Each call appends one entry such as "init", "resize 640x480", "key 27",
// "button 0 down -5,7", "wheel up", "release current".
#pragma once

#include <string>
#include <vector>

extern std::vector<std::string> appCalls;
// What AppPaint answers.
extern bool appPaintDraws;

void ClearAppCalls();
