// Saving and loading a frame's bar layout and customised bars: round trips through the profile and through the
// hidden file, the size at which the archive leaves the profile, damaged archives (truncated, bit-flipped, popup
// bars that open each other), the options kept in the archive, and the arithmetic that fits a layout to another
// screen.
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/commandbars/XTPCommandBarsPersist.h"

#include "tests/toolkit/commandbars/CommandBarsTestIds.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPFrameWnd.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

const wchar_t kCompany[] = L"LanternquillBarPersistenceTests";
const wchar_t kProfile[] = L"CommandBars";
const UINT kUserBarID = 21500;

// Every option the archive keeps, the icon options of the paint manager last, the hidden commands as id/value pairs.
std::vector<int> ArchivedOptions(CXTPCommandBarsOptions* o, CXTPPaintManager* pPaintManager)
{
    std::vector<int> values = {o->bAlwaysShowFullMenus, o->bShowFullAfterDelay, o->bToolBarScreenTips,
                               o->bToolBarAccelTips,    o->bLargeIcons,         o->bSyncFloatingBars,
                               o->bShowExpandButtonAlways, static_cast<int>(o->szIcons.cx),
                               static_cast<int>(o->szIcons.cy), static_cast<int>(o->szLargeIcons.cx),
                               static_cast<int>(o->szLargeIcons.cy)};
    std::vector<std::pair<int, int>> hidden;
    POSITION pos = o->m_mapHiddenCommands.GetStartPosition();
    while (pos != nullptr) {
        UINT nCommand = 0;
        BOOL bHidden = FALSE;
        o->m_mapHiddenCommands.GetNextAssoc(pos, nCommand, bHidden);
        hidden.emplace_back(static_cast<int>(nCommand), bHidden);
    }
    std::sort(hidden.begin(), hidden.end());
    for (const auto& entry : hidden) {
        values.push_back(entry.first);
        values.push_back(entry.second);
    }
    const XTP_COMMANDBARS_ICONSOPTIONS* pIcons = pPaintManager->GetIconOptions();
    values.insert(values.end(), {pIcons->bUseFadedIcons, pIcons->bUseDisabledIcons, pIcons->bIconsWithShadow});
    return values;
}

std::string OptionsBytes(CXTPCommandBarsOptions* pOptions)
{
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store);
        pOptions->Serialize(ar);
        ar.Close();
    }
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return bytes;
}

// FALSE when loading the bytes raised the archive's exception.
BOOL LoadOptionsBytes(CXTPCommandBarsOptions* pOptions, const std::string& bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load);
        pOptions->Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

// A manager of its own with a paint manager of its own, so that no test changes the toolkit-wide icon options.
struct OwnManager
{
    OwnManager()
    {
        pCommandBars = new CXTPCommandBars;
        pCommandBars->SetPaintManager(CXTPPaintManager::CreateTheme(xtpThemeDefault));
    }
    ~OwnManager() { pCommandBars->InternalRelease(); }
    OwnManager(const OwnManager&) = delete;
    OwnManager& operator=(const OwnManager&) = delete;
    CXTPCommandBarsOptions* Options() const { return pCommandBars->GetCommandBarsOptions(); }
    std::vector<int> Archived() const { return ArchivedOptions(Options(), pCommandBars->GetPaintManager()); }
    CXTPCommandBars* pCommandBars;
};

TEST(CommandBarsOptionsArchive, WritesItsFixedFormAndReadsItBackWhole)
{
    OwnManager saved;
    CXTPCommandBarsOptions* o = saved.Options();
    o->bAlwaysShowFullMenus = FALSE;
    o->bShowFullAfterDelay = TRUE;
    o->bToolBarScreenTips = FALSE;
    o->bToolBarAccelTips = TRUE;
    o->bLargeIcons = TRUE;
    o->bSyncFloatingBars = FALSE;
    o->bShowExpandButtonAlways = FALSE;
    o->szIcons = CSize(20, 21);
    o->szLargeIcons = CSize(40, 42);
    // Not in the archive: they stay the reader's own.
    o->bDblClickFloat = TRUE;
    o->animationType = 4;
    saved.pCommandBars->HideCommand(0x1234);
    *saved.pCommandBars->GetPaintManager()->GetIconOptions() = {TRUE, FALSE, TRUE};
    const std::string bytes = OptionsBytes(o);

    // The schema, the seven switches, both icon sizes, the hidden commands as a map of one entry, and the paint
    // manager's icon options from the last to the first.
    const int32_t head[] = {7, 0, 1, 0, 1, 1, 0, 0, 20, 21, 40, 42};
    std::string expected(reinterpret_cast<const char*>(head), sizeof(head));
    expected += std::string("\x01\x00", 2);
    const int32_t tail[] = {0x1234, 1, 1, 0, 1};
    expected += std::string(reinterpret_cast<const char*>(tail), sizeof(tail));
    EXPECT_EQ(bytes, expected);

    OwnManager loaded;
    const std::vector<int> defaults = loaded.Archived();
    // Every cut raises the archive's exception and changes nothing, the icon options included.
    for (size_t n = 0; n < bytes.size(); ++n) {
        ASSERT_FALSE(LoadOptionsBytes(loaded.Options(), bytes.substr(0, n))) << "cut at " << n;
        ASSERT_EQ(loaded.Archived(), defaults) << "cut at " << n;
    }
    ASSERT_TRUE(LoadOptionsBytes(loaded.Options(), bytes));
    EXPECT_EQ(loaded.Archived(), saved.Archived());
    EXPECT_FALSE(loaded.Options()->bDblClickFloat);
    EXPECT_EQ(loaded.Options()->animationType, 0);
}

// A toolbar that counts its live objects, so that a test sees every bar an archive made released again.
class CCountedToolBar : public CXTPToolBar
{
    DECLARE_SERIAL(CCountedToolBar)

public:
    CCountedToolBar() { ++s_nLive; }
    ~CCountedToolBar() override { --s_nLive; }
    static int s_nLive;
};
int CCountedToolBar::s_nLive = 0;
IMPLEMENT_SERIAL(CCountedToolBar, CXTPToolBar, VERSIONABLE_SCHEMA | 7)

class CPersistFrame : public CXTPFrameWnd
{
public:
    BOOL m_bCustomizable = TRUE;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CXTPFrameWnd::OnCreate(lpcs) == -1 || !InitCommandBars())
            return -1;
        return 0;
    }
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        // The customise command makes the site customisable; a test switches it off.
        if (nID == XTP_ID_CUSTOMIZE && nCode == CN_COMMAND && pHandlerInfo != nullptr)
            return m_bCustomizable;
        return CXTPFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPersistFrame, CXTPFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

std::vector<std::wstring> Captions(CXTPToolBar* pBar)
{
    std::vector<std::wstring> captions;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        CXTPControl* pControl = pBar->GetControl(i);
        if (!pControl->IsTemporary())
            captions.push_back(std::to_wstring(pControl->GetID()) + L":" +
                               static_cast<LPCTSTR>(pControl->GetCaption()));
    }
    return captions;
}

class BarPersistenceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str());
        m_app.SetRegistryKey(kCompany);
        WCHAR szTemp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, szTemp);
        m_strFolder = CString(szTemp) + L"lq-persist-tests";
        ::CreateDirectoryW(m_strFolder, nullptr);
        CreateFrame();
    }

    void TearDown() override
    {
        DestroyFrame();
        for (LPCTSTR name : {L"\\bars", L"\\data\\bars", L"\\other"})
            DeleteFile(m_strFolder + name);
        ::RemoveDirectoryW(m_strFolder + L"\\data");
        ::RemoveDirectoryW(m_strFolder);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str());
        EXPECT_EQ(CCountedToolBar::s_nLive, 0);
    }

    static void DeleteFile(const CString& path)
    {
        ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path);
    }

    void CreateFrame(BOOL bCustomizable = TRUE)
    {
        m_pFrame = new CPersistFrame;
        m_pFrame->m_bCustomizable = bCustomizable;
        ASSERT_TRUE(m_pFrame->Create(nullptr, L"Persist", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 840, 560),
                                     nullptr, MAKEINTRESOURCEW(IDR_TEST_BARS_MENU)));
        m_app.m_pMainWnd = m_pFrame;
        m_pCommandBars = m_pFrame->GetCommandBars();
        ASSERT_NE(m_pCommandBars, nullptr);
        m_pCommandBars->SetControlsFileName(m_strFolder + L"\\bars");
        ASSERT_NE(m_pCommandBars->SetMenu(L"Menu Bar", IDR_TEST_BARS_MENU), nullptr);
        m_pStandard = m_pCommandBars->Add(L"Standard", xtpBarTop, RUNTIME_CLASS(CCountedToolBar));
        ASSERT_NE(m_pStandard, nullptr);
        ASSERT_TRUE(m_pStandard->LoadToolBar(IDR_TEST_TOOLBAR1));
        m_pStandard->SetBarID(IDR_TEST_TOOLBAR1);
        m_pFormat = m_pCommandBars->Add(L"Format", xtpBarTop, RUNTIME_CLASS(CCountedToolBar));
        ASSERT_NE(m_pFormat, nullptr);
        ASSERT_TRUE(m_pFormat->LoadToolBar(IDR_TEST_TOOLBAR2));
        m_pFormat->SetBarID(IDR_TEST_TOOLBAR2);
        m_pCommandBars->RecalcFrameLayout();
        lqtest::PumpPending();
    }

    void DestroyFrame()
    {
        m_app.m_pMainWnd = nullptr;
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->DestroyWindow();
        m_pFrame = nullptr;
        lqtest::PumpPending();
    }

    void Rebuild()
    {
        DestroyFrame();
        CreateFrame();
    }

    void Load(BOOL bSilent = TRUE)
    {
        m_pCommandBars->LoadBarState(kProfile, bSilent);
        m_pCommandBars->RecalcFrameLayout();
        lqtest::PumpPending();
    }

    // Customises Standard: its first button goes, and a button of the test's own is added.
    void Customise(int nAdded = 1, const CString& strCaptionTail = L"")
    {
        m_pStandard->GetControls()->RemoveAt(0);
        for (int i = 0; i < nAdded; ++i) {
            CXTPControl* pControl = m_pStandard->GetControls()->AddByType(xtpControlButton, 21600 + i);
            pControl->SetCaption(CString(L"Added ") + std::to_wstring(i).c_str() + strCaptionTail);
        }
        m_pStandard->OnRecalcLayout();
    }

    CString Section(LPCTSTR lpszSuffix) const { return CString(kProfile) + lpszSuffix; }
    bool HasValue(LPCTSTR lpszSection, LPCTSTR lpszEntry)
    {
        return m_app.GetProfileInt(lpszSection, lpszEntry, -12345) != static_cast<UINT>(-12345);
    }
    std::string ControlsBytes()
    {
        BYTE* pData = nullptr;
        UINT nBytes = 0;
        if (!m_app.GetProfileBinary(Section(L"-Controls"), L"Controls", &pData, &nBytes))
            return std::string();
        std::string bytes(reinterpret_cast<char*>(pData), nBytes);
        delete[] pData;
        return bytes;
    }
    void SetControlsBytes(const std::string& bytes)
    {
        m_app.WriteProfileBinary(Section(L"-Controls"), L"Controls",
                                 reinterpret_cast<LPBYTE>(const_cast<char*>(bytes.data())),
                                 static_cast<UINT>(bytes.size()));
    }

    static CRect WindowRect(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc;
    }

    CWinApp m_app{L"BarPersistenceTests"};
    CString m_strFolder;
    CPersistFrame* m_pFrame = nullptr;
    CXTPCommandBars* m_pCommandBars = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
    CXTPToolBar* m_pFormat = nullptr;
};

TEST_F(BarPersistenceTest, PlacesAndVisibilityComeBackInANewFrame)
{
    // Format docks at the left, Standard floats at a place of its own, and is then hidden.
    ASSERT_TRUE(m_pCommandBars->DockCommandBar(m_pFormat, nullptr, m_pCommandBars->GetDockBar(xtpBarLeft)));
    ASSERT_TRUE(m_pCommandBars->FloatCommandBar(m_pStandard));
    m_pStandard->SetWindowPos(nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pStandard->OnRecalcLayout();
    m_pCommandBars->RecalcFrameLayout();
    lqtest::PumpPending();
    const CRect rcFloating = WindowRect(m_pStandard);
    m_pStandard->SetVisible(FALSE);
    m_pCommandBars->SaveBarState(kProfile);

    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Summary"), L"Bars", 0), 3u);
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Summary"), L"ScreenCX", 0),
              static_cast<UINT>(::GetSystemMetrics(SM_CXSCREEN)));
    // Bar 0 is the visible menu bar: no "Visible" and no "Floating" value; bar 1 is Standard.
    EXPECT_FALSE(HasValue(Section(L"-Bar0"), L"Visible"));
    EXPECT_FALSE(HasValue(Section(L"-Bar0"), L"Floating"));
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Bar1"), L"BarID", 0), UINT{IDR_TEST_TOOLBAR1});
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Bar1"), L"Visible", 1), 0u);
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Bar1"), L"Floating", 0), 1u);
    EXPECT_EQ(static_cast<int>(m_app.GetProfileInt(Section(L"-Bar1"), L"XPos", 0)), rcFloating.left);
    // The left dock bar: the leading row break, then Format.
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-DockBar2"), L"Bars", 0), 3u);
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-DockBar2"), L"Bar#1", 0), UINT{IDR_TEST_TOOLBAR2});

    Rebuild();
    ASSERT_EQ(m_pFormat->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarTop));
    Load();
    EXPECT_EQ(m_pFormat->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarLeft));
    EXPECT_EQ(m_pFormat->GetPosition(), xtpBarLeft);
    EXPECT_EQ(::GetParent(m_pFormat->m_hWnd), m_pCommandBars->GetDockBar(xtpBarLeft)->m_hWnd);
    EXPECT_EQ(m_pStandard->GetPosition(), xtpBarFloating);
    EXPECT_EQ(m_pStandard->GetDockBar(), nullptr);
    EXPECT_FALSE(m_pStandard->IsVisible());
    EXPECT_FALSE(m_pStandard->IsWindowVisible());
    EXPECT_EQ(WindowRect(m_pStandard).TopLeft(), rcFloating.TopLeft());
    EXPECT_TRUE(m_pFormat->IsWindowVisible());
}

TEST_F(BarPersistenceTest, AFloatingBarSavedOnAScreenTwiceAsLargeComesBackAtHalfItsPlace)
{
    ASSERT_TRUE(m_pCommandBars->FloatCommandBar(m_pStandard));
    m_pStandard->SetWindowPos(nullptr, 300, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pCommandBars->SaveBarState(kProfile);
    m_app.WriteProfileInt(Section(L"-Summary"), L"ScreenCX", 2 * ::GetSystemMetrics(SM_CXSCREEN));
    m_app.WriteProfileInt(Section(L"-Summary"), L"ScreenCY", 2 * ::GetSystemMetrics(SM_CYSCREEN));

    Rebuild();
    Load();
    EXPECT_EQ(m_pStandard->GetPosition(), xtpBarFloating);
    EXPECT_EQ(WindowRect(m_pStandard).TopLeft(), CPoint(150, 120));
}

TEST_F(BarPersistenceTest, RowsOfADockBarComeBackInTheirOrder)
{
    // Format first, then Standard in a row of its own below it.
    CXTPDockBar* pTop = m_pCommandBars->GetDockBar(xtpBarTop);
    pTop->RemoveCommandBar(m_pStandard);
    pTop->DockCommandBar(m_pStandard);
    m_pCommandBars->RecalcFrameLayout();
    lqtest::PumpPending();
    ASSERT_LT(WindowRect(m_pFormat).top, WindowRect(m_pStandard).top);
    m_pCommandBars->SaveBarState(kProfile);

    Rebuild();
    ASSERT_LT(WindowRect(m_pStandard).top, WindowRect(m_pFormat).top);
    Load();
    EXPECT_LT(WindowRect(m_pFormat).top, WindowRect(m_pStandard).top);
    const std::vector<CXTPToolBar*>& bars = m_pCommandBars->GetDockBar(xtpBarTop)->GetBars();
    ASSERT_FALSE(bars.empty());
    EXPECT_EQ(bars.front(), nullptr);
    EXPECT_EQ(bars.back(), nullptr);
    for (size_t i = 1; i < bars.size(); ++i)
        EXPECT_FALSE(bars[i] == nullptr && bars[i - 1] == nullptr) << "two row breaks at " << i;
}

TEST_F(BarPersistenceTest, ASecondRowBreakIsSavedOnce)
{
    auto* a = reinterpret_cast<CXTPToolBar*>(m_pStandard);
    auto* b = reinterpret_cast<CXTPToolBar*>(m_pFormat);
    const std::vector<UINT> entries = EncodeDockBarRows({nullptr, a, nullptr, nullptr, b, nullptr, nullptr});
    EXPECT_EQ(entries, (std::vector<UINT>{0, IDR_TEST_TOOLBAR1, 0, IDR_TEST_TOOLBAR2, 0}));
}

TEST_F(BarPersistenceTest, CustomisedControlsComeBackThroughTheProfile)
{
    Customise();
    const std::vector<std::wstring> customised = Captions(m_pStandard);
    const std::vector<std::wstring> format = Captions(m_pFormat);
    m_pCommandBars->SaveBarState(kProfile);
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Controls"), L"LoadFromFile", 9), 0u);
    EXPECT_FALSE(ControlsBytes().empty());

    Rebuild();
    ASSERT_NE(Captions(m_pStandard), customised);
    Load();
    EXPECT_EQ(Captions(m_pStandard), customised);
    EXPECT_EQ(Captions(m_pFormat), format);
    // The reset copy still is the resource's layout.
    ASSERT_NE(m_pStandard->GetControls()->GetOriginalControls(), nullptr);
    EXPECT_FALSE(m_pStandard->GetControls()->Compare(m_pStandard->GetControls()->GetOriginalControls()));
    EXPECT_EQ(m_pCommandBars->GetCount(), 3);
}

// Answers the first message box of this thread with No, keeping its text.
std::wstring g_strQuestion;
int g_nQuestions = 0;

BOOL CALLBACK FindMessageBox(HWND hWnd, LPARAM lParam)
{
    WCHAR szClass[16] = L"";
    ::GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32770") != 0 || !::IsWindowVisible(hWnd))
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

void CALLBACK AnswerNo(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hBox = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&hBox));
    if (hBox == nullptr)
        return;
    WCHAR szText[512] = L"";
    ::GetDlgItemTextW(hBox, 0xFFFF, szText, 512);
    g_strQuestion = szText;
    ++g_nQuestions;
    ::SendMessageW(::GetDlgItem(hBox, IDNO), BM_CLICK, 0, 0);
}

TEST_F(BarPersistenceTest, AToolbarChangedByAnUpdateAsksBeforeTakingTheCustomisedOne)
{
    Customise();
    const std::vector<std::wstring> customised = Captions(m_pStandard);
    m_pCommandBars->SaveBarState(kProfile);

    // The program's Standard has grown a button since: its reset copy differs from the saved one.
    auto update = [this] {
        m_pStandard->GetControls()->AddByType(xtpControlButton, 21700)->SetCaption(L"New in update");
        m_pStandard->GetControls()->SaveOriginalControls();
    };
    Rebuild();
    update();
    const std::vector<std::wstring> updated = Captions(m_pStandard);
    Load(TRUE);
    EXPECT_EQ(Captions(m_pStandard), updated);

    Rebuild();
    update();
    g_nQuestions = 0;
    const UINT_PTR idTimer = ::SetTimer(nullptr, 0, 50, AnswerNo);
    Load(FALSE);
    ::KillTimer(nullptr, idTimer);
    EXPECT_EQ(g_nQuestions, 1);
    EXPECT_NE(g_strQuestion.find(L"'Standard'"), std::wstring::npos) << g_strQuestion;
    // No: the customised bar, measured against the program's new reset copy.
    EXPECT_EQ(Captions(m_pStandard), customised);
    ASSERT_NE(m_pStandard->GetControls()->GetOriginalControls(), nullptr);
    EXPECT_EQ(m_pStandard->GetControls()->GetOriginalControls()->GetCount(), static_cast<int>(updated.size()));
}

TEST_F(BarPersistenceTest, OnlyChangedBarsAreArchived)
{
    // Nothing customised: the bars go into the archive only when all are asked for.
    m_pCommandBars->SaveBarState(kProfile, TRUE);
    const size_t nChanged = ControlsBytes().size();
    m_pCommandBars->SaveBarState(kProfile, FALSE);
    const size_t nAll = ControlsBytes().size();
    EXPECT_LT(nChanged, nAll);
    // Customised, Standard joins the changed ones.
    Customise();
    m_pCommandBars->SaveBarState(kProfile, TRUE);
    EXPECT_GT(ControlsBytes().size(), nChanged);
}

TEST_F(BarPersistenceTest, AUserToolbarWithItsPopupComesBack)
{
    CXTPToolBar* pUser = m_pCommandBars->AddCustomToolBar(L"Mine", kUserBarID);
    ASSERT_NE(pUser, nullptr);
    auto* pPopupControl = static_cast<CXTPControlPopup*>(pUser->GetControls()->AddByType(xtpControlPopup, 0));
    pPopupControl->SetCaption(L"More");
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    pPopup->GetControls()->AddByType(xtpControlButton, ID_TEST_OPEN)->SetCaption(L"Open inside");
    pPopupControl->SetCommandBar(pPopup);
    m_pCommandBars->SaveBarState(kProfile);

    Rebuild();
    ASSERT_EQ(m_pCommandBars->FindToolBar(kUserBarID), nullptr);
    Load();
    CXTPToolBar* pLoaded = m_pCommandBars->FindToolBar(kUserBarID);
    ASSERT_NE(pLoaded, nullptr);
    EXPECT_EQ(pLoaded->GetTitle(), CString(L"Mine"));
    EXPECT_NE(pLoaded->GetDockBar(), nullptr);
    ASSERT_NE(pLoaded->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(pLoaded->IsWindowVisible());
    CXTPControlPopup* pLoadedPopup = nullptr;
    for (int i = 0; i < pLoaded->GetControlCount() && pLoadedPopup == nullptr; ++i)
        pLoadedPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pLoaded->GetControl(i));
    ASSERT_NE(pLoadedPopup, nullptr);
    ASSERT_NE(pLoadedPopup->GetCommandBar(), nullptr);
    ASSERT_EQ(pLoadedPopup->GetCommandBar()->GetControlCount(), 1);
    EXPECT_EQ(pLoadedPopup->GetCommandBar()->GetControl(0)->GetCaption(), CString(L"Open inside"));
}

TEST_F(BarPersistenceTest, PopupBarsThatOpenEachOtherLoadWithoutTheLoop)
{
    CXTPToolBar* pUser = m_pCommandBars->AddCustomToolBar(L"Loop", kUserBarID);
    ASSERT_NE(pUser, nullptr);
    auto* pToA = static_cast<CXTPControlPopup*>(pUser->GetControls()->AddByType(xtpControlPopup, 0));
    CXTPPopupBar* pA = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    CXTPPopupBar* pB = CXTPPopupBar::CreatePopupBar(m_pCommandBars);
    auto* pAToB = static_cast<CXTPControlPopup*>(pA->GetControls()->AddByType(xtpControlPopup, 0));
    auto* pBToA = static_cast<CXTPControlPopup*>(pB->GetControls()->AddByType(xtpControlPopup, 0));
    pToA->SetCommandBar(pA);
    pAToB->SetCommandBar(pB);
    pA->InternalAddRef();
    pBToA->SetCommandBar(pA);
    // Saving collects each bar once, loop or not.
    m_pCommandBars->SaveBarState(kProfile);
    pBToA->SetCommandBar(nullptr);

    Rebuild();
    Load();
    CXTPToolBar* pLoaded = m_pCommandBars->FindToolBar(kUserBarID);
    ASSERT_NE(pLoaded, nullptr);
    auto* pLoadedToA = DYNAMIC_DOWNCAST(CXTPControlPopup, pLoaded->GetControl(0));
    ASSERT_NE(pLoadedToA, nullptr);
    CXTPCommandBar* pLoadedA = pLoadedToA->GetCommandBar();
    ASSERT_NE(pLoadedA, nullptr);
    auto* pLoadedAToB = DYNAMIC_DOWNCAST(CXTPControlPopup, pLoadedA->GetControl(0));
    ASSERT_NE(pLoadedAToB, nullptr);
    CXTPCommandBar* pLoadedB = pLoadedAToB->GetCommandBar();
    ASSERT_NE(pLoadedB, nullptr);
    // The link back to A is dropped; everything else is there.
    auto* pLoadedBToA = DYNAMIC_DOWNCAST(CXTPControlPopup, pLoadedB->GetControl(0));
    ASSERT_NE(pLoadedBToA, nullptr);
    EXPECT_EQ(pLoadedBToA->GetCommandBar(), nullptr);
    // Saving again terminates and loads again.
    m_pCommandBars->SaveBarState(kProfile);
    Rebuild();
    Load();
    EXPECT_NE(m_pCommandBars->FindToolBar(kUserBarID), nullptr);
}

TEST_F(BarPersistenceTest, ALargeArchiveGoesToTheHiddenFileAndComesBack)
{
    // Long captions make the archive grow past the profile's share.
    Customise(40, CString(L' ', 200));
    const std::vector<std::wstring> customised = Captions(m_pStandard);
    m_pCommandBars->SaveBarState(kProfile);
    CString strFile;
    ASSERT_TRUE(m_pCommandBars->GetControlsFileName(strFile, kProfile));
    EXPECT_EQ(strFile, m_strFolder + L"\\bars");
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Controls"), L"LoadFromFile", 0), 1u);
    EXPECT_EQ(m_app.GetProfileString(Section(L"-Controls"), L"Controls"), strFile);
    const DWORD dwAttributes = ::GetFileAttributesW(strFile);
    ASSERT_NE(dwAttributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(dwAttributes & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_TRUE(IsControlsArchiveForFile(lqtest::ReadFileBytes(static_cast<LPCTSTR>(strFile)).size()));

    Rebuild();
    Load();
    EXPECT_EQ(Captions(m_pStandard), customised);

    // Saved small again: the profile holds the archive and the file is gone.
    Rebuild();
    Customise();
    m_pCommandBars->SaveBarState(kProfile);
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Controls"), L"LoadFromFile", 9), 0u);
    EXPECT_EQ(::GetFileAttributesW(strFile), INVALID_FILE_ATTRIBUTES);
}

TEST_F(BarPersistenceTest, TheProfileLimitIsSixteenThousandBytes)
{
    EXPECT_FALSE(IsControlsArchiveForFile(16000));
    EXPECT_TRUE(IsControlsArchiveForFile(16001));
}

TEST_F(BarPersistenceTest, AnUnwritableFileGoesToTheDataFolder)
{
    const CString strData = m_strFolder + L"\\data";
    ASSERT_TRUE(::CreateDirectoryW(strData, nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    m_pCommandBars->SetControlsFileName(m_strFolder + L"\\missing-folder\\bars");
    m_pCommandBars->SetControlsDataFolder(strData);
    Customise(40, CString(L' ', 200));
    const std::vector<std::wstring> customised = Captions(m_pStandard);
    m_pCommandBars->SaveBarState(kProfile);
    EXPECT_EQ(m_app.GetProfileString(Section(L"-Controls"), L"Controls"), strData + L"\\bars");
    EXPECT_NE(::GetFileAttributesW(strData + L"\\bars"), INVALID_FILE_ATTRIBUTES);

    Rebuild();
    m_pCommandBars->SetControlsFileName(m_strFolder + L"\\missing-folder\\bars");
    m_pCommandBars->SetControlsDataFolder(strData);
    Load();
    EXPECT_EQ(Captions(m_pStandard), customised);
}

TEST_F(BarPersistenceTest, AFileNamedByTheProfileAloneIsNeverRead)
{
    Customise(40, CString(L' ', 200));
    m_pCommandBars->SaveBarState(kProfile);
    // The same archive under a name the program did not choose.
    const CString strOther = m_strFolder + L"\\other";
    ASSERT_TRUE(::CopyFileW(m_strFolder + L"\\bars", strOther, FALSE));
    m_app.WriteProfileString(Section(L"-Controls"), L"Controls", strOther);

    Rebuild();
    const std::vector<std::wstring> created = Captions(m_pStandard);
    Load();
    EXPECT_EQ(Captions(m_pStandard), created);
}

TEST_F(BarPersistenceTest, EveryTruncatedArchiveLeavesTheBarsAsCreated)
{
    Customise(3);
    CXTPToolBar* pUser = m_pCommandBars->AddCustomToolBar(L"Mine", kUserBarID);
    ASSERT_NE(pUser, nullptr);
    pUser->GetControls()->AddByType(xtpControlButton, ID_TEST_OPEN);
    m_pCommandBars->SaveBarState(kProfile);
    const std::string bytes = ControlsBytes();
    ASSERT_GT(bytes.size(), 100u);

    Rebuild();
    const std::vector<std::wstring> created = Captions(m_pStandard);
    const int nLive = CCountedToolBar::s_nLive;
    CXTPCommandBarsOptions* pOptions = m_pCommandBars->GetCommandBarsOptions();
    const std::vector<int> options = ArchivedOptions(pOptions, m_pCommandBars->GetPaintManager());
    // A cut where the bars end and the options begin reads as an archive kept before the options were in it.
    const size_t nBarsEnd = bytes.size() - OptionsBytes(pOptions).size();
    for (size_t n = 0; n < bytes.size(); n += (n < 64 || n + 80 > bytes.size()) ? 1 : 7) {
        if (n == nBarsEnd)
            continue;
        SetControlsBytes(bytes.substr(0, n));
        Load();
        ASSERT_EQ(Captions(m_pStandard), created) << "cut at " << n;
        ASSERT_EQ(m_pCommandBars->FindToolBar(kUserBarID), nullptr) << "cut at " << n;
        // The bars read before the cut, and the one it cut through, are gone again.
        ASSERT_EQ(CCountedToolBar::s_nLive, nLive) << "cut at " << n;
        ASSERT_EQ(ArchivedOptions(pOptions, m_pCommandBars->GetPaintManager()), options) << "cut at " << n;
    }
    // The whole archive still applies.
    SetControlsBytes(bytes);
    Load();
    EXPECT_NE(Captions(m_pStandard), created);
    EXPECT_NE(m_pCommandBars->FindToolBar(kUserBarID), nullptr);
}

TEST_F(BarPersistenceTest, BitFlippedArchivesLoadWithoutHarm)
{
    Customise(2);
    m_pCommandBars->SaveBarState(kProfile);
    const std::string bytes = ControlsBytes();
    ASSERT_GT(bytes.size(), 100u);
    Rebuild();
    for (size_t i = 0; i < bytes.size(); i += 5) {
        std::string flipped = bytes;
        flipped[i] = static_cast<char>(flipped[i] ^ (1 << (i % 8)));
        SetControlsBytes(flipped);
        Load();
        // Whatever was read, the bars are whole: each control belongs to its bar and the frame lays out.
        for (int b = 0; b < m_pCommandBars->GetCount(); ++b) {
            CXTPToolBar* pBar = m_pCommandBars->GetAt(b);
            for (int c = 0; c < pBar->GetControlCount(); ++c)
                ASSERT_EQ(pBar->GetControl(c)->GetParent(), pBar) << "flip at " << i;
        }
        if (i % 50 == 0)
            Rebuild();
    }
    m_pCommandBars->SaveBarState(kProfile);
}

TEST_F(BarPersistenceTest, AnArchiveOfSomethingElseAppliesOnlyTheLayout)
{
    ASSERT_TRUE(m_pCommandBars->DockCommandBar(m_pFormat, nullptr, m_pCommandBars->GetDockBar(xtpBarBottom)));
    Customise();
    m_pCommandBars->SaveBarState(kProfile);
    // A count of one, then an object of a class that is not a bar.
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<DWORD>(1);
        CXTPControlButton* pButton = new CXTPControlButton;
        ar.WriteObject(pButton);
        pButton->InternalRelease();
        ar.Close();
    }
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    SetControlsBytes(bytes);

    Rebuild();
    const std::vector<std::wstring> created = Captions(m_pStandard);
    Load();
    EXPECT_EQ(Captions(m_pStandard), created);
    EXPECT_EQ(m_pFormat->GetDockBar(), m_pCommandBars->GetDockBar(xtpBarBottom));
}

TEST_F(BarPersistenceTest, AnArchiveNamingOneControlInTwoBarsAppliesNothing)
{
    // Two user toolbars whose archive gives the second a reference to the first one's control.
    auto* pFirst = new CXTPToolBar;
    auto* pSecond = new CXTPToolBar;
    pFirst->SetBarID(kUserBarID);
    pSecond->SetBarID(kUserBarID + 1);
    CXTPControl* pShared = pFirst->GetControls()->AddByType(xtpControlButton, ID_TEST_OPEN);
    pShared->InternalAddRef();
    pSecond->GetControls()->Add(pShared);
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = m_pCommandBars;
        ar << static_cast<DWORD>(2);
        ar.WriteObject(pFirst);
        ar.WriteObject(pSecond);
        ar.Close();
    }
    pSecond->GetControls()->Remove(pShared);
    pFirst->InternalRelease();
    pSecond->InternalRelease();
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    m_pCommandBars->SaveBarState(kProfile);
    SetControlsBytes(bytes);

    Load();
    EXPECT_EQ(m_pCommandBars->FindToolBar(kUserBarID), nullptr);
    EXPECT_EQ(m_pCommandBars->FindToolBar(kUserBarID + 1), nullptr);
    EXPECT_EQ(m_pCommandBars->GetCount(), 3);
}

TEST_F(BarPersistenceTest, ASiteThatIsNotCustomisableKeepsOnlyTheLayout)
{
    DestroyFrame();
    CreateFrame(FALSE);
    ASSERT_FALSE(m_pCommandBars->IsCustomizable());
    Customise();
    m_pCommandBars->SaveBarState(kProfile);
    EXPECT_EQ(m_app.GetProfileInt(Section(L"-Summary"), L"Bars", 0), 3u);
    EXPECT_FALSE(HasValue(Section(L"-Controls"), L"LoadFromFile"));
}

TEST_F(BarPersistenceTest, OptionsAndUsedCommandsComeBack)
{
    CXTPCommandBarsOptions* pOptions = m_pCommandBars->GetCommandBarsOptions();
    pOptions->bAlwaysShowFullMenus = FALSE;
    pOptions->bLargeIcons = TRUE;
    pOptions->animationType = 3;
    m_pCommandBars->SaveOptions(kProfile);
    // No command used yet: no "UsedCommands" value.
    EXPECT_FALSE(HasValue(Section(L"-Options"), L"UsedCommands"));
    // Only hidden commands are recorded when used.
    m_pCommandBars->HideCommand(ID_TEST_OPEN);
    m_pCommandBars->HideCommand(ID_TEST_SAVE);
    m_pCommandBars->SetCommandUsed(ID_TEST_OPEN);
    m_pCommandBars->SetCommandUsed(ID_TEST_SAVE);
    ASSERT_EQ(m_pCommandBars->GetCommandBarsOptions()->m_mapUsedCommands.GetCount(), 2);
    m_pCommandBars->SaveOptions(kProfile);

    Rebuild();
    pOptions = m_pCommandBars->GetCommandBarsOptions();
    ASSERT_TRUE(pOptions->bAlwaysShowFullMenus);
    m_pCommandBars->LoadOptions(kProfile);
    EXPECT_FALSE(pOptions->bAlwaysShowFullMenus);
    EXPECT_TRUE(pOptions->bLargeIcons);
    EXPECT_EQ(pOptions->animationType, 3);
    BOOL bUsed = FALSE;
    EXPECT_TRUE(pOptions->m_mapUsedCommands.Lookup(ID_TEST_SAVE, bUsed));
    EXPECT_EQ(pOptions->m_mapUsedCommands.GetCount(), 2);

    // A damaged "UsedCommands" value leaves the map as it was.
    BYTE damaged[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x01};
    m_app.WriteProfileBinary(Section(L"-Options"), L"UsedCommands", damaged, sizeof(damaged));
    m_pCommandBars->LoadOptions(kProfile);
    EXPECT_EQ(pOptions->m_mapUsedCommands.GetCount(), 2);
}

TEST_F(BarPersistenceTest, OptionsKeptOnlyInTheArchiveComeBackWithTheBars)
{
    CXTPCommandBarsOptions* pOptions = m_pCommandBars->GetCommandBarsOptions();
    pOptions->bSyncFloatingBars = FALSE;
    pOptions->bShowExpandButtonAlways = FALSE;
    pOptions->szIcons = CSize(20, 20);
    m_pCommandBars->HideCommand(ID_TEST_SAVE);
    Customise();
    const std::vector<int> saved = ArchivedOptions(pOptions, m_pCommandBars->GetPaintManager());
    m_pCommandBars->SaveBarState(kProfile);
    const std::string bytes = ControlsBytes();
    const size_t nBarsEnd = bytes.size() - OptionsBytes(pOptions).size();

    Rebuild();
    pOptions = m_pCommandBars->GetCommandBarsOptions();
    const std::vector<int> created = ArchivedOptions(pOptions, m_pCommandBars->GetPaintManager());
    ASSERT_NE(created, saved);
    const std::vector<std::wstring> createdCaptions = Captions(m_pStandard);
    // An archive from before the options were kept in it: its bars apply, the options stay the program's.
    SetControlsBytes(bytes.substr(0, nBarsEnd));
    Load();
    EXPECT_NE(Captions(m_pStandard), createdCaptions);
    EXPECT_EQ(ArchivedOptions(pOptions, m_pCommandBars->GetPaintManager()), created);

    Rebuild();
    pOptions = m_pCommandBars->GetCommandBarsOptions();
    SetControlsBytes(bytes);
    Load();
    EXPECT_EQ(ArchivedOptions(pOptions, m_pCommandBars->GetPaintManager()), saved);
    EXPECT_TRUE(m_pCommandBars->IsCommandRarelyUsed(ID_TEST_SAVE));
    EXPECT_EQ(m_pCommandBars->GetCommandBarsOptions()->szIcons, CSize(20, 20));
}

TEST(BarStateInfoTest, ALayoutFromALargerScreenIsScaledAndKeptInside)
{
    CXTPBarStateInfo state(CSize(800, 600), CSize(32, 32));
    state.SetSavedScreen(CSize(1600, 1200));
    EXPECT_TRUE(state.IsRescaling());
    struct Case
    {
        CPoint saved;
        CPoint expected;
    } cases[] = {
        {CPoint(200, 100), CPoint(100, 50)},
        {CPoint(1000, 1000), CPoint(500, 500)},
        {CPoint(1580, 1190), CPoint(768, 568)}, // halved to (790, 595), then an icon inside the edges
        {CPoint(-1, -1), CPoint(-1, -1)},
    };
    for (const Case& c : cases) {
        CPoint pt = c.saved;
        state.AdjustPoint(pt);
        EXPECT_EQ(pt, c.expected) << c.saved.x << "," << c.saved.y;
    }
    // A rectangle moves by its top-left and keeps its size.
    CRect rc(1560, 200, 1660, 260);
    state.AdjustRect(rc);
    EXPECT_EQ(rc, CRect(768, 100, 868, 160)); // scaled to (780, 100), then moved left by 12

    CXTPBarStateInfo same(CSize(800, 600), CSize(32, 32));
    same.SetSavedScreen(CSize(800, 600));
    EXPECT_FALSE(same.IsRescaling());
    CPoint pt(790, 100);
    same.AdjustPoint(pt);
    EXPECT_EQ(pt, CPoint(768, 100));
}

} // namespace

namespace {

TEST_F(BarPersistenceTest, AButtonsOwnImageComesBackWithItsControl)
{
    // An image of the button's own, as the Button Editor leaves it: a masked icon under a new custom id.
    m_pCommandBars->SetImageManager(new CXTPImageManager);
    CXTPImageManager* pImages = m_pCommandBars->GetImageManager();
    const UINT nCustom = pImages->AddCustomIcon(CXTPImageManagerIconHandle(::LoadIconW(nullptr, IDI_WARNING)));
    ASSERT_NE(nCustom, 0u);
    CXTPControl* pFirst = m_pStandard->GetControl(0);
    const int nCommand = pFirst->GetID();
    pFirst->SetCustomIconId(static_cast<int>(nCustom));
    m_pCommandBars->SaveBarState(kProfile);
    EXPECT_FALSE(ControlsBytes().empty());

    // The next start has a manager without that image until the bars are read.
    Rebuild();
    m_pCommandBars->SetImageManager(new CXTPImageManager);
    ASSERT_EQ(m_pCommandBars->GetImageManager()->GetImage(nCustom, 32), nullptr);
    Load();
    CXTPControl* pAgain = m_pStandard->GetControl(0);
    EXPECT_EQ(pAgain->GetID(), nCommand);
    EXPECT_EQ(pAgain->GetCustomIconId(), static_cast<int>(nCustom));
    EXPECT_NE(m_pCommandBars->GetImageManager()->GetImage(nCustom, 32), nullptr);
}

} // namespace
