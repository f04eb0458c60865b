#include "LastModifiedTime.h"

namespace stormtap {

namespace {
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
} // namespace

QString timeFromLastModified(const QString &lastModified)
{
    const qsizetype colon = lastModified.indexOf(QLatin1Char(':'));
    if (colon < 2 || colon + 2 >= lastModified.size())
        return QString();
    const QString time = lastModified.mid(colon - 2, 2) + lastModified.mid(colon + 1, 2);
    for (QChar c : time) {
        if (!isDigit(c))
            return QString();
    }
    return time;
}

} // namespace stormtap
