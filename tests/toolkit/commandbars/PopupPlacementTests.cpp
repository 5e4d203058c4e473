// Where a popup goes against the work area and the control that opens it, the menu layout's sizes without a
// window, the rarely used commands behind the expand button, and the animation kind from the options.
#include "toolkit/commandbars/XTPPopupBar.h"

#include "tests/support/TestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PlacementCase
{
    const char* pszName;
    CRect rcWork;
    CRect rcExclude;
    CPoint pt;
    CSize sz;
    DWORD dwFlags;
    CRect rcExpected;
    DWORD dwExpectedFlags;
    BOOL bScroll;
};

TEST(PopupPlacement, FollowsTheWorkAreaAndTheOpeningControl)
{
    const CRect screen(0, 0, 800, 600); // usable bottom 595, middle 297
    const CRect left(-1024, 0, 0, 768); // a monitor left of the primary one
    const PlacementCase cases[] = {
        {"point in the middle", screen, CRect(), CPoint(100, 100), CSize(120, 200), 0, CRect(100, 100, 220, 300), 0,
         FALSE},
        {"point near the bottom-right corner opens up and left", screen, CRect(), CPoint(790, 590), CSize(100, 200), 0,
         CRect(700, 390, 800, 590), 0, FALSE},
        {"tall menu in the upper half ends 5 above the bottom", screen, CRect(), CPoint(100, 100), CSize(100, 550), 0,
         CRect(100, 45, 200, 595), 0, FALSE},
        {"point below the usable bottom opens upwards", screen, CRect(), CPoint(100, 598), CSize(100, 200), 0,
         CRect(100, 398, 200, 598), 0, FALSE},
        {"point past the right edge", screen, CRect(), CPoint(820, 100), CSize(100, 100), 0, CRect(700, 100, 800, 200),
         0, FALSE},
        {"menu taller than the screen at a point scrolls", screen, CRect(), CPoint(100, 100), CSize(100, 900), 0,
         CRect(100, 0, 200, 595), 0, TRUE},
        {"drop-down that fits below", screen, CRect(100, 50, 160, 70), CPoint(100, 70), CSize(120, 200), xtpPopupDown,
         CRect(100, 70, 220, 270), xtpPopupDown, FALSE},
        {"drop-down flips above its control", screen, CRect(100, 500, 160, 520), CPoint(100, 520), CSize(120, 300),
         xtpPopupDown, CRect(100, 200, 220, 500), xtpPopupDown, FALSE},
        {"drop-down fitting nowhere takes the space below", screen, CRect(100, 200, 160, 220), CPoint(100, 220),
         CSize(120, 1000), xtpPopupDown, CRect(100, 220, 220, 595), xtpPopupDown, TRUE},
        {"drop-down fitting nowhere takes the space above", screen, CRect(100, 400, 160, 420), CPoint(100, 420),
         CSize(120, 1000), xtpPopupDown, CRect(100, 0, 220, 400), xtpPopupDown, TRUE},
        {"drop-down at the right edge aligns right and turns left", screen, CRect(750, 10, 790, 30), CPoint(750, 30),
         CSize(150, 100), xtpPopupDown, CRect(650, 30, 800, 130), xtpPopupDown | xtpPopupLeft, FALSE},
        {"right-aligned drop-down", screen, CRect(300, 10, 340, 30), CPoint(300, 30), CSize(150, 100),
         xtpPopupDown | xtpPopupLeft, CRect(190, 30, 340, 130), xtpPopupDown | xtpPopupLeft, FALSE},
        {"submenu without room on the right opens left of its item", screen, CRect(700, 100, 790, 120),
         CPoint(790, 100), CSize(150, 200), 0, CRect(550, 100, 700, 300), xtpPopupLeft, FALSE},
        {"submenu opening left without room turns right again", screen, CRect(100, 100, 190, 120), CPoint(190, 100),
         CSize(150, 200), xtpPopupLeft, CRect(190, 100, 340, 300), 0, FALSE},
        {"submenu near the bottom ends above it", screen, CRect(300, 500, 400, 520), CPoint(400, 500), CSize(150, 200),
         0, CRect(400, 395, 550, 595), 0, FALSE},
        {"point on a monitor left of the primary keeps to it", left, CRect(), CPoint(-1020, 100), CSize(200, 100),
         xtpPopupLeft, CRect(-1024, 100, -824, 200), 0, FALSE},
        {"point at the right edge of the left monitor", left, CRect(), CPoint(-5, 700), CSize(200, 100), 0,
         CRect(-200, 600, 0, 700), 0, FALSE},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        const XTPPopupPlacement placement = CalcPopupPlacement(c.rcWork, c.rcExclude, c.pt, c.sz, c.dwFlags);
        EXPECT_EQ(CRect(placement.ptPos, placement.szPopup), c.rcExpected);
        EXPECT_EQ(placement.dwFlags, c.dwExpectedFlags);
        EXPECT_EQ(placement.bScroll, c.bScroll);
        // Every popup stays inside its monitor's work area.
        EXPECT_GE(placement.ptPos.x, c.rcWork.left);
        EXPECT_LE(placement.ptPos.x + placement.szPopup.cx, c.rcWork.right);
        EXPECT_GE(placement.ptPos.y, c.rcWork.top);
        EXPECT_LE(placement.ptPos.y + placement.szPopup.cy, c.rcWork.bottom);
    }
}

// A popup bar with a manager, laid out without a window.
class PopupLayoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pCommandBars = new CXTPCommandBars;
        m_pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
        m_pBar = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    }
    void TearDown() override
    {
        m_pBar->InternalRelease();
        m_pCommandBars->InternalRelease();
    }
    CXTPControl* Add(int nId, LPCTSTR lpszCaption)
    {
        CXTPControl* pControl = m_pBar->GetControls()->AddByType(xtpControlButton, nId);
        pControl->SetCaption(lpszCaption);
        return pControl;
    }
    CXTPControl* Expander() { return m_pBar->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND); }

    CXTPCommandBars* m_pCommandBars = nullptr;
    CXTPPopupBar* m_pBar = nullptr;
};

TEST_F(PopupLayoutTest, EmptyAndVeryWidePopupsKeepTheirLimits)
{
    const CRect rcBorders = XTPPaintManager()->GetBorders(m_pBar);
    const CSize szEmpty = m_pBar->CalcDynamicLayout(0, 0);
    EXPECT_EQ(szEmpty, CSize(22 + rcBorders.left + rcBorders.right, 22 + rcBorders.bottom));

    Add(1001, L"Short");
    CXTPControl* pLong = Add(1002, std::wstring(400, L'W').c_str());
    const CSize sz = m_pBar->CalcDynamicLayout(0, 0);
    CRect rcWork;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_LE(pLong->GetRect().Width(), rcWork.right / 3);
    // Every row is as wide as the widest.
    EXPECT_EQ(m_pBar->GetControl(0)->GetRect().Width(), pLong->GetRect().Width());
    EXPECT_EQ(sz.cx, rcBorders.left + rcBorders.right + pLong->GetRect().Width());
    EXPECT_EQ(sz.cy, pLong->GetRect().bottom + rcBorders.bottom);
}

TEST_F(PopupLayoutTest, RarelyUsedCommandsHideBehindTheExpandButton)
{
    CXTPControl* pFrequent = Add(1001, L"Frequent");
    CXTPControl* pRare = Add(1002, L"Rare");
    m_pCommandBars->HideCommand(1002);
    const CSize szShort = m_pBar->CalcDynamicLayout(0, 0);
    ASSERT_TRUE(m_pBar->IsExpandButtonShown());
    ASSERT_NE(Expander(), nullptr);
    EXPECT_TRUE(Expander()->IsVisible());
    EXPECT_EQ(pRare->GetHideFlags(), static_cast<DWORD>(xtpHideExpand));
    EXPECT_TRUE(pFrequent->IsVisible());
    EXPECT_EQ(Expander()->GetRect().top, pFrequent->GetRect().bottom);
    const int nExpandHeight = Expander()->GetRect().Height();
    EXPECT_GT(nExpandHeight, 0);

    // The user ran the command once: it is no longer rarely used.
    m_pCommandBars->SetCommandUsed(1002);
    const CSize szFull = m_pBar->CalcDynamicLayout(0, 0);
    EXPECT_FALSE(m_pBar->IsExpandButtonShown());
    EXPECT_TRUE(pRare->IsVisible());
    EXPECT_FALSE(Expander()->IsVisible());
    EXPECT_EQ(szFull.cy - szShort.cy, pRare->GetRect().Height() - nExpandHeight);

    // All rarely used: all shown, no expand button.
    m_pCommandBars->ResetUsageData();
    m_pCommandBars->HideCommand(1001);
    m_pBar->CalcDynamicLayout(0, 0);
    EXPECT_FALSE(m_pBar->IsExpandButtonShown());
    EXPECT_TRUE(pFrequent->IsVisible());
    EXPECT_TRUE(pRare->IsVisible());

    // "Always show full menus" clears the marks.
    m_pCommandBars->ResetUsageData();
    m_pCommandBars->GetCommandBarsOptions()->m_mapHiddenCommands.RemoveKey(1001);
    m_pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = TRUE;
    m_pBar->CalcDynamicLayout(0, 0);
    EXPECT_FALSE(m_pBar->IsExpandButtonShown());
    EXPECT_FALSE(pRare->IsRarelyUsed());
    EXPECT_TRUE(pRare->IsVisible());
    EXPECT_TRUE(m_pBar->IsExpanded());
}

TEST_F(PopupLayoutTest, CopiesCarryTheTearOffAndShadowSettingsAndCycleSafeRelations)
{
    m_pBar->SetTearOffPopup(L"Filter", 4242, 300);
    m_pBar->SetShowShadow(FALSE);
    Add(1001, L"One");
    CXTPCommandBar* pClone = m_pBar->Clone(TRUE);
    CXTPPopupBar* pPopupClone = DYNAMIC_DOWNCAST(CXTPPopupBar, pClone);
    ASSERT_NE(pPopupClone, nullptr);
    EXPECT_TRUE(pPopupClone->IsTearOffPopup());
    EXPECT_FALSE(pPopupClone->GetShowShadow());
    EXPECT_EQ(pPopupClone->GetControlCount(), 1);
    pClone->InternalRelease();

    // Two popups that lead to each other (a corrupt layout can make them): the relation test ends.
    CXTPPopupBar* pOther = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    CXTPControlPopup* pToOther = new CXTPControlPopup;
    pOther->InternalAddRef();
    pToOther->SetCommandBar(pOther);
    m_pBar->GetControls()->Add(pToOther, 2001);
    CXTPControlPopup* pBack = new CXTPControlPopup;
    m_pBar->InternalAddRef();
    pBack->SetCommandBar(m_pBar);
    pOther->GetControls()->Add(pBack, 2002);
    CXTPControlPopup* pStranger = new CXTPControlPopup;
    CXTPPopupBar* pLonely = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    pStranger->SetCommandBar(pLonely);
    EXPECT_TRUE(pToOther->IsRelated(pBack));
    EXPECT_FALSE(pToOther->IsRelated(pStranger));
    EXPECT_FALSE(pStranger->IsRelated(pBack));
    pStranger->InternalRelease();
    // Break the cycle so that both bars can go.
    pOther->GetControls()->RemoveAll();
    pOther->InternalRelease();
}

TEST(PopupAnimation, KindFromTheOptionsAndTheSystemSetting)
{
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    CXTPPopupBar* pBar = CXTPPopupBar::CreatePopupBar(pCommandBars);
    for (int nKind : {xtpAnimateUnfold, xtpAnimateSlide, xtpAnimateFade, xtpAnimateNone}) {
        pCommandBars->GetCommandBarsOptions()->animationType = nKind;
        EXPECT_EQ(GetPopupAnimationType(pBar), nKind);
    }
    pCommandBars->GetCommandBarsOptions()->animationType = xtpAnimateRandom;
    for (int i = 0; i < 20; ++i) {
        const int nKind = GetPopupAnimationType(pBar);
        EXPECT_TRUE(nKind == xtpAnimateUnfold || nKind == xtpAnimateSlide || nKind == xtpAnimateFade) << nKind;
    }

    // The system setting: menu animation off, slide, fade.
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    BYTE saved[64] = {};
    DWORD dwSaved = sizeof(saved), dwType = 0;
    const bool bHadValue =
        ::RegQueryValueExW(hKey, L"UserPreferencesMask", nullptr, &dwType, saved, &dwSaved) == ERROR_SUCCESS;
    const struct
    {
        BYTE mask[4];
        int nExpected;
    } system[] = {{{0x00, 0x02, 0, 0}, xtpAnimateWindowsDefault},
                  {{0x02, 0x00, 0, 0}, xtpAnimateSlide},
                  {{0x02, 0x02, 0, 0}, xtpAnimateFade}};
    pCommandBars->GetCommandBarsOptions()->animationType = xtpAnimateWindowsDefault;
    for (const auto& c : system) {
        ::RegSetValueExW(hKey, L"UserPreferencesMask", 0, REG_BINARY, c.mask, sizeof(c.mask));
        EXPECT_EQ(GetPopupAnimationType(pBar), c.nExpected);
    }
    if (bHadValue)
        ::RegSetValueExW(hKey, L"UserPreferencesMask", 0, dwType, saved, dwSaved);
    else
        ::RegDeleteValueW(hKey, L"UserPreferencesMask");
    ::RegCloseKey(hKey);

    // Without a manager nothing animates.
    CXTPPopupBar* pLoose = CXTPPopupBar::CreatePopupBar(nullptr);
    EXPECT_EQ(GetPopupAnimationType(pLoose), xtpAnimateNone);
    pLoose->InternalRelease();
    pBar->InternalRelease();
    pCommandBars->InternalRelease();
}

} // namespace
