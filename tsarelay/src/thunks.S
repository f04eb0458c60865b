/* One thunk per load-time import: a single indirect jump through the import
 * slot, so the platform function runs on the caller's own frame. It receives
 * the caller's argument words untouched, its result goes straight back to the
 * caller, and its own return removes the arguments (stdcall on i386). */

#ifdef __i386__
.macro relay_thunk name, platform, bytes
    .globl _relay_\name
_relay_\name:
    jmp *__imp__\platform\()@\bytes
.endm
#else
.macro relay_thunk name, platform, bytes
    .globl relay_\name
relay_\name:
    jmp *__imp_\platform(%rip)
.endm
#endif

#define RELAY_IMPORT(ord, name, platform, words, bytes) relay_thunk name, platform, bytes
#define RELAY_LAZY(ord, name, platform, words, bytes)

    .text
#include "tsarelay_exports.inc"
