#include "tests/support/Input.h"

#include "tests/support/TestSupport.h"

#include <vector>

namespace lqtest {

void SendKey(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(INPUT));
}

void TapKey(WORD vk)
{
    SendKey(vk, false);
    SendKey(vk, true);
}

void PressKey(WORD vk)
{
    TapKey(vk);
    PumpPending();
}

void SendCtrlKey(WORD vk)
{
    SendKey(VK_CONTROL, false);
    TapKey(vk);
    SendKey(VK_CONTROL, true);
}

void TypeText(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t ch : text) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = ch;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    if (!inputs.empty())
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendMouse(POINT screen, DWORD flags)
{
    // Absolute coordinates are 65536ths of the primary screen, cut down to a pixel: rounded up, every pixel is
    // reached exactly (rounded to nearest, a low one lands a pixel short).
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + cx - 1) / cx);
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + cy - 1) / cy);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(INPUT));
}

void SendClick(POINT screen, DWORD down, DWORD up)
{
    SendMouse(screen, 0);
    SendMouse(screen, down);
    SendMouse(screen, up);
}

bool WaitForCursor(POINT screen)
{
    return PumpUntil([&] {
        POINT now;
        ::GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    });
}

bool MoveMouse(POINT screen)
{
    SendMouse(screen, 0);
    const bool there = WaitForCursor(screen);
    PumpPending();
    return there;
}

void ClickAt(POINT screen, DWORD down, DWORD up)
{
    MoveMouse(screen);
    SendMouse(screen, down);
    SendMouse(screen, up);
    PumpPending();
}

POINT ClientToScreenPoint(HWND hWnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

} // namespace lqtest
