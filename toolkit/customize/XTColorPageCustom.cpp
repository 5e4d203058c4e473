// The custom colour page: the spectrum, the bar and the six numbers kept in step with each other and with the
// dialog's new colour.
#include "toolkit/customize/XTColorPageCustom.h"

#include "framework/win/DataExchange.h"
#include "toolkit/customize/CustomizeResource.h"
#include "toolkit/customize/XTColorConversion.h"
#include "toolkit/customize/XTColorDialog.h"
#include "toolkit/base/ToolkitMessages.h"

#include <algorithm>
#include <climits>

namespace {

struct NumberField
{
    int nEdit;
    int nSpin;
    int CXTColorPageCustom::*pValue;
    bool bHsl;
};

// In the order of the page's spin members.
const NumberField kFields[] = {
    {XT_IDC_EDIT_HUE, XT_IDC_SPIN_HUE, &CXTColorPageCustom::m_nHue, true},
    {XT_IDC_EDIT_SAT, XT_IDC_SPIN_SAT, &CXTColorPageCustom::m_nSat, true},
    {XT_IDC_EDIT_LUM, XT_IDC_SPIN_LUM, &CXTColorPageCustom::m_nLum, true},
    {XT_IDC_EDIT_RED, XT_IDC_SPIN_RED, &CXTColorPageCustom::m_nRed, false},
    {XT_IDC_EDIT_GREEN, XT_IDC_SPIN_GREEN, &CXTColorPageCustom::m_nGreen, false},
    {XT_IDC_EDIT_BLUE, XT_IDC_SPIN_BLUE, &CXTColorPageCustom::m_nBlue, false},
};
constexpr int kFirstEdit = XT_IDC_EDIT_RED;
constexpr int kLastEdit = XT_IDC_EDIT_BLUE;

const NumberField* FindField(UINT nID)
{
    for (const NumberField& field : kFields) {
        if (field.nEdit == static_cast<int>(nID))
            return &field;
    }
    return nullptr;
}

CString EditText(HWND hWnd)
{
    CString text;
    CWnd::FromHandle(hWnd)->GetWindowText(text);
    return text;
}

} // namespace

IMPLEMENT_DYNAMIC(CXTColorPageCustom, CXTThemePropertyPage)

BEGIN_MESSAGE_MAP(CXTColorPageCustom, CXTThemePropertyPage)
ON_MESSAGE(WM_XT_COLOR_CHANGED, OnColorChanged)
ON_CONTROL_RANGE(EN_CHANGE, kFirstEdit, kLastEdit, OnEditChange)
ON_CONTROL_RANGE(EN_KILLFOCUS, kFirstEdit, kLastEdit, OnEditKillFocus)
END_MESSAGE_MAP()

CXTColorPageCustom::CXTColorPageCustom(CXTColorDialog* pDialog)
    : CXTThemePropertyPage(pDialog, XT_IDD_COLOR_CUSTOM), m_nRed(0), m_nBlue(0), m_nGreen(0), m_nHue(0), m_nLum(0),
      m_nSat(0), m_bShowingNumbers(FALSE)
{
}

CXTColorPageCustom::~CXTColorPageCustom() = default;

void CXTColorPageCustom::DoDataExchange(CDataExchange* pDX)
{
    CXTThemePropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, XT_IDC_COLOR_SPECTRUM, m_ctrlSpectrum);
    DDX_Control(pDX, XT_IDC_COLOR_LUMINANCE, m_ctrlLuminance);
    for (size_t i = 0; i < sizeof(kFields) / sizeof(kFields[0]); ++i) {
        DDX_Control(pDX, kFields[i].nSpin, m_spins[i]);
        DDX_Text(pDX, kFields[i].nEdit, this->*kFields[i].pValue);
    }
}

BOOL CXTColorPageCustom::OnInitDialog()
{
    m_bShowingNumbers = TRUE;
    CXTThemePropertyPage::OnInitDialog();
    for (size_t i = 0; i < sizeof(kFields) / sizeof(kFields[0]); ++i) {
        m_spins[i].SetBuddy(GetDlgItem(kFields[i].nEdit));
        m_spins[i].SetRange(0, 255);
    }
    m_bShowingNumbers = FALSE;
    CollectStatic(XT_IDC_COLOR_LABEL);
    for (int nID = XT_IDC_LABEL_HUE; nID <= XT_IDC_LABEL_BLUE; ++nID)
        CollectStatic(nID);
    return TRUE;
}

BOOL CXTColorPageCustom::OnSetActive()
{
    CXTThemePropertyPage::OnSetActive();
    const COLORREF clr = m_pDialog != nullptr ? m_pDialog->m_clrNew : m_ctrlSpectrum.GetColor();
    m_ctrlSpectrum.SetColor(clr, TRUE);
    m_ctrlLuminance.SetColor(clr, TRUE);
    SetNumbersFromColor(clr, TRUE, TRUE);
    ShowNumbers();
    return TRUE;
}

BOOL CXTColorPageCustom::OnKillActive()
{
    ShowNumbers();
    return TRUE;
}

void CXTColorPageCustom::SetNumbersFromColor(COLORREF clr, BOOL bRgb, BOOL bHsl)
{
    if (bRgb) {
        m_nRed = GetRValue(clr);
        m_nGreen = GetGValue(clr);
        m_nBlue = GetBValue(clr);
    }
    if (bHsl)
        RgbToHslBytes(clr, m_nHue, m_nSat, m_nLum);
}

void CXTColorPageCustom::ShowNumbers()
{
    HWND hWndFocus = ::GetFocus();
    const bool bFocusInField = hWndFocus != nullptr && ::GetParent(hWndFocus) == m_hWnd &&
                               FindField(static_cast<UINT>(::GetDlgCtrlID(hWndFocus))) != nullptr;
    const CString before = bFocusInField ? EditText(hWndFocus) : CString();
    m_bShowingNumbers = TRUE;
    UpdateData(FALSE);
    m_bShowingNumbers = FALSE;
    if (bFocusInField && EditText(hWndFocus) != before) {
        const int nLength = ::GetWindowTextLengthW(hWndFocus);
        ::SendMessageW(hWndFocus, EM_SETSEL, static_cast<WPARAM>(nLength), nLength);
    }
}

void CXTColorPageCustom::ApplyColor(COLORREF clr, BOOL bMoveSpectrum)
{
    if (m_ctrlSpectrum.GetColor() != clr)
        m_ctrlSpectrum.SetColor(clr, bMoveSpectrum);
    if (m_ctrlLuminance.GetColor() != clr)
        m_ctrlLuminance.SetColor(clr, TRUE);
    if (m_pDialog != nullptr && m_pDialog->m_clrNew != clr)
        m_pDialog->SetNewColor(clr, FALSE);
}

LRESULT CXTColorPageCustom::OnColorChanged(WPARAM wParam, LPARAM)
{
    const auto clr = static_cast<COLORREF>(wParam);
    // A pick on the bar changes only the luminance: the spectrum's marker stays on its hue and saturation.
    ApplyColor(clr, m_ctrlLuminance.GetColor() != clr);
    SetNumbersFromColor(clr, TRUE, TRUE);
    ShowNumbers();
    return 0;
}

void CXTColorPageCustom::OnEditChange(UINT nID)
{
    const NumberField* pField = FindField(nID);
    if (m_bShowingNumbers || pField == nullptr || m_ctrlSpectrum.m_hWnd == nullptr)
        return;
    long long nTyped = 0;
    if (!AfxParseInteger(EditText(::GetDlgItem(m_hWnd, static_cast<int>(nID))), INT_MIN, INT_MAX, &nTyped))
        return;
    this->*pField->pValue = static_cast<int>(std::clamp<long long>(nTyped, 0, 255));
    // The typed numbers make the colour; the other three numbers follow from it.
    COLORREF clr;
    if (pField->bHsl) {
        clr = HslToRgb(m_nHue / 255.0, m_nSat / 255.0, m_nLum / 255.0);
        SetNumbersFromColor(clr, TRUE, FALSE);
    } else {
        clr = RGB(m_nRed, m_nGreen, m_nBlue);
        SetNumbersFromColor(clr, FALSE, TRUE);
    }
    ApplyColor(clr, TRUE);
    ShowNumbers();
}

void CXTColorPageCustom::OnEditKillFocus(UINT nID)
{
    // Text that was refused gives way to the number the colour has.
    const NumberField* pField = FindField(nID);
    HWND hWndEdit = ::GetDlgItem(m_hWnd, static_cast<int>(nID));
    if (pField == nullptr || hWndEdit == nullptr || m_bShowingNumbers)
        return;
    wchar_t szNumber[16];
    swprintf(szNumber, 16, L"%d", this->*pField->pValue);
    m_bShowingNumbers = TRUE;
    AfxSetWindowText(hWndEdit, szNumber);
    m_bShowingNumbers = FALSE;
}
