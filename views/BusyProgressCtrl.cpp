#include "views/BusyProgressCtrl.h"

#include "framework/core/ScopedHandles.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CBusyProgressCtrl, CStatic)

BEGIN_MESSAGE_MAP(CBusyProgressCtrl, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_SYSCOLORCHANGE()
ON_WM_DESTROY()
ON_MESSAGE(BPC_SETBLOCKCOUNT, OnIndicatorMessage)
ON_MESSAGE(BPC_SETPOSITION, OnIndicatorMessage)
ON_MESSAGE(BPC_SETGAP, OnIndicatorMessage)
ON_MESSAGE(BPC_SETINTERVAL, OnIndicatorMessage)
ON_MESSAGE(BPC_SETRANGE, OnIndicatorMessage)
ON_MESSAGE(BPC_SETMODE, OnIndicatorMessage)
ON_MESSAGE(BPC_START, OnIndicatorMessage)
ON_MESSAGE(BPC_STOP, OnIndicatorMessage)
ON_MESSAGE(BPC_STEP, OnIndicatorMessage)
ON_MESSAGE(BPC_SETMOTION, OnIndicatorMessage)
ON_MESSAGE(BPC_SETBARKIND, OnIndicatorMessage)
ON_MESSAGE(BPC_SETSTEPSPERBLOCK, OnIndicatorMessage)
ON_MESSAGE(BPC_SETBKCOLOUR, OnIndicatorMessage)
ON_MESSAGE(BPC_SETBLOCKFILL, OnIndicatorMessage)
ON_MESSAGE(BPC_SETBLOCKBORDER, OnIndicatorMessage)
ON_MESSAGE(BPC_SETLITFILL, OnIndicatorMessage)
ON_MESSAGE(BPC_SETLITBORDER, OnIndicatorMessage)
ON_MESSAGE(BPC_RECALCGEOMETRY, OnIndicatorMessage)
ON_MESSAGE(BPC_RECALCSTEPS, OnIndicatorMessage)
ON_MESSAGE(BPC_FOLLOWSYSCOLOUR, OnIndicatorMessage)
END_MESSAGE_MAP()

CBusyProgressCtrl::CBusyProgressCtrl(int nBlocks, int nPosition)
    : m_nBlocks(std::max(1, nBlocks)), m_nPosition(nPosition), m_rect(0, 0, 0, 0),
      m_nBarLength(5 * std::max(1, nBlocks)), m_crBackground(::GetSysColor(COLOR_BTNFACE))
{
}

CBusyProgressCtrl::~CBusyProgressCtrl()
{
    Stop();
    DropBuffer();
}

BOOL CBusyProgressCtrl::Create(CWnd* pParent, const RECT& rect, UINT nID, DWORD dwStyle)
{
    if (!CWnd::Create(L"STATIC", L"BusyProgressCtrl", dwStyle, rect, pParent, nID))
        return FALSE;
    RecalcGeometry();
    return TRUE;
}

void CBusyProgressCtrl::RecalcGeometry()
{
    if (m_rect.IsRectEmpty() && GetSafeHwnd())
        GetClientRect(&m_rect);
    m_dBlockWidth = std::max(0.0, static_cast<double>(m_rect.right - m_nBlocks * m_nGap - m_rect.left) / m_nBlocks);
    m_dBlockHeight = m_rect.bottom - m_rect.top;
}

int CBusyProgressCtrl::End() const
{
    return m_nBarKind == barMeasured ? m_nBarLength : m_nBlocks;
}

void CBusyProgressCtrl::RecalcSteps()
{
    if (m_nMode & modeBusy) {
        m_nStep = m_nMotion == motionWrapBackward ? -1 : 1;
        m_nPosition = m_nMotion == motionWrapBackward ? End() : 0;
    } else {
        m_nPosition = 0;
        m_nStep = 1;
    }
}

void CBusyProgressCtrl::SetBlockCount(int nBlocks)
{
    m_nBlocks = std::max(1, nBlocks);
    if (m_nBarKind == barMeasured)
        m_nBarLength = m_nStepsPerBlock * m_nBlocks;
    RecalcGeometry();
    Redraw();
}

void CBusyProgressCtrl::SetMode(int nMode)
{
    Stop();
    if ((m_nMode != modeBusy && m_nMode != modeProgress) || (nMode != modeBusy && nMode != modeProgress))
        return;
    m_nMode = nMode;
    if (nMode == modeProgress)
        m_nStep = 1;
}

void CBusyProgressCtrl::SetMotion(int nMotion)
{
    m_nMotion = nMotion;
    if (m_nMode & modeBusy) {
        if (nMotion == motionWrapForward)
            m_nStep = 1;
        else if (nMotion == motionWrapBackward)
            m_nStep = -1;
    }
}

void CBusyProgressCtrl::SetBarKind(int nKind)
{
    if (!(m_nMode & modeBusy))
        return;
    m_nBarKind = nKind;
    if (nKind == barMeasured)
        m_nBarLength = m_nStepsPerBlock * m_nBlocks;
    RecalcSteps();
}

void CBusyProgressCtrl::SetStepsPerBlock(int nSteps)
{
    m_nStepsPerBlock = std::max(1, nSteps);
    if (m_nMode & modeBusy) {
        if (m_nBarKind == barMeasured)
            m_nBarLength = m_nStepsPerBlock * m_nBlocks;
        RecalcSteps();
    }
}

void CBusyProgressCtrl::Step()
{
    if (m_nMode & modeBusy) {
        const int end = End();
        switch (m_nMotion) {
        case motionBounce:
            if (m_nPosition >= end - 1)
                m_nStep = -1;
            else if (m_nPosition <= 0)
                m_nStep = 1;
            break;
        case motionWrapForward:
            if (m_nPosition + 1 == end)
                m_nPosition = -1;
            break;
        case motionWrapBackward:
            if (m_nPosition == 0)
                m_nPosition = end;
            break;
        default:
            break;
        }
    }
    m_nPosition += m_nStep;
    if (GetSafeHwnd())
        Invalidate(TRUE);
}

UINT AFX_CDECL CBusyProgressCtrl::AnimationThread(LPVOID pParam)
{
    auto* control = static_cast<CBusyProgressCtrl*>(pParam);
    const HWND hWnd = control->GetSafeHwnd();
    // The flag is raised by Start before the thread runs, never here: a stop that comes before this thread has
    // begun must not be undone by it.
    while (control->m_bRunning) {
        // The step is taken by the window's thread, which also paints: the two never touch the position at once.
        ::PostMessageW(hWnd, BPC_STEP, 0, 0);
        ::Sleep(static_cast<DWORD>(std::max(1, control->m_nInterval.load())));
    }
    return 0;
}

void CBusyProgressCtrl::Start()
{
    if (!(m_nMode & modeBusy) || !GetSafeHwnd())
        return;
    Stop();
    CWinThread* thread = AfxBeginThread(AnimationThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread)
        return;
    thread->m_bAutoDelete = FALSE;
    m_bRunning = true;
    m_pThread = thread;
    thread->ResumeThread();
}

void CBusyProgressCtrl::Stop()
{
    m_bRunning = false;
    if (!m_pThread)
        return;
    // The thread reads this object: it must have ended before the object can go. It wakes within one interval.
    ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
    m_pThread = nullptr;
}

void CBusyProgressCtrl::Redraw()
{
    if (GetSafeHwnd())
        Invalidate(TRUE);
}

void CBusyProgressCtrl::DropBuffer()
{
    // The bitmap leaves the DC before either goes.
    if (m_hBufferDC)
        ::SelectObject(m_hBufferDC, m_hOldBitmap);
    m_hBufferDC.Close();
    m_hBufferBitmap.Close();
}

LRESULT CBusyProgressCtrl::OnIndicatorMessage(WPARAM wParam, LPARAM lParam)
{
    const MSG* current = GetCurrentMessage();
    const int value = static_cast<int>(wParam);
    switch (current ? current->message : 0) {
    case BPC_SETBLOCKCOUNT:
        SetBlockCount(value);
        break;
    case BPC_SETPOSITION:
        m_nPosition = value;
        Redraw();
        break;
    case BPC_SETGAP:
        m_nGap = std::max(0, value);
        RecalcGeometry();
        Redraw();
        break;
    case BPC_SETINTERVAL:
        m_nInterval = std::max(1, value);
        break;
    case BPC_SETRANGE:
        m_nLow = value;
        m_nHigh = static_cast<int>(lParam);
        break;
    case BPC_SETMODE:
        SetMode(value);
        break;
    case BPC_START:
        Start();
        break;
    case BPC_STOP:
        Stop();
        break;
    case BPC_STEP:
        Step();
        break;
    case BPC_SETMOTION:
        SetMotion(value);
        break;
    case BPC_SETBARKIND:
        SetBarKind(value);
        break;
    case BPC_SETSTEPSPERBLOCK:
        SetStepsPerBlock(value);
        break;
    case BPC_SETBKCOLOUR:
        m_crBackground = static_cast<COLORREF>(wParam);
        Redraw();
        break;
    case BPC_SETBLOCKFILL:
        m_crBlockFill = static_cast<COLORREF>(wParam);
        Redraw();
        break;
    case BPC_SETBLOCKBORDER:
        m_crBlockBorder = static_cast<COLORREF>(wParam);
        Redraw();
        break;
    case BPC_SETLITFILL:
        m_crLitFill = static_cast<COLORREF>(wParam);
        Redraw();
        break;
    case BPC_SETLITBORDER:
        m_crLitBorder = static_cast<COLORREF>(wParam);
        Redraw();
        break;
    case BPC_RECALCGEOMETRY:
        RecalcGeometry();
        break;
    case BPC_RECALCSTEPS:
        RecalcSteps();
        break;
    case BPC_FOLLOWSYSCOLOUR:
        m_bFollowSysColour = wParam != 0;
        if (m_bFollowSysColour)
            m_crBackground = ::GetSysColor(COLOR_BTNFACE);
        Redraw();
        break;
    default:
        break;
    }
    return 0;
}

void CBusyProgressCtrl::PaintBlocks(HDC hDC) const
{
    const CRect area(0, 0, m_rect.Width(), m_rect.Height());
    CScopedBrush background(::CreateSolidBrush(m_crBackground));
    ::FillRect(hDC, &area, background.Get());
    CScopedBrush unlitBrush(::CreateSolidBrush(m_crBlockFill));
    CScopedBrush litBrush(::CreateSolidBrush(m_crLitFill));
    CScopedPenHandle unlitPen(::CreatePen(PS_SOLID, 1, m_crBlockBorder));
    CScopedPenHandle litPen(::CreatePen(PS_SOLID, 1, m_crLitBorder));

    // How far the lit part reaches, in blocks, for a measured bar or a progress fraction.
    double reach = -1;
    if (m_nMode & modeProgress) {
        const int span = m_nHigh - m_nLow;
        reach = span > 0 ? static_cast<double>(m_nPosition - m_nLow) / span * m_nBlocks : 0;
    } else if (m_nBarKind == barMeasured) {
        reach = m_nBarLength > 0 ? static_cast<double>(m_nPosition) / m_nBarLength * m_nBlocks : 0;
    }
    const int whole = reach < 0 ? -1 : static_cast<int>(std::floor(reach));
    const HGDIOBJ oldPen = ::SelectObject(hDC, unlitPen.Get());
    const HGDIOBJ oldBrush = ::SelectObject(hDC, unlitBrush.Get());
    for (int i = 0; i < m_nBlocks; ++i) {
        const int left = static_cast<int>(i * (m_dBlockWidth + m_nGap));
        const CRect block(left, 0, static_cast<int>(left + m_dBlockWidth), static_cast<int>(m_dBlockHeight));
        const bool lit = reach < 0 ? i == m_nPosition : i < whole;
        ::SelectObject(hDC, lit ? litPen.Get() : unlitPen.Get());
        ::SelectObject(hDC, lit ? litBrush.Get() : unlitBrush.Get());
        ::Rectangle(hDC, block.left, block.top, block.right, block.bottom);
        if (reach >= 0 && i == whole) {
            const double part = reach - whole;
            CRect inner(block);
            inner.DeflateRect(1, 1);
            inner.right = std::min<LONG>(inner.right - 1, inner.left + static_cast<LONG>(part * m_dBlockWidth));
            if (inner.right > inner.left)
                ::FillRect(hDC, &inner, litBrush.Get());
        }
    }
    ::SelectObject(hDC, oldPen);
    ::SelectObject(hDC, oldBrush);
}

void CBusyProgressCtrl::OnPaint()
{
    PAINTSTRUCT paint;
    HDC hDC = ::BeginPaint(m_hWnd, &paint);
    if (m_rect.IsRectEmpty())
        RecalcGeometry();
    if (!m_hBufferDC && m_rect.Width() > 0 && m_rect.Height() > 0) {
        m_hBufferDC.Attach(::CreateCompatibleDC(hDC));
        m_hBufferBitmap.Attach(::CreateCompatibleBitmap(hDC, m_rect.Width(), m_rect.Height()));
        m_hOldBitmap = ::SelectObject(m_hBufferDC, m_hBufferBitmap);
    }
    if (m_hBufferDC) {
        PaintBlocks(m_hBufferDC);
        ::BitBlt(hDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hBufferDC, 0, 0, SRCCOPY);
    }
    ::EndPaint(m_hWnd, &paint);
}

BOOL CBusyProgressCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CBusyProgressCtrl::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    m_rect.SetRectEmpty();
    RecalcGeometry();
    DropBuffer();
}

void CBusyProgressCtrl::OnSysColorChange()
{
    CStatic::OnSysColorChange();
    if (m_bFollowSysColour)
        m_crBackground = ::GetSysColor(COLOR_BTNFACE);
}

void CBusyProgressCtrl::OnDestroy()
{
    Stop();
    CStatic::OnDestroy();
}
