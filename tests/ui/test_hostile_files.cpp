// SITES.DAT and GLAVEN.CFG replaced by a FIFO, a link to /dev/zero or a huge
// file, met through the real window: it appears, Configure answers at once with
// a message naming the file, and what the program held stays. A reader that
// blocked or grew would hang this test until its time limit.
#include "WindowFixture.h"

#include "catalogue/UserFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace stormtap;

namespace {

const QByteArray OneSite = "\"KCCC Chicago, IL\",KCCC,2\r\n";
const QByteArray Config = "\"radar.example\"\r\n8080\r\n\"me\"\r\n\"secret\"\r\n15\r\n20\r\n1\r\n\"/srv/images/\"\r\n"
                          "\"KCCCanbv.gif\"\r\n\"Chicago, IL    Base Velocity\"\r\n1\r\n";

// Replaces the file at `path`; false when this system cannot make the kind.
bool replaceBySpecial(const QString &kind, const QString &path)
{
    QFile::remove(path);
    const QString fifo = path + ".fifo";
    if (kind == "FIFO")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == "link to a FIFO")
        return ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 && QFile::link(fifo, path);
    if (kind == "link to /dev/zero")
        return QFile::exists("/dev/zero") && QFile::link("/dev/zero", path);
    QFile file(path); // sparse: costs no disk space
    return file.open(QIODevice::WriteOnly) && file.resize(MaxUserFileBytes + 1);
}

void addKinds()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("FIFO") << "FIFO"
                          << "it is not a regular file";
    QTest::newRow("link to a FIFO") << "link to a FIFO"
                                    << "it is not a regular file";
    QTest::newRow("link to /dev/zero") << "link to /dev/zero"
                                       << "it is not a regular file";
    QTest::newRow("over 16 MiB") << "huge"
                                 << "it is larger than 16 MiB";
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void sitesFileStillShowsTheWindow_data() { addKinds(); }
    void sitesFileStillShowsTheWindow();
    void configureKeepsWhatIsHeld_data() { addKinds(); }
    void configureKeepsWhatIsHeld();
};

void TestHostileFiles::sitesFileStillShowsTheWindow()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("SITES.DAT");
    if (!replaceBySpecial(kind, path))
        QSKIP("this system cannot make that kind of file here");
    QStringList messages;
    setMessageHandler([&](QMessageBox::Icon, const QString &, const QString &text) { messages << text; });
    State state;
    const std::unique_ptr<frmMain> window = startUp(state, dir.path());
    setMessageHandler({});

    QVERIFY(window->isVisible());
    QCOMPARE(int(state.LastSiteIndex), -1);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(QDir::toNativeSeparators(path) + ": " + reason), qPrintable(messages[0]));
}

void TestHostileFiles::configureKeepsWhatIsHeld()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    WindowFixture fixture(OneSite);
    const QString path = fixture.dir.filePath("GLAVEN.CFG");
    fixture.writeFile("GLAVEN.CFG", Config);
    click(fixture.window->Command1[0]);   // Configure
    click(fixture.window->SSCommand1[1]); // Exit
    QVERIFY(fixture.messages.empty());
    if (!replaceBySpecial(kind, path))
        QSKIP("this system cannot make that kind of file here");

    click(fixture.window->Command1[0]);
    QCOMPARE(fixture.messages.size(), size_t(1));
    QVERIFY2(fixture.messages[0].text.contains(QDir::toNativeSeparators(path) + ": " + reason),
             qPrintable(fixture.messages[0].text));
    QCOMPARE(fixture.state.settings.Server, QStringLiteral("radar.example"));
    QCOMPARE(fixture.state.EntryCount, qint16(1));
    QCOMPARE(lines(fixture.find<QListWidget>("List2")), QStringList{"Chicago, IL    Base Velocity"});
}

QTEST_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
