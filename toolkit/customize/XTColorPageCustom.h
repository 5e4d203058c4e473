// The colour dialog's second page: a hue and saturation spectrum, a luminance bar, and the colour as numbers
// from 0 to 255 for hue, saturation and luminance and for red, green and blue.
#pragma once

#include "toolkit/customize/XTColorCustomCtrl.h"
#include "toolkit/customize/XTThemePropertyPage.h"

class CXTColorPageCustom : public CXTThemePropertyPage
{
    DECLARE_DYNAMIC(CXTColorPageCustom)

public:
    explicit CXTColorPageCustom(CXTColorDialog* pDialog);
    ~CXTColorPageCustom() override;

    CXTColorSpectrum m_ctrlSpectrum;
    CXTColorLuminance m_ctrlLuminance;
    // Hue, saturation, luminance, red, green, blue.
    CSpinButtonCtrl m_spins[6];
    int m_nRed;
    int m_nBlue;
    int m_nGreen;
    int m_nHue;
    int m_nLum;
    int m_nSat;

    BOOL OnInitDialog() override;
    // Shows the dialog's new colour in the controls and the numbers.
    BOOL OnSetActive() override;
    // Numbers are taken as they are typed; text that is no number is simply shown again as the number it was.
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    // From the spectrum or the bar (a pick) or from the dialog (a colour to show).
    afx_msg LRESULT OnColorChanged(WPARAM wParam, LPARAM lParam);
    // A typed number: clamped to 0..255 and applied; empty text, letters and numbers too large to read are
    // refused and leave the colour as it was.
    afx_msg void OnEditChange(UINT nID);
    afx_msg void OnEditKillFocus(UINT nID);

    void SetNumbersFromColor(COLORREF clr, BOOL bRgb, BOOL bHsl);
    // Writes the numbers into the edits without taking them as typed; the caret stays at the end of a rewritten
    // edit that has the focus.
    void ShowNumbers();
    // Gives a colour to the controls that do not show it yet and to the dialog.
    void ApplyColor(COLORREF clr, BOOL bMoveSpectrum);

    BOOL m_bShowingNumbers;

    DECLARE_MESSAGE_MAP()
};
