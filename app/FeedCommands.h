// The main window's commands on channels and categories: subscribing (from the menu, a second start or the command
// line), the channel properties, renaming a category, exporting and importing channel lists, marking everything
// read, saving an enclosure, the branding's web links, the usage log and the updater.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "feeds/EnclosureFiles.h"

class CCmdUI;
class CFeedAuthDlg;
class CFeedPropertiesDlg;
class CFeedUpdateDlg;
class CFeedItem;
class CFeedSubscribeDlg;
class CMainFrame;


class CFeedCommands
{
public:
    explicit CFeedCommands(CMainFrame& frame);
    CFeedCommands(const CFeedCommands&) = delete;
    CFeedCommands& operator=(const CFeedCommands&) = delete;

    // Shows "Subscribe" (filled with the address and fetching it at once when one is given) and "Customize the
    // Feed"; true when a channel was added or an OPML list offered for import.
    bool SubscribeFeed(const CString& strUrl);

    // Whether the text is a feed address a second start may hand over: http, https or feed, and nothing that
    // could reach a command line or a file name.
    static bool IsFeedAddress(const CString& text);
    // A feed address handed over, waiting for the subscribe flow.
    void AddHandedOver(const CString& address) { m_handedOver.AddTail(address); }
    const CStringList& GetHandedOver() const { return m_handedOver; }
    // The next address handed over runs through the subscribe flow, one flow at a time.
    void SubscribeHandedOver();

    void ShowChannelProperties(CFeedItem* pEntry, int nPage);

    // Takes the entry out of its list and the pane and deletes it with its cache and icon files; the list is saved
    // with bSave. A main-list entry's link joins the unsubscribed feeds. Refused (string 909) while a refresh runs
    // or a download holds the entry. True when the entry was deleted.
    bool DeleteChannel(CFeedItem* pEntry, bool bSave);
    // "Unsubscribe": the channel under the mouse in the pane.
    void UnsubscribeHotChannel();
    void UpdateUnsubscribe(CCmdUI* pCmdUI);
    // The category of the pane's group with the caption ("Main Category" is the empty one): its entries deleted
    // (of the main list those that may be unsubscribed), or all refreshed. FALSE when the pane has no such group.
    BOOL DeleteCategory(const CString& strCaption);
    void UpdateCategory(const CString& strCaption);
    // The same for the category group under the mouse in the pane (deleting after the user confirms).
    void DeleteHotCategory();
    void UpdateHotCategory();
    void UpdateCategoryCommand(CCmdUI* pCmdUI);
    // Renaming the category group under the mouse, and removing the result page under it.
    void RenameHotCategory();
    void UpdateRenameHotCategory(CCmdUI* pCmdUI);
    // The channel under the mouse in the channel viewer, while there is one.
    void ViewHotChannelSeparately();
    void UpdateViewHotChannelSeparately(CCmdUI* pCmdUI);
    void DeleteHotResults();
    void UpdateDeleteHotResults(CCmdUI* pCmdUI);
    void RenameCategory(const CString& strOldName, const CString& strNewName);
    void MarkAllFeedsRead();

    // The custom list's file copied to the path; false when it could not be.
    bool ExportChannelsTo(const CString& strPath);
    void ExportChannels();
    // Runs the import dialog on an exported list or an OPML file and adds the chosen channels that are not yet
    // subscribed to the custom list; returns how many were added.
    int ImportChannelFile(const CString& strPath, bool bOpml);
    void ImportChannels(bool bOpml);

    // Offers the item's enclosure for saving under a clean name, then queues its download.
    void SaveEnclosure(CFeedItem* pItem);
    // Hands the item to the worker to download its enclosure to the path: a drive's or a share's full path whose
    // folder exists and whose file name is clean. False when refused.
    bool QueueEnclosureDownload(CFeedItem* pItem, const CString& strPath);
    // A finished enclosure download: the file is offered for opening.
    void OnEnclosureDone(CFeedItem* pItem);

    // The branding's help, feed directory and getting-started pages; only web addresses leave the program.
    void OpenBrandingLink(UINT nID);
    void UpdateBrandingLink(CCmdUI* pCmdUI) const;

    // What the views report of the user's reading, logged by where the entry or item lives.
    void LogUsageEvent(WPARAM type, CFeedItem* pItem);

    // An update description the worker downloaded (a heap string, deleted here) offered to the user.
    void OfferUpdate(CString* pPath);
    // Runs the updater on a package our own download checked.
    void RunCheckedUpdater();

private:
    // DeleteChannel without rebuilding the pane; false when the lists do not hold the entry.
    bool RemoveEntry(CFeedItem* pEntry, bool bSave);
    CFeedItem* NewEntryFromSubscription(const CFeedSubscribeDlg& dlg) const;
    bool AddSubscribedEntry(CFeedItem* pEntry, const CString& strIconFile);
    static bool TakeProperties(CFeedItem* pEntry, const CFeedPropertiesDlg& info, const CFeedAuthDlg& auth,
                               const CFeedUpdateDlg& update);
    bool OfferedFileName(const CFeedItem* pItem, CString& name, CString& defaultExt) const;

    CMainFrame& m_frame;
    CStringList m_handedOver;    // feed addresses handed over, waiting for the subscribe flow
    bool m_bSubscribing = false; // a subscribe flow of a handed-over address is open
};
