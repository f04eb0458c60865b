#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

// A real file system of a few pages (tmpfs), mounted for one test and filled up
// on request, so that writes fail as on a full disk. Mounting needs root (or a
// namespace that allows it); without it `mounted()` is false and the test skips.
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kibibytes = 256)
    {
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0700";
        m_mounted = m_dir.isValid() &&
                    ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    // The mounted directory, ending with "/".
    QString path() const { return m_dir.path() + QLatin1Char('/'); }

    // Takes every free byte with a file of its own; true once a write failed
    // for want of space.
    bool fill()
    {
        QFile filler(fillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        // The last page may take a few bytes still.
        while (filler.write("f", 1) == 1) {
        }
        return filler.error() == QFileDevice::WriteError || filler.error() == QFileDevice::ResourceError;
    }

    // Gives the space that fill() took back.
    bool release() { return QFile::remove(fillerPath()); }

private:
    QString fillerPath() const { return path() + QStringLiteral(".filler"); }

    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// The reason tests give when they cannot mount one.
#define SMALL_FILE_SYSTEM_OR_SKIP(fs)                                                                                  \
    if (!(fs).mounted())                                                                                               \
        QSKIP("cannot mount a small tmpfs here (needs root or CAP_SYS_ADMIN); the full-disk case is not tested");
