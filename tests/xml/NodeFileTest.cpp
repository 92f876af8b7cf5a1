#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "XmlTestSupport.h"

using s::xml::Node;

namespace {

// A folder of its own under the temporary folder, removed with its content.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        root_ = std::wstring(temp) + L"xmltest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    }
    void TearDown() override { removeTree(root_); }

    static void removeTree(const std::wstring& path) {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = path + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(child);
                } else {
                    DeleteFileW(child.c_str());
                }
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(path.c_str());
    }
    static bool writeRaw(const std::wstring& path, const std::string& bytes) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD done = 0;
        const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                        done == bytes.size();
        CloseHandle(h);
        return ok;
    }
    static std::string readRaw(const std::wstring& path) {
        std::string bytes;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return bytes;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got != 0) bytes.append(buffer, got);
        CloseHandle(h);
        return bytes;
    }

    std::wstring root_;
};

} // namespace

TEST_F(TempFolder, SavesUtf8WithoutMarkIntoANewFolderAndLoadsItBack) {
    const wchar_t* text = L"\u00e4 \u65e5\u672c \U0001F600 <&>";
    Held<Node> root(Node::pool());
    root->setName(L"savedata");
    Node* group = root->addChild(L"Gr\u00fc\u00dfe");
    ASSERT_TRUE(group->setString(L"v", text));
    ASSERT_TRUE(group->setString(L"", text));

    const std::wstring path = root_ + L"\\sub\\deeper\\data.xml";
    ASSERT_TRUE(root->save(path.c_str()));
    const std::string bytes = readRaw(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], '<');  // no byte-order mark, no declaration
    EXPECT_NE(bytes.find("Gr\xC3\xBC\xC3\x9F" "e"), std::string::npos);
    EXPECT_NE(bytes.find("\xF0\x9F\x98\x80"), std::string::npos);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);

    Held<Node> again(Node::pool());
    ASSERT_TRUE(again->load(path.c_str()));
    EXPECT_EQ(written(again.get()), written(root.get()));
    Node* loaded = again->child(L"Gr\u00fc\u00dfe");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(valueOf(loaded, L"v"), text);
    EXPECT_EQ(valueOf(loaded, L""), text);
}

TEST_F(TempFolder, LoadPassesOverAMarkAndLeadingCommentsAndEmptiesOnFailure) {
    const std::wstring marked = root_ + L"\\marked.xml";
    ASSERT_TRUE(writeRaw(marked, "\xEF\xBB\xBF<!-- first --><!-- second -->\r\n<r a=\"1\"><c/></r>"));
    Held<Node> node(Node::pool());
    ASSERT_TRUE(node->load(marked.c_str()));
    EXPECT_STREQ(node->nameText(), L"r");
    EXPECT_EQ(node->getU32(L"a", 0), 1u);
    EXPECT_EQ(node->childCount(), 1u);

    EXPECT_FALSE(node->load((root_ + L"\\missing.xml").c_str()));
    EXPECT_EQ(node->nameLength(), 0u);
    EXPECT_EQ(node->childCount(), 0u);
    EXPECT_EQ(node->attributes().count(), 0u);

    // A path that is an existing file cannot take a folder below it.
    EXPECT_FALSE(node->save((marked + L"\\x.xml").c_str()));
}
