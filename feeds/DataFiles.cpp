#include "feeds/DataFiles.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedItem.h"
#include "framework/core/SafeFile.h"

#include <cwchar>

namespace {

const int kFeedFileNameLength = 100;

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

CString GetModuleFolder()
{
    WCHAR path[MAX_PATH + 1] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    CString folder(path);
    const int slash = folder.ReverseFind(L'\\');
    return slash < 0 ? CString() : folder.Left(slash);
}

CString MakeFeedFileName(LPCWSTR title)
{
    CString name(title ? title : L"");
    if (name.GetLength() > kFeedFileNameLength) {
        int cut = kFeedFileNameLength;
        // Never keep half of a surrogate pair.
        if (IS_HIGH_SURROGATE(name[cut - 1]))
            --cut;
        name = name.Left(cut);
    }
    for (int i = 0; i < name.GetLength(); ++i) {
        const WCHAR c = name[i];
        // Control characters (a line feed in a display title) cannot stand in a file name either.
        if (wcschr(L"*\\:<>?/|\"'", c) || c < 0x20)
            name.SetAt(i, L'_');
    }
    name.Remove(L'&');
    // An empty title, dots alone or a device name ("CON", "con.rss", "AUX .txt") would give a file the platform
    // cannot keep. The mark goes where the platform ends the name it judges, before the first dot and any blanks
    // ahead of it: after the whole name, "con.rss_" would still open the console.
    if (!IsSafeFeedFileName(name)) {
        int stem = name.SpanIncluding(L". ").GetLength() == name.GetLength() ? -1 : name.Find(L'.');
        if (stem < 0)
            stem = name.GetLength();
        while (stem > 0 && name[stem - 1] == L' ')
            --stem;
        name.Insert(stem, L'_');
    }

    const CString folder = GetEngineContext().m_strDataFolder + L"\\";
    if (!Exists(folder + name + L".rss"))
        return name;
    for (unsigned counter = 0;; ++counter) {
        CString candidate;
        candidate.Format(L"%s%u", name.GetString(), counter);
        if (!Exists(folder + candidate + L".rss"))
            return candidate;
    }
}

bool RestoreCustomFeeds()
{
    const CString backup = GetEngineContext().m_strDataFolder + L"\\CustomFeed.bak";
    if (!Exists(backup))
        return false;
    return CopyFileSafely(backup, GetEngineContext().m_strDataFolder + L"\\CustomFeed.xml");
}

CString MakeTempFile(LPCWSTR prefix)
{
    WCHAR path[MAX_PATH] = L"";
    if (!GetTempFileNameW(GetEngineContext().m_strTempFolder, prefix, 0, path))
        return CString();
    return CString(path);
}
