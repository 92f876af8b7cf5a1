#include "widgets/gui/layout/Routines.h"

#include <utility>
#include <vector>

#include "widgets/gui/IContainer.h"

namespace s::gui::layout {

namespace {

int32_t larger(int32_t a, int32_t b) {
    return a > b ? a : b;
}

int32_t smaller(int32_t a, int32_t b) {
    return a < b ? a : b;
}

// Proportional growth in single precision, truncated toward zero.
int32_t share(float factor, int32_t room) {
    return static_cast<int32_t>(factor * static_cast<float>(room));
}

// Children are moved once per run: frozen while placed, thawed (one move) at the end.
// A frozen container leaves them frozen so that its own thaw moves them.
void freezeChildren(IContainer* c) {
    if (c->isFrozen()) {
        return;
    }
    for (int32_t i = 0; i < c->getChildCount(); ++i) {
        c->getChildAt(i)->freeze();
    }
}

void thawChildren(IContainer* c) {
    if (c->isFrozen()) {
        return;
    }
    for (int32_t i = 0; i < c->getChildCount(); ++i) {
        IComponent* const child = c->getChildAt(i);
        child->thaw();
        child->redrawNow();
    }
}

enum Axis { HORIZONTAL, VERTICAL };

int32_t preferred(const IComponent* c, Axis axis) {
    return axis == HORIZONTAL ? c->getPreferredWidth() : c->getPreferredHeight();
}

int32_t maximum(const IComponent* c, Axis axis) {
    return axis == HORIZONTAL ? c->getMaximumWidth() : c->getMaximumHeight();
}

int32_t wanted(const IComponent* c, Axis axis) {
    return larger(preferred(c, axis), maximum(c, axis));
}

int32_t current(const IComponent* c, Axis axis) {
    return axis == HORIZONTAL ? c->getWidth() : c->getHeight();
}

// Sum of one size of every child with a gap after each child of size >= 1, the gap
// after the last one taken back: one gap between consecutive children that have a size.
template <class SizeOf>
int32_t sumWithGaps(IContainer* c, int32_t gap, SizeOf sizeOf) {
    const int32_t n = c->getChildCount();
    int32_t sum = 0;
    int32_t previous = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t size = sizeOf(c->getChildAt(i));
        if (i > 0 && previous >= 1) {
            sum += gap;
        }
        sum += size;
        previous = size;
    }
    if (n > 0 && previous < 1 && sum >= 1) {
        sum -= gap;
    }
    return sum;
}

// Largest of one size over the children (visible ones only when asked).
template <class SizeOf>
int32_t largest(IContainer* c, bool visibleOnly, SizeOf sizeOf) {
    int32_t best = 0;
    for (int32_t i = 0; i < c->getChildCount(); ++i) {
        const IComponent* child = c->getChildAt(i);
        if (!visibleOnly || child->isVisible()) {
            best = larger(best, sizeOf(child));
        }
    }
    return best;
}

void fit(IComponent* c, Axis axis, int32_t mainSize, int32_t crossSize) {
    if (axis == HORIZONTAL) {
        c->fitSize(mainSize, crossSize);
    } else {
        c->fitSize(crossSize, mainSize);
    }
}

// Hands the surplus out along the main axis: first in proportion to each child's room to
// grow (from its current size to its maximum), then what truncation left over, child by
// child in order. Returns the surplus that remains.
int32_t growProportionally(IContainer* c, Axis axis, int32_t surplus, int32_t minSum, int32_t wantSum,
                           int32_t crossSize) {
    const float factor = static_cast<float>(surplus) / static_cast<float>(wantSum - minSum);
    const int32_t n = c->getChildCount();
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        const int32_t base = axis == HORIZONTAL ? preferred(child, axis) : current(child, axis);
        const int32_t most = maximum(child, axis);
        if (axis == VERTICAL && base >= most) {
            continue;
        }
        const int32_t size = base >= most ? base : base + share(factor, most - base);
        fit(child, axis, size, axis == HORIZONTAL ? 0 : crossSize);
        surplus -= current(child, axis) - base;
    }
    for (int32_t i = 0; i < n && surplus != 0; ++i) {
        IComponent* const child = c->getChildAt(i);
        const int32_t size = current(child, axis);
        const int32_t most = maximum(child, axis);
        if (size < most) {
            fit(child, axis, smaller(most, size + surplus), axis == HORIZONTAL ? 0 : crossSize);
            surplus -= current(child, axis) - size;
        }
    }
    return surplus;
}

void store(ContentSizes* sizes, int32_t minW, int32_t minH, int32_t wantW, int32_t wantH) {
    if (sizes != nullptr) {
        sizes->minWidth = minW;
        sizes->minHeight = minH;
        sizes->wantedWidth = wantW;
        sizes->wantedHeight = wantH;
    }
}

} // namespace

namespace {

std::vector<std::pair<int32_t, int32_t>> preferredSizes(const IContainer* c) {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int32_t i = 0; i < c->getChildCount(); ++i) {
        const IComponent* child = c->getChildAt(i);
        out.emplace_back(child->getPreferredWidth(), child->getPreferredHeight());
    }
    return out;
}

// A child container lays itself out as it is sized and may then ask for other sizes than
// it was measured by (a size rule below it changed without a relayout up the tree): the
// run is made once more with the fresh sizes, else the container keeps the old ones
// until its next layout.
template <class Run>
void settled(const IContainer* c, Run run) {
    const std::vector<std::pair<int32_t, int32_t>> before = preferredSizes(c);
    run();
    if (preferredSizes(c) != before) {
        run();
    }
}

} // namespace

int32_t startOffset(int32_t align, int32_t leftover) {
    if (leftover < 1) {
        return 0;
    }
    return align == 1 ? leftover / 2 : align == 2 ? leftover : 0;
}

int32_t crossOffset(int32_t align, int32_t available, int32_t size) {
    if (size >= available) {
        return 0;
    }
    return align == 1 ? (available - size) / 2 : align == 2 ? available - size : 0;
}

static void layoutRowOnce(IContainer* c, int32_t hAlign, int32_t vAlign, int32_t gapX, ContentSizes* sizes) {
    freezeChildren(c);
    const int32_t n = c->getChildCount();
    const int32_t pMin = sumWithGaps(c, gapX, [](const IComponent* k) { return preferred(k, HORIZONTAL); });
    const int32_t pWant = sumWithGaps(c, gapX, [](const IComponent* k) { return wanted(k, HORIZONTAL); });
    const int32_t available = larger(c->getInnerWidth(), pMin);
    const int32_t surplus = available - pMin;
    int32_t leftover;
    if (surplus < 1 || pMin >= pWant) {
        for (int32_t i = 0; i < n; ++i) {
            IComponent* const child = c->getChildAt(i);
            child->fitSize(child->getPreferredWidth(), 0);
        }
        leftover = surplus;
    } else if (available < pWant) {
        leftover = growProportionally(c, HORIZONTAL, surplus, pMin, pWant, 0);
    } else {
        for (int32_t i = 0; i < n; ++i) {
            IComponent* const child = c->getChildAt(i);
            child->fitSize(wanted(child, HORIZONTAL), 0);
        }
        leftover = available - pWant;
    }

    const int32_t hMin = largest(c, false, [](const IComponent* k) { return k->getPreferredHeight(); });
    const int32_t hWant = largest(c, false, [](const IComponent* k) { return wanted(k, VERTICAL); });
    const int32_t height = larger(c->getInnerHeight(), hMin);
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        child->fitSize(child->getWidth(), larger(height, child->getPreferredHeight()));
    }

    int32_t x = startOffset(hAlign, leftover);
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        if (i > 0 && c->getChildAt(i - 1)->getWidth() >= 1) {
            x += gapX;
        }
        child->setPosition(x, crossOffset(vAlign, height, child->getHeight()));
        x += child->getWidth();
    }
    thawChildren(c);
    store(sizes, pMin, hMin, pWant, hWant);
}

static void layoutColumnOnce(IContainer* c, int32_t hAlign, int32_t vAlign, int32_t gapY, ContentSizes* sizes) {
    freezeChildren(c);
    const int32_t n = c->getChildCount();
    const int32_t wMin = largest(c, false, [](const IComponent* k) { return k->getPreferredWidth(); });
    const int32_t wWant = largest(c, false, [](const IComponent* k) { return wanted(k, HORIZONTAL); });
    const int32_t width = larger(c->getInnerWidth(), wMin);
    for (int32_t i = 0; i < n; ++i) {
        c->getChildAt(i)->fitSize(width, 0);
    }
    // Heights are read after the widths are given: wrapped text grows with less width.
    const int32_t vMin = sumWithGaps(c, gapY, [](const IComponent* k) { return k->getHeight(); });
    const int32_t vWant = sumWithGaps(c, gapY, [](const IComponent* k) {
        return larger(k->getMaximumHeight(), k->getHeight());
    });
    const int32_t available = larger(c->getInnerHeight(), vMin);
    const int32_t surplus = available - vMin;
    int32_t leftover = surplus;
    if (surplus >= 1 && vMin < vWant) {
        if (available < vWant) {
            leftover = growProportionally(c, VERTICAL, surplus, vMin, vWant, width);
        } else {
            for (int32_t i = 0; i < n; ++i) {
                IComponent* const child = c->getChildAt(i);
                child->fitSize(width, child->getMaximumHeight());
            }
            leftover = available - vWant;
        }
    }

    int32_t y = startOffset(vAlign, leftover);
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        if (i > 0 && c->getChildAt(i - 1)->getHeight() >= 1) {
            y += gapY;
        }
        child->setPosition(crossOffset(hAlign, width, child->getWidth()), y);
        y += child->getHeight();
    }
    thawChildren(c);
    store(sizes, wMin, vMin, wWant, vWant);
}

namespace {

// One line of a flow: children [begin, end) and the room left on it.
struct FlowLine {
    int32_t begin;
    int32_t end;
    int32_t roomLeft;
};

// A child takes a gap before it when it is visible, has a width, and an earlier child on
// its line did too. The first child of a line never breaks it.
FlowLine nextLine(IContainer* c, int32_t begin, int32_t lineWidth, int32_t gapX) {
    FlowLine line = {begin, begin, lineWidth};
    bool counted = false;
    const int32_t n = c->getChildCount();
    for (; line.end < n; ++line.end) {
        const IComponent* child = c->getChildAt(line.end);
        const int32_t w = child->getWidth();
        const bool counts = child->isVisible() && w > 0;
        const int32_t gap = counts && counted ? gapX : 0;
        if (line.end > begin && line.roomLeft - gap - w < 0) {
            break;
        }
        line.roomLeft -= gap + w;
        counted = counted || counts;
    }
    return line;
}

int32_t tallest(IContainer* c, const FlowLine& line) {
    int32_t h = 0;
    for (int32_t i = line.begin; i < line.end; ++i) {
        h = larger(h, c->getChildAt(i)->getHeight());
    }
    return h;
}

} // namespace

static void layoutFlowHOnce(IContainer* c, int32_t hAlign, int32_t vAlign, int32_t gapX, int32_t gapY, ContentSizes* sizes) {
    freezeChildren(c);
    const int32_t n = c->getChildCount();
    const int32_t wMin = largest(c, false, [](const IComponent* k) { return k->getPreferredWidth(); });
    int32_t tWant = 0;
    bool earlier = false;
    for (int32_t i = 0; i < n; ++i) {
        const IComponent* child = c->getChildAt(i);
        const bool takesGap = child->isVisible() && child->getPreferredWidth() > 0;
        if (takesGap && earlier) {
            tWant += gapX;
        }
        earlier = earlier || takesGap;
        tWant += wanted(child, HORIZONTAL);
    }
    const int32_t lineWidth = larger(c->getInnerWidth(), wMin);

    for (int32_t i = 0; i < n; ++i) {
        c->getChildAt(i)->fitSize(lineWidth, 0);
    }
    int32_t vMin = 0;
    int32_t vWant = 0;
    for (FlowLine line = nextLine(c, 0, lineWidth, gapX); line.begin < n;
         line = nextLine(c, line.end, lineWidth, gapX)) {
        int32_t want = 0;
        for (int32_t i = line.begin; i < line.end; ++i) {
            const IComponent* child = c->getChildAt(i);
            want = larger(want, larger(child->getMaximumHeight(), child->getHeight()));
        }
        vMin += (vMin != 0 ? gapY : 0) + tallest(c, line);
        vWant += (vWant != 0 ? gapY : 0) + want;
    }

    const int32_t available = larger(c->getInnerHeight(), vMin);
    int32_t leftover = available - vMin;
    if (leftover > 0 && vMin < vWant) {
        const float factor = static_cast<float>(leftover) / static_cast<float>(vWant - vMin);
        for (FlowLine line = nextLine(c, 0, lineWidth, gapX); line.begin < n;
             line = nextLine(c, line.end, lineWidth, gapX)) {
            const int32_t before = tallest(c, line);
            for (int32_t i = line.begin; i < line.end; ++i) {
                IComponent* const child = c->getChildAt(i);
                const int32_t h = child->getHeight();
                const int32_t most = child->getMaximumHeight();
                if (h < most) {
                    child->fitSize(lineWidth, h + share(factor, most - h));
                }
            }
            leftover -= tallest(c, line) - before;
        }
    }

    int32_t y = startOffset(vAlign, leftover);
    for (FlowLine line = nextLine(c, 0, lineWidth, gapX); line.begin < n;
         line = nextLine(c, line.end, lineWidth, gapX)) {
        int32_t x = startOffset(hAlign, line.roomLeft);
        bool counted = false;
        for (int32_t i = line.begin; i < line.end; ++i) {
            IComponent* const child = c->getChildAt(i);
            const int32_t w = child->getWidth();
            const bool counts = child->isVisible() && w > 0;
            if (counts && counted) {
                x += gapX;
            }
            counted = counted || counts;
            child->setPosition(x, y);
            x += w;
        }
        y += tallest(c, line) + gapY;
    }
    thawChildren(c);
    store(sizes, wMin, vMin, tWant, vWant);
}

static void layoutPileOnce(IContainer* c, int32_t hAlign, int32_t vAlign, ContentSizes* sizes) {
    freezeChildren(c);
    const int32_t n = c->getChildCount();
    const int32_t wMin = largest(c, true, [](const IComponent* k) { return k->getPreferredWidth(); });
    const int32_t wWant = largest(c, true, [](const IComponent* k) { return wanted(k, HORIZONTAL); });
    const int32_t width = larger(c->getInnerWidth(), wMin);
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        if (child->isVisible()) {
            child->fitSize(width, 0);
        }
    }
    const int32_t hMin = largest(c, true, [](const IComponent* k) { return k->getPreferredHeight(); });
    const int32_t hWant = largest(c, true, [](const IComponent* k) { return wanted(k, VERTICAL); });
    const int32_t height = larger(c->getInnerHeight(), hMin);
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        if (child->isVisible() && child->getHeight() < child->getMaximumHeight()) {
            child->fitSize(child->getWidth(), larger(height, child->getMaximumHeight()));
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        IComponent* const child = c->getChildAt(i);
        if (child->isVisible()) {
            child->setPosition(crossOffset(hAlign, width, child->getWidth()),
                               crossOffset(vAlign, height, child->getHeight()));
        }
    }
    thawChildren(c);
    store(sizes, wMin, hMin, wWant, hWant);
}

} // namespace s::gui::layout

namespace s::gui::layout {

void layoutRow(IContainer* c, int32_t hAlign, int32_t vAlign, int32_t gapX, ContentSizes* sizes) {
    settled(c, [&] { layoutRowOnce(c, hAlign, vAlign, gapX, sizes); });
}

void layoutColumn(IContainer* c, int32_t hAlign, int32_t vAlign, int32_t gapY, ContentSizes* sizes) {
    settled(c, [&] { layoutColumnOnce(c, hAlign, vAlign, gapY, sizes); });
}

void layoutFlowH(IContainer* c, int32_t hAlign, int32_t vAlign, int32_t gapX, int32_t gapY, ContentSizes* sizes) {
    settled(c, [&] { layoutFlowHOnce(c, hAlign, vAlign, gapX, gapY, sizes); });
}

void layoutPile(IContainer* c, int32_t hAlign, int32_t vAlign, ContentSizes* sizes) {
    settled(c, [&] { layoutPileOnce(c, hAlign, vAlign, sizes); });
}

} // namespace s::gui::layout
