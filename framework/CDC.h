#pragma once
#include <windows.h>

// A device context for one scope. Whatever SelectObject put into it is replaced by what
// was there before when the holder goes (on every path), and a context this holder
// made is deleted. CClientDC, CWindowDC and CPaintDC give back the contexts they took.
class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context compatible with dc (null: the screen), deleted at the end.
    bool CreateCompatibleDC(HDC dc);
    // Uses a context owned elsewhere; selections are still undone at the end.
    bool Attach(HDC dc);
    // Undoes the selections and gives up the context.
    HDC Detach();

    // Selects a font, bitmap, pen or brush; the first object it replaces of each kind
    // comes back at the end. Answers the replaced object.
    HGDIOBJ SelectObject(HGDIOBJ object);
    // Puts back the objects the context had before the first SelectObject.
    void RestoreObjects();

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    COLORREF SetTextColor(COLORREF colour) const { return ::SetTextColor(m_hDC, colour); }
    COLORREF SetBkColor(COLORREF colour) const { return ::SetBkColor(m_hDC, colour); }
    int SetBkMode(int mode) const { return ::SetBkMode(m_hDC, mode); }
    int SetStretchBltMode(int mode) const { return ::SetStretchBltMode(m_hDC, mode); }
    bool FillRect(const RECT& rect, HBRUSH brush) const { return ::FillRect(m_hDC, &rect, brush) != 0; }
    // Fills with a colour through the background colour, which it changes.
    bool FillSolidRect(const RECT& rect, COLORREF colour) const {
        ::SetBkColor(m_hDC, colour);
        return ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr) != FALSE;
    }
    bool Rectangle(int left, int top, int right, int bottom) const {
        return ::Rectangle(m_hDC, left, top, right, bottom) != FALSE;
    }
    bool MoveTo(int x, int y) const { return ::MoveToEx(m_hDC, x, y, nullptr) != FALSE; }
    bool LineTo(int x, int y) const { return ::LineTo(m_hDC, x, y) != FALSE; }
    bool BitBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) const {
        return ::BitBlt(m_hDC, x, y, width, height, source, sourceX, sourceY, rop) != FALSE;
    }
    bool StretchBlt(int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                    int sourceHeight, DWORD rop) const {
        return ::StretchBlt(m_hDC, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop) !=
               FALSE;
    }
    bool TextOut(int x, int y, LPCWSTR text, int length) const { return ::TextOutW(m_hDC, x, y, text, length) != FALSE; }
    // Answers the height of the text drawn (0 on failure); rect may be changed by DT_CALCRECT.
    int DrawText(LPCWSTR text, int length, RECT* rect, UINT format) const {
        return ::DrawTextW(m_hDC, text, length, rect, format);
    }
    bool GetTextExtent(LPCWSTR text, int length, SIZE* size) const {
        return ::GetTextExtentPoint32W(m_hDC, text, length, size) != FALSE;
    }
    bool GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics) != FALSE; }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

    HDC m_hDC = nullptr;

protected:
    // Undoes the selections and forgets the context (the derived class frees it).
    HDC release();

private:
    enum { FONT, BITMAP, PEN, BRUSH, KINDS };

    HGDIOBJ original_[KINDS] = {};
    bool owned_ = false;
};
