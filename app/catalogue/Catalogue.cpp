#include "Catalogue.h"

#include "ItemReader.h"
#include "LeadingNumber.h"
#include "UserFile.h"
#include "state/Text.h"

#include <QFile>

namespace stormtap {

SitesFile openSitesFile(const QString &path)
{
    UserFile read = readUserFile(path);
    if (read.missing) {
        // Opening for append creates the file without touching one that a
        // racing process might have made meanwhile.
        QFile file(path);
        if (!file.open(QIODevice::Append))
            return {{}, QStringLiteral("Cannot create %1: %2").arg(path, file.errorString())};
        return {{}, QString(), true};
    }
    if (!read.problem.isEmpty())
        return {{}, QStringLiteral("Cannot read %1: %2").arg(path, read.problem)};
    return {std::move(read.bytes), QString()};
}

QString readCatalogue(const QByteArray &bytes, State &state)
{
    ItemReader reader(bytes);
    int n = 0;
    QString problem;
    while (!reader.onlyBlankLinesLeft()) {
        const std::optional<QString> displayLine = reader.next();
        if (*displayLine == QLatin1String("end"))
            break;
        if (n == SiteSlots) {
            problem = QStringLiteral("it holds more than %1 sites; only the first %1 are used").arg(SiteSlots);
            break;
        }
        const std::optional<QString> imagePath = reader.next();
        const std::optional<QString> regionMask = reader.next();
        if (!imagePath || !regionMask) {
            problem =
                QStringLiteral("it ends in the middle of site %1 (\"%2\")").arg(n + 1).arg(itemExcerpt(*displayLine));
            break;
        }
        SiteRecord &site = state.Sites[n];
        site.DisplayLine = *displayLine;
        site.ImagePath = *imagePath;
        site.RegionMask = quint8(leadingInteger(*regionMask, 0, 255));
        site.ProductChosen = {};
        ++n;
    }
    state.LastSiteIndex = qint16(n - 1);
    return problem;
}

int SiteSearch(const State &state, QString ID)
{
    ID = trimBlanks(ID);
    if (state.LastSiteIndex < 0)
        return -1;
    int i = 0;
    while (i != state.LastSiteIndex) {
        const QString &line = state.Sites[i].DisplayLine;
        // An empty line contains nothing, not even the empty text.
        if (!line.isEmpty() && line.contains(ID, Qt::CaseSensitive))
            break;
        ++i;
    }
    return i;
}

QStringList regionSiteLines(const State &state, int region)
{
    QStringList lines;
    for (int i = 0; i <= state.LastSiteIndex; ++i) {
        if (region == AllRegions || (state.Sites[i].RegionMask & (1u << region)) != 0)
            lines << state.Sites[i].DisplayLine;
    }
    return lines;
}

bool siteLineLess(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

} // namespace stormtap
