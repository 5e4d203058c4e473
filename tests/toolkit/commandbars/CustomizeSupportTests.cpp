// What customising needs of the command bars beneath it: the docking flags a toolbar keeps through a copy and
// through its archive, and drops that would put a popup inside itself.
#include "toolkit/commandbars/XTPToolBar.h"

#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"

#include "framework/core/Archive.h"
#include "framework/core/File.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(CMemFile& file)
{
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return bytes;
}

TEST(ToolBarDockingFlags, SurviveACloneAndTheArchive)
{
    auto* pToolBar = new CXTPToolBar;
    pToolBar->EnableDocking(0x15);
    pToolBar->SetTitle(L"Mine");
    CXTPCommandBar* pClone = pToolBar->Clone();
    EXPECT_EQ(static_cast<CXTPToolBar*>(pClone)->GetEnableDocking(), 0x15u);
    pClone->InternalRelease();

    CMemFile file(256);
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(pToolBar);
        ar.Close();
    }
    pToolBar->InternalRelease();
    const std::string bytes = Bytes(file);
    CMemFile in(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    CArchive ar(&in, CArchive::load);
    auto* pLoaded = DYNAMIC_DOWNCAST(CXTPToolBar, ar.ReadObject(RUNTIME_CLASS(CXTPToolBar)));
    ASSERT_NE(pLoaded, nullptr);
    EXPECT_EQ(pLoaded->GetEnableDocking(), 0x15u);
    EXPECT_EQ(pLoaded->GetTitle(), L"Mine");
    pLoaded->InternalRelease();
}

// A toolbar with two menus; the first holds a submenu.
struct PopupTree
{
    PopupTree()
    {
        pToolBar = new CXTPToolBar;
        pFirst = AddPopup(pToolBar, pFirstBar);
        pSecond = AddPopup(pToolBar, pSecondBar);
        pFirstBar->GetControls()->AddByType(xtpControlButton, 100);
        pInner = AddPopup(pFirstBar, pInnerBar);
    }
    ~PopupTree() { pToolBar->InternalRelease(); }
    PopupTree(const PopupTree&) = delete;
    PopupTree& operator=(const PopupTree&) = delete;

    static CXTPControlPopup* AddPopup(CXTPCommandBar* pParent, CXTPPopupBar*& pBar)
    {
        auto* pControl = static_cast<CXTPControlPopup*>(pParent->GetControls()->AddByType(xtpControlPopup, 0));
        pBar = CXTPPopupBar::CreatePopupBar(nullptr);
        // The control takes over the new bar's reference.
        pControl->SetCommandBar(pBar);
        return pControl;
    }

    CXTPToolBar* pToolBar = nullptr;
    CXTPControlPopup* pFirst = nullptr;
    CXTPControlPopup* pSecond = nullptr;
    CXTPControlPopup* pInner = nullptr;
    CXTPPopupBar* pFirstBar = nullptr;
    CXTPPopupBar* pSecondBar = nullptr;
    CXTPPopupBar* pInnerBar = nullptr;
};

TEST(CustomizeDropTargets, APopupIsRefusedInsideItselfAndWelcomeElsewhere)
{
    PopupTree tree;
    struct Case
    {
        const char* name;
        CXTPControlPopup* pDragged;
        CXTPCommandBar* pTarget;
        bool bAccepted;
    };
    const Case cases[] = {
        {"menu into its own popup", tree.pFirst, tree.pFirstBar, false},
        {"menu into its submenu", tree.pFirst, tree.pInnerBar, false},
        {"submenu into itself", tree.pInner, tree.pInnerBar, false},
        {"menu onto its own toolbar", tree.pFirst, tree.pToolBar, true},
        {"menu into the other menu", tree.pFirst, tree.pSecondBar, true},
        {"submenu into the menu holding it", tree.pInner, tree.pFirstBar, true},
        {"the other menu into the submenu", tree.pSecond, tree.pInnerBar, true},
    };
    for (const Case& c : cases) {
        DROPEFFECT effect = static_cast<DROPEFFECT>(-1);
        EXPECT_EQ(c.pDragged->IsCustomizeDragOverAvail(c.pTarget, CPoint(1, 1), effect) != FALSE, c.bAccepted)
            << c.name;
        if (!c.bAccepted) {
            EXPECT_EQ(effect, static_cast<DROPEFFECT>(DROPEFFECT_NONE)) << c.name;
        }
    }
}

TEST(CustomizeDropTargets, ADropIntoItselfLeavesEveryBarAsItWas)
{
    PopupTree tree;
    const int nFirst = tree.pFirstBar->GetControlCount();
    const int nInner = tree.pInnerBar->GetControlCount();
    DROPEFFECT effect = DROPEFFECT_MOVE;
    tree.pFirstBar->OnCustomizeDrop(tree.pFirst, effect, CPoint(0, 0), CPoint(2, 2));
    EXPECT_EQ(effect, static_cast<DROPEFFECT>(XTP_DROPEFFECT_STAY)) << "the source keeps the control";
    effect = DROPEFFECT_COPY;
    tree.pInnerBar->OnCustomizeDrop(tree.pFirst, effect, CPoint(0, 0), CPoint(2, 2));
    EXPECT_EQ(effect, static_cast<DROPEFFECT>(XTP_DROPEFFECT_STAY));
    EXPECT_EQ(tree.pFirstBar->GetControlCount(), nFirst);
    EXPECT_EQ(tree.pInnerBar->GetControlCount(), nInner);
    EXPECT_EQ(tree.pToolBar->GetControl(0), tree.pFirst);
}

} // namespace
