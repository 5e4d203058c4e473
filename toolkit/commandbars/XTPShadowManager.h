// Drop shadows of popups: each shadow is a top-most, click-through window of its own along the right or bottom
// edge of a popup (or of the control that opened it). With layered windows it carries an alpha ramp in the
// theme's shadow colour; without them it is a thin solid strip. The windows follow their owner through the
// toolkit's window hooks and go with it.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/XTPHookManager.h"

#include <vector>

class CXTPCommandBar;
class CXTPControl;
class CXTPShadowManager;

class CXTPShadowWnd : public CWnd, public CXTPHookManagerHookAble
{
public:
    CXTPShadowWnd(CXTPShadowManager* pManager, CXTPCommandBar* pOwner, BOOL bBottom, BOOL bForced);
    ~CXTPShadowWnd() override;

    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

    // Creates the window on first use and moves it onto rc (screen coordinates).
    BOOL Place(const CRect& rc);
    // Cuts a screen rectangle out of the window's region.
    void ExcludeRect(const CRect& rcExclude);
    BOOL IsBottom() const { return m_bBottom; }
    BOOL IsForced() const { return m_bForced; }
    CXTPCommandBar* GetOwnerBar() const { return m_pOwnerBar; }
    HWND GetOwnerWindow() const { return m_hWndOwner; }
    void SetOwnerWindow(HWND hWnd) { m_hWndOwner = hWnd; }
    void ClearOwner()
    {
        m_pOwnerBar = nullptr;
        m_hWndOwner = nullptr;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void UpdateLayeredImage(int cx, int cy);

    CXTPShadowManager* m_pManager;
    BOOL m_bBottom;
    BOOL m_bForced;
    CXTPCommandBar* m_pOwnerBar;
    HWND m_hWndOwner;
};

class CXTPShadowManager
{
public:
    // Looks up UpdateLayeredWindow in USER32 by name.
    CXTPShadowManager();
    ~CXTPShadowManager();
    CXTPShadowManager(const CXTPShadowManager&) = delete;
    CXTPShadowManager& operator=(const CXTPShadowManager&) = delete;

    // Gives a placed popup its bottom and right shadows; rcExclude is the opening control (screen coordinates).
    void SetShadow(CXTPCommandBar* pPopup, const CRect& rcExclude);
    // Gives the control that opened a popup its own shadows, owned by that popup (themes that force shadows).
    void SetControlShadow(CXTPControl* pControl);
    void RemoveShadow(CXTPCommandBar* pOwner);

    BOOL IsLayeredAvailable() const { return m_pfnUpdateLayeredWindow != nullptr; }
    // The shadow thickness: 4 with layered windows, 2 without.
    int GetShadowSize() const { return IsLayeredAvailable() ? 4 : 2; }
    // Behaves as on a platform without layered windows (FALSE) or looks the function up again (TRUE).
    void SetLayeredAvailable(BOOL bAvailable);

    // The shadow windows of an owner, in the order they were made.
    std::vector<CXTPShadowWnd*> GetShadows(const CXTPCommandBar* pOwner) const;
    int GetShadowCount() const { return static_cast<int>(m_arrShadows.size()); }

    // Fills a bottom-up 32-bit premultiplied image of a shadow strip of cx by cy pixels.
    static void BuildShadowImage(DWORD* pBits, int cx, int cy, BOOL bBottom, BOOL bForced, COLORREF clrShadow);

private:
    friend class CXTPShadowWnd;
    using PFNUPDATELAYEREDWINDOW = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                 DWORD);

    CXTPShadowWnd* CreateShadow(CXTPCommandBar* pOwner, const CRect& rc, const CRect& rcExclude, BOOL bBottom,
                                BOOL bForced);
    void FitToOthers(CXTPShadowWnd* pShadow, CRect& rc) const;
    // Takes a shadow out of the list and destroys it.
    void DestroyShadow(CXTPShadowWnd* pShadow);

    std::vector<CXTPShadowWnd*> m_arrShadows;
    PFNUPDATELAYEREDWINDOW m_pfnUpdateLayeredWindow;
};

// The process's shadow manager.
CXTPShadowManager* XTPShadowManager();
