// Small helpers of the toolkit: a 32-bit DIB section, a byte copy, and the walks over hook chains that the window
// hook managers use.
#pragma once

#include "framework/win/Gdi.h"

#include <windows.h>

#include <cstddef>

// A bottom-up 32-bit DIB section of the screen attached to bitmap; *ppBits gets its pixels. FALSE when it
// cannot be made (the bitmap then holds nothing new).
BOOL CreateAlphaDIBSection(CBitmap& bitmap, int cx, int cy, LPBYTE* ppBits);

// The next message of a modal mouse loop (a drag, a move, a held button): waiting paint messages are dispatched
// first (at most nMaxPaints, so that a window that never validates cannot hold the loop), then one message is
// taken. FALSE at a quit, which is posted again for the application's own loop: the platform hands out a pending
// quit even to a peek filtered for paint messages, and a loop that dispatched it would lose it.
BOOL GetModalLoopMessage(MSG& msg, int nMaxPaints = 64);

// Copies count bytes (the blocks may overlap); returns count.
size_t CopyMemoryBlock(void* pDest, const void* pSource, size_t count);

// Answers of a hook asked by the walks below.
enum XTHookAnswer
{
    xtHookContinue = 0,
    xtHookHandled = 1,
    xtHookStop = 2
};

// The hooks of a window from the last to the first: ask(hook) answering xtHookHandled ends the walk handled,
// xtHookStop ends it unhandled, anything else goes on. TRUE when handled.
template <class Hooks, class Ask> BOOL XTWalkSubclassChain(const Hooks& hooks, Ask ask)
{
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        const int nAnswer = ask(*it);
        if (nAnswer == xtHookHandled)
            return TRUE;
        if (nAnswer == xtHookStop)
            return FALSE;
    }
    return FALSE;
}

// The hooks of a list in order: the first nonzero answer ends the walk, which reports 0 when that answer was
// xtHookStop and 1 otherwise; an empty list, or one where every hook answers 0, reports 1.
template <class Hooks, class Ask> int XTWalkHookList(const Hooks& hooks, Ask ask)
{
    for (const auto& hook : hooks) {
        const int nAnswer = ask(hook);
        if (nAnswer != 0)
            return nAnswer == xtHookStop ? 0 : 1;
    }
    return 1;
}
