#include "tests/toolkit/taskpanel/TaskPanelTestSupport.h"

#include "toolkit/base/XTPImageManager.h"

namespace tptest {

// ---- Host

BOOL CPanelHost::CreateHost(const RECT& rect)
{
    LPCTSTR lpszClass =
        AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(0, lpszClass, L"Task panel host", WS_POPUP | WS_VISIBLE | WS_BORDER, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr);
}

int CPanelHost::Count(WPARAM nCode) const
{
    int n = 0;
    for (const Notification& note : m_notes)
        n += note.nCode == nCode;
    return n;
}

LRESULT CPanelHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TASKPANEL_NOTIFY) {
        auto* pItem = reinterpret_cast<CXTPTaskPanelItem*>(lParam);
        m_notes.push_back({wParam, pItem});
        return m_answer ? m_answer(wParam, pItem) : 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- Probe classes

IMPLEMENT_SERIAL(CProbeGroupItem, CXTPTaskPanelGroupItem, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CProbeGroup, CXTPTaskPanelGroup, VERSIONABLE_SCHEMA | 1)

int CProbeGroupItem::s_nLive = 0;
int CProbeGroupItem::s_nUsedDetached = 0;
int CProbeGroup::s_nLive = 0;

CProbeGroupItem::CProbeGroupItem()
{
    ++s_nLive;
}

CProbeGroupItem::~CProbeGroupItem()
{
    --s_nLive;
}

CRect CProbeGroupItem::CalcItemRect(CRect rc)
{
    if (!GetTaskPanel() || !GetParentItems())
        ++s_nUsedDetached;
    return CXTPTaskPanelGroupItem::CalcItemRect(rc);
}

void CProbeGroupItem::DrawItem(CDC* pDC, CRect rc)
{
    if (!GetTaskPanel() || !GetParentItems())
        ++s_nUsedDetached;
    CXTPTaskPanelGroupItem::DrawItem(pDC, rc);
}

BOOL CProbeGroupItem::IsAcceptFocus() const
{
    if (!GetTaskPanel() || !GetParentItems())
        ++s_nUsedDetached;
    return CXTPTaskPanelGroupItem::IsAcceptFocus();
}

CProbeGroup::CProbeGroup()
{
    ++s_nLive;
}

CProbeGroup::~CProbeGroup()
{
    --s_nLive;
}

// ---- Fixture

PanelFixture::PanelFixture(CSize size, CXTPTaskPanel* pPanel)
    : m_pPanel(pPanel ? pPanel : new CXTPTaskPanel()), m_bOwnPanel(pPanel == nullptr)
{
    CRect rcHost(100, 80, 100 + size.cx + 2, 80 + size.cy + 2);
    m_host.CreateHost(rcHost);
    m_pPanel->Create(WS_VISIBLE, CRect(0, 0, size.cx, size.cy), &m_host, 1);
    frametest::Activate(m_host.m_hWnd);
    lqtest::PumpPending();
}

PanelFixture::~PanelFixture()
{
    m_pPanel->DestroyWindow();
    if (m_bOwnPanel)
        delete m_pPanel;
    m_host.DestroyWindow();
    lqtest::PumpPending();
}

bool PanelFixture::FinishAnimation()
{
    return lqtest::PumpUntil([this] {
        for (int i = 0; i < m_pPanel->GetGroupCount(); ++i) {
            const CXTPTaskPanelGroup* pGroup = m_pPanel->GetAt(i);
            if (!IsSameRect(pGroup->GetCurrentRect(), pGroup->GetTargetRect()) || pGroup->IsAnimating())
                return false;
        }
        return true;
    });
}

CProbeGroupItem* PanelFixture::AddProbe(CXTPTaskPanelGroup* pGroup, LPCTSTR lpszCaption, int nIconIndex)
{
    auto* pItem = new CProbeGroupItem();
    pItem->SetType(TaskPanelItemLink);
    pItem->SetIconIndex(nIconIndex);
    pItem->SetCaption(lpszCaption);
    pGroup->GetItems()->Add(pItem, 0);
    return pItem;
}

POINT PanelFixture::ScreenPoint(CPoint ptClient) const
{
    return frametest::ClientToScreenPoint(m_pPanel->m_hWnd, ptClient.x, ptClient.y);
}

CPoint PanelFixture::ItemCenter(CXTPTaskPanelItem* pItem) const
{
    const int nScroll = m_pPanel->GetScrollOffset();
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    if (pItem->IsGroup()) {
        const CRect rc = pGroup->GetCaptionRect();
        return CPoint(rc.CenterPoint().x, rc.CenterPoint().y - nScroll);
    }
    CRect rc = static_cast<CXTPTaskPanelGroupItem*>(pItem)->GetItemRect();
    rc.OffsetRect(0, pGroup->GetClientRect().top - pGroup->GetItemScrollOffset() - nScroll);
    return rc.CenterPoint();
}

// ---- Images

HBITMAP MakeIconStrip(const std::vector<COLORREF>& colours)
{
    const int nCount = static_cast<int>(colours.size());
    std::vector<DWORD> pixels(16 * 16 * nCount);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16 * nCount; ++x) {
            const COLORREF clr = colours[x / 16];
            pixels[y * 16 * nCount + x] =
                0xFF000000 | (DWORD(GetRValue(clr)) << 16) | (DWORD(GetGValue(clr)) << 8) | GetBValue(clr);
        }
    return CXTPImageManager::CreateBitmap32(CSize(16 * nCount, 16), pixels.data());
}

} // namespace tptest
