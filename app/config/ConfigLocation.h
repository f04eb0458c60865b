#pragma once

#include <QString>

namespace stormtap {

// Where GLAVEN.CFG lives. Beside the program wherever the program directory can
// be written to (the build folder, a portable copy, a per-user install); in the
// user's configuration folder (~/.config/stormtap/) when it cannot, as after an
// install to a system prefix. Stormtap, its viewer and its fetcher all ask here.
QString configFilePath(const QString &programDirectory);

// The same rule with the answers given: for tests, which run as root here.
QString configFilePath(const QString &programDirectory, bool programDirectoryWritable,
                       const QString &userConfigDirectory);

// The per-user folder the rule falls back to.
QString userConfigDirectory();

// Makes the folder that is to hold the file at `configPath` when it is missing,
// as the per-user folder is before the first Save. Returns an empty text, or
// what went wrong, naming the file.
QString makeConfigDirectory(const QString &configPath);

} // namespace stormtap
