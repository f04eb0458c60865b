#pragma once

#include <QStringView>

namespace stormtap {

// The number a text begins with: blanks skipped, an optional minus sign, digits,
// optionally a full stop and further digits. Whatever follows is ignored; a text
// that does not begin with a number gives 0.
double leadingNumber(QStringView text);

// Rounds to the nearest integer, a half going to the even neighbour.
double roundHalfEven(double value);

// The leading number rounded half to even and clamped to [low, high]; clamping
// keeps values from hand-edited files from wrapping around.
int leadingInteger(QStringView text, int low, int high);

} // namespace stormtap
