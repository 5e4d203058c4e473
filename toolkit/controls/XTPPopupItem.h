// One element of the desktop alert: a text line, a link, an icon or a button, drawn by the alert's theme.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"

class CXTPPopupWindow;

// Icon states of SetIcon and GetIcon; any other value means the normal icon.
enum XTPPopupItemIcon
{
    xtpPopupItemIconNormal = 1,
    xtpPopupItemIconSelected = 2,
    xtpPopupItemIconPressed = 4
};

class CXTPPopupItem : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPPopupItem)

public:
    // Colours of (COLORREF)-1 draw no background and no frame.
    CXTPPopupItem(LPCRECT lpRect = nullptr, LPCTSTR lpszCaption = nullptr,
                  COLORREF clrBackground = static_cast<COLORREF>(-1), COLORREF clrBorder = static_cast<COLORREF>(-1));
    ~CXTPPopupItem() override;

    virtual void Draw(CDC* pDC);
    // The item's own font once made, else the theme's.
    virtual CFont* GetFont();
    virtual void OnItemInserted() {}

    BOOL IsHot() const;
    BOOL IsPressed() const;
    // A copy of hIcon is kept; the item's previous icon of that state is destroyed.
    void SetIcon(HICON hIcon, int nState = xtpPopupItemIconNormal);
    HICON GetIcon(int nState = xtpPopupItemIconNormal) const;
    CString GetCaption() const { return m_strCaption; }
    void SetCaption(LPCTSTR lpszCaption) { m_strCaption = lpszCaption; }
    void RedrawControl();

    // Gives the item a font of its own instead of the theme's.
    BOOL SetFont(const LOGFONTW& lf);
    void SetButton(BOOL bButton) { m_bButton = bButton; }
    BOOL IsButton() const { return m_bButton; }
    void SetID(int nID) { m_nID = nID; }
    int GetID() const { return m_nID; }
    void SetHyperLink(BOOL bHyperLink) { m_bHyperLink = bHyperLink; }
    BOOL IsHyperLink() const { return m_bHyperLink; }
    void SetBold(BOOL bBold) { m_bBold = bBold; }
    BOOL IsBold() const { return m_bBold; }
    void SetTextAlignment(UINT nFormat) { m_nTextFormat = nFormat; }
    UINT GetTextAlignment() const { return m_nTextFormat; }
    // (COLORREF)-1 takes the theme's text colour.
    void SetTextColor(COLORREF clrText) { m_clrText = clrText; }
    COLORREF GetTextColor() const { return m_clrText; }
    COLORREF GetBackgroundColor() const { return m_clrBackground; }
    COLORREF GetBorderColor() const { return m_clrBorder; }
    void SetIconOffset(CPoint ptOffset) { m_ptIconOffset = ptOffset; }
    CPoint GetIconOffset() const { return m_ptIconOffset; }
    CRect GetRect() const { return m_rcItem; }
    void SetRect(const RECT& rect) { m_rcItem = rect; }
    CXTPPopupWindow* GetPopupWindow() const { return m_pPopupWindow; }

protected:
    HICON& IconOfState(int nState);

    BOOL m_bButton;
    int m_nID;
    CRect m_rcItem;
    CXTPPopupWindow* m_pPopupWindow;
    CFont m_font;
    BOOL m_bHyperLink;
    CString m_strCaption;
    UINT m_nTextFormat;
    BOOL m_bBold;
    COLORREF m_clrText;
    COLORREF m_clrBackground;
    COLORREF m_clrBorder;
    HICON m_hIcon;
    HICON m_hIconHot;
    HICON m_hIconPressed;
    CPoint m_ptIconOffset;

    friend class CXTPPopupWindow;
};
