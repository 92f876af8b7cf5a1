#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace s::image::win {

// What printing a picture needs of the printer and the user: the printer choice, the
// printer's measures, the document calls and the information box. Replaceable so
// that printing can run without a printer or a user.
class IPrintTarget {
public:
    virtual ~IPrintTarget() = default;
    // Whether a default printer is set up; nothing is shown.
    virtual bool hasDefaultPrinter() = 0;
    // The print dialog (page numbers, from and to page 1). False when the user does
    // not choose; else *dc is the chosen printer's device context (null when none
    // could be made; the caller gives it back through deleteDc) and port its output
    // port (NUL-terminated, cut to portChars).
    virtual bool choosePrinter(HDC* dc, wchar_t* port, size_t portChars) = 0;
    virtual int32_t deviceCaps(HDC dc, int index) = 0;
    // StartDocW: the job number, 0 or less on failure.
    virtual int32_t startDoc(HDC dc, const DOCINFOW* info) = 0;
    virtual bool startPage(HDC dc) = 0;
    virtual bool endPage(HDC dc) = 0;
    virtual bool endDoc(HDC dc) = 0;
    virtual void deleteDc(HDC dc) = 0;
    // An information box over the application's window.
    virtual void showInformation(const wchar_t* text) = 0;
};

} // namespace s::image::win
