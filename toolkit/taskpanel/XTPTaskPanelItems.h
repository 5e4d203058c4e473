// The ordered collection of a panel's groups or of a group's items. It holds one reference on each item.
#pragma once

#include "framework/core/Archive.h"
#include "framework/core/Collections.h"
#include "framework/win/CmdTarget.h"

#include <windows.h>

class CXTPTaskPanel;
class CXTPTaskPanelItem;

class CXTPTaskPanelItems : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPTaskPanelItems)

public:
    // pOwner: the group that owns the collection, or the panel for its groups.
    CXTPTaskPanelItems(CXTPTaskPanel* pPanel, CCmdTarget* pOwner);
    ~CXTPTaskPanelItems() override;

    // Takes over the creator's reference of the item.
    CXTPTaskPanelItem* Add(CXTPTaskPanelItem* pItem, UINT_PTR nID);
    CXTPTaskPanelItem* InsertAt(int nIndex, CXTPTaskPanelItem* pItem);
    // Nothing when the item is absent or at the index already; the index counts after the item is taken out.
    void Move(CXTPTaskPanelItem* pItem, int nIndex);
    void RemoveAt(int nIndex);
    void Remove(CXTPTaskPanelItem* pItem);
    void Clear(BOOL bReposition = TRUE);

    int IndexOf(const CXTPTaskPanelItem* pItem) const;
    CXTPTaskPanelItem* GetAt(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_arrItems.GetSize()); }
    CCmdTarget* GetOwner() const { return m_pOwner; }
    CXTPTaskPanel* GetTaskPanel() const { return m_pPanel; }

    // Loading replaces the items; archive and OLE errors end the read with the items read so far, and the
    // collection then reports itself incomplete.
    void Serialize(CArchive& ar) override;
    BOOL IsReadComplete() const { return m_bReadComplete; }

    // Reads one item stored with its run-time class; a half-built item is released before the error goes on.
    static CXTPTaskPanelItem* ReadItem(CArchive& ar, BOOL bObjectTag);

private:
    void Adopt(CXTPTaskPanelItem* pItem);
    // Cuts an item loose from this collection and from the panel (its own items too, for a group).
    void Detach(CXTPTaskPanelItem* pItem);
    void RepositionPanel(BOOL bAnimate) const;

    CXTPTaskPanel* m_pPanel;
    CPtrArray m_arrItems;
    CCmdTarget* m_pOwner;
    BOOL m_bReadComplete;

    friend class CXTPTaskPanel;
    friend class CXTPTaskPanelGroup;
};
