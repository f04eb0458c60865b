#pragma once

// The tests' view of exports.table, built from the rows the build generated
// from it, so the tests check the library against the same single table.

struct RelayExport {
    int ordinal;
    const char *name;     // stored (decorated) export name, e.g. "_t_accept@12"
    const char *platform; // ws2_32 function it forwards to
    int words;            // 32-bit argument words
    bool lazy;            // looked up on each call instead of imported
};

inline constexpr RelayExport relayExports[] = {
#define RELAY_IMPORT(ord, name, platform, words, bytes) {ord, "_" #name "@" #bytes, #platform, words, false},
#define RELAY_LAZY(ord, name, platform, words, bytes) {ord, "_" #name "@" #bytes, #platform, words, true},
#include "tsarelay_exports.inc"
#undef RELAY_IMPORT
#undef RELAY_LAZY
};

inline constexpr int relayExportCount = sizeof relayExports / sizeof relayExports[0];
