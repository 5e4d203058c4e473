// An owner-drawn push button with an icon or bitmap beside or above its text, a hot look while the mouse is over
// it, drawn by a button theme: its own, its theme manager's, or the process-wide one.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"
#include "toolkit/controls/XTButtonTheme.h"

class CXTPImageManagerIcon;
class CXTThemeManager;

class CXTButton : public CButton
{
    DECLARE_DYNAMIC(CXTButton)

public:
    CXTButton();
    ~CXTButton() override;

    // Icons of the application's resources at the given size. FALSE when one cannot be loaded.
    virtual BOOL SetIcon(CSize size, LPCTSTR lpszID, LPCTSTR lpszHotID = nullptr, BOOL bRedraw = TRUE);
    virtual BOOL SetIcon(CSize size, UINT nID, UINT nHotID = 0, BOOL bRedraw = TRUE);
    // Copies of the icons; an empty size takes the icon's own.
    virtual BOOL SetIcon(CSize size, HICON hIcon, HICON hHotIcon = nullptr, BOOL bRedraw = TRUE);
    // A 32-bit bitmap keeps its alpha; any other gets its corner colour transparent.
    virtual BOOL SetBitmap(CSize size, UINT nID, BOOL bRedraw = TRUE);
    virtual BOOL SetTextAndImagePos(CPoint ptText, CPoint ptImage, BOOL bRedraw = TRUE);
    // BS_XT_XPFLAT gives the button its own flat theme, else BS_XT_FLAT its own classic one. Answers the old flags.
    virtual DWORD SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw = TRUE);
    virtual DWORD GetXButtonStyle() const { return m_dwxStyle; }
    // The button's own manager, else the process-wide one.
    virtual CXTThemeManager* GetThemeManager() const;
    // The button owns the manager from then on; null is ignored.
    virtual void SetThemeManager(CXTThemeManager* pThemeManager);
    // The button's own theme, else its manager's button theme.
    virtual CXTButtonTheme* GetTheme() const;
    // The button owns the theme from then on; null is ignored.
    virtual void SetTheme(CXTButtonTheme* pTheme);
    virtual BOOL IsThemeValid() const { return GetTheme() != nullptr; }
    // The colour operations change the button's own theme only.
    virtual void SetStateColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText);
    virtual void SetColorFace(COLORREF clr);
    virtual COLORREF GetColorFace() const;
    virtual void SetColorLight(COLORREF clr);
    virtual void SetColorShadow(COLORREF clr);
    virtual void SetColorText(COLORREF clr);
    // Only for a theme 1 of its own: the light and shadow colours take clrFrame.
    virtual void SetXPColors(COLORREF clrFrame, COLORREF clrHot, COLORREF clrPushed);
    virtual void ToggleImage();
    // Answers the previous font.
    virtual CFont* SetFontEx(CFont* pFont);
    virtual void CleanUpGDI();
    // The window text, without single '&' characters when bStrip is set ("&&" stays).
    virtual CString GetButtonText(BOOL bStrip) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void PreSubclassWindow() override;

    int GetBorderGap() const { return m_nBorderGap; }
    void SetBorderGap(int nGap) { m_nBorderGap = nGap; }
    int GetImageGap() const { return m_nImageGap; }
    void SetImageGap(int nGap) { m_nImageGap = nGap; }
    BOOL IsHot() const { return m_bHot; }
    BOOL IsUserPosition() const { return m_bUserPosition; }
    CPoint GetTextPoint() const { return m_ptText; }
    CPoint GetImagePoint() const { return m_ptImage; }
    // Empty while the theme shows no images.
    CSize GetImageSize() const;
    CXTPImageManagerIcon* GetIcon() const { return m_pIcon; }

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();

    void TrackHot();
    CXTButtonThemeV1* GetOwnThemeV1() const;

    int m_nBorderGap;
    int m_nImageGap;
    BOOL m_bHot;
    BOOL m_bUserPosition;
    BOOL m_bLBtnDown;
    BOOL m_bPainted;
    DWORD m_dwxStyle;
    CSize m_sizeImage;
    CPoint m_ptText;
    CPoint m_ptImage;
    CXTButtonTheme* m_pTheme;
    CXTThemeManager* m_pThemeManager;
    CXTPImageManagerIcon* m_pIcon;

    DECLARE_MESSAGE_MAP()
};
