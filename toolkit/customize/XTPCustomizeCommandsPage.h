// The Customize sheet's "&Commands" page: categories of commands, filled by the caller before the sheet runs, and
// the commands of the chosen one, which the user drags onto any bar of the frame (a copy lands there).
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

#include <vector>

class CXTPCommandBars;
class CXTPControls;
class CXTPCustomizeCommandsPage;
class CXTPCustomizeSheet;

// One category: its name and the controls it offers (originals the drags copy; never shown on a bar).
struct CXTPCustomizeCategory
{
    CXTPCustomizeCategory(LPCTSTR lpszName, CXTPCommandBars* pCommandBars);
    ~CXTPCustomizeCategory();
    CXTPCustomizeCategory(const CXTPCustomizeCategory&) = delete;
    CXTPCustomizeCategory& operator=(const CXTPCustomizeCategory&) = delete;

    CString m_strCategory;
    CXTPControls* m_pControls;
};

// The command list: owner-drawn by the bars' paint manager; a press on a command starts a copy drag.
class CXTPCustomizeCommandsListBox : public CListBox
{
public:
    explicit CXTPCustomizeCommandsListBox(CXTPCustomizeCommandsPage* pPage) : m_pPage(pPage) {}

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    // The entry height of the paint manager.
    int GetEntryHeight() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonDown(UINT nFlags, CPoint point);
    void Paint();

    CXTPCustomizeCommandsPage* m_pPage;
};

class CXTPCustomizeCommandsPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CXTPCustomizeCommandsPage)

public:
    explicit CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet = nullptr);
    ~CXTPCustomizeCommandsPage() override;

    // ---- Filling, before the sheet runs; an index of -1 means at the end.
    // Each top-level submenu of the menu becomes (or joins) the category named by its text.
    BOOL AddCategories(UINT nIDResource, BOOL bListSubItems = FALSE);
    // A copy of every control of every category present now.
    void InsertAllCommandsCategory(UINT nIDString, int nIndex = -1);
    // One popup control per top-level menu of the menu resource.
    BOOL InsertBuiltInMenus(UINT nIDResourceMenu, UINT nIDString, int nIndex = -1);
    // An empty menu that becomes a new menu where the user drops it.
    void InsertNewMenuCategory(UINT nIDString, int nIndex = -1);
    // The category of that exact name, created at nIndex when there is none.
    CXTPControls* GetControls(LPCTSTR lpszCategory, int nIndex = -1);
    CXTPCustomizeCategory* FindCategory(LPCTSTR lpszCategory) const;
    int GetCategoryCount() const { return static_cast<int>(m_arrCategories.size()); }
    CXTPCustomizeCategory* GetCategory(int nIndex) const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnCategoriesSelectionChanged();

    CXTPCustomizeSheet* GetSheet() const { return m_pSheet; }
    CXTPCommandBars* GetCommandBars() const;

    CXTPCustomizeCommandsListBox m_lstCommands;
    CListBox m_lstCategories;

protected:
    void AddCategory(LPCTSTR lpszName, CMenu* pSubMenu, BOOL bListSubItems);
    CXTPCustomizeCategory* InsertCategory(LPCTSTR lpszName, int nIndex);

    CXTPCustomizeSheet* m_pSheet;
    std::vector<CXTPCustomizeCategory*> m_arrCategories;

    DECLARE_MESSAGE_MAP()
};
