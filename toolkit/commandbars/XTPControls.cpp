#include "toolkit/commandbars/XTPControls.h"

#include "framework/StandardIds.h"
#include "framework/win/Menu.h"
#include "framework/win/Wnd.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPSpecialControls.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CXTPControls, CCmdTarget)

namespace {

// Ids of the special list controls.
const int kIdWindowList = 35000;
const int kIdWorkspaceActions = 35002;
const int kIdRecentFileList = 35003;

// Reset copies nest only a level or two; a deeper nest is a corrupt archive.
const int kMaxArchiveNesting = 8;
thread_local int t_nArchiveNesting = 0;
// The controls read so far by the outermost collection being loaded and the collections inside it: an archive
// that names one of them again (a reference to an object already read) is corrupt, since no control belongs to
// two collections.
thread_local std::vector<const CXTPControl*> t_loadedControls;

class CNestingGuard
{
public:
    CNestingGuard()
    {
        if (++t_nArchiveNesting > kMaxArchiveNesting) {
            --t_nArchiveNesting;
            AfxThrowArchiveException(CArchiveException::badIndex);
        }
    }
    ~CNestingGuard()
    {
        if (--t_nArchiveNesting == 0)
            t_loadedControls.clear();
    }
    CNestingGuard(const CNestingGuard&) = delete;
    CNestingGuard& operator=(const CNestingGuard&) = delete;
};

void ReleaseAll(std::vector<CXTPControl*>& controls)
{
    for (CXTPControl* pControl : controls)
        pControl->InternalRelease();
    controls.clear();
}

} // namespace

CXTPControlsLoadScope::CXTPControlsLoadScope()
{
    ++t_nArchiveNesting;
}

CXTPControlsLoadScope::~CXTPControlsLoadScope()
{
    if (--t_nArchiveNesting == 0)
        t_loadedControls.clear();
}

CXTPControls::CXTPControls() : m_pParent(nullptr), m_pCommandBars(nullptr), m_pOriginalControls(nullptr) {}

CXTPControls::~CXTPControls()
{
    m_pParent = nullptr;
    RemoveAll();
    if (m_pOriginalControls != nullptr)
        m_pOriginalControls->InternalRelease();
}

void CXTPControls::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
    if (!m_arrControls.empty())
        RefreshIndexes();
}

CXTPCommandBars* CXTPControls::GetCommandBars() const
{
    return m_pParent != nullptr ? m_pParent->GetCommandBars() : m_pCommandBars;
}

CWnd* CXTPControls::GetSite() const
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetSite();
    return m_pParent != nullptr ? m_pParent->GetOwnerSite() : nullptr;
}

void CXTPControls::RefreshIndexes()
{
    for (size_t i = 0; i < m_arrControls.size(); ++i) {
        CXTPControl* pControl = m_arrControls[i];
        pControl->m_nIndex = static_cast<int>(i);
        pControl->m_pControls = this;
        pControl->SetParent(m_pParent);
    }
    if (m_pParent != nullptr)
        m_pParent->OnControlsChanged();
}

CXTPControl* CXTPControls::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_arrControls[static_cast<size_t>(nIndex)] : nullptr;
}

CXTPControl* CXTPControls::GetFirst() const
{
    return GetAt(0);
}

void CXTPControls::GetNext(CXTPControl*& pControl) const
{
    pControl = pControl != nullptr ? GetAt(pControl->GetIndex() + 1) : nullptr;
}

// ---- Adding

CXTPControl* CXTPControls::Add(CXTPControl* pControl, int nId, LPCTSTR lpszParameter, int nBefore, BOOL bTemporary)
{
    if (pControl == nullptr)
        return nullptr;
    if (lpszParameter != nullptr)
        pControl->SetParameter(lpszParameter);
    pControl->SetTemporary(bTemporary);
    pControl->SetID(nId);
    if (nBefore < 0 || nBefore >= GetCount())
        m_arrControls.push_back(pControl);
    else
        m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
    RefreshIndexes();
    return pControl;
}

CXTPControl* CXTPControls::AddClone(CXTPControl* pClone, int nBefore, BOOL bRecursive)
{
    if (pClone == nullptr)
        return nullptr;
    CXTPControl* pControl = pClone->Clone(bRecursive);
    if (pControl == nullptr)
        return nullptr;
    if (nBefore < 0 || nBefore >= GetCount())
        m_arrControls.push_back(pControl);
    else
        m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
    RefreshIndexes();
    return pControl;
}

CXTPControl* CXTPControls::CreateControl(XTPControlType controlType, int nId, LPCTSTR lpszMenuText)
{
    // Menu items (which come with their text) know fewer kinds than creation by type.
    const BOOL bFromMenu = lpszMenuText != nullptr;
    switch (controlType) {
    case xtpControlButton:
        if (nId == XTP_ID_WINDOWLIST)
            return new CXTPControlWindowList;
        if (nId == XTP_ID_WORKSPACE_ACTIONS)
            return new CXTPControlWorkspaceActions;
        if (nId == ID_VIEW_TOOLBAR)
            return new CXTPControlToolbars;
        if (nId == (bFromMenu ? ID_FILE_MRU_FILE1 : XTP_ID_FILE_MRU))
            return new CXTPControlRecentFileList;
        if (bFromMenu && nId == ID_OLE_VERB_FIRST && CString(lpszMenuText) == L"<<OLE VERBS GO HERE>>")
            return new CXTPControlOleItems;
        return new CXTPControlButton;
    case xtpControlPopup:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup: {
        CXTPControlPopup* pPopup = new CXTPControlPopup;
        pPopup->SetType(controlType);
        return pPopup;
    }
    case xtpControlComboBox:
        return new CXTPControlComboBox;
    case xtpControlEdit:
        return new CXTPControlEdit;
    case xtpControlCustom:
        return bFromMenu ? nullptr : new CXTPControlCustom;
    case xtpControlLabel:
        return bFromMenu ? nullptr : new CXTPControlLabel;
    default:
        return nullptr;
    }
}

CXTPPopupBar* CXTPControls::CreatePopupBar(LPCTSTR lpszTitle, int nId)
{
    CWnd* pSite = GetSite();
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr) {
        XTP_COMMANDBARS_CREATEBAR cs = {};
        cs.bPopup = TRUE;
        cs.lpcstrCaption = lpszTitle;
        cs.nID = static_cast<UINT>(nId);
        if (pSite->SendMessage(WM_XTP_CREATE_COMMANDBAR, 0, reinterpret_cast<LPARAM>(&cs)) != 0 &&
            cs.pCommandBar != nullptr) {
            if (CXTPPopupBar* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, cs.pCommandBar))
                return pPopupBar;
            // Anything but a popup bar is not used; the site handed over its reference.
            cs.pCommandBar->InternalRelease();
        }
    }
    return CXTPPopupBar::CreatePopupBar(GetCommandBars());
}

CXTPControl* CXTPControls::AddByType(XTPControlType controlType, int nId, LPCTSTR lpszParameter, int nBefore,
                                     BOOL bTemporary)
{
    CXTPControl* pControl = nullptr;
    switch (controlType) {
    case xtpControlButton: {
        pControl = CreateControl(controlType, nId, nullptr);
        pControl->SetID(nId);
        break;
    }
    case xtpControlPopup:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup: {
        CXTPControlPopup* pPopup = static_cast<CXTPControlPopup*>(CreateControl(controlType, nId, nullptr));
        CMenu menu;
        CMenu* pSubMenu = nullptr;
        CString strTitle;
        if (nId > 0 && menu.LoadMenu(static_cast<UINT>(nId))) {
            pSubMenu = menu.GetSubMenu(0);
            CString strCaption;
            menu.GetMenuString(0, strCaption, MF_BYPOSITION);
            pPopup->SetCaption(strCaption);
            strTitle = StripMnemonics(pPopup->GetCaption());
        }
        CXTPPopupBar* pPopupBar = CreatePopupBar(strTitle, nId);
        pPopup->SetCommandBar(pPopupBar);
        if (pSubMenu != nullptr)
            pPopupBar->LoadMenu(pSubMenu, TRUE);
        if (controlType != xtpControlPopup)
            pPopup->SetID(nId);
        pControl = pPopup;
        break;
    }
    default:
        pControl = CreateControl(controlType, nId, nullptr);
        if (pControl == nullptr)
            return nullptr;
        pControl->SetID(nId);
        break;
    }
    pControl->SetType(controlType);
    if (lpszParameter != nullptr)
        pControl->SetParameter(lpszParameter);
    pControl->SetTemporary(bTemporary);
    if (nBefore < 0 || nBefore >= GetCount())
        m_arrControls.push_back(pControl);
    else
        m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
    RefreshIndexes();
    return pControl;
}

CXTPControl* CXTPControls::AddMenuItem(CMenu* pMenu, int nIndex)
{
    HMENU hMenu = pMenu != nullptr ? pMenu->GetSafeHmenu() : nullptr;
    if (hMenu == nullptr)
        return nullptr;
    HMENU hSubMenu = ::GetSubMenu(hMenu, nIndex);
    int nId = hSubMenu != nullptr ? 0 : static_cast<int>(::GetMenuItemID(hMenu, nIndex));
    const BOOL bDefault = static_cast<int>(::GetMenuDefaultItem(hMenu, TRUE, GMDI_USEDISABLED)) == nIndex;
    CString strText;
    pMenu->GetMenuString(static_cast<UINT>(nIndex), strText, MF_BYPOSITION);
    if (nId == AFX_IDM_FIRST_MDICHILD)
        return nullptr;

    XTPControlType controlType = hSubMenu != nullptr ? xtpControlPopup : xtpControlButton;
    XTPButtonStyle buttonStyle = xtpButtonAutomatic;
    CXTPControl* pControl = nullptr;
    CWnd* pSite = GetSite();
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr) {
        XTP_COMMANDBARS_CREATECONTROL cs;
        cs.nID = nId;
        cs.pControl = nullptr;
        cs.bToolBar = FALSE;
        cs.nIndex = nIndex;
        cs.pMenu = pMenu;
        cs.pCommandBar = m_pParent;
        cs.strCaption = strText;
        cs.controlType = controlType;
        cs.buttonStyle = buttonStyle;
        if (pSite->SendMessage(WM_XTP_CREATE_CONTROL, 0, reinterpret_cast<LPARAM>(&cs)) != 0) {
            nId = cs.nID;
            strText = cs.strCaption;
            pControl = cs.pControl;
            if (pControl == nullptr) {
                controlType = cs.controlType;
                buttonStyle = cs.buttonStyle;
            }
        }
    }

    if (pControl == nullptr) {
        switch (controlType) {
        case xtpControlButton:
        case xtpControlComboBox:
        case xtpControlEdit:
            pControl = CreateControl(controlType, nId, strText);
            break;
        case xtpControlPopup:
        case xtpControlButtonPopup:
        case xtpControlSplitButtonPopup: {
            CXTPControlPopup* pPopup = static_cast<CXTPControlPopup*>(CreateControl(controlType, nId, strText));
            CString strTitle = strText;
            const int nTab = strTitle.Find(L'\t');
            if (nTab >= 0)
                strTitle = strTitle.Left(nTab);
            strTitle = StripMnemonics(strTitle);
            CXTPPopupBar* pPopupBar = CreatePopupBar(strTitle, nId);
            pPopupBar->SetTitle(strTitle);
            pPopup->SetCommandBar(pPopupBar);
            if (hSubMenu != nullptr) {
                pPopupBar->LoadMenu(CMenu::FromHandle(hSubMenu), FALSE);
            } else if (nId != 0) {
                CMenu menu;
                if (menu.LoadMenu(static_cast<UINT>(nId))) {
                    if (CMenu* pFirst = menu.GetSubMenu(0))
                        pPopupBar->LoadMenu(pFirst, FALSE);
                }
            }
            pControl = pPopup;
            break;
        }
        default:
            break;
        }
        if (pControl == nullptr)
            return nullptr;
        pControl->SetType(controlType);
        pControl->SetStyle(buttonStyle);
        if (m_pParent != nullptr)
            m_pParent->DelayLayout();
    }

    pControl->SetID(nId);
    pControl->SetCaption(strText);
    pControl->SetDefaultItem(bDefault);
    m_arrControls.push_back(pControl);
    RefreshIndexes();
    return pControl;
}

// ---- Removing

void CXTPControls::Remove(CXTPControl* pControl)
{
    if (pControl == nullptr)
        return;
    if (pControl->GetSelected() && m_pParent != nullptr)
        m_pParent->SetSelected(-1, FALSE);
    const int nIndex = pControl->GetIndex();
    if (nIndex < 0 || nIndex >= GetCount() || m_arrControls[static_cast<size_t>(nIndex)] != pControl)
        return;
    m_arrControls.erase(m_arrControls.begin() + nIndex);
    pControl->m_pControls = nullptr;
    pControl->SetParent(nullptr);
    pControl->InternalRelease();
    RefreshIndexes();
}

void CXTPControls::RemoveAt(int nIndex)
{
    Remove(GetAt(nIndex));
}

void CXTPControls::RemoveAll()
{
    std::vector<CXTPControl*> controls;
    controls.swap(m_arrControls);
    for (CXTPControl* pControl : controls) {
        pControl->m_pControls = nullptr;
        pControl->SetParent(nullptr);
        pControl->InternalRelease();
    }
    if (m_pParent != nullptr)
        m_pParent->OnControlsChanged();
}

// ---- Look-ups

CXTPControl* CXTPControls::FindControl(int nId) const
{
    if (nId == -1)
        return GetFirst();
    for (CXTPControl* pControl : m_arrControls) {
        if (pControl->GetID() == nId)
            return pControl;
    }
    return nullptr;
}

CXTPControl* CXTPControls::HitTest(CPoint point) const
{
    for (CXTPControl* pControl : m_arrControls) {
        if (pControl->GetHideFlags() == 0 && pControl->GetRect().PtInRect(point))
            return pControl;
    }
    return nullptr;
}

int CXTPControls::FindNextIndex(int nIndex, int nDirection, BOOL bSkipFlagged, BOOL bSkipTemporary,
                                BOOL bSkipRarelyUsed) const
{
    const int nCount = GetCount();
    if (nCount == 0 || nDirection == 0)
        return -1;
    const int nStart = nIndex;
    int i = (nStart == -1 && nDirection == -1) ? nCount - 1 : nStart + nDirection;
    // Each index once, and once more to come back to the start; a stale start index ends the walk too.
    for (int nSteps = 0; nSteps <= nCount + 1; ++nSteps, i += nDirection) {
        if (i >= nCount) {
            if (nStart == -1 && nDirection > 0)
                return -1;
            i = 0;
        } else if (i < 0) {
            if (nStart == -1 && nDirection < 0)
                return -1;
            i = nCount - 1;
        }
        if (i == nStart)
            return nStart;
        const CXTPControl* pControl = m_arrControls[static_cast<size_t>(i)];
        DWORD dwHide = pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideScroll);
        if (!bSkipRarelyUsed)
            dwHide &= ~static_cast<DWORD>(xtpHideExpand);
        if (dwHide != 0)
            continue;
        if (bSkipFlagged && (pControl->GetFlags() & xtpFlagSkipFocus))
            continue;
        if (bSkipTemporary && pControl->IsTemporary())
            continue;
        return i;
    }
    return -1;
}

int CXTPControls::GetVisibleCount(BOOL bStrict) const
{
    int nCount = 0;
    for (const CXTPControl* pControl : m_arrControls) {
        DWORD dwHide = pControl->GetHideFlags();
        if (!bStrict)
            dwHide &= ~static_cast<DWORD>(xtpHideWrap);
        nCount += dwHide == 0;
    }
    return nCount;
}

// ---- Copies and comparisons

CXTPControls* CXTPControls::Duplicate(BOOL bRecursive) const
{
    CXTPControls* pControls = static_cast<CXTPControls*>(GetRuntimeClass()->CreateObject());
    pControls->m_pCommandBars = GetCommandBars();
    for (CXTPControl* pControl : m_arrControls) {
        if (pControl->IsTemporary())
            continue;
        if (CXTPControl* pClone = pControl->Clone(bRecursive))
            pControls->m_arrControls.push_back(pClone);
    }
    if (m_pOriginalControls != nullptr)
        pControls->m_pOriginalControls = m_pOriginalControls->Duplicate(bRecursive);
    pControls->RefreshIndexes();
    return pControls;
}

void CXTPControls::SetOriginalControls(CXTPControls* pControls)
{
    if (m_pOriginalControls != nullptr)
        m_pOriginalControls->InternalRelease();
    m_pOriginalControls = pControls;
}

void CXTPControls::SaveOriginalControls()
{
    SetOriginalControls(nullptr);
    SetOriginalControls(Duplicate(TRUE));
}

BOOL CXTPControls::IsChanged() const
{
    return m_pOriginalControls != nullptr && !Compare(m_pOriginalControls);
}

BOOL CXTPControls::Compare(const CXTPControls* pOther) const
{
    if (pOther == nullptr)
        return FALSE;
    std::vector<CXTPControl*> mine, theirs;
    for (CXTPControl* pControl : m_arrControls)
        if (!pControl->IsTemporary())
            mine.push_back(pControl);
    for (CXTPControl* pControl : pOther->m_arrControls)
        if (!pControl->IsTemporary())
            theirs.push_back(pControl);
    if (mine.size() != theirs.size())
        return FALSE;
    for (size_t i = 0; i < mine.size(); ++i) {
        if (!mine[i]->IsEqual(theirs[i]))
            return FALSE;
    }
    return TRUE;
}

// ---- Archive

void CXTPControls::Serialize(CArchive& ar, UINT nSchema)
{
    CNestingGuard guard;
    if (ar.IsStoring()) {
        DWORD nCount = 0;
        for (CXTPControl* pControl : m_arrControls)
            nCount += pControl->IsTemporary() ? 0 : 1;
        ar << nCount;
        for (CXTPControl* pControl : m_arrControls) {
            if (!pControl->IsTemporary())
                ar.WriteObject(pControl);
        }
        if (m_pOriginalControls != nullptr) {
            ar << static_cast<DWORD>(1);
            m_pOriginalControls->Serialize(ar, nSchema);
        } else {
            ar << static_cast<DWORD>(0);
        }
        ar << static_cast<DWORD>(0);
        return;
    }

    // Everything is read before anything changes: a bad archive leaves the collection as it was.
    std::vector<CXTPControl*> loaded;
    CXTPControls* pOriginal = nullptr;
    try {
        DWORD nCount = 0;
        ar >> nCount;
        for (DWORD i = 0; i < nCount; ++i) {
            CObject* pObject = ar.ReadObject(RUNTIME_CLASS(CXTPControl));
            CXTPControl* pControl = DYNAMIC_DOWNCAST(CXTPControl, pObject);
            if (pControl == nullptr)
                AfxThrowArchiveException(CArchiveException::badClass);
            if (std::find(t_loadedControls.begin(), t_loadedControls.end(), pControl) != t_loadedControls.end())
                AfxThrowArchiveException(CArchiveException::badIndex);
            t_loadedControls.push_back(pControl);
            loaded.push_back(pControl);
        }
        if (nSchema >= 3) {
            DWORD bFlag = 0;
            ar >> bFlag;
            if (bFlag != 0) {
                pOriginal = new CXTPControls;
                pOriginal->m_pCommandBars = GetCommandBars();
                pOriginal->Serialize(ar, nSchema);
            }
            ar >> bFlag;
            if (bFlag != 0) {
                CXTPControls* pDropped = new CXTPControls;
                try {
                    pDropped->Serialize(ar, nSchema);
                } catch (CException*) {
                    pDropped->InternalRelease();
                    throw;
                }
                pDropped->InternalRelease();
            }
        }
    } catch (CException*) {
        ReleaseAll(loaded);
        if (pOriginal != nullptr)
            pOriginal->InternalRelease();
        throw;
    }

    RemoveAll();
    m_arrControls = loaded;
    RefreshIndexes();
    if (nSchema >= 3)
        SetOriginalControls(pOriginal);
}
