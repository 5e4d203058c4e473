// feeddump: shows what the feed reader takes from a file, as JSON on standard output (UTF-8).
//
//   feeddump [--own] [--into <file> [--into-own]] [--save-cache <path> [--keep-new]] <file>
//
//   --own          read <file> as one of the program's own (cache, subscription list, exported list), which
//                  may set read and enclosure states, kinds, file names, credentials and the like
//   --into <file>  first load that file, then refresh it from <file> the way the main window does (reset the
//                  item states, Reload, purge); --into-own loads the first file as our own
//   --save-cache   afterwards write the channel as a cache file (--keep-new keeps new items new)
//
// Exit codes: 0 done, 1 a file could not be read, 2 bad arguments, 3 the cache could not be saved.
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"

#include <objbase.h>

#include <cstdio>
#include <string>

namespace {

class JsonWriter
{
public:
    void Raw(const char* text) { m_out += text; }
    void Key(const char* key)
    {
        Separator();
        m_out += '"';
        m_out += key;
        m_out += "\":";
        m_afterKey = true; // the value follows without a comma
    }
    void String(const CString& text)
    {
        Separator();
        m_out += '"';
        int length = text.GetLength();
        for (int i = 0; i < length; ++i) {
            wchar_t ch = text[i];
            switch (ch) {
            case L'"':
                m_out += "\\\"";
                break;
            case L'\\':
                m_out += "\\\\";
                break;
            case L'\n':
                m_out += "\\n";
                break;
            case L'\r':
                m_out += "\\r";
                break;
            case L'\t':
                m_out += "\\t";
                break;
            default:
                if (ch < 0x20) {
                    char escape[8];
                    snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(ch));
                    m_out += escape;
                } else {
                    AppendUtf8(text, i);
                }
            }
        }
        m_out += '"';
    }
    void Number(long long value)
    {
        Separator();
        m_out += std::to_string(value);
    }
    void Bool(bool value)
    {
        Separator();
        m_out += value ? "true" : "false";
    }
    void Null()
    {
        Separator();
        m_out += "null";
    }
    void Date(const COleDateTime& date)
    {
        if (date.GetStatus() != COleDateTime::valid) {
            Null();
            return;
        }
        char text[32];
        snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.GetYear(), date.GetMonth(), date.GetDay(),
                 date.GetHour(), date.GetMinute(), date.GetSecond());
        Separator();
        m_out += '"';
        m_out += text;
        m_out += '"';
    }
    void Open(char bracket)
    {
        Separator();
        m_out += bracket;
        m_first = true;
    }
    void Close(char bracket)
    {
        m_out += bracket;
        m_first = false;
    }
    const std::string& Text() const { return m_out; }

private:
    void Separator()
    {
        if (m_afterKey)
            m_afterKey = false;
        else if (!m_first)
            m_out += ',';
        m_first = false;
    }
    // Appends the character at i (and its low surrogate, which i then skips) as UTF-8.
    void AppendUtf8(const CString& text, int& i)
    {
        unsigned code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.GetLength() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        if (code < 0x80) {
            m_out += static_cast<char>(code);
        } else if (code < 0x800) {
            m_out += static_cast<char>(0xC0 | (code >> 6));
            m_out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            m_out += static_cast<char>(0xE0 | (code >> 12));
            m_out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            m_out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            m_out += static_cast<char>(0xF0 | (code >> 18));
            m_out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            m_out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            m_out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string m_out;
    bool m_first = true;
    bool m_afterKey = false;
};

void WriteItem(JsonWriter& json, const CFeedItem* item)
{
    json.Open('{');
    json.Key("kind");
    json.Number(item->m_nKind);
    json.Key("readState");
    json.Number(item->m_nReadState);
    json.Key("title");
    json.String(item->m_strTitle);
    json.Key("titleText");
    json.String(item->m_strTitleText);
    json.Key("link");
    json.String(item->m_strLink);
    json.Key("linkText");
    json.String(item->m_strLinkText);
    json.Key("description");
    json.String(item->m_strDescription);
    json.Key("descriptionText");
    json.String(item->m_strDescriptionText);
    json.Key("author");
    json.String(item->m_strAuthor);
    json.Key("category");
    json.String(item->m_strCategory);
    json.Key("subject");
    json.String(item->m_strSubject);
    json.Key("comments");
    json.String(item->m_strComments);
    json.Key("dateText");
    json.String(item->m_strDate);
    json.Key("date");
    json.Date(item->m_dtDate);
    json.Key("image");
    json.String(item->m_strImage);
    json.Key("imageText");
    json.String(item->m_strImageText);
    json.Key("enclosure");
    json.Open('{');
    json.Key("url");
    json.String(item->m_strEnclosureUrl);
    json.Key("type");
    json.String(item->m_strEnclosureType);
    json.Key("length");
    json.Number(item->m_nEnclosureLength);
    json.Key("state");
    json.Number(item->m_nEnclosureState);
    json.Key("local");
    json.String(item->m_strEnclosureFile);
    json.Close('}');
    json.Key("bookmark");
    json.String(item->m_strBookmark);
    json.Key("file");
    json.String(item->m_strFile);
    json.Key("imageIndex");
    json.Number(item->m_nImageIndex);
    json.Key("updateInterval");
    json.Number(item->m_nUpdateInterval);
    json.Key("mayUnsubscribe");
    json.Bool(item->m_bMayUnsubscribe);
    json.Key("accountName");
    json.String(item->m_strAccountName);
    json.Key("hasPassword");
    json.Bool(!item->m_strPassword.IsEmpty()); // never printed
    json.Key("httpAuth");
    json.Bool(item->m_bHttpAuth);
    json.Key("input");
    json.String(item->m_strInput);
    json.Key("buttonText");
    json.String(item->m_strButtonText);
    json.Close('}');
}

void WriteChannel(JsonWriter& json, const CFeedChannel& channel)
{
    const CFeedChannelInfo& info = channel.m_info;
    json.Open('{');
    json.Key("path");
    json.String(channel.m_strPath);
    json.Key("type");
    json.String(info.m_strType);
    json.Key("version");
    json.String(info.m_strVersion);
    json.Key("title");
    json.String(info.m_strTitle);
    json.Key("link");
    json.String(info.m_strLink);
    json.Key("description");
    json.String(info.m_strDescription);
    json.Key("copyright");
    json.String(info.m_strCopyright);
    json.Key("language");
    json.String(info.m_strLanguage);
    json.Key("webMaster");
    json.String(info.m_strWebMaster);
    json.Key("lastBuildDate");
    json.String(info.m_strLastBuildDate);
    json.Key("ttl");
    json.String(info.m_strTtl);
    json.Key("generator");
    json.String(info.m_strGenerator);
    json.Key("lastUpdate");
    json.Date(channel.m_dtLastUpdate);
    json.Key("items");
    json.Open('[');
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;)
        WriteItem(json, channel.m_items.GetNext(pos));
    json.Close(']');
    json.Close('}');
}

int Usage()
{
    fputs("usage: feeddump [--own] [--into <file> [--into-own]] [--save-cache <path> [--keep-new]] <file>\n", stderr);
    return 2;
}

int Run(int argc, wchar_t** argv)
{
    bool own = false;
    bool intoOwn = false;
    bool keepNew = false;
    const wchar_t* into = nullptr;
    const wchar_t* cache = nullptr;
    const wchar_t* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--own")
            own = true;
        else if (arg == L"--into-own")
            intoOwn = true;
        else if (arg == L"--keep-new")
            keepNew = true;
        else if (arg == L"--into" && i + 1 < argc)
            into = argv[++i];
        else if (arg == L"--save-cache" && i + 1 < argc)
            cache = argv[++i];
        else if (arg.size() > 1 && arg[0] == L'-')
            return Usage();
        else if (!file)
            file = argv[i];
        else
            return Usage();
    }
    if (!file)
        return Usage();

    CFeedChannel channel;
    if (into) {
        if (!channel.LoadFile(into, nullptr, intoOwn ? CFeedChannel::LOAD_OWN_FILE : CFeedChannel::LOAD_FEED)) {
            fputs("feeddump: the first file could not be read\n", stderr);
            return 1;
        }
        channel.m_strPath = file;
        channel.ResetItemStates();
        if (!channel.Reload(own)) {
            fputs("feeddump: the file could not be read\n", stderr);
            return 1;
        }
        channel.PurgeItems(nullptr, nullptr);
    } else if (!channel.LoadFile(file, nullptr, own ? CFeedChannel::LOAD_OWN_FILE : CFeedChannel::LOAD_FEED)) {
        fputs("feeddump: the file could not be read\n", stderr);
        return 1;
    }

    JsonWriter json;
    WriteChannel(json, channel);
    json.Raw("\n");
    fwrite(json.Text().data(), 1, json.Text().size(), stdout);
    fflush(stdout);

    if (cache && !channel.SaveCache(cache, keepNew)) {
        fputs("feeddump: the cache could not be saved\n", stderr);
        return 3;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int result = Run(argc, argv);
    CoUninitialize();
    return result;
}
