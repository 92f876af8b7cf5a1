#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ArchiveTestSupport.h"
#include "core/col/_array/ArrayU08.h"
#include "images/archive/dll/win/Archive.h"
#include "system/file/win/PathWin.h"

using s::archive::dll::win::Archive;
using s::archive::dll::win::Entry;
using s::col::_array::ArrayU08;
using namespace archive_test;

namespace {

const WORD US = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::string payloadOf(Archive* a) {
    uint32_t i;
    return a->findByNameText(L"PAYLOAD", &i) ? entryBytes(a, i) : std::string("(missing)");
}

} // namespace

TEST(ModuleReplace, ReplacedAndAddedResourcesReadBackFromTheFile) {
    ScratchFolder scratch(L"replace");
    const std::wstring copy = scratch / L"copy.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    Archive* a = Archive::openModuleArchive(copy.c_str());
    ASSERT_GT(a->count(), 0u);
    const uint32_t before = a->count();

    const std::string replaced = "a longer payload than before";
    ASSERT_TRUE(a->replaceResource(replaced.data(), static_cast<uint32_t>(replaced.size()), RT_RCDATA, L"PAYLOAD", US));
    EXPECT_EQ(a->count(), before);
    EXPECT_EQ(payloadOf(a), replaced);

    const std::string added = "brand new";
    ASSERT_TRUE(a->replaceResource(added.data(), static_cast<uint32_t>(added.size()), L"NEWTYPE",
                                   MAKEINTRESOURCEW(5000), US));
    ASSERT_EQ(a->count(), before + 1);
    const Entry* last = a->entry(before);
    EXPECT_STREQ(last->typeText(), L"NEWTYPE");
    EXPECT_EQ(last->nameId(), 5000u);
    EXPECT_EQ(last->size(), static_cast<int64_t>(added.size()));
    EXPECT_EQ(entryBytes(a, before), added);
    // Every other entry was found again in the rewritten file.
    for (uint32_t i = 0; i < a->count(); ++i) {
        EXPECT_NE(a->entry(i)->handle(), nullptr) << i;
    }
    std::string file;
    ASSERT_TRUE(readFile(copy, file));
    EXPECT_EQ(a->size(), static_cast<int64_t>(file.size()));
    a->release();

    // A fresh archive over the file sees the same.
    Archive* again = Archive::openModuleArchive(copy.c_str());
    EXPECT_EQ(payloadOf(again), replaced);
    uint32_t i;
    ASSERT_TRUE(again->findByTypeTextNameId(L"NEWTYPE", 5000, &i));
    EXPECT_EQ(entryBytes(again, i), added);
    again->release();
}

TEST(ModuleReplace, FailedUpdatesAreReportedAndChangeNothing) {
    // The running program's own file cannot be rewritten.
    Archive* own = Archive::openModuleArchive(ownPath().c_str());
    const uint32_t ownCount = own->count();
    const std::string data = "x";
    EXPECT_FALSE(own->replaceResource(data.data(), 1, L"NEWTYPE", MAKEINTRESOURCEW(5001), US));
    EXPECT_EQ(own->count(), ownCount);
    EXPECT_FALSE(own->findByTypeTextNameId(L"NEWTYPE", 5001, nullptr));
    EXPECT_EQ(payloadOf(own), "payload");
    EXPECT_EQ(own->module(), GetModuleHandleW(nullptr));
    own->release();

    // A copy that another handle keeps from being written: the archive loads it again
    // and stays usable.
    ScratchFolder scratch(L"locked");
    const std::wstring copy = scratch / L"copy.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    HANDLE lock = CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Archive* a = Archive::openModuleArchive(copy.c_str());
    const uint32_t before = a->count();
    EXPECT_FALSE(a->replaceResource(data.data(), 1, L"NEWTYPE", MAKEINTRESOURCEW(5002), US));
    EXPECT_FALSE(a->replaceResource(data.data(), 1, RT_RCDATA, L"PAYLOAD", US));
    EXPECT_EQ(a->count(), before);
    EXPECT_FALSE(a->findByTypeTextNameId(L"NEWTYPE", 5002, nullptr));
    EXPECT_NE(a->module(), nullptr);
    EXPECT_EQ(payloadOf(a), "payload");
    CloseHandle(lock);
    // Once the file is free the same update goes through.
    EXPECT_TRUE(a->replaceResource(data.data(), 1, RT_RCDATA, L"PAYLOAD", US));
    EXPECT_EQ(payloadOf(a), "x");
    a->release();
}

TEST(ModuleReplace, AddedBitmapExportsAsBitmapFile) {
    ScratchFolder scratch(L"bitmap");
    const std::wstring copy = scratch / L"copy.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    // A 2 x 2 DIB of 24 bits: rows of 6 bytes padded to 8.
    std::string dib(40 + 16, '\0');
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 2;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biSizeImage = 16;
    memcpy(dib.data(), &h, sizeof(h));
    for (size_t i = 40; i < dib.size(); ++i) {
        dib[i] = static_cast<char>(i);
    }
    Archive* a = Archive::openModuleArchive(copy.c_str());
    ASSERT_TRUE(a->replaceResource(dib.data(), static_cast<uint32_t>(dib.size()), RT_BITMAP, MAKEINTRESOURCEW(700), US));
    uint32_t i;
    ASSERT_TRUE(a->findByKindNameId(Entry::KIND_BITMAP, 700, &i));
    ScratchFolder out(L"bitmap-out");
    EXPECT_TRUE(a->exportAll(out.path().c_str()));
    a->release();

    std::string bmp;
    ASSERT_TRUE(readFile(out / L"BITMAP\\700.bmp", bmp));
    ASSERT_EQ(bmp.size(), 14 + dib.size());
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    BITMAPFILEHEADER fh;
    memcpy(&fh, bmp.data(), sizeof(fh));
    EXPECT_EQ(fh.bfSize, bmp.size());
    EXPECT_EQ(fh.bfOffBits, 14u + 40u);
    EXPECT_EQ(bmp.substr(14 + 40), dib.substr(40));
}

TEST(ModuleReplace, FailedUpdateLeavesEntriesReadableWhereverTheModuleLoadsAgain) {
    ScratchFolder scratch(L"moved");
    const std::wstring copy = scratch / L"copy.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    HANDLE lock = CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // A second mapping given up before the update leaves a free place, so the module
    // the update frees and loads again can come back at another address.
    Archive* other = Archive::openModuleArchive(copy.c_str());
    Archive* a = Archive::openModuleArchive(copy.c_str());
    ASSERT_NE(a->module(), nullptr);
    other->release();
    const std::string data = "x";
    EXPECT_FALSE(a->replaceResource(data.data(), 1, RT_RCDATA, L"PAYLOAD", US));
    ASSERT_NE(a->module(), nullptr);
    for (uint32_t i = 0; i < a->count(); ++i) {
        const Entry* e = a->entry(i);
        EXPECT_EQ(e->handle(), FindResourceExW(a->module(), e->typeResource(), e->nameResource(), e->languageId()))
            << i;
    }
    EXPECT_EQ(payloadOf(a), "payload");
    a->release();
    CloseHandle(lock);
}
