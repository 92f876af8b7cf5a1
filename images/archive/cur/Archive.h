#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/archive/icon/ImageArchive.h"

namespace s::archive::cur {

// The images of a ".cur" file or a group-cursor resource. An archive built
// from a module holds every image's data already.
//
//   cur::Archive* archive = cur::Archive::fromModule(module, 128);
//   uint32_t index;
//   if (archive != nullptr && archive->findBestEntry(32, 32, &index)) {
//       image::win::BufferedImage* image = archive->entryImage(index);
//       ...
//   }
class Archive : public icon::ImageArchive {
    S_POOLED_CLASS(Archive, 1000, L"s_archive_cur_Archive")
public:
    // An archive from the pool built from the group of that id; null when the module
    // has no such group.
    static Archive* fromModule(dll::IArchive* module, uint32_t id);

    void reset() override { close(); }

private:
    Archive();
};

} // namespace s::archive::cur
