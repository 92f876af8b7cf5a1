#include "images/archive/cur/Archive.h"

#include "core/thread/Held.h"
#include "images/archive/cur/Entry.h"

namespace s::archive::cur {

Archive::Archive() : ImageArchive(true, Entry::pooler()) {}

Archive* Archive::fromModule(dll::IArchive* module, uint32_t id) {
    return thread::pooledFrom<Archive>([&](Archive* archive) { return archive->loadFromModule(module, id); });
}

icon::ImageEntry* Archive::takeEntry() {
    return Entry::pool();
}

} // namespace s::archive::cur
