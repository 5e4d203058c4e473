// How a toolkit button draws itself: the classic look (theme 0), an Office-like flat look (theme 1) and the
// Windows XP scheme's look (theme 2).
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "toolkit/base/XTPUxTheme.h"
#include "toolkit/controls/XTThemeManager.h"

class CXTButton;

// A colour that refreshing the metrics changes only until the owner sets it.
class CXTThemeColor
{
public:
    CXTThemeColor() : m_clr(0), m_bUser(FALSE) {}
    void SetStandardValue(COLORREF clr)
    {
        if (!m_bUser)
            m_clr = clr;
    }
    void SetCustomValue(COLORREF clr)
    {
        m_clr = clr;
        m_bUser = TRUE;
    }
    BOOL IsCustomValue() const { return m_bUser; }
    operator COLORREF() const { return m_clr; }

private:
    COLORREF m_clr;
    BOOL m_bUser;
};

// Button style flags (CXTButton::SetXButtonStyle).
#define BS_XT_FLAT 0x0001
#define BS_XT_SEMIFLAT 0x0002
#define BS_XT_TWOROWS 0x0004
#define BS_XT_SHOWFOCUS 0x0010
#define BS_XT_HILITEPRESSED 0x0020
#define BS_XT_XPFLAT 0x0040
#define BS_XT_WINXP_COMPAT 0x1000

class CXTButtonTheme
{
public:
    CXTButtonTheme();
    virtual ~CXTButtonTheme() = default;
    CXTButtonTheme(const CXTButtonTheme&) = delete;
    CXTButtonTheme& operator=(const CXTButtonTheme&) = delete;

    virtual void SetThemeId(XTControlTheme nThemeId) { m_nThemeId = nThemeId; }
    virtual XTControlTheme GetThemeId() const { return m_nThemeId; }
    virtual BOOL IsHotTracking(CXTButton* pButton);
    // The button asks for the platform's visual style, and it is ready.
    virtual BOOL IsVisualStyle(CXTButton* pButton);
    virtual BOOL GetShowImage() const { return m_bShowImage; }
    virtual void SetShowImage(BOOL bShowImage) { m_bShowImage = bShowImage; }
    virtual void RefreshMetrics();
    // The theme's own font, else the button's.
    virtual CFont* GetThemeFont(CXTButton* pButton);
    virtual void SetThemeFont(CFont* pFont) { m_pFont = pFont; }
    virtual void SetStateColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText);
    virtual void SetColorFace(COLORREF clr) { m_crBack.SetCustomValue(clr); }
    virtual COLORREF GetColorFace() const { return m_crBack; }
    virtual void SetColorLight(COLORREF clr) { m_crBorderLight.SetCustomValue(clr); }
    virtual void SetColorShadow(COLORREF clr) { m_crBorderShadow.SetCustomValue(clr); }
    virtual void SetColorText(COLORREF clr) { m_crText.SetCustomValue(clr); }
    // The image's place when nothing else decides it: at the border gap, centred vertically.
    virtual CPoint GetDefaultPosition(const CSize& sizeImage, const CRect& rcItem, CXTButton* pButton);
    virtual CPoint GetTextPosition(UINT nState, const CRect& rcItem, const CSize& sizeText, CXTButton* pButton);
    virtual COLORREF GetTextColor(UINT nState, CXTButton* pButton);
    virtual void DrawButtonText(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton);
    virtual CPoint GetImagePosition(UINT nState, const CRect& rcItem, CXTButton* pButton);
    virtual void DrawButtonImage(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton);
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
    virtual BOOL DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
    virtual void DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
    virtual void DrawFocusRect(CDC* pDC, const CRect& rcItem, UINT nState, CXTButton* pButton);

    COLORREF GetColorText() const { return m_crText; }
    COLORREF GetColorLight() const { return m_crBorderLight; }
    COLORREF GetColorShadow() const { return m_crBorderShadow; }
    COLORREF GetColorHighlight() const { return m_crBorderHilite; }
    COLORREF GetColorDarkShadow() const { return m_crBorder3DShadow; }
    COLORREF GetColorTextDisabled() const { return m_crTextDisabled; }
    CXTPUxTheme& GetVisualStyle() { return m_themeButton; }

protected:
    // The size of the button's text without mnemonics in the theme font.
    CSize MeasureText(CDC* pDC, CXTButton* pButton);

    BOOL m_bShowImage;
    BOOL m_bOffsetHiLite;
    CFont* m_pFont;
    CXTThemeColor m_crBack;
    CXTThemeColor m_crText;
    CXTThemeColor m_crTextDisabled;
    CXTThemeColor m_crBorderLight;
    CXTThemeColor m_crBorderShadow;
    CXTThemeColor m_crBorderHilite;
    CXTThemeColor m_crBorder3DShadow;
    XTControlTheme m_nThemeId;
    CXTPUxTheme m_themeButton;
};

class CXTButtonThemeV1 : public CXTButtonTheme
{
public:
    explicit CXTButtonThemeV1(BOOL bFlat = FALSE);

    virtual void SetFlat(BOOL bFlat) { m_bFlat = bFlat; }
    BOOL IsFlat() const { return m_bFlat; }
    virtual void SetColorPushed(COLORREF clr) { m_crBackPushed.SetCustomValue(clr); }
    virtual void SetColorHot(COLORREF clr) { m_crBackHilite.SetCustomValue(clr); }
    virtual void SetColorPushedText(COLORREF clr) { m_crTextPushed.SetCustomValue(clr); }
    virtual void SetColorHotText(COLORREF clr) { m_crTextHilite.SetCustomValue(clr); }
    COLORREF GetColorPushed() const { return m_crBackPushed; }
    COLORREF GetColorHot() const { return m_crBackHilite; }
    COLORREF GetColorPushedText() const { return m_crTextPushed; }
    COLORREF GetColorHotText() const { return m_crTextHilite; }

    BOOL IsHotTracking(CXTButton* pButton) override;
    void RefreshMetrics() override;
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    void DrawButtonImage(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton) override;
    BOOL DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
    void DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
    void DrawFocusRect(CDC* pDC, const CRect& rcItem, UINT nState, CXTButton* pButton) override;

    BOOL m_bFadedIcon;
    BOOL m_bShadowIcon;

protected:
    BOOL m_bFlat;
    CXTThemeColor m_crBackPushed;
    CXTThemeColor m_crBackHilite;
    CXTThemeColor m_crTextPushed;
    CXTThemeColor m_crTextHilite;
};

class CXTButtonThemeV2 : public CXTButtonThemeV1
{
public:
    explicit CXTButtonThemeV2(BOOL bFlat = FALSE);

    void RefreshMetrics() override;
    void DrawButtonImage(CDC* pDC, UINT nState, const CRect& rcItem, CXTButton* pButton) override;
};
