#include "framework/core/TextHelpers.h"

namespace {

wchar_t LowerAscii(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

} // namespace

int HexDigitValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    ch = LowerAscii(ch);
    return ch >= L'a' && ch <= L'f' ? ch - L'a' + 10 : -1;
}

char UpperHexDigit(unsigned value)
{
    return "0123456789ABCDEF"[value & 0x0F];
}

bool StartsWithNoCase(const wchar_t* text, size_t length, const wchar_t* prefix)
{
    if (!prefix)
        return true;
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (!text || i >= length || LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    }
    return true;
}

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    size_t length = 0;
    // Only as far as the prefix: the text's length beyond it does not matter.
    if (text && prefix)
        while (prefix[length] && text[length])
            ++length;
    return StartsWithNoCase(text, length, prefix);
}
