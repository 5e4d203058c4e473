// Shows the Button Editor with a picture in progress for tools/screenshots/screenshot-imageeditor.sh. Usage:
// imageeditor-demo <marker> [alpha]. The picture is a small house drawn with the editor's own tools (a rectangle,
// lines, a fill), red is the selected colour and the line tool is on; "alpha" starts from a 32-bit image instead.
// Writes the marker file once everything has painted, and closes when that file is deleted.
#include "framework/Afx.h"
#include "framework/FrameworkMessages.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/customize/ImageEditorResource.h"
#include "toolkit/customize/XTPImageEditorDlg.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring g_markerPath;

CWinApp g_app(L"ImageEditorDemo");

void CALLBACK CheckMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A press, a move and a release on the picture's cells, as the mouse would give them.
void Stroke(CXTPImageEditorPicture& picture, POINT from, POINT to)
{
    const CSize cell = picture.GetCellSize();
    auto At = [&](POINT pt) { return MAKELPARAM(pt.x * cell.cx + cell.cx / 2, pt.y * cell.cy + cell.cy / 2); };
    picture.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    picture.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(to));
    picture.SendMessage(WM_LBUTTONUP, 0, At(to));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    g_markerPath = argv[1];
    const bool bAlpha = argc > 2 && wcscmp(argv[2], L"alpha") == 0;

    CXTPImageEditorDlg dlg(nullptr);
    CXTPImageManagerIconHandle hStart;
    if (bAlpha) {
        // A soft blue disc fading out, in a 32-bit image.
        std::vector<DWORD> pixels(16 * 16, 0);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int d2 = (x - 11) * (x - 11) + (y - 4) * (y - 4);
                if (d2 < 16)
                    pixels[y * 16 + x] = (static_cast<DWORD>(255 - d2 * 12) << 24) | 0x2050C0;
            }
        }
        hStart.AttachBitmap(CXTPImageManager::CreateBitmap32(CSize(16, 16), pixels.data()));
        dlg.SetIcon(hStart);
    } else {
        dlg.SetSize(16, 16);
    }
    if (!dlg.CreateIndirect(dlg.m_lpDialogTemplate, nullptr))
        return 3;
    dlg.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(dlg.m_hWnd);
    Pump();

    CXTPImageEditorPicture& picture = dlg.GetPicture();
    auto Use = [&](UINT nTool) { dlg.SendMessage(WM_COMMAND, nTool, 0); };
    auto Color = [&](UINT nCell) {
        NMHDR hdr{::GetDlgItem(dlg.m_hWnd, static_cast<int>(nCell)), nCell, static_cast<UINT>(NM_CLICK)};
        dlg.SendMessage(WM_NOTIFY, nCell, reinterpret_cast<LPARAM>(&hdr));
    };
    Color(XTP_IDS_CLR_BLACK);
    Use(XTP_ID_BUTTON_RECTANGLE);
    Stroke(picture, {3, 8}, {12, 14});
    Use(XTP_ID_BUTTON_LINE);
    Stroke(picture, {2, 8}, {8, 2});
    Stroke(picture, {8, 2}, {14, 8});
    Color(XTP_IDS_CLR_YELLOW);
    Use(XTP_ID_BUTTON_FILL);
    Stroke(picture, {7, 11}, {7, 11});
    Color(XTP_IDS_CLR_DARK_BLUE);
    Use(XTP_ID_BUTTON_RECTANGLE);
    Stroke(picture, {5, 10}, {6, 11});
    Color(XTP_IDS_CLR_RED);
    Use(XTP_ID_BUTTON_LINE);
    dlg.SendMessage(WM_KICKIDLE, 0, 0);
    Pump();
    ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();

    HANDLE marker = ::CreateFileW(g_markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    ::SetTimer(nullptr, 0, 200, CheckMarker);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    dlg.DestroyWindow();
    return 0;
}
