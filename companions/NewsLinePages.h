// The news ticker's property pages: which headlines it shows ("General"), its size and fonts ("Size") and its
// colours ("Colors"), each written to the "NewsLine" settings on OK. The Size and Colors pages preview one headline
// with each other's current choices.
#pragma once

#include <windows.h>

#include "framework/core/DateTime.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

// Reads a stored ticker font; only a value of exactly one LOGFONTW is taken.
bool ReadNewsLineFont(LPCWSTR lpszEntry, LOGFONTW& font);

namespace NewsLinePreview {

// The preview's bar inside the control: the control's width less 10 px each side, the bar's height for the size
// index, centred vertically.
RECT BarRect(const RECT& control, int nSizeIndex);
// The font heights of a size index; an index out of range takes the middle size's, as the ticker does.
void FontHeights(int nSizeIndex, int& nTitle, int& nNews);
// One sample headline drawn as the ticker draws it: background, the program's icon, "Feed Title" with the current
// date and time, and a line of news text.
void Draw(HDC hDC, const RECT& control, int nSizeIndex, HFONT hTitleFont, HFONT hNewsFont, COLORREF crBackground,
          COLORREF crTitle, COLORREF crNews);

} // namespace NewsLinePreview

class CNLGeneralProp : public CPropertyPage
{
    DECLARE_DYNAMIC(CNLGeneralProp)

public:
    CNLGeneralProp();

    // The stored filter value for a combo position and back; a value outside the list counts as the first choice.
    static int FilterToPosition(int nFilter);
    static int PositionToFilter(int nPosition);

    COleDateTimeSpan m_timeSpan;
    CComboBox m_comboFilter;
    int m_nHours = 0;
    int m_nMinutes = 0;
    int m_nItemsNumber = 20;
    int m_nAutoHide = 0;
    // Set on OK when the headlines to show changed: the frame must collect them again.
    BOOL m_bChanged = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    int m_nFilter = 0; // the filter as the page showed it
};

class CNLColorProp;

class CNLSizeProp : public CPropertyPage
{
    DECLARE_DYNAMIC(CNLSizeProp)

public:
    CNLSizeProp();

    int m_nSize = 2;
    COLORREF m_crBackground = RGB(255, 255, 255);
    COLORREF m_crNews = 0;
    COLORREF m_crTitle = 0;
    LOGFONTW m_lfTitle;
    LOGFONTW m_lfNews;
    CSliderCtrl m_slider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnOK() override;
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    DECLARE_MESSAGE_MAP()

private:
    // Gives both fonts the heights of the current size.
    void ApplySizeToFonts();
};

class CNLColorProp : public CPropertyPage
{
    DECLARE_DYNAMIC(CNLColorProp)

public:
    CNLColorProp();

    int m_nSize = 2;
    COLORREF m_crBackground = RGB(255, 255, 255);
    COLORREF m_crNews = 0;
    COLORREF m_crTitle = 0;

    // The colour dialog's style for the three buttons: the new colour also shown in hexadecimal.
    static const DWORD kColorDialogStyle;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnOK() override;
    afx_msg void OnBackground();
    afx_msg void OnFeedTitle();
    afx_msg void OnNewsTitle();
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    DECLARE_MESSAGE_MAP()

private:
    void PickColor(COLORREF& crColor);
};
