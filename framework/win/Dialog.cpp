// Dialog boxes: creation from templates, the modal run and the dialog's own commands.
#include "framework/win/Dialog.h"

#include "framework/win/ModalOwner.h"
#include "framework/win/WinApp.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    // The dialog's object answers WM_INITDIALOG in its window procedure, ahead of this one; here the default
    // focus is only asked for.
    return message == WM_INITDIALOG;
}

CDialog::CDialog()
    : m_nIDHelp(0), m_lpszTemplateName(nullptr), m_hDialogTemplate(nullptr), m_lpDialogTemplate(nullptr),
      m_lpDialogInit(nullptr), m_pParentWnd(nullptr), m_hWndTop(nullptr)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = MAKEINTRESOURCE(nIDTemplate);
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    // A modeless dialog deleted with its window still open must not leave the window calling into freed memory.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE* phInst) const
{
    if (m_lpszTemplateName == nullptr)
        return nullptr;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInst, m_lpszTemplateName, RT_DIALOG);
    if (hResource == nullptr && hInst != AfxGetInstanceHandle()) {
        hInst = AfxGetInstanceHandle();
        hResource = ::FindResourceW(hInst, m_lpszTemplateName, RT_DIALOG);
    }
    if (hResource == nullptr)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    if (hTemplate == nullptr)
        return nullptr;
    *phInst = hInst;
    return static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate));
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    if (lpDialogTemplate == nullptr)
        return FALSE;
    if (hInst == nullptr)
        hInst = AfxGetInstanceHandle();
    HWND hWndParent = pParentWnd->GetSafeHwnd();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, lpDialogTemplate, hWndParent, &AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate() && hWnd != nullptr && m_hWnd == nullptr) {
        // The hook never saw the window (made on a path without the hook): attach it now.
        SubclassWindow(hWnd);
    }
    if (hWnd == nullptr) {
        // A window made and destroyed again inside creation (OnInitDialog failing hard) leaves nothing attached.
        if (m_hWnd != nullptr && !::IsWindow(m_hWnd))
            Detach();
        return FALSE;
    }
    if (m_lpDialogInit != nullptr && ::IsWindow(hWnd))
        ExecuteDlgInit(m_lpDialogInit);
    return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE lpTemplate = LoadTemplate(&hInst);
    if (lpTemplate == nullptr)
        return FALSE;
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    if (pParentWnd == nullptr)
        pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, nullptr);
}

BOOL CDialog::CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    if (hDialogTemplate == nullptr)
        return FALSE;
    auto* lpTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(hDialogTemplate));
    const BOOL bResult = CreateIndirect(lpTemplate, pParentWnd, nullptr);
    ::GlobalUnlock(hDialogTemplate);
    return bResult;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    return lpDialogTemplate != nullptr;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    m_hDialogTemplate = hDialogTemplate;
    m_pParentWnd = pParentWnd;
    return hDialogTemplate != nullptr;
}

HWND CDialog::PreModal()
{
    HWND hWndTop = nullptr;
    CWnd* pOwner = CWnd::GetSafeOwner(m_pParentWnd, &hWndTop);
    m_hWndTop = hWndTop;
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(FALSE);
    return pOwner->GetSafeHwnd();
}

void CDialog::PostModal()
{
    m_hWndTop = nullptr;
    if (CWinApp* pApp = AfxGetApp())
        pApp->EnableModeless(TRUE);
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = AfxGetResourceHandle();
    LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate;
    HGLOBAL hLocked = nullptr;
    if (lpTemplate == nullptr && m_hDialogTemplate != nullptr) {
        hLocked = m_hDialogTemplate;
        lpTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(hLocked));
    }
    if (lpTemplate == nullptr)
        lpTemplate = LoadTemplate(&hInst);
    if (lpTemplate == nullptr)
        return -1;

    HWND hWndParent = PreModal();
    CModalOwner owner(hWndParent);

    m_nModalResult = -1;
    // Set before creation so that EndDialog inside OnInitDialog ends the run before the loop starts.
    m_nFlags |= WF_CONTINUEMODAL;
    try {
        CWnd* pParent = CWnd::FromHandle(hWndParent);
        if (CreateDlgIndirect(lpTemplate, pParent, hInst) && (m_nFlags & WF_CONTINUEMODAL)) {
            DWORD dwFlags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG)
                dwFlags |= MLF_NOIDLEMSG;
            RunModalLoop(dwFlags);
        }
    } catch (CException* e) {
        e->Delete();
        m_nModalResult = -1;
    } catch (...) {
        m_nModalResult = -1;
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);

    owner.Release(m_hWnd);
    if (m_hWnd != nullptr)
        DestroyWindow();
    PostModal();
    if (hLocked != nullptr)
        ::GlobalUnlock(hLocked);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    Default();
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    if (m_lpszTemplateName != nullptr)
        ExecuteDlgInit(m_lpszTemplateName);
    // A failed first exchange still shows the dialog, as the controls keep their template state.
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    const bool bInput = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                        (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!bInput || m_hWnd == nullptr)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl->GetSafeHwnd() != nullptr)
        ::SendMessageW(LiveHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}

DWORD CDialog::GetDefID() const
{
    const LRESULT lResult = ::SendMessageW(LiveHwnd(), DM_GETDEFID, 0, 0);
    return HIWORD(lResult) == DC_HASDEFID ? LOWORD(lResult) : 0;
}

BOOL CDialog::ExecuteDlgInit(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInst, lpszResourceName, RT_DLGINIT);
    if (hResource == nullptr)
        return TRUE;
    HGLOBAL hData = ::LoadResource(hInst, hResource);
    if (hData == nullptr)
        return FALSE;
    return ExecuteDlgInit(::LockResource(hData));
}

BOOL CDialog::ExecuteDlgInit(void* lpResource)
{
    if (lpResource == nullptr)
        return TRUE;
    // Records of control id, message and a length-counted narrow string, ended by a zero id. The 16-bit
    // message numbers of old resource compilers mean the same list and combo box additions.
    const BYTE* p = static_cast<const BYTE*>(lpResource);
    BOOL bSuccess = TRUE;
    for (;;) {
        WORD nIDC;
        memcpy(&nIDC, p, sizeof(WORD));
        if (nIDC == 0)
            break;
        WORD nMsg;
        DWORD dwLen;
        memcpy(&nMsg, p + 2, sizeof(WORD));
        memcpy(&dwLen, p + 4, sizeof(DWORD));
        const char* lpData = reinterpret_cast<const char*>(p + 8);
        p += 8 + dwLen;
        if (nMsg == 0x0401)
            nMsg = LB_ADDSTRING;
        else if (nMsg == 0x0403)
            nMsg = CB_ADDSTRING;
        if (nMsg != LB_ADDSTRING && nMsg != CB_ADDSTRING)
            continue;
        const int nChars = ::MultiByteToWideChar(CP_ACP, 0, lpData, static_cast<int>(dwLen), nullptr, 0);
        CString text;
        wchar_t* buffer = text.GetBuffer(nChars + 1);
        ::MultiByteToWideChar(CP_ACP, 0, lpData, static_cast<int>(dwLen), buffer, nChars);
        buffer[nChars] = 0;
        text.ReleaseBuffer();
        const LRESULT lResult =
            ::SendDlgItemMessageW(m_hWnd, nIDC, nMsg, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text)));
        if (lResult == LB_ERR || lResult == LB_ERRSPACE)
            bSuccess = FALSE;
    }
    return bSuccess;
}
