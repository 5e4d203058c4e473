#include "companions/AppBarWnd.h"

#include "companions/CompanionMessages.h"
#include "framework/win/WinApp.h"

namespace {

UINT_PTR ShellAppBarMessage(DWORD dwMessage, APPBARDATA* pData)
{
    return ::SHAppBarMessage(dwMessage, pData);
}

AppBarMessenger g_appBarMessenger = ShellAppBarMessage;

const UINT kBarId = 1001;
const int kInitialHeight = 40;

int Width(const RECT& rect)
{
    return rect.right - rect.left;
}

int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

} // namespace

AppBarMessenger SetAppBarMessenger(AppBarMessenger messenger)
{
    AppBarMessenger previous = g_appBarMessenger;
    g_appBarMessenger = messenger ? messenger : ShellAppBarMessage;
    return previous;
}

namespace AppBarGeometry {

RECT DockRect(UINT nEdge, int nWidth, int nHeight, SIZE screen)
{
    switch (nEdge) {
    case ABE_LEFT:
        return {0, 0, nWidth, screen.cy};
    case ABE_RIGHT:
        return {screen.cx - nWidth, 0, screen.cx, screen.cy};
    case ABE_BOTTOM:
        return {0, screen.cy - nHeight, screen.cx, screen.cy};
    default:
        return {0, 0, screen.cx, nHeight};
    }
}

RECT Proposal(UINT nEdge, const RECT& rect, SIZE screen)
{
    RECT proposal = rect;
    if (nEdge == ABE_TOP || nEdge == ABE_BOTTOM) {
        proposal.left = 0;
        proposal.right = screen.cx;
    } else {
        proposal.top = 0;
        proposal.bottom = screen.cy;
    }
    return proposal;
}

RECT KeepThickness(UINT nEdge, const RECT& answer, int nWidth, int nHeight)
{
    RECT rect = answer;
    switch (nEdge) {
    case ABE_LEFT:
        rect.right = rect.left + nWidth;
        break;
    case ABE_RIGHT:
        rect.left = rect.right - nWidth;
        break;
    case ABE_BOTTOM:
        rect.top = rect.bottom - nHeight;
        break;
    default:
        rect.bottom = rect.top + nHeight;
        break;
    }
    return rect;
}

UINT HitTest(UINT nEdge, UINT nDefaultHit)
{
    static const UINT innerBorder[] = {HTRIGHT, HTBOTTOM, HTLEFT, HTTOP}; // left, top, right, bottom
    return nEdge <= ABE_BOTTOM && nDefaultHit == innerBorder[nEdge] ? nDefaultHit : static_cast<UINT>(HTCLIENT);
}

UINT DragEdge(int yScreen, SIZE screen)
{
    return yScreen < screen.cy / 2 ? ABE_TOP : ABE_BOTTOM;
}

POINT SlidePosition(const RECT& from, const RECT& to, DWORD nElapsed, DWORD nDuration)
{
    // The centres' displacement: the sums of both sides move twice as far as the window does.
    const LONGLONG dx = ((to.left + to.right) - (from.left + from.right)) / 2;
    const LONGLONG dy = ((to.top + to.bottom) - (from.top + from.bottom)) / 2;
    if (nDuration == 0 || nElapsed >= nDuration)
        return {static_cast<LONG>(from.left + dx), static_cast<LONG>(from.top + dy)};
    return {static_cast<LONG>(from.left + static_cast<LONGLONG>(nElapsed) * dx / nDuration),
            static_cast<LONG>(from.top + dy * static_cast<LONGLONG>(nElapsed) / nDuration)};
}

} // namespace AppBarGeometry

BEGIN_MESSAGE_MAP(CAppBarWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_ACTIVATE()
ON_WM_WINDOWPOSCHANGED()
ON_WM_SIZE()
ON_WM_MOVE()
ON_WM_TIMER()
ON_WM_NCHITTEST()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_MESSAGE(WM_APPBAR_NOTIFY, OnAppBarNotify)
END_MESSAGE_MAP()

CAppBarWnd::CAppBarWnd()
    : m_bRegistered(FALSE), m_bDragging(FALSE), m_nEdge(ABE_TOP), m_nWidth(::GetSystemMetrics(SM_CXFULLSCREEN)),
      m_nHeight(kInitialHeight), m_rcDocked{}, m_rcDrag{}
{
}

CAppBarWnd::~CAppBarWnd() = default;

SIZE CAppBarWnd::ScreenSize()
{
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

BOOL CAppBarWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                       static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)), nullptr);
    cs.dwExStyle = WS_EX_TOOLWINDOW | WS_EX_STATICEDGE;
    cs.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    cs.x = CW_USEDEFAULT;
    cs.y = CW_USEDEFAULT;
    cs.cx = ::GetSystemMetrics(SM_CXFULLSCREEN);
    cs.cy = m_nHeight;
    // A pop-up's id slot is its menu handle: the bar has none.
    cs.hMenu = nullptr;
    return TRUE;
}

BOOL CAppBarWnd::Create(CWnd* pParent)
{
    CREATESTRUCT cs{};
    if (!PreCreateWindow(cs))
        return FALSE;
    return CreateEx(cs.dwExStyle, cs.lpszClass, L"NewsLine", cs.style, cs.x, cs.y, cs.cx, cs.cy,
                    pParent ? pParent->GetSafeHwnd() : nullptr, nullptr);
}

UINT_PTR CAppBarWnd::ShellMessage(DWORD dwMessage, RECT* pRect, LPARAM lParam)
{
    APPBARDATA data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uEdge = m_nEdge;
    data.uCallbackMessage = WM_APPBAR_NOTIFY;
    data.lParam = lParam;
    if (pRect)
        data.rc = *pRect;
    const UINT_PTR answer = g_appBarMessenger(dwMessage, &data);
    if (pRect)
        *pRect = data.rc;
    return answer;
}

void CAppBarWnd::QueryPos(RECT& rect)
{
    RECT proposal = AppBarGeometry::Proposal(m_nEdge, rect, ScreenSize());
    ShellMessage(ABM_QUERYPOS, &proposal);
    rect = AppBarGeometry::KeepThickness(m_nEdge, proposal, m_nWidth, m_nHeight);
}

void CAppBarWnd::SetPos(UINT nEdge, RECT& rect, BOOL bMove)
{
    m_nEdge = nEdge;
    QueryPos(rect);
    ShellMessage(ABM_SETPOS, &rect);
    if (bMove)
        ::MoveWindow(m_hWnd, rect.left, rect.top, Width(rect), Height(rect), TRUE);
    m_rcDocked = rect;
}

void CAppBarWnd::Reposition()
{
    if (!m_bRegistered)
        return;
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    SetPos(m_nEdge, rect, TRUE);
}

void CAppBarWnd::Dock(UINT nEdge)
{
    RECT rect = AppBarGeometry::DockRect(nEdge, m_nWidth, m_nHeight, ScreenSize());
    SetPos(nEdge, rect, TRUE);
}

void CAppBarWnd::Slide(const RECT& target)
{
    RECT current;
    ::GetWindowRect(m_hWnd, &current);
    const bool growing = Height(target) > Height(current) || Width(target) > Width(current);
    const DWORD duration = growing ? 200 : 400;
    RECT start = current;
    if (growing) {
        const POINT shift = AppBarGeometry::SlidePosition(target, current, 1, 1);
        start = {shift.x, shift.y, shift.x + Width(target), shift.y + Height(target)};
        ::SetWindowPos(m_hWnd, nullptr, start.left, start.top, Width(start), Height(start),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    HANDLE thread = ::GetCurrentThread();
    const int priority = ::GetThreadPriority(thread);
    ::SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    const DWORD begin = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < duration; elapsed = ::GetTickCount() - begin) {
        const POINT at = AppBarGeometry::SlidePosition(start, target, elapsed, duration);
        ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::UpdateWindow(growing ? m_hWnd : ::GetDesktopWindow());
    }
    ::SetThreadPriority(thread, priority);
    ::SetWindowPos(m_hWnd, nullptr, target.left, target.top, Width(target), Height(target),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int CAppBarWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_bRegistered = ShellMessage(ABM_NEW) != 0;
    RECT rect = AppBarGeometry::DockRect(ABE_TOP, m_nWidth, m_nHeight, ScreenSize());
    SetPos(ABE_TOP, rect, TRUE);
    return 0;
}

void CAppBarWnd::OnDestroy()
{
    if (m_bRegistered)
        m_bRegistered = ShellMessage(ABM_REMOVE) == 0;
    CWnd::OnDestroy();
}

void CAppBarWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    ShellMessage(ABM_ACTIVATE);
    if (nState == WA_ACTIVE || nState == WA_CLICKACTIVE)
        Slide(m_rcDocked);
}

void CAppBarWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    ShellMessage(ABM_WINDOWPOSCHANGED);
    CWnd::OnWindowPosChanged(lpwndpos);
}

void CAppBarWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_bDragging)
        return;
    Reposition();
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    if (m_nEdge == ABE_TOP || m_nEdge == ABE_BOTTOM)
        m_nHeight = Height(rect);
    else
        m_nWidth = Width(rect);
}

void CAppBarWnd::OnMove(int x, int y)
{
    CWnd::OnMove(x, y);
    if (!m_bDragging)
        Reposition();
}

void CAppBarWnd::OnTimer(UINT_PTR nIDEvent)
{
    CWnd::OnTimer(nIDEvent);
}

LRESULT CAppBarWnd::OnNcHitTest(CPoint point)
{
    return AppBarGeometry::HitTest(m_nEdge, static_cast<UINT>(CWnd::OnNcHitTest(point)));
}

void CAppBarWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bDragging = TRUE;
    ::SetCapture(m_hWnd);
    CWnd::OnLButtonDown(nFlags, point);
}

void CAppBarWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    // Without the button down the cursor is over the bar, which would stay where it is: nothing to ask the shell.
    if (!m_bDragging) {
        CWnd::OnMouseMove(nFlags, point);
        return;
    }
    POINT cursor = point;
    ::ClientToScreen(m_hWnd, &cursor);
    const SIZE screen = ScreenSize();
    m_nEdge = AppBarGeometry::DragEdge(cursor.y, screen);
    m_rcDrag = AppBarGeometry::DockRect(m_nEdge, m_nWidth, m_nHeight, screen);
    QueryPos(m_rcDrag);
    ::MoveWindow(m_hWnd, m_rcDrag.left, m_rcDrag.top, Width(m_rcDrag), Height(m_rcDrag), TRUE);
}

void CAppBarWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bDragging) {
        CWnd::OnLButtonUp(nFlags, point);
        return;
    }
    m_rcDocked = m_rcDrag;
    ::ReleaseCapture();
    RECT rect = m_rcDrag;
    QueryPos(rect);
    ShellMessage(ABM_SETPOS, &rect);
    m_rcDocked = rect;
    m_bDragging = FALSE;
}

LRESULT CAppBarWnd::OnAppBarNotify(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case ABN_POSCHANGED: {
        RECT window;
        ::GetWindowRect(m_hWnd, &window);
        RECT rect = AppBarGeometry::DockRect(m_nEdge, Width(window), Height(window), ScreenSize());
        SetPos(m_nEdge, rect, TRUE);
        break;
    }
    case ABN_FULLSCREENAPP:
        ::SetWindowPos(m_hWnd, lParam ? HWND_BOTTOM : HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
        break;
    default:
        break;
    }
    return 0;
}
