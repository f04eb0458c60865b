#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace stormtap {

// Names and writes the image files: time-stamp names (prefix_HHMM.gif) or
// sequential names (prefix1.gif ... prefix9.gif, rotated so that at most nine
// files per prefix take part).

// The base of an entry's file names: the first 7 characters of its image path.
QString filePrefix(const QString &imagePath);

// False for a name that could leave the image directory: a path separator or
// "..". Only a hand-edited GLAVEN.CFG or SITES.DAT (or a server's odd header)
// can bring one.
bool isSafeFileName(const QString &name);

// prefix + "_" + hour + minute + ".gif", the time taken after the first ":" of
// a Last-Modified value; empty when the value holds no usable time.
QString timeStampName(const QString &prefix, const QString &lastModified);

// prefix + number + ".gif"; the number is 9 once the sequence is past 9.
QString sequentialName(const QString &prefix, qint16 sequenceNumber);

// Deletes prefix1.gif and moves 2..9 down by one, skipping missing files. False,
// with the reason, when a file that exists cannot be deleted or renamed.
bool rotateSequentialFiles(const QString &directory, const QString &prefix, QString *error);

// The name for a new image under the naming mode, rotating first when a
// sequential name is past 9. Empty, with the reason, when no name can be made.
QString buildImageFileName(const QString &directory, quint8 namingMode, const QString &prefix, qint16 sequenceNumber,
                           const QString &lastModified, QString *error);

// Replaces the file with exactly `bytes`; the earlier file stays whole until the
// new one is complete.
bool writeImageFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace stormtap
