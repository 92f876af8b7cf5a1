#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace s::str::strbuffer {

// A source that lies in the string's own storage, copied aside: a resize frees that
// storage, and a conversion that empties the string first would write over it.
class StagedSource {
public:
    // Whether p lies in the storage of capacity units (and its NUL) at units.
    static bool inStorage(const void* p, const wchar_t* units, uint32_t capacity) {
        const uintptr_t a = reinterpret_cast<uintptr_t>(p);
        const uintptr_t lo = reinterpret_cast<uintptr_t>(units);
        return units != nullptr && a >= lo && a < lo + (static_cast<uintptr_t>(capacity) + 1) * sizeof(wchar_t);
    }

    StagedSource(const void* source, size_t bytes, const wchar_t* units, uint32_t capacity)
        : source_(source), copy_(nullptr), failed_(false) {
        if (source != nullptr && bytes != 0 && inStorage(source, units, capacity)) {
            copy_ = std::malloc(bytes);
            failed_ = copy_ == nullptr;
            if (copy_ != nullptr) {
                std::memcpy(copy_, source, bytes);
            }
            source_ = copy_;
        }
    }
    ~StagedSource() { std::free(copy_); }
    StagedSource(const StagedSource&) = delete;
    StagedSource& operator=(const StagedSource&) = delete;
    bool failed() const { return failed_; }
    const void* get() const { return source_; }

private:
    const void* source_;
    void* copy_;
    bool failed_;
};

} // namespace s::str::strbuffer
