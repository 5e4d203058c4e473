// The standard colour page: binds the honeycomb and keeps it and the dialog's new colour in step.
#include "toolkit/customize/XTColorPageStandard.h"

#include "framework/win/DataExchange.h"
#include "toolkit/customize/CustomizeResource.h"
#include "toolkit/customize/XTColorDialog.h"
#include "toolkit/base/ToolkitMessages.h"

IMPLEMENT_DYNAMIC(CXTColorPageStandard, CXTThemePropertyPage)

BEGIN_MESSAGE_MAP(CXTColorPageStandard, CXTThemePropertyPage)
ON_MESSAGE(WM_XT_COLOR_CHANGED, OnColorChanged)
END_MESSAGE_MAP()

CXTColorPageStandard::CXTColorPageStandard(CXTColorDialog* pDialog)
    : CXTThemePropertyPage(pDialog, XT_IDD_COLOR_STANDARD)
{
}

CXTColorPageStandard::~CXTColorPageStandard() = default;

void CXTColorPageStandard::DoDataExchange(CDataExchange* pDX)
{
    CXTThemePropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, XT_IDC_COLOR_HEXAGON, m_picker);
}

BOOL CXTColorPageStandard::OnInitDialog()
{
    CXTThemePropertyPage::OnInitDialog();
    CollectStatic(XT_IDC_COLOR_LABEL);
    return TRUE;
}

BOOL CXTColorPageStandard::OnSetActive()
{
    if (m_pDialog != nullptr)
        m_picker.SetColor(m_pDialog->m_clrNew);
    return CXTThemePropertyPage::OnSetActive();
}

LRESULT CXTColorPageStandard::OnColorChanged(WPARAM wParam, LPARAM)
{
    const auto clr = static_cast<COLORREF>(wParam);
    m_picker.SetColor(clr);
    if (m_pDialog != nullptr && m_pDialog->m_clrNew != clr)
        m_pDialog->SetNewColor(clr, FALSE);
    return 0;
}
