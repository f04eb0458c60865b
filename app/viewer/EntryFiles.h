#pragma once

#include <QDateTime>
#include <QFileInfoList>
#include <QHash>
#include <QString>

#include <vector>

namespace stormtap::viewer {

// One picture of an entry as it lies in the image directory.
struct ImageFile {
    QString path;
    QString name;
    QDateTime written; // the file's time of last change: when Stormtap stored it
    qint64 size = 0;

    bool operator==(const ImageFile &other) const
    {
        return path == other.path && written == other.written && size == other.size;
    }
    bool operator!=(const ImageFile &other) const { return !(*this == other); }
};

// The number of a sequential name (prefix + 1..9 + ".gif"), or 0 when the name
// is not one of the prefix's sequential files.
int sequentialNumber(const QString &prefix, const QString &name);

// True for prefix + "_" + the hour and minute text (2 to 4 characters) + ".gif".
bool isTimeStampName(const QString &prefix, const QString &name);

// True for either kind of name of the prefix.
bool isEntryFileName(const QString &prefix, const QString &name);

// The files of a listing under every prefix whose name rules they follow, oldest
// first in each group (by when they were written, ties broken by sequence number
// and name): one pass over the listing serves all entries.
using FilesByPrefix = QHash<QString, std::vector<ImageFile>>;
FilesByPrefix groupByPrefix(const QFileInfoList &listing);

// The regular files of a directory, read once for all its entries.
QFileInfoList listImageDirectory(const QString &directory);

// The prefixes that the picture names of a listing suggest, sorted; for a folder
// shown without a fetch list that describes it.
QStringList discoverPrefixes(const QFileInfoList &listing);

} // namespace stormtap::viewer
