#include "core/time/TimeZone.h"

#include <cstring>
#include <initializer_list>

#include "core/str/strbuffer/StrBuffer.h"

namespace s::time {

using str::strbuffer::StrBuffer;

TimeZone::TimeZone()
    : index_(0), displayName_(StrBuffer::pool()), standardName_(StrBuffer::pool()),
      daylightName_(StrBuffer::pool()), flags_(0) {
    std::memset(&info_, 0, sizeof(info_));
}

TimeZone::~TimeZone() {
    delete displayName_;
    delete standardName_;
    delete daylightName_;
}

void TimeZone::reset() {
    index_ = 0;
    flags_ = 0;
    std::memset(&info_, 0, sizeof(info_));
    for (StrBuffer* name : {displayName_, standardName_, daylightName_}) {
        if (name != nullptr) {
            name->freeStorage();
        }
    }
}

} // namespace s::time
