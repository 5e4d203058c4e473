// Shows command bars with their controls in every state, drawn by the default theme or by the theme and colour
// scheme its arguments name, for a screenshot (tools/screenshots/screenshot-commandbars.sh, screenshot-themes.sh).
// Writes the file named by its first argument once the window has painted, and closes when that file is deleted.
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/base/XTPColorManager.h"
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
    kIdOpen = 100,
    kIdSave,
    kIdPrint,
    kIdFind,
    kIdRefresh,
    kIdDelete,
    kIdHelp,
    kIdSplit,
    kIdMenu,
    kIdWrap,
};

// A bar laid out in rows as a docked or floating toolbar, or in a column as a popup menu.
class CDemoBar : public CXTPPopupBar
{
public:
    CDemoBar(XTPBarType type, XTPBarPosition position)
    {
        SetType(type);
        SetBarPosition(position);
    }
    void OnRecalcLayout() override
    {
        if (m_hWnd == nullptr)
            return;
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        CXTPPaintManager* pPaintManager = GetPaintManager();
        if (GetType() != xtpBarTypePopup) {
            CRect rcBorder = pPaintManager->GetBorders(this);
            // A floating bar's gripper is its caption band; a docked bar's stands at its left.
            if (GetPosition() == xtpBarFloating)
                rcBorder.top += pPaintManager->DrawGripper(&dc, this, FALSE).cy + 3;
            else if (GetShowGripper())
                rcBorder.left += pPaintManager->DrawGripper(&dc, this, FALSE).cx + 2;
            GetControls()->CalcDynamicSize(&dc, rc.Width(), LM_HORZDOCK | LM_HORZ | LM_COMMIT, rcBorder);
            return;
        }
        int y = 3;
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetBeginGroup() && i > 0)
                y += pPaintManager->DrawSeparator(&dc, this, pControl, FALSE).cy + 2;
            const int nHeight = pControl->GetSize(&dc).cy;
            pControl->SetRect(CRect(3, y, rc.right - 3, y + nHeight));
            y += nHeight;
        }
    }
    // The bar's controls keep the states the demo gives them.
    void OnUpdateCmdUI(BOOL, WPARAM) override {}
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
            dc.FillSolidRect(&rc, ::GetSysColor(COLOR_APPWORKSPACE));
            return 0;
        }
        case WM_TIMER:
            if (wParam == 1) {
                KillTimer(1);
                ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
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

CXTPControl* Add(CXTPCommandBar* pBar, XTPControlType type, int nId, LPCWSTR lpszCaption,
                 XTPButtonStyle style = xtpButtonAutomatic)
{
    CXTPControl* pControl = pBar->GetControls()->AddByType(type, nId);
    pControl->SetCaption(lpszCaption);
    pControl->SetStyle(style);
    return pControl;
}

// The states the demo shows: hot, pressed, checked, disabled and just executed.
void Hot(CXTPControl* pControl, int nSelected = xtpSelectedByMouse)
{
    pControl->SetSelected(nSelected);
}

void FillToolBar(CXTPCommandBar* pBar, XTPButtonStyle style)
{
    Add(pBar, xtpControlButton, kIdOpen, L"Normal", style);
    Hot(Add(pBar, xtpControlButton, kIdSave, L"Hot", style));
    CXTPControl* pPressed = Add(pBar, xtpControlButton, kIdPrint, L"Pressed", style);
    Hot(pPressed);
    pPressed->SetPressed(1);
    Add(pBar, xtpControlButton, kIdFind, L"Checked", style)->SetChecked(1);
    CXTPControl* pCheckedHot = Add(pBar, xtpControlButton, kIdRefresh, L"Checked hot", style);
    pCheckedHot->SetChecked(1);
    Hot(pCheckedHot);
    CXTPControl* pDisabled = Add(pBar, xtpControlButton, kIdDelete, L"Disabled", style);
    pDisabled->SetEnabled(FALSE);
    pDisabled->SetBeginGroup(TRUE);
    Add(pBar, xtpControlButton, kIdHelp, L"Executed", style)->SetPressed(2);
    CXTPControl* pSplit = Add(pBar, xtpControlSplitButtonPopup, kIdSplit, L"Split", style);
    pSplit->SetBeginGroup(TRUE);
    Add(pBar, xtpControlPopup, kIdMenu, L"Menu", style);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    CWinApp app(L"CommandBarsDemo");
    // Optional: a Windows XP colour scheme (0 none, 1 blue, 2 olive, 3 silver), read when the theme is made, and
    // a theme number.
    if (argc > 3)
        XTPColorManager()->SetLunaColorScheme(_wtoi(argv[3]));
    if (argc > 2)
        CXTPPaintManager::SetTheme(_wtoi(argv[2]));
    ::SetCursorPos(1000, 740);

    CXTPImageManager* pImages = XTPImageManager();
    SetIcon(pImages, kIdOpen, IDI_APPLICATION);
    SetIcon(pImages, kIdSave, IDI_INFORMATION);
    SetIcon(pImages, kIdPrint, IDI_WARNING);
    SetIcon(pImages, kIdFind, IDI_QUESTION);
    SetIcon(pImages, kIdRefresh, IDI_WINLOGO);
    SetIcon(pImages, kIdDelete, IDI_ERROR);
    SetIcon(pImages, kIdHelp, IDI_QUESTION);
    SetIcon(pImages, kIdSplit, IDI_INFORMATION);

    CDemoWnd wnd;
    wnd.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW)), L"Command bars", WS_POPUP | WS_VISIBLE,
                 0, 50, 640, 400, nullptr, nullptr);

    CDemoBar images(xtpBarTypeNormal, xtpBarTop);
    images.SetBarStyle(CBRS_GRIPPER);
    images.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(8, 8, 632, 38), &wnd, 1);
    FillToolBar(&images, xtpButtonAutomatic);

    CDemoBar captions(xtpBarTypeNormal, xtpBarTop);
    captions.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(8, 46, 632, 76), &wnd, 2);
    FillToolBar(&captions, xtpButtonIconAndCaption);

    CDemoBar menuBar(xtpBarTypeMenuBar, xtpBarTop);
    menuBar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(8, 84, 632, 106), &wnd, 3);
    Add(&menuBar, xtpControlPopup, 0, L"&File");
    Hot(Add(&menuBar, xtpControlPopup, 0, L"&Edit"));
    Add(&menuBar, xtpControlPopup, 0, L"&View");
    Add(&menuBar, xtpControlPopup, 0, L"&Help")->SetEnabled(FALSE);

    CDemoBar popup(xtpBarTypePopup, xtpBarPopup);
    popup.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(8, 116, 268, 392), &wnd, 4);
    Add(&popup, xtpControlButton, kIdOpen, L"&Open...\tCtrl+O");
    Hot(Add(&popup, xtpControlButton, kIdSave, L"&Save\tCtrl+S"));
    Add(&popup, xtpControlButton, kIdWrap, L"&Word Wrap")->SetChecked(1);
    CXTPControl* pCheckedHot = Add(&popup, xtpControlButton, kIdFind, L"&Find Bar");
    pCheckedHot->SetChecked(1);
    Hot(pCheckedHot);
    CXTPControl* pPrint = Add(&popup, xtpControlButton, kIdPrint, L"&Print...\tCtrl+P");
    pPrint->SetEnabled(FALSE);
    pPrint->SetBeginGroup(TRUE);
    CXTPControl* pKeyboard = Add(&popup, xtpControlButton, kIdDelete, L"&Delete (keyboard)");
    pKeyboard->SetEnabled(FALSE);
    Hot(pKeyboard, xtpSelectedByKeyboard);
    Add(&popup, xtpControlPopup, 0, L"&Recent Files")->SetBeginGroup(TRUE);
    Add(&popup, xtpControlSplitButtonPopup, kIdSplit, L"Sp&lit Item");
    Add(&popup, xtpControlButton, kIdHelp, L"Rarely used")->SetRarelyUsed(TRUE);

    CDemoBar floating(xtpBarTypeNormal, xtpBarFloating);
    floating.SetTitle(L"Floating");
    floating.SetBarStyle(CBRS_GRIPPER);
    floating.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(300, 130, 520, 190), &wnd, 5);
    Add(&floating, xtpControlButton, kIdOpen, L"Open");
    Hot(Add(&floating, xtpControlButton, kIdSave, L"Save"));
    Add(&floating, xtpControlButton, kIdFind, L"Find")->SetChecked(1);

    for (CDemoBar* pBar : {&images, &captions, &menuBar, &popup, &floating})
        pBar->OnRecalcLayout();
    wnd.SetTimer(1, 300, nullptr);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
