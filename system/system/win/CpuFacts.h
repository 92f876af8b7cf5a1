#pragma once
#include <windows.h>

#include <cstdint>

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::system::win {

// Facts about the processor: vendor, name and identifier (from the processor's
// registry key, vendor and name replaced by CPUID when it has them), the features
// of CPUID leaf 1 and the processor count. The process-wide record is gathered once.
class CpuFacts {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;
    // Fills regs with EAX, EBX, ECX, EDX of a CPUID leaf.
    typedef void (*CpuidFn)(uint32_t leaf, uint32_t regs[4]);

    CpuFacts();
    CpuFacts(const CpuFacts&) = delete;
    CpuFacts& operator=(const CpuFacts&) = delete;

    // The process-wide facts: the machine's processor key and the CPUID instruction.
    static const CpuFacts& loadCpuFacts();
    static uint32_t processorCount() { return loadCpuFacts().count_; }

    // Gathers into this record from the given registry key and CPUID source.
    void gather(HKEY root, const wchar_t* processorKeyPath, CpuidFn cpuid);
    // The CPUID instruction itself.
    static void cpuid(uint32_t leaf, uint32_t regs[4]);
    // Names of the set feature bits of leaf 1 (ECX bits 0, 3, 4, 8, 10 and all of
    // EDX), sorted, into out (emptied first).
    static void featureNames(uint32_t ecx, uint32_t edx, StrArray* out);

    const StrBuffer& cpuVendor() const { return vendor_; }
    const StrBuffer& cpuName() const { return name_; }
    const StrBuffer& cpuIdentifier() const { return identifier_; }
    const StrArray& cpuFeatures() const { return features_; }
    uint32_t count() const { return count_; }

private:
    StrBuffer vendor_;
    StrBuffer name_;
    StrBuffer identifier_;
    StrArray features_;
    uint32_t count_;
};

} // namespace s::system::win
