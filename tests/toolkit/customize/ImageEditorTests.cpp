// The Button Editor on a live dialog under Xvfb: each tool painted with the real mouse and checked pixel by pixel,
// the colour cells and the picker, undo and redo sequences, shifting, import of good, damaged and huge files,
// copy and paste through the clipboard, the result handed back as an image, tool tips, button states, and the
// placeholders that share ids with the move commands.
#include "toolkit/customize/XTPImageEditorDlg.h"

#include "framework/FrameworkMessages.h"
#include "framework/win/OleDragDrop.h"
#include "framework/win/WinApp.h"
#include "tests/framework/FrameTestSupport.h"
#include "tests/support/Input.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestSupport.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/customize/ImageEditorResource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const COLORREF kClear = XTP_IMAGEEDITOR_TRANSPARENT;
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);

// The index of a colour's cell in the dialog's table of sixteen.
enum
{
    cellBlack = 0,
    cellRed = 10,
    cellBlue = 14
};

class ImageEditorTest : public ::testing::Test
{
protected:
    void SetUp() override { ::OleInitialize(nullptr); }
    void TearDown() override
    {
        Close();
        lqtest::PumpPending();
        ::OleUninitialize();
    }

    // The dialog made modeless, in front, on an empty image of the size or on the icon given.
    void Open(CSize size = CSize(16, 16), const CXTPImageManagerIconHandle* pIcon = nullptr)
    {
        m_pDlg = new CXTPImageEditorDlg(nullptr);
        if (pIcon != nullptr)
            m_pDlg->SetIcon(*pIcon);
        else
            m_pDlg->SetSize(size.cx, size.cy);
        ASSERT_TRUE(m_pDlg->CreateIndirect(m_pDlg->m_lpDialogTemplate, nullptr));
        m_pDlg->SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_pDlg->ShowWindow(SW_SHOW);
        m_pDlg->UpdateWindow();
        ASSERT_TRUE(frametest::Activate(m_pDlg->m_hWnd));
    }
    void Close()
    {
        if (m_pDlg != nullptr) {
            if (::IsWindow(m_pDlg->m_hWnd))
                m_pDlg->DestroyWindow();
            delete m_pDlg;
            m_pDlg = nullptr;
        }
    }

    CXTPImageEditorPicture& Picture() { return m_pDlg->GetPicture(); }
    COLORREF Pixel(int x, int y)
    {
        CXTPImageEditorBitmap* pImage = Picture().GetImage();
        return pImage != nullptr ? pImage->GetPixel(x, y) : kClear;
    }
    // Every pixel of the image, row by row: '.' transparent, 'k' black, 'r' red, '?' anything else.
    std::string Map()
    {
        std::string map;
        const CSize size = m_pDlg->GetImageSize();
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                const COLORREF clr = Pixel(x, y);
                map += clr == kClear ? '.' : clr == kBlack ? 'k' : clr == kRed ? 'r' : '?';
            }
            map += '\n';
        }
        return map;
    }
    // The centre of an image pixel's cell on the screen.
    POINT CellPoint(int x, int y)
    {
        const CSize cell = Picture().GetCellSize();
        return lqtest::ClientToScreenPoint(Picture().m_hWnd, x * cell.cx + cell.cx / 2, y * cell.cy + cell.cy / 2);
    }
    void ClickCell(int x, int y)
    {
        const int nUndo = Picture().GetUndoCount();
        lqtest::ClickAt(CellPoint(x, y));
        lqtest::PumpUntil([&] { return Picture().GetUndoCount() != nUndo && ::GetCapture() == nullptr; }, 3000);
    }
    // Press on one cell, move over to another, release there.
    void Drag(int x0, int y0, int x1, int y1)
    {
        const int nUndo = Picture().GetUndoCount();
        ASSERT_TRUE(lqtest::MoveMouse(CellPoint(x0, y0)));
        lqtest::SendMouse(CellPoint(x0, y0), MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(lqtest::PumpUntil([&] { return ::GetCapture() == Picture().m_hWnd; }));
        ASSERT_TRUE(lqtest::MoveMouse(CellPoint((x0 + x1) / 2, (y0 + y1) / 2)));
        ASSERT_TRUE(lqtest::MoveMouse(CellPoint(x1, y1)));
        lqtest::SendMouse(CellPoint(x1, y1), MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(lqtest::PumpUntil([&] { return Picture().GetUndoCount() != nUndo && ::GetCapture() == nullptr; }));
    }
    void ClickColorCell(int nIndex)
    {
        const UINT ids[16] = {
            XTP_IDS_CLR_BLACK,        XTP_IDS_CLR_GRAY50,    XTP_IDS_CLR_DARK_RED,  XTP_IDS_CLR_DARK_YELLOW,
            XTP_IDS_CLR_GREEN,        XTP_IDS_CLR_TEAL,      XTP_IDS_CLR_DARK_BLUE, XTP_IDS_CLR_VIOLET,
            XTP_IDS_CLR_WHITE,        XTP_IDS_CLR_GRAY25,    XTP_IDS_CLR_RED,       XTP_IDS_CLR_YELLOW,
            XTP_IDS_CLR_BRIGHT_GREEN, XTP_IDS_CLR_TURQUOISE, XTP_IDS_CLR_BLUE,      XTP_IDS_CLR_PINK};
        HWND hCell = ::GetDlgItem(m_pDlg->m_hWnd, static_cast<int>(ids[nIndex]));
        ASSERT_NE(nullptr, hCell);
        CRect rc;
        ::GetClientRect(hCell, &rc);
        lqtest::ClickAt(lqtest::ClientToScreenPoint(hCell, rc.CenterPoint().x, rc.CenterPoint().y));
        ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pDlg->GetSelectedPicker()->m_hWnd == hCell; }, 3000));
    }
    // A button of a bar clicked with the mouse.
    void ClickButton(CToolBar& bar, UINT nID)
    {
        m_pDlg->SendMessage(WM_KICKIDLE, 0, 0);
        CRect rc;
        bar.GetItemRect(bar.CommandToIndex(nID), &rc);
        lqtest::ClickAt(lqtest::ClientToScreenPoint(bar.m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y));
        lqtest::PumpPending();
    }
    void Command(UINT nID) { m_pDlg->SendMessage(WM_COMMAND, nID, 0); }
    // An image of the editor's size with black pixels at the points.
    void Seed(std::initializer_list<POINT> points)
    {
        CXTPImageEditorBitmap* pImage = CXTPImageEditorBitmap::CreateBlank(m_pDlg->GetImageSize(), FALSE);
        for (POINT pt : points)
            pImage->SetPixel(pt.x, pt.y, kBlack);
        Picture().SetImage(pImage);
    }

    CWinApp m_app{L"ImageEditorTests"};
    CXTPImageEditorDlg* m_pDlg = nullptr;
};

TEST_F(ImageEditorTest, OpensWithBlackSelectedPencilCheckedAndTheLayoutOfItsParts)
{
    Open();
    EXPECT_EQ(nullptr, Picture().GetImage());
    EXPECT_EQ(CXTPImageEditorDlg::toolPencil, m_pDlg->GetCurrentTool());
    EXPECT_EQ(kBlack, m_pDlg->GetSelectedColor());
    EXPECT_EQ(static_cast<int>(XTP_IDS_CLR_BLACK), m_pDlg->GetSelectedPicker()->GetDlgCtrlID());
    EXPECT_EQ(kClear, static_cast<CXTPImageEditorPicker*>(
                          CWnd::FromHandlePermanent(::GetDlgItem(m_pDlg->m_hWnd, XTP_IDC_CLR_ERASE)))
                          ->GetColor());

    // Whole square cells plus the frame.
    CRect rcPicture;
    Picture().GetWindowRect(&rcPicture);
    const CSize cell = Picture().GetCellSize();
    EXPECT_EQ(cell.cx, cell.cy);
    EXPECT_GE(cell.cx, 4);
    EXPECT_EQ(16 * cell.cx + 1, rcPicture.Width());
    EXPECT_EQ(16 * cell.cy + 1, rcPicture.Height());

    // Twelve tools in three rows of four, four move buttons in one row.
    CToolBar& tools = m_pDlg->GetToolsBar();
    CRect rc0, rc3, rc4, rc8;
    tools.GetItemRect(0, &rc0);
    tools.GetItemRect(3, &rc3);
    tools.GetItemRect(4, &rc4);
    tools.GetItemRect(8, &rc8);
    EXPECT_EQ(rc0.top, rc3.top);
    EXPECT_EQ(rc0.left, rc4.left);
    EXPECT_GT(rc4.top, rc0.top);
    EXPECT_GT(rc8.top, rc4.top);
    EXPECT_EQ(XTP_ID_BUTTON_OPEN, tools.GetItemID(11));
    EXPECT_EQ(XTP_ID_BUTTON_RIGHT, m_pDlg->GetMoveBar().GetItemID(3));

    // The cells: 13 pixels apart in two rows.
    CRect rcBlack, rcGrey, rcWhite;
    ::GetWindowRect(::GetDlgItem(m_pDlg->m_hWnd, XTP_IDS_CLR_BLACK), &rcBlack);
    ::GetWindowRect(::GetDlgItem(m_pDlg->m_hWnd, XTP_IDS_CLR_GRAY50), &rcGrey);
    ::GetWindowRect(::GetDlgItem(m_pDlg->m_hWnd, XTP_IDS_CLR_WHITE), &rcWhite);
    EXPECT_EQ(CSize(11, 11), rcBlack.Size());
    EXPECT_EQ(13, rcGrey.left - rcBlack.left);
    EXPECT_EQ(13, rcWhite.top - rcBlack.top);
}

TEST_F(ImageEditorTest, PencilPaintsAPixelAndASecondClickInItsColourErasesAlongTheDrag)
{
    Open();
    ClickCell(2, 3);
    EXPECT_EQ(kBlack, Pixel(2, 3));
    EXPECT_EQ(kClear, Pixel(3, 3));
    ClickCell(5, 3);
    ClickCell(6, 3);
    EXPECT_EQ(kBlack, Pixel(6, 3));

    // Starting on a black pixel with black erases, and the drag goes on erasing.
    Drag(5, 3, 6, 3);
    EXPECT_EQ(kClear, Pixel(5, 3));
    EXPECT_EQ(kClear, Pixel(6, 3));
    EXPECT_EQ(kBlack, Pixel(2, 3));

    // Another colour paints over.
    ClickColorCell(cellRed);
    ClickCell(2, 3);
    EXPECT_EQ(kRed, Pixel(2, 3));
}

TEST_F(ImageEditorTest, LineRectangleAndEllipseFollowTheMouseFromThePressedPixel)
{
    Open();
    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_LINE);
    ASSERT_EQ(CXTPImageEditorDlg::toolLine, m_pDlg->GetCurrentTool());
    // The line stops short of the pixel under the mouse.
    Drag(1, 1, 6, 1);
    EXPECT_EQ(std::string(".kkkkk."), Map().substr(17, 7));

    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_UNDO);
    EXPECT_EQ(nullptr, Picture().GetImage()) << "undo returns to the empty picture";

    // A red background shows what each shape leaves inside.
    ClickColorCell(cellRed);
    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_FILL);
    ClickCell(0, 0);
    ASSERT_EQ(std::string(16, 'r'), Map().substr(0, 16));

    ClickColorCell(cellBlack);
    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_RECTANGLE);
    // Dragged up and to the left: the rectangle is the same.
    Drag(6, 5, 2, 2);
    struct Probe
    {
        int x, y;
        COLORREF clr;
    };
    for (const Probe& p : {Probe{2, 2, kBlack}, Probe{6, 2, kBlack}, Probe{2, 5, kBlack}, Probe{6, 5, kBlack},
                           Probe{4, 2, kBlack}, Probe{4, 3, kRed}, Probe{7, 5, kRed}, Probe{1, 1, kRed}})
        EXPECT_EQ(p.clr, Pixel(p.x, p.y)) << "rectangle " << p.x << "," << p.y;

    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_CIRCLE);
    Drag(1, 8, 11, 14);
    for (const Probe& p : {Probe{6, 11, kClear}, Probe{4, 11, kClear}, Probe{6, 8, kBlack}, Probe{1, 11, kBlack},
                           Probe{1, 8, kRed}, Probe{12, 15, kRed}})
        EXPECT_EQ(p.clr, Pixel(p.x, p.y)) << "ellipse " << p.x << "," << p.y;
}

TEST_F(ImageEditorTest, FillCoversOnlyTheSurfaceOfTheColourUnderThePoint)
{
    Open(CSize(8, 8));
    Seed({{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3}});
    ClickColorCell(cellRed);
    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_FILL);
    ClickCell(3, 6);
    EXPECT_EQ(std::string("........\n........\n........\nkkkkkkkk\nrrrrrrrr\nrrrrrrrr\nrrrrrrrr\nrrrrrrrr\n"), Map());
}

TEST_F(ImageEditorTest, ThePickerTakesTheColourIntoTheCustomCellAndGoesBackToTheToolBefore)
{
    Open();
    ClickColorCell(cellRed);
    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_LINE);
    Drag(0, 0, 4, 0);
    ClickColorCell(cellBlue);

    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_GETCOLOR);
    ASSERT_EQ(CXTPImageEditorDlg::toolPickColor, m_pDlg->GetCurrentTool());
    // Choosing the picker again keeps the tool to return to.
    ClickButton(m_pDlg->GetToolsBar(), XTP_ID_BUTTON_GETCOLOR);
    const int nUndo = Picture().GetUndoCount();
    lqtest::ClickAt(CellPoint(2, 0));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pDlg->GetCurrentTool() != CXTPImageEditorDlg::toolPickColor; }));
    EXPECT_EQ(CXTPImageEditorDlg::toolLine, m_pDlg->GetCurrentTool());
    EXPECT_EQ(&m_pDlg->GetCustomPicker(), m_pDlg->GetSelectedPicker());
    EXPECT_EQ(kRed, m_pDlg->GetCustomPicker().GetColor());
    EXPECT_EQ(nUndo, Picture().GetUndoCount()) << "picking changes no pixel";
    // The transparent cell takes transparency.
    const HWND hErase = ::GetDlgItem(m_pDlg->m_hWnd, XTP_IDC_CLR_ERASE);
    lqtest::ClickAt(lqtest::ClientToScreenPoint(hErase, 4, 4));
    ASSERT_TRUE(lqtest::PumpUntil([&] { return m_pDlg->GetSelectedPicker()->m_hWnd == hErase; }));
    EXPECT_EQ(kClear, m_pDlg->GetSelectedColor());
}

TEST_F(ImageEditorTest, UndoAndRedoSequences)
{
    // 'l' and 'r' shift the image (each a change), 'c' clears it, 'u' undoes, 'd' redoes. The image starts with one
    // black pixel at (8, 8); the result is where that pixel is (-1: none), and the lengths of both lists.
    struct Case
    {
        const char* steps;
        int x;
        int undo;
        int redo;
    };
    const Case cases[] = {
        {"", 8, 0, 0},
        {"u", 8, 0, 0},
        {"d", 8, 0, 0},
        {"l", 7, 1, 0},
        {"lu", 8, 0, 1},
        {"lud", 7, 1, 0},
        {"lluu", 8, 0, 2},
        {"llud", 6, 2, 0},
        {"llur", 8, 2, 0}, // a change after an undo forgets the redo list
        {"cu", 8, 0, 1},
        {"lc", -1, 2, 0},
        {"lcuu", 8, 0, 2},
        {"rrrrrrrrrrrrrrrrr", -1, 16, 0},                 // 17 changes: only 16 are kept
        {"rrrrrrrrrrrrrrrrruuuuuuuuuuuuuuuuu", 9, 0, 16}, // back to the state after the first change, not before it
    };
    Open();
    for (const Case& c : cases) {
        Close();
        Open();
        Seed({{8, 8}});
        for (const char* p = c.steps; *p; ++p) {
            switch (*p) {
            case 'l':
                Command(XTP_ID_BUTTON_LEFT);
                break;
            case 'r':
                Command(XTP_ID_BUTTON_RIGHT);
                break;
            case 'c':
                Command(XTP_ID_BUTTON_CLEAR);
                break;
            case 'u':
                Command(XTP_ID_BUTTON_UNDO);
                break;
            case 'd':
                Command(XTP_ID_BUTTON_REDO);
                break;
            }
        }
        int x = -1;
        for (int i = 0; i < 16; ++i) {
            if (Pixel(i, 8) == kBlack)
                x = i;
        }
        EXPECT_EQ(c.x, x) << c.steps;
        EXPECT_EQ(c.undo, Picture().GetUndoCount()) << c.steps;
        EXPECT_EQ(c.redo, Picture().GetRedoCount()) << c.steps;

        // The buttons follow the lists at idle time.
        m_pDlg->SendMessage(WM_KICKIDLE, 0, 0);
        EXPECT_EQ(c.undo > 0, m_pDlg->GetToolsBar().SendMessage(TB_ISBUTTONENABLED, XTP_ID_BUTTON_UNDO, 0) != 0)
            << c.steps;
        EXPECT_EQ(c.redo > 0, m_pDlg->GetToolsBar().SendMessage(TB_ISBUTTONENABLED, XTP_ID_BUTTON_REDO, 0) != 0)
            << c.steps;
    }
}

TEST_F(ImageEditorTest, ShiftingMovesOnePixelAndLosesWhatLeavesTheImage)
{
    Open();
    struct Case
    {
        UINT nID;
        POINT to;
    };
    const Case cases[] = {{XTP_ID_BUTTON_LEFT, {4, 5}},
                          {XTP_ID_BUTTON_DOWN, {5, 6}},
                          {XTP_ID_BUTTON_UP, {5, 4}},
                          {XTP_ID_BUTTON_RIGHT, {6, 5}}};
    for (const Case& c : cases) {
        Seed({{5, 5}, {0, 0}, {15, 15}});
        Command(c.nID);
        EXPECT_EQ(kBlack, Pixel(c.to.x, c.to.y)) << c.nID;
        EXPECT_EQ(kClear, Pixel(5, 5)) << c.nID;
    }
    // Left four times and right four times: the leftmost columns are gone, the rest comes back.
    Seed({{1, 2}, {9, 2}});
    const int nUndo = Picture().GetUndoCount();
    for (int i = 0; i < 4; ++i)
        ClickButton(m_pDlg->GetMoveBar(), XTP_ID_BUTTON_LEFT);
    for (int i = 0; i < 4; ++i)
        ClickButton(m_pDlg->GetMoveBar(), XTP_ID_BUTTON_RIGHT);
    EXPECT_EQ(kClear, Pixel(1, 2));
    EXPECT_EQ(kBlack, Pixel(9, 2));
    EXPECT_EQ(nUndo + 8, Picture().GetUndoCount());
}

TEST_F(ImageEditorTest, MovePlaceholdersGiveTheirIdsToTheButtonsAlone)
{
    Open();
    // The hidden statics that marked the places must not stand for the move commands.
    for (int nID : {XTP_ID_BUTTON_LEFT, XTP_ID_BUTTON_RIGHT}) {
        HWND hChild = ::GetDlgItem(m_pDlg->m_hWnd, nID);
        if (hChild != nullptr) {
            wchar_t cls[32] = {};
            ::GetClassNameW(hChild, cls, 32);
            EXPECT_NE(std::wstring(L"Static"), cls) << nID;
        }
    }
    Seed({{5, 5}});
    m_pDlg->SendMessage(WM_KICKIDLE, 0, 0);
    Command(XTP_ID_BUTTON_RIGHT);
    EXPECT_EQ(kBlack, Pixel(6, 5));
    EXPECT_EQ(1, Picture().GetUndoCount());
    EXPECT_NE(0, m_pDlg->GetMoveBar().SendMessage(TB_ISBUTTONENABLED, XTP_ID_BUTTON_RIGHT, 0));
}

TEST_F(ImageEditorTest, ToolTipsAreTheTextAfterTheLineBreakOfTheButtonsString)
{
    Open();
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(m_pDlg->GetToolsBar().SendMessage(TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = XTP_ID_BUTTON_OPEN;
    info.hdr.code = TTN_NEEDTEXTW;
    m_pDlg->GetToolsBar().SendMessage(WM_NOTIFY, XTP_ID_BUTTON_OPEN, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ(L"Import from File", info.lpszText);

    NMTTDISPINFOA infoA{};
    infoA.hdr.hwndFrom = info.hdr.hwndFrom;
    infoA.hdr.idFrom = XTP_ID_BUTTON_LEFT;
    infoA.hdr.code = TTN_NEEDTEXTA;
    m_pDlg->SendMessage(WM_NOTIFY, XTP_ID_BUTTON_LEFT, reinterpret_cast<LPARAM>(&infoA));
    ASSERT_NE(nullptr, infoA.lpszText);
    EXPECT_STREQ("Move Left", infoA.lpszText);

    // A colour's name has no tip part.
    info.hdr.idFrom = XTP_IDS_CLR_RED;
    m_pDlg->SendMessage(WM_NOTIFY, XTP_IDS_CLR_RED, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"", info.lpszText);
}

TEST_F(ImageEditorTest, ImportTakesPicturesAndRefusesDamagedHugeAndForeignFiles)
{
    lqtest::TempFolder folder;
    // A 24-bit bitmap of 20 x 20, red with a black top-left pixel: clipped to the editor's 16 x 16.
    auto Bitmap = [](int cx, int cy, int nBits) {
        const int nStride = ((cx * nBits / 8) + 3) & ~3;
        std::string bytes(54 + static_cast<size_t>(nStride) * cy, '\0');
        BITMAPINFOHEADER bih{sizeof(bih), cx, cy, 1, static_cast<WORD>(nBits), BI_RGB, 0, 0, 0, 0, 0};
        bytes[0] = 'B';
        bytes[1] = 'M';
        const DWORD nSize = static_cast<DWORD>(bytes.size()), nOffset = 54;
        memcpy(&bytes[2], &nSize, 4);
        memcpy(&bytes[10], &nOffset, 4);
        memcpy(&bytes[14], &bih, sizeof(bih));
        for (int y = 0; y < cy; ++y) {
            for (int x = 0; x < cx; ++x) {
                char* px = &bytes[54 + static_cast<size_t>(cy - 1 - y) * nStride + static_cast<size_t>(x) * nBits / 8];
                const bool bCorner = x == 0 && y == 0;
                px[2] = bCorner ? 0 : static_cast<char>(0xFF);
            }
        }
        return bytes;
    };
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"red.bmp"), Bitmap(20, 20, 24)));
    // A real picture, but more than the editor reads.
    ASSERT_TRUE(lqtest::WriteFileBytes(folder.File(L"huge.bmp"), Bitmap(2100, 2100, 32)));

    Open();
    Seed({{3, 3}});
    struct Case
    {
        std::wstring path;
        bool accepted;
    };
    const Case cases[] = {
        {lqtest::SourcePath(L"toolkit\\customize\\fixtures\\editor-damaged.png"), false},
        {lqtest::SourcePath(L"toolkit\\customize\\fixtures\\editor-not-a-picture.gif"), false},
        {lqtest::SourcePath(L"toolkit\\customize\\fixtures\\editor-huge-header.bmp"), false},
        {folder.File(L"huge.bmp"), false},
        {folder.File(L"missing.png"), false},
        {folder.File(L"red.bmp"), true},
        {lqtest::SourcePath(L"toolkit\\customize\\fixtures\\editor-import.png"), true},
    };
    for (const Case& c : cases) {
        const std::string before = Map();
        const int nUndo = Picture().GetUndoCount();
        lqtest::ModalDriver driver([](HWND, const std::wstring&, int) {});
        EXPECT_EQ(c.accepted, m_pDlg->ImportFile(c.path.c_str()) != FALSE) << lqtest::Narrow(c.path);
        if (c.accepted) {
            EXPECT_TRUE(driver.m_messages.empty());
            EXPECT_EQ(nUndo + 1, Picture().GetUndoCount());
        } else {
            // Refused with a message, and nothing changed.
            std::wstring messages;
            for (const std::wstring& m : driver.m_messages)
                messages += m + L" | ";
            EXPECT_EQ(1u, driver.m_messages.size()) << lqtest::Narrow(c.path) << " " << lqtest::Narrow(messages);
            EXPECT_EQ(before, Map()) << lqtest::Narrow(c.path);
            EXPECT_EQ(nUndo, Picture().GetUndoCount());
        }
        if (c.path == folder.File(L"red.bmp")) {
            EXPECT_EQ(kBlack, Pixel(0, 0));
            EXPECT_EQ(kRed, Pixel(15, 15));
            EXPECT_EQ(kRed, Pixel(1, 0));
        }
    }
    // The picture stretched over the image: its transparent quarter stays transparent.
    EXPECT_EQ(kClear, Pixel(2, 2));
    EXPECT_EQ(RGB(0, 200, 0), Pixel(12, 12));
    EXPECT_EQ(RGB(0, 200, 0), Pixel(2, 12));
}

TEST_F(ImageEditorTest, CopyAndPasteGoThroughTheClipboardAndPastingClipsToTheImage)
{
    Open();
    Seed({{0, 0}, {15, 15}, {7, 3}});
    Picture().GetImage()->SetPixel(8, 3, kRed);
    const std::string original = Map();
    Command(XTP_ID_BUTTON_COPY);
    Command(XTP_ID_BUTTON_CLEAR);
    ASSERT_EQ(nullptr, Picture().GetImage());
    Command(XTP_ID_BUTTON_PASTE);
    EXPECT_EQ(original, Map()) << "transparent pixels travel as the button face and come back";
    EXPECT_EQ(2, Picture().GetUndoCount());

    // A larger picture of another program: its top-left part, with the button face turned transparent.
    HDC hdcScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hdcScreen, 40, 30);
    HDC hdc = ::CreateCompatibleDC(hdcScreen);
    HGDIOBJ hOld = ::SelectObject(hdc, hBitmap);
    RECT rc{0, 0, 40, 30};
    ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetPixelV(hdc, 1, 1, kRed);
    ::SetPixelV(hdc, 20, 20, kBlack);
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hdcScreen);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_BITMAP, hBitmap);
    ::CloseClipboard();
    Command(XTP_ID_BUTTON_PASTE);
    EXPECT_EQ(kRed, Pixel(1, 1));
    std::string expected(16 * 17, '.');
    for (int y = 0; y < 16; ++y)
        expected[static_cast<size_t>(y) * 17 + 16] = '\n';
    expected[18] = 'r';
    EXPECT_EQ(expected, Map());

    // Without a picture on the clipboard nothing happens.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    const int nUndo = Picture().GetUndoCount();
    Command(XTP_ID_BUTTON_PASTE);
    EXPECT_EQ(nUndo, Picture().GetUndoCount());
}

TEST_F(ImageEditorTest, TheResultIsAnIconWithTheTransparentColourAsMaskOrAnAlphaBitmap)
{
    // A masked icon in: the icon's transparent part is the editor's transparent colour.
    Open();
    Seed({{2, 2}});
    Picture().GetImage()->SetPixel(3, 2, kRed);
    CXTPImageManagerIconHandle hIcon;
    m_pDlg->GetIcon(&hIcon);
    ASSERT_FALSE(hIcon.IsEmpty());
    ASSERT_FALSE(hIcon.IsAlpha());
    EXPECT_EQ(CSize(16, 16), hIcon.GetExtent());
    Close();

    Open(CSize(), &hIcon);
    EXPECT_EQ(CSize(16, 16), m_pDlg->GetImageSize());
    EXPECT_EQ(kBlack, Pixel(2, 2));
    EXPECT_EQ(kRed, Pixel(3, 2));
    EXPECT_EQ(kClear, Pixel(4, 2));
    Close();

    // An alpha bitmap in and out: fully transparent pixels come back transparent, painted ones opaque.
    std::vector<DWORD> pixels(24 * 24, 0);
    pixels[0] = 0x80FF0000; // half-transparent red
    CXTPImageManagerIconHandle hAlpha;
    hAlpha.AttachBitmap(CXTPImageManager::CreateBitmap32(CSize(24, 24), pixels.data()));
    Open(CSize(), &hAlpha);
    EXPECT_EQ(CSize(24, 24), m_pDlg->GetImageSize());
    EXPECT_TRUE(Picture().GetImage()->IsAlpha());
    EXPECT_EQ(kClear, Pixel(5, 5));
    ClickCell(5, 5);
    CXTPImageManagerIconHandle hOut;
    m_pDlg->GetIcon(&hOut);
    ASSERT_TRUE(hOut.IsAlpha());
    CSize size;
    std::vector<DWORD> out;
    ASSERT_TRUE(CXTPImageManager::GetBitmapBits32(hOut.GetBitmap(), size, out));
    EXPECT_EQ(0x80FF0000u, out[0]);
    EXPECT_EQ(0xFF000000u, out[5 * 24 + 5]);
    EXPECT_EQ(0u, out[6 * 24 + 5]);

    // An empty picture gives nothing.
    Close();
    Open();
    CXTPImageManagerIconHandle hNone;
    m_pDlg->GetIcon(&hNone);
    EXPECT_TRUE(hNone.IsEmpty());
}

} // namespace
