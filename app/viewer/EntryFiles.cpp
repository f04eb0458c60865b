#include "EntryFiles.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>

namespace stormtap::viewer {

namespace {

const QString Suffix = QStringLiteral(".gif");
constexpr int ShortestTime = 2;    // the hour always has its 2 characters
constexpr int LongestTime = 4;     // the minute may be cut short by the header's end
constexpr int MaxPrefixLength = 7; // the first 7 characters of an image path

} // namespace

int sequentialNumber(const QString &prefix, const QString &name)
{
    if (prefix.isEmpty() || name.size() != prefix.size() + 1 + Suffix.size())
        return 0;
    if (!name.startsWith(prefix) || !name.endsWith(Suffix))
        return 0;
    const QChar digit = name.at(prefix.size());
    return digit >= QLatin1Char('1') && digit <= QLatin1Char('9') ? digit.digitValue() : 0;
}

bool isTimeStampName(const QString &prefix, const QString &name)
{
    if (prefix.isEmpty() || !name.startsWith(prefix) || !name.endsWith(Suffix))
        return false;
    if (name.size() <= prefix.size() || name.at(prefix.size()) != QLatin1Char('_'))
        return false;
    const int timeLength = name.size() - prefix.size() - 1 - Suffix.size();
    return timeLength >= ShortestTime && timeLength <= LongestTime;
}

bool isEntryFileName(const QString &prefix, const QString &name)
{
    return sequentialNumber(prefix, name) > 0 || isTimeStampName(prefix, name);
}

namespace {

// Oldest first; ties (one second, on coarse file systems) by sequence number.
void sortByWriteTime(std::vector<ImageFile> &files, const QString &prefix)
{
    std::sort(files.begin(), files.end(), [&prefix](const ImageFile &a, const ImageFile &b) {
        if (a.written != b.written)
            return a.written < b.written;
        const int numberA = sequentialNumber(prefix, a.name);
        const int numberB = sequentialNumber(prefix, b.name);
        if (numberA != numberB)
            return numberA < numberB;
        return a.name < b.name;
    });
}

// Every prefix whose rules the name follows: the time-stamp readings first, the
// longest prefix first, as the time text may end in a digit. A name can follow
// more than one (KENX_12 is a time stamp of KENX and file 2 of KENX_1).
QStringList prefixesOfName(const QString &name)
{
    QStringList prefixes;
    const qsizetype stem = name.size() - Suffix.size();
    for (int timeLength = ShortestTime; timeLength <= LongestTime; ++timeLength) {
        const qsizetype length = stem - timeLength - 1;
        if (length >= 1 && isTimeStampName(name.left(length), name))
            prefixes.append(name.left(length));
    }
    if (stem >= 2 && sequentialNumber(name.left(stem - 1), name) > 0)
        prefixes.append(name.left(stem - 1));
    return prefixes;
}

} // namespace

FilesByPrefix groupByPrefix(const QFileInfoList &listing)
{
    FilesByPrefix groups;
    for (const QFileInfo &info : listing) {
        const QString name = info.fileName();
        for (const QString &prefix : prefixesOfName(name))
            groups[prefix].push_back({info.filePath(), name, info.lastModified(), info.size()});
    }
    for (auto group = groups.begin(); group != groups.end(); ++group)
        sortByWriteTime(group.value(), group.key());
    return groups;
}

QFileInfoList listImageDirectory(const QString &directory)
{
    if (directory.isEmpty())
        return {};
    // Unsorted: the entries order their files by time themselves.
    QFileInfoList listing;
    QDirIterator files(directory, QDir::Files);
    while (files.hasNext()) {
        files.next();
        if (files.fileName().endsWith(Suffix))
            listing.append(files.fileInfo());
    }
    return listing;
}

QStringList discoverPrefixes(const QFileInfoList &listing)
{
    QStringList prefixes;
    for (const QFileInfo &info : listing) {
        for (const QString &prefix : prefixesOfName(info.fileName())) {
            if (prefix.size() <= MaxPrefixLength) {
                prefixes.append(prefix);
                break;
            }
        }
    }
    prefixes.removeDuplicates();
    prefixes.sort();
    return prefixes;
}

} // namespace stormtap::viewer
