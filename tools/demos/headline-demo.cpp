// Shows a few headline rows and toolkit-drawn images in a window, for a screenshot
// (tools/screenshots/screenshot-headlines.sh). Writes the file named by its argument once the window has painted, and
// closes when that file is deleted.
#include "feeds/EngineContext.h"
#include "feeds/FeedItem.h"
#include "feeds/ui/HeadlineRow.h"
#include "framework/win/Dc.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/taskpanel/XTPHtmlText.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

std::wstring g_markerPath;
CFeedItem* g_items[4];
CXTPImageManager* g_pImages;

LOGFONTW Font(LONG height, LONG weight)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    wcscpy(lf.lfFaceName, L"Tahoma");
    return lf;
}

HBITMAP MakeReadStateStrip()
{
    // Three 16 x 16 dots: unread orange, read grey, new green.
    const DWORD colours[] = {0xFFE08020, 0xFFA0A0A0, 0xFF30B040};
    std::vector<DWORD> pixels(48 * 16, 0x00FF00FF);
    for (int i = 0; i < 3; ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (std::hypot(x - 7.5, y - 7.5) < 6.0)
                    pixels[y * 48 + i * 16 + x] = colours[i] & 0xFFFFFF;
    return CXTPImageManager::CreateBitmap32(CSize(48, 16), pixels.data());
}

HBITMAP MakeAlphaBadge()
{
    std::vector<DWORD> pixels(32 * 32, 0);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5);
            if (d < 14.0) {
                const int a = d > 12.0 ? int(255 * (14.0 - d) / 2.0) : 255;
                const int r = 40 + x * 6, g = 90 + y * 4, b = 220 - x * 3;
                pixels[y * 32 + x] =
                    (DWORD(a) << 24) | (DWORD(r * a / 255) << 16) | (DWORD(g * a / 255) << 8) | DWORD(b * a / 255);
            }
        }
    }
    // The manager keeps straight (not premultiplied) colours.
    for (DWORD& px : pixels) {
        const int a = px >> 24;
        if (a > 0 && a < 255)
            px = (DWORD(a) << 24) | (DWORD(((px >> 16) & 0xFF) * 255 / a) << 16) |
                 (DWORD(((px >> 8) & 0xFF) * 255 / a) << 8) | DWORD((px & 0xFF) * 255 / a);
    }
    return CXTPImageManager::CreateBitmap32(CSize(32, 32), pixels.data());
}

void Paint(HWND hWnd)
{
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(hWnd, &ps);
    CDC dc;
    dc.Attach(hDC);
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    FillRect(hDC, &rcClient, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(hDC, TRANSPARENT);

    int y = 8;
    for (CFeedItem* pItem : g_items) {
        const int height = pItem->CalcHeadlineHeight(&dc, rcClient.right - 16);
        pItem->m_rcLast = CRect(8, y, rcClient.right - 8, y + height);
        pItem->DrawHeadline(&dc, FALSE, TRUE);
        y += height + 6;
        HPEN hPen = CreatePen(PS_SOLID, 1, RGB(220, 220, 220));
        HGDIOBJ hOld = SelectObject(hDC, hPen);
        MoveToEx(hDC, 8, y - 3, nullptr);
        LineTo(hDC, rcClient.right - 8, y - 3);
        SelectObject(hDC, hOld);
        DeleteObject(hPen);
    }

    RECT rcLabel = {8, y + 4, rcClient.right - 8, y + 24};
    DrawHtmlText(&dc, L"Images: <b>normal</b>, <i>disabled</i>, <u>faded</u>, <font color=#A00000>shadow</font>", -1,
                 &rcLabel, DT_SINGLELINE);
    y += 28;
    int x = 8;
    for (UINT id : {1u, 2u}) {
        CXTPImageManagerIcon* pIcon = g_pImages->GetImage(id, 32);
        if (!pIcon)
            continue;
        CXTPImageManagerIconHandle* variants[] = {&pIcon->GetIcon(), &pIcon->GetDisabledIcon(), &pIcon->GetFadedIcon(),
                                                  &pIcon->GetShadowIcon()};
        for (CXTPImageManagerIconHandle* pHandle : variants) {
            pIcon->Draw(&dc, CPoint(x, y), *pHandle, 32, 32);
            x += 44;
        }
        x += 20;
    }
    dc.Detach();
    EndPaint(hWnd, &ps);
    if (!g_markerPath.empty()) {
        HANDLE hFile = CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(hFile);
        SetTimer(hWnd, 1, 200, nullptr);
    }
}

LRESULT CALLBACK DemoProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(hWnd);
        return 0;
    case WM_TIMER:
        if (GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
            DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    CEngineContext context;
    SetEngineContext(&context);
    context.m_lfHeadline = Font(-13, FW_BOLD);
    context.m_lfSmall = Font(-11, FW_NORMAL);
    context.m_clrDescriptionText = RGB(70, 70, 110);
    context.m_settings.nView = 2;
    context.m_ilReadStates.Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
    HBITMAP hStates = MakeReadStateStrip();
    ImageList_AddMasked(context.m_ilReadStates.GetSafeHandle(), hStates, RGB(255, 0, 255));
    DeleteObject(hStates);

    const wchar_t* titles[] = {L"Lanterns light the <b>harbour</b> festival", L"Council approves the new footbridge",
                               L"Podcast: a week of <i>quiet</i> rivers", L"Weather turns: frost expected tonight"};
    const wchar_t* texts[] = {
        L"Thousands gathered along the quay as the <font color=#B05000>paper lanterns</font> drifted out on the tide.",
        L"The bridge will link the old market to the station.",
        L"Episode 12 follows the river from its source to the sea.", L""};
    const int states[] = {FEED_STATE_NEW, FEED_STATE_UNREAD, FEED_STATE_UNREAD, FEED_STATE_READ};
    for (int i = 0; i < 4; ++i) {
        g_items[i] = new CFeedItem;
        g_items[i]->m_strTitleText = titles[i];
        g_items[i]->m_strDescriptionText = texts[i];
        g_items[i]->m_nReadState = states[i];
        g_items[i]->m_dtDate = COleDateTime(2026, 12, 9 - i, 8 + 3 * i, 15 * i, 0);
    }
    g_items[2]->m_strEnclosureUrl = L"http://127.0.0.1/podcast/episode12.mp3";
    g_items[2]->m_strEnclosureType = L"audio/mpeg";
    g_items[2]->m_nEnclosureLength = 3 * 1024 * 1024 + 100;

    g_pImages = new CXTPImageManager;
    HBITMAP hBadge = MakeAlphaBadge();
    g_pImages->SetIcon(CXTPImageManagerIconHandle(hBadge), 1);
    DeleteObject(hBadge);
    g_pImages->SetIcon(CXTPImageManagerIconHandle(LoadIconW(nullptr, IDI_INFORMATION)), 2);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DemoProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"LanternquillHeadlineDemo";
    RegisterClassW(&wc);
    HWND hWnd = CreateWindowW(wc.lpszClassName, L"Headline rows", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 460,
                              nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (hWnd && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (CFeedItem* pItem : g_items)
        delete pItem;
    delete g_pImages;
    return 0;
}
