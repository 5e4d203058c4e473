// The base of the program's HTML views: a framework HTML view that also answers as a DHTML event sink, and that
// keeps the page from acting on the browser's own shortcut keys and from showing a context menu.
#pragma once

#include "framework/html/DHtmlDialog.h"
#include "framework/html/HtmlView.h"

class CDHtmlViewSpec : public CHtmlView, public CDHtmlEventSink
{
    DECLARE_DYNCREATE(CDHtmlViewSpec)

public:
    CDHtmlViewSpec();
    ~CDHtmlViewSpec() override;

    // True (with one debugger line for a key) when the message is kept from the page.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // A derived view that overrides these calls them, so that the page is taken and let go at the right times.
    void OnNavigateComplete2(LPCTSTR strURL) override;
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;
    void OnDocumentComplete(LPCTSTR lpszURL) override;

    // No map of its own. The pane runs no script, so a map's element and control entries never receive an
    // event and nothing is connected for them.
    const DHtmlEventMapEntry* GetDHtmlEventMap() override { return nullptr; }
    BOOL DHtmlEventHook(HRESULT*, DISPID, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return FALSE; }
    // The shown page; E_POINTER for a null out pointer, E_NOINTERFACE while no page is held.
    HRESULT GetDHtmlDocument(CHtmlPageDocument** ppDocument) override;

    // The debugger line of a key message that the filter swallows, an empty text for a swallowed right click,
    // null for a message that goes on. The Control and Alt tests read the keyboard's state now.
    static LPCWSTR FilterMessage(const MSG& msg);

protected:
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    // Held from navigation complete to the next navigation.
    CHtmlPageDocument* m_pDocument;
};
