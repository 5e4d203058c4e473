#include "toolkit/taskpanel/XTPTaskPanelItems.h"

#include "framework/core/Exceptions.h"
#include "toolkit/taskpanel/XTPTaskPanel.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "toolkit/taskpanel/XTPTaskPanelItem.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPTaskPanelItems, CCmdTarget)

CXTPTaskPanelItems::CXTPTaskPanelItems(CXTPTaskPanel* pPanel, CCmdTarget* pOwner)
    : m_pPanel(pPanel), m_pOwner(pOwner), m_bReadComplete(TRUE)
{
}

CXTPTaskPanelItems::~CXTPTaskPanelItems()
{
    Clear(FALSE);
}

void CXTPTaskPanelItems::RepositionPanel(BOOL bAnimate) const
{
    if (m_pPanel)
        m_pPanel->Reposition(bAnimate);
}

void CXTPTaskPanelItems::Adopt(CXTPTaskPanelItem* pItem)
{
    pItem->m_pItems = this;
    pItem->m_pPanel = m_pPanel;
    if (CXTPTaskPanelGroup* pGroup = DYNAMIC_DOWNCAST(CXTPTaskPanelGroup, pItem)) {
        // A group read from an archive or moved in from elsewhere brings its items along.
        pGroup->m_pItems->m_pPanel = m_pPanel;
        for (int i = 0; i < pGroup->m_pItems->GetCount(); ++i)
            pGroup->m_pItems->GetAt(i)->m_pPanel = m_pPanel;
    }
}

void CXTPTaskPanelItems::Detach(CXTPTaskPanelItem* pItem)
{
    if (m_pPanel)
        m_pPanel->OnItemRemoved(pItem);
    pItem->m_pItems = nullptr;
    pItem->m_pPanel = nullptr;
    // A removed group that someone still holds must not call back into the panel when it dies.
    if (CXTPTaskPanelGroup* pGroup = DYNAMIC_DOWNCAST(CXTPTaskPanelGroup, pItem)) {
        pGroup->m_pItems->m_pPanel = nullptr;
        for (int i = 0; i < pGroup->m_pItems->GetCount(); ++i)
            pGroup->m_pItems->GetAt(i)->m_pPanel = nullptr;
    }
}

CXTPTaskPanelItem* CXTPTaskPanelItems::Add(CXTPTaskPanelItem* pItem, UINT_PTR nID)
{
    pItem->SetID(nID);
    m_arrItems.Add(pItem);
    Adopt(pItem);
    RepositionPanel(TRUE);
    return pItem;
}

CXTPTaskPanelItem* CXTPTaskPanelItems::InsertAt(int nIndex, CXTPTaskPanelItem* pItem)
{
    nIndex = std::max(0, std::min(nIndex, GetCount()));
    m_arrItems.InsertAt(nIndex, pItem);
    Adopt(pItem);
    RepositionPanel(TRUE);
    return pItem;
}

int CXTPTaskPanelItems::IndexOf(const CXTPTaskPanelItem* pItem) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_arrItems[i] == pItem)
            return i;
    return -1;
}

CXTPTaskPanelItem* CXTPTaskPanelItems::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    return static_cast<CXTPTaskPanelItem*>(m_arrItems[nIndex]);
}

void CXTPTaskPanelItems::Move(CXTPTaskPanelItem* pItem, int nIndex)
{
    const int nOld = IndexOf(pItem);
    if (nOld < 0 || nOld == nIndex)
        return;
    m_arrItems.RemoveAt(nOld);
    nIndex = std::max(0, std::min(nIndex, GetCount()));
    m_arrItems.InsertAt(nIndex, pItem);
    RepositionPanel(FALSE);
}

void CXTPTaskPanelItems::RemoveAt(int nIndex)
{
    CXTPTaskPanelItem* pItem = GetAt(nIndex);
    if (!pItem)
        return;
    Detach(pItem);
    m_arrItems.RemoveAt(nIndex);
    pItem->InternalRelease();
    RepositionPanel(TRUE);
}

void CXTPTaskPanelItems::Remove(CXTPTaskPanelItem* pItem)
{
    RemoveAt(IndexOf(pItem));
}

void CXTPTaskPanelItems::Clear(BOOL bReposition)
{
    // Taken out first, so that a release that reaches back into the collection finds it empty.
    CPtrArray arrItems;
    arrItems.Append(m_arrItems);
    m_arrItems.RemoveAll();
    for (INT_PTR i = 0; i < arrItems.GetSize(); ++i) {
        auto* pItem = static_cast<CXTPTaskPanelItem*>(arrItems[i]);
        Detach(pItem);
        pItem->InternalRelease();
    }
    if (bReposition)
        RepositionPanel(TRUE);
}

CXTPTaskPanelItem* CXTPTaskPanelItems::ReadItem(CArchive& ar, BOOL bObjectTag)
{
    UINT nSchema = 0;
    DWORD dwObTag = 0;
    CRuntimeClass* pClass = ar.ReadClass(RUNTIME_CLASS(CXTPTaskPanelItem), &nSchema, &dwObTag);
    // Items are stored once each: a reference to an earlier object is not an item here.
    if (!pClass || !pClass->m_pfnCreateObject)
        AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    auto* pItem = static_cast<CXTPTaskPanelItem*>(pClass->CreateObject());
    if (!pItem)
        AfxThrowMemoryException();
    try {
        if (bObjectTag)
            ar.MapObject(pItem);
        ar.SetObjectSchema(nSchema);
        pItem->Serialize(ar);
    } catch (...) {
        pItem->InternalRelease();
        throw;
    }
    return pItem;
}

void CXTPTaskPanelItems::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
        for (int i = 0; i < GetCount(); ++i)
            ar.WriteObject(GetAt(i));
        return;
    }
    Clear(FALSE);
    m_bReadComplete = FALSE;
    try {
        const DWORD_PTR nCount = ar.ReadCount();
        for (DWORD_PTR i = 0; i < nCount; ++i) {
            CXTPTaskPanelItem* pItem = ReadItem(ar, TRUE);
            m_arrItems.Add(pItem);
            Adopt(pItem);
        }
        m_bReadComplete = TRUE;
    } catch (CArchiveException* e) {
        e->Delete();
    } catch (COleException* e) {
        e->Delete();
    }
}
