#include "images/archive/icon/Archive.h"

#include "core/thread/Held.h"

namespace s::archive::icon {

Archive::Archive() : ImageArchive(false) {}

Archive* Archive::fromModule(dll::IArchive* module, uint32_t id) {
    return thread::pooledFrom<Archive>([&](Archive* archive) { return archive->loadFromModule(module, id); });
}

} // namespace s::archive::icon
