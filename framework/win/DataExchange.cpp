// Dialog data exchange and validation.
#include "framework/win/DataExchange.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cwchar>

#include "framework/core/Exceptions.h"
#include "framework/win/WinApp.h"
#include "framework/FrameworkResource.h"

namespace {

int AFXAPI DefaultMessageProc(LPCTSTR lpszText, UINT nType, UINT nIDPrompt)
{
    return AfxMessageBox(lpszText, nType, nIDPrompt);
}

AFX_DDX_MESSAGE_PROC g_pfnMessage = &DefaultMessageProc;

void ShowMessage(UINT nIDPrompt, LPCTSTR lpsz1 = nullptr, LPCTSTR lpsz2 = nullptr)
{
    CString format;
    format.LoadString(nIDPrompt);
    CString text;
    if (lpsz2 != nullptr)
        text.FormatMessage(format.GetString(), lpsz1, lpsz2);
    else if (lpsz1 != nullptr)
        text.FormatMessage(format.GetString(), lpsz1);
    else
        text = format;
    g_pfnMessage(text, MB_ICONEXCLAMATION, nIDPrompt);
}

CString ControlText(HWND hWndCtrl)
{
    CString text;
    const int nLen = ::GetWindowTextLengthW(hWndCtrl);
    ::GetWindowTextW(hWndCtrl, text.GetBuffer(nLen + 1), nLen + 1);
    text.ReleaseBuffer();
    return text;
}

template <typename T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, bool bSigned, long long minValue, long long maxValue,
                     UINT nIDPrompt)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!AfxParseInteger(ControlText(hWndCtrl), minValue, maxValue, &parsed)) {
            ShowMessage(nIDPrompt);
            pDX->Fail();
        }
        value = static_cast<T>(parsed);
    } else {
        wchar_t buffer[32];
        if (bSigned)
            swprintf(buffer, 32, L"%lld", static_cast<long long>(value));
        else
            swprintf(buffer, 32, L"%llu", static_cast<unsigned long long>(value));
        AfxSetWindowText(hWndCtrl, buffer);
    }
}

// The button's check state, when it is a check box or radio button.
bool IsCheckable(HWND hWnd, bool bRadio)
{
    const UINT nCode = static_cast<UINT>(::SendMessageW(hWnd, WM_GETDLGCODE, 0, 0));
    if (bRadio)
        return (nCode & DLGC_RADIOBUTTON) != 0;
    return (nCode & DLGC_BUTTON) != 0;
}

} // namespace

BOOL AFXAPI AfxParseInteger(LPCTSTR lpszText, long long minValue, long long maxValue, long long* pValue)
{
    CString trimmed(lpszText != nullptr ? lpszText : L"");
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return FALSE;
    const wchar_t* begin = trimmed.GetString();
    if (minValue >= 0 && *begin == L'-')
        return FALSE;
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = wcstoll(begin, &end, 10);
    if (end == begin || *end != 0 || errno == ERANGE || value < minValue || value > maxValue)
        return FALSE;
    *pValue = value;
    return TRUE;
}

AFX_DDX_MESSAGE_PROC AFXAPI AfxSetDataExchangeMessageProc(AFX_DDX_MESSAGE_PROC pfnNew)
{
    AFX_DDX_MESSAGE_PROC pfnOld = g_pfnMessage;
    g_pfnMessage = pfnNew != nullptr ? pfnNew : &DefaultMessageProc;
    return pfnOld;
}

// ---- CDataExchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_idLastControl(0), m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == nullptr)
        AfxThrowNotSupportedException();
    m_idLastControl = static_cast<UINT>(nIDC);
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        AfxThrowUserException();
    if (HWND hWndLast = ::GetDlgItem(m_pDlgWnd->m_hWnd, static_cast<int>(m_idLastControl))) {
        ::SendMessageW(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hWndLast), 1);
        if (m_bEditLastControl)
            ::SendMessageW(hWndLast, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

// ---- CWnd::UpdateData

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    // The controls' notifications caused by filling them must not reach this window's handlers.
    AFX_THREAD_STATE* state = AfxGetThreadState();
    HWND hWndOldLockout = state->m_hLockoutNotifyWindow;
    state->m_hLockoutNotifyWindow = m_hWnd;
    BOOL bOK = FALSE;
    try {
        DoDataExchange(&dx);
        bOK = TRUE;
    } catch (CUserException* e) {
        // The user has been told already.
        e->Delete();
    } catch (CException* e) {
        e->Delete();
        g_pfnMessage(CString(MAKEINTRESOURCE(AFX_IDP_INTERNAL_FAILURE)), MB_ICONSTOP, AFX_IDP_INTERNAL_FAILURE);
    }
    state->m_hLockoutNotifyWindow = hWndOldLockout;
    return bOK;
}

// ---- DDX_

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl))
        AfxThrowNotSupportedException();
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWndCtrl);
    else
        AfxSetWindowText(hWndCtrl, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeInteger(pDX, nIDC, value, true, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeInteger(pDX, nIDC, value, false, 0, UINT_MAX, AFX_IDP_PARSE_UINT);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ExchangeInteger(pDX, nIDC, value, true, LONG_MIN, LONG_MAX, AFX_IDP_PARSE_INT);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    ExchangeInteger(pDX, nIDC, value, false, 0, ULONG_MAX, AFX_IDP_PARSE_UINT);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    ExchangeInteger(pDX, nIDC, value, false, 0, 255, AFX_IDP_PARSE_BYTE);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text = ControlText(hWndCtrl);
        text.Trim();
        wchar_t* end = nullptr;
        errno = 0;
        const double parsed = wcstod(text.GetString(), &end);
        if (text.IsEmpty() || *end != 0 || errno == ERANGE) {
            ShowMessage(AFX_IDP_PARSE_REAL);
            pDX->Fail();
        }
        value = parsed;
    } else {
        wchar_t buffer[64];
        swprintf(buffer, 64, L"%.*g", DBL_DIG, value);
        AfxSetWindowText(hWndCtrl, buffer);
    }
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from the first button up to the next control with WS_GROUP; only radio buttons count.
    int iButton = 0;
    do {
        if (IsCheckable(hWndCtrl, true)) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = iButton;
            } else {
                ::SendMessageW(hWndCtrl, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++iButton;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != nullptr && !(::GetWindowLongPtrW(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(hWndCtrl, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    const bool bDropList = (::GetWindowLongPtrW(hWndCtrl, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        if (!bDropList) {
            value = ControlText(hWndCtrl);
            return;
        }
        const LRESULT nIndex = ::SendMessageW(hWndCtrl, CB_GETCURSEL, 0, 0);
        value.Empty();
        if (nIndex != CB_ERR) {
            const LRESULT nLen = ::SendMessageW(hWndCtrl, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0);
            ::SendMessageW(hWndCtrl, CB_GETLBTEXT, static_cast<WPARAM>(nIndex),
                           reinterpret_cast<LPARAM>(value.GetBuffer(static_cast<int>(nLen) + 1)));
            value.ReleaseBuffer();
        }
    } else {
        // The item whose text begins with value is selected; an editable combo keeps the exact text otherwise.
        if (::SendMessageW(hWndCtrl, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR &&
            !bDropList)
            AfxSetWindowText(hWndCtrl, value);
    }
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(hWndCtrl, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(hWndCtrl, TBM_GETPOS, 0, 0));
    else
        ::SendMessageW(hWndCtrl, TBM_SETPOS, TRUE, value);
}

// ---- DDV_

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    wchar_t szMin[16];
    wchar_t szMax[16];
    swprintf(szMin, 16, L"%d", minVal);
    swprintf(szMax, 16, L"%d", maxVal);
    ShowMessage(AFX_IDP_PARSE_INT_RANGE, szMin, szMax);
    pDX->Fail();
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    wchar_t szMin[16];
    wchar_t szMax[16];
    swprintf(szMin, 16, L"%u", minVal);
    swprintf(szMax, 16, L"%u", maxVal);
    ShowMessage(AFX_IDP_PARSE_INT_RANGE, szMin, szMax);
    pDX->Fail();
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() <= nChars)
            return;
        wchar_t szMax[16];
        swprintf(szMax, 16, L"%d", nChars);
        ShowMessage(AFX_IDP_PARSE_STRING_SIZE, szMax);
        pDX->Fail();
    }
    if (pDX->m_idLastControl != 0 && pDX->m_bEditLastControl) {
        HWND hWndLast = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, static_cast<int>(pDX->m_idLastControl));
        ::SendMessageW(hWndLast, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}
