// The toolkit's colour picker: a "Colors" sheet with a honeycomb page and a spectrum page, OK and Cancel stacked
// on the right over a swatch of the new and the current colour and, optionally, the new colour in hexadecimal.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

class CXTColorPageStandard;
class CXTColorPageCustom;

class CXTColorDialog : public CPropertySheet
{
    DECLARE_DYNAMIC(CXTColorDialog)

public:
    enum
    {
        styleShowHex = 0x20,      // the read-only "Hex=RRGGBB" text under Cancel
        styleSunkenSwatch = 0x40, // the swatch in a sunken frame instead of a thin line
    };

    // The caller reads m_clrNew after IDOK; Cancel leaves the caller's colour as it was.
    CXTColorDialog(COLORREF clrNew, COLORREF clrCurrent, DWORD dwStyle = 0, CWnd* pParentWnd = nullptr);
    ~CXTColorDialog() override;

    // Stores the new colour and shows it in the swatch and the hex text; with bNotify every page that has a
    // window is told (WM_XT_COLOR_CHANGED) so that it shows it too.
    void SetNewColor(COLORREF clr, BOOL bNotify = TRUE);
    COLORREF GetColor() const { return m_clrNew; }

    CXTColorPageStandard* GetStandardPage() const { return m_pPageStandard; }
    CXTColorPageCustom* GetCustomPage() const { return m_pPageCustom; }
    // The swatch in client coordinates; its upper half shows the new colour.
    CRect GetSwatchRect() const;
    // The swatch with its frame and its "New" and "Current" labels.
    void DrawSwatch(CDC* pDC);

    // "Hex=" and the red, green and blue components as two upper-case hexadecimal digits each.
    static CString FormatHexText(COLORREF clr);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CEdit m_editHex;
    DWORD m_dwStyle;
    COLORREF m_clrNew;
    COLORREF m_clrCurrent;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    // Narrows the tab control to its pages; answers its rectangle in client coordinates.
    CRect FitTabToPages(CTabCtrl* pTab);

    CXTColorPageStandard* m_pPageStandard;
    CXTColorPageCustom* m_pPageCustom;

    DECLARE_MESSAGE_MAP()
};
