#include "companions/QuickFilterDlg.h"
#include "res/resource.h"

#include "feeds/FilterText.h"

CQuickFilterDlg::CQuickFilterDlg(CWnd* pParent) : CDialog(IDD_QUICK_FILTER, pParent) {}

BOOL CQuickFilterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_strFilterText.IsEmpty())
        ParseFilterTerms(m_strFilterText, m_strAndWords, m_strOrWords, m_strNotWords);
    SetDlgItemText(IDC_FILTER_AND, m_strAndWords);
    SetDlgItemText(IDC_FILTER_OR, m_strOrWords);
    SetDlgItemText(IDC_FILTER_NOT, m_strNotWords);
    return TRUE;
}

void CQuickFilterDlg::OnOK()
{
    GetDlgItemText(IDC_FILTER_AND, m_strAndWords);
    GetDlgItemText(IDC_FILTER_OR, m_strOrWords);
    GetDlgItemText(IDC_FILTER_NOT, m_strNotWords);
    m_strFilterText = BuildFilterText(m_strAndWords, m_strOrWords, m_strNotWords);
    EndDialog(IDOK);
}
