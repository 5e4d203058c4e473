// The main window's two subscription lists: the server's main list ("MainFeed.xml") and the user's custom list
// ("CustomFeed.xml") of the data folder, each entry with its channel's cached items. The lists own their entries;
// the frame's other features reach them here.
#pragma once

#include <windows.h>

#include "app/CacheLoader.h"

#include <memory>
#include <vector>

class CFeedChannel;
class CFeedItem;
class CMainFrame;

// Whether the entry is one of the list's own entries (the same record, not an equal one); false without a list.
bool ListHolds(CFeedChannel* pList, const CFeedItem* pEntry);
// The entry's cache file as its channel; false (the entry as it was) when there is none or it does not load.
bool LoadEntryCache(CFeedItem* pEntry);

class CSubscriptionLists
{
public:
    explicit CSubscriptionLists(CMainFrame& frame);
    ~CSubscriptionLists();
    CSubscriptionLists(const CSubscriptionLists&) = delete;
    CSubscriptionLists& operator=(const CSubscriptionLists&) = delete;

    // Loads both lists (the custom list from its backup when it is missing or damaged) and counts what each
    // channel's cache file holds in a first pass. A list that cannot be read stays null.
    BOOL Load();
    // Reads the channels the first pass counted, on worker threads; the ticker and the podcast list get the items
    // once every channel is in.
    void StartReading();
    // While channels are being read: the entries wait for their items (HasChannel, counts), and nothing that acts
    // on items may run before FinishReading.
    bool IsReading() const { return m_loader.IsLoading(); }
    // The channels read so far taken in (WM_CACHES_READ).
    void TakeReadChannels();
    // Every channel still missing read at once and taken in.
    void FinishReading();

    // Null when there is none.
    CFeedChannel* Main() const { return m_pMain.get(); }
    CFeedChannel* Custom() const { return m_pCustom.get(); }
    // Takes the list over as the main list.
    void AdoptMain(CFeedChannel* pList);
    // The custom list to add channels to, loaded when missing (empty without a file). Null when its file cannot be
    // read: a new list saved over it would lose it.
    CFeedChannel* CustomForAdding();
    // The custom list for a full refresh, loaded when missing (from its backup when its file is gone).
    CFeedChannel* CustomForRefresh();

    // The entry of the main list, else of the custom list, with the same feed address; null when neither has one.
    CFeedItem* FindEntry(const CFeedItem* pEntry) const;
    // Whether an entry may be deleted or changed now: no download holds it and no refresh runs.
    bool CanChangeEntry(const CFeedItem* pEntry) const;

    // Each list written when there is one.
    void SaveMain();
    void SaveCustom();
    // Both lists with their channels' caches, at shut-down.
    void SaveAll();

private:
    void ChannelsIn();

    CMainFrame& m_frame;
    std::unique_ptr<CFeedChannel> m_pMain;
    std::unique_ptr<CFeedChannel> m_pCustom;
    std::vector<CFeedItem*> m_toRead; // counted by the first pass, for StartReading
    // Declared after the lists: its threads end before the entries go.
    CCacheLoader m_loader;
};
