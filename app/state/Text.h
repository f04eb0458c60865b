#pragma once

#include <QString>

namespace stormtap {

// Removes leading and trailing blanks (spaces only; tabs and other characters stay).
QString trimBlanks(const QString &text);

} // namespace stormtap
