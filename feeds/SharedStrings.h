// Texts that recur across many records (dates, authors, categories, types) kept once: a record's string shares the
// pool's buffer instead of holding its own copy. Any thread may use the pool; it holds its texts only while it
// lives, and the records keep theirs after it.
#pragma once

#include "framework/core/AfxString.h"

#include <mutex>
#include <string_view>
#include <unordered_map>

class CSharedStrings
{
public:
    // The text made to share the pool's buffer of an equal text; a text the pool does not hold yet is added.
    // Long texts are left alone: they seldom recur and cost the most to compare.
    void Share(CString& text);

private:
    std::mutex m_mutex;
    // The key views the value's own characters, which never move while the value is in the map.
    std::unordered_map<std::wstring_view, CString> m_texts;
};
