#include "system/xml/MappedData.h"

#include <cwchar>
#include <cwctype>

#include "core/col/_array/ArrayU08.h"
#include "system/file/win/PathWin.h"

namespace s::xml {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

} // namespace

MappedData::MappedData()
    : filePath_(nullptr), rootNode_(nullptr), groupNode_(nullptr), autoSave_(0), unreadFile_(false) {}

MappedData::~MappedData() {
    reset();
}

MappedData* MappedData::create(const wchar_t* filePath) {
    MappedData* store = pool();
    if (store != nullptr) {
        store->setFile(filePath);
    }
    return store;
}

void MappedData::clearTree() {
    groupNode_ = nullptr;
    groupName_.clear();
    if (rootNode_ != nullptr) {
        rootNode_->release();
        rootNode_ = nullptr;
    }
}

void MappedData::reset() {
    clearTree();
    if (filePath_ != nullptr) {
        filePath_->release();
        filePath_ = nullptr;
    }
    textScratch_.freeStorage();
    groupName_.freeStorage();
    autoSave_ = 0;
    unreadFile_ = false;
}

void MappedData::setFile(const wchar_t* filePath) {
    clearTree();
    unreadFile_ = false;
    if (filePath_ != nullptr) {
        filePath_->release();
        filePath_ = nullptr;
    }
    if (filePath != nullptr) {
        filePath_ = file::win::PathWin::create(filePath);
    }
    if (filePath_ != nullptr && filePath_->isFile()) {
        rootNode_ = Node::pool();
        // A file that is there but could not be read (locked, a read error) holds
        // settings an empty tree must never replace; one without an element gives
        // no usable root.
        unreadFile_ = rootNode_ == nullptr || !rootNode_->load(filePath_);
        if (rootNode_ != nullptr && (unreadFile_ || rootNode_->nameLength() == 0 || rootNode_->isComment())) {
            rootNode_->release();
            rootNode_ = nullptr;
        }
    }
    if (rootNode_ == nullptr) {
        rootNode_ = Node::pool();
        if (rootNode_ != nullptr && !rootNode_->setName(L"savedata")) {
            rootNode_->release();
            rootNode_ = nullptr;
        }
    }
    groupNode_ = rootNode_;
}

bool MappedData::save() {
    if (unreadFile_) {
        return false;
    }
    if (filePath_ == nullptr || rootNode_ == nullptr) {
        return true;
    }
    return rootNode_->save(filePath_);
}

bool MappedData::afterChange(bool ok) {
    if (autoSave_ != 0) {
        ok = save() && ok;
    }
    return ok;
}

Node* MappedData::resolve(const wchar_t* group, bool create) {
    if (rootNode_ == nullptr) {
        return nullptr;
    }
    if (group == nullptr) {
        group = L"";
    }
    if (groupNode_ != nullptr && groupName_.regionMatchesIgnoreCase(0, group, 0, -1)) {
        return groupNode_;
    }
    groupNode_ = nullptr;
    groupName_.clear();
    Node* node = rootNode_;
    // One piece per separator; a separator at the very end adds none.
    for (const wchar_t* p = group; *p != L'\0';) {
        const wchar_t* piece = p;
        while (*p != L'\0' && !isSeparator(*p)) {
            ++p;
        }
        const int32_t length = static_cast<int32_t>(p - piece);
        Node* next = node->findChild(piece, length, nullptr);
        if (next == nullptr) {
            if (!create) {
                return nullptr;
            }
            next = node->addChild(piece, length);
            if (next == nullptr) {
                return nullptr;
            }
        }
        node = next;
        if (*p != L'\0') {
            ++p;
        }
    }
    groupName_.assign(group);
    groupNode_ = node;
    return node;
}

bool MappedData::deleteGroup(const wchar_t* group) {
    if (group == nullptr) {
        group = L"";
    }
    // Trailing separators name the same group, as they do when resolving.
    size_t length = wcslen(group);
    while (length != 0 && isSeparator(group[length - 1])) {
        --length;
    }
    size_t pieceStart = length;
    while (pieceStart != 0 && !isSeparator(group[pieceStart - 1])) {
        --pieceStart;
    }
    // The cached element may lie inside the removed subtree.
    groupNode_ = nullptr;
    groupName_.clear();
    StrBuffer* parentGroup = StrBuffer::pool();
    if (parentGroup == nullptr) {
        return false;
    }
    parentGroup->appendUnits(group, static_cast<int32_t>(pieceStart != 0 ? pieceStart - 1 : 0));
    Node* parent = resolve(parentGroup->c_str(), false);
    parentGroup->release();
    uint32_t index = 0;
    if (parent == nullptr ||
        parent->findChild(group + pieceStart, static_cast<int32_t>(length - pieceStart), &index) == nullptr) {
        return false;
    }
    parent->removeChildAt(index);
    return afterChange(true);
}

bool MappedData::hasValue(const wchar_t* group, const wchar_t* name) {
    Node* node = resolve(group, false);
    return node != nullptr && node->attributes().find(name) != nullptr;
}

uint8_t MappedData::getU08(const wchar_t* group, const wchar_t* name, uint8_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getU08(name, def) : def;
}

uint16_t MappedData::getU16(const wchar_t* group, const wchar_t* name, uint16_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getU16(name, def) : def;
}

uint32_t MappedData::getU32(const wchar_t* group, const wchar_t* name, uint32_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getU32(name, def) : def;
}

uint64_t MappedData::getU64(const wchar_t* group, const wchar_t* name, uint64_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getU64(name, def) : def;
}

int8_t MappedData::getS08(const wchar_t* group, const wchar_t* name, int8_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getS08(name, def) : def;
}

int16_t MappedData::getS16(const wchar_t* group, const wchar_t* name, int16_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getS16(name, def) : def;
}

int32_t MappedData::getS32(const wchar_t* group, const wchar_t* name, int32_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getS32(name, def) : def;
}

int64_t MappedData::getS64(const wchar_t* group, const wchar_t* name, int64_t def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getS64(name, def) : def;
}

float MappedData::getFloat(const wchar_t* group, const wchar_t* name, float def) {
    Node* node = resolve(group, false);
    const wchar_t* text = node != nullptr ? node->getRaw(name, nullptr) : nullptr;
    return text != nullptr ? static_cast<float>(wcstod(text, nullptr)) : def;
}

double MappedData::getDouble(const wchar_t* group, const wchar_t* name, double def) {
    Node* node = resolve(group, false);
    const wchar_t* text = node != nullptr ? node->getRaw(name, nullptr) : nullptr;
    return text != nullptr ? wcstod(text, nullptr) : def;
}

bool MappedData::getBool(const wchar_t* group, const wchar_t* name, bool def) {
    Node* node = resolve(group, false);
    return node != nullptr ? node->getBool(name, def) : def;
}

const wchar_t* MappedData::getString(const wchar_t* group, const wchar_t* name, const wchar_t* def,
                                     bool* isExpandable, bool) {
    if (isExpandable != nullptr) {
        *isExpandable = false;
    }
    Node* node = resolve(group, false);
    if (node == nullptr || node->attributes().find(name) == nullptr) {
        return def;
    }
    node->getString(&textScratch_, name, nullptr, false);
    return textScratch_.c_str();
}

MappedData::ArrayU08* MappedData::getBytes(const wchar_t* group, const wchar_t* name, ArrayU08* bytes) {
    ArrayU08* out = bytes != nullptr ? bytes : ArrayU08::pool();
    if (out == nullptr) {
        return nullptr;
    }
    out->clear();
    Node* node = resolve(group, false);
    if (node != nullptr && node->attributes().find(name) != nullptr) {
        node->getString(&textScratch_, name, nullptr, false);
        textScratch_.hexToBytes(out, true);
    }
    return out;
}

bool MappedData::deleteValue(const wchar_t* group, const wchar_t* name) {
    Node* node = resolve(group, false);
    if (node == nullptr) {
        return false;
    }
    return afterChange(node->attributes().removeAll(name) != 0);
}

Node* MappedData::prepareSet(const wchar_t* group, const wchar_t* name) {
    Node* node = resolve(group, true);
    if (node != nullptr) {
        // Earlier duplicates (a hand-edited file) would shadow the new value.
        node->attributes().removeAll(name);
    }
    return node;
}

bool MappedData::setU08(const wchar_t* group, const wchar_t* name, uint8_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setU08(name, value));
}

bool MappedData::setU16(const wchar_t* group, const wchar_t* name, uint16_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setU16(name, value));
}

bool MappedData::setU32(const wchar_t* group, const wchar_t* name, uint32_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setU32(name, value));
}

bool MappedData::setU64(const wchar_t* group, const wchar_t* name, uint64_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setU64(name, value));
}

bool MappedData::setS08(const wchar_t* group, const wchar_t* name, int8_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setS08(name, value));
}

bool MappedData::setS16(const wchar_t* group, const wchar_t* name, int16_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setS16(name, value));
}

bool MappedData::setS32(const wchar_t* group, const wchar_t* name, int32_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setS32(name, value));
}

bool MappedData::setS64(const wchar_t* group, const wchar_t* name, int64_t value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setS64(name, value));
}

bool MappedData::setFloat(const wchar_t* group, const wchar_t* name, float value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setFloat(name, value));
}

bool MappedData::setDouble(const wchar_t* group, const wchar_t* name, double value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setDouble(name, value));
}

bool MappedData::setBool(const wchar_t* group, const wchar_t* name, bool value) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setS32(name, value ? 1 : 0));
}

bool MappedData::setString(const wchar_t* group, const wchar_t* name, const wchar_t* text) {
    Node* node = prepareSet(group, name);
    return afterChange(node != nullptr && node->setString(name, text));
}

bool MappedData::setExpandString(const wchar_t* group, const wchar_t* name, const wchar_t* text) {
    return setString(group, name, text);
}

bool MappedData::setBytes(const wchar_t* group, const wchar_t* name, const ArrayU08* bytes) {
    Node* node = prepareSet(group, name);
    const uint32_t count = bytes != nullptr ? bytes->count() : 0;
    return afterChange(node != nullptr && node->setHex(name, count != 0 ? bytes->values() : nullptr, count));
}

} // namespace s::xml
