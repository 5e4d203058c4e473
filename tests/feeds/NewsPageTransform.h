// Applies the news page style sheet the way the news view does, for the template tests.
#pragma once

#include <windows.h>

#include <string>

#include "feeds/XmlDom.h"

// The style sheet applied to the document into a memory stream, as the news view does; the stream's bytes.
inline std::string TransformToBytes(const std::wstring& documentPath, const std::wstring& styleSheetPath)
{
    XmlDom::DocumentPtr document = XmlDom::CreateDocument();
    XmlDom::DocumentPtr styleSheet = XmlDom::CreateDocument();
    if (!document || !styleSheet || !XmlDom::LoadDocument(document.Get(), documentPath.c_str()) ||
        !XmlDom::LoadDocument(styleSheet.Get(), styleSheetPath.c_str()))
        return std::string();
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return std::string();
    VARIANT output;
    VariantInit(&output);
    output.vt = VT_UNKNOWN;
    output.punkVal = stream;
    std::string bytes;
    if (SUCCEEDED(document->transformNodeToObject(styleSheet.Get(), output))) {
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        char buffer[4096];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0)
            bytes.append(buffer, read);
    }
    stream->Release();
    return bytes;
}
