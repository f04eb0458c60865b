#include "ImageDirectory.h"

#include <QDir>
#include <QFileInfo>

namespace stormtap {

QString withTrailingSeparator(const QString &directory)
{
    if (directory.endsWith(QDir::separator()) || directory.endsWith(QLatin1Char('/')))
        return directory;
    return directory + QDir::separator();
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
