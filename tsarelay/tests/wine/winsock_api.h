#pragma once

// The Winsock functions the wine tests call, resolved either from tsarelay
// (by the export names of its table) or from ws2_32 itself (by the platform
// names), so that every case can run the same code on both and compare.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include "relay_table.h"

#include <cstring>
#include <string>

using GetAddressByNameFn = INT(WSAAPI *)(DWORD, LPGUID, LPSTR, LPINT, DWORD, LPVOID, LPVOID,
                                         LPDWORD);

#define WINSOCK_FUNCTIONS(X)                                                                   \
    X(WSAStartup) X(WSACleanup) X(WSAGetLastError) X(WSASetLastError) X(socket) X(bind)        \
    X(listen) X(connect) X(accept) X(send) X(recv) X(closesocket) X(shutdown) X(getsockname)   \
    X(getsockopt) X(setsockopt) X(ioctlsocket) X(select) X(htonl) X(inet_addr) X(inet_ntoa)    \
    X(gethostname) X(gethostbyname) X(WSASendTo) X(WSARecvFrom) X(WSAIoctl) X(WSAHtonl)       \
    X(WSACreateEvent) X(WSAEventSelect) X(WSACloseEvent)

struct Winsock {
#define DECLARE_FUNCTION(f) decltype(&::f) f = nullptr;
    WINSOCK_FUNCTIONS(DECLARE_FUNCTION)
#undef DECLARE_FUNCTION
    GetAddressByNameFn WSAGetAddressByNameA = nullptr;
};

template <typename F> F functionPointer(FARPROC p)
{
    F f;
    static_assert(sizeof f == sizeof p);
    std::memcpy(&f, &p, sizeof f);
    return f;
}

inline const char *relayName(const char *platform)
{
    for (const RelayExport &row : relayExports)
        if (std::strcmp(row.platform, platform) == 0)
            return row.name;
    return "";
}

// Missing functions stay null; the callers check what they need.
inline Winsock resolveWinsock(HMODULE module, bool relay)
{
    Winsock w;
#define RESOLVE_FUNCTION(f)                                                                    \
    w.f = functionPointer<decltype(w.f)>(GetProcAddress(module, relay ? relayName(#f) : #f));
    WINSOCK_FUNCTIONS(RESOLVE_FUNCTION)
#undef RESOLVE_FUNCTION
    if (relay)
        w.WSAGetAddressByNameA = functionPointer<GetAddressByNameFn>(
            GetProcAddress(module, relayName("WSAGetAddressByNameA")));
    return w;
}
