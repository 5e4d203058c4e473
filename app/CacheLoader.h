// The channels of subscription entries read from their cache files on worker threads once the window stands, each
// handed to the window's thread when read. The entries wait with the counts of a first pass meanwhile.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CFeedChannel;
class CFeedItem;
class CSharedStrings;

class CCacheLoader
{
public:
    CCacheLoader();
    // Waits for the threads; a channel read and not taken in is dropped.
    ~CCacheLoader();
    CCacheLoader(const CCacheLoader&) = delete;
    CCacheLoader& operator=(const CCacheLoader&) = delete;

    // Starts reading the caches of the entries (each marked as waiting for its items); the window is posted the
    // message whenever channels wait to be taken in.
    void Start(const std::vector<CFeedItem*>& entries, HWND hNotify, UINT nMessage);
    bool IsLoading() const { return !m_slots.empty(); }
    // On the window's thread: every channel read so far given to its entry. True when the last one is in.
    bool TakeRead();
    // On the window's thread: every channel not yet read is read here, then all are given to their entries.
    void Finish();

    // Tests only: the threads read nothing until released (Finish reads past the hold).
    static void HoldForTests(bool bHold);

private:
    struct Slot;
    void Work();
    bool ReadNext(bool bRespectHold);
    void Join();

    std::vector<std::unique_ptr<Slot>> m_slots;
    // The short texts that recur across the channels, shared while they are read.
    std::unique_ptr<CSharedStrings> m_pShared;
    std::vector<std::thread> m_threads;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_posted{false};
    std::atomic<bool> m_finishing{false};
    size_t m_taken = 0; // slots before this one are in
    HWND m_hNotify = nullptr;
    UINT m_nMessage = 0;
};
