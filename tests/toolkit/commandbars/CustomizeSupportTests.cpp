// What customising needs of the command bars beneath it: the options in their archive form (a short archive
// changes nothing), and the docking flags a toolbar keeps through a copy and through its archive.
#include "toolkit/commandbars/XTPCommandBars.h"

#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"
#include "framework/core/File.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

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

// Reads the bytes into the options; false when the archive was refused.
bool Load(CXTPCommandBarsOptions* pOptions, const std::string& bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        pOptions->Serialize(ar);
    } catch (CArchiveException* e) {
        e->Delete();
        return false;
    }
    return true;
}

TEST(CommandBarsOptionsArchive, RoundTripsEveryFieldAndAShortArchiveChangesNothing)
{
    CXTPCommandBars* pSource = new CXTPCommandBars;
    CXTPCommandBarsOptions* pOptions = pSource->GetCommandBarsOptions();
    pOptions->bAlwaysShowFullMenus = FALSE;
    pOptions->bShowFullAfterDelay = FALSE;
    pOptions->bToolBarScreenTips = FALSE;
    pOptions->bToolBarAccelTips = TRUE;
    pOptions->bLargeIcons = TRUE;
    pOptions->bSyncFloatingBars = FALSE;
    pOptions->bShowExpandButtonAlways = FALSE;
    pOptions->szIcons = CSize(20, 18);
    pOptions->szLargeIcons = CSize(40, 36);
    pSource->HideCommand(1234);
    XTP_COMMANDBARS_ICONSOPTIONS* pIcons = pSource->GetPaintManager()->GetIconOptions();
    const XTP_COMMANDBARS_ICONSOPTIONS savedIcons = *pIcons;
    *pIcons = {TRUE, FALSE, TRUE};
    CMemFile file(256);
    {
        CArchive ar(&file, CArchive::store);
        pOptions->Serialize(ar);
        ar.Close();
    }
    const std::string bytes = Bytes(file);
    // Schema 7 first, then the seven flags and the two sizes as 32-bit values.
    ASSERT_GE(bytes.size(), 4u * 12);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x07\0\0\0", 4));
    EXPECT_EQ(bytes.substr(28, 4), std::string("\0\0\0\0", 4)) << "always show expand button";
    EXPECT_EQ(bytes.substr(32, 4), std::string("\x14\0\0\0", 4)) << "icon width";
    *pIcons = savedIcons;
    pSource->InternalRelease();

    CXTPCommandBars* pTarget = new CXTPCommandBars;
    CXTPCommandBarsOptions* pLoaded = pTarget->GetCommandBarsOptions();
    // Cut short inside the hidden commands: refused, nothing taken.
    EXPECT_FALSE(Load(pLoaded, bytes.substr(0, bytes.size() - 14)));
    EXPECT_TRUE(pLoaded->bAlwaysShowFullMenus);
    EXPECT_FALSE(pLoaded->bLargeIcons);
    EXPECT_EQ(pLoaded->szIcons, CSize(0, 0));

    ASSERT_TRUE(Load(pLoaded, bytes));
    EXPECT_FALSE(pLoaded->bAlwaysShowFullMenus);
    EXPECT_FALSE(pLoaded->bShowFullAfterDelay);
    EXPECT_FALSE(pLoaded->bToolBarScreenTips);
    EXPECT_TRUE(pLoaded->bToolBarAccelTips);
    EXPECT_TRUE(pLoaded->bLargeIcons);
    EXPECT_FALSE(pLoaded->bSyncFloatingBars);
    EXPECT_FALSE(pLoaded->bShowExpandButtonAlways);
    EXPECT_EQ(pLoaded->szIcons, CSize(20, 18));
    EXPECT_EQ(pLoaded->szLargeIcons, CSize(40, 36));
    EXPECT_TRUE(pTarget->IsCommandRarelyUsed(1234));
    const XTP_COMMANDBARS_ICONSOPTIONS* pLoadedIcons = pTarget->GetPaintManager()->GetIconOptions();
    EXPECT_TRUE(pLoadedIcons->bUseFadedIcons);
    EXPECT_FALSE(pLoadedIcons->bUseDisabledIcons);
    EXPECT_TRUE(pLoadedIcons->bIconsWithShadow);
    *pTarget->GetPaintManager()->GetIconOptions() = savedIcons;
    pTarget->InternalRelease();
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

} // namespace
