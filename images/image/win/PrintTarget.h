#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "images/image/win/IPrintTarget.h"

namespace s::image::win {

// The printers Windows knows, through the standard print dialog.
class PrintTarget : public IPrintTarget {
public:
    // The target printing goes through: the one set by replace(), else this class's
    // process-wide instance.
    static IPrintTarget* current();
    // Sets the target (null: back to the Windows one); returns the previous one.
    static IPrintTarget* replace(IPrintTarget* target);
    // The application's title (string resource 0xE000 of the program), "" without one.
    static void applicationTitle(wchar_t* buffer, int chars);

    bool hasDefaultPrinter() override;
    bool choosePrinter(HDC* dc, wchar_t* port, size_t portChars) override;
    int32_t deviceCaps(HDC dc, int index) override { return GetDeviceCaps(dc, index); }
    int32_t startDoc(HDC dc, const DOCINFOW* info) override { return StartDocW(dc, info); }
    bool startPage(HDC dc) override { return StartPage(dc) > 0; }
    bool endPage(HDC dc) override { return EndPage(dc) > 0; }
    bool endDoc(HDC dc) override { return EndDoc(dc) > 0; }
    void deleteDc(HDC dc) override { DeleteDC(dc); }
    void showInformation(const wchar_t* text) override;
};

} // namespace s::image::win
