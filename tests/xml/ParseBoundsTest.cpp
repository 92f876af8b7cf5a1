#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "XmlTestSupport.h"

using s::xml::Node;

namespace {

// Places a text so that it ends right before a page the process may not touch: a
// parser that reads one character past the end crashes the test.
class GuardedText {
public:
    explicit GuardedText(size_t maxUnits) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        dataBytes_ = (maxUnits * sizeof(wchar_t) + page_ - 1) / page_ * page_ + page_;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, dataBytes_ + page_, MEM_RESERVE | MEM_COMMIT,
                                                   PAGE_READWRITE));
        DWORD old = 0;
        guarded_ = base_ != nullptr && VirtualProtect(base_ + dataBytes_, page_, PAGE_NOACCESS, &old);
    }
    ~GuardedText() {
        if (base_ != nullptr) {
            VirtualFree(base_, 0, MEM_RELEASE);
        }
    }
    bool ok() const { return guarded_; }
    // The first n units of text, ending at the guard page.
    const wchar_t* place(const wchar_t* text, size_t n) {
        wchar_t* at = reinterpret_cast<wchar_t*>(base_ + dataBytes_) - n;
        std::memcpy(at, text, n * sizeof(wchar_t));
        return at;
    }

private:
    size_t page_ = 0;
    size_t dataBytes_ = 0;
    uint8_t* base_ = nullptr;
    bool guarded_ = false;
};

// Parses elements one after another until the text is used up, checking that every
// position stays inside the text and moves on.
void parseAll(const wchar_t* text, size_t n) {
    Held<Node> node(Node::pool());
    const wchar_t* end = text + n;
    const wchar_t* p = text;
    for (size_t rounds = 0; p < end; ++rounds) {
        const wchar_t* next = node->parse(p, static_cast<int32_t>(end - p));
        ASSERT_GE(next, p);
        ASSERT_LE(next, end);
        ASSERT_LE(rounds, n) << "no progress";
        if (next == p) {
            break;
        }
        p = next;
        Held<s::str::strbuffer::StrBuffer> out(node->write(nullptr, false));
        ASSERT_NE(out, nullptr);
    }
}

std::wstring sampleDocument() {
    std::wstring doc = L"<!-- settings -->\r\n<savedata version=\"3\">\r\n";
    for (int i = 0; doc.size() < 4000; ++i) {
        const std::wstring n = std::to_wstring(i);
        doc += L"  <group" + n + L" name = \"A&amp;B &lt;" + n + L"&gt; &quot;q&quot;\" w=\"" + n + L"\">";
        doc += L"text&#160;" + n + L" &amp; more&#10;";
        doc += L"<!-- note " + n + L" -->";
        doc += L"<item k=\"v\" empty=\"\"/>";
        doc += L"<deep><deeper x=\"\u00e4\u65e5\">\u00e4&lt;</deeper></deep>";
        doc += L"tail</group" + n + L">\r\n";
    }
    doc += L"</savedata>\r\n";
    return doc;
}

} // namespace

TEST(ParseBounds, EveryTruncationOfADocumentStaysInsideTheText) {
    const std::wstring doc = sampleDocument();
    ASSERT_GT(doc.size(), 4000u);
    GuardedText guard(doc.size());
    ASSERT_TRUE(guard.ok());
    for (size_t n = 0; n <= doc.size(); ++n) {
        parseAll(guard.place(doc.c_str(), n), n);
        if (HasFatalFailure()) {
            FAIL() << "at length " << n;
        }
    }

    // The whole document reads back to a tree that writes the same text again.
    Held<Node> node(Node::pool());
    const wchar_t* text = guard.place(doc.c_str(), doc.size());
    const wchar_t* after = node->parse(text, static_cast<int32_t>(doc.size()));
    EXPECT_TRUE(node->isComment());
    node->parse(after, static_cast<int32_t>(doc.size() - (after - text)));
    EXPECT_STREQ(node->nameText(), L"savedata");
    EXPECT_GT(node->childCount(), 10u);
    const std::wstring once = written(node.get());
    EXPECT_EQ(written(parsed(once.c_str()).get()), once);
}

TEST(ParseBounds, RandomMarkupNeverReadsOutsideTheText) {
    static const wchar_t alphabet[] = L"<<>>//!!--==\"\" \t\r\nab&;#";
    const size_t letters = wcslen(alphabet);
    GuardedText guard(256);
    ASSERT_TRUE(guard.ok());
    uint32_t seed = 12345;
    wchar_t text[256];
    for (int round = 0; round < 20000; ++round) {
        seed = seed * 1103515245u + 12345u;
        const size_t n = (seed >> 16) % 256;
        for (size_t i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            text[i] = alphabet[(seed >> 16) % letters];
        }
        parseAll(guard.place(text, n), n);
        if (HasFatalFailure()) {
            FAIL() << "in round " << round;
        }
    }
}

TEST(ParseBounds, DeepNestingEndsTheParseInsteadOfTheStack) {
    std::wstring doc;
    for (int i = 0; i < 100000; ++i) {
        doc += L"<a>";
    }
    GuardedText guard(doc.size());
    ASSERT_TRUE(guard.ok());
    Held<Node> node(Node::pool());
    const wchar_t* text = guard.place(doc.c_str(), doc.size());
    EXPECT_EQ(node->parse(text, static_cast<int32_t>(doc.size())), text + doc.size());
    uint32_t depth = 0;
    for (const Node* n = node.get(); n->childCount() != 0; n = n->childAt(0)) {
        ++depth;
    }
    EXPECT_EQ(depth, Node::MAX_DEPTH);
}
