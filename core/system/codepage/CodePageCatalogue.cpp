#include "core/system/codepage/CodePageCatalogue.h"

#include <windows.h>

#include <cwchar>
#include <new>

#include "core/col/_array/ArrayS32.h"
#include "core/comp/MergeSort.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/system/codepage/CodePage.h"

namespace s::system::codepage {

namespace {

struct KnownCodePage {
    int32_t number;
    const wchar_t* name;
};

// The code pages offered, with their display names (Windows' own names differ
// between systems).
const KnownCodePage KNOWN[] = {
    {850, L"Western (IBM-850)"},
    {852, L"Central European (IBM-852)"},
    {855, L"Cyrillic (IBM-855)"},
    {857, L"Turkish (IBM-857)"},
    {866, L"Russian (CP-866)"},
    {874, L"Thai (Windows-874)"},
    {932, L"Japanese (Shift_JIS)"},
    {936, L"Chinese Simplified (GBK)"},
    {949, L"Korean (UHC)"},
    {950, L"Chinese Traditional (Big5)"},
    {1200, L"UTF-16"},
    {1201, L"UTF-16BE"},
    {1250, L"Central European (Windows-1250)"},
    {1251, L"Cyrillic (Windows-1251)"},
    {1252, L"Western (Windows-1252)"},
    {1253, L"Greek (Windows-1253)"},
    {1254, L"Turkish (Windows-1254)"},
    {1255, L"Hebrew (Windows-1255)"},
    {1256, L"Arabic (Windows-1256)"},
    {1257, L"Baltic (Windows-1257)"},
    {1258, L"Vetnamese (Windows-1258)"},
    {1361, L"Korean (JOHAB)"},
    {20000, L"Chinese Traditional (CNS)"},
    {20127, L"English (ASCII)"},
    {20866, L"Russian (KOI8)"},
    {20932, L"Japanese (EUC-JP)"},
    {20936, L"Chinese Simplified (GB2312)"},
    {21866, L"Ukrainian (KOI8-U)"},
    {28591, L"Western (ISO 8859-1)"},
    {28592, L"Central European (ISO 8859-2)"},
    {28594, L"Baltic (ISO 8859-4)"},
    {28595, L"Cyrillic (ISO 8859-5)"},
    {28597, L"Greek (ISO 8859-7)"},
    {28599, L"Turkish (ISO 8859-9)"},
    {28605, L"Western (ISO 8859-15)"},
    {50220, L"Japanese (ISO-2022-JP)"},
    {50225, L"Korean (ISO-2022-KR)"},
    {50227, L"Chinese Simplified (ISO-2022-CN)"},
    {50229, L"Chinese Traditional (Big5-HKSCS)"},
    {51949, L"Korean (EUC-KR)"},
    {52936, L"Chinese Simplified (HZ)"},
    {54936, L"Chinese Simplified (GB18030)"},
    {65001, L"UTF-8"},
};

const int32_t UTF16_NUMBER = 1200;
const int32_t UTF16BE_NUMBER = 1201;

// EnumSystemCodePagesW passes no context: each building thread collects into its own list.
thread_local col::_array::ArrayS32* reported = nullptr;

BOOL CALLBACK collectCodePage(LPWSTR text) {
    if (reported != nullptr && text != nullptr) {
        reported->add(static_cast<int32_t>(_wtoi(text)));
    }
    return TRUE;
}

int32_t compareNames(const void* a, const void* b, void*) {
    return static_cast<const CodePage*>(a)->name()->compareToIgnoreCase(static_cast<const CodePage*>(b)->name());
}

} // namespace

CodePageCatalogue::CodePageCatalogue() : utf16_(nullptr), utf16Be_(nullptr), built_(0) {
    entries_.setCleaner(&CodePage::pooler());
}

CodePageCatalogue::~CodePageCatalogue() {
    entries_.freeStorage();
}

base::IObject* CodePageCatalogue::newInstance() const {
    return new (std::nothrow) CodePageCatalogue();
}

const CodePageCatalogue& CodePageCatalogue::ensureCodePages() {
    // Never destroyed: conversions may still run while static objects go away.
    static CodePageCatalogue* const catalogue = new CodePageCatalogue();
    catalogue->ensure();
    return *catalogue;
}

const wchar_t* CodePageCatalogue::knownName(int32_t number) {
    for (const KnownCodePage& known : KNOWN) {
        if (known.number == number) {
            return known.name;
        }
    }
    return nullptr;
}

void CodePageCatalogue::ensure() {
    if (InterlockedCompareExchange(&built_, 0, 0) != 0) {
        return;
    }
    thread::ObjLocker::Guard guard(lock_);
    if (built_ == 0) {
        build();
        InterlockedExchange(&built_, 1);
    }
}

const CodePage* CodePageCatalogue::find(int32_t number) const {
    const uint32_t n = entries_.count();
    for (uint32_t i = 0; i < n; ++i) {
        if (get(i)->number() == number) {
            return get(i);
        }
    }
    return nullptr;
}

void CodePageCatalogue::addEntry(int32_t number, const wchar_t* reportedName) {
    const wchar_t* name = knownName(number);
    if (name == nullptr || (reportedName != nullptr && wcsstr(reportedName, L"MAC ") != nullptr)) {
        return;
    }
    CodePage* page = CodePage::create(number, name);
    if (page != nullptr && !entries_.add(page)) {
        page->release();
    }
}

void CodePageCatalogue::build() {
    col::_array::ArrayS32* numbers = col::_array::ArrayS32::pool();
    if (numbers != nullptr) {
        reported = numbers;
        EnumSystemCodePagesW(&collectCodePage, CP_SUPPORTED);
        reported = nullptr;
        for (uint32_t i = 0; i < numbers->count(); ++i) {
            const int32_t number = numbers->get(i);
            CPINFOEXW info;
            const bool known = GetCPInfoExW(static_cast<UINT>(number), 0, &info) != FALSE;
            addEntry(number, known ? info.CodePageName : nullptr);
        }
        numbers->release();
    }

    // Wine and some Windows versions do not report the UTF-16 pages; conversions
    // need both entries.
    utf16_ = const_cast<CodePage*>(find(UTF16_NUMBER));
    utf16Be_ = const_cast<CodePage*>(find(UTF16BE_NUMBER));
    if (utf16_ == nullptr) {
        utf16_ = CodePage::create(UTF16_NUMBER, L"UTF-16");
        if (utf16_ != nullptr && !entries_.add(utf16_)) {
            utf16_->release();
            utf16_ = nullptr;
        }
    }
    if (utf16Be_ == nullptr) {
        utf16Be_ = CodePage::create(UTF16BE_NUMBER, L"UTF-16BE");
        if (utf16Be_ != nullptr && !entries_.add(utf16Be_)) {
            utf16Be_->release();
            utf16Be_ = nullptr;
        }
    }
    s::comp::sortPointers(entries_.slots(), entries_.count(), &compareNames, nullptr);
}

} // namespace s::system::codepage
