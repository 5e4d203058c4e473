// The menu sounds: one player per process plays the system's "MenuCommand" and "MenuPopup" sounds on a worker
// thread of its own, so that a slow sound device never holds up a menu.
#pragma once

#include <windows.h>

#include <atomic>

// Requests of the player.
enum XTPMenuSound
{
    xtpMenuSoundIdle = 0,
    xtpMenuSoundCommand = 1,
    xtpMenuSoundPopup = 2,
    xtpMenuSoundQuit = 3
};

class CXTPMenuSoundPlayer
{
public:
    // What plays one request on the sound thread; tests put their own in.
    typedef void(CALLBACK* PFNPLAYSOUND)(int nRequest);

    CXTPMenuSoundPlayer();
    // Stops the thread.
    ~CXTPMenuSoundPlayer();
    CXTPMenuSoundPlayer(const CXTPMenuSoundPlayer&) = delete;
    CXTPMenuSoundPlayer& operator=(const CXTPMenuSoundPlayer&) = delete;

    // Starts the thread when none runs and hands it the request (only the latest request is kept).
    void PlayMenuSound(int nRequest);
    // Asks the thread to end and waits a moment for it; a thread still busy with a sound ends after it.
    void StopSoundThread();

    void SetEnabled(BOOL bEnabled) { m_bEnabled = bEnabled; }
    BOOL IsEnabled() const { return m_bEnabled; }
    // A thread has been started and has not been seen to end.
    BOOL IsThreadAlive();
    int GetRequest() const { return m_nRequest.load(); }
    // How many threads were started so far.
    int GetThreadStarts() const { return m_nThreadStarts; }
    // Null restores the system's sounds.
    void SetPlayFunction(PFNPLAYSOUND pfnPlay);

private:
    void StartSoundThread();
    // Forgets a thread that has ended.
    void ReapThread();
    static DWORD WINAPI SoundThreadProc(LPVOID pParam);
    static void CALLBACK PlaySystemSound(int nRequest);

    // Written by the user-interface thread (requests) and the sound thread (back to idle after a sound): the
    // sound thread only ever turns a play request into idle, so a quit request is never overwritten.
    std::atomic<int> m_nRequest;
    BOOL m_bEnabled;
    HANDLE m_hThread;
    std::atomic<PFNPLAYSOUND> m_pfnPlay;
    int m_nThreadStarts;
};

// The process's player.
CXTPMenuSoundPlayer* XTPSoundManager();
void PlayMenuSound(int nRequest);
void StopSoundThread();
