// The spectrum and the luminance bar: their pictures, markers, picks and keys.
#include "toolkit/customize/XTColorCustomCtrl.h"

#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTHelpers.h"
#include "toolkit/customize/XTColorConversion.h"
#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/customize/XTThemePropertyPage.h"

#include <algorithm>
#include <cmath>

namespace {

// The bar leaves this much of the client area free above and below it.
constexpr int kBarInset = 4;
constexpr int kBarWidth = 14;
// The bar's marker: a triangle from 17 to 26 pixels right of the client's left edge, pointing left.
constexpr int kArrowTip = 17;
constexpr int kArrowBase = 26;
constexpr int kArrowHalfHeight = 5;
// The spectrum's marker: arms of three lines from 5 to 10 pixels away from the marked pixel.
constexpr int kCrossGap = 5;
constexpr int kCrossReach = 10;

int ClampToRange(long nValue, int nCount)
{
    return static_cast<int>(std::clamp<long>(nValue, 0, std::max(nCount - 1, 0)));
}

} // namespace

IMPLEMENT_DYNAMIC(CXTColorCustomCtrl, CXTColorStatic)
IMPLEMENT_DYNAMIC(CXTColorSpectrum, CXTColorCustomCtrl)
IMPLEMENT_DYNAMIC(CXTColorLuminance, CXTColorCustomCtrl)

// ---- CXTColorCustomCtrl

CXTColorCustomCtrl::CXTColorCustomCtrl() : m_clrColor(0), m_dLum(0.0), m_dSat(0.0), m_dHue(0.0), m_ptMarker(0, 0) {}

CXTColorCustomCtrl::~CXTColorCustomCtrl() = default;

void CXTColorCustomCtrl::SetColor(COLORREF clr, BOOL bMoveMarker)
{
    m_clrColor = clr;
    RgbToHsl(clr, m_dHue, m_dSat, m_dLum);
    if (bMoveMarker)
        MoveMarkerToColor();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

BOOL CXTColorCustomCtrl::PickByMouse(CPoint point)
{
    PickAt(point, TRUE);
    return TRUE;
}

void CXTColorCustomCtrl::NotifyParent()
{
    ::SendMessageW(::GetParent(m_hWnd), WM_XT_COLOR_CHANGED, static_cast<WPARAM>(m_clrColor), 0);
}

// ---- CXTColorSpectrum

CXTColorSpectrum::CXTColorSpectrum() = default;

CXTColorSpectrum::~CXTColorSpectrum() = default;

COLORREF CXTColorSpectrum::ColorAt(int x, int y, int cx, int cy)
{
    const double dHue = cx > 0 ? static_cast<double>(x) / cx : 0.0;
    // The top row is fully saturated, so that the pure colours can be picked.
    const double dSat = cy > 1 ? static_cast<double>(cy - 1 - y) / (cy - 1) : 0.0;
    return HslToRgb(dHue, dSat, 0.5);
}

void CXTColorSpectrum::MoveMarkerToColor()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    m_ptMarker.x = ClampToRange(std::lround(m_dHue * rcClient.Width()), rcClient.Width());
    m_ptMarker.y =
        rcClient.Height() - 1 - ClampToRange(std::lround(m_dSat * (rcClient.Height() - 1)), rcClient.Height());
}

void CXTColorSpectrum::SetHue(double dHue)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    PickAt(CPoint(static_cast<int>(std::lround(dHue * rcClient.Width())), m_ptMarker.y), FALSE);
}

void CXTColorSpectrum::SetSaturation(double dSat)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    PickAt(CPoint(m_ptMarker.x, rcClient.Height() - 1 - static_cast<int>(std::lround(dSat * (rcClient.Height() - 1)))),
           FALSE);
}

void CXTColorSpectrum::PickAt(CPoint point, BOOL bNotify)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const int cx = rcClient.Width();
    const int cy = rcClient.Height();
    m_ptMarker.x = ClampToRange(point.x, cx);
    m_ptMarker.y = ClampToRange(point.y, cy);
    m_clrColor = ColorAt(m_ptMarker.x, m_ptMarker.y, cx, cy);
    m_dHue = cx > 0 ? static_cast<double>(m_ptMarker.x) / cx : 0.0;
    m_dSat = cy > 1 ? static_cast<double>(cy - 1 - m_ptMarker.y) / (cy - 1) : 0.0;
    m_dLum = 0.5;
    Invalidate(FALSE);
    if (bNotify)
        NotifyParent();
}

BOOL CXTColorSpectrum::OnArrowKey(UINT nChar)
{
    CPoint point = m_ptMarker;
    switch (nChar) {
    case VK_LEFT:
        --point.x;
        break;
    case VK_RIGHT:
        ++point.x;
        break;
    case VK_UP:
        --point.y;
        break;
    default:
        ++point.y;
        break;
    }
    PickAt(point, TRUE);
    return TRUE;
}

void CXTColorSpectrum::PreparePicture(const CRect& rcClient)
{
    if (HasPicture(rcClient))
        return;
    const int cx = std::max(rcClient.Width(), 1);
    const int cy = std::max(rcClient.Height(), 1);
    LPBYTE pBits = nullptr;
    if (CreateAlphaDIBSection(m_bmpPicture, cx, cy, &pBits)) {
        // Bottom-up rows of blue, green, red and an unused byte.
        auto* pPixel = reinterpret_cast<DWORD*>(pBits);
        for (int y = cy - 1; y >= 0; --y) {
            for (int x = 0; x < cx; ++x) {
                const COLORREF clr = ColorAt(x, y, cx, cy);
                *pPixel++ = (static_cast<DWORD>(GetRValue(clr)) << 16) | (static_cast<DWORD>(GetGValue(clr)) << 8) |
                            GetBValue(clr);
            }
        }
    }
    SelectPicture();
}

void CXTColorSpectrum::Draw(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    PreparePicture(rcClient);
    pDC->BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &m_dcPicture, 0, 0, SRCCOPY);
    const COLORREF clrCross = HasFocus() ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const int x = m_ptMarker.x;
    const int y = m_ptMarker.y;
    const int nArm = kCrossReach - kCrossGap + 1;
    pDC->FillSolidRect(x - kCrossReach, y - 1, nArm, 3, clrCross);
    pDC->FillSolidRect(x + kCrossGap, y - 1, nArm, 3, clrCross);
    pDC->FillSolidRect(x - 1, y - kCrossReach, 3, nArm, clrCross);
    pDC->FillSolidRect(x - 1, y + kCrossGap, 3, nArm, clrCross);
}

// ---- CXTColorLuminance

CXTColorLuminance::CXTColorLuminance() = default;

CXTColorLuminance::~CXTColorLuminance() = default;

CRect CXTColorLuminance::GetBarRect() const
{
    CRect rcClient;
    GetClientRect(&rcClient);
    return CRect(0, kBarInset, kBarWidth, std::max<int>(rcClient.bottom - kBarInset, kBarInset));
}

int CXTColorLuminance::GetRowCount() const
{
    return GetBarRect().Height();
}

double CXTColorLuminance::RowLuminance(int nRow) const
{
    const int nRows = GetRowCount();
    return nRows > 1 ? static_cast<double>(nRows - 1 - nRow) / (nRows - 1) : 0.0;
}

int CXTColorLuminance::RowOfLuminance(double dLum) const
{
    const int nRows = GetRowCount();
    return ClampToRange(std::lround((1.0 - dLum) * (nRows - 1)), nRows);
}

void CXTColorLuminance::MoveMarkerToColor()
{
    m_ptMarker = CPoint(0, RowOfLuminance(m_dLum));
}

void CXTColorLuminance::SetLuminance(double dLum)
{
    PickAt(CPoint(0, GetBarRect().top + RowOfLuminance(dLum)), FALSE);
}

void CXTColorLuminance::PickAt(CPoint point, BOOL bNotify)
{
    // The hue and saturation stay, also when the pick lands on black or white where the colour loses them.
    const int nRow = ClampToRange(point.y - GetBarRect().top, GetRowCount());
    m_ptMarker = CPoint(0, nRow);
    m_dLum = RowLuminance(nRow);
    m_clrColor = HslToRgb(m_dHue, m_dSat, m_dLum);
    Invalidate(FALSE);
    if (bNotify)
        NotifyParent();
}

BOOL CXTColorLuminance::OnArrowKey(UINT nChar)
{
    if (nChar != VK_UP && nChar != VK_DOWN)
        return FALSE;
    const CRect rcBar = GetBarRect();
    PickAt(CPoint(0, rcBar.top + m_ptMarker.y + (nChar == VK_UP ? -1 : 1)), TRUE);
    return TRUE;
}

void CXTColorLuminance::Draw(CDC* pDC)
{
    CXTThemePropertyPage::FillChildBackground(this, pDC);
    const CRect rcBar = GetBarRect();
    for (int nRow = 0; nRow < rcBar.Height(); ++nRow)
        pDC->FillSolidRect(rcBar.left, rcBar.top + nRow, rcBar.Width(), 1,
                           HslToRgb(m_dHue, m_dSat, RowLuminance(nRow)));

    const int y = rcBar.top + m_ptMarker.y;
    const CPoint ptTip(kArrowTip, y);
    const CPoint ptUpper(kArrowBase, y - kArrowHalfHeight);
    const CPoint ptLower(kArrowBase, y + kArrowHalfHeight);
    if (HasFocus()) {
        DrawTriangle(pDC, ptTip, ptUpper, ptLower, RGB(0, 0, 0));
        return;
    }
    CXTPScopedPen pen(pDC->GetSafeHdc(), RGB(0, 0, 0));
    CXTPScopedBrush brush(pDC->GetSafeHdc(), ::GetSysColor(COLOR_3DSHADOW));
    const POINT points[3] = {ptTip, ptUpper, ptLower};
    pDC->Polygon(points, 3);
}
