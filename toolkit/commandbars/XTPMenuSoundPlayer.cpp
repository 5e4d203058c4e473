#include "toolkit/commandbars/XTPMenuSoundPlayer.h"

#include <mmsystem.h>

CXTPMenuSoundPlayer::CXTPMenuSoundPlayer()
    : m_nRequest(xtpMenuSoundIdle), m_bEnabled(TRUE), m_hThread(nullptr), m_pfnPlay(&PlaySystemSound),
      m_nThreadStarts(0)
{
}

CXTPMenuSoundPlayer::~CXTPMenuSoundPlayer()
{
    StopSoundThread();
}

void CXTPMenuSoundPlayer::SetPlayFunction(PFNPLAYSOUND pfnPlay)
{
    m_pfnPlay = pfnPlay != nullptr ? pfnPlay : &PlaySystemSound;
}

void CALLBACK CXTPMenuSoundPlayer::PlaySystemSound(int nRequest)
{
    const wchar_t* pszSound = nRequest == xtpMenuSoundCommand ? L"MenuCommand" : L"MenuPopup";
    ::PlaySoundW(pszSound, nullptr, SND_ALIAS | SND_NODEFAULT | SND_NOWAIT);
}

DWORD WINAPI CXTPMenuSoundPlayer::SoundThreadProc(LPVOID pParam)
{
    CXTPMenuSoundPlayer* pPlayer = static_cast<CXTPMenuSoundPlayer*>(pParam);
    for (;;) {
        const int nRequest = pPlayer->m_nRequest.load();
        if (nRequest == xtpMenuSoundQuit)
            break;
        if (nRequest == xtpMenuSoundCommand || nRequest == xtpMenuSoundPopup) {
            pPlayer->m_pfnPlay.load()(nRequest);
            // Only the request just played goes back to idle: a quit (or a newer request) written meanwhile stays.
            int nPlayed = nRequest;
            pPlayer->m_nRequest.compare_exchange_strong(nPlayed, xtpMenuSoundIdle);
            continue;
        }
        ::Sleep(5);
    }
    ::PlaySoundW(nullptr, nullptr, SND_PURGE);
    return 0;
}

void CXTPMenuSoundPlayer::ReapThread()
{
    if (m_hThread != nullptr && ::WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0) {
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
}

BOOL CXTPMenuSoundPlayer::IsThreadAlive()
{
    ReapThread();
    return m_hThread != nullptr;
}

void CXTPMenuSoundPlayer::StartSoundThread()
{
    m_nRequest = xtpMenuSoundIdle;
    HANDLE hThread = ::CreateThread(nullptr, 0, &SoundThreadProc, this, CREATE_SUSPENDED, nullptr);
    if (hThread == nullptr)
        return;
    ::SetThreadPriority(hThread, THREAD_PRIORITY_BELOW_NORMAL);
    m_hThread = hThread;
    ++m_nThreadStarts;
    ::ResumeThread(hThread);
}

void CXTPMenuSoundPlayer::PlayMenuSound(int nRequest)
{
    if (!m_bEnabled || (nRequest != xtpMenuSoundCommand && nRequest != xtpMenuSoundPopup))
        return;
    ReapThread();
    if (m_hThread == nullptr)
        StartSoundThread();
    if (m_hThread == nullptr)
        return;
    // A thread that was asked to stop but is still inside a sound keeps running for this request instead of a
    // second thread starting beside it.
    m_nRequest = nRequest;
}

void CXTPMenuSoundPlayer::StopSoundThread()
{
    if (m_hThread == nullptr)
        return;
    m_nRequest = xtpMenuSoundQuit;
    // The handle is kept while the thread still plays a sound: it ends after it, and no second one starts.
    if (::WaitForSingleObject(m_hThread, 100) == WAIT_OBJECT_0) {
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
}

namespace {

// Destroyed at process exit, which stops the thread once more.
CXTPMenuSoundPlayer g_soundPlayer;

} // namespace

CXTPMenuSoundPlayer* XTPSoundManager()
{
    return &g_soundPlayer;
}

void PlayMenuSound(int nRequest)
{
    g_soundPlayer.PlayMenuSound(nRequest);
}

void StopSoundThread()
{
    g_soundPlayer.StopSoundThread();
}
