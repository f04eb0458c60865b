#include "UserFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stormtap {

namespace {

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString sizeText(qint64 bytes)
{
    return bytes % (1024 * 1024) == 0 ? QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024))
                                      : QStringLiteral("%1 bytes").arg(bytes);
}

QString typeProblem(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a directory");
    return QStringLiteral("it is not a regular file (a pipe, a device or a socket)");
}

} // namespace

QString specialFileProblem(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    return typeProblem(info.st_mode);
}

UserFile readUserFile(const QString &path, qint64 maxBytes)
{
    UserFile result;
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        const int error = errno;
        struct stat link {};
        // A file where a folder of the path should be means the file is not there either.
        const bool absent = error == ENOENT || error == ENOTDIR;
        result.missing = absent && ::lstat(name.constData(), &link) != 0;
        if (!result.missing)
            result.problem = systemReason(error);
        return result;
    }
    // Checked before opening: opening a FIFO would wait for a writer.
    if (!S_ISREG(info.st_mode)) {
        result.problem = typeProblem(info.st_mode);
        return result;
    }
    // Non-blocking and checked again, in case the file was swapped meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.problem = systemReason(errno);
        return result;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.problem = S_ISREG(info.st_mode) ? systemReason(errno) : typeProblem(info.st_mode);
        ::close(fd);
        return result;
    }
    const QString tooLarge = QStringLiteral("it is larger than %1").arg(sizeText(maxBytes));
    if (info.st_size > maxBytes) {
        result.problem = tooLarge;
        ::close(fd);
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        result.problem = file.errorString();
        ::close(fd);
        return result;
    }
    // One byte more than expected tells a file that grew while it was read.
    result.bytes = file.read(qMin<qint64>(info.st_size, maxBytes) + 1);
    if (result.bytes.size() > info.st_size && result.bytes.size() <= maxBytes)
        result.bytes += file.read(maxBytes + 1 - result.bytes.size());
    if (file.error() != QFileDevice::NoError) {
        result.problem = file.errorString();
        result.bytes.clear();
    } else if (result.bytes.size() > maxBytes) {
        result.problem = tooLarge;
        result.bytes.clear();
    }
    return result;
}

} // namespace stormtap
