#pragma once

#include <QString>

namespace stormtap {

// The image directory as the Setup page keeps it: ending in a directory
// separator, so that an image path is the directory followed by a file name. The
// separator appended is the platform's own; "/" counts as one everywhere, "\"
// only where it is the platform's separator.
QString withTrailingSeparator(const QString &directory);

} // namespace stormtap
