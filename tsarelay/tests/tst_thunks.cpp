// The 32-bit DLL's code, executed in the Unicorn emulator against recording
// stand-ins for ws2_32 and kernel32.

#include "emulated_dll.h"
#include "relay_table.h"

#include <QtTest>

#include <memory>

namespace {
constexpr uint32_t FakeWs2Module = 0x7E000000;
constexpr uint32_t WSAEOPNOTSUPP = 10045;

std::map<std::string, int> importArgumentBytes()
{
    std::map<std::string, int> bytes{{"GetModuleHandleW", 4}, {"GetProcAddress", 8}};
    for (const RelayExport &row : relayExports)
        bytes[row.platform] = 4 * row.words;
    return bytes;
}

// Distinct, recognisable words: export ordinal in the middle byte, position last.
std::vector<uint32_t> sentinels(const RelayExport &row)
{
    std::vector<uint32_t> words;
    for (int i = 0; i < row.words; ++i)
        words.push_back(0xA5000000u | uint32_t(row.ordinal) << 8 | uint32_t(i + 1));
    return words;
}

void addExportRows(bool lazy)
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < relayExportCount; ++i)
        if (relayExports[i].lazy == lazy)
            QTest::newRow(relayExports[i].name) << i;
}
} // namespace

class TestThunks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void forwardsUnchanged_data() { addExportRows(false); }
    void forwardsUnchanged();
    void lazyExportFailsAsUnsupported_data() { addExportRows(true); }
    void lazyExportFailsAsUnsupported();
    void lazyExportForwardsWhenPresent_data() { addExportRows(true); }
    void lazyExportForwardsWhenPresent();
    void entryReportsSuccess_data();
    void entryReportsSuccess();

private:
    uint32_t exportAddress(const char *name) const;

    std::unique_ptr<PeImage> image_;
    std::unique_ptr<EmulatedDll> dll_;
};

void TestThunks::initTestCase()
{
    image_ = std::make_unique<PeImage>(TSARELAY_DLL32);
    dll_ = std::make_unique<EmulatedDll>(*image_, importArgumentBytes());
    dll_->setStubResult("GetModuleHandleW", FakeWs2Module);
}

uint32_t TestThunks::exportAddress(const char *name) const
{
    for (const PeImage::Export &e : image_->exports())
        if (e.name == name)
            return dll_->address(e.rva);
    throw std::runtime_error(std::string("no export ") + name);
}

void TestThunks::forwardsUnchanged()
{
    QFETCH(int, index);
    const RelayExport &row = relayExports[index];
    const std::vector<uint32_t> args = sentinels(row);

    const EmulatedDll::CallResult result = dll_->call(exportAddress(row.name), args);
    const std::vector<EmulatedDll::StubCall> calls = dll_->takeStubCalls();

    QCOMPARE(int(calls.size()), 1);
    QCOMPARE(calls[0].name, std::string(row.platform));
    // The platform function finds the caller's own words right above the
    // return address: nothing pushed, copied or dropped on the way.
    QCOMPARE(std::vector<uint32_t>(calls[0].words.begin(), calls[0].words.begin() + row.words),
             args);
    QCOMPARE(result.eax, dll_->stubResult(row.platform));
    QCOMPARE(result.espDelta, int64_t(4 * row.words));
    QCOMPARE(result.dllInstructions, uint64_t(1)); // one jump of overhead
}

void TestThunks::lazyExportFailsAsUnsupported()
{
    QFETCH(int, index);
    const RelayExport &row = relayExports[index];
    dll_->setStubResult("GetProcAddress", 0);

    const EmulatedDll::CallResult result = dll_->call(exportAddress(row.name), sentinels(row));
    const std::vector<EmulatedDll::StubCall> calls = dll_->takeStubCalls();

    QCOMPARE(result.eax, 0xFFFFFFFFu); // SOCKET_ERROR
    QCOMPARE(result.espDelta, int64_t(4 * row.words));
    QCOMPARE(int(calls.size()), 3);
    QCOMPARE(calls[0].name, std::string("GetModuleHandleW"));
    QCOMPARE(dll_->readWideString(calls[0].words[0]), u"ws2_32.dll");
    QCOMPARE(calls[1].name, std::string("GetProcAddress"));
    QCOMPARE(calls[1].words[0], FakeWs2Module);
    QCOMPARE(dll_->readString(calls[1].words[1]), std::string(row.platform));
    QCOMPARE(calls[2].name, std::string("WSASetLastError"));
    QCOMPARE(calls[2].words[0], WSAEOPNOTSUPP);
}

void TestThunks::lazyExportForwardsWhenPresent()
{
    QFETCH(int, index);
    const RelayExport &row = relayExports[index];
    const std::string label = std::string("found ") + row.platform;
    const uint32_t found = dll_->addStub(label, 4 * row.words, 0x600D0000u | uint32_t(row.ordinal));
    dll_->setStubResult("GetProcAddress", found);
    const std::vector<uint32_t> args = sentinels(row);

    const EmulatedDll::CallResult result = dll_->call(exportAddress(row.name), args);
    const std::vector<EmulatedDll::StubCall> calls = dll_->takeStubCalls();

    QVERIFY(!calls.empty());
    QCOMPARE(calls.back().name, label);
    QCOMPARE(std::vector<uint32_t>(calls.back().words.begin(),
                                   calls.back().words.begin() + row.words),
             args);
    QCOMPARE(result.eax, dll_->stubResult(label));
    QCOMPARE(result.espDelta, int64_t(4 * row.words));
}

void TestThunks::entryReportsSuccess_data()
{
    QTest::addColumn<uint32_t>("reason");
    QTest::newRow("process detach") << 0u;
    QTest::newRow("process attach") << 1u;
    QTest::newRow("thread attach") << 2u;
    QTest::newRow("thread detach") << 3u;
}

void TestThunks::entryReportsSuccess()
{
    QFETCH(uint32_t, reason);
    const EmulatedDll::CallResult result =
        dll_->call(dll_->address(image_->entryPoint()),
                   {uint32_t(image_->imageBase()), reason, 0});
    QCOMPARE(result.eax, 1u);
    QCOMPARE(result.espDelta, int64_t(12));
    QVERIFY(dll_->takeStubCalls().empty());
}

QTEST_APPLESS_MAIN(TestThunks)
#include "tst_thunks.moc"
