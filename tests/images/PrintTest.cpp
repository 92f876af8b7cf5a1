// Printing a picture: silent without a printer (the case under Wine), and through a
// fake print target whose chosen printer is a memory page that the test reads back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodecTestSupport.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/PrintTarget.h"
#include "support/DibCanvas.h"

using imagetest::Held;
using s::image::win::BufferedImage;
using s::image::win::IPrintTarget;
using s::image::win::PrintTarget;

namespace {

constexpr int PAGE_WIDTH = 400;
constexpr int PAGE_HEIGHT = 600;

// A printer whose device context is a memory page of 400 x 600 pixels.
class FakePrinter : public IPrintTarget {
public:
    FakePrinter() : page_(PAGE_WIDTH, PAGE_HEIGHT), dc_(page_.dc()) {
        dpi = GetDeviceCaps(dc_, LOGPIXELSX);
        previous_ = PrintTarget::replace(this);
    }
    ~FakePrinter() override { PrintTarget::replace(previous_); }

    bool hasDefaultPrinter() override { return hasDefault; }
    bool choosePrinter(HDC* dc, wchar_t* port, size_t portChars) override {
        ++dialogs;
        *dc = giveDc ? dc_ : nullptr;
        wcsncpy(port, L"LPT1:", portChars);
        return choose;
    }
    int32_t deviceCaps(HDC dc, int index) override {
        measured.push_back(dc);
        switch (index) {
        case HORZSIZE: return paperWidth;
        case VERTSIZE: return paperHeight;
        default: return index == LOGPIXELSX || index == LOGPIXELSY ? dpi : GetDeviceCaps(dc, index);
        }
    }
    int32_t startDoc(HDC dc, const DOCINFOW* info) override {
        EXPECT_EQ(dc_, dc);
        documentName = info->lpszDocName;
        output = info->lpszOutput != nullptr ? info->lpszOutput : L"";
        return startResult;
    }
    bool startPage(HDC) override { return ++pages, true; }
    bool endPage(HDC) override { return true; }
    bool endDoc(HDC) override { return ++ends, true; }
    void deleteDc(HDC dc) override { deleted.push_back(dc); }
    void showInformation(const wchar_t* text) override { boxes.push_back(text); }

    HDC chosen() const { return dc_; }
    // The page pixel's colour as 0xRRGGBB.
    uint32_t at(int x, int y) const {
        GdiFlush();
        return page_.pixels()[y * PAGE_WIDTH + x] & 0xFFFFFF;
    }

    bool hasDefault = true, choose = true, giveDc = true;
    int32_t startResult = 1;
    int32_t paperWidth = 100, paperHeight = 150, dpi = 96;
    int dialogs = 0, pages = 0, ends = 0;
    std::vector<HDC> measured, deleted;
    std::vector<std::wstring> boxes;
    std::wstring documentName, output;

private:
    testsupport::DibCanvas page_;
    HDC dc_;
    IPrintTarget* previous_;
};

// width x height, left half red and right half blue.
BufferedImage* halves(int32_t width, int32_t height) {
    BufferedImage* image = imagetest::solidImage(width, height, 0xFFFF0000);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = width / 2; x < width; ++x) {
            image->setPixel(x, y, 0xFF0000FF);
        }
    }
    return image;
}

TEST(Print, WithoutAPrinterNothingHappensAndNothingIsShown) {
    // The real target, with the dialog and the box watched so that neither can block.
    struct Watched : PrintTarget {
        bool choosePrinter(HDC*, wchar_t*, size_t) override { return ++dialogs, false; }
        void showInformation(const wchar_t*) override { ++boxes; }
        int dialogs = 0, boxes = 0;
    } watched;
    ASSERT_FALSE(watched.hasDefaultPrinter()) << "Wine has no printer";
    IPrintTarget* previous = PrintTarget::replace(&watched);
    Held<BufferedImage> image(halves(30, 20));
    EXPECT_FALSE(image->print(true, true, true));
    PrintTarget::replace(previous);
    EXPECT_EQ(0, watched.dialogs);
    EXPECT_EQ(0, watched.boxes);
}

TEST(Print, ThePageIsMeasuredAndDrawnOnTheChosenPrinter) {
    FakePrinter printer;
    Held<BufferedImage> image(halves(30, 20));
    ASSERT_TRUE(image->print(true, false, false));
    ASSERT_FALSE(printer.measured.empty());
    for (HDC dc : printer.measured) {
        EXPECT_EQ(printer.chosen(), dc);
    }
    EXPECT_EQ(std::vector<HDC>{printer.chosen()}, printer.deleted);
    EXPECT_EQ(L"LPT1:", printer.output);
    wchar_t title[256];
    PrintTarget::applicationTitle(title, 256);
    EXPECT_EQ(title, printer.documentName);
    EXPECT_EQ(1, printer.pages);
    EXPECT_EQ(1, printer.ends);
    // A picture that fits is printed at its own size; the page (351 x 566 at equal
    // resolutions: 7 mm off the width) is white around it, and nothing lies beyond.
    EXPECT_EQ(0xFF0000u, printer.at(0, 0));
    EXPECT_EQ(0x0000FFu, printer.at(29, 19));
    EXPECT_EQ(0xFFFFFFu, printer.at(30, 5));
    EXPECT_EQ(0xFFFFFFu, printer.at(350, 565));
    EXPECT_EQ(0u, printer.at(351, 0));
    EXPECT_EQ(0u, printer.at(0, 566));
    EXPECT_TRUE(printer.boxes.empty());
}

TEST(Print, LargePicturesAreTurnedAndScaledToThePage) {
    struct Case {
        bool rotateToFit;
        int drawnWidth, drawnHeight;
        POINT red, blue;
    };
    const Case cases[] = {
        // Turned a quarter clockwise: the left half comes to the top, 1000 x 3000 into 351 x 566.
        {true, 188, 566, {100, 10}, {100, 555}},
        {false, 351, 117, {10, 50}, {340, 50}},
    };
    for (const Case& c : cases) {
        FakePrinter printer;
        Held<BufferedImage> image(halves(3000, 1000));
        ASSERT_TRUE(image->print(c.rotateToFit, false, false));
        EXPECT_EQ(0xFF0000u, printer.at(c.red.x, c.red.y)) << c.rotateToFit;
        EXPECT_EQ(0x0000FFu, printer.at(c.blue.x, c.blue.y)) << c.rotateToFit;
        EXPECT_NE(0xFFFFFFu, printer.at(c.drawnWidth - 1, c.drawnHeight - 1)) << c.rotateToFit;
        if (c.drawnWidth < 351) {
            EXPECT_EQ(0xFFFFFFu, printer.at(c.drawnWidth + 1, c.drawnHeight / 2)) << c.rotateToFit;
        }
        if (c.drawnHeight < 566) {
            EXPECT_EQ(0xFFFFFFu, printer.at(c.drawnWidth / 2, c.drawnHeight + 1)) << c.rotateToFit;
        }
    }
}

TEST(Print, TransparencyPrintsWhiteAndThePictureStaysAsItWas) {
    FakePrinter printer;
    Held<BufferedImage> image(imagetest::solidImage(10, 10, 0x00FF0000));
    image->setPixel(0, 0, 0xFF00FF00);
    image->setHasAlpha(true);
    const imagetest::Bytes before = codectest::pixelsOf(image.get());
    ASSERT_TRUE(image->print(false, true, false));
    EXPECT_EQ(0xFFFFFFu, printer.at(5, 5));
    EXPECT_EQ(before, codectest::pixelsOf(image.get()));
    EXPECT_TRUE(image->hasAlpha());
}

TEST(Print, EveryEndingReleasesThePrinterAndShowsOnlyItsBox) {
    struct Case {
        const char* name;
        bool choose, giveDc;
        int32_t startResult, paperWidth;
        size_t deleted;
        const wchar_t* box;
    };
    const Case cases[] = {
        {"cancelled", false, true, 1, 100, 0, nullptr},
        {"no device context", true, false, 1, 100, 0, L"Unable to find a printer. Please check installed/default printers."},
        {"document refused", true, true, 0, 100, 1, L"Printing error occured. Unable to find printer."},
        {"no page", true, true, 1, 5, 1, nullptr},
    };
    for (const Case& c : cases) {
        FakePrinter printer;
        printer.choose = c.choose;
        printer.giveDc = c.giveDc;
        printer.startResult = c.startResult;
        printer.paperWidth = c.paperWidth;
        Held<BufferedImage> image(halves(30, 20));
        EXPECT_FALSE(image->print(false, false, true)) << c.name;
        EXPECT_EQ(c.deleted, printer.deleted.size()) << c.name;
        EXPECT_EQ(0, printer.pages) << c.name;
        EXPECT_EQ(0u, printer.at(0, 0)) << c.name << ": nothing drawn";
        ASSERT_EQ(c.box != nullptr ? 1u : 0u, printer.boxes.size()) << c.name;
        if (c.box != nullptr) {
            EXPECT_EQ(c.box, printer.boxes[0]) << c.name;
        }
    }
    FakePrinter none;
    none.hasDefault = false;
    Held<BufferedImage> image(halves(30, 20));
    EXPECT_FALSE(image->print(false, false, true));
    EXPECT_EQ(0, none.dialogs);
    EXPECT_TRUE(none.boxes.empty());
}

} // namespace
