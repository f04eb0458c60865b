#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A minimal reader of PE images (PE32 and PE32+): just what the tests need to
// see a DLL's sections, exports and imports without a Windows loader.
class PeImage {
public:
    struct Section {
        std::string name;
        uint32_t rva, virtualSize, rawOffset, rawSize, characteristics;
        bool executable() const { return characteristics & 0x20000000; }
    };
    struct Export {
        std::string name;     // empty for an export by ordinal only
        uint32_t ordinal;
        uint32_t rva;
        bool forwarder;       // rva points into the export directory: a loader-level forward
    };
    struct Import {
        std::string dll, name; // name empty for an import by ordinal
        uint32_t slotRva;      // its import address table slot
    };

    explicit PeImage(const std::string &path); // throws std::runtime_error

    bool is64() const { return is64_; }
    uint16_t machine() const { return machine_; }
    uint64_t imageBase() const { return imageBase_; }
    uint32_t sizeOfImage() const { return sizeOfImage_; }
    uint32_t sizeOfHeaders() const { return sizeOfHeaders_; }
    uint32_t entryPoint() const { return entryPoint_; }
    const std::vector<uint8_t> &bytes() const { return bytes_; }
    const std::vector<Section> &sections() const { return sections_; }
    const std::vector<Export> &exports() const { return exports_; }
    const std::vector<Import> &imports() const { return imports_; }
    uint32_t exportOrdinalBase() const { return ordinalBase_; }
    uint32_t exportFunctionCount() const { return functionCount_; }
    const Section *sectionAt(uint32_t rva) const;

private:
    uint32_t u32(size_t offset) const;
    uint16_t u16(size_t offset) const;
    uint64_t u64(size_t offset) const;
    size_t offsetOf(uint32_t rva) const;
    std::string stringAt(uint32_t rva) const;
    void readExports(uint32_t rva, uint32_t size);
    void readImports(uint32_t rva);

    std::vector<uint8_t> bytes_;
    bool is64_ = false;
    uint16_t machine_ = 0;
    uint64_t imageBase_ = 0;
    uint32_t sizeOfImage_ = 0, sizeOfHeaders_ = 0, entryPoint_ = 0;
    uint32_t ordinalBase_ = 0, functionCount_ = 0;
    std::vector<Section> sections_;
    std::vector<Export> exports_;
    std::vector<Import> imports_;
};
