#include "catalogue/ItemReader.h"
#include "catalogue/LeadingNumber.h"

#include <QtTest>

using namespace stormtap;

class TestItemReader : public QObject {
    Q_OBJECT
private slots:
    void readsItems_data();
    void readsItems();
    void askingPastTheEndFails();
    void leadingNumber_data();
    void leadingNumber();
    void roundsHalfToEven_data();
    void roundsHalfToEven();
};

void TestItemReader::readsItems_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("one per line, CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF line ends") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("CR line ends") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("commas") << QByteArray("a,b,c\r\n") << QStringList{"a", "b", "c"};
    QTest::newRow("last item ends with the file") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty line is an empty item") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("comma after separator") << QByteArray("a,,b\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("line end after comma") << QByteArray("a,\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("leading blanks skipped") << QByteArray("   a\r\n") << QStringList{"a"};
    QTest::newRow("trailing blanks of plain item dropped") << QByteArray("a  \r\n") << QStringList{"a"};
    QTest::newRow("quoted keeps commas and blanks") << QByteArray("\" a, b \"\r\n") << QStringList{" a, b "};
    QTest::newRow("quoted then comma") << QByteArray("\"x\",y\r\n") << QStringList{"x", "y"};
    QTest::newRow("junk after closing quote skipped") << QByteArray("\"x\"junk,y\r\n") << QStringList{"x", "y"};
    QTest::newRow("doubled quote inside quotes") << QByteArray("\"say \"\"hi\"\"\"\r\n") << QStringList{"say \"hi\""};
    QTest::newRow("empty quoted item") << QByteArray("\"\"\r\nb\r\n") << QStringList{"", "b"};
    QTest::newRow("quote inside plain item is a character") << QByteArray("a\"b\r\n") << QStringList{"a\"b"};
    QTest::newRow("unterminated quote ends with the file") << QByteArray("\"abc") << QStringList{"abc"};
    QTest::newRow("Latin-1 bytes") << QByteArray("\"Z\xfcrich\"\r\n") << QStringList{QString::fromUtf8("Zürich")};
}

void TestItemReader::readsItems()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    ItemReader reader(bytes);
    QStringList read;
    while (!reader.atEnd())
        read << *reader.next();
    QCOMPARE(read, items);
}

void TestItemReader::askingPastTheEndFails()
{
    ItemReader empty{QByteArray()};
    QVERIFY(empty.atEnd());
    QVERIFY(!empty.next());

    ItemReader reader(QByteArray("a\r\n"));
    QCOMPARE(*reader.next(), QStringLiteral("a"));
    QVERIFY(reader.atEnd());
    QVERIFY(!reader.next());
}

void TestItemReader::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "80" << 80.0;
    QTest::newRow("blanks first") << "  42" << 42.0;
    QTest::newRow("minus") << "-7" << -7.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("fraction without integer part") << ".5" << 0.5;
    QTest::newRow("trailing text ignored") << "15 Minutes" << 15.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("not a number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("lone minus") << "-" << 0.0;
    QTest::newRow("plus sign is not part of a number") << "+5" << 0.0;
    QTest::newRow("comma is not a decimal point") << "3,5" << 3.0;
}

void TestItemReader::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(stormtap::leadingNumber(text), value);
}

void TestItemReader::roundsHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rounded");
    QTest::newRow("0.5 to 0") << "0.5" << 0;
    QTest::newRow("1.5 to 2") << "1.5" << 2;
    QTest::newRow("2.5 to 2") << "2.5" << 2;
    QTest::newRow("-2.5 to -2") << "-2.5" << -2;
    QTest::newRow("2.51 to 3") << "2.51" << 3;
    QTest::newRow("clamped high") << "70000" << 32767;
    QTest::newRow("clamped low") << "-70000" << -32768;
}

void TestItemReader::roundsHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(int, rounded);
    QCOMPARE(leadingInteger(text, -32768, 32767), rounded);
}

QTEST_APPLESS_MAIN(TestItemReader)
#include "test_item_reader.moc"
