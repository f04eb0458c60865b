#include "pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

PeImage::PeImage(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (bytes_.size() < 0x40 || u16(0) != 0x5a4d)
        throw std::runtime_error(path + " has no MZ header");
    const size_t pe = u32(0x3c);
    if (u32(pe) != 0x00004550)
        throw std::runtime_error(path + " has no PE signature");
    machine_ = u16(pe + 4);
    const uint16_t sectionCount = u16(pe + 6);
    const uint16_t optionalSize = u16(pe + 20);
    const size_t opt = pe + 24;
    is64_ = u16(opt) == 0x20b;
    entryPoint_ = u32(opt + 16);
    imageBase_ = is64_ ? u64(opt + 24) : u32(opt + 28);
    sizeOfImage_ = u32(opt + 56);
    sizeOfHeaders_ = u32(opt + 60);
    const size_t directories = opt + (is64_ ? 112 : 96);

    size_t sec = opt + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i, sec += 40) {
        Section s;
        s.name.assign(reinterpret_cast<const char *>(&bytes_.at(sec)), 8);
        s.name.resize(s.name.find('\0') == std::string::npos ? 8 : s.name.find('\0'));
        s.virtualSize = u32(sec + 8);
        s.rva = u32(sec + 12);
        s.rawSize = u32(sec + 16);
        s.rawOffset = u32(sec + 20);
        s.characteristics = u32(sec + 36);
        sections_.push_back(s);
    }
    if (const uint32_t rva = u32(directories))
        readExports(rva, u32(directories + 4));
    if (const uint32_t rva = u32(directories + 8))
        readImports(rva);
}

const PeImage::Section *PeImage::sectionAt(uint32_t rva) const
{
    for (const Section &s : sections_)
        if (rva >= s.rva && rva < s.rva + std::max(s.virtualSize, s.rawSize))
            return &s;
    return nullptr;
}

uint16_t PeImage::u16(size_t o) const { return bytes_.at(o) | bytes_.at(o + 1) << 8; }
uint32_t PeImage::u32(size_t o) const { return u16(o) | uint32_t(u16(o + 2)) << 16; }
uint64_t PeImage::u64(size_t o) const { return u32(o) | uint64_t(u32(o + 4)) << 32; }

size_t PeImage::offsetOf(uint32_t rva) const
{
    const Section *s = sectionAt(rva);
    if (!s)
        throw std::runtime_error("RVA outside every section");
    return s->rawOffset + (rva - s->rva);
}

std::string PeImage::stringAt(uint32_t rva) const
{
    std::string text;
    for (size_t o = offsetOf(rva); bytes_.at(o); ++o)
        text += char(bytes_[o]);
    return text;
}

void PeImage::readExports(uint32_t rva, uint32_t size)
{
    const size_t dir = offsetOf(rva);
    ordinalBase_ = u32(dir + 16);
    functionCount_ = u32(dir + 20);
    const uint32_t nameCount = u32(dir + 24);
    const size_t functions = offsetOf(u32(dir + 28));
    const uint32_t namesRva = u32(dir + 32), ordinalsRva = u32(dir + 36);
    std::vector<std::string> names(functionCount_);
    for (uint32_t i = 0; i < nameCount; ++i) {
        const uint16_t index = u16(offsetOf(ordinalsRva) + 2 * i);
        names.at(index) = stringAt(u32(offsetOf(namesRva) + 4 * i));
    }
    for (uint32_t i = 0; i < functionCount_; ++i) {
        const uint32_t target = u32(functions + 4 * i);
        if (target)
            exports_.push_back({names[i], ordinalBase_ + i, target,
                                target >= rva && target < rva + size});
    }
}

void PeImage::readImports(uint32_t rva)
{
    for (size_t desc = offsetOf(rva); u32(desc + 12); desc += 20) {
        const std::string dll = stringAt(u32(desc + 12));
        const uint32_t lookupRva = u32(desc) ? u32(desc) : u32(desc + 16);
        const uint32_t slotsRva = u32(desc + 16);
        const uint32_t width = is64_ ? 8 : 4;
        for (uint32_t i = 0;; ++i) {
            const size_t entry = offsetOf(lookupRva + i * width);
            const uint64_t value = is64_ ? u64(entry) : u32(entry);
            if (!value)
                break;
            const bool byOrdinal = value >> (is64_ ? 63 : 31);
            imports_.push_back({dll, byOrdinal ? std::string() : stringAt(uint32_t(value) + 2),
                                slotsRva + i * width});
        }
    }
}
