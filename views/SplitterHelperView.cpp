#include "views/SplitterHelperView.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "views/FeedPaneSite.h"
#include "views/FeedTaskPanel.h"

IMPLEMENT_DYNCREATE(CSplitterHelperView, CView)

BEGIN_MESSAGE_MAP(CSplitterHelperView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CSplitterHelperView::CSplitterHelperView() : m_pFrameSite(nullptr) {}

CSplitterHelperView::~CSplitterHelperView() = default;

BOOL CSplitterHelperView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CView::PreCreateWindow(cs))
        return FALSE;
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return TRUE;
}

int CSplitterHelperView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    // The frame that holds this view's splitter; the thread's main window when the view stands elsewhere.
    m_pFrameSite = dynamic_cast<CFeedPaneSite*>(GetParentFrame());
    if (m_pFrameSite == nullptr)
        m_pFrameSite = dynamic_cast<CFeedPaneSite*>(AfxGetMainWnd());
    CreatePane();
    return 0;
}

void CSplitterHelperView::CreatePane()
{
    CFeedTaskPanel* pPane = m_pFrameSite != nullptr ? m_pFrameSite->GetNavigationPane() : nullptr;
    if (pPane != nullptr && pPane->GetSafeHwnd() == nullptr)
        pPane->Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), this,
                      IDC_NAVIGATION_PANE);
}

void CSplitterHelperView::SetFrameSite(CFeedPaneSite* pSite)
{
    m_pFrameSite = pSite;
    CreatePane();
    CRect client;
    GetClientRect(&client);
    SizePane(client.Width(), client.Height());
}

void CSplitterHelperView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    SizePane(cx, cy);
}

void CSplitterHelperView::SizePane(int cx, int cy)
{
    CFeedTaskPanel* pPane = m_pFrameSite != nullptr ? m_pFrameSite->GetNavigationPane() : nullptr;
    if (pPane != nullptr && pPane->GetSafeHwnd() != nullptr)
        pPane->MoveWindow(0, 0, cx, cy, TRUE);
}

void CSplitterHelperView::OnDraw(CDC*) {}
