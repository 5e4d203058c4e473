// The podcast list's header: flat columns with etched separators, an optional image and bitmap, and centred
// blue text. The list uses the header items' images as the columns' check states.
#pragma once

#include <windows.h>

#include "framework/win/Controls.h"

class CXHeaderCtrl : public CHeaderCtrl
{
    DECLARE_DYNCREATE(CXHeaderCtrl)

public:
    CXHeaderCtrl();
    ~CXHeaderCtrl() override;

    // Colour of every column's text.
    static const COLORREF kTextColour = RGB(0, 0, 255);

    BOOL m_bDoubleBuffer = TRUE;
    int m_nSpace = 6; // between image, text and bitmap, and the text's inset
    CSize m_sizeImage;
    int m_nMargin1 = 8;
    int m_nMargin2 = 8;
    CRect m_rcLayout; // when its left is not 0, the header grows by two borders

    COLORREF m_crHighlight;
    COLORREF m_crShadow;
    COLORREF m_crFace;
    COLORREF m_crText;

    // Paints the whole header into hDC (the client rectangle at its origin).
    void PaintInto(HDC hDC);

protected:
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    afx_msg LRESULT OnSetImageList(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLayout(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ReadColours();
    // One column's face inside rc (already inset); hImages is the header's image list.
    void DrawColumn(HDC hDC, int nIndex, CRect rc, HIMAGELIST hImages);
};
