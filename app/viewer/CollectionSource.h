#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace stormtap {
struct State;
}

namespace stormtap::viewer {

// What the viewer shows of one fetch-list entry: its file prefix and the text
// the fetch list gives it.
struct CollectionEntry {
    QString prefix;
    QString displayText;
};

// The collection to show: a folder and its entries. When `discover` is set, the
// entries are found from the picture names in the folder when it is read, and
// `entries` stays empty.
struct CollectionSource {
    QString directory;
    std::vector<CollectionEntry> entries;
    bool discover = false;
    QHash<QString, QString> catalogueNames; // prefix -> fetch-list line, for discovered prefixes
    QString problem;                        // what went wrong on the way; the viewer still opens
};

// Reads SITES.DAT from the program directory and GLAVEN.CFG by Stormtap's own
// rule, and takes the image directory and the fetch list from it. A folder given
// on the command line is shown instead of the configured one; unless it is the
// configured one, its entries are discovered from its picture names.
CollectionSource findCollection(const QString &programDirectory, const QString &folderArgument);

// The fetch list's entries, one per file prefix, in fetch-list order.
std::vector<CollectionEntry> entriesOfFetchList(const State &state);

// The fetch-list line of every site and product of the catalogue, by file prefix:
// the display text of a discovered prefix.
QHash<QString, QString> catalogueNamesByPrefix(const State &state);

} // namespace stormtap::viewer
