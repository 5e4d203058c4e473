// The search box of a "Search-in" entry: its layout, Enter and the button searching through the pane's site, the
// history with the newest search first, an empty box doing nothing, and the entry let go when the box goes.
#include "views/SearchItemWnd.h"

#include "feeds/FeedItem.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "tests/views/NavPaneTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lqtest::PumpUntil;
using panetest::CFakeFrame;

namespace {

class SearchItemWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.CreateFrame(CRect(40, 40, 340, 200)));
        m_entry.m_nKind = FEED_KIND_SEARCH_IN;
        m_entry.m_strTitleText = L"Search the news archive";
        m_entry.m_strButtonText = L"Find";
        m_pBox = CSearchItemWnd::CreateFor(&m_entry, &m_frame, &m_frame, 0x4000);
        ASSERT_NE(m_pBox, nullptr);
        m_pBox->SetWindowPos(nullptr, 0, 0, 260, 50, SWP_NOZORDER);
    }
    void TearDown() override
    {
        if (m_frame.GetSafeHwnd() != nullptr)
            m_frame.DestroyWindow();
        lqtest::PumpPending();
    }

    void Type(const wchar_t* text) { m_pBox->m_wndCombo.SetWindowText(text); }
    std::vector<std::wstring> History() const
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < m_pBox->GetHistoryCount(); ++i)
            items.emplace_back(m_pBox->GetHistoryItem(i).GetString());
        return items;
    }
    std::vector<std::wstring> Searched() const
    {
        std::vector<std::wstring> texts;
        for (const CFakeFrame::Call& call : m_frame.m_calls) {
            if (call.name == L"RunSearch") {
                EXPECT_EQ(call.pRecord, &m_entry);
                texts.push_back(call.text);
            }
        }
        return texts;
    }
    // The pump that gives the edit's pre-translation its turn, as the program's message loop does.
    static bool PreTranslate(MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; }

    CFakeFrame m_frame;
    CFeedItem m_entry;
    CSearchItemWnd* m_pBox = nullptr; // deletes itself with its window
};

TEST_F(SearchItemWndTest, TheBoxTakesItsEntrysCaptionAndButtonAndKeepsItsPlacesWhenSized)
{
    EXPECT_EQ(m_entry.m_pAttachedWnd, m_pBox);
    CString text;
    m_pBox->GetWindowText(text);
    EXPECT_STREQ(text.GetString(), L"Search the news archive");
    m_pBox->m_wndButton.GetWindowText(text);
    EXPECT_STREQ(text.GetString(), L"Find");
    const struct
    {
        int width;
    } widths[] = {{260}, {200}, {320}};
    for (const auto& w : widths) {
        m_pBox->SetWindowPos(nullptr, 0, 0, w.width, 50, SWP_NOZORDER | SWP_NOMOVE);
        CRect button, combo;
        m_pBox->m_wndButton.GetWindowRect(&button);
        m_pBox->ScreenToClient(&button);
        m_pBox->m_wndCombo.GetWindowRect(&combo);
        m_pBox->ScreenToClient(&combo);
        EXPECT_EQ(button.TopLeft(), CPoint(w.width - 75, 20)) << w.width;
        EXPECT_EQ(button.Size(), CSize(75, 22)) << w.width;
        EXPECT_EQ(combo.left, 12) << w.width;
        EXPECT_EQ(combo.top, 20) << w.width;
        EXPECT_EQ(combo.Width(), w.width - 90) << w.width;
        EXPECT_LE(combo.right, button.left) << "the box stays clear of the button";
    }
}

TEST_F(SearchItemWndTest, EnterAndTheButtonSearchAndPutTheTextFirstInTheHistory)
{
    // Nothing typed: nothing searched.
    m_pBox->m_wndButton.SendMessage(BM_CLICK);
    EXPECT_TRUE(Searched().empty());

    m_frame.SetForegroundWindow();
    m_pBox->m_wndEdit.SetFocus();
    lqtest::TypeText(L"rain & snow");
    lqtest::TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return Searched().size() == 1; }, 5000, PreTranslate));
    EXPECT_EQ(Searched(), (std::vector<std::wstring>{L"rain & snow"}));

    Type(L"sun");
    m_pBox->m_wndButton.SendMessage(BM_CLICK);
    Type(L"rain & snow");
    m_pBox->m_wndButton.SendMessage(BM_CLICK);
    EXPECT_EQ(Searched(), (std::vector<std::wstring>{L"rain & snow", L"sun", L"rain & snow"}));
    // A typed search goes in again on top, even when the history has it.
    EXPECT_EQ(History(), (std::vector<std::wstring>{L"rain & snow", L"sun", L"rain & snow"}));

    // A choice from the list moves that search to the top instead.
    m_pBox->m_wndCombo.SetCurSel(1);
    m_pBox->SendMessage(WM_COMMAND, MAKEWPARAM(0x6B, CBN_SELENDOK),
                        reinterpret_cast<LPARAM>(m_pBox->m_wndCombo.GetSafeHwnd()));
    EXPECT_EQ(Searched().back(), L"sun");
    EXPECT_EQ(History(), (std::vector<std::wstring>{L"sun", L"rain & snow", L"rain & snow"}));
}

TEST_F(SearchItemWndTest, TheEntryForgetsTheBoxWhenItGoesAndTheBoxForgetsAnEntryThatGoesFirst)
{
    m_pBox->DestroyWindow();
    EXPECT_EQ(m_entry.m_pAttachedWnd, nullptr);

    // An entry deleted with its box still standing takes the box with it.
    auto* entry = new CFeedItem;
    entry->m_nKind = FEED_KIND_SEARCH_OUT;
    CSearchItemWnd* box = CSearchItemWnd::CreateFor(entry, &m_frame, &m_frame, 0x4001);
    ASSERT_NE(box, nullptr);
    const HWND hBox = box->GetSafeHwnd();
    CString caption;
    box->m_wndButton.GetWindowText(caption);
    EXPECT_STREQ(caption.GetString(), L"Search");
    delete entry;
    EXPECT_FALSE(::IsWindow(hBox));
}

} // namespace
