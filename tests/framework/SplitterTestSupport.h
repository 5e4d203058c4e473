// Helpers of the splitter tests: a shown frame whose client is a static splitter of views, made for a test and
// destroyed after it.
#pragma once

#include "framework/frame/FrameWnd.h"
#include "framework/win/WinApp.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace splittertest {

// The size a pane's view asks for when the splitter is made.
using PaneSizeFunction = CSize (*)(int row, int col);

template <class TSplitter> class CSplitFrame : public CFrameWnd
{
public:
    TSplitter m_splitter;
    int m_rows = 1;
    int m_cols = 1;
    CRuntimeClass* m_pViewClass = nullptr;
    PaneSizeFunction m_pfnPaneSize = nullptr;

    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        if (!m_splitter.CreateStatic(this, m_rows, m_cols))
            return FALSE;
        for (int row = 0; row < m_rows; ++row)
            for (int col = 0; col < m_cols; ++col)
                if (!m_splitter.CreateView(row, col, m_pViewClass, m_pfnPaneSize(row, col), pContext))
                    return FALSE;
        return TRUE;
    }
};

template <class TSplitter> class SplitterFixture : public ::testing::Test
{
protected:
    SplitterFixture(CRuntimeClass* pViewClass, PaneSizeFunction pfnPaneSize)
        : m_pViewClass(pViewClass), m_pfnPaneSize(pfnPaneSize)
    {
    }

    void Make(int rows, int cols)
    {
        m_frame = new CSplitFrame<TSplitter>;
        m_frame->m_rows = rows;
        m_frame->m_cols = cols;
        m_frame->m_pViewClass = m_pViewClass;
        m_frame->m_pfnPaneSize = m_pfnPaneSize;
        ASSERT_TRUE(m_frame->Create(nullptr, L"Splitter host", WS_OVERLAPPEDWINDOW, CRect(30, 30, 670, 430)));
        m_hFrame = m_frame->m_hWnd;
        m_app.m_pMainWnd = m_frame;
        m_frame->InitialUpdateFrame(nullptr, TRUE);
        lqtest::PumpPending();
    }

    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        if (::IsWindow(m_hFrame))
            ::DestroyWindow(m_hFrame);
        lqtest::PumpPending();
    }

    TSplitter& Splitter() { return m_frame->m_splitter; }

    CWinApp m_app{L"SplitterTests"};
    CSplitFrame<TSplitter>* m_frame = nullptr; // deletes itself with its window
    HWND m_hFrame = nullptr;

private:
    CRuntimeClass* m_pViewClass;
    PaneSizeFunction m_pfnPaneSize;
};

} // namespace splittertest
