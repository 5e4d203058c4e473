#include "feeds/FilterText.h"

#include <cwchar>

namespace {

// The words between the first opening tag and the first closing tag after it.
void ReadSection(const CString& text, LPCWSTR open, LPCWSTR close, CString& words)
{
    const int start = text.Find(open);
    if (start < 0)
        return;
    const int first = start + static_cast<int>(wcslen(open));
    const int end = text.Find(close, first);
    if (end < 0)
        return;
    words = text.Mid(first, end - first);
}

void AppendSection(CString& text, LPCWSTR words, LPCWSTR open, LPCWSTR close)
{
    if (words && *words) {
        text += open;
        text += words;
        text += close;
    }
}

} // namespace

CString BuildFilterText(LPCWSTR andWords, LPCWSTR orWords, LPCWSTR notWords)
{
    CString text;
    AppendSection(text, andWords, L"#AND#", L"#/AND#");
    AppendSection(text, orWords, L"#OR#", L"#/OR#");
    AppendSection(text, notWords, L"#NOT#", L"#/NOT#");
    return text;
}

bool ParseFilterTerms(LPCWSTR text, CString& andWords, CString& orWords, CString& notWords)
{
    const CString all(text ? text : L"");
    ReadSection(all, L"#AND#", L"#/AND#", andWords);
    ReadSection(all, L"#OR#", L"#/OR#", orWords);
    ReadSection(all, L"#NOT#", L"#/NOT#", notWords);
    return true;
}
