#pragma once

#include "pe_image.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct uc_struct;

// A 32-bit DLL mapped at its image base inside the Unicorn emulator, with
// every import slot pointing at a recording stub. A stub notes the stack it
// finds, returns a result chosen by the test and removes its own stdcall
// arguments, as the platform function would.
class EmulatedDll {
public:
    struct StubCall {
        std::string name;             // import name, or the label of an extra stub
        uint32_t esp;                 // stack pointer on entry (return address on top)
        std::vector<uint32_t> words;  // the nine words above the return address
    };
    struct CallResult {
        uint32_t eax;
        int64_t espDelta;              // caller's stack pointer after the call minus before it
        uint64_t instructions;         // executed between entry and return
        uint64_t dllInstructions;      // of those, inside the DLL image
    };

    // argumentBytes: stdcall argument bytes of every imported function.
    EmulatedDll(const PeImage &image, std::map<std::string, int> argumentBytes);
    ~EmulatedDll();
    EmulatedDll(const EmulatedDll &) = delete;
    EmulatedDll &operator=(const EmulatedDll &) = delete;

    uint32_t address(uint32_t rva) const { return imageBase_ + rva; }
    uint32_t stub(const std::string &name) const { return stubs_.at(name).address; }
    uint32_t stubResult(const std::string &name) const { return stubs_.at(name).result; }
    void setStubResult(const std::string &name, uint32_t result) { stubs_.at(name).result = result; }
    uint32_t addStub(const std::string &label, int argumentBytes, uint32_t result);

    // Calls code at address like a stdcall caller: arguments pushed last to
    // first, then the return address. Runs until the code returns.
    CallResult call(uint32_t address, const std::vector<uint32_t> &args);
    std::vector<StubCall> takeStubCalls();
    std::string readString(uint32_t address);
    std::u16string readWideString(uint32_t address);

private:
    struct Stub {
        uint32_t address;
        uint32_t result;
    };
    static void onInstruction(uc_struct *uc, uint64_t address, uint32_t size, void *self);
    void check(int err, const char *what) const;

    uc_struct *uc_ = nullptr;
    uint32_t imageBase_, imageEnd_;
    uint32_t nextStub_;
    std::map<std::string, Stub> stubs_;
    std::map<uint32_t, std::string> stubNames_;
    std::vector<StubCall> calls_;
    uint64_t instructions_ = 0, dllInstructions_ = 0;
};
