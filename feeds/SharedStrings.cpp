#include "feeds/SharedStrings.h"

namespace {

const int kLongestShared = 80;

} // namespace

void CSharedStrings::Share(CString& text)
{
    const int length = text.GetLength();
    if (length == 0 || length > kLongestShared)
        return;
    const std::wstring_view key(text.GetString(), static_cast<size_t>(length));
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_texts.find(key);
    if (found != m_texts.end()) {
        text = found->second;
        return;
    }
    CString kept(text);
    const std::wstring_view own(kept.GetString(), static_cast<size_t>(length));
    m_texts.emplace(own, kept);
}
