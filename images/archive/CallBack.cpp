#include "images/archive/CallBack.h"

#include "core/str/strarray/StrArray.h"

namespace s::archive {

namespace {

// Field values after construction and reset, in field order.
const int32_t FIELD_DEFAULTS[CallBack::FIELD_COUNT] = {0, 0, 0, 0, 100, 0};

} // namespace

CallBack::CallBack() : statusList_(nullptr) {
    fields_[KEPT_FIELD] = FIELD_DEFAULTS[KEPT_FIELD];
    reset();
}

CallBack::~CallBack() {
    reset();
}

void CallBack::reset() {
    statusLabel_ = nullptr;
    progressBar_ = nullptr;
    total_ = 0;
    position_ = 100;
    for (uint32_t i = 0; i < FIELD_COUNT; ++i) {
        if (i != KEPT_FIELD) {
            fields_[i] = FIELD_DEFAULTS[i];
        }
    }
    pointers_.clear();
    setStatusList(nullptr);
}

void CallBack::setStatusList(str::strarray::StrArray* list) {
    if (statusList_ != nullptr && statusList_ != list) {
        statusList_->release();
    }
    statusList_ = list;
}

} // namespace s::archive
