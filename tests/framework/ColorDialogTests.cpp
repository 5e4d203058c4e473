// The system's colour dialog: it opens on the given colour, OK hands back what the user chose, Cancel keeps the
// colour it was given.
#include "framework/Afx.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The red, green and blue boxes of the dialog's full form.
constexpr int kRedEdit = 706;

TEST(ColorDialog, OkGivesTheChosenColourAndCancelKeepsTheOneGiven)
{
    CWinApp app(L"ColorDialogTests");
    struct Case
    {
        const wchar_t* red; // typed into the red box, or nullptr
        int button;
        INT_PTR result;
        COLORREF expected;
    };
    const Case cases[] = {
        {nullptr, IDOK, IDOK, RGB(12, 34, 56)},
        {L"200", IDOK, IDOK, RGB(200, 34, 56)},
        {L"200", IDCANCEL, IDCANCEL, RGB(12, 34, 56)},
    };
    for (const Case& c : cases) {
        CColorDialog dlg(RGB(12, 34, 56), CC_FULLOPEN);
        EXPECT_EQ(RGB(12, 34, 56), dlg.GetColor());
        bool bSeen = false;
        lqtest::ModalDriver driver([&](HWND hDlg, const std::wstring&, int nActivation) {
            if (nActivation != 0)
                return;
            bSeen = true;
            if (c.red != nullptr)
                lqtest::ModalDriver::SetText(hDlg, kRedEdit, c.red);
            lqtest::ModalDriver::Click(hDlg, c.button);
        });
        EXPECT_EQ(c.result, dlg.DoModal());
        EXPECT_TRUE(bSeen);
        EXPECT_EQ(c.expected, dlg.GetColor()) << (c.red ? "typed" : "untouched");
    }
    // The custom colours are one array for the whole process.
    EXPECT_EQ(CColorDialog::GetSavedCustomColors(), CColorDialog().m_cc.lpCustColors);
}

} // namespace
