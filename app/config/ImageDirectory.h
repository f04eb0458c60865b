#pragma once

#include <QString>

namespace stormtap {

// The image directory as the Setup page keeps it: ending in a directory
// separator, so that an image path is the directory followed by a file name. The
// separator appended is the platform's own; "/" counts as one everywhere, "\"
// only where it is the platform's separator.
QString withTrailingSeparator(const QString &directory);

// Why no picture could be stored in the directory (it is not set, does not
// exist, is no directory or cannot be written to); empty when it is usable.
QString imageDirectoryProblem(const QString &directory);

} // namespace stormtap
