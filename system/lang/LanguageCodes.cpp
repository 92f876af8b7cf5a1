#include "system/lang/LanguageCodes.h"

#include <cstddef>

namespace s::lang {

namespace {

struct WholeId {
    uint16_t langId;
    uint16_t number;
    uint16_t variant;
};

// Identifiers whose primary language alone would name the wrong language or variant
// (the 0x1A group covers Croatian, Serbian and Bosnian; Chinese and Portuguese split
// by region; 0x2E covers both Sorbian languages).
const WholeId WHOLE_IDS[] = {
    {0x0004, 170, 170}, {0x0804, 170, 170}, {0x1004, 170, 170},
    {0x001A, 190, 0},   {0x041A, 190, 0},   {0x101A, 190, 0},
    {0x0404, 170, 340}, {0x0C04, 170, 340}, {0x1404, 170, 340}, {0x7C04, 170, 340},
    {0x0416, 780, 780},
    {0x042E, 1090, 0},
    {0x0816, 780, 1560},
    {0x081A, 860, 1720}, {0x181A, 860, 1720},
    {0x082E, 610, 0},
    {0x0C1A, 860, 860},  {0x1C1A, 860, 860},
    {0x201A, 130, 0},
    {0x7C1A, 860, 0},
};

struct Primary {
    uint8_t primary;
    uint16_t number;
};

const Primary PRIMARIES[] = {
    {1, 50},    {2, 150},   {3, 160},   {4, 170},   {5, 200},   {6, 210},   {7, 340},   {8, 350},
    {9, 250},   {10, 930},  {11, 290},  {12, 300},  {13, 390},  {14, 410},  {15, 420},  {16, 470},
    {17, 480},  {18, 560},  {19, 240},  {20, 730},  {21, 770},  {22, 780},  {23, 820},  {24, 810},
    {25, 830},  {26, 860},  {27, 910},  {28, 20},   {29, 950},  {30, 1020}, {31, 1050}, {32, 1100},
    {33, 440},  {34, 1080}, {35, 110},  {36, 920},  {37, 260},  {38, 590},  {39, 600},  {40, 970},
    {41, 765},  {42, 1120}, {43, 60},   {44, 80},   {45, 100},  {47, 630},  {50, 880},  {52, 1150},
    {53, 1190}, {54, 10},   {55, 330},  {56, 270},  {57, 400},  {58, 660},  {59, 840},  {60, 460},
    {62, 640},  {63, 510},  {64, 570},  {65, 940},  {66, 1060}, {67, 1110}, {68, 1000}, {69, 120},
    {70, 790},  {71, 370},  {72, 750},  {73, 990},  {74, 1010}, {75, 490},  {76, 650},  {77, 70},
    {78, 690},  {79, 850},  {80, 710},  {81, 1030}, {82, 1130}, {83, 520},  {84, 580},  {86, 320},
    {87, 550},  {89, 890},  {90, 960},  {91, 900},  {93, 450},  {94, 40},   {95, 980},  {96, 500},
    {97, 720},  {98, 310},  {99, 760},  {100, 280}, {101, 230}, {104, 380}, {106, 1180}, {107, 800},
    {108, 870}, {109, 90},  {110, 620}, {111, 360}, {112, 430}, {115, 1040}, {120, 1170}, {122, 680},
    {124, 700}, {126, 140}, {128, 1070}, {129, 670}, {130, 740}, {131, 180}, {132, 30},  {133, 1160},
    {134, 530}, {135, 540}, {136, 1140}, {140, 220},
};

struct Name {
    uint16_t number;
    uint16_t variant;
    const wchar_t* name;
};

// The one table of names, in number order. Numbers follow the alphabet in tens,
// except where the identifier table above fixed them otherwise: Persian sits at 765
// between Pashto and Polish, Sotho and Tswana follow Serbian, Yi follows Yakut.
const Name NAMES[] = {
    {10, 0, L"AFRIKAANS"},       {20, 0, L"ALBANIAN"},       {30, 0, L"ALSATIAN"},
    {40, 0, L"AMHARIC"},         {50, 0, L"ARABIC"},         {60, 0, L"ARMENIAN"},
    {70, 0, L"ASSAMESE"},        {80, 0, L"AZERI"},          {90, 0, L"BASHKIR"},
    {100, 0, L"BASQUE"},         {110, 0, L"BELARUSIAN"},    {120, 0, L"BENGALI"},
    {130, 0, L"BOSNIAN"},        {140, 0, L"BRETON"},        {150, 0, L"BULGARIAN"},
    {160, 0, L"CATALAN"},        {170, 0, L"CHINESE"},       {170, 170, L"CHINESE_SIMPLIFIED"},
    {170, 340, L"CHINESE_TRADITIONAL"},
    {180, 0, L"CORSICAN"},       {190, 0, L"CROATIAN"},      {200, 0, L"CZECH"},
    {210, 0, L"DANISH"},         {220, 0, L"DARI"},          {230, 0, L"DIVEHI"},
    {240, 0, L"DUTCH"},          {250, 0, L"ENGLISH"},       {260, 0, L"ESTONIAN"},
    {270, 0, L"FAEROESE"},       {280, 0, L"FILIPINO"},      {290, 0, L"FINNISH"},
    {300, 0, L"FRENCH"},         {310, 0, L"FRISIAN"},       {320, 0, L"GALICIAN"},
    {330, 0, L"GEORGIAN"},       {340, 0, L"GERMAN"},        {350, 0, L"GREEK"},
    {360, 0, L"GREENLANDIC"},    {370, 0, L"GUJARATI"},      {380, 0, L"HAUSA"},
    {390, 0, L"HEBREW"},         {400, 0, L"HINDI"},         {410, 0, L"HUNGARIAN"},
    {420, 0, L"ICELANDIC"},      {430, 0, L"IGBO"},          {440, 0, L"INDONESIAN"},
    {450, 0, L"INUKTITUT"},      {460, 0, L"IRISH"},         {470, 0, L"ITALIAN"},
    {480, 0, L"JAPANESE"},       {490, 0, L"KANNADA"},       {500, 0, L"KASHMIRI"},
    {510, 0, L"KAZAK"},          {520, 0, L"KHMER"},         {530, 0, L"KICHE"},
    {540, 0, L"KINYARWANDA"},    {550, 0, L"KONKANI"},       {560, 0, L"KOREAN"},
    {570, 0, L"KYRGYZ"},         {580, 0, L"LAO"},           {590, 0, L"LATVIAN"},
    {600, 0, L"LITHUANIAN"},     {610, 0, L"LOWER_SORBIAN"}, {620, 0, L"LUXEMBOURGISH"},
    {630, 0, L"MACEDONIAN"},     {640, 0, L"MALAY"},         {650, 0, L"MALAYALAM"},
    {660, 0, L"MALTESE"},        {670, 0, L"MAORI"},         {680, 0, L"MAPUDUNGUN"},
    {690, 0, L"MARATHI"},        {700, 0, L"MOHAWK"},        {710, 0, L"MONGOLIAN"},
    {720, 0, L"NEPALI"},         {730, 0, L"NORWEGIAN"},     {740, 0, L"OCCITAN"},
    {750, 0, L"ORIYA"},          {760, 0, L"PASHTO"},        {765, 0, L"PERSIAN"},
    {770, 0, L"POLISH"},         {780, 0, L"PORTUGUESE"},    {780, 780, L"PORTUGUESE_BRAZILIAN"},
    {780, 1560, L"PORTUGUESE_PORTUGAL"},
    {790, 0, L"PUNJABI"},        {800, 0, L"QUECHUA"},       {810, 0, L"ROMANIAN"},
    {820, 0, L"ROMANSH"},        {830, 0, L"RUSSIAN"},       {840, 0, L"SAMI"},
    {850, 0, L"SANSKRIT"},       {860, 0, L"SERBIAN"},       {860, 860, L"SERBIAN_CYRILLIC"},
    {860, 1720, L"SERBIAN_LATIN"},
    {870, 0, L"SOTHO"},          {880, 0, L"TSWANA"},        {890, 0, L"SINDHI"},
    {900, 0, L"SINHALESE"},      {910, 0, L"SLOVAK"},        {920, 0, L"SLOVENIAN"},
    {930, 0, L"SPANISH"},        {940, 0, L"SWAHILI"},       {950, 0, L"SWEDISH"},
    {960, 0, L"SYRIAC"},         {970, 0, L"TAJIK"},         {980, 0, L"TAMAZIGHT"},
    {990, 0, L"TAMIL"},          {1000, 0, L"TATAR"},        {1010, 0, L"TELUGU"},
    {1020, 0, L"THAI"},          {1030, 0, L"TIBETAN"},      {1040, 0, L"TIGRIGNA"},
    {1050, 0, L"TURKISH"},       {1060, 0, L"TURKMEN"},      {1070, 0, L"UIGHUR"},
    {1080, 0, L"UKRAINIAN"},     {1090, 0, L"UPPER_SORBIAN"}, {1100, 0, L"URDU"},
    {1110, 0, L"UZBEK"},         {1120, 0, L"VIETNAMESE"},   {1130, 0, L"WELSH"},
    {1140, 0, L"WOLOF"},         {1150, 0, L"XHOSA"},        {1160, 0, L"YAKUT"},
    {1170, 0, L"YI"},            {1180, 0, L"YORUBA"},       {1190, 0, L"ZULU"},
};

} // namespace

int32_t languageCodeFromLangId(uint16_t langId) {
    for (const WholeId& w : WHOLE_IDS) {
        if (w.langId == langId) {
            return languageCode(w.number, w.variant);
        }
    }
    const uint32_t primary = langId & 0xFF;
    for (const Primary& p : PRIMARIES) {
        if (p.primary == primary) {
            return languageCode(p.number, 0);
        }
    }
    return -1;
}

const wchar_t* LanguageNameOf(int32_t code) {
    for (const Name& n : NAMES) {
        if (languageCode(n.number, n.variant) == code) {
            return n.name;
        }
    }
    return L"Unknown";
}

} // namespace s::lang
