#include "CollectionModel.h"
#include "CollectionSource.h"
#include "Pictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace stormtap::viewer;

namespace {

const QByteArray Sites = "\"KENX Albany, NY\"\r\n\"KENX\"\r\n1\r\n"
                         "\"KOKX New York City, NY\"\r\n\"KOKX\"\r\n1\r\n"
                         "\"KFFC Atlanta, GA\"\r\n\"KFFC\"\r\n2\r\n";

QByteArray config(const QString &imageDirectory)
{
    return "\"127.0.0.1\"\r\n8080\r\n\"demo\"\r\n\"demo\"\r\n3\r\n30000\r\n1\r\n\"" + imageDirectory.toUtf8() +
           "\"\r\n"
           "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n"
           "\"KENXanbv.gif\"\r\n\"Albany, NY     Base Velocity\"\r\n1\r\n"
           "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n"
           "\"KFFCxn1r.gif\"\r\n\"Atlanta, GA    1-Hr Precip Total\"\r\n2\r\n";
}

QStringList prefixes(const CollectionSource &source)
{
    QStringList result;
    for (const CollectionEntry &entry : source.entries)
        result << entry.prefix;
    return result;
}

} // namespace

class TestCollectionSource : public QObject {
    Q_OBJECT
private slots:
    void init();
    void configuredCollection();
    void configuredFolderNamedOnTheCommandLine();
    void otherFolderIsDiscovered();
    void missingFolderIsSaid();
    void configuredFolderNotThereYet();
    void noConfigurationYet();
    void brokenConfigurationIsSaid();

private:
    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_images;
};

void TestCollectionSource::init()
{
    m_program = std::make_unique<QTemporaryDir>();
    m_images = std::make_unique<QTemporaryDir>();
    QVERIFY(writeFile(m_program->filePath(QStringLiteral("SITES.DAT")), Sites));
}

void TestCollectionSource::configuredCollection()
{
    QVERIFY(writeFile(m_program->filePath(QStringLiteral("GLAVEN.CFG")), config(m_images->path() + QLatin1Char('/'))));
    const CollectionSource source = findCollection(m_program->path(), QString());
    QCOMPARE(source.problem, QString());
    QCOMPARE(source.directory, m_images->path() + QLatin1Char('/'));
    QVERIFY(!source.discover);
    // One tile per prefix, in fetch-list order; blanks of the display text folded.
    QCOMPARE(prefixes(source), (QStringList{"KENX", "KENXanb", "KFFCxn1"}));
    QCOMPARE(source.entries[1].displayText, QStringLiteral("Albany, NY Base Velocity"));
}

void TestCollectionSource::configuredFolderNamedOnTheCommandLine()
{
    QVERIFY(writeFile(m_program->filePath(QStringLiteral("GLAVEN.CFG")), config(m_images->path() + QLatin1Char('/'))));
    const CollectionSource source = findCollection(m_program->path(), m_images->path() + QStringLiteral("/./"));
    QVERIFY(!source.discover);
    QCOMPARE(prefixes(source), (QStringList{"KENX", "KENXanb", "KFFCxn1"}));
}

void TestCollectionSource::otherFolderIsDiscovered()
{
    QVERIFY(writeFile(m_program->filePath(QStringLiteral("GLAVEN.CFG")), config(m_images->path() + QLatin1Char('/'))));
    QTemporaryDir other;
    for (const char *name : {"KOKX1.gif", "KOKX2.gif", "KENXanb_0812.gif", "ABCDEFG3.gif", "readme.txt"})
        QVERIFY(writeFile(other.filePath(QLatin1String(name)), "GIF87a"));
    const CollectionSource source = findCollection(m_program->path(), other.path());
    QCOMPARE(source.problem, QString());
    QCOMPARE(source.directory, other.path());
    QVERIFY(source.discover);
    QVERIFY(source.entries.empty()); // found when the folder is read

    CollectionModel model;
    model.setSource(source);
    QStringList found;
    for (int row = 0; row < model.rowCount(); ++row)
        found << model.entry(row).prefix;
    QCOMPARE(found, (QStringList{"ABCDEFG", "KENXanb", "KOKX"}));
    // Named from the catalogue where a site and product have the prefix.
    QCOMPARE(model.entry(0).displayText, QStringLiteral("ABCDEFG"));
    QCOMPARE(model.entry(1).displayText, QStringLiteral("Albany, NY Base Velocity"));
    QCOMPARE(model.entry(2).displayText, QStringLiteral("New York City, NY Base Reflectivity"));
    QCOMPARE(int(model.files(2).size()), 2);

    // A new prefix in the folder becomes a new entry.
    QVERIFY(writeFile(other.filePath(QStringLiteral("KFFCxn1_0812.gif")), "GIF87a"));
    model.refresh();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.entry(3).displayText, QStringLiteral("Atlanta, GA 1-Hr Precip Total"));
}

void TestCollectionSource::missingFolderIsSaid()
{
    const QString gone = m_images->filePath(QStringLiteral("gone"));
    const CollectionSource source = findCollection(m_program->path(), gone);
    QVERIFY(source.entries.empty());
    QCOMPARE(source.problem, QStringLiteral("%1 is no folder: its pictures show as soon as it is made.")
                                 .arg(QDir::toNativeSeparators(gone)));
}

void TestCollectionSource::configuredFolderNotThereYet()
{
    const QString later = m_images->filePath(QStringLiteral("later/"));
    QVERIFY(writeFile(m_program->filePath(QStringLiteral("GLAVEN.CFG")), config(later)));
    const CollectionSource source = findCollection(m_program->path(), QString());
    QCOMPARE(prefixes(source), (QStringList{"KENX", "KENXanb", "KFFCxn1"}));
    QCOMPARE(source.problem, QStringLiteral("The image directory %1 is not there yet: its pictures show as soon as "
                                            "Stormtap stores them.")
                                 .arg(QDir::toNativeSeparators(later)));
}

void TestCollectionSource::noConfigurationYet()
{
    const CollectionSource source = findCollection(m_program->path(), QString());
    QVERIFY(source.entries.empty());
    QVERIFY(source.directory.isEmpty());
    QVERIFY2(source.problem.startsWith(QStringLiteral("No image directory is set up yet")), qPrintable(source.problem));
}

void TestCollectionSource::brokenConfigurationIsSaid()
{
    QVERIFY(writeFile(m_program->filePath(QStringLiteral("GLAVEN.CFG")), "\"127.0.0.1\"\r\n8080\r\n"));
    const CollectionSource source = findCollection(m_program->path(), QString());
    QVERIFY(source.entries.empty());
    QVERIFY2(source.problem.startsWith(QStringLiteral("Cannot use ")), qPrintable(source.problem));
    QVERIFY2(source.problem.contains(QStringLiteral("GLAVEN.CFG")), qPrintable(source.problem));
}

QTEST_GUILESS_MAIN(TestCollectionSource)
#include "test_collection_source.moc"
