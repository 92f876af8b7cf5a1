#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "SettingsTestSupport.h"
#include "core/col/_array/ArrayU08.h"
#include "system/xml/MappedData.h"

using s::col::_array::ArrayU08;
using s::xml::MappedData;

namespace {

// The store's file is "savedata\SaveData.xml" beside the test executable; the folder
// is removed before and after each test.
class XmlStore : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = exeFolder() + L"\\savedata";
        file_ = folder_ + L"\\SaveData.xml";
        clean();
    }
    void TearDown() override { clean(); }
    void clean() {
        DeleteFileW(file_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    Held<MappedData> open() { return Held<MappedData>(MappedData::create(file_.c_str())); }

    std::wstring folder_;
    std::wstring file_;
};

} // namespace

TEST_F(XmlStore, SavesBesideTheExecutableAndReloadsEveryType) {
    const wchar_t* text = L"  \"quoted\" <a&b> \u00e4\r\nline  ";
    {
        auto store = open();
        ASSERT_NE(store, nullptr);
        EXPECT_FALSE(store->isAutoSave());
        ASSERT_TRUE(store->setU08(L"Types", L"u8", 200));
        ASSERT_TRUE(store->setU16(L"Types", L"u16", 65535));
        ASSERT_TRUE(store->setU32(L"Types", L"u32", 4294967295u));
        ASSERT_TRUE(store->setU64(L"Types", L"u64", UINT64_MAX));
        ASSERT_TRUE(store->setS08(L"Types", L"s8", -128));
        ASSERT_TRUE(store->setS16(L"Types", L"s16", -32768));
        ASSERT_TRUE(store->setS32(L"Types", L"s32", INT32_MIN));
        ASSERT_TRUE(store->setS64(L"Types", L"s64", INT64_MIN));
        ASSERT_TRUE(store->setFloat(L"Types", L"f", 2.5f));
        ASSERT_TRUE(store->setDouble(L"Types", L"d", -1234.125));
        ASSERT_TRUE(store->setBool(L"Types", L"b", true));
        ASSERT_TRUE(store->setString(L"Types", L"s", text));
        ASSERT_TRUE(store->setString(L"Types", L"", text));
        Held<ArrayU08> bytes(ArrayU08::pool());
        const uint8_t data[] = {0x00, 0xAB, 0xFF};
        bytes->append(data, 3);
        ASSERT_TRUE(store->setBytes(L"Types", L"bytes", bytes.get()));
        // A value set again moves to the end of its element.
        ASSERT_TRUE(store->setU32(L"Order", L"a", 1));
        ASSERT_TRUE(store->setU32(L"Order", L"b", 2));
        ASSERT_TRUE(store->setU32(L"Order", L"A", 3));
        EXPECT_EQ(GetFileAttributesW(file_.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing written yet
        ASSERT_TRUE(store->save());
    }
    const std::string saved = readRaw(file_);
    EXPECT_EQ(saved.rfind("<savedata><Types ", 0), 0u);
    EXPECT_NE(saved.find("<Order b=\"2\" A=\"3\"></Order>"), std::string::npos);
    EXPECT_NE(saved.find("bytes=\"00abff\""), std::string::npos);

    auto store = open();
    EXPECT_EQ(store->getU08(L"Types", L"u8", 0), 200);
    EXPECT_EQ(store->getU16(L"Types", L"u16", 0), 65535);
    EXPECT_EQ(store->getU32(L"Types", L"u32", 0), 4294967295u);
    EXPECT_EQ(store->getU64(L"Types", L"u64", 0), UINT64_MAX);
    EXPECT_EQ(store->getS08(L"Types", L"s8", 0), -128);
    EXPECT_EQ(store->getS16(L"Types", L"s16", 0), -32768);
    EXPECT_EQ(store->getS32(L"Types", L"s32", 0), INT32_MIN);
    EXPECT_EQ(store->getS64(L"Types", L"s64", 0), INT64_MIN);
    EXPECT_EQ(store->getFloat(L"Types", L"f", 0), 2.5f);
    EXPECT_EQ(store->getDouble(L"Types", L"d", 0), -1234.125);
    EXPECT_TRUE(store->getBool(L"Types", L"B", false));
    EXPECT_STREQ(store->getString(L"Types", L"S", nullptr, nullptr, false), text);
    // Element text loses its raw outer blanks but keeps escaped ones.
    EXPECT_STREQ(store->getString(L"Types", L"", nullptr, nullptr, false), text);
    Held<ArrayU08> bytes(store->getBytes(L"Types", L"bytes", nullptr));
    ASSERT_EQ(bytes->count(), 3u);
    EXPECT_EQ(bytes->get(1), 0xAB);
    EXPECT_EQ(store->getU32(L"Order", L"a", 0), 3u);
}

TEST_F(XmlStore, SlashAndBackslashAddressTheSameElement) {
    auto store = open();
    ASSERT_TRUE(store->setU32(L"A/B", L"v", 1));
    ASSERT_TRUE(store->setU32(L"X", L"v", 0));  // moves the cache away
    EXPECT_EQ(store->getU32(L"A\\B", L"v", 0), 1u);
    EXPECT_TRUE(store->hasValue(L"A\\B\\", L"V"));
    ASSERT_TRUE(store->openGroup(L"P\\Q/R"));
    EXPECT_TRUE(store->findGroup(L"P/Q\\R"));
    // Element names keep their case: another spelling is another element.
    EXPECT_FALSE(store->findGroup(L"a/b"));
    ASSERT_TRUE(store->setU32(L"a/b", L"v", 2));
    EXPECT_TRUE(store->findGroup(L"X"));
    EXPECT_EQ(store->getU32(L"A/B", L"v", 0), 1u);
    EXPECT_EQ(store->getU32(L"a\\b", L"v", 0), 2u);
    ASSERT_TRUE(store->save());
    const std::string saved = readRaw(file_);
    EXPECT_EQ(occurrences(saved, "<A>"), 1u);
    EXPECT_EQ(occurrences(saved, "<a>"), 1u);
    EXPECT_EQ(occurrences(saved, "<R>"), 1u);
}

TEST_F(XmlStore, DeletingAGroupRemovesItsSubtreeAndTheCachedElement) {
    auto store = open();
    ASSERT_TRUE(store->setU32(L"G", L"w", 2));
    ASSERT_TRUE(store->setU32(L"G/X/Y", L"v", 1));
    ASSERT_TRUE(store->setU32(L"H", L"k", 1));
    EXPECT_EQ(store->getU32(L"G/X/Y", L"v", 0), 1u);  // cached
    EXPECT_TRUE(store->deleteGroup(L"G"));
    EXPECT_FALSE(store->findGroup(L"G"));
    EXPECT_FALSE(store->findGroup(L"G/X/Y"));
    EXPECT_EQ(store->getU32(L"G/X/Y", L"v", 9), 9u);
    EXPECT_TRUE(store->findGroup(L"H"));
    ASSERT_TRUE(store->setU32(L"G/X/Y", L"v", 3));
    EXPECT_EQ(store->getU32(L"G\\X\\Y", L"v", 0), 3u);
    EXPECT_TRUE(store->deleteGroup(L"G\\X/"));
    EXPECT_FALSE(store->findGroup(L"G/X"));
    EXPECT_TRUE(store->findGroup(L"G"));
    EXPECT_FALSE(store->deleteGroup(L"Nothing/There"));

    EXPECT_TRUE(store->deleteValue(L"H", L"K"));
    EXPECT_FALSE(store->hasValue(L"H", L"k"));
    ASSERT_TRUE(store->save());
    EXPECT_EQ(readRaw(file_), "<savedata><H></H><G></G></savedata>");
}

TEST_F(XmlStore, ReadsHandWrittenFilesLeniently) {
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    ASSERT_TRUE(writeRaw(file_, "\xEF\xBB\xBF<!-- edited by hand -->\r\n<savedata>\r\n"
                                "  <V t=\"True\" o=\"1x\" n=\"12abc\" h=\"0A0b\" n=\"99\"/>\r\n</savedata>"));
    auto store = open();
    EXPECT_FALSE(store->getBool(L"V", L"t", true));
    EXPECT_TRUE(store->getBool(L"V", L"o", false));
    EXPECT_EQ(store->getU32(L"V", L"n", 0), 12u);
    Held<ArrayU08> given(ArrayU08::pool());
    given->add(7);
    EXPECT_EQ(store->getBytes(L"V", L"h", given.get()), given.get());
    ASSERT_EQ(given->count(), 2u);
    EXPECT_EQ(given->get(0), 0x0A);
    EXPECT_EQ(given->get(1), 0x0B);
    EXPECT_EQ(store->getBytes(L"V", L"missing", given.get())->count(), 0u);
    // Setting a value replaces every copy of its name.
    ASSERT_TRUE(store->setU32(L"V", L"n", 5));
    EXPECT_EQ(store->getU32(L"V", L"n", 0), 5u);
    ASSERT_TRUE(store->save());
    EXPECT_EQ(occurrences(readRaw(file_), "n=\""), 1u);

    ASSERT_TRUE(writeRaw(file_, "no markup at all"));
    store->setFile(file_.c_str());
    ASSERT_TRUE(store->save());
    EXPECT_EQ(readRaw(file_), "<savedata></savedata>");
}

TEST_F(XmlStore, AutoSaveWritesEveryChangeAtOnce) {
    auto store = open();
    store->setAutoSave(true);
    ASSERT_TRUE(store->setString(L"View", L"Title", L"x y"));
    EXPECT_EQ(readRaw(file_), "<savedata><View Title=\"x y\"></View></savedata>");
    ASSERT_TRUE(store->deleteValue(L"View", L"Title"));
    EXPECT_EQ(readRaw(file_), "<savedata><View></View></savedata>");
    ASSERT_TRUE(store->deleteGroup(L"View"));
    EXPECT_EQ(readRaw(file_), "<savedata></savedata>");
    // A store back from its pool starts with auto-save off.
    store.reset();
    EXPECT_FALSE(open()->isAutoSave());
}

TEST_F(XmlStore, FileThatCouldNotBeReadIsNeverSavedOver) {
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    const std::string original = "<savedata><User name=\"kept\"></User></savedata>";
    ASSERT_TRUE(writeRaw(file_, original));
    // Another process holds the file open without sharing while the store loads.
    HANDLE lock = CreateFileW(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    auto store = open();
    CloseHandle(lock);
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(store->save());
    EXPECT_FALSE(store->setU32(L"User", L"n", 1) && store->save());
    store->setAutoSave(true);
    EXPECT_FALSE(store->setU32(L"User", L"n", 2));
    EXPECT_EQ(readRaw(file_), original);

    // Pointing the store at the file again reads it, and saving works once more.
    store->setAutoSave(false);
    store->setFile(file_.c_str());
    EXPECT_STREQ(store->getString(L"User", L"name", nullptr, nullptr, false), L"kept");
    ASSERT_TRUE(store->setU32(L"User", L"n", 3));
    ASSERT_TRUE(store->save());
    EXPECT_EQ(readRaw(file_), "<savedata><User name=\"kept\" n=\"3\"></User></savedata>");

    // An empty file reads fine: nothing to lose.
    ASSERT_TRUE(writeRaw(file_, ""));
    store->setFile(file_.c_str());
    ASSERT_TRUE(store->save());
    EXPECT_EQ(readRaw(file_), "<savedata></savedata>");
}

TEST_F(XmlStore, ASaveNeverLeavesTheFileHalfWritten) {
    // A few megabytes, so writing takes many system calls.
    auto store = open();
    ASSERT_NE(store, nullptr);
    const std::wstring value(1000, L'v');
    for (int i = 0; i < 4000; ++i) {
        ASSERT_TRUE(store->setString(L"Big", (L"k" + std::to_wstring(i)).c_str(), value.c_str()));
    }
    ASSERT_TRUE(store->save());
    const std::string closing = "</savedata>";

    // Another reader (a second copy of the program, a backup tool) looks at the file
    // while it is saved again and again: it must always find a whole document.
    std::atomic<bool> saving{true};
    std::atomic<int> reads{0};
    std::atomic<int> broken{0};
    std::thread reader([&] {
        while (saving) {
            HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                continue;  // between the two names of a replace
            }
            std::string bytes;
            char buffer[65536];
            DWORD got = 0;
            while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got != 0) {
                bytes.append(buffer, got);
            }
            CloseHandle(h);
            const size_t end = bytes.find_last_not_of("\r\n\t ");
            if (end == std::string::npos || end + 1 < closing.size() ||
                bytes.compare(end + 1 - closing.size(), closing.size(), closing) != 0) {
                ++broken;
            }
            ++reads;
        }
    });
    bool allSaved = true;
    for (int round = 0; round < 12; ++round) {
        store->setU32(L"Round", L"n", static_cast<uint32_t>(round));
        allSaved = store->save() && allSaved;
    }
    saving = false;
    reader.join();
    EXPECT_TRUE(allSaved);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(0, broken.load()) << "of " << reads.load() << " reads";
    auto again = open();
    EXPECT_EQ(11u, again->getU32(L"Round", L"n", 0));
    EXPECT_EQ(value, again->getString(L"Big", L"k3999", L"", nullptr, false));

    // No temporary file is left beside it.
    WIN32_FIND_DATAW entry;
    HANDLE h = FindFirstFileW((folder_ + L"\\*.tmp").c_str(), &entry);
    EXPECT_EQ(INVALID_HANDLE_VALUE, h);
    if (h != INVALID_HANDLE_VALUE) {
        FindClose(h);
    }
}
