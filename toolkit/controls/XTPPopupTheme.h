// The looks of the desktop alert: a default theme and four built-in ones (caption, flat, gripper, bands) that
// differ in colours and background; all draw the alert's items the same way.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "toolkit/base/XTPColorManager.h"

class CXTPPopupItem;

class CXTPPopupTheme
{
public:
    CXTPPopupTheme();
    virtual ~CXTPPopupTheme();
    CXTPPopupTheme(const CXTPPopupTheme&) = delete;
    CXTPPopupTheme& operator=(const CXTPPopupTheme&) = delete;

    virtual void DrawBackground(CDC* pDC, CRect rcClient);
    virtual void RefreshMetrics();

    void DrawItem(CDC* pDC, CXTPPopupItem* pItem);
    void DrawButton(CDC* pDC, CXTPPopupItem* pItem);
    CFont* GetFont() { return &m_font; }

    CXTPGradientColor m_clrBackground;
    // A first colour of (COLORREF)-1 draws no frame.
    CXTPGradientColor m_clrFrame;
    CFont m_font;
    COLORREF m_clrText;
    COLORREF m_clrButtonSelected;
    COLORREF m_clrButtonPressed;
    CXTPGradientColor m_clrButtonSelectedBorder;
    CXTPGradientColor m_clrButtonPressedBorder;
};

// Theme 0: a navy caption band over a framed body with a navy strip on its left.
class CXTPPopupThemeCaption : public CXTPPopupTheme
{
public:
    CXTPPopupThemeCaption();
    void DrawBackground(CDC* pDC, CRect rcClient) override;
    void RefreshMetrics() override;
};

// Theme 1: the caption look with the toolkit's flat colours and no inner frames.
class CXTPPopupThemeFlat : public CXTPPopupThemeCaption
{
public:
    CXTPPopupThemeFlat();
    void DrawBackground(CDC* pDC, CRect rcClient) override;
    void RefreshMetrics() override;
};

// Theme 2: a thin caption gradient with a gripper of dots, in the colours of the Windows XP scheme.
class CXTPPopupThemeGripper : public CXTPPopupThemeFlat
{
public:
    CXTPPopupThemeGripper();
    void DrawBackground(CDC* pDC, CRect rcClient) override;
    void RefreshMetrics() override;

    CXTPGradientColor m_clrGripper;
};

// Theme 3: light blue bands under double frames.
class CXTPPopupThemeBands : public CXTPPopupThemeCaption
{
public:
    CXTPPopupThemeBands();
    void DrawBackground(CDC* pDC, CRect rcClient) override;
    void RefreshMetrics() override;
};
