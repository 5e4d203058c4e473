#include "framework/html/HtmlImages.h"

#include <wincodec.h>

#include "framework/core/ScopedHandles.h"

#include "framework/html/HtmlNavigation.h"

namespace {

// Images larger than this are not decoded: a page must not make the program allocate gigabytes.
constexpr UINT kMaxDecodedSide = 4096;

} // namespace

CHtmlImageCache::~CHtmlImageCache()
{
    Clear();
}

void CHtmlImageCache::SetBase(const std::wstring& pageAddress)
{
    if (pageAddress != m_base) {
        Clear();
        m_base = pageAddress;
    }
}

void CHtmlImageCache::AllowFolder(const std::wstring& folder)
{
    if (!folder.empty())
        m_allowedFolders.push_back(folder);
}

bool CHtmlImageCache::IsReadable(const std::wstring& path) const
{
    if (path.empty() || HtmlClassifyAddress(m_base) == HtmlAddressKind::Http)
        return false;
    const std::wstring page = HtmlFilePathOf(m_base);
    const size_t cut = page.find_last_of(L"\\/");
    if (cut != std::wstring::npos && HtmlIsPathInFolder(path, page.substr(0, cut)))
        return true;
    for (const std::wstring& folder : m_allowedFolders)
        if (HtmlIsPathInFolder(path, folder))
            return true;
    return false;
}

void CHtmlImageCache::Clear()
{
    for (auto& item : m_entries)
        if (item.second.bitmap != nullptr)
            ::DeleteObject(item.second.bitmap);
    m_entries.clear();
}

HBITMAP CHtmlImageCache::DecodeFile(const std::wstring& path, SIZE& size)
{
    size = SIZE{};
    const HRESULT hrInit = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HBITMAP result = nullptr;
    {
        CScopedComPtr<IWICImagingFactory> factory;
        CScopedComPtr<IWICBitmapDecoder> decoder;
        CScopedComPtr<IWICBitmapFrameDecode> frame;
        CScopedComPtr<IWICBitmapSource> converted;
        UINT width = 0;
        UINT height = 0;
        if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                         reinterpret_cast<void**>(factory.Receive()))) &&
            SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                         WICDecodeMetadataCacheOnDemand, decoder.Receive())) &&
            SUCCEEDED(decoder->GetFrame(0, frame.Receive())) &&
            SUCCEEDED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), converted.Receive())) &&
            SUCCEEDED(converted->GetSize(&width, &height)) && width > 0 && height > 0 && width <= kMaxDecodedSide &&
            height <= kMaxDecodedSide) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = static_cast<LONG>(width);
            info.bmiHeader.biHeight = -static_cast<LONG>(height);
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            CScopedBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            const UINT stride = width * 4;
            if (dib && SUCCEEDED(converted->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
                result = dib.Detach();
                size.cx = static_cast<LONG>(width);
                size.cy = static_cast<LONG>(height);
            }
        }
    }
    if (SUCCEEDED(hrInit))
        ::CoUninitialize();
    return result;
}

const CHtmlImageCache::Entry* CHtmlImageCache::Find(const std::wstring& source)
{
    auto found = m_entries.find(source);
    if (found != m_entries.end())
        return found->second.bitmap != nullptr ? &found->second : nullptr;
    Entry entry;
    const std::wstring path = HtmlFilePathOf(HtmlResolveAddress(m_base, source));
    if (IsReadable(path))
        entry.bitmap = DecodeFile(path, entry.size);
    auto inserted = m_entries.emplace(source, entry).first;
    return inserted->second.bitmap != nullptr ? &inserted->second : nullptr;
}

bool CHtmlImageCache::GetSize(const std::wstring& source, SIZE& size)
{
    const Entry* entry = Find(source);
    if (entry == nullptr)
        return false;
    size = entry->size;
    return true;
}

bool CHtmlImageCache::Draw(HDC hdc, const std::wstring& source, const RECT& rect)
{
    const Entry* entry = Find(source);
    if (entry == nullptr || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    const CScopedCreatedDC memory(::CreateCompatibleDC(hdc));
    if (!memory)
        return false;
    const CScopedSelect select(memory, entry->bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0, 0,
                        entry->size.cx, entry->size.cy, blend) != FALSE;
}
