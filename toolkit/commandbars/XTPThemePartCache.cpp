#include "toolkit/commandbars/XTPThemePartCache.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/Gdi.h"
#include "toolkit/base/XTHelpers.h"

#include <algorithm>

namespace {

// More pictures than the bars of a window ever need at once: past this the cache starts again.
const size_t kMaxEntries = 64;

} // namespace

CXTPThemePartCache::~CXTPThemePartCache()
{
    Clear();
    if (m_hMemDC != nullptr)
        ::DeleteDC(m_hMemDC);
}

void CXTPThemePartCache::Clear()
{
    for (CEntry& entry : m_entries) {
        if (entry.hBitmap != nullptr)
            ::DeleteObject(entry.hBitmap);
    }
    m_entries.clear();
}

const CXTPThemePartCache::CEntry* CXTPThemePartCache::Find(HTHEME hTheme, int nPart, int nState, int cx, int cy) const
{
    for (const CEntry& entry : m_entries) {
        if (entry.hTheme == hTheme && entry.nPart == nPart && entry.nState == nState && entry.cx == cx &&
            entry.cy == cy)
            return &entry;
    }
    return nullptr;
}

HRESULT CXTPThemePartCache::Render(CXTPUxTheme& theme, int nPart, int nState, int cx, int cy, CEntry& entry)
{
    CBitmap black, white;
    LPBYTE pBlack = nullptr, pWhite = nullptr;
    if (!CreateAlphaDIBSection(black, cx, cy, &pBlack) || !CreateAlphaDIBSection(white, cx, cy, &pWhite))
        return E_FAIL;
    const size_t nBytes = static_cast<size_t>(cx) * static_cast<size_t>(cy) * 4;
    std::fill(pWhite, pWhite + nBytes, static_cast<BYTE>(255));
    CScopedCreatedDC memDC(::CreateCompatibleDC(nullptr));
    if (!memDC)
        return E_FAIL;
    const RECT rc = {0, 0, cx, cy};
    for (CBitmap* pBitmap : {&black, &white}) {
        CScopedSelect select(memDC, pBitmap->GetSafeHandle());
        const HRESULT hr = theme.DrawThemeBackground(memDC, nPart, nState, &rc, nullptr);
        if (FAILED(hr))
            return hr;
    }
    ::GdiFlush();

    // Over black a pixel shows its colour times its coverage; over white that plus the uncovered rest.
    bool bAnyCovered = false, bAllCovered = true;
    for (size_t i = 0; i < nBytes; i += 4) {
        int nUncovered = 0;
        for (size_t c = 0; c < 3; ++c)
            nUncovered = std::max(nUncovered, pWhite[i + c] - pBlack[i + c]);
        const BYTE alpha = static_cast<BYTE>(255 - std::min(255, std::max(0, nUncovered)));
        for (size_t c = 0; c < 3; ++c)
            pBlack[i + c] = std::min(pBlack[i + c], alpha);
        pBlack[i + 3] = alpha;
        bAnyCovered |= alpha != 0;
        bAllCovered &= alpha == 255;
    }
    entry.kind = !bAnyCovered ? kindEmpty : bAllCovered ? kindOpaque : kindBlended;
    entry.hBitmap = entry.kind == kindEmpty ? nullptr : static_cast<HBITMAP>(black.Detach());
    return S_OK;
}

HRESULT CXTPThemePartCache::DrawThemeBackground(CXTPUxTheme& theme, HDC hDC, int iPartId, int iStateId, const RECT& rc)
{
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    HTHEME hTheme = theme.GetThemeHandle();
    if (hTheme == nullptr || hDC == nullptr)
        return E_FAIL;
    if (cx <= 0 || cy <= 0)
        return S_OK;
    const CEntry* pEntry = Find(hTheme, iPartId, iStateId, cx, cy);
    if (pEntry == nullptr) {
        CEntry entry = {hTheme, iPartId, iStateId, cx, cy, kindEmpty, nullptr};
        const HRESULT hr = Render(theme, iPartId, iStateId, cx, cy, entry);
        if (FAILED(hr))
            return hr;
        if (m_entries.size() >= kMaxEntries)
            Clear();
        m_entries.push_back(entry);
        pEntry = &m_entries.back();
    }
    if (pEntry->kind == kindEmpty)
        return S_OK;
    if (m_hMemDC == nullptr)
        m_hMemDC = ::CreateCompatibleDC(nullptr);
    if (m_hMemDC == nullptr)
        return E_FAIL;
    CScopedSelect select(m_hMemDC, pEntry->hBitmap);
    if (pEntry->kind == kindOpaque)
        return ::BitBlt(hDC, rc.left, rc.top, cx, cy, m_hMemDC, 0, 0, SRCCOPY) ? S_OK : E_FAIL;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hDC, rc.left, rc.top, cx, cy, m_hMemDC, 0, 0, cx, cy, blend) ? S_OK : E_FAIL;
}
