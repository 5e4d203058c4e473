// Feed loading against the floor of any DOM-based reader here: the same file loaded by the XML library by its path,
// without any check of ours, and every node visited (name, type, and the text of text nodes). Generated RSS 2.0,
// RDF and Atom files of 10 to 10,000 items with a few hundred characters of HTML per description. Prints, per
// dialect and size:
//   floor and LoadFile per item (microseconds) and their ratio (target: at most 2.0 at 1,000 items);
//   Reload of the same file into a channel that holds it, per item (target: flat from 100 to 10,000);
//   SaveCache per item; memory held per loaded item.
// Then one document of about 50 MB (20,000 items of 2.5 KB, above the 32 MB a fetch keeps, as a long-kept cache
// grows): floor and LoadFile in seconds and their ratio.
// Then the hostile documents the parse budget refuses: for each, the library's own load of it and the reading of its
// titles (what the reader spent when the budget let it through) against LoadDocument now, best of several, at sizes
// that keep the library's time to seconds; and the library's time for entity text of 200 characters used N times
// and for N attributes on each of 1,000 elements, which set the budget's limits.
#include "BenchTiming.h"
#include "feeds/FeedChannel.h"
#include "feeds/XmlDom.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Description(int i)
{
    return "&lt;p&gt;Story number " + std::to_string(i) + " tells of a &lt;a href=\"http://example.com/s/" +
           std::to_string(i) +
           "\"&gt;small town&lt;/a&gt; where the lanterns stayed lit all winter. &lt;b&gt;Residents&lt;/b&gt; "
           "said the quill makers worked late &amp;amp; early, and the council met twice a week to decide on "
           "the new road.&lt;br/&gt;&lt;img src=\"http://example.com/i/" +
           std::to_string(i) + ".jpg\" width=\"120\"/&gt; More at eleven.&lt;/p&gt;";
}

std::string Generate(const std::string& dialect, int count)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (dialect == "rss") {
        xml += "<rss version=\"2.0\"><channel><title>Bench</title><link>http://example.com/</link>"
               "<description>Generated</description>\n";
        for (int i = 0; i < count; ++i)
            xml += "<item><title>Story " + std::to_string(i) + " of the day</title><link>http://example.com/s/" +
                   std::to_string(i) + "</link><description>" + Description(i) +
                   "</description><author>desk@example.com</author><category>Town</category>"
                   "<pubDate>Tue, 10 Jun 2003 04:00:00 GMT</pubDate></item>\n";
        xml += "</channel></rss>\n";
    } else if (dialect == "rdf") {
        xml += "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns=\"http://purl.org/rss/1.0/\" "
               "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><channel><title>Bench</title>"
               "<link>http://example.com/</link><description>Generated</description></channel>\n";
        for (int i = 0; i < count; ++i)
            xml += "<item><title>Story " + std::to_string(i) + " of the day</title><link>http://example.com/s/" +
                   std::to_string(i) + "</link><description>" + Description(i) +
                   "</description><dc:date>2003-06-10T04:00:00+02:00</dc:date></item>\n";
        xml += "</rdf:RDF>\n";
    } else {
        xml += "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Bench</title>"
               "<link rel=\"alternate\" href=\"http://example.com/\"/><updated>2003-06-10T04:00:00Z</updated>\n";
        for (int i = 0; i < count; ++i)
            xml += "<entry><title>Story " + std::to_string(i) +
                   " of the day</title><link href=\"http://example.com/s/" + std::to_string(i) +
                   "\"/><id>urn:s:" + std::to_string(i) +
                   "</id><updated>2003-06-10T04:00:00Z"
                   "</updated><summary type=\"html\">" +
                   Description(i) + "</summary></entry>\n";
        xml += "</feed>\n";
    }
    return xml;
}

bool WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

size_t VisitAll(IXMLDOMNode* node)
{
    size_t count = 1;
    XmlDom::Bstr name;
    node->get_nodeName(name.Receive());
    DOMNodeType type = XmlDom::NodeType(node);
    if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
        XmlDom::Bstr text;
        node->get_text(text.Receive());
    }
    for (XmlDom::NodePtr child = XmlDom::FirstChild(node); child; child = XmlDom::NextSibling(child.Get()))
        count += VisitAll(child.Get());
    return count;
}

double Best(int runs, double (*measure)(const std::wstring&), const std::wstring& path)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, measure(path));
    return best;
}

// The library's own load by the path, no check of ours before it.
bool BareLoad(IXMLDOMDocument* document, const std::wstring& path)
{
    XmlDom::Variant source(path.c_str());
    VARIANT_BOOL ok = VARIANT_FALSE;
    return SUCCEEDED(document->load(source.v, &ok)) && ok == VARIANT_TRUE;
}

// The floor: a bare load and a plain walk of every node.
double TimeFloor(const std::wstring& path)
{
    double start = lqbench::Seconds();
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (!document || !BareLoad(document.Get(), path))
        return -1;
    VisitAll(document.Get());
    document.Release();
    return lqbench::Seconds() - start;
}

std::string Repeated(const std::string& piece, size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string Rss(const std::string& subset, const std::string& body)
{
    return (subset.empty() ? std::string() : "<!DOCTYPE rss [" + subset + "]>") + "<rss><channel><title>T</title>" +
           body + "</channel></rss>";
}

std::string Attributes(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += " a" + std::to_string(i) + "='x'";
    return text;
}

// UTF-7 as the library reads it: every character outside the safe ASCII set in base64 after '+'.
std::string Utf7(const std::string& text)
{
    static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (char c : text) {
        const bool direct = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            strchr(" '(),-./:?\r\n\t", c) != nullptr;
        if (direct) {
            out += c;
            continue;
        }
        const unsigned value = static_cast<unsigned char>(c);
        out += '+';
        out += kBase64[(value >> 10) & 63];
        out += kBase64[(value >> 4) & 63];
        out += kBase64[(value << 2) & 63];
        out += '-';
    }
    return out;
}

// Reads the text of every "title", as the feed reader reads an item's title: where entity references are expanded.
void ReadTitles(IXMLDOMNode* node)
{
    if (XmlDom::NodeType(node) == NODE_ELEMENT && XmlDom::NodeName(node) == L"title") {
        XmlDom::Bstr text;
        node->get_text(text.Receive());
        return;
    }
    long index = 0;
    for (XmlDom::NodePtr child = XmlDom::FirstChild(node); child; child = XmlDom::NextChild(node, child.Get(), index++))
        ReadTitles(child.Get());
}

// What the library spends on a document when nothing of ours stands before it: the load and the titles read.
double TimeBare(const std::wstring& path)
{
    double start = lqbench::Seconds();
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (document && BareLoad(document.Get(), path))
        ReadTitles(document.Get());
    return lqbench::Seconds() - start;
}

double TimeChecked(const std::wstring& path)
{
    double start = lqbench::Seconds();
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (document)
        XmlDom::LoadDocument(document.Get(), path.c_str());
    return lqbench::Seconds() - start;
}

void HostileDocuments(const std::wstring& folder)
{
    const std::string value200(200, 'v');
    const std::string someAttributes = Attributes(200);
    const struct
    {
        const char* name;
        std::string xml;
    } cases[] = {
        {"entity inside a parameter entity, 200 x 5,000",
         Rss("<!ENTITY % p \"&#60;!ENTITY e '" + value200 + "'&#62;\"> %p;",
             "<item><title>" + Repeated("&e;", 5000) + "</title></item>")},
        {"references built by &#38;, 200 x 5,000",
         Rss("<!ENTITY a '" + value200 + "'><!ENTITY b '" + Repeated("&#38;a;", 50) + "'>",
             "<item><title>" + Repeated("&b;", 100) + "</title></item>")},
        {"entities in UTF-7, 200 x 5,000",
         "<?xml version='1.0' encoding='UTF-7'?>" +
             Utf7(Rss("<!ENTITY e '" + value200 + "'>", "<item><title>" + Repeated("&e;", 5000) + "</title></item>"))},
        {"200 characters x 5,000 references",
         Rss("<!ENTITY e '" + value200 + "'>", "<item><title>" + Repeated("&e;", 5000) + "</title></item>")},
        {"1,999 attributes x 100 elements", Rss("", Repeated("<item" + Attributes(1999) + "/>", 100))},
        {"200 attributes x 5,000 elements", Rss("", Repeated("<item" + someAttributes + "/>", 5000))},
    };
    printf("\n%-48s %9s | %12s %12s %9s\n", "hostile document (old budget let it through)", "file KB", "library ms",
           "LoadDoc ms", "ratio");
    for (const auto& c : cases) {
        const std::wstring path = folder + L"\\hostile.xml";
        if (!WriteAll(path, c.xml))
            return;
        double bare = 0, checked = 0;
        lqbench::BestTimesInTurn([&] { TimeBare(path); }, [&] { TimeChecked(path); }, bare, checked, 3);
        printf("%-48s %9.0f | %12.1f %12.2f %9.0f\n", c.name, c.xml.size() / 1024.0, bare * 1e3, checked * 1e3,
               checked > 0 ? bare / checked : 0.0);
        fflush(stdout);
        DeleteFileW(path.c_str());
    }

    // What entity text and attributes cost the library, and where the budget stands.
    auto row = [&folder](int count, const std::string& xml) {
        const std::wstring path = folder + L"\\sized.xml";
        if (!WriteAll(path, xml))
            return;
        printf("%-48s %9d | %12.1f %12s\n", "", count, Best(3, TimeBare, path) * 1e3,
               XmlDom::IsWithinParseBudget(xml) ? "allowed" : "refused");
        fflush(stdout);
        DeleteFileW(path.c_str());
    };
    printf("\n%-48s %9s | %12s %12s\n", "200 characters x N references", "N", "library ms", "budget");
    for (int count : {500, 1000, 2000, 4000, 8000})
        row(count, Rss("<!ENTITY e '" + value200 + "'>", "<item><title>" + Repeated("&e;", count) + "</title></item>"));
    printf("\n%-48s %9s | %12s %12s\n", "N attributes x 1,000 elements", "N", "library ms", "budget");
    for (int count : {64, 128, 256, 512})
        row(count, Rss("", Repeated("<item" + Attributes(count) + "/>", 1000)));
}

double TimeLoad(const std::wstring& path)
{
    double start = lqbench::Seconds();
    CFeedChannel channel;
    if (!channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_FEED))
        return -1;
    double loaded = lqbench::Seconds() - start;
    return loaded;
}

// A refresh of a channel that already holds every item of the file.
double TimeReload(const std::wstring& path)
{
    CFeedChannel channel;
    if (!channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_FEED))
        return -1;
    double start = lqbench::Seconds();
    channel.ResetItemStates();
    if (!channel.Reload())
        return -1;
    channel.PurgeItems(nullptr, nullptr);
    return lqbench::Seconds() - start;
}

double TimeSaveCache(const std::wstring& path, const std::wstring& cache)
{
    CFeedChannel channel;
    if (!channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_FEED))
        return -1;
    double start = lqbench::Seconds();
    if (!channel.SaveCache(cache.c_str(), FALSE))
        return -1;
    return lqbench::Seconds() - start;
}

// About 50 MB: 20,000 items with 2,400 characters of description each.
std::string GenerateLarge()
{
    const std::string description(2400, 'x');
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>Big</title>";
    xml.reserve(20000u * 2600u);
    for (int i = 0; i < 20000; ++i)
        xml += "<item><title>Item " + std::to_string(i) + "</title><link>http://example.com/" + std::to_string(i) +
               "</link><description>" + description + "</description></item>\n";
    xml += "</channel></rss>";
    return xml;
}

} // namespace

int wmain()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"lq-bench-feedload";
    CreateDirectoryW(folder.c_str(), nullptr);

    printf("%-5s %6s %9s | %10s %10s %6s | %10s | %10s | %9s\n", "kind", "items", "file KB", "floor us/i", "load us/i",
           "ratio", "reload us/i", "save us/i", "bytes/i");
    const int sizes[] = {10, 100, 1000, 10000};
    for (const char* dialect : {"rss", "rdf", "atom"}) {
        for (int count : sizes) {
            std::string xml = Generate(dialect, count);
            std::wstring path = folder + L"\\" + std::wstring(dialect, dialect + strlen(dialect)) + L"-" +
                                std::to_wstring(count) + L".xml";
            if (!WriteAll(path, xml))
                return 1;
            int runs = count <= 100 ? 20 : count <= 1000 ? 5 : 2;
            // Warm up the parser and the file cache once.
            TimeFloor(path);
            double floor = 0, load = 0;
            lqbench::BestTimesInTurn([&] { TimeFloor(path); }, [&] { TimeLoad(path); }, floor, load, runs);
            double reload = Best(runs, TimeReload, path);
            double save = 1e30;
            for (int i = 0; i < runs; ++i)
                save = std::min(save, TimeSaveCache(path, folder + L"\\cache.rss"));

            SIZE_T before = lqbench::PrivateBytes();
            auto* held = new CFeedChannel;
            held->LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_FEED);
            SIZE_T after = lqbench::PrivateBytes();
            delete held;
            double perItem = after > before ? static_cast<double>(after - before) / count : 0.0;

            printf("%-5s %6d %9.0f | %10.1f %10.1f %6.2f | %10.1f | %10.1f | %9.0f\n", dialect, count,
                   xml.size() / 1024.0, floor * 1e6 / count, load * 1e6 / count, load / floor, reload * 1e6 / count,
                   save < 0 ? -1.0 : save * 1e6 / count, perItem);
            fflush(stdout);
            DeleteFileW(path.c_str());
        }
    }
    DeleteFileW((folder + L"\\cache.rss").c_str());

    const std::string large = GenerateLarge();
    const std::wstring largePath = folder + L"\\large.xml";
    if (!WriteAll(largePath, large))
        return 1;
    double floor = 0, load = 0;
    lqbench::BestTimesInTurn([&] { TimeFloor(largePath); }, [&] { TimeLoad(largePath); }, floor, load, 2);
    printf("\n%-5s %6s %9s | %10s %10s %6s\n", "kind", "items", "file MB", "floor s", "load s", "ratio");
    printf("%-5s %6d %9.1f | %10.2f %10.2f %6.2f\n", "rss", 20000, large.size() / 1048576.0, floor, load, load / floor);
    DeleteFileW(largePath.c_str());
    HostileDocuments(folder);
    RemoveDirectoryW(folder.c_str());
    CoUninitialize();
    return 0;
}
