// Task panel items and groups without a window: captions from string resources, pointer-sized ids, the
// collections and their references, and the archive and clipboard forms, including bad and truncated data.
#include "tests/toolkit/taskpanel/TaskPanelTestIds.h"
#include "tests/toolkit/taskpanel/TaskPanelTestSupport.h"

#include "framework/core/File.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tptest::CProbeGroup;
using tptest::CProbeGroupItem;

std::string Narrow(const CString& text)
{
    return lqtest::Narrow(std::wstring(static_cast<LPCWSTR>(text)));
}

// The bytes of the panel's archive form.
std::string Store(CXTPTaskPanel& panel)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        panel.Serialize(ar);
        ar.Close();
    }
    const ULONGLONG nLength = file.GetLength();
    std::string bytes(static_cast<size_t>(nLength), '\0');
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(nLength));
    return bytes;
}

// Loads the bytes into the panel; false when the panel refused them.
bool Load(CXTPTaskPanel& panel, const std::string& bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    try {
        CArchive ar(&file, CArchive::load);
        panel.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

// What a panel holds, as text: "group[flags]{item;item}" per group.
std::string Describe(CXTPTaskPanel& panel)
{
    std::string text;
    for (int i = 0; i < panel.GetGroupCount(); ++i) {
        CXTPTaskPanelGroup* pGroup = panel.GetAt(i);
        text += pGroup->GetRuntimeClass()->m_lpszClassName;
        text += ":" + Narrow(pGroup->GetCaption()) + "[" + std::to_string(pGroup->IsExpandedFlag()) +
                std::to_string(pGroup->IsSpecialGroup()) + std::to_string(pGroup->IsCaptionVisible()) +
                std::to_string(pGroup->GetItemLayout()) + "]{";
        for (int j = 0; j < pGroup->GetItemCount(); ++j) {
            auto* pItem = static_cast<CXTPTaskPanelGroupItem*>(pGroup->GetAt(j));
            text += pItem->GetRuntimeClass()->m_lpszClassName;
            text += ":" + Narrow(pItem->GetCaption()) + "/" + Narrow(pItem->GetTooltip()) + "#" +
                    std::to_string(pItem->GetID()) + "t" + std::to_string(pItem->GetType()) + "i" +
                    std::to_string(pItem->GetIconIndex()) + (pItem->IsBold() ? "B" : "") +
                    (pItem->IsItemSelected() ? "S" : "") + (pItem->IsEnabled() ? "" : "D") + ";";
        }
        text += "}";
    }
    return text;
}

// The panel's groups and items with every archived field away from its default.
void Fill(CXTPTaskPanel& panel)
{
    CXTPTaskPanelGroup* pTasks = panel.AddGroup(IDS_TP_GROUP_TASKS);
    pTasks->SetSpecialGroup(TRUE);
    pTasks->SetItemLayout(TaskPanelLayoutIconAbove);
    pTasks->SetInnerMargins(1, 2, 3, 4);
    CXTPTaskPanelGroupItem* pLink = pTasks->AddLinkItem(IDS_TP_LINK_NEW, 2);
    pLink->SetBold(TRUE);
    pLink->SetSize(40, 20);
    pTasks->AddTextItem(L"Plain text")->SetItemSelected(TRUE);

    auto* pPlaces = new CProbeGroup();
    panel.GetGroups()->Add(pPlaces, IDS_TP_GROUP_PLACES);
    pPlaces->SetExpanded(FALSE);
    pPlaces->ShowCaption(FALSE);
    auto* pProbe = new CProbeGroupItem();
    pProbe->SetType(TaskPanelItemLink);
    pProbe->SetCaption(L"Probe");
    pProbe->SetEnabled(FALSE);
    pPlaces->GetItems()->Add(pProbe, 70000);
}

TEST(TaskPanelItem, SetIdTakesCaptionAndTooltipFromTheStringResource)
{
    struct Case
    {
        UINT_PTR nID;
        const wchar_t* pszCaption;
        const wchar_t* pszTooltip;
    };
    const Case cases[] = {
        {IDS_TP_CAPTION_AND_TIP, L"Update all", L"Fetches every subscribed feed now"},
        {IDS_TP_CAPTION_ONLY, L"Mark all read", L""},
        {IDS_TP_MISSING, L"", L""},
    };
    for (const Case& c : cases) {
        CXTPTaskPanelItem item;
        item.SetCaption(L"old caption");
        item.SetTooltip(L"old tip");
        item.SetID(c.nID);
        EXPECT_EQ(c.nID, item.GetID());
        EXPECT_STREQ(c.pszCaption, item.GetCaption()) << c.nID;
        EXPECT_STREQ(c.pszTooltip, item.GetTooltip()) << c.nID;
    }
}

TEST(TaskPanelItem, AnAddressAsTheIdKeepsItsFullWidthAndLoadsNoString)
{
    int record = 0;
    // An address above 4 GB where the platform gives one; the id must hold it whole either way.
    const UINT_PTR nAddress =
        sizeof(UINT_PTR) > 4 ? (UINT_PTR(0x7FF1) << 32) | 20000 : reinterpret_cast<UINT_PTR>(&record);
    CXTPTaskPanelItem item;
    item.SetCaption(L"Channel");
    item.SetID(nAddress);
    EXPECT_EQ(nAddress, item.GetID());
    // The low half names a string resource (20000), which must not be loaded for an address.
    EXPECT_STREQ(L"Channel", item.GetCaption());
    EXPECT_STREQ(L"", item.GetTooltip());
}

TEST(TaskPanelItems, CollectionHoldsOneReferenceAndMovesWithoutLayoutWhenInPlace)
{
    CXTPTaskPanel panel;
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelItems* pItems = pGroup->GetItems();
    CXTPTaskPanelGroupItem* pA = pGroup->AddLinkItem(IDS_TP_LINK_NEW);
    CXTPTaskPanelGroupItem* pB = pGroup->AddLinkItem(IDS_TP_LINK_OPEN);
    CXTPTaskPanelGroupItem* pC = pGroup->AddLinkItem(IDS_TP_LINK_SAVE);
    EXPECT_EQ(1, pA->m_dwRef);
    EXPECT_EQ(pGroup, pB->GetItemGroup());
    EXPECT_EQ(&panel, pB->GetTaskPanel());
    EXPECT_EQ(2, pC->GetIndex());

    pItems->Move(pC, 0);
    EXPECT_EQ(0, pC->GetIndex());
    EXPECT_EQ(1, pA->GetIndex());
    pItems->Move(pC, 0);
    EXPECT_EQ(0, pC->GetIndex());
    pItems->Move(pA, 99);
    EXPECT_EQ(2, pA->GetIndex());

    // A removed item someone still holds is cut loose from the panel and the collection.
    pB->ExternalAddRef();
    pB->Remove();
    EXPECT_EQ(1, pB->m_dwRef);
    EXPECT_EQ(nullptr, pB->GetTaskPanel());
    EXPECT_EQ(nullptr, pB->GetItemGroup());
    EXPECT_EQ(-1, pB->GetIndex());
    pB->ExternalRelease();

    pItems->RemoveAt(7);
    pItems->RemoveAt(-1);
    EXPECT_EQ(2, pGroup->GetItemCount());
    EXPECT_EQ(nullptr, pGroup->GetAt(5));
}

TEST(TaskPanelItems, RemovingTheHotOrFocusedItemOrItsGroupClearsThePanelsReferences)
{
    CXTPTaskPanel panel;
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CXTPTaskPanelGroup* pOther = panel.AddGroup(IDS_TP_GROUP_PLACES);
    CXTPTaskPanelGroupItem* pHot = pGroup->AddLinkItem(IDS_TP_LINK_NEW);
    CXTPTaskPanelGroupItem* pFocused = pOther->AddLinkItem(IDS_TP_LINK_OPEN);
    panel.SetHotItem(pHot);
    panel.SetFocusedItem(pFocused);
    EXPECT_EQ(2, pHot->m_dwRef);

    pHot->ExternalAddRef();
    pGroup->GetItems()->Remove(pHot);
    EXPECT_EQ(nullptr, panel.GetHotItem());
    EXPECT_EQ(1, pHot->m_dwRef);
    pHot->ExternalRelease();

    // The focused item goes with its group.
    pFocused->ExternalAddRef();
    panel.GetGroups()->Remove(pOther);
    EXPECT_EQ(nullptr, panel.GetFocusedItem());
    EXPECT_EQ(1, pFocused->m_dwRef);
    EXPECT_EQ(nullptr, pFocused->GetTaskPanel());
    pFocused->ExternalRelease();
}

TEST(TaskPanelArchive, GroupsAndItemsRoundTripWithTheirClasses)
{
    CXTPTaskPanel source;
    Fill(source);
    const std::string bytes = Store(source);

    CXTPTaskPanel copy;
    copy.AddGroup(IDS_TP_GROUP_PLACES);
    ASSERT_TRUE(Load(copy, bytes));
    EXPECT_EQ(Describe(source), Describe(copy));
    EXPECT_EQ("CXTPTaskPanelGroup:Feed tasks[1113]{CXTPTaskPanelGroupItem:Subscribe/Adds a feed#20020t1i2B;"
              "CXTPTaskPanelGroupItem:Plain text/#0t2i-1S;}"
              "CProbeGroup:Other places[0002]{CProbeGroupItem:Probe/#70000t1i-1D;}",
              Describe(copy));

    CXTPTaskPanelGroup* pGroup = copy.GetAt(0);
    EXPECT_EQ(CRect(1, 2, 3, 4), pGroup->GetInnerMarginsMember());
    auto* pLink = static_cast<CXTPTaskPanelGroupItem*>(pGroup->GetAt(0));
    EXPECT_EQ(CSize(40, 20), pLink->GetSize());
    EXPECT_EQ(&copy, pLink->GetTaskPanel());
    EXPECT_EQ(pGroup, pLink->GetItemGroup());
}

TEST(TaskPanelArchive, AnIdWiderThan32BitsIsStoredAsZero)
{
    if (sizeof(UINT_PTR) <= 4)
        GTEST_SKIP() << "ids are 32 bits here";
    CXTPTaskPanel source;
    CXTPTaskPanelGroup* pGroup = source.AddGroup(IDS_TP_GROUP_TASKS);
    pGroup->AddLinkItem(UINT_PTR(0x12345) << 32)->SetCaption(L"Record");
    pGroup->AddLinkItem(0xFFFFFFFFu)->SetCaption(L"Widest 32-bit id");

    CXTPTaskPanel copy;
    ASSERT_TRUE(Load(copy, Store(source)));
    EXPECT_EQ(0u, copy.GetAt(0)->GetAt(0)->GetID());
    EXPECT_EQ(0xFFFFFFFFu, copy.GetAt(0)->GetAt(1)->GetID());
    EXPECT_STREQ(L"Record", copy.GetAt(0)->GetAt(0)->GetCaption());
}

TEST(TaskPanelArchive, ATruncatedArchiveIsRefusedLeavesThePanelAsItWasAndLeaksNothing)
{
    std::string bytes;
    {
        CXTPTaskPanel source;
        Fill(source);
        bytes = Store(source);
    }
    ASSERT_EQ(0, CProbeGroupItem::s_nLive);
    ASSERT_EQ(0, CProbeGroup::s_nLive);

    CXTPTaskPanel panel;
    panel.AddGroup(IDS_TP_GROUP_PLACES)->AddTextItem(L"Kept");
    const std::string before = Describe(panel);
    // Every cut: in a class record, in a caption, inside the second group's items, just before the end.
    for (size_t nLength :
         {size_t(1), size_t(9), bytes.size() / 3, bytes.size() / 2, bytes.size() - 20, bytes.size() - 1}) {
        EXPECT_FALSE(Load(panel, bytes.substr(0, nLength))) << nLength;
        EXPECT_EQ(before, Describe(panel)) << nLength;
        EXPECT_EQ(0, CProbeGroupItem::s_nLive) << nLength;
        EXPECT_EQ(0, CProbeGroup::s_nLive) << nLength;
    }
    EXPECT_TRUE(Load(panel, bytes));
    EXPECT_EQ(1, CProbeGroup::s_nLive);
}

TEST(TaskPanelArchive, ForeignClassesAndUnknownSchemasAreRefused)
{
    CXTPTaskPanel source;
    Fill(source);
    std::string bytes = Store(source);

    // The group's class record names a class that is not a task panel item.
    std::string foreign = bytes;
    const size_t nName = foreign.find("CXTPTaskPanelGroup");
    ASSERT_NE(std::string::npos, nName);
    foreign.replace(nName, 18, "CXTPTaskPanelItems");

    // A schema after the current one (the WORD before the name's length).
    std::string future = bytes;
    ASSERT_EQ(7, static_cast<unsigned char>(future[nName - 4]));
    future[nName - 4] = 8;

    CXTPTaskPanel panel;
    EXPECT_FALSE(Load(panel, foreign));
    EXPECT_FALSE(Load(panel, future));
    EXPECT_EQ(0, panel.GetGroupCount());

    // Older schemas read the same fields.
    std::string older = bytes;
    older[nName - 4] = 1;
    EXPECT_TRUE(Load(panel, older));
    EXPECT_EQ(2, panel.GetGroupCount());
}

TEST(TaskPanelClipboardForm, AnItemRoundTripsThroughSharedMemoryAndBadDataGivesNothing)
{
    CXTPTaskPanel panel;
    CXTPTaskPanelGroup* pGroup = panel.AddGroup(IDS_TP_GROUP_TASKS);
    CProbeGroupItem* pItem = new CProbeGroupItem();
    pGroup->GetItems()->Add(pItem, 42);
    pItem->SetCaption(L"Dragged");
    pItem->SetBold(TRUE);

    COleDataSource source;
    ASSERT_TRUE(pItem->PrepareDrag(source));
    COleDataObject data;
    data.Attach(source.GetDataObject(), TRUE);
    EXPECT_TRUE(data.IsDataAvailable(CXTPTaskPanelItem::GetClipboardFormat()));
    CXTPTaskPanelItem* pCopy = CXTPTaskPanelItem::CreateFromOleData(&data, &panel);
    ASSERT_NE(nullptr, pCopy);
    EXPECT_TRUE(pCopy->IsKindOf(RUNTIME_CLASS(CProbeGroupItem)));
    EXPECT_STREQ(L"Dragged", pCopy->GetCaption());
    EXPECT_EQ(42u, pCopy->GetID());
    EXPECT_TRUE(static_cast<CXTPTaskPanelGroupItem*>(pCopy)->IsBold());
    EXPECT_EQ(&panel, pCopy->GetTaskPanel());
    EXPECT_EQ(2, CProbeGroupItem::s_nLive);
    pCopy->InternalRelease();

    // A block cut short inside the caption: nothing comes back and the half-made item is gone.
    HGLOBAL hFull = pItem->CopyToGlobalMemory();
    ASSERT_NE(nullptr, hFull);
    const SIZE_T nShort = 30;
    HGLOBAL hShort = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, nShort);
    memcpy(::GlobalLock(hShort), ::GlobalLock(hFull), nShort);
    ::GlobalUnlock(hShort);
    ::GlobalUnlock(hFull);
    ::GlobalFree(hFull);
    COleDataSource shortSource;
    shortSource.CacheGlobalData(CXTPTaskPanelItem::GetClipboardFormat(), hShort);
    COleDataObject shortData;
    shortData.Attach(shortSource.GetDataObject(), TRUE);
    EXPECT_EQ(nullptr, CXTPTaskPanelItem::CreateFromOleData(&shortData, &panel));
    EXPECT_EQ(1, CProbeGroupItem::s_nLive);

    COleDataSource other;
    COleDataObject empty;
    empty.Attach(other.GetDataObject(), TRUE);
    EXPECT_EQ(nullptr, CXTPTaskPanelItem::CreateFromOleData(&empty, &panel));
}

} // namespace
