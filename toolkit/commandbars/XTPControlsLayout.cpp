// The row layout of a bar's controls: wrapping that prefers group starts, hiding what does not fit, columns on a
// vertical dock, the narrowest shape of a floating bar, centring across rows and right-aligned controls.
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <algorithm>
#include <vector>

namespace {

// The space between groups, along and across rows.
const int kGroupGap = 6;

struct ControlLayoutEntry
{
    CRect rcControl;
    CRect rcRow;
    CSize szControl;
    BOOL bVisible;
    BOOL bWrap;
    BOOL bHidden;
    BOOL bBeginGroup;
};

class CRowLayout
{
public:
    explicit CRowLayout(std::vector<ControlLayoutEntry>& entries) : m_entries(entries) {}

    // Breaks the entries into rows no longer than nWidth; answers the number of rows. LM_STRETCH is added to
    // dwMode when a row had to be broken (or, with LM_HIDEWRAP, entries were hidden).
    int Wrap(int nWidth, DWORD& dwMode)
    {
        const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
        for (ControlLayoutEntry& entry : m_entries) {
            entry.bHidden = FALSE;
            entry.bWrap = FALSE;
        }
        int nRunning = 0;
        int nWraps = 0;
        int nRowStart = -1;
        BOOL bFirst = TRUE;
        const int nCount = static_cast<int>(m_entries.size());
        for (int i = 0; i < nCount; ++i) {
            ControlLayoutEntry& entry = m_entries[static_cast<size_t>(i)];
            if (!entry.bVisible)
                continue;
            int nLength = bVert ? entry.szControl.cy : entry.szControl.cx;
            if (entry.bBeginGroup && !bFirst)
                nLength += kGroupGap;
            bFirst = FALSE;
            if (nRowStart == -1)
                nRowStart = i;
            nRunning += nLength;
            // An entry that does not fit alone in its row keeps the row to itself.
            if (nRunning <= nWidth || i == nRowStart)
                continue;
            if (dwMode & LM_HIDEWRAP) {
                for (int j = i; j < nCount; ++j)
                    m_entries[static_cast<size_t>(j)].bHidden = TRUE;
                dwMode |= LM_STRETCH;
                return nWraps;
            }
            int nWrapAt = i;
            for (int j = i; j > nRowStart; --j) {
                const ControlLayoutEntry& back = m_entries[static_cast<size_t>(j)];
                if (back.bVisible && back.bBeginGroup) {
                    nWrapAt = j;
                    break;
                }
            }
            ControlLayoutEntry& start = m_entries[static_cast<size_t>(nWrapAt)];
            start.bWrap = TRUE;
            nRunning = bVert ? start.szControl.cy : start.szControl.cx;
            nRowStart = nWrapAt;
            ++nWraps;
            dwMode |= LM_STRETCH;
            i = nWrapAt;
        }
        return nWraps + 1;
    }

    // Places the rows from the origin and answers the size of all of them; the vertical form stacks columns
    // towards the left (negative x).
    CSize Measure(BOOL bVert)
    {
        CSize size(0, 0);
        int x = 0, y = 0, nBreadth = 0;
        BOOL bFirst = TRUE;
        for (ControlLayoutEntry& entry : m_entries) {
            if (!entry.bVisible || entry.bHidden)
                continue;
            const CSize sz = entry.szControl;
            if (!bVert) {
                if (entry.bBeginGroup && entry.bWrap) {
                    x = 0;
                    y += nBreadth + kGroupGap;
                    nBreadth = 0;
                } else if (entry.bBeginGroup && !bFirst) {
                    x += kGroupGap;
                } else if (entry.bWrap) {
                    x = 0;
                    y += nBreadth;
                    nBreadth = 0;
                }
                entry.rcControl = CRect(x, y, x + sz.cx, y + sz.cy);
                x = entry.rcControl.right;
                nBreadth = std::max(nBreadth, static_cast<int>(sz.cy));
                size.cx = std::max(size.cx, entry.rcControl.right);
                size.cy = std::max(size.cy, entry.rcControl.bottom);
            } else {
                if (entry.bBeginGroup && entry.bWrap) {
                    x -= nBreadth + kGroupGap;
                    y = 0;
                    nBreadth = 0;
                } else if (entry.bBeginGroup && !bFirst) {
                    y += kGroupGap;
                } else if (entry.bWrap) {
                    x -= nBreadth;
                    y = 0;
                    nBreadth = 0;
                }
                entry.rcControl = CRect(x - sz.cx, y, x, y + sz.cy);
                y = entry.rcControl.bottom;
                nBreadth = std::max(nBreadth, static_cast<int>(sz.cx));
                size.cx = std::max(size.cx, static_cast<LONG>(sz.cx - x));
                size.cy = std::max(size.cy, entry.rcControl.bottom);
            }
            bFirst = FALSE;
        }
        return size;
    }

    // A floating bar: the narrowest shape for the height (LM_LENGTHY), or for the row count of the width.
    void Fit(int nLength, DWORD& dwMode)
    {
        const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
        if (dwMode & LM_LENGTHY) {
            DWORD dwTrial = dwMode;
            Wrap(0, dwTrial);
            const CSize szNarrow = Measure(bVert);
            dwTrial = dwMode;
            Wrap(32767, dwTrial);
            const CSize szWide = Measure(bVert);
            int nLow = szNarrow.cx, nHigh = szWide.cx;
            int nFinal = nHigh;
            CSize szLow = szNarrow;
            while (nLow < nHigh) {
                const int nMid = (nLow + nHigh) / 2;
                dwTrial = dwMode;
                Wrap(nMid, dwTrial);
                const CSize sz = Measure(bVert);
                if (sz.cy > nLength) {
                    if (sz == szLow || nMid == nLow)
                        break;
                    nLow = nMid;
                    szLow = sz;
                } else if (sz.cy == nLength) {
                    nFinal = nMid;
                    break;
                } else {
                    nHigh = nMid;
                    nFinal = nHigh;
                }
            }
            // Only the shape kept sets the mode's stretch flag.
            Wrap(nFinal, dwMode);
            return;
        }
        DWORD dwTrial = dwMode;
        const int nRows = Wrap(nLength, dwTrial);
        dwTrial = dwMode;
        if (Wrap(0, dwTrial) != nRows && nLength > 0) {
            int nLow = 0, nHigh = nLength;
            for (;;) {
                const int nMid = (nLow + nHigh) / 2;
                if (nMid == nLow) {
                    Wrap(nHigh, dwMode);
                    break;
                }
                dwTrial = dwMode;
                if (Wrap(nMid, dwTrial) == nRows)
                    nHigh = nMid;
                else
                    nLow = nMid;
            }
        } else {
            Wrap(nLength, dwMode);
        }
        const CSize sz = Measure(bVert);
        Wrap(sz.cx, dwMode);
    }

    // Moves the entries inside the borders, gives them their row rectangles and centres them across their rows.
    void Place(CSize& size, DWORD dwMode, const CRect& rcBorder)
    {
        if (dwMode & LM_COMMIT) {
            const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
            std::vector<std::vector<ControlLayoutEntry*>> rows(1);
            for (ControlLayoutEntry& entry : m_entries) {
                if (!entry.bVisible || entry.bHidden)
                    continue;
                entry.rcControl.OffsetRect(rcBorder.left + (bVert ? size.cx : 0), rcBorder.top);
                if (entry.bWrap && !rows.back().empty())
                    rows.emplace_back();
                rows.back().push_back(&entry);
            }
            for (std::vector<ControlLayoutEntry*>& row : rows) {
                int nBreadth = 0;
                for (ControlLayoutEntry* pEntry : row)
                    nBreadth =
                        std::max(nBreadth, static_cast<int>(bVert ? pEntry->szControl.cx : pEntry->szControl.cy));
                if (rows.size() == 1)
                    nBreadth = bVert ? size.cx : size.cy;
                for (ControlLayoutEntry* pEntry : row) {
                    CRect& rc = pEntry->rcControl;
                    if (!bVert) {
                        pEntry->rcRow = CRect(rcBorder.left, rc.top, rcBorder.left + size.cx, rc.top + nBreadth);
                        rc.OffsetRect(0, (nBreadth - rc.Height()) / 2);
                    } else {
                        pEntry->rcRow = CRect(rc.right - nBreadth, rcBorder.top, rc.right, rcBorder.top + size.cy);
                        rc.OffsetRect(-((nBreadth - rc.Width()) / 2), 0);
                    }
                }
            }
        }
        size.cx += rcBorder.left + rcBorder.right;
        size.cy += rcBorder.top + rcBorder.bottom;
    }

    // Pushes the trailing right-aligned controls to the far end of their row.
    void AlignRight(const std::vector<CXTPControl*>& controls, CSize size, DWORD dwMode, const CRect& rcBorder)
    {
        const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
        int nFar = bVert ? size.cy - rcBorder.bottom : size.cx - rcBorder.right;
        for (int i = static_cast<int>(m_entries.size()) - 1; i >= 0; --i) {
            ControlLayoutEntry& entry = m_entries[static_cast<size_t>(i)];
            if (!entry.bVisible || entry.bHidden)
                continue;
            if ((controls[static_cast<size_t>(i)]->GetFlags() & xtpFlagRightAlign) == 0)
                break;
            CRect& rc = entry.rcControl;
            if (!bVert) {
                const int nLeft = nFar - rc.Width();
                // Measured from the right border, as the layout has always done.
                if (nLeft < rcBorder.right)
                    break;
                rc.OffsetRect(nLeft - rc.left, 0);
                nFar = nLeft;
            } else {
                const int nTop = nFar - rc.Height();
                if (nTop < rcBorder.top)
                    break;
                rc.OffsetRect(0, nTop - rc.top);
                nFar = nTop;
            }
            if (entry.bWrap)
                break;
        }
    }

private:
    std::vector<ControlLayoutEntry>& m_entries;
};

} // namespace

CSize CXTPControls::CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth)
{
    for (int i = GetCount() - 1; i >= 0; --i)
        m_arrControls[static_cast<size_t>(i)]->OnCalcDynamicSize(dwMode);

    const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
    if (GetVisibleCount(FALSE) == 0) {
        CSize size(rcBorder.left + rcBorder.right + 23, rcBorder.top + rcBorder.bottom + 22);
        if (nWidth > 0) {
            if (dwMode & LM_HORZDOCK)
                size.cy = std::max(size.cy, static_cast<LONG>(nWidth));
            else
                size.cx = std::max(size.cx, static_cast<LONG>(nWidth));
        }
        return size;
    }

    std::vector<ControlLayoutEntry> entries;
    entries.reserve(m_arrControls.size());
    for (CXTPControl* pControl : m_arrControls) {
        ControlLayoutEntry entry;
        entry.rcControl = pControl->GetRect();
        entry.rcRow = CRect(0, 0, 0, 0);
        entry.szControl = pControl->GetSize(pDC);
        entry.bVisible = (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideWrap)) == 0;
        entry.bWrap = FALSE;
        entry.bHidden = FALSE;
        entry.bBeginGroup = pControl->GetBeginGroup();
        entries.push_back(entry);
    }

    if ((dwMode & LM_MRUWIDTH) && m_pParent != nullptr)
        nLength = m_pParent->GetWidth();

    CRowLayout layout(entries);
    if (dwMode & LM_POPUP) {
        layout.Wrap(m_pParent != nullptr ? m_pParent->GetWidth() : 32767, dwMode);
        const CSize sz = layout.Measure(bVert);
        layout.Wrap(sz.cx, dwMode);
    } else if (dwMode & LM_HORZDOCK) {
        layout.Wrap(nLength - rcBorder.left - rcBorder.right, dwMode);
    } else if (dwMode & LM_VERTDOCK) {
        layout.Wrap(nLength - rcBorder.top - rcBorder.bottom, dwMode);
    } else {
        layout.Fit((dwMode & LM_LENGTHY) ? nLength - rcBorder.top - rcBorder.bottom
                                         : nLength - rcBorder.left - rcBorder.right,
                   dwMode);
    }

    CSize size = layout.Measure(bVert);
    if (nWidth > 0) {
        if (dwMode & LM_HORZDOCK)
            size.cy = std::max(size.cy, static_cast<LONG>(nWidth - rcBorder.top - rcBorder.bottom));
        else
            size.cx = std::max(size.cx, static_cast<LONG>(nWidth - rcBorder.left - rcBorder.right));
    }
    // The length of LM_LENGTHY is a height: the width is not stretched to it.
    if ((dwMode & LM_STRETCH) && !(dwMode & LM_LENGTHY)) {
        if (bVert)
            size.cy = std::max(size.cy, static_cast<LONG>(nLength - rcBorder.top - rcBorder.bottom));
        else
            size.cx = std::max(size.cx, static_cast<LONG>(nLength - rcBorder.left - rcBorder.right));
    }
    layout.Place(size, dwMode, rcBorder);

    if (dwMode & LM_COMMIT) {
        layout.AlignRight(m_arrControls, size, dwMode, rcBorder);
        for (size_t i = 0; i < m_arrControls.size(); ++i) {
            CXTPControl* pControl = m_arrControls[i];
            const ControlLayoutEntry& entry = entries[i];
            const DWORD dwHide = entry.bHidden ? (pControl->GetHideFlags() | xtpHideWrap)
                                               : (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideWrap));
            if (dwHide != pControl->GetHideFlags())
                pControl->SetHideFlags(dwHide);
            pControl->SetRowRect(entry.rcRow);
            if (!entry.bHidden)
                pControl->SetRect(entry.rcControl);
            pControl->SetWrap(entry.bWrap);
        }
    }
    return size;
}
