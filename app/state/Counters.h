#pragma once

#include <QtGlobal>

#include <limits>

namespace stormtap {

// The 16-bit counters of the state stop at their largest value instead of
// wrapping around to negative numbers.
inline qint16 saturatingIncrement(qint16 value)
{
    return value < std::numeric_limits<qint16>::max() ? qint16(value + 1) : value;
}

} // namespace stormtap
