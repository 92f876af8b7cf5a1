#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::time {

// A pooled record of one time zone: an index, its display, standard and daylight
// names, flags and the Windows zone record. Nothing fills it yet; it only keeps the
// record shape.
class TimeZone : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(TimeZone, 1000, L"s_time_TimeZone")
public:
    TimeZone();
    ~TimeZone() override;

    // Both values and the zone record zeroed, the names' storage freed.
    void reset() override;

    int32_t index() const { return index_; }
    void setIndex(int32_t index) { index_ = index; }
    str::strbuffer::StrBuffer* displayName() const { return displayName_; }
    str::strbuffer::StrBuffer* standardName() const { return standardName_; }
    str::strbuffer::StrBuffer* daylightName() const { return daylightName_; }
    int32_t flags() const { return flags_; }
    void setFlags(int32_t flags) { flags_ = flags; }
    TIME_ZONE_INFORMATION& info() { return info_; }
    const TIME_ZONE_INFORMATION& info() const { return info_; }

private:
    int32_t index_;
    str::strbuffer::StrBuffer* displayName_;
    str::strbuffer::StrBuffer* standardName_;
    str::strbuffer::StrBuffer* daylightName_;
    int32_t flags_;
    TIME_ZONE_INFORMATION info_;
};

} // namespace s::time
