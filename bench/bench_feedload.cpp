// Feed loading against the floor of any DOM-based reader here: the same file loaded into a DOMDocument and every
// node visited (name, type, and the text of text nodes). Generated RSS 2.0, RDF and Atom files of 10 to 10,000
// items with a few hundred characters of HTML per description. Prints, per dialect and size:
//   floor and LoadFile per item (microseconds) and their ratio (target: at most 2.0 at 1,000 items);
//   Reload of the same file into a channel that holds it, per item (target: flat from 100 to 10,000);
//   SaveCache per item; memory held per loaded item.
// Then one document of about 50 MB (20,000 items of 2.5 KB, above the 32 MB a fetch keeps, as a long-kept cache
// grows): floor and LoadFile in seconds and their ratio.
#include "BenchTiming.h"
#include "feeds/FeedChannel.h"
#include "feeds/XmlDom.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
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

// The floor: a bare load and a plain walk of every node.
double TimeFloor(const std::wstring& path)
{
    double start = lqbench::Seconds();
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (!document || !XmlDom::LoadDocument(document.Get(), path.c_str()))
        return -1;
    VisitAll(document.Get());
    document.Release();
    return lqbench::Seconds() - start;
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

double Best(int runs, double (*measure)(const std::wstring&), const std::wstring& path)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, measure(path));
    return best;
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
            double floor = Best(runs, TimeFloor, path);
            double load = Best(runs, TimeLoad, path);
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
    const double floor = Best(1, TimeFloor, largePath);
    const double load = Best(1, TimeLoad, largePath);
    printf("\n%-5s %6s %9s | %10s %10s %6s\n", "kind", "items", "file MB", "floor s", "load s", "ratio");
    printf("%-5s %6d %9.1f | %10.2f %10.2f %6.2f\n", "rss", 20000, large.size() / 1048576.0, floor, load, load / floor);
    DeleteFileW(largePath.c_str());
    RemoveDirectoryW(folder.c_str());
    CoUninitialize();
    return 0;
}
