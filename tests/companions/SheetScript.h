// Drives a modal sheet, and the dialogs it opens, from a thread timer: whatever loop dispatches this thread's
// messages (the sheet's, or a dialog's it opened) runs the current step each tick until it answers true, then the
// next one. Steps post their clicks, so that no step runs inside another's modal loop.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lqtest {

class SheetScript
{
public:
    using Step = std::function<bool()>;

    explicit SheetScript(std::vector<Step> steps, int nMaxTicks = 500) : m_steps(std::move(steps)), m_nLeft(nMaxTicks)
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 20, Tick);
    }
    ~SheetScript()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    SheetScript(const SheetScript&) = delete;
    SheetScript& operator=(const SheetScript&) = delete;

    bool Done() const { return m_next == m_steps.size(); }
    size_t StepsRun() const { return m_next; }

    // A visible top-level dialog of this thread with the caption, or null.
    static HWND FindDialog(const wchar_t* caption)
    {
        struct Search
        {
            const wchar_t* caption;
            HWND found;
        } search = {caption, nullptr};
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                wchar_t text[256] = {};
                wchar_t cls[16] = {};
                ::GetWindowTextW(hWnd, text, 256);
                ::GetClassNameW(hWnd, cls, 16);
                if (::IsWindowVisible(hWnd) && lstrcmpW(cls, L"#32770") == 0 && lstrcmpW(text, s->caption) == 0) {
                    s->found = hWnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The sheet's page on show, once the sheet has one.
    static HWND CurrentPage(HWND hSheet)
    {
        return hSheet ? reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
    }
    static void PressOK(HWND hSheet) { ::PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }
    static void PressCancel(HWND hSheet) { ::PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }
    static void ClickLater(HWND hDlg, int nID) { ::PostMessageW(::GetDlgItem(hDlg, nID), BM_CLICK, 0, 0); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        SheetScript* self = s_current;
        if (!self || self->m_bRunning || self->Done())
            return;
        if (--self->m_nLeft < 0) {
            ADD_FAILURE() << "the sheet script stopped at step " << self->m_next;
            ::KillTimer(nullptr, self->m_timer);
            return;
        }
        self->m_bRunning = true;
        if (self->m_steps[self->m_next]())
            ++self->m_next;
        self->m_bRunning = false;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_nLeft;
    bool m_bRunning = false;
    UINT_PTR m_timer = 0;
    static inline SheetScript* s_current = nullptr;
};

} // namespace lqtest
