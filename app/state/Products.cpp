#include "Products.h"

#include "Text.h"

namespace stormtap {

const std::array<Product, ProductCount> Products = {{
    {"Tilt 1 Base Reflecivity", true, "Base Reflectivity", ""},
    {"Tilt 1 Base Velocity", true, "Base Velocity", "anbv.gif"},
    {"1-Hour Total Precipitation", true, "1-Hr Precip Total", "xn1r.gif"},
    {"3-Hour Total Precipitation", false, "3-Hr Precip Total", "xn3r.gif"},
    {"Storm Total Precipitation", false, "Storm Precip Total", "xnsr.gif"},
    {"Composite Reflecivity", false, "Composite Reflectivity", "xnat.gif"},
}};

QString paddedSiteName(const QString &displayLine)
{
    QString name = trimBlanks(displayLine.mid(5));
    while (name.size() <= 13)
        name += QLatin1Char(' ');
    return name;
}

QString fetchListLine(const QString &displayLine, int product)
{
    return paddedSiteName(displayLine) + QLatin1Char(' ') + QLatin1String(Products[product].listName);
}

QString productImagePath(const QString &siteImagePath, int product)
{
    return siteImagePath + QLatin1String(Products[product].suffix);
}

} // namespace stormtap
