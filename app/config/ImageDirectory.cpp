#include "ImageDirectory.h"

#include <QDir>

namespace stormtap {

QString withTrailingSeparator(const QString &directory)
{
    if (directory.endsWith(QDir::separator()) || directory.endsWith(QLatin1Char('/')))
        return directory;
    return directory + QDir::separator();
}

} // namespace stormtap
