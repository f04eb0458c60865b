#pragma once

#include "State.h"

#include <QString>

namespace stormtap {

// One row per product, indexed by product index: the check box on the Radar
// Sites page, the name in the fetch list and the suffix of the image path.
struct Product {
    const char *caption;
    bool shown;
    const char *listName;
    const char *suffix;
};

extern const std::array<Product, ProductCount> Products;

// The site name from character 6 of a display line, trimmed and padded with
// blanks until it is longer than 13 characters.
QString paddedSiteName(const QString &displayLine);

// The fetch-list line of one site and product.
QString fetchListLine(const QString &displayLine, int product);

// The image path of one product of a site.
QString productImagePath(const QString &siteImagePath, int product);

} // namespace stormtap
