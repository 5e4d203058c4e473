// Command routing through message maps, update handlers and reference counts, without windows.
#include "framework/Afx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

class CBaseTarget : public CCmdTarget
{
public:
    void OnBaseOnly() { g_calls.push_back("base-only"); }
    void OnShared() { g_calls.push_back("base-shared"); }
    void OnUpdateBase(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
ON_COMMAND(100, OnBaseOnly)
ON_COMMAND(101, OnShared)
ON_UPDATE_COMMAND_UI(101, OnUpdateBase)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget
{
public:
    void OnShared() { g_calls.push_back("derived-shared"); }
    void OnCallBase() { g_calls.push_back("derived-calls-base"); }
    void OnRange(UINT nID) { g_calls.push_back("range-" + std::to_string(nID)); }
    BOOL OnMaybe(UINT nID)
    {
        g_calls.push_back("maybe-" + std::to_string(nID));
        return m_bTakeMaybe;
    }
    void OnClick(NMHDR* pNMHDR, LRESULT* pResult)
    {
        g_calls.push_back("notify-" + std::to_string(pNMHDR->idFrom));
        *pResult = 77;
    }
    BOOL OnClickEx(UINT nID, NMHDR*, LRESULT*)
    {
        g_calls.push_back("notify-ex-" + std::to_string(nID));
        return FALSE;
    }
    void OnUpdateRange(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    void OnUpdatePassOn(CCmdUI* pCmdUI) { pCmdUI->ContinueRouting(); }

    BOOL m_bTakeMaybe = TRUE;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_COMMAND(101, OnShared)
ON_COMMAND(102, CBaseTarget::OnShared)
ON_COMMAND_RANGE(200, 210, OnRange)
ON_COMMAND_EX(300, OnMaybe)
ON_NOTIFY(NM_CLICK, 400, OnClick)
ON_NOTIFY_EX_RANGE(NM_DBLCLK, 400, 410, OnClickEx)
ON_UPDATE_COMMAND_UI_RANGE(200, 205, OnUpdateRange)
ON_UPDATE_COMMAND_UI(300, OnUpdatePassOn)
END_MESSAGE_MAP()

// Records what update handlers asked for instead of touching a window.
class CRecordingCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_enabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { m_check = nCheck; }

    int m_enabled = -1;
    int m_check = -1;
};

struct CommandCase
{
    UINT id;
    BOOL handled;
    const char* call; // nullptr: no handler may run
};

TEST(CmdTargetRouting, CommandsReachTheMostDerivedHandlerAndFallBackToBaseEntries)
{
    const CommandCase cases[] = {
        {100, TRUE, "base-only"},      // only the base map has it
        {101, TRUE, "derived-shared"}, // the derived entry hides the base one
        {102, TRUE, "base-shared"},    // a qualified name calls the base handler directly
        {200, TRUE, "range-200"},      // first id of a range
        {210, TRUE, "range-210"},      // last id of a range
        {211, FALSE, nullptr},         // just past the range
        {300, TRUE, "maybe-300"},      // an _EX handler that takes it
        {999, FALSE, nullptr},         // nobody
    };
    CDerivedTarget target;
    for (const CommandCase& c : cases) {
        g_calls.clear();
        EXPECT_EQ(c.handled, target.OnCmdMsg(c.id, CN_COMMAND, nullptr, nullptr)) << c.id;
        if (c.call == nullptr) {
            EXPECT_TRUE(g_calls.empty()) << c.id;
        } else {
            ASSERT_EQ(1u, g_calls.size()) << c.id;
            EXPECT_EQ(c.call, g_calls[0]) << c.id;
        }
    }

    g_calls.clear();
    target.m_bTakeMaybe = FALSE;
    EXPECT_FALSE(target.OnCmdMsg(300, CN_COMMAND, nullptr, nullptr)) << "an _EX handler may decline";
    EXPECT_EQ(std::vector<std::string>{"maybe-300"}, g_calls);
}

TEST(CmdTargetRouting, HandlerInfoOnlyReportsWhetherAHandlerExists)
{
    CDerivedTarget target;
    g_calls.clear();
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(&target, info.pTarget);
    ASSERT_NE(nullptr, info.pEntry);
    EXPECT_EQ(100u, info.pEntry->nID);
    EXPECT_TRUE(target.OnCmdMsg(300, CN_COMMAND, nullptr, &info)) << "an _EX handler exists even if it would decline";
    EXPECT_TRUE(g_calls.empty()) << "asking must not run a handler";

    AFX_CMDHANDLERINFO none{nullptr, nullptr};
    EXPECT_FALSE(target.OnCmdMsg(12345, CN_COMMAND, nullptr, &none));
    EXPECT_EQ(nullptr, none.pTarget);
}

TEST(CmdTargetRouting, NotificationsCarryTheirHeaderAndResult)
{
    CDerivedTarget target;
    g_calls.clear();
    NMHDR hdr{nullptr, 400, static_cast<UINT>(NM_CLICK)};
    LRESULT result = 0;
    AFX_NOTIFY notify{&result, &hdr};
    EXPECT_TRUE(target.OnCmdMsg(400, static_cast<int>(MAKELONG(NM_CLICK, WM_NOTIFY)), &notify, nullptr));
    EXPECT_EQ(77, result);

    // A command entry with the same id must not answer a notification, nor the other way round.
    EXPECT_FALSE(target.OnCmdMsg(100, static_cast<int>(MAKELONG(NM_CLICK, WM_NOTIFY)), &notify, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(400, CN_COMMAND, nullptr, nullptr));

    hdr.code = static_cast<UINT>(NM_DBLCLK);
    hdr.idFrom = 405;
    EXPECT_FALSE(target.OnCmdMsg(405, static_cast<int>(MAKELONG(NM_DBLCLK, WM_NOTIFY)), &notify, nullptr))
        << "the _EX handler declined";
    EXPECT_EQ((std::vector<std::string>{"notify-400", "notify-ex-405"}), g_calls);
}

struct UpdateCase
{
    UINT id;
    BOOL disableIfNoHandler;
    int expectEnabled; // -1: left alone
    int expectCheck;
    BOOL expectHandled;
};

TEST(CmdUI, DoUpdateRunsUpdateHandlersAndDisablesItemsWithoutCommandHandlers)
{
    const UpdateCase cases[] = {
        {101, TRUE, 0, -1, TRUE},    // the base's update handler disables it although a command handler exists
        {100, TRUE, 1, -1, FALSE},   // no update handler, a command handler: enabled
        {555, TRUE, 0, -1, FALSE},   // no handler at all: disabled
        {555, FALSE, -1, -1, FALSE}, // ... unless asked not to
        {203, TRUE, 1, 1, TRUE},     // a range update handler that only checks; the range's command enables it
        {208, TRUE, 1, -1, FALSE},   // outside the update range, inside the command range
        {300, TRUE, 1, -1, FALSE},   // an update handler that passes the item on counts as none
        {0, TRUE, -1, -1, FALSE},    // a separator has no state
    };
    CDerivedTarget target;
    for (const UpdateCase& c : cases) {
        CRecordingCmdUI ui;
        ui.m_nID = c.id;
        EXPECT_EQ(c.expectHandled, ui.DoUpdate(&target, c.disableIfNoHandler)) << c.id;
        EXPECT_EQ(c.expectEnabled, ui.m_enabled) << c.id;
        EXPECT_EQ(c.expectCheck, ui.m_check) << c.id;
    }
}

class CCountedTarget : public CCmdTarget
{
public:
    explicit CCountedTarget(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~CCountedTarget() override { ++*m_pDeleted; }

private:
    int* m_pDeleted;
};

TEST(CmdTargetReferences, TheLastReleaseDeletesOnceAndTheCountStartsAtOne)
{
    int deleted = 0;
    auto* target = new CCountedTarget(&deleted);
    EXPECT_EQ(1, target->m_dwRef);
    EXPECT_EQ(2, target->InternalAddRef());
    EXPECT_EQ(3, target->ExternalAddRef());
    EXPECT_EQ(2, target->ExternalRelease());
    EXPECT_EQ(1, target->InternalRelease());
    EXPECT_EQ(0, deleted);
    EXPECT_EQ(0, target->InternalRelease());
    EXPECT_EQ(1, deleted);

    // OnFinalRelease may be overridden to keep the object; a further release then must not delete it.
    class CKeptTarget : public CCmdTarget
    {
    public:
        void OnFinalRelease() override { ++m_finalReleases; }
        int m_finalReleases = 0;
    } kept;
    EXPECT_EQ(0, kept.InternalRelease());
    EXPECT_EQ(0, kept.InternalRelease());
    EXPECT_EQ(1, kept.m_finalReleases);
}

} // namespace
