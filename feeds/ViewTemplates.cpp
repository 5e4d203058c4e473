// The display template installer and the word replacer behind the weather page.
#include "feeds/ViewTemplates.h"

#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "framework/core/Collections.h"
#include "framework/core/File.h"
#include "framework/core/ScopedHandles.h"

namespace {

const WCHAR kWordSeparators[] = L" \t\r\n.,;:!?\"'()[]{}<>/\\=&";
const WCHAR* const kStateImages[] = {L"\\new.png", L"\\read.png", L"\\unread.png"};

// Reads a text file's lines joined without their line ends; false when it cannot be opened.
bool ReadJoinedLines(LPCWSTR path, CString& text)
{
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText))
        return false;
    CString line;
    text.Empty();
    try {
        while (file.ReadString(line))
            text += line;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

int FindWord(const CString& text, const CString& word, int start, bool bCaseSensitive)
{
    if (bCaseSensitive)
        return text.Find(word, start);
    CString lowerText = text;
    CString lowerWord = word;
    lowerText.MakeLower();
    lowerWord.MakeLower();
    return lowerText.Find(lowerWord, start);
}

bool WriteNarrow(HANDLE file, const CString& text)
{
    if (text.IsEmpty())
        return true;
    const CStringA narrow(text);
    DWORD written = 0;
    return WriteFile(file, narrow.GetString(), static_cast<DWORD>(narrow.GetLength()), &written, nullptr) &&
           written == static_cast<DWORD>(narrow.GetLength());
}

} // namespace

CString EscapeTemplateValue(const CString& value)
{
    CString escaped;
    for (int i = 0; i < value.GetLength(); ++i) {
        const WCHAR c = value[i];
        switch (c) {
        case L'&':
            escaped += L"&amp;";
            continue;
        case L'<':
            escaped += L"&lt;";
            continue;
        case L'>':
            escaped += L"&gt;";
            continue;
        case L'"':
            escaped += L"&quot;";
            continue;
        case L'\'':
            escaped += L"&#39;";
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x7F) {
            escaped += c;
            continue;
        }
        unsigned code = c;
        if (IS_HIGH_SURROGATE(c) && i + 1 < value.GetLength() && IS_LOW_SURROGATE(value[i + 1])) {
            code = 0x10000 + ((c - 0xD800u) << 10) + (value[i + 1] - 0xDC00u);
            ++i;
        } else if (c < 0x20 || IS_HIGH_SURROGATE(c) || IS_LOW_SURROGATE(c)) {
            // Control characters and a lone half of a pair are not allowed in XML at all.
            if (c != L'\t')
                continue;
        }
        CString reference;
        reference.Format(L"&#%u;", code);
        escaped += reference;
    }
    return escaped;
}

bool InstallViewTemplates(LPCWSTR templateFolder)
{
    const CString source = templateFolder ? CString(templateFolder) : GetModuleFolder();
    const CString images = GetEngineContext().m_strDataFolder + L"\\images";
    const DWORD attributes = GetFileAttributesW(images);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        CreateDirectoryW(images, nullptr);
    for (const WCHAR* image : kStateImages)
        CopyFileW(source + image, images + image, FALSE);

    // Read first: a missing template must not leave an empty style sheet behind.
    CString text;
    if (!ReadJoinedLines(source + L"\\feeds.xsl", text))
        return false;
    text.Replace(L"%IMAGEPATH%", EscapeTemplateValue(images));
    text.Replace(L"%BOOKMARK%", EscapeTemplateValue(CString(GetEngineContext().m_settings.szBookmarkUrl)));

    CStdioFile output;
    if (!output.Open(GetEngineContext().m_strDataFolder + L"\\feeds.xsl",
                     CFile::modeCreate | CFile::modeWrite | CFile::typeText))
        return false;
    try {
        output.WriteString(text);
        output.Close();
    } catch (CException* e) {
        e->Delete();
        output.Abort();
        return false;
    }
    return true;
}

bool WriteWeatherPage()
{
    const CString templatePath = EngineProfileString(L"", L"Install_Dir", L"") + L"\\weather.htm";
    if (GetFileAttributesW(templatePath) == INVALID_FILE_ATTRIBUTES)
        return false;
    CWordReplacer replacer;
    replacer.m_strWord = L"%LOCATION%";
    replacer.m_strReplacement = EscapeTemplateValue(EngineProfileString(L"", L"Location", L"32333"));
    replacer.m_strInputFile = templatePath;
    replacer.m_strOutputFile = GetEngineContext().m_strDataFolder + L"\\weather.htm";
    replacer.ReplaceWords();
    return true;
}

CWordReplacer::CWordReplacer()
    : m_strWord(L"AppWizard"), m_strInputFile(L"Test.TXT"), m_strOutputFile(L"TestOut.TXT"), m_bFound(false),
      m_bDone(true), m_bCaseSensitive(true), m_bWriteInPlace(false), m_bNormalizeWordLineEnds(false),
      m_bNormalizeTextLineEnds(false), m_bWholeWord(false)
{
}

bool CWordReplacer::IsSeparator(WCHAR ch, LPCWSTR set)
{
    if (ch == 0)
        return true;
    return set && wcschr(set, ch) != nullptr;
}

int CWordReplacer::ReplaceWords()
{
    m_bFound = false;
    CString word = m_strWord;
    CString replacement = m_strReplacement;
    if (m_bNormalizeWordLineEnds)
        word.Replace(L"\r\n", L"\n");
    if (m_bNormalizeTextLineEnds) {
        replacement.Replace(L"\r\n", L"\n");
        replacement.Replace(L"\n", L"\r\n");
    }
    CString text;
    if (word.IsEmpty() || !ReadJoinedLines(m_strInputFile, text))
        return 0;

    // The occurrences, left to right, that count (whole words only when asked).
    CArray<int, int> found;
    for (int at = FindWord(text, word, 0, m_bCaseSensitive); at >= 0;
         at = FindWord(text, word, at + word.GetLength(), m_bCaseSensitive)) {
        if (m_bWholeWord) {
            const WCHAR before = at > 0 ? text[at - 1] : 0;
            const int end = at + word.GetLength();
            const WCHAR after = end < text.GetLength() ? text[end] : 0;
            if (!IsSeparator(before, kWordSeparators) || !IsSeparator(after, kWordSeparators))
                continue;
        }
        found.Add(at);
    }
    if (found.GetSize() == 0)
        return 0;
    m_bFound = true;

    const CString outputPath = m_bWriteInPlace ? m_strInputFile : m_strOutputFile;
    CScopedFile file(CreateFileW(outputPath, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    int written = 0;
    int from = 0;
    bool ok = true;
    for (INT_PTR i = 0; i < found.GetSize() && ok; ++i) {
        const int at = found[i];
        ok = WriteNarrow(file, text.Mid(from, at - from) + replacement);
        from = at + word.GetLength();
        ++written;
    }
    ok = ok && WriteNarrow(file, text.Mid(from)) && SetEndOfFile(file);
    m_bDone = ok;
    return ok ? written : 0;
}
