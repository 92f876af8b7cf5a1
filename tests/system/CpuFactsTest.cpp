#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "system/reg/win/RegDir.h"
#include "system/system/win/CpuFacts.h"

using s::reg::win::RegDir;
using s::str::strarray::StrArray;
using s::system::win::CpuFacts;

namespace {

// A processor that answers leaves 0 and 1 and, optionally, the brand leaves.
uint32_t g_highestExtended = 0;
void fakeCpuid(uint32_t leaf, uint32_t regs[4]) {
    std::memset(regs, 0, 16);
    static const char brand[49] = "   Fake(R) Core(TM) CPU @ 1.00GHz";
    switch (leaf) {
    case 0:
        regs[0] = 1;
        std::memcpy(&regs[1], "Genu", 4);  // EBX, EDX, ECX
        std::memcpy(&regs[3], "ineI", 4);
        std::memcpy(&regs[2], "ntel", 4);
        break;
    case 1:
        regs[2] = (1u << 0) | (1u << 1) | (1u << 8);  // bit 1 is not kept
        regs[3] = (1u << 0) | (1u << 23) | (1u << 26);
        break;
    case 0x80000000u:
        regs[0] = g_highestExtended;
        break;
    case 0x80000002u:
    case 0x80000003u:
    case 0x80000004u:
        std::memcpy(regs, brand + 16 * (leaf - 0x80000002u), 16);
        break;
    }
}

}  // namespace

TEST(CpuFacts, FeatureNamesOfTheKeptBitsAreSorted) {
    StrArray* names = StrArray::pool();
    CpuFacts::featureNames((1u << 10) | (1u << 0) | (1u << 2), (1u << 31) | (1u << 4), names);
    ASSERT_EQ(names->count(), 4u);
    EXPECT_STREQ(names->get(0)->c_str(), L"L1 Context ID");
    EXPECT_STREQ(names->get(1)->c_str(), L"Pend. Brk. EN.");
    EXPECT_STREQ(names->get(2)->c_str(), L"SSE3 New Instructions");
    EXPECT_STREQ(names->get(3)->c_str(), L"Time Stamp Counter");
    names->release();
}

TEST(CpuFacts, CpuidReplacesVendorAndNameOnlyWhenItHasThem) {
    const std::wstring path = L"Software\\BrisqueltonTest-cpu-" + std::to_wstring(GetCurrentProcessId());
    RegDir* key = RegDir::create(HKEY_CURRENT_USER, path.c_str());
    ASSERT_TRUE(key->setString(L"VendorIdentifier", L"RegistryVendor"));
    ASSERT_TRUE(key->setString(L"ProcessorNameString", L" \t Registry CPU"));
    ASSERT_TRUE(key->setString(L"Identifier", L"Family 6"));

    CpuFacts facts;
    g_highestExtended = 0x80000001u;  // no brand leaves
    facts.gather(HKEY_CURRENT_USER, path.c_str(), &fakeCpuid);
    EXPECT_STREQ(facts.cpuVendor().c_str(), L"GenuineIntel");
    EXPECT_STREQ(facts.cpuName().c_str(), L"Registry CPU");
    EXPECT_STREQ(facts.cpuIdentifier().c_str(), L"Family 6");
    ASSERT_EQ(facts.cpuFeatures().count(), 5u);
    EXPECT_STREQ(facts.cpuFeatures().get(0)->c_str(), L"MMX Technology");
    EXPECT_GE(facts.count(), 1u);

    g_highestExtended = 0x80000004u;
    facts.gather(HKEY_CURRENT_USER, path.c_str(), &fakeCpuid);
    EXPECT_STREQ(facts.cpuName().c_str(), L"Fake(R) Core(TM) CPU @ 1.00GHz");

    // Without the processor key the texts stay empty until CPUID fills them.
    EXPECT_TRUE(key->remove(true));
    key->release();
    g_highestExtended = 0;
    facts.gather(HKEY_CURRENT_USER, path.c_str(), &fakeCpuid);
    EXPECT_STREQ(facts.cpuName().c_str(), L"");
    EXPECT_STREQ(facts.cpuIdentifier().c_str(), L"");
    EXPECT_STREQ(facts.cpuVendor().c_str(), L"GenuineIntel");
}

TEST(CpuFacts, ThisMachine) {
    const CpuFacts& facts = CpuFacts::loadCpuFacts();
    EXPECT_EQ(&facts, &CpuFacts::loadCpuFacts());
    EXPECT_EQ(facts.cpuVendor().length(), 12u);
    EXPECT_GE(CpuFacts::processorCount(), 1u);
    EXPECT_GT(facts.cpuFeatures().count(), 0u);  // every x86-64 has SSE2
}
