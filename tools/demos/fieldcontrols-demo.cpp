// Shows a toolbar with a static label, an edit field, a combo box (one opened), a custom control hosting a
// progress bar and a list box control in a popup bar, for a screenshot (tools/screenshots/screenshot-fieldcontrols.sh).
// Writes the file named by its argument once the window has painted, and closes when that file is deleted.
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPControlStatic.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <commctrl.h>

#include <string>

namespace {

std::wstring g_markerPath;
// The opened combo's list: a window of its own that the main window's redraw does not reach.
HWND g_hList = nullptr;
CXTPCommandBar* g_pBar = nullptr;
int g_nOpen = -1;

class CDemoBar : public CXTPCommandBar
{
public:
    explicit CDemoBar(XTPBarPosition position)
    {
        SetBarPosition(position);
        if (position == xtpBarPopup)
            SetType(xtpBarTypePopup);
    }
    void OnRecalcLayout() override
    {
        if (m_hWnd == nullptr)
            return;
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        const DWORD dwMode =
            GetPosition() == xtpBarPopup ? (LM_POPUP | LM_COMMIT) : (LM_HORZDOCK | LM_HORZ | LM_COMMIT);
        GetControls()->CalcDynamicSize(&dc, rc.Width(), dwMode, GetPaintManager()->GetBorders(this));
    }
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
            if (wParam == 3) {
                // Opened from the running loop, as a click would.
                KillTimer(3);
                g_pBar->SetPopuped(g_nOpen);
                SetTimer(1, 300, nullptr);
            } else if (wParam == 1) {
                KillTimer(1);
                ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
                if (g_hList != nullptr)
                    ::RedrawWindow(g_hList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME | RDW_ERASE);
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

void AddStrings(HWND hList, std::initializer_list<const wchar_t*> strings)
{
    for (const wchar_t* psz : strings)
        ::SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    CWinApp app(L"FieldControlsDemo");
    ::SetCursorPos(1000, 740);

    CDemoWnd wnd;
    wnd.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW)), L"Field controls", WS_POPUP | WS_VISIBLE,
                 0, 50, 640, 300, nullptr, nullptr);

    CDemoBar bar(xtpBarTop);
    bar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(8, 8, 632, 36), &wnd, 1);
    CXTPControls* pControls = bar.GetControls();

    CXTPControlStatic* pStatic = static_cast<CXTPControlStatic*>(pControls->Add(new CXTPControlStatic, 918));
    pStatic->SetCaption(L"Filter:");
    CXTPControlEdit* pEdit = static_cast<CXTPControlEdit*>(pControls->AddByType(xtpControlEdit, 108));
    pEdit->ShowLabel(FALSE);
    pEdit->SetWidth(150);
    pEdit->SetEditText(L"weather");

    CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(pControls->AddByType(xtpControlComboBox, 200));
    pCombo->SetCaption(L"Show Categories");
    pCombo->SetLabelStyle(1);
    pCombo->SetWidth(110);
    pCombo->SetBeginGroup(TRUE);
    AddStrings(pCombo->GetListWindow(), {L"All", L"Business", L"Science", L"Sports", L"Travel"});
    pCombo->SetCurSel(1);

    CXTPControlComboBox* pEditable = static_cast<CXTPControlComboBox*>(pControls->AddByType(xtpControlComboBox, 201));
    pEditable->SetEditable(TRUE);
    pEditable->SetWidth(90);
    pEditable->SetEditText(L"Typed");

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    CWnd progress;
    progress.CreateEx(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 16), &wnd, 300);
    progress.SendMessage(PBM_SETPOS, 60);
    CXTPControlCustom* pCustom = static_cast<CXTPControlCustom*>(pControls->AddByType(xtpControlCustom, 300));
    pCustom->SetControl(&progress);
    pCustom->SetBorders(3, 3, 3, 3);
    pCustom->SetBeginGroup(TRUE);
    bar.OnRecalcLayout();

    CDemoBar popup(xtpBarPopup);
    popup.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(8, 48, 168, 200), &wnd, 2);
    CXTPControlListBox* pListBox =
        static_cast<CXTPControlListBox*>(popup.GetControls()->Add(new CXTPControlListBox, 400));
    pListBox->SetMultiplSel(TRUE);
    pListBox->SetWidth(150);
    for (const wchar_t* psz : {L"Typing \"rain\"", L"Delete feed", L"Rename group", L"Move item", L"Mark read"})
        pListBox->GetListCtrl()->AddString(psz);
    popup.OnRecalcLayout();
    // The first three steps of the undo list chosen, as the mouse would leave them.
    pListBox->GetListCtrl()->SendMessage(LB_SELITEMRANGEEX, 0, 2);

    // The named combo opened, its list under it.
    g_pBar = &bar;
    g_nOpen = pCombo->GetIndex();
    g_hList = pCombo->GetListWindow();

    wnd.SetTimer(3, 200, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    bar.EndTracking();
    pCustom->SetControl(nullptr);
    return 0;
}
