#include "images/archive/cur/Archive.h"

#include "core/thread/Held.h"

namespace s::archive::cur {

Archive::Archive() : ImageArchive(true) {}

Archive* Archive::fromModule(dll::IArchive* module, uint32_t id) {
    return thread::pooledFrom<Archive>([&](Archive* archive) { return archive->loadFromModule(module, id); });
}

} // namespace s::archive::cur
