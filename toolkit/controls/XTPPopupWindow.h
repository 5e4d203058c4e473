// The desktop alert: a borderless topmost tool window that rises in a corner of the screen, stays a while and
// goes away by itself, drawing its items through a theme and telling its owner of clicks and state changes.
#pragma once

#include "framework/core/Collections.h"
#include "framework/core/Geometry.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/ToolkitMessages.h"

class CXTPPopupItem;
class CXTPPopupTheme;

// What WM_POPUP_NOTIFY tells the alert's owner (wParam).
enum XTPPopupNotify
{
    xtpPopupItemClicked = 1,
    xtpPopupStateChanged = 2
};

enum XTPPopupAnimation
{
    xtpPopupAnimationNone = 0,
    xtpPopupAnimationFade = 1,
    xtpPopupAnimationSlide = 2,
    xtpPopupAnimationUnfold = 3
};

// The desktop alert's paint themes; any other number draws the default theme and is still kept as given.
enum XTPPopupPaintTheme : int
{
    xtpPopupThemeCaption = 0,
    xtpPopupThemeFlat = 1,
    xtpPopupThemeGripper = 2,
    xtpPopupThemeBands = 3
};

enum XTPPopupState
{
    xtpPopupStateHidden = 0,
    xtpPopupStateExpanding = 1,
    xtpPopupStateShown = 2,
    xtpPopupStateCollapsing = 3
};

class CXTPPopupWindow : public CWnd
{
public:
    CXTPPopupWindow();
    ~CXTPPopupWindow() override;

    // FALSE when the window cannot be made or the alert is not hidden.
    BOOL Show(CWnd* pParent);
    void Close();

    void SetTheme(XTPPopupPaintTheme nTheme);
    XTPPopupPaintTheme GetThemeNumber() const { return m_nTheme; }
    CXTPPopupTheme* GetTheme() const { return m_pTheme; }

    // The alert owns the item from then on.
    CXTPPopupItem* AddItem(CXTPPopupItem* pItem);
    void RemoveAllItems();
    int GetItemCount() const { return static_cast<int>(m_arrItems.GetSize()); }
    CXTPPopupItem* GetItem(int nIndex) const { return m_arrItems[nIndex]; }
    // The last item whose rectangle holds the client point, or null.
    CXTPPopupItem* HitTest(CPoint point) const;
    CXTPPopupItem* GetHotItem() const { return m_pHotItem; }
    CXTPPopupItem* GetPressedItem() const { return m_pPressedItem; }
    void RedrawControl();

    int GetPopupState() const { return m_nPopupState; }
    void SetPopupAnimation(int nAnimation) { m_nAnimation = nAnimation; }
    int GetPopupAnimation() const { return m_nAnimation; }
    void SetPopupSize(CSize size) { m_szPopup = size; }
    CSize GetPopupSize() const { return m_szPopup; }
    // The bottom-right corner of the shown alert, in screen coordinates.
    void SetPopupPos(CPoint point) { m_ptPopup = point; }
    CPoint GetPopupPos() const { return m_ptPopup; }
    // The alpha while the mouse is away (255 opaque).
    void SetTransparency(int nTransparency) { m_nTransparency = nTransparency; }
    int GetTransparency() const { return m_nTransparency; }
    void SetShowDelay(UINT uDelay) { m_uShowDelay = uDelay; }
    UINT GetShowDelay() const { return m_uShowDelay; }
    void SetAnimateDelay(UINT uDelay) { m_uAnimationDelay = uDelay; }
    UINT GetAnimateDelay() const { return m_uAnimationDelay; }
    void SetStepDelay(UINT uDelay) { m_uStep = uDelay; }
    UINT GetStepDelay() const { return m_uStep; }
    void AllowMove(BOOL bAllow) { m_bAllowMove = bAllow; }
    BOOL IsMoveAllowed() const { return m_bAllowMove; }
    // Where the window is and how opaque, as the running animation has brought it.
    CRect GetCurrentRect() const { return m_stateCurrent.rcPopup; }
    int GetCurrentAlpha() const { return m_stateCurrent.nTransparency; }
    BOOL IsMouseOver() const { return m_bCapture; }

    virtual BOOL Create(CWnd* pParentWnd);
    virtual void OnClick(CXTPPopupItem* pItem);
    virtual void StartShowAnimation(BOOL bFromStart);
    virtual void StartHideAnimation();
    virtual void OnShown();
    virtual void Notify(WPARAM wParam, LPARAM lParam);

protected:
    struct POPUPSTATE
    {
        CRect rcPopup;
        int nTransparency;
    };

    // Steps the current rectangle and alpha toward the target; nSteps of 0 or less jumps there.
    void AnimationStep(int nSteps);
    void UpdatePosition(BOOL bForce, int nAlphaBefore);
    void SetLayeredAlpha(int nAlpha);
    int StepCount(UINT uAnimationDelay) const;
    void TrackMove();

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnMouseLeave();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);

    using PFNSETLAYEREDWINDOWATTRIBUTES = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

    CXTPPopupTheme* m_pTheme;
    CArray<CXTPPopupItem*, CXTPPopupItem*> m_arrItems;
    CXTPPopupItem* m_pHotItem;
    CXTPPopupItem* m_pPressedItem;
    int m_nAnimation;
    int m_nPopupState;
    CSize m_szPopup;
    CPoint m_ptPopup;
    int m_nTransparency;
    UINT m_uShowDelay;
    UINT m_uAnimationDelay;
    UINT m_uStep;
    UINT m_nStep;
    XTPPopupPaintTheme m_nTheme;
    BOOL m_bAllowMove;
    PFNSETLAYEREDWINDOWATTRIBUTES m_pfnSetLayeredWindowAttributes;
    BOOL m_bCapture;
    POPUPSTATE m_stateTarget;
    POPUPSTATE m_stateCurrent;

    DECLARE_MESSAGE_MAP()
};
