#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ArchiveTestSupport.h"
#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "images/archive/dll/win/Archive.h"
#include "system/system/win/OsFacts.h"
#include "system/xml/Node.h"
#include "testres.h"

using s::archive::dll::win::Archive;
using s::archive::dll::win::Entry;
using s::col::_array::ArrayU08;
using s::str::strbuffer::StrBuffer;
using s::system::win::OsFacts;
using namespace archive_test;

namespace {

uint32_t countOfKind(const Archive* a, uint32_t kind) {
    uint32_t n = 0;
    while (a->findNthOfKind(kind, n, nullptr)) {
        ++n;
    }
    return n;
}

} // namespace

TEST(ModuleArchive, OwnModuleListsItsResourcesByKind) {
    Archive* a = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_GT(a->count(), 0u);
    EXPECT_TRUE(a->isOwnModule());
    EXPECT_EQ(a->module(), GetModuleHandleW(nullptr));
    std::string file;
    ASSERT_TRUE(readFile(ownPath(), file));
    EXPECT_EQ(a->size(), static_cast<int64_t>(file.size()));

    uint32_t i;
    ASSERT_TRUE(a->findByTypeTextNameId(L"IDR_XML", 130, &i));
    EXPECT_TRUE(a->entry(i)->isTypeText());
    EXPECT_GT(a->entry(i)->size(), 0);
    EXPECT_TRUE(a->findByTypeTextNameId(L"IDR_JPG", 131, nullptr));
    EXPECT_TRUE(a->findByTypeTextNameId(L"IDR_JPG", 132, nullptr));
    EXPECT_FALSE(a->findByTypeTextNameId(L"idr_jpg", 131, nullptr));
    EXPECT_TRUE(a->findByKindNameId(Entry::KIND_GROUP_ICON, 128, nullptr));
    EXPECT_GT(countOfKind(a, Entry::KIND_ICON_IMAGE), 0u);
    EXPECT_TRUE(a->findByKindNameId(Entry::KIND_MANIFEST, 1, nullptr));
    // The program's title block and the test's block.
    EXPECT_EQ(countOfKind(a, Entry::KIND_STRING), 2u);
    EXPECT_TRUE(a->findByKindNameId(Entry::KIND_STRING, IDS_FIRST / 16 + 1, nullptr));
    EXPECT_TRUE(a->findByKindNameId(Entry::KIND_ACCELERATOR, IDA_TEST, nullptr));
    EXPECT_TRUE(a->findByKindNameId(Entry::KIND_MENU, IDM_TEST, nullptr));
    EXPECT_TRUE(a->findByKindNameId(Entry::KIND_VERSION, 1, nullptr));
    EXPECT_EQ(countOfKind(a, Entry::KIND_DIALOG), 2u);
    ASSERT_TRUE(a->findNthOfKind(Entry::KIND_DIALOG, 1, &i));
    EXPECT_EQ(a->entry(i)->nameId(), static_cast<uint32_t>(IDD_EXTENDED));

    // Text names: whole texts, case kept or ignored as asked.
    ASSERT_TRUE(a->findByNameText(L"PAYLOAD", &i));
    EXPECT_EQ(a->entry(i)->kind(), static_cast<uint32_t>(Entry::KIND_RCDATA));
    EXPECT_EQ(entryBytes(a, i), "payload");
    EXPECT_FALSE(a->findByNameText(L"payload", nullptr));
    EXPECT_FALSE(a->findByNameText(L"PAYLOA", nullptr));
    EXPECT_TRUE(a->findByNameTextNoCase(L"payload", nullptr));
    EXPECT_TRUE(a->findByKindNameText(Entry::KIND_RCDATA, L"PAYLOAD", nullptr));
    EXPECT_FALSE(a->findByKindNameText(Entry::KIND_RCDATA, L"Payload", nullptr));
    EXPECT_TRUE(a->findByKindNameTextNoCase(Entry::KIND_RCDATA, L"Payload", nullptr));
    EXPECT_FALSE(a->findByKindNameText(Entry::KIND_BITMAP, L"PAYLOAD", nullptr));
    a->release();
}

TEST(ModuleArchive, RawTypesThatEqualKindCodesKeepTheirOwnType) {
    Archive* a = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(a, nullptr);
    uint32_t i13, i18;
    ASSERT_TRUE(a->findByNameId(IDR_RAW13, &i13));
    ASSERT_TRUE(a->findByNameId(IDR_RAW18, &i18));
    const Entry* raw13 = a->entry(i13);
    const Entry* raw18 = a->entry(i18);
    EXPECT_EQ(raw13->windowsType(), 13u);
    EXPECT_EQ(raw18->windowsType(), 18u);
    EXPECT_NE(raw13->kind(), static_cast<uint32_t>(Entry::KIND_MANIFEST));
    EXPECT_NE(raw18->kind(), static_cast<uint32_t>(Entry::KIND_STRING));
    EXPECT_FALSE(a->findByKindNameId(Entry::KIND_MANIFEST, IDR_RAW13, nullptr));
    EXPECT_FALSE(a->findByKindNameId(Entry::KIND_STRING, IDR_RAW18, nullptr));
    // The type goes back to the system unchanged, so the resource is found again.
    EXPECT_EQ(FindResourceW(a->module(), raw13->nameResource(), raw13->typeResource()), raw13->handle());
    a->release();

    // Kinds and types map one to one; the named types keep their alphabetical kinds.
    for (uint32_t type = 0; type < 300; ++type) {
        EXPECT_EQ(Entry::windowsTypeOfKind(Entry::kindOfWindowsType(type)), type) << type;
    }
    EXPECT_EQ(Entry::kindOfWindowsType(14), static_cast<uint32_t>(Entry::KIND_GROUP_ICON));
    EXPECT_EQ(Entry::kindOfWindowsType(3), static_cast<uint32_t>(Entry::KIND_ICON_IMAGE));
    EXPECT_EQ(Entry::kindOfWindowsType(240), 240u);
    EXPECT_EQ(Entry::windowsTypeOfKind(Entry::KIND_VERSION), 16u);
}

TEST(ModuleArchive, ForeignModuleIsReadWithoutRunningItsCode) {
    SetEnvironmentVariableW(L"BRISQUELTON_PROBE_RAN", nullptr);
    const std::wstring probe = folderOf(ownPath()) + L"\\archive_probe.dll";
    ASSERT_TRUE(exists(probe));
    Archive* a = Archive::openModuleArchive(probe.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->isOwnModule());
    uint32_t i;
    ASSERT_TRUE(a->findByNameText(L"PROBE", &i));
    EXPECT_EQ(entryBytes(a, i), "probe");
    wchar_t mark[8];
    EXPECT_EQ(GetEnvironmentVariableW(L"BRISQUELTON_PROBE_RAN", mark, 8), 0u) << "the module's code ran";
    a->release();

    // A copy of the test executable is a foreign module with the same resources.
    ScratchFolder scratch(L"foreign");
    const std::wstring copy = scratch / L"copy.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    Archive* own = Archive::openModuleArchive(ownPath().c_str());
    Archive* other = Archive::openModuleArchive(copy.c_str());
    ASSERT_NE(other->module(), nullptr);
    EXPECT_FALSE(other->isOwnModule());
    EXPECT_NE(other->module(), GetModuleHandleW(nullptr));
    EXPECT_EQ(other->count(), own->count());
    ASSERT_TRUE(other->findByTypeTextNameId(L"IDR_XML", 130, &i));
    uint32_t j;
    ASSERT_TRUE(own->findByTypeTextNameId(L"IDR_XML", 130, &j));
    EXPECT_EQ(entryBytes(other, i), entryBytes(own, j));
    // Closed, the module is gone and the file may be removed.
    other->release();
    own->release();
    EXPECT_TRUE(DeleteFileW(copy.c_str()));
}

TEST(ModuleArchive, MissingFileOrNonModuleLeavesTheArchiveClosed) {
    ScratchFolder scratch(L"closed");
    Archive* a = Archive::openModuleArchive((scratch / L"missing.exe").c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->count(), 0u);
    EXPECT_EQ(a->size(), 0);
    EXPECT_EQ(a->module(), nullptr);
    EXPECT_EQ(a->readXml(L"IDR_XML", 130), nullptr);
    a->release();

    ASSERT_TRUE(writeRaw(scratch / L"text.exe", "not a module"));
    a = Archive::openModuleArchive((scratch / L"text.exe").c_str());
    EXPECT_EQ(a->count(), 0u);
    EXPECT_EQ(a->path(), nullptr);
    a->release();
}

TEST(ModuleArchive, ReadXmlGivesTheLanguagePackTree) {
    Archive* a = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(a, nullptr);
    s::xml::Node* root = a->readXml(L"IDR_XML", 130);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->nameEquals(L"lang"));
    const s::xml::Node* languages = root->child(L"languages");
    const s::xml::Node* entries = root->child(L"entries");
    ASSERT_NE(languages, nullptr);
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(languages->childCount(), 37u);

    // Every entry of the document file arrives in the tree.
    std::string document;
    ASSERT_TRUE(readFile(std::wstring(RESOURCES_DIR) + L"\\langpack.xml", document));
    uint32_t inFile = 0;
    for (size_t at = document.find("<entry id="); at != std::string::npos; at = document.find("<entry id=", at + 1)) {
        ++inFile;
    }
    EXPECT_GT(inFile, 100u);
    EXPECT_EQ(entries->childCount(), inFile);
    root->release();

    EXPECT_EQ(a->readXml(L"IDR_XML", 131), nullptr);
    EXPECT_EQ(a->readXml(L"IDR_XMLX", 130), nullptr);
    // A type given by number is found by its kind: 13 is a raw type here, not a manifest.
    StrBuffer* raw = a->readResource(MAKEINTRESOURCEW(13), IDR_RAW13);
    ASSERT_NE(raw, nullptr);
    EXPECT_STREQ(raw->c_str(), L"raw thirteen");
    raw->release();
    EXPECT_EQ(a->readResource(MAKEINTRESOURCEW(24), IDR_RAW13), nullptr);
    a->release();
}

TEST(ModuleArchive, ReadXmlPassesOverDeclarationAndComments) {
    // A copy gets a document that opens with a byte-order mark, a declaration and a comment.
    ScratchFolder scratch(L"xml");
    const std::wstring copy = scratch / L"copy.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    Archive* a = Archive::openModuleArchive(copy.c_str());
    const std::string doc = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- note -->\r\n"
                            "<lang><languages><entry tagName=\"eng\"/></languages></lang>";
    ASSERT_TRUE(a->replaceResource(doc.data(), static_cast<uint32_t>(doc.size()), L"IDR_XML", MAKEINTRESOURCEW(900),
                                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)));
    s::xml::Node* root = a->readXml(L"IDR_XML", 900);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->nameEquals(L"lang"));
    ASSERT_NE(root->child(L"languages"), nullptr);
    EXPECT_EQ(root->child(L"languages")->childCount(), 1u);
    root->release();
    a->release();
}

TEST(ModuleArchive, BeforeVistaEveryLanguageIsAnEntry) {
    Archive* vista = Archive::openModuleArchive(ownPath().c_str());
    const OsFacts::Facts xp = OsFacts::derive(5, 1, 2600, true, false);
    OsFacts::inject(&xp);
    Archive* old = Archive::openModuleArchive(ownPath().c_str());
    OsFacts::inject(nullptr);
    ASSERT_NE(old, nullptr);
    // windres writes every resource in one language, so the lists match in length.
    EXPECT_EQ(old->count(), vista->count());
    uint32_t i;
    ASSERT_TRUE(old->findByTypeTextNameId(L"IDR_XML", 130, &i));
    EXPECT_EQ(old->entry(i)->primaryLanguage(), LANG_ENGLISH);
    EXPECT_EQ(old->entry(i)->subLanguage(), SUBLANG_ENGLISH_US);
    EXPECT_EQ(old->entry(i)->languageId(), 0x409);
    uint32_t j;
    ASSERT_TRUE(vista->findByTypeTextNameId(L"IDR_XML", 130, &j));
    EXPECT_EQ(vista->entry(j)->languageId(), 0);
    EXPECT_EQ(entryBytes(old, i), entryBytes(vista, j));
    old->release();
    vista->release();
}

TEST(ModuleArchive, ResourceSizeReachingPastTheModuleIsNotRead) {
    const std::wstring probe = folderOf(ownPath()) + L"\\archive_probe.dll";
    ScratchFolder scratch(L"oversized");
    const std::wstring copy = scratch / L"oversized.dll";
    ASSERT_TRUE(CopyFileW(probe.c_str(), copy.c_str(), FALSE));
    // Mapped as a plain data file the module keeps its file layout, so the resource's
    // data entry (offset, then size) sits at its distance from the mapping's start.
    HMODULE flat = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(flat, nullptr);
    HRSRC found = FindResourceW(flat, L"PROBE", RT_RCDATA);
    ASSERT_NE(found, nullptr);
    const size_t at = reinterpret_cast<const uint8_t*>(found) -
                      reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(flat) & ~uintptr_t(3));
    FreeLibrary(flat);
    std::string file;
    ASSERT_TRUE(readFile(copy, file));
    ASSERT_LE(at + 8, file.size());
    uint32_t size;
    memcpy(&size, file.data() + at + 4, 4);
    ASSERT_EQ(size, 5u);  // "probe"
    // Far more than the module maps, though small enough to allocate.
    size = 64u << 20;
    memcpy(file.data() + at + 4, &size, 4);
    ASSERT_TRUE(writeRaw(copy, file));

    Archive* a = Archive::openModuleArchive(copy.c_str());
    ASSERT_NE(a->module(), nullptr);
    uint32_t i;
    ASSERT_TRUE(a->findByNameText(L"PROBE", &i));
    ArrayU08* bytes = ArrayU08::pool();
    EXPECT_FALSE(a->readEntry(a->entry(i), bytes));
    EXPECT_EQ(bytes->count(), 0u);
    bytes->release();
    a->release();
}
