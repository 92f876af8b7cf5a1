#include "system/system/win/CpuFacts.h"

#include <cpuid.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>

#include "core/thread/ObjLocker.h"
#include "system/reg/win/RegDir.h"

namespace s::system::win {

namespace {

// Leaf-1 ECX bits kept, with their names.
struct EcxFeature {
    uint32_t bit;
    const wchar_t* name;
};
const EcxFeature kEcxFeatures[] = {
    {0, L"SSE3 New Instructions"}, {3, L"MONITOR/MWAIT"}, {4, L"CPL Qualified Debug Store"},
    {8, L"Thermal Monitor 2"},     {10, L"L1 Context ID"},
};
const wchar_t* const kEdxFeatures[32] = {
    L"x87 FPU On Chip", L"Virtual-8086 Mode Enhancement", L"Debugging Extensions", L"Page Size Extensions",
    L"Time Stamp Counter", L"RDMSR and WRMSR Support", L"Physical Address Extensions", L"Machine Check Exception",
    L"CMPXCHG8B Instruction", L"APIC On Chip", L"Unknown1", L"SYSENTER and SYSEXIT",
    L"Memory Type Range Registers", L"PTE Global Bit", L"Machine Check Architecture",
    L"Conditional Move/Compare Instruction", L"Page Attribute Table", L"Page Size Extension",
    L"Processor Serial Number", L"CFLUSH Extension", L"Unknown2", L"Debug Store",
    L"Thermal Monitor and Clock Ctrl", L"MMX Technology", L"FXSAVE/FXRSTOR", L"SSE Extensions",
    L"SSE2 Extensions", L"Self Snoop", L"Hyper-threading Technology", L"Thermal Monitor", L"Unknown4",
    L"Pend. Brk. EN.",
};
constexpr uint32_t kKeptEcxBits = (1u << 0) | (1u << 3) | (1u << 4) | (1u << 8) | (1u << 10);

// Registers as text: 4 ASCII characters each, low byte first, up to a NUL.
void appendRegisterText(str::strbuffer::StrBuffer* out, const uint32_t* regs, int count) {
    char text[49] = {};
    std::memcpy(text, regs, static_cast<size_t>(count) * 4);
    out->appendBytes(text, static_cast<int32_t>(std::strlen(text)));
}

void readText(reg::win::RegDir* key, const wchar_t* name, const wchar_t* def, str::strbuffer::StrBuffer* out) {
    out->assign(key->getString(name, def, nullptr, true));
}

}  // namespace

CpuFacts::CpuFacts() : count_(0) {}

void CpuFacts::cpuid(uint32_t leaf, uint32_t regs[4]) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid(leaf, a, b, c, d);
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
}

void CpuFacts::featureNames(uint32_t ecx, uint32_t edx, StrArray* out) {
    out->clear();
    const wchar_t* names[5 + 32];
    size_t n = 0;
    for (const EcxFeature& f : kEcxFeatures) {
        if (ecx & (1u << f.bit)) names[n++] = f.name;
    }
    for (uint32_t bit = 0; bit < 32; ++bit) {
        if (edx & (1u << bit)) names[n++] = kEdxFeatures[bit];
    }
    std::sort(names, names + n, [](const wchar_t* a, const wchar_t* b) { return std::wcscmp(a, b) < 0; });
    for (size_t i = 0; i < n; ++i) out->add(names[i]);
}

void CpuFacts::gather(HKEY root, const wchar_t* processorKeyPath, CpuidFn cpuidFn) {
    vendor_.clear();
    name_.clear();
    identifier_.clear();
    features_.clear();
    if (reg::win::RegDir* key = reg::win::RegDir::create(root, processorKeyPath)) {
        if (key->exists()) {
            readText(key, L"VendorIdentifier", L"UnKnown Vender", &vendor_);
            readText(key, L"ProcessorNameString", L"UnKnown Processor", &name_);
            name_.trimStart();
            readText(key, L"Identifier", L"UnKnown Identifier", &identifier_);
        }
        key->release();
    }

    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    count_ = info.dwNumberOfProcessors;

    uint32_t regs[4] = {};
    cpuidFn(0, regs);
    const uint32_t highest = regs[0];
    const uint32_t vendorRegs[3] = {regs[1], regs[3], regs[2]};
    vendor_.clear();
    appendRegisterText(&vendor_, vendorRegs, 3);
    uint32_t ecx = 0;
    uint32_t edx = 0;
    if (highest >= 1) {
        cpuidFn(1, regs);
        ecx = regs[2] & kKeptEcxBits;
        edx = regs[3];
    }

    cpuidFn(0x80000000u, regs);
    if (regs[0] >= 0x80000004u) {
        uint32_t brand[12];
        for (uint32_t i = 0; i < 3; ++i) cpuidFn(0x80000002u + i, brand + 4 * i);
        name_.clear();
        appendRegisterText(&name_, brand, 12);
        name_.trimStart();
    }

    if (highest != 0 && (ecx != 0 || edx != 0)) {
        featureNames(ecx, edx, &features_);
    }
}

const CpuFacts& CpuFacts::loadCpuFacts() {
    static CpuFacts* const facts = new CpuFacts();
    static std::atomic<bool> gathered{false};
    static thread::ObjLocker lock;
    if (!gathered.load(std::memory_order_acquire)) {
        thread::ObjLocker::Guard guard(lock);
        if (!gathered.load(std::memory_order_relaxed)) {
            facts->gather(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", &CpuFacts::cpuid);
            gathered.store(true, std::memory_order_release);
        }
    }
    return *facts;
}

} // namespace s::system::win
