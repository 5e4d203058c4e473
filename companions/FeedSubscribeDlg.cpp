#include "companions/FeedSubscribeDlg.h"

#include <string>

#include "res/resource.h"

#include "companions/FeedDownloadDlg.h"
#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedStore.h"
#include "feeds/OpmlImport.h"
#include "framework/core/UrlEncoding.h"
#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"

namespace {

bool StartsWith(const CString& text, LPCWSTR prefix)
{
    const int length = static_cast<int>(wcslen(prefix));
    return text.GetLength() >= length && text.Left(length).CompareNoCase(prefix) == 0;
}

// Removes the first "name=value" query parameter of the address; false when there is none. A name counts only
// right after "?" or "&", so "myusername=" and an address beginning with "username=" are no parameters.
bool TakeQueryParameter(CString& address, LPCWSTR name, bool& bHasValue, CString& value)
{
    const int nameLength = static_cast<int>(wcslen(name));
    const int query = address.Find(L'?');
    if (query < 0)
        return false;
    for (int at = address.Find(name, query + 1); at > 0; at = address.Find(name, at + 1)) {
        const WCHAR before = address[at - 1];
        if (before != L'?' && before != L'&')
            continue;
        const int start = at + nameLength;
        int end = address.Find(L'&', start);
        const int fragment = address.Find(L'#', start);
        if (end < 0 || (fragment >= 0 && fragment < end))
            end = fragment >= 0 ? fragment : address.GetLength();
        bHasValue = end > start;
        value = bHasValue ? PercentDecode(address.Mid(start, end - start), true) : CString();
        // The separator in front goes with the parameter; after "?" the one behind goes instead, keeping the "?".
        if (before == L'?') {
            const int cut = end < address.GetLength() && address[end] == L'&' ? end + 1 : end;
            address.Delete(at, cut - at);
        } else {
            address.Delete(at - 1, end - (at - 1));
        }
        if (address.Right(1) == L"?")
            address.Delete(address.GetLength() - 1, 1);
        return true;
    }
    return false;
}

} // namespace

CString NormalizeFeedAddress(const CString& address, bool bPreset)
{
    CString result(address);
    if (bPreset && StartsWith(result, L"feed:feed:"))
        result.Delete(0, 5);
    if (StartsWith(result, L"feed://"))
        result = L"http://" + result.Mid(7);
    else if (StartsWith(result, L"feed:"))
        result.Delete(0, 5);
    return result;
}

CString CleanTypedAddress(const CString& address)
{
    CString result(address);
    result.Remove(L'\r');
    result.Remove(L'\n');
    result.Trim(L" ");
    if (!result.IsEmpty() && result.Find(L"://") < 0 && !StartsWith(result, L"feed:"))
        result = L"http://" + result;
    return result;
}

bool IsSubscribableAddress(const CString& address)
{
    if (address.IsEmpty() || address.GetLength() > 2048)
        return false;
    for (int i = 0; i < address.GetLength(); ++i) {
        if (address[i] <= L' ' || address[i] == 0x7F || address[i] == L'"')
            return false;
    }
    return IsImportableFeedLink(address);
}

int ExtractAddressCredentials(CString& address, CString& accountName, CString& password)
{
    int found = ADDRESS_CREDENTIALS_NONE;
    bool bHasValue = false;
    CString value;
    while (TakeQueryParameter(address, L"username=", bHasValue, value)) {
        found |= ADDRESS_CREDENTIALS_QUERY;
        if (bHasValue)
            accountName = value;
    }
    while (TakeQueryParameter(address, L"password=", bHasValue, value)) {
        found |= ADDRESS_CREDENTIALS_QUERY;
        if (bHasValue)
            password = value;
    }
    const int scheme = address.Find(L"://");
    if (scheme > 0) {
        const int hostStart = scheme + 3;
        int hostEnd = address.GetLength();
        for (LPCWSTR stop : {L"/", L"?", L"#"}) {
            const int at = address.Find(stop, hostStart);
            if (at >= 0 && at < hostEnd)
                hostEnd = at;
        }
        const int at = address.Left(hostEnd).ReverseFind(L'@');
        if (at >= hostStart) {
            const CString userInfo = address.Mid(hostStart, at - hostStart);
            const int colon = userInfo.Find(L':');
            accountName = PercentDecode(colon >= 0 ? userInfo.Left(colon) : userInfo, false);
            if (colon >= 0)
                password = PercentDecode(userInfo.Mid(colon + 1), false);
            address.Delete(hostStart, at + 1 - hostStart);
            found |= ADDRESS_CREDENTIALS_USERINFO;
        }
    }
    return found;
}

// ---- "Subscribe"

BEGIN_MESSAGE_MAP(CFeedSubscribeDlg, CDialog)
ON_BN_CLICKED(IDC_FEED_LOGON, OnLogonClicked)
END_MESSAGE_MAP()

CFeedSubscribeDlg::CFeedSubscribeDlg(CWnd* pParent)
    : CDialog(IDD_FEED_SUBSCRIBE, pParent), m_pChannel(nullptr), m_bLogon(0), m_bHttpAuth(1), m_bDownloadNow(0)
{
}

CFeedSubscribeDlg::~CFeedSubscribeDlg()
{
    delete m_pChannel;
}

void CFeedSubscribeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_ADDRESS, m_editAddress);
    DDX_Control(pDX, IDC_FEED_LOGON, m_chkLogon);
    DDX_Control(pDX, IDC_FEED_HTTP_AUTH, m_radioHttpAuth);
    DDX_Control(pDX, IDC_FEED_GET_AUTH, m_radioGetAuth);
    DDX_Control(pDX, IDC_FEED_ACCOUNT, m_editAccount);
    DDX_Control(pDX, IDC_FEED_PASSWORD, m_editPassword);
}

void CFeedSubscribeDlg::EnableLogonControls(BOOL bEnable)
{
    m_editAccount.EnableWindow(bEnable);
    m_editPassword.EnableWindow(bEnable);
    m_radioHttpAuth.EnableWindow(bEnable);
    m_radioGetAuth.EnableWindow(bEnable);
}

void CFeedSubscribeDlg::ReadClipboardUrl()
{
    // The wide form first: the narrow one loses every character outside the code page.
    if (::IsClipboardFormatAvailable(CF_UNICODETEXT) || ::IsClipboardFormatAvailable(CF_TEXT)) {
        if (::OpenClipboard(m_hWnd)) {
            if (HANDLE hData = ::GetClipboardData(CF_UNICODETEXT)) {
                if (auto* text = static_cast<const WCHAR*>(::GlobalLock(hData))) {
                    m_strUrl = CString(text, static_cast<int>(wcsnlen(text, ::GlobalSize(hData) / sizeof(WCHAR))));
                    ::GlobalUnlock(hData);
                }
            } else if (HANDLE hAnsi = ::GetClipboardData(CF_TEXT)) {
                if (auto* text = static_cast<const char*>(::GlobalLock(hAnsi))) {
                    const int length = static_cast<int>(strnlen(text, ::GlobalSize(hAnsi)));
                    const int count = ::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
                    if (count > 0) {
                        WCHAR* buffer = m_strUrl.GetBuffer(count);
                        ::MultiByteToWideChar(CP_ACP, 0, text, length, buffer, count);
                        m_strUrl.ReleaseBuffer(count);
                    }
                    ::GlobalUnlock(hAnsi);
                }
            }
            ::CloseClipboard();
        }
    }
    if (m_strUrl.IsEmpty())
        return;
    m_strUrl = NormalizeFeedAddress(m_strUrl, false);
    // Only an address: any other copied text stays out of the edit.
    if (!IsSubscribableAddress(m_strUrl))
        m_strUrl.Empty();
    else
        m_editAddress.SetWindowText(m_strUrl);
}

void CFeedSubscribeDlg::ExtractCredentials(CString& address)
{
    const int found = ExtractAddressCredentials(address, m_strAccountName, m_strPassword);
    if (found & ADDRESS_CREDENTIALS_QUERY)
        m_bHttpAuth = 0;
    else if (found & ADDRESS_CREDENTIALS_USERINFO)
        m_bHttpAuth = 1;
    if (found != ADDRESS_CREDENTIALS_NONE) {
        m_radioGetAuth.SetCheck(m_bHttpAuth ? BST_UNCHECKED : BST_CHECKED);
        m_radioHttpAuth.SetCheck(m_bHttpAuth ? BST_CHECKED : BST_UNCHECKED);
    }
    if (!m_strAccountName.IsEmpty() || !m_strPassword.IsEmpty()) {
        m_bLogon = 1;
        m_chkLogon.SetCheck(BST_CHECKED);
        m_editAccount.SetWindowText(m_strAccountName);
        m_editPassword.SetWindowText(m_strPassword);
        EnableLogonControls(TRUE);
    }
}

BOOL CFeedSubscribeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const bool bPreset = !m_strUrl.IsEmpty();
    if (!bPreset)
        ReadClipboardUrl();
    m_radioHttpAuth.SetCheck(BST_CHECKED);
    if (m_strUrl.IsEmpty())
        return TRUE;
    m_strUrl = NormalizeFeedAddress(m_strUrl, true);
    ExtractCredentials(m_strUrl);
    // Shown, so that after a failed fetch the user can correct the address instead of typing it again.
    m_editAddress.SetWindowText(m_strUrl);
    if (m_bDownloadNow && DownloadFeed())
        EndDialog(IDOK);
    return TRUE;
}

void CFeedSubscribeDlg::OnLogonClicked()
{
    m_bLogon = m_chkLogon.GetCheck() == BST_CHECKED ? 1 : 0;
    EnableLogonControls(m_bLogon);
}

void CFeedSubscribeDlg::OnOK()
{
    m_bLogon = m_chkLogon.GetCheck() == BST_CHECKED ? 1 : 0;
    if (m_bLogon) {
        m_editAccount.GetWindowText(m_strAccountName);
        m_editPassword.GetWindowText(m_strPassword);
        m_bHttpAuth = m_radioHttpAuth.GetCheck() == BST_CHECKED ? 1 : 0;
    }
    CString address;
    m_editAddress.GetWindowText(address);
    m_strUrl = NormalizeFeedAddress(CleanTypedAddress(address), false);
    ExtractCredentials(m_strUrl);
    if (address != m_strUrl)
        m_editAddress.SetWindowText(m_strUrl);
    delete m_pChannel;
    m_pChannel = nullptr;
    m_strIconFile.Empty();
    if (DownloadFeed())
        EndDialog(IDOK);
}

BOOL CFeedSubscribeDlg::DownloadFeed()
{
    if (m_strUrl.IsEmpty())
        return FALSE;
    if (!IsSubscribableAddress(m_strUrl)) {
        AfxMessageBox(IDS_INVALID_URL, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    CFeedDownloadDlg dlg(this);
    dlg.m_strUrl = m_strUrl;
    if (m_bLogon) {
        dlg.m_bLogon = 1;
        dlg.m_bHttpAuth = m_bHttpAuth;
        dlg.m_strAccountName = m_strAccountName;
        dlg.m_strPassword = m_strPassword;
    }
    const INT_PTR result = dlg.DoModal();
    if (result == IDOK) {
        m_pChannel = dlg.m_pChannel;
        dlg.m_pChannel = nullptr;
        m_strIconFile = dlg.m_strIconFile;
        m_bLogon = dlg.m_bLogon;
        m_bHttpAuth = dlg.m_bHttpAuth;
        m_strAccountName = dlg.m_strAccountName;
        m_strPassword = dlg.m_strPassword;
        return TRUE;
    }
    if (result == FEED_DOWNLOAD_OPML) {
        m_strUrl = dlg.m_strUrl;
        return TRUE;
    }
    if (dlg.m_nResult != 0)
        AfxMessageBox(static_cast<UINT>(dlg.m_nResult), MB_OK | MB_ICONERROR);
    return FALSE;
}

// ---- "Customize the Feed"

CFeedSubscribeDlg2::CFeedSubscribeDlg2(CWnd* pParent)
    : CDialog(IDD_FEED_SUBSCRIBE2, pParent), m_pEntry(nullptr), m_pGroups(nullptr)
{
}

void CFeedSubscribeDlg2::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEED_TITLE, m_editTitle);
    DDX_Control(pDX, IDC_FEED_CATEGORY, m_comboCategory);
}

BOOL CFeedSubscribeDlg2::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pEntry)
        m_editTitle.SetWindowText(m_pEntry->m_strTitleText);
    m_comboCategory.AddString(LoadResourceString(IDS_MAIN_CATEGORY));
    if (m_pGroups) {
        for (POSITION pos = m_pGroups->GetHeadPosition(); pos;) {
            auto* group = static_cast<CXTPTaskPanelGroup*>(m_pGroups->GetNext(pos));
            if (group)
                m_comboCategory.AddString(group->GetCaption());
        }
    }
    m_comboCategory.SetCurSel(0);
    return TRUE;
}

void CFeedSubscribeDlg2::OnOK()
{
    if (m_pEntry) {
        CString title;
        m_editTitle.GetWindowText(title);
        m_pEntry->m_strTitleText = title;
        m_pEntry->m_strTitle = EscapeXmlText(title);
        // The text decides, whether chosen from the list or typed: a typed "Main Category" is no category either.
        CString category;
        m_comboCategory.GetWindowText(category);
        category.Trim(L" ");
        if (!category.IsEmpty() && category != LoadResourceString(IDS_MAIN_CATEGORY))
            m_pEntry->m_strCategory = category;
    }
    EndDialog(IDOK);
}

CFeedChannel* LoadCustomFeeds()
{
    const CString path = GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml";
    auto* list = new CFeedChannel;
    if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return list;
    if (!list->LoadFile(path, nullptr, CFeedChannel::LOAD_OWN_FILE)) {
        delete list;
        return nullptr;
    }
    return list;
}
