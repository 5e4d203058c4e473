// The owner of a modal window: disabled while it runs, given back its input and the activation after.
#include "framework/win/ModalOwner.h"

#include <gtest/gtest.h>

namespace {

class ModalOwnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_owner = Make(nullptr);
        m_modal = Make(m_owner);
        ASSERT_NE(m_owner, nullptr);
        ASSERT_NE(m_modal, nullptr);
    }
    void TearDown() override
    {
        ::DestroyWindow(m_modal);
        ::DestroyWindow(m_owner);
    }
    static HWND Make(HWND hWndOwner)
    {
        return ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, hWndOwner, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    HWND m_owner = nullptr;
    HWND m_modal = nullptr;
};

TEST_F(ModalOwnerTest, AnEnabledOwnerIsDisabledWhileHeldAndGetsTheActivationBack)
{
    CModalOwner owner(m_owner);
    EXPECT_FALSE(::IsWindowEnabled(m_owner));
    ::SetActiveWindow(m_modal);
    ASSERT_EQ(::GetActiveWindow(), m_modal);
    owner.Release(m_modal);
    EXPECT_TRUE(::IsWindowEnabled(m_owner));
    EXPECT_FALSE(::IsWindowVisible(m_modal)); // hidden before the owner came back
    EXPECT_EQ(::GetActiveWindow(), m_owner);
    owner.Release(m_modal); // a second release changes nothing
    EXPECT_TRUE(::IsWindowEnabled(m_owner));
}

TEST_F(ModalOwnerTest, AnOwnerDisabledBeforeStaysDisabled)
{
    ::EnableWindow(m_owner, FALSE);
    CModalOwner owner(m_owner);
    owner.Release(m_modal);
    EXPECT_FALSE(::IsWindowEnabled(m_owner));
}

TEST_F(ModalOwnerTest, TheDesktopAndNoOwnerAreLeftAlone)
{
    const HWND desktop = ::GetDesktopWindow();
    const BOOL desktopEnabled = ::IsWindowEnabled(desktop);
    {
        CModalOwner owner(desktop);
        EXPECT_EQ(::IsWindowEnabled(desktop), desktopEnabled);
        owner.Release(m_modal);
    }
    CModalOwner none(nullptr);
    none.Release(m_modal);
    EXPECT_FALSE(::IsWindowVisible(m_modal));
    EXPECT_TRUE(::IsWindowEnabled(m_owner));
}

} // namespace
