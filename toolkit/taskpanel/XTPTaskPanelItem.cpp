#include "toolkit/taskpanel/XTPTaskPanelItem.h"

#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "framework/win/Dc.h"
#include "framework/win/OleDragDrop.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelItems.h"

IMPLEMENT_DYNCREATE(CXTPTaskPanelItem, CCmdTarget)

CXTPTaskPanelItem::CXTPTaskPanelItem()
    : m_pPanel(nullptr), m_nID(0), m_nType(TaskPanelItemLink), m_pItems(nullptr), m_nIconIndex(-1), m_bEnabled(TRUE),
      m_bAllowDrop(TRUE), m_bAllowDrag(TRUE), m_rcText(0, 0, 0, 0), m_nTextFormat(0), m_dwData(0)
{
}

CXTPTaskPanelItem::~CXTPTaskPanelItem() = default;

BOOL CXTPTaskPanelItem::IsItemHot() const
{
    return m_bEnabled && m_pPanel && m_pPanel->GetHotItem() == this;
}

BOOL CXTPTaskPanelItem::IsItemFocused() const
{
    return m_bEnabled && m_pPanel && m_pPanel->GetFocusedItem() == this;
}

BOOL CXTPTaskPanelItem::IsItemPressed() const
{
    return m_pPanel && m_pPanel->GetPressedItem() == this;
}

BOOL CXTPTaskPanelItem::IsItemDragging() const
{
    return m_pPanel && m_pPanel->GetDraggedItem() == this;
}

BOOL CXTPTaskPanelItem::IsItemDragOver() const
{
    return m_pPanel && m_pPanel->GetDropTargetItem() == this;
}

void CXTPTaskPanelItem::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled != bEnabled) {
        m_bEnabled = bEnabled;
        RedrawPanel();
    }
}

void CXTPTaskPanelItem::SetID(UINT_PTR nID)
{
    m_nID = nID;
    // Larger ids are the owner's data (addresses): there is no string to load.
    if (nID == 0 || nID > 0xFFFF)
        return;
    CString strText;
    strText.LoadString(static_cast<UINT>(nID));
    const int nNewLine = strText.Find(L'\n');
    if (nNewLine >= 0) {
        m_strCaption = strText.Left(nNewLine);
        m_strTooltip = strText.Mid(nNewLine + 1);
    } else {
        m_strCaption = strText;
        m_strTooltip.Empty();
    }
}

void CXTPTaskPanelItem::SetType(int nType)
{
    m_nType = nType;
    RepositionPanel();
}

void CXTPTaskPanelItem::SetCaption(LPCTSTR lpszCaption)
{
    const CString strCaption(lpszCaption ? lpszCaption : L"");
    if (strCaption != m_strCaption) {
        m_strCaption = strCaption;
        RepositionPanel();
    }
}

void CXTPTaskPanelItem::SetIconIndex(int nIndex)
{
    if (m_nIconIndex != nIndex) {
        m_nIconIndex = nIndex;
        RedrawPanel();
    }
}

CXTPImageManagerIcon* CXTPTaskPanelItem::GetImage(int nWidth) const
{
    if (m_nIconIndex < 0)
        return nullptr;
    CXTPImageManager* pImageManager = m_pPanel ? m_pPanel->GetImageManager() : XTPImageManager();
    return pImageManager ? pImageManager->GetImage(static_cast<UINT>(m_nIconIndex), nWidth) : nullptr;
}

int CXTPTaskPanelItem::GetIndex() const
{
    return m_pItems ? m_pItems->IndexOf(this) : -1;
}

CXTPTaskPanelPaintManager* CXTPTaskPanelItem::GetPaintManager() const
{
    return m_pPanel ? m_pPanel->GetPaintManager() : nullptr;
}

BOOL CXTPTaskPanelItem::IsAcceptFocus() const
{
    return (m_nType == TaskPanelItemGroup || m_nType == TaskPanelItemLink) && m_bEnabled;
}

CXTPTaskPanelGroup* CXTPTaskPanelItem::GetItemGroup() const
{
    return DYNAMIC_DOWNCAST(CXTPTaskPanelGroup, const_cast<CXTPTaskPanelItem*>(this));
}

BOOL CXTPTaskPanelItem::IsAllowDrop() const
{
    const CXTPTaskPanelGroup* pGroup = GetItemGroup();
    return m_bAllowDrop && (!pGroup || pGroup->m_bAllowDrop) && m_pPanel && m_pPanel->IsAllowDrop();
}

BOOL CXTPTaskPanelItem::IsAllowDrag() const
{
    const CXTPTaskPanelGroup* pGroup = GetItemGroup();
    return m_bAllowDrag && (!pGroup || pGroup->m_bAllowDrag) && m_pPanel && m_pPanel->IsAllowDrag();
}

void CXTPTaskPanelItem::RedrawPanel() const
{
    if (m_pPanel && m_pPanel->GetSafeHwnd() && !m_pPanel->IsLockRedraw())
        m_pPanel->Invalidate(FALSE);
}

void CXTPTaskPanelItem::RepositionPanel() const
{
    if (m_pPanel)
        m_pPanel->Reposition(TRUE);
}

void CXTPTaskPanelItem::SetTextRect(CDC* pDC, const CRect& rc, UINT nFormat)
{
    CRect rcText(rc);
    const UINT nMeasure = (nFormat | DT_CALCRECT) & ~static_cast<UINT>(DT_VCENTER | DT_END_ELLIPSIS);
    pDC->DrawText(m_strCaption.IsEmpty() ? CString(L" ") : m_strCaption, &rcText, nMeasure);
    const int nHeight = rcText.Height();
    m_rcText.left = rc.left;
    m_rcText.right = rc.right;
    m_rcText.top = (nFormat & DT_VCENTER) ? rc.top + (rc.Height() - nHeight) / 2 : rc.top;
    m_rcText.bottom = m_rcText.top + nHeight;
    m_nTextFormat = nFormat;
}

void CXTPTaskPanelItem::Remove()
{
    if (m_pItems)
        m_pItems->Remove(this);
}

CLIPFORMAT CXTPTaskPanelItem::GetClipboardFormat()
{
    static const CLIPFORMAT cfItem = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"TaskPanelGroupItem"));
    return cfItem;
}

HGLOBAL CXTPTaskPanelItem::CopyToGlobalMemory()
{
    CSharedFile file(GMEM_MOVEABLE | GMEM_SHARE, 4096);
    try {
        CArchive ar(&file, CArchive::store);
        ar.m_pDocument = m_pPanel;
        ar.WriteClass(GetRuntimeClass());
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        // Archive, OLE and memory errors alike: no block.
        e->Delete();
        return nullptr;
    }
    return file.Detach();
}

BOOL CXTPTaskPanelItem::PrepareDrag(COleDataSource& source)
{
    HGLOBAL hGlobal = CopyToGlobalMemory();
    if (!hGlobal)
        return FALSE;
    source.CacheGlobalData(GetClipboardFormat(), hGlobal);
    return TRUE;
}

CXTPTaskPanelItem* CXTPTaskPanelItem::CreateFromOleData(COleDataObject* pDataObject, CXTPTaskPanel* pPanel)
{
    if (!pDataObject)
        return nullptr;
    CFile* pFile = pDataObject->GetFileData(GetClipboardFormat());
    if (!pFile)
        return nullptr;
    CXTPTaskPanelItem* pItem = nullptr;
    try {
        CArchive ar(pFile, CArchive::load);
        ar.m_pDocument = pPanel;
        pItem = CXTPTaskPanelItems::ReadItem(ar, FALSE);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        pItem = nullptr;
    }
    delete pFile;
    return pItem;
}

void CXTPTaskPanelItem::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        // The field keeps its 32 bits: an id that does not fit (an address) means nothing outside this process
        // and is stored as 0.
        const DWORD dwID = m_nID <= 0xFFFFFFFFu ? static_cast<DWORD>(m_nID) : 0;
        ar << m_strCaption << m_strTooltip << dwID << static_cast<WORD>(m_nType) << m_nIconIndex << m_bEnabled
           << m_bAllowDrag << m_bAllowDrop;
        return;
    }
    const UINT nSchema = ar.GetObjectSchema();
    if (nSchema != static_cast<UINT>(-1) && (nSchema < TaskPanelSchemaFirst || nSchema > TaskPanelSchemaCurrent))
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    // Derived classes may read it too.
    ar.SetObjectSchema(nSchema);

    m_pPanel = static_cast<CXTPTaskPanel*>(ar.m_pDocument);
    DWORD dwID = 0;
    WORD wType = 0;
    ar >> m_strCaption >> m_strTooltip >> dwID >> wType >> m_nIconIndex >> m_bEnabled >> m_bAllowDrag >> m_bAllowDrop;
    m_nID = dwID;
    m_nType = wType;
}
