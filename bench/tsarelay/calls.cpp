// Calls per second of cheap exports through tsarelay against the same
// ws2_32 functions called directly, in one process under wine64.
// Usage: tsarelay_bench_calls [calls per round]

#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <typename F> F resolve(HMODULE module, const char *name)
{
    const FARPROC p = GetProcAddress(module, name);
    if (!p) {
        std::printf("cannot resolve %s\n", name);
        std::exit(1);
    }
    F f;
    std::memcpy(&f, &p, sizeof f);
    return f;
}

using Htonl = u_long(WSAAPI *)(u_long);
using GetLastErrorFn = int(WSAAPI *)();

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// One copy of the loop serves both sides, so code placement cannot favour one.
__attribute__((noinline)) double timeCalls(Htonl htonlFn, GetLastErrorFn errorFn, long calls)
{
    LARGE_INTEGER start, end;
    unsigned long sink = 0;
    QueryPerformanceCounter(&start);
    if (htonlFn)
        for (long i = 0; i < calls; ++i)
            sink += htonlFn(u_long(i));
    else
        for (long i = 0; i < calls; ++i)
            sink += u_long(errorFn());
    QueryPerformanceCounter(&end);
    volatile unsigned long keep = sink;
    (void)keep;
    return seconds(start, end);
}

// Rounds alternate between the two sides; each side keeps its best round.
void compare(const char *relayName, const char *directName, Htonl relayHtonl, Htonl directHtonl,
             GetLastErrorFn relayError, GetLastErrorFn directError, long calls)
{
    double relay = 1e30, direct = 1e30;
    for (int round = 0; round < 11; ++round) {
        relay = std::min(relay, timeCalls(relayHtonl, relayError, calls));
        direct = std::min(direct, timeCalls(directHtonl, directError, calls));
    }
    std::printf("%-20s %12.0f calls/s   %-16s %12.0f calls/s   relay/direct time %.3f\n",
                relayName, calls / relay, directName, calls / direct, relay / direct);
}

} // namespace

int main(int argc, char **argv)
{
    const long calls = argc > 1 ? std::atol(argv[1]) : 20000000;
    const HMODULE relay = LoadLibraryA("tsarelay.dll");
    const HMODULE ws2 = GetModuleHandleA("ws2_32.dll");
    if (!relay || !ws2) {
        std::printf("cannot load tsarelay.dll and ws2_32.dll\n");
        return 1;
    }
    std::printf("%ld calls per round, best of 11 rounds per side\n", calls);
    compare("_t_htonl@4", "htonl", resolve<Htonl>(relay, "_t_htonl@4"),
            resolve<Htonl>(ws2, "htonl"), nullptr, nullptr, calls);
    compare("_TSAGetLastError@0", "WSAGetLastError", nullptr, nullptr,
            resolve<GetLastErrorFn>(relay, "_TSAGetLastError@0"),
            resolve<GetLastErrorFn>(ws2, "WSAGetLastError"), calls);
    FreeLibrary(relay);
    return 0;
}
