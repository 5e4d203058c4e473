#include "views/DHtmlViewSpec.h"

#include "framework/StandardIds.h"
#include "framework/frame/FrameWnd.h"

IMPLEMENT_DYNCREATE(CDHtmlViewSpec, CHtmlView)

BEGIN_MESSAGE_MAP(CDHtmlViewSpec, CHtmlView)
ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool IsHeld(int nVirtKey)
{
    return (::GetAsyncKeyState(nVirtKey) & 0x8000) != 0;
}

} // namespace

CDHtmlViewSpec::CDHtmlViewSpec() : m_pDocument(nullptr) {}

CDHtmlViewSpec::~CDHtmlViewSpec() = default;

LPCWSTR CDHtmlViewSpec::FilterMessage(const MSG& msg)
{
    if (IsKeyMessage(msg.message) &&
        ((msg.wParam >= VK_F1 && msg.wParam <= VK_F12) || msg.wParam == VK_HELP || msg.wParam == VK_ESCAPE))
        return L"Function key ignored\r\n";
    // Only key messages: a mouse or timer message whose wParam happens to equal a key code passes.
    if (IsKeyMessage(msg.message)) {
        struct Chord
        {
            int nModifier;
            WPARAM nKey;
            LPCWSTR line;
        };
        static const Chord chords[] = {
            {VK_CONTROL, 'N', L"Ctrl-N ignored\r\n"},      {VK_CONTROL, 'P', L"Ctrl-P ignored\r\n"},
            {VK_CONTROL, 'D', L"Ctrl-D ignored\r\n"},      {VK_MENU, VK_LEFT, L"Atl-Left ignored\r\n"},
            {VK_MENU, VK_RIGHT, L"Atl-Right ignored\r\n"},
        };
        for (const Chord& chord : chords)
            if (msg.wParam == chord.nKey && IsHeld(chord.nModifier))
                return chord.line;
    }
    if (msg.message == WM_RBUTTONDOWN || msg.message == WM_RBUTTONDBLCLK)
        return L"";
    return nullptr;
}

BOOL CDHtmlViewSpec::PreTranslateMessage(MSG* pMsg)
{
    // The page never acts on a function key, but the program's own (F5 Update Now, F6 the next pane) still work
    // while it has the focus.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam >= VK_F1 && pMsg->wParam <= VK_F24) {
        CFrameWnd* pFrame = GetTopLevelFrame();
        if (pFrame != nullptr && pFrame->PreTranslateMessage(pMsg))
            return TRUE;
    }
    // Tab past the page's last link (or on a page without links) leaves the page for the next pane, as in a
    // dialog; the page itself would wrap round to its first link.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0) {
        const BOOL bBack = ::GetKeyState(VK_SHIFT) < 0;
        const UINT nCode = static_cast<UINT>(::SendMessageW(pMsg->hwnd, WM_GETDLGCODE, pMsg->wParam,
                                                            reinterpret_cast<LPARAM>(pMsg)));
        CFrameWnd* pFrame = GetTopLevelFrame();
        if (!(nCode & DLGC_WANTTAB) && pFrame != nullptr) {
            pFrame->SendMessage(WM_COMMAND, bBack ? ID_PREV_PANE : ID_NEXT_PANE);
            return TRUE;
        }
    }
    if (LPCWSTR line = FilterMessage(*pMsg)) {
        if (*line != L'\0')
            ::OutputDebugStringW(line);
        return TRUE;
    }
    return CHtmlView::PreTranslateMessage(pMsg);
}

HRESULT CDHtmlViewSpec::GetDHtmlDocument(CHtmlPageDocument** ppDocument)
{
    if (ppDocument == nullptr)
        return E_POINTER;
    *ppDocument = m_pDocument;
    return m_pDocument != nullptr ? S_OK : E_NOINTERFACE;
}

void CDHtmlViewSpec::OnNavigateComplete2(LPCTSTR strURL)
{
    m_pDocument = GetHtmlDocument();
    CHtmlView::OnNavigateComplete2(strURL);
}

void CDHtmlViewSpec::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                       CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel)
{
    m_pDocument = nullptr;
    CHtmlView::OnBeforeNavigate2(lpszURL, nFlags, lpszTargetFrameName, baPostedData, lpszHeaders, pbCancel);
}

void CDHtmlViewSpec::OnDocumentComplete(LPCTSTR lpszURL)
{
    UpdateData(FALSE);
    CHtmlView::OnDocumentComplete(lpszURL);
}

void CDHtmlViewSpec::OnDestroy()
{
    m_pDocument = nullptr;
    CHtmlView::OnDestroy();
}
