// SITES.DAT and GLAVEN.CFG replaced by what a user (or a mistake) may put in
// their place: each is refused at once with a message naming the file, and
// nothing is read from it. A reader that blocked or grew would hang this test.
#include "TestFiles.h"
#include "catalogue/Catalogue.h"
#include "catalogue/UserFile.h"
#include "config/ConfigReader.h"
#include "config/ConfigWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace stormtap;

namespace {

enum class Special { Fifo, LinkToFifo, DevZero, LinkToDevZero, Directory, TooLarge, DanglingLink };

// Puts the special file at `path`; false when this system cannot make it.
bool makeSpecial(Special kind, const QString &path, const QTemporaryDir &dir)
{
    const QString fifo = dir.filePath("fifo");
    switch (kind) {
    case Special::Fifo: return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Special::LinkToFifo:
        return ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 && QFile::link(fifo, path);
    case Special::DevZero: // the device itself, which only root may make
        return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    case Special::LinkToDevZero: return QFile::exists("/dev/zero") && QFile::link("/dev/zero", path);
    case Special::Directory: return QDir(dir.path()).mkdir(QFileInfo(path).fileName());
    case Special::TooLarge: {
        QFile file(path); // sparse: costs no disk space
        return file.open(QIODevice::WriteOnly) && file.resize(MaxUserFileBytes + 1);
    }
    case Special::DanglingLink: return QFile::link(dir.filePath("nowhere"), path);
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Special)

class TestUserFiles : public QObject {
    Q_OBJECT
private slots:
    void specialFilesAreRefused_data();
    void specialFilesAreRefused();
    void saveNeverReplacesASpecialFile_data();
    void saveNeverReplacesASpecialFile();
    void regularFilesAreRead();
    void sixteenMebibytesAreRead();
};

void TestUserFiles::specialFilesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Special>("kind");
    QTest::addColumn<QString>("reason");
    const QString notRegular = "it is not a regular file";
    for (const QString name : {"GLAVEN.CFG", "SITES.DAT"}) {
        const QByteArray n = name.toLatin1();
        QTest::newRow(n + " FIFO") << name << Special::Fifo << notRegular;
        QTest::newRow(n + " link to a FIFO") << name << Special::LinkToFifo << notRegular;
        QTest::newRow(n + " the device /dev/zero") << name << Special::DevZero << notRegular;
        QTest::newRow(n + " link to /dev/zero") << name << Special::LinkToDevZero << notRegular;
        QTest::newRow(n + " directory") << name << Special::Directory << "it is a directory";
        QTest::newRow(n + " too large") << name << Special::TooLarge << "it is larger than 16 MiB";
        QTest::newRow(n + " dangling link") << name << Special::DanglingLink << "No such file or directory";
    }
}

void TestUserFiles::specialFilesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(Special, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!makeSpecial(kind, path, dir))
        QSKIP("this system cannot make that kind of file here");

    QString problem;
    if (name == "SITES.DAT") {
        const SitesFile sites = openSitesFile(path);
        QVERIFY(sites.bytes.isEmpty());
        problem = sites.problem;
    } else {
        State state;
        state.settings.Server = "kept";
        const LoadedConfig config = loadConfig(path, state, 1);
        QVERIFY(config.entries.empty());
        problem = config.problem;
    }
    QVERIFY2(problem.startsWith("Cannot read " + QDir::toNativeSeparators(path) + ": "), qPrintable(problem));
    QVERIFY2(problem.contains(reason), qPrintable(problem));
    QVERIFY(QFileInfo(path).isSymLink() || QFileInfo(path).exists()); // left as it was
}

void TestUserFiles::saveNeverReplacesASpecialFile_data()
{
    QTest::addColumn<Special>("kind");
    QTest::addColumn<QString>("reason");
    // A link to /dev/zero itself is left out: run as root, a faulty Save would
    // replace the system's device.
    QTest::newRow("FIFO") << Special::Fifo << "it is not a regular file";
    QTest::newRow("link to a FIFO") << Special::LinkToFifo << "it is not a regular file";
    QTest::newRow("a zero device") << Special::DevZero << "it is not a regular file";
    QTest::newRow("directory") << Special::Directory << "it is a directory";
}

void TestUserFiles::saveNeverReplacesASpecialFile()
{
    QFETCH(Special, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    if (!makeSpecial(kind, path, dir))
        QSKIP("this system cannot make that kind of file here");
    const bool wasLink = QFileInfo(path).isSymLink();

    const QString problem = writeConfig(path, {"s", "80", "u", "p", "/d/"}, State());
    QCOMPARE(problem, "Cannot save " + QDir::toNativeSeparators(path) + ": " + reason +
                          (kind == Special::Directory ? "." : " (a pipe, a device or a socket)."));
    QCOMPARE(QFileInfo(path).isSymLink(), wasLink);
    QVERIFY(!QFileInfo(path).isFile());
}

void TestUserFiles::regularFilesAreRead()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("real"), "\"KAAA Albany, NY\",\"KAAA\",1\r\n"));
    QVERIFY(QFile::link(dir.filePath("real"), dir.filePath("SITES.DAT")));
    const SitesFile sites = openSitesFile(dir.filePath("SITES.DAT")); // through the link
    QCOMPARE(sites.problem, QString());
    QCOMPARE(sites.bytes, QByteArray("\"KAAA Albany, NY\",\"KAAA\",1\r\n"));

    const UserFile missing = readUserFile(dir.filePath("GLAVEN.CFG"));
    QVERIFY(missing.missing);
    QCOMPARE(missing.problem, QString());
}

void TestUserFiles::sixteenMebibytesAreRead()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("GLAVEN.CFG"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(MaxUserFileBytes));
    file.close();
    const UserFile read = readUserFile(file.fileName());
    QCOMPARE(read.problem, QString());
    QCOMPARE(read.bytes.size(), MaxUserFileBytes);
}

QTEST_GUILESS_MAIN(TestUserFiles)
#include "test_user_files.moc"
