#include "SmallFileSystem.h"
#include "TestFiles.h"
#include "config/ConfigReader.h"
#include "config/ConfigWriter.h"
#include "config/ImageDirectory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using namespace stormtap;

namespace {

// A catalogue of three sites; the second is named with 13, the third with 14
// characters.
void addSites(State &state)
{
    const char *sites[][2] = {{"KAAA Abc", "abc"}, {"KBBB 13 letters ab", "bbb"}, {"KCCC 14 letters abc", "ccc"}};
    for (int i = 0; i < 3; ++i) {
        state.Sites[i].DisplayLine = QLatin1String(sites[i][0]);
        state.Sites[i].ImagePath = QLatin1String(sites[i][1]);
    }
    state.LastSiteIndex = 2;
}

State catalogueState()
{
    State state;
    addSites(state);
    state.settings.RefreshMinutes = 15;
    state.settings.LoopCount = 20;
    state.settings.NamingMode = 1;
    return state;
}

const ConfigFields PlainFields{"radar.example", "8080", "me", "secret", "/srv/images/"};

const QByteArray PlainHeader =
    "\"radar.example\"\r\n8080\r\n\"me\"\r\n\"secret\"\r\n15\r\n20\r\n1\r\n\"/srv/images/\"\r\n";

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void writesHeaderAndEntriesInOrder();
    void readsEntries();
    void entryOfAVanishedSiteIsKeptApart();
    void unknownSiteEntriesAreWrittenBackUnchanged();
    void emptyCatalogueMarksNothing();
    void readsThePlainQuotedForm();
    void textsReadBackAsTyped_data();
    void textsReadBackAsTyped();
    void numbersReadBack_data();
    void numbersReadBack();
    void malformedFilesAreRefused_data();
    void malformedFilesAreRefused();
    void thousandEntriesAreTheLimit();
    void saveNeverWritesMoreEntriesThanAreRead();
    void missingFileGivesFirstRunSettings();
    void hugeNumbersReadAsTheLargestAllowed_data();
    void hugeNumbersReadAsTheLargestAllowed();
    void unreadableFileIsNamed();
    void saveRefusesBadFields_data();
    void saveRefusesBadFields();
    void savedFileIsTheOwnersOnly();
    void saveOnAFullDiskKeepsTheFile();
    void imageDirectoryEndsWithSeparator_data();
    void imageDirectoryEndsWithSeparator();
    void imageDirectoryIsTakenFromTheProgramDirectory_data();
    void imageDirectoryIsTakenFromTheProgramDirectory();
    void missingImageDirectoryIsMade();
    void unusableImageDirectoryIsNamed_data();
    void unusableImageDirectoryIsNamed();
};

void TestConfigFile::writesHeaderAndEntriesInOrder()
{
    State state = catalogueState();
    QCOMPARE(configBytes(PlainFields, 8080, state), PlainHeader); // no product: the header alone

    state.Sites[0].ProductChosen[2] = 1; // added before product 0, written after it
    state.Sites[0].ProductChosen[0] = 1;
    state.Sites[1].ProductChosen[5] = 1;
    state.Sites[2].ProductChosen[1] = 1;
    QCOMPARE(configBytes(PlainFields, 8080, state),
             PlainHeader + "\"abc\"\r\n\"Abc            Base Reflectivity\"\r\n0\r\n"
                           "\"abcxn1r.gif\"\r\n\"Abc            1-Hr Precip Total\"\r\n2\r\n"
                           "\"bbbxnat.gif\"\r\n\"13 letters ab  Composite Reflectivity\"\r\n5\r\n"
                           "\"cccanbv.gif\"\r\n\"14 letters abc Base Velocity\"\r\n1\r\n");
}

void TestConfigFile::readsEntries()
{
    State state = catalogueState();
    state.Sites[2].ProductChosen[1] = 1;
    state.Sites[0].ProductChosen[4] = 1;
    const QByteArray bytes = configBytes(PlainFields, 8080, state);

    State loaded;
    addSites(loaded);
    loaded.Sites[1].ProductChosen[3] = 1; // set by Add, not in the file: stays set
    const LoadedConfig config = parseConfig(bytes, loaded, 5);
    QVERIFY2(config.ok(), qPrintable(config.problem));
    applyConfig(config, loaded);

    QCOMPARE(loaded.settings.Server, QStringLiteral("radar.example"));
    QCOMPARE(loaded.settings.Port, 8080);
    QCOMPARE(loaded.settings.UserName, QStringLiteral("me"));
    QCOMPARE(loaded.settings.Password, QStringLiteral("secret"));
    QCOMPARE(loaded.settings.RefreshMinutes, 15.0);
    QCOMPARE(loaded.settings.LoopCount, qint16(20));
    QCOMPARE(loaded.settings.NamingMode, quint8(1));
    QCOMPARE(loaded.settings.ImageDirectory, QStringLiteral("/srv/images/"));
    QCOMPARE(loaded.EntryCount, qint16(2));
    QCOMPARE(loaded.Selections[1].ImagePath, QStringLiteral("abcxnsr.gif"));
    QCOMPARE(loaded.Selections[1].DisplayText, QStringLiteral("Abc            Storm Precip Total"));
    QCOMPARE(loaded.Selections[2].ImagePath, QStringLiteral("cccanbv.gif"));
    for (int i = 1; i <= 2; ++i) {
        QCOMPARE(loaded.Selections[i].SequenceNumber, qint16(5));
        QVERIFY(loaded.Selections[i].LastModified.isEmpty());
    }
    QCOMPARE(loaded.Sites[0].ProductChosen, (std::array<quint8, 6>{0, 0, 0, 0, 1, 0}));
    QCOMPARE(loaded.Sites[1].ProductChosen, (std::array<quint8, 6>{0, 0, 0, 1, 0, 0}));
    QCOMPARE(loaded.Sites[2].ProductChosen, (std::array<quint8, 6>{0, 1, 0, 0, 0, 0}));
    // Written again, the file is the same byte for byte (the Add-set flag aside).
    loaded.Sites[1].ProductChosen[3] = 0;
    QCOMPARE(configBytes(PlainFields, loaded.settings.Port, loaded), bytes);
}

void TestConfigFile::entryOfAVanishedSiteIsKeptApart()
{
    State state = catalogueState();
    const QByteArray bytes = PlainHeader + "\"gone\"\r\n\"Vanished site Base Velocity\"\r\n1\r\n"
                                           "\"cccxn1r.gif\"\r\n\"14 letters abc 1-Hr Precip Total\"\r\n2\r\n";
    const LoadedConfig config = parseConfig(bytes, state, 1);
    QVERIFY(config.ok());
    // The last site is marked only when its line holds the name.
    QCOMPARE(config.chosen, (std::vector<std::pair<int, int>>{{2, 2}}));
    QCOMPARE(config.entries.size(), size_t(2));
    QCOMPARE(config.unknownSiteEntries.size(), size_t(1));
    QCOMPARE(config.unknownSiteEntries[0].ImagePath, QStringLiteral("gone"));
    QCOMPARE(config.unknownSiteEntries[0].DisplayText, QStringLiteral("Vanished site Base Velocity"));
    QCOMPARE(config.unknownSiteEntries[0].Product, 1);
}

void TestConfigFile::unknownSiteEntriesAreWrittenBackUnchanged()
{
    // Written after the catalogue's entries, whatever their place in the file.
    const QByteArray unknown = "\"KXYZxn1r.gif\"\r\n\"Renamed, XY   1-Hr Precip Total\"\r\n2\r\n";
    const QByteArray known = "\"abc\"\r\n\"Abc            Base Reflectivity\"\r\n0\r\n";
    for (const State &catalogue : {catalogueState(), State()}) {
        State state = catalogue;
        const LoadedConfig config = parseConfig(PlainHeader + unknown + known, state, 1);
        QVERIFY(config.ok());
        applyConfig(config, state);
        const QByteArray expected = PlainHeader + (state.LastSiteIndex < 0 ? unknown + known : known + unknown);
        if (state.LastSiteIndex < 0) // no catalogue: both entries are unknown, in file order
            QCOMPARE(state.UnknownSiteEntries.size(), size_t(2));
        QCOMPARE(configBytes(PlainFields, 8080, state), expected);
    }
}

void TestConfigFile::emptyCatalogueMarksNothing()
{
    const State empty;
    const LoadedConfig config = parseConfig(PlainHeader + "\"abc\"\r\n\"Abc Base Reflectivity\"\r\n0\r\n", empty, 1);
    QVERIFY(config.ok());
    QCOMPARE(config.entries.size(), size_t(1));
    QVERIFY(config.chosen.empty());
}

void TestConfigFile::readsThePlainQuotedForm()
{
    // Quoted texts without doubled quotes, numbers with a leading blank, items
    // after commas: the form older files were written in; blank lines that an
    // editor left at the end hold no entry.
    const QByteArray old = "\"radar.example\"\r\n 80\r\n\"me\"\r\n\"p\"\r\n 7.5\r\n 30000\r\n 0\r\n\"C:\\images\\\"\r\n"
                           "\"abc\",\"Abc            Base Reflectivity\", 0\r\n\r\n  \n";
    State state = catalogueState();
    const LoadedConfig config = parseConfig(old, state, 1);
    QVERIFY2(config.ok(), qPrintable(config.problem));
    QCOMPARE(config.settings.Port, 80);
    QCOMPARE(config.settings.RefreshMinutes, 7.5);
    QCOMPARE(config.settings.LoopCount, qint16(30000));
    QCOMPARE(config.settings.ImageDirectory, withTrailingSeparator(QStringLiteral("C:\\images\\")));
    QCOMPARE(config.entries.size(), size_t(1));
    QCOMPARE(config.chosen, (std::vector<std::pair<int, int>>{{0, 0}}));
}

void TestConfigFile::textsReadBackAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("commas") << QStringLiteral("a,b,,c");
    QTest::newRow("blanks around") << QStringLiteral("  two blanks each side  ");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("double quotes") << QStringLiteral("\"quoted\" and \"\" twice");
    QTest::newRow("a lone quote") << QStringLiteral("\"");
    QTest::newRow("Latin-1 letters") << QString::fromUtf8("Zürich Ærø ñ ÿ ©");
    QTest::newRow("backslashes") << QStringLiteral("C:\\images\\");
    QTest::newRow("line ends") << QStringLiteral("one\r\ntwo\nthree");
}

void TestConfigFile::textsReadBackAsTyped()
{
    QFETCH(QString, text);
    const ConfigFields fields{text, "80", text + "u", text + "p", text + "d/"};
    QVERIFY(fieldsProblem(fields).isEmpty());
    State state = catalogueState();
    state.Sites[1].ProductChosen[0] = 1;
    const QByteArray bytes = configBytes(fields, 80, state);

    const LoadedConfig config = parseConfig(bytes, state, 1);
    QVERIFY2(config.ok(), qPrintable(config.problem));
    QCOMPARE(config.settings.Server, text.trimmed()); // a host name has no blanks
    QCOMPARE(config.settings.UserName, text + "u");
    QCOMPARE(config.settings.Password, text + "p");
    QCOMPARE(config.settings.ImageDirectory, text + "d/");
    QCOMPARE(config.entries.size(), size_t(1));
    const Settings &read = config.settings;
    QCOMPARE(configBytes({read.Server, "80", read.UserName, read.Password, read.ImageDirectory}, read.Port, state),
             bytes);
}

void TestConfigFile::numbersReadBack_data()
{
    QTest::addColumn<double>("refresh");
    QTest::addColumn<int>("loops");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("slider values") << 3.0 << 1 << 0 << QByteArray("3\r\n1\r\n0\r\n");
    QTest::newRow("endless") << 60.0 << 30000 << 1 << QByteArray("60\r\n30000\r\n1\r\n");
    QTest::newRow("fraction") << 7.25 << 100 << 1 << QByteArray("7.25\r\n100\r\n1\r\n");
    QTest::newRow("no exponent") << 1e20 << -5 << 7 << QByteArray("100000000000000000000\r\n-5\r\n7\r\n");
    QTest::newRow("one tenth") << 0.1 << 0 << 0 << QByteArray("0.1\r\n0\r\n0\r\n");
}

void TestConfigFile::numbersReadBack()
{
    QFETCH(double, refresh);
    QFETCH(int, loops);
    QFETCH(int, mode);
    QFETCH(QByteArray, written);
    State state = catalogueState();
    state.settings.RefreshMinutes = refresh;
    state.settings.LoopCount = qint16(loops);
    state.settings.NamingMode = quint8(mode);
    const QByteArray bytes = configBytes(PlainFields, 8080, state);
    QVERIFY(bytes.contains("\r\n8080\r\n\"me\"\r\n\"secret\"\r\n" + written));
    const LoadedConfig config = parseConfig(bytes, state, 1);
    QCOMPARE(config.settings.RefreshMinutes, refresh);
    QCOMPARE(int(config.settings.LoopCount), loops);
    QCOMPARE(int(config.settings.NamingMode), mode);
}

void TestConfigFile::malformedFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty file") << QByteArray() << "the header ends after 0 of its 8 items";
    QTest::newRow("short header") << QByteArray("\"s\"\r\n80\r\n\"u\"\r\n") << "the header ends after 3 of its 8 items";
    QTest::newRow("entry without product") << PlainHeader + "\"abc\"\r\n\"Abc Base Reflectivity\"\r\n"
                                           << "entry 1 is cut short: it lacks its product index";
    QTest::newRow("entry of one item") << PlainHeader + "\"abc\"\r\n"
                                       << "entry 1 is cut short: it lacks its display text";
    QTest::newRow("product 6") << PlainHeader + "\"abc\"\r\n\"Abc\"\r\n6\r\n"
                               << "entry 1 has the product index \"6\"";
    QTest::newRow("product -1") << PlainHeader + "\"abc\"\r\n\"Abc\"\r\n0\r\n\"abc\"\r\n\"Abc\"\r\n-1\r\n"
                                << "entry 2 has the product index \"-1\"";
}

void TestConfigFile::malformedFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    QVERIFY(writeFile(path, bytes));
    const LoadedConfig config = loadConfig(path, catalogueState(), 1);
    QVERIFY2(config.problem.contains(QDir::toNativeSeparators(path)), qPrintable(config.problem));
    QVERIFY2(config.problem.contains(reason), qPrintable(config.problem));
}

void TestConfigFile::thousandEntriesAreTheLimit()
{
    QByteArray bytes = PlainHeader;
    for (int i = 0; i < SelectionSlots; ++i)
        bytes += "\"abc\"\r\n\"Abc\"\r\n0\r\n";
    const State state = catalogueState();
    QCOMPARE(parseConfig(bytes, state, 1).entries.size(), size_t(SelectionSlots));
    bytes += "\"abc\"\r\n\"Abc\"\r\n0\r\n";
    QCOMPARE(parseConfig(bytes, state, 1).problem, QStringLiteral("it holds more than 1000 entries"));
}

// Entries of unknown sites are kept beside the chosen products; together they
// may not pass the limit of a read, or the saved file could not be used.
void TestConfigFile::saveNeverWritesMoreEntriesThanAreRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    State state = catalogueState();
    state.Sites[0].ProductChosen[0] = 1;
    state.UnknownSiteEntries.assign(SelectionSlots - 1, UnknownSiteEntry{"KXYZ", "Renamed, XY   Base Reflectivity", 0});
    QCOMPARE(writeConfig(path, PlainFields, state), QString());
    const QByteArray saved = readFile(path);
    QCOMPARE(parseConfig(saved, state, 1).entries.size(), size_t(SelectionSlots));

    state.Sites[1].ProductChosen[2] = 1;
    QCOMPARE(
        writeConfig(path, PlainFields, state),
        "Cannot save " + QDir::toNativeSeparators(path) +
            ": it would hold 1001 entries, more than the 1000 it can be read back with; clear some of them first.");
    QCOMPARE(readFile(path), saved);
}

void TestConfigFile::missingFileGivesFirstRunSettings()
{
    QTemporaryDir dir;
    const LoadedConfig config = loadConfig(dir.filePath("GLAVEN.CFG"), catalogueState(), 1);
    QVERIFY(config.ok());
    QVERIFY(config.fileMissing);
    QCOMPARE(config.settings.Server, QString());
    QCOMPARE(config.settings.Port, 80);
    QCOMPARE(config.settings.RefreshMinutes, 3.0);
    QCOMPARE(config.settings.LoopCount, qint16(10));
    QCOMPARE(config.settings.NamingMode, quint8(1));
    QCOMPARE(config.settings.ImageDirectory,
             QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/Stormtap/");
    QVERIFY(config.entries.empty());
    QVERIFY(!parseConfig(PlainHeader, catalogueState(), 1).fileMissing);
}

void TestConfigFile::hugeNumbersReadAsTheLargestAllowed_data()
{
    const QByteArray huge(400, '9');
    QTest::addColumn<QByteArray>("number");
    QTest::addColumn<int>("port");
    QTest::addColumn<double>("refresh");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<int>("mode");
    const double largest = std::numeric_limits<double>::max();
    QTest::newRow("400 digits") << huge << 65535 << largest << 32767 << 255;
    QTest::newRow("400 digits with a fraction") << huge + ".5x" << 65535 << largest << 32767 << 255;
    QTest::newRow("400 digits below 0") << "-" + huge << 0 << -largest << -32768 << 0;
    QTest::newRow("a fraction of 400 zeros") << "0." + QByteArray(400, '0') + "1" << 0 << 0.0 << 0 << 0;
}

void TestConfigFile::hugeNumbersReadAsTheLargestAllowed()
{
    QFETCH(QByteArray, number);
    QFETCH(int, port);
    QFETCH(double, refresh);
    QFETCH(int, rounds);
    QFETCH(int, mode);
    const QByteArray bytes = "\"s\"\r\n" + number + "\r\n\"u\"\r\n\"p\"\r\n" + number + "\r\n" + number + "\r\n" +
                             number + "\r\n\"/d/\"\r\n";
    const LoadedConfig config = parseConfig(bytes, catalogueState(), 1);
    QVERIFY2(config.ok(), qPrintable(config.problem));
    QCOMPARE(config.settings.Port, port);
    QCOMPARE(config.settings.RefreshMinutes, refresh);
    QCOMPARE(int(config.settings.LoopCount), rounds);
    QCOMPARE(int(config.settings.NamingMode), mode);
}

void TestConfigFile::unreadableFileIsNamed()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    QVERIFY(QDir(dir.path()).mkdir("GLAVEN.CFG"));
    const LoadedConfig config = loadConfig(path, catalogueState(), 1);
    QVERIFY2(config.problem.startsWith("Cannot read " + QDir::toNativeSeparators(path)), qPrintable(config.problem));
    // Nor can it be saved over.
    QVERIFY(writeConfig(path, PlainFields, catalogueState()).startsWith("Cannot save "));
}

void TestConfigFile::saveRefusesBadFields_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("reason"); // empty: saved
    QTest::newRow("port 1") << "1"
                            << "s"
                            << "p" << QString();
    QTest::newRow("port 65535 with blanks") << " 65535 "
                                            << "s"
                                            << "p" << QString();
    QTest::newRow("port 0") << "0"
                            << "s"
                            << "p"
                            << "the port \"0\" is not a whole number from 1 to 65535";
    QTest::newRow("port 65536") << "65536"
                                << "s"
                                << "p"
                                << "the port \"65536\"";
    QTest::newRow("port -80") << "-80"
                              << "s"
                              << "p"
                              << "the port \"-80\"";
    QTest::newRow("port 80x") << "80x"
                              << "s"
                              << "p"
                              << "the port \"80x\"";
    QTest::newRow("port 8.5") << "8.5"
                              << "s"
                              << "p"
                              << "the port \"8.5\"";
    QTest::newRow("port empty") << ""
                                << "s"
                                << "p"
                                << "the port \"\"";
    QTest::newRow("server outside Latin-1") << "80" << QString::fromUtf8("radar.€xample") << "p"
                                            << "the field \"WWW Server\" holds characters that the file cannot store";
    QTest::newRow("password outside Latin-1")
        << "80"
        << "s" << QString::fromUtf8("пароль") << "the field \"Password\" holds characters";
}

void TestConfigFile::saveRefusesBadFields()
{
    QFETCH(QString, port);
    QFETCH(QString, server);
    QFETCH(QString, password);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    QVERIFY(writeFile(path, "before"));
    const QString problem = writeConfig(path, {server, port, "u", password, "d"}, catalogueState());
    if (reason.isEmpty()) {
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(readFile(path).startsWith("\"s\"\r\n" + QByteArray::number(*parsePort(port)) + "\r\n"));
        return;
    }
    QVERIFY2(problem.startsWith("Cannot save " + QDir::toNativeSeparators(path) + ": " + reason), qPrintable(problem));
    QCOMPARE(readFile(path), QByteArray("before"));
}

void TestConfigFile::savedFileIsTheOwnersOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("GLAVEN.CFG");
    QVERIFY(writeFile(path, "before"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    for (int round = 0; round < 2; ++round) { // replacing a file, then a file of our own
        QCOMPARE(writeConfig(path, PlainFields, catalogueState()), QString());
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QCOMPARE(readFile(path), PlainHeader);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"GLAVEN.CFG"}); // no leftovers
}

void TestConfigFile::saveOnAFullDiskKeepsTheFile()
{
    SmallFileSystem disk;
    SMALL_FILE_SYSTEM_OR_SKIP(disk);
    const QString path = disk.path() + "GLAVEN.CFG";
    QCOMPARE(writeConfig(path, PlainFields, catalogueState()), QString());
    QVERIFY(disk.fill());

    const QString problem = writeConfig(path, {"other.example", "81", "u", "p", "/d/"}, catalogueState());
    QCOMPARE(problem, "Cannot save " + QDir::toNativeSeparators(path) + ": No space left on device.");
    QCOMPARE(readFile(path), PlainHeader);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{"GLAVEN.CFG"}); // no temporary left behind
}

void TestConfigFile::imageDirectoryEndsWithSeparator_data()
{
    const QString sep = QDir::separator();
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("no separator") << "/srv/images"
                                  << "/srv/images" + sep;
    QTest::newRow("ends with /") << "/srv/images/"
                                 << "/srv/images/";
    QTest::newRow("empty stays empty, never the root") << ""
                                                       << "";
    QTest::newRow("ends with the platform's separator") << "images" + sep << "images" + sep;
    if (sep != QLatin1String("\\"))
        QTest::newRow("a backslash is a character here") << "C:\\images\\"
                                                         << "C:\\images\\/";
}

void TestConfigFile::imageDirectoryEndsWithSeparator()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(withTrailingSeparator(typed), kept);
}

void TestConfigFile::imageDirectoryIsTakenFromTheProgramDirectory_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("path");
    const QString program = QDir::toNativeSeparators("/opt/stormtap/");
    QTest::newRow("relative") << "images/" << QDir::toNativeSeparators(program + "images/");
    QTest::newRow("relative, two levels") << "radar/new/" << QDir::toNativeSeparators(program + "radar/new/");
    QTest::newRow("absolute") << QDir::rootPath() + "srv/radar/"
                              << QDir::toNativeSeparators(QDir::rootPath() + "srv/radar/");
    QTest::newRow("absolute, without its separator")
        << QDir::rootPath() + "srv/radar" << QDir::toNativeSeparators(QDir::rootPath() + "srv/radar/");
    QTest::newRow("none") << ""
                          << "";
}

void TestConfigFile::imageDirectoryIsTakenFromTheProgramDirectory()
{
    QFETCH(QString, directory);
    QFETCH(QString, path);
    QCOMPARE(imageDirectoryPath(directory, QDir::toNativeSeparators("/opt/stormtap/")), path);
}

void TestConfigFile::missingImageDirectoryIsMade()
{
    QTemporaryDir dir;
    const QString nested = dir.filePath("Pictures/Stormtap/");
    QCOMPARE(createImageDirectory(nested), QString());
    QVERIFY(QFileInfo(nested).isDir());
    QCOMPARE(createImageDirectory(nested), QString()); // there already

    QVERIFY(writeFile(dir.filePath("file"), "not a directory"));
    const QString problem = createImageDirectory(dir.filePath("file/below/"));
    QVERIFY2(problem.contains(QDir::toNativeSeparators(dir.filePath("file/below/"))), qPrintable(problem));
    QVERIFY2(problem.contains("cannot be made: "), qPrintable(problem));
}

void TestConfigFile::unusableImageDirectoryIsNamed_data()
{
    QTest::addColumn<QString>("name"); // below a temporary directory; empty for none at all
    QTest::addColumn<QString>("problem");
    QTest::newRow("usable") << "images/" << QString();
    QTest::newRow("not set") << QString() << "no image directory is set";
    QTest::newRow("missing") << "missing/"
                             << "missing/ does not exist";
    QTest::newRow("a file") << "file"
                            << "file is not a directory";
}

void TestConfigFile::unusableImageDirectoryIsNamed()
{
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("images"));
    QVERIFY(writeFile(dir.filePath("file"), "not a directory"));
    const QString directory = name.isEmpty() ? QString() : dir.filePath(name);
    const QString found = imageDirectoryProblem(directory);
    QCOMPARE(found.isEmpty(), problem.isEmpty());
    QVERIFY2(found.contains(problem), qPrintable(found));
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "test_config_file.moc"
