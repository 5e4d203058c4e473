// OLE data transfer: a data source read through data objects, the clipboard, and drags within the process onto a
// registered drop target.
#include "framework/Afx.h"
#include "tests/support/Input.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const CLIPFORMAT g_cfItem = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"LqTestDragItem"));
const CLIPFORMAT g_cfOther = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"LqTestOtherFormat"));

HGLOBAL GlobalFromBytes(const std::string& bytes)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes.size());
    memcpy(::GlobalLock(hGlobal), bytes.data(), bytes.size());
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

std::string BytesOfGlobal(HGLOBAL hGlobal)
{
    const SIZE_T nSize = ::GlobalSize(hGlobal);
    std::string bytes(static_cast<const char*>(::GlobalLock(hGlobal)), nSize);
    ::GlobalUnlock(hGlobal);
    return bytes;
}

class CTargetWnd : public CWnd
{
public:
    BOOL Make()
    {
        return CreateEx(0, AfxRegisterWndClass(0), L"Drop here", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, 240, 200,
                        nullptr, nullptr);
    }
};

class CRecordingTarget : public COleDropTarget
{
public:
    std::vector<std::string> m_log;
    std::string m_dropped;
    CPoint m_dropPoint{-1, -1};
    std::atomic<bool> m_entered{false};

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pDataObject, DWORD dwKeyState, CPoint) override
    {
        m_log.push_back("enter");
        m_entered = true;
        return Decide(pDataObject, dwKeyState);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* pDataObject, DWORD dwKeyState, CPoint) override
    {
        if (m_log.empty() || m_log.back() != "over")
            m_log.push_back("over");
        return Decide(pDataObject, dwKeyState);
    }
    void OnDragLeave(CWnd*) override { m_log.push_back("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject* pDataObject, DROPEFFECT, CPoint point) override
    {
        m_log.push_back("drop");
        m_dropPoint = point;
        HGLOBAL hGlobal = pDataObject->GetGlobalData(g_cfItem);
        if (hGlobal == nullptr)
            return FALSE;
        m_dropped = BytesOfGlobal(hGlobal);
        ::GlobalFree(hGlobal);
        return TRUE;
    }

private:
    static DROPEFFECT Decide(COleDataObject* pDataObject, DWORD dwKeyState)
    {
        if (!pDataObject->IsDataAvailable(g_cfItem))
            return DROPEFFECT_NONE;
        return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
};

// Drops (or gives up) once the target has seen the drag come in.
class CScriptedDropSource : public COleDropSource
{
public:
    CScriptedDropSource(const std::atomic<bool>* pReady, bool bCancel) : m_pReady(pReady), m_bCancel(bCancel) {}
    int m_queries = 0;
    SCODE QueryContinueDrag(BOOL, DWORD) override
    {
        // A drag the target never reaches is given up rather than left running.
        if (++m_queries > 5000)
            return DRAGDROP_S_CANCEL;
        if (!m_pReady->load())
            return S_OK;
        return m_bCancel ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }

private:
    const std::atomic<bool>* m_pReady;
    bool m_bCancel;
};

// Moves the mouse to and fro over a point until stopped, so that the system's drag loop gets input.
class MouseWiggler
{
public:
    explicit MouseWiggler(POINT screenPoint) : m_thread([this, screenPoint] { Run(screenPoint); }) {}
    ~MouseWiggler()
    {
        m_stop = true;
        m_thread.join();
    }
    MouseWiggler(const MouseWiggler&) = delete;
    MouseWiggler& operator=(const MouseWiggler&) = delete;

private:
    void Run(POINT point)
    {
        for (int i = 0; !m_stop; ++i) {
            lqtest::SendMouse({point.x + (i % 2), point.y}, 0);
            // Paces the input; the drag's progress is decided by the target's reports, not by this wait.
            ::Sleep(15);
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

TEST(OleDataSource, ReadersGetCopiesOfTheCachedDataInItsOwnFormatOnly)
{
    COleDataSource source;
    HGLOBAL hCached = GlobalFromBytes("item bytes");
    source.CacheGlobalData(g_cfItem, hCached);

    COleDataObject data;
    data.Attach(source.GetDataObject(), TRUE);
    EXPECT_TRUE(data.IsDataAvailable(g_cfItem));
    EXPECT_FALSE(data.IsDataAvailable(g_cfOther));
    EXPECT_FALSE(data.IsDataAvailable(CF_TEXT));
    EXPECT_EQ(nullptr, data.GetGlobalData(g_cfOther));

    // Every reader owns what it gets; the cache keeps its block for the next one.
    for (int reader = 0; reader < 2; ++reader) {
        HGLOBAL hCopy = data.GetGlobalData(g_cfItem);
        ASSERT_NE(nullptr, hCopy);
        EXPECT_NE(hCached, hCopy);
        EXPECT_EQ("item bytes", BytesOfGlobal(hCopy));
        ::GlobalFree(hCopy);
    }
    CFile* pFile = data.GetFileData(g_cfItem);
    ASSERT_NE(nullptr, pFile);
    char buffer[32] = {};
    EXPECT_EQ(10u, pFile->Read(buffer, sizeof(buffer)));
    EXPECT_EQ("item bytes", std::string(buffer, 10));
    delete pFile;

    // Offering the format again replaces the data.
    source.CacheGlobalData(g_cfItem, GlobalFromBytes("newer"));
    HGLOBAL hNewer = data.GetGlobalData(g_cfItem);
    EXPECT_EQ("newer", BytesOfGlobal(hNewer));
    ::GlobalFree(hNewer);

    std::vector<CLIPFORMAT> formats;
    data.BeginEnumFormats();
    FORMATETC formatEtc;
    while (data.GetNextFormat(&formatEtc))
        formats.push_back(formatEtc.cfFormat);
    EXPECT_EQ(std::vector<CLIPFORMAT>{g_cfItem}, formats);
}

TEST(OleDataSource, TheClipboardCarriesARegisteredFormat)
{
    auto* pSource = new COleDataSource();
    pSource->CacheGlobalData(g_cfItem, GlobalFromBytes("on the clipboard"));
    pSource->SetClipboard();
    // The clipboard holds its own reference now.
    pSource->InternalRelease();

    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_TRUE(data.IsDataAvailable(g_cfItem));
    HGLOBAL hGlobal = data.GetGlobalData(g_cfItem);
    ASSERT_NE(nullptr, hGlobal);
    EXPECT_EQ("on the clipboard", BytesOfGlobal(hGlobal));
    ::GlobalFree(hGlobal);
    data.Release();
    ::OleSetClipboard(nullptr);
}

TEST(OleDragDrop, DragsWithinTheProcessReachTheRegisteredTarget)
{
    struct Case
    {
        const char* what;
        CLIPFORMAT cfOffered;
        bool bCancel;
        DROPEFFECT expected;
        bool bDropped;
    };
    const Case cases[] = {
        {"dropped", g_cfItem, false, DROPEFFECT_MOVE, true},
        {"cancelled", g_cfItem, true, DROPEFFECT_NONE, false},
        {"refused", g_cfOther, false, DROPEFFECT_NONE, false},
    };
    for (const Case& c : cases) {
        CTargetWnd window;
        ASSERT_TRUE(window.Make());
        window.UpdateWindow();
        CRecordingTarget target;
        ASSERT_TRUE(target.Register(&window));
        EXPECT_FALSE(target.Register(&window)); // once only

        CRect client;
        window.GetClientRect(&client);
        POINT center = client.CenterPoint();
        window.ClientToScreen(&center);
        ::SetCursorPos(center.x, center.y);
        lqtest::PumpPending();

        COleDataSource source;
        source.CacheGlobalData(c.cfOffered, GlobalFromBytes("dragged item"));
        CScriptedDropSource dropSource(&target.m_entered, c.bCancel);
        DROPEFFECT result;
        {
            MouseWiggler wiggler(center);
            result = source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &dropSource);
        }
        EXPECT_TRUE(target.m_entered.load()) << c.what;
        EXPECT_EQ(c.expected, result) << c.what;
        ASSERT_FALSE(target.m_log.empty()) << c.what;
        EXPECT_EQ("enter", target.m_log.front()) << c.what;
        if (c.bDropped) {
            EXPECT_EQ("drop", target.m_log.back()) << c.what;
            EXPECT_EQ("dragged item", target.m_dropped) << c.what;
            EXPECT_TRUE(client.PtInRect(target.m_dropPoint)) << c.what;
        } else {
            EXPECT_EQ("leave", target.m_log.back()) << c.what;
            EXPECT_TRUE(target.m_dropped.empty()) << c.what;
        }
        target.Revoke();
        EXPECT_EQ(nullptr, target.m_hWnd);
        window.DestroyWindow();
    }
}

namespace {

// A packed DIB of 2 x 2 pixels at the bit depth, bottom-up, with a grey colour table when it needs one.
std::vector<BYTE> PackedDib(WORD nBits, DWORD nCompression = BI_RGB)
{
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof(bih);
    bih.biWidth = 2;
    bih.biHeight = 2;
    bih.biPlanes = 1;
    bih.biBitCount = nBits;
    bih.biCompression = nCompression;
    std::vector<BYTE> dib(reinterpret_cast<BYTE*>(&bih), reinterpret_cast<BYTE*>(&bih) + sizeof(bih));
    if (nBits <= 8) {
        for (DWORD i = 0; i < (1u << nBits); ++i) {
            const BYTE level = static_cast<BYTE>(i * 255 / ((1u << nBits) - 1));
            dib.insert(dib.end(), {level, level, level, 0});
        }
    }
    const size_t nStride = ((2 * nBits + 31) / 32) * 4;
    for (int row = 0; row < 2; ++row) {
        std::vector<BYTE> line(nStride, 0);
        if (nBits == 24 && row == 1) {
            // The top row's left pixel is red.
            line[2] = 0xFF;
        }
        dib.insert(dib.end(), line.begin(), line.end());
    }
    return dib;
}

DWORD PixelOf(HBITMAP hBitmap, int x, int y)
{
    DIBSECTION ds{};
    if (::GetObjectW(hBitmap, sizeof(ds), &ds) != sizeof(ds) || ds.dsBm.bmBits == nullptr)
        return 0xDEADBEEF;
    return static_cast<const DWORD*>(ds.dsBm.bmBits)[y * ds.dsBm.bmWidth + x] & 0xFFFFFF;
}

} // namespace

TEST(OleDataObjectBitmap, PackedDibsAreReadOnlyWhenEverySizeTheyStateFits)
{
    const std::vector<BYTE> good = PackedDib(24);
    HBITMAP hGood = COleDataObject::BitmapFromPackedDib(good.data(), good.size());
    ASSERT_NE(nullptr, hGood);
    // Bottom-up rows come out top-down.
    EXPECT_EQ(0xFF0000u, PixelOf(hGood, 0, 0));
    EXPECT_EQ(0u, PixelOf(hGood, 0, 1));
    ::DeleteObject(hGood);

    struct Case
    {
        const char* what;
        std::vector<BYTE> dib;
        bool readable;
    };
    auto Patched = [](std::vector<BYTE> dib, size_t offset, LONG value) {
        memcpy(dib.data() + offset, &value, sizeof(value));
        return dib;
    };
    std::vector<BYTE> shortPixels = PackedDib(24);
    shortPixels.resize(shortPixels.size() - 1);
    std::vector<BYTE> shortTable = PackedDib(8);
    shortTable.resize(sizeof(BITMAPINFOHEADER) + 100);
    const std::vector<Case> cases = {
        {"8-bit with its table", PackedDib(8), true},
        {"1-bit", PackedDib(1), true},
        {"32-bit", PackedDib(32), true},
        {"pixels cut short", shortPixels, false},
        {"colour table cut short", shortTable, false},
        {"header only", std::vector<BYTE>(good.begin(), good.begin() + 40), false},
        {"less than a header", std::vector<BYTE>(10, 0), false},
        {"tall beyond its data", Patched(PackedDib(24), 8, 4000), false},
        {"taller than read", Patched(PackedDib(24), 8, 5000), false},
        {"zero width", Patched(PackedDib(24), 4, 0), false},
        {"negative width", Patched(PackedDib(24), 4, -2), false},
        {"header size beyond the block", Patched(PackedDib(24), 0, 4000), false},
        {"compressed", PackedDib(8, BI_RLE8), false},
        {"odd bit depth", PackedDib(7), false},
        {"more colours than the depth has", Patched(PackedDib(8), 32, 300), false},
    };
    for (const Case& c : cases) {
        HBITMAP hBitmap = COleDataObject::BitmapFromPackedDib(c.dib.data(), c.dib.size());
        EXPECT_EQ(c.readable, hBitmap != nullptr) << c.what;
        if (hBitmap != nullptr)
            ::DeleteObject(hBitmap);
    }
    EXPECT_EQ(nullptr, COleDataObject::BitmapFromPackedDib(nullptr, 100));
}

TEST(OleDataObjectBitmap, ABitmapOnTheClipboardIsReadAsA32BitCopy)
{
    // A screen-compatible bitmap, as another program puts it, with one blue pixel.
    HDC hdcScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hdcScreen, 5, 3);
    HDC hdc = ::CreateCompatibleDC(hdcScreen);
    HGDIOBJ hOld = ::SelectObject(hdc, hBitmap);
    RECT rc{0, 0, 5, 3};
    ::FillRect(hdc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetPixelV(hdc, 4, 2, RGB(0, 0, 255));
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    ::ReleaseDC(nullptr, hdcScreen);

    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ASSERT_NE(nullptr, ::SetClipboardData(CF_BITMAP, hBitmap));
    ::CloseClipboard();

    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_TRUE(data.IsDataAvailable(CF_BITMAP));
    HBITMAP hCopy = data.GetBitmapCopy();
    ASSERT_NE(nullptr, hCopy);
    BITMAP bm{};
    ::GetObjectW(hCopy, sizeof(bm), &bm);
    EXPECT_EQ(5, bm.bmWidth);
    EXPECT_EQ(3, bm.bmHeight);
    EXPECT_EQ(32, bm.bmBitsPixel);
    EXPECT_EQ(0x0000FFu, PixelOf(hCopy, 4, 2));
    EXPECT_EQ(0xFFFFFFu, PixelOf(hCopy, 0, 0));
    ::DeleteObject(hCopy);
    data.Release();

    // Without a picture there is nothing to copy.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
    EXPECT_EQ(nullptr, data.GetBitmapCopy());
}
