#include "companions/NewsLineLayout.h"

#include <algorithm>

namespace NewsLineLayout {

namespace {

struct SizeRow
{
    int nBar;
    int nTitle;
    int nNews;
};

const SizeRow kSizes[] = {{24, -8, -11}, {27, -9, -12}, {30, -10, -14}, {34, -11, -16}, {38, -12, -18}};
const int kDefaultIndex = 2;

const SizeRow& SizeOf(int nSizeIndex)
{
    return kSizes[nSizeIndex >= 0 && nSizeIndex < 5 ? nSizeIndex : kDefaultIndex];
}

// Characters that would reorder or hide the rest of the line.
bool IsDirectionControl(wchar_t ch)
{
    return ch == 0x061C || ch == 0x200E || ch == 0x200F || (ch >= 0x202A && ch <= 0x202E) ||
           (ch >= 0x2066 && ch <= 0x2069);
}

bool IsControl(wchar_t ch)
{
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F) || ch == 0x2028 || ch == 0x2029;
}

} // namespace

int BarHeight(int nSizeIndex)
{
    return SizeOf(nSizeIndex).nBar;
}

void PreviewFontHeights(int nSizeIndex, int& nTitle, int& nNews)
{
    nTitle = SizeOf(nSizeIndex).nTitle;
    nNews = SizeOf(nSizeIndex).nNews;
}

std::vector<int> SortOrder(const std::vector<double>& dates, const std::vector<bool>& valid)
{
    // The same order as taking, again and again, the first remaining entry unless a later remaining one has a
    // later date (an undated entry is later than none and has none later than it), in n log n: the dated entries
    // leave newest first, equal dates in their order, and an undated one leaves when nothing is left before it.
    const int count = static_cast<int>(dates.size());
    std::vector<int> dated;
    for (int i = 0; i < count; ++i)
        if (valid[i])
            dated.push_back(i);
    std::stable_sort(dated.begin(), dated.end(), [&](int a, int b) { return dates[a] > dates[b]; });
    std::vector<bool> taken(count, false);
    std::vector<int> order;
    order.reserve(count);
    size_t nextDated = 0;
    int front = 0;
    while (static_cast<int>(order.size()) < count) {
        while (taken[front])
            ++front;
        const int next = valid[front] ? dated[nextDated++] : front;
        taken[next] = true;
        order.push_back(next);
    }
    return order;
}

CString PlainHeadline(const CString& text)
{
    CString plain;
    bool blank = true; // no blank at the start, none doubled
    for (int i = 0; i < text.GetLength() && plain.GetLength() < kMaxHeadlineLength; ++i) {
        wchar_t ch = text[i];
        if (IsDirectionControl(ch))
            continue;
        if (IsControl(ch) || ch == L' ' || ch == 0xA0)
            ch = L' ';
        if (ch == L' ') {
            if (blank)
                continue;
            blank = true;
        } else {
            blank = false;
        }
        plain += ch;
    }
    plain.TrimRight();
    if (plain.GetLength() >= kMaxHeadlineLength)
        plain += L"\x2026";
    return plain;
}

bool ShowsTimeOnly(const SYSTEMTIME& date, const SYSTEMTIME& today)
{
    return date.wDay == today.wDay && date.wMonth == today.wMonth;
}

int EntryWidth(int nTextWidth)
{
    const int width = nTextWidth + kExtraWidth;
    return width < kMaxEntryWidth ? width : kMaxEntryWidth;
}

} // namespace NewsLineLayout

void CNewsLineScroll::Layout(const std::vector<int>& widths, int nStartX)
{
    m_widths = widths;
    m_nPhase = 0;
    m_bOpened = false;
    m_nStartX = nStartX;
    m_bLaidOut = true;
    m_slots[0] = Slot{-1, nStartX};
    m_slots[1] = Slot{-1, nStartX};
    m_nPosition = 0;
}

void CNewsLineScroll::Clear()
{
    m_widths.clear();
    m_slots[0] = Slot{};
    m_slots[1] = Slot{};
    m_nPhase = 0;
    m_nPosition = 0;
    m_bLaidOut = false;
    m_bOpened = false;
}

CNewsLineScroll::StepResult CNewsLineScroll::Tick(int* pEntered)
{
    *pEntered = -1;
    if (!m_bLaidOut || m_widths.empty())
        return Idle;
    Slot& leading = m_slots[m_nPhase];
    if (leading.x == m_nStartX) {
        if (m_nPosition >= static_cast<int>(m_widths.size())) {
            if (m_bOpened) {
                m_bOpened = false;
                return AskReload;
            }
            m_nPosition = 0;
        }
        leading.nEntry = m_nPosition++;
        *pEntered = leading.nEntry;
    }
    for (Slot& slot : m_slots)
        if (slot.nEntry >= 0)
            slot.x -= kStep;
    return leading.x <= kStep ? Rest : Moved;
}

void CNewsLineScroll::EndRest()
{
    m_nPhase = 1 - m_nPhase;
    m_slots[m_nPhase].x = m_nStartX;
}

int CNewsLineScroll::HitSlot(const Slot& slot, POINT pt, int nBarHeight) const
{
    if (slot.nEntry < 0 || slot.nEntry >= static_cast<int>(m_widths.size()))
        return -1;
    const bool inside = pt.x >= slot.x && pt.x < slot.x + m_widths[slot.nEntry] && pt.y >= 0 && pt.y < nBarHeight;
    return inside ? slot.nEntry : -1;
}

int CNewsLineScroll::HitLeading(POINT pt, int nBarHeight) const
{
    return HitSlot(Leading(), pt, nBarHeight);
}

int CNewsLineScroll::HitTrailing(POINT pt, int nBarHeight) const
{
    return HitSlot(Trailing(), pt, nBarHeight);
}
