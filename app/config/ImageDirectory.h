#pragma once

#include <QString>

namespace stormtap {

// The image directory as the Setup page keeps it: ending in a directory
// separator, so that an image path is the directory followed by a file name. The
// separator appended is the platform's own; "/" counts as one everywhere, "\"
// only where it is the platform's separator. An empty text stays empty: it is
// no directory, and "/" would be the root of the file system.
QString withTrailingSeparator(const QString &directory);

// Where the pictures go, ending with a separator: a relative directory is taken
// from the program directory, wherever the program was started from. Empty when
// none is set.
QString imageDirectoryPath(const QString &directory, const QString &programDirectory);

// Whether the directory lies in the user's pictures folder, where the program
// may make its own folders (the first-run image directory is one).
bool inPicturesFolder(const QString &path);

// Makes a missing directory (and its parents). Returns an empty text, or why it
// could not be made, with the path and the system's reason.
QString createImageDirectory(const QString &path);

// Why no picture could be stored in the directory (it is not set, does not
// exist, is no directory or cannot be written to); empty when it is usable.
QString imageDirectoryProblem(const QString &directory);

} // namespace stormtap
