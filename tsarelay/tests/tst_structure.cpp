// The export and import tables of the built DLLs, read from the files.

#include "pe_image.h"
#include "relay_table.h"

#include <QtTest>

#include <algorithm>
#include <map>
#include <set>

class TestStructure : public QObject {
    Q_OBJECT

private slots:
    void exportsMatchTable_data();
    void exportsMatchTable();
    void exportsAreOwnCode_data() { exportsMatchTable_data(); }
    void exportsAreOwnCode();
    void importsOnlyWinsockPerExport_data() { exportsMatchTable_data(); }
    void importsOnlyWinsockPerExport();
};

void TestStructure::exportsMatchTable_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("is64");
    QTest::newRow("i386 deliverable") << QStringLiteral(TSARELAY_DLL32) << false;
    QTest::newRow("x86-64 test build") << QStringLiteral(TSARELAY_DLL64) << true;
}

void TestStructure::exportsMatchTable()
{
    QFETCH(QString, path);
    QFETCH(bool, is64);
    const PeImage dll(path.toStdString());
    QCOMPARE(dll.is64(), is64);
    QCOMPARE(dll.machine(), is64 ? 0x8664 : 0x014c);
    QCOMPARE(dll.exportOrdinalBase(), 1u);
    QCOMPARE(dll.exportFunctionCount(), uint32_t(relayExportCount));
    QCOMPARE(int(dll.exports().size()), relayExportCount);

    std::map<std::string, uint32_t> ordinalOf;
    for (const PeImage::Export &e : dll.exports())
        ordinalOf[e.name] = e.ordinal;
    for (const RelayExport &row : relayExports) {
        QVERIFY2(ordinalOf.count(row.name), row.name);
        QCOMPARE(ordinalOf[row.name], uint32_t(row.ordinal));
    }
    QCOMPARE(ordinalOf.begin()->first, std::string("_TSAAccept@20"));
    QCOMPARE(ordinalOf.begin()->second, 1u);
    QCOMPARE(ordinalOf.rbegin()->first, std::string("_t_socket@12"));
    QCOMPARE(ordinalOf.rbegin()->second, 97u);
}

void TestStructure::exportsAreOwnCode()
{
    QFETCH(QString, path);
    const PeImage dll(path.toStdString());
    for (const PeImage::Export &e : dll.exports()) {
        QVERIFY2(!e.forwarder, e.name.c_str());
        const PeImage::Section *section = dll.sectionAt(e.rva);
        QVERIFY2(section && section->executable(), e.name.c_str());
    }
    const PeImage::Section *entry = dll.sectionAt(dll.entryPoint());
    QVERIFY(entry && entry->executable());
}

void TestStructure::importsOnlyWinsockPerExport()
{
    QFETCH(QString, path);
    const PeImage dll(path.toStdString());
    std::multiset<std::string> winsock, kernel;
    for (const PeImage::Import &i : dll.imports()) {
        const QString module = QString::fromStdString(i.dll).toLower();
        QVERIFY2(module == "ws2_32.dll" || module == "kernel32.dll", i.dll.c_str());
        (module == "ws2_32.dll" ? winsock : kernel).insert(i.name);
    }
    // Every load-bound export has its own import; the lazy ones look theirs
    // up in ws2_32 through kernel32, the only other thing the DLL imports.
    std::multiset<std::string> expected;
    for (const RelayExport &row : relayExports)
        if (!row.lazy)
            expected.insert(row.platform);
    QCOMPARE(winsock, expected);
    QCOMPARE(kernel, (std::multiset<std::string>{"GetModuleHandleW", "GetProcAddress"}));
}

QTEST_APPLESS_MAIN(TestStructure)
#include "tst_structure.moc"
