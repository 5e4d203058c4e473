// A scene for the theme tests: a docked toolbar with a gripper and controls in every state, a menu bar and a
// popup menu, each drawn by one theme into a memory canvas; and the one seam that picks the colour scheme.
#pragma once

#include "tests/framework/MemoryCanvas.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace themetest {

// The Windows XP colour scheme the toolkit reads while the object lives (xtpSystemThemeUnknown: none).
class SchemeOverride
{
public:
    explicit SchemeOverride(int nScheme) { XTPColorManager()->SetLunaColorScheme(nScheme); }
    ~SchemeOverride()
    {
        XTPColorManager()->SetLunaColorScheme(xtpSystemThemeAuto);
        XTPColorManager()->RefreshColors();
    }
    SchemeOverride(const SchemeOverride&) = delete;
    SchemeOverride& operator=(const SchemeOverride&) = delete;
};

// Colours within a tolerance per channel, for points inside gradients.
inline bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

// The colour a linear gradient from clrFrom to clrTo over n pixels has at pixel i.
inline COLORREF GradientAt(COLORREF clrFrom, COLORREF clrTo, int i, int n)
{
    auto mix = [&](int a, int b) { return a + (b - a) * i / n; };
    return RGB(mix(GetRValue(clrFrom), GetRValue(clrTo)), mix(GetGValue(clrFrom), GetGValue(clrTo)),
               mix(GetBValue(clrFrom), GetBValue(clrTo)));
}

// A theme with every table entry overridden by a colour of its own, so that a pixel names its index.
template <class TTheme> class CDistinct : public TTheme
{
public:
    CDistinct()
    {
        for (int i = 0; i < XPCOLOR_COUNT; ++i)
            this->SetColorOverride(i, Distinct(i));
    }
    static COLORREF Distinct(int nIndex) { return RGB(20 + nIndex * 4, 230 - nIndex * 3, 61); }
    // The index a colour names, -1 for the canvas' own magenta and -2 for any other colour.
    static int IndexOf(COLORREF clr)
    {
        for (int i = 0; i < XPCOLOR_COUNT; ++i)
            if (Distinct(i) == clr)
                return i;
        return clr == RGB(255, 0, 255) ? -1 : -2;
    }
};

// A bar laid out as a docked toolbar in rows, or as a popup menu in a column, whose controls keep the states a
// test gives them.
class CSceneBar : public CXTPPopupBar
{
public:
    CSceneBar(XTPBarType type, XTPBarPosition position)
    {
        SetType(type);
        SetBarPosition(position);
    }
    void OnRecalcLayout() override
    {
        if (m_hWnd == nullptr)
            return;
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        CXTPPaintManager* pPaintManager = GetPaintManager();
        if (GetType() != xtpBarTypePopup) {
            CRect rcBorder = pPaintManager->GetBorders(this);
            if (GetShowGripper())
                rcBorder.left += pPaintManager->DrawGripper(&dc, this, FALSE).cx + 2;
            GetControls()->CalcDynamicSize(&dc, rc.Width(), LM_HORZDOCK | LM_HORZ | LM_COMMIT, rcBorder);
            return;
        }
        int y = 3;
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetBeginGroup() && i > 0)
                y += pPaintManager->DrawSeparator(&dc, this, pControl, FALSE).cy;
            const int nHeight = pControl->GetSize(&dc).cy;
            pControl->SetRect(CRect(3, y, rc.right - 3, y + nHeight));
            y += nHeight;
        }
    }
    void OnUpdateCmdUI(BOOL, WPARAM) override {}
};

// A popup control shown open without a popup window.
class CPoppedControl : public CXTPControlPopup
{
public:
    CPoppedControl() { m_bPopup = TRUE; }
    void SetOpen(BOOL bOpen) { m_bPopup = bOpen; }
};

// The controls of the scene, named by their state.
struct SceneControls
{
    CXTPControl* pNormal;
    CXTPControl* pHot;
    CXTPControl* pPressed;
    CXTPControl* pChecked;
    CXTPControl* pSplit;
    CXTPControlComboBox* pCombo;
    CXTPControl* pMenuHot;
    CXTPControl* pMenuPopped;
    CXTPControl* pItemNormal;
    CXTPControl* pItemChecked;
    CXTPControl* pItemDisabled;
    CXTPControl* pItemSelected;
    CXTPControl* pItemPressed;
};

// The three bars on a host window at its top left, drawn by one theme.
class Scene
{
public:
    // Takes over one reference of the theme.
    explicit Scene(CXTPPaintManager* pTheme)
        : m_toolBar(xtpBarTypeNormal, xtpBarTop), m_menuBar(xtpBarTypeMenuBar, xtpBarTop),
          m_popup(xtpBarTypePopup, xtpBarPopup)
    {
        m_host.CreateHost(CRect(0, 0, 460, 320), WS_POPUP);
        CXTPCommandBar* bars[] = {&m_toolBar, &m_menuBar, &m_popup};
        for (CXTPCommandBar* pBar : bars) {
            pTheme->InternalAddRef();
            pBar->SetPaintManager(pTheme);
        }
        pTheme->InternalRelease();

        m_toolBar.SetBarStyle(CBRS_GRIPPER);
        m_toolBar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD, CRect(0, 0, 440, 30), &m_host, 1);
        c.pNormal = Add(&m_toolBar, xtpControlButton, L"Normal");
        c.pHot = Add(&m_toolBar, xtpControlButton, L"Hot");
        c.pHot->SetSelected(xtpSelectedByMouse);
        c.pPressed = Add(&m_toolBar, xtpControlButton, L"Pressed");
        c.pPressed->SetSelected(xtpSelectedByMouse);
        c.pPressed->SetPressed(1);
        c.pChecked = Add(&m_toolBar, xtpControlButton, L"Checked");
        c.pChecked->SetChecked(1);
        c.pSplit = Add(&m_toolBar, xtpControlSplitButtonPopup, L"Split");
        c.pSplit->SetBeginGroup(TRUE);
        c.pSplit->SetSelected(xtpSelectedByMouse);
        c.pCombo = static_cast<CXTPControlComboBox*>(Add(&m_toolBar, xtpControlComboBox, L"Find"));
        c.pCombo->SetWidth(80);

        m_menuBar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD, CRect(0, 40, 300, 64), &m_host, 2);
        Add(&m_menuBar, xtpControlPopup, L"&File");
        c.pMenuHot = Add(&m_menuBar, xtpControlPopup, L"&Edit");
        c.pMenuHot->SetSelected(xtpSelectedByMouse);
        c.pMenuPopped = m_menuBar.GetControls()->Add(new CPoppedControl, 0);
        c.pMenuPopped->SetCaption(L"&View");
        c.pMenuPopped->SetStyle(xtpButtonCaption);

        m_popup.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD, CRect(0, 70, 200, 300), &m_host, 3);
        c.pItemNormal = Add(&m_popup, xtpControlButton, L"&Open\tCtrl+O");
        c.pItemChecked = Add(&m_popup, xtpControlButton, L"&Word Wrap");
        c.pItemChecked->SetChecked(1);
        c.pItemDisabled = Add(&m_popup, xtpControlButton, L"&Print");
        c.pItemDisabled->SetEnabled(FALSE);
        c.pItemDisabled->SetSelected(xtpSelectedByKeyboard);
        c.pItemSelected = Add(&m_popup, xtpControlButton, L"&Save");
        c.pItemSelected->SetSelected(xtpSelectedByMouse);
        c.pItemSelected->SetBeginGroup(TRUE);
        c.pItemPressed = Add(&m_popup, xtpControlButton, L"&Close");
        c.pItemPressed->SetSelected(xtpSelectedByMouse);
        c.pItemPressed->SetPressed(1);

        for (CSceneBar* pBar : {&m_toolBar, &m_menuBar, &m_popup})
            pBar->OnRecalcLayout();
    }
    ~Scene()
    {
        for (CSceneBar* pBar : {&m_toolBar, &m_menuBar, &m_popup})
            pBar->DestroyWindow();
        m_host.DestroyWindow();
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    enum Bar
    {
        kToolBar,
        kMenuBar,
        kPopup
    };
    CSceneBar* GetBar(Bar bar) { return bar == kToolBar ? &m_toolBar : bar == kMenuBar ? &m_menuBar : &m_popup; }

    // The bar drawn as its window draws itself, on magenta.
    std::unique_ptr<lqtest::MemoryCanvas> Draw(Bar bar)
    {
        CRect rc;
        GetBar(bar)->GetClientRect(&rc);
        auto canvas = std::make_unique<lqtest::MemoryCanvas>(rc.Width(), rc.Height(), RGB(255, 0, 255));
        GetBar(bar)->DrawCommandBar(&canvas->Dc());
        return canvas;
    }

    cbtest::CHostWnd m_host;
    CSceneBar m_toolBar;
    CSceneBar m_menuBar;
    CSceneBar m_popup;
    SceneControls c = {};

private:
    static CXTPControl* Add(CXTPCommandBar* pBar, XTPControlType type, LPCWSTR lpszCaption)
    {
        CXTPControl* pControl = pBar->GetControls()->AddByType(type, 0);
        pControl->SetCaption(lpszCaption);
        pControl->SetStyle(xtpButtonCaption);
        return pControl;
    }
};

// One bar of a kind and position on a host window, and a theme, for the themes' single operations.
template <class TTheme> class BarTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(CRect(0, 0, 300, 200), WS_POPUP)); }
    void TearDown() override
    {
        m_bar.DestroyWindow();
        m_host.DestroyWindow();
    }
    void MakeBar(XTPBarType type, XTPBarPosition position, CRect rc)
    {
        m_bar.SetType(type);
        m_bar.SetBarPosition(position);
        ASSERT_TRUE(m_bar.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD, rc, &m_host, 100));
    }

    cbtest::CHostWnd m_host;
    CSceneBar m_bar{xtpBarTypeNormal, xtpBarTop};
    TTheme m_theme;
};

} // namespace themetest
