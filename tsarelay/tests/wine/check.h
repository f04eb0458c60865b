#pragma once

// A few lines of test harness: the wine tests run as plain Windows programs
// and report through their exit code and stdout.

#include <cstdio>

inline int &checkFailures()
{
    static int failures = 0;
    return failures;
}

#define CHECK(condition)                                                                       \
    ((condition) ? true                                                                        \
                 : (std::printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #condition),           \
                    ++checkFailures(), false))

#define CHECK_EQ(actual, expected)                                                             \
    do {                                                                                       \
        const auto a_ = (actual);                                                              \
        const auto e_ = (expected);                                                            \
        if (!(a_ == e_)) {                                                                     \
            std::printf("FAIL %s:%d: %s == %s (%lld != %lld)\n", __FILE__, __LINE__, #actual,  \
                        #expected, (long long)a_, (long long)e_);                              \
            ++checkFailures();                                                                 \
        }                                                                                      \
    } while (0)
