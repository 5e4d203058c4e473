// The news ticker's geometry and scrolling as plain functions and a small state machine, apart from any window:
// bar sizes by index, the order of the headlines, the two slots that carry them across the bar, hit tests and the
// headline text as it is drawn.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/core/AfxString.h"

namespace NewsLineLayout {

// The bar's height for a "Height" size index: 24, 27, 30, 34 or 38 px; any other index gives 30 px.
int BarHeight(int nSizeIndex);
// The font heights (negative: character heights) of the preview for an index; any other index takes index 2's.
void PreviewFontHeights(int nSizeIndex, int& nTitle, int& nNews);

// The display order: newest first, equal dates keeping their order; an entry without a valid date is taken
// where it comes first among those left. Dates are OLE dates; a negative validity marks an invalid one.
std::vector<int> SortOrder(const std::vector<double>& dates, const std::vector<bool>& valid);

// A headline's text as the ticker draws it: one line, without control characters or bidirectional overrides that
// would turn the rest of the line around, and no longer than the ticker can show.
CString PlainHeadline(const CString& text);
const int kMaxHeadlineLength = 300;

// Whether a local date shows only its time: it falls on today's day and month (the year is not compared).
bool ShowsTimeOnly(const SYSTEMTIME& date, const SYSTEMTIME& today);

// The room a headline takes: its news title's width and the room of its icon, feed title and date.
const int kExtraWidth = 150;
// The widest headline bitmap the ticker makes.
const int kMaxEntryWidth = 8000;
int EntryWidth(int nTextWidth);

} // namespace NewsLineLayout

// Two slots carry the headlines across the bar: the leading one brings an entry in from the right edge, moving
// 12 px a tick until its left edge is near the left border, where it rests; then the other slot takes the lead.
class CNewsLineScroll
{
public:
    static const int kStep = 12;
    static const UINT kIntervalMs = 100;
    static const UINT kRestMs = 2000;

    struct Slot
    {
        int nEntry = -1; // the entry shown; -1 none
        int x = 0;       // left edge in client coordinates
    };

    enum StepResult
    {
        Idle,       // nothing laid out
        Moved,      // the slots moved
        Rest,       // the leading entry reached the left border: rest
        AskReload,  // the list ended after an entry was opened: stop and ask for a new list
    };

    // Lays out entries of the given widths; the slots start empty at the right edge.
    void Layout(const std::vector<int>& widths, int nStartX);
    void Clear();

    // One scroll tick. *pEntered receives the entry the leading slot took (to be drawn into its bitmap), else -1.
    StepResult Tick(int* pEntered);
    // The rest is over: the other slot takes the lead from the right edge.
    void EndRest();

    // The entry under a point at the leading or trailing slot, -1 none.
    int HitLeading(POINT pt, int nBarHeight) const;
    int HitTrailing(POINT pt, int nBarHeight) const;

    void SetOpened() { m_bOpened = true; }
    bool IsOpened() const { return m_bOpened; }
    bool IsLaidOut() const { return m_bLaidOut; }
    int GetPhase() const { return m_nPhase; }
    int GetStartX() const { return m_nStartX; }
    const Slot& GetSlotA() const { return m_slots[0]; }
    const Slot& GetSlotB() const { return m_slots[1]; }
    const Slot& Leading() const { return m_slots[m_nPhase]; }
    const Slot& Trailing() const { return m_slots[1 - m_nPhase]; }
    int GetEntryWidth(int nEntry) const { return m_widths[nEntry]; }
    int GetCount() const { return static_cast<int>(m_widths.size()); }

private:
    int HitSlot(const Slot& slot, POINT pt, int nBarHeight) const;

    std::vector<int> m_widths;
    Slot m_slots[2];
    int m_nPhase = 0;
    int m_nStartX = 0;
    int m_nPosition = 0;
    bool m_bLaidOut = false;
    bool m_bOpened = false;
};
