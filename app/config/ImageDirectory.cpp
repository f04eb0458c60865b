#include "ImageDirectory.h"

#include "MakeDirectories.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace stormtap {

QString withTrailingSeparator(const QString &directory)
{
    if (directory.isEmpty() || directory.endsWith(QDir::separator()) || directory.endsWith(QLatin1Char('/')))
        return directory;
    return directory + QDir::separator();
}

QString imageDirectoryPath(const QString &directory, const QString &programDirectory)
{
    if (directory.isEmpty())
        return directory;
    // File names are appended to it, so it always ends with a separator.
    return QDir::toNativeSeparators(QDir(programDirectory).filePath(withTrailingSeparator(directory)));
}

bool inPicturesFolder(const QString &path)
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && !path.isEmpty() &&
           QDir::cleanPath(path).startsWith(QDir::cleanPath(pictures) + QLatin1Char('/'));
}

QString createImageDirectory(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return QString();
    const QString reason = makeDirectories(path);
    if (reason.isEmpty())
        return QString();
    return QStringLiteral("the image directory %1 cannot be made: %2").arg(QDir::toNativeSeparators(path), reason);
}

QString imageDirectoryProblem(const QString &directory)
{
    if (directory.isEmpty())
        return QStringLiteral("no image directory is set");
    const QString shown = QDir::toNativeSeparators(directory);
    const QFileInfo info(directory);
    if (!info.exists())
        return QStringLiteral("the image directory %1 does not exist").arg(shown);
    if (!info.isDir())
        return QStringLiteral("the image directory %1 is not a directory").arg(shown);
    if (!info.isWritable())
        return QStringLiteral("the image directory %1 cannot be written to").arg(shown);
    return QString();
}

} // namespace stormtap
