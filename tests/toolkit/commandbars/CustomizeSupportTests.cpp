// What customising needs of the command bars beneath it: the docking flags a toolbar keeps through a copy and
// through its archive.
#include "toolkit/commandbars/XTPToolBar.h"

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

} // namespace
