#pragma once
#include <cstdint>

namespace s::ffmpeg {

// Deletes a conversion's leftovers (a partial output, the two-pass working folder). A
// file a just-ended ffmpeg still held may stay locked for a moment, so deletion is tried
// again every stepMs while the path exists, up to limitMs in all. True when nothing is
// left at the path.
bool removeRetrying(const wchar_t* path, uint32_t limitMs = 5000, uint32_t stepMs = 200);

} // namespace s::ffmpeg
