#include "app/MainFrm.h"
#include "res/resource.h"

#include "feeds/EngineContext.h"

const UINT WM_INSTANCE_PROBE = ::RegisterWindowMessageW(L"TALLOW_MERE_UNIQE_INSTANCE");

namespace {

// Longer than any address a user would subscribe to, short enough that a hostile sender cannot make us copy much.
const DWORD kMaxHandedOverBytes = 8 * 1024;

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_COPYDATA()
ON_REGISTERED_MESSAGE(WM_INSTANCE_PROBE, OnInstanceProbe)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CReaderSettings& settings = GetEngineContext().m_settings;
    SetWindowText(settings.szCaption);
    m_trayIcon.Create(settings.szCaption, this, IDR_MAINFRAME, IDR_MAINFRAME, 0, false);
    return 0;
}

LRESULT CMainFrame::OnInstanceProbe(WPARAM, LPARAM)
{
    // A second start brings the running copy forward, also out of the notification area.
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
    if (IsIconic())
        ShowWindow(SW_RESTORE);
    SetForegroundWindow();
    return WM_INSTANCE_PROBE;
}

bool CMainFrame::IsFeedAddress(const CString& text)
{
    if (text.IsEmpty() || text.GetLength() > 2048)
        return false;
    for (int i = 0; i < text.GetLength(); ++i) {
        const WCHAR c = text[i];
        if (c < 0x20 || c == 0x7F || c == L'"')
            return false;
    }
    CString lower(text);
    lower.MakeLower();
    return lower.Left(7) == L"http://" || lower.Left(8) == L"https://" || lower.Left(5) == L"feed:";
}

BOOL CMainFrame::OnCopyData(CWnd*, COPYDATASTRUCT* pCopyData)
{
    // Another process's bytes: the record must be ours, whole, and end in its terminating zero.
    if (!pCopyData || pCopyData->dwData != 3 || !pCopyData->lpData || pCopyData->cbData < 2 * sizeof(WCHAR) ||
        pCopyData->cbData > kMaxHandedOverBytes || pCopyData->cbData % sizeof(WCHAR) != 0)
        return FALSE;
    const WCHAR* text = static_cast<const WCHAR*>(pCopyData->lpData);
    const DWORD count = pCopyData->cbData / sizeof(WCHAR);
    if (text[count - 1] != L'\0')
        return FALSE;
    const CString address(text);
    if (!IsFeedAddress(address))
        return FALSE;
    m_handedOver.AddTail(address);
    return TRUE;
}
