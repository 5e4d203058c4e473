#include "companions/NewsLineWnd.h"
#include "companions/NewsLinePages.h"
#include "res/resource.h"

#include <commctrl.h>

#include "feeds/EngineMessages.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedText.h"
#include "feeds/LocalTime.h"
#include "feeds/NewsLineItem.h"
#include "feeds/WebAddresses.h"
#include "framework/core/Collections.h"
#include "framework/win/Menu.h"
#include "framework/win/PropertySheet.h"
#include "framework/win/WinApp.h"
#include "toolkit/commandbars/XTPCommandBars.h"

HANDLE g_hNewsLineExitEvent = nullptr;

namespace {

const wchar_t kSection[] = L"NewsLine";
const wchar_t kNoItems[] = L"There are no items to show";
const int kIconLeft = 3;
const int kTextLeft = 22;
const int kDateGap = 10;

LOGFONTW BuiltInFont(int nHeight)
{
    LOGFONTW font{};
    font.lfHeight = nHeight;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
    return font;
}

CString DateText(const COleDateTime& utc)
{
    if (utc.GetStatus() != COleDateTime::valid)
        return CString();
    const COleDateTime local = ToLocalTime(&utc);
    SYSTEMTIME date{};
    if (local.GetStatus() != COleDateTime::valid || !local.GetAsSystemTime(date))
        return CString();
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    WCHAR time[100] = L"";
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &date, nullptr, time, 100);
    if (NewsLineLayout::ShowsTimeOnly(date, today))
        return time;
    WCHAR day[100] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, day, 100);
    return CString(day) + L"   " + time;
}

} // namespace

BEGIN_MESSAGE_MAP(CNewsLineWnd, CAppBarWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_NEWSLINE_TOP, OnDockTop)
ON_COMMAND(ID_NEWSLINE_BOTTOM, OnDockBottom)
ON_COMMAND(ID_NEWSLINE_PROPERTIES, ShowProperties)
ON_COMMAND(ID_NEWSLINE_CLOSE, OnCloseTicker)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_TIMER()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_NEWSLINE_RELOAD, OnReload)
ON_MESSAGE(WM_NEWSLINE_ITEM_REMOVED, OnItemRemoved)
END_MESSAGE_MAP()

CNewsLineWnd::CNewsLineWnd()
    : m_pThread(nullptr), m_hFrame(nullptr), m_crBackground(RGB(255, 255, 255)), m_crNews(0), m_crTitle(0),
      m_nBarHeight(NewsLineLayout::BarHeight(2)), m_bHover(false), m_bManualTicks(false)
{
    LOGFONTW title = BuiltInFont(-11);
    LOGFONTW news = BuiltInFont(-16);
    m_titleFont.Attach(::CreateFontIndirectW(&title));
    m_newsFont.Attach(::CreateFontIndirectW(&news));
}

CNewsLineWnd::~CNewsLineWnd() = default;

BOOL CNewsLineWnd::Create(CWnd* pFrame)
{
    m_hFrame = pFrame ? pFrame->GetSafeHwnd() : nullptr;
    m_nBarHeight = NewsLineLayout::BarHeight(AfxGetApp()->GetProfileInt(kSection, L"Height", 2));
    return CAppBarWnd::Create(pFrame);
}

int CNewsLineWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CAppBarWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_images.Attach(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 10, 0));
    if (HBITMAP images = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_PANE_ICONS))) {
        ImageList_AddMasked(m_images, images, RGB(255, 0, 255));
        ::DeleteObject(images);
    }
    LoadSettings();
    return 0;
}

void CNewsLineWnd::LoadSettings()
{
    m_nBarHeight = NewsLineLayout::BarHeight(AfxGetApp()->GetProfileInt(kSection, L"Height", 2));
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (client.bottom != m_nBarHeight) {
        // The client area is the bar's height at either edge, inside the window's edge (whatever its width); the
        // application bar keeps the window's height as its thickness.
        RECT frame = {0, 0, 0, m_nBarHeight};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)));
        m_nHeight = frame.bottom - frame.top;
        RECT rect;
        ::GetWindowRect(m_hWnd, &rect);
        if (m_nEdge == ABE_BOTTOM)
            rect.top = rect.bottom - m_nHeight;
        else
            rect.bottom = rect.top + m_nHeight;
        ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    }
    LOGFONTW font;
    if (ReadNewsLineFont(L"FontTitle", font))
        m_titleFont.Attach(::CreateFontIndirectW(&font));
    if (ReadNewsLineFont(L"FontNews", font))
        m_newsFont.Attach(::CreateFontIndirectW(&font));
    CWinApp* app = AfxGetApp();
    m_crBackground = app->GetProfileInt(kSection, L"BackgoundColor", static_cast<int>(m_crBackground));
    m_crTitle = app->GetProfileInt(kSection, L"TitleColor", static_cast<int>(m_crTitle));
    m_crNews = app->GetProfileInt(kSection, L"NewsColor", static_cast<int>(m_crNews));
}

void CNewsLineWnd::StartTimer(UINT_PTR nId, UINT nElapse)
{
    if (!m_bManualTicks)
        ::SetTimer(m_hWnd, nId, nElapse, nullptr);
}

void CNewsLineWnd::StopTimer(UINT_PTR nId)
{
    ::KillTimer(m_hWnd, nId);
}

void CNewsLineWnd::ClearItems()
{
    StopTimer(TIMER_SCROLL);
    StopTimer(TIMER_REST);
    m_scroll.Clear();
    for (CScopedBitmap& bitmap : m_slotBitmaps)
        bitmap.Attach(nullptr);
    m_headlines.clear();
    m_bHover = false;
}

void CNewsLineWnd::LayoutItems()
{
    if (m_headlines.empty())
        return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    std::vector<int> widths;
    widths.reserve(m_headlines.size());
    {
        CScopedWindowDC dc(m_hWnd);
        CScopedSelect font(dc, m_newsFont);
        for (const CTickerHeadline& headline : m_headlines) {
            SIZE size{};
            ::GetTextExtentPoint32W(dc, headline.strTitle, headline.strTitle.GetLength(), &size);
            widths.push_back(NewsLineLayout::EntryWidth(size.cx));
        }
    }
    for (CScopedBitmap& bitmap : m_slotBitmaps)
        bitmap.Attach(nullptr);
    m_scroll.Layout(widths, client.right);
    StartTimer(TIMER_SCROLL, CNewsLineScroll::kIntervalMs);
}

LRESULT CNewsLineWnd::OnReload(WPARAM wParam, LPARAM)
{
    ClearItems();
    auto* list = reinterpret_cast<CPtrList*>(wParam);
    std::vector<CTickerHeadline> headlines;
    // The frame waits in its send while this runs: the only moment its records are read here.
    for (POSITION pos = list ? list->GetHeadPosition() : nullptr; pos;) {
        auto* line = static_cast<CNewsLineItem*>(list->GetNext(pos));
        if (!line)
            continue;
        if (line->m_pItem) {
            CTickerHeadline headline;
            headline.pEntry = line->m_pFeed;
            headline.pItem = line->m_pItem;
            headline.strTitle = NewsLineLayout::PlainHeadline(HtmlToPlainText(line->m_pItem->m_strTitleText));
            headline.dtDate = line->m_pItem->m_dtDate;
            headline.strLink = line->m_pItem->m_strLinkText;
            if (const CFeedItem* entry = line->m_pFeed) {
                headline.strFeedTitle = NewsLineLayout::PlainHeadline(HtmlToPlainText(entry->m_strTitleText));
                headline.nImageIndex = entry->m_nImageIndex;
                if (headline.strLink.IsEmpty() && entry->m_pChannel)
                    headline.strLink = entry->m_pChannel->m_info.m_strLink;
            }
            headlines.push_back(headline);
        }
        delete line;
    }
    std::vector<double> dates;
    std::vector<bool> valid;
    for (const CTickerHeadline& headline : headlines) {
        dates.push_back(headline.dtDate);
        valid.push_back(headline.dtDate.GetStatus() == COleDateTime::valid);
    }
    for (int index : NewsLineLayout::SortOrder(dates, valid))
        m_headlines.push_back(headlines[index]);
    CWinApp* app = AfxGetApp();
    if (app->GetProfileInt(kSection, L"Condition", 1) == 2) {
        const int number = static_cast<int>(app->GetProfileInt(kSection, L"Number", 30));
        if (number >= 0 && static_cast<int>(m_headlines.size()) > number)
            m_headlines.resize(number);
    }
    LayoutItems();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CNewsLineWnd::OnItemRemoved(WPARAM wParam, LPARAM)
{
    DropLeft(reinterpret_cast<CFeedItem*>(wParam));
    return 0;
}

// The item is going: its headline keeps showing its copies but no longer names it.
void CNewsLineWnd::DropLeft(CFeedItem* pItem)
{
    for (CTickerHeadline& headline : m_headlines)
        if (headline.pItem == pItem)
            headline.pItem = nullptr;
}

void CNewsLineWnd::DrawEntry(HDC hDC, const CTickerHeadline& headline, int nWidth) const
{
    if (headline.nImageIndex >= 0 && m_images)
        ImageList_Draw(m_images, headline.nImageIndex, hDC, kIconLeft, 1, ILD_NORMAL);
    RECT text = {kTextLeft, 1, nWidth - 3, m_nBarHeight};
    ::SetBkMode(hDC, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    int titleHeight = 0;
    {
        CScopedSelect font(hDC, m_titleFont);
        ::SetTextColor(hDC, m_crTitle);
        titleHeight = ::DrawTextW(hDC, headline.strFeedTitle, headline.strFeedTitle.GetLength(), &text, format);
        const CString date = DateText(headline.dtDate);
        if (!date.IsEmpty()) {
            SIZE size{};
            ::GetTextExtentPoint32W(hDC, headline.strFeedTitle, headline.strFeedTitle.GetLength(), &size);
            RECT dateRect = text;
            dateRect.left = kTextLeft + size.cx + kDateGap;
            ::DrawTextW(hDC, date, date.GetLength(), &dateRect, DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    text.top += titleHeight;
    CScopedSelect font(hDC, m_newsFont);
    ::SetTextColor(hDC, m_crNews);
    ::DrawTextW(hDC, headline.strTitle, headline.strTitle.GetLength(), &text, format);
}

void CNewsLineWnd::RenderLeading(int nEntry)
{
    const int width = m_scroll.GetEntryWidth(nEntry);
    CScopedWindowDC screen(m_hWnd);
    CScopedBitmap bitmap(::CreateCompatibleBitmap(screen, width, m_nBarHeight));
    CScopedCreatedDC dc(::CreateCompatibleDC(screen));
    if (!bitmap || !dc)
        return;
    {
        CScopedSelect select(dc, bitmap);
        RECT all = {0, 0, width, m_nBarHeight};
        CScopedBrush background(::CreateSolidBrush(m_crBackground));
        ::FillRect(dc, &all, background);
        DrawEntry(dc, m_headlines[nEntry], width);
    }
    m_slotBitmaps[m_scroll.GetPhase()] = std::move(bitmap);
}

HBITMAP CNewsLineWnd::GetLeadingBitmap() const
{
    return m_scroll.Leading().nEntry >= 0 ? m_slotBitmaps[m_scroll.GetPhase()].Get() : nullptr;
}

void CNewsLineWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_SCROLL) {
        int entered = -1;
        const CNewsLineScroll::StepResult step = m_scroll.Tick(&entered);
        if (step == CNewsLineScroll::AskReload) {
            StopTimer(TIMER_SCROLL);
            // The frame answers with a reload sent back here while this send waits: nothing may touch the slots
            // after it.
            ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_TICKER_CHANGED, 0);
            return;
        }
        if (entered >= 0)
            RenderLeading(entered);
        if (step == CNewsLineScroll::Rest) {
            StopTimer(TIMER_SCROLL);
            StartTimer(TIMER_REST, CNewsLineScroll::kRestMs);
        }
        if (step != CNewsLineScroll::Idle)
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else if (nIDEvent == TIMER_REST) {
        StopTimer(TIMER_REST);
        if (m_scroll.IsLaidOut()) {
            m_scroll.EndRest();
            if (!m_bHover)
                StartTimer(TIMER_SCROLL, CNewsLineScroll::kIntervalMs);
        }
    }
    CAppBarWnd::OnTimer(nIDEvent);
}

BOOL CNewsLineWnd::OnEraseBkgnd(CDC*)
{
    // Painting fills every pixel from its buffer.
    return TRUE;
}

void CNewsLineWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    CScopedCreatedDC buffer(::CreateCompatibleDC(hDC));
    CScopedBitmap bitmap(::CreateCompatibleBitmap(hDC, client.right > 0 ? client.right : 1,
                                                  client.bottom > 0 ? client.bottom : 1));
    if (buffer && bitmap) {
        CScopedSelect select(buffer, bitmap);
        CScopedBrush background(::CreateSolidBrush(m_crBackground));
        ::FillRect(buffer, &client, background);
        if (m_headlines.empty()) {
            RECT text = {10, client.top, client.right - 10, client.bottom};
            CScopedSelect font(buffer, m_newsFont);
            ::SetBkMode(buffer, TRANSPARENT);
            ::SetTextColor(buffer, m_crNews);
            ::DrawTextW(buffer, kNoItems, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        } else if (m_scroll.IsLaidOut()) {
            CScopedCreatedDC slotDC(::CreateCompatibleDC(hDC));
            const CNewsLineScroll::Slot* slots[] = {&m_scroll.GetSlotA(), &m_scroll.GetSlotB()};
            for (int i = 0; i < 2; ++i) {
                if (slots[i]->nEntry < 0 || !m_slotBitmaps[i])
                    continue;
                CScopedSelect slotBitmap(slotDC, m_slotBitmaps[i]);
                ::BitBlt(buffer, slots[i]->x, 0, m_scroll.GetEntryWidth(slots[i]->nEntry), m_nBarHeight, slotDC, 0,
                         0, SRCCOPY);
            }
        }
        ::BitBlt(hDC, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    }
    ::EndPaint(m_hWnd, &ps);
}

void CNewsLineWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_scroll.Leading().nEntry >= 0) {
        const bool over = m_scroll.HitLeading(point, m_nBarHeight) >= 0;
        if (over && !m_bHover) {
            m_bHover = true;
            StopTimer(TIMER_SCROLL);
        } else if (!over && m_bHover) {
            m_bHover = false;
            StartTimer(TIMER_SCROLL, CNewsLineScroll::kIntervalMs);
        }
        if (m_bHover) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&track);
        }
    }
    CAppBarWnd::OnMouseMove(nFlags, point);
}

void CNewsLineWnd::OnMouseLeave()
{
    if (m_bHover) {
        m_bHover = false;
        StartTimer(TIMER_SCROLL, CNewsLineScroll::kIntervalMs);
    }
}

void CNewsLineWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    CAppBarWnd::OnLButtonDown(nFlags, point);
}

void CNewsLineWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    int entry = -1;
    if (m_bHover)
        entry = m_scroll.Leading().nEntry;
    else
        entry = m_scroll.HitTrailing(point, m_nBarHeight);
    if (entry >= 0 && entry < static_cast<int>(m_headlines.size()))
        OpenHeadline(m_headlines[entry]);
    CAppBarWnd::OnLButtonUp(nFlags, point);
}

void CNewsLineWnd::OpenHeadline(const CTickerHeadline& headline)
{
    // Only an address that passes the opener's check leaves the program, and never on a command line.
    if (headline.strLink.IsEmpty() || !OpenInBrowser(headline.strLink))
        return;
    if (headline.pItem)
        ::SendMessageW(m_hFrame, WM_NEWSLINE_ITEM_OPENED, reinterpret_cast<WPARAM>(headline.pItem),
                       reinterpret_cast<LPARAM>(headline.pEntry));
    m_scroll.SetOpened();
}

void CNewsLineWnd::OnContextMenu(CWnd*, CPoint point)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_NEWSLINE_CONTEXT))
        return;
    CXTPCommandBars::TrackPopupMenu(menu.GetSubMenu(0), TPM_RIGHTBUTTON, point.x, point.y, this, nullptr, this);
}

void CNewsLineWnd::OnDockTop()
{
    Dock(ABE_TOP);
}

void CNewsLineWnd::OnDockBottom()
{
    Dock(ABE_BOTTOM);
}

void CNewsLineWnd::ShowProperties()
{
    CPropertySheet sheet(IDS_NEWSLINE_PROPERTIES, this);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CNLGeneralProp general;
    CNLSizeProp size;
    CNLColorProp colors;
    sheet.AddPage(&general);
    sheet.AddPage(&size);
    sheet.AddPage(&colors);
    if (sheet.DoModal() != IDOK || !::IsWindow(m_hWnd))
        return;
    StopTimer(TIMER_SCROLL);
    StopTimer(TIMER_REST);
    m_scroll.Clear();
    for (CScopedBitmap& bitmap : m_slotBitmaps)
        bitmap.Attach(nullptr);
    m_bHover = false;
    LoadSettings();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    if (general.m_bChanged)
        // The frame answers with a reload sent back here: nothing may follow the send.
        ::SendMessageW(m_hFrame, WM_FRAME_EVENT, FRAME_EVENT_TICKER_CHANGED, 0);
    else
        LayoutItems();
}

void CNewsLineWnd::OnCloseTicker()
{
    ::PostMessageW(m_hFrame, WM_NEWSLINE_CLOSED, 0, 0);
}

void CNewsLineWnd::OnClose()
{
    DestroyWindow();
}

void CNewsLineWnd::OnDestroy()
{
    ClearItems();
    CAppBarWnd::OnDestroy();
}

CNewsLineThread::CNewsLineThread(HWND hFrame) : m_hFrame(hFrame)
{
    m_bAutoDelete = TRUE;
}

CNewsLineThread::~CNewsLineThread()
{
    if (g_hNewsLineExitEvent)
        ::SetEvent(g_hNewsLineExitEvent);
}

BOOL CNewsLineThread::InitInstance()
{
    CWnd frame;
    frame.m_hWnd = m_hFrame;
    const BOOL created = m_wnd.Create(&frame);
    frame.m_hWnd = nullptr;
    if (!created)
        return FALSE;
    m_pMainWnd = &m_wnd;
    m_wnd.SetThread(this);
    return TRUE;
}
