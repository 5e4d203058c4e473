// A 50 MB enclosure downloaded by the podcast manager's transfer against a plain WinHTTP read loop of the same
// file from the same local server, in the same run. Prints the throughput ratio (target >= 0.8).
// Winsock 2 before anything that includes windows.h.
#include <winsock2.h>

#include "bench/BenchTiming.h"
#include "companions/EnclosureDownload.h"
#include "feeds/HttpFetch.h"
#include "framework/Afx.h"
#include "framework/core/ScopedHandles.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const size_t kBodyBytes = 50u * 1024 * 1024;

// A server on 127.0.0.1 that answers every request with the same body.
class LocalServer
{
public:
    bool Start()
    {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
            return false;
        m_body.assign(kBodyBytes, 'p');
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(m_listen, 4) != 0)
            return false;
        int length = sizeof(address);
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = ::CreateThread(nullptr, 0, Serve, this, 0, nullptr);
        return m_thread != nullptr;
    }
    ~LocalServer()
    {
        closesocket(m_listen);
        if (m_thread) {
            ::WaitForSingleObject(m_thread, 5000);
            ::CloseHandle(m_thread);
        }
        WSACleanup();
    }
    int Port() const { return m_port; }

private:
    static DWORD WINAPI Serve(LPVOID parameter)
    {
        auto* self = static_cast<LocalServer*>(parameter);
        for (;;) {
            SOCKET client = accept(self->m_listen, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return 0;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int n = recv(client, buffer, sizeof(buffer), 0);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(n));
            }
            const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " +
                                     std::to_string(self->m_body.size()) + "\r\nConnection: close\r\n\r\n";
            send(client, head.data(), static_cast<int>(head.size()), 0);
            for (size_t sent = 0; sent < self->m_body.size();) {
                const int n = send(client, self->m_body.data() + sent,
                                   static_cast<int>(std::min<size_t>(256 * 1024, self->m_body.size() - sent)), 0);
                if (n <= 0)
                    break;
                sent += static_cast<size_t>(n);
            }
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    std::string m_body;
    SOCKET m_listen = INVALID_SOCKET;
    HANDLE m_thread = nullptr;
    int m_port = 0;
};

// The baseline: one WinHTTP GET read in 64 KB blocks into a file.
bool PlainDownload(const std::wstring& url, const std::wstring& path)
{
    CHttpUrlParts parts;
    if (!CrackHttpUrl(url.c_str(), parts))
        return false;
    CScopedInternet session(WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                        WINHTTP_NO_PROXY_BYPASS, 0));
    CScopedInternet connection(WinHttpConnect(session, parts.strHost, parts.nPort, 0));
    CScopedInternet request(WinHttpOpenRequest(connection, L"GET", parts.strObject, nullptr, WINHTTP_NO_REFERER,
                                               WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request || !WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0) ||
        !WinHttpReceiveResponse(request, nullptr))
        return false;
    CScopedFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<char> buffer(64 * 1024);
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read))
            return false;
        if (read == 0)
            break;
        DWORD written = 0;
        ::WriteFile(file, buffer.data(), read, &written, nullptr);
        total += read;
    }
    return total == kBodyBytes;
}

} // namespace

int wmain()
{
    CWinApp app(L"bench_enclosure");
    LocalServer server;
    if (!server.Start()) {
        std::printf("enclosure download: no local server\n");
        return 1;
    }
    WCHAR temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lq-bench-enclosure";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/episode.mp3";
    const std::wstring ours = folder + L"\\episode.mp3";
    const std::wstring plain = folder + L"\\plain.mp3";

    bool ok = true;
    const double baseline = lqbench::BestTime([&] { ok = PlainDownload(url, plain) && ok; }, 3);
    const double measured = lqbench::BestTime(
        [&] {
            ::DeleteFileW(ours.c_str());
            CEnclosureTransfer transfer;
            transfer.strUrl = url.c_str();
            transfer.strFolder = folder.c_str();
            ok = DownloadEnclosure(transfer) == 0 && transfer.nFileBytes == static_cast<LONGLONG>(kBodyBytes) && ok;
        },
        3);
    ::DeleteFileW(ours.c_str());
    ::DeleteFileW(plain.c_str());
    ::RemoveDirectoryW(folder.c_str());
    std::printf("enclosure download: 50 MB in %.0f ms, plain WinHTTP loop %.0f ms, throughput ratio %.2f "
                "(target >= 0.8)%s\n",
                measured * 1e3, baseline * 1e3, baseline / measured, ok ? "" : " [a download failed]");
    return ok ? 0 : 1;
}
