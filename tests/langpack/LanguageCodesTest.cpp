#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <set>

#include "system/lang/LanguageCodes.h"

using s::lang::languageCode;
using s::lang::languageCodeFromLangId;
using s::lang::LanguageNameOf;

TEST(LanguageCodes, IdentifiersGiveTheirLanguageCodes) {
    struct Case {
        uint16_t langId;
        int32_t number, variant;
    } cases[] = {
        {0x0409, 250, 0},   {0x0809, 250, 0},   {0x0804, 170, 170}, {0x0004, 170, 170}, {0x1004, 170, 170},
        {0x0404, 170, 340}, {0x0C04, 170, 340}, {0x7C04, 170, 340}, {0x0416, 780, 780}, {0x0816, 780, 1560},
        {0x0016, 780, 0},   {0x041A, 190, 0},   {0x001A, 190, 0},   {0x101A, 190, 0},   {0x081A, 860, 1720},
        {0x181A, 860, 1720}, {0x0C1A, 860, 860}, {0x1C1A, 860, 860}, {0x7C1A, 860, 0},   {0x201A, 130, 0},
        {0x0029, 765, 0},   {0x0429, 765, 0},   {0x042E, 1090, 0},  {0x082E, 610, 0},   {0x0407, 340, 0},
        {0x0415, 770, 0},   {0x0418, 810, 0},   {0x0419, 830, 0},   {0x041B, 910, 0},   {0x041F, 1050, 0},
        {0x0422, 1080, 0},  {0x042A, 1120, 0},  {0x046C, 870, 0},   {0x0432, 880, 0},   {0x0478, 1170, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(languageCodeFromLangId(c.langId), languageCode(c.number, c.variant)) << std::hex << c.langId;
    }
    // Primary language 46 is known only as the two whole identifiers; others are unknown.
    EXPECT_EQ(languageCodeFromLangId(0x0C2E), -1);
    EXPECT_EQ(languageCodeFromLangId(0x0000), -1);
    EXPECT_EQ(languageCodeFromLangId(0x0030), -1);
    EXPECT_STREQ(LanguageNameOf(-1), L"Unknown");
    EXPECT_STREQ(LanguageNameOf(languageCode(250, 1)), L"Unknown");
}

TEST(LanguageCodes, OneNameTableAgreesWithEveryIdentifier) {
    // Every code an identifier can give has a name, and no two numbers share one.
    std::set<int32_t> codes;
    for (uint32_t id = 0; id <= 0xFFFF; ++id) {
        const int32_t code = languageCodeFromLangId(static_cast<uint16_t>(id));
        if (code != -1) {
            codes.insert(code);
            EXPECT_STRNE(LanguageNameOf(code), L"Unknown") << std::hex << id;
        }
    }
    std::set<std::wstring> names;
    for (int32_t code : codes) {
        EXPECT_TRUE(names.insert(LanguageNameOf(code)).second) << LanguageNameOf(code);
    }
    struct Named {
        int32_t number, variant;
        const wchar_t* name;
    } named[] = {
        {170, 0, L"CHINESE"},           {170, 170, L"CHINESE_SIMPLIFIED"}, {170, 340, L"CHINESE_TRADITIONAL"},
        {760, 0, L"PASHTO"},            {765, 0, L"PERSIAN"},              {770, 0, L"POLISH"},
        {780, 0, L"PORTUGUESE"},        {780, 780, L"PORTUGUESE_BRAZILIAN"}, {780, 1560, L"PORTUGUESE_PORTUGAL"},
        {810, 0, L"ROMANIAN"},          {830, 0, L"RUSSIAN"},              {860, 0, L"SERBIAN"},
        {860, 860, L"SERBIAN_CYRILLIC"}, {860, 1720, L"SERBIAN_LATIN"},   {870, 0, L"SOTHO"},
        {880, 0, L"TSWANA"},            {890, 0, L"SINDHI"},               {910, 0, L"SLOVAK"},
        {1050, 0, L"TURKISH"},          {1080, 0, L"UKRAINIAN"},           {1120, 0, L"VIETNAMESE"},
        {1160, 0, L"YAKUT"},            {1170, 0, L"YI"},                  {1190, 0, L"ZULU"},
    };
    for (const Named& n : named) {
        EXPECT_STREQ(LanguageNameOf(languageCode(n.number, n.variant)), n.name) << n.number;
    }
}
