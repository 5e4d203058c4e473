// The custom colour page's two pick controls: the hue and saturation spectrum and the luminance bar, over the
// template's statics. Both keep the hue, saturation and luminance of their colour and a marker where it lies.
#pragma once

#include "toolkit/customize/XTColorStatic.h"

class CXTColorCustomCtrl : public CXTColorStatic
{
    DECLARE_DYNAMIC(CXTColorCustomCtrl)

public:
    CXTColorCustomCtrl();
    ~CXTColorCustomCtrl() override;

    // Stores the colour with its hue, saturation and luminance and repaints; with bMoveMarker the marker goes to
    // the colour's place.
    virtual void SetColor(COLORREF clr, BOOL bMoveMarker);
    COLORREF GetColor() const { return m_clrColor; }
    double GetHue() const { return m_dHue; }
    double GetSaturation() const { return m_dSat; }
    double GetLuminance() const { return m_dLum; }
    CPoint GetMarker() const { return m_ptMarker; }

    // Takes the colour at a client point (brought inside the picture) and marks it; with bNotify the parent
    // hears of it (WM_XT_COLOR_CHANGED).
    virtual void PickAt(CPoint point, BOOL bNotify) = 0;

protected:
    virtual void MoveMarkerToColor() = 0;
    BOOL PickByMouse(CPoint point) override;
    void NotifyParent();

    COLORREF m_clrColor;
    double m_dLum;
    double m_dSat;
    double m_dHue;
    CPoint m_ptMarker;
};

class CXTColorSpectrum : public CXTColorCustomCtrl
{
    DECLARE_DYNAMIC(CXTColorSpectrum)

public:
    CXTColorSpectrum();
    ~CXTColorSpectrum() override;

    // The colour of a pixel of a cx by cy spectrum: the hue grows to the right, the saturation upwards from 0 on
    // the bottom row to 1 on the top row; the luminance is one half.
    static COLORREF ColorAt(int x, int y, int cx, int cy);

    // Put the marker at a hue or saturation (0 to 1) and take the colour there, without notifying.
    void SetHue(double dHue);
    void SetSaturation(double dSat);

    void PickAt(CPoint point, BOOL bNotify) override;
    // The spectrum and the marker's cross: white while the control has the focus, black otherwise.
    void Draw(CDC* pDC) override;

protected:
    void MoveMarkerToColor() override;
    BOOL OnArrowKey(UINT nChar) override;
    void PreparePicture(const CRect& rcClient);
};

class CXTColorLuminance : public CXTColorCustomCtrl
{
    DECLARE_DYNAMIC(CXTColorLuminance)

public:
    CXTColorLuminance();
    ~CXTColorLuminance() override;

    // The bar: the client area less 4 pixels at the top and bottom, 14 pixels wide from the left edge.
    CRect GetBarRect() const;
    // The bar's rows from the top: the current hue and saturation at luminance 1 (white) down to 0 (black).
    int GetRowCount() const;
    double RowLuminance(int nRow) const;

    // Puts the marker at a luminance (0 to 1) and takes the colour there, without notifying.
    void SetLuminance(double dLum);

    // The marker's row is y in client pixels; x is not used.
    void PickAt(CPoint point, BOOL bNotify) override;
    // The bar and the triangle pointing at the marker's row: black with the focus, grey in black otherwise.
    void Draw(CDC* pDC) override;

protected:
    void MoveMarkerToColor() override;
    BOOL OnArrowKey(UINT nChar) override;
    int RowOfLuminance(double dLum) const;
};
