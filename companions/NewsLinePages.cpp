#include "companions/NewsLinePages.h"

#include "companions/NewsLineLayout.h"
#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "framework/win/WndMsgMap.h"
#include "res/resource.h"
#include "toolkit/customize/XTColorDialog.h"

#include <iterator>

namespace {

const wchar_t kSection[] = L"NewsLine";

// Filter values in the order of the combo box's choices.
const int kFilters[] = {0, 1, 2, 3, 9};
const int kFilterTime = 3;
const int kFilterNumber = 2;

CWinApp* App()
{
    return AfxGetApp();
}

LOGFONTW BuiltInFont(int nHeight)
{
    LOGFONTW font{};
    font.lfHeight = nHeight;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
    return font;
}

void ReadColors(COLORREF& crBackground, COLORREF& crTitle, COLORREF& crNews)
{
    crBackground = App()->GetProfileInt(kSection, L"BackgoundColor", static_cast<int>(crBackground));
    crTitle = App()->GetProfileInt(kSection, L"TitleColor", static_cast<int>(crTitle));
    crNews = App()->GetProfileInt(kSection, L"NewsColor", static_cast<int>(crNews));
}

// The size index the ticker shows for a stored one: one out of range is shown as the middle size, as the ticker
// draws it.
int ReadSizeIndex()
{
    const int size = static_cast<int>(App()->GetProfileInt(kSection, L"Height", 2));
    return size >= 0 && size <= 4 ? size : 2;
}

// The date and time as the ticker shows a headline of another day.
CString NowText()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    WCHAR day[100] = L"";
    WCHAR time[100] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, day, 100);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, time, 100);
    return CString(day) + L"   " + time;
}

// A number the user cannot correct (its box is disabled) is not validated: a stored value out of range must not
// keep the sheet from closing.
void ExchangeNumber(CDataExchange* pDX, int nIDC, int& value, int nMin, int nMax)
{
    DDX_Text(pDX, nIDC, value);
    if (pDX->m_bSaveAndValidate && ::IsWindowEnabled(::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), nIDC)))
        DDV_MinMaxInt(pDX, value, nMin, nMax);
}

template <class Page> Page* FindSibling(CPropertyPage* pPage)
{
    CPropertySheet* sheet = pPage->GetSheet();
    if (!sheet)
        return nullptr;
    for (int i = 0; i < sheet->GetPageCount(); ++i)
        if (auto* page = dynamic_cast<Page*>(sheet->GetPage(i)))
            return page;
    return nullptr;
}

} // namespace

bool ReadNewsLineFont(LPCWSTR lpszEntry, LOGFONTW& font)
{
    LPBYTE data = nullptr;
    UINT bytes = 0;
    bool read = false;
    if (App()->GetProfileBinary(kSection, lpszEntry, &data, &bytes) && data && bytes == sizeof(LOGFONTW)) {
        memcpy(&font, data, sizeof(font));
        font.lfFaceName[LF_FACESIZE - 1] = L'\0';
        read = true;
    }
    delete[] data;
    return read;
}

// ---- The preview

RECT NewsLinePreview::BarRect(const RECT& control, int nSizeIndex)
{
    const int height = NewsLineLayout::BarHeight(nSizeIndex);
    RECT bar = control;
    bar.left += 10;
    bar.right -= 10;
    bar.top = control.top + (control.bottom - control.top - height) / 2;
    bar.bottom = bar.top + height;
    return bar;
}

void NewsLinePreview::FontHeights(int nSizeIndex, int& nTitle, int& nNews)
{
    NewsLineLayout::PreviewFontHeights(nSizeIndex, nTitle, nNews);
}

void NewsLinePreview::Draw(HDC hDC, const RECT& control, int nSizeIndex, HFONT hTitleFont, HFONT hNewsFont,
                           COLORREF crBackground, COLORREF crTitle, COLORREF crNews)
{
    const RECT bar = BarRect(control, nSizeIndex);
    CScopedBrush background(::CreateSolidBrush(crBackground));
    ::FillRect(hDC, &bar, background);
    CScopedIcon icon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    if (icon)
        ::DrawIconEx(hDC, bar.left + 3, bar.top + 1, icon, 16, 16, 0, nullptr, DI_NORMAL);

    const int saved = ::SaveDC(hDC);
    ::SetBkMode(hDC, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    RECT text = {bar.left + 22, bar.top, bar.right - 3, bar.bottom};
    ::SelectObject(hDC, hTitleFont);
    ::SetTextColor(hDC, crTitle);
    const wchar_t title[] = L"Feed Title";
    const int titleHeight = ::DrawTextW(hDC, title, -1, &text, format);
    SIZE titleSize{};
    ::GetTextExtentPoint32W(hDC, title, lstrlenW(title), &titleSize);
    RECT date = text;
    date.left += titleSize.cx + 10;
    const CString now = NowText();
    ::DrawTextW(hDC, now, now.GetLength(), &date, DT_SINGLELINE | DT_NOPREFIX);
    text.top += titleHeight;
    ::SelectObject(hDC, hNewsFont);
    ::SetTextColor(hDC, crNews);
    ::DrawTextW(hDC, L"This is the sample of news text.", -1, &text, format);
    ::RestoreDC(hDC, saved);
}

// ---- General

IMPLEMENT_DYNAMIC(CNLGeneralProp, CPropertyPage)

CNLGeneralProp::CNLGeneralProp() : CPropertyPage(IDD_NEWSLINE_GENERAL), m_timeSpan(0.0) {}

int CNLGeneralProp::FilterToPosition(int nFilter)
{
    for (int i = 0; i < static_cast<int>(std::size(kFilters)); ++i)
        if (kFilters[i] == nFilter)
            return i;
    return 0;
}

int CNLGeneralProp::PositionToFilter(int nPosition)
{
    return nPosition >= 0 && nPosition < static_cast<int>(std::size(kFilters)) ? kFilters[nPosition] : 0;
}

void CNLGeneralProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NEWSLINE_FILTER, m_comboFilter);
    ExchangeNumber(pDX, IDC_NEWSLINE_HOURS, m_nHours, 0, 240);
    ExchangeNumber(pDX, IDC_NEWSLINE_MINUTES, m_nMinutes, 0, 59);
    ExchangeNumber(pDX, IDC_NEWSLINE_NUMBER, m_nItemsNumber, 1, 200);
    DDX_Check(pDX, IDC_NEWSLINE_AUTOHIDE, m_nAutoHide);
}

BOOL CNLGeneralProp::OnInitDialog()
{
    // A stored value outside the list counts as the first choice; OK writes it only when the user picks another.
    m_nFilter = PositionToFilter(FilterToPosition(static_cast<int>(App()->GetProfileInt(kSection, L"Filter", 1))));
    if (m_nFilter == kFilterTime) {
        LPBYTE data = nullptr;
        UINT bytes = 0;
        if (App()->GetProfileBinary(kSection, L"Time", &data, &bytes) && data && bytes == sizeof(double)) {
            double days = 0;
            memcpy(&days, data, sizeof(days));
            m_timeSpan = COleDateTimeSpan(days);
            m_nHours = static_cast<int>(m_timeSpan.GetTotalHours());
            m_nMinutes = static_cast<int>(m_timeSpan.GetMinutes());
        }
        delete[] data;
    } else if (m_nFilter == kFilterNumber) {
        m_nItemsNumber = static_cast<int>(App()->GetProfileInt(kSection, L"Number", 20));
    }
    m_nAutoHide = App()->GetProfileInt(kSection, L"Autohide", 0) != 0 ? 1 : 0;
    CPropertyPage::OnInitDialog();
    m_comboFilter.SetCurSel(FilterToPosition(m_nFilter));
    return TRUE;
}

void CNLGeneralProp::OnOK()
{
    UpdateData(TRUE);
    const int filter = PositionToFilter(m_comboFilter.GetCurSel());
    if (filter != m_nFilter) {
        App()->WriteProfileInt(kSection, L"Filter", filter);
        m_bChanged = TRUE;
    }
    if (filter == kFilterTime) {
        const COleDateTimeSpan span(0, m_nHours, m_nMinutes, 0);
        if (span != m_timeSpan) {
            double days = span;
            App()->WriteProfileBinary(kSection, L"Time", reinterpret_cast<LPBYTE>(&days), sizeof(days));
            m_timeSpan = span;
            m_bChanged = TRUE;
        }
    } else if (filter == kFilterNumber) {
        if (static_cast<int>(App()->GetProfileInt(kSection, L"Number", 20)) != m_nItemsNumber) {
            App()->WriteProfileInt(kSection, L"Number", m_nItemsNumber);
            m_bChanged = TRUE;
        }
    }
    App()->WriteProfileInt(kSection, L"AutoHide", m_nAutoHide);
    m_nFilter = filter;
    CPropertyPage::OnOK();
}

// ---- Size

IMPLEMENT_DYNAMIC(CNLSizeProp, CPropertyPage)

BEGIN_MESSAGE_MAP(CNLSizeProp, CPropertyPage)
ON_WM_HSCROLL()
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CNLSizeProp::CNLSizeProp() : CPropertyPage(IDD_NEWSLINE_SIZE)
{
    // Read here too: the Colors page takes the size from this page even when it was never shown.
    m_lfTitle = BuiltInFont(-10);
    m_lfNews = BuiltInFont(-15);
    m_nSize = ReadSizeIndex();
}

void CNLSizeProp::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NEWSLINE_SLIDER, m_slider);
}

BOOL CNLSizeProp::OnInitDialog()
{
    if (!ReadNewsLineFont(L"FontTitle", m_lfTitle))
        m_lfTitle = BuiltInFont(-10);
    if (!ReadNewsLineFont(L"FontNews", m_lfNews))
        m_lfNews = BuiltInFont(-15);
    ReadColors(m_crBackground, m_crTitle, m_crNews);
    m_nSize = ReadSizeIndex();
    CPropertyPage::OnInitDialog();
    m_slider.SetRange(0, 4);
    m_slider.SetPos(m_nSize);
    return TRUE;
}

BOOL CNLSizeProp::OnSetActive()
{
    if (CNLColorProp* colors = FindSibling<CNLColorProp>(this)) {
        m_crBackground = colors->m_crBackground;
        m_crNews = colors->m_crNews;
        m_crTitle = colors->m_crTitle;
    }
    return CPropertyPage::OnSetActive();
}

void CNLSizeProp::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    m_nSize = m_slider.GetPos();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CPropertyPage::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CNLSizeProp::ApplySizeToFonts()
{
    int title = 0;
    int news = 0;
    NewsLinePreview::FontHeights(m_nSize, title, news);
    m_lfTitle.lfHeight = title;
    m_lfNews.lfHeight = news;
}

void CNLSizeProp::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl == IDC_NEWSLINE_PREVIEW && lpDrawItemStruct) {
        ApplySizeToFonts();
        CScopedFont title(::CreateFontIndirectW(&m_lfTitle));
        CScopedFont news(::CreateFontIndirectW(&m_lfNews));
        NewsLinePreview::Draw(lpDrawItemStruct->hDC, lpDrawItemStruct->rcItem, m_nSize, title, news, m_crBackground,
                              m_crTitle, m_crNews);
    }
    CPropertyPage::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

void CNLSizeProp::OnOK()
{
    // The fonts get the chosen size here as well: OK must not depend on the preview having been drawn.
    ApplySizeToFonts();
    App()->WriteProfileInt(kSection, L"Height", m_nSize);
    App()->WriteProfileBinary(kSection, L"FontTitle", reinterpret_cast<LPBYTE>(&m_lfTitle), sizeof(m_lfTitle));
    App()->WriteProfileBinary(kSection, L"FontNews", reinterpret_cast<LPBYTE>(&m_lfNews), sizeof(m_lfNews));
    CPropertyPage::OnOK();
}

// ---- Colors

const DWORD CNLColorProp::kColorDialogStyle = CXTColorDialog::styleShowHex;

IMPLEMENT_DYNAMIC(CNLColorProp, CPropertyPage)

BEGIN_MESSAGE_MAP(CNLColorProp, CPropertyPage)
ON_BN_CLICKED(IDC_NEWSLINE_BACKGROUND, OnBackground)
ON_BN_CLICKED(IDC_NEWSLINE_FEED_TITLE, OnFeedTitle)
ON_BN_CLICKED(IDC_NEWSLINE_NEWS_TITLE, OnNewsTitle)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CNLColorProp::CNLColorProp() : CPropertyPage(IDD_NEWSLINE_COLOR)
{
    ReadColors(m_crBackground, m_crTitle, m_crNews);
    m_nSize = ReadSizeIndex();
}

BOOL CNLColorProp::OnInitDialog()
{
    return CPropertyPage::OnInitDialog();
}

BOOL CNLColorProp::OnSetActive()
{
    if (CNLSizeProp* size = FindSibling<CNLSizeProp>(this))
        m_nSize = size->m_nSize;
    return CPropertyPage::OnSetActive();
}

void CNLColorProp::PickColor(COLORREF& crColor)
{
    CXTColorDialog dlg(crColor, crColor, kColorDialogStyle, this);
    if (dlg.DoModal() != IDOK)
        return;
    crColor = dlg.GetColor();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CNLColorProp::OnBackground()
{
    PickColor(m_crBackground);
}

void CNLColorProp::OnFeedTitle()
{
    PickColor(m_crTitle);
}

void CNLColorProp::OnNewsTitle()
{
    PickColor(m_crNews);
}

void CNLColorProp::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl == IDC_NEWSLINE_PREVIEW && lpDrawItemStruct) {
        int titleHeight = 0;
        int newsHeight = 0;
        NewsLinePreview::FontHeights(m_nSize, titleHeight, newsHeight);
        const LOGFONTW titleFont = BuiltInFont(titleHeight);
        const LOGFONTW newsFont = BuiltInFont(newsHeight);
        CScopedFont title(::CreateFontIndirectW(&titleFont));
        CScopedFont news(::CreateFontIndirectW(&newsFont));
        NewsLinePreview::Draw(lpDrawItemStruct->hDC, lpDrawItemStruct->rcItem, m_nSize, title, news, m_crBackground,
                              m_crTitle, m_crNews);
    }
    CPropertyPage::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

void CNLColorProp::OnOK()
{
    App()->WriteProfileInt(kSection, L"BackgoundColor", static_cast<int>(m_crBackground));
    App()->WriteProfileInt(kSection, L"TitleColor", static_cast<int>(m_crTitle));
    App()->WriteProfileInt(kSection, L"NewsColor", static_cast<int>(m_crNews));
    CPropertyPage::OnOK();
}
