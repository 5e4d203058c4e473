// The "&Options" page the program adds to the Customize sheet: five options of the command bars and the menu
// animation, each applied the moment it changes, and the reset of the record of used commands.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

class CXTPCommandBars;
class CXTPCustomizeSheet;

class CXTPCustomizeOptionsPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CXTPCustomizeOptionsPage)

public:
    explicit CXTPCustomizeOptionsPage(CXTPCustomizeSheet* pSheet);
    ~CXTPCustomizeOptionsPage() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnCheckFullMenus();
    afx_msg void OnCheckAfterDelay();
    afx_msg void OnCheckLargeIcons();
    afx_msg void OnCheckScreenTips();
    afx_msg void OnCheckShortcuts();
    afx_msg void OnAnimationChanged();
    afx_msg void OnResetData();

    BOOL m_bAlwaysShowFullMenus;
    BOOL m_bShowFullAfterDelay;
    BOOL m_bLargeIcons;
    BOOL m_bToolBarScreenTips;
    BOOL m_bToolBarAccelTips;
    CComboBox m_comboAnimation;
    int m_nAnimationType;
    CXTPCustomizeSheet* m_pSheet;

protected:
    CXTPCommandBars* GetCommandBars() const;
    void EnableDependents();
    DECLARE_MESSAGE_MAP()
};
