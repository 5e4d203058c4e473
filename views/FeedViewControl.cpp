#include "views/FeedViewControl.h"

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/WebAddresses.h"
#include "framework/win/WinThread.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "views/FeedPaneSite.h"
#include "views/FeedPopupBar.h"

IMPLEMENT_SERIAL(CFeedViewControl, CXTPControl, VERSIONABLE_SCHEMA | 7)
IMPLEMENT_SERIAL(CFeedGroupItem, CXTPTaskPanelGroupItem, VERSIONABLE_SCHEMA | 1)

int CFeedViewControl::s_nRowWidth = 0;

CFeedViewControl::CFeedViewControl() : m_pItem(nullptr), m_nWidth(0), m_nHeight(0), m_rcDraw(0, 0, 0, 0) {}

CFeedViewControl::~CFeedViewControl() = default;

BOOL CFeedViewControl::SetItem(CFeedItem* pItem)
{
    m_pItem = pItem;
    return TRUE;
}

CSize CFeedViewControl::GetSize(CDC* pDC)
{
    if (m_pItem == nullptr) {
        m_nWidth = m_nHeight = 0;
    } else {
        m_nWidth = s_nRowWidth;
        m_nHeight = m_pItem->CalcHeadlineHeight(pDC, s_nRowWidth - 35);
    }
    return CSize(m_nWidth, m_nHeight);
}

void CFeedViewControl::Draw(CDC* pDC)
{
    const CRect rc = m_rcDraw.IsRectEmpty() ? GetRect() : m_rcDraw;
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const XTPBarPosition barPosition = m_pParent != nullptr ? m_pParent->GetPosition() : xtpBarPopup;
    if (pPaintManager != nullptr)
        pPaintManager->PrepareControlFace(pDC, rc, TRUE, GetSelected(), GetPressed(), 0, FALSE, barPosition);
    if (m_pItem != nullptr && !m_pItem->m_bUpdating) {
        m_pItem->m_rcLast = rc;
        m_pItem->DrawHeadline(pDC, GetSelected() != 0, TRUE);
    }
}

void CFeedViewControl::OnExecute()
{
    // The base ends the drop-down's tracking, which may release the bar's last hold on this row.
    InternalAddRef();
    CFeedPopupBar* pBar = DYNAMIC_DOWNCAST(CFeedPopupBar, m_pParent);
    if (pBar != nullptr)
        pBar->InternalAddRef();
    CXTPControl::OnExecute();
    OpenItem(pBar);
    if (pBar != nullptr)
        pBar->InternalRelease();
    InternalRelease();
}

void CFeedViewControl::OpenItem(CFeedPopupBar* pBar)
{
    if (m_pItem == nullptr)
        return;
    CFeedItem* pEntry = pBar != nullptr ? pBar->GetChannelEntry() : nullptr;
    if (pEntry == nullptr)
        return;
    CString strAddress = m_pItem->m_strLink;
    if (strAddress.IsEmpty() && pEntry->m_pChannel != nullptr)
        strAddress = pEntry->m_pChannel->m_info.m_strLink;
    if (strAddress.IsEmpty())
        return;
    // The address comes from the feed: it opens only as a checked web or mail address, never on a command line.
    OpenInBrowser(strAddress);
    if (pEntry->m_strAccountName.IsEmpty()) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd->GetSafeHwnd() != nullptr)
            pMainWnd->SendMessage(WM_USAGE_EVENT, 5, reinterpret_cast<LPARAM>(m_pItem));
    }
    m_pItem->m_nReadState = FEED_STATE_READ;
    pEntry->CountNews();
}

void CFeedViewControl::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    // The toolkit's button copy: the control's own fields only.
    CXTPControl::Copy(pControl, bRecursive);
    m_buttonStyle = pControl->GetStyle();
}

void CFeedViewControl::OnClick(BOOL bKeyboard, CPoint)
{
    if (bKeyboard) {
        OnExecute();
        return;
    }
    // The button tracking compares the cursor with the rectangle as drawn, which a scrolled list moves up.
    CRect rc = GetRect();
    if (auto* pBar = DYNAMIC_DOWNCAST(CFeedPopupBar, m_pParent))
        rc.OffsetRect(0, -pBar->GetScrollOffset());
    TrackButtonClick(rc);
}

CXTPControl* CFeedViewControl::Clone(BOOL bRecursive)
{
    auto* pClone = new CFeedViewControl;
    pClone->Copy(this, bRecursive);
    return pClone;
}
