// The colour dialog on real windows: its layout and swatch, the hex text, clicks on the honeycomb, the spectrum
// and the luminance bar, the arrow keys, typed numbers, label mnemonics, the pages keeping in step, unthemed
// pages, and modal runs ended by a double click, the space bar and Escape.
#include "toolkit/customize/XTColorDialog.h"

#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/framework/MemoryCanvas.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/ThemeOverride.h"
#include "toolkit/customize/CustomizeResource.h"
#include "toolkit/customize/XTColorConversion.h"
#include "toolkit/customize/XTColorPageCustom.h"
#include "toolkit/customize/XTColorPageStandard.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using frametest::PumpTranslatedUntil;
using frametest::SendKey;

std::wstring Text(HWND hWnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hWnd, text, 256);
    return text;
}

CRect RectIn(HWND hWndParent, HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void PressKey(WORD vk)
{
    SendKey(vk, false);
    SendKey(vk, true);
}

// A click of the left button at a client point of hWnd.
void Click(HWND hWnd, POINT pt)
{
    const POINT screen = frametest::ClientToScreenPoint(hWnd, pt.x, pt.y);
    frametest::SendMouse(screen, 0);
    frametest::SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
    frametest::SendMouse(screen, MOUSEEVENTF_LEFTUP);
}

POINT CellCentre(CXTColorHexagonPicker& picker, int nCell)
{
    const auto& cell = picker.GetCells()[static_cast<size_t>(nCell)];
    const POINT first = cell.pixels.front();
    return cell.bSmall ? POINT{first.x + 7, first.y + 4} : POINT{first.x + 14, first.y + 8};
}

class ColorDialogTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_dlg && m_dlg->m_hWnd != nullptr)
            m_dlg->DestroyWindow();
        m_dlg.reset();
        lqtest::PumpPending();
    }

    void Open(COLORREF clrNew, COLORREF clrCurrent, DWORD dwStyle = CXTColorDialog::styleShowHex)
    {
        m_dlg = std::make_unique<CXTColorDialog>(clrNew, clrCurrent, dwStyle);
        ASSERT_TRUE(m_dlg->Create());
        m_dlg->SetWindowPos(nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_dlg->ShowWindow(SW_SHOW);
        ASSERT_TRUE(frametest::Activate(m_dlg->m_hWnd));
        lqtest::PumpPending();
    }
    void ShowCustomPage()
    {
        ASSERT_TRUE(m_dlg->SetActivePage(1));
        ASSERT_TRUE(PumpTranslatedUntil([&] { return m_dlg->GetActiveIndex() == 1; }));
        ::UpdateWindow(m_dlg->m_hWnd);
    }
    CXTColorHexagonPicker& Picker() { return m_dlg->GetStandardPage()->m_picker; }
    CXTColorPageCustom& Custom() { return *m_dlg->GetCustomPage(); }
    HWND CustomItem(int nID) { return ::GetDlgItem(Custom().m_hWnd, nID); }
    bool NewColorBecomes(COLORREF clr)
    {
        return PumpTranslatedUntil([&] { return m_dlg->m_clrNew == clr; });
    }

    // The test pump pre-translates through the application's thread, as the program's loop does.
    CWinApp m_app{L"ColorDialogTests"};
    std::unique_ptr<CXTColorDialog> m_dlg;
};

TEST_F(ColorDialogTest, TheSheetStacksItsButtonsRightOfThePagesOverTheSwatch)
{
    Open(RGB(255, 0, 128), RGB(0, 0, 255));
    EXPECT_EQ(L"Colors", Text(m_dlg->m_hWnd));
    HWND hWnd = m_dlg->m_hWnd;
    CTabCtrl* pTab = m_dlg->GetTabControl();
    ASSERT_NE(nullptr, pTab);
    ASSERT_EQ(2, pTab->GetItemCount());
    const CRect rcTab = RectIn(hWnd, pTab->m_hWnd);
    CRect rcItem;
    pTab->GetItemRect(0, &rcItem);
    const CRect rcOK = RectIn(hWnd, ::GetDlgItem(hWnd, IDOK));
    const CRect rcCancel = RectIn(hWnd, ::GetDlgItem(hWnd, IDCANCEL));
    const CRect rcHex = RectIn(hWnd, ::GetDlgItem(hWnd, XT_IDC_COLOR_HEX));
    const CRect rcPage = RectIn(hWnd, m_dlg->GetStandardPage()->m_hWnd);
    CRect rcClient;
    m_dlg->GetClientRect(&rcClient);

    EXPECT_EQ(rcTab.right + 5, rcOK.left);
    EXPECT_EQ(rcTab.top + rcItem.Height() + 1, rcOK.top);
    EXPECT_EQ(rcOK.left, rcCancel.left);
    EXPECT_EQ(rcOK.bottom + 5, rcCancel.top);
    EXPECT_EQ(rcCancel.bottom + 5, rcHex.top);
    EXPECT_EQ(18, rcHex.Height());
    EXPECT_EQ(rcCancel.Width(), rcHex.Width());
    EXPECT_EQ(rcTab.bottom + 10, rcClient.bottom);
    EXPECT_LE(rcCancel.right, rcClient.right);
    // The page is not cut by the column.
    EXPECT_LE(rcPage.right, rcTab.right);
    EXPECT_LE(rcPage.bottom, rcTab.bottom);

    const CRect rcSwatch = m_dlg->GetSwatchRect();
    EXPECT_EQ(rcCancel.left, rcSwatch.left);
    EXPECT_EQ(rcCancel.right, rcSwatch.right);
    EXPECT_EQ(rcClient.bottom - 98, rcSwatch.top);
    EXPECT_EQ(rcClient.bottom - 32, rcSwatch.bottom);
    // Room for the "New" label between the hex text and the swatch's frame.
    EXPECT_LE(rcHex.bottom + 22, rcSwatch.top - 1);

    lqtest::MemoryCanvas canvas(rcClient.Width(), rcClient.Height(), RGB(1, 1, 1));
    m_dlg->DrawSwatch(&canvas.Dc());
    const CPoint centre = rcSwatch.CenterPoint();
    EXPECT_EQ(RGB(255, 0, 128), canvas.Dc().GetPixel(centre.x, rcSwatch.top + 2));
    EXPECT_EQ(RGB(0, 0, 255), canvas.Dc().GetPixel(centre.x, rcSwatch.bottom - 3));
    m_dlg->SetNewColor(RGB(10, 20, 30), FALSE);
    m_dlg->DrawSwatch(&canvas.Dc());
    EXPECT_EQ(RGB(10, 20, 30), canvas.Dc().GetPixel(centre.x, rcSwatch.top + 2));
    EXPECT_EQ(RGB(0, 0, 255), canvas.Dc().GetPixel(centre.x, rcSwatch.bottom - 3));
}

TEST_F(ColorDialogTest, TheHexTextFollowsTheNewColourOnlyWhenAskedFor)
{
    struct Case
    {
        COLORREF clr;
        const wchar_t* text;
    };
    const Case cases[] = {
        {RGB(0, 0, 0), L"Hex=000000"},
        {RGB(255, 255, 255), L"Hex=FFFFFF"},
        {RGB(255, 0, 128), L"Hex=FF0080"},
        {RGB(1, 2, 171), L"Hex=0102AB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, std::wstring(CXTColorDialog::FormatHexText(c.clr).GetString()));

    Open(RGB(255, 0, 128), RGB(0, 0, 0));
    HWND hWndHex = ::GetDlgItem(m_dlg->m_hWnd, XT_IDC_COLOR_HEX);
    ASSERT_NE(nullptr, hWndHex);
    EXPECT_EQ(L"Hex=FF0080", Text(hWndHex));
    EXPECT_TRUE(::GetWindowLongPtrW(hWndHex, GWL_STYLE) & ES_READONLY);
    m_dlg->SetNewColor(RGB(1, 2, 171), FALSE);
    EXPECT_EQ(L"Hex=0102AB", Text(hWndHex));
    TearDown();

    Open(RGB(255, 0, 128), RGB(0, 0, 0), CXTColorDialog::styleSunkenSwatch);
    EXPECT_EQ(nullptr, ::GetDlgItem(m_dlg->m_hWnd, XT_IDC_COLOR_HEX));
}

TEST_F(ColorDialogTest, ClicksAndDragsOnTheHoneycombPickTheCellsColour)
{
    Open(RGB(1, 2, 3), RGB(1, 2, 3));
    CXTColorHexagonPicker& picker = Picker();
    // The page's set-up message made the template's static take the mouse.
    EXPECT_TRUE(picker.GetStyle() & SS_NOTIFY);

    const COLORREF clr20 = picker.GetCells()[20].clr;
    Click(picker.m_hWnd, CellCentre(picker, 20));
    ASSERT_TRUE(NewColorBecomes(clr20));
    EXPECT_EQ(picker.m_hWnd, ::GetFocus());
    EXPECT_EQ(std::wstring(CXTColorDialog::FormatHexText(clr20).GetString()),
              Text(::GetDlgItem(m_dlg->m_hWnd, XT_IDC_COLOR_HEX)));

    // Dragging picks each cell passed over, ending where the button comes up.
    const POINT from =
        frametest::ClientToScreenPoint(picker.m_hWnd, CellCentre(picker, 40).x, CellCentre(picker, 40).y);
    const POINT to = frametest::ClientToScreenPoint(picker.m_hWnd, CellCentre(picker, 42).x, CellCentre(picker, 42).y);
    frametest::SendMouse(from, 0);
    frametest::SendMouse(from, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(NewColorBecomes(picker.GetCells()[40].clr));
    frametest::SendMouse(to, 0);
    ASSERT_TRUE(NewColorBecomes(picker.GetCells()[42].clr));
    frametest::SendMouse(to, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpTranslatedUntil([&] { return ::GetCapture() == nullptr; }));
    // A click between the cells picks nothing.
    Click(picker.m_hWnd, POINT{2, 100});
    lqtest::PumpPending();
    EXPECT_EQ(picker.GetCells()[42].clr, m_dlg->m_clrNew);
}

TEST_F(ColorDialogTest, ArrowKeysMoveAcrossTheHoneycombIntoTheGreyRows)
{
    Open(RGB(1, 2, 3), RGB(1, 2, 3));
    CXTColorHexagonPicker& picker = Picker();
    const auto& cells = picker.GetCells();
    Click(picker.m_hWnd, CellCentre(picker, 126));
    ASSERT_TRUE(NewColorBecomes(cells[126].clr));
    struct Step
    {
        WORD vk;
        int nCell;
    };
    const Step steps[] = {{VK_RIGHT, 142}, {VK_RIGHT, 127}, {VK_DOWN, 135}, {VK_RIGHT, 128}, {VK_UP, 135},
                          {VK_LEFT, 127},  {VK_LEFT, 142},  {VK_UP, 126},   {VK_UP, 118}};
    for (const Step& step : steps) {
        PressKey(step.vk);
        EXPECT_TRUE(NewColorBecomes(cells[static_cast<size_t>(step.nCell)].clr)) << step.nCell;
        EXPECT_EQ(picker.m_hWnd, ::GetFocus()) << step.nCell;
    }
}

TEST_F(ColorDialogTest, TheSpectrumAndTheBarPickWhereTheyAreClickedAndTheBarKeepsTheHue)
{
    Open(RGB(40, 80, 120), RGB(0, 0, 0));
    ShowCustomPage();
    CXTColorSpectrum& spectrum = Custom().m_ctrlSpectrum;
    CXTColorLuminance& bar = Custom().m_ctrlLuminance;
    EXPECT_EQ(L"40", Text(CustomItem(XT_IDC_EDIT_RED)));
    EXPECT_EQ(L"120", Text(CustomItem(XT_IDC_EDIT_BLUE)));

    CRect rcSpectrum;
    spectrum.GetClientRect(&rcSpectrum);
    const POINT pt{rcSpectrum.Width() / 3, rcSpectrum.Height() / 4};
    const COLORREF clrSpectrum = CXTColorSpectrum::ColorAt(pt.x, pt.y, rcSpectrum.Width(), rcSpectrum.Height());
    Click(spectrum.m_hWnd, pt);
    ASSERT_TRUE(NewColorBecomes(clrSpectrum));
    EXPECT_EQ(CPoint(pt), spectrum.GetMarker());
    EXPECT_EQ(clrSpectrum, bar.GetColor());
    EXPECT_EQ(std::to_wstring(GetGValue(clrSpectrum)), Text(CustomItem(XT_IDC_EDIT_GREEN)));
    int nHue = 0, nSat = 0, nLum = 0;
    RgbToHslBytes(clrSpectrum, nHue, nSat, nLum);
    EXPECT_EQ(std::to_wstring(nHue), Text(CustomItem(XT_IDC_EDIT_HUE)));

    // The bar changes the luminance only: its hue and saturation and the spectrum's marker stay.
    const int nRow = bar.GetRowCount() / 4;
    const COLORREF clrBar = HslToRgb(bar.GetHue(), bar.GetSaturation(), bar.RowLuminance(nRow));
    Click(bar.m_hWnd, POINT{5, bar.GetBarRect().top + nRow});
    ASSERT_TRUE(NewColorBecomes(clrBar));
    EXPECT_EQ(CPoint(pt), spectrum.GetMarker());
    EXPECT_EQ(bar.m_hWnd, ::GetFocus());
    const COLORREF clrUp = HslToRgb(bar.GetHue(), bar.GetSaturation(), bar.RowLuminance(nRow - 1));
    PressKey(VK_UP);
    ASSERT_TRUE(NewColorBecomes(clrUp));
    RgbToHslBytes(clrUp, nHue, nSat, nLum);
    EXPECT_EQ(std::to_wstring(nLum), Text(CustomItem(XT_IDC_EDIT_LUM)));

    // The arrows move the spectrum's marker a pixel.
    Click(spectrum.m_hWnd, POINT{pt.x + 10, pt.y});
    ASSERT_TRUE(NewColorBecomes(CXTColorSpectrum::ColorAt(pt.x + 10, pt.y, rcSpectrum.Width(), rcSpectrum.Height())));
    PressKey(VK_LEFT);
    PressKey(VK_DOWN);
    ASSERT_TRUE(
        NewColorBecomes(CXTColorSpectrum::ColorAt(pt.x + 9, pt.y + 1, rcSpectrum.Width(), rcSpectrum.Height())));
    EXPECT_EQ(CPoint(pt.x + 9, pt.y + 1), spectrum.GetMarker());
}

TEST_F(ColorDialogTest, TypedNumbersMakeTheColourAndTheOtherNumbersFollow)
{
    Open(RGB(10, 20, 30), RGB(0, 0, 0));
    ShowCustomPage();
    HWND hWndRed = CustomItem(XT_IDC_EDIT_RED);
    ::SetFocus(hWndRed);
    ::SendMessageW(hWndRed, EM_SETSEL, 0, -1);
    for (WORD vk : {WORD('2'), WORD('0'), WORD('0')})
        PressKey(vk);
    ASSERT_TRUE(NewColorBecomes(RGB(200, 20, 30)));
    EXPECT_EQ(L"200", Text(hWndRed));
    int nHue = 0, nSat = 0, nLum = 0;
    RgbToHslBytes(RGB(200, 20, 30), nHue, nSat, nLum);
    EXPECT_EQ(std::to_wstring(nLum), Text(CustomItem(XT_IDC_EDIT_LUM)));
    EXPECT_EQ(RGB(200, 20, 30), Custom().m_ctrlSpectrum.GetColor());
    EXPECT_EQ(RGB(200, 20, 30), Custom().m_ctrlLuminance.GetColor());

    // Hue, saturation and luminance typed make the colour exactly; typing one keeps the others.
    HWND hWndLum = CustomItem(XT_IDC_EDIT_LUM);
    ::SetFocus(hWndLum);
    ::SendMessageW(hWndLum, EM_SETSEL, 0, -1);
    for (WORD vk : {WORD('1'), WORD('9'), WORD('0')})
        PressKey(vk);
    const COLORREF clrHsl = HslToRgb(nHue / 255.0, nSat / 255.0, 190 / 255.0);
    ASSERT_TRUE(NewColorBecomes(clrHsl));
    EXPECT_EQ(std::to_wstring(nHue), Text(CustomItem(XT_IDC_EDIT_HUE)));
    EXPECT_EQ(std::to_wstring(nSat), Text(CustomItem(XT_IDC_EDIT_SAT)));
    EXPECT_EQ(std::to_wstring(GetRValue(clrHsl)), Text(hWndRed));
    EXPECT_EQ(L"190", Text(hWndLum));
}

TEST_F(ColorDialogTest, NumbersOutOfRangeAreClampedAndTextThatIsNoNumberIsRefused)
{
    Open(RGB(100, 20, 30), RGB(0, 0, 0));
    ShowCustomPage();
    HWND hWndRed = CustomItem(XT_IDC_EDIT_RED);
    struct Case
    {
        const wchar_t* typed;
        int nRed;             // the red the colour has afterwards (100 when refused)
        const wchar_t* shown; // the edit's text afterwards, while it keeps the focus
    };
    const Case cases[] = {
        {L"300", 255, L"255"}, {L"-7", 0, L"0"},      {L" 42 ", 42, L"42"},
        {L"abc", 100, L"abc"}, {L"", 100, L""},       {L"99999999999", 100, L"99999999999"},
        {L"12x", 100, L"12x"}, {L"255", 255, L"255"},
    };
    for (const Case& c : cases) {
        ::SetFocus(hWndRed);
        ::SetWindowTextW(hWndRed, L"100");
        ASSERT_EQ(RGB(100, 20, 30), m_dlg->m_clrNew) << lqtest::Narrow(c.typed);
        ::SetWindowTextW(hWndRed, c.typed);
        lqtest::PumpPending();
        EXPECT_EQ(RGB(c.nRed, 20, 30), m_dlg->m_clrNew) << lqtest::Narrow(c.typed);
        EXPECT_EQ(c.shown, Text(hWndRed)) << lqtest::Narrow(c.typed);
        // Leaving the field shows the number the colour has.
        ::SetFocus(CustomItem(XT_IDC_EDIT_GREEN));
        EXPECT_EQ(std::to_wstring(c.nRed), Text(hWndRed)) << lqtest::Narrow(c.typed);
    }
}

TEST_F(ColorDialogTest, AltAndALabelsLetterGoesToItsControl)
{
    Open(RGB(10, 20, 30), RGB(0, 0, 0));
    ShowCustomPage();
    struct Case
    {
        WORD vk;
        int nID;
    };
    const Case cases[] = {{'G', XT_IDC_EDIT_GREEN},
                          {'H', XT_IDC_EDIT_HUE},
                          {'L', XT_IDC_EDIT_LUM},
                          {'C', XT_IDC_COLOR_SPECTRUM},
                          {'B', XT_IDC_EDIT_BLUE}};
    for (const Case& c : cases) {
        SendKey(VK_MENU, false);
        PressKey(c.vk);
        SendKey(VK_MENU, true);
        EXPECT_TRUE(PumpTranslatedUntil([&] { return ::GetFocus() == CustomItem(c.nID); })) << char(c.vk);
    }
    // The labels are drawn by the page; their windows are hidden.
    EXPECT_FALSE(::IsWindowVisible(CustomItem(XT_IDC_LABEL_GREEN)));
    EXPECT_EQ(7, Custom().GetStaticCount());
}

TEST_F(ColorDialogTest, BothPagesShowTheColourTheOtherPicked)
{
    Open(RGB(255, 0, 0), RGB(0, 0, 0));
    ShowCustomPage();
    ::SetWindowTextW(CustomItem(XT_IDC_EDIT_BLUE), L"255");
    ASSERT_TRUE(NewColorBecomes(RGB(255, 0, 255)));
    ASSERT_TRUE(m_dlg->SetActivePage(0));
    ASSERT_TRUE(PumpTranslatedUntil([&] { return m_dlg->GetActiveIndex() == 0; }));
    EXPECT_EQ(RGB(255, 0, 255), Picker().GetColor());
    EXPECT_EQ(std::vector<int>{67}, Picker().GetMarkedCells());

    // The dialog tells every page that has a window.
    m_dlg->SetNewColor(RGB(0, 255, 0), TRUE);
    EXPECT_EQ(RGB(0, 255, 0), Picker().GetColor());
    EXPECT_EQ(L"255", Text(CustomItem(XT_IDC_EDIT_GREEN)));
    EXPECT_EQ(L"0", Text(CustomItem(XT_IDC_EDIT_RED)));
    EXPECT_EQ(RGB(0, 255, 0), Custom().m_ctrlSpectrum.GetColor());
}

TEST_F(ColorDialogTest, WithoutVisualStylesThePagesAreButtonFaceWithTheirLabelsDrawn)
{
    tktest::ThemeOverride classic(FALSE, L"", L"", MAKELONG(81, 5));
    Open(RGB(10, 20, 30), RGB(0, 0, 0));
    CXTColorPageStandard* pPage = m_dlg->GetStandardPage();
    CRect rcPage;
    pPage->GetClientRect(&rcPage);
    lqtest::MemoryCanvas canvas(rcPage.Width(), rcPage.Height(), RGB(1, 2, 3));
    pPage->OnDraw(&canvas.Dc(), rcPage);
    EXPECT_EQ(::GetSysColor(COLOR_3DFACE), canvas.Dc().GetPixel(rcPage.right - 2, rcPage.bottom - 2));
    HWND hWndLabel = ::GetDlgItem(pPage->m_hWnd, XT_IDC_COLOR_LABEL);
    EXPECT_FALSE(::IsWindowVisible(hWndLabel));
    const CRect rcLabel = RectIn(pPage->m_hWnd, hWndLabel);
    int nText = 0;
    for (int y = rcLabel.top; y < rcLabel.bottom; ++y)
        for (int x = rcLabel.left; x < rcLabel.right; ++x)
            nText += canvas.Dc().GetPixel(x, y) == ::GetSysColor(COLOR_BTNTEXT);
    EXPECT_GT(nText, 10);
}

// Runs the dialog modally; each time its loop goes idle the next step of a script runs, until one says it is done.
class CScriptedColorDialog : public CXTColorDialog
{
public:
    using CXTColorDialog::CXTColorDialog;
    std::vector<std::function<bool()>> m_script;
    size_t m_step = 0;
    int m_idles = 0;

protected:
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (++m_idles > 2000) {
            EndDialog(IDABORT);
            return FALSE;
        }
        if (m_step < m_script.size() && m_script[m_step]())
            ++m_step;
        return m_step < m_script.size();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedColorDialog, CXTColorDialog)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

TEST(ColorDialogModal, ADoubleClickOrTheSpaceBarConfirmsAndEscapeCancels)
{
    struct Case
    {
        const char* name;
        int nCell;
        bool bDoubleClick;
        WORD vkAfterClick; // 0 for none
        INT_PTR nResult;
    };
    const Case cases[] = {
        {"double click", 30, true, 0, IDOK},
        {"space bar", 50, false, VK_SPACE, IDOK},
        {"escape", 70, false, VK_ESCAPE, IDCANCEL},
    };
    for (const Case& c : cases) {
        CScriptedColorDialog dlg(RGB(1, 2, 3), RGB(1, 2, 3), 0);
        CXTColorHexagonPicker& picker = dlg.GetStandardPage()->m_picker;
        const COLORREF clrCell = CXTColorHexagonPicker::BuildCells(0)[static_cast<size_t>(c.nCell)].clr;
        dlg.m_script.push_back([&] {
            if (picker.m_hWnd == nullptr || !::IsWindowVisible(dlg.m_hWnd))
                return false;
            // Input goes to the window in front.
            if (::GetForegroundWindow() != dlg.m_hWnd) {
                ::SetForegroundWindow(dlg.m_hWnd);
                return false;
            }
            const POINT centre = CellCentre(picker, c.nCell);
            Click(picker.m_hWnd, centre);
            if (c.bDoubleClick)
                Click(picker.m_hWnd, centre);
            return true;
        });
        if (c.vkAfterClick != 0) {
            dlg.m_script.push_back([&] {
                if (dlg.m_clrNew != clrCell)
                    return false;
                PressKey(c.vkAfterClick);
                return true;
            });
        }
        EXPECT_EQ(c.nResult, dlg.DoModal()) << c.name;
        EXPECT_EQ(dlg.m_script.size(), dlg.m_step) << c.name;
        EXPECT_EQ(clrCell, dlg.m_clrNew) << c.name;
    }
}

} // namespace
