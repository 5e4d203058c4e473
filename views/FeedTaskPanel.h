// The navigation pane: a task panel whose groups are categories and whose items stand for subscribed channels,
// notices, search entries, result pages and hosted windows. Items that stand for a feed record keep the record's
// address as their id. The pane decides what a click does (show the channel, or drop down its headlines), which
// context menu opens, which of its commands are enabled and which item is hot.
#pragma once

#include "framework/win/ImageList.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "views/Picture.h"

#include <map>
#include <memory>

class CFeedItem;
class CFeedPaneSite;
class CFeedPopupBar;
class CMenu;
class CXTPCommandBars;

// Shows the first submenu of a menu resource at a screen point, its commands going to pOwner (whose update
// handlers set their states first). Returns whether a command was chosen.
BOOL TrackFeedContextMenu(UINT nMenuID, CPoint ptScreen, CWnd* pOwner, CXTPCommandBars* pCommandBars);
// Replaces the menu display (tests watch which menu would open and how its items stand); null restores it.
typedef void (*FeedMenuTracker)(UINT nMenuID, CMenu* pPopup, CPoint ptScreen, CWnd* pOwner);
FeedMenuTracker SetFeedMenuTracker(FeedMenuTracker tracker);

// The pane's entry images (bitmap 181), in order.
enum FeedPaneImage
{
    kPaneImageFeed,
    kPaneImageUnreachable,
    kPaneImageNotice,
    kPaneImageResults,
    kPaneImageSearch,
    kPaneImageWebPage,
    kPaneImageWeather,
};

class CFeedTaskPanel : public CXTPTaskPanel
{
    DECLARE_DYNCREATE(CFeedTaskPanel)

public:
    CFeedTaskPanel();
    ~CFeedTaskPanel() override;

    void SetSite(CFeedPaneSite* pSite) { m_pSite = pSite; }
    CFeedPaneSite* GetSite() const { return m_pSite; }

    // The record an item stands for: its id when that is an address, else null (groups, string ids).
    static CFeedItem* GetRecord(const CXTPTaskPanelItem* pItem);

    // Every group expanded, in panel order.
    void ExpandAllGroups();
    // The item under a client point: a group on its caption; an entry only inside the rectangle where its row
    // was last drawn; with bGroupIfNoItem the group when there is no such entry.
    CXTPTaskPanelItem* ItemFromPoint(int x, int y, BOOL bGroupIfNoItem = FALSE) const;

    // Called before a record is freed or replaced: its items leave the pane, and a drop-down that shows it
    // closes, so that no click, hover or open drop-down reaches the freed record.
    void ForgetRecord(CFeedItem* pRecord);

    // Site pictures: the icon a record's entry shows. Loading drops the old picture; a file that is missing,
    // damaged or too large leaves none, and the entry shows its image from the pane's list instead.
    CPicture* GetSitePicture(const CFeedItem* pRecord) const;
    BOOL LoadSitePicture(const CFeedItem* pRecord, const CString& strFile);
    // The same, done when the picture is first asked for: loading every site icon as the pane was built kept a
    // window with hundreds of channels from showing for seconds, for icons mostly out of sight.
    void PlaceSitePicture(const CFeedItem* pRecord, const CString& strFile);
    void DropSitePicture(const CFeedItem* pRecord);
    void DropSitePictures();
    // The image of the pane's list an entry shows when it has no site picture: the unreachable mark, the
    // record's own index, else the image of its kind.
    static int GetEntryImage(const CFeedItem* pRecord);

    void OnClick(CXTPTaskPanelItem* pItem) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CImageList* GetImageList() { return &m_ilIcons; }
    CFeedPopupBar* GetPopupBar() const { return m_pPopupBar; }
    // The popup bar last announced as tracking, while it still has a window.
    CWnd* GetAnnouncedPopup() const;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnUnsubscribe();
    afx_msg void OnUpdateUnsubscribe(CCmdUI* pCmdUI);
    afx_msg LRESULT OnPopupBarStart(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateChannel();
    afx_msg void OnUpdateUpdateChannel(CCmdUI* pCmdUI);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnMarkChannelRead();
    afx_msg void OnChannelProperties();
    afx_msg void OnViewInSeparateWindow();
    afx_msg void OnUpdateChannelCommand(CCmdUI* pCmdUI);
    afx_msg void OnRenameCategory();
    afx_msg void OnUpdateRenameCategory(CCmdUI* pCmdUI);
    afx_msg void OnDeleteCategory();
    afx_msg void OnUpdateDeleteCategory(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCategory();
    afx_msg void OnUpdateUpdateCategory(CCmdUI* pCmdUI);
    afx_msg void OnDestroy();
    afx_msg void OnSetPassword();
    afx_msg void OnDeleteResults();
    DECLARE_MESSAGE_MAP()

    // The hot item's record when it is an entry (not a group).
    CFeedItem* GetHotRecord() const;
    // The hot item when it is a group.
    CXTPTaskPanelGroup* GetHotGroup() const;
    // Mouse moves and leaving change nothing while a menu or drop-down of the pane is up.
    BOOL IsHoverFrozen() const;
    // Empties the drop-down (and ends its window), making it on first use.
    void PreparePopupBar();
    void DropDownHeadlines(CXTPTaskPanelItem* pItem, CFeedItem* pRecord);
    void SendUsageEvent(WPARAM wCode, CFeedItem* pRecord);

    // Kept as a handle: the announced bar's object may be gone by the time its window is.
    HWND m_hAnnouncedPopup;
    CFeedPopupBar* m_pPopupBar;
    CImageList m_ilIcons;
    mutable std::map<const CFeedItem*, std::unique_ptr<CPicture>> m_sitePictures;
    mutable std::map<const CFeedItem*, CString> m_placedPictures; // not yet loaded
    CFeedPaneSite* m_pSite;
    // A context menu that tracks modally is open.
    BOOL m_bMenuOpen;
};
