#include "ImageFiles.h"

#include "ImagePathSafety.h"
#include "LastModifiedTime.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace stormtap {

namespace {

QString numberedName(const QString &prefix, int number)
{
    return prefix + QString::number(number) + QStringLiteral(".gif");
}

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }

// A new file of its own in the directory, named so that it never passes for a
// picture. The descriptor, or -1 with errno set.
int createTemporary(const QString &directory, QByteArray *path)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        *path = nativePath(
            directory +
            QStringLiteral(".stormtap-%1.tmp").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
        // 0666 less the umask, as for any file the program creates.
        const int fd = ::open(path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Every byte written and on the disk, or errno set.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    // Some file systems report a full disk only here.
    return ::fsync(fd) == 0;
}

} // namespace

QString filePrefix(const QString &imagePath) { return imagePath.left(7); }

QString unsafePathReason(const QString &imagePath)
{
    if (!isSafeImagePath(imagePath))
        return QStringLiteral("unsafe image path");
    if (!isSafeFileName(filePrefix(imagePath)))
        return QStringLiteral("unsafe file name");
    return QString();
}

QString timeStampName(const QString &prefix, const QString &lastModified)
{
    const QString time = timeFromLastModified(lastModified);
    return time.isEmpty() ? QString() : prefix + QLatin1Char('_') + time + QStringLiteral(".gif");
}

QString sequentialName(const QString &prefix, qint16 sequenceNumber)
{
    return numberedName(prefix, sequenceNumber > 9 ? 9 : int(sequenceNumber));
}

bool rotateSequentialFiles(const QString &directory, const QString &prefix, QString *error)
{
    const QString first = numberedName(prefix, 1);
    if (::unlink(nativePath(directory + first).constData()) != 0 && errno != ENOENT) {
        *error = QStringLiteral("cannot delete %1: %2").arg(first, systemReason(errno));
        return false;
    }
    for (int i = 2; i <= 9; ++i) {
        const QString from = numberedName(prefix, i);
        // Every target has been emptied by the step before; a missing file is skipped.
        if (std::rename(nativePath(directory + from).constData(),
                        nativePath(directory + numberedName(prefix, i - 1)).constData()) != 0 &&
            errno != ENOENT) {
            *error = QStringLiteral("cannot rename %1: %2").arg(from, systemReason(errno));
            return false;
        }
    }
    return true;
}

QString buildImageFileName(quint8 namingMode, const QString &prefix, qint16 sequenceNumber, const QString &lastModified,
                           QString *error)
{
    if (namingMode != 0)
        return sequentialName(prefix, sequenceNumber);
    const QString name = timeStampName(prefix, lastModified);
    if (name.isEmpty())
        *error = QStringLiteral("no time in Last-Modified");
    return name;
}

bool storeImageFile(const QString &directory, const QString &name, const QString &prefix, bool rotate,
                    const QByteArray &bytes, QString *error)
{
    const auto cannotWrite = [&](int systemError) {
        *error = QStringLiteral("cannot write %1: %2").arg(name, systemReason(systemError));
        return false;
    };
    QByteArray temporary;
    const int fd = createTemporary(directory, &temporary);
    if (fd < 0)
        return cannotWrite(errno);
    const bool written = writeAll(fd, bytes);
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        const int reason = written ? errno : writeError;
        ::unlink(temporary.constData());
        return cannotWrite(reason);
    }
    if (rotate && !rotateSequentialFiles(directory, prefix, error)) {
        ::unlink(temporary.constData());
        return false;
    }
    // A rename replaces the name itself: a link there is replaced, not followed.
    if (std::rename(temporary.constData(), nativePath(directory + name).constData()) != 0) {
        const int reason = errno;
        ::unlink(temporary.constData());
        return cannotWrite(reason);
    }
    return true;
}

} // namespace stormtap
