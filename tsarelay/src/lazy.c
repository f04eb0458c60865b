#include <winsock2.h>

/* Exports whose platform function no ws2_32.dll is known to publish. Binding
 * them at load time would keep the whole library from loading, so each call
 * looks the function up and, when it is absent, fails the way Winsock fails
 * an unsupported call. Nothing is cached: the library keeps no state. */

#define STRINGIFY2(x) #x
#define STRINGIFY(x) STRINGIFY2(x)
#define SYMBOL(name) STRINGIFY(__USER_LABEL_PREFIX__) name

#define PARAMS_1 ULONG_PTR a1
#define PARAMS_2 PARAMS_1, ULONG_PTR a2
#define PARAMS_3 PARAMS_2, ULONG_PTR a3
#define PARAMS_4 PARAMS_3, ULONG_PTR a4
#define PARAMS_5 PARAMS_4, ULONG_PTR a5
#define PARAMS_6 PARAMS_5, ULONG_PTR a6
#define PARAMS_7 PARAMS_6, ULONG_PTR a7
#define PARAMS_8 PARAMS_7, ULONG_PTR a8
#define PARAMS_9 PARAMS_8, ULONG_PTR a9
#define ARGS_1 a1
#define ARGS_2 ARGS_1, a2
#define ARGS_3 ARGS_2, a3
#define ARGS_4 ARGS_3, a4
#define ARGS_5 ARGS_4, a5
#define ARGS_6 ARGS_5, a6
#define ARGS_7 ARGS_6, a7
#define ARGS_8 ARGS_7, a8
#define ARGS_9 ARGS_8, a9

static FARPROC platformFunction(const char *name)
{
    HMODULE ws2 = GetModuleHandleW(L"ws2_32.dll");
    return ws2 ? GetProcAddress(ws2, name) : NULL;
}

static INT_PTR unsupported(void)
{
    WSASetLastError(WSAEOPNOTSUPP);
    return SOCKET_ERROR;
}

#define RELAY_IMPORT(ord, name, platform, words, bytes)
#define RELAY_LAZY(ord, name, platform, words, bytes)                              \
    INT_PTR WINAPI relay_##name(PARAMS_##words) __asm__(SYMBOL("relay_" #name));  \
    INT_PTR WINAPI relay_##name(PARAMS_##words)                                    \
    {                                                                              \
        typedef INT_PTR(WINAPI * Platform)(PARAMS_##words);                        \
        Platform forward = (Platform)platformFunction(#platform);                  \
        return forward ? forward(ARGS_##words) : unsupported();                    \
    }

#include "tsarelay_exports.inc"
