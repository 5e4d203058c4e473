#include "framework/core/UrlEncoding.h"

#include <windows.h>

#include <cstring>

#include "framework/core/TextHelpers.h"

namespace {

std::string ToUtf8(const CString& text)
{
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

void AppendUtf8(CString& text, const std::string& utf8)
{
    if (utf8.empty())
        return;
    const int count = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (count <= 0)
        return;
    CString decoded;
    WCHAR* buffer = decoded.GetBuffer(count);
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), buffer, count);
    decoded.ReleaseBuffer(count);
    text += decoded;
}

bool IsAsciiLetterOrDigit(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

std::string PercentEncodeBytes(const std::string& bytes, const char* kept, bool bBlanksAsPlus)
{
    // Classified by hand, not by the runtime: its classification of bytes above 0x7F depends on the locale.
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (IsAsciiLetterOrDigit(c) || (c != 0 && kept && std::strchr(kept, ch))) {
            out += ch;
        } else if (bBlanksAsPlus && (c == ' ' || c == '\t' || c == '\v' || c == '\f')) {
            out += '+';
        } else {
            out += '%';
            out += UpperHexDigit(c >> 4);
            out += UpperHexDigit(c);
        }
    }
    return out;
}

CString PercentEncode(const CString& text)
{
    const std::string encoded = PercentEncodeBytes(ToUtf8(text), "-._~", false);
    return CString(encoded.c_str());
}

CString PercentDecode(const CString& text, bool bQuery)
{
    CString decoded;
    std::string run;
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        const WCHAR c = text[i];
        if (c == L'%' && i + 2 < length && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
            run += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
            continue;
        }
        // Characters that were never encoded go through as they are: a pair of surrogates stays one character.
        AppendUtf8(decoded, run);
        run.clear();
        decoded += bQuery && c == L'+' ? L' ' : c;
    }
    AppendUtf8(decoded, run);
    return decoded;
}
