// The quick filter on the frame: the typed words and the dialog's lists run on the worker while the wait dialog
// shows; the page lands in the "Quick Filter" group, a second filter reuses its item, a filter that finds nothing or
// has no words says so; "Delete Results" and "Rename Category" from the pane.
#include "app/MainFrm.h"
#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainFrameTestSupport.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lqtest::CountingMainFrame;
using lqtest::ModalDriver;
using lqtest::PumpUntil;
using lqtest::TempFolder;

namespace {

const wchar_t kTestCompany[] = L"LanternquillQuickFilterTests";

CFeedItem* NewsItem(const wchar_t* title, const wchar_t* text, int day)
{
    auto* item = new CFeedItem;
    item->m_strTitle = item->m_strTitleText = title;
    item->m_strDescription = item->m_strDescriptionText = text;
    item->m_dtDate.SetDateTime(2026, 4, day, 9, 0, 0);
    return item;
}

std::vector<std::wstring> Titles(const CFeedItem* page)
{
    std::vector<std::wstring> titles;
    for (POSITION pos = page->m_pChannel->m_items.GetHeadPosition(); pos;)
        titles.emplace_back(page->m_pChannel->m_items.GetNext(pos)->m_strTitleText.GetString());
    return titles;
}

class QuickFilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.m_settings.nViewStyle = 0;
        theApp.WriteProfileInt(L"", L"Check at startup", 0);
        {
            CFeedChannel mainList, customList;
            ASSERT_TRUE(mainList.SaveMainFeeds());
            ASSERT_TRUE(customList.SaveCustomFeeds());
        }
        m_frame = new CountingMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        ASSERT_TRUE(
            PumpUntil([&] { return m_frame->Pane().m_ended >= 1 && !m_frame->Refresher().IsUpdating(); }, 30000));
        ASSERT_NE(m_frame->Lists().Main(), nullptr);
        ASSERT_NE(m_frame->Lists().Custom(), nullptr);
        // Two channels of news, one in each list.
        CFeedItem* daily = NewChannel(L"Daily", L"");
        daily->m_pChannel->m_items.AddTail(NewsItem(L"Apple harvest", L"Barns are full", 2));
        daily->m_pChannel->m_items.AddTail(NewsItem(L"Rain", L"apples rot", 5));
        m_frame->Lists().Main()->m_items.AddTail(daily);
        CFeedItem* world = NewChannel(L"World", L"World");
        world->m_pChannel->m_items.AddTail(NewsItem(L"ЯБЛОКИ", L"Новости", 4));
        world->m_pChannel->m_items.AddTail(NewsItem(L"Pears", L"no <b>fruit</b> &amp; more", 3));
        m_frame->Lists().Custom()->m_items.AddTail(world);
        m_frame->PaneSite().BuildTaskPanel();
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->DestroyWindow();
        lqtest::PumpPending();
    }

    CFeedItem* NewChannel(const wchar_t* title, const wchar_t* category)
    {
        auto* entry = new CFeedItem;
        entry->m_nKind = FEED_KIND_FEED;
        entry->m_strTitle = entry->m_strTitleText = title;
        entry->m_strFile = title;
        entry->m_strCategory = category;
        entry->m_pChannel = new CFeedChannel;
        return entry;
    }
    CFeedTaskPanel& Pane() { return *m_frame->PaneSite().GetNavigationPane(); }
    CFeedItem* Shown() { return m_frame->QuickFilter().GetShownResults(); }

    TempFolder m_data;
    TempFolder m_temp;
    apptest::AppSandbox m_sandbox{kTestCompany, m_data, m_temp};
    CountingMainFrame* m_frame = nullptr; // deletes itself with its window
};

TEST_F(QuickFilterTest, TypedWordsBuildThePageOnTheWorkerAndASecondFilterReusesItsItem)
{
    ModalDriver driver([](HWND, const std::wstring&, int) {});
    m_frame->QuickFilter().RunTypedWords(L"APPLE");
    EXPECT_TRUE(driver.m_messages.empty());
    EXPECT_STREQ(m_frame->QuickFilter().GetText().GetString(), L"#AND#apple#/AND#");
    CFeedItem* first = Shown();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Titles(first), (std::vector<std::wstring>{L"Rain", L"Apple harvest"}));
    // The classic view shows the stored texts: they carry the marks.
    EXPECT_EQ(std::wstring(first->m_pChannel->m_items.GetTail()->m_strTitle.GetString()),
              std::wstring(kMarkOpen) + L"Apple" + kMarkClose + L" harvest");
    const std::wstring path = first->m_pChannel->m_strPath.GetString();
    EXPECT_EQ(path.rfind(m_temp.Path() + L"\\tmd", 0), 0u) << lqtest::Narrow(path);
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    // The "Quick Filter" group comes first, with the page's bold link.
    ASSERT_GE(Pane().GetGroupCount(), 1);
    CXTPTaskPanelGroup* group = Pane().GetAt(0);
    EXPECT_EQ(group->GetID(), static_cast<UINT_PTR>(IDS_QUICK_FILTER_GROUP));
    EXPECT_STREQ(group->GetCaption().GetString(), L"Quick Filter");
    ASSERT_EQ(group->GetItemCount(), 1);
    auto* item = static_cast<CXTPTaskPanelGroupItem*>(group->GetAt(0));
    EXPECT_EQ(item, first->m_pNavControl);
    EXPECT_EQ(item->GetID(), reinterpret_cast<UINT_PTR>(first));
    EXPECT_STREQ(item->GetCaption().GetString(), L"Filtered results");
    // A click on it shows the page in the news view, from its file.
    Pane().OnClick(item);
    EXPECT_EQ(m_frame->PaneSite().GetShownEntry(), first);

    // The dialog's lists: the OR word alone, in another script and case.
    ModalDriver dialog([](HWND hDlg, const std::wstring& caption, int n) {
        if (caption == L"Quick Filter" && n == 0) {
            ModalDriver::SetText(hDlg, IDC_FILTER_AND, L"");
            ModalDriver::SetText(hDlg, IDC_FILTER_OR, L"яблоки pears");
            ModalDriver::Click(hDlg, IDOK);
        }
    });
    m_frame->SendMessage(WM_COMMAND, ID_QUICK_FILTER);
    EXPECT_STREQ(m_frame->QuickFilter().GetText().GetString(), L"#OR#яблоки pears#/OR#");
    CFeedItem* second = Shown();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(Titles(second), (std::vector<std::wstring>{L"ЯБЛОКИ", L"Pears"}));
    EXPECT_STREQ(second->m_strDescriptionText.GetString(), L"\nOR: яблоки pears");
    EXPECT_EQ(second->m_pNavControl, item) << "the first page's item shows the second";
    EXPECT_EQ(item->GetID(), reinterpret_cast<UINT_PTR>(second));
    EXPECT_EQ(group->GetItemCount(), 1);
    EXPECT_EQ(m_frame->PaneSite().GetShownEntry(), second) << "the view shows the new page in the old one's place";
}

TEST_F(QuickFilterTest, AFilterWithoutWordsIsRefusedAndOneThatFindsNothingRemovesThePage)
{
    ModalDriver driver([](HWND, const std::wstring&, int) {});
    m_frame->QuickFilter().RunTypedWords(L"rain");
    ASSERT_NE(Shown(), nullptr);

    // Blank words: a message, and the filter and its page stay as they were.
    m_frame->QuickFilter().RunTypedWords(L"  , ");
    ASSERT_EQ(driver.m_messages.size(), 1u);
    EXPECT_EQ(driver.m_messages[0], L"Please type at least one word to filter the news by.");
    EXPECT_STREQ(m_frame->QuickFilter().GetText().GetString(), L"#AND#rain#/AND#");
    ASSERT_NE(Shown(), nullptr);

    // Markup-like words match nothing of the items' markup: nothing found, and the page goes with its group.
    m_frame->QuickFilter().RunTypedWords(L"<b>");
    ASSERT_EQ(driver.m_messages.size(), 2u);
    EXPECT_EQ(driver.m_messages[1], L"No news item matches this filter.");
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(Pane().FindGroup(IDS_QUICK_FILTER_GROUP), nullptr);
}

TEST_F(QuickFilterTest, DeleteResultsTakesThePageAndItsEmptyGroupOutOfThePane)
{
    ModalDriver driver([](HWND, const std::wstring&, int) {});
    m_frame->QuickFilter().RunTypedWords(L"fruit");
    CFeedItem* page = Shown();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Titles(page), (std::vector<std::wstring>{L"Pears"}));
    // The view shows the page when it goes: it forgets it.
    m_frame->PaneSite().ShowEntry(page, page->GetCacheFileName());
    m_frame->PaneSite().RemoveResultPage(page);
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(Pane().FindGroup(IDS_QUICK_FILTER_GROUP), nullptr);
    EXPECT_EQ(m_frame->PaneSite().GetShownEntry(), nullptr);
}

TEST_F(QuickFilterTest, RenameCategoryAsksForTheNewCaptionAndOnlyUserCategoriesMayBeRenamed)
{
    struct Case
    {
        const wchar_t* caption;
        BOOL bRenamable;
    };
    for (const Case& c : {Case{L"World", TRUE}, Case{L"Main Category", FALSE}, Case{L"Quick Filter", FALSE},
                          Case{L"Offers", FALSE}, Case{L"Weather", FALSE}})
        EXPECT_EQ(m_frame->PaneSite().IsNewCategory(c.caption), c.bRenamable) << lqtest::Narrow(c.caption);

    std::wstring oldShown;
    bool okEnabledEmpty = true;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption != L"Rename Category" || n != 0)
            return;
        oldShown = ModalDriver::Text(hDlg, IDC_RENAME_OLD_CAPTION);
        okEnabledEmpty = ::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) != FALSE;
        ModalDriver::SetText(hDlg, IDC_RENAME_NEW_CAPTION, L"  Planet ");
        ModalDriver::Click(hDlg, IDOK);
    });
    CString newName;
    ASSERT_TRUE(m_frame->PaneSite().AskCategoryName(L"World", newName));
    EXPECT_EQ(oldShown, L"World");
    EXPECT_FALSE(okEnabledEmpty) << "OK waits for a new caption";
    EXPECT_STREQ(newName.GetString(), L"Planet");
    m_frame->PaneSite().RenameCategory(L"World", newName);
    EXPECT_NE(Pane().FindGroupByCaption(L"Planet"), nullptr);
    EXPECT_STREQ(m_frame->Lists().Custom()->m_items.GetTail()->m_strCategory.GetString(), L"Planet");
}

} // namespace
