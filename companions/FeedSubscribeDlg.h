// Subscribing to a feed: "Subscribe" (200) asks for the address and the log-on data and fetches the feed through
// the wait dialog; "Customize the Feed" (201) names the new subscription and gives it a category. Also the
// loader of the user's own subscription list and the rules by which a typed, pasted or handed-over address
// becomes the address that is fetched and stored.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"

class CFeedChannel;
class CFeedItem;

// The "feed:" forms: "feed:feed:" (only when bPreset, an address given to the program), then "feed://" as
// "http://" and a leading "feed:" dropped. Only the front of the address changes.
CString NormalizeFeedAddress(const CString& address, bool bPreset);

// A typed address: line breaks removed, blanks trimmed at both ends, and "http://" put in front of an address
// that names no scheme ("www.example.com/rss.xml").
CString CleanTypedAddress(const CString& address);

// Whether an address may be fetched and stored as a feed: an absolute http or https address with a host.
bool IsSubscribableAddress(const CString& address);

// What ExtractAddressCredentials found.
enum AddressCredentials
{
    ADDRESS_CREDENTIALS_NONE = 0,
    ADDRESS_CREDENTIALS_QUERY = 1,    // "username=" or "password=" query parameters: GET authentication
    ADDRESS_CREDENTIALS_USERINFO = 2, // "user:password@host": HTTP authentication
};
// Takes the account out of the address, so that it is never stored or shown with it: the "username=" and
// "password=" query parameters (a name counts only after "?" or "&") and a "user:password@" before the host.
// Values found (percent-decoded) overwrite the account name and password. Returns a combination of the flags.
int ExtractAddressCredentials(CString& address, CString& accountName, CString& password);

class CFeedSubscribeDlg : public CDialog
{
public:
    explicit CFeedSubscribeDlg(CWnd* pParent = nullptr);
    ~CFeedSubscribeDlg() override;

    CEdit m_editAddress;
    CString m_strUrl;         // in: an address to start with; out: the fetched address, or an OPML file's path
    CFeedChannel* m_pChannel; // the fetched feed after IDOK; the caller takes it over and clears the member
    CString m_strIconFile;    // the fetched site icon; empty when none
    CButton m_chkLogon;
    CButton m_radioHttpAuth;
    CButton m_radioGetAuth;
    CEdit m_editAccount;
    CEdit m_editPassword;
    int m_bLogon;
    int m_bHttpAuth;    // 0: GET authentication
    int m_bDownloadNow; // set by a caller that supplies the address: fetch it before the user sees the dialog
    CString m_strAccountName;
    CString m_strPassword;

    // The clipboard's text as the address when it is a feed address.
    void ReadClipboardUrl();
    // ExtractAddressCredentials on the address, with the log-on controls following what it found.
    void ExtractCredentials(CString& address);
    // Runs the wait dialog for the address; TRUE when a feed or an OPML list came.
    BOOL DownloadFeed();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnLogonClicked();
    DECLARE_MESSAGE_MAP()

private:
    void EnableLogonControls(BOOL bEnable);
};

class CFeedSubscribeDlg2 : public CDialog
{
public:
    explicit CFeedSubscribeDlg2(CWnd* pParent = nullptr);

    CFeedItem* m_pEntry; // the subscription being made
    CPtrList* m_pGroups; // the navigation pane's category groups (CXTPTaskPanelGroup*); may be null
    CEdit m_editTitle;
    CComboBox m_comboCategory;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};

// The data folder's "CustomFeed.xml" as a new channel owned by the caller: empty when the file is missing, null
// when it cannot be read.
CFeedChannel* LoadCustomFeeds();
