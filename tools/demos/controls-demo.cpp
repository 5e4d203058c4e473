// Shows the toolkit's controls for screenshots (tools/screenshots/screenshot-statusbar.sh, -alert, -buttons,
// -hyperlink, -splitter). Usage: controls-demo <statusbar|alert|buttons|hyperlink|splitter> <marker>. Writes the marker
// file once everything has painted, and closes when that file is deleted.
#include "framework/Afx.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/controls/XTButton.h"
#include "toolkit/controls/XTHyperLink.h"
#include "toolkit/controls/XTPPopupItem.h"
#include "toolkit/controls/XTPPopupWindow.h"
#include "toolkit/controls/XTSplitterWnd.h"
#include "toolkit/controls/XTStatusBar.h"

#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring g_markerPath;
constexpr UINT kProgressPane = 0xE706;
constexpr UINT kItemsPane = 0xE707;
constexpr int kIconId = 128;

CWinApp g_app(L"ControlsDemo");

void CALLBACK CheckMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

void CALLBACK WriteMarker(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(nullptr, nIDEvent);
    HANDLE hFile = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(hFile);
    ::SetTimer(nullptr, 0, 200, CheckMarker);
}

void MoveMouse(POINT pt)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = pt.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = pt.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

CFrameWnd* MakeFrame(LPCTSTR lpszTitle, const CRect& rect)
{
    auto* pFrame = new CFrameWnd;
    // A dialog's face behind the controls.
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    pFrame->Create(lpszClass, lpszTitle, WS_OVERLAPPEDWINDOW, rect);
    pFrame->ShowWindow(SW_SHOW);
    return pFrame;
}

// ---- Status bars

std::vector<std::unique_ptr<CXTStatusBar>> g_statusBars;

void ShowStatusBars()
{
    const struct
    {
        LPCTSTR lpszTitle;
        BOOL bFlat;
        int y;
    } looks[] = {{L"Status bar", FALSE, 10}, {L"Status bar, flat look", TRUE, 200}};
    for (const auto& look : looks) {
        CFrameWnd* pFrame = MakeFrame(look.lpszTitle, CRect(10, look.y, 570, look.y + 170));
        auto pStatus = std::make_unique<CXTStatusBar>();
        pStatus->Create(pFrame);
        const UINT ids[] = {ID_SEPARATOR, kItemsPane, kProgressPane};
        pStatus->SetIndicators(ids, 3);
        pStatus->SetPaneText(0, L"Updating 4 of 12 channels...");
        pStatus->SetPaneWidth(1, 90);
        pStatus->SetPaneText(1, L"37 new items");
        pStatus->SetPaneInfo(2, kProgressPane, SBPS_STRETCH, 120);
        auto* pProgress = new CProgressCtrl;
        pProgress->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), pStatus.get(), 1);
        pProgress->SetRange(0, 100);
        pProgress->SetPos(60);
        pStatus->AddControl(pProgress, kProgressPane, TRUE);
        GetToolkitGlobals()->m_bFlatLook = look.bFlat;
        pFrame->RecalcLayout();
        pStatus->RedrawWindow();
        pFrame->UpdateWindow();
        g_statusBars.push_back(std::move(pStatus));
    }
}

// ---- Desktop alerts

std::vector<std::unique_ptr<CXTPPopupWindow>> g_alerts;

void ShowAlerts()
{
    CFrameWnd* pOwner = MakeFrame(L"Alerts", CRect(0, 0, 10, 10));
    pOwner->ShowWindow(SW_HIDE);
    HICON hIcon =
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 32, 32, 0));
    HICON hClose = static_cast<HICON>(::LoadImageW(nullptr, MAKEINTRESOURCEW(32513), IMAGE_ICON, 16, 16, LR_SHARED));
    // The last one is a number outside the named themes: it draws the default look.
    const XTPPopupPaintTheme themes[] = {xtpPopupThemeCaption, xtpPopupThemeFlat, xtpPopupThemeGripper, xtpPopupThemeBands,
                                         static_cast<XTPPopupPaintTheme>(7)};
    const wchar_t* names[] = {L"Caption theme", L"Flat theme", L"Gripper theme", L"Bands theme", L"Default theme"};
    for (int i = 0; i < 5; ++i) {
        auto pAlert = std::make_unique<CXTPPopupWindow>();
        pAlert->SetTheme(themes[i]);
        auto Add = [&](const CRect& rect, LPCTSTR lpszText, bool bLink) {
            CXTPPopupItem* pItem = pAlert->AddItem(new CXTPPopupItem(&rect, lpszText));
            pItem->SetHyperLink(bLink);
            return pItem;
        };
        Add(CRect(46, 6, 270, 24), names[i], false)->SetBold(TRUE);
        Add(CRect(46, 29, 270, 47), L"You've got 3 new news messages", false);
        const wchar_t* lines[] = {L"Harbour News", L"Weather Desk"};
        const wchar_t* counts[] = {L"2", L"1"};
        for (int line = 0; line < 2; ++line) {
            const int y = 50 + 16 * line;
            Add(CRect(46, y, 250, y + 16), lines[line], false)->SetTextColor(0x004400);
            CXTPPopupItem* pCount = Add(CRect(255, y, 275, y + 16), counts[line], false);
            pCount->SetTextColor(0x004400);
            pCount->SetTextAlignment(DT_RIGHT);
        }
        CXTPPopupItem* pView = Add(CRect(46, 88, 270, 120), L"View messages...", true);
        pView->SetID(501);
        pView->SetTextColor(0xB23D00);
        pView->SetTextAlignment(DT_WORDBREAK);
        CXTPPopupItem* pIcon = Add(CRect(5, 12, 37, 44), L"", false);
        pIcon->SetIcon(hIcon);
        CXTPPopupItem* pClose = Add(CRect(262, 6, 278, 22), L"", false);
        pClose->SetIcon(hClose);
        pClose->SetButton(TRUE);
        pClose->SetID(500);
        pAlert->SetPopupSize(CSize(285, 120));
        pAlert->SetShowDelay(0);
        pAlert->SetPopupPos(CPoint(20 + 295 * (i % 3) + 285, 20 + 135 * (i / 3) + 120));
        pAlert->Show(pOwner);
        g_alerts.push_back(std::move(pAlert));
    }
    ::DestroyIcon(hIcon);
    // The gripper theme's link under the mouse, underlined.
    MoveMouse(CPoint(20 + 295 * 2 + 60, 20 + 96));
}

// ---- Buttons

std::vector<std::unique_ptr<CXTButton>> g_buttons;

void ShowButtons()
{
    CFrameWnd* pFrame = MakeFrame(L"Buttons", CRect(10, 10, 660, 330));
    XTPColorManager()->SetLunaColorScheme(xtpSystemThemeBlue);
    const struct
    {
        LPCTSTR lpszLabel;
        int nTheme;
        DWORD dwxStyle;
    } rows[] = {{L"Classic, flat", 0, BS_XT_FLAT | BS_XT_SHOWFOCUS},
                {L"Classic, raised", 0, BS_XT_SHOWFOCUS},
                {L"Office-like", 1, BS_XT_XPFLAT | BS_XT_SHOWFOCUS},
                {L"Windows XP (blue)", 2, BS_XT_SHOWFOCUS}};
    const struct
    {
        LPCTSTR lpszText;
        bool bIcon;
        DWORD dwExtra;
        bool bDisabled;
    } columns[] = {{L"&Refresh", false, 0, false},
                   {L"&Subscribe", true, 0, false},
                   {L"&Podcasts", true, BS_XT_TWOROWS, false},
                   {L"&Disabled", true, 0, true}};
    for (int row = 0; row < 4; ++row) {
        CWnd* pLabel = new CStatic;
        static_cast<CStatic*>(pLabel)->Create(rows[row].lpszLabel, WS_CHILD | WS_VISIBLE,
                                              CRect(10, 27 + 64 * row, 130, 45 + 64 * row), pFrame);
        pLabel->SetFont(&GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular]);
        for (int col = 0; col < 4; ++col) {
            auto pButton = std::make_unique<CXTButton>();
            const CRect rect(140 + 122 * col, 10 + 64 * row, 250 + 122 * col, 60 + 64 * row);
            pButton->Create(columns[col].lpszText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rect, pFrame,
                            1000 + row * 10 + col);
            pButton->SetFont(&GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular]);
            if (columns[col].bIcon)
                pButton->SetIcon(CSize(16, 16), kIconId);
            pButton->SetXButtonStyle(rows[row].dwxStyle | columns[col].dwExtra);
            if (rows[row].nTheme == 0)
                pButton->SetTheme(new CXTButtonTheme);
            else if (rows[row].nTheme == 2)
                pButton->SetTheme(new CXTButtonThemeV2(TRUE));
            if (columns[col].bDisabled)
                pButton->EnableWindow(FALSE);
            g_buttons.push_back(std::move(pButton));
        }
    }
    // The Office-like "Subscribe" under the mouse, and the keyboard on the first classic one.
    g_buttons[0]->SetFocus();
    CRect rect;
    g_buttons[9]->GetWindowRect(&rect);
    MoveMouse(rect.CenterPoint());
}

// ---- Hyperlinks

std::vector<std::unique_ptr<CXTHyperLink>> g_links;

void ShowHyperlinks()
{
    CFrameWnd* pFrame = MakeFrame(L"Hyperlinks", CRect(10, 10, 470, 260));
    const struct
    {
        LPCTSTR lpszText;
        DWORD dwAlign;
        bool bVisited;
        bool bUnderline;
    } links[] = {{L"http://www.example.com/lanternquill", SS_LEFT, false, true},
                 {L"mailto:news@example.com", SS_LEFT, true, true},
                 {L"Centred link, not underlined", SS_CENTER, false, false},
                 {L"Right-aligned link", SS_RIGHT, false, true},
                 {L"Link under the mouse", SS_LEFT, false, true}};
    for (int i = 0; i < 5; ++i) {
        // As a dialog's static with its font is subclassed.
        HWND hStatic = ::CreateWindowExW(0, L"STATIC", links[i].lpszText, WS_CHILD | WS_VISIBLE | links[i].dwAlign, 20,
                                         15 + 36 * i, 400, 20, pFrame->m_hWnd, nullptr, nullptr, nullptr);
        ::SendMessageW(
            hStatic, WM_SETFONT,
            reinterpret_cast<WPARAM>(GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular].GetSafeHandle()),
            FALSE);
        auto pLink = std::make_unique<CXTHyperLink>();
        // Tooltips show as black boxes on a display without a compositor.
        pLink->EnableToolTip(false);
        pLink->SubclassWindow(hStatic);
        pLink->SetVisited(links[i].bVisited);
        if (!links[i].bUnderline)
            pLink->SetUnderline(false);
        g_links.push_back(std::move(pLink));
    }
    CRect rect;
    g_links[4]->GetWindowRect(&rect);
    MoveMouse(CPoint(rect.left + 20, rect.CenterPoint().y));
}

// ---- Splitters

class CNamedView : public CView
{
    DECLARE_DYNCREATE(CNamedView)

public:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
        CString strName;
        strName.Format(L"Pane %d", GetDlgCtrlID() - AFX_IDW_PANE_FIRST);
        pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(strName, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};
IMPLEMENT_DYNCREATE(CNamedView, CView)

template <class TSplitter> class CSplitFrame : public CFrameWnd
{
public:
    TSplitter m_splitter;
    int m_rows = 1;
    int m_cols = 2;

    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        if (!m_splitter.CreateStatic(this, m_rows, m_cols))
            return FALSE;
        for (int row = 0; row < m_rows; ++row)
            for (int col = 0; col < m_cols; ++col)
                m_splitter.CreateView(row, col, RUNTIME_CLASS(CNamedView), CSize(160, 90), pContext);
        return TRUE;
    }
};

void ShowSplitters()
{
    auto* pEx = new CSplitFrame<CXTSplitterWndEx>;
    pEx->Create(nullptr, L"Flat-bordered splitter", WS_OVERLAPPEDWINDOW, CRect(10, 10, 410, 250));
    pEx->InitialUpdateFrame(nullptr, TRUE);

    auto* pGrid = new CSplitFrame<CXTSplitterWnd>;
    pGrid->m_rows = 2;
    pGrid->m_cols = 3;
    pGrid->Create(nullptr, L"Splitter, middle column hidden", WS_OVERLAPPEDWINDOW, CRect(420, 10, 820, 250));
    pGrid->InitialUpdateFrame(nullptr, TRUE);
    pGrid->m_splitter.HideColumn(1);

    auto* pRaised = new CSplitFrame<CXTSplitterWnd>;
    pRaised->m_rows = 2;
    pRaised->m_cols = 2;
    pRaised->Create(nullptr, L"Splitter without the flat look", WS_OVERLAPPEDWINDOW, CRect(10, 260, 410, 500));
    pRaised->InitialUpdateFrame(nullptr, TRUE);
    pRaised->m_splitter.EnableFlatLook(FALSE);
    ::RedrawWindow(pRaised->m_splitter.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    const std::wstring strMode = argv[1];
    g_markerPath = argv[2];
    if (strMode == L"statusbar")
        ShowStatusBars();
    else if (strMode == L"alert")
        ShowAlerts();
    else if (strMode == L"buttons")
        ShowButtons();
    else if (strMode == L"hyperlink")
        ShowHyperlinks();
    else if (strMode == L"splitter")
        ShowSplitters();
    else
        return 2;
    // Everything has had its first paint by then.
    ::SetTimer(nullptr, 0, 500, WriteMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (CWinThread* pThread = AfxGetThread(); pThread != nullptr && pThread->PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
