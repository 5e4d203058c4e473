// FindItem's first match (link-only clear, no recursion) without a scan per item: the look-up of a reload and of
// the merge of a feed read on a download thread. An item without a link matches by display title and text, one
// with a link by link and display title, so each kind gets a map from its key to the first item, in list order,
// that has it.
#pragma once

#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

struct FeedItemIndex
{
    using Key = std::pair<std::wstring, std::wstring>;
    struct KeyHash
    {
        size_t operator()(const Key& key) const
        {
            size_t h = std::hash<std::wstring>()(key.first);
            return h ^ (std::hash<std::wstring>()(key.second) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
        }
    };
    using Map = std::unordered_map<Key, std::pair<size_t, CFeedItem*>, KeyHash>;

    explicit FeedItemIndex(const CFeedItemList& items)
    {
        size_t order = 0;
        for (POSITION pos = items.GetHeadPosition(); pos; ++order) {
            CFeedItem* item = items.GetNext(pos);
            if (item->m_strLinkText.IsEmpty())
                withoutLink.emplace(Key(item->m_strTitleText.GetString(), item->m_strDescriptionText.GetString()),
                                    std::make_pair(order, item));
            else
                withLink.emplace(Key(item->m_strLinkText.GetString(), item->m_strTitleText.GetString()),
                                 std::make_pair(order, item));
        }
    }

    CFeedItem* Find(const CFeedItem* item) const
    {
        const std::pair<size_t, CFeedItem*>* best = nullptr;
        auto plain = withoutLink.find(Key(item->m_strTitleText.GetString(), item->m_strDescriptionText.GetString()));
        if (plain != withoutLink.end())
            best = &plain->second;
        if (!item->m_strLinkText.IsEmpty()) {
            auto linked = withLink.find(Key(item->m_strLinkText.GetString(), item->m_strTitleText.GetString()));
            if (linked != withLink.end() && (!best || linked->second.first < best->first))
                best = &linked->second;
        }
        return best ? best->second : nullptr;
    }

    Map withoutLink;
    Map withLink;
};
