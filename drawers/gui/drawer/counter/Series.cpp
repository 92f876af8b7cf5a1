#include "drawers/gui/drawer/counter/Series.h"

#include <new>

namespace s::gui::drawer::counter {

Series::Series(int32_t capacity)
    : samples_(capacity > 0 ? new (std::nothrow) int64_t[capacity] : nullptr),
      capacity_(samples_ != nullptr ? capacity : 0) {}

Series::~Series() {
    delete[] samples_;
}

void Series::add(int64_t value) {
    thread::ObjLocker::Guard held(lock_);
    if (capacity_ == 0) {
        return;
    }
    samples_[next_] = value;
    next_ = (next_ + 1) % capacity_;
    if (count_ < capacity_) {
        ++count_;
    }
}

void Series::clear() {
    thread::ObjLocker::Guard held(lock_);
    count_ = 0;
    next_ = 0;
}

void Series::setRange(int64_t minimum, int64_t maximum) {
    thread::ObjLocker::Guard held(lock_);
    minimum_ = minimum;
    maximum_ = maximum;
}

int32_t Series::newest(int64_t* out, int32_t room) const {
    thread::ObjLocker::Guard held(lock_);
    const int32_t n = room < count_ ? room : count_;
    for (int32_t i = 0; i < n; ++i) {
        out[i] = samples_[(next_ - 1 - i + capacity_) % capacity_];
    }
    return n;
}

} // namespace s::gui::drawer::counter
