// Keyboard and mouse input as a user gives it, through SendInput: posted input never reaches thread hooks, and
// only real input moves the cursor and the keyboard state. Points are in screen coordinates.
#pragma once

#include <windows.h>

#include <string>

namespace lqtest {

// One key going down or up.
void SendKey(WORD vk, bool up);
// A key pressed and released; nothing is dispatched.
void TapKey(WORD vk);
// A key pressed and released, then the messages it queued are dispatched.
void PressKey(WORD vk);
// vk pressed and released while Ctrl is held; nothing is dispatched.
void SendCtrlKey(WORD vk);
// Each character of text pressed and released as itself (not as a virtual key); nothing is dispatched.
void TypeText(const std::wstring& text);

// One mouse input at a point: a move there, with the button flags given.
void SendMouse(POINT screen, DWORD flags);
// A move to the point, a press and a release; nothing is dispatched (a loop under test takes them).
void SendClick(POINT screen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP);
// Dispatches messages until the cursor stands at the point; false when it did not get there.
bool WaitForCursor(POINT screen);
// Moves the mouse there, waits until the cursor is there and dispatches what the move queued.
bool MoveMouse(POINT screen);
// Moves the mouse there, presses and releases, then dispatches what the click queued.
void ClickAt(POINT screen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP);

// The screen point of a point in hWnd's client area.
POINT ClientToScreenPoint(HWND hWnd, int x, int y);

} // namespace lqtest
