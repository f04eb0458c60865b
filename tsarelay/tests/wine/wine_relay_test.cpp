// tsarelay's 64-bit build against Wine's own ws2_32: each group compares a
// call through tsarelay with the same call made on ws2_32 directly.
// Usage: tsarelay_wine_test <group>; exit code 0 when every check held.

#include "check.h"
#include "winsock_api.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct Apis {
    HMODULE relayModule;
    Winsock relay;  // through tsarelay.dll
    Winsock direct; // ws2_32.dll itself
};

// A call's complete observable outcome: its result and the last error after it.
struct Outcome {
    long long result;
    int error;
    bool operator==(const Outcome &o) const { return result == o.result && error == o.error; }
};

using Call = std::function<long long(const Winsock &)>;

Outcome outcome(const Winsock &w, const Call &call)
{
    w.WSASetLastError(0);
    const long long result = call(w);
    return {result, w.WSAGetLastError()};
}

void checkSameOutcome(const Apis &apis, const char *what, const Call &call)
{
    const Outcome viaRelay = outcome(apis.relay, call);
    const Outcome direct = outcome(apis.direct, call);
    if (!(viaRelay == direct)) {
        std::printf("FAIL %s: relay %lld/%d, ws2_32 %lld/%d\n", what, viaRelay.result,
                    viaRelay.error, direct.result, direct.error);
        ++checkFailures();
    }
}

void startup(const Apis &apis)
{
    WSADATA data{};
    CHECK_EQ(apis.relay.WSAStartup(MAKEWORD(2, 2), &data), 0);
    CHECK_EQ(data.wVersion, MAKEWORD(2, 2));
}

sockaddr_in loopback(u_short port = 0)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

SOCKET boundSocket(const Winsock &w, int type, sockaddr_in &address)
{
    const SOCKET s = w.socket(AF_INET, type, 0);
    CHECK(s != INVALID_SOCKET);
    address = loopback();
    CHECK_EQ(w.bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    int length = sizeof address;
    CHECK_EQ(w.getsockname(s, reinterpret_cast<sockaddr *>(&address), &length), 0);
    return s;
}

void exportsResolve(const Apis &apis)
{
    int resolved = 0;
    for (const RelayExport &row : relayExports) {
        const FARPROC byName = GetProcAddress(apis.relayModule, row.name);
        const FARPROC byOrdinal =
            GetProcAddress(apis.relayModule, MAKEINTRESOURCEA(row.ordinal));
        if (CHECK(byName != nullptr) && CHECK(byOrdinal == byName))
            ++resolved;
        else
            std::printf("  export %s, ordinal %d\n", row.name, row.ordinal);
    }
    CHECK_EQ(resolved, relayExportCount);
    CHECK(GetProcAddress(apis.relayModule, MAKEINTRESOURCEA(relayExportCount + 1)) == nullptr);
}

// Must run in a process where nothing has started Winsock yet.
void beforeStartup(const Apis &apis)
{
    const std::vector<std::pair<const char *, Call>> calls = {
        {"socket", [](const Winsock &w) { return (long long)w.socket(AF_INET, SOCK_STREAM, 0); }},
        {"gethostname", [](const Winsock &w) { char n[256]; return (long long)w.gethostname(n, sizeof n); }},
        {"gethostbyname", [](const Winsock &w) { return (long long)(w.gethostbyname("localhost") != nullptr); }},
        {"inet_addr", [](const Winsock &w) { return (long long)w.inet_addr("192.0.2.7"); }},
        {"htonl", [](const Winsock &w) { return (long long)w.htonl(0x01020304); }},
        {"WSACleanup", [](const Winsock &w) { return (long long)w.WSACleanup(); }},
    };
    for (const auto &[what, call] : calls)
        checkSameOutcome(apis, what, call);
    // Loading tsarelay started nothing: a socket still needs WSAStartup.
    CHECK_EQ(outcome(apis.relay, calls[0].second).error, WSANOTINITIALISED);
}

void startupAndCleanup(const Apis &apis)
{
    startup(apis);
    startup(apis); // counted by the platform, so two clean-ups are needed
    CHECK_EQ(apis.relay.WSACleanup(), 0);
    CHECK(apis.direct.socket(AF_INET, SOCK_DGRAM, 0) != INVALID_SOCKET);
    CHECK_EQ(apis.relay.WSACleanup(), 0);
    CHECK(apis.direct.socket(AF_INET, SOCK_DGRAM, 0) == INVALID_SOCKET);
    CHECK_EQ(apis.relay.WSAGetLastError(), WSANOTINITIALISED);
}

void tcpExchange(const Apis &apis)
{
    const Winsock &w = apis.relay;
    startup(apis);
    sockaddr_in address{};
    const SOCKET listener = boundSocket(w, SOCK_STREAM, address);
    CHECK_EQ(w.listen(listener, 1), 0);
    const SOCKET client = w.socket(AF_INET, SOCK_STREAM, 0);
    // The backlog completes a loopback connect before accept is called.
    CHECK_EQ(w.connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    const SOCKET server = w.accept(listener, nullptr, nullptr);
    CHECK(server != INVALID_SOCKET);

    char buffer[16] = {};
    CHECK_EQ(w.send(client, "ping", 4, 0), 4);
    CHECK_EQ(w.recv(server, buffer, sizeof buffer, 0), 4);
    CHECK(std::memcmp(buffer, "ping", 4) == 0);
    CHECK_EQ(w.send(server, "pong!", 5, 0), 5);
    CHECK_EQ(w.shutdown(server, SD_SEND), 0);
    CHECK_EQ(w.recv(client, buffer, sizeof buffer, 0), 5);
    CHECK(std::memcmp(buffer, "pong!", 5) == 0);
    CHECK_EQ(w.recv(client, buffer, sizeof buffer, 0), 0); // orderly end of stream
    for (SOCKET s : {client, server, listener})
        CHECK_EQ(w.closesocket(s), 0);
    CHECK_EQ(w.WSACleanup(), 0);
}

void udpExchange(const Apis &apis)
{
    const Winsock &w = apis.relay;
    startup(apis);
    sockaddr_in senderAddress{}, receiverAddress{};
    const SOCKET sender = boundSocket(w, SOCK_DGRAM, senderAddress);
    const SOCKET receiver = boundSocket(w, SOCK_DGRAM, receiverAddress);

    char text[] = "datagram";
    WSABUF out{sizeof text, text};
    DWORD sent = 0;
    CHECK_EQ(w.WSASendTo(sender, &out, 1, &sent, 0, reinterpret_cast<sockaddr *>(&receiverAddress),
                         sizeof receiverAddress, nullptr, nullptr),
             0);
    CHECK_EQ(sent, sizeof text);

    char buffer[32] = {};
    WSABUF in{sizeof buffer, buffer};
    DWORD received = 0, flags = 0;
    sockaddr_in from{};
    int fromLength = sizeof from;
    CHECK_EQ(w.WSARecvFrom(receiver, &in, 1, &received, &flags, reinterpret_cast<sockaddr *>(&from),
                           &fromLength, nullptr, nullptr),
             0);
    CHECK_EQ(received, sizeof text);
    CHECK(std::strcmp(buffer, text) == 0);
    CHECK_EQ(from.sin_port, senderAddress.sin_port);
    CHECK_EQ(w.closesocket(sender), 0);
    CHECK_EQ(w.closesocket(receiver), 0);
    CHECK_EQ(w.WSACleanup(), 0);
}

void ioctl(const Apis &apis)
{
    const Winsock &w = apis.relay;
    startup(apis);
    sockaddr_in address{};
    const SOCKET s = boundSocket(w, SOCK_DGRAM, address);

    u_long nonBlocking = 1;
    DWORD returned = 0;
    CHECK_EQ(w.WSAIoctl(s, FIONBIO, &nonBlocking, sizeof nonBlocking, nullptr, 0, &returned,
                        nullptr, nullptr),
             0);
    char buffer[8];
    CHECK_EQ(w.recv(s, buffer, sizeof buffer, 0), SOCKET_ERROR);
    CHECK_EQ(w.WSAGetLastError(), WSAEWOULDBLOCK);

    // The extension function the platform hands out is the one it hands out directly.
    GUID connectEx = WSAID_CONNECTEX;
    const SOCKET tcp = w.socket(AF_INET, SOCK_STREAM, 0);
    void *viaRelay = nullptr, *direct = nullptr;
    CHECK_EQ(w.WSAIoctl(tcp, SIO_GET_EXTENSION_FUNCTION_POINTER, &connectEx, sizeof connectEx,
                        &viaRelay, sizeof viaRelay, &returned, nullptr, nullptr),
             0);
    CHECK_EQ(apis.direct.WSAIoctl(tcp, SIO_GET_EXTENSION_FUNCTION_POINTER, &connectEx,
                                  sizeof connectEx, &direct, sizeof direct, &returned, nullptr,
                                  nullptr),
             0);
    CHECK(viaRelay != nullptr && viaRelay == direct);
    CHECK_EQ(w.closesocket(tcp), 0);
    CHECK_EQ(w.closesocket(s), 0);
    CHECK_EQ(w.WSACleanup(), 0);
}

void errorsPassThrough(const Apis &apis)
{
    startup(apis);
    static char buffer[8];
    static sockaddr_in address = loopback(9);
    static int length = sizeof address;
    static u_long argument = 1;
    const SOCKET bad = INVALID_SOCKET;
    const std::vector<std::pair<const char *, Call>> calls = {
        {"closesocket", [=](const Winsock &w) { return (long long)w.closesocket(bad); }},
        {"send", [=](const Winsock &w) { return (long long)w.send(bad, "x", 1, 0); }},
        {"recv", [=](const Winsock &w) { return (long long)w.recv(bad, buffer, 8, 0); }},
        {"listen", [=](const Winsock &w) { return (long long)w.listen(bad, 1); }},
        {"shutdown", [=](const Winsock &w) { return (long long)w.shutdown(bad, SD_BOTH); }},
        {"bind", [=](const Winsock &w) { return (long long)w.bind(bad, reinterpret_cast<sockaddr *>(&address), length); }},
        {"connect", [=](const Winsock &w) { return (long long)w.connect(bad, reinterpret_cast<sockaddr *>(&address), length); }},
        {"getsockname", [=](const Winsock &w) { int l = length; return (long long)w.getsockname(bad, reinterpret_cast<sockaddr *>(&address), &l); }},
        {"ioctlsocket", [=](const Winsock &w) { return (long long)w.ioctlsocket(bad, FIONBIO, &argument); }},
        {"getsockopt", [=](const Winsock &w) { int v = 0, l = sizeof v; return (long long)w.getsockopt(bad, SOL_SOCKET, SO_TYPE, reinterpret_cast<char *>(&v), &l); }},
        {"WSAHtonl", [=](const Winsock &w) { u_long v = 0; return (long long)w.WSAHtonl(bad, 1, &v); }},
        {"socket", [](const Winsock &w) { return (long long)w.socket(AF_INET, 12345, 0); }},
        {"inet_addr", [](const Winsock &w) { return (long long)w.inet_addr("not an address"); }},
    };
    for (const auto &[what, call] : calls)
        checkSameOutcome(apis, what, call);
    const Outcome closeBad = outcome(apis.relay, calls[0].second);
    CHECK_EQ(closeBad.result, SOCKET_ERROR);
    CHECK_EQ(closeBad.error, WSAENOTSOCK);

    // The last-error value is the platform's own, whichever side sets it.
    apis.relay.WSASetLastError(12345);
    CHECK_EQ(apis.direct.WSAGetLastError(), 12345);
    apis.direct.WSASetLastError(WSAECONNRESET);
    CHECK_EQ(apis.relay.WSAGetLastError(), WSAECONNRESET);

    // No ws2_32 publishes this one: it fails as an unsupported call.
    CHECK(GetProcAddress(GetModuleHandleA("ws2_32.dll"), "WSAGetAddressByNameA") == nullptr);
    CHECK_EQ(apis.relay.WSAGetAddressByNameA(0, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                             nullptr),
             SOCKET_ERROR);
    CHECK_EQ(apis.relay.WSAGetLastError(), WSAEOPNOTSUPP);
    CHECK_EQ(apis.relay.WSACleanup(), 0);
}

void pointersPassThrough(const Apis &apis)
{
    startup(apis);
    in_addr address{};
    address.s_addr = htonl(INADDR_LOOPBACK);
    const char *viaRelay = apis.relay.inet_ntoa(address);
    const char *direct = apis.direct.inet_ntoa(address);
    CHECK(viaRelay != nullptr && viaRelay == direct);
    CHECK(viaRelay && std::strcmp(viaRelay, "127.0.0.1") == 0);
    const hostent *hostViaRelay = apis.relay.gethostbyname("localhost");
    CHECK(hostViaRelay != nullptr && hostViaRelay == apis.direct.gethostbyname("localhost"));
    CHECK_EQ(apis.relay.WSACleanup(), 0);
}

const std::map<std::string, void (*)(const Apis &)> groups = {
    {"exports", exportsResolve},       {"before-startup", beforeStartup},
    {"startup", startupAndCleanup},    {"tcp", tcpExchange},
    {"udp", udpExchange},              {"ioctl", ioctl},
    {"errors", errorsPassThrough},     {"pointers", pointersPassThrough},
};

} // namespace

int main(int argc, char **argv)
{
    const auto group = argc == 2 ? groups.find(argv[1]) : groups.end();
    if (group == groups.end()) {
        std::printf("usage: %s <group>; groups:", argv[0]);
        for (const auto &g : groups)
            std::printf(" %s", g.first.c_str());
        std::printf("\n");
        return 2;
    }
    const HMODULE relayModule = LoadLibraryA("tsarelay.dll");
    const HMODULE ws2 = GetModuleHandleA("ws2_32.dll");
    if (!CHECK(relayModule != nullptr) || !CHECK(ws2 != nullptr))
        return 1;
    const Apis apis{relayModule, resolveWinsock(relayModule, true), resolveWinsock(ws2, false)};
    group->second(apis);
    CHECK(FreeLibrary(relayModule));
    std::printf("%s: %d failure(s)\n", group->first.c_str(), checkFailures());
    return checkFailures() == 0 ? 0 : 1;
}
