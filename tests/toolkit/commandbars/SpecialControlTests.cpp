// Special controls: placeholders filling their bar with temporary controls at each layout (recent files, the
// window list, toolbars), the label, the size selector; and the copy and archive round trips of every control
// class of the field and special families, created by class name.
#include "toolkit/commandbars/XTPSpecialControls.h"

#include "framework/StandardIds.h"
#include "framework/core/File.h"
#include "framework/win/RecentFileList.h"
#include "tests/toolkit/commandbars/CommandBarsTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPControlStatic.h"
#include "toolkit/commandbars/XTPControls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A popup-like bar without a window: layouts run on a memory DC.
class SpecialControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bar.SetBarPosition(xtpBarPopup);
        m_bar.SetType(xtpBarTypePopup);
        m_bar.SetCommandBars(m_pCommandBars);
    }
    void TearDown() override
    {
        m_bar.GetControls()->RemoveAll();
        m_bar.SetCommandBars(nullptr);
        m_pCommandBars->InternalRelease();
        delete m_app.m_pRecentFileList;
        m_app.m_pRecentFileList = nullptr;
    }
    void Layout()
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        m_bar.GetControls()->CalcDynamicSize(&dc, 0, LM_POPUP | LM_COMMIT, CRect(0, 0, 0, 0));
    }
    std::vector<std::wstring> Captions() const
    {
        std::vector<std::wstring> captions;
        for (int i = 0; i < m_bar.GetControlCount(); ++i)
            captions.push_back(static_cast<LPCTSTR>(m_bar.GetControl(i)->GetCaption()));
        return captions;
    }

    CWinApp m_app{L"SpecialControlTests"};
    CXTPCommandBars* m_pCommandBars = new CXTPCommandBars;
    CXTPCommandBar m_bar;
};

TEST_F(SpecialControlsTest, CreationByTypeAndFromMenusChoosesTheSpecialClasses)
{
    CXTPControls* pControls = m_bar.GetControls();
    struct
    {
        XTPControlType type;
        int nId;
        CRuntimeClass* pClass;
    } cases[] = {
        {xtpControlButton, XTP_ID_WINDOWLIST, RUNTIME_CLASS(CXTPControlWindowList)},
        {xtpControlButton, XTP_ID_WORKSPACE_ACTIONS, RUNTIME_CLASS(CXTPControlWorkspaceActions)},
        {xtpControlButton, ID_VIEW_TOOLBAR, RUNTIME_CLASS(CXTPControlToolbars)},
        {xtpControlButton, XTP_ID_FILE_MRU, RUNTIME_CLASS(CXTPControlRecentFileList)},
        // By type the menu's recent-file id is a plain button.
        {xtpControlButton, ID_FILE_MRU_FILE1, RUNTIME_CLASS(CXTPControlButton)},
        {xtpControlComboBox, 7, RUNTIME_CLASS(CXTPControlComboBox)},
        {xtpControlEdit, 8, RUNTIME_CLASS(CXTPControlEdit)},
        {xtpControlCustom, 9, RUNTIME_CLASS(CXTPControlCustom)},
        {xtpControlLabel, 10, RUNTIME_CLASS(CXTPControlLabel)},
    };
    for (const auto& c : cases) {
        CXTPControl* pControl = pControls->AddByType(c.type, c.nId);
        ASSERT_NE(pControl, nullptr) << c.nId;
        EXPECT_EQ(pControl->GetRuntimeClass(), c.pClass) << c.nId;
        EXPECT_EQ(pControl->GetType(), c.type) << c.nId;
        EXPECT_EQ(pControl->GetID(), c.nId);
    }

    // From a menu: the recent-file id, and the OLE verbs only with their placeholder text.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, L"Recent File");
    menu.AppendMenu(MF_STRING, ID_OLE_VERB_FIRST, L"<<OLE VERBS GO HERE>>");
    menu.AppendMenu(MF_STRING, ID_OLE_VERB_FIRST, L"Object");
    pControls->RemoveAll();
    for (int i = 0; i < 3; ++i)
        pControls->AddMenuItem(&menu, i);
    ASSERT_EQ(pControls->GetCount(), 3);
    EXPECT_TRUE(pControls->GetAt(0)->IsKindOf(RUNTIME_CLASS(CXTPControlRecentFileList)));
    EXPECT_TRUE(pControls->GetAt(1)->IsKindOf(RUNTIME_CLASS(CXTPControlOleItems)));
    EXPECT_EQ(pControls->GetAt(2)->GetRuntimeClass(), RUNTIME_CLASS(CXTPControlButton));
}

TEST_F(SpecialControlsTest, RecentFilesEmptyFilledAndCustomised)
{
    CXTPControls* pControls = m_bar.GetControls();
    pControls->AddByType(xtpControlButton, 100)->SetCaption(L"&Open");
    CXTPControl* pPlaceholder = pControls->AddByType(xtpControlButton, XTP_ID_FILE_MRU);
    pPlaceholder->SetCaption(L"Recent File");
    pControls->AddByType(xtpControlButton, 101)->SetCaption(L"E&xit");

    // Without the application's list nothing changes.
    Layout();
    EXPECT_EQ(pControls->GetCount(), 3);
    EXPECT_TRUE(pPlaceholder->IsVisible());

    m_app.m_pRecentFileList = new CRecentFileList(0, L"Recent File List", L"File%d", 4);
    Layout();
    EXPECT_EQ(pControls->GetCount(), 3);
    EXPECT_TRUE(pPlaceholder->IsVisible());
    EXPECT_FALSE(pPlaceholder->GetEnabled());

    wchar_t szDir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, szDir);
    const std::wstring strHere = std::wstring(szDir) + L"\\Rock & Roll.opml";
    m_app.m_pRecentFileList->Add(L"C:\\feeds\\old.opml");
    m_app.m_pRecentFileList->Add(strHere.c_str());
    // Laying out twice leaves one set of entries.
    Layout();
    Layout();
    EXPECT_FALSE(pPlaceholder->IsVisible());
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&Open", L"Recent File", L"&1 Rock && Roll.opml",
                                                     L"&2 C:\\feeds\\old.opml", L"E&xit"}));
    EXPECT_EQ(pControls->GetAt(2)->GetID(), ID_FILE_MRU_FILE1);
    EXPECT_EQ(pControls->GetAt(3)->GetID(), ID_FILE_MRU_FILE1 + 1);
    EXPECT_TRUE(pControls->GetAt(2)->IsTemporary());
    EXPECT_TRUE(pControls->GetAt(2)->GetBeginGroup());
    EXPECT_FALSE(pControls->GetAt(3)->GetBeginGroup());
    EXPECT_EQ(pControls->GetAt(2)->GetFlags(), static_cast<DWORD>(xtpFlagManualUpdate));

    // Numbers count on from the list's start, modulo 10.
    m_app.m_pRecentFileList->m_nStart = 9;
    Layout();
    EXPECT_EQ(Captions()[2], L"&0 Rock && Roll.opml");
    EXPECT_EQ(Captions()[3], L"&1 C:\\feeds\\old.opml");

    m_pCommandBars->SetCustomizeMode(TRUE);
    pPlaceholder->SetEnabled(FALSE);
    Layout();
    m_pCommandBars->SetCustomizeMode(FALSE);
    EXPECT_EQ(pControls->GetCount(), 3);
    EXPECT_TRUE(pPlaceholder->IsVisible());
    EXPECT_TRUE(pPlaceholder->GetEnabled());
}

TEST_F(SpecialControlsTest, PlaceholdersWithoutTheirListsRemoveOldEntriesAndHide)
{
    CXTPControls* pControls = m_bar.GetControls();
    struct
    {
        int nId;
        std::function<void(CXTPControls*, int)> addStale;
        bool bHides;
    } cases[] = {
        {ID_VIEW_TOOLBAR,
         [](CXTPControls* p, int n) {
             p->AddByType(xtpControlButton, ID_VIEW_TOOLBAR, L"CXTPControlToolbar", n, TRUE);
         },
         true},
        {XTP_ID_WORKSPACE_ACTIONS,
         [](CXTPControls* p, int n) { p->AddByType(xtpControlButton, 9421, nullptr, n, TRUE); }, true},
        // A frame that is not a multiple-document frame shows the window-list placeholder itself.
        {XTP_ID_WINDOWLIST, [](CXTPControls* p, int n) { p->AddByType(xtpControlButton, 0xFF00, nullptr, n, TRUE); },
         false},
    };
    for (const auto& c : cases) {
        pControls->RemoveAll();
        pControls->AddByType(xtpControlButton, 100);
        CXTPControl* pPlaceholder = pControls->AddByType(xtpControlButton, c.nId);
        c.addStale(pControls, 2);
        c.addStale(pControls, 2);
        pControls->AddByType(xtpControlButton, 101);
        Layout();
        ASSERT_EQ(pControls->GetCount(), 3) << c.nId;
        EXPECT_EQ(pControls->GetAt(2)->GetID(), 101);
        EXPECT_EQ(pPlaceholder->IsVisible() == FALSE, c.bHides) << c.nId;

        m_pCommandBars->SetCustomizeMode(TRUE);
        Layout();
        m_pCommandBars->SetCustomizeMode(FALSE);
        EXPECT_TRUE(pPlaceholder->IsVisible()) << c.nId;
    }
}

TEST_F(SpecialControlsTest, LabelIsNeverSelectedNorMovedNorFocused)
{
    CXTPControl* pLabel = m_bar.GetControls()->AddByType(xtpControlLabel, 55);
    pLabel->SetCaption(L"Recent feeds");
    EXPECT_EQ(pLabel->GetFlags(), static_cast<DWORD>(xtpFlagSkipFocus | xtpFlagNoMovable));
    EXPECT_TRUE(pLabel->IsLabelStyle());
    pLabel->SetSelected(xtpSelectedByKeyboard);
    EXPECT_EQ(pLabel->GetSelected(), 0);
    CXTPControl* pClone = pLabel->Clone();
    EXPECT_TRUE(pClone->IsKindOf(RUNTIME_CLASS(CXTPControlLabel)));
    EXPECT_EQ(pClone->GetCaption(), CString(L"Recent feeds"));
    pClone->InternalRelease();
}

TEST_F(SpecialControlsTest, SelectorFollowsTheMouseAndTakesTheSizeOnRelease)
{
    CXTPControlSelector* pSelector =
        static_cast<CXTPControlSelector*>(m_bar.GetControls()->Add(new CXTPControlSelector, 77));
    Layout();
    EXPECT_EQ(pSelector->GetShownSize(), CSize(5, 4));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    EXPECT_EQ(pSelector->GetSize(&dc), CSize(5 * 28, 4 * 28));
    const CRect rc = pSelector->GetRect();
    struct
    {
        CPoint pt;
        CSize szSelected;
    } moves[] = {
        {CPoint(rc.left, rc.top), CSize(0, 0)},
        {CPoint(rc.left + 1, rc.top + 1), CSize(1, 1)},
        {CPoint(rc.left + 2 * 28 + 5, rc.top + 28), CSize(3, 1)},
        {CPoint(rc.right + 40, rc.bottom + 40), CSize(5, 4)},
    };
    for (const auto& m : moves) {
        pSelector->OnMouseMove(m.pt);
        EXPECT_EQ(pSelector->GetSelectedSize(), m.szSelected) << m.pt.x << "," << m.pt.y;
    }
    pSelector->OnMouseMove(CPoint(rc.left + 2 * 28 + 5, rc.top + 28));
    pSelector->OnLButtonUp(CPoint(rc.left + 2 * 28 + 5, rc.top + 28));
    EXPECT_EQ(pSelector->GetChosenSize(), CSize(3, 1));
    // A new layout clears the highlight and shows the initial grid again.
    Layout();
    EXPECT_EQ(pSelector->GetSelectedSize(), CSize(0, 0));
    pSelector->OnLButtonUp(CPoint(rc.left + 5, rc.top + 5));
    EXPECT_EQ(pSelector->GetChosenSize(), CSize(3, 1));
}

// ---- Copies and archives

template <class T> T* RoundTrip(T* pControl)
{
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        ar.WriteObject(pControl);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 4096);
    CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CXTPControl));
    return pObject != nullptr && pObject->IsKindOf(pControl->GetRuntimeClass()) ? static_cast<T*>(pObject) : nullptr;
}

TEST(FieldControlArchive, EveryClassIsCreatedByNameAndCarriesItsFields)
{
    const char* names[] = {"CXTPControlComboBox",         "CXTPControlEdit",     "CXTPControlListBox",
                           "CXTPControlStatic",           "CXTPControlCustom",   "CXTPControlWindowList",
                           "CXTPControlToolbars",         "CXTPControlOleItems", "CXTPControlRecentFileList",
                           "CXTPControlWorkspaceActions", "CXTPControlLabel",    "CXTPControlSelector"};
    for (const char* pszName : names) {
        CObject* pObject = CRuntimeClass::CreateObject(pszName);
        ASSERT_NE(pObject, nullptr) << pszName;
        CXTPControl* pControl = DYNAMIC_DOWNCAST(CXTPControl, pObject);
        ASSERT_NE(pControl, nullptr) << pszName;
        pControl->SetCaption(L"Caption");
        CXTPControl* pLoaded = RoundTrip(pControl);
        ASSERT_NE(pLoaded, nullptr) << pszName;
        EXPECT_EQ(pLoaded->GetRuntimeClass(), pControl->GetRuntimeClass()) << pszName;
        EXPECT_EQ(pLoaded->GetCaption(), CString(L"Caption")) << pszName;
        CXTPControl* pClone = pControl->Clone();
        EXPECT_EQ(pClone->GetRuntimeClass(), pControl->GetRuntimeClass()) << pszName;
        pClone->InternalRelease();
        pLoaded->InternalRelease();
        pControl->InternalRelease();
    }
}

TEST(FieldControlArchive, FieldsSurviveCopiesAndArchives)
{
    CXTPControlEdit edit;
    edit.SetWidth(150);
    edit.ShowLabel(FALSE);
    edit.SetEditText(L"filter");
    CXTPControlEdit* pEdit = RoundTrip(&edit);
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(pEdit->GetWidth(), 150);
    EXPECT_FALSE(pEdit->GetShowLabel());
    CXTPControlEdit* pEditClone = static_cast<CXTPControlEdit*>(edit.Clone());
    EXPECT_EQ(pEditClone->GetEditText(), CString(L"filter"));
    pEditClone->InternalRelease();
    pEdit->InternalRelease();

    CXTPControlComboBox combo;
    combo.SetWidth(170);
    combo.SetLabelStyle(1);
    combo.SetEditable(TRUE);
    CXTPControlComboBox* pCombo = RoundTrip(&combo);
    ASSERT_NE(pCombo, nullptr);
    EXPECT_EQ(pCombo->GetWidth(), 170);
    EXPECT_EQ(pCombo->GetLabelStyle(), 1);
    EXPECT_TRUE(pCombo->GetEditable());
    EXPECT_NE(pCombo->GetEditCtrl(), nullptr);
    pCombo->InternalRelease();

    CXTPControlStatic label;
    label.SetMinLength(64);
    CXTPControlStatic* pStatic = RoundTrip(&label);
    ASSERT_NE(pStatic, nullptr);
    EXPECT_EQ(pStatic->GetMinLength(), 64);
    pStatic->InternalRelease();

    CXTPControlListBox listBox;
    listBox.SetMultiplSel(TRUE);
    listBox.SetWidth(140);
    listBox.SetLinesMinMax(2, 6);
    listBox.GetListCtrl()->AddString(L"first");
    listBox.GetListCtrl()->AddString(L"second");
    for (CXTPControlListBox* pCopy : {RoundTrip(&listBox), static_cast<CXTPControlListBox*>(listBox.Clone())}) {
        ASSERT_NE(pCopy, nullptr);
        EXPECT_EQ(pCopy->GetWidth(), 140);
        EXPECT_TRUE(pCopy->GetMultiplSel());
        EXPECT_NE(pCopy->GetListCtrl()->GetStyle() & LBS_MULTIPLESEL, 0u);
        EXPECT_EQ(pCopy->GetLinesMin(), 2);
        EXPECT_EQ(pCopy->GetLinesMax(), 6);
        ASSERT_EQ(pCopy->GetListCtrl()->GetCount(), 2);
        CString strText;
        pCopy->GetListCtrl()->GetText(1, strText);
        EXPECT_EQ(strText, CString(L"second"));
        pCopy->InternalRelease();
    }

    CXTPControlCustom custom;
    custom.SetBorders(1, 2, 3, 4);
    custom.SetSize(CSize(90, 18));
    custom.SetVerticalPositionOption(xtpVerticalButton);
    // A saved window id that nothing has any more leaves the loaded control without a window.
    CXTPControlCustom* pCustom = RoundTrip(&custom);
    ASSERT_NE(pCustom, nullptr);
    EXPECT_EQ(pCustom->GetBorders(), CRect(1, 2, 3, 4));
    EXPECT_EQ(pCustom->GetControlSize(), CSize(90, 18));
    EXPECT_EQ(pCustom->GetVerticalPositionOption(), xtpVerticalButton);
    EXPECT_EQ(pCustom->GetControl(), nullptr);
    pCustom->InternalRelease();

    CXTPControlSelector selector;
    selector.SetInitialSize(CSize(3, 2));
    selector.SetMaxSize(CSize(8, 9));
    selector.SetCellSize(CSize(20, 16));
    CXTPControlSelector* pSelector = RoundTrip(&selector);
    ASSERT_NE(pSelector, nullptr);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    EXPECT_EQ(pSelector->GetSize(&dc), CSize(3 * 20, 2 * 16));
    pSelector->InternalRelease();
}

TEST(FieldControlArchive, ComboListStringsTravelWithTheListBar)
{
    CXTPControlComboBox combo;
    for (const wchar_t* psz : {L"Business", L"Science", L"Travel"})
        ::SendMessageW(combo.GetListWindow(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz));
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        ar.WriteObject(combo.GetList());
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 4096);
    CXTPControlComboBoxList* pList =
        DYNAMIC_DOWNCAST(CXTPControlComboBoxList, ar.ReadObject(RUNTIME_CLASS(CXTPCommandBar)));
    ASSERT_NE(pList, nullptr);
    ASSERT_NE(pList->GetSafeHwnd(), nullptr);
    EXPECT_EQ(pList->GetPosition(), xtpBarListBox);
    EXPECT_EQ(pList->SendMessage(LB_GETCOUNT), 3);
    wchar_t szText[16] = {};
    pList->SendMessage(LB_GETTEXT, 2, reinterpret_cast<LPARAM>(szText));
    EXPECT_STREQ(szText, L"Travel");

    // A deep copy of the control copies the strings into a list of its own.
    CXTPControlComboBox* pDeep = static_cast<CXTPControlComboBox*>(combo.Clone(TRUE));
    ASSERT_NE(pDeep->GetListWindow(), nullptr);
    EXPECT_NE(pDeep->GetListWindow(), combo.GetListWindow());
    EXPECT_EQ(::SendMessageW(pDeep->GetListWindow(), LB_GETCOUNT, 0, 0), 3);
    pDeep->InternalRelease();
    pList->InternalRelease();
}

} // namespace
