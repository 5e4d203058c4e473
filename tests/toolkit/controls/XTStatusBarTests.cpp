// The toolkit status bar: controls hosted in panes and following them, pane widths, flat frames, the font, and
// the command update of an owner that is not a frame.
#include "toolkit/controls/XTStatusBar.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/Controls.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/TestSupport.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kPaneItems = 22101;
constexpr UINT kPaneProgress = 22102;
constexpr UINT kNoPane = 22103;

class CountedWnd : public CWnd
{
public:
    explicit CountedWnd(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~CountedWnd() override { ++*m_pDeleted; }

private:
    int* m_pDeleted;
};

class XTStatusBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_frame = new CFrameWnd;
        ASSERT_TRUE(m_frame->Create(nullptr, L"Status host", WS_OVERLAPPEDWINDOW, CRect(40, 40, 640, 340)));
        m_hFrame = m_frame->m_hWnd;
        m_pStatus = new CXTStatusBar;
        ASSERT_TRUE(m_pStatus->Create(m_frame));
        const UINT ids[] = {ID_SEPARATOR, kPaneItems, kPaneProgress};
        m_pStatus->SetIndicators(ids, 3);
        m_pStatus->SetPaneWidth(1, 80);
        m_pStatus->SetPaneInfo(2, kPaneProgress, SBPS_STRETCH, 120);
        m_frame->ShowWindow(SW_SHOWNA);
        m_frame->RecalcLayout();
    }

    void TearDown() override
    {
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        delete m_pStatus;
        lqtest::PumpPending();
    }

    CProgressCtrl* AddProgress(BOOL bAutoDelete)
    {
        auto* pProgress = new CProgressCtrl;
        EXPECT_TRUE(pProgress->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), m_pStatus, 1));
        EXPECT_TRUE(m_pStatus->AddControl(pProgress, kPaneProgress, bAutoDelete));
        return pProgress;
    }

    CRect RectInBar(HWND hWnd) const
    {
        CRect rect;
        ::GetWindowRect(hWnd, &rect);
        ::MapWindowPoints(nullptr, m_pStatus->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    CWinApp m_app{L"XTStatusBarTests"};
    CFrameWnd* m_frame = nullptr;
    HWND m_hFrame = nullptr;
    CXTStatusBar* m_pStatus = nullptr;
};

TEST_F(XTStatusBarTest, AProgressControlFollowsItsPaneWhenTheFrameIsResized)
{
    CProgressCtrl* pProgress = AddProgress(TRUE);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    ASSERT_NE(0u, m_pStatus->GetStyle() & SBARS_SIZEGRIP);

    for (int cx : {600, 760, 420}) {
        SCOPED_TRACE(cx);
        m_frame->SetWindowPos(nullptr, 0, 0, cx, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CRect pane;
        m_pStatus->GetItemRect(2, &pane);
        CRect client;
        m_pStatus->GetClientRect(&client);
        const CRect rect = RectInBar(pProgress->m_hWnd);
        EXPECT_EQ(pane.left + cxEdge, rect.left);
        EXPECT_EQ(pane.top + cxEdge, rect.top);
        EXPECT_EQ(pane.bottom - cxEdge, rect.bottom);
        // The stretching last pane stops short of the size grip.
        EXPECT_EQ(client.right - cxEdge - GetToolkitGlobals()->m_cxSmIcon - cxEdge, rect.right);
        EXPECT_EQ(m_pStatus->GetPaneControlRect(kPaneProgress), rect);
    }
}

TEST_F(XTStatusBarTest, ControlsOnlyOnPanesAndDestroyedOnesAreSkipped)
{
    CWnd other;
    ASSERT_TRUE(other.Create(L"STATIC", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), m_pStatus, 2));
    EXPECT_FALSE(m_pStatus->AddControl(&other, kNoPane, FALSE));
    EXPECT_EQ(CRect(0, 0, 5, 5), RectInBar(other.m_hWnd)) << "a control on no pane is not moved";

    // A pane without borders gives its control the whole pane.
    CWnd items;
    ASSERT_TRUE(items.Create(L"STATIC", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), m_pStatus, 3));
    m_pStatus->SetPaneStyle(1, SBPS_NOBORDERS);
    ASSERT_TRUE(m_pStatus->AddControl(&items, kPaneItems, FALSE));
    CRect pane;
    m_pStatus->GetItemRect(1, &pane);
    EXPECT_EQ(pane, RectInBar(items.m_hWnd));

    CProgressCtrl* pProgress = AddProgress(FALSE);
    pProgress->DestroyWindow();
    delete pProgress;
    m_frame->SetWindowPos(nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pStatus->GetItemRect(1, &pane);
    EXPECT_EQ(pane, RectInBar(items.m_hWnd)) << "the other controls still follow their panes";
    items.DestroyWindow();
    other.DestroyWindow();
}

TEST(XTStatusBar, AutoDeleteControlsGoWithTheBar)
{
    CWinApp app(L"XTStatusBarTests");
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, L"Status host", WS_OVERLAPPEDWINDOW, CRect(40, 40, 440, 240)));
    int nDeleted = 0;
    CountedWnd* pKept = nullptr;
    {
        CXTStatusBar status;
        ASSERT_TRUE(status.Create(pFrame));
        const UINT ids[] = {kPaneItems, kPaneProgress};
        status.SetIndicators(ids, 2);
        auto* pOwned = new CountedWnd(&nDeleted);
        ASSERT_TRUE(pOwned->Create(L"STATIC", L"", WS_CHILD, CRect(0, 0, 5, 5), &status, 4));
        ASSERT_TRUE(status.AddControl(pOwned, kPaneItems, TRUE));
        pKept = new CountedWnd(&nDeleted);
        ASSERT_TRUE(pKept->Create(L"STATIC", L"", WS_CHILD, CRect(0, 0, 5, 5), &status, 5));
        ASSERT_TRUE(status.AddControl(pKept, kPaneProgress, FALSE));
    }
    EXPECT_EQ(1, nDeleted);
    delete pKept;
    EXPECT_EQ(2, nDeleted);
    pFrame->DestroyWindow();
    lqtest::PumpPending();
}

TEST_F(XTStatusBarTest, PaneWidthKeepsIdStyleAndTextAndIgnoresBadIndexes)
{
    m_pStatus->SetPaneStyle(1, SBPS_POPOUT);
    ASSERT_TRUE(m_pStatus->SetPaneText(1, L"42 items"));
    m_pStatus->SetPaneWidth(1, 150);
    UINT nID = 0;
    UINT nStyle = 0;
    int cxWidth = 0;
    m_pStatus->GetPaneInfo(1, nID, nStyle, cxWidth);
    EXPECT_EQ(kPaneItems, nID);
    EXPECT_EQ(static_cast<UINT>(SBPS_POPOUT), nStyle);
    EXPECT_EQ(150, cxWidth);
    EXPECT_EQ(CString(L"42 items"), m_pStatus->GetPaneText(1));
    wchar_t szText[32] = {};
    ::SendMessageW(m_pStatus->m_hWnd, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(szText));
    EXPECT_STREQ(L"42 items", szText);

    for (int nBad : {-1, 3}) {
        m_pStatus->SetPaneWidth(nBad, 10);
        EXPECT_EQ(3, m_pStatus->GetCount());
    }
    m_pStatus->GetPaneInfo(2, nID, nStyle, cxWidth);
    EXPECT_EQ(120, cxWidth);
}

TEST_F(XTStatusBarTest, TakesTheToolkitFontAndFramesPanesFlatWhenAsked)
{
    EXPECT_EQ(GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular].GetSafeHandle(),
              reinterpret_cast<HGDIOBJ>(m_pStatus->SendMessage(WM_GETFONT)));

    // Read back from the screen: the bar paints through its own paint DC.
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    const BOOL bFlatBefore = pGlobals->m_bFlatLook;
    ASSERT_TRUE(frametest::Activate(m_hFrame));
    CRect pane;
    m_pStatus->GetItemRect(1, &pane);
    const COLORREF clrFrame = GetToolkitColor(COLOR_BTNSHADOW);
    for (BOOL bFlat : {TRUE, FALSE}) {
        SCOPED_TRACE(bFlat);
        pGlobals->m_bFlatLook = bFlat;
        m_pStatus->RedrawWindow();
        HDC hDC = ::GetDC(m_pStatus->m_hWnd);
        const COLORREF clrBottom = ::GetPixel(hDC, pane.left + pane.Width() / 2, pane.bottom - 1);
        if (bFlat) {
            EXPECT_EQ(clrFrame, ::GetPixel(hDC, pane.left, pane.top + pane.Height() / 2));
            EXPECT_EQ(clrFrame, ::GetPixel(hDC, pane.right - 1, pane.top + pane.Height() / 2));
            EXPECT_EQ(clrFrame, clrBottom);
        } else {
            EXPECT_NE(clrFrame, clrBottom) << "the control's own sunken frame is lit at the bottom";
        }
        ::ReleaseDC(m_pStatus->m_hWnd, hDC);
    }
    pGlobals->m_bFlatLook = bFlatBefore;
}

// An owner that is no frame but answers the update of a pane.
class CPaneOwner : public CWnd
{
public:
    int m_nUpdates = 0;

protected:
    void OnUpdateItems(CCmdUI* pCmdUI)
    {
        ++m_nUpdates;
        pCmdUI->SetText(L"owned");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaneOwner, CWnd)
ON_UPDATE_COMMAND_UI(kPaneItems, OnUpdateItems)
END_MESSAGE_MAP()

TEST(XTStatusBar, IdleUpdateReachesAnOwnerThatIsNotAFrame)
{
    CWinApp app(L"XTStatusBarTests");
    CPaneOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), L"Owner", WS_POPUP | WS_VISIBLE, CRect(50, 50, 450, 200),
                               nullptr, 0));
    CXTStatusBar status;
    ASSERT_TRUE(status.Create(&owner, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM));
    const UINT ids[] = {ID_SEPARATOR, kPaneItems};
    status.SetIndicators(ids, 2);
    status.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(1, owner.m_nUpdates);
    EXPECT_EQ(CString(L"owned"), status.GetPaneText(1));

    // A hidden bar updates nothing, and a pending show is carried out first.
    status.ShowWindow(SW_HIDE);
    status.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(1, owner.m_nUpdates);
    status.m_nStateFlags |= CControlBar::delayShow;
    status.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(status.IsWindowVisible());
    EXPECT_EQ(2, owner.m_nUpdates);
    status.DestroyWindow();
    owner.DestroyWindow();
}

} // namespace
