// Property sheets and pages: the system's sheet made modeless and run in the framework's modal loop, so that the
// sheet and its pages are objects with message maps.
#include "framework/win/PropertySheet.h"

#include "framework/win/ModalOwner.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// A page is attached when its dialog initialises; before that it has no object (nothing the pages need).
INT_PTR CALLBACK AfxPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* pPage = reinterpret_cast<CPropertyPage*>(reinterpret_cast<LPPROPSHEETPAGEW>(lParam)->lParam);
    if (pPage == nullptr || pPage->m_hWnd != nullptr)
        return TRUE; // the page's own WM_INITDIALOG handling asking for the default
    if (!pPage->SubclassWindow(hWnd))
        return TRUE;
    // Through the window procedure, so that the message is the thread's current one for Default().
    return AfxCallWndProc(pPage, hWnd, message, wParam, lParam);
}

UINT CALLBACK AfxPropPageCallback(HWND, UINT message, LPPROPSHEETPAGEW pPropPage)
{
    if (message == PSPCB_RELEASE && pPropPage != nullptr) {
        // The system destroyed the page's window; the object stays reusable for the next run.
        auto* pPage = reinterpret_cast<CPropertyPage*>(pPropPage->lParam);
        if (pPage != nullptr && pPage->m_hWnd != nullptr && !::IsWindow(pPage->m_hWnd))
            pPage->Detach();
    }
    return 1;
}

int CALLBACK AfxPropSheetCallback(HWND, UINT message, LPARAM lParam)
{
    if (message == PSCB_PRECREATE && lParam != 0) {
        // No "?" button: the program has no context help.
        // An extended template (signature 0xFFFF in its second word) keeps its style at byte 12.
        BYTE* pTemplate = reinterpret_cast<BYTE*>(lParam);
        WORD signature;
        memcpy(&signature, pTemplate + 2, sizeof(WORD));
        BYTE* pStyle = signature == 0xFFFF ? pTemplate + 12 : pTemplate;
        DWORD style;
        memcpy(&style, pStyle, sizeof(DWORD));
        style &= ~static_cast<DWORD>(DS_CONTEXTHELP);
        memcpy(pStyle, &style, sizeof(DWORD));
    }
    return 0;
}

namespace {

// A wizard's art: the watermark bitmap and its palette, and the header bitmap; each only when given.
void SetWizard97Art(PROPSHEETHEADERW& psh, HBITMAP hbmWatermark, HPALETTE hpalWatermark, HBITMAP hbmHeader)
{
    psh.dwFlags |= PSH_WIZARD97;
    if (hbmWatermark != nullptr) {
        psh.dwFlags |= PSH_WATERMARK | PSH_USEHBMWATERMARK;
        psh.hbmWatermark = hbmWatermark;
    }
    if (hpalWatermark != nullptr) {
        psh.dwFlags |= PSH_USEHPLWATERMARK;
        psh.hplWatermark = hpalWatermark;
    }
    if (hbmHeader != nullptr) {
        psh.dwFlags |= PSH_HEADER | PSH_USEHBMHEADER;
        psh.hbmHeader = hbmHeader;
    }
}

} // namespace

// ---- CPropertyPage

CPropertyPage::CPropertyPage() : m_psp{}, m_bFirstSetActive(TRUE)
{
    Construct(0);
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption, DWORD) : m_psp{}, m_bFirstSetActive(TRUE)
{
    Construct(nIDTemplate, nIDCaption);
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption, UINT nIDHeaderTitle, UINT nIDHeaderSubTitle, DWORD)
    : m_psp{}, m_bFirstSetActive(TRUE)
{
    Construct(nIDTemplate, nIDCaption, nIDHeaderTitle, nIDHeaderSubTitle);
}

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption, UINT nIDHeaderTitle, UINT nIDHeaderSubTitle)
{
    m_psp = PROPSHEETPAGEW{};
    m_psp.dwSize = sizeof(PROPSHEETPAGEW);
    m_psp.dwFlags = PSP_USECALLBACK;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCE(nIDTemplate);
    m_psp.pfnDlgProc = &AfxPageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = &AfxPropPageCallback;
    m_lpszTemplateName = m_psp.pszTemplate;
    m_nIDHelp = nIDTemplate;
    if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption))
        m_psp.dwFlags |= PSP_USETITLE;
    if (nIDHeaderTitle != 0 && m_strHeaderTitle.LoadString(nIDHeaderTitle))
        m_psp.dwFlags |= PSP_USEHEADERTITLE;
    if (nIDHeaderSubTitle != 0 && m_strHeaderSubTitle.LoadString(nIDHeaderSubTitle))
        m_psp.dwFlags |= PSP_USEHEADERSUBTITLE;
    m_bFirstSetActive = TRUE;
}

CPropertySheet* CPropertyPage::GetSheet() const
{
    return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND hWndSheet = ::GetParent(m_hWnd);
    if (hWndSheet == nullptr)
        return;
    ::SendMessageW(hWndSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose()
{
    if (HWND hWndSheet = ::GetParent(m_hWnd))
        ::SendMessageW(hWndSheet, PSM_CANCELTOCLOSE, 0, 0);
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam)
{
    HWND hWndSheet = ::GetParent(m_hWnd);
    return hWndSheet != nullptr ? ::SendMessageW(hWndSheet, PSM_QUERYSIBLINGS, wParam, lParam) : 0;
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

// A page never ends the sheet: OK and Cancel are the sheet's buttons.
void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation is the sheet's (tabs, buttons and the page's controls together).
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR->hwndFrom != ::GetParent(m_hWnd) || static_cast<int>(pNMHDR->code) > static_cast<int>(PSN_FIRST) ||
        static_cast<int>(pNMHDR->code) < static_cast<int>(PSN_LAST))
        return CDialog::OnNotify(wParam, lParam, pResult);

    LRESULT lResult = 0;
    switch (pNMHDR->code) {
    case PSN_SETACTIVE:
        lResult = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        lResult = OnKillActive() ? FALSE : TRUE;
        break;
    case PSN_APPLY:
        lResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        break;
    case PSN_RESET:
        OnReset();
        break;
    case PSN_QUERYCANCEL:
        lResult = OnQueryCancel() ? FALSE : TRUE;
        break;
    case PSN_WIZNEXT:
        lResult = OnWizardNext();
        break;
    case PSN_WIZBACK:
        lResult = OnWizardBack();
        break;
    case PSN_WIZFINISH:
        lResult = OnWizardFinish() ? FALSE : TRUE;
        break;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    *pResult = lResult;
    // Also where the system's dialog manager looks for a dialog procedure's answer.
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

// ---- CPropertySheet

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() : m_psh{}, m_pParentWnd(nullptr), m_bModeless(FALSE), m_pPageArray(nullptr)
{
    CommonConstruct(nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh{}, m_pParentWnd(nullptr), m_bModeless(FALSE), m_pPageArray(nullptr)
{
    Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh{}, m_pParentWnd(nullptr), m_bModeless(FALSE), m_pPageArray(nullptr)
{
    Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage, HBITMAP hbmWatermark,
                               HPALETTE hpalWatermark, HBITMAP hbmHeader)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
    SetWizard97Art(m_psh, hbmWatermark, hpalWatermark, hbmHeader);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage, HBITMAP hbmWatermark,
                               HPALETTE hpalWatermark, HBITMAP hbmHeader)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
{
    SetWizard97Art(m_psh, hbmWatermark, hpalWatermark, hbmHeader);
}

CPropertySheet::~CPropertySheet()
{
    delete[] m_pPageArray;
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    m_psh = PROPSHEETHEADERW{};
    m_psh.dwSize = sizeof(PROPSHEETHEADERW);
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.nStartPage = iSelectPage;
    m_psh.pfnCallback = &AfxPropSheetCallback;
    m_pParentWnd = pParentWnd;
    m_nResultCandidate = IDCANCEL;
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption.Empty();
    if (nIDCaption != 0)
        m_strCaption.LoadString(nIDCaption);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption != nullptr ? pszCaption : L"";
}

void CPropertySheet::BuildPropPageArray()
{
    delete[] m_pPageArray;
    m_pPageArray = nullptr;
    const int nCount = GetPageCount();
    if (nCount > 0) {
        m_pPageArray = new PROPSHEETPAGEW[static_cast<size_t>(nCount)];
        const bool bWizard97 = (m_psh.dwFlags & PSH_WIZARD97) != 0;
        for (int i = 0; i < nCount; ++i) {
            CPropertyPage* pPage = GetPage(i);
            PROPSHEETPAGEW& psp = m_pPageArray[i];
            psp = pPage->m_psp;
            psp.dwSize = sizeof(PROPSHEETPAGEW);
            psp.lParam = reinterpret_cast<LPARAM>(pPage);
            psp.pfnDlgProc = &AfxPageDlgProc;
            psp.dwFlags |= PSP_USECALLBACK;
            psp.pfnCallback = &AfxPropPageCallback;
            psp.dwFlags &= ~PSP_HASHELP;
            if (psp.dwFlags & PSP_USETITLE)
                psp.pszTitle = pPage->m_strCaption;
            if (!bWizard97)
                psp.dwFlags &= ~(PSP_HIDEHEADER | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE);
            if (psp.dwFlags & PSP_USEHEADERTITLE)
                psp.pszHeaderTitle = pPage->m_strHeaderTitle;
            if (psp.dwFlags & PSP_USEHEADERSUBTITLE)
                psp.pszHeaderSubTitle = pPage->m_strHeaderSubTitle;
            pPage->m_bFirstSetActive = TRUE;
        }
    }
    m_psh.dwFlags |= PSH_PROPSHEETPAGE;
    m_psh.dwFlags &= ~PSH_HASHELP;
    m_psh.ppsp = m_pPageArray;
    m_psh.nPages = static_cast<UINT>(nCount);
    m_psh.pszCaption = m_strCaption;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.Add(pPage);
    if (m_hWnd == nullptr)
        return;
    PROPSHEETPAGEW psp = pPage->m_psp;
    psp.lParam = reinterpret_cast<LPARAM>(pPage);
    psp.pfnDlgProc = &AfxPageDlgProc;
    if (psp.dwFlags & PSP_USETITLE)
        psp.pszTitle = pPage->m_strCaption;
    pPage->m_bFirstSetActive = TRUE;
    HPROPSHEETPAGE hPage = ::CreatePropertySheetPageW(&psp);
    if (hPage == nullptr || !::SendMessageW(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(hPage))) {
        if (hPage != nullptr)
            ::DestroyPropertySheetPage(hPage);
        m_pages.RemoveAt(m_pages.GetSize() - 1);
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    const int nPage = GetPageIndex(pPage);
    if (nPage >= 0)
        RemovePage(nPage);
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    if (m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(nPage), 0);
    m_pages.RemoveAt(nPage);
}

int CPropertySheet::GetPageCount() const
{
    return static_cast<int>(m_pages.GetSize());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    return static_cast<CPropertyPage*>(m_pages.GetAt(nPage));
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        if (GetPage(i) == pPage)
            return i;
    }
    return -1;
}

int CPropertySheet::GetActiveIndex() const
{
    if (m_hWnd == nullptr)
        return static_cast<int>(m_psh.nStartPage);
    HWND hWndPage = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (hWndPage == nullptr)
        return -1;
    for (int i = 0; i < GetPageCount(); ++i) {
        if (GetPage(i)->m_hWnd == hWndPage)
            return i;
    }
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(GetActiveIndex());
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (m_hWnd == nullptr) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(::SendMessageW(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    return static_cast<CTabCtrl*>(
        CWnd::FromHandle(reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0))));
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    // Posted, as the system asks: a page's activation that sets them must not race the sheet's own update.
    if (m_hWnd != nullptr)
        ::PostMessageW(m_hWnd, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText)
{
    if (m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, PSM_SETFINISHTEXTW, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    if (m_hWnd != nullptr) {
        ::SendMessageW(m_hWnd, PSM_SETTITLEW, nStyle, reinterpret_cast<LPARAM>(lpszText));
        return;
    }
    m_strCaption = lpszText;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
}

void CPropertySheet::PressButton(int nButton)
{
    if (m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0);
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nResultCandidate = nEndID;
    EndModalLoop(nEndID);
    if (m_hWnd != nullptr)
        ::PostMessageW(m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

BOOL CPropertySheet::CreateSheetWindow(HWND hWndParent)
{
    BuildPropPageArray();
    m_psh.hwndParent = hWndParent;
    const DWORD dwOldFlags = m_psh.dwFlags;
    m_psh.dwFlags |= PSH_MODELESS;
    m_nResultCandidate = IDCANCEL;
    AfxHookWindowCreate(this);
    const INT_PTR nResult = ::PropertySheetW(&m_psh);
    AfxUnhookWindowCreate();
    m_psh.dwFlags = dwOldFlags;
    HWND hWnd = reinterpret_cast<HWND>(nResult);
    if (nResult == 0 || nResult == -1 || !::IsWindow(hWnd)) {
        if (m_hWnd != nullptr && !::IsWindow(m_hWnd))
            Detach();
        return FALSE;
    }
    if (m_hWnd == nullptr)
        SubclassWindow(hWnd);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    HWND hWndTop = nullptr;
    HWND hWndParent = CWnd::GetSafeOwner(m_pParentWnd, &hWndTop)->GetSafeHwnd();
    CModalOwner owner(hWndParent);
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(FALSE);

    m_bModeless = FALSE;
    m_nModalResult = -1;
    if (CreateSheetWindow(hWndParent)) {
        m_nFlags |= WF_CONTINUEMODAL;
        if (ContinueModal())
            RunModalLoop(0);
        else
            m_nModalResult = m_nResultCandidate;
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);

    owner.Release(m_hWnd);
    if (m_hWnd != nullptr)
        DestroyWindow();
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(TRUE);
    return m_nModalResult;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD, DWORD)
{
    // The system's own sheet styles are kept; the style arguments exist for callers written against them.
    if (pParentWnd == nullptr)
        pParentWnd = m_pParentWnd;
    m_bModeless = TRUE;
    return CreateSheetWindow(pParentWnd->GetSafeHwnd());
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    const LRESULT lResult = Default();
    OnInitDialog();
    return lResult;
}

BOOL CPropertySheet::OnInitDialog()
{
    return TRUE;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (m_hWnd == nullptr || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)))
        return FALSE;
    return static_cast<BOOL>(::SendMessageW(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Which button ends the run is only known here; the sheet says no more than that it has ended.
    const UINT nID = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && (nID == IDOK || nID == IDCANCEL || nID == ID_WIZFINISH))
        m_nResultCandidate = static_cast<int>(nID);
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::ContinueModal()
{
    if (!CWnd::ContinueModal())
        return FALSE;
    // The system's modeless sheet has ended when it has no current page left.
    if (m_hWnd != nullptr && ::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) == 0) {
        m_nModalResult = m_nResultCandidate;
        return FALSE;
    }
    return TRUE;
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A button pressed by a program does not pass through the sheet's WM_COMMAND.
    if (message == PSM_PRESSBUTTON) {
        if (wParam == PSBTN_OK)
            m_nResultCandidate = IDOK;
        else if (wParam == PSBTN_FINISH)
            m_nResultCandidate = ID_WIZFINISH;
        else if (wParam == PSBTN_CANCEL)
            m_nResultCandidate = IDCANCEL;
    }
    const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
    // A button pressed by a program (not by a message the loop dispatched) can end the sheet while the modal
    // loop waits for input: wake it so that it sees the end.
    if ((message == WM_COMMAND || message == PSM_PRESSBUTTON || message == WM_SYSCOMMAND || message == WM_CLOSE) &&
        (m_nFlags & WF_CONTINUEMODAL) && m_hWnd != nullptr && ::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) == 0)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    return lResult;
}
