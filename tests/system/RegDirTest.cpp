#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayU08.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/reg/win/NtRegistry.h"
#include "system/reg/win/RegDir.h"

using s::col::_array::ArrayP;
using s::col::_array::ArrayU08;
using s::reg::win::NtRegistry;
using s::reg::win::RegDir;
using s::str::strarray::StrArray;
using s::str::strbuffer::StrBuffer;

namespace {

// Writes a value with exactly the given bytes, as another program may: the Win32
// layer would add a NUL to strings that lack one.
void rawSet(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    UNICODE_STRING valueName;
    valueName.Buffer = const_cast<wchar_t*>(name);
    valueName.Length = static_cast<USHORT>(wcslen(name) * sizeof(wchar_t));
    valueName.MaximumLength = valueName.Length;
    const NTSTATUS st = NtRegistry::instance().ntSetValueKey(h, &valueName, 0, type, const_cast<void*>(data), size);
    RegCloseKey(h);
    ASSERT_EQ(st, 0);
}

bool win32KeyExists(const std::wstring& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

// Every test works in its own scratch key under HKEY_CURRENT_USER\Software.
class RegDirScratch : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = L"Software\\BrisqueltonTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"-";
        for (const char* c = ::testing::UnitTest::GetInstance()->current_test_info()->name(); *c; ++c) {
            root_ += static_cast<wchar_t>(*c);
        }
        dir_ = RegDir::create(HKEY_CURRENT_USER, root_.c_str());
        ASSERT_NE(dir_, nullptr);
        ASSERT_FALSE(dir_->exists());
        ASSERT_TRUE(dir_->create());
    }
    void TearDown() override {
        if (dir_ != nullptr) {
            EXPECT_TRUE(dir_->remove(true));
            dir_->release();
        }
        EXPECT_FALSE(win32KeyExists(root_));
        RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());  // in case the removal failed
    }
    std::wstring sub(const wchar_t* rest) const { return root_ + L"\\" + rest; }

    std::wstring root_;
    RegDir* dir_ = nullptr;
};

}  // namespace

TEST(NtRegistry, SidTextFollowsTheAuthorityRulesAndReportsTheSizeNeeded) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID sid = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 4, 21, 7, 4000000000u, 1000, 0, 0, 0, 0, &sid));
    wchar_t text[128];
    DWORD bytes = sizeof(text);
    ASSERT_TRUE(NtRegistry::sidText(sid, text, &bytes));
    EXPECT_STREQ(text, L"S-1-5-21-7-4000000000-1000");
    DWORD small = 151;
    EXPECT_FALSE(NtRegistry::sidText(sid, text, &small));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small, 56u + 24u * 4u);
    FreeSid(sid);

    // An authority beyond 32 bits prints as six hexadecimal bytes.
    SID_IDENTIFIER_AUTHORITY wide = {{0x01, 0x00, 0x00, 0x00, 0x00, 0x2A}};
    ASSERT_TRUE(AllocateAndInitializeSid(&wide, 1, 9, 0, 0, 0, 0, 0, 0, 0, &sid));
    bytes = sizeof(text);
    ASSERT_TRUE(NtRegistry::sidText(sid, text, &bytes));
    EXPECT_STREQ(text, L"S-1-0x01000000002a-9");
    FreeSid(sid);
}

namespace {
std::wstring g_boxText;
std::wstring g_boxCaption;
UINT g_boxType = 0;
int WINAPI spyMessageBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    g_boxText = text;
    g_boxCaption = caption;
    g_boxType = type;
    return IDOK;
}
}  // namespace

TEST(NtRegistry, TokenFailureIsShownThroughTheReplaceableMessageBox) {
    NtRegistry::MessageBoxFn previous = NtRegistry::setMessageBox(&spyMessageBox);
    wchar_t text[128];
    EXPECT_FALSE(NtRegistry::tokenUserSidText(nullptr, text, sizeof(text)));
    NtRegistry::setMessageBox(previous);
    EXPECT_EQ(g_boxCaption, L"Registry");
    EXPECT_EQ(g_boxText.rfind(L"Error( 6 [0x       6L] ) - ", 0), 0u) << g_boxText;
    EXPECT_TRUE(g_boxType & MB_ICONERROR);
}

TEST(RegDir, ParsesRootNamesAndBuildsNtPaths) {
    RegDir* dir = RegDir::create(HKEY_LOCAL_MACHINE, L"");
    ASSERT_NE(dir, nullptr);
    dir->parse(L"hkey_local_machine\\Software\\Classes\\\\");
    EXPECT_EQ(dir->rootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(dir->pathText(), L"Software\\Classes");
    EXPECT_STREQ(dir->win32PathText(), L"HKEY_LOCAL_MACHINE\\Software\\Classes");
    EXPECT_STREQ(dir->ntPathText(), L"\\Registry\\Machine\\Software\\Classes");
    EXPECT_TRUE(dir->exists());

    // Abbreviations and names that only begin with a root name address no root.
    for (const wchar_t* bad : {L"HKLM\\Software", L"HKEY_USERSX\\Software", L"Software"}) {
        dir->parse(bad);
        EXPECT_EQ(dir->rootKey(), HKEY_CURRENT_USER) << bad;
        EXPECT_STREQ(dir->pathText(), L"InvalidKey") << bad;
    }
    dir->parse(L"HKEY_CLASSES_ROOT\\.txt");
    EXPECT_STREQ(dir->ntPathText(), L"\\Registry\\Machine\\SOFTWARE\\Classes\\.txt");

    // The current user's hive is addressed by the token user's SID.
    dir->parse(L"HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(std::wstring(dir->ntPathText()).rfind(L"\\Registry\\User\\S-1-", 0), 0u) << dir->ntPathText();
    EXPECT_TRUE(dir->exists());

    RegDir* up = dir->parent();
    EXPECT_EQ(up, nullptr);  // "Software" has no parent path
    dir->openPath(L"Software\\Wine\\Fonts");
    up = dir->parent();
    ASSERT_NE(up, nullptr);
    EXPECT_STREQ(up->pathText(), L"Software\\Wine");
    StrBuffer* name = up->keyName(nullptr, false);
    EXPECT_STREQ(name->c_str(), L"Wine");
    up->keyName(name, true);
    EXPECT_STREQ(name->c_str(), L"WineWine");
    name->release();
    up->release();
    dir->release();
}

TEST_F(RegDirScratch, TypedValuesRoundTripWithTheirRegistryTypes) {
    EXPECT_TRUE(dir_->setU08(L"u8", 255));
    EXPECT_TRUE(dir_->setS08(L"s8", -1));
    EXPECT_TRUE(dir_->setU16(L"u16", 65535));
    EXPECT_TRUE(dir_->setS16(L"s16", -2));
    EXPECT_TRUE(dir_->setU32(L"u32", 0xDEADBEEFu));
    EXPECT_TRUE(dir_->setS32(L"s32", -123456));
    EXPECT_TRUE(dir_->setU64(L"u64", 0x0123456789ABCDEFull));
    EXPECT_TRUE(dir_->setS64(L"s64", -5));
    EXPECT_TRUE(dir_->setFloat(L"f", 1.5f));
    EXPECT_TRUE(dir_->setDouble(L"d", -2.25));
    EXPECT_TRUE(dir_->setBool(L"b", true));
    EXPECT_TRUE(dir_->setString(L"", L"default value"));
    EXPECT_TRUE(dir_->setString(L"text", L"H\u00e9llo"));

    // Another program sees the registry types and data.
    DWORD dw = 0, size = sizeof(dw), type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, root_.c_str(), L"s8", RRF_RT_ANY, &type, &dw, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(dw, 0xFFFFFFFFu);
    size = sizeof(dw);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, root_.c_str(), L"u8", RRF_RT_ANY, &type, &dw, &size), ERROR_SUCCESS);
    EXPECT_EQ(dw, 255u);
    uint64_t qw = 0;
    size = sizeof(qw);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, root_.c_str(), L"u64", RRF_RT_ANY, &type, &qw, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(qw, 0x0123456789ABCDEFull);

    // Read back through a fresh key object.
    RegDir* again = RegDir::create(HKEY_CURRENT_USER, root_.c_str());
    EXPECT_EQ(again->getU08(L"u8", 0), 0xFF);
    EXPECT_EQ(again->getU08(L"s8", 0), 0xFF);
    EXPECT_EQ(again->getS08(L"u8", 0), -1);
    EXPECT_EQ(again->getU16(L"u16", 0), 65535);
    EXPECT_EQ(again->getS16(L"s16", 0), -2);
    EXPECT_EQ(again->getU32(L"u32", 0), 0xDEADBEEFu);
    EXPECT_EQ(again->getS32(L"s32", 0), -123456);
    EXPECT_EQ(again->getU64(L"u64", 0), 0x0123456789ABCDEFull);
    EXPECT_EQ(again->getS64(L"s64", 0), -5);
    EXPECT_EQ(again->getFloat(L"f", 0), 1.5f);
    EXPECT_EQ(again->getDouble(L"d", 0), -2.25);
    EXPECT_TRUE(again->getBool(L"b", false));
    EXPECT_STREQ(again->getString(L"", L"?", nullptr, false), L"default value");
    bool expandable = true;
    EXPECT_STREQ(again->getString(L"text", L"?", &expandable, false), L"H\u00e9llo");
    EXPECT_FALSE(expandable);
    EXPECT_EQ(again->valueLength(L"text"), 12u);

    // The data length decides, not the type: a double is also 8 bytes, a float 4.
    EXPECT_NE(again->getU64(L"d", 0), 0u);
    EXPECT_NE(again->getU32(L"f", 0), 0u);
    EXPECT_EQ(again->getU64(L"u32", 7), 7u);
    EXPECT_EQ(again->getU32(L"u64", 7), 7u);
    EXPECT_STREQ(again->getString(L"u32", L"dflt", nullptr, false), L"dflt");
    EXPECT_EQ(again->getU32(L"missing", 42), 42u);
    again->release();
}

TEST_F(RegDirScratch, ValuesWrittenByOtherProgramsAreReadByLength) {
    const uint64_t qword = 1ull << 40;
    rawSet(root_, L"qword", REG_QWORD, &qword, sizeof(qword));
    rawSet(root_, L"sz4", REG_SZ, L"AB", 4);  // exactly 4 bytes, no NUL
    rawSet(root_, L"unterminated", REG_SZ, L"abcdef", 6);
    rawSet(root_, L"empty", REG_DWORD, nullptr, 0);
    rawSet(root_, L"multi", REG_MULTI_SZ, L"one\0two", 16);  // final NULs left out
    rawSet(root_, L"multiEmpty", REG_MULTI_SZ, L"\0", 4);
    const uint8_t four[4] = {1, 2, 3, 4};
    rawSet(root_, L"bin4", REG_BINARY, four, 4);

    EXPECT_EQ(dir_->getU64(L"qword", 0), qword);
    EXPECT_EQ(dir_->getU32(L"sz4", 0), 0x00420041u);
    EXPECT_STREQ(dir_->getString(L"unterminated", L"?", nullptr, false), L"abc");
    EXPECT_STREQ(dir_->getString(L"empty", L"?", nullptr, false), L"");
    EXPECT_EQ(dir_->getU32(L"bin4", 0), 0x04030201u);

    StrArray* list = dir_->getMultiString(L"multi");
    ASSERT_EQ(list->count(), 2u);
    EXPECT_STREQ(list->get(0)->c_str(), L"one");
    EXPECT_STREQ(list->get(1)->c_str(), L"two");
    list->release();
    list = dir_->getMultiString(L"multiEmpty");
    EXPECT_EQ(list->count(), 0u);
    list->release();
    list = dir_->getMultiString(L"bin4");  // not a multi-string
    EXPECT_EQ(list->count(), 0u);
    list->release();
}

TEST_F(RegDirScratch, StringsMultiStringsAndBytesRoundTrip) {
    SetEnvironmentVariableW(L"BRISQUELTON_TEST_DIR", L"C:\\scratch");
    EXPECT_TRUE(dir_->setExpandString(L"exp", L"%BRISQUELTON_TEST_DIR%\\out"));
    bool expandable = false;
    EXPECT_STREQ(dir_->getString(L"exp", L"?", &expandable, false), L"%BRISQUELTON_TEST_DIR%\\out");
    EXPECT_TRUE(expandable);
    EXPECT_STREQ(dir_->getString(L"exp", L"?", nullptr, true), L"C:\\scratch\\out");

    // An expansion longer than 520 characters comes back whole.
    const std::wstring longValue(700, L'x');
    SetEnvironmentVariableW(L"BRISQUELTON_TEST_LONG", longValue.c_str());
    EXPECT_TRUE(dir_->setExpandString(L"long", L"%BRISQUELTON_TEST_LONG%!"));
    EXPECT_EQ(std::wstring(dir_->getString(L"long", L"?", nullptr, true)), longValue + L"!");

    StrArray* strings = StrArray::pool();
    strings->add(L"first")->add(L"")->add(L"third");
    EXPECT_TRUE(dir_->setMultiString(L"multi", strings));
    strings->clear();
    strings->add(L"only");
    EXPECT_TRUE(dir_->setMultiString(L"single", strings));
    strings->release();
    StrArray* back = dir_->getMultiString(L"single");
    ASSERT_EQ(back->count(), 1u);
    EXPECT_STREQ(back->get(0)->c_str(), L"only");
    back->release();

    // A value of 40000 bytes does not fit the first query buffer.
    ArrayU08* big = ArrayU08::pool();
    for (uint32_t i = 0; i < 40000; ++i) big->add(static_cast<uint8_t>(i * 7));
    EXPECT_TRUE(dir_->setBytes(L"big", big));
    ArrayU08* read = dir_->getBytes(L"big", nullptr);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->count(), 40000u);
    EXPECT_EQ(std::memcmp(read->items(), big->items(), 40000), 0);
    // A given array is filled in place, replacing its contents.
    EXPECT_EQ(dir_->getBytes(L"exp", read), read);
    EXPECT_EQ(read->count(), dir_->valueLength(L"exp"));
    read->release();
    big->release();

    // A missing value takes no array from the pool.
    const int32_t idle = ArrayU08::pooler().idleCount();
    EXPECT_EQ(dir_->getBytes(L"missing", nullptr), nullptr);
    EXPECT_EQ(ArrayU08::pooler().idleCount(), idle);

    EXPECT_TRUE(dir_->deleteValue(L"big"));
    EXPECT_FALSE(dir_->deleteValue(L"big"));
    EXPECT_EQ(dir_->valueLength(L"big"), 0u);
}

TEST_F(RegDirScratch, ValueNamesListEveryValueEvenLongNames) {
    const std::wstring longName(600, L'n');
    EXPECT_TRUE(dir_->setU32(L"a", 1));
    EXPECT_TRUE(dir_->setU32(longName.c_str(), 2));
    EXPECT_TRUE(dir_->setU32(L"z", 3));
    StrArray* names = dir_->valueNames();
    ASSERT_EQ(names->count(), 3u);
    uint32_t at = 0;
    EXPECT_TRUE(names->findText(L"a", &at));
    EXPECT_TRUE(names->findText(longName.c_str(), &at));
    EXPECT_TRUE(names->findText(L"z", &at));
    names->release();
}

TEST_F(RegDirScratch, NestedKeysAreCreatedEnumeratedCountedAndRemoved) {
    // Three missing levels at once.
    RegDir* deep = RegDir::create(HKEY_CURRENT_USER, sub(L"Alpha\\Beta\\Gamma").c_str());
    EXPECT_FALSE(deep->exists());
    EXPECT_TRUE(deep->create());
    EXPECT_TRUE(win32KeyExists(sub(L"Alpha\\Beta\\Gamma")));
    EXPECT_TRUE(deep->setU32(L"v", 1));
    deep->release();
    RegDir* other = RegDir::create(HKEY_CURRENT_USER, sub(L"alphabet").c_str());
    EXPECT_TRUE(other->setString(L"s", L"x"));  // a setter creates the key
    other->release();
    RegDir* third = RegDir::create(HKEY_CURRENT_USER, sub(L"Zulu").c_str());
    EXPECT_TRUE(third->create());
    third->release();

    ArrayP* children = dir_->subKeys();
    ASSERT_EQ(children->count(), 3u);
    for (uint32_t i = 0; i < children->count(); ++i) {
        RegDir* child = static_cast<RegDir*>(children->get(i));
        EXPECT_TRUE(child->exists()) << child->pathText();
        EXPECT_EQ(std::wstring(child->pathText()).rfind(root_ + L"\\", 0), 0u);
    }
    children->release();
    ArrayP* alphas = dir_->subKeysStartingWith(L"ALPHA");
    EXPECT_EQ(alphas->count(), 2u);
    alphas->release();

    uint32_t counted = 0;
    EXPECT_TRUE(dir_->countSubKeys(true, &counted));
    EXPECT_EQ(counted, 5u);

    // Removing the children only keeps the key and its values.
    EXPECT_TRUE(dir_->setU32(L"kept", 9));
    EXPECT_TRUE(dir_->remove(false));
    EXPECT_FALSE(win32KeyExists(sub(L"Alpha")));
    EXPECT_TRUE(dir_->exists());
    EXPECT_EQ(dir_->getU32(L"kept", 0), 9u);
    counted = 0;
    EXPECT_TRUE(dir_->countSubKeys(true, &counted));
    EXPECT_EQ(counted, 0u);
}

TEST_F(RegDirScratch, CreateFailsCleanlyWhereNoParentCanBeMade) {
    // A key name over 255 characters is refused, and a path without "\" has no
    // parent to fall back on.
    const std::wstring tooLong(300, L'k');
    RegDir* dir = RegDir::create(HKEY_USERS, tooLong.c_str());
    EXPECT_FALSE(dir->create());
    EXPECT_FALSE(dir->setU32(L"v", 1));
    dir->release();
    // Below an existing key the failure also stays a failure.
    dir = RegDir::create(HKEY_CURRENT_USER, sub(tooLong.c_str()).c_str());
    EXPECT_FALSE(dir->create());
    dir->release();
}
