#pragma once
#include <cstdint>

#include "core/thread/ObjLocker.h"

namespace s::gui::drawer::counter {

// One sample series a counter plots: a ring of the latest 64-bit samples with the
// range the graph spans, an optional colour (-1: the counter's own) and a flag for
// short ticks instead of columns. Samples may be added from any thread.
class Series {
public:
    explicit Series(int32_t capacity);
    ~Series();
    Series(const Series&) = delete;
    Series& operator=(const Series&) = delete;

    // Keeps the sample, dropping the oldest when full.
    void add(int64_t value);
    void clear();
    void setRange(int64_t minimum, int64_t maximum);
    void setColour(int32_t colour) { colour_ = colour; }
    void setTicks(bool on) { ticks_ = on; }
    int64_t minimum() const { return minimum_; }
    int64_t maximum() const { return maximum_; }
    int32_t colour() const { return colour_; }
    bool ticks() const { return ticks_; }
    int32_t capacity() const { return capacity_; }
    // Copies up to `room` of the newest samples, newest first; answers how many.
    int32_t newest(int64_t* out, int32_t room) const;

private:
    mutable thread::ObjLocker lock_;
    int64_t* samples_;
    int32_t capacity_;
    int32_t count_ = 0;
    int32_t next_ = 0;
    int64_t minimum_ = 0;
    int64_t maximum_ = 100;
    int32_t colour_ = -1;
    bool ticks_ = false;
};

} // namespace s::gui::drawer::counter
