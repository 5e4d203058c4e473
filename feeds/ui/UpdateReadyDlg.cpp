#include "feeds/ui/UpdateReadyDlg.h"

#include "feeds/EngineContext.h"
#include "feeds/UpdateCheck.h"
#include "framework/win/DataExchange.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CUpdateReadyDlg, CDialog)
ON_BN_CLICKED(IDC_UPDATE_INSTALL_NOW, OnInstallNow)
ON_BN_CLICKED(IDC_UPDATE_DONT_INSTALL, OnDontInstall)
ON_BN_CLICKED(IDC_UPDATE_LATER, OnInstallLater)
END_MESSAGE_MAP()

CUpdateReadyDlg::CUpdateReadyDlg(CWnd* pParent) : CDialog(IDD_UPDATE_READY, pParent), m_nVersion(0) {}

BOOL CUpdateReadyDlg::ParseUpdateDescription()
{
    CUpdateDescription description;
    description.m_strPath = m_strPath;
    const BOOL bOffer = description.ParseUpdateDescription();
    m_nVersion = description.m_nVersion;
    if (bOffer) {
        m_strDescription = description.m_strDescription;
        m_strFile = description.m_strFile;
        m_strDigest = description.m_strDigest;
    }
    return bOffer;
}

INT_PTR CUpdateReadyDlg::OfferUpdate()
{
    if (!ParseUpdateDescription())
        return 0;
    const INT_PTR nAnswer = DoModal();
    if (nAnswer == IDC_UPDATE_INSTALL_NOW) {
        if (StartUpdateDownload(m_strFile, m_strDigest) != nullptr) {
            // The main window belongs to another thread: it is only told to repaint.
            const HWND hWndMain = GetEngineContext().GetFrameWindow();
            if (hWndMain != nullptr)
                ::RedrawWindow(hWndMain, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
    } else if (nAnswer == IDC_UPDATE_DONT_INSTALL) {
        DeclineUpdate(m_nVersion);
    }
    return nAnswer;
}

void CUpdateReadyDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_UPDATE_DESCRIPTION, m_edtDescription);
}

BOOL CUpdateReadyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_edtDescription.SetWindowText(m_strDescription);
    // The focus on the answer, not in the text, which would come up all selected.
    GotoDlgCtrl(GetDlgItem(IDC_UPDATE_INSTALL_NOW));
    return FALSE;
}

void CUpdateReadyDlg::OnInstallNow()
{
    EndDialog(IDC_UPDATE_INSTALL_NOW);
}

void CUpdateReadyDlg::OnDontInstall()
{
    EndDialog(IDC_UPDATE_DONT_INSTALL);
}

void CUpdateReadyDlg::OnInstallLater()
{
    EndDialog(IDCANCEL);
}
