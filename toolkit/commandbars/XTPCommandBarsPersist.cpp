#include "toolkit/commandbars/XTPCommandBarsPersist.h"

#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/core/FileReading.h"
#include "framework/core/SafeFile.h"
#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "toolkit/commandbars/CommandBarsResource.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPReBar.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>
#include <new>

namespace {

// A bar count or dock entry count above this in the profile is damage, not a layout.
const int kMaxSavedEntries = 4096;
// Files of customised bars larger than this are not ours.
const ULONGLONG kMaxControlsFile = 64ull * 1024 * 1024;

CString SectionName(LPCTSTR lpszFormat, LPCTSTR lpszProfileName)
{
    CString str;
    str.Format(lpszFormat, lpszProfileName);
    return str;
}

CString SectionName(LPCTSTR lpszFormat, LPCTSTR lpszProfileName, int n)
{
    CString str;
    str.Format(lpszFormat, lpszProfileName, n);
    return str;
}

void DeleteSection(CWinApp* pApp, LPCTSTR lpszSection)
{
    pApp->WriteProfileString(lpszSection, nullptr, nullptr);
}

template <class T> bool Contains(const std::vector<T*>& arr, const T* p)
{
    return std::find(arr.begin(), arr.end(), p) != arr.end();
}

// Whether the popup bars reached from pFrom's popup controls (live and reset copies) lead to pTarget.
bool ReachesBar(CXTPCommandBar* pFrom, const CXTPCommandBar* pTarget, std::vector<CXTPCommandBar*>& visited)
{
    if (pFrom == pTarget)
        return true;
    if (Contains(visited, pFrom))
        return false;
    visited.push_back(pFrom);
    CXTPControls* pControls = pFrom->GetControls();
    for (CXTPControls* pSet : {pControls, pControls != nullptr ? pControls->GetOriginalControls() : nullptr}) {
        if (pSet == nullptr)
            continue;
        for (int i = 0; i < pSet->GetCount(); ++i) {
            CXTPCommandBar* pBar = pSet->GetAt(i)->GetCommandBar();
            if (pBar != nullptr && ReachesBar(pBar, pTarget, visited))
                return true;
        }
    }
    return false;
}

// The hidden controls file through the safe writer: a failed write leaves the earlier file as it was.
BOOL WriteHiddenFile(const CString& strPath, const BYTE* pData, UINT nBytes)
{
    // A hidden target refuses to be replaced on some systems.
    const DWORD dwAttributes = ::GetFileAttributesW(strPath);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_NORMAL);
    const bool bWritten = WriteFileSafely(strPath, pData, nBytes);
    if (bWritten || dwAttributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_HIDDEN);
    return bWritten ? TRUE : FALSE;
}

void DeleteHiddenFile(const CString& strPath)
{
    if (strPath.IsEmpty())
        return;
    ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(strPath);
}

// A toolbar that is a band of the frame's rebar keeps its place there; the dock bar layout leaves it alone.
bool IsInReBar(CXTPToolBar* pBar)
{
    if (pBar->GetSafeHwnd() == nullptr || pBar->GetDockBar() != nullptr)
        return false;
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(pBar->m_hWnd));
    return pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CXTPReBar));
}

void ReleaseBars(std::vector<CXTPCommandBar*>& arrBars)
{
    for (CXTPCommandBar* pBar : arrBars)
        pBar->InternalRelease();
    arrBars.clear();
}

} // namespace

// ---- CXTPBarInfo

CXTPBarInfo::CXTPBarInfo()
    : m_nBarID(0), m_bVisible(TRUE), m_bFloating(FALSE), m_pointPos(-1, -1), m_nMRUWidth(32767), m_uMRUDockID(0),
      m_rectMRUDockPos(0, 0, 0, 0), m_dwReserved(0), m_ptMRUFloatPos(0, 0), m_pBar(nullptr)
{
}

BOOL CXTPBarInfo::SaveState(LPCTSTR lpszProfileName, int nIndex) const
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    const CString strSection = SectionName(L"%s-Bar%d", lpszProfileName, nIndex);
    DeleteSection(pApp, strSection);
    pApp->WriteProfileInt(strSection, L"BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        pApp->WriteProfileInt(strSection, L"Visible", 0);
    if (m_bFloating)
        pApp->WriteProfileInt(strSection, L"Floating", m_bFloating);
    if (m_pointPos.x != -1)
        pApp->WriteProfileInt(strSection, L"XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        pApp->WriteProfileInt(strSection, L"YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        pApp->WriteProfileInt(strSection, L"MRUWidth", m_nMRUWidth);
    pApp->WriteProfileInt(strSection, L"MRUDockID", m_uMRUDockID);
    pApp->WriteProfileInt(strSection, L"MRUDockLeftPos", m_rectMRUDockPos.left);
    pApp->WriteProfileInt(strSection, L"MRUDockTopPos", m_rectMRUDockPos.top);
    pApp->WriteProfileInt(strSection, L"MRUDockRightPos", m_rectMRUDockPos.right);
    pApp->WriteProfileInt(strSection, L"MRUDockBottomPos", m_rectMRUDockPos.bottom);
    pApp->WriteProfileInt(strSection, L"MRUFloatXPos", m_ptMRUFloatPos.x);
    pApp->WriteProfileInt(strSection, L"MRUFloatYPos", m_ptMRUFloatPos.y);
    return TRUE;
}

BOOL CXTPBarInfo::LoadState(LPCTSTR lpszProfileName, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    const CString strSection = SectionName(L"%s-Bar%d", lpszProfileName, nIndex);
    auto read = [&](LPCTSTR lpszEntry, int nDefault) {
        return static_cast<int>(pApp->GetProfileInt(strSection, lpszEntry, nDefault));
    };
    m_nBarID = static_cast<UINT>(read(L"BarID", 0));
    m_bVisible = read(L"Visible", TRUE);
    m_bFloating = read(L"Floating", FALSE);
    m_pointPos = CPoint(read(L"XPos", -1), read(L"YPos", -1));
    m_nMRUWidth = read(L"MRUWidth", 32767);
    m_uMRUDockID = read(L"MRUDockID", 0);
    m_rectMRUDockPos = CRect(read(L"MRUDockLeftPos", 0), read(L"MRUDockTopPos", 0), read(L"MRUDockRightPos", 0),
                             read(L"MRUDockBottomPos", 0));
    m_ptMRUFloatPos = CPoint(read(L"MRUFloatXPos", 0), read(L"MRUFloatYPos", 0));
    return TRUE;
}

// ---- CXTPBarStateInfo

CXTPBarStateInfo::CXTPBarStateInfo()
    : CXTPBarStateInfo(CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)),
                       CSize(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)))
{
}

CXTPBarStateInfo::CXTPBarStateInfo(CSize sizeScreen, CSize sizeIcon)
    : m_rectScreen(0, 0, sizeScreen.cx, sizeScreen.cy), m_sizeSaved(0, 0), m_bRescale(FALSE),
      m_ptMaxPos(sizeScreen.cx - sizeIcon.cx, sizeScreen.cy - sizeIcon.cy)
{
}

CXTPBarStateInfo::~CXTPBarStateInfo()
{
    for (CXTPBarInfo* pInfo : m_arrBarInfo)
        delete pInfo;
}

void CXTPBarStateInfo::SetSavedScreen(CSize sizeSaved)
{
    m_sizeSaved = sizeSaved;
    m_bRescale = sizeSaved != m_rectScreen.Size();
}

void CXTPBarStateInfo::AdjustPoint(CPoint& pt) const
{
    // A layout without a saved screen size (or a damaged one) is not scaled: there is nothing to scale by.
    if (m_bRescale && m_sizeSaved.cx > 0 && m_sizeSaved.cy > 0) {
        pt.x = ::MulDiv(pt.x, m_rectScreen.Width(), m_sizeSaved.cx);
        pt.y = ::MulDiv(pt.y, m_rectScreen.Height(), m_sizeSaved.cy);
    }
    pt.x = std::min(pt.x, m_ptMaxPos.x);
    pt.y = std::min(pt.y, m_ptMaxPos.y);
}

void CXTPBarStateInfo::AdjustRect(CRect& rect) const
{
    CPoint pt = rect.TopLeft();
    if (m_bRescale && m_sizeSaved.cx > 0 && m_sizeSaved.cy > 0) {
        pt.x = ::MulDiv(pt.x, m_rectScreen.Width(), m_sizeSaved.cx);
        pt.y = ::MulDiv(pt.y, m_rectScreen.Height(), m_sizeSaved.cy);
        rect.OffsetRect(pt - rect.TopLeft());
    }
    if (rect.left > m_ptMaxPos.x)
        rect.OffsetRect(m_ptMaxPos.x - rect.left, 0);
    if (rect.top > m_ptMaxPos.y)
        rect.OffsetRect(0, m_ptMaxPos.y - rect.top);
}

std::vector<UINT> EncodeDockBarRows(const std::vector<CXTPToolBar*>& arrBars)
{
    std::vector<UINT> entries;
    for (CXTPToolBar* pBar : arrBars) {
        if (pBar == nullptr) {
            if (!entries.empty() && entries.back() == 0)
                continue;
            entries.push_back(0);
        } else {
            entries.push_back(pBar->GetBarID());
        }
    }
    return entries;
}

// ---- Bars: layout records, archives and reconnection

void CXTPCommandBar::GetBarInfo(CXTPBarInfo* pInfo)
{
    pInfo->m_nBarID = m_nBarID;
    pInfo->m_bVisible = IsVisible();
    pInfo->m_bFloating = m_barPosition == xtpBarFloating;
    pInfo->m_nMRUWidth = m_nMRUWidth;
    CXTPToolBar* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, this);
    CXTPDockContext* pContext = pToolBar != nullptr ? pToolBar->GetDockContext() : nullptr;
    if (m_hWnd != nullptr) {
        CRect rc;
        GetWindowRect(&rc);
        CXTPDockBar* pDockBar = pToolBar != nullptr ? pToolBar->GetDockBar() : nullptr;
        if (!pInfo->m_bFloating && pDockBar != nullptr && pDockBar->GetSafeHwnd() != nullptr)
            pDockBar->ScreenToClient(&rc);
        pInfo->m_pointPos = rc.TopLeft();
    } else if (pContext != nullptr) {
        pInfo->m_pointPos = pContext->m_ptMRUFloatPos;
    }
    if (pContext != nullptr) {
        pInfo->m_uMRUDockID = static_cast<int>(pContext->m_uMRUDockPosition);
        pInfo->m_rectMRUDockPos = pContext->m_rectMRUDockPos;
        pInfo->m_ptMRUFloatPos = pContext->m_ptMRUFloatPos;
    }
}

void CXTPToolBar::SetBarInfo(CXTPBarInfo* pInfo)
{
    m_nMRUWidth = pInfo->m_nMRUWidth;
    if (m_pDockContext != nullptr) {
        const int nDock = pInfo->m_uMRUDockID;
        m_pDockContext->m_uMRUDockPosition =
            nDock >= xtpBarTop && nDock <= xtpBarRight ? static_cast<XTPBarPosition>(nDock) : xtpBarTop;
        m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
        m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
    }
    if (m_hWnd != nullptr) {
        UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE | (pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
        if (!pInfo->m_bFloating) {
            nFlags |= SWP_NOSIZE;
            if (m_pDockBar == nullptr)
                nFlags |= SWP_NOMOVE;
        }
        // No saved position: the bar stays where docking or floating put it.
        if (pInfo->m_pointPos == CPoint(-1, -1))
            nFlags |= SWP_NOMOVE;
        ::SetWindowPos(m_hWnd, nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, nFlags);
    }
    m_bVisible = pInfo->m_bVisible;
    if (pInfo->m_bFloating)
        OnRecalcLayout();
}

void CXTPCommandBar::RestoreCommandBarList(CPtrArray* pList)
{
    for (CXTPControls* pControls : {m_pControls, m_pControls->GetOriginalControls()}) {
        if (pControls == nullptr)
            continue;
        for (int i = 0; i < pControls->GetCount(); ++i) {
            CXTPControlPopup* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControls->GetAt(i));
            if (pPopup == nullptr || pPopup->GetCommandBar() != nullptr || pPopup->GetLoadedBarID() == 0)
                continue;
            CXTPCommandBar* pFound = nullptr;
            for (INT_PTR j = 0; j < pList->GetSize() && pFound == nullptr; ++j) {
                auto* pBar = static_cast<CXTPCommandBar*>(pList->GetAt(j));
                // A toolbar never opens as a popup.
                if (pBar->GetBarID() == pPopup->GetLoadedBarID() && !pBar->IsKindOf(RUNTIME_CLASS(CXTPToolBar)))
                    pFound = pBar;
            }
            // A damaged archive can make popup bars open each other; such a link is dropped, since every walk
            // down the popups (and the references they hold) would never end.
            std::vector<CXTPCommandBar*> visited;
            if (pFound != nullptr && !ReachesBar(pFound, this, visited)) {
                pFound->InternalAddRef();
                pPopup->SetCommandBar(pFound);
            }
        }
    }
}

void CXTPToolBar::Serialize(CArchive& ar)
{
    CXTPCommandBar::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_bBuiltIn << m_bCustomBar << m_bCloseable;
        return;
    }
    ar >> m_bBuiltIn >> m_bCustomBar;
    if (m_nLoadedSchema >= 7)
        ar >> m_bCloseable;
    // The docking flags came back in the base's flags word.
    m_dwDockingFlags = m_dwFlags;
}

void CXTPMenuBar::Serialize(CArchive& ar)
{
    CXTPToolBar::Serialize(ar);
    if (ar.IsStoring()) {
        // A frame without document templates keeps no per-template menus.
        ar << static_cast<DWORD>(m_bMdiMenusSeen);
        ar.WriteCount(0);
        return;
    }
    DWORD dwSetting = 0;
    ar >> dwSetting;
    m_bMdiMenusSeen = dwSetting != 0;
    if (m_nLoadedSchema < 5)
        return;
    const DWORD_PTR nCount = ar.ReadCount();
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        DWORD dwTemplate = 0;
        ar >> dwTemplate;
        CXTPControls* pControls = new CXTPControls;
        try {
            pControls->Serialize(ar, static_cast<UINT>(m_nLoadedSchema));
        } catch (CException*) {
            pControls->InternalRelease();
            throw;
        }
        pControls->InternalRelease();
    }
}

void CXTPDockBar::RestoreBarRows(const std::vector<UINT>& arrBarIDs)
{
    std::vector<CXTPToolBar*> arrRows{nullptr};
    for (UINT nBarID : arrBarIDs) {
        if (nBarID == 0) {
            if (arrRows.back() != nullptr)
                arrRows.push_back(nullptr);
            continue;
        }
        CXTPToolBar* pBar = m_pCommandBars->FindToolBar(nBarID);
        if (pBar == nullptr || Contains(arrRows, pBar) || IsInReBar(pBar))
            continue;
        if (pBar->m_pDockBar != nullptr && pBar->m_pDockBar != this)
            pBar->m_pDockBar->RemoveCommandBar(pBar);
        if (pBar->GetSafeHwnd() != nullptr) {
            pBar->Create(m_pCommandBars->GetSite(), FALSE);
            if (::GetParent(pBar->m_hWnd) != m_hWnd)
                pBar->SetParent(this);
        }
        pBar->m_pDockBar = this;
        pBar->SetBarPosition(GetPosition());
        arrRows.push_back(pBar);
    }
    if (arrRows.back() != nullptr)
        arrRows.push_back(nullptr);
    for (CXTPToolBar* pBar : m_arrBars) {
        if (pBar == nullptr) {
            if (arrRows.back() != nullptr)
                arrRows.push_back(nullptr);
        } else if (!Contains(arrRows, pBar)) {
            arrRows.push_back(pBar);
        }
    }
    if (arrRows.back() != nullptr)
        arrRows.push_back(nullptr);
    m_arrBars.swap(arrRows);
    AdjustStretchBars();
    DelayFrameLayout();
}

// ---- The manager: saving

BOOL CXTPCommandBars::GetControlsFileName(CString& strFileName, LPCTSTR lpszProfileName) const
{
    if (!m_strControlsFileName.IsEmpty()) {
        strFileName = m_strControlsFileName;
        return TRUE;
    }
    WCHAR szPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    strFileName.Format(L"%s-%s", szPath, lpszProfileName);
    return TRUE;
}

CString CXTPCommandBars::GetControlsDataFileName(LPCTSTR lpszProfileName) const
{
    if (m_strControlsDataFolder.IsEmpty())
        return CString();
    CString strFile;
    GetControlsFileName(strFile, lpszProfileName);
    const int nSlash = std::max(strFile.ReverseFind(L'\\'), strFile.ReverseFind(L'/'));
    return m_strControlsDataFolder + L"\\" + strFile.Mid(nSlash + 1);
}

void CXTPCommandBars::SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    CXTPBarStateInfo state;
    for (CXTPToolBar* pBar : m_arrBars) {
        auto* pInfo = new CXTPBarInfo;
        pInfo->m_pBar = pBar;
        pBar->GetBarInfo(pInfo);
        state.m_arrBarInfo.push_back(pInfo);
    }
    int nWritten = 0;
    for (CXTPBarInfo* pInfo : state.m_arrBarInfo) {
        if (pInfo->SaveState(lpszProfileName, nWritten))
            ++nWritten;
    }
    const CString strSummary = SectionName(L"%s-Summary", lpszProfileName);
    pApp->WriteProfileInt(strSummary, L"Bars", nWritten);
    pApp->WriteProfileInt(strSummary, L"ScreenCX", state.m_rectScreen.Width());
    pApp->WriteProfileInt(strSummary, L"ScreenCY", state.m_rectScreen.Height());

    for (int nDock = 0; nDock < 4; ++nDock) {
        const CString strSection = SectionName(L"%s-DockBar%d", lpszProfileName, nDock);
        DeleteSection(pApp, strSection);
        CXTPDockBar* pDockBar = m_pDockBars[nDock];
        if (pDockBar == nullptr || pDockBar->GetBars().size() <= 1)
            continue;
        const std::vector<UINT> entries = EncodeDockBarRows(pDockBar->GetBars());
        for (size_t i = 0; i < entries.size(); ++i) {
            CString strEntry;
            strEntry.Format(L"Bar#%d", static_cast<int>(i));
            pApp->WriteProfileInt(strSection, strEntry, static_cast<int>(entries[i]));
        }
        pApp->WriteProfileInt(strSection, L"Bars", static_cast<int>(entries.size()));
    }

    if (m_bCustomizable)
        SaveControls(lpszProfileName, bOnlyCustomized);
}

void CXTPCommandBars::SaveControls(LPCTSTR lpszProfileName, BOOL bOnlyCustomized)
{
    CWinApp* pApp = AfxGetApp();
    const CString strSection = SectionName(L"%s-Controls", lpszProfileName);
    CPtrArray list;
    int nCounter = 0x1000000;
    for (CXTPToolBar* pBar : m_arrBars) {
        if (bOnlyCustomized && pBar->IsBuiltIn()) {
            CXTPControls* pControls = pBar->GetControls();
            if (!pBar->IsVisible() ||
                (pControls->GetOriginalControls() != nullptr && pControls->Compare(pControls->GetOriginalControls())))
                continue;
        }
        pBar->CollectCommandBars(nCounter, &list);
    }

    BYTE* pData = nullptr;
    UINT nBytes = 0;
    BOOL bArchived = FALSE;
    try {
        CMemFile file(1024);
        {
            CArchive ar(&file, CArchive::store, 4096);
            ar.m_pDocument = this;
            ar << static_cast<DWORD>(list.GetSize());
            for (INT_PTR i = 0; i < list.GetSize(); ++i)
                ar.WriteObject(static_cast<CXTPCommandBar*>(list.GetAt(i)));
            // The options follow the bars: an archive from before them simply ends here.
            m_pOptions->Serialize(ar);
            ar.Close();
        }
        nBytes = static_cast<UINT>(file.GetLength());
        pData = file.Detach();
        bArchived = TRUE;
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
        static_cast<CXTPCommandBar*>(list.GetAt(i))->InternalRelease();
    if (!bArchived) {
        DeleteSection(pApp, strSection);
        return;
    }

    CString strFile;
    GetControlsFileName(strFile, lpszProfileName);
    const CString strDataFile = GetControlsDataFileName(lpszProfileName);
    if (IsControlsArchiveForFile(nBytes)) {
        // Written aside and renamed: a failed write keeps the earlier file and the profile that names it.
        CString strWritten;
        if (WriteHiddenFile(strFile, pData, nBytes))
            strWritten = strFile;
        else if (!strDataFile.IsEmpty() && WriteHiddenFile(strDataFile, pData, nBytes))
            strWritten = strDataFile;
        if (!strWritten.IsEmpty()) {
            const CString strOther = strWritten == strFile ? strDataFile : strFile;
            if (strOther.CompareNoCase(strWritten) != 0)
                DeleteHiddenFile(strOther);
            pApp->WriteProfileString(strSection, L"Controls", strWritten);
            pApp->WriteProfileInt(strSection, L"LoadFromFile", 1);
        }
    } else {
        DeleteHiddenFile(strFile);
        DeleteHiddenFile(strDataFile);
        pApp->WriteProfileString(strSection, L"Controls", nullptr);
        pApp->WriteProfileBinary(strSection, L"Controls", pData, nBytes);
        pApp->WriteProfileInt(strSection, L"LoadFromFile", 0);
    }
    free(pData);
}

// ---- The manager: loading

void CXTPCommandBars::LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    if (m_bCustomizable)
        LoadControls(lpszProfileName, bSilent);

    CXTPBarStateInfo state;
    const CString strSummary = SectionName(L"%s-Summary", lpszProfileName);
    const int nBars = std::clamp(static_cast<int>(pApp->GetProfileInt(strSummary, L"Bars", 0)), 0, kMaxSavedEntries);
    state.SetSavedScreen(CSize(static_cast<int>(pApp->GetProfileInt(strSummary, L"ScreenCX", 0)),
                               static_cast<int>(pApp->GetProfileInt(strSummary, L"ScreenCY", 0))));
    for (int n = 0; n < nBars; ++n) {
        auto* pInfo = new CXTPBarInfo;
        state.m_arrBarInfo.push_back(pInfo);
        pInfo->LoadState(lpszProfileName, n);
        state.AdjustPoint(pInfo->m_pointPos);
        state.AdjustPoint(pInfo->m_ptMRUFloatPos);
        state.AdjustRect(pInfo->m_rectMRUDockPos);
    }

    for (int nDock = 0; nDock < 4; ++nDock) {
        CXTPDockBar* pDockBar = m_pDockBars[nDock];
        const CString strSection = SectionName(L"%s-DockBar%d", lpszProfileName, nDock);
        const int nEntries = static_cast<int>(pApp->GetProfileInt(strSection, L"Bars", 0));
        if (pDockBar == nullptr || nEntries <= 1 || nEntries > kMaxSavedEntries)
            continue;
        std::vector<UINT> entries;
        for (int j = 0; j < nEntries; ++j) {
            CString strEntry;
            strEntry.Format(L"Bar#%d", j);
            entries.push_back(pApp->GetProfileInt(strSection, strEntry, 0));
        }
        pDockBar->RestoreBarRows(entries);
    }

    ApplyBarInfo(state);
    RecalcFrameLayout(TRUE);
}

void CXTPCommandBars::ApplyBarInfo(CXTPBarStateInfo& state)
{
    for (CXTPBarInfo* pInfo : state.m_arrBarInfo) {
        CXTPToolBar* pBar = FindToolBar(pInfo->m_nBarID);
        if (pBar == nullptr)
            continue;
        pInfo->m_pBar = pBar;
        if (IsInReBar(pBar)) {
            // Only its visibility and remembered sizes apply.
        } else if (pInfo->m_bFloating) {
            if (!FloatCommandBar(pBar))
                continue;
        } else if (pBar->GetDockBar() == nullptr) {
            const int nDock = pInfo->m_uMRUDockID;
            CXTPDockBar* pDockBar = GetDockBar(nDock >= xtpBarTop && nDock <= xtpBarRight ? nDock : xtpBarTop);
            if (!DockCommandBar(pBar, nullptr, pDockBar))
                continue;
        } else if (!pBar->Create(m_pSite, FALSE)) {
            continue;
        }
        pBar->SetBarInfo(pInfo);
    }
}

void CXTPCommandBars::LoadControls(LPCTSTR lpszProfileName, BOOL bSilent)
{
    std::vector<CXTPCommandBar*> arrLoaded;
    if (ReadControls(lpszProfileName, arrLoaded))
        ApplyLoadedBars(arrLoaded, bSilent);
    ReleaseBars(arrLoaded);
}

BOOL CXTPCommandBars::ReadControls(LPCTSTR lpszProfileName, std::vector<CXTPCommandBar*>& arrLoaded)
{
    CWinApp* pApp = AfxGetApp();
    const CString strSection = SectionName(L"%s-Controls", lpszProfileName);
    std::vector<BYTE> bytes;
    if (pApp->GetProfileInt(strSection, L"LoadFromFile", 0) != 0) {
        // The profile only says which of the program's own file names holds the bars: a name from stored data
        // is never opened.
        const CString strStored = pApp->GetProfileString(strSection, L"Controls");
        CString strFile;
        GetControlsFileName(strFile, lpszProfileName);
        const CString strDataFile = GetControlsDataFileName(lpszProfileName);
        if (strStored.CompareNoCase(strFile) != 0 &&
            (strDataFile.IsEmpty() || strStored.CompareNoCase(strDataFile) != 0))
            return FALSE;
        if (!ReadWholeFile(strStored, bytes, kMaxControlsFile))
            return FALSE;
    } else {
        BYTE* pData = nullptr;
        UINT nBytes = 0;
        if (!pApp->GetProfileBinary(strSection, L"Controls", &pData, &nBytes) || pData == nullptr)
            return FALSE;
        bytes.assign(pData, pData + nBytes);
        delete[] pData;
    }
    if (bytes.empty())
        return FALSE;

    // Everything is read before anything is applied: a damaged archive applies nothing, and the bars read before
    // the damage are released.
    BOOL bComplete = FALSE;
    CXTPControlsLoadScope scope;
    try {
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load, 4096);
        ar.m_pDocument = this;
        DWORD nCount = 0;
        ar >> nCount;
        bComplete = TRUE;
        for (DWORD i = 0; i < nCount; ++i) {
            CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CXTPCommandBar));
            CXTPCommandBar* pBar = DYNAMIC_DOWNCAST(CXTPCommandBar, pObject);
            // A bar named twice is a reference to one already held, not a second bar.
            if (pBar == nullptr || Contains(arrLoaded, pBar)) {
                bComplete = FALSE;
                break;
            }
            pBar->SetCommandBars(this);
            arrLoaded.push_back(pBar);
        }
        // Read last, so that they change only once the bars before them have all been read.
        if (bComplete && (!ar.IsBufferEmpty() || file.GetPosition() < file.GetLength()))
            m_pOptions->Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        bComplete = FALSE;
    } catch (const std::bad_alloc&) {
        bComplete = FALSE;
    }
    if (!bComplete)
        ReleaseBars(arrLoaded);
    return bComplete;
}

void CXTPCommandBars::ApplyLoadedBars(const std::vector<CXTPCommandBar*>& arrLoaded, BOOL bSilent)
{
    CPtrArray list;
    for (CXTPCommandBar* pBar : arrLoaded)
        list.Add(pBar);
    for (CXTPCommandBar* pBar : arrLoaded)
        pBar->RestoreCommandBarList(&list);

    for (CXTPCommandBar* pLoadedBar : arrLoaded) {
        CXTPToolBar* pLoaded = DYNAMIC_DOWNCAST(CXTPToolBar, pLoadedBar);
        if (pLoaded == nullptr)
            continue;
        CXTPToolBar* pExisting = FindToolBar(pLoaded->GetBarID());
        if (pExisting == pLoaded)
            continue;
        if (pExisting == nullptr) {
            // A menu bar belongs to the frame's menu; one without its program counterpart is not shown.
            if (pLoaded->IsKindOf(RUNTIME_CLASS(CXTPMenuBar)) || m_pSite == nullptr)
                continue;
            const XTPBarPosition barPosition = pLoaded->GetPosition();
            pLoaded->SetType(xtpBarTypeNormal);
            pLoaded->SetBarPosition(xtpBarFloating);
            // The saved docking flags stay; an archive without any gets those of a new user toolbar.
            const DWORD dwDocking = pLoaded->GetEnableDocking();
            pLoaded->EnableDocking(dwDocking != 0 ? dwDocking : xtpFlagAlignAny | xtpFlagFloating | xtpFlagHideWrap);
            pLoaded->InternalAddRef();
            m_arrBars.push_back(pLoaded);
            const BOOL bPlaced = barPosition == xtpBarFloating || barPosition > xtpBarRight
                                     ? FloatCommandBar(pLoaded)
                                     : DockCommandBar(pLoaded, nullptr, GetDockBar(barPosition));
            if (!bPlaced) {
                RemoveBar(pLoaded);
                continue;
            }
            AddToReBar(pLoaded);
            continue;
        }

        CXTPControls* pLoadedReset = pLoaded->GetControls()->GetOriginalControls();
        CXTPControls* pMineReset = pExisting->GetControls()->GetOriginalControls();
        BOOL bCopy = FALSE, bKeepMine = FALSE;
        if (pLoadedReset == nullptr || pMineReset == nullptr || pLoadedReset->Compare(pMineReset)) {
            bCopy = TRUE;
            bKeepMine = pLoadedReset == nullptr;
        } else if (!bSilent && !pLoaded->GetControls()->Compare(pLoadedReset)) {
            CString strMessage;
            strMessage.Format(XTP_IDS_CONFIRM_UPDATE, static_cast<LPCTSTR>(pExisting->GetTitle()));
            if (AfxMessageBox(strMessage, MB_YESNO | MB_ICONQUESTION) == IDNO)
                bCopy = bKeepMine = TRUE;
        }
        if (!bCopy)
            continue;
        if (bKeepMine && pMineReset != nullptr)
            pMineReset->InternalAddRef();
        // The program's bar keeps its own kind and place: the layout records decide where it goes.
        const XTPBarType barType = pExisting->GetType();
        const XTPBarPosition barPosition = pExisting->GetPosition();
        pExisting->Copy(pLoaded, FALSE);
        pExisting->SetType(barType);
        pExisting->SetBarPosition(barPosition);
        if (bKeepMine)
            pExisting->GetControls()->SetOriginalControls(pMineReset);
        pExisting->OnRecalcLayout();
    }
}

// ---- Rebar

namespace {

CXTPReBar* FindReBar(CWnd* pSite)
{
    if (pSite == nullptr || pSite->GetSafeHwnd() == nullptr)
        return nullptr;
    for (HWND hChild = ::GetWindow(pSite->m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hChild);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CXTPReBar)))
            return static_cast<CXTPReBar*>(pWnd);
    }
    return nullptr;
}

} // namespace

BOOL CXTPCommandBars::AddToReBar(CXTPToolBar* pToolBar, int nBandStyle)
{
    CXTPReBar* pReBar = FindReBar(m_pSite);
    if (pReBar == nullptr)
        return FALSE;
    const DWORD dwStyle =
        nBandStyle == -1 ? static_cast<DWORD>(RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP) : static_cast<DWORD>(nBandStyle);
    if (!pReBar->AddToolBar(pToolBar, dwStyle))
        return FALSE;
    RecalcFrameLayout(TRUE);
    return TRUE;
}

void CXTPCommandBars::RemoveFromReBar(CXTPToolBar* pToolBar)
{
    CXTPReBar* pReBar = FindReBar(m_pSite);
    const int nBand = pReBar != nullptr ? pReBar->FindBand(pToolBar) : -1;
    if (nBand == -1)
        return;
    ::SendMessageW(pReBar->m_hWnd, RB_DELETEBAND, static_cast<WPARAM>(nBand), 0);
    RecalcFrameLayout(TRUE);
}
