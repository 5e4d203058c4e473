// Shows task panels in each look side by side, for a screenshot (tools/screenshots/screenshot-taskpanel.sh).
// Writes the file named by its argument once the panels have painted, and closes when that file is deleted.
#include "framework/Afx.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPUxTheme.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelThemes.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring g_markerPath;

// Four 16 x 16 pictures (ids 1 to 4): a feed badge, a folder, a star, a globe.
HBITMAP MakeIcons()
{
    const int n = 4;
    std::vector<DWORD> pixels(16 * 16 * n, 0);
    auto put = [&](int i, int x, int y, DWORD argb) { pixels[y * 16 * n + i * 16 + x] = argb; };
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double dx = x - 7.5;
            const double dy = y - 7.5;
            // Feed badge: an orange rounded square with white arcs.
            if (std::abs(dx) < 7 && std::abs(dy) < 7) {
                const double r = std::hypot(x - 3.0, y - 12.0);
                const bool arc = (r > 4.5 && r < 6.5) || (r > 8.5 && r < 10.5) || r < 2.0;
                put(0, x, y, arc ? 0xFFFFFFFF : 0xFFE8741C);
            }
            // Folder: a yellow body with a darker tab.
            if (y >= 4 && y <= 13 && x >= 1 && x <= 14)
                put(1, x, y, y == 4 || x == 1 || x == 14 || y == 13 ? 0xFFB8860B : 0xFFF4C430);
            if (y == 3 && x >= 2 && x <= 6)
                put(1, x, y, 0xFFB8860B);
            // Star.
            const double a = std::atan2(dy, dx);
            const double rr = std::hypot(dx, dy);
            if (rr < 3.5 + 3.5 * std::pow(std::abs(std::cos(2.5 * a)), 3))
                put(2, x, y, 0xFFE0B000);
            // Globe: a blue disc with green land.
            if (rr < 7.2)
                put(3, x, y, (std::sin(x * 0.9) + std::cos(y * 0.8)) > 0.6 ? 0xFF3C9A3C : 0xFF2F6FD0);
        }
    }
    return CXTPImageManager::CreateBitmap32(CSize(16 * n, 16), pixels.data());
}

class CDemoHost : public CWnd
{
public:
    std::vector<std::unique_ptr<CXTPTaskPanel>> m_panels;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            if (wParam == 1) {
                KillTimer(1);
                ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                HANDLE hFile =
                    ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                ::CloseHandle(hFile);
                SetTimer(2, 200);
            } else if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
                DestroyWindow();
            }
            return 0;
        }
        if (message == WM_DESTROY)
            ::PostQuitMessage(0);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

void Fill(CXTPTaskPanel& panel, BOOL bStates)
{
    CXTPTaskPanelGroup* pTasks = panel.AddGroup(0);
    pTasks->SetCaption(L"Feed tasks");
    pTasks->SetSpecialGroup(TRUE);
    CXTPTaskPanelGroupItem* pUpdate = pTasks->AddLinkItem(0, 1);
    pUpdate->SetCaption(L"Update all channels");
    pTasks->AddLinkItem(0, 3)->SetCaption(L"Mark everything as read");
    pTasks->AddLinkItem(0, 4)->SetCaption(L"Subscribe to a new feed from the web");

    CXTPTaskPanelGroup* pCategories = panel.AddGroup(0);
    pCategories->SetCaption(L"Categories");
    CXTPTaskPanelGroupItem* pNews = pCategories->AddLinkItem(0, 2);
    pNews->SetCaption(L"News");
    CXTPTaskPanelGroupItem* pScience = pCategories->AddLinkItem(0, 2);
    pScience->SetCaption(L"Science and technology");
    pCategories->AddLinkItem(0, 2)->SetCaption(L"Podcasts");
    pCategories->AddTextItem(L"12 channels, 348 unread items");

    CXTPTaskPanelGroup* pClosed = panel.AddGroup(0);
    pClosed->SetCaption(L"Search results");
    pClosed->AddLinkItem(0, 3)->SetCaption(L"Hidden while closed");
    pClosed->SetExpanded(FALSE);

    CXTPTaskPanelGroup* pDetails = panel.AddGroup(0);
    pDetails->SetCaption(L"Details");
    pDetails->AddTextItem(L"Last update: 09:41");

    if (bStates) {
        pScience->SetItemSelected(TRUE);
        panel.SetHotItem(pNews);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    ::OleInitialize(nullptr);

    CDemoHost host;
    LPCTSTR lpszClass =
        AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    host.CreateEx(0, lpszClass, L"Task panel looks", WS_POPUP | WS_VISIBLE, 0, 0, 1010, 560, nullptr, nullptr);

    HBITMAP hIcons = MakeIcons();
    const UINT ids[] = {1, 2, 3, 4};

    struct Look
    {
        const wchar_t* pszName;
        int nBehaviour;
    };
    const Look looks[] = {
        {L"classic", 0}, {L"explorer", 0}, {L"explorer blue", 0}, {L"rounded", 0}, {L"icons above", 1}};
    const int nWidth = 196;
    for (int i = 0; i < 5; ++i) {
        auto pPanel = std::make_unique<CXTPTaskPanel>();
        pPanel->GetImageManager()->SetIconsFromBitmap(hIcons, ids, 4, 16, 16, CXTPImageManager::xtpImageNormal, TRUE);
        switch (i) {
        case 0:
            pPanel->SetCustomTheme(new CXTPTaskPanelPaintManager());
            break;
        case 2: {
            // The blue scheme of the older visual style, which this platform does not have.
            const CXTPUxTheme::CSystemTheme blue = {TRUE, L"C:\\windows\\resources\\themes\\luna\\luna.msstyles",
                                                    L"NormalColor", L"NormalSize", 0x60000};
            CXTPUxTheme::SetSystemThemeOverride(&blue);
            pPanel->SetCustomTheme(new CXTPTaskPanelExplorerTheme());
            CXTPUxTheme::SetSystemThemeOverride(nullptr);
            break;
        }
        case 3:
            pPanel->SetCustomTheme(new CXTPTaskPanelRoundedTheme());
            break;
        case 4:
            pPanel->SetCustomTheme(new CXTPTaskPanelExplorerTheme());
            break;
        default:
            break;
        }
        pPanel->Create(WS_VISIBLE | WS_CHILD, CRect(4 + i * (nWidth + 6), 4, 4 + i * (nWidth + 6) + nWidth, 556), &host,
                       100 + i);
        pPanel->SetBehaviour(looks[i].nBehaviour);
        Fill(*pPanel, i != 4);
        if (looks[i].nBehaviour != 0)
            pPanel->GetAt(0)->SetExpanded(TRUE);
        pPanel->EnableAnimation(FALSE);
        pPanel->Reposition(FALSE);
        host.m_panels.push_back(std::move(pPanel));
    }
    ::DeleteObject(hIcons);
    host.SetTimer(1, 300);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    host.m_panels.clear();
    ::OleUninitialize();
    return 0;
}
