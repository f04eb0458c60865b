#pragma once

#include <QString>
#include <QStringList>

// Every product's image path of every site of a SITES.DAT, read with the
// program's own catalogue reader. Returns false with a reason when the file
// cannot be read or is broken.
bool readProductImagePaths(const QString &fileName, QStringList *paths, QString *error);
