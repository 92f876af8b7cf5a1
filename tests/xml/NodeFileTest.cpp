#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "XmlTestSupport.h"
#include "support/ChildProcess.h"
#include "support/RawFile.h"

using s::xml::Node;
using testsupport::readRaw;
using testsupport::removeTree;
using testsupport::writeRaw;

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
