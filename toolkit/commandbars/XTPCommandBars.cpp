#include "toolkit/commandbars/XTPCommandBars.h"

#include "framework/frame/FrameWnd.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"

// ---- CXTPCommandBarsOptions

CXTPCommandBarsOptions::CXTPCommandBarsOptions()
    : bAlwaysShowFullMenus(TRUE), bShowFullAfterDelay(TRUE), bToolBarScreenTips(TRUE), bToolBarAccelTips(FALSE),
      bLargeIcons(FALSE), bSyncFloatingBars(TRUE), bShowExpandButtonAlways(TRUE), bDblClickFloat(FALSE),
      bShowTextBelowIcons(FALSE), bAltDragCustomization(TRUE), animationType(xtpAnimateWindowsDefault), szIcons(0, 0),
      szLargeIcons(0, 0), szPopupIcons(16, 16), m_pCommandBars(nullptr)
{
    m_mapHiddenCommands.InitHashTable(17);
    m_mapUsedCommands.InitHashTable(17);
}

// ---- CXTPCommandBars

IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)

CXTPCommandBars::CXTPCommandBars()
    : m_hDesignerAccels(nullptr), m_bIgnoreShiftMenuKey(FALSE), m_pDropSource(nullptr), m_pPaintManager(nullptr),
      m_pImageManager(nullptr), m_pCustomizeControl(nullptr), m_bCustomizeMode(FALSE), m_bCustomizable(FALSE),
      m_nMenuID(0), m_bRecalcLayout(FALSE), m_bQuickCustomizeMode(FALSE), m_pOptions(new CXTPCommandBarsOptions),
      m_pSite(nullptr)
{
    m_pDropSource = new CXTPCustomizeDropSource(this);
    m_pOptions->m_pCommandBars = this;
}

CXTPCommandBars::~CXTPCommandBars()
{
    if (m_pCustomizeControl != nullptr)
        m_pCustomizeControl->InternalRelease();
    delete m_pDropSource;
    if (m_pPaintManager != nullptr)
        m_pPaintManager->InternalRelease();
    if (m_pImageManager != nullptr)
        m_pImageManager->InternalRelease();
    if (m_hDesignerAccels != nullptr)
        ::DestroyAcceleratorTable(m_hDesignerAccels);
    m_pOptions->InternalRelease();
}

void CXTPCommandBars::SetSite(CWnd* pSite)
{
    m_pSite = pSite;
    if (pSite != nullptr && pSite->GetSafeHwnd() != nullptr) {
        AFX_CMDHANDLERINFO info = {};
        m_bCustomizable = pSite->OnCmdMsg(XTP_ID_CUSTOMIZE, CN_COMMAND, this, &info);
    }
}

CFrameWnd* CXTPCommandBars::GetFrameSite() const
{
    return m_pSite != nullptr && m_pSite->IsFrameWnd() ? static_cast<CFrameWnd*>(m_pSite) : nullptr;
}

CXTPPaintManager* CXTPCommandBars::GetPaintManager() const
{
    return m_pPaintManager != nullptr ? m_pPaintManager : XTPPaintManager();
}

CXTPImageManager* CXTPCommandBars::GetImageManager() const
{
    return m_pImageManager != nullptr ? m_pImageManager : XTPImageManager();
}

void CXTPCommandBars::SetPaintManager(CXTPPaintManager* pPaintManager)
{
    if (m_pPaintManager != nullptr)
        m_pPaintManager->InternalRelease();
    m_pPaintManager = pPaintManager;
}

void CXTPCommandBars::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager != nullptr)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

void CXTPCommandBars::SetCustomizeMode(BOOL bMode)
{
    m_bCustomizeMode = bMode;
    SetCustomizeControl(nullptr);
    RecalcFrameLayout();
}

void CXTPCommandBars::SetCustomizeControl(CXTPControl* pControl)
{
    if (pControl == m_pCustomizeControl)
        return;
    CXTPControl* pOld = m_pCustomizeControl;
    m_pCustomizeControl = pControl;
    if (pControl != nullptr) {
        pControl->InternalAddRef();
        pControl->RedrawParent();
    }
    if (pOld != nullptr) {
        pOld->RedrawParent();
        pOld->InternalRelease();
    }
    SendCustomizeSelChange();
}

void CXTPCommandBars::SendCustomizeSelChange()
{
    CWnd* pTarget = m_pDropSource->m_pSheet != nullptr ? m_pDropSource->m_pSheet : m_pSite;
    if (pTarget != nullptr && pTarget->GetSafeHwnd() != nullptr)
        pTarget->SendMessage(WM_XTP_CUSTOMIZE_SELCHANGE);
}

BOOL CXTPCommandBars::IsCommandRarelyUsed(UINT nID) const
{
    BOOL bValue = FALSE;
    return m_pOptions->m_mapHiddenCommands.Lookup(nID, bValue) && !m_pOptions->m_mapUsedCommands.Lookup(nID, bValue);
}

UINT CXTPCommandBars::GetActiveDocTemplate()
{
    return 0;
}

void CXTPCommandBars::HideCommands(const UINT* pCommands, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        HideCommand(pCommands[i]);
}

void CXTPCommandBars::HideCommand(UINT nCommand)
{
    m_pOptions->m_mapHiddenCommands.SetAt(nCommand, TRUE);
}

void CXTPCommandBars::SetCommandUsed(UINT nCommand)
{
    if (IsCommandRarelyUsed(nCommand))
        m_pOptions->m_mapUsedCommands.SetAt(nCommand, TRUE);
}

void CXTPCommandBars::ResetUsageData()
{
    m_pOptions->m_mapUsedCommands.RemoveAll();
}

void CXTPCommandBars::RecalcFrameLayout(BOOL bDelay)
{
    CFrameWnd* pFrame = GetFrameSite();
    if (m_bRecalcLayout || pFrame == nullptr || pFrame->GetSafeHwnd() == nullptr)
        return;
    if (bDelay) {
        pFrame->DelayRecalcLayout(FALSE);
        return;
    }
    m_bRecalcLayout = TRUE;
    pFrame->RecalcLayout(FALSE);
    m_bRecalcLayout = FALSE;
}
