#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "SettingsTestSupport.h"
#include "core/col/_array/ArrayU08.h"
#include "system/reg/MappedData.h"

using s::col::_array::ArrayU08;
using s::reg::MappedData;

namespace {

// Every test works below its own scratch key under HKEY_CURRENT_USER\Software and
// looks at the registry through advapi32, not through the store.
class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = L"Software\\BrisqueltonSettingsTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"-";
        for (const char* c = ::testing::UnitTest::GetInstance()->current_test_info()->name(); *c; ++c) {
            key_ += static_cast<wchar_t>(*c);
        }
        store_.reset(MappedData::create(key_.c_str()));
        ASSERT_NE(store_, nullptr);
    }
    void TearDown() override {
        store_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
        EXPECT_FALSE(keyExists(L""));
    }

    std::wstring path(const wchar_t* group) const { return group[0] ? key_ + L"\\" + group : key_; }
    bool keyExists(const wchar_t* group) const {
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path(group).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
        RegCloseKey(h);
        return true;
    }
    // Type and data of a value; type REG_NONE with no data when missing.
    std::string raw(const wchar_t* group, const wchar_t* name, DWORD* type) const {
        *type = REG_NONE;
        BYTE data[64];
        DWORD size = sizeof(data);
        if (RegGetValueW(HKEY_CURRENT_USER, path(group).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, data,
                         &size) != ERROR_SUCCESS) {
            return std::string();
        }
        return std::string(reinterpret_cast<char*>(data), size);
    }
    void rawSet(const wchar_t* group, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path(group).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &h, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(h);
    }
    template <class T>
    static std::string bytesOf(T value) {
        return std::string(reinterpret_cast<const char*>(&value), sizeof(value));
    }

    std::wstring key_;
    Held<MappedData> store_;
};

} // namespace

TEST_F(RegistryStore, SmallIntegersAreDwordsReadBackThroughEitherByteGetter) {
    EXPECT_FALSE(keyExists(L""));  // the first setter makes the key
    ASSERT_TRUE(store_->setU08(L"G", L"u", 255));
    ASSERT_TRUE(store_->setS08(L"G", L"s", -1));
    ASSERT_TRUE(store_->setS16(L"G", L"s16", -2));
    ASSERT_TRUE(store_->setBool(L"G", L"b", true));
    DWORD type = 0;
    EXPECT_EQ(raw(L"G", L"u", &type), bytesOf<uint32_t>(255));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw(L"G", L"s", &type), bytesOf<uint32_t>(0xFFFFFFFFu));
    EXPECT_EQ(raw(L"G", L"s16", &type), bytesOf<uint32_t>(0xFFFFFFFEu));
    EXPECT_EQ(raw(L"G", L"b", &type), bytesOf<uint32_t>(1));
    EXPECT_EQ(store_->getU08(L"G", L"u", 0), 255);
    EXPECT_EQ(store_->getS08(L"G", L"u", 0), -1);
    EXPECT_EQ(store_->getU08(L"G", L"s", 0), 255);
    EXPECT_EQ(store_->getS08(L"G", L"s", 0), -1);
    EXPECT_EQ(store_->getU16(L"G", L"s16", 0), 0xFFFE);
    EXPECT_TRUE(store_->getBool(L"G", L"b", false));
}

TEST_F(RegistryStore, FloatsDoublesAndWideIntegersAreBinaryReadByLength) {
    ASSERT_TRUE(store_->setDouble(L"G", L"d", 1.5));
    ASSERT_TRUE(store_->setFloat(L"G", L"f", 0.25f));
    ASSERT_TRUE(store_->setS64(L"G", L"s64", INT64_MIN));
    DWORD type = 0;
    EXPECT_EQ(raw(L"G", L"d", &type), bytesOf(1.5));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(raw(L"G", L"f", &type), bytesOf(0.25f));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    uint64_t doubleBits = 0;
    uint32_t floatBits = 0;
    const double d = 1.5;
    const float f = 0.25f;
    std::memcpy(&doubleBits, &d, sizeof(d));
    std::memcpy(&floatBits, &f, sizeof(f));
    EXPECT_EQ(store_->getU64(L"G", L"d", 0), doubleBits);
    EXPECT_EQ(store_->getU32(L"G", L"f", 0), floatBits);
    EXPECT_EQ(store_->getDouble(L"G", L"d", 0), 1.5);
    EXPECT_EQ(store_->getFloat(L"G", L"f", 0), 0.25f);
    EXPECT_EQ(store_->getS64(L"G", L"s64", 0), INT64_MIN);
    // A length that does not fit the getter counts as missing.
    EXPECT_EQ(store_->getU32(L"G", L"d", 7), 7u);
    EXPECT_EQ(store_->getU64(L"G", L"f", 7), 7u);
}

TEST_F(RegistryStore, ValuesOfOtherProgramsAreReadByLengthNotType) {
    const uint64_t q = 0x1122334455667788ull;
    rawSet(L"G", L"q", REG_QWORD, &q, sizeof(q));
    rawSet(L"G", L"sz", REG_SZ, L"A", 4);  // "A" and its terminator: 4 bytes
    rawSet(L"G", L"e1", REG_SZ, L"", 0);
    rawSet(L"G", L"e2", REG_BINARY, nullptr, 0);
    rawSet(L"G", L"e3", REG_DWORD, nullptr, 0);
    EXPECT_EQ(store_->getU64(L"G", L"q", 0), q);
    EXPECT_EQ(store_->getU32(L"G", L"sz", 0), 0x41u);
    EXPECT_STREQ(store_->getString(L"G", L"sz", L"def", nullptr, false), L"A");
    for (const wchar_t* name : {L"e1", L"e2", L"e3"}) {
        EXPECT_TRUE(store_->hasValue(L"G", name));
        EXPECT_STREQ(store_->getString(L"G", name, L"def", nullptr, false), L"") << name;
        EXPECT_EQ(store_->getU32(L"G", name, 9), 9u);
    }
    // A number is not text.
    EXPECT_STREQ(store_->getString(L"G", L"q", L"def", nullptr, false), L"def");
}

TEST_F(RegistryStore, ExpandableStringsAreFlaggedAndExpandedOnRequest) {
    ASSERT_TRUE(store_->setExpandString(L"G", L"p", L"%SystemRoot%\\x"));
    ASSERT_TRUE(store_->setString(L"G", L"plain", L"%SystemRoot%"));
    bool expandable = false;
    EXPECT_STREQ(store_->getString(L"G", L"p", nullptr, &expandable, false), L"%SystemRoot%\\x");
    EXPECT_TRUE(expandable);
    const std::wstring expanded = store_->getString(L"G", L"p", nullptr, &expandable, true);
    EXPECT_EQ(expanded.find(L'%'), std::wstring::npos);
    EXPECT_STREQ(store_->getString(L"G", L"plain", nullptr, &expandable, true), L"%SystemRoot%");
    EXPECT_FALSE(expandable);
    EXPECT_STREQ(store_->getString(L"Missing", L"p", L"def", &expandable, true), L"def");
}

TEST_F(RegistryStore, GroupTextIsOneKeyPathAndMissingGroupsStayMissing) {
    ASSERT_TRUE(store_->setU32(L"A/B", L"v", 1));
    ASSERT_TRUE(store_->setU32(L"C\\D", L"v", 2));
    ASSERT_TRUE(store_->setU32(L"", L"root", 3));
    EXPECT_TRUE(keyExists(L"A/B"));
    EXPECT_FALSE(keyExists(L"A"));
    EXPECT_TRUE(keyExists(L"C\\D"));
    EXPECT_EQ(store_->getU32(L"", L"root", 0), 3u);
    EXPECT_EQ(store_->getU32(L"c\\d", L"v", 0), 2u);

    EXPECT_FALSE(store_->findGroup(L"Later"));
    EXPECT_FALSE(store_->findGroup(L"Later"));
    EXPECT_FALSE(keyExists(L"Later"));
    EXPECT_TRUE(store_->openGroup(L"Later\\Deep"));
    EXPECT_TRUE(keyExists(L"Later\\Deep"));
    EXPECT_TRUE(store_->findGroup(L"Later"));
}

TEST_F(RegistryStore, DeletingAGroupRemovesItsSubtreeAndTheCachedKey) {
    ASSERT_TRUE(store_->setU32(L"G", L"w", 2));
    ASSERT_TRUE(store_->setU32(L"G\\X\\Y", L"v", 1));
    ASSERT_TRUE(store_->setU32(L"H", L"k", 1));
    EXPECT_EQ(store_->getU32(L"G\\X\\Y", L"v", 0), 1u);
    EXPECT_TRUE(store_->deleteGroup(L"G"));
    EXPECT_FALSE(keyExists(L"G"));
    EXPECT_TRUE(keyExists(L"H"));
    EXPECT_FALSE(store_->findGroup(L"G\\X\\Y"));
    EXPECT_EQ(store_->getU32(L"G\\X\\Y", L"v", 9), 9u);
    // Writing to the removed group makes it again.
    ASSERT_TRUE(store_->setU32(L"G\\X\\Y", L"v", 3));
    EXPECT_TRUE(keyExists(L"G\\X\\Y"));
    EXPECT_EQ(store_->getU32(L"G\\X\\Y", L"v", 0), 3u);
    EXPECT_FALSE(store_->deleteGroup(L"Nothing"));

    EXPECT_TRUE(store_->deleteValue(L"H", L"k"));
    EXPECT_FALSE(store_->hasValue(L"H", L"k"));
    EXPECT_FALSE(store_->deleteValue(L"H", L"k"));
}

TEST_F(RegistryStore, GetBytesTakesNoPooledArrayWhenTheValueIsMissing) {
    Held<ArrayU08> bytes(ArrayU08::pool());
    const uint8_t data[] = {1, 2, 3};
    bytes->append(data, 3);
    ASSERT_TRUE(store_->setBytes(L"G", L"b", bytes.get()));

    Held<ArrayU08> read(store_->getBytes(L"G", L"b", nullptr));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->count(), 3u);
    EXPECT_EQ(std::memcmp(read->items(), data, 3), 0);

    ArrayU08::pool()->release();  // at least one idle array to be taken
    const int32_t idle = ArrayU08::pooler().idleCount();
    EXPECT_EQ(store_->getBytes(L"G", L"missing", nullptr), nullptr);
    EXPECT_EQ(store_->getBytes(L"NoGroup", L"b", nullptr), nullptr);
    EXPECT_EQ(store_->getBytes(L"G", L"missing", bytes.get()), nullptr);
    EXPECT_EQ(ArrayU08::pooler().idleCount(), idle);
}
