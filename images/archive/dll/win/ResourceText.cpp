#include "images/archive/dll/win/ResourceText.h"

#include <cstring>

namespace s::archive::dll::win {

using str::strbuffer::StrBuffer;

namespace {

const wchar_t* const CRLF = L"\r\n";

// A cursor over resource bytes that never reads past their end. Reads copy through
// memcpy: a resource handed in from a file or a test need not be aligned.
class Reader {
public:
    Reader(const uint8_t* data, uint32_t size) : data_(data), size_(size), pos_(0) {}

    uint32_t pos() const { return pos_; }
    uint32_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }

    bool skip(uint32_t n) {
        if (n > remaining()) {
            return false;
        }
        pos_ += n;
        return true;
    }
    bool seek(uint32_t pos) {
        if (pos > size_) {
            return false;
        }
        pos_ = pos;
        return true;
    }
    // Moves to the next multiple of four (templates align their parts that way);
    // the end of the data counts as aligned.
    void align4() {
        const uint32_t next = (pos_ + 3) & ~3u;
        pos_ = next > size_ ? size_ : next;
    }

    bool u8(uint8_t& v) { return copy(&v, 1); }
    bool u16(uint16_t& v) { return copy(&v, 2); }
    bool s16(int16_t& v) { return copy(&v, 2); }
    bool u32(uint32_t& v) { return copy(&v, 4); }

    // A NUL-terminated UTF-16 text, appended to out (may be null: skipped). False when
    // no NUL comes before the limit.
    bool text(StrBuffer* out, uint32_t limit) {
        if (limit > size_) {
            limit = size_;
        }
        for (;;) {
            uint16_t unit = 0;
            if (pos_ + 2 > limit || !u16(unit)) {
                return false;
            }
            if (unit == 0) {
                return true;
            }
            if (out != nullptr) {
                out->appendChar(static_cast<wchar_t>(unit));
            }
        }
    }
    bool text(StrBuffer* out) { return text(out, size_); }

    // count UTF-16 units, appended to out.
    bool units(StrBuffer* out, uint32_t count) {
        if (count > remaining() / 2) {
            return false;
        }
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t unit = 0;
            u16(unit);
            out->appendChar(static_cast<wchar_t>(unit));
        }
        return true;
    }

    // A "text or ordinal" field of a template: 0 (none), 0xFFFF and a number, or a text.
    enum Field { NONE, ORDINAL, TEXT };
    bool field(Field& kind, uint16_t& ordinal, StrBuffer* text) {
        uint16_t first;
        if (!peek16(first)) {
            return false;
        }
        if (first == 0) {
            pos_ += 2;
            kind = NONE;
            return true;
        }
        if (first == 0xFFFF) {
            pos_ += 2;
            kind = ORDINAL;
            return u16(ordinal);
        }
        kind = TEXT;
        return this->text(text);
    }

    // Whether the bytes at the position are the NUL-terminated UTF-16 text.
    bool matches(const wchar_t* expected) const {
        uint32_t p = pos_;
        for (const wchar_t* c = expected;; ++c) {
            uint16_t unit = 0;
            if (p + 2 > size_) {
                return false;
            }
            std::memcpy(&unit, data_ + p, 2);
            if (unit != static_cast<uint16_t>(*c)) {
                return false;
            }
            if (*c == 0) {
                return true;
            }
            p += 2;
        }
    }

private:
    bool copy(void* v, uint32_t n) {
        if (n > remaining()) {
            return false;
        }
        std::memcpy(v, data_ + pos_, n);
        pos_ += n;
        return true;
    }
    bool peek16(uint16_t& v) const {
        if (remaining() < 2) {
            return false;
        }
        std::memcpy(&v, data_ + pos_, 2);
        return true;
    }

    const uint8_t* data_;
    uint32_t size_;
    uint32_t pos_;
};

struct KeyName {
    uint8_t code;
    const wchar_t* text;
};

const KeyName KEY_NAMES[] = {
    {0x01, L"Left mouse button"}, {0x02, L"Right mouse button"},
    {0x03, L"Control-break processing"}, {0x04, L"Middle mouse button (three-button mouse)"},
    {0x05, L"X1 mouse button"}, {0x06, L"X2 mouse button"},
    {0x08, L"BACKSPACE key"}, {0x09, L"TAB key"},
    {0x0C, L"CLEAR key"}, {0x0D, L"ENTER key"},
    {0x10, L"SHIFT key"}, {0x11, L"CTRL key"},
    {0x12, L"ALT key"}, {0x13, L"PAUSE key"},
    {0x14, L"CAPS LOCK key"}, {0x15, L"IME Kana mode"},
    {0x17, L"IME Junja mode"}, {0x18, L"IME final mode"},
    {0x19, L"IME Hanja mode"}, {0x1B, L"ESC key"},
    {0x1C, L"IME convert"}, {0x1D, L"IME nonconvert"},
    {0x1E, L"IME accept"}, {0x1F, L"IME mode change request"},
    {0x20, L"SPACEBAR"}, {0x21, L"PAGE UP key"},
    {0x22, L"PAGE DOWN key"}, {0x23, L"END key"},
    {0x24, L"HOME key"}, {0x25, L"LEFT ARROW key"},
    {0x26, L"UP ARROW key"}, {0x27, L"RIGHT ARROW key"},
    {0x28, L"DOWN ARROW key"}, {0x29, L"SELECT key"},
    {0x2A, L"PRINT key"}, {0x2B, L"EXECUTE key"},
    {0x2C, L"PRINT SCREEN key"}, {0x2D, L"INS key"},
    {0x2E, L"DEL key"}, {0x2F, L"HELP key"},
    {0x30, L"0 key"}, {0x31, L"1 key"},
    {0x32, L"2 key"}, {0x33, L"3 key"},
    {0x34, L"4 key"}, {0x35, L"5 key"},
    {0x36, L"6 key"}, {0x37, L"7 key"},
    {0x38, L"8 key"}, {0x39, L"9 key"},
    {0x41, L"A key"}, {0x42, L"B key"},
    {0x43, L"C key"}, {0x44, L"D key"},
    {0x45, L"E key"}, {0x46, L"F key"},
    {0x47, L"G key"}, {0x48, L"H key"},
    {0x49, L"I key"}, {0x4A, L"J key"},
    {0x4B, L"K key"}, {0x4C, L"L key"},
    {0x4D, L"M key"}, {0x4E, L"N key"},
    {0x4F, L"O key"}, {0x50, L"P key"},
    {0x51, L"Q key"}, {0x52, L"R key"},
    {0x53, L"S key"}, {0x54, L"T key"},
    {0x55, L"U key"}, {0x56, L"V key"},
    {0x57, L"W key"}, {0x58, L"X key"},
    {0x59, L"Y key"}, {0x5A, L"Z key"},
    {0x5B, L"Left Windows key (Natural keyboard)"}, {0x5C, L"Right Windows key (Natural keyboard)"},
    {0x5D, L"Applications key (Natural keyboard)"}, {0x5F, L"Computer Sleep key"},
    {0x60, L"Numeric keypad 0 key"}, {0x61, L"Numeric keypad 1 key"},
    {0x62, L"Numeric keypad 2 key"}, {0x63, L"Numeric keypad 3 key"},
    {0x64, L"Numeric keypad 4 key"}, {0x65, L"Numeric keypad 5 key"},
    {0x66, L"Numeric keypad 6 key"}, {0x67, L"Numeric keypad 7 key"},
    {0x68, L"Numeric keypad 8 key"}, {0x69, L"Numeric keypad 9 key"},
    {0x6A, L"Multiply key"}, {0x6B, L"Add key"},
    {0x6C, L"Separator key"}, {0x6D, L"Subtract key"},
    {0x6E, L"Decimal key"}, {0x6F, L"Divide key"},
    {0x70, L"F1 key"}, {0x71, L"F2 key"},
    {0x72, L"F3 key"}, {0x73, L"F4 key"},
    {0x74, L"F5 key"}, {0x75, L"F6 key"},
    {0x76, L"F7 key"}, {0x77, L"F8 key"},
    {0x78, L"F9 key"}, {0x79, L"F10 key"},
    {0x7A, L"F11 key"}, {0x7B, L"F12 key"},
    {0x7C, L"F13 key"}, {0x7D, L"F14 key"},
    {0x7E, L"F15 key"}, {0x7F, L"F16 key"},
    {0x80, L"F17 key"}, {0x81, L"F18 key"},
    {0x82, L"F19 key"}, {0x83, L"F20 key"},
    {0x84, L"F21 key"}, {0x85, L"F22 key"},
    {0x86, L"F23 key"}, {0x87, L"F24 key"},
    {0x90, L"NUM LOCK key"}, {0x91, L"SCROLL LOCK key"},
    {0xA0, L"Left SHIFT key"}, {0xA1, L"Right SHIFT key"},
    {0xA2, L"Left CONTROL key"}, {0xA3, L"Right CONTROL key"},
    {0xA4, L"Left MENU key"}, {0xA5, L"Right MENU key"},
    {0xA6, L"Browser Back key"}, {0xA7, L"Browser Forward key"},
    {0xA8, L"Browser Refresh key"}, {0xA9, L"Browser Stop key"},
    {0xAA, L"Browser Search key"}, {0xAB, L"Browser Favorites key"},
    {0xAC, L"Browser Start and Home key"}, {0xAD, L"Volume Mute key"},
    {0xAE, L"Volume Down key"}, {0xAF, L"Volume Up key"},
    {0xB0, L"Next Track key"}, {0xB1, L"Previous Track key"},
    {0xB2, L"Stop Media key"}, {0xB3, L"Play/Pause Media key"},
    {0xB4, L"Start Mail key"}, {0xB5, L"Select Media key"},
    {0xB6, L"Start Application 1 key"}, {0xB7, L"Start Application 2 key"},
    {0xBA, L"';:' key"}, {0xBB, L"'+' key"},
    {0xBC, L"',' key"}, {0xBD, L"'-' key"},
    {0xBE, L"'.' key"}, {0xBF, L"'/?' key"},
    {0xC0, L"'`~' key"}, {0xDB, L"'[{' key"},
    {0xDC, L"'\\|' key"}, {0xDD, L"']}' key"},
    {0xDE, L"'single-quote/double-quote' key"}, {0xDF, L"OEM 8 key"},
    {0xE2, L"'<>' or '\\|' key (102-key keyboard)"}, {0xE5, L"IME PROCESS key"},
    {0xE7, L"PACKET key"}, {0xF6, L"Attn key"},
    {0xF7, L"CrSel key"}, {0xF8, L"ExSel key"},
    {0xF9, L"Erase EOF key"}, {0xFA, L"Play key"},
    {0xFB, L"Zoom key"}, {0xFD, L"PA1 key"},
    {0xFE, L"Clear key"},
};

struct StyleName {
    uint32_t bits;
    const wchar_t* name;
};

// Window and dialog styles in the order they are listed; a name is written when all
// of its bits are set (names of value 0 always).
const StyleName STYLES[] = {
    {WS_BORDER, L"WS_BORDER"},         {WS_CAPTION, L"WS_CAPTION"},
    {WS_CHILD, L"WS_CHILD"},           {WS_CHILDWINDOW, L"WS_CHILDWINDOW"},
    {WS_CLIPCHILDREN, L"WS_CLIPCHILDREN"}, {WS_CLIPSIBLINGS, L"WS_CLIPSIBLINGS"},
    {WS_DISABLED, L"WS_DISABLED"},     {WS_DLGFRAME, L"WS_DLGFRAME"},
    {WS_GROUP, L"WS_GROUP"},           {WS_HSCROLL, L"WS_HSCROLL"},
    {WS_ICONIC, L"WS_ICONIC"},         {WS_MAXIMIZE, L"WS_MAXIMIZE"},
    {WS_MAXIMIZEBOX, L"WS_MAXIMIZEBOX"}, {WS_MINIMIZE, L"WS_MINIMIZE"},
    {WS_MINIMIZEBOX, L"WS_MINIMIZEBOX"}, {WS_OVERLAPPED, L"WS_OVERLAPPED"},
    {WS_POPUP, L"WS_POPUP"},           {WS_SIZEBOX, L"WS_SIZEBOX"},
    {WS_SYSMENU, L"WS_SYSMENU"},       {WS_TABSTOP, L"WS_TABSTOP"},
    {WS_THICKFRAME, L"WS_THICKFRAME"}, {WS_TILED, L"WS_TILED"},
    {WS_VISIBLE, L"WS_VISIBLE"},       {WS_VSCROLL, L"WS_VSCROLL"},
    {DS_3DLOOK, L"DS_3DLOOK"},         {DS_ABSALIGN, L"DS_ABSALIGN"},
    {DS_CENTER, L"DS_CENTER"},         {DS_CENTERMOUSE, L"DS_CENTERMOUSE"},
    {DS_CONTEXTHELP, L"DS_CONTEXTHELP"}, {DS_CONTROL, L"DS_CONTROL"},
    {DS_FIXEDSYS, L"DS_FIXEDSYS"},     {DS_LOCALEDIT, L"DS_LOCALEDIT"},
    {DS_MODALFRAME, L"DS_MODALFRAME"}, {DS_NOFAILCREATE, L"DS_NOFAILCREATE"},
    {DS_NOIDLEMSG, L"DS_NOIDLEMSG"},   {DS_SETFONT, L"DS_SETFONT"},
    {DS_SETFOREGROUND, L"DS_SETFOREGROUND"}, {DS_SHELLFONT, L"DS_SHELLFONT"},
    {DS_SYSMODAL, L"DS_SYSMODAL"},
};

// Extended styles in alphabetical order, by the same rule.
const StyleName EX_STYLES[] = {
    {0x00000010, L"WS_EX_ACCEPTFILES"},     {0x00040000, L"WS_EX_APPWINDOW"},
    {0x00000200, L"WS_EX_CLIENTEDGE"},      {0x02000000, L"WS_EX_COMPOSITED"},
    {0x00000400, L"WS_EX_CONTEXTHELP"},     {0x00010000, L"WS_EX_CONTROLPARENT"},
    {0x00000001, L"WS_EX_DLGMODALFRAME"},   {0x00080000, L"WS_EX_LAYERED"},
    {0x00400000, L"WS_EX_LAYOUTRTL"},       {0x00000000, L"WS_EX_LEFT"},
    {0x00004000, L"WS_EX_LEFTSCROLLBAR"},   {0x00000000, L"WS_EX_LTRREADING"},
    {0x00000040, L"WS_EX_MDICHILD"},        {0x08000000, L"WS_EX_NOACTIVATE"},
    {0x00100000, L"WS_EX_NOINHERITLAYOUT"}, {0x00000004, L"WS_EX_NOPARENTNOTIFY"},
    {0x00200000, L"WS_EX_NOREDIRECTIONBITMAP"}, {0x00000300, L"WS_EX_OVERLAPPEDWINDOW"},
    {0x00000188, L"WS_EX_PALETTEWINDOW"},   {0x00001000, L"WS_EX_RIGHT"},
    {0x00000000, L"WS_EX_RIGHTSCROLLBAR"},  {0x00002000, L"WS_EX_RTLREADING"},
    {0x00020000, L"WS_EX_STATICEDGE"},      {0x00000080, L"WS_EX_TOOLWINDOW"},
    {0x00000008, L"WS_EX_TOPMOST"},         {0x00000020, L"WS_EX_TRANSPARENT"},
    {0x00000100, L"WS_EX_WINDOWEDGE"},
};

void appendStyles(StrBuffer* out, const wchar_t* title, uint32_t style, const StyleName* names, size_t count) {
    out->append(title)->append(CRLF);
    for (size_t i = 0; i < count; ++i) {
        if ((style & names[i].bits) == names[i].bits) {
            out->appendChar(L'\t')->append(names[i].name)->append(CRLF);
        }
    }
}

// The class of a dialog or control: a predefined class ordinal by name.
void appendClass(StrBuffer* out, Reader::Field kind, uint16_t ordinal, const StrBuffer* text) {
    static const wchar_t* const PREDEFINED[] = {L"Button", L"Edit", L"Static", L"List box", L"Scroll bar",
                                                L"Combo box"};
    out->append(L"Class ID: ");
    if (kind == Reader::TEXT) {
        out->append(text);
    } else if (ordinal >= 0x80 && ordinal <= 0x85) {
        out->append(PREDEFINED[ordinal - 0x80]);
    } else {
        out->appendUInt32(ordinal);
    }
    out->append(CRLF);
}

void appendGeometry(StrBuffer* out, int16_t x, int16_t y, int16_t cx, int16_t cy) {
    out->append(L"X: ")->appendInt32(x)->append(L" (dialog unit)")->append(CRLF);
    out->append(L"Y: ")->appendInt32(y)->append(L" (dialog unit)")->append(CRLF);
    out->append(L"Width: ")->appendInt32(cx)->append(L" (dialog unit)")->append(CRLF);
    out->append(L"Height: ")->appendInt32(cy)->append(L" (dialog unit)")->append(CRLF);
}

// Scratch strings for the template fields, given back on every way out.
struct Scratch {
    StrBuffer* a = StrBuffer::pool();
    StrBuffer* b = StrBuffer::pool();
    ~Scratch() {
        if (a != nullptr) a->release();
        if (b != nullptr) b->release();
    }
    bool ok() const { return a != nullptr && b != nullptr; }
};

bool dialogControl(Reader& r, bool extended, uint32_t number, StrBuffer* out) {
    Scratch s;
    if (!s.ok()) {
        return false;
    }
    r.align4();
    uint32_t helpId = 0, exStyle = 0, style = 0;
    int16_t x, y, cx, cy;
    int32_t id;
    if (extended) {
        uint32_t id32;
        if (!r.u32(helpId) || !r.u32(exStyle) || !r.u32(style) || !r.s16(x) || !r.s16(y) || !r.s16(cx) ||
            !r.s16(cy) || !r.u32(id32)) {
            return false;
        }
        id = static_cast<int32_t>(id32);
    } else {
        int16_t id16;
        if (!r.u32(style) || !r.u32(exStyle) || !r.s16(x) || !r.s16(y) || !r.s16(cx) || !r.s16(cy) ||
            !r.s16(id16)) {
            return false;
        }
        id = id16;
    }
    Reader::Field classKind, titleKind;
    uint16_t classOrdinal = 0, titleOrdinal = 0;
    uint16_t extra;
    if (!r.field(classKind, classOrdinal, s.a) || !r.field(titleKind, titleOrdinal, s.b) || !r.u16(extra) ||
        !r.skip(extra)) {
        return false;
    }
    out->append(CRLF)->append(L"[Component ")->appendUInt32(number)->append(L"]")->append(CRLF);
    appendClass(out, classKind, classOrdinal, s.a);
    if (titleKind == Reader::ORDINAL) {
        out->append(L"Resource ID: ")->appendUInt32(titleOrdinal)->append(CRLF);
    } else {
        out->append(L"Text: ")->append(s.b)->append(CRLF);
    }
    out->append(L"Control ID: ")->appendInt32(id)->append(CRLF);
    if (extended) {
        out->append(L"Help ID: ")->appendUInt32(helpId)->append(CRLF);
    }
    appendGeometry(out, x, y, cx, cy);
    appendStyles(out, L"Styles:", style, STYLES, sizeof(STYLES) / sizeof(STYLES[0]));
    appendStyles(out, L"Extended Styles:", exStyle, EX_STYLES, sizeof(EX_STYLES) / sizeof(EX_STYLES[0]));
    return true;
}

} // namespace

const wchar_t* ResourceText::virtualKeyName(uint32_t code) {
    for (const KeyName& k : KEY_NAMES) {
        if (k.code == code) {
            return k.text;
        }
    }
    return L"Unknown key";
}

bool ResourceText::stringTable(const uint8_t* data, uint32_t size, StrBuffer* out) {
    Reader r(data, size);
    while (r.remaining() >= 2) {
        uint16_t count;
        r.u16(count);
        if (count != 0) {
            out->appendChar(L'"');
            if (!r.units(out, count)) {
                return false;
            }
            out->appendChar(L'"');
        }
        out->append(CRLF);
    }
    return true;
}

bool ResourceText::accelerators(const uint8_t* data, uint32_t size, StrBuffer* out) {
    Reader r(data, size);
    while (!r.atEnd()) {
        uint16_t flags, key, command, padding;
        if (!r.u16(flags) || !r.u16(key) || !r.u16(command) || !r.u16(padding)) {
            return false;
        }
        out->append(L"Key: ");
        if (flags & FALT) {
            out->append(L"Alt + ");
        }
        if (flags & FCONTROL) {
            out->append(L"Ctrl + ");
        }
        if (flags & FSHIFT) {
            out->append(L"Shift + ");
        }
        if (flags & FVIRTKEY) {
            out->append(virtualKeyName(key));
        } else {
            out->appendChar(static_cast<wchar_t>(key))->append(L" key");
        }
        out->append(CRLF)->append(L"Action ID: ")->appendUInt32(command)->append(CRLF)->append(CRLF);
    }
    return true;
}

bool ResourceText::menu(const uint8_t* data, uint32_t size, StrBuffer* out) {
    // Deeper menus than this are not real; the limit keeps the level stack bounded.
    constexpr uint32_t MAX_DEPTH = 64;
    Reader r(data, size);
    uint16_t version, offset;
    if (!r.u16(version) || !r.u16(offset) || version != 0 || !r.skip(offset)) {
        return false;
    }
    bool popupEnds[MAX_DEPTH];
    uint32_t depth = 0;
    for (;;) {
        uint16_t option, id = 0;
        if (!r.u16(option) || ((option & MF_POPUP) == 0 && !r.u16(id))) {
            return false;
        }
        for (uint32_t i = 0; i < depth; ++i) {
            out->appendChar(L'\t');
        }
        const uint32_t textStart = out->length();
        if (!r.text(out)) {
            return false;
        }
        const bool end = (option & MF_END) != 0;
        if (option & MF_POPUP) {
            out->append(CRLF);
            if (depth + 1 >= MAX_DEPTH) {
                return false;
            }
            popupEnds[depth++] = end;
            continue;
        }
        if (out->length() == textStart) {
            out->append(L"---------------");
        }
        out->append(CRLF);
        if (id != 0) {
            for (uint32_t i = 0; i < depth; ++i) {
                out->appendChar(L'\t');
            }
            out->append(L"(ID: ")->appendUInt32(id)->append(L")")->append(CRLF);
        }
        // The last item of a level closes it, and with it every enclosing level whose
        // pop-up was the last item there.
        for (bool closing = end; closing;) {
            if (depth == 0) {
                return true;
            }
            closing = popupEnds[--depth];
        }
    }
}

bool ResourceText::dialog(const uint8_t* data, uint32_t size, StrBuffer* out) {
    Scratch s;
    if (!s.ok()) {
        return false;
    }
    Reader r(data, size);
    uint16_t w0 = 0, w1 = 0;
    Reader head(data, size);
    head.u16(w0);
    head.u16(w1);
    const bool extended = w0 == 1 && w1 == 0xFFFF;

    uint32_t helpId = 0, exStyle = 0, style = 0;
    uint16_t items;
    int16_t x, y, cx, cy;
    if (extended) {
        if (!r.skip(4) || !r.u32(helpId) || !r.u32(exStyle) || !r.u32(style)) {
            return false;
        }
    } else if (!r.u32(style) || !r.u32(exStyle)) {
        return false;
    }
    if (!r.u16(items) || !r.s16(x) || !r.s16(y) || !r.s16(cx) || !r.s16(cy)) {
        return false;
    }

    out->append(L"[Dialog]")->append(CRLF);
    Reader::Field kind;
    uint16_t ordinal = 0;
    if (!r.field(kind, ordinal, s.a)) {
        return false;
    }
    if (kind == Reader::ORDINAL) {
        out->append(L"Menu Resource ID: ")->appendUInt32(ordinal)->append(CRLF);
    } else if (kind == Reader::TEXT) {
        out->append(L"Menu Resource ID: ")->append(s.a)->append(CRLF);
    }
    s.a->clear();
    if (!r.field(kind, ordinal, s.a)) {
        return false;
    }
    if (kind != Reader::NONE) {
        appendClass(out, kind, ordinal, s.a);
    }
    s.b->clear();
    if (!r.text(s.b)) {
        return false;
    }
    out->append(L"Title: ")->append(s.b->length() != 0 ? s.b->c_str() : L"(None)")->append(CRLF);
    if (extended) {
        out->append(L"Help ID: ")->appendUInt32(helpId)->append(CRLF);
    }
    if (style & DS_SETFONT) {
        uint16_t points, weight = 0;
        uint8_t italic = 0, charset = 0;
        if (!r.u16(points) || (extended && (!r.u16(weight) || !r.u8(italic) || !r.u8(charset)))) {
            return false;
        }
        s.a->clear();
        if (!r.text(s.a)) {
            return false;
        }
        out->append(L"Font Name: ")->append(s.a)->append(CRLF);
        out->append(L"Font Size: ")->appendUInt32(points)->append(L" point")->append(CRLF);
        if (extended) {
            out->append(L"Font Weight: ")->appendUInt32(weight)->append(CRLF);
            out->append(L"Font Italic: ")->append(italic != 0 ? L"true" : L"false")->append(CRLF);
            out->append(L"Font Character Set: ")->appendUInt32(charset)->append(CRLF);
        }
    }
    appendGeometry(out, x, y, cx, cy);
    appendStyles(out, L"Styles:", style, STYLES, sizeof(STYLES) / sizeof(STYLES[0]));
    appendStyles(out, L"Extended Styles:", exStyle, EX_STYLES, sizeof(EX_STYLES) / sizeof(EX_STYLES[0]));
    for (uint32_t i = 0; i < items; ++i) {
        if (!dialogControl(r, extended, i + 1, out)) {
            return false;
        }
    }
    return true;
}

bool ResourceText::version(const uint8_t* data, uint32_t size, StrBuffer* out) {
    static const uint8_t SIGNATURE[] = {0xBD, 0x04, 0xEF, 0xFE};
    // The fixed file information is 52 bytes; the string block's header follows it
    // (three 16-bit words), then its key.
    constexpr uint32_t FIXED_INFO_BYTES = 52;
    uint32_t at = 0;
    while (at + sizeof(SIGNATURE) <= size && std::memcmp(data + at, SIGNATURE, sizeof(SIGNATURE)) != 0) {
        ++at;
    }
    if (at + sizeof(SIGNATURE) > size) {
        return true;
    }
    Reader r(data, size);
    const uint32_t block = at + FIXED_INFO_BYTES;
    if (!r.seek(block + 6) || !r.matches(L"StringFileInfo")) {
        return true;
    }
    uint16_t blockLength;
    r.seek(block);
    if (!r.u16(blockLength) || blockLength < 6 || block + blockLength > size) {
        return false;
    }
    const uint32_t blockEnd = block + blockLength;
    r.seek(block + 6);
    if (!r.text(nullptr, blockEnd)) {
        return false;
    }
    r.align4();
    // The first string table.
    const uint32_t table = r.pos();
    if (table + 6 > blockEnd) {
        return true;
    }
    uint16_t tableLength = 0;
    r.u16(tableLength);
    if (tableLength < 6 || table + tableLength > blockEnd) {
        return false;
    }
    const uint32_t tableEnd = table + tableLength;
    r.seek(table + 6);
    if (!r.text(nullptr, tableEnd)) {
        return false;
    }
    r.align4();
    Scratch s;
    if (!s.ok()) {
        return false;
    }
    while (r.pos() + 6 <= tableEnd) {
        const uint32_t item = r.pos();
        uint16_t length = 0, valueLength = 0, type = 0;
        r.u16(length);
        r.u16(valueLength);
        r.u16(type);
        if (length < 6 || item + length > tableEnd) {
            return false;
        }
        const uint32_t itemEnd = item + length;
        s.a->clear();
        s.b->clear();
        if (!r.text(s.a, itemEnd)) {
            return false;
        }
        r.align4();
        // A value that runs to the end of its item without a NUL is taken as it is.
        if (valueLength != 0) {
            r.text(s.b, itemEnd);
        }
        if (type == 1) {
            out->append(s.a)->append(L": ")->append(s.b)->append(CRLF);
        }
        r.seek(itemEnd);
        r.align4();
    }
    return true;
}

} // namespace s::archive::dll::win
