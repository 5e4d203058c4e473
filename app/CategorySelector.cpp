#include "app/CategorySelector.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "app/PaneSite.h"
#include "framework/win/CmdTarget.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/taskpanel/XTPTaskPanelGroup.h"
#include "views/FeedTaskPanel.h"

namespace {

const int kInitialWidth = 350;
const int kWidthMargin = 35;

// Groups of the pane that are not categories.
bool IsFixedGroup(const CXTPTaskPanelGroup* pGroup)
{
    const UINT_PTR id = pGroup->GetID();
    return id == IDS_OFFERS || id == IDS_QUICK_FILTER_GROUP || id == IDS_WEATHER;
}

} // namespace

CCategorySelector::CCategorySelector(CMainFrame& frame) : m_frame(frame) {}

CCategorySelector::~CCategorySelector()
{
    if (m_pCombo)
        m_pCombo->InternalRelease();
}

LRESULT CCategorySelector::OnCreateControl(XTP_COMMANDBARS_CREATECONTROL* pCreate)
{
    if (!pCreate || !pCreate->pCommandBar)
        return 0;
    const UINT barId = pCreate->pCommandBar->GetBarID();
    if (pCreate->nID == ID_SHOW_CATEGORIES && barId == IDR_CATEGORIES_BAR) {
        auto* combo = new CXTPControlComboBox;
        combo->SetEditable(TRUE);
        combo->SetWidth(kInitialWidth);
        combo->SetCaption(L"Show Categories");
        combo->InternalAddRef();
        if (m_pCombo)
            m_pCombo->InternalRelease();
        m_pCombo = combo;
        m_listed.clear();
        pCreate->pControl = combo;
        return TRUE;
    }
    if (pCreate->nID == ID_QUICK_FILTER && barId == IDR_MAINFRAME) {
        pCreate->buttonStyle = xtpButtonIconAndCaption;
        return 0;
    }
    return 0;
}

std::vector<CString> CCategorySelector::Captions() const
{
    std::vector<CString> captions{L"All"};
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    if (!pane || !pane->GetSafeHwnd())
        return captions;
    for (int i = 0; i < pane->GetGroupCount(); ++i) {
        CXTPTaskPanelGroup* group = pane->GetAt(i);
        if (!IsFixedGroup(group))
            captions.push_back(group->GetCaption());
    }
    return captions;
}

void CCategorySelector::Fill(const std::vector<CString>& captions)
{
    HWND list = m_pCombo ? m_pCombo->GetListWindow() : nullptr;
    if (!list)
        return;
    const CString chosen = m_pCombo->GetCurSel() > 0 ? m_pCombo->GetListText() : CString();
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int select = 0;
    for (size_t i = 0; i < captions.size(); ++i) {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(captions[i].GetString()));
        if (i > 0 && !chosen.IsEmpty() && captions[i] == chosen)
            select = static_cast<int>(i);
    }
    m_pCombo->SetCurSel(select);
    m_pCombo->OnSelChanged();
    m_listed = captions;
}

void CCategorySelector::Update(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    if (!m_pCombo)
        return;
    const std::vector<CString> captions = Captions();
    if (captions != m_listed)
        Fill(captions);
}

void CCategorySelector::OnSelected(tagNMHDR* pNMHDR, LRESULT* pResult)
{
    auto* notice = reinterpret_cast<NMXTPCONTROL*>(pNMHDR);
    auto* combo = DYNAMIC_DOWNCAST(CXTPControlComboBox, notice->pControl);
    if (!combo || combo->GetType() != xtpControlComboBox)
        return;
    CFeedTaskPanel* pane = m_frame.PaneSite().GetNavigationPane();
    if (pane && pane->GetSafeHwnd()) {
        const int selected = combo->GetCurSel();
        const CString text = combo->GetListText();
        const CString offers = LoadResourceString(IDS_OFFERS);
        for (int i = 0; i < pane->GetGroupCount(); ++i) {
            CXTPTaskPanelGroup* group = pane->GetAt(i);
            const CString& caption = group->GetCaption();
            group->SetExpanded(selected <= 0 || caption == text || caption == offers);
        }
        m_frame.PaneSite().StoreGroupStates();
    }
    *pResult = 1;
}

void CCategorySelector::OnSize(int cx)
{
    if (!m_pCombo)
        return;
    m_pCombo->SetWidth(cx - kWidthMargin);
    if (CXTPCommandBar* bar = m_pCombo->GetParent())
        bar->OnRecalcLayout();
}
