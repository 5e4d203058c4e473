// The menu sound player: requests reach the sound thread, a stop asked while a sound still plays is not lost,
// and no second thread starts beside one that is still playing.
#include "toolkit/commandbars/XTPMenuSoundPlayer.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

// What the sound thread played; a sound can be held until the test lets it end.
std::atomic<int> g_nPlayed{0};
std::atomic<int> g_nLastSound{0};
HANDLE g_hRelease = nullptr;
HANDLE g_hPlaying = nullptr;

void CALLBACK RecordSound(int nRequest)
{
    g_nLastSound = nRequest;
    ++g_nPlayed;
}

void CALLBACK HeldSound(int nRequest)
{
    g_nLastSound = nRequest;
    ::SetEvent(g_hPlaying);
    ::WaitForSingleObject(g_hRelease, 10000);
    ++g_nPlayed;
}

class MenuSoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_nPlayed = 0;
        g_nLastSound = 0;
        g_hRelease = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_hPlaying = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    void TearDown() override
    {
        ::SetEvent(g_hRelease);
        m_player.StopSoundThread();
        lqtest::PumpUntil([&] {
            m_player.StopSoundThread();
            return !m_player.IsThreadAlive();
        });
        ::CloseHandle(g_hRelease);
        ::CloseHandle(g_hPlaying);
    }

    CXTPMenuSoundPlayer m_player;
};

TEST_F(MenuSoundTest, RequestsReachTheThreadAndStopEndsIt)
{
    m_player.SetPlayFunction(&RecordSound);
    m_player.StopSoundThread(); // nothing runs yet: nothing happens
    EXPECT_FALSE(m_player.IsThreadAlive());
    EXPECT_EQ(m_player.GetThreadStarts(), 0);

    m_player.PlayMenuSound(xtpMenuSoundPopup);
    ASSERT_TRUE(lqtest::PumpUntil([] { return g_nPlayed == 1; }));
    EXPECT_EQ(g_nLastSound, xtpMenuSoundPopup);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_player.GetRequest() == xtpMenuSoundIdle; }));
    m_player.PlayMenuSound(xtpMenuSoundCommand);
    ASSERT_TRUE(lqtest::PumpUntil([] { return g_nPlayed == 2; }));
    EXPECT_EQ(g_nLastSound, xtpMenuSoundCommand);
    EXPECT_EQ(m_player.GetThreadStarts(), 1);

    // Requests that are not sounds are ignored.
    m_player.PlayMenuSound(xtpMenuSoundQuit);
    m_player.PlayMenuSound(77);
    EXPECT_TRUE(m_player.IsThreadAlive());

    m_player.StopSoundThread();
    EXPECT_FALSE(m_player.IsThreadAlive());
    m_player.StopSoundThread();
    // A later sound starts a new thread.
    m_player.PlayMenuSound(xtpMenuSoundPopup);
    ASSERT_TRUE(lqtest::PumpUntil([] { return g_nPlayed == 3; }));
    EXPECT_EQ(m_player.GetThreadStarts(), 2);

    // A disabled player starts nothing.
    m_player.StopSoundThread();
    m_player.SetEnabled(FALSE);
    m_player.PlayMenuSound(xtpMenuSoundPopup);
    EXPECT_FALSE(m_player.IsThreadAlive());
    m_player.SetEnabled(TRUE);
}

TEST_F(MenuSoundTest, AStopAskedDuringASoundIsKeptUntilTheSoundEnds)
{
    m_player.SetPlayFunction(&HeldSound);
    m_player.PlayMenuSound(xtpMenuSoundPopup);
    ASSERT_EQ(::WaitForSingleObject(g_hPlaying, 10000), WAIT_OBJECT_0);

    // The thread is inside a sound: the stop waits its moment and returns, the thread lives on.
    m_player.StopSoundThread();
    EXPECT_TRUE(m_player.IsThreadAlive());
    EXPECT_EQ(m_player.GetRequest(), xtpMenuSoundQuit);

    // When the sound ends, the thread must see the stop rather than clear it.
    ::SetEvent(g_hRelease);
    ASSERT_TRUE(lqtest::PumpUntil([&] { return !m_player.IsThreadAlive(); }));
    EXPECT_EQ(g_nPlayed, 1);
    EXPECT_EQ(m_player.GetThreadStarts(), 1);
}

TEST_F(MenuSoundTest, ASoundAskedWhileAStoppedThreadStillPlaysStartsNoSecondThread)
{
    m_player.SetPlayFunction(&HeldSound);
    m_player.PlayMenuSound(xtpMenuSoundPopup);
    ASSERT_EQ(::WaitForSingleObject(g_hPlaying, 10000), WAIT_OBJECT_0);
    m_player.StopSoundThread();
    ASSERT_TRUE(m_player.IsThreadAlive());

    m_player.PlayMenuSound(xtpMenuSoundCommand);
    EXPECT_EQ(m_player.GetThreadStarts(), 1);
    ::SetEvent(g_hRelease);
    // The running thread plays the new request instead.
    ASSERT_TRUE(lqtest::PumpUntil([] { return g_nPlayed == 2; }));
    EXPECT_EQ(g_nLastSound, xtpMenuSoundCommand);
    EXPECT_EQ(m_player.GetThreadStarts(), 1);
    m_player.StopSoundThread();
    EXPECT_FALSE(m_player.IsThreadAlive());
}

TEST(MenuSoundPlayer, TheSystemSoundsPlayWithoutAnAudioDevice)
{
    // The process's own player with the real PlaySoundW: it must come and go without hanging.
    CXTPMenuSoundPlayer* pPlayer = XTPSoundManager();
    pPlayer->PlayMenuSound(xtpMenuSoundPopup);
    EXPECT_TRUE(lqtest::PumpUntil([&] { return pPlayer->GetRequest() == xtpMenuSoundIdle; }));
    StopSoundThread();
    EXPECT_TRUE(lqtest::PumpUntil([&] {
        StopSoundThread();
        return !pPlayer->IsThreadAlive();
    }));
}

} // namespace
