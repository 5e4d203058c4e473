// Helpers of the navigation pane tests: a main window that plays the frame's part (the pane's site) and records
// what reaches it, feed records built from small fixture lists, and the pane filled from them.
#pragma once

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/WebAddresses.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"
#include "views/FeedPaneSite.h"
#include "views/FeedTaskPanel.h"

#include <memory>
#include <string>
#include <vector>

namespace panetest {

// One news item of a fixture channel.
struct NewsData
{
    const wchar_t* title;
    const wchar_t* link;
    int readState;
    const wchar_t* enclosure;
};

// One entry of a fixture list.
struct EntryData
{
    const wchar_t* category;
    const wchar_t* title;
    int kind;
    std::vector<NewsData> news; // no channel when empty and withChannel is false
    bool withChannel;
};

// The main window: the site of the pane, recording the frame calls and the usage events.
class CFakeFrame : public CWnd, public CFeedPaneSite
{
public:
    struct Call
    {
        std::wstring name;
        CFeedItem* pRecord;
        std::wstring text;
        int nValue;
    };

    BOOL CreateFrame(const RECT& rect);
    int Count(const std::wstring& name) const;
    const Call* Last(const std::wstring& name) const;

    CFeedTaskPanel* GetNavigationPane() override { return m_pPane; }
    CXTPCommandBars* GetCommandBars() override { return nullptr; }
    BOOL IsUpdating() override { return m_bUpdating; }
    BOOL IsNewCategory(const CString& strCaption) override;
    void Unsubscribe(CFeedItem* pEntry) override { Record(L"Unsubscribe", pEntry); }
    void UpdateChannel(CFeedItem* pEntry) override { Record(L"UpdateChannel", pEntry); }
    void ShowChannelProperties(CFeedItem* pEntry, int nPage) override
    {
        Record(L"ShowChannelProperties", pEntry, L"", nPage);
    }
    void ShowChannelView(CFeedItem* pEntry) override { Record(L"ShowChannelView", pEntry); }
    BOOL AskCategoryName(const CString& strOldName, CString& strNewName) override;
    void RenameCategory(const CString& strOldName, const CString& strNewName) override;
    void DeleteCategory(const CString& strCaption) override { Record(L"DeleteCategory", nullptr, strCaption); }
    void UpdateCategory(const CString& strCaption) override { Record(L"UpdateCategory", nullptr, strCaption); }
    void RemoveResultPage(CFeedItem* pEntry) override { Record(L"RemoveResultPage", pEntry); }
    void RunSearch(CFeedItem* pEntry, const CString& strText) override { Record(L"RunSearch", pEntry, strText); }
    void SaveEnclosure(CFeedItem* pItem) override { Record(L"SaveEnclosure", pItem); }
    BOOL HasNewsView() override { return m_bHasNewsView; }
    CFeedItem* GetShownEntry() override { return m_pShown; }
    void ShowEntry(CFeedItem* pEntry, const CString& strCacheFile) override;

    std::vector<Call> m_calls;
    // Usage events: wParam and the record.
    std::vector<std::pair<WPARAM, CFeedItem*>> m_usage;
    CFeedTaskPanel* m_pPane = nullptr;
    BOOL m_bUpdating = FALSE;
    BOOL m_bHasNewsView = TRUE;
    CFeedItem* m_pShown = nullptr;
    std::vector<std::wstring> m_knownCategories;
    std::wstring m_strNewName; // the rename dialog's answer; empty cancels

protected:
    void Record(const std::wstring& name, CFeedItem* pRecord, const CString& text = CString(), int nValue = 0);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Settings of the engine record the tests change, put back on destruction; with a data folder of its own and
// read channels shown.
class ScopedSettings
{
public:
    ScopedSettings();
    ~ScopedSettings();
    CReaderSettings& Settings() { return GetEngineContext().m_settings; }
    const std::wstring& DataFolder() const { return m_folder.Path(); }

private:
    CReaderSettings m_saved;
    CString m_savedFolder;
    lqtest::TempFolder m_folder;
};

// Records that the open addresses went to instead of the platform.
struct LauncherLog
{
    LauncherLog();
    ~LauncherLog();
    static std::vector<std::wstring> s_opened;
    LauncherLog(const LauncherLog&) = delete;
    LauncherLog& operator=(const LauncherLog&) = delete;

private:
    BrowserLauncher m_previous;
};

// The pane, counting the drags it starts instead of running them.
class CProbePane : public CFeedTaskPanel
{
public:
    void OnStartItemDrag(CXTPTaskPanelItem*) override { ++m_nItemDrags; }
    void TrackGroupMove(CXTPTaskPanelGroup*) override { ++m_nGroupMoves; }
    int m_nItemDrags = 0;
    int m_nGroupMoves = 0;
};

// The pane in the fake frame, filled from a fixture list: one group per category (in order of first
// appearance), one link item per entry with the record's address as its id and the title as caption.
class PaneFixture
{
public:
    explicit PaneFixture(const std::vector<EntryData>& entries, CSize size = CSize(260, 420));
    ~PaneFixture();
    PaneFixture(const PaneFixture&) = delete;
    PaneFixture& operator=(const PaneFixture&) = delete;

    CProbePane& Pane() { return m_pane; }
    CFakeFrame& Frame() { return m_frame; }
    CFeedItem* Entry(int nIndex) { return m_entries[static_cast<size_t>(nIndex)].get(); }
    CXTPTaskPanelGroupItem* ItemOf(const CFeedItem* pRecord) const;
    // Paints the pane now, so that every row knows where it was drawn.
    void Paint();
    // The screen point at the middle of the rectangle where a record's row was last drawn.
    POINT RowCentre(const CFeedItem* pRecord) const;
    POINT ScreenPoint(CPoint ptClient) const;
    // Detaches an entry so that the test frees it itself (after ForgetRecord).
    std::unique_ptr<CFeedItem> Release(int nIndex);

private:
    CWinApp m_app;
    CFakeFrame m_frame;
    CProbePane m_pane;
    std::vector<std::unique_ptr<CFeedItem>> m_entries;
};

// A channel entry with its news items (owned by the entry's channel).
std::unique_ptr<CFeedItem> MakeEntry(const EntryData& data);

// While one lives, the views' menus are recorded instead of shown: the last menu's id and its commands' states.
class MenuRecorder
{
public:
    MenuRecorder();
    ~MenuRecorder();
    MenuRecorder(const MenuRecorder&) = delete;
    MenuRecorder& operator=(const MenuRecorder&) = delete;

    // The id of the menu shown last (0 none).
    UINT MenuId() const { return m_nMenuID; }
    // Whether the last menu's command is enabled; a test failure when it has no such command.
    bool Enabled(UINT nID) const;
    void Clear();

private:
    static void Record(UINT nMenuID, CMenu* pPopup, CPoint, CWnd*);

    UINT m_nMenuID = 0;
    std::vector<std::pair<UINT, bool>> m_items; // command and enabled
    FeedMenuTracker m_previous;
};

using lqtest::ClickAt;
using lqtest::MoveMouse;

inline void RightClickAt(POINT pt)
{
    ClickAt(pt, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

} // namespace panetest
