#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ArchiveTestSupport.h"
#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "images/archive/dll/win/Archive.h"
#include "images/archive/dll/win/ResourceText.h"
#include "testres.h"

using s::archive::dll::win::Archive;
using s::archive::dll::win::Entry;
using s::archive::dll::win::ResourceText;
using s::col::_array::ArrayU08;
using s::str::strbuffer::StrBuffer;
using namespace archive_test;

namespace {

typedef bool (*Format)(const uint8_t*, uint32_t, StrBuffer*);

std::string resourceBytes(Archive* a, uint32_t kind, uint32_t id) {
    uint32_t i;
    std::string out;
    if (!a->findByKindNameId(kind, id, &i)) {
        return out;
    }
    ArrayU08* bytes = ArrayU08::pool();
    if (a->readEntry(a->entry(i), bytes)) {
        out.assign(reinterpret_cast<const char*>(bytes->items()), bytes->count());
    }
    bytes->release();
    return out;
}

// The text of the first n bytes, read from memory that ends where readable memory ends.
bool formatPrefix(Format format, const std::string& bytes, uint32_t n, std::wstring* text = nullptr) {
    GuardedBytes guarded(bytes.data(), n);
    StrBuffer* out = StrBuffer::pool();
    const bool ok = format(guarded.data(), n, out);
    if (text != nullptr) {
        *text = out->c_str();
    }
    out->release();
    return ok;
}

std::string expected(const wchar_t* name) {
    std::string text;
    readFile(std::wstring(ARCHIVE_TEST_DIR) + L"\\expected\\" + name, text);
    return text;
}

std::string exported(const ScratchFolder& folder, const wchar_t* relative) {
    std::string text;
    readFile(folder / relative, text);
    return text;
}

} // namespace

TEST(ModuleExport, ExportAllWritesEveryKindInItsFolder) {
    ScratchFolder out(L"export");
    // A file that is already there stays as it is.
    CreateDirectoryW((out / L"RCDATA").c_str(), nullptr);
    ASSERT_TRUE(writeRaw(out / L"RCDATA\\PAYLOAD", "keep"));

    Archive* a = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->exportAll(out.path().c_str()));
    a->release();

    EXPECT_EQ(exported(out, L"STRING\\13.txt"), expected(L"string-13.txt"));
    EXPECT_EQ(exported(out, L"ACCELERATOR\\300.txt"), expected(L"accelerator-300.txt"));
    EXPECT_EQ(exported(out, L"MENU\\301.txt"), expected(L"menu-301.txt"));
    EXPECT_EQ(exported(out, L"DIALOG\\302.txt"), expected(L"dialog-302.txt"));
    EXPECT_EQ(exported(out, L"DIALOG\\303.txt"), expected(L"dialog-303.txt"));
    EXPECT_EQ(exported(out, L"VERSION.txt"), expected(L"version-1.txt"));
    EXPECT_EQ(exported(out, L"RCDATA\\PAYLOAD"), "keep");
    // A device name would not make a file.
    EXPECT_EQ(exported(out, L"RCDATA\\_CON"), "device");

    // Raw data comes out byte for byte; the icon group is rebuilt into the file it came from.
    std::string original;
    ASSERT_TRUE(readFile(std::wstring(RESOURCES_DIR) + L"\\langpack.xml", original));
    EXPECT_EQ(exported(out, L"IDR_XML\\130"), original);
    ASSERT_TRUE(readFile(std::wstring(RESOURCES_DIR) + L"\\picture131.jpg", original));
    EXPECT_EQ(exported(out, L"IDR_JPG\\131"), original);
    ASSERT_TRUE(readFile(std::wstring(RESOURCES_DIR) + L"\\app.manifest", original));
    EXPECT_EQ(exported(out, L"MANIFEST\\1.xml"), original);
    ASSERT_TRUE(readFile(std::wstring(RESOURCES_DIR) + L"\\brisquelton.ico", original));
    EXPECT_EQ(exported(out, L"ICON\\128.ico"), original);

    // Raw types that equal kind codes go under their own number, never as manifest or strings.
    EXPECT_EQ(exported(out, L"13\\400"), "raw thirteen");
    EXPECT_EQ(exported(out, L"18\\401"), "raw eighteen");
    EXPECT_FALSE(exists(out / L"MANIFEST\\400.xml"));
    EXPECT_FALSE(exists(out / L"STRING\\401.txt"));
    // Icon images go only inside their group.
    EXPECT_FALSE(exists(out / L"12"));
    EXPECT_FALSE(exists(out / L"4"));
}

TEST(ModuleExport, FileNamesFromResourceNamesStayInTheirFolder) {
    struct Case {
        const wchar_t* name;
        const wchar_t* safe;
    } cases[] = {
        {L"PAYLOAD", L"PAYLOAD"},       {L"..", L"__"},           {L"..\\..\\evil", L"___.._evil"},
        {L"a:b", L"a_b"},               {L"x/y\\z", L"x_y_z"},    {L"what?*", L"what__"},
        {L"CON", L"_CON"},              {L"con.txt", L"_con.txt"}, {L"LPT1", L"_LPT1"},
        {L"COM10", L"COM10"},           {L"name.", L"name_"},     {L" lead", L"_lead"},
        {L"", L"_"},                    {L"tab\there", L"tab_here"},
    };
    for (const Case& c : cases) {
        StrBuffer* out = StrBuffer::pool();
        Archive::appendSafeFileName(c.name, out);
        EXPECT_STREQ(out->c_str(), c.safe) << c.name;
        out->release();
    }
}

TEST(ModuleExport, TruncatedBlocksFailWithoutReadingPastTheirEnd) {
    Archive* a = Archive::openModuleArchive(ownPath().c_str());
    ASSERT_NE(a, nullptr);
    const std::string strings = resourceBytes(a, Entry::KIND_STRING, IDS_FIRST / 16 + 1);
    const std::string accelerators = resourceBytes(a, Entry::KIND_ACCELERATOR, IDA_TEST);
    const std::string menu = resourceBytes(a, Entry::KIND_MENU, IDM_TEST);
    const std::string classic = resourceBytes(a, Entry::KIND_DIALOG, IDD_CLASSIC);
    const std::string extended = resourceBytes(a, Entry::KIND_DIALOG, IDD_EXTENDED);
    const std::string version = resourceBytes(a, Entry::KIND_VERSION, 1);
    a->release();
    ASSERT_FALSE(strings.empty());
    ASSERT_FALSE(version.empty());

    // Whole blocks read.
    EXPECT_TRUE(formatPrefix(&ResourceText::stringTable, strings, static_cast<uint32_t>(strings.size())));
    EXPECT_TRUE(formatPrefix(&ResourceText::accelerators, accelerators, static_cast<uint32_t>(accelerators.size())));
    EXPECT_TRUE(formatPrefix(&ResourceText::menu, menu, static_cast<uint32_t>(menu.size())));
    EXPECT_TRUE(formatPrefix(&ResourceText::dialog, classic, static_cast<uint32_t>(classic.size())));
    EXPECT_TRUE(formatPrefix(&ResourceText::dialog, extended, static_cast<uint32_t>(extended.size())));
    EXPECT_TRUE(formatPrefix(&ResourceText::version, version, static_cast<uint32_t>(version.size())));

    // Every shorter piece: templates and tables are cut, so they fail (and never fault).
    for (uint32_t n = 0; n < menu.size(); ++n) {
        EXPECT_FALSE(formatPrefix(&ResourceText::menu, menu, n)) << n;
    }
    for (uint32_t n = 0; n < classic.size(); ++n) {
        EXPECT_FALSE(formatPrefix(&ResourceText::dialog, classic, n)) << n;
    }
    for (uint32_t n = 0; n < extended.size(); ++n) {
        EXPECT_FALSE(formatPrefix(&ResourceText::dialog, extended, n)) << n;
    }
    for (uint32_t n = 0; n < accelerators.size(); ++n) {
        EXPECT_EQ(formatPrefix(&ResourceText::accelerators, accelerators, n), n % 8 == 0) << n;
    }
    // A string table may end between strings; a string cut in its characters fails.
    for (uint32_t n = 0; n < strings.size(); ++n) {
        formatPrefix(&ResourceText::stringTable, strings, n);
    }
    const uint32_t firstText = 8 * 2 + 2;  // eight empty strings, then the count of "First"
    EXPECT_FALSE(formatPrefix(&ResourceText::stringTable, strings, firstText + 4));
    std::wstring text;
    EXPECT_TRUE(formatPrefix(&ResourceText::stringTable, strings, firstText + 10, &text));
    EXPECT_NE(text.find(L"\"First\""), std::wstring::npos);
    // A version block cut inside its strings fails; cut before them it has nothing to
    // say, cut after them (in the translation block) it says everything.
    const uint32_t stringBlock = 92;
    ASSERT_GT(version.size(), stringBlock + 40);
    const uint32_t stringBlockEnd = stringBlock + static_cast<uint8_t>(version[stringBlock]) +
                                    static_cast<uint8_t>(version[stringBlock + 1]) * 256u;
    std::wstring whole;
    ASSERT_TRUE(formatPrefix(&ResourceText::version, version, static_cast<uint32_t>(version.size()), &whole));
    for (uint32_t n = 0; n < version.size(); ++n) {
        const bool ok = formatPrefix(&ResourceText::version, version, n, &text);
        if (n < stringBlock + 36) {
            EXPECT_TRUE(ok && text.empty()) << n;
        } else if (n < stringBlockEnd) {
            EXPECT_FALSE(ok) << n;
        } else {
            EXPECT_TRUE(ok && text == whole) << n;
        }
    }
}

TEST(ModuleExport, HostileLengthsAreRefused) {
    // A string claiming more characters than the block has.
    const uint8_t longString[] = {0xFF, 0xFF, 'a', 0};
    StrBuffer* out = StrBuffer::pool();
    EXPECT_FALSE(ResourceText::stringTable(longString, sizeof(longString), out));
    // A dialog claiming 65535 controls.
    uint8_t dialog[18 + 6] = {};
    dialog[8] = 0xFF;
    dialog[9] = 0xFF;
    EXPECT_FALSE(ResourceText::dialog(dialog, sizeof(dialog), out));
    // Menus nested deeper than any real one, each level opened and never closed.
    std::string nested(4, '\0');
    for (int i = 0; i < 100; ++i) {
        nested += std::string("\x10\x00" "a\0\0\0", 6);
    }
    EXPECT_FALSE(ResourceText::menu(reinterpret_cast<const uint8_t*>(nested.data()),
                                    static_cast<uint32_t>(nested.size()), out));
    // An extended menu template is not read as a plain one.
    const uint8_t extendedMenu[] = {1, 0, 4, 0, 0, 0, 0, 0};
    EXPECT_FALSE(ResourceText::menu(extendedMenu, sizeof(extendedMenu), out));
    out->release();
}

TEST(ModuleExport, VersionStringOfZeroLengthEndsTheRead) {
    Archive* a = Archive::openModuleArchive(ownPath().c_str());
    std::string version = resourceBytes(a, Entry::KIND_VERSION, 1);
    a->release();
    // The first string of the first table: its length word set to 0 must not loop.
    const size_t key = version.find(std::string("C\0o\0m\0p\0a\0n\0y", 13));
    ASSERT_NE(key, std::string::npos);
    version[key - 6] = 0;
    version[key - 5] = 0;
    StrBuffer* out = StrBuffer::pool();
    EXPECT_FALSE(ResourceText::version(reinterpret_cast<const uint8_t*>(version.data()),
                                       static_cast<uint32_t>(version.size()), out));
    out->release();
    EXPECT_STREQ(ResourceText::virtualKeyName(0x41), L"A key");
    EXPECT_STREQ(ResourceText::virtualKeyName(0xFE), L"Clear key");
    EXPECT_STREQ(ResourceText::virtualKeyName(0x07), L"Unknown key");
}
