#include "app/TrayAndAlert.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "feeds/EngineContext.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/controls/XTPPopupItem.h"

namespace {

const COLORREF kNoColor = static_cast<COLORREF>(-1);
const COLORREF kChannelLineColor = RGB(0, 0x44, 0);

} // namespace

BOOL CTrayWnd::RemoveTaskbarButton(CWnd* pWnd)
{
    if (!CXTTrayIcon::RemoveTaskbarButton(pWnd))
        return FALSE;
    m_wndHiddenParent.SetWindowText(LQ_TRAY_WINDOW_NAME);
    return TRUE;
}

CTrayAndAlert::CTrayAndAlert(CMainFrame& frame) : m_frame(frame) {}

void CTrayAndAlert::Create(LPCWSTR lpszCaption)
{
    m_trayIcon.Create(lpszCaption, &m_frame, IDR_MAINFRAME, IDR_TRAY_MENU, ID_TRAY_OPEN_READER, false);
}

// ---- The notification area

void CTrayAndAlert::HideToTray()
{
    if (m_bInTray || m_frame.GetSafeHwnd() == nullptr)
        return;
    m_trayIcon.MinimizeToTray(&m_frame);
    m_bInTray = true;
}

void CTrayAndAlert::OnOpenReader()
{
    CWnd* viewer = m_frame.Companions().GetChannelViewer();
    if (m_bInTray) {
        m_trayIcon.RestoreFromTray(&m_frame);
        m_bInTray = false;
        if (m_bViewerWasVisible && viewer)
            viewer->ShowWindow(SW_SHOW);
        m_bViewerWasVisible = false;
        return;
    }
    m_bViewerWasVisible = viewer && viewer->GetSafeHwnd() && viewer->IsWindowVisible();
    if (m_bViewerWasVisible)
        viewer->ShowWindow(SW_HIDE);
    HideToTray();
}

void CTrayAndAlert::BringForward()
{
    if (m_bInTray) {
        OnOpenReader();
    } else {
        m_frame.ShowWindow(SW_RESTORE);
        m_frame.SetForegroundWindow();
    }
}

LRESULT CTrayAndAlert::OnTrayNotify(LPARAM lParam)
{
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDBLCLK:
        if (m_bInTray)
            OnOpenReader();
        else
            m_frame.SetForegroundWindow();
        return 1;
    case WM_RBUTTONUP: {
        CMenu menu;
        if (!menu.LoadMenu(IDR_TRAY_MENU))
            return 1;
        CMenu* popup = menu.GetSubMenu(0);
        if (popup) {
            ::SetMenuDefaultItem(popup->GetSafeHmenu(), ID_TRAY_OPEN_READER, FALSE);
            m_frame.SetForegroundWindow();
            CPoint point;
            ::GetCursorPos(&point);
            const HWND hWnd = m_frame.GetSafeHwnd();
            CXTPCommandBars::TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, &m_frame);
            if (::IsWindow(hWnd))
                ::PostMessageW(hWnd, WM_NULL, 0, 0);
        }
        menu.DestroyMenu();
        return 1;
    }
    default:
        return 0;
    }
}

// ---- The new-items alert

void CTrayAndAlert::AddAlertText(const CRect& rect, const CString& text, COLORREF color, UINT nAlignment)
{
    auto* item = new CXTPPopupItem(rect, text);
    item->SetHyperLink(FALSE);
    if (color != kNoColor)
        item->SetTextColor(color);
    if (nAlignment != 0)
        item->SetTextAlignment(nAlignment);
    m_wndAlert.AddItem(item);
}

// One row for each line of the engine's ("title" then a three-digit count), from y down; returns the y below them.
int CTrayAndAlert::AddChannelLines(int y)
{
    int lineHeight = 16;
    {
        CClientDC dc(&m_frame);
        lineHeight = dc.GetTextExtent(L"Ag").cy;
    }
    CStringList& lines = GetEngineContext().m_newsLabels;
    while (!lines.IsEmpty()) {
        const CString line = lines.RemoveHead();
        const int countChars = line.GetLength() < 3 ? line.GetLength() : 3;
        CString number;
        number.Format(L"%d", _wtoi(line.Right(countChars)));
        AddAlertText(CRect(46, y, 290, y + lineHeight), line.Left(line.GetLength() - countChars), kChannelLineColor);
        AddAlertText(CRect(295, y, 315, y + lineHeight), number, kChannelLineColor, DT_RIGHT);
        y += lineHeight;
    }
    return y;
}

void CTrayAndAlert::AddAlertButtons(int y)
{
    auto* link = new CXTPPopupItem(CRect(46, y + 5, 270, y + 40), L"View messages...");
    link->SetID(kAlertViewMessages);
    link->SetTextColor(RGB(0, 0x3D, 0xB2));
    link->SetTextAlignment(DT_WORDBREAK);
    m_wndAlert.AddItem(link);
    auto* icon = new CXTPPopupItem(CRect(5, 12, 17, 24));
    icon->SetIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 32, 32, LR_SHARED)));
    icon->SetHyperLink(FALSE);
    m_wndAlert.AddItem(icon);
    auto* close = new CXTPPopupItem(CRect(308, 14, 324, 30));
    close->SetIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_ALERT_CLOSE), IMAGE_ICON, 16, 16, LR_SHARED)));
    close->SetButton(TRUE);
    close->SetID(kAlertClose);
    m_wndAlert.AddItem(close);
}

void CTrayAndAlert::ShowNewItemsAlert(int nNewItems)
{
    if (m_frame.GetSafeHwnd() == nullptr)
        return;
    if (m_wndAlert.GetSafeHwnd() && m_wndAlert.GetPopupState() != xtpPopupStateHidden)
        m_wndAlert.Close();
    m_wndAlert.RemoveAllItems();
    AddAlertText(CRect(46, 16, 270, 41), GetEngineContext().m_settings.szCaption, kNoColor);
    CString count;
    count.Format(L"You've got %d new news messages", nNewItems);
    AddAlertText(CRect(46, 29, 270, 54), count, kNoColor);
    const int y = AddChannelLines(50);
    AddAlertButtons(y);

    m_wndAlert.SetTheme(xtpPopupThemeGripper);
    m_wndAlert.SetPopupSize(CSize(329, y + 30));
    m_wndAlert.SetPopupAnimation(xtpPopupAnimationFade);
    m_wndAlert.SetShowDelay(5000);
    m_wndAlert.SetAnimateDelay(600);
    m_wndAlert.SetTransparency(220);
    m_wndAlert.Show(&m_frame);
    ::MessageBeep(0);
}

LRESULT CTrayAndAlert::OnPopupNotify(WPARAM wParam, LPARAM lParam)
{
    auto* item = reinterpret_cast<CXTPPopupItem*>(lParam);
    if (wParam != xtpPopupItemClicked || !item)
        return 1;
    if (item->GetID() == kAlertViewMessages) {
        m_wndAlert.Close();
        if (m_bInTray)
            OnOpenReader();
        m_frame.SetForegroundWindow();
        m_frame.SetFocus();
    } else if (item->GetID() == kAlertClose) {
        m_bQuietActivation = 0;
        m_wndAlert.Close();
    }
    return 1;
}

void CTrayAndAlert::DestroyAlert()
{
    if (m_wndAlert.GetSafeHwnd())
        m_wndAlert.DestroyWindow();
}

void CTrayAndAlert::KeepActivationQuiet(WINDOWPOS* lpwndpos)
{
    if (!m_bQuietActivation) {
        lpwndpos->flags |= SWP_NOZORDER | SWP_NOACTIVATE;
        m_bQuietActivation = 1;
    }
}
