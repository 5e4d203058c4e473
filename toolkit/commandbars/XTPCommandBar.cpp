#include "toolkit/commandbars/XTPCommandBar.h"

#include "toolkit/commandbars/XTPMouseManager.h"

IMPLEMENT_DYNAMIC(CXTPCommandBar, CWnd)

BEGIN_MESSAGE_MAP(CXTPCommandBar, CWnd)
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CXTPCommandBar::CXTPCommandBar()
    : m_nSelected(-1), m_nPopuped(-1), m_bTracking(0), m_barType(xtpBarTypeNormal), m_barPosition(xtpBarNone)
{
}

CXTPCommandBar::~CXTPCommandBar()
{
    if (m_bTracking)
        SetTrackingMode(FALSE, FALSE, FALSE);
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    pMouseManager->RemoveTrackingBar(this);
    if (pMouseManager->GetSelectedBar() == this)
        pMouseManager->SetSelectedBar(nullptr);
}

BOOL CXTPCommandBar::IsCustomizeMode() const
{
    return FALSE;
}

BOOL CXTPCommandBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL)
{
    if ((m_bTracking && bMode) || m_bTracking == bMode) {
        m_bTracking = bMode;
        return FALSE;
    }
    m_bTracking = bMode;
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (bMode) {
        pMouseManager->AddTrackingBar(this);
    } else {
        pMouseManager->RemoveTrackingBar(this);
        if (bSelectFirst)
            SetSelected(-1);
        if (!pMouseManager->IsTracking())
            pMouseManager->SetSelectedBar(nullptr);
        if (m_hWnd != nullptr)
            Invalidate(FALSE);
    }
    return TRUE;
}

BOOL CXTPCommandBar::SetSelected(int nSelected, BOOL)
{
    if (nSelected == m_nSelected)
        return FALSE;
    if (m_hWnd == nullptr)
        return FALSE;
    m_nSelected = nSelected;
    if (nSelected != -1)
        XTPMouseManager()->SetSelectedBar(this);
    Invalidate(FALSE);
    return TRUE;
}

void CXTPCommandBar::OnMouseMove(UINT, CPoint)
{
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (IsCustomizeMode() || m_hWnd == nullptr || pMouseManager->IsMouseLocked())
        return;
    if (pMouseManager->IsTracking() && !pMouseManager->IsTrackedBar(this))
        return;
    pMouseManager->TrackMouseLeave(m_hWnd);
}

LRESULT CXTPCommandBar::OnMouseLeave(WPARAM, LPARAM)
{
    if (!XTPMouseManager()->IsMouseLocked() && !m_bTracking)
        SetSelected(-1);
    return 0;
}

void CXTPCommandBar::OnDestroy()
{
    if (m_bTracking)
        SetTrackingMode(FALSE, TRUE, FALSE);
    CWnd::OnDestroy();
}
