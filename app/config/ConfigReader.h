#pragma once

#include "state/State.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace stormtap {

// What GLAVEN.CFG holds, read in full before anything is put into the state, so
// that a broken file leaves the state as it was.
struct LoadedConfig {
    Settings settings;
    std::vector<SelectionEntry> entries;              // in file order
    std::vector<std::pair<int, int>> chosen;          // (site, product) flags to set
    std::vector<UnknownSiteEntry> unknownSiteEntries; // entries that name no catalogue site
    bool fileMissing = false;                         // no GLAVEN.CFG yet: first-run settings
    QString problem;                                  // empty when the file was read in full
    bool ok() const { return problem.isEmpty(); }
};

// Reads the bytes of a configuration file: eight header items, then entries of
// three items until the end. Each entry starts with an empty LastModified and
// `sequenceStart` as its SequenceNumber; its site is found with SiteSearch on the
// first ten characters of its display text. An entry whose text no site's line
// holds marks no site (SiteSearch would name the last one) and is kept as it is.
// The server is read without blanks around it; an image directory gets its
// trailing separator. `problem` describes what is wrong, without the file's path.
LoadedConfig parseConfig(const QByteArray &bytes, const State &state, qint16 sequenceStart);

// Reads the file at `path`. A missing file gives the first-run settings and no
// entries; a file that cannot be read or is malformed gives a problem naming the
// path.
LoadedConfig loadConfig(const QString &path, const State &state, qint16 sequenceStart);

// Replaces Settings, Selections, EntryCount and the unknown-site entries and sets
// the chosen flags; flags that are already set stay set.
void applyConfig(const LoadedConfig &config, State &state);

} // namespace stormtap
