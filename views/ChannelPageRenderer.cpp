#include "views/ChannelPageRenderer.h"

#include "feeds/XmlDom.h"
#include "framework/core/ScopedHandles.h"

#include <cstring>

namespace {

XmlDom::DocumentPtr CreateDomDocument(HRESULT& hr)
{
    XmlDom::DocumentPtr doc;
    hr = ::CoCreateInstance(XmlDom::CLSID_Document, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                            XmlDom::IID_Document, reinterpret_cast<void**>(doc.Receive()));
    if (SUCCEEDED(hr) && !doc)
        hr = E_NOINTERFACE;
    return doc;
}

CString ParseErrorText(IXMLDOMDocument* pDoc)
{
    long code = 0;
    long line = 0;
    long position = 0;
    XmlDom::Bstr reason;
    XmlDom::Ptr<IXMLDOMParseError> error;
    if (SUCCEEDED(pDoc->get_parseError(error.Receive())) && error) {
        error->get_errorCode(&code);
        error->get_line(&line);
        error->get_linepos(&position);
        error->get_reason(reason.Receive());
    }
    CString text;
    text.Format(L"Failed to parse document.\nError 0x%.8X on line %d, position %d.\n%s", static_cast<unsigned>(code),
                static_cast<int>(line), static_cast<int>(position), reason.ToString().GetString());
    return text;
}

bool WriteBytes(const CString& path, const char* bytes, size_t length)
{
    CScopedFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

} // namespace

CString RenderChannelPage(const CString& channelFile, const CString& styleSheet, CString& errorText)
{
    errorText.Empty();
    HRESULT hr = S_OK;
    XmlDom::DocumentPtr channel = CreateDomDocument(hr);
    if (!channel) {
        errorText.Format(L"Error creating IXMLDOMDocument instance! Error 0x%x.", static_cast<unsigned>(hr));
        return CString();
    }
    channel->put_async(VARIANT_FALSE);
    channel->put_validateOnParse(VARIANT_FALSE);
    channel->put_resolveExternals(VARIANT_FALSE);
    if (!XmlDom::LoadDocument(channel.Get(), channelFile)) {
        errorText = ParseErrorText(channel.Get());
        return CString();
    }
    XmlDom::DocumentPtr sheet = CreateDomDocument(hr);
    if (!sheet) {
        errorText.Format(L"Error creating IXMLDOMDocument instance! Error 0x%x.", static_cast<unsigned>(hr));
        return CString();
    }
    sheet->put_async(VARIANT_FALSE);
    sheet->put_resolveExternals(VARIANT_FALSE);
    if (!XmlDom::LoadDocument(sheet.Get(), styleSheet)) {
        errorText = ParseErrorText(sheet.Get());
        return CString();
    }

    XmlDom::Ptr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive())) || !stream)
        return CString();
    VARIANT output;
    ::VariantInit(&output);
    output.vt = VT_UNKNOWN;
    output.punkVal = stream.Get();
    if (FAILED(channel->transformNodeToObject(sheet.Get(), output)))
        return CString();
    static const char zero = 0;
    ULONG written = 0;
    if (FAILED(stream->Write(&zero, 1, &written)))
        return CString();
    HGLOBAL hGlobal = nullptr;
    if (FAILED(::GetHGlobalFromStream(stream.Get(), &hGlobal)) || hGlobal == nullptr)
        return CString();
    const SIZE_T size = ::GlobalSize(hGlobal);
    const char* bytes = static_cast<const char*>(::GlobalLock(hGlobal));
    if (bytes == nullptr)
        return CString();
    const size_t length = strnlen(bytes, size);

    WCHAR folder[MAX_PATH + 1] = {};
    WCHAR file[MAX_PATH + 1] = {};
    CString page;
    const DWORD folderLength = ::GetTempPathW(MAX_PATH, folder);
    if (folderLength != 0 && folderLength < MAX_PATH && ::GetTempFileNameW(folder, L"tm_", 0, file) != 0) {
        page = file;
        if (!WriteBytes(page, bytes, length)) {
            ::DeleteFileW(page);
            page.Empty();
        }
    }
    ::GlobalUnlock(hGlobal);
    return page;
}
