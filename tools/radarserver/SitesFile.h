#pragma once

#include <QString>
#include <QStringList>

// Reads the image paths of a SITES.DAT: triples of display line, image path and
// region mask, items separated by commas or line ends, optionally in double
// quotes, the list ending at a display line "end" or at the end of the file.
// Returns false with a reason when the file cannot be read.
bool readSiteImagePaths(const QString &fileName, QStringList *paths, QString *error);

// Every product's image path of each site, in the order the program knows them.
QStringList productImagePaths(const QStringList &sitePaths);
