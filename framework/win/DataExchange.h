// Dialog data exchange (DDX_) between controls and members, and validation (DDV_) with the framework's messages.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Wnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate; // TRUE: controls to members (and validate); FALSE: members to controls
    CWnd* m_pDlgWnd;
    UINT m_idLastControl;
    BOOL m_bEditLastControl;

    // The control's handle (the exchange fails when there is none); remembered for Fail and the DDV_ routines.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus back on the last control (selecting an edit's text) and ends the exchange.
    [[noreturn]] void Fail();
};

// Reads a whole decimal integer (blanks around it allowed) within [minValue, maxValue]; FALSE for anything else:
// empty text, letters, a number out of the range, a sign where minValue allows no negative number. The integer
// forms of DDX_Text read with it; a control that takes numbers as they are typed can too, without a message.
BOOL AFXAPI AfxParseInteger(LPCTSTR lpszText, long long minValue, long long maxValue, long long* pValue);

// Shows a validation message. Replaceable (tests, programs that report elsewhere); answers the previous one.
typedef int(AFXAPI* AFX_DDX_MESSAGE_PROC)(LPCTSTR lpszText, UINT nType, UINT nIDPrompt);
AFX_DDX_MESSAGE_PROC AFXAPI AfxSetDataExchangeMessageProc(AFX_DDX_MESSAGE_PROC pfnNew);

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// value is the index of the checked button in the group that starts at nIDC (-1: none).
void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_Slider(CDataExchange* pDX, int nIDC, int& value);

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
// On saving, refuses a longer text; on loading, limits the edit control to nChars.
void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
