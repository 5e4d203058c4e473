// Helpers of the task panel tests: an owner window that records the panel's notifications, item and group
// classes of the tests' own that count their instances and catch use after removal, and the shared input helpers.
#pragma once

#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace tptest {

// A top-level window that owns a panel and records what it reports.
class CPanelHost : public CWnd
{
public:
    struct Notification
    {
        WPARAM nCode;
        CXTPTaskPanelItem* pItem;
    };

    BOOL CreateHost(const RECT& rect);
    int Count(WPARAM nCode) const;

    std::vector<Notification> m_notes;
    // The answer to a notification; 0 when unset.
    std::function<LRESULT(WPARAM nCode, CXTPTaskPanelItem* pItem)> m_answer;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A group item class of the tests: counts live instances and notices being drawn or measured after it left
// its panel.
class CProbeGroupItem : public CXTPTaskPanelGroupItem
{
    DECLARE_SERIAL(CProbeGroupItem)

public:
    CProbeGroupItem();
    ~CProbeGroupItem() override;

    CRect CalcItemRect(CRect rc) override;
    void DrawItem(CDC* pDC, CRect rc) override;
    BOOL IsAcceptFocus() const override;

    static int s_nLive;
    // Calls that reached an item no longer in a panel.
    static int s_nUsedDetached;
};

// A group class of the tests, to show that archives bring back the stored class.
class CProbeGroup : public CXTPTaskPanelGroup
{
    DECLARE_SERIAL(CProbeGroup)

public:
    CProbeGroup();
    ~CProbeGroup() override;
    static int s_nLive;
};

// A panel in a host window, made and torn down for each test.
class PanelFixture
{
public:
    // Client size of the panel.
    explicit PanelFixture(CSize size = CSize(300, 400), CXTPTaskPanel* pPanel = nullptr);
    ~PanelFixture();
    PanelFixture(const PanelFixture&) = delete;
    PanelFixture& operator=(const PanelFixture&) = delete;

    CXTPTaskPanel& Panel() { return *m_pPanel; }
    CPanelHost& Host() { return m_host; }
    // Pumps until no group moves (the animation timer has run out).
    bool FinishAnimation();
    // A new probe item appended to the group as a link with that caption.
    CProbeGroupItem* AddProbe(CXTPTaskPanelGroup* pGroup, LPCTSTR lpszCaption, int nIconIndex = -1);
    // The screen point of a client point of the panel.
    POINT ScreenPoint(CPoint ptClient) const;
    // The centre of an item's rectangle in panel client coordinates.
    CPoint ItemCenter(CXTPTaskPanelItem* pItem) const;

private:
    CPanelHost m_host;
    CXTPTaskPanel* m_pPanel;
    bool m_bOwnPanel;
};

// A 32-bit strip of count 16 x 16 images, each one solid colour from the list.
HBITMAP MakeIconStrip(const std::vector<COLORREF>& colours);

using lqtest::ClickAt;
using lqtest::MoveMouse;
using lqtest::PressKey;

} // namespace tptest
