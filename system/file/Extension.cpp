#include "system/file/Extension.h"

#include "core/str/strbuffer/StrBuffer.h"

namespace s::file {

using str::strbuffer::StrBuffer;

Extension::Extension() : key_(StrBuffer::pool()), members_(nullptr) {}

Extension::~Extension() {
    if (members_ != nullptr) {
        members_->release();
    }
    if (key_ != nullptr) {
        key_->release();
    }
}

Extension* Extension::create(const wchar_t* key) {
    Extension* group = pool();
    if (group != nullptr) {
        group->setKey(key);
    }
    return group;
}

void Extension::reset() {
    key_->freeStorage();
    if (members_ != nullptr) {
        members_->release();  // no cleaner: the members stay with their list
        members_ = nullptr;
    }
}

const wchar_t* Extension::keyText() const {
    return key_->c_str();
}

void Extension::setKey(const wchar_t* key) {
    key_->assign(key);
}

bool Extension::addMember(IPath* path) {
    if (members_ == nullptr) {
        members_ = col::_array::ArrayP::pool();
        if (members_ == nullptr) {
            return false;
        }
    }
    return members_->add(path);
}

int32_t Extension::compareTo(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<Extension>(other)) {
        return IComparable::compareTo(other, comparator);
    }
    return key_->compareTo(static_cast<const Extension*>(other)->key_);
}

int32_t Extension::compareToIgnoreCase(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<Extension>(other)) {
        return IComparable::compareToIgnoreCase(other, comparator);
    }
    return key_->compareToIgnoreCase(static_cast<const Extension*>(other)->key_);
}

bool Extension::equals(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<Extension>(other)) {
        return IComparable::equals(other, comparator);
    }
    return key_->equals(static_cast<const Extension*>(other)->key_);
}

bool Extension::equalsIgnoreCase(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<Extension>(other)) {
        return IComparable::equalsIgnoreCase(other, comparator);
    }
    return key_->equalsIgnoreCase(static_cast<const Extension*>(other)->key_);
}

uint32_t Extension::hashCode() const {
    return key_->hashCode();
}

uint32_t Extension::hashCodeIgnoreCase() const {
    return key_->hashCodeIgnoreCase();
}

int32_t Extension::compareKeys(const void* a, const void* b, void*) {
    return static_cast<const Extension*>(a)->compareToIgnoreCase(static_cast<const Extension*>(b));
}

int32_t Extension::compareCounts(const void* a, const void* b, void*) {
    const uint32_t left = static_cast<const Extension*>(a)->memberCount();
    const uint32_t right = static_cast<const Extension*>(b)->memberCount();
    return left < right ? -1 : (left > right ? 1 : 0);
}

} // namespace s::file
