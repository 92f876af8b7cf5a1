// Encode settings: defaults, round trips through a settings store under the caller's
// prefix, stored values that are out of range or malformed, reset, and the encoded
// images they make.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EncodeSettingsSupport.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/filters/sharpness/Sharpness.h"
#include "images/image/jpg/win/Jpeg.h"
#include "images/image/png/win/Png.h"

using imagetest::Held;
using s::image::win::BufferedImage;
using settingstest::PREFIX;

namespace {

// An XML store on a file that does not exist yet.
s::xml::MappedData* freshStore() {
    return codectest::freshStore(L"encode-settings");
}

std::wstring groupOf(const wchar_t* group) {
    return std::wstring(PREFIX) + group;
}

// One setting of each format, bound to the store under PREFIX when one is given.
struct AllFour {
    explicit AllFour(s::map::IMappedData* store = nullptr) {
        if (store != nullptr) {
            for (s::image::EncodeSettingBase* setting : each()) {
                setting->bind(PREFIX, store);
            }
        }
    }
    std::vector<s::image::EncodeSettingBase*> each() const { return {b.get(), g.get(), j.get(), p.get()}; }

    Held<bmp::EncodeSetting> b;
    Held<gif::EncodeSetting> g;
    Held<jpg::EncodeSetting> j;
    Held<png::EncodeSetting> p;
};

// Every value of the four settings, so that whole sets compare at once: the
// backgrounds of bmp, gif, jpg and png, then bmp transparency and depth, gif
// transparency, interlace and depth, jpg quality, png transparency and interlace.
std::vector<int32_t> valuesOf(const AllFour& all) {
    std::vector<int32_t> out;
    for (const s::image::EncodeSettingBase* setting : all.each()) {
        out.insert(out.end(), {setting->backgroundRed(), setting->backgroundGreen(), setting->backgroundBlue()});
    }
    out.insert(out.end(), {all.b->keepTransparency(), all.b->bpp(), all.g->keepTransparency(),
                           all.g->withInterlace(), all.g->bpp(), all.j->quality(), all.p->keepTransparency(),
                           all.p->withInterlace()});
    return out;
}

const std::vector<int32_t> DEFAULTS = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                       1,   24,  1,   1,   8,   75,  1,   1};

TEST(EncodeSettings, UnboundSettingsKeepTheirDefaults) {
    AllFour all;
    EXPECT_EQ(DEFAULTS, valuesOf(all));
    for (s::image::EncodeSettingBase* setting : all.each()) {
        setting->load();
        EXPECT_FALSE(setting->isBound());
        EXPECT_FALSE(setting->save());
    }
    EXPECT_FALSE(all.b->setBpp(16));
    EXPECT_FALSE(all.g->setBpp(24));
    EXPECT_FALSE(all.j->setQuality(-1));
    EXPECT_EQ(DEFAULTS, valuesOf(all)) << "neither a load without a store nor a refused value changes them";
}

TEST(EncodeSettings, ValuesRoundTripUnderThePrefix) {
    // Background of png held to 0-255.
    const std::vector<int32_t> changed = {16, 32, 48, 1, 2, 3, 0, 0, 0, 255, 0, 128, 0, 8, 1, 0, 4, 0, 0, 0};
    Held<s::xml::MappedData> store(freshStore());
    {
        AllFour all(store.get());
        auto& [b, g, j, p] = all;
        b->setKeepTransparency(false);
        ASSERT_TRUE(b->setBpp(8));
        b->setBackground(16, 32, 48);
        g->setWithInterlace(false);
        ASSERT_TRUE(g->setBpp(4));
        g->setBackground(1, 2, 3);
        ASSERT_TRUE(j->setQuality(0));
        j->setBackground(0, 0, 0);
        p->setKeepTransparency(false);
        p->setWithInterlace(false);
        p->setBackground(300, -5, 128);
        EXPECT_EQ(changed, valuesOf(all));
        for (s::image::EncodeSettingBase* setting : all.each()) {
            EXPECT_TRUE(setting->save());
        }
    }
    EXPECT_EQ(8, store->getS32(groupOf(L"\\BmpEncodeSetting").c_str(), L"Bpp", 0));
    EXPECT_EQ(48, store->getS32(groupOf(L"\\BmpEncodeSetting").c_str(), L"BgBlue", 0));
    EXPECT_EQ(0, store->getS32(groupOf(L"\\JpgEncodeSetting").c_str(), L"Quality", -1));
    EXPECT_FALSE(store->getBool(groupOf(L"\\PngEncodeSetting").c_str(), L"WithInterlace", true));
    EXPECT_TRUE(store->hasValue(groupOf(L"\\GifEncodeSetting").c_str(), L"KeepTransparency"));
    EXPECT_EQ(changed, valuesOf(AllFour(store.get())));
}

TEST(EncodeSettings, UnusableStoredValuesGiveTheDefaults) {
    enum { BMP, GIF, JPG, PNG };
    const wchar_t* const groups[] = {L"\\BmpEncodeSetting", L"\\GifEncodeSetting", L"\\JpgEncodeSetting",
                                     L"\\PngEncodeSetting"};
    struct Row {
        int group;
        const wchar_t* name;
        const wchar_t* text;
    };
    // 4294967304 and 4294967346 would wrap to the usable 8 and 50 if read as 32 bits.
    const Row rows[] = {
        {BMP, L"Bpp", L"16"},         {BMP, L"Bpp", L"-24"},      {BMP, L"Bpp", L"4294967304"},
        {BMP, L"Bpp", L"many"},       {GIF, L"Bpp", L"24"},       {GIF, L"Bpp", L"1"},
        {JPG, L"Quality", L"101"},    {JPG, L"Quality", L"-1"},   {JPG, L"Quality", L"4294967346"},
        {PNG, L"BgRed", L"256"},      {PNG, L"BgGreen", L"-1"},   {BMP, L"BgBlue", L"4294967295"},
        {JPG, L"BgRed", L"-255"},
    };
    for (const Row& row : rows) {
        Held<s::xml::MappedData> store(freshStore());
        const std::wstring group = groupOf(groups[row.group]);
        ASSERT_TRUE(store->setString(group.c_str(), row.name, row.text));
        // A value in range beside it is still read, so only the broken one falls back.
        const bool red = row.name == std::wstring(L"BgRed");
        store->setS32(group.c_str(), red ? L"BgBlue" : L"BgRed", 7);
        std::vector<int32_t> expected = DEFAULTS;
        expected[row.group * 3 + (red ? 2 : 0)] = 7;
        EXPECT_EQ(expected, valuesOf(AllFour(store.get()))) << row.text;
    }
}

TEST(EncodeSettings, ResetForgetsStoreAndValues) {
    Held<s::xml::MappedData> store(freshStore());
    jpg::EncodeSetting* setting = jpg::EncodeSetting::pool();
    setting->bind(PREFIX, store.get());
    setting->setQuality(10);
    setting->setBackground(1, 2, 3);
    setting->release();
    // The pool hands the same object out again, cleared.
    jpg::EncodeSetting* again = jpg::EncodeSetting::pool();
    EXPECT_EQ(setting, again);
    EXPECT_FALSE(again->isBound());
    EXPECT_EQ(nullptr, again->store());
    EXPECT_EQ(75, again->quality());
    EXPECT_EQ(255, again->backgroundRed());
    EXPECT_FALSE(again->save());
    EXPECT_FALSE(store->findGroup(groupOf(L"\\JpgEncodeSetting").c_str())) << "nothing was saved after the reset";
    again->release();
}

TEST(EncodeSettings, SettingsMakeTheirEncodedImages) {
    Held<BufferedImage> image(codectest::patternImage(20, 10, true));
    Held<bmp::EncodeSetting> b;
    ASSERT_TRUE(b->setBpp(32));
    Held<bmp::win::Bitmap> bitmap(static_cast<bmp::win::Bitmap*>(b->encode(image.get())));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(32, bitmap->bitCount());

    Held<jpg::EncodeSetting> j;
    j->setQuality(33);
    Held<jpg::win::Jpeg> jpeg(static_cast<jpg::win::Jpeg*>(j->encode(image.get())));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(33, jpeg->quality());
    EXPECT_EQ(20, jpeg->width());

    // Attached filters: the filtered picture is what gets encoded.
    s::image::filters::sharpness::Sharpness* sharpen = s::image::filters::sharpness::Sharpness::create(100);
    sharpen->setReleaseWithImage(true);
    image->addFilter(sharpen);
    Held<png::EncodeSetting> p;
    p->setWithInterlace(false);
    Held<png::win::Png> encoded(static_cast<png::win::Png*>(p->encode(image.get())));
    ASSERT_TRUE(encoded);
    EXPECT_FALSE(encoded->interlace());
    Held<BufferedImage> decoded(encoded->toBufferedImage());
    EXPECT_EQ(codectest::pixelsOf(image->filtered()), codectest::pixelsOf(decoded.get()));
    EXPECT_NE(codectest::pixelsOf(image.get()), codectest::pixelsOf(decoded.get()));
}

} // namespace
