#include "core/col/_array/ArrayP.h"

#include "core/comp/CompP.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::col::_array {

ArrayP::ArrayP() : ArrayBase(SHIFT), cleaner_(nullptr) {}

ArrayP::~ArrayP() {
    disposeAll();
}

bool ArrayP::add(void* p) {
    if (count_ == capacity_ && !grow()) {
        return false;
    }
    slots()[count_++] = p;
    return true;
}

void* ArrayP::removeLast() {
    return count_ == 0 ? nullptr : slots()[--count_];
}

void* ArrayP::removeAt(uint32_t index) {
    if (index >= count_) {
        return nullptr;
    }
    if (index == count_ - 1) {
        return removeLast();
    }
    void* p = slots()[index];
    removeRange(index, 1);
    return p;
}

void* ArrayP::removeAndDispose(uint32_t index) {
    void* p = removeAt(index);
    if (cleaner_ != nullptr) {
        cleaner_->dispose(&p);
    }
    return p;
}

int32_t ArrayP::indexOf(const void* p) const {
    for (uint32_t i = 0; i < count_; ++i) {
        if (get(i) == p) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

void ArrayP::disposeAll() {
    if (cleaner_ == nullptr) {
        return;
    }
    // The cleaner disposes each element in its slot and nulls the slot.
    for (uint32_t i = 0; i < count_; ++i) {
        cleaner_->dispose(&slots()[i]);
    }
    count_ = 0;
}

void ArrayP::clear() {
    disposeAll();
    ArrayBase::clear();
}

void ArrayP::freeStorage() {
    disposeAll();
    ArrayBase::freeStorage();
}

void ArrayP::reset() {
    freeStorage();
    cleaner_ = nullptr;
}

void ArrayP::appendElementText(StrBuffer* out, const void* element) const {
    const base::IObject* object = *static_cast<const base::IObject* const*>(element);
    if (object != nullptr) {
        out->append(object->className());
    }
    out->append(L"(");
    out->appendInt64(static_cast<int64_t>(reinterpret_cast<intptr_t>(object)));
    out->append(L")");
}

ArrayBase::StrBuffer* ArrayP::toHex(StrBuffer* out, bool append) const {
    return prepareOut(out, append);
}

const base::IComparator* ArrayP::comparator() const {
    return &comp::CompP::instance();
}

} // namespace s::col::_array
