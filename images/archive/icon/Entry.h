#pragma once
#include "core/thread/ClassPool.h"
#include "images/archive/icon/ImageEntry.h"

namespace s::archive::icon {

// One image of an icon file or group-icon resource.
class Entry : public icon::ImageEntry {
    S_POOLED_CLASS(Entry, 1000, L"s_archive_icon_Entry")
public:
    void reset() override { resetEntry(); }

private:
    Entry() = default;
};

} // namespace s::archive::icon
