// CDHtmlDialog: a dialog whose client area is our own HTML pane, with the browser's navigation events and the
// DHTML event maps. The maps are kept for the code written against them; no page ever runs script, so no
// element or control event is ever connected.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "framework/core/Collections.h"
#include "framework/html/HtmlPane.h"
#include "framework/html/HtmlPaneOwner.h"
#include "framework/win/Dialog.h"

// The control id of the pane inside a DHTML dialog.
#ifndef AFX_IDC_BROWSER
#define AFX_IDC_BROWSER 0xE900
#endif

// ---- DHTML event maps
enum DHtmlEventMapEntryType
{
    DHTMLEVENTMAPENTRY_NAME,
    DHTMLEVENTMAPENTRY_CLASS,
    DHTMLEVENTMAPENTRY_TAG,
    DHTMLEVENTMAPENTRY_ELEMENT,
    DHTMLEVENTMAPENTRY_CONTROL,
    DHTMLEVENTMAPENTRY_END
};

struct DHtmlEventMapEntry
{
    DHtmlEventMapEntryType nType;
    DISPID dispId;
    LPCTSTR szName;
    UINT nControlID;
};

// What a class that takes a page's events offers: its map, a hook ahead of it, and the page.
class CDHtmlEventSink
{
public:
    virtual ~CDHtmlEventSink() = default;
    // The class's map (ended by a DHTMLEVENTMAPENTRY_END entry), or null.
    virtual const DHtmlEventMapEntry* GetDHtmlEventMap() { return nullptr; }
    // Offered every page event before the map; TRUE when taken.
    virtual BOOL DHtmlEventHook(HRESULT* phr, DISPID dispIdMember, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                EXCEPINFO* pExcepInfo, UINT* puArgErr);
    // E_POINTER for a null out pointer, E_NOINTERFACE when no page is shown.
    virtual HRESULT GetDHtmlDocument(CHtmlPageDocument** ppDocument) = 0;
};

#define DECLARE_DHTML_EVENT_MAP()                                                                                      \
public:                                                                                                                \
    const DHtmlEventMapEntry* GetDHtmlEventMap() override;

#define BEGIN_DHTML_EVENT_MAP(className)                                                                               \
    const DHtmlEventMapEntry* className::GetDHtmlEventMap()                                                            \
    {                                                                                                                  \
        static const DHtmlEventMapEntry _dhtmlEventMapEntries[] = {
#define END_DHTML_EVENT_MAP()                                                                                          \
    {                                                                                                                  \
        DHTMLEVENTMAPENTRY_END, 0, nullptr, 0                                                                          \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    return _dhtmlEventMapEntries;                                                                                      \
    }

#define BEGIN_DHTML_EVENT_MAP_INLINE(className)                                                                        \
    const DHtmlEventMapEntry* GetDHtmlEventMap() override                                                              \
    {                                                                                                                  \
        static const DHtmlEventMapEntry _dhtmlEventMapEntries[] = {
#define END_DHTML_EVENT_MAP_INLINE() END_DHTML_EVENT_MAP()

class CDHtmlDialog : public CDialog, public CDHtmlEventSink, public CHtmlPaneOwner
{
    DECLARE_DYNAMIC(CDHtmlDialog)

public:
    CDHtmlDialog();
    // nHtmlResID: an HTML resource (RT_HTML) shown as the first page; 0 for none.
    explicit CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID = 0, CWnd* pParentWnd = nullptr);
    explicit CDHtmlDialog(LPCTSTR lpszTemplateName, LPCTSTR szHtmlResID = nullptr, CWnd* pParentWnd = nullptr);
    ~CDHtmlDialog() override;

    // Creates the pane over the client area and shows the first page; then the dialog's own initialisation.
    BOOL OnInitDialog() override;

    // ---- Navigation: as CHtmlView's (OnBeforeNavigate2 may cancel; then OnNavigateComplete and
    // OnDocumentComplete with the address exactly as given).
    void Navigate(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                  LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void GetCurrentUrl(CString& szUrl) const;

    DWORD GetHostFlags() const { return m_dwHostFlags; }

    HRESULT GetDHtmlDocument(CHtmlPageDocument** ppDocument) override;

    // ---- Events
    // The default calls OnBeforeNavigate and lets the navigation go on.
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    virtual void OnBeforeNavigate(LPDISPATCH pDisp, LPCTSTR szUrl);
    virtual void OnNavigateComplete(LPDISPATCH pDisp, LPCTSTR szUrl);
    virtual void OnDocumentComplete(LPDISPATCH pDisp, LPCTSTR szUrl);

    UINT m_nHtmlResID;
    LPCTSTR m_szHtmlResID;
    CString m_strCurrentUrl;

protected:
    void OnPaneNavigateComplete(const CString& url) override;
    void OnPaneDocumentComplete(const CString& url) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
