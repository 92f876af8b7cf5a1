#pragma once
#include <windows.h>

namespace s::image::win {

// A screen-compatible memory device context with a bitmap selected into it for one
// scope; the bitmap is deselected and the context deleted at the end.
class MemoryDc {
public:
    explicit MemoryDc(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), old_(nullptr) {
        if (dc_ != nullptr && bitmap != nullptr) {
            old_ = SelectObject(dc_, bitmap);
        }
    }
    ~MemoryDc() {
        if (dc_ != nullptr) {
            if (old_ != nullptr && old_ != HGDI_ERROR) {
                SelectObject(dc_, old_);
            }
            DeleteDC(dc_);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    bool ok() const { return dc_ != nullptr && old_ != nullptr && old_ != HGDI_ERROR; }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace s::image::win
