#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "XmlTestSupport.h"

using s::xml::Node;

TEST(NodeReading, KeepsTextPiecesAndChildrenInDocumentOrder) {
    auto a = parsed(L"<a x=\"1\" y = \"2\">t<b/>u</a>");
    EXPECT_STREQ(a->nameText(), L"a");
    ASSERT_EQ(a->attributes().count(), 4u);
    EXPECT_STREQ(a->getRaw(L"x", nullptr), L"1");
    EXPECT_STREQ(a->getRaw(L"y", nullptr), L"2");
    // The second text piece stays in the list, but lookups and the writer see the first.
    EXPECT_STREQ(a->attributes().at(3)->value, L"u");
    EXPECT_EQ(valueOf(a.get(), L""), L"t");
    ASSERT_EQ(a->childCount(), 1u);
    EXPECT_STREQ(a->childAt(0)->nameText(), L"b");
    EXPECT_EQ(written(a.get()), L"<a x=\"1\" y=\"2\">t<b></b></a>");
}

TEST(NodeReading, ClosingTagsOfOtherNamesStillCloseTheElement) {
    const wchar_t* text = L"<a><b>1</c><d k=\"v\"/></x>tail";
    Held<Node> a(Node::pool());
    const wchar_t* after = a->parse(text);
    EXPECT_STREQ(after, L"tail");
    ASSERT_EQ(a->childCount(), 2u);
    EXPECT_EQ(valueOf(a->childAt(0), L""), L"1");
    EXPECT_STREQ(a->childAt(1)->getRaw(L"K", nullptr), L"v");
}

TEST(NodeReading, LeadingCommentIsANodeOfItsOwnAndInnerCommentsAreDropped) {
    const wchar_t* text = L"<!-- a <note> --> <root k=\"v\"><!-- inner --><c/></root>";
    Held<Node> node(Node::pool());
    const wchar_t* after = node->parse(text);
    EXPECT_TRUE(node->isComment());
    EXPECT_EQ(node->childCount(), 0u);
    node->parse(after);
    EXPECT_STREQ(node->nameText(), L"root");
    EXPECT_STREQ(node->getRaw(L"k", nullptr), L"v");
    ASSERT_EQ(node->childCount(), 1u);
    EXPECT_EQ(written(node.get()), L"<root k=\"v\"><c></c></root>");
}

TEST(NodeEscapes, AttributeValuesRoundTripAndKeepGreaterThanRaw) {
    const wchar_t* original = L"a<b>&\"c\"\r\n d";
    Held<Node> a(Node::pool());
    a->setName(L"a");
    ASSERT_TRUE(a->setString(L"v", original));
    EXPECT_STREQ(a->getRaw(L"v", nullptr), L"a&lt;b>&amp;&quot;c&quot;&#13;&#10; d");
    auto again = parsed(written(a.get()).c_str());
    EXPECT_EQ(valueOf(again.get(), L"v"), original);

    // "&gt;" is not decoded in attributes; a raw ">" inside quotes is plain text.
    ASSERT_TRUE(a->setString(L"g", L"&gt;"));
    again = parsed(written(a.get()).c_str());
    EXPECT_EQ(valueOf(again.get(), L"g"), L"&gt;");
    EXPECT_EQ(valueOf(parsed(L"<a v=\"x>y\" w=\"R&D &x;\"/>").get(), L"v"), L"x>y");
    EXPECT_EQ(valueOf(parsed(L"<a w=\"R&D &x;\"/>").get(), L"w"), L"R&D &x;");
}

TEST(NodeEscapes, ElementTextRoundTripsAndOnlyRawBlanksAreTrimmed) {
    const wchar_t* original = L"two words > one & <x> \"q\"";
    Held<Node> a(Node::pool());
    a->setName(L"a");
    ASSERT_TRUE(a->setString(L"", original));
    const std::wstring xml = written(a.get());
    EXPECT_NE(xml.find(L"two&#160;words&#160;&gt;"), std::wstring::npos);
    EXPECT_EQ(valueOf(parsed(xml.c_str()).get(), L""), original);

    EXPECT_EQ(valueOf(parsed(L"<a>  word  </a>").get(), L""), L"word");
    EXPECT_EQ(valueOf(parsed(L"<a>line&#10;  </a>").get(), L""), L"line\n");
    EXPECT_EQ(valueOf(parsed(L"<a>x&#160;</a>").get(), L""), L"x ");
    // Escapes that belong to attributes only stay as they are in text.
    EXPECT_EQ(valueOf(parsed(L"<a>&quot;</a>").get(), L""), L"&quot;");
}

TEST(NodeSetters, FormatNumbersAtTheirWidthWithoutLimit) {
    Held<Node> n(Node::pool());
    n->setS64(L"s64", INT64_MIN);
    n->setU64(L"u64", UINT64_MAX);
    n->setU08(L"u8", 255);
    n->setS08(L"s8", -1);
    n->setS16(L"s16", -32768);
    n->setU32(L"u32", 4294967295u);
    n->setFloat(L"f", 0.5f);
    // Wider than any fixed formatting buffer of a few hundred characters.
    n->setDouble(L"big", 1e300);
    EXPECT_STREQ(n->getRaw(L"s64", nullptr), L"-9223372036854775808");
    EXPECT_STREQ(n->getRaw(L"u64", nullptr), L"-1");
    EXPECT_EQ(n->getU64(L"u64", 0), UINT64_MAX);
    EXPECT_STREQ(n->getRaw(L"u8", nullptr), L"255");
    EXPECT_STREQ(n->getRaw(L"s8", nullptr), L"-1");
    EXPECT_EQ(n->getS08(L"s8", 0), -1);
    EXPECT_EQ(n->getU08(L"s8", 0), 255);
    EXPECT_EQ(n->getS16(L"s16", 0), -32768);
    EXPECT_EQ(n->getU32(L"u32", 0), 4294967295u);
    EXPECT_STREQ(n->getRaw(L"f", nullptr), L"0.500000");
    const wchar_t* big = n->getRaw(L"big", L"");
    EXPECT_GT(wcslen(big), 300u);
    EXPECT_EQ(wcstod(big, nullptr), 1e300);
    EXPECT_EQ(std::wstring(big).substr(wcslen(big) - 7), L".000000");
}

TEST(NodeSetters, HexFormsAndRepeatedNames) {
    Held<Node> n(Node::pool());
    const uint8_t bytes[] = {0xAB, 0x01};
    const uint16_t shorts[] = {0xBEEF};
    const int32_t ints[] = {1, -1};
    const uint64_t longs[] = {0x0123456789ABCDEFull};
    n->setHex(L"b", bytes, 2);
    n->setHex(L"s", shorts, 1);
    n->setHex(L"i", ints, 2);
    n->setHex(L"l", longs, 1);
    n->setHexWords(L"w", longs, 1);
    n->setHex(L"e", bytes, 0);
    EXPECT_STREQ(n->getRaw(L"b", nullptr), L"ab01");
    EXPECT_STREQ(n->getRaw(L"s", nullptr), L"beef");
    EXPECT_STREQ(n->getRaw(L"i", nullptr), L"00000001ffffffff");
    EXPECT_STREQ(n->getRaw(L"l", nullptr), L"0123456789abcdef");
    EXPECT_STREQ(n->getRaw(L"w", nullptr), L"89abcdef01234567");
    EXPECT_STREQ(n->getRaw(L"e", nullptr), L"");

    n->setU32(L"n", 1);
    n->setU32(L"N", 2);
    EXPECT_EQ(n->getU32(L"n", 0), 1u);
    EXPECT_EQ(n->attributes().count(), 8u);
}

TEST(NodeGetters, BoolAcceptsOnlyALeadingOneOrLowerCaseTrue) {
    auto n = parsed(L"<a one=\"1x\" t=\"true\" T2=\"True\" z=\"0\"/>");
    EXPECT_TRUE(n->getBool(L"one", false));
    EXPECT_TRUE(n->getBool(L"t", false));
    EXPECT_FALSE(n->getBool(L"t2", true));
    EXPECT_FALSE(n->getBool(L"z", true));
    EXPECT_TRUE(n->getBool(L"missing", true));
    EXPECT_EQ(n->getS32(L"missing", -7), -7);
}

TEST(NodeChildren, LookupsRemovalAndTheWriteForm) {
    Held<Node> root(Node::pool());
    root->setName(L"root");
    root->addChild(L"View")->setU32(L"w", 1);
    root->addChild(L"view");
    Node* file = root->addChild(L"File");
    file->addChild(L"Deep");
    uint32_t index = 99;
    EXPECT_EQ(root->findChild(L"view", 4, &index), root->childAt(1));
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(root->child(L"VIEW"), root->childAt(0));
    EXPECT_EQ(root->findChild(L"Vie", 3, nullptr), nullptr);
    EXPECT_EQ(written(root.get()),
              L"<root><View w=\"1\"></View><view></view><File><Deep></Deep></File></root>");
    root->removeChildAt(0);
    EXPECT_EQ(written(root.get()), L"<root><view></view><File><Deep></Deep></File></root>");
    root->removeChildAt(5);
    EXPECT_EQ(root->childCount(), 2u);
}
