#include "system/xml/TextTree.h"

#include <cwchar>
#include <new>

#include "system/xml/Node.h"
#include "system/xml/Syntax.h"

namespace s::xml {

using namespace syntax;

bool TextTree::Element::nameEquals(const wchar_t* text) const {
    if (text == nullptr) {
        text = L"";
    }
    const size_t n = wcslen(text);
    return n == nameLength_ && (n == 0 || _wcsnicmp(name_, text, n) == 0);
}

const TextTree::Element* TextTree::Element::childAt(uint32_t index) const {
    return index < childCount_ ? &tree_->elements_[tree_->children_[childrenAt_ + index]] : nullptr;
}

const TextTree::Element* TextTree::Element::child(const wchar_t* name) const {
    for (uint32_t i = 0; i < childCount_; ++i) {
        const Element* element = childAt(i);
        if (element->nameEquals(name)) {
            return element;
        }
    }
    return nullptr;
}

TextTree::StrBuffer* TextTree::Element::getString(StrBuffer* target, const wchar_t* name, const wchar_t* def,
                                                  bool append) const {
    StrBuffer* out = target != nullptr ? target : StrBuffer::pool();
    if (out == nullptr) {
        return nullptr;
    }
    if (target != nullptr && !append) {
        out->clear();
    }
    const wchar_t* wanted = name != nullptr ? name : L"";
    const uint32_t length = static_cast<uint32_t>(wcslen(wanted));
    for (uint32_t v = firstValue_; v != NONE; v = tree_->values_[v].next) {
        const Value& value = tree_->values_[v];
        if (value.nameLength == length && (length == 0 || _wcsnicmp(value.name, wanted, length) == 0)) {
            if (length != 0) {
                unescapeAttribute(value.text, value.textLength, out);
            } else {
                unescapeText(value.text, value.textLength, out);
            }
            return out;
        }
    }
    if (def != nullptr) {
        out->append(def);
    }
    return out;
}

TextTree::TextTree()
    : elements_(nullptr), elementCount_(0), elementCapacity_(0), values_(nullptr), valueCount_(0),
      valueCapacity_(0), children_(nullptr) {}

TextTree::~TextTree() {
    clear();
}

void TextTree::clear() {
    delete[] elements_;
    delete[] values_;
    delete[] children_;
    elements_ = nullptr;
    values_ = nullptr;
    children_ = nullptr;
    elementCount_ = elementCapacity_ = valueCount_ = valueCapacity_ = 0;
}

bool TextTree::read(const wchar_t* text, uint32_t length) {
    clear();
    const wchar_t* p = text;
    const wchar_t* const end = text != nullptr ? text + length : text;
    // Every element read takes a "<" of the text (one more may start at its end), and
    // every value a pair of quotes (one more may end at the end) or follows the
    // element's ">" or one of its children: the arrays never need to grow.
    uint64_t opens = 1;
    uint64_t quotes = 0;
    for (const wchar_t* q = p; q < end; ++q) {
        opens += *q == L'<';
        quotes += *q == L'"';
    }
    if (opens + quotes / 2 + 1 + 2 * opens > 0x0FFFFFFFu) {
        return false;
    }
    elementCapacity_ = static_cast<uint32_t>(opens);
    valueCapacity_ = static_cast<uint32_t>(quotes / 2 + 1 + 2 * opens);
    elements_ = new (std::nothrow) Element[elementCapacity_];
    values_ = new (std::nothrow) Value[valueCapacity_];
    children_ = new (std::nothrow) uint32_t[elementCapacity_];
    if (elements_ == nullptr || values_ == nullptr || children_ == nullptr) {
        clear();
        return false;
    }
    while ((p = pastProlog(p, end)) < end) {
        // A comment holds nothing: the next try takes its place.
        elementCount_ = 1;
        valueCount_ = 0;
        p = readElement(p, end, 0, 0);
        if (!elements_[0].isComment()) {
            break;
        }
    }
    if (elementCount_ != 0 && elements_[0].isComment()) {
        elementCount_ = 0;
    }
    listChildren();
    return true;
}

void TextTree::addValue(Element& element, const wchar_t* name, uint32_t nameLength, const wchar_t* text,
                        uint32_t textLength) {
    if (valueCount_ == valueCapacity_) {
        return;
    }
    const uint32_t v = valueCount_++;
    values_[v] = Value{name, nameLength, text, textLength, NONE};
    if (element.lastValue_ == NONE) {
        element.firstValue_ = v;
    } else {
        values_[element.lastValue_].next = v;
    }
    element.lastValue_ = v;
}

// Node::parseRange step by step, with ranges of the text in place of copies.
const wchar_t* TextTree::readElement(const wchar_t* p, const wchar_t* end, uint32_t depth, uint32_t self) {
    Element& element = elements_[self];
    element = Element();
    element.tree_ = this;
    element.name_ = L"";
    element.firstValue_ = element.lastValue_ = NONE;
    element.firstChild_ = element.lastChild_ = element.nextSibling_ = NONE;
    bool ended = false;
    p = syntax::readTag(
        p, end,
        [&element](const wchar_t* name, uint32_t length) {
            element.name_ = name;
            element.nameLength_ = length;
            return element.isComment();
        },
        [this, self](const wchar_t* name, uint32_t nameLength, const wchar_t* value, uint32_t valueLength) {
            addValue(elements_[self], name, nameLength, value, valueLength);
        },
        &ended);
    if (ended) {
        return p;
    }
    if (*p == L'/') {
        return pastClose(p, end);
    }

    return syntax::readContent(
        p, end,
        [this, self](const wchar_t* text, uint32_t length) { addValue(elements_[self], L"", 0, text, length); },
        [this, end, depth, self](const wchar_t* at) -> const wchar_t* {
            if (depth >= Node::MAX_DEPTH || elementCount_ == elementCapacity_) {
                return nullptr;
            }
            const uint32_t child = elementCount_++;
            at = readElement(at, end, depth + 1, child);
            Element& element = elements_[self];
            if (elements_[child].isComment()) {
                // Comments are dropped, and a comment is the last element read.
                elementCount_ = child;
            } else {
                if (element.lastChild_ == NONE) {
                    element.firstChild_ = child;
                } else {
                    elements_[element.lastChild_].nextSibling_ = child;
                }
                element.lastChild_ = child;
            }
            return at;
        });
}

// Each element's children side by side in one array, for lookups by position.
void TextTree::listChildren() {
    uint32_t at = 0;
    for (uint32_t i = 0; i < elementCount_; ++i) {
        Element& element = elements_[i];
        element.childrenAt_ = at;
        for (uint32_t c = element.firstChild_; c != NONE; c = elements_[c].nextSibling_) {
            children_[at++] = c;
        }
        element.childCount_ = at - element.childrenAt_;
    }
}

} // namespace s::xml
