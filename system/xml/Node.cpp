#include "system/xml/Node.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "system/file/IPath.h"
#include "system/file/win/PathWin.h"
#include "system/xml/Syntax.h"

namespace s::xml {

namespace {

using str::strbuffer::StrBuffer;
using namespace syntax;

uint32_t textLength(const wchar_t* text, int32_t length) {
    if (text == nullptr) {
        return 0;
    }
    return length < 0 ? static_cast<uint32_t>(wcslen(text)) : static_cast<uint32_t>(length);
}

// A pooled scratch string that goes back to its pool at the end of the scope.
class Scratch {
public:
    Scratch() : text_(StrBuffer::pool()) {}
    ~Scratch() {
        if (text_ != nullptr) {
            text_->release();
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    StrBuffer* get() const { return text_; }

private:
    StrBuffer* text_;
};

// Formats a value through fill and appends it as an attribute. StrBuffer's number
// formatting grows as needed, so a short result means memory ran out: nothing is
// stored then.
template <class Fill>
bool addFormatted(Attributes& attributes, const wchar_t* name, uint32_t minimumLength, const Fill& fill) {
    Scratch scratch;
    StrBuffer* text = scratch.get();
    if (text == nullptr) {
        return false;
    }
    fill(text);
    if (text->length() < minimumLength) {
        return false;
    }
    return attributes.add(name, -1, text->c_str(), static_cast<int32_t>(text->length()));
}

template <class T>
bool addHex(Attributes& attributes, const wchar_t* name, const T* values, uint32_t count) {
    const uint64_t digits = static_cast<uint64_t>(count) * sizeof(T) * 2;
    if (digits > INT32_MAX || (count != 0 && values == nullptr)) {
        return false;
    }
    return addFormatted(attributes, name, static_cast<uint32_t>(digits),
                        [&](StrBuffer* text) { text->appendHex(values, count); });
}

// Escapes text for an attribute value, or for element text (which also protects
// ">" and spaces, since the reader trims blanks around text).
bool escape(const wchar_t* text, bool attribute, StrBuffer* out) {
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        switch (*p) {
        case L'\n': out->append(L"&#10;"); break;
        case L'\r': out->append(L"&#13;"); break;
        case L'&': out->append(L"&amp;"); break;
        case L'<': out->append(L"&lt;"); break;
        case L'"': attribute ? out->append(L"&quot;") : out->appendChar(*p); break;
        case L'>': attribute ? out->appendChar(*p) : out->append(L"&gt;"); break;
        case L' ': attribute ? out->appendChar(*p) : out->append(L"&#160;"); break;
        default: out->appendChar(*p); break;
        }
    }
    // Appending does not report a failed growth: compare the length it must reach.
    return out->length() >= static_cast<uint32_t>(wcslen(text));
}

StrBuffer* prepare(StrBuffer* target, bool append) {
    if (target == nullptr) {
        return StrBuffer::pool();
    }
    if (!append) {
        target->clear();
    }
    return target;
}

} // namespace

Node::Node() : name_(nullptr), nameLength_(0) {
    children_.setCleaner(&Node::pooler());
}

Node::~Node() {
    clearContent();
}

void Node::reset() {
    clearContent();
}

void Node::clearContent() {
    children_.freeStorage();
    attributes_.clear();
    delete[] name_;
    name_ = nullptr;
    nameLength_ = 0;
}

bool Node::setName(const wchar_t* text, int32_t length) {
    const uint32_t n = textLength(text, length);
    wchar_t* copy = new (std::nothrow) wchar_t[static_cast<size_t>(n) + 1];
    delete[] name_;
    name_ = copy;
    nameLength_ = 0;
    if (copy == nullptr) {
        return false;
    }
    if (n != 0) {
        std::memcpy(copy, text, static_cast<size_t>(n) * sizeof(wchar_t));
    }
    copy[n] = L'\0';
    nameLength_ = n;
    return true;
}

bool Node::nameEquals(const wchar_t* text, int32_t length) const {
    if (text == nullptr) {
        text = L"";
    }
    if (length < 0) {
        const size_t n = wcslen(text);
        return n == nameLength_ && (n == 0 || _wcsnicmp(name_, text, n) == 0);
    }
    return static_cast<uint32_t>(length) == nameLength_ &&
           (length == 0 || wmemcmp(name_, text, static_cast<size_t>(length)) == 0);
}

Node* Node::childAt(uint32_t index) const {
    return index < children_.count() ? static_cast<Node*>(children_.get(index)) : nullptr;
}

Node* Node::addChild(const wchar_t* name, int32_t length) {
    Node* node = pool();
    if (node == nullptr) {
        return nullptr;
    }
    if (!node->setName(name, length) || !children_.add(node)) {
        node->release();
        return nullptr;
    }
    return node;
}

bool Node::appendChild(Node* node) {
    return node != nullptr && node != this && children_.add(node);
}

void Node::removeChildAt(uint32_t index) {
    if (index < children_.count()) {
        children_.removeAndDispose(index);
    }
}

Node* Node::findChild(const wchar_t* name, int32_t length, uint32_t* index) const {
    const uint32_t n = children_.count();
    for (uint32_t i = 0; i < n; ++i) {
        Node* node = static_cast<Node*>(children_.get(i));
        if (node->nameEquals(name, length)) {
            if (index != nullptr) {
                *index = i;
            }
            return node;
        }
    }
    return nullptr;
}

const wchar_t* Node::parse(const wchar_t* text, int32_t length) {
    if (text == nullptr) {
        clearContent();
        return text;
    }
    return parseRange(text, text + textLength(text, length), 0);
}

void Node::parseUtf8(const ArrayU08* bytes) {
    clearContent();
    if (bytes == nullptr || bytes->count() == 0 || bytes->count() > INT32_MAX) {
        return;
    }
    Scratch scratch;
    StrBuffer* text = scratch.get();
    if (text == nullptr) {
        return;
    }
    text->fromUtf8(reinterpret_cast<const char*>(bytes->items()), false, static_cast<int32_t>(bytes->count()));
    // A whole document: comments before its element are passed over, or a file
    // that opens with one would read as nothing but that comment.
    const wchar_t* p = text->data();
    const wchar_t* end = p + text->length();
    while (p < end) {
        p = parseRange(p, end, 0);
        if (!isComment()) {
            break;
        }
    }
}

// Every scan below is bounded by end: a truncated or hostile text ends the
// element wherever the text ends.
const wchar_t* Node::parseRange(const wchar_t* p, const wchar_t* end, uint32_t depth) {
    clearContent();
    bool ended = false;
    p = syntax::readTag(
        p, end,
        [this](const wchar_t* name, uint32_t length) {
            setName(name, static_cast<int32_t>(length));
            return isComment();
        },
        [this](const wchar_t* name, uint32_t nameLength, const wchar_t* value, uint32_t valueLength) {
            attributes_.add(name, static_cast<int32_t>(nameLength), value, static_cast<int32_t>(valueLength));
        },
        &ended);
    if (ended) {
        return p;
    }
    if (*p == L'/') {
        return pastClose(p, end);
    }

    // Content: text, children (comments dropped), and text after children, which is
    // kept but never written.
    return syntax::readContent(
        p, end,
        [this](const wchar_t* text, uint32_t length) {
            attributes_.add(L"", 0, text, static_cast<int32_t>(length));
        },
        [this, end, depth](const wchar_t* at) -> const wchar_t* {
            Node* node = depth < MAX_DEPTH ? pool() : nullptr;
            if (node == nullptr) {
                return nullptr;
            }
            at = node->parseRange(at, end, depth + 1);
            if (node->isComment() || !children_.add(node)) {
                node->release();
            }
            return at;
        });
}

bool Node::setS64(const wchar_t* name, int64_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendInt64(value); });
}

bool Node::setU64(const wchar_t* name, uint64_t value) {
    return setS64(name, static_cast<int64_t>(value));
}

bool Node::setU32(const wchar_t* name, uint32_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendUInt32(value); });
}

bool Node::setU16(const wchar_t* name, uint16_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendUInt16(value); });
}

bool Node::setU08(const wchar_t* name, uint8_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendUInt8(value); });
}

bool Node::setS32(const wchar_t* name, int32_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendInt32(value); });
}

bool Node::setS16(const wchar_t* name, int16_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendInt16(value); });
}

bool Node::setS08(const wchar_t* name, int8_t value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendInt8(value); });
}

bool Node::setFloat(const wchar_t* name, float value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendFloat(value); });
}

bool Node::setDouble(const wchar_t* name, double value) {
    return addFormatted(attributes_, name, 1, [&](StrBuffer* t) { t->appendDouble(value); });
}

bool Node::setString(const wchar_t* name, const wchar_t* text) {
    const bool attribute = name != nullptr && name[0] != L'\0';
    Scratch scratch;
    StrBuffer* escaped = scratch.get();
    if (escaped == nullptr || !escape(text != nullptr ? text : L"", attribute, escaped)) {
        return false;
    }
    return attributes_.add(name, -1, escaped->c_str(), static_cast<int32_t>(escaped->length()));
}

bool Node::setHex(const wchar_t* name, const int64_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const uint64_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const int32_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const uint32_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const int16_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const uint16_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const int8_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHex(const wchar_t* name, const uint8_t* values, uint32_t count) {
    return addHex(attributes_, name, values, count);
}

bool Node::setHexWords(const wchar_t* name, const uint64_t* values, uint32_t count) {
    const uint64_t digits = static_cast<uint64_t>(count) * 16;
    if (digits > INT32_MAX || (count != 0 && values == nullptr)) {
        return false;
    }
    return addFormatted(attributes_, name, static_cast<uint32_t>(digits),
                        [&](StrBuffer* t) { t->appendHexWords(values, count); });
}

const wchar_t* Node::getRaw(const wchar_t* name, const wchar_t* def) const {
    const Attributes::Record* record = attributes_.find(name);
    return record != nullptr ? record->value : def;
}

bool Node::getBool(const wchar_t* name, bool def) const {
    const wchar_t* v = getRaw(name, nullptr);
    if (v == nullptr) {
        return def;
    }
    return v[0] == L'1' || wcsncmp(v, L"true", 4) == 0;
}

int8_t Node::getS08(const wchar_t* name, int8_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<int8_t>(wcstol(v, nullptr, 10)) : def;
}

int16_t Node::getS16(const wchar_t* name, int16_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<int16_t>(wcstol(v, nullptr, 10)) : def;
}

int32_t Node::getS32(const wchar_t* name, int32_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<int32_t>(wcstol(v, nullptr, 10)) : def;
}

int64_t Node::getS64(const wchar_t* name, int64_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<int64_t>(wcstoll(v, nullptr, 10)) : def;
}

uint64_t Node::getU64(const wchar_t* name, uint64_t def) const {
    return static_cast<uint64_t>(getS64(name, static_cast<int64_t>(def)));
}

uint8_t Node::getU08(const wchar_t* name, uint8_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<uint8_t>(wcstoul(v, nullptr, 10)) : def;
}

uint16_t Node::getU16(const wchar_t* name, uint16_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<uint16_t>(wcstoul(v, nullptr, 10)) : def;
}

uint32_t Node::getU32(const wchar_t* name, uint32_t def) const {
    const wchar_t* v = getRaw(name, nullptr);
    return v != nullptr ? static_cast<uint32_t>(wcstoul(v, nullptr, 10)) : def;
}

Node::StrBuffer* Node::getString(StrBuffer* target, const wchar_t* name, const wchar_t* def, bool append) const {
    StrBuffer* out = prepare(target, append);
    if (out == nullptr) {
        return nullptr;
    }
    const Attributes::Record* record = attributes_.find(name);
    if (record == nullptr) {
        if (def != nullptr) {
            out->append(def);
        }
    } else if (name != nullptr && name[0] != L'\0') {
        unescapeAttribute(record->value, record->valueLength, out);
    } else {
        unescapeText(record->value, record->valueLength, out);
    }
    return out;
}

Node::StrBuffer* Node::write(StrBuffer* target, bool append) const {
    StrBuffer* out = prepare(target, append);
    if (out != nullptr) {
        appendTo(out);
    }
    return out;
}

void Node::appendTo(StrBuffer* out) const {
    out->appendChar(L'<')->appendUnits(nameText(), static_cast<int32_t>(nameLength_));
    const Attributes::Record* text = nullptr;
    for (uint32_t i = 0; i < attributes_.count(); ++i) {
        const Attributes::Record* record = attributes_.at(i);
        if (record->nameLength == 0) {
            if (text == nullptr) {
                text = record;
            }
            continue;
        }
        out->appendChar(L' ')->appendUnits(record->name, static_cast<int32_t>(record->nameLength));
        out->append(L"=\"")->appendUnits(record->value, static_cast<int32_t>(record->valueLength));
        out->appendChar(L'"');
    }
    out->appendChar(L'>');
    if (text != nullptr) {
        out->appendUnits(text->value, static_cast<int32_t>(text->valueLength));
    }
    for (uint32_t i = 0; i < children_.count(); ++i) {
        static_cast<const Node*>(children_.get(i))->appendTo(out);
    }
    out->append(L"</")->appendUnits(nameText(), static_cast<int32_t>(nameLength_))->appendChar(L'>');
}

Node::ArrayU08* Node::toUtf8(ArrayU08* bytes, bool append) const {
    Scratch scratch;
    StrBuffer* text = scratch.get();
    if (text == nullptr) {
        return nullptr;
    }
    appendTo(text);
    return text->toUtf8Unterminated(bytes, append);
}

bool Node::load(const wchar_t* path) {
    file::win::PathWin* file = file::win::PathWin::create(path);
    if (file == nullptr) {
        clearContent();
        return false;
    }
    const bool ok = load(file);
    file->release();
    return ok;
}

bool Node::load(file::IPath* path) {
    clearContent();
    ArrayU08* bytes = ArrayU08::pool();
    if (bytes == nullptr) {
        return false;
    }
    const bool ok = path != nullptr && path->readAllBytes(bytes);
    if (ok) {
        parseUtf8(bytes);
    }
    bytes->release();
    return ok;
}

bool Node::save(const wchar_t* path) const {
    file::win::PathWin* file = file::win::PathWin::create(path);
    if (file == nullptr) {
        return false;
    }
    const bool ok = save(file);
    file->release();
    return ok;
}

bool Node::save(file::IPath* path) const {
    if (path == nullptr) {
        return false;
    }
    file::win::PathWin* file = file::win::PathWin::create(path->getText());
    ArrayU08* bytes = file != nullptr ? toUtf8(nullptr, false) : nullptr;
    // A save that fails or is cut short leaves the old file whole.
    const bool ok = bytes != nullptr && file->replaceAllBytes(bytes);
    if (bytes != nullptr) {
        bytes->release();
    }
    if (file != nullptr) {
        file->release();
    }
    return ok;
}

} // namespace s::xml
