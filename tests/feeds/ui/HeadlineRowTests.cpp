// Headline rows measured in a memory DC with known fonts for each list style, and drawn: state icons, the grey
// of read items, the date column and the enclosure size text.
#include "feeds/ui/HeadlineRow.h"

#include "tests/feeds/FeedTestHost.h"
#include "feeds/FeedItem.h"
#include "feeds/FeedText.h"
#include "feeds/LocalTime.h"
#include "feeds/ShellAssociations.h"
#include "framework/win/Dc.h"
#include "tests/framework/MemoryCanvas.h"
#include "toolkit/base/XTPColorManager.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF kPaper = RGB(255, 255, 255);

LOGFONTW Font(LONG height, LONG weight)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy(lf.lfFaceName, L"Tahoma");
    return lf;
}

// A white canvas; the application's headline settings set to known values for the test and put back after.
class HeadlineRowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_savedHeadline = theHost.m_lfHeadline;
        m_savedSmall = theHost.m_lfSmall;
        m_savedStyle = theHost.m_settings.nView;
        m_savedColour = theHost.m_clrDescriptionText;
        theHost.m_lfHeadline = Font(-16, FW_BOLD);
        theHost.m_lfSmall = Font(-11, FW_NORMAL);
        theHost.m_clrDescriptionText = RGB(0, 0, 200);
        m_dc.SetBkMode(TRANSPARENT);
        m_dc.SetTextColor(RGB(0, 0, 0));
    }
    void TearDown() override
    {
        theHost.m_lfHeadline = m_savedHeadline;
        theHost.m_lfSmall = m_savedSmall;
        theHost.m_settings.nView = m_savedStyle;
        theHost.m_clrDescriptionText = m_savedColour;
        theHost.m_ilReadStates.DeleteImageList();
    }

    void Clear() { m_canvas.Fill(kPaper); }
    COLORREF At(int x, int y) { return m_canvas.At(x, y); }
    // Counts pixels of a colour, or of anything but paper when clr is -1, inside a rectangle.
    int Count(const RECT& rc, COLORREF clr = COLORREF(-1))
    {
        return clr == COLORREF(-1) ? m_canvas.Count(kPaper, rc, false) : m_canvas.Count(clr, rc);
    }
    SIZE Extent(const LOGFONTW& lf, const CString& text)
    {
        HFONT hFont = CreateFontIndirectW(&lf);
        HGDIOBJ hOld = SelectObject(m_dc, hFont);
        SIZE size = {};
        GetTextExtentPoint32W(m_dc, text, text.GetLength(), &size);
        SelectObject(m_dc, hOld);
        DeleteObject(hFont);
        return size;
    }
    int LineHeight(const LOGFONTW& lf) { return Extent(lf, L"\u00C5y").cy; }

    static constexpr int kWidth = 600;
    static constexpr int kHeight = 200;
    lqtest::MemoryCanvas m_canvas{kWidth, kHeight, kPaper};
    CDC& m_dc = m_canvas.Dc();

private:
    LOGFONTW m_savedHeadline{}, m_savedSmall{};
    int m_savedStyle = 0;
    COLORREF m_savedColour = 0;
};

void MakeNewsItem(CFeedItem& item, bool bEnclosure)
{
    item.m_strTitleText = L"Short title";
    item.m_strDescriptionText = L"One two three";
    item.m_dtDate.SetStatus(COleDateTime::invalid);
    if (bEnclosure) {
        item.m_strEnclosureUrl = L"http://127.0.0.1/episode.mp3";
        item.m_strEnclosureType = L"audio/x-lanternquill-none";
        item.m_nEnclosureLength = 5000;
    }
}

TEST_F(HeadlineRowTest, HeightForEachListStyleWithAndWithoutEnclosure)
{
    const int lhTitle = LineHeight(theHost.m_lfHeadline);
    const int lhSmall = LineHeight(theHost.m_lfSmall);
    const int textSmall = Extent(theHost.m_lfSmall, L"One two three").cy;
    struct Case
    {
        int style;
        int expected;
    } cases[] = {
        {0, lhTitle + lhSmall + 9},       {1, lhTitle + 6},           {2, lhTitle + lhSmall + 9},
        {3, lhTitle + 6 + 2 * textSmall}, {7, lhTitle + lhSmall + 9},
    };
    for (const Case& c : cases) {
        for (bool bEnclosure : {false, true}) {
            theHost.m_settings.nView = c.style;
            CFeedItem item;
            MakeNewsItem(item, bEnclosure);
            const int height = item.CalcHeadlineHeight(&m_dc, 400);
            EXPECT_EQ(c.expected + (bEnclosure ? 24 : 0), height) << "style " << c.style << " " << bEnclosure;
            EXPECT_EQ(400, item.m_nHeadlineWidth);
            EXPECT_EQ(height, item.m_nHeadlineHeight);
        }
    }
}

TEST_F(HeadlineRowTest, TitlesWrapExceptInSingleLineStyles)
{
    const int lhTitle = LineHeight(theHost.m_lfHeadline);
    for (int style : {0, 1, 2, 3}) {
        theHost.m_settings.nView = style;
        CFeedItem item;
        item.m_strTitleText = L"word word word word word word";
        item.m_dtDate.SetStatus(COleDateTime::invalid);
        const int narrow = Extent(theHost.m_lfHeadline, L"word word").cx + 4;
        const int lines = (style == 0 || style == 3) ? 1 : 3;
        EXPECT_EQ(lines * lhTitle + 6, item.CalcHeadlineHeight(&m_dc, narrow)) << style;
    }
}

TEST_F(HeadlineRowTest, EmptyTitleShowsTheTextAsHeadline)
{
    theHost.m_settings.nView = 1;
    CFeedItem item;
    item.m_strDescriptionText = L"Only <b>a</b> description";
    item.m_dtDate.SetStatus(COleDateTime::invalid);
    CString plain = item.m_strDescriptionText;
    HtmlToText(plain);
    EXPECT_EQ(Extent(theHost.m_lfHeadline, plain).cx + 35, item.CalcHeadlineWidth(&m_dc));
    item.m_strTitleText = L"T";
    EXPECT_EQ(Extent(theHost.m_lfHeadline, L"T").cx + 35, item.CalcHeadlineWidth(&m_dc));
}

// The row is measured with the date as it is drawn (short date and time, three blanks apart): measured with a
// shorter one, a title that wraps beside the drawn date was given one line too few and its last line was cut.
TEST_F(HeadlineRowTest, ADateTakesTheRoomItIsDrawnIn)
{
    CFeedItem item;
    item.m_strTitleText = L"Title";
    item.m_dtDate = COleDateTime(2024, 3, 5, 14, 30, 0);
    const CString date = FormatHeadlineDate(item.m_dtDate);
    ASSERT_FALSE(date.IsEmpty());
    EXPECT_EQ(Extent(theHost.m_lfHeadline, L"Title").cx + Extent(theHost.m_lfSmall, date).cx + 15 + 35,
              item.CalcHeadlineWidth(&m_dc));
    // The date takes room from the title exactly as drawn: the narrowest row that holds the title on one line
    // without a date holds it beside the date when the date and its gap are added, and not a pixel less.
    theHost.m_settings.nView = 2;
    item.m_strTitleText = L"alpha beta";
    item.m_dtDate.SetStatus(COleDateTime::invalid);
    const int lhTitle = LineHeight(theHost.m_lfHeadline);
    int narrowest = Extent(theHost.m_lfHeadline, L"alpha beta").cx + 8;
    while (narrowest > 1 && item.CalcHeadlineHeight(&m_dc, narrowest - 1) == lhTitle + 6)
        --narrowest;
    ASSERT_EQ(item.CalcHeadlineHeight(&m_dc, narrowest), lhTitle + 6);
    ASSERT_EQ(item.CalcHeadlineHeight(&m_dc, narrowest - 1), 2 * lhTitle + 6);
    item.m_dtDate = COleDateTime(2024, 3, 5, 14, 30, 0);
    const int room = narrowest + Extent(theHost.m_lfSmall, date).cx + 15;
    EXPECT_EQ(lhTitle + 6, item.CalcHeadlineHeight(&m_dc, room));
    EXPECT_EQ(2 * lhTitle + 6, item.CalcHeadlineHeight(&m_dc, room - 1));

    // Drawn in rows that wide (a title line and a half high), the title wraps where it was measured to.
    const CRect secondLine(30, 2 + lhTitle, 30 + Extent(theHost.m_lfHeadline, L"beta").cx, 2 + lhTitle + lhTitle / 2);
    for (int width : {room, room - 1}) {
        item.m_rcLast = CRect(0, 0, width + 35, 2 * lhTitle + 6);
        Clear();
        item.DrawHeadline(&m_dc, FALSE, FALSE);
        EXPECT_EQ(Count(secondLine) > 0, width < room) << width;
    }
}

TEST(HeadlineRowFormat, EnclosureSizeInWholeKilobytes)
{
    struct Case
    {
        int length;
        const wchar_t* expected;
    } cases[] = {{0, L""}, {1, L"(0KB)"}, {1023, L"(0KB)"}, {1024, L"(1KB)"}, {5000, L"(4KB)"}, {2097152, L"(2048KB)"}};
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.expected), FormatEnclosureSize(c.length)) << c.length;
}

TEST(HeadlineRowFormat, DateIsLocalShortDateAndTimeWithoutSeconds)
{
    const COleDateTime utc(2024, 3, 5, 14, 30, 45);
    SYSTEMTIME st = {};
    ASSERT_TRUE(ToLocalTime(&utc).GetAsSystemTime(st));
    WCHAR date[80], time[80];
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 80);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, 80);
    const CString text = FormatHeadlineDate(utc);
    EXPECT_EQ(CString(date) + L"   " + time, text);
    EXPECT_EQ(-1, text.Find(L"45"));
    COleDateTime bad;
    bad.SetStatus(COleDateTime::invalid);
    EXPECT_TRUE(FormatHeadlineDate(bad).IsEmpty());
}

TEST_F(HeadlineRowTest, StateIconByReadState)
{
    const COLORREF stateColours[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)}; // unread, read, new
    ASSERT_TRUE(theHost.m_ilReadStates.Create(16, 16, ILC_COLOR24, 3, 0));
    for (COLORREF clr : stateColours) {
        CBitmap bitmap;
        bitmap.Attach(lqtest::MemoryCanvas(16, 16, clr).TakeBitmap());
        ASSERT_GE(theHost.m_ilReadStates.Add(&bitmap, static_cast<CBitmap*>(nullptr)), 0);
    }
    struct Case
    {
        int state;
        COLORREF expected;
    } cases[] = {
        {FEED_STATE_UNREAD, stateColours[0]}, {FEED_STATE_READ, stateColours[1]}, {FEED_STATE_NEW, stateColours[2]}};
    theHost.m_settings.nView = 1;
    for (const Case& c : cases) {
        Clear();
        CFeedItem item;
        MakeNewsItem(item, false);
        item.m_nReadState = c.state;
        item.m_rcLast = CRect(10, 20, 400, 60);
        item.DrawHeadline(&m_dc, FALSE, TRUE);
        EXPECT_EQ(c.expected, At(10 + 3 + 8, 20 + 1 + 8)) << c.state;
        EXPECT_EQ(kPaper, At(10 + 2, 20 + 1 + 8)) << c.state;
        Clear();
        item.DrawHeadline(&m_dc, FALSE, FALSE);
        EXPECT_EQ(kPaper, At(10 + 3 + 8, 20 + 1 + 8)) << c.state;
    }
}

TEST_F(HeadlineRowTest, ReadItemsAreGreyAndTheTextUnderUnreadOnesTakesItsColour)
{
    theHost.m_settings.nView = 2;
    const COLORREF grey = GetToolkitColor(COLOR_GRAYTEXT);
    ASSERT_NE(RGB(0, 0, 0), grey);
    struct Case
    {
        int state;
        BOOL highlight;
        COLORREF title, text;
    } cases[] = {
        {FEED_STATE_UNREAD, FALSE, RGB(0, 0, 0), RGB(0, 0, 200)},
        {FEED_STATE_UNREAD, TRUE, RGB(0, 0, 0), RGB(0, 0, 0)},
        {FEED_STATE_READ, FALSE, grey, grey},
    };
    const int lhTitle = LineHeight(theHost.m_lfHeadline);
    for (const Case& c : cases) {
        Clear();
        CFeedItem item;
        MakeNewsItem(item, false);
        item.m_nReadState = c.state;
        item.m_rcLast = CRect(0, 0, 400, 80);
        item.DrawHeadline(&m_dc, c.highlight, FALSE);
        const RECT title = {30, 2, 395, 2 + lhTitle};
        const RECT text = {30, 2 + lhTitle, 395, 78};
        EXPECT_GT(Count(title, c.title), 20) << c.state << c.highlight;
        EXPECT_EQ(Count(title), Count(title, c.title)) << c.state << c.highlight;
        EXPECT_GT(Count(text, c.text), 10) << c.state << c.highlight;
        EXPECT_EQ(Count(text), Count(text, c.text)) << c.state << c.highlight;
        EXPECT_EQ(0, Count({0, 0, 30, 80})); // nothing left of the text rectangle without the icon
    }
}

TEST_F(HeadlineRowTest, DateColumnAndEnclosureLineAreDrawnInTheirPlaces)
{
    theHost.m_settings.nView = 1;
    CFeedItem item;
    MakeNewsItem(item, true);
    item.m_rcLast = CRect(0, 0, 500, 60);
    item.DrawHeadline(&m_dc, FALSE, FALSE);
    const RECT dateColumn = {300, 2, 495, 20};
    EXPECT_EQ(0, Count(dateColumn));                  // no date
    EXPECT_GT(Count({30, 60 - 19, 495, 60 - 3}), 50); // the enclosure line
    EXPECT_EQ(0, Count({0, 60 - 3, 500, 60}));

    Clear();
    item.m_dtDate = COleDateTime(2024, 3, 5, 14, 30, 0);
    item.m_strEnclosureUrl.Empty();
    item.DrawHeadline(&m_dc, FALSE, FALSE);
    const CString date = FormatHeadlineDate(item.m_dtDate);
    const int dateWidth = Extent(theHost.m_lfSmall, date).cx;
    EXPECT_GT(Count({495 - dateWidth, 2, 495, 20}), 20);
    EXPECT_EQ(0, Count({496, 0, 500, 60}));
    EXPECT_EQ(0, Count({0, 60 - 19, 500, 60}));
}

// A type without an icon is looked up once per item, not on every draw: a type that gains an icon after the
// first draw does not get it on the next.
TEST_F(HeadlineRowTest, AnEnclosureTypeWithoutAnIconIsLookedUpOnce)
{
    const wchar_t* type = L"application/x-lanternquill-late";
    const std::wstring typeKey = std::wstring(L"MIME\\Database\\Content Type\\") + type;
    CFeedItem item;
    MakeNewsItem(item, true);
    item.m_strEnclosureType = type;
    item.m_rcLast = CRect(0, 0, 500, 60);
    item.DrawHeadline(&m_dc, FALSE, FALSE);
    EXPECT_EQ(item.m_hEnclosureIcon, nullptr);

    auto set = [](const std::wstring& key, LPCWSTR name, LPCWSTR value) {
        HKEY handle = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(WCHAR)));
        RegCloseKey(handle);
    };
    set(typeKey, L"Extension", L".lqlate");
    set(L".lqlate", nullptr, L"Lanternquill.LateFile");
    set(L"Lanternquill.LateFile\\DefaultIcon", nullptr, L"C:\\windows\\system32\\shell32.dll,3");
    HICON found = GetMimeTypeIcon(type);
    EXPECT_NE(found, nullptr); // a lookup now would find one
    if (found)
        DestroyIcon(found);

    item.DrawHeadline(&m_dc, FALSE, FALSE);
    EXPECT_EQ(item.m_hEnclosureIcon, nullptr);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, typeKey.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lqlate");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Lanternquill.LateFile");
}

} // namespace
