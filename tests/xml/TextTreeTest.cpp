#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "XmlTestSupport.h"
#include "images/archive/dll/win/Archive.h"
#include "system/xml/TextTree.h"

using s::archive::dll::win::Archive;
using s::str::strbuffer::StrBuffer;
using s::xml::Node;
using s::xml::TextTree;

namespace {

// A text ending right before a page the process may not touch.
class GuardedText {
public:
    explicit GuardedText(size_t units) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        bytes_ = (units * sizeof(wchar_t) + info.dwPageSize - 1) / info.dwPageSize * info.dwPageSize + info.dwPageSize;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, bytes_ + info.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + bytes_, info.dwPageSize, PAGE_NOACCESS, &old);
    }
    ~GuardedText() { VirtualFree(base_, 0, MEM_RELEASE); }
    const wchar_t* place(const wchar_t* text, size_t n) {
        wchar_t* at = reinterpret_cast<wchar_t*>(base_ + bytes_) - n;
        memcpy(at, text, n * sizeof(wchar_t));
        return at;
    }

private:
    size_t bytes_ = 0;
    char* base_ = nullptr;
};

// The document's element as the archive reads a resource's text into nodes.
Held<Node> readAsNodes(const wchar_t* p, const wchar_t* end) {
    return Held<Node>(Archive::readXmlText(p, static_cast<uint32_t>(end - p)));
}

std::wstring value(const Node* node, const wchar_t* name) {
    Held<StrBuffer> text(node->getString(nullptr, name, L"<missing>", false));
    return text->c_str();
}

std::wstring value(const TextTree::Element* element, const wchar_t* name) {
    Held<StrBuffer> text(element->getString(nullptr, name, L"<missing>", false));
    return text->c_str();
}

// Same names, same children, and every value the node holds read the same.
void expectSame(const Node* node, const TextTree::Element* element, const std::wstring& path) {
    ASSERT_TRUE(element->nameEquals(std::wstring(node->nameText(), node->nameLength()).c_str())) << path;
    ASSERT_EQ(element->childCount(), node->childCount()) << path;
    EXPECT_EQ(value(element, L""), value(node, L"")) << path;
    for (uint32_t i = 0; i < node->attributes().count(); ++i) {
        const auto* record = node->attributes().at(i);
        const std::wstring name(record->name, record->nameLength);
        EXPECT_EQ(value(element, name.c_str()), value(node, name.c_str())) << path << " @" << name;
    }
    EXPECT_EQ(element->childAt(node->childCount()), nullptr);
    for (uint32_t i = 0; i < node->childCount(); ++i) {
        expectSame(node->childAt(i), element->childAt(i), path + L"/" + node->childAt(i)->nameText());
        if (::testing::Test::HasFatalFailure()) return;
    }
}

void expectReadAsNodesRead(const wchar_t* text, size_t n) {
    Held<Node> root = readAsNodes(text, text + n);
    TextTree tree;
    ASSERT_TRUE(tree.read(text, static_cast<uint32_t>(n)));
    // A document without any element (nothing but comments, say) reads as an empty node.
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->isComment());
    if (root->nameLength() == 0 && root->childCount() == 0 && root->attributes().count() == 0 &&
        tree.root() == nullptr) {
        return;
    }
    ASSERT_NE(tree.root(), nullptr);
    expectSame(root.get(), tree.root(), std::wstring(L"/") + root->nameText());
}

// A document's tree as it should read, written out by hand: the element's name, what
// lookups of its values answer (its text under ""), and its children in order.
struct Tree {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> values;
    std::vector<Tree> children;
};

// The reader's element (a Node or a TextTree::Element) against the expected tree.
template <class Element>
void expectTree(const Tree& expected, const Element* element, const std::wstring& path) {
    ASSERT_NE(element, nullptr) << path;
    EXPECT_TRUE(element->nameEquals(expected.name.c_str())) << path;
    for (const auto& [name, text] : expected.values) {
        EXPECT_EQ(text, value(element, name.c_str())) << path << " @" << name;
    }
    ASSERT_EQ(expected.children.size(), element->childCount()) << path;
    for (size_t i = 0; i < expected.children.size(); ++i) {
        const Tree& child = expected.children[i];
        expectTree(child, element->childAt(static_cast<uint32_t>(i)), path + L"/" + child.name);
    }
}

} // namespace

// Both readers against trees written out here, so a fault they share shows too.
TEST(TextTree, BothReadersReadTheExpectedTrees) {
    std::wstring deep = L"<a><b>";
    for (int i = 0; i < 300; ++i) deep += L"<d>";
    deep += L"</b><c x=\"1\">after</c></a>";
    // Elements nested deeper than the limit end the document.
    Tree chain{L"d", {{L"", L"<missing>"}}, {}};
    for (uint32_t depth = Node::MAX_DEPTH; depth > 2; --depth) {
        chain = Tree{L"d", {}, {chain}};
    }
    const struct {
        std::wstring doc;
        Tree tree;
    } cases[] = {
        // Prolog and leading comments passed over; references of each reader's table
        // decoded; blanks trimmed from text but not those references made; text after
        // children and comments among them never read.
        {L"\uFEFF<?xml version=\"1.0\"?>\r\n<!-- head --><!-- two -->\r\n<lang a=\"x &amp; y&quot;&#10;\">"
         L"  lead &lt;b&gt; &#160;&#13;  <eng>a&#10;</eng>tail<!-- c --><ENG>  &#160;b  </ENG>more</lang>",
         {L"lang",
          {{L"a", L"x & y\"\n"}, {L"", L"lead <b>  \r"}, {L"A", L"x & y\"\n"}},
          {{L"eng", {{L"", L"a\n"}}, {}}, {L"ENG", {{L"", L" b"}}, {}}}}},
        {L"<p q=\"&gt;&quot;&#160;&apos;\">&quot;&gt;&#10;&apos;</p>",
         {L"p", {{L"q", L"&gt;\"&#160;&apos;"}, {L"", L"&quot;>\n&apos;"}}, {}}},
        // "<!" opens a comment, which runs to the end when no "-->" closes it.
        {L"<r><![CDATA[<x>]]><e id=\"1\"/>< e ><f/></g><h =\"named\">t</h></r>", {L"r", {{L"", L"<missing>"}}, {}}},
        // A value runs from one quote to the next; names are matched without case.
        {L"<r><e k=v\">x</e><e k=\"v\" k=\"w\" K=\"u\">y</e><e>/</e><e x=\"<\">z</e></r>",
         {L"r",
          {},
          {{L"e", {{L"k", L">x</e><e k="}, {L"v\"", L"w"}, {L"", L"y"}}, {}},
           {L"e", {{L"", L"/"}, {L"k", L"<missing>"}}, {}},
           {L"e", {{L"x", L"<"}, {L"", L"z"}}, {}}}}},
        {L"<r><e id=\"1\"/><e/>tail</r>", {L"r", {{L"", L"tail"}}, {{L"e", {{L"id", L"1"}}, {}}, {L"e", {}, {}}}}},
        {L"  text before <r>text</r>", {L"r", {{L"", L"text"}}, {}}},
        {deep, {L"a", {}, {{L"b", {}, {chain}}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.doc.begin(), c.doc.begin() + std::min<size_t>(c.doc.size(), 40)));
        Held<Node> root = readAsNodes(c.doc.c_str(), c.doc.c_str() + c.doc.size());
        expectTree(c.tree, root.get(), L"nodes: " + c.tree.name);
        TextTree tree;
        ASSERT_TRUE(tree.read(c.doc.c_str(), static_cast<uint32_t>(c.doc.size())));
        expectTree(c.tree, tree.root(), L"text tree: " + c.tree.name);
    }
    // Nothing but comments: no element.
    const std::wstring comments = L"<!-- only --> <!-- comments -->";
    Held<Node> none = readAsNodes(comments.c_str(), comments.c_str() + comments.size());
    EXPECT_FALSE(none->isComment());
    EXPECT_EQ(0u, none->nameLength());
    EXPECT_EQ(0u, none->childCount());
    TextTree tree;
    ASSERT_TRUE(tree.read(comments.c_str(), static_cast<uint32_t>(comments.size())));
    EXPECT_EQ(nullptr, tree.root());
}

// Every prefix of each document, so cut documents are read alike as well.
TEST(TextTree, ReadsEveryCutOfADocumentAsNodesDo) {
    std::wstring deep = L"<a><b>";
    for (int i = 0; i < 300; ++i) deep += L"<d>";
    deep += L"</b><c x=\"1\">after</c></a>";
    const std::wstring docs[] = {
        L"\uFEFF<?xml version=\"1.0\"?>\r\n<!-- head --><!-- two -->\r\n<lang a=\"x &amp; y&quot;&#10;\">"
        L"  lead &lt;b&gt; &#160;&#13;  <eng>a&#10;</eng>tail<!-- c --><ENG>  &#160;b  </ENG>more</lang>",
        L"<r><![CDATA[<x>]]><e id=\"1\"/>< e ><f/></g><h =\"named\">t</h></r>",
        L"<r><e k=v\">x</e><e k=\"v\" k=\"w\" K=\"u\">y</e><e>/</e><e x=\"<\">z</e></r>",
        L"<!-- only a comment -->",
        L"  text before <r>text</r>",
        deep,
    };
    for (const std::wstring& doc : docs) {
        GuardedText guard(doc.size());
        for (size_t n = 0; n <= doc.size(); ++n) {
            expectReadAsNodesRead(guard.place(doc.c_str(), n), n);
            if (HasFatalFailure()) FAIL() << "at length " << n << " of " << doc.substr(0, 40);
        }
    }
}

TEST(TextTree, ReadsRandomMarkupAsNodesDo) {
    static const wchar_t alphabet[] = L"<<>>//!!--==\"\" \t\r\nab&;#?";
    const size_t letters = wcslen(alphabet);
    GuardedText guard(256);
    uint32_t seed = 777;
    wchar_t text[256];
    for (int round = 0; round < 20000; ++round) {
        seed = seed * 1103515245u + 12345u;
        const size_t n = (seed >> 16) % 256;
        for (size_t i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            text[i] = alphabet[(seed >> 16) % letters];
        }
        expectReadAsNodesRead(guard.place(text, n), n);
        if (HasFatalFailure()) FAIL() << "in round " << round << ": " << std::wstring(text, n);
    }
}
