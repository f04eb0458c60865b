#pragma once

#include <QString>

namespace stormtap {

// The hour and minute that name a picture in time-stamp naming: the two
// characters before the first ":" of a Last-Modified value and the two after
// it, e.g. "0812" for "Tue, 15 Nov 1994 08:12:31 GMT". All four must be digits:
// whatever a server sends is data, never part of a file name. Empty when the
// value holds no such time.
QString timeFromLastModified(const QString &lastModified);

} // namespace stormtap
