// The small dialogs driven as a user does: "Quick Filter" splits and joins the tagged filter text, "Rename Category"
// is confirmed only with a caption, "Please Wait" ends when told, even before its window stands.
#include "companions/QuickFilterDlg.h"
#include "companions/RenameCategoryDlg.h"
#include "companions/StatusDlg.h"
#include "res/resource.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

using lqtest::ModalDriver;

namespace {

TEST(QuickFilterDlg, ShowsEachListOfTheFilterAndJoinsWhatIsTypedOnOk)
{
    struct Case
    {
        const wchar_t* filterIn;
        const wchar_t *shownAnd, *shownOr, *shownNot;
        const wchar_t *typedAnd, *typedOr, *typedNot;
        const wchar_t* filterOut;
    };
    const Case cases[] = {
        {L"#AND#apple pear#/AND##NOT#plum#/NOT#", L"apple pear", L"", L"plum", nullptr, nullptr, nullptr,
         L"#AND#apple pear#/AND##NOT#plum#/NOT#"},
        {L"", L"", L"", L"", L"", L"rain, snow", L"", L"#OR#rain, snow#/OR#"},
        {L"#AND#x#/AND##OR#y#/OR##NOT#z#/NOT#", L"x", L"y", L"z", L"", L"", L"", L""},
        {L"", L"", L"", L"", L"a", L"b", L"c", L"#AND#a#/AND##OR#b#/OR##NOT#c#/NOT#"},
    };
    for (const Case& c : cases) {
        std::wstring shown[3];
        LONG style = 0;
        ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
            if (caption != L"Quick Filter" || n != 0)
                return;
            shown[0] = ModalDriver::Text(hDlg, IDC_FILTER_AND);
            shown[1] = ModalDriver::Text(hDlg, IDC_FILTER_OR);
            shown[2] = ModalDriver::Text(hDlg, IDC_FILTER_NOT);
            style = ::GetWindowLongW(::GetDlgItem(hDlg, IDC_FILTER_OR), GWL_STYLE);
            const int ids[] = {IDC_FILTER_AND, IDC_FILTER_OR, IDC_FILTER_NOT};
            const wchar_t* typed[] = {c.typedAnd, c.typedOr, c.typedNot};
            for (int i = 0; i < 3; ++i) {
                if (typed[i])
                    ModalDriver::SetText(hDlg, ids[i], typed[i]);
            }
            ModalDriver::Click(hDlg, IDOK);
        });
        CQuickFilterDlg dlg;
        dlg.m_strFilterText = c.filterIn;
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(shown[0], c.shownAnd);
        EXPECT_EQ(shown[1], c.shownOr);
        EXPECT_EQ(shown[2], c.shownNot);
        EXPECT_STREQ(dlg.m_strFilterText.GetString(), c.filterOut);
        EXPECT_TRUE(style & ES_LOWERCASE) << "typed letters become lower case";
        EXPECT_TRUE(style & ES_MULTILINE);
    }
}

TEST(RenameCategoryDlg, OkWaitsForANewCaptionAndBlanksAreNone)
{
    struct Step
    {
        const wchar_t* typed;
        bool bOkEnabled;
    };
    const Step steps[] = {{L"", false}, {L"   ", false}, {L"News", true}, {L"", false}, {L" Daily news ", true}};
    std::wstring oldShown;
    std::vector<bool> enabled;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption != L"Rename Category" || n != 0)
            return;
        oldShown = ModalDriver::Text(hDlg, IDC_RENAME_OLD_CAPTION);
        enabled.push_back(::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) != FALSE);
        for (const Step& step : steps) {
            ModalDriver::SetText(hDlg, IDC_RENAME_NEW_CAPTION, step.typed);
            enabled.push_back(::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)) != FALSE);
            // Enter reaches OK even while the button is disabled: the dialog must stay for the caption typed next.
            if (std::wstring(step.typed) == L"   ")
                ::SendMessageW(hDlg, WM_COMMAND, IDOK, 0);
        }
        ModalDriver::Click(hDlg, IDOK);
    });
    CRenameCategoryDlg dlg;
    dlg.m_strOldCaption = L"World";
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(oldShown, L"World");
    ASSERT_EQ(enabled.size(), 1 + std::size(steps));
    EXPECT_FALSE(enabled[0]) << "disabled at first";
    for (size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(enabled[i + 1], steps[i].bOkEnabled) << i;
    EXPECT_STREQ(dlg.m_strNewCaption.GetString(), L"Daily news");
}

TEST(StatusDlg, EndsWhenFinishedWhetherItsWindowStandsOrNot)
{
    // Finished before it runs: it ends as soon as its window is made.
    {
        CStatusDlg dlg;
        dlg.Finish();
        EXPECT_EQ(dlg.DoModal(), 0);
    }
    // Finished while it shows "Filtering..." under its caption, with no system menu to close it by.
    CStatusDlg dlg;
    std::wstring text;
    LONG style = 0;
    ModalDriver driver([&](HWND hDlg, const std::wstring& caption, int n) {
        if (caption != L"Please Wait" || n != 0)
            return;
        text = ModalDriver::Text(hDlg, IDC_STATUS_TEXT);
        style = ::GetWindowLongW(hDlg, GWL_STYLE);
        dlg.Finish();
    });
    EXPECT_EQ(dlg.DoModal(), 0);
    EXPECT_EQ(text, L"Filtering...");
    EXPECT_FALSE(style & WS_SYSMENU);
}

} // namespace
