#include "images/image/filters/reduction/Quantizer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "images/image/win/BufferedImage.h"

namespace s::image::filters::reduction {

Quantizer::Quantizer()
    : root_(nullptr), leafCount_(0), colourCount_(16), paletteEntries_(0), alphaInUse_(false) {
    std::memset(reducible_, 0, sizeof(reducible_));
    std::memset(palette_, 0, sizeof(palette_));
}

Quantizer::~Quantizer() {
    freeTree(root_);
}

void Quantizer::reset() {
    freeTree(root_);
    root_ = nullptr;
    leafCount_ = 0;
    std::memset(reducible_, 0, sizeof(reducible_));
    colourCount_ = 16;
    paletteEntries_ = 0;
    alphaInUse_ = false;
}

void Quantizer::freeTree(Node* node) {
    if (node == nullptr) {
        return;
    }
    for (Node* child : node->children) {
        freeTree(child);
    }
    delete node;
}

bool Quantizer::addColour(uint8_t red, uint8_t green, uint8_t blue) {
    Node** slot = &root_;
    for (int32_t level = 0;; ++level) {
        if (*slot == nullptr) {
            Node* node = new (std::nothrow) Node();
            if (node == nullptr) {
                return false;
            }
            if (level == 8) {
                node->leaf = true;
                ++leafCount_;
            } else {
                node->nextReducible = reducible_[level];
                reducible_[level] = node;
            }
            *slot = node;
        }
        Node* node = *slot;
        if (node->leaf) {
            ++node->pixelCount;
            node->red += red;
            node->green += green;
            node->blue += blue;
            return true;
        }
        const int32_t bit = 7 - level;
        const int32_t child = ((red >> bit) & 1) * 4 + ((green >> bit) & 1) * 2 + ((blue >> bit) & 1);
        slot = &node->children[child];
    }
}

void Quantizer::reduce() {
    int32_t level = 7;
    while (level > 0 && reducible_[level] == nullptr) {
        --level;
    }
    Node* node = reducible_[level];
    if (node == nullptr) {
        return;
    }
    reducible_[level] = node->nextReducible;
    uint32_t children = 0;
    uint32_t count = 0, red = 0, green = 0, blue = 0, fourth = 0;
    for (Node*& child : node->children) {
        if (child == nullptr) {
            continue;
        }
        count += child->pixelCount;
        red += child->red;
        green += child->green;
        blue += child->blue;
        fourth += child->fourth;
        freeTree(child);
        child = nullptr;
        ++children;
    }
    node->pixelCount += count;
    node->red = red;
    node->green = green;
    node->blue = blue;
    node->fourth = fourth;
    node->leaf = true;
    leafCount_ = leafCount_ + 1 - children;
}

template <class Visit>
void Quantizer::walkLeaves(const Node* node, Visit& visit) {
    if (node == nullptr) {
        return;
    }
    if (node->leaf) {
        visit(*node);
        return;
    }
    for (const Node* child : node->children) {
        walkLeaves(child, visit);
    }
}

bool Quantizer::buildPalette(const image::win::BufferedImage* image, int32_t colours) {
    reset();
    std::memset(palette_, 0, sizeof(palette_));
    if (image == nullptr || colours < 1 || colours > MAX_COLOURS) {
        return false;
    }
    colourCount_ = colours;
    alphaInUse_ = image->hasAlpha();
    const uint32_t limit = static_cast<uint32_t>(std::max(16, colours));
    const int32_t w = image->width();
    for (int32_t y = 0; y < image->height(); ++y) {
        const uint8_t* p = image->row(y);
        for (int32_t x = 0; x < w; ++x, p += 4) {
            if (alphaInUse_ && p[3] == 0) {
                continue;
            }
            if (!addColour(p[2], p[1], p[0])) {
                reset();
                return false;
            }
            while (leafCount_ > limit) {
                reduce();
            }
        }
    }
    fillPalette();
    return true;
}

void Quantizer::fillPalette() {
    int32_t written = 0;
    if (colourCount_ >= 16) {
        auto visit = [&](const Node& leaf) {
            if (written < colourCount_) {
                palette_[written++] = RGBQUAD{static_cast<BYTE>(leaf.blue / leaf.pixelCount),
                                              static_cast<BYTE>(leaf.green / leaf.pixelCount),
                                              static_cast<BYTE>(leaf.red / leaf.pixelCount), 0};
            }
        };
        walkLeaves(root_, visit);
    } else {
        std::vector<LeafColour> leaves;
        leaves.reserve(leafCount_);
        auto visit = [&](const Node& leaf) {
            leaves.push_back(LeafColour{leaf.pixelCount, leaf.red / leaf.pixelCount, leaf.green / leaf.pixelCount,
                                        leaf.blue / leaf.pixelCount});
        };
        walkLeaves(root_, visit);
        const uint64_t n = leaves.size();
        const uint64_t groups = std::min<uint64_t>(n, static_cast<uint64_t>(colourCount_));
        for (uint64_t k = 0; k < groups; ++k) {
            // Equal shares in tree order; with enough colours each group is one leaf.
            const uint64_t from = n * k / groups;
            const uint64_t to = n * (k + 1) / groups;
            uint64_t count = 0, red = 0, green = 0, blue = 0;
            for (uint64_t i = from; i < to; ++i) {
                count += leaves[i].count;
                red += static_cast<uint64_t>(leaves[i].count) * leaves[i].red;
                green += static_cast<uint64_t>(leaves[i].count) * leaves[i].green;
                blue += static_cast<uint64_t>(leaves[i].count) * leaves[i].blue;
            }
            palette_[written++] = RGBQUAD{static_cast<BYTE>(blue / count), static_cast<BYTE>(green / count),
                                          static_cast<BYTE>(red / count), 0};
        }
    }
    paletteEntries_ = written;
}

int32_t Quantizer::nearest(uint8_t red, uint8_t green, uint8_t blue) const {
    int32_t best = 0;
    int32_t bestDistance = 200000;
    for (int32_t i = 0; i < paletteEntries_; ++i) {
        const int32_t dr = static_cast<int32_t>(palette_[i].rgbRed) - red;
        const int32_t dg = static_cast<int32_t>(palette_[i].rgbGreen) - green;
        const int32_t db = static_cast<int32_t>(palette_[i].rgbBlue) - blue;
        const int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) {
                break;
            }
        }
    }
    return best;
}

void Quantizer::mapPixels(const uint8_t* source, int32_t width, uint8_t* destination, int32_t bitDepth) const {
    if (source == nullptr || destination == nullptr || (bitDepth != 4 && bitDepth != 8)) {
        return;
    }
    // Index colourCount() marks translucent pixels only when the depth has room for it.
    const bool markTranslucent = alphaInUse_ && colourCount_ < (1 << bitDepth);
    for (int32_t x = 0; x < width; ++x, source += 4) {
        const int32_t index = markTranslucent && source[3] < 255 ? colourCount_
                                                                 : nearest(source[2], source[1], source[0]);
        if (bitDepth == 8) {
            destination[x] = static_cast<uint8_t>(index);
        } else if (x % 2 == 0) {
            destination[x / 2] = static_cast<uint8_t>(index << 4);
        } else {
            destination[x / 2] = static_cast<uint8_t>((destination[x / 2] & 0xF0) | (index & 0x0F));
        }
    }
}

} // namespace s::image::filters::reduction
