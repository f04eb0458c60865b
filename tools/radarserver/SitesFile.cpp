#include "SitesFile.h"

#include "catalogue/Catalogue.h"
#include "state/Products.h"

#include <QFile>

bool readProductImagePaths(const QString &fileName, QStringList *paths, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = fileName + QStringLiteral(": ") + file.errorString();
        return false;
    }
    stormtap::State catalogue;
    const QString problem = stormtap::readCatalogue(file.readAll(), catalogue);
    if (!problem.isEmpty()) {
        *error = fileName + QStringLiteral(": ") + problem;
        return false;
    }
    for (int site = 0; site <= catalogue.LastSiteIndex; ++site) {
        for (int product = 0; product < stormtap::ProductCount; ++product)
            paths->append(stormtap::productImagePath(catalogue.Sites[site].ImagePath, product));
    }
    return true;
}
