// The refresh timer's arithmetic: countdowns, due entries, a running refresh, offline ticks.
#include "app/RefreshTimer.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

#include <gtest/gtest.h>

namespace {

CFeedItem* AddEntry(CFeedChannel& list, int nKind, int nInterval, int nCountdown, bool bUpdating = false)
{
    auto* pEntry = new CFeedItem;
    pEntry->m_nKind = nKind;
    pEntry->m_nUpdateInterval = nInterval;
    pEntry->m_nCountdown = nCountdown;
    pEntry->m_bUpdating = bUpdating;
    list.m_items.AddTail(pEntry);
    return pEntry;
}

bool IsDue(const CPtrList& due, CFeedItem* pEntry)
{
    return due.Find(pEntry) != nullptr;
}

TEST(RefreshTimer, CountdownsBecomeDueAtOneAndStayThere)
{
    struct Case
    {
        int nCountdown;
        bool bRunning, bOnline, bUpdating;
        int nAfter;
        bool bDue;
    } cases[] = {
        {5, false, true, false, 4, false},  {2, false, true, false, 1, false}, {1, false, true, false, 1, true},
        {0, false, true, false, 1, true},   {-1, false, true, false, 1, true}, {1, false, false, false, 1, false},
        {0, false, false, false, 1, false}, {1, false, true, true, 1, false}, // already being fetched
        {5, true, true, false, 4, false},   {1, true, true, false, 1, false},  {0, true, true, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nCountdown << " running " << c.bRunning << " online " << c.bOnline
                                        << " updating " << c.bUpdating);
        CFeedChannel list;
        CFeedItem* pEntry = AddEntry(list, FEED_KIND_FEED, 60, c.nCountdown, c.bUpdating);
        int nChannelList = 1;
        CPtrList due;
        CountDownRefresh(&list, nullptr, c.bRunning, c.bOnline, nChannelList, due);
        EXPECT_EQ(pEntry->m_nCountdown, c.nAfter);
        EXPECT_EQ(IsDue(due, pEntry), c.bDue);
        EXPECT_EQ(due.GetCount(), c.bDue ? 1 : 0);
    }
}

TEST(RefreshTimer, OnlyTimedChannelsOfBothListsCountAndTheChannelListStopsAtOne)
{
    CFeedChannel mainList, customList;
    CFeedItem* pMainDue = AddEntry(mainList, FEED_KIND_FEED, 30, 1);
    CFeedItem* pNever = AddEntry(mainList, FEED_KIND_FEED, -1, 1);
    CFeedItem* pNotice = AddEntry(mainList, FEED_KIND_NOTICE, 30, 1);
    CFeedItem* pCustomDue = AddEntry(customList, FEED_KIND_FEED, 30, 0);
    int nChannelList = 3;
    CPtrList due;
    CountDownRefresh(&mainList, &customList, false, true, nChannelList, due);
    ASSERT_EQ(due.GetCount(), 2);
    EXPECT_EQ(due.GetHead(), pMainDue); // the main list first
    EXPECT_EQ(due.GetTail(), pCustomDue);
    EXPECT_FALSE(IsDue(due, pNever));
    EXPECT_FALSE(IsDue(due, pNotice));
    EXPECT_EQ(nChannelList, 2);
    for (int i = 0; i < 3; ++i) {
        CPtrList more;
        CountDownRefresh(&mainList, &customList, i == 0, true, nChannelList, more);
    }
    EXPECT_EQ(nChannelList, 1);
}

// An entry due while offline keeps its countdown at 1 and is due at the first tick back online.
TEST(RefreshTimer, AnEntryMissedOfflineIsDueWhenTheNetworkReturns)
{
    CFeedChannel list;
    CFeedItem* pEntry = AddEntry(list, FEED_KIND_FEED, 60, 2);
    int nChannelList = 1;
    const bool online[] = {false, false, false, true};
    CPtrList due;
    for (bool bOnline : online) {
        due.RemoveAll();
        CountDownRefresh(&list, nullptr, false, bOnline, nChannelList, due);
    }
    EXPECT_EQ(pEntry->m_nCountdown, 1);
    EXPECT_TRUE(IsDue(due, pEntry));
}

} // namespace
