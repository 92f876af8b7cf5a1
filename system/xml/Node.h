#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/xml/Attributes.h"

namespace s::file { class IPath; }

namespace s::xml {

// One XML element: name, attributes and child elements; the root owns the tree
// (releasing it releases every child). The syntax read is a small subset: elements,
// attributes in double quotes, text and comments. Element text is kept as an
// attribute with an empty name. Values are escaped when stored and unescaped when
// read, so the tree holds escaped text.
//
//   Node* root = Node::pool();
//   root->setName(L"savedata");
//   root->addChild(L"View")->setU32(L"Width", 640);
//   root->save(L"C:\\x\\SaveData.xml");
//   root->release();
//
// Lengths of -1 mean "up to the terminating zero". Name lookups of attributes ignore
// ASCII case and take the first match.
class Node : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Node, 1000, L"s_xml_Node")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef col::_array::ArrayU08 ArrayU08;

    // Elements nested deeper than this are not read: the parse ends there, so no
    // input can exhaust the stack.
    static constexpr uint32_t MAX_DEPTH = 256;

    ~Node() override;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Frees the name, the attributes and the children.
    void reset() override;

    // Reads one element from the text into this node (emptied first) and returns
    // the position after it; never reads past the end of the text. Reading is
    // lenient: a closing tag of another name closes the element, text after a child
    // is kept but never written, and a leading comment is read as a comment node
    // (a further parse from the returned position reads what follows it).
    const wchar_t* parse(const wchar_t* text, int32_t length = -1);
    // The bytes as UTF-8, then parse; comments before the document's element are
    // passed over.
    void parseUtf8(const ArrayU08* bytes);

    const wchar_t* nameText() const { return name_ != nullptr ? name_ : L""; }
    uint32_t nameLength() const { return nameLength_; }
    // False when memory runs out (the name is then empty).
    bool setName(const wchar_t* text, int32_t length = -1);
    // Length -1: the whole name, ignoring ASCII case. A length: exactly that many
    // characters, matching case.
    bool nameEquals(const wchar_t* text, int32_t length = -1) const;
    bool isComment() const { return nameLength_ != 0 && name_[0] == L'!'; }

    uint32_t childCount() const { return children_.count(); }
    // Null past the end.
    Node* childAt(uint32_t index) const;
    // A new child of that name, appended; null when memory runs out.
    Node* addChild(const wchar_t* name, int32_t length = -1);
    // The tree takes the node over; false (node not taken) when memory runs out.
    bool appendChild(Node* node);
    // Removes the child and releases it with its subtree.
    void removeChildAt(uint32_t index);
    // The first child whose nameEquals(name, length) holds; index (may be null)
    // receives its position.
    Node* findChild(const wchar_t* name, int32_t length, uint32_t* index) const;
    Node* child(const wchar_t* name, int32_t length = -1) const { return findChild(name, length, nullptr); }

    // Setters append one new attribute, even when one of that name exists; false
    // when memory runs out. Numbers: "%I64d", "%u" and "%d" of the value at its
    // width, "%f". Hex forms: lower-case digits, no separators (16, 8, 4 or 2 per
    // value; setHexWords: 8 per 32-bit half, low half first).
    bool setS64(const wchar_t* name, int64_t value);
    bool setU64(const wchar_t* name, uint64_t value);
    bool setU32(const wchar_t* name, uint32_t value);
    bool setU16(const wchar_t* name, uint16_t value);
    bool setU08(const wchar_t* name, uint8_t value);
    bool setS32(const wchar_t* name, int32_t value);
    bool setS16(const wchar_t* name, int16_t value);
    bool setS08(const wchar_t* name, int8_t value);
    bool setFloat(const wchar_t* name, float value);
    bool setDouble(const wchar_t* name, double value);
    // Escaped by attribute rules, or by element-text rules for the name "".
    bool setString(const wchar_t* name, const wchar_t* text);
    bool setHex(const wchar_t* name, const int64_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const uint64_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const int32_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const uint32_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const int16_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const uint16_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const int8_t* values, uint32_t count);
    bool setHex(const wchar_t* name, const uint8_t* values, uint32_t count);
    bool setHexWords(const wchar_t* name, const uint64_t* values, uint32_t count);

    // Getters read the first attribute of that name; the default when there is none.
    // The stored (escaped) text.
    const wchar_t* getRaw(const wchar_t* name, const wchar_t* def) const;
    // True when the text begins with "1" or "true" (lower case).
    bool getBool(const wchar_t* name, bool def) const;
    // Decimal, cut to the width.
    int8_t getS08(const wchar_t* name, int8_t def) const;
    int16_t getS16(const wchar_t* name, int16_t def) const;
    int32_t getS32(const wchar_t* name, int32_t def) const;
    int64_t getS64(const wchar_t* name, int64_t def) const;
    // Read as a signed 64-bit decimal, as setU64 writes it.
    uint64_t getU64(const wchar_t* name, uint64_t def) const;
    uint8_t getU08(const wchar_t* name, uint8_t def) const;
    uint16_t getU16(const wchar_t* name, uint16_t def) const;
    uint32_t getU32(const wchar_t* name, uint32_t def) const;
    // The value unescaped (attribute rules, or element-text rules for the name "")
    // into target (null: a new pooled string), replacing its text unless append;
    // the default copied when the value is missing. Returns the string.
    StrBuffer* getString(StrBuffer* target, const wchar_t* name, const wchar_t* def, bool append) const;

    // "<name a="v">text<child>...</child></name>": no declaration, no line breaks,
    // only the first text piece, comments never. Into target (null: a new pooled
    // string), replacing its text unless append.
    StrBuffer* write(StrBuffer* target, bool append) const;
    // write() as UTF-8 without a byte-order mark; a zero byte follows the data
    // without being counted.
    ArrayU08* toUtf8(ArrayU08* bytes, bool append) const;

    Attributes& attributes() { return attributes_; }
    const Attributes& attributes() const { return attributes_; }

    // Reads the whole file as UTF-8 into this node; false (and the node empty) when
    // the file cannot be read.
    bool load(const wchar_t* path);
    bool load(file::IPath* path);
    // Writes toUtf8() to the file, creating its folder first; false when that fails.
    bool save(const wchar_t* path) const;
    bool save(file::IPath* path) const;

private:
    Node();

    void clearContent();
    const wchar_t* parseRange(const wchar_t* p, const wchar_t* end, uint32_t depth);
    void appendTo(StrBuffer* out) const;

    col::_array::ArrayP children_;
    Attributes attributes_;
    wchar_t* name_;
    uint32_t nameLength_;
};

} // namespace s::xml
