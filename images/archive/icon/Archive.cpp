#include "images/archive/icon/Archive.h"

#include "core/thread/Held.h"
#include "images/archive/icon/Entry.h"

namespace s::archive::icon {

Archive::Archive() : ImageArchive(false, Entry::pooler()) {}

Archive* Archive::fromModule(dll::IArchive* module, uint32_t id) {
    return thread::pooledFrom<Archive>([&](Archive* archive) { return archive->loadFromModule(module, id); });
}

icon::ImageEntry* Archive::takeEntry() {
    return Entry::pool();
}

} // namespace s::archive::icon
