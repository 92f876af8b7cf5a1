#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/archive/icon/ImageArchive.h"

namespace s::archive::icon {

// The images of an ".ico" file or a group-icon resource. An archive built
// from a module holds every image's data already.
//
//   icon::Archive* archive = icon::Archive::fromModule(module, 128);
//   uint32_t index;
//   if (archive != nullptr && archive->findBestEntry(32, 32, &index)) {
//       image::win::BufferedImage* image = archive->entryImage(index);
//       ...
//   }
class Archive : public icon::ImageArchive {
    S_POOLED_CLASS(Archive, 1000, L"s_archive_icon_Archive")
public:
    // An archive from the pool built from the group of that id; null when the module
    // has no such group.
    static Archive* fromModule(dll::IArchive* module, uint32_t id);

    void reset() override { close(); }

private:
    Archive();
};

} // namespace s::archive::icon
