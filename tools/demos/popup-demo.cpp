// Opens a real popup menu under a menu bar's title, with a submenu open beside it, for a screenshot
// (tools/screenshots/screenshot-popups.sh): icons, shortcuts, a checked and a disabled item, separators, a default item
// and drop shadows. Writes the file named by its argument once the windows have painted, and closes when that file is
// deleted.
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <string>

namespace {

std::wstring g_markerPath;

enum : int
{
    kIdNew = 100,
    kIdOpen,
    kIdSave,
    kIdPrint,
    kIdWrap,
    kIdExit,
    kIdRecentOne,
    kIdRecentTwo,
    kIdRecentThree,
    kIdRecent,
    kIdRefresh,
};

// A menu bar laid out in one row.
class CDemoMenuBar : public CXTPCommandBar
{
public:
    CDemoMenuBar()
    {
        SetType(xtpBarTypeMenuBar);
        SetBarPosition(xtpBarTop);
    }
    void OnRecalcLayout() override
    {
        if (m_hWnd == nullptr)
            return;
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        GetControls()->CalcDynamicSize(&dc, rc.Width(), LM_HORZDOCK | LM_HORZ | LM_COMMIT,
                                       GetPaintManager()->GetBorders(this));
    }
};

class CDemoWnd : public CWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_PAINT: {
            CPaintDC dc(this);
            CRect rc;
            GetClientRect(&rc);
            dc.FillSolidRect(&rc, ::GetSysColor(COLOR_WINDOW));
            return 0;
        }
        case WM_TIMER:
            if (wParam == 1) {
                KillTimer(1);
                HANDLE hFile =
                    ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                ::CloseHandle(hFile);
                SetTimer(2, 200, nullptr);
            } else if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
                DestroyWindow();
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

void SetIcon(CXTPImageManager* pImages, int nId, LPCWSTR lpszIcon)
{
    HICON hIcon = static_cast<HICON>(::LoadImageW(nullptr, lpszIcon, IMAGE_ICON, 16, 16, 0));
    CXTPImageManagerIconHandle handle;
    handle.AttachIcon(hIcon);
    pImages->SetIcon(handle, static_cast<UINT>(nId), 16, 16);
}

// The demo shows the states it gives; nothing in it handles commands.
CXTPControl* Add(CXTPCommandBar* pBar, int nId, LPCWSTR lpszCaption, XTPControlType type = xtpControlButton)
{
    CXTPControl* pControl = pBar->GetControls()->AddByType(type, nId);
    pControl->SetCaption(lpszCaption);
    pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
    return pControl;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    CWinApp app(L"PopupDemo");
    ::SetCursorPos(1000, 740);
    CXTPImageManager* pImages = XTPImageManager();
    SetIcon(pImages, kIdNew, IDI_APPLICATION);
    SetIcon(pImages, kIdOpen, IDI_INFORMATION);
    SetIcon(pImages, kIdPrint, IDI_WARNING);
    SetIcon(pImages, kIdRefresh, IDI_QUESTION);

    CDemoWnd wnd;
    wnd.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW)), L"Popups", WS_POPUP | WS_VISIBLE, 0, 50,
                 560, 360, nullptr, nullptr);
    app.m_pMainWnd = &wnd;
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    pCommandBars->SetSite(&wnd);
    pCommandBars->GetCommandBarsOptions()->animationType = xtpAnimateNone;

    CDemoMenuBar menuBar;
    menuBar.SetCommandBars(pCommandBars);
    menuBar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 560, 24), &wnd, 1);
    CXTPControlPopup* pFile = static_cast<CXTPControlPopup*>(Add(&menuBar, 0, L"&File", xtpControlPopup));
    Add(&menuBar, 0, L"&View", xtpControlPopup);
    Add(&menuBar, 0, L"&Help", xtpControlPopup);

    CXTPPopupBar* pFilePopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    pFile->SetCommandBar(pFilePopup);
    Add(pFilePopup, kIdNew, L"&New Channel...\tCtrl+N")->SetDefaultItem(TRUE);
    Add(pFilePopup, kIdOpen, L"&Open...\tCtrl+O");
    Add(pFilePopup, kIdSave, L"&Save\tCtrl+S");
    CXTPControl* pPrint = Add(pFilePopup, kIdPrint, L"&Print...\tCtrl+P");
    pPrint->SetEnabled(FALSE);
    pPrint->SetBeginGroup(TRUE);
    Add(pFilePopup, kIdWrap, L"&Word Wrap")->SetChecked(1);
    Add(pFilePopup, kIdRefresh, L"&Refresh All\tF5");
    CXTPControlPopup* pRecent =
        static_cast<CXTPControlPopup*>(Add(pFilePopup, kIdRecent, L"Recent &Files", xtpControlPopup));
    pRecent->SetBeginGroup(TRUE);
    Add(pFilePopup, kIdExit, L"E&xit")->SetBeginGroup(TRUE);

    CXTPPopupBar* pRecentPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    pRecent->SetCommandBar(pRecentPopup);
    Add(pRecentPopup, kIdRecentOne, L"&1 World news");
    Add(pRecentPopup, kIdRecentTwo, L"&2 Science and technology");
    Add(pRecentPopup, kIdRecentThree, L"&3 Weather")->SetEnabled(FALSE);

    menuBar.OnRecalcLayout();
    // Open the menu and its submenu as the keyboard would: File, then Recent Files.
    menuBar.SetPopuped(pFile->GetIndex(), TRUE);
    pFilePopup->SetSelected(pRecent->GetIndex(), TRUE);
    pFilePopup->SetPopuped(pRecent->GetIndex(), TRUE);
    pRecentPopup->SetSelected(1, FALSE);

    wnd.SetTimer(1, 500, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    XTPMouseManager()->EndAllTracking();
    menuBar.DestroyWindow();
    menuBar.GetControls()->RemoveAll();
    pCommandBars->InternalRelease();
    return 0;
}
