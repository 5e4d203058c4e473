// Drives modal dialogs that a call under test opens on this thread: each time a dialog window becomes active, a
// handler decides what the user does there (typing by WM_SETTEXT, clicks posted as the button's own command).
// Message boxes are recorded by their text and answered at once. A dialog shown without being activated (a
// property sheet made while its owner is hidden) is found by a thread timer that every modal loop dispatches.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lqtest {

class ModalDriver
{
public:
    // The dialog, its caption and how many times this window became active before (0 the first time).
    using Handler = std::function<void(HWND hDlg, const std::wstring& caption, int nActivation)>;

    explicit ModalDriver(Handler handler) : m_handler(std::move(handler))
    {
        s_current = this;
        m_hook = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
        m_timer = ::SetTimer(nullptr, 0, 50, Poll);
    }
    ~ModalDriver()
    {
        ::KillTimer(nullptr, m_timer);
        ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    std::vector<std::wstring> m_messages; // texts of the message boxes, in order
    std::vector<std::wstring> m_captions; // captions of the dialogs as they became active
    int m_nMessageBoxAnswer = IDOK;

    static void SetText(HWND hDlg, int nID, const wchar_t* text)
    {
        ::SendMessageW(::GetDlgItem(hDlg, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    static void Click(HWND hDlg, int nID)
    {
        ::PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, nID)));
    }
    static std::wstring Text(HWND hDlg, int nID)
    {
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(hDlg, nID, text, 1024);
        return text;
    }
    static bool Checked(HWND hDlg, int nID) { return ::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED; }

private:
    static BOOL CALLBACK FindShown(HWND hWnd, LPARAM)
    {
        ModalDriver* self = s_current;
        if (self != nullptr && ::IsWindowVisible(hWnd) && self->m_activations.count(hWnd) == 0 &&
            self->m_answered.count(hWnd) == 0)
            self->Activated(hWnd);
        return TRUE;
    }
    static bool IsSheetWithoutPage(HWND hWnd)
    {
        return ::FindWindowExW(hWnd, nullptr, L"SysTabControl32", nullptr) != nullptr &&
               ::SendMessageW(hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) == 0;
    }
    static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD)
    {
        ::EnumThreadWindows(::GetCurrentThreadId(), FindShown, 0);
    }
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam)
    {
        ModalDriver* self = s_current;
        if (nCode == HCBT_ACTIVATE && self != nullptr) {
            self->Activated(reinterpret_cast<HWND>(wParam));
        } else if (nCode == HCBT_DESTROYWND && self != nullptr) {
            // Handles are reused: a later dialog may get the same one.
            self->m_activations.erase(reinterpret_cast<HWND>(wParam));
            self->m_answered.erase(reinterpret_cast<HWND>(wParam));
        }
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    void Activated(HWND hWnd)
    {
        ModalDriver* self = this;
        if (self != nullptr) {
            wchar_t cls[16] = {};
            ::GetClassNameW(hWnd, cls, 16);
            if (lstrcmpW(cls, L"#32770") == 0) {
                wchar_t caption[256] = {};
                ::GetWindowTextW(hWnd, caption, 256);
                // A message box's text is its static control 0xFFFF.
                if (HWND hWndText = ::GetDlgItem(hWnd, 0xFFFF)) {
                    if (self->m_answered.count(hWnd) == 0) {
                        self->m_answered[hWnd] = 1;
                        wchar_t text[1024] = {};
                        ::GetWindowTextW(hWndText, text, 1024);
                        self->m_messages.emplace_back(text);
                        ::PostMessageW(hWnd, WM_COMMAND, self->m_nMessageBoxAnswer, 0);
                    }
                } else if (caption[0] != 0 && !IsSheetWithoutPage(hWnd)) {
                    // A property sheet is activated before it has its caption and its first page: the timer
                    // finds it again once it has them.
                    const int n = self->m_activations[hWnd]++;
                    self->m_captions.emplace_back(caption);
                    self->m_handler(hWnd, caption, n);
                }
            }
        }
    }

    Handler m_handler;
    HHOOK m_hook = nullptr;
    UINT_PTR m_timer = 0;
    std::map<HWND, int> m_activations;
    std::map<HWND, int> m_answered;
    static inline ModalDriver* s_current = nullptr;
};

} // namespace lqtest
