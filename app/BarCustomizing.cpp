#include "app/BarCustomizing.h"
#include "res/resource.h"

#include "app/MainFrm.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeCommandsPage.h"
#include "toolkit/customize/XTPCustomizeOptionsPage.h"
#include "toolkit/customize/XTPCustomizeSheet.h"

CBarCustomizing::CBarCustomizing(CMainFrame& frame) : m_frame(frame) {}

void CBarCustomizing::FillCommands(CXTPCustomizeSheet& sheet)
{
    CXTPCustomizeCommandsPage* pCommands = sheet.GetCommandsPage();
    pCommands->AddCategories(IDR_MAINFRAME, FALSE);
    pCommands->InsertAllCommandsCategory(XTP_IDS_ALLCOMMANDS, -1);
    pCommands->InsertBuiltInMenus(IDR_MAINFRAME, XTP_IDS_BUILTINMENUS, -1);
    pCommands->InsertNewMenuCategory(XTP_IDS_NEWMENU, -1);
}

void CBarCustomizing::OnCustomize()
{
    CXTPCommandBars* pCommandBars = m_frame.GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    CXTPCustomizeSheet sheet(pCommandBars);
    CXTPCustomizeOptionsPage options(&sheet);
    sheet.AddPage(&options);
    FillCommands(sheet);
    sheet.DoModal();
}

void CBarCustomizing::OnUpdateCustomize(CCmdUI* pCmdUI) const
{
    pCmdUI->Enable(m_frame.GetCommandBars() != nullptr && CXTPCustomizeSheet::GetRunningSheet() == nullptr);
}
