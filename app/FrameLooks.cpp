#include "app/FrameLooks.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "feeds/EngineContext.h"
#include "toolkit/base/XTPImageManager.h"

namespace {

const wchar_t kBarProfileName[] = L"CommandBars";

LPCWSTR PlacementSection(int nViewStyle)
{
    return nViewStyle == 1 ? L"MainFrame" : L"MainFrameClassic";
}

// The commands' id names do not follow the themes they select: ID_THEME_OFFICE2003 (32792) selects XP Style and
// ID_THEME_XP (32791) Office 2003.
XTPPaintTheme ThemeOfCommand(UINT nID)
{
    switch (nID) {
    case ID_THEME_DEFAULT:
        return xtpThemeDefault;
    case ID_THEME_OFFICE2003:
        return xtpThemeXPStyle;
    default:
        return xtpThemeOffice2003;
    }
}

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
    m_nTheme = static_cast<int>(theApp.GetProfileInt(L"", L"Theme", xtpThemeOffice2003));
    m_nColorTheme = static_cast<int>(theApp.GetProfileInt(L"", L"ColorTheme", 0));
    if (m_nTheme == kSkinTheme && ApplySkin(m_nColorTheme))
        return;
    // Without a skin the program draws the Office 2003 theme and keeps the skin's choice for when it has one.
    const bool bSkinChosen = m_nTheme == kSkinTheme;
    SetToolkitTheme(bSkinChosen ? xtpThemeOffice2003 : m_nTheme);
    if (bSkinChosen)
        m_nTheme = kSkinTheme;
}

void CFrameLooks::SaveTheme() const
{
    theApp.WriteProfileInt(L"", L"Theme", m_nTheme);
    if (m_nTheme == kSkinTheme)
        theApp.WriteProfileInt(L"", L"ColorTheme", m_nColorTheme);
}

bool CFrameLooks::ApplySkin(int /*nColorTheme*/)
{
    return false;
}

void CFrameLooks::SetToolkitTheme(int nTheme)
{
    if (nTheme != xtpThemeDefault && nTheme != xtpThemeOffice2003 && nTheme != xtpThemeXPStyle)
        nTheme = xtpThemeOffice2003;
    CXTPPaintManager::SetTheme(nTheme);
    m_nTheme = nTheme;
    if (CXTPPaintManager* manager = CXTPPaintManager::GetCurrent())
        manager->RefreshMetrics();
    if (m_frame.GetSafeHwnd() == nullptr)
        return;
    m_frame.RecalcLayout();
    if (CXTPCommandBars* bars = m_frame.GetCommandBars())
        bars->RecalcFrameLayout();
    m_frame.SetWindowRgn(nullptr, TRUE);
    ::RedrawWindow(m_frame.GetSafeHwnd(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CFrameLooks::OnTheme(UINT nID)
{
    SetToolkitTheme(ThemeOfCommand(nID));
}

void CFrameLooks::OnUpdateTheme(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetRadio(m_nTheme == ThemeOfCommand(pCmdUI->m_nID));
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
