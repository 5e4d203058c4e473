#include "toolkit/commandbars/XTPShortcuts.h"

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "toolkit/commandbars/XTPCommandBars.h"

#include <vector>

namespace {

struct KeyName
{
    UINT nCode;
    const wchar_t* pszName;
};

// English names for keys the keyboard layout does not name (letters and digits are their own names).
const KeyName kKeyNames[] = {
    {1, L"Left Button"},   {2, L"Right Button"},   {3, L"Cancel"},       {4, L"Middle Button"}, {8, L"Back"},
    {9, L"Tab"},           {12, L"Clear"},         {13, L"Enter"},       {16, L"Shift"},        {17, L"Ctrl"},
    {18, L"Alt"},          {19, L"Pause"},         {20, L"Caps Lock"},   {27, L"Esc"},          {32, L"Space"},
    {33, L"Page Up"},      {34, L"Page Down"},     {35, L"End"},         {36, L"Home"},         {37, L"Left Arrow"},
    {38, L"Up Arrow"},     {39, L"Right Arrow"},   {40, L"Down Arrow"},  {41, L"Select"},       {42, L"Print"},
    {43, L"Execute"},      {44, L"Snapshot"},      {45, L"Ins"},         {46, L"Del"},          {47, L"Help"},
    {91, L"Left Windows"}, {92, L"Right Windows"}, {93, L"Application"}, {106, L"Num *"},       {107, L"Num +"},
    {108, L"Separator"},   {109, L"Num -"},        {110, L"Num ."},      {111, L"Num /"},       {144, L"Num Lock"},
    {145, L"Scrl Lock"},   {246, L"Attn"},         {247, L"Crsel"},      {248, L"Exsel"},       {249, L"Ereof"},
    {250, L"Play"},        {251, L"Zoom"},         {252, L"No Name"},    {253, L"Pa1"},         {254, L"Oem Clear"},
};

XTPKeyNameProvider g_pfnKeyName = ::GetKeyNameTextW;

CString TableKeyName(UINT nCode)
{
    if ((nCode >= '0' && nCode <= '9') || (nCode >= 'A' && nCode <= 'Z'))
        return CString(static_cast<wchar_t>(nCode));
    if (nCode >= VK_F1 && nCode <= VK_F12) {
        CString str;
        str.Format(L"F%d", static_cast<int>(nCode - VK_F1 + 1));
        return str;
    }
    if (nCode >= VK_NUMPAD0 && nCode <= VK_NUMPAD9) {
        CString str;
        str.Format(L"Num %d", static_cast<int>(nCode - VK_NUMPAD0));
        return str;
    }
    for (const KeyName& key : kKeyNames) {
        if (key.nCode == nCode)
            return CString(key.pszName);
    }
    return CString();
}

// The accelerator entry's rank: a plain key first, then Ctrl, then Alt, then Shift alone.
int Rank(BYTE fVirt)
{
    if ((fVirt & (FCONTROL | FALT | FSHIFT)) == 0)
        return 4;
    if (fVirt & FCONTROL)
        return 3;
    if (fVirt & FALT)
        return 2;
    return 1;
}

} // namespace

void SetKeyNameProvider(XTPKeyNameProvider pfnProvider)
{
    g_pfnKeyName = pfnProvider != nullptr ? pfnProvider : ::GetKeyNameTextW;
}

void GetKeyName(CString& strText, UINT nCode, BOOL bLast)
{
    const UINT nScan = ::MapVirtualKeyExW(nCode, 0, ::GetKeyboardLayout(0));
    LONG lParam = static_cast<LONG>((nScan << 16) | 1);
    if (nCode >= VK_PRIOR && nCode <= VK_HELP)
        lParam |= 0x1000000;
    wchar_t szName[50] = {};
    CString strName;
    if (g_pfnKeyName(lParam, szName, 50) > 0) {
        strName = szName;
        strName.MakeLower();
        for (int i = 0; i < strName.GetLength(); ++i) {
            if (::IsCharLowerW(strName[i])) {
                strName.SetAt(i, MakeUpperChar(strName[i]));
                break;
            }
        }
    } else {
        strName = TableKeyName(nCode);
    }
    if (strName.IsEmpty())
        return;
    strText += strName;
    if (!bLast)
        strText += L"+";
}

CString AccelToText(const ACCEL& accel)
{
    CString str;
    if (accel.fVirt & FCONTROL)
        GetKeyName(str, VK_CONTROL, FALSE);
    if (accel.fVirt & FSHIFT)
        GetKeyName(str, VK_SHIFT, FALSE);
    if (accel.fVirt & FALT)
        GetKeyName(str, VK_MENU, FALSE);
    if (accel.key != 0) {
        if (accel.fVirt & FVIRTKEY)
            GetKeyName(str, accel.key, TRUE);
        else if (accel.key != 27)
            str += static_cast<wchar_t>(accel.key);
    } else if (!str.IsEmpty()) {
        str = str.Left(str.GetLength() - 1);
    }
    return str;
}

BOOL FindCommandShortcut(UINT nCommand, CString& strShortcut, HACCEL hAccelTable)
{
    if (hAccelTable == nullptr)
        return FALSE;
    const int nCount = ::CopyAcceleratorTableW(hAccelTable, nullptr, 0);
    if (nCount <= 0) {
        strShortcut.Empty();
        return FALSE;
    }
    std::vector<ACCEL> entries(static_cast<size_t>(nCount));
    ::CopyAcceleratorTableW(hAccelTable, entries.data(), nCount);

    CString strBest;
    int nBestRank = 0;
    BOOL bFound = FALSE;
    BOOL bCurrentFound = FALSE;
    for (const ACCEL& accel : entries) {
        if (accel.cmd != nCommand)
            continue;
        const CString strCandidate = AccelToText(accel);
        if (strCandidate == strShortcut)
            bCurrentFound = TRUE;
        const int nRank = Rank(accel.fVirt);
        if (!bFound || nRank > nBestRank) {
            strBest = strCandidate;
            nBestRank = nRank;
            bFound = TRUE;
        }
    }
    if (!bFound) {
        strShortcut.Empty();
        return FALSE;
    }
    if (!bCurrentFound)
        strShortcut = strBest;
    return TRUE;
}

BOOL FindCommandShortcut(UINT nCommand, CString& strShortcut, CXTPCommandBars* pCommandBars)
{
    CWnd* pSite = pCommandBars != nullptr ? pCommandBars->GetSite() : AfxGetMainWnd();
    if (pSite == nullptr || !pSite->IsFrameWnd())
        return FALSE;
    HACCEL hAccel = static_cast<CFrameWnd*>(pSite)->GetDefaultAccelerator();
    if (hAccel == nullptr)
        return FALSE;
    return FindCommandShortcut(nCommand, strShortcut, hAccel);
}

wchar_t MakeUpperChar(wchar_t ch)
{
    wchar_t sz[2] = {ch, 0};
    ::CharUpperBuffW(sz, 1);
    return sz[0];
}
