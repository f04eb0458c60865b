#pragma once

#include <QString>

namespace stormtap {

// Makes a missing directory and its parents. Returns an empty text, or the
// system's reason why it could not be made.
QString makeDirectories(const QString &path);

} // namespace stormtap
