#pragma once

#include <QString>

namespace stormtap {

// False for an image path that could lead the request out of the server's
// radar-graphics directory: one holding "..", a backslash, or a dot segment
// written with percent escapes ("%2e%2e"). Only a hand-edited GLAVEN.CFG or
// SITES.DAT brings one; it is refused before any request.
bool isSafeImagePath(const QString &imagePath);

// False for a file name that could leave the image directory or be cut short:
// a path separator, "..", or a control character.
bool isSafeFileName(const QString &name);

} // namespace stormtap
