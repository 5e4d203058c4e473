#include "app/FrameLooks.h"
#include "res/resource.h"

#include <windowsx.h>

#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "feeds/EngineContext.h"
#include "framework/core/ScopedHandles.h"
#include "toolkit/base/XTPImageManager.h"
#include "views/SkinPaintManager.h"

namespace {

const wchar_t kBarProfileName[] = L"CommandBars";

LPCWSTR PlacementSection(int nViewStyle)
{
    return nViewStyle == 1 ? L"MainFrame" : L"MainFrameClassic";
}

XTPPaintTheme ThemeOfCommand(UINT nID)
{
    switch (nID) {
    case ID_THEME_DEFAULT:
        return xtpThemeDefault;
    case ID_THEME_XP_STYLE:
        return xtpThemeXPStyle;
    default:
        return xtpThemeOffice2003;
    }
}

// The skin's colour scheme of a skin command; -1 for any other command.
int SchemeOfCommand(UINT nID)
{
    switch (nID) {
    case ID_SKIN_SCHEME_1:
        return 0;
    case ID_SKIN_SCHEME_2:
        return 1;
    case ID_SKIN_SCHEME_3:
        return 2;
    default:
        return -1;
    }
}

bool IsToolkitThemeCommand(UINT nID)
{
    return nID == ID_THEME_DEFAULT || nID == ID_THEME_OFFICE2003 || nID == ID_THEME_XP_STYLE;
}

// The skinned frame's measures.
const int kCaptionHeight = 25;
const int kRegionCorner = 11;
const int kBorderCorner = 14;
const int kInsetLeft = 3;
const int kInsetTop = 28;
const int kInsetRight = 4;
const int kInsetBottom = 4;

} // namespace

CRect InitialFramePlacement(int nViewStyle, bool bLeftArrows, int cxFull, int cyFull, int cyCaption)
{
    if (nViewStyle == 1) {
        const int width = cxFull / 4;
        const int x = bLeftArrows ? 3 * cxFull / 4 : 0;
        return CRect(x, 0, x + width, cyFull + cyCaption);
    }
    const int w = cxFull;
    const int h = cyFull - cyCaption;
    const int width = w >= 1000 ? ::MulDiv(w, 4, 5) : w;
    const int height = h >= 700 ? ::MulDiv(h, 4, 5) : h;
    const int x = width < w ? (w - width) / 2 : 0;
    const int y = height < h ? (h - height) / 2 : 0;
    return CRect(x, y, x + width, y + height);
}

CPoint SnapToWorkArea(const CRect& window, const CRect& workArea)
{
    const int kMagnet = 15;
    CPoint point = window.TopLeft();
    if (abs(window.left - workArea.left) <= kMagnet)
        point.x = workArea.left;
    else if (abs(window.right - workArea.right) <= kMagnet)
        point.x = workArea.right - window.Width();
    if (abs(window.top - workArea.top) <= kMagnet)
        point.y = workArea.top;
    else if (abs(window.bottom - workArea.bottom) <= kMagnet)
        point.y = workArea.bottom - window.Height();
    return point;
}

CRect SkinClientRect(const CRect& window)
{
    return CRect(window.left + kInsetLeft, window.top + kInsetTop, window.right - kInsetRight,
                 window.bottom - kInsetBottom);
}

int SkinCaptionButtonAt(const CRect& window, CPoint screen)
{
    if (screen.y >= window.top + kCaptionHeight)
        return 0;
    if (screen.x > window.right - 23)
        return HTCLOSE;
    if (screen.x > window.right - 44)
        return HTMINBUTTON;
    return 0;
}

LRESULT SkinHitTest(LRESULT defaultResult, const CRect& window, CPoint screen)
{
    switch (defaultResult) {
    case HTNOWHERE:
        return screen.y < window.top + kCaptionHeight ? HTCAPTION : HTNOWHERE;
    case HTSYSMENU:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
        return HTCAPTION;
    default:
        return defaultResult;
    }
}

CFrameLooks::CFrameLooks(CMainFrame& frame) : m_frame(frame) {}

// ---- The command bars

bool CFrameLooks::CreateCommandBars()
{
    if (!m_frame.InitCommandBars())
        return false;
    CXTPCommandBars* pCommandBars = m_frame.GetCommandBars();
    if (pCommandBars->SetMenu(L"Menu Bar", IDR_MAINFRAME) == nullptr)
        return false;
    // Saved layouts find the bars again by these ids, and the frame makes its own controls by them as they load.
    CXTPToolBar* pMain = pCommandBars->Add(L"Main", xtpBarTop);
    if (pMain == nullptr)
        return false;
    pMain->SetBarID(IDR_MAINFRAME);
    if (!pMain->LoadToolBar(IDR_MAINFRAME, FALSE))
        return false;
    CXTPToolBar* pCategories = pCommandBars->Add(L"Categories Selector", xtpBarTop);
    if (pCategories == nullptr)
        return false;
    pCategories->SetBarID(IDR_CATEGORIES_BAR);
    if (!pCategories->LoadToolBar(IDR_CATEGORIES_BAR, FALSE))
        return false;
    pMain->EnableDocking(0x61);
    pCategories->EnableDocking(0x61);

    static const UINT kToolbarCommands[] = {ID_FEED_SUBSCRIBE, ID_MANAGE_FEEDS,        ID_FEEDS_UPDATE_NOW,
                                            ID_FEEDS_STOP,     ID_MARK_ALL_FEEDS_READ, ID_QUICK_FILTER};
    CXTPImageManager* pImages = pCommandBars->GetImageManager();
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_NORMAL, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageNormal);
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_HOT, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageHot);
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_DISABLED, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageDisabled);
    pImages->SetIconsFromBitmap(IDB_MENU_IMAGES, kToolbarCommands, _countof(kToolbarCommands), 16, 16,
                                CXTPImageManager::xtpImageNormal);
    static const UINT kHidden[] = {57607, 57609};
    pCommandBars->HideCommands(kHidden, _countof(kHidden));
    pCommandBars->RecalcFrameLayout();
    return true;
}

void CFrameLooks::LoadBarLayout()
{
    CXTPCommandBars* pCommandBars = m_frame.GetCommandBars();
    // A large customised-bar archive goes to the data folder when the program's folder cannot be written.
    pCommandBars->SetControlsDataFolder(GetEngineContext().m_strDataFolder);
    pCommandBars->LoadOptions(kBarProfileName);
    pCommandBars->LoadBarState(kBarProfileName);
}

void CFrameLooks::SaveBarLayout()
{
    CXTPCommandBars* pCommandBars = m_frame.GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    pCommandBars->SaveOptions(kBarProfileName);
    pCommandBars->SaveBarState(kBarProfileName);
}

// ---- The theme

void CFrameLooks::ApplySavedTheme()
{
    const int nTheme = static_cast<int>(theApp.GetProfileInt(L"", L"Theme", xtpThemeOffice2003));
    const int nColorTheme = static_cast<int>(theApp.GetProfileInt(L"", L"ColorTheme", 1));
    if (nTheme == kSkinTheme)
        SetSkin(nColorTheme);
    else
        SetToolkitTheme(nTheme);
}

void CFrameLooks::SaveTheme() const
{
    theApp.WriteProfileInt(L"", L"Theme", m_nTheme);
    if (m_nTheme == kSkinTheme)
        theApp.WriteProfileInt(L"", L"ColorTheme", m_nColorTheme);
}

void CFrameLooks::SetSkin(int nColorTheme)
{
    if (nColorTheme < 0 || nColorTheme > 2)
        nColorTheme = 1;
    CXTPPaintManager::SetCustomTheme(new CSkinPaintManager(nColorTheme));
    m_nTheme = kSkinTheme;
    m_nColorTheme = nColorTheme;
    m_nHotButton = m_nPressedButton = 0;
    if (m_frame.GetSafeHwnd() == nullptr)
        return;
    // The frame's non-client area is measured again with the skin's insets.
    m_frame.SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_frame.RecalcLayout();
    if (CXTPCommandBars* bars = m_frame.GetCommandBars())
        bars->RecalcFrameLayout();
    CRect window;
    m_frame.GetWindowRect(&window);
    SetRoundRegion(window.Width(), window.Height());
    RedrawFrame(RDW_ALLCHILDREN);
}

void CFrameLooks::SetToolkitTheme(int nTheme)
{
    if (nTheme != xtpThemeDefault && nTheme != xtpThemeOffice2003 && nTheme != xtpThemeXPStyle)
        nTheme = xtpThemeOffice2003;
    const bool bWasSkin = m_nTheme == kSkinTheme;
    CXTPPaintManager::SetTheme(nTheme);
    m_nTheme = nTheme;
    m_nHotButton = m_nPressedButton = 0;
    if (CXTPPaintManager* manager = CXTPPaintManager::GetCurrent())
        manager->RefreshMetrics();
    if (m_frame.GetSafeHwnd() == nullptr)
        return;
    if (bWasSkin)
        m_frame.SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_frame.RecalcLayout();
    if (CXTPCommandBars* bars = m_frame.GetCommandBars())
        bars->RecalcFrameLayout();
    m_frame.SetWindowRgn(nullptr, TRUE);
    RedrawFrame(RDW_ALLCHILDREN);
}

void CFrameLooks::OnTheme(UINT nID)
{
    if (IsToolkitThemeCommand(nID))
        SetToolkitTheme(ThemeOfCommand(nID));
    else if (SchemeOfCommand(nID) >= 0)
        SetSkin(SchemeOfCommand(nID));
}

void CFrameLooks::OnUpdateTheme(CCmdUI* pCmdUI) const
{
    if (IsToolkitThemeCommand(pCmdUI->m_nID)) {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetRadio(m_nTheme == ThemeOfCommand(pCmdUI->m_nID));
    } else if (SchemeOfCommand(pCmdUI->m_nID) >= 0) {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetRadio(m_nTheme == kSkinTheme && m_nColorTheme == SchemeOfCommand(pCmdUI->m_nID));
    } else {
        pCmdUI->Enable(FALSE);
    }
}

// ---- The skinned frame

void CFrameLooks::RedrawFrame(UINT nExtraFlags)
{
    ::RedrawWindow(m_frame.GetSafeHwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | nExtraFlags);
}

void CFrameLooks::SetRoundRegion(int cx, int cy)
{
    // The window owns the region once it is set.
    HRGN region = ::CreateRoundRectRgn(0, 0, cx, cy, kRegionCorner, kRegionCorner);
    if (region != nullptr && m_frame.SetWindowRgn(region, TRUE) == 0)
        ::DeleteObject(region);
}

void CFrameLooks::ShowHotButton(int nButton)
{
    if (nButton == m_nHotButton)
        return;
    m_nHotButton = nButton;
    PaintSkinnedFrame();
}

void CFrameLooks::PaintSkinnedFrame()
{
    auto* pSkin = dynamic_cast<CSkinPaintManager*>(CXTPPaintManager::GetCurrent());
    HWND hWnd = m_frame.GetSafeHwnd();
    if (pSkin == nullptr || hWnd == nullptr)
        return;
    CRect window;
    ::GetWindowRect(hWnd, &window);
    const int cx = window.Width();
    const int cy = window.Height();
    if (cx <= 0 || cy <= 0)
        return;
    CRect client;
    ::GetClientRect(hWnd, &client);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    client.OffsetRect(-window.left, -window.top);

    HDC hWindowDC = ::GetWindowDC(hWnd);
    if (hWindowDC == nullptr)
        return;
    {
        CScopedRegion clip(::CreateRoundRectRgn(0, 0, cx, cy, kRegionCorner, kRegionCorner));
        CScopedRegion clientRegion(::CreateRectRgnIndirect(&client));
        if (clip && clientRegion) {
            ::CombineRgn(clip, clip, clientRegion, RGN_XOR);
            ::SelectClipRgn(hWindowDC, clip);
        }
        CScopedCreatedDC memory(::CreateCompatibleDC(hWindowDC));
        CScopedBitmap buffer(::CreateCompatibleBitmap(hWindowDC, cx, cy));
        if (memory && buffer) {
            CScopedSelect selectBuffer(memory, buffer);
            CScopedPenHandle pen(::CreatePen(PS_SOLID, 1, pSkin->m_clrDarkShade));
            CScopedBrush brush(::CreateSolidBrush(pSkin->m_clrFace));
            {
                CScopedSelect selectPen(memory, pen);
                CScopedSelect selectBrush(memory, brush);
                ::RoundRect(memory, 0, 0, cx - 1, cy - 1, kBorderCorner, kBorderCorner);
            }
            CString title;
            m_frame.GetWindowText(title);
            pSkin->DrawSkinCaption(CDC::FromHandle(memory), CRect(0, 0, cx, kCaptionHeight), m_nHotButton, title);
            ::BitBlt(hWindowDC, 0, 0, cx, cy, memory, 0, 0, SRCCOPY);
        }
        ::SelectClipRgn(hWindowDC, nullptr);
    }
    ::ReleaseDC(hWnd, hWindowDC);
}

bool CFrameLooks::OnSkinnedFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_nTheme != kSkinTheme || m_frame.GetSafeHwnd() == nullptr)
        return false;
    HWND hWnd = m_frame.GetSafeHwnd();
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    CRect window;
    ::GetWindowRect(hWnd, &window);
    switch (message) {
    case WM_NCCALCSIZE: {
        RECT* proposed =
            wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        const CRect client = SkinClientRect(CRect(*proposed));
        *proposed = client;
        *pResult = 0;
        return true;
    }
    case WM_NCHITTEST:
        *pResult = SkinHitTest(m_frame.DefWindowProc(message, wParam, lParam), window, point);
        return true;
    case WM_NCMOUSEMOVE:
        if (m_nPressedButton == 0)
            ShowHotButton(SkinCaptionButtonAt(window, point));
        if (m_nHotButton != 0) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, hWnd, 0};
            ::TrackMouseEvent(&track);
        }
        return false;
    case WM_NCMOUSELEAVE:
        m_nHotButton = 0;
        PaintSkinnedFrame();
        *pResult = 0;
        return true;
    case WM_NCLBUTTONDOWN: {
        const int button = SkinCaptionButtonAt(window, point);
        if (wParam != HTCAPTION || button == 0)
            return false;
        ::SetCapture(hWnd);
        m_nPressedButton = button;
        PaintSkinnedFrame();
        *pResult = 0;
        return true;
    }
    case WM_LBUTTONUP: {
        if (m_nPressedButton == 0)
            return false;
        const int pressed = m_nPressedButton;
        m_nPressedButton = 0;
        m_nHotButton = 0;
        PaintSkinnedFrame();
        ::ReleaseCapture();
        CPoint screen = point;
        ::ClientToScreen(hWnd, &screen);
        if (SkinCaptionButtonAt(window, screen) == pressed) {
            UINT command = SC_CLOSE;
            if (pressed == HTMINBUTTON)
                command = SC_MINIMIZE;
            else if (pressed == HTMAXBUTTON)
                command = ::IsZoomed(hWnd) ? SC_RESTORE : SC_MAXIMIZE;
            ::SendMessageW(hWnd, WM_SYSCOMMAND, command, 0);
        }
        *pResult = 0;
        return true;
    }
    case WM_CAPTURECHANGED:
        if (m_nPressedButton != 0) {
            m_nPressedButton = 0;
            PaintSkinnedFrame();
        }
        return false;
    case WM_NCACTIVATE:
        *pResult = TRUE;
        return true;
    case WM_NCPAINT:
        PaintSkinnedFrame();
        *pResult = 0;
        return true;
    case WM_SETTEXT:
        // The platform draws its own caption as the text changes: the skin's goes back over it.
        *pResult = m_frame.DefWindowProc(message, wParam, lParam);
        PaintSkinnedFrame();
        return true;
    default:
        return false;
    }
}

// ---- Placement

void CFrameLooks::PlaceBeforeCreation(CREATESTRUCT& cs) const
{
    const CReaderSettings& settings = GetEngineContext().m_settings;
    const CRect rect =
        InitialFramePlacement(settings.nViewStyle, settings.nLeftArrows != 0, ::GetSystemMetrics(SM_CXFULLSCREEN),
                              ::GetSystemMetrics(SM_CYFULLSCREEN), ::GetSystemMetrics(SM_CYCAPTION));
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    // Some platforms report a full-screen height beyond the work area: the window's bottom stays on the screen.
    CRect workArea;
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0) && cs.y + cs.cy > workArea.bottom &&
        workArea.Height() > 0)
        cs.cy = workArea.bottom - cs.y;
    if (settings.nViewStyle == 1) {
        cs.style &= ~WS_MAXIMIZEBOX;
        cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    }
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (settings.szCaption[0])
        cs.lpszName = settings.szCaption;
}

void CFrameLooks::LoadPlacement()
{
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (!theApp.GetProfileBinary(PlacementSection(m_frame.PaneSite().GetViewStyle()), L"WP", &data, &bytes))
        return;
    WINDOWPLACEMENT placement = {};
    const bool whole = bytes == sizeof(placement);
    if (whole)
        memcpy(&placement, data, sizeof(placement));
    delete[] data;
    const RECT& r = placement.rcNormalPosition;
    // A damaged or foreign value leaves the first placement; the window is shown by the application.
    if (!whole || placement.length != sizeof(placement) || r.right <= r.left || r.bottom <= r.top)
        return;
    placement.showCmd = SW_HIDE;
    m_frame.SetWindowPlacement(&placement);
}

void CFrameLooks::SavePlacement()
{
    // The notification area's helper window is not the frame's place on the screen.
    if (m_frame.TrayAndAlert().IsInTray())
        ::SetParent(m_frame.GetSafeHwnd(), nullptr);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (m_frame.GetWindowPlacement(&placement))
        theApp.WriteProfileBinary(PlacementSection(m_frame.PaneSite().GetViewStyle()), L"WP",
                                  reinterpret_cast<LPBYTE>(&placement), sizeof(placement));
}

void CFrameLooks::SnapMove(WINDOWPOS* lpwndpos)
{
    // The rounded region follows the window's size; the Part's extra pixel of width per change is left out, since
    // it made the window grow with every resize.
    if (m_nTheme == kSkinTheme && !(lpwndpos->flags & SWP_NOSIZE) && lpwndpos->cx > 0 && lpwndpos->cy > 0) {
        CRect current;
        m_frame.GetWindowRect(&current);
        if (current.Width() != lpwndpos->cx || current.Height() != lpwndpos->cy)
            SetRoundRegion(lpwndpos->cx, lpwndpos->cy);
    }
    if ((lpwndpos->flags & SWP_NOMOVE) || m_frame.TrayAndAlert().IsInTray() || m_frame.IsIconic() || m_frame.IsZoomed())
        return;
    CRect workArea;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
        return;
    CRect window(CPoint(lpwndpos->x, lpwndpos->y), CSize(lpwndpos->cx, lpwndpos->cy));
    if (lpwndpos->flags & SWP_NOSIZE) {
        CRect current;
        m_frame.GetWindowRect(&current);
        window = CRect(CPoint(lpwndpos->x, lpwndpos->y), current.Size());
    }
    const CPoint snapped = SnapToWorkArea(window, workArea);
    lpwndpos->x = snapped.x;
    lpwndpos->y = snapped.y;
}
