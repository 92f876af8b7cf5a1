#pragma once
#include "core/thread/ClassPool.h"
#include "images/archive/icon/ImageEntry.h"

namespace s::archive::cur {

// One image of a cursor file or group-cursor resource (its hotspot in place of layers and depth).
class Entry : public icon::ImageEntry {
    S_POOLED_CLASS(Entry, 1000, L"s_archive_cur_Entry")
public:
    void reset() override { resetEntry(); }

private:
    Entry() = default;
};

} // namespace s::archive::cur
