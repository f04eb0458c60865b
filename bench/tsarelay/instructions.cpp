// Instructions the emulator executes for a call to each 32-bit export,
// through tsarelay and straight to the same stand-in platform function.
// Usage: tsarelay_bench_instructions <path to the 32-bit tsarelay.dll>

#include "emulated_dll.h"
#include "relay_table.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s tsarelay.dll\n", argv[0]);
        return 2;
    }
    const PeImage image(argv[1]);
    std::map<std::string, int> bytes{{"GetModuleHandleW", 4}, {"GetProcAddress", 8}};
    for (const RelayExport &row : relayExports)
        bytes[row.platform] = 4 * row.words;
    EmulatedDll dll(image, bytes);
    dll.setStubResult("GetModuleHandleW", 0x7E000000);
    dll.setStubResult("GetProcAddress", 0); // as on every known ws2_32

    std::printf("%-40s %8s %8s %8s\n", "export", "relay", "direct", "extra");
    uint64_t worstExtra = 0, totalRelay = 0, totalDirect = 0;
    for (const RelayExport &row : relayExports) {
        uint32_t address = 0;
        for (const PeImage::Export &e : image.exports())
            if (e.name == row.name)
                address = dll.address(e.rva);
        const std::vector<uint32_t> args(row.words, 0x5A5A5A5A);
        // The two lazily bound exports end in the stand-in for WSASetLastError.
        const std::string target = row.lazy ? "WSASetLastError" : row.platform;
        const uint64_t relay = dll.call(address, args).instructions;
        const uint64_t direct =
            dll.call(dll.stub(target), std::vector<uint32_t>(bytes[target] / 4)).instructions;
        dll.takeStubCalls();
        std::printf("%-40s %8llu %8llu %8llu%s\n", row.name, (unsigned long long)relay,
                    (unsigned long long)direct, (unsigned long long)(relay - direct),
                    row.lazy ? "  (look-up, then WSAEOPNOTSUPP)" : "");
        if (!row.lazy) {
            worstExtra = std::max(worstExtra, relay - direct);
            totalRelay += relay;
            totalDirect += direct;
        }
    }
    std::printf("load-bound exports: at most %llu extra instruction(s); %llu vs %llu in total\n",
                (unsigned long long)worstExtra, (unsigned long long)totalRelay,
                (unsigned long long)totalDirect);
    return 0;
}
