// The HTML pane: a child window that loads a page (file, resource, about:blank or http), lays it out and draws
// it, scrolls, selects and copies text and follows links. It never runs anything a page carries: no script,
// plugins, frames, meta refresh or form submission.
#pragma once

#include <windows.h>
#include <mshtmhst.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"
#include "framework/html/HtmlDocument.h"
#include "framework/html/HtmlImages.h"
#include "framework/html/HtmlLayout.h"
#include "framework/html/HtmlNavigation.h"
#include "framework/win/Wnd.h"

class CHtmlPane;

// The page's body as the hosts use it: its scroll position (get and put) and its scroll size, in pixels.
class CHtmlBodyElement
{
public:
    explicit CHtmlBodyElement(CHtmlPane* pPane) : m_pPane(pPane) {}

    HRESULT get_scrollLeft(long* p) const;
    HRESULT put_scrollLeft(long v);
    HRESULT get_scrollTop(long* p) const;
    HRESULT put_scrollTop(long v);
    HRESULT get_scrollHeight(long* p) const;
    HRESULT get_scrollWidth(long* p) const;

private:
    CHtmlPane* m_pPane;
};

// The loaded page as the hosts see it. Owned by the pane; valid while the pane lives.
class CHtmlPageDocument
{
public:
    explicit CHtmlPageDocument(CHtmlPane* pPane) : m_pPane(pPane), m_body(pPane) {}

    // The body; E_POINTER for a null out pointer.
    HRESULT get_body(CHtmlBodyElement** ppBody);
    HRESULT get_title(CString* pTitle) const;
    HRESULT get_URL(CString* pUrl) const;

private:
    CHtmlPane* m_pPane;
    CHtmlBodyElement m_body;
};

// What the pane reports to the window that hosts it, in this order for every page: before navigation (which may
// cancel), navigation complete, document complete.
class IHtmlPaneHost
{
public:
    virtual void OnPaneBeforeNavigate(const CString& url, DWORD flags, const std::string& postData,
                                      const CString& headers, BOOL* pbCancel) = 0;
    virtual void OnPaneNavigateComplete(const CString& url) = 0;
    virtual void OnPaneDocumentComplete(const CString& url) = 0;
    virtual void OnPaneDownloadBegin() {}
    virtual void OnPaneDownloadComplete() {}

protected:
    ~IHtmlPaneHost() = default;
};

// A link of the shown page, for tests and hosts: its address as written, its text and its boxes in client
// coordinates (as the pane shows them now).
struct CHtmlPaneLink
{
    CString m_strHref;
    CString m_strText;
    std::vector<CRect> m_rects;
};

class CHtmlPane : public CWnd
{
    DECLARE_DYNAMIC(CHtmlPane)

public:
    CHtmlPane();
    ~CHtmlPane() override;

    // A child window; dwHostFlags are the DOCHOSTUIFLAG values (no 3-D border, no scroll bars).
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwHostFlags = 0);
    void SetHost(IHtmlPaneHost* pHost) { m_pHost = pHost; }
    void SetHostFlags(DWORD dwFlags);
    DWORD GetHostFlags() const { return m_dwHostFlags; }

    // Asks the host (before navigation, which may cancel), then loads: local pages at once, http pages on a
    // worker thread. FALSE when cancelled or when the address is refused (a scheme we never load).
    BOOL Navigate(const CString& url, const CString& headers = CString(), const std::string& postData = std::string(),
                  bool forcePost = false);
    // Shows an HTML resource of the module (the program's when null) as the page "res://<module>/<id>".
    BOOL LoadFromResource(HMODULE hModule, LPCWSTR lpszResource);
    // Shows markup without asking the host (for tests and hosts' own pages); the address becomes url.
    void ShowHtml(const std::string& bytes, const CString& url);
    void Stop();
    // Loads the current page again, keeping the scroll position; no navigation events.
    void Refresh();
    BOOL IsBusy() const { return m_nPendingTicket != 0; }
    // Pages show images from their own folder only; the host may name one more folder of its own pictures.
    void AllowImagesFrom(const CString& folder) { m_images.AllowFolder(std::wstring(folder.GetString())); }

    // ---- The page
    const CString& GetLocationURL() const { return m_strAddress; }
    CString GetTitle() const { return m_doc.m_strTitle; }
    // The text of the page (blocks on their own lines).
    CString GetPageText() const { return m_layout.GetPlainText(); }
    std::vector<CHtmlPaneLink> GetLinks() const;
    // Activates link nIndex as a click would: the host is asked, then the resolved address loads.
    BOOL ClickLink(int nIndex);
    // The first link whose href (as written) equals href; -1 when there is none.
    int FindLink(const CString& href) const;
    // Null before the first page.
    CHtmlPageDocument* GetDocument() { return m_bHasPage ? &m_document : nullptr; }
    const CHtmlLayout& GetLayout() const { return m_layout; }
    int GetLayoutCount() const { return m_nLayouts; }

    // ---- Scrolling (pixels of the page)
    int GetScrollTop() const { return m_nScrollY; }
    int GetScrollLeft() const { return m_nScrollX; }
    void SetScrollTop(int y);
    void SetScrollLeft(int x);
    int GetScrollHeight() const { return m_layout.GetHeight(); }
    int GetScrollWidth() const { return m_layout.GetWidth(); }

    // ---- Selection (offsets into GetPageText)
    void SetSelection(int nStart, int nEnd);
    CString GetSelectedText() const;
    BOOL CopySelection();
    int GetFocusLink() const { return m_nFocusLink; }

    // Draws the page part at page rectangle rcPage into hdc at (0, 0): what WM_PAINT shows.
    void DrawPage(HDC hdc, const CRect& rcPage);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg LRESULT OnFetchDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ShowResult(const CString& url, const HtmlLoadResult& result, bool fireEvents);
    void Relayout();
    void UpdateScrollBars();
    int MaxScrollY() const;
    int MaxScrollX() const;
    CSize ClientSize() const;
    // The offset in the page text nearest to a client point.
    int HitTestText(CPoint client);
    void MoveFocusLink(bool bForward);
    void ScrollLinkIntoView(int nLink);
    void InvalidateLink(int nLink);
    CRect PageToClient(const CRect& rc) const;
    void DrawRun(HDC hdc, const CHtmlRun& run, CPoint origin);

    IHtmlPaneHost* m_pHost = nullptr;
    DWORD m_dwHostFlags = 0;
    CString m_strAddress;
    bool m_bHasPage = false;
    CHtmlDocument m_doc;
    CHtmlLayout m_layout;
    HDC m_hMeasureDC = nullptr;
    std::unique_ptr<CHtmlMeasure> m_pMeasure;
    CHtmlImageCache m_images;
    CHtmlPageDocument m_document;
    int m_nLayoutWidth = -1;
    int m_nLayouts = 0;
    int m_nScrollX = 0;
    int m_nScrollY = 0;
    bool m_bVScroll = false;
    bool m_bHScroll = false;
    // A fetch in flight: its ticket (0: none) and what was asked.
    WPARAM m_nPendingTicket = 0;
    WPARAM m_nNextTicket = 1;
    CString m_strPendingUrl;
    bool m_bPendingEvents = true;
    // Selection and mouse tracking.
    int m_nSelAnchor = 0;
    int m_nSelEnd = 0;
    bool m_bTracking = false;
    int m_nDownLink = -1;
    CPoint m_ptDown;
    int m_nFocusLink = -1;
};
