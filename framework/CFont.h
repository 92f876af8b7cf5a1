#pragma once
#include <windows.h>

#include "framework/CGdiObject.h"

// An owned font.
class CFont : public CGdiObject {
public:
    bool CreateFontIndirect(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
    // The font's description; false without a font.
    bool GetLogFont(LOGFONTW* font) const {
        return m_hObject != nullptr && ::GetObjectW(m_hObject, sizeof(LOGFONTW), font) == sizeof(LOGFONTW);
    }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
