#pragma once
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"

namespace s::xml {

// A read-only element tree over a document's text, for reading a large document
// once: names and values stay ranges of the text (still escaped), and the whole
// tree is three arrays, so building and dropping it costs a few allocations where
// a Node tree costs several per element. It reads the syntax Node::parse reads,
// the same way, and its elements answer the lookups a Node answers.
//
//   TextTree tree;
//   if (tree.read(text->c_str(), text->length()) && tree.root() != nullptr) {
//       const TextTree::Element* entries = tree.root()->child(L"entries");
//   }
class TextTree {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    class Element {
    public:
        // Ignoring ASCII case, as Node::nameEquals with length -1.
        bool nameEquals(const wchar_t* text) const;
        bool isComment() const { return nameLength_ != 0 && name_[0] == L'!'; }
        uint32_t childCount() const { return childCount_; }
        // Null past the end.
        const Element* childAt(uint32_t index) const;
        // The first child whose nameEquals(name) holds.
        const Element* child(const wchar_t* name) const;
        // As Node::getString: the first value of that name unescaped into target
        // (null: a new pooled string), the default when there is none.
        StrBuffer* getString(StrBuffer* target, const wchar_t* name, const wchar_t* def, bool append) const;

    private:
        friend class TextTree;
        const TextTree* tree_;
        const wchar_t* name_;
        uint32_t nameLength_;
        uint32_t firstValue_;
        uint32_t lastValue_;
        uint32_t firstChild_;
        uint32_t lastChild_;
        uint32_t nextSibling_;
        uint32_t childrenAt_;
        uint32_t childCount_;
    };

    TextTree();
    ~TextTree();
    TextTree(const TextTree&) = delete;
    TextTree& operator=(const TextTree&) = delete;

    // Reads the document's element, after any byte-order mark, declarations and
    // comments, as Archive::readXml does. The text must outlive the tree. False
    // when memory runs out (the tree is then empty).
    bool read(const wchar_t* text, uint32_t length);
    // The document's element; null when the text holds none.
    const Element* root() const { return elementCount_ != 0 ? &elements_[0] : nullptr; }

private:
    // An attribute, or element text under an empty name; NONE ends a list.
    struct Value {
        const wchar_t* name;
        uint32_t nameLength;
        const wchar_t* text;
        uint32_t textLength;
        uint32_t next;
    };
    static constexpr uint32_t NONE = 0xFFFFFFFFu;

    void clear();
    const wchar_t* readElement(const wchar_t* p, const wchar_t* end, uint32_t depth, uint32_t self);
    void addValue(Element& element, const wchar_t* name, uint32_t nameLength, const wchar_t* text,
                  uint32_t textLength);
    void listChildren();

    Element* elements_;
    uint32_t elementCount_;
    uint32_t elementCapacity_;
    Value* values_;
    uint32_t valueCount_;
    uint32_t valueCapacity_;
    uint32_t* children_;
};

} // namespace s::xml
