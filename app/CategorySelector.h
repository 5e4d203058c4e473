// The "Show Categories" combo box of the "Categories Selector" toolbar, which the frame makes when the command bars
// ask for it: it lists the pane's categories, and choosing one opens that group and folds the others.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/core/AfxString.h"

class CCmdUI;
class CMainFrame;
class CXTPControlComboBox;
struct XTP_COMMANDBARS_CREATECONTROL;
struct tagNMHDR;

class CCategorySelector
{
public:
    explicit CCategorySelector(CMainFrame& frame);
    ~CCategorySelector();
    CCategorySelector(const CCategorySelector&) = delete;
    CCategorySelector& operator=(const CCategorySelector&) = delete;

    // The command bars ask for a control they are building: the selector on its bar, the main bar's quick filter
    // button with its caption. Non-zero when the request was answered.
    LRESULT OnCreateControl(XTP_COMMANDBARS_CREATECONTROL* pCreate);
    // A line was chosen.
    void OnSelected(tagNMHDR* pNMHDR, LRESULT* pResult);
    // At idle: enabled, its list following the pane's groups.
    void Update(CCmdUI* pCmdUI);
    // The frame's new width.
    void OnSize(int cx);

    CXTPControlComboBox* GetCombo() const { return m_pCombo; }
    // "All" and the captions of the pane's category groups, in the pane's order.
    std::vector<CString> Captions() const;

private:
    void Fill(const std::vector<CString>& captions);

    CMainFrame& m_frame;
    CXTPControlComboBox* m_pCombo = nullptr; // a reference held
    std::vector<CString> m_listed;
};
