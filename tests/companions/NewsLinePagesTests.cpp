// The ticker's property pages in a real sheet: what the General and Size pages show for the stored settings and
// write back after OK, the previews drawn by both pages, and the Colors page's buttons driving the colour dialog.
#include "companions/NewsLinePages.h"
#include "framework/win/WinApp.h"
#include "res/resource.h"
#include "tests/companions/CompanionsTestHost.h"
#include "tests/companions/SheetScript.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "toolkit/customize/XTColorDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lqtest::SheetScript;

const wchar_t kSection[] = L"NewsLine";
constexpr int kAbsent = -999;

std::wstring Text(HWND hDlg, int nID)
{
    wchar_t text[256] = {};
    ::GetDlgItemTextW(hDlg, nID, text, 256);
    return text;
}

class NewsLinePagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theCompanionsHost.SetRegistryKey(L"Lanternquill Tests");
        Clear();
    }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        if (HKEY app = theCompanionsHost.GetAppRegistryKey()) {
            ::RegDeleteTreeW(app, kSection);
            ::RegCloseKey(app);
        }
    }
    static int ProfileInt(LPCWSTR entry)
    {
        return static_cast<int>(theCompanionsHost.GetProfileInt(kSection, entry, kAbsent));
    }
    static void SetInt(LPCWSTR entry, int value)
    {
        if (value != kAbsent)
            theCompanionsHost.WriteProfileInt(kSection, entry, value);
    }
    // The stored span in days; -1 when there is none.
    static double ProfileTime()
    {
        LPBYTE data = nullptr;
        UINT bytes = 0;
        double days = -1;
        if (theCompanionsHost.GetProfileBinary(kSection, L"Time", &data, &bytes) && bytes == sizeof(days))
            memcpy(&days, data, sizeof(days));
        delete[] data;
        return days;
    }
    static void SetTime(double days)
    {
        if (days >= 0)
            theCompanionsHost.WriteProfileBinary(kSection, L"Time", reinterpret_cast<LPBYTE>(&days), sizeof(days));
    }
    // A stored font; a zeroed one when there is none or it is not one LOGFONTW.
    static LOGFONTW ProfileFont(LPCWSTR entry)
    {
        LOGFONTW font{};
        LPBYTE data = nullptr;
        UINT bytes = 0;
        if (theCompanionsHost.GetProfileBinary(kSection, entry, &data, &bytes) && bytes == sizeof(font))
            memcpy(&font, data, sizeof(font));
        delete[] data;
        return font;
    }
    // Draws a page's preview into a canvas of the given size, as the control would have it drawn.
    static void DrawPreview(CPropertyPage& page, lqtest::MemoryCanvas& canvas)
    {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_STATIC;
        draw.CtlID = IDC_NEWSLINE_PREVIEW;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = ::GetDlgItem(page.m_hWnd, IDC_NEWSLINE_PREVIEW);
        draw.hDC = canvas.Hdc();
        draw.rcItem = canvas.Rect();
        ::SendMessageW(page.m_hWnd, WM_DRAWITEM, IDC_NEWSLINE_PREVIEW, reinterpret_cast<LPARAM>(&draw));
    }
};

TEST_F(NewsLinePagesTest, GeneralShowsTheStoredFilterAndWritesOnlyWhatChanged)
{
    struct Case
    {
        const char* name;
        int filter;   // stored "Filter"
        double time;  // stored "Time" in days, -1 none
        int number;   // stored "Number"
        int autohide; // stored "Autohide"
        int shown;    // combo position shown
        const wchar_t* hours;
        const wchar_t* minutes;
        const wchar_t* items;
        int choose;      // combo position the user picks, -1 none
        int filterAfter; // "Filter" after OK
        double timeAfter;
        int numberAfter;
        int autohideAfter;
        bool changed;
    } cases[] = {
        {"nothing stored", kAbsent, -1, kAbsent, kAbsent, 1, L"0", L"0", L"20", -1, kAbsent, -1, kAbsent, 0, false},
        {"a value outside the list shows the first choice and stays", 5, -1, kAbsent, kAbsent, 0, L"0", L"0", L"20", -1,
         5, -1, kAbsent, 0, false},
        {"a value outside the list, another choice picked", 5, -1, kAbsent, 1, 0, L"0", L"0", L"20", 1, 1, -1, kAbsent,
         1, true},
        {"all items, then the time span without one stored", 9, -1, kAbsent, kAbsent, 4, L"0", L"0", L"20", 3, 3, -1,
         kAbsent, 0, true},
        {"a span of 2 h 30 min", 3, 2.5 / 24, kAbsent, kAbsent, 3, L"2", L"30", L"20", -1, 3, 2.5 / 24, kAbsent, 0,
         false},
        {"a span of 26 h 5 min a hair short is rounded and written exact", 3, (26 + 5 / 60.0) / 24 - 0.3 / 86400,
         kAbsent, kAbsent, 3, L"26", L"5", L"20", -1, 3, (26 + 5 / 60.0) / 24, kAbsent, 0, true},
        {"a number the disabled box cannot take does not hold the sheet", 2, -1, 500, kAbsent, 2, L"0", L"0", L"500",
         -1, 2, -1, 500, 0, false},
        {"no number stored", 2, -1, kAbsent, kAbsent, 2, L"0", L"0", L"20", -1, 2, -1, kAbsent, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        SetInt(L"Filter", c.filter);
        SetTime(c.time);
        SetInt(L"Number", c.number);
        SetInt(L"Autohide", c.autohide);
        CPropertySheet sheet(IDS_NEWSLINE_PROPERTIES);
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        CNLGeneralProp page;
        sheet.AddPage(&page);
        std::vector<std::wstring> choices;
        SheetScript script({[&] {
            HWND hPage = SheetScript::CurrentPage(sheet.m_hWnd);
            if (!hPage)
                return false;
            HWND combo = ::GetDlgItem(hPage, IDC_NEWSLINE_FILTER);
            for (int i = 0; i < ::SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
                wchar_t text[128] = {};
                ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                choices.push_back(text);
            }
            EXPECT_EQ(c.shown, ::SendMessageW(combo, CB_GETCURSEL, 0, 0));
            EXPECT_EQ(std::wstring(c.hours), Text(hPage, IDC_NEWSLINE_HOURS));
            EXPECT_EQ(std::wstring(c.minutes), Text(hPage, IDC_NEWSLINE_MINUTES));
            EXPECT_EQ(std::wstring(c.items), Text(hPage, IDC_NEWSLINE_NUMBER));
            for (int id : {IDC_NEWSLINE_NUMBER, IDC_NEWSLINE_HOURS, IDC_NEWSLINE_MINUTES})
                EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hPage, id))) << id;
            EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hPage, IDC_NEWSLINE_AUTOHIDE)));
            EXPECT_EQ(c.autohide == 1, ::IsDlgButtonChecked(hPage, IDC_NEWSLINE_AUTOHIDE) == BST_CHECKED);
            if (c.choose >= 0) {
                ::SendMessageW(combo, CB_SETCURSEL, c.choose, 0);
                ::SendMessageW(hPage, WM_COMMAND, MAKEWPARAM(IDC_NEWSLINE_FILTER, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(combo));
            }
            SheetScript::PressOK(sheet.m_hWnd);
            return true;
        }});
        ASSERT_EQ(IDOK, sheet.DoModal());
        EXPECT_TRUE(script.Done());
        EXPECT_EQ((std::vector<std::wstring>{L"Only new items", L"Unread items", L"Last N items",
                                             L"Items recieved during the specified amount of time", L"All Items"}),
                  choices);
        EXPECT_EQ(c.filterAfter, ProfileInt(L"Filter"));
        EXPECT_NEAR(c.timeAfter, ProfileTime(), 1e-12);
        EXPECT_EQ(c.numberAfter, ProfileInt(L"Number"));
        EXPECT_EQ(c.autohideAfter, ProfileInt(L"AutoHide"));
        EXPECT_EQ(c.changed, page.m_bChanged != FALSE);
    }
}

TEST_F(NewsLinePagesTest, GeneralFiltersAndComboPositionsMapBothWays)
{
    const struct
    {
        int filter;
        int position;
        int back;
    } cases[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {9, 4, 9}, {4, 0, 0}, {5, 0, 0}, {-1, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.position, CNLGeneralProp::FilterToPosition(c.filter)) << c.filter;
        EXPECT_EQ(c.back, CNLGeneralProp::PositionToFilter(c.position)) << c.filter;
    }
    EXPECT_EQ(0, CNLGeneralProp::PositionToFilter(-1)); // no selection
    EXPECT_EQ(0, CNLGeneralProp::PositionToFilter(5));
}

TEST_F(NewsLinePagesTest, SizeStoresTheSliderAndFontsOfThatSize)
{
    struct Case
    {
        const char* name;
        int height;          // stored "Height"
        const wchar_t* face; // stored news font's face; null none
        UINT fontBytes;      // its size in bytes
        int shown;           // slider position shown
        int move;            // slider position the user moves to, -1 none
        int heightAfter;
        int titleHeight;
        int newsHeight;
        const wchar_t* newsFace;
    } cases[] = {
        {"nothing stored", kAbsent, nullptr, 0, 2, -1, 2, -10, -14, L"Arial"},
        {"largest", kAbsent, nullptr, 0, 2, 4, 4, -12, -18, L"Arial"},
        {"smallest from larger with a stored face", 3, L"Courier New", sizeof(LOGFONTW), 3, 0, 0, -8, -11,
         L"Courier New"},
        {"a height out of range shows and stores the medium size", 7, nullptr, 0, 2, -1, 2, -10, -14, L"Arial"},
        {"a stored font of the wrong size is left aside", 1, L"Courier New", 40, 1, -1, 1, -9, -12, L"Arial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        SetInt(L"Height", c.height);
        if (c.face) {
            LOGFONTW font{};
            font.lfHeight = -20;
            lstrcpynW(font.lfFaceName, c.face, LF_FACESIZE);
            theCompanionsHost.WriteProfileBinary(kSection, L"FontNews", reinterpret_cast<LPBYTE>(&font), c.fontBytes);
        }
        CPropertySheet sheet(IDS_NEWSLINE_PROPERTIES);
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        CNLSizeProp page;
        sheet.AddPage(&page);
        SheetScript script({[&] {
            HWND hPage = SheetScript::CurrentPage(sheet.m_hWnd);
            if (!hPage)
                return false;
            HWND slider = ::GetDlgItem(hPage, IDC_NEWSLINE_SLIDER);
            EXPECT_EQ(c.shown, ::SendMessageW(slider, TBM_GETPOS, 0, 0));
            EXPECT_EQ(4, ::SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
            if (c.move >= 0) {
                ::SendMessageW(slider, TBM_SETPOS, TRUE, c.move);
                ::SendMessageW(hPage, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
            }
            SheetScript::PressOK(sheet.m_hWnd);
            return true;
        }});
        ASSERT_EQ(IDOK, sheet.DoModal());
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(c.heightAfter, ProfileInt(L"Height"));
        const LOGFONTW title = ProfileFont(L"FontTitle");
        const LOGFONTW news = ProfileFont(L"FontNews");
        EXPECT_EQ(c.titleHeight, title.lfHeight);
        EXPECT_EQ(c.newsHeight, news.lfHeight);
        EXPECT_EQ(std::wstring(L"Arial"), title.lfFaceName);
        EXPECT_EQ(std::wstring(c.newsFace), news.lfFaceName);
    }
}

TEST_F(NewsLinePagesTest, PreviewsFillTheBarOfTheSizeAndPlaceTheIcon)
{
    const COLORREF outside = RGB(1, 2, 3);
    const COLORREF background = RGB(0, 64, 0);
    const COLORREF news = RGB(255, 255, 0);
    theCompanionsHost.WriteProfileInt(kSection, L"BackgoundColor", background);
    theCompanionsHost.WriteProfileInt(kSection, L"NewsColor", news);
    theCompanionsHost.WriteProfileInt(kSection, L"TitleColor", RGB(255, 0, 255));
    CPropertySheet sheet(IDS_NEWSLINE_PROPERTIES);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CNLSizeProp size;
    CNLColorProp colors;
    sheet.AddPage(&size);
    sheet.AddPage(&colors);
    struct Probe
    {
        int index;
        int barHeight;
    } probes[] = {{0, 24}, {2, 30}, {4, 38}};
    const int width = 300;
    const int height = 60;
    std::vector<std::string> failures;
    SheetScript script(
        {[&] {
             if (!SheetScript::CurrentPage(sheet.m_hWnd))
                 return false;
             ::SendMessageW(sheet.m_hWnd, PSM_SETCURSEL, 1, 0);
             return true;
         },
         [&] {
             for (CPropertyPage* page : {static_cast<CPropertyPage*>(&size), static_cast<CPropertyPage*>(&colors)}) {
                 for (const Probe& p : probes) {
                     SCOPED_TRACE(std::string(page == &size ? "Size" : "Colors") + " index " + std::to_string(p.index));
                     size.m_nSize = p.index;
                     colors.m_nSize = p.index;
                     lqtest::MemoryCanvas canvas(width, height, outside);
                     DrawPreview(*page, canvas);
                     const int top = (height - p.barHeight) / 2;
                     const RECT bar = NewsLinePreview::BarRect(canvas.Rect(), p.index);
                     EXPECT_EQ((RECT{10, top, width - 10, top + p.barHeight}).top, bar.top);
                     EXPECT_EQ(top + p.barHeight, bar.bottom);
                     // The bar's corners are background; just outside them nothing is drawn.
                     EXPECT_EQ(background, canvas.At(10, top));
                     EXPECT_EQ(background, canvas.At(width - 11, top + p.barHeight - 1));
                     EXPECT_EQ(outside, canvas.At(9, top));
                     EXPECT_EQ(outside, canvas.At(10, top - 1));
                     EXPECT_EQ(outside, canvas.At(width - 10, top));
                     EXPECT_EQ(outside, canvas.At(10, top + p.barHeight));
                     // The icon takes 16 x 16 at (3, 1) in the bar, and nothing is drawn left of it.
                     EXPECT_GT(canvas.Count(background, {13, top + 1, 29, top + 17}, false), 40);
                     EXPECT_EQ(0, canvas.Count(background, {10, top, 13, top + p.barHeight}, false));
                     // The news line is in the news colour, below the title line.
                     EXPECT_GT(canvas.Count(news, {32, top + p.barHeight / 2, width - 10, top + p.barHeight}), 10);
                     EXPECT_EQ(0, canvas.Count(news, {32, top, width - 10, top + 4}));
                 }
             }
             SheetScript::PressCancel(sheet.m_hWnd);
             return true;
         }});
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    EXPECT_TRUE(script.Done());
    // Cancel wrote nothing.
    EXPECT_EQ(kAbsent, ProfileInt(L"Height"));
}

TEST_F(NewsLinePagesTest, ColorButtonsOpenTheColourDialogAndTheSizePreviewFollows)
{
    struct Case
    {
        const char* name;
        int button;
        bool ok;                          // the colour dialog ends with OK
        COLORREF background, title, news; // stored after the sheet's OK
    } cases[] = {
        {"background picked", IDC_NEWSLINE_BACKGROUND, true, RGB(0, 0, 128), RGB(10, 10, 10), RGB(20, 20, 20)},
        {"feed title cancelled", IDC_NEWSLINE_FEED_TITLE, false, RGB(250, 250, 250), RGB(10, 10, 10), RGB(20, 20, 20)},
        {"news title picked", IDC_NEWSLINE_NEWS_TITLE, true, RGB(250, 250, 250), RGB(10, 10, 10), RGB(0, 0, 128)},
    };
    const COLORREF picked = RGB(0, 0, 128);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        theCompanionsHost.WriteProfileInt(kSection, L"BackgoundColor", RGB(250, 250, 250));
        theCompanionsHost.WriteProfileInt(kSection, L"TitleColor", RGB(10, 10, 10));
        theCompanionsHost.WriteProfileInt(kSection, L"NewsColor", RGB(20, 20, 20));
        CPropertySheet sheet(IDS_NEWSLINE_PROPERTIES);
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        CNLGeneralProp general;
        CNLSizeProp size;
        CNLColorProp colors;
        sheet.AddPage(&general);
        sheet.AddPage(&size);
        sheet.AddPage(&colors);
        COLORREF offered = CLR_INVALID;
        DWORD style = 0;
        SheetScript script({
            [&] {
                if (!SheetScript::CurrentPage(sheet.m_hWnd))
                    return false;
                ::SendMessageW(sheet.m_hWnd, PSM_SETCURSEL, 2, 0);
                SheetScript::ClickLater(colors.m_hWnd, c.button);
                return true;
            },
            [&] {
                HWND hDlg = SheetScript::FindDialog(L"Colors");
                auto* dlg = dynamic_cast<CXTColorDialog*>(CWnd::FromHandlePermanent(hDlg));
                if (!dlg || !SheetScript::CurrentPage(hDlg))
                    return false;
                offered = dlg->m_clrCurrent;
                style = dlg->m_dwStyle;
                dlg->SetNewColor(picked);
                if (c.ok)
                    SheetScript::PressOK(hDlg);
                else
                    SheetScript::PressCancel(hDlg);
                return true;
            },
            [&] {
                if (SheetScript::FindDialog(L"Colors") || !::IsWindowEnabled(sheet.m_hWnd))
                    return false;
                // Nothing is stored before the sheet's OK, yet the Size page shows the new background.
                EXPECT_EQ(static_cast<int>(RGB(250, 250, 250)), ProfileInt(L"BackgoundColor"));
                ::SendMessageW(sheet.m_hWnd, PSM_SETCURSEL, 1, 0);
                lqtest::MemoryCanvas canvas(300, 60, RGB(1, 2, 3));
                DrawPreview(size, canvas);
                EXPECT_EQ(c.background, canvas.At(12, 30));
                SheetScript::PressOK(sheet.m_hWnd);
                return true;
            },
        });
        ASSERT_EQ(IDOK, sheet.DoModal());
        EXPECT_TRUE(script.Done());
        const COLORREF before[] = {RGB(250, 250, 250), RGB(10, 10, 10), RGB(20, 20, 20)};
        const int index = c.button == IDC_NEWSLINE_BACKGROUND ? 0 : c.button == IDC_NEWSLINE_FEED_TITLE ? 1 : 2;
        EXPECT_EQ(before[index], offered);
        EXPECT_EQ(static_cast<DWORD>(CXTColorDialog::styleShowHex), style);
        EXPECT_EQ(static_cast<int>(c.background), ProfileInt(L"BackgoundColor"));
        EXPECT_EQ(static_cast<int>(c.title), ProfileInt(L"TitleColor"));
        EXPECT_EQ(static_cast<int>(c.news), ProfileInt(L"NewsColor"));
    }
}

} // namespace
