#include "ImagePathSafety.h"

#include <QByteArray>
#include <QList>

namespace stormtap {

namespace {

bool leavesItsPlace(const QByteArray &path)
{
    if (path.contains("..") || path.contains('\\'))
        return true;
    const QList<QByteArray> segments = path.split('/');
    for (const QByteArray &segment : segments) {
        if (segment == ".")
            return true;
    }
    return false;
}

} // namespace

bool isSafeImagePath(const QString &imagePath)
{
    const QByteArray raw = imagePath.toUtf8();
    // Escapes are decoded on the way to the server; what they decode to counts.
    return !leavesItsPlace(raw) && !leavesItsPlace(QByteArray::fromPercentEncoding(raw));
}

bool isSafeFileName(const QString &name)
{
    for (QChar c : name) {
        if (c.unicode() < 0x20) // a NUL would cut the name short
            return false;
    }
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QStringLiteral(".."));
}

} // namespace stormtap
