#include "views/SkinPaintManager.h"
#include "res/resource.h"

#include "feeds/DataFiles.h"
#include "framework/core/ScopedHandles.h"
#include "framework/html/HtmlImages.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/taskpanel/XTPHtmlText.h"

#include <algorithm>

namespace {

struct SchemeColors
{
    COLORREF face;
    COLORREF faceEnd;
    COLORREF captionFace;
    COLORREF captionLightEnd;
    COLORREF captionText;
    COLORREF menuText;
    COLORREF selectionFill;
    COLORREF selectedText;
    COLORREF hotFill;
    COLORREF hotBorder;
};

// COLORREF values (0x00BBGGRR); schemes 1 and 2 draw their captions in the face colours.
const SchemeColors kSchemes[] = {
    {0x890608, 0xB50606, 0x8B0708, 0xBA040D, 0x0EE4E7, 0xE9C9C9, 0x780A0A, 0xFBE8E7, 0xFFC8C8, 0xE62828},
    {0x060689, 0x0606B5, 0x060689, 0x0606B5, 0x00DCDC, 0xC9C9E9, 0x0A0A78, 0xE7E8FB, 0xC8C8FF, 0x2828DC},
    {0x068906, 0x06B506, 0x068906, 0x06B506, 0x00DCDC, 0xC9E9C9, 0x0A780A, 0xE7FCE7, 0xC8FFC8, 0x28DC28},
};

const COLORREF kDisabledText = 0xB1B1B1;
const COLORREF kPopupFrame = 0xA8A8A8;
const int kPopupBandWidth = 25;

// The menus and toolbar commands the images stand for, in list order.
const wchar_t* const kMenuCaptions[] = {L"&Feeds", L"&Edit", L"&View", L"&Help"};
const UINT kButtonCommands[] = {ID_FEED_SUBSCRIBE, ID_MANAGE_FEEDS, ID_FEEDS_STOP, ID_FEEDS_UPDATE_NOW};

int MenuPlace(const CString& caption)
{
    for (int i = 0; i < 4; ++i)
        if (caption == kMenuCaptions[i])
            return CSkinPaintManager::kImageMenuFeeds + i;
    return -1;
}

int ButtonPlace(int nId)
{
    for (int i = 0; i < 4; ++i)
        if (static_cast<UINT>(nId) == kButtonCommands[i])
            return CSkinPaintManager::kImageSubscribe + i;
    return -1;
}

void Fill(CDC* pDC, const CRect& rc, COLORREF clr)
{
    pDC->FillSolidRect(&rc, clr);
}

void VerticalGradient(CDC* pDC, const CRect& rc, COLORREF top, COLORREF bottom, BOOL bHorz = FALSE)
{
    XTPGdiHelper()->GradientFill(pDC, &rc, top, bottom, bHorz);
}

} // namespace

// ---- Images

CSkinImage::~CSkinImage()
{
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
}

bool CSkinImage::Load(const CString& path)
{
    SIZE size{};
    HBITMAP bitmap = CHtmlImageCache::DecodeFile(path.GetString(), size);
    if (bitmap == nullptr)
        return false;
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = bitmap;
    m_size = CSize(size.cx, size.cy);
    return true;
}

void CSkinImage::Draw(HDC hDC, const CRect& rect, BYTE nOpacity) const
{
    if (m_hBitmap == nullptr || rect.IsRectEmpty())
        return;
    const CScopedCreatedDC memory(::CreateCompatibleDC(hDC));
    if (!memory)
        return;
    const CScopedSelect select(memory, m_hBitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, nOpacity, AC_SRC_ALPHA};
    ::AlphaBlend(hDC, rect.left, rect.top, rect.Width(), rect.Height(), memory, 0, 0, m_size.cx, m_size.cy, blend);
}

// ---- The manager

CSkinPaintManager::CSkinPaintManager(int nScheme, LPCWSTR lpszImageFolder)
    : m_nScheme(nScheme >= 0 && nScheme <= 2 ? nScheme : 0)
{
    const SchemeColors& scheme = kSchemes[m_nScheme];
    m_clrFace = scheme.face;
    m_clrCaptionFace = scheme.captionFace;
    m_clrCaptionLightEnd = scheme.captionLightEnd;
    m_clrCaptionText = scheme.captionText;
    m_clrWhite = 0xFFFFFF;
    m_clrDarkShade = AdjustColorHls(m_clrFace, -30, 0);
    m_clrLightShade = AdjustColorHls(m_clrFace, 40, 0);
    m_clrTitleText = 0x00DCDC;
    m_clrFaceEnd = scheme.faceEnd;
    m_clrMenuText = scheme.menuText;
    m_clrSeparator = 0x707070;
    m_clrSelectionFill = scheme.selectionFill;
    m_clrSelectedText = scheme.selectedText;
    ApplyHotColors();

    LOGFONTW lf = {};
    lf.lfHeight = -18;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = TRUE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcscpy_s(lf.lfFaceName, L"Verdana");
    m_fontTitle.CreateFontIndirect(&lf);

    LoadImages(lpszImageFolder != nullptr ? CString(lpszImageFolder) : DefaultImageFolder());
}

CSkinPaintManager::~CSkinPaintManager() = default;

CString CSkinPaintManager::DefaultImageFolder()
{
    return GetModuleFolder() + L"\\Skins\\SkinOne\\images\\";
}

void CSkinPaintManager::ApplyHotColors()
{
    const SchemeColors& scheme = kSchemes[m_nScheme];
    // Overrides, so that a refresh of the base's metrics keeps them.
    SetColorOverride(31, scheme.hotFill);
    SetColorOverride(45, 0x000000);
    SetColorOverride(32, scheme.hotBorder);
}

void CSkinPaintManager::RefreshMetrics()
{
    CXTPThemeDefault::RefreshMetrics();
    ApplyHotColors();
}

// Every image keeps its own place: one missing file never moves another image into a button it does not show.
void CSkinPaintManager::LoadImages(const CString& folder)
{
    static const wchar_t* const kNames[kImageCount] = {L"01", L"02", L"03", L"04",  L"11",
                                                       L"12", L"13", L"14", L"min", L"cls"};
    for (int i = 0; i < kImageCount; ++i) {
        for (int list = 0; list < 2; ++list) {
            auto image = std::make_unique<CSkinImage>();
            const CString path = folder + (list == 0 ? L"button1_" : L"button_") + kNames[i] + L".png";
            if (image->Load(path))
                (list == 0 ? m_normalImages : m_selectedImages)[i] = std::move(image);
        }
    }
}

const CSkinImage* CSkinPaintManager::GetImage(int nPlace, bool bSelected) const
{
    if (nPlace < 0 || nPlace >= kImageCount)
        return nullptr;
    return (bSelected ? m_selectedImages : m_normalImages)[nPlace].get();
}

const CSkinImage* CSkinPaintManager::ImageFor(int nPlace, bool bSelected) const
{
    const CSkinImage* image = GetImage(nPlace, bSelected);
    return image != nullptr ? image : GetImage(nPlace, !bSelected);
}

// ---- Controls

CSize CSkinPaintManager::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return CXTPThemeDefault::DrawControlPopupParent(pDC, pControl, bDraw);
}

CSize CSkinPaintManager::DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    const XTPBarPosition position = pBar != nullptr ? pBar->GetPosition() : xtpBarNone;
    const bool bOnPopup = position == xtpBarPopup;
    const BOOL bEnabled = pControl->GetEnabled();
    const bool bSelected = pControl->GetSelected() != 0;
    const bool bPopuped = pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)) && pControl->GetPopuped();
    if (bDraw) {
        pDC->SetTextColor(!bEnabled                                    ? kDisabledText
                          : (bSelected || pControl->GetPressed() != 0) ? m_clrSelectedText
                                                                       : m_clrMenuText);
        pDC->SetBkMode(TRANSPARENT);
    }
    const bool bSelectedList = bEnabled && bSelected;
    const CRect rc = pControl->GetRect();

    switch (pControl->GetType()) {
    case xtpControlButton: {
        if (!bDraw)
            return CSize(32, 32);
        const int place = ButtonPlace(pControl->GetID());
        if (place < 0) {
            const CSize button = pBar != nullptr ? pBar->GetButtonSize() : CSize(16, 16);
            return CSize(button.cx + 7, button.cy + 7);
        }
        const CSkinImage* image = ImageFor(place, bSelectedList);
        if (image == nullptr)
            return CSize(32, 32);
        const CSize size = image->GetSize();
        // A disabled command's button is faded, so that it does not look as if it would act.
        if (!bOnPopup)
            image->Draw(pDC->GetSafeHdc(),
                        CRect(CPoint(rc.left + (rc.Width() - size.cx) / 2, rc.top + (rc.Height() - size.cy) / 2), size),
                        bEnabled ? 255 : 90);
        return size;
    }
    case xtpControlPopup: {
        const CString caption = pControl->GetCaption();
        if (const CSkinImage* image = ImageFor(MenuPlace(caption), bSelectedList)) {
            if (bDraw && !bOnPopup)
                image->Draw(pDC->GetSafeHdc(), rc);
            return image->GetSize();
        }
        const BOOL bVert = position == xtpBarLeft || position == xtpBarRight;
        if (bDraw && !bOnPopup && (bSelected || bPopuped))
            Fill(pDC, rc, m_clrSelectionFill);
        const CSize text = DrawControlText(pDC, caption, CRect(0, 0, 0, 0), FALSE, bVert, TRUE, FALSE);
        if (bDraw)
            DrawControlText(pDC, caption, rc, TRUE, bVert, TRUE, FALSE);
        return bVert ? CSize(text.cx + 8, text.cy + 16) : CSize(text.cx + 16, text.cy + 8);
    }
    case xtpControlButtonPopup: {
        const CSize button = pBar != nullptr ? pBar->GetButtonSize() : CSize(16, 16);
        return CSize(button.cx + 7, button.cy + 7);
    }
    default:
        return CSize(0, 0);
    }
}

// ---- Bars

void CSkinPaintManager::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    if (pBar->GetPosition() == xtpBarPopup) {
        Fill(pDC, rc, m_clrWhite);
        VerticalGradient(pDC, CRect(rc.left, rc.top, rc.left + kPopupBandWidth, rc.bottom), m_clrFace, m_clrFaceEnd,
                         TRUE);
        CXTPScopedPen pen(pDC->GetSafeHdc(), kPopupFrame);
        CXTPScopedSelect brush(pDC->GetSafeHdc(), ::GetStockObject(NULL_BRUSH));
        pDC->Rectangle(&rc);
        return;
    }
    VerticalGradient(pDC, rc, m_clrFace, m_clrFaceEnd);
}

CSize CSkinPaintManager::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (pBar->GetPosition() != xtpBarFloating)
        return CSize(0, 0);
    CRect rcBar;
    pBar->GetClientRect(&rcBar);
    CXTPScopedSelect font(pDC->GetSafeHdc(), GetSmCaptionFont()->GetSafeHandle());
    const int textHeight = pDC->GetTextExtent(CString(L"X")).cy;
    const CRect rc(3, 3, rcBar.right - 3, textHeight >= 15 ? textHeight + 3 : 18);
    if (bDraw) {
        Fill(pDC, rc, m_clrFace);
        pDC->SetTextColor(GetColor(20));
        pDC->SetBkMode(TRANSPARENT);
        CRect rcText(5, 3, rc.right - 2 * rc.Height(), rc.bottom);
        pDC->DrawText(pBar->GetTitle(), &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    return rc.Size();
}

CSize CSkinPaintManager::DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw)
{
    if (!bDraw)
        return CSize(0, 3);
    if (pBar->GetPosition() == xtpBarPopup) {
        CRect rcBar;
        pBar->GetClientRect(&rcBar);
        const int y = pControl->GetRect().top - 1;
        DrawLine(pDC, 16, y, rcBar.Width() - 14, y, m_clrSeparator);
    }
    return CSize(0, 0);
}

void CSkinPaintManager::AdjustControlRect(CXTPControl*, CRect&) {}

void CSkinPaintManager::DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText)
{
    if (nFlags & XTP_TEXTBOX_NOTEXT)
        return;
    rc.DeflateRect(2, 1);
    pDC->SetTextColor(m_clrMenuText);
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(lpszText != nullptr ? lpszText : L"", -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void CSkinPaintManager::DrawResizeGripper(CDC* pDC, CRect rc)
{
    const int w = rc.Width();
    const int h = rc.Height();
    const CPoint origin = rc.TopLeft();
    for (int i = 0; i < 4; ++i)
        DrawLine(pDC, origin.x + w - 4 - 4 * i, origin.y + h - 2, origin.x + w - 1, origin.y + h - 5 - 4 * i,
                 m_clrDarkShade);
    for (int i = 0; i < 4; ++i)
        DrawLine(pDC, origin.x + w - 5 - 4 * i, origin.y + h - 2, origin.x + w - 1, origin.y + h - 6 - 4 * i,
                 m_clrLightShade);
}

void CSkinPaintManager::FillDockBar(CDC* pDC, CWnd* pWnd)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    Fill(pDC, rc, m_clrFace);
}

void CSkinPaintManager::FillHostWindow(CDC* pDC, CWnd* pWnd)
{
    FillDockBar(pDC, pWnd);
}

// ---- The caption

void CSkinPaintManager::DrawSkinCaption(CDC* pDC, CRect rcCaption, int nHotButton, const CString& strTitle)
{
    {
        CXTPScopedSelect font(pDC->GetSafeHdc(), m_fontTitle.GetSafeHandle());
        pDC->SetTextColor(m_clrTitleText);
        pDC->SetBkMode(TRANSPARENT);
        CRect rcText(rcCaption.left + 8, rcCaption.top, rcCaption.right - 70, rcCaption.top + 25);
        pDC->DrawText(strTitle, &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP | DT_NOPREFIX);
    }
    const int width = rcCaption.Width();
    if (const CSkinImage* close = ImageFor(kImageClose, nHotButton == HTCLOSE))
        close->Draw(pDC->GetSafeHdc(), CRect(CPoint(rcCaption.left + width - 23, rcCaption.top + 3), CSize(19, 19)));
    if (const CSkinImage* minimize = ImageFor(kImageMinimize, nHotButton == HTMINBUTTON))
        minimize->Draw(pDC->GetSafeHdc(), CRect(CPoint(rcCaption.left + width - 43, rcCaption.top + 3), CSize(19, 19)));
}
