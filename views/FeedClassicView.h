// The classic view style's news view: one channel's cache file turned into a page through feeds.xsl and shown
// in the HTML pane. A click on an item's link marks the item read and opens the address in the user's browser;
// an enclosure link asks the frame to save the enclosure; a "bookmark:" link posts the item to the branding's
// bookmarking service and shows its answer in the view.
#pragma once

#include "feeds/EngineMessages.h"
#include "views/DHtmlViewSpec.h"

class CFeedItem;

// What the view asks of the frame that holds it.
class CFeedViewSite
{
public:
    // The frame's enclosure command for the item: a save dialog, then the download.
    virtual void SaveEnclosure(CFeedItem* pItem) = 0;
    // Redraws the navigation pane at once (read counts changed).
    virtual void RedrawNavigation() = 0;

protected:
    ~CFeedViewSite() = default;
};

class CFeedClassicView : public CDHtmlViewSpec
{
    DECLARE_DYNCREATE(CFeedClassicView)

public:
    CFeedClassicView();
    ~CFeedClassicView() override;

    // Renders and shows a channel document (null counts as empty): an empty path shows the branding's home
    // page (or about:blank), "about:blank" shows an empty page, and without a style sheet the path itself is
    // shown. Returns 1 when a navigation started, 0 when rendering failed (a message box said why for load and
    // parse failures) and the previous page stays.
    int ShowFeed(LPCWSTR lpszPath);
    // The style sheet used for rendering; null gives none. Returns 1.
    int SetStyleSheet(LPCWSTR lpszPath);

    void SetSite(CFeedViewSite* pSite) { m_pSite = pSite; }

    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    void OnDocumentComplete(LPCTSTR lpszURL) override;
    void OnDownloadComplete() override {}
    void DoDataExchange(CDataExchange*) override {}

    DECLARE_DHTML_EVENT_MAP()

    // The text last given to ShowFeed, or what an empty request became; "about:blank" after creation.
    CString m_strCurrentAddress;
    CString m_strStyleSheet;
    // The temporary page shown now; empty before the first rendering.
    CString m_strRenderedFile;
    // Set while a navigation that the view started itself (or the bookmark service's answer) is shown.
    int m_bSelfNavigation;
    int m_bBookmarkPost;
    // The subscription entry whose channel is shown; not owned. Callers set it before ShowFeed.
    CFeedItem* m_pShownEntry;
    // Restored when the next page completes, when the vertical value is not 0.
    int m_nSavedScrollLeft;
    int m_nSavedScrollTop;
    // The text of the last rendering failure's message box (empty when there was none); for tests.
    CString m_strLastError;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void NavigateSelf(LPCWSTR lpszAddress);
    bool PostBookmark(const CString& address);
    void HandleClick(const CString& address);
    void SaveScrollPosition();
    void ShowError(const CString& text);
    // The transform of the channel file with the style sheet into a new "tm_" file; empty on failure.
    CString RenderToTempFile();

    CFeedViewSite* m_pSite;
};
