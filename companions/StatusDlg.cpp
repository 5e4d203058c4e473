#include "companions/StatusDlg.h"
#include "res/resource.h"

#include "framework/win/DataExchange.h"

CStatusDlg::CStatusDlg(CWnd* pParent) : CDialog(IDD_STATUS, pParent) {}

void CStatusDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATUS_TEXT, m_wndText);
}

BOOL CStatusDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_bFinished)
        EndDialog(0);
    return TRUE;
}

void CStatusDlg::Finish()
{
    m_bFinished = true;
    if (GetSafeHwnd() != nullptr)
        EndDialog(0);
}
