#include "emulated_dll.h"

#include <unicorn/unicorn.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {
constexpr uint32_t ReturnAddress = 0x00010000; // a mapped page the caller "returns" to
constexpr uint32_t StubBase = 0x00100000, StubSize = 0x00010000, StubSpacing = 16;
constexpr uint32_t StackBase = 0x00200000, StackSize = 0x00100000;
constexpr uint32_t PageMask = 0xfff;
} // namespace

EmulatedDll::EmulatedDll(const PeImage &image, std::map<std::string, int> argumentBytes)
    : imageBase_(uint32_t(image.imageBase())),
      imageEnd_(imageBase_ + ((image.sizeOfImage() + PageMask) & ~PageMask)),
      nextStub_(StubBase)
{
    if (image.is64())
        throw std::runtime_error("EmulatedDll runs 32-bit images only");
    check(uc_open(UC_ARCH_X86, UC_MODE_32, &uc_), "uc_open");
    check(uc_mem_map(uc_, imageBase_, imageEnd_ - imageBase_, UC_PROT_ALL), "map image");
    check(uc_mem_map(uc_, ReturnAddress, 0x1000, UC_PROT_ALL), "map return page");
    check(uc_mem_map(uc_, StubBase, StubSize, UC_PROT_ALL), "map stubs");
    check(uc_mem_map(uc_, StackBase, StackSize, UC_PROT_ALL), "map stack");

    // Mapped at the preferred base, so no relocation needs applying.
    const auto &bytes = image.bytes();
    check(uc_mem_write(uc_, imageBase_, bytes.data(), image.sizeOfHeaders()), "write headers");
    for (const PeImage::Section &s : image.sections()) {
        const uint32_t size = std::min(s.rawSize, s.virtualSize ? s.virtualSize : s.rawSize);
        check(uc_mem_write(uc_, imageBase_ + s.rva, bytes.data() + s.rawOffset, size),
              "write section");
    }
    for (const PeImage::Import &import : image.imports()) {
        const auto bytesOf = argumentBytes.find(import.name);
        if (bytesOf == argumentBytes.end())
            throw std::runtime_error("no argument size known for import " + import.name);
        const uint32_t address = addStub(import.name, bytesOf->second, 0xC0DE0000 + stubs_.size());
        check(uc_mem_write(uc_, imageBase_ + import.slotRva, &address, 4), "patch import slot");
    }

    uc_hook hook;
    check(uc_hook_add(uc_, &hook, UC_HOOK_CODE, reinterpret_cast<void *>(&onInstruction), this,
                      1, 0),
          "hook code");
}

EmulatedDll::~EmulatedDll() { uc_close(uc_); }

void EmulatedDll::check(int err, const char *what) const
{
    if (err != UC_ERR_OK)
        throw std::runtime_error(std::string(what) + ": " + uc_strerror(uc_err(err)));
}

uint32_t EmulatedDll::addStub(const std::string &label, int argumentBytes, uint32_t result)
{
    if (nextStub_ + StubSpacing > StubBase + StubSize)
        throw std::runtime_error("too many stubs");
    const uint32_t address = nextStub_;
    nextStub_ += StubSpacing;
    const uint8_t ret[] = {0xc2, uint8_t(argumentBytes), uint8_t(argumentBytes >> 8)}; // ret imm16
    check(uc_mem_write(uc_, address, ret, sizeof ret), "write stub");
    stubs_[label] = {address, result};
    stubNames_[address] = label;
    return address;
}

void EmulatedDll::onInstruction(uc_struct *uc, uint64_t address, uint32_t, void *opaque)
{
    auto *self = static_cast<EmulatedDll *>(opaque);
    ++self->instructions_;
    if (address >= self->imageBase_ && address < self->imageEnd_)
        ++self->dllInstructions_;
    const auto named = self->stubNames_.find(uint32_t(address));
    if (named == self->stubNames_.end())
        return;
    StubCall call{named->second, 0, std::vector<uint32_t>(9)};
    uc_reg_read(uc, UC_X86_REG_ESP, &call.esp);
    uc_mem_read(uc, call.esp + 4, call.words.data(), 4 * call.words.size());
    uint32_t result = self->stubs_.at(named->second).result;
    uc_reg_write(uc, UC_X86_REG_EAX, &result);
    self->calls_.push_back(std::move(call));
}

EmulatedDll::CallResult EmulatedDll::call(uint32_t address, const std::vector<uint32_t> &args)
{
    uint32_t esp = StackBase + StackSize - 0x100;
    for (auto word = args.rbegin(); word != args.rend(); ++word) {
        esp -= 4;
        check(uc_mem_write(uc_, esp, &*word, 4), "push argument");
    }
    const uint32_t callerEsp = esp;
    esp -= 4;
    check(uc_mem_write(uc_, esp, &ReturnAddress, 4), "push return address");
    check(uc_reg_write(uc_, UC_X86_REG_ESP, &esp), "set esp");
    const uint32_t garbage = 0xDEADBEEF;
    check(uc_reg_write(uc_, UC_X86_REG_EAX, &garbage), "set eax");
    instructions_ = dllInstructions_ = 0;
    check(uc_emu_start(uc_, address, ReturnAddress, 0, 100000), "emulate");
    CallResult result{};
    uint32_t eip = 0;
    uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
    if (eip != ReturnAddress)
        throw std::runtime_error("code did not return to its caller");
    uc_reg_read(uc_, UC_X86_REG_EAX, &result.eax);
    uc_reg_read(uc_, UC_X86_REG_ESP, &esp);
    result.espDelta = int64_t(esp) - int64_t(callerEsp);
    result.instructions = instructions_;
    result.dllInstructions = dllInstructions_;
    return result;
}

std::vector<EmulatedDll::StubCall> EmulatedDll::takeStubCalls() { return std::exchange(calls_, {}); }

std::string EmulatedDll::readString(uint32_t address)
{
    std::string text;
    for (char c; uc_mem_read(uc_, address++, &c, 1) == UC_ERR_OK && c;)
        text += c;
    return text;
}

std::u16string EmulatedDll::readWideString(uint32_t address)
{
    std::u16string text;
    for (char16_t c; uc_mem_read(uc_, address, &c, 2) == UC_ERR_OK && c; address += 2)
        text += c;
    return text;
}
