#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace stormtap {

// The most a user's text file may hold: far more than any SITES.DAT or
// GLAVEN.CFG, far less than would exhaust memory.
constexpr qint64 MaxUserFileBytes = qint64(16) * 1024 * 1024;

struct UserFile {
    bool missing = false; // no file (nor link) of that name
    QByteArray bytes;
    QString problem; // why it cannot be read, without the path; empty when read
};

// Reads a file that the user may have replaced by anything. Only a regular file
// (or a link to one) of at most `maxBytes` is read; a FIFO, a device or a
// directory is refused without being read, so nothing here blocks or grows.
UserFile readUserFile(const QString &path, qint64 maxBytes = MaxUserFileBytes);

// Why a file may not be replaced by one the program writes: what stands there
// (after links) is a directory, a FIFO, a device or a socket. Empty for a
// regular file or none.
QString specialFileProblem(const QString &path);

} // namespace stormtap
