#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::image::win { class BufferedImage; }

namespace s::image::filters::reduction {

// Reduces a 32-bit picture to a palette of at most the requested number of colours
// (an eight-level octree weighted by pixel counts, with grouping for palettes under
// 16 colours) and maps rows of pixels to palette indices.
class Quantizer : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Quantizer, 1000, L"s_image_filters_reduction_Quantizer")
public:
    static constexpr int32_t MAX_COLOURS = 256;

    ~Quantizer() override;
    void reset() override;

    // Builds the palette of image for at most colours (1 to 256) entries. Alpha takes
    // part only when the picture uses it (GDI drawing leaves alpha bytes 0): then
    // fully transparent pixels are left out. False for other counts, no picture, or
    // when the tree cannot be allocated; the palette is then all zero.
    bool buildPalette(const image::win::BufferedImage* image, int32_t colours);
    // Maps width pixels (blue, green, red, alpha) to indices of the last palette, one
    // byte each at bitDepth 8, two to a byte (high half first) at bitDepth 4. When the
    // picture used alpha, pixels with alpha below 255 get the index colourCount(),
    // provided the depth can hold it; otherwise every pixel gets its nearest colour.
    void mapPixels(const uint8_t* source, int32_t width, uint8_t* destination, int32_t bitDepth) const;

    // Entries (blue, green, red, 0); those past paletteEntries() are zero.
    const RGBQUAD* palette() const { return palette_; }
    // The requested number of colours.
    int32_t colourCount() const { return colourCount_; }
    // The entries filled from the picture (at most colourCount()).
    int32_t paletteEntries() const { return paletteEntries_; }
    uint32_t leafCount() const { return leafCount_; }

private:
    struct Node {
        bool leaf;
        uint32_t pixelCount;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        uint32_t fourth;
        Node* children[8];
        Node* nextReducible;
    };
    struct LeafColour {
        uint32_t count;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
    };

    Quantizer();
    static void freeTree(Node* node);
    bool addColour(uint8_t red, uint8_t green, uint8_t blue);
    void reduce();
    // Depth first, children in index order: calls visit for each leaf.
    template <class Visit>
    static void walkLeaves(const Node* node, Visit& visit);
    void fillPalette();
    int32_t nearest(uint8_t red, uint8_t green, uint8_t blue) const;

    Node* root_;
    uint32_t leafCount_;
    Node* reducible_[8];
    RGBQUAD palette_[MAX_COLOURS];
    int32_t colourCount_;
    int32_t paletteEntries_;
    // The last picture's alpha counted.
    bool alphaInUse_;
};

} // namespace s::image::filters::reduction
