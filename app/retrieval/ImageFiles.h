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

// Why an entry cannot be fetched safely, checked before any request: "unsafe
// image path" (isSafeImagePath), "unsafe file name" (its prefix names its
// files); empty when it can.
QString unsafePathReason(const QString &imagePath);

// prefix + "_" + hour + minute + ".gif", the time taken from a Last-Modified
// value (timeFromLastModified); empty when the value holds no time.
QString timeStampName(const QString &prefix, const QString &lastModified);

// prefix + number + ".gif"; the number is 9 once the sequence is past 9.
QString sequentialName(const QString &prefix, qint16 sequenceNumber);

// True when storing a picture under this sequence number first moves the older
// files down: the sequence is past 9, so the picture becomes file 9.
inline bool rotatesFirst(quint8 namingMode, qint16 sequenceNumber) { return namingMode != 0 && sequenceNumber > 9; }

// Deletes prefix1.gif and moves 2..9 down by one, skipping missing files; a
// symbolic link is moved as a link. False, with the reason, when a file that
// exists cannot be deleted or renamed.
bool rotateSequentialFiles(const QString &directory, const QString &prefix, QString *error);

// The name for a new image under the naming mode; touches no file. The prefix
// has passed unsafePathReason; the time from Last-Modified is digits only. Empty,
// with "no time in Last-Modified", when no time-stamp name can be made.
QString buildImageFileName(quint8 namingMode, const QString &prefix, qint16 sequenceNumber, const QString &lastModified,
                           QString *error);

// Stores a new picture as `directory` + `name`. The bytes go to a temporary file
// in the directory first, every write checked; only once they are safely there
// are the older files rotated (when `rotate`) and the picture moved into place.
// So a failed write (a full disk, a missing directory) leaves every file as it
// was, and a file of that name that is a symbolic link is replaced as a link,
// never written through. False with "cannot write <name>: <system reason>" (or
// the rotation's reason).
bool storeImageFile(const QString &directory, const QString &name, const QString &prefix, bool rotate,
                    const QByteArray &bytes, QString *error);

} // namespace stormtap
