#include "framework/html/HtmlPane.h"

#include <algorithm>

#include "framework/core/ScopedHandles.h"
#include "framework/html/HtmlParser.h"
#include "framework/win/WinApp.h"

namespace {

constexpr int kLineStep = 20;
constexpr COLORREF kLinkColour = RGB(0, 0, 204);

bool KeyDown(int vk)
{
    return (::GetKeyState(vk) & 0x8000) != 0;
}

std::string Utf8Of(const CString& text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), &out[0], n, nullptr, nullptr);
    return out;
}

CString HtmlEscape(const CString& text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c == L'<')
            out += L"&lt;";
        else if (c == L'>')
            out += L"&gt;";
        else if (c == L'&')
            out += L"&amp;";
        else
            out += c;
    }
    return out;
}

// The family of the default GUI font as the system realises it: "MS Shell Dlg" is only an alias, and drawing
// through the alias under Wine gives glyphs narrower than its measures and no bold face.
CString DefaultGuiFamily()
{
    LOGFONTW font{};
    if (!::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font) || font.lfFaceName[0] == 0)
        return CString(L"Tahoma");
    wchar_t substitute[LF_FACESIZE] = {};
    DWORD size = sizeof(substitute) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                       font.lfFaceName, RRF_RT_REG_SZ, nullptr, substitute, &size) == ERROR_SUCCESS &&
        substitute[0] != 0)
        return CString(substitute);
    return CString(font.lfFaceName);
}

} // namespace

// ---- The document object

HRESULT CHtmlBodyElement::get_scrollLeft(long* p) const
{
    if (p == nullptr)
        return E_POINTER;
    *p = m_pPane->GetScrollLeft();
    return S_OK;
}

HRESULT CHtmlBodyElement::put_scrollLeft(long v)
{
    m_pPane->SetScrollLeft(static_cast<int>(v));
    return S_OK;
}

HRESULT CHtmlBodyElement::get_scrollTop(long* p) const
{
    if (p == nullptr)
        return E_POINTER;
    *p = m_pPane->GetScrollTop();
    return S_OK;
}

HRESULT CHtmlBodyElement::put_scrollTop(long v)
{
    m_pPane->SetScrollTop(static_cast<int>(v));
    return S_OK;
}

HRESULT CHtmlBodyElement::get_scrollHeight(long* p) const
{
    if (p == nullptr)
        return E_POINTER;
    *p = m_pPane->GetScrollHeight();
    return S_OK;
}

HRESULT CHtmlBodyElement::get_scrollWidth(long* p) const
{
    if (p == nullptr)
        return E_POINTER;
    *p = m_pPane->GetScrollWidth();
    return S_OK;
}

HRESULT CHtmlPageDocument::get_body(CHtmlBodyElement** ppBody)
{
    if (ppBody == nullptr)
        return E_POINTER;
    *ppBody = &m_body;
    return S_OK;
}

HRESULT CHtmlPageDocument::get_title(CString* pTitle) const
{
    if (pTitle == nullptr)
        return E_POINTER;
    *pTitle = m_pPane->GetTitle();
    return S_OK;
}

HRESULT CHtmlPageDocument::get_URL(CString* pUrl) const
{
    if (pUrl == nullptr)
        return E_POINTER;
    *pUrl = m_pPane->GetLocationURL();
    return S_OK;
}

// ---- The pane

IMPLEMENT_DYNAMIC(CHtmlPane, CWnd)

BEGIN_MESSAGE_MAP(CHtmlPane, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_VSCROLL()
ON_WM_HSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_SETCURSOR()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_GETDLGCODE()
ON_WM_CONTEXTMENU()
ON_MESSAGE(WM_HTMLPANE_FETCHED, OnFetchDone)
END_MESSAGE_MAP()

CHtmlPane::CHtmlPane() : m_document(this)
{
    m_strAddress = L"about:blank";
}

CHtmlPane::~CHtmlPane()
{
    m_pMeasure.reset();
    if (m_hMeasureDC != nullptr)
        ::DeleteDC(m_hMeasureDC);
}

BOOL CHtmlPane::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwHostFlags)
{
    m_dwHostFlags = dwHostFlags;
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
    const DWORD exStyle = (dwHostFlags & DOCHOSTUIFLAG_NO3DBORDER) ? 0 : WS_EX_CLIENTEDGE;
    if (!CreateEx(exStyle, cls, L"", dwStyle | WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN, rect, pParentWnd, nID))
        return FALSE;
    m_hMeasureDC = ::CreateCompatibleDC(nullptr);
    m_pMeasure = std::make_unique<CHtmlMeasure>(m_hMeasureDC, DefaultGuiFamily().GetString());
    Relayout();
    return TRUE;
}

void CHtmlPane::SetHostFlags(DWORD dwFlags)
{
    m_dwHostFlags = dwFlags;
    if (m_hWnd == nullptr)
        return;
    ModifyStyleEx((dwFlags & DOCHOSTUIFLAG_NO3DBORDER) ? WS_EX_CLIENTEDGE : 0,
                  (dwFlags & DOCHOSTUIFLAG_NO3DBORDER) ? 0 : WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    m_nLayoutWidth = -1;
    Relayout();
}

BOOL CHtmlPane::Navigate(const CString& url, const CString& headers, const std::string& postData, bool forcePost)
{
    if (m_pHost != nullptr) {
        BOOL bCancel = FALSE;
        m_pHost->OnPaneBeforeNavigate(url, 0, postData, headers, &bCancel);
        if (bCancel)
            return FALSE;
    }
    if (m_hWnd == nullptr)
        return FALSE;
    const std::wstring address(url.GetString());
    const HtmlAddressKind kind = HtmlClassifyAddress(address);
    // Script and unknown schemes never run or load: the page stays as it is.
    if (kind == HtmlAddressKind::Refused)
        return FALSE;
    Stop();
    if (m_pHost != nullptr)
        m_pHost->OnPaneDownloadBegin();
    if (kind == HtmlAddressKind::Http) {
        HtmlLoadRequest request;
        request.address = address;
        request.headers = headers.GetString();
        request.postData = postData;
        request.post = forcePost;
        const WPARAM ticket = m_nNextTicket++;
        if (HtmlFetchAsync(request, m_hWnd, WM_HTMLPANE_FETCHED, ticket)) {
            m_nPendingTicket = ticket;
            m_strPendingUrl = url;
            m_bPendingEvents = true;
            return TRUE;
        }
        HtmlLoadResult failed;
        failed.error = ERROR_NOT_ENOUGH_MEMORY;
        ShowResult(url, failed, true);
        return TRUE;
    }
    HtmlLoadResult result;
    HtmlLoadLocal(address, result);
    ShowResult(url, result, true);
    return TRUE;
}

BOOL CHtmlPane::LoadFromResource(HMODULE hModule, LPCWSTR lpszResource)
{
    std::string bytes;
    if (!HtmlLoadResource(hModule, lpszResource, bytes))
        return FALSE;
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(hModule, module, MAX_PATH);
    CString url;
    if (IS_INTRESOURCE(lpszResource))
        url.Format(L"res://%ls/%u", module, static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(lpszResource)));
    else
        url.Format(L"res://%ls/%ls", module, lpszResource);
    HtmlLoadResult result;
    result.ok = true;
    result.bytes = std::move(bytes);
    Stop();
    ShowResult(url, result, true);
    return TRUE;
}

void CHtmlPane::ShowHtml(const std::string& bytes, const CString& url)
{
    HtmlLoadResult result;
    result.ok = true;
    result.bytes = bytes;
    Stop();
    ShowResult(url, result, false);
}

void CHtmlPane::Stop()
{
    // A fetch still running ends on its own; its answer finds no ticket and is dropped.
    m_nPendingTicket = 0;
}

void CHtmlPane::Refresh()
{
    const std::wstring address(m_strAddress.GetString());
    const int x = m_nScrollX;
    const int y = m_nScrollY;
    if (HtmlClassifyAddress(address) == HtmlAddressKind::Http) {
        HtmlLoadRequest request;
        request.address = address;
        const WPARAM ticket = m_nNextTicket++;
        if (HtmlFetchAsync(request, m_hWnd, WM_HTMLPANE_FETCHED, ticket)) {
            m_nPendingTicket = ticket;
            m_strPendingUrl = m_strAddress;
            m_bPendingEvents = false;
        }
        return;
    }
    HtmlLoadResult result;
    if (!HtmlLoadLocal(address, result))
        return;
    Stop();
    ShowResult(m_strAddress, result, false);
    SetScrollLeft(x);
    SetScrollTop(y);
}

LRESULT CHtmlPane::OnFetchDone(WPARAM wParam, LPARAM lParam)
{
    std::unique_ptr<HtmlLoadResult> result(reinterpret_cast<HtmlLoadResult*>(lParam));
    if (result == nullptr || wParam != m_nPendingTicket || m_nPendingTicket == 0)
        return 0;
    m_nPendingTicket = 0;
    ShowResult(m_strPendingUrl, *result, m_bPendingEvents);
    return 0;
}

void CHtmlPane::ShowResult(const CString& url, const HtmlLoadResult& result, bool fireEvents)
{
    m_strAddress = url;
    m_images.SetBase(std::wstring(url.GetString()));
    if (result.ok) {
        CHtmlParser::ParseBytes(result.bytes.data(), result.bytes.size(), m_doc);
    } else {
        // A page that cannot be had still gets a page, as a browser shows its own.
        CString text;
        text.Format(L"<html><head><title>Page not available</title></head><body><h3>The page cannot be shown."
                    L"</h3><p>%ls</p><p>Error %lu.</p></body></html>",
                    HtmlEscape(url).GetString(), static_cast<unsigned long>(result.error));
        const std::string bytes = Utf8Of(text);
        CHtmlParser::ParseBytes(bytes.data(), bytes.size(), m_doc);
    }
    m_bHasPage = true;
    m_nScrollX = 0;
    m_nScrollY = 0;
    m_nSelAnchor = m_nSelEnd = 0;
    m_nFocusLink = -1;
    m_nDownLink = -1;
    m_nLayoutWidth = -1;
    Relayout();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
    if (fireEvents && m_pHost != nullptr) {
        // The host may navigate again from inside these; nothing of this call is used after them.
        const CString shown = url;
        m_pHost->OnPaneDownloadComplete();
        m_pHost->OnPaneNavigateComplete(shown);
        m_pHost->OnPaneDocumentComplete(shown);
    }
}

CSize CHtmlPane::ClientSize() const
{
    if (m_hWnd == nullptr)
        return CSize(0, 0);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
}

void CHtmlPane::Relayout()
{
    if (m_pMeasure == nullptr || m_hWnd == nullptr)
        return;
    const bool noScroll = (m_dwHostFlags & DOCHOSTUIFLAG_SCROLL_NO) != 0;
    // The vertical bar takes room from the page: lay out, and once more when the bar comes or goes.
    for (int pass = 0; pass < 2; ++pass) {
        const CSize client = ClientSize();
        const int width = std::max<int>(client.cx, 1);
        if (width != m_nLayoutWidth) {
            m_images.SetBase(std::wstring(m_strAddress.GetString()));
            m_layout.SetImageSizeCallback([this](const CString& source, CSize& size) -> BOOL {
                SIZE natural;
                if (!m_images.GetSize(std::wstring(source.GetString()), natural))
                    return FALSE;
                size = CSize(natural.cx, natural.cy);
                return TRUE;
            });
            m_layout.Layout(m_doc, *m_pMeasure, width);
            m_nLayoutWidth = width;
            ++m_nLayouts;
        }
        const bool wantV = !noScroll && m_layout.GetHeight() > client.cy;
        if (wantV == m_bVScroll)
            break;
        m_bVScroll = wantV;
        ::ShowScrollBar(m_hWnd, SB_VERT, wantV);
    }
    const CSize client = ClientSize();
    const bool wantH = !noScroll && m_layout.GetWidth() > client.cx;
    if (wantH != m_bHScroll) {
        m_bHScroll = wantH;
        ::ShowScrollBar(m_hWnd, SB_HORZ, wantH);
    }
    m_nScrollY = std::min(m_nScrollY, MaxScrollY());
    m_nScrollX = std::min(m_nScrollX, MaxScrollX());
    UpdateScrollBars();
}

int CHtmlPane::MaxScrollY() const
{
    return std::max(0, m_layout.GetHeight() - static_cast<int>(ClientSize().cy));
}

int CHtmlPane::MaxScrollX() const
{
    return std::max(0, m_layout.GetWidth() - static_cast<int>(ClientSize().cx));
}

void CHtmlPane::UpdateScrollBars()
{
    if (m_hWnd == nullptr || (m_dwHostFlags & DOCHOSTUIFLAG_SCROLL_NO))
        return;
    const CSize client = ClientSize();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (m_bVScroll) {
        si.nMax = std::max(0, m_layout.GetHeight() - 1);
        si.nPage = static_cast<UINT>(std::max<int>(client.cy, 0));
        si.nPos = m_nScrollY;
        ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    }
    if (m_bHScroll) {
        si.nMax = std::max(0, m_layout.GetWidth() - 1);
        si.nPage = static_cast<UINT>(std::max<int>(client.cx, 0));
        si.nPos = m_nScrollX;
        ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
    }
}

void CHtmlPane::SetScrollTop(int y)
{
    y = std::max(0, std::min(y, MaxScrollY()));
    if (y == m_nScrollY)
        return;
    const int dy = m_nScrollY - y;
    m_nScrollY = y;
    UpdateScrollBars();
    if (m_hWnd != nullptr)
        ::ScrollWindowEx(m_hWnd, 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

void CHtmlPane::SetScrollLeft(int x)
{
    x = std::max(0, std::min(x, MaxScrollX()));
    if (x == m_nScrollX)
        return;
    const int dx = m_nScrollX - x;
    m_nScrollX = x;
    UpdateScrollBars();
    if (m_hWnd != nullptr)
        ::ScrollWindowEx(m_hWnd, dx, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
}

CRect CHtmlPane::PageToClient(const CRect& rc) const
{
    CRect out = rc;
    out.OffsetRect(-m_nScrollX, -m_nScrollY);
    return out;
}

std::vector<CHtmlPaneLink> CHtmlPane::GetLinks() const
{
    std::vector<CHtmlPaneLink> links;
    for (const CHtmlLink& link : m_layout.GetLinks()) {
        CHtmlPaneLink item;
        item.m_strHref = link.m_strHref;
        item.m_strText = link.m_strText;
        for (const CRect& rc : link.m_rects)
            item.m_rects.push_back(PageToClient(rc));
        links.push_back(std::move(item));
    }
    return links;
}

int CHtmlPane::FindLink(const CString& href) const
{
    const auto& links = m_layout.GetLinks();
    for (size_t i = 0; i < links.size(); ++i)
        if (links[i].m_strHref == href)
            return static_cast<int>(i);
    return -1;
}

BOOL CHtmlPane::ClickLink(int nIndex)
{
    const auto& links = m_layout.GetLinks();
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= links.size())
        return FALSE;
    const std::wstring target =
        HtmlResolveAddress(std::wstring(m_strAddress.GetString()), std::wstring(links[nIndex].m_strHref.GetString()));
    return Navigate(CString(target.c_str()));
}

// ---- Selection

void CHtmlPane::SetSelection(int nStart, int nEnd)
{
    const int length = m_layout.GetPlainText().GetLength();
    m_nSelAnchor = std::max(0, std::min(nStart, length));
    m_nSelEnd = std::max(0, std::min(nEnd, length));
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

CString CHtmlPane::GetSelectedText() const
{
    const int a = std::min(m_nSelAnchor, m_nSelEnd);
    const int b = std::max(m_nSelAnchor, m_nSelEnd);
    return m_layout.GetPlainText().Mid(a, b - a);
}

BOOL CHtmlPane::CopySelection()
{
    const CString text = GetSelectedText();
    if (text.IsEmpty() || !::OpenClipboard(m_hWnd))
        return FALSE;
    ::EmptyClipboard();
    const size_t bytes = (static_cast<size_t>(text.GetLength()) + 1) * sizeof(wchar_t);
    CScopedGlobal hMem(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    BOOL ok = FALSE;
    if (void* p = hMem ? ::GlobalLock(hMem) : nullptr) {
        memcpy(p, text.GetString(), bytes);
        ::GlobalUnlock(hMem);
        ok = ::SetClipboardData(CF_UNICODETEXT, hMem) != nullptr;
        // The clipboard owns the memory once it took it.
        if (ok)
            hMem.Detach();
    }
    ::CloseClipboard();
    return ok;
}

int CHtmlPane::HitTestText(CPoint client)
{
    const CPoint page(client.x + m_nScrollX, client.y + m_nScrollY);
    const auto& runs = m_layout.GetRuns();
    std::vector<int> indices;
    m_layout.GetRunsInRect(CRect(0, page.y, std::max(m_layout.GetWidth(), 1) + 1, page.y + 1), indices);
    const CHtmlRun* best = nullptr;
    int bestDistance = INT_MAX;
    for (int i : indices) {
        const CHtmlRun& run = runs[static_cast<size_t>(i)];
        if (run.m_kind != CHtmlRun::kindText || run.m_strText.IsEmpty())
            continue;
        const int distance = page.x < run.m_rect.left     ? run.m_rect.left - page.x
                             : page.x >= run.m_rect.right ? page.x - run.m_rect.right + 1
                                                          : 0;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &run;
        }
    }
    if (best == nullptr) {
        // Between lines: the start of the first text below the point, else the end of the page.
        int offset = m_layout.GetPlainText().GetLength();
        int top = INT_MAX;
        for (const CHtmlRun& run : runs)
            if (run.m_kind == CHtmlRun::kindText && run.m_rect.top > page.y && run.m_rect.top < top) {
                top = run.m_rect.top;
                offset = run.m_nTextOffset;
            }
        return offset;
    }
    std::vector<int> ends;
    m_pMeasure->GetCharacterEnds(m_layout.GetStyle(best->m_nStyle), best->m_strText.GetString(),
                                 best->m_strText.GetLength(), ends);
    const int x = page.x - best->m_rect.left;
    int index = 0;
    int previous = 0;
    for (size_t i = 0; i < ends.size(); ++i) {
        if (x < (previous + ends[i] + 1) / 2)
            break;
        previous = ends[i];
        index = static_cast<int>(i) + 1;
    }
    return best->m_nTextOffset + index;
}

// ---- Drawing

void CHtmlPane::DrawRun(HDC hdc, const CHtmlRun& run, CPoint origin)
{
    CRect rc = run.m_rect;
    rc.OffsetRect(origin);
    const CHtmlStyle& style = m_layout.GetStyle(run.m_nStyle);
    switch (run.m_kind) {
    case CHtmlRun::kindBackground: {
        if (style.m_crBackground == CLR_NONE)
            break;
        ::SetBkColor(hdc, style.m_crBackground);
        ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        break;
    }
    case CHtmlRun::kindText: {
        CHtmlStyle drawn = style;
        if (run.m_nLink >= 0) {
            drawn.m_bUnderline = TRUE;
            if (drawn.m_crText == RGB(0, 0, 0))
                drawn.m_crText = kLinkColour;
        }
        ::SetTextColor(hdc, drawn.m_crText);
        ::SetBkMode(hdc, TRANSPARENT);
        // Each character goes where the layout measured it, so text, selection and hit tests agree.
        const int length = run.m_strText.GetLength();
        std::vector<int> ends;
        m_pMeasure->GetCharacterEnds(drawn, run.m_strText.GetString(), length, ends);
        std::vector<INT> advances(static_cast<size_t>(length));
        for (int i = 0; i < length && static_cast<size_t>(i) < ends.size(); ++i)
            advances[static_cast<size_t>(i)] =
                ends[static_cast<size_t>(i)] - (i > 0 ? ends[static_cast<size_t>(i) - 1] : 0);
        const bool haveAdvances = ends.size() == static_cast<size_t>(length);
        ::SelectObject(hdc, m_pMeasure->GetFont(drawn));
        ::ExtTextOutW(hdc, rc.left, rc.top, 0, nullptr, run.m_strText.GetString(), static_cast<UINT>(length),
                      haveAdvances ? advances.data() : nullptr);
        // The selected part: highlighted and drawn again over the highlight.
        const int a = std::min(m_nSelAnchor, m_nSelEnd) - run.m_nTextOffset;
        const int b = std::max(m_nSelAnchor, m_nSelEnd) - run.m_nTextOffset;
        if (b > 0 && a < length && a < b) {
            const int from = std::max(a, 0);
            const int to = std::min(b, length);
            const int x0 = from > 0 && static_cast<size_t>(from) <= ends.size() ? ends[from - 1] : 0;
            const int x1 = to > 0 && static_cast<size_t>(to) <= ends.size() ? ends[to - 1] : rc.Width();
            RECT sel = {rc.left + x0, rc.top, rc.left + x1, rc.bottom};
            ::SetBkColor(hdc, ::GetSysColor(COLOR_HIGHLIGHT));
            ::SetTextColor(hdc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
            ::ExtTextOutW(hdc, rc.left + x0, rc.top, ETO_OPAQUE | ETO_CLIPPED, &sel, run.m_strText.GetString() + from,
                          static_cast<UINT>(to - from), haveAdvances ? advances.data() + from : nullptr);
        }
        break;
    }
    case CHtmlRun::kindMarker: {
        if (!run.m_strText.IsEmpty()) {
            ::SelectObject(hdc, m_pMeasure->GetFont(style));
            ::SetTextColor(hdc, style.m_crText);
            ::SetBkMode(hdc, TRANSPARENT);
            ::ExtTextOutW(hdc, rc.left, rc.top, 0, nullptr, run.m_strText.GetString(),
                          static_cast<UINT>(run.m_strText.GetLength()), nullptr);
            break;
        }
        HBRUSH brush = ::CreateSolidBrush(style.m_crText);
        HPEN pen = ::CreatePen(PS_SOLID, 1, style.m_crText);
        HGDIOBJ oldBrush =
            ::SelectObject(hdc, style.m_listType == CHtmlStyle::listCircle ? ::GetStockObject(NULL_BRUSH)
                                                                           : static_cast<HGDIOBJ>(brush));
        HGDIOBJ oldPen = ::SelectObject(hdc, pen);
        if (style.m_listType == CHtmlStyle::listSquare)
            ::Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
        else
            ::Ellipse(hdc, rc.left, rc.top, rc.right, rc.bottom);
        ::SelectObject(hdc, oldBrush);
        ::SelectObject(hdc, oldPen);
        ::DeleteObject(brush);
        ::DeleteObject(pen);
        break;
    }
    case CHtmlRun::kindRule: {
        RECT top = {rc.left, rc.top, rc.right, rc.top + 1};
        RECT rest = {rc.left, rc.top + 1, rc.right, std::max(rc.bottom, rc.top + 2)};
        ::SetBkColor(hdc, RGB(160, 160, 160));
        ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &top, nullptr, 0, nullptr);
        ::SetBkColor(hdc, RGB(224, 224, 224));
        ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
        break;
    }
    case CHtmlRun::kindBorder: {
        HBRUSH brush = ::CreateSolidBrush(RGB(192, 192, 192));
        ::FrameRect(hdc, &rc, brush);
        ::DeleteObject(brush);
        break;
    }
    case CHtmlRun::kindImage: {
        if (m_images.Draw(hdc, std::wstring(run.m_strSource.GetString()), rc))
            break;
        // Remote or unreadable: the alt text in a light frame.
        HBRUSH brush = ::CreateSolidBrush(RGB(200, 200, 200));
        ::FrameRect(hdc, &rc, brush);
        ::DeleteObject(brush);
        if (!run.m_strText.IsEmpty()) {
            CHtmlStyle drawn = style;
            if (run.m_nLink >= 0 && drawn.m_crText == RGB(0, 0, 0))
                drawn.m_crText = kLinkColour;
            ::SelectObject(hdc, m_pMeasure->GetFont(drawn));
            ::SetTextColor(hdc, drawn.m_crText);
            ::SetBkMode(hdc, TRANSPARENT);
            RECT text = {rc.left + 2, rc.top + 1, rc.right - 2, rc.bottom - 1};
            ::DrawTextW(hdc, run.m_strText.GetString(), run.m_strText.GetLength(), &text,
                        DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        break;
    }
    }
}

void CHtmlPane::DrawPage(HDC hdc, const CRect& rcPage)
{
    const COLORREF background =
        m_layout.GetBackground() != CLR_NONE ? m_layout.GetBackground() : ::GetSysColor(COLOR_WINDOW);
    RECT all = {0, 0, rcPage.Width(), rcPage.Height()};
    ::SetBkColor(hdc, background);
    ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    if (m_pMeasure == nullptr)
        return;
    const int saved = ::SaveDC(hdc);
    std::vector<int> indices;
    m_layout.GetRunsInRect(rcPage, indices);
    const CPoint origin(-rcPage.left, -rcPage.top);
    const auto& runs = m_layout.GetRuns();
    for (int i : indices)
        DrawRun(hdc, runs[static_cast<size_t>(i)], origin);
    if (m_nFocusLink >= 0 && static_cast<size_t>(m_nFocusLink) < m_layout.GetLinks().size() && ::GetFocus() == m_hWnd) {
        ::SetTextColor(hdc, RGB(0, 0, 0));
        ::SetBkColor(hdc, RGB(255, 255, 255));
        for (CRect rc : m_layout.GetLinks()[static_cast<size_t>(m_nFocusLink)].m_rects) {
            rc.OffsetRect(origin);
            rc.InflateRect(1, 0);
            ::DrawFocusRect(hdc, &rc);
        }
    }
    ::RestoreDC(hdc, saved);
}

void CHtmlPane::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    if (hdc == nullptr)
        return;
    const CRect rcUpdate(ps.rcPaint);
    if (!rcUpdate.IsRectEmpty()) {
        // Drawn off screen and copied, so that scrolling and selection do not flicker.
        const CScopedCreatedDC memory(::CreateCompatibleDC(hdc));
        const CScopedBitmap bitmap(memory ? ::CreateCompatibleBitmap(hdc, rcUpdate.Width(), rcUpdate.Height())
                                          : nullptr);
        CRect rcPage = rcUpdate;
        rcPage.OffsetRect(m_nScrollX, m_nScrollY);
        if (bitmap) {
            const CScopedSelect select(memory, bitmap);
            DrawPage(memory, rcPage);
            ::BitBlt(hdc, rcUpdate.left, rcUpdate.top, rcUpdate.Width(), rcUpdate.Height(), memory, 0, 0, SRCCOPY);
        } else {
            ::SetViewportOrgEx(hdc, rcUpdate.left, rcUpdate.top, nullptr);
            DrawPage(hdc, rcPage);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

BOOL CHtmlPane::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CHtmlPane::OnSize(UINT, int, int)
{
    Relayout();
    Invalidate(FALSE);
}

// ---- Scrolling and keys

void CHtmlPane::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    const int page = std::max(kLineStep, static_cast<int>(ClientSize().cy) - kLineStep);
    int y = m_nScrollY;
    switch (nSBCode) {
    case SB_LINEUP:
        y -= kLineStep;
        break;
    case SB_LINEDOWN:
        y += kLineStep;
        break;
    case SB_PAGEUP:
        y -= page;
        break;
    case SB_PAGEDOWN:
        y += page;
        break;
    case SB_TOP:
        y = 0;
        break;
    case SB_BOTTOM:
        y = MaxScrollY();
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit position: the message's own is 16 bits.
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(m_hWnd, SB_VERT, &si);
        y = si.nTrackPos;
        break;
    }
    default:
        return;
    }
    SetScrollTop(y);
}

void CHtmlPane::OnHScroll(UINT nSBCode, UINT, CScrollBar*)
{
    const int page = std::max(kLineStep, static_cast<int>(ClientSize().cx) - kLineStep);
    int x = m_nScrollX;
    switch (nSBCode) {
    case SB_LINELEFT:
        x -= kLineStep;
        break;
    case SB_LINERIGHT:
        x += kLineStep;
        break;
    case SB_PAGELEFT:
        x -= page;
        break;
    case SB_PAGERIGHT:
        x += page;
        break;
    case SB_LEFT:
        x = 0;
        break;
    case SB_RIGHT:
        x = MaxScrollX();
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(m_hWnd, SB_HORZ, &si);
        x = si.nTrackPos;
        break;
    }
    default:
        return;
    }
    SetScrollLeft(x);
}

BOOL CHtmlPane::OnMouseWheel(UINT, short zDelta, CPoint)
{
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL)
        lines = static_cast<UINT>(std::max(1, static_cast<int>(ClientSize().cy) / kLineStep));
    SetScrollTop(m_nScrollY - zDelta * static_cast<int>(lines) * kLineStep / WHEEL_DELTA);
    return TRUE;
}

void CHtmlPane::OnKeyDown(UINT nChar, UINT, UINT)
{
    const int page = std::max(kLineStep, static_cast<int>(ClientSize().cy) - kLineStep);
    const bool ctrl = KeyDown(VK_CONTROL);
    const bool shift = KeyDown(VK_SHIFT);
    switch (nChar) {
    case VK_UP:
        SetScrollTop(m_nScrollY - kLineStep);
        break;
    case VK_DOWN:
        SetScrollTop(m_nScrollY + kLineStep);
        break;
    case VK_LEFT:
        SetScrollLeft(m_nScrollX - kLineStep);
        break;
    case VK_RIGHT:
        SetScrollLeft(m_nScrollX + kLineStep);
        break;
    case VK_PRIOR:
        SetScrollTop(m_nScrollY - page);
        break;
    case VK_NEXT:
        SetScrollTop(m_nScrollY + page);
        break;
    case VK_SPACE:
        SetScrollTop(m_nScrollY + (shift ? -page : page));
        break;
    case VK_HOME:
        SetScrollTop(0);
        break;
    case VK_END:
        SetScrollTop(MaxScrollY());
        break;
    case VK_TAB:
        MoveFocusLink(!shift);
        break;
    case VK_RETURN:
        if (m_nFocusLink >= 0)
            ClickLink(m_nFocusLink);
        break;
    case 'C':
    case VK_INSERT:
        if (ctrl)
            CopySelection();
        break;
    case 'A':
        if (ctrl)
            SetSelection(0, m_layout.GetPlainText().GetLength());
        break;
    default:
        break;
    }
}

void CHtmlPane::InvalidateLink(int nLink)
{
    if (nLink < 0 || static_cast<size_t>(nLink) >= m_layout.GetLinks().size())
        return;
    for (const CRect& rc : m_layout.GetLinks()[static_cast<size_t>(nLink)].m_rects) {
        CRect client = PageToClient(rc);
        client.InflateRect(2, 2);
        InvalidateRect(&client, FALSE);
    }
}

void CHtmlPane::ScrollLinkIntoView(int nLink)
{
    const auto& links = m_layout.GetLinks();
    if (nLink < 0 || static_cast<size_t>(nLink) >= links.size() || links[nLink].m_rects.empty())
        return;
    const CRect& rc = links[static_cast<size_t>(nLink)].m_rects.front();
    const int height = ClientSize().cy;
    if (rc.top < m_nScrollY)
        SetScrollTop(rc.top);
    else if (rc.bottom > m_nScrollY + height)
        SetScrollTop(rc.bottom - height);
}

void CHtmlPane::MoveFocusLink(bool bForward)
{
    const int count = static_cast<int>(m_layout.GetLinks().size());
    if (count == 0)
        return;
    InvalidateLink(m_nFocusLink);
    if (m_nFocusLink < 0)
        m_nFocusLink = bForward ? 0 : count - 1;
    else
        m_nFocusLink = (m_nFocusLink + (bForward ? 1 : count - 1)) % count;
    ScrollLinkIntoView(m_nFocusLink);
    InvalidateLink(m_nFocusLink);
}

UINT CHtmlPane::OnGetDlgCode()
{
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    const MSG* msg = reinterpret_cast<const MSG*>(GetCurrentMessage()->lParam);
    if (msg != nullptr && msg->message == WM_KEYDOWN) {
        const int count = static_cast<int>(m_layout.GetLinks().size());
        // Tab walks the links, and leaves the pane after the last one (before the first with Shift).
        if (msg->wParam == VK_TAB && count > 0) {
            const bool back = KeyDown(VK_SHIFT);
            if ((!back && m_nFocusLink < count - 1) || (back && m_nFocusLink != 0))
                code |= DLGC_WANTTAB;
        }
        if (msg->wParam == VK_RETURN && m_nFocusLink >= 0)
            code |= DLGC_WANTALLKEYS;
    }
    return code;
}

// ---- Mouse

void CHtmlPane::OnLButtonDown(UINT, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    const int offset = HitTestText(point);
    if (!KeyDown(VK_SHIFT))
        m_nSelAnchor = offset;
    m_nSelEnd = offset;
    m_ptDown = point;
    m_nDownLink = m_layout.HitTestLink(CPoint(point.x + m_nScrollX, point.y + m_nScrollY));
    m_bTracking = true;
    ::SetCapture(m_hWnd);
    Invalidate(FALSE);
}

void CHtmlPane::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    OnLButtonDown(nFlags, point);
    // The first click of the pair has followed the link already; the second must not open it again.
    m_nDownLink = -1;
}

void CHtmlPane::OnMouseMove(UINT, CPoint point)
{
    if (!m_bTracking)
        return;
    const int offset = HitTestText(point);
    if (offset != m_nSelEnd) {
        m_nSelEnd = offset;
        Invalidate(FALSE);
    }
    // Dragging past the edges scrolls.
    const CSize client = ClientSize();
    if (point.y < 0)
        SetScrollTop(m_nScrollY - kLineStep);
    else if (point.y > client.cy)
        SetScrollTop(m_nScrollY + kLineStep);
}

void CHtmlPane::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bTracking)
        return;
    m_bTracking = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    const int downLink = m_nDownLink;
    m_nDownLink = -1;
    const bool moved = std::abs(point.x - m_ptDown.x) > ::GetSystemMetrics(SM_CXDRAG) ||
                       std::abs(point.y - m_ptDown.y) > ::GetSystemMetrics(SM_CYDRAG);
    if (downLink < 0 || moved)
        return;
    if (m_layout.HitTestLink(CPoint(point.x + m_nScrollX, point.y + m_nScrollY)) != downLink)
        return;
    // A click, not a selection: the link is followed.
    m_nSelAnchor = m_nSelEnd;
    InvalidateLink(m_nFocusLink);
    m_nFocusLink = downLink;
    ClickLink(downLink);
}

void CHtmlPane::OnCaptureChanged(CWnd*)
{
    m_bTracking = false;
}

BOOL CHtmlPane::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        const bool overLink = m_layout.HitTestLink(CPoint(pt.x + m_nScrollX, pt.y + m_nScrollY)) >= 0;
        ::SetCursor(::LoadCursorW(nullptr, overLink ? IDC_HAND : IDC_IBEAM));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CHtmlPane::OnSetFocus(CWnd*)
{
    InvalidateLink(m_nFocusLink);
}

void CHtmlPane::OnKillFocus(CWnd*)
{
    InvalidateLink(m_nFocusLink);
}

void CHtmlPane::OnContextMenu(CWnd*, CPoint)
{
    // No context menu, and the parent does not get one from us either.
}
