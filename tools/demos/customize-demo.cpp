// Shows the Customize sheet over a frame with the program's menu bar and Main toolbar, for
// tools/screenshots/screenshot-customize.sh. Usage: customize-demo <marker> <page 0|1|2> [drag|menu]. "drag" starts a
// drag of the first command of the Commands page and holds it over the toolbar; "menu" opens the context menu of
// the toolbar's first button. Writes the marker file once everything has painted, and closes when it is deleted.
#include "framework/win/WinApp.h"
#include "res/resource.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeCommandsPage.h"
#include "toolkit/customize/XTPCustomizeOptionsPage.h"
#include "toolkit/customize/XTPCustomizeSheet.h"

#include <string>

namespace {

std::wstring g_markerPath;
int g_nPage = 0;
std::wstring g_strMode;
CXTPCustomizeSheet* g_pSheet = nullptr;
CXTPToolBar* g_pMain = nullptr;
int g_nTick = 0;

class CDemoFrame : public CXTPFrameWnd
{
protected:
    void OnAnyCommand(UINT) {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDemoFrame, CXTPFrameWnd)
ON_COMMAND_RANGE(100, 0xDFFF, OnAnyCommand)
END_MESSAGE_MAP()

void SendMouseAt(POINT pt, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = pt.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = pt.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    ::SendInput(1, &input, sizeof(INPUT));
}

void SendKeyTap(WORD vk)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = vk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

POINT FirstCommandPoint()
{
    CXTPCustomizeCommandsPage* pPage = g_pSheet->GetCommandsPage();
    CRect rc;
    pPage->m_lstCommands.GetItemRect(0, &rc);
    POINT pt = {rc.left + 30, rc.CenterPoint().y};
    ::ClientToScreen(pPage->m_lstCommands.m_hWnd, &pt);
    return pt;
}

POINT ToolbarPoint(int nIndex, int dx)
{
    const CRect rc = g_pMain->GetControl(nIndex)->GetRect();
    POINT pt = {rc.CenterPoint().x + dx, rc.CenterPoint().y};
    ::ClientToScreen(g_pMain->m_hWnd, &pt);
    return pt;
}

// Runs in every loop of the thread, the sheet's, the drag's and the menu's alike.
void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD)
{
    const int nTick = ++g_nTick;
    if (nTick == 1) {
        g_pSheet->SetWindowPos(nullptr, 250, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        g_pSheet->SetActivePage(g_nPage);
        if (g_nPage == 1) {
            CXTPCustomizeCommandsPage* pPage = g_pSheet->GetCommandsPage();
            pPage->m_lstCategories.SetCurSel(0);
            pPage->OnCategoriesSelectionChanged();
        }
    } else if (nTick == 3 && g_strMode == L"drag") {
        SendMouseAt(FirstCommandPoint(), 0);
    } else if (nTick == 4 && g_strMode == L"drag") {
        SendMouseAt(FirstCommandPoint(), MOUSEEVENTF_LEFTDOWN);
    } else if (nTick == 5 && g_strMode == L"drag") {
        SendMouseAt(ToolbarPoint(1, 0), 0);
    } else if (nTick == 6 && g_strMode == L"drag") {
        SendMouseAt(ToolbarPoint(1, 3), 0);
    } else if (nTick == 3 && g_strMode == L"menu") {
        SendMouseAt(ToolbarPoint(0, 0), MOUSEEVENTF_RIGHTDOWN);
    } else if (nTick == 4 && g_strMode == L"menu") {
        SendMouseAt(ToolbarPoint(0, 0), MOUSEEVENTF_RIGHTUP);
    } else if (nTick == 12) {
        ::RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    } else if (nTick == 16) {
        HANDLE hFile = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(hFile);
    } else if (nTick > 16 && ::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (nTick % 2 == 0) {
            SendKeyTap(VK_ESCAPE);
        } else if (g_pSheet->m_hWnd != nullptr) {
            g_pSheet->PressButton(PSBTN_CANCEL);
        }
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    g_markerPath = argv[1];
    g_nPage = _wtoi(argv[2]);
    if (argc > 3)
        g_strMode = argv[3];
    CWinApp app(L"CustomizeDemo");
    auto* pFrame = new CDemoFrame;
    if (!pFrame->Create(nullptr, L"Lanternquill", WS_OVERLAPPEDWINDOW, CRect(0, 0, 700, 480)))
        return 1;
    app.m_pMainWnd = pFrame;
    pFrame->InitCommandBars();
    CXTPCommandBars* pCommandBars = pFrame->GetCommandBars();
    pCommandBars->SetMenu(L"Menu Bar", IDR_MAINFRAME);
    g_pMain = pCommandBars->Add(L"Main", xtpBarTop);
    g_pMain->LoadToolBar(IDR_MAINFRAME, FALSE);
    static const UINT kToolbarCommands[] = {ID_FEED_SUBSCRIBE, ID_MANAGE_FEEDS,        ID_FEEDS_UPDATE_NOW,
                                            ID_FEEDS_STOP,     ID_MARK_ALL_FEEDS_READ, ID_QUICK_FILTER};
    CXTPImageManager* pImages = pCommandBars->GetImageManager();
    pImages->SetIconsFromBitmap(IDB_TOOLBAR_NORMAL, kToolbarCommands, _countof(kToolbarCommands), 24, 24,
                                CXTPImageManager::xtpImageNormal);
    pImages->SetIconsFromBitmap(IDB_MENU_IMAGES, kToolbarCommands, _countof(kToolbarCommands), 16, 16,
                                CXTPImageManager::xtpImageNormal);
    pFrame->ShowWindow(SW_SHOW);
    pCommandBars->RecalcFrameLayout();
    pFrame->UpdateWindow();

    CXTPCustomizeSheet sheet(pCommandBars);
    CXTPCustomizeOptionsPage options(&sheet);
    sheet.AddPage(&options);
    CXTPCustomizeCommandsPage* pCommands = sheet.GetCommandsPage();
    pCommands->AddCategories(IDR_MAINFRAME, FALSE);
    pCommands->InsertAllCommandsCategory(XTP_IDS_ALLCOMMANDS, -1);
    pCommands->InsertBuiltInMenus(IDR_MAINFRAME, XTP_IDS_BUILTINMENUS, -1);
    pCommands->InsertNewMenuCategory(XTP_IDS_NEWMENU, -1);
    g_pSheet = &sheet;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 150, Step);
    sheet.DoModal();
    ::KillTimer(nullptr, nTimer);
    g_pSheet = nullptr;
    pFrame->DestroyWindow();
    return 0;
}
