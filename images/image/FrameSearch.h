#pragma once
#include <cstdint>
#include <cstdlib>

namespace s::image {

// The size and depth of one frame, as the frame searches see it.
struct FrameShape {
    int32_t width;
    int32_t height;
    int32_t depth;
};

// The first of count frames (shapeOf(i) gives frame i's shape) with exactly that
// size and depth, or -1.
template <class ShapeOf>
int32_t exactFrame(int32_t count, int32_t width, int32_t height, int32_t depth, ShapeOf shapeOf) {
    for (int32_t i = 0; i < count; ++i) {
        const FrameShape s = shapeOf(i);
        if (s.width == width && s.height == height && s.depth == depth) {
            return i;
        }
    }
    return -1;
}

// The exact frame, else the one nearest by area (bySize) or by depth, the other
// distance breaking ties and the first of equals kept; -1 without frames.
template <class ShapeOf>
int32_t nearestFrame(int32_t count, int32_t width, int32_t height, int32_t depth, bool bySize, ShapeOf shapeOf) {
    const int32_t exact = exactFrame(count, width, height, depth, shapeOf);
    if (exact >= 0) {
        return exact;
    }
    const int64_t area = static_cast<int64_t>(width) * height;
    int64_t bestPrimary = INT64_MAX;
    int64_t bestSecondary = INT64_MAX;
    int32_t best = -1;
    for (int32_t i = 0; i < count; ++i) {
        const FrameShape s = shapeOf(i);
        const int64_t areaDistance = std::llabs(static_cast<int64_t>(s.width) * s.height - area);
        const int64_t depthDistance = std::llabs(static_cast<int64_t>(s.depth) - depth);
        const int64_t primary = bySize ? areaDistance : depthDistance;
        const int64_t secondary = bySize ? depthDistance : areaDistance;
        if (primary < bestPrimary || (primary == bestPrimary && secondary < bestSecondary)) {
            bestPrimary = primary;
            bestSecondary = secondary;
            best = i;
        }
    }
    return best;
}

// Stores the answer of a search (0 when none) and says whether there was one.
inline bool answerFrame(int32_t found, int32_t* index) {
    if (index != nullptr) {
        *index = found < 0 ? 0 : found;
    }
    return found >= 0;
}

} // namespace s::image
