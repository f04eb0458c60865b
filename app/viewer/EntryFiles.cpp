#include "EntryFiles.h"

#include <QDir>
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

std::vector<ImageFile> entryFiles(const QFileInfoList &listing, const QString &prefix)
{
    struct Found {
        ImageFile file;
        int number;
    };
    std::vector<Found> found;
    for (const QFileInfo &info : listing) {
        const QString name = info.fileName();
        const int number = sequentialNumber(prefix, name);
        if (number == 0 && !isTimeStampName(prefix, name))
            continue;
        found.push_back({{info.filePath(), name, info.lastModified(), info.size()}, number});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        if (a.file.written != b.file.written)
            return a.file.written < b.file.written;
        if (a.number != b.number)
            return a.number < b.number;
        return a.file.name < b.file.name;
    });
    std::vector<ImageFile> files;
    files.reserve(found.size());
    for (Found &f : found)
        files.push_back(std::move(f.file));
    return files;
}

QFileInfoList listImageDirectory(const QString &directory)
{
    if (directory.isEmpty())
        return {};
    return QDir(directory).entryInfoList({QStringLiteral("*.gif")}, QDir::Files | QDir::Readable, QDir::Name);
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
