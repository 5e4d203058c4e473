// Customising the frame's bars: the Customize sheet with the program's Options page and the command categories of
// the frame's menu. What the user changes is held by the command bars and saved with their layout at shut-down.
#pragma once

class CCmdUI;
class CMainFrame;
class CXTPCustomizeSheet;

class CBarCustomizing
{
public:
    explicit CBarCustomizing(CMainFrame& frame);
    CBarCustomizing(const CBarCustomizing&) = delete;
    CBarCustomizing& operator=(const CBarCustomizing&) = delete;

    // Runs the sheet modally; nothing when the frame has no command bars.
    void OnCustomize();
    void OnUpdateCustomize(CCmdUI* pCmdUI) const;

    // Fills the sheet's Commands page as the frame offers it: the menu's categories, "All Commands",
    // "Built-in Menus" and "New Menu".
    static void FillCommands(CXTPCustomizeSheet& sheet);

private:
    CMainFrame& m_frame;
};
