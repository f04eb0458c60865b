#include "EntryFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>

#include <algorithm>

namespace stormtap::viewer {

namespace {

const QString Suffix = QStringLiteral(".gif");
constexpr int ShortestTime = 2; // the hour always has its 2 characters
constexpr int LongestTime = 4;  // the minute may be cut short by the header's end

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

} // namespace

std::vector<ImageFile> entryFiles(const QFileInfoList &listing, const QString &prefix)
{
    std::vector<ImageFile> files;
    for (const QFileInfo &info : listing) {
        const QString name = info.fileName();
        if (isEntryFileName(prefix, name))
            files.push_back({info.filePath(), name, info.lastModified(), info.size()});
    }
    sortByWriteTime(files, prefix);
    return files;
}

FilesByPrefix groupByPrefix(const QFileInfoList &listing)
{
    FilesByPrefix groups;
    for (const QFileInfo &info : listing) {
        const QString name = info.fileName();
        if (!name.endsWith(Suffix))
            continue;
        const QString stem = name.chopped(Suffix.size());
        ImageFile file{info.filePath(), name, info.lastModified(), info.size()};
        // A name can follow the rules of more than one prefix (KENX_12 is a time
        // stamp of KENX and file 2 of KENX_1): it joins each group.
        const QChar last = stem.isEmpty() ? QChar() : stem.back();
        if (stem.size() > 1 && last >= QLatin1Char('1') && last <= QLatin1Char('9'))
            groups[stem.chopped(1)].push_back(file);
        for (int timeLength = ShortestTime; timeLength <= LongestTime; ++timeLength) {
            const int underscore = stem.size() - timeLength - 1;
            if (underscore >= 1 && stem.at(underscore) == QLatin1Char('_'))
                groups[stem.left(underscore)].push_back(file);
        }
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
    // A "_" and two to four characters read as a time stamp first, as the time
    // text may end in a digit.
    static const QRegularExpression timeStamp(QStringLiteral("^(.{1,7})_.{2,4}\\.gif$"));
    static const QRegularExpression sequential(QStringLiteral("^(.{1,7})[1-9]\\.gif$"));
    QStringList prefixes;
    for (const QFileInfo &info : listing) {
        const QString name = info.fileName();
        for (const QRegularExpression *pattern : {&timeStamp, &sequential}) {
            const QRegularExpressionMatch match = pattern->match(name);
            if (match.hasMatch()) {
                prefixes.append(match.captured(1));
                break;
            }
        }
    }
    prefixes.removeDuplicates();
    prefixes.sort();
    return prefixes;
}

} // namespace stormtap::viewer
